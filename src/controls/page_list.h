// The page selector: a list view with behaviour of its own.
#pragma once

#include <windows.h>

#include "framework/window.h"

namespace vantrel::controls {

// Page list -> its parent: wParam = the index of the page chosen, lParam = the list's window.
// The number is also DM_SETDEFID: a dialog acts on it only when lParam is its page list.
inline constexpr UINT WM_PAGE_SELECTED = WM_USER + 1;
// Hover tracking: the leave check.
inline constexpr UINT_PTR kPageListTimer = 272;

// A large-icon list view whose icons behave like flat toolbar buttons: a raised frame under
// the mouse, a sunken one while pressed, and on release the parent gets WM_PAGE_SELECTED with
// the item's index. The list's own selection, keyboard and right button do nothing.
class CPageListCtrl : public fw::Window {
 public:
  CPageListCtrl() = default;

  int hot_item() const noexcept { return hot_item_; }
  bool pressed() const noexcept { return pressed_; }
  bool tracking() const noexcept { return tracking_; }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  enum class Frame { Raised, Sunken, Erase };
  void DrawFrame(int item, Frame frame);
  void OnMouseMove(LPARAM lp);
  void OnTimer();
  bool OnSetCursor();
  void Leave();

  int hot_item_ = -1;
  bool pressed_ = false;
  bool tracking_ = false;
  POINT last_point_{};
};

}  // namespace vantrel::controls
