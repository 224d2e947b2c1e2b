// A progress bar that paints itself: the filled part, the empty part, and a centred text whose
// colours are inverted where it lies over the filled part.
#pragma once

#include <windows.h>

#include <string>

#include "framework/window.h"

namespace vantrel::controls {

// Bound to a progress-bar control (SubclassDlgItem, or made with Create). It keeps its own
// range, position and text; the platform never draws the bar. The owner sets the text with
// the ordinary window-text call; without one the bar shows its percentage.
class TextProgressBar : public fw::Window {
 public:
  TextProgressBar();

  bool Create(HWND parent, const RECT& rect, int id);

  // Stores the range; no repaint.
  void SetRange(int lower, int upper) noexcept {
    lower_ = lower;
    upper_ = upper;
  }
  // Returns the previous step.
  int SetStep(int step) noexcept;
  // Returns the previous position, or -1 (nothing stored) without a window. Repaints at once
  // when the filled width changes by at least one pixel.
  int SetPos(int position);

  int position() const noexcept { return position_; }
  int lower() const noexcept { return lower_; }
  int upper() const noexcept { return upper_; }
  const std::string& text() const noexcept { return text_; }
  void set_show_text(bool show) noexcept { show_text_ = show; }

  // Paints the whole bar into `dc` as it appears on screen.
  void Paint(HDC dc, const RECT& client);

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void OnPaint();
  void OnPrintClient(HDC dc);
  LRESULT OnSetText(WPARAM wp, LPARAM lp);
  LRESULT OnGetText(WPARAM size, LPARAM buffer) const;
  HFONT TextFont() const;

  int position_ = 0;
  int step_ = 1;
  int upper_ = 100;
  int lower_ = 0;
  std::string text_;
  bool show_text_ = true;
  int last_bar_width_ = -1;  // -1: the next SetPos repaints
  COLORREF bar_colour_;
  COLORREF background_colour_;
  COLORREF text_over_empty_colour_;
  COLORREF text_over_bar_colour_;
  HFONT font_ = nullptr;  // given by WM_SETFONT, not owned
};

}  // namespace vantrel::controls
