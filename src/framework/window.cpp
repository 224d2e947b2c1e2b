#include "framework/window.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <new>

#include "framework/caught.h"

namespace vantrel::fw {

namespace {

// The property that links a window to its object.
constexpr const char kObjectProperty[] = "VantrelObject";

std::map<HMENU, MenuDrawHandler*>& MenuHandlers() {
  static std::map<HMENU, MenuDrawHandler*> handlers;
  return handlers;
}
MenuDrawHandler* g_tracked_menu = nullptr;
HINSTANCE g_resource_instance = nullptr;

// Every message a window of ours receives starts by finding its object, and reading a window
// property is a round trip to the window server under some hosts. Each thread keeps the last
// few windows it looked up. Any change of any window's object, on any thread, bumps
// g_object_links after the property is written, which empties every thread's cache before its
// next look-up; a thread therefore never answers with an object that has since let go.
std::atomic<unsigned> g_object_links{0};

struct ObjectCache {
  static constexpr int kSize = 4;
  unsigned links = 0;
  int next = 0;
  HWND hwnd[kSize] = {};
  Window* object[kSize] = {};
};
thread_local ObjectCache t_objects;

void ObjectLinksChanged() noexcept { g_object_links.fetch_add(1, std::memory_order_acq_rel); }

Window* LookUpObject(HWND hwnd) noexcept {
  ObjectCache& cache = t_objects;
  const unsigned links = g_object_links.load(std::memory_order_acquire);
  if (cache.links != links) {
    cache = ObjectCache{};
    cache.links = links;
  } else {
    for (int i = 0; i < ObjectCache::kSize; ++i) {
      if (cache.hwnd[i] == hwnd) return cache.object[i];
    }
  }
  auto* object = static_cast<Window*>(::GetPropA(hwnd, kObjectProperty));
  if (object) {
    cache.hwnd[cache.next] = hwnd;
    cache.object[cache.next] = object;
    cache.next = (cache.next + 1) % ObjectCache::kSize;
  }
  return object;
}

}  // namespace

HINSTANCE ResourceInstance() noexcept {
  return g_resource_instance ? g_resource_instance : ::GetModuleHandleA(nullptr);
}
void SetResourceInstance(HINSTANCE instance) noexcept { g_resource_instance = instance; }

// ---- Window ---------------------------------------------------------------------------------

// Lives as long as our procedure is in a subclassed window's chain. Once the object lets go
// while a later subclass still calls our procedure, `object` is null and the procedure only
// forwards; the record then goes when the window is destroyed or the later subclass leaves.
struct Window::SubclassRecord {
  WNDPROC old_proc = nullptr;
  Window* object = nullptr;
};

namespace {

constexpr const char kSubclassProperty[] = "VantrelSubclass";

bool OurProcedureIsOnTop(HWND hwnd, WNDPROC ours) noexcept {
  return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == ours;
}

}  // namespace

Window::~Window() {
  if (subclass_ && hwnd_ && ::IsWindow(hwnd_)) {
    Unsubclass();
  } else if (hwnd_ && ::IsWindow(hwnd_) && FromHandle(hwnd_) == this) {
    ::RemovePropA(hwnd_, kObjectProperty);
  }
  // Even a window that went without telling us must not be answered with this object.
  ObjectLinksChanged();
}

Window* Window::FromHandle(HWND hwnd) noexcept { return hwnd ? LookUpObject(hwnd) : nullptr; }

void Window::Attach(HWND hwnd) noexcept {
  hwnd_ = hwnd;
  ::SetPropA(hwnd, kObjectProperty, this);
  ObjectLinksChanged();
}

void Window::Detach() noexcept {
  if (hwnd_ && FromHandle(hwnd_) == this) ::RemovePropA(hwnd_, kObjectProperty);
  hwnd_ = nullptr;
  ObjectLinksChanged();
}

bool Window::SubclassDlgItem(HWND dialog, int id) { return Subclass(::GetDlgItem(dialog, id)); }

bool Window::Subclass(HWND hwnd) {
  if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
  if (auto* record = static_cast<SubclassRecord*>(::GetPropA(hwnd, kSubclassProperty))) {
    // Our procedure is still in the chain, forwarding below a later subclass: this object takes
    // over that place rather than adding a second entry nobody could tell apart.
    if (record->object) return false;
    record->object = this;
    subclass_ = record;
    Attach(hwnd);
    return true;
  }
  auto* record = new (std::nothrow) SubclassRecord;
  if (!record) return false;
  record->old_proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  record->object = this;
  if (!record->old_proc || !::SetPropA(hwnd, kSubclassProperty, record)) {
    delete record;
    return false;
  }
  Attach(hwnd);
  subclass_ = record;
  auto replaced = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticSubclassProc)));
  if (!replaced) {
    subclass_ = nullptr;
    ::RemovePropA(hwnd, kSubclassProperty);
    delete record;
    Detach();
    return false;
  }
  record->old_proc = replaced;
  return true;
}

void Window::EndSubclass() noexcept {
  SubclassRecord* record = subclass_;
  if (!record) return;
  subclass_ = nullptr;
  if (OurProcedureIsOnTop(hwnd_, &Window::StaticSubclassProc)) {
    ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->old_proc));
    ::RemovePropA(hwnd_, kSubclassProperty);
    delete record;
  } else {
    // Putting the old procedure back would cut the later subclass out of the chain.
    record->object = nullptr;
  }
}

void Window::Unsubclass() {
  if (!hwnd_ || !subclass_) return;
  EndSubclass();
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
  if (subclass_) return ::CallWindowProcA(subclass_->old_proc, hwnd_, msg, wp, lp);
  return ::DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT Window::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = hwnd_;
  LRESULT result = 0;
  try {
    if (!ReflectControlMessage(hwnd, msg, wp, lp, result)) result = WindowProc(msg, wp, lp);
  } catch (...) {
    char where[64];
    std::snprintf(where, sizeof where, "window procedure, message 0x%04X", msg);
    ReportCaughtException(where);
    // No exception may cross into the window manager; the message counts as unhandled.
    result = subclass_ ? ::CallWindowProcA(subclass_->old_proc, hwnd, msg, wp, lp)
                       : ::DefWindowProcA(hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    EndSubclass();
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
  auto* record = static_cast<SubclassRecord*>(::GetPropA(hwnd, kSubclassProperty));
  if (!record) return ::DefWindowProcA(hwnd, msg, wp, lp);  // not reached: the record goes with the procedure
  LRESULT result = 0;
  if (record->object) {
    result = record->object->Dispatch(msg, wp, lp);
  } else {
    WNDPROC next = record->old_proc;
    if (OurProcedureIsOnTop(hwnd, &Window::StaticSubclassProc)) {
      // The later subclass has left: nothing calls through us any more.
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
      ::RemovePropA(hwnd, kSubclassProperty);
      delete record;
    }
    result = ::CallWindowProcA(next, hwnd, msg, wp, lp);
  }
  if (msg == WM_NCDESTROY) {
    // The record may have gone above; a forwarding one is freed with the window.
    auto* left = static_cast<SubclassRecord*>(::GetPropA(hwnd, kSubclassProperty));
    if (left && !left->object) {
      ::RemovePropA(hwnd, kSubclassProperty);
      delete left;
    }
  }
  return result;
}

// ---- control messages offered to the control's object -------------------------------------

bool ReflectControlMessage(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND from = nullptr;
  if (msg == WM_COMMAND) {
    from = reinterpret_cast<HWND>(lp);  // null for menus and accelerators
  } else if (msg == WM_NOTIFY && lp) {
    from = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
  }
  if (!from || from == parent) return false;
  Window* control = Window::FromHandle(from);
  if (!control) return false;
  LRESULT answer = 0;
  const bool handled = msg == WM_COMMAND ? control->OnReflectedCommand(HIWORD(wp), answer)
                                         : control->OnReflectedNotify(*reinterpret_cast<NMHDR*>(lp), answer);
  if (handled) result = answer;
  return handled;
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
