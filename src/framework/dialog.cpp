#include "framework/dialog.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "framework/caught.h"

namespace vantrel::fw {

namespace {

std::vector<HWND>& ModelessWindows() {
  static std::vector<HWND> windows;
  return windows;
}

// Messages whose result a dialog procedure returns directly instead of through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT msg) {
  switch (msg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

// The control message as the watchers see it; nothing for a menu's or an accelerator's command
// and a window's own scroll bars.
bool ControlEventOf(UINT msg, WPARAM wp, LPARAM lp, ControlEvent& event) {
  event.msg = msg;
  switch (msg) {
    case WM_COMMAND:
      event.control = reinterpret_cast<HWND>(lp);
      event.id = LOWORD(wp);
      event.code = HIWORD(wp);
      return event.control != nullptr;
    case WM_NOTIFY:
      if (!lp) return false;
      event.control = reinterpret_cast<const NMHDR*>(lp)->hwndFrom;
      event.id = static_cast<int>(reinterpret_cast<const NMHDR*>(lp)->idFrom);
      event.code = reinterpret_cast<const NMHDR*>(lp)->code;
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
      event.control = reinterpret_cast<HWND>(lp);
      event.id = event.control ? ::GetDlgCtrlID(event.control) : 0;
      event.code = LOWORD(wp);
      return event.control != nullptr;
    default:
      return false;
  }
}

}  // namespace

Dialog::~Dialog() {
  if (hwnd() && ::IsWindow(hwnd())) {
    // Against the teardown rule (dialog.h): the window outlived the object's derived parts.
    TraceQuietFailure("dialog object dropped before its window", 0);
    HWND h = hwnd();
    Detach();
    UnregisterModeless(h);
    if (!modal_) ::DestroyWindow(h);
  }
}

INT_PTR Dialog::DoModal() {
  modal_ = true;
  auto self = reinterpret_cast<LPARAM>(this);
  if (memory_template_)
    return ::DialogBoxIndirectParamA(ResourceInstance(), memory_template_, parent_, &Dialog::StaticDialogProc, self);
  return ::DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(template_id_), parent_, &Dialog::StaticDialogProc,
                           self);
}

bool Dialog::Create() {
  modal_ = false;
  auto self = reinterpret_cast<LPARAM>(this);
  HWND h = memory_template_
               ? ::CreateDialogIndirectParamA(ResourceInstance(), memory_template_, parent_, &Dialog::StaticDialogProc,
                                              self)
               : ::CreateDialogParamA(ResourceInstance(), MAKEINTRESOURCEA(template_id_), parent_,
                                      &Dialog::StaticDialogProc, self);
  if (!h) return false;
  if (!(::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) RegisterModeless(h);
  return true;
}

bool Dialog::Create(HWND parent) {
  parent_ = parent;
  return Create();
}

void Dialog::DestroyWindow() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

void Dialog::EndDialog(INT_PTR result) {
  if (!hwnd()) return;
  if (modal_) {
    ::EndDialog(hwnd(), result);
  } else {
    ::ShowWindow(hwnd(), SW_HIDE);
  }
}

std::string Dialog::ItemText(int id) const {
  HWND item = Item(id);
  int length = item ? ::GetWindowTextLengthA(item) : 0;
  std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
  int copied = item ? ::GetWindowTextA(item, text.data(), static_cast<int>(text.size())) : 0;
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

bool Dialog::OnCommand(WORD id, WORD code, HWND) {
  if (code != BN_CLICKED && code != 1 /* accelerator */) return false;
  if (id == IDOK) {
    OnOK();
    return true;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return true;
  }
  return false;
}

bool Dialog::OnNotify(const NMHDR&, LRESULT&) { return false; }

bool Dialog::OnHScroll(HWND, WORD, WORD) { return false; }

bool Dialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

INT_PTR Dialog::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT result = 0;
  bool handled = false;
  switch (msg) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      handled = ReflectControlMessage(hwnd(), msg, wp, lp, result);
      if (!handled) handled = OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
      if (!handled) handled = OnMessage(msg, wp, lp, result);
      break;
    case WM_NOTIFY:
      handled = ReflectControlMessage(hwnd(), msg, wp, lp, result);
      if (!handled && lp) handled = OnNotify(*reinterpret_cast<const NMHDR*>(lp), result);
      if (!handled) handled = OnMessage(msg, wp, lp, result);
      break;
    case WM_HSCROLL:
      handled = lp && OnHScroll(reinterpret_cast<HWND>(lp), LOWORD(wp), HIWORD(wp));
      if (!handled) handled = OnMessage(msg, wp, lp, result);
      break;
    default:
      handled = OnMessage(msg, wp, lp, result);
      if (!handled && (msg == WM_DRAWITEM || msg == WM_MEASUREITEM || msg == WM_DELETEITEM)) {
        handled = ReflectOwnerDraw(msg, wp, lp);
        result = TRUE;
      }
      break;
  }
  if (ControlEvent event; ControlEventOf(msg, wp, lp, event)) WatchControl(event);
  if (!handled) return FALSE;
  if (ReturnsResultDirectly(msg)) return static_cast<INT_PTR>(result);
  ::SetWindowLongPtrA(hwnd(), DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<Dialog*>(Window::FromHandle(hwnd));
  if (!self && msg == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lp);
    if (self) self->Attach(hwnd);
  }
  if (!self) return FALSE;
  INT_PTR answer = FALSE;
  try {
    answer = self->DialogProc(msg, wp, lp);
  } catch (...) {
    char where[64];
    std::snprintf(where, sizeof where, "dialog procedure, message 0x%04X", msg);
    ReportCaughtException(where);
    answer = FALSE;  // nothing may cross into the window manager
  }
  if (msg == WM_NCDESTROY) {
    UnregisterModeless(hwnd);
    self->Detach();
    self->OnFinalDestroy();
  }
  return answer;
}

// ---- message loop -------------------------------------------------------------------------

void RegisterModeless(HWND hwnd) {
  auto& windows = ModelessWindows();
  if (std::find(windows.begin(), windows.end(), hwnd) == windows.end()) windows.push_back(hwnd);
}

void UnregisterModeless(HWND hwnd) {
  auto& windows = ModelessWindows();
  windows.erase(std::remove(windows.begin(), windows.end(), hwnd), windows.end());
}

bool PreTranslateDialogMessage(MSG& msg) {
  if (!msg.hwnd) return false;
  const auto& windows = ModelessWindows();
  // The innermost registered window takes the keys: a page inside a window gets its own Enter
  // and Escape.
  for (HWND h = msg.hwnd; h; h = (::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) ? ::GetParent(h) : nullptr) {
    if (std::find(windows.begin(), windows.end(), h) != windows.end()) return ::IsDialogMessageA(h, &msg) != FALSE;
  }
  return false;
}

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return -1;
    if (PreTranslateDialogMessage(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace vantrel::fw
