#include "ui/control_tips.h"

#include <commctrl.h>

namespace vantrel::ui {

void ControlTips::Set(HWND page, int id, const std::string& text) {
  HWND control = ::GetDlgItem(page, id);
  if (!control) return;
  TTTOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = page;
  tool.uId = static_cast<UINT_PTR>(id);
  if (window_) ::SendMessageA(window_, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
  if (text.empty()) return;
  if (!window_) {
    window_.reset(::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, page, nullptr, nullptr,
                                    nullptr));
    if (!window_) return;
    ::SendMessageA(window_, TTM_SETMAXTIPWIDTH, 0, kTipWidth);
  }
  std::string copy = text;  // the tooltip copies it; the field is not const
  tool.uFlags = TTF_SUBCLASS;
  ::GetWindowRect(control, &tool.rect);
  ::MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&tool.rect), 2);
  tool.lpszText = copy.data();
  ::SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace vantrel::ui
