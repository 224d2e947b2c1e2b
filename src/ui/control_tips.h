// Tips over a page's controls, disabled ones included. A disabled control gets no mouse
// messages, so each tip is a tool of the page over the control's place rather than of the
// control itself.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handles.h"

namespace vantrel::ui {

class ControlTips {
 public:
  // Sets the tip over control `id` of `page`; an empty text removes it. The tooltip window is
  // made on first need.
  void Set(HWND page, int id, const std::string& text);
  // With the page's window: the tooltip belongs to it.
  void Reset() noexcept { window_.reset(); }

 private:
  static constexpr LPARAM kTipWidth = 300;
  fw::UniqueWindow window_;
};

}  // namespace vantrel::ui
