// Shared by the tests of the custom controls: a window to host them, and a memory canvas
// whose pixels can be read back.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/handles.h"
#include "framework/window.h"

namespace vantrel::testing {

// A visible top-level window that reflects owner-drawn requests to its children (as dialogs
// do) and records the page messages it receives.
class ControlHost : public fw::Window {
 public:
  ControlHost() = default;
  ~ControlHost() override;
  bool Create(int width = 480, int height = 360);

  std::vector<WPARAM> pages;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// A 32-bit memory bitmap selected into its own device context.
class Canvas {
 public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const noexcept { return dc_.get(); }
  COLORREF At(int x, int y) const { return ::GetPixel(dc_, x, y); }
  // Pixels of `colour` (or, with `other_than`, of any other colour) inside `area`.
  int Count(COLORREF colour, const RECT& area, bool other_than = false) const;
  bool SameAs(const Canvas& other) const;

 private:
  int width_;
  int height_;
  fw::UniqueMemoryDC dc_;
  fw::UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
};

// A pixel of a window's client area as shown (copied out: window DCs may not answer GetPixel).
COLORREF WindowPixel(HWND window, int x, int y);

// A font drawn without smoothing, so that text pixels have exactly the text colour.
fw::UniqueFont CrispFont(int height = 14, int weight = FW_NORMAL);

}  // namespace vantrel::testing
