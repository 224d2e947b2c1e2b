#include "framework/window.h"

#include <map>

#include "framework/dialog.h"
#include "framework/handles.h"

namespace vantrel::fw {

namespace {

// The property that links a window to its object.
constexpr const char kObjectProperty[] = "VantrelObject";

long g_live[static_cast<int>(ObjectKind::Count)] = {};

std::map<HMENU, MenuDrawHandler*>& MenuHandlers() {
  static std::map<HMENU, MenuDrawHandler*> handlers;
  return handlers;
}
MenuDrawHandler* g_tracked_menu = nullptr;

}  // namespace

// ---- live-object counting and the simple owners ------------------------------------------

long LiveObjects(ObjectKind kind) noexcept { return g_live[static_cast<int>(kind)]; }

void detail::CountObject(ObjectKind kind, int delta) noexcept { g_live[static_cast<int>(kind)] += delta; }

WindowDC::WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {
  if (dc_) detail::CountObject(ObjectKind::Gdi, +1);
}
WindowDC::~WindowDC() {
  if (dc_) {
    ::ReleaseDC(hwnd_, dc_);
    detail::CountObject(ObjectKind::Gdi, -1);
  }
}

PaintDC::PaintDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
PaintDC::~PaintDC() { ::EndPaint(hwnd_, &ps_); }

// ---- Window ---------------------------------------------------------------------------------

Window::~Window() {
  if (old_proc_ && hwnd_ && ::IsWindow(hwnd_)) {
    Unsubclass();
  } else if (hwnd_ && ::IsWindow(hwnd_) && FromHandle(hwnd_) == this) {
    ::RemovePropA(hwnd_, kObjectProperty);
  }
}

Window* Window::FromHandle(HWND hwnd) noexcept {
  return hwnd ? static_cast<Window*>(::GetPropA(hwnd, kObjectProperty)) : nullptr;
}

void Window::Attach(HWND hwnd) noexcept {
  hwnd_ = hwnd;
  ::SetPropA(hwnd, kObjectProperty, this);
}

void Window::Detach() noexcept {
  if (hwnd_ && FromHandle(hwnd_) == this) ::RemovePropA(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
}

bool Window::SubclassDlgItem(HWND dialog, int id) { return Subclass(::GetDlgItem(dialog, id)); }

bool Window::Subclass(HWND hwnd) {
  if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
  Attach(hwnd);
  old_proc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticSubclassProc)));
  if (!old_proc_) {
    Detach();
    return false;
  }
  return true;
}

void Window::Unsubclass() {
  if (!hwnd_ || !old_proc_) return;
  ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc_));
  old_proc_ = nullptr;
  Detach();
}

bool Window::RegisterClass(const char* className, UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
  WNDCLASSA wc{};
  wc.style = style;
  wc.lpfnWndProc = &Window::StaticWindowProc;
  wc.hInstance = ResourceInstance();
  wc.hCursor = cursor ? cursor : ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.hIcon = icon;
  wc.lpszClassName = className;
  return ::RegisterClassA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menuOrId) {
  HWND created = ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                   ResourceInstance(), this);
  return created != nullptr;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT Window::Default(UINT msg, WPARAM wp, LPARAM lp) {
  if (old_proc_) return ::CallWindowProcA(old_proc_, hwnd_, msg, wp, lp);
  return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  LRESULT result = 0;
  try {
    result = WindowProc(msg, wp, lp);
  } catch (...) {
    // No exception may cross into the window manager; the message counts as unhandled.
    result = old_proc_ ? ::CallWindowProcA(old_proc_, hwnd, msg, wp, lp) : ::DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    if (old_proc_) {
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old_proc_));
      old_proc_ = nullptr;
    }
    Detach();
    OnFinalDestroy();
  }
  return result;
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = FromHandle(hwnd);
  if (!self && msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    self = static_cast<Window*>(cs->lpCreateParams);
    if (self) self->Attach(hwnd);
  }
  if (!self) return ::DefWindowProcA(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

LRESULT CALLBACK Window::StaticSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = FromHandle(hwnd);
  if (!self || !self->old_proc_) return ::DefWindowProcA(hwnd, msg, wp, lp);
  return self->Dispatch(msg, wp, lp);
}

// ---- owner-drawn routing -------------------------------------------------------------------

bool ReflectOwnerDraw(UINT msg, WPARAM, LPARAM lp) {
  switch (msg) {
    case WM_DRAWITEM: {
      auto& dis = *reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis.CtlType == ODT_MENU) {
        MenuDrawHandler* handler = FindMenuHandler(reinterpret_cast<HMENU>(dis.hwndItem));
        if (!handler) return false;
        handler->DrawItem(dis);
        return true;
      }
      Window* child = Window::FromHandle(dis.hwndItem);
      return child && child->OnReflectedDrawItem(dis);
    }
    case WM_MEASUREITEM: {
      auto& mis = *reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mis.CtlType == ODT_MENU) {
        MenuDrawHandler* handler = TrackedMenuHandler();
        if (!handler && mis.itemData) handler = FindMenuHandlerForItem(mis.itemData);
        if (!handler) return false;
        handler->MeasureItem(mis);
        return true;
      }
      return false;  // measured by the dialog itself: the child window may not exist yet
    }
    case WM_DELETEITEM: {
      auto& del = *reinterpret_cast<DELETEITEMSTRUCT*>(lp);
      Window* child = Window::FromHandle(del.hwndItem);
      return child && child->OnReflectedDeleteItem(del);
    }
    default:
      return false;
  }
}

void RegisterMenuHandler(HMENU menu, MenuDrawHandler* handler) {
  if (menu) MenuHandlers()[menu] = handler;
}
void UnregisterMenuHandler(HMENU menu) { MenuHandlers().erase(menu); }
MenuDrawHandler* FindMenuHandler(HMENU menu) {
  auto it = MenuHandlers().find(menu);
  return it == MenuHandlers().end() ? nullptr : it->second;
}
MenuDrawHandler* FindMenuHandlerForItem(ULONG_PTR itemData) {
  for (const auto& [menu, handler] : MenuHandlers()) {
    int count = ::GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_DATA;
      if (::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info) && info.dwItemData == itemData) {
        return handler;
      }
    }
  }
  return nullptr;
}
void SetTrackedMenuHandler(MenuDrawHandler* handler) { g_tracked_menu = handler; }
MenuDrawHandler* TrackedMenuHandler() { return g_tracked_menu; }

}  // namespace vantrel::fw
