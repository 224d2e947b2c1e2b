// Paints the meter's face: the face bitmap, the time and the percentage in the private bitmap
// font, and the empty part of the charge bar blanked in white. Drawn off-screen and copied to
// the window in one operation.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "display/core/meter_face.h"
#include "display/meter_battery.h"
#include "framework/handles.h"
#include "power/power_platform.h"

namespace vantrel::display {

class MeterPainter {
 public:
  // Loads the font strip and builds the painter's own PowerPlatform.
  explicit MeterPainter(HWND window);
  ~MeterPainter();
  MeterPainter(const MeterPainter&) = delete;
  MeterPainter& operator=(const MeterPainter&) = delete;

  // Gives the window its battery-shaped outline. False when the region could not be set.
  bool SetOutline();

  // One paint: the face with the current figures, copied to `target` at (0, 0).
  void Paint(HDC target);

  // Draws `figures` over the face held by `surface` (a 56x33 drawing surface).
  void RenderFace(HDC surface, const FaceFigures& figures) const;
  // Draws `text` with the bitmap font at `at`.
  void DrawFontText(HDC surface, Point at, const std::string& text) const;

  bool font_loaded() const noexcept { return font_.valid(); }
  power::PowerPlatform& platform() noexcept { return platform_; }

 private:
  HWND window_;
  std::array<POINT, kOutline.size()> outline_{};
  int outline_count_ = 0;
  fw::UniqueBitmap font_;
  power::PowerPlatform platform_;
};

}  // namespace vantrel::display
