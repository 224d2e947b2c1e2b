// Paints the meter's face: the face bitmap, the time and the percentage in the private bitmap
// font, and the empty part of the charge bar blanked in white. Drawn off-screen, again only
// when the time or the charge it shows changed; a second gone by redraws only the glyphs that
// differ, and only they are copied to the window. The face, the glyph strip and the off-screen
// surface are made once and kept selected: a paint, once a second all day, creates no drawing
// object at all.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "battery/battery_status.h"
#include "display/core/meter_face.h"
#include "display/meter_battery.h"
#include "framework/handles.h"
#include "power/power_platform.h"
#include "settings/core/app_settings.h"

namespace vantrel::display {

class MeterPainter {
 public:
  // Loads the face and the font strip and builds the painter's own PowerPlatform.
  // The figures follow `settings`, which must outlive the painter.
  MeterPainter(HWND window, const settings::AppSettings& settings);
  ~MeterPainter();
  MeterPainter(const MeterPainter&) = delete;
  MeterPainter& operator=(const MeterPainter&) = delete;

  // Gives the window its battery-shaped outline. False when the region could not be set.
  bool SetOutline();

  // One paint: the face with the current figures, copied to `target` at (0, 0).
  void Paint(HDC target);
  // Asks the batteries for the figures and draws the face again when what it shows changed;
  // true when it did (or the face could not be drawn before).
  bool Refresh();
  // The part of the face the last Refresh that returned true drew again.
  const RECT& changed() const noexcept { return changed_; }
  // Copies the face as last drawn to `target` at (0, 0), drawing it first if it never was;
  // with `area`, only that part of it.
  void Blit(HDC target, const RECT* area = nullptr);

  // Draws the face for `figures` on the off-screen surface; false when the painter's drawing
  // objects could not be made.
  bool RenderFace(const FaceFigures& figures);

  bool ready() const noexcept { return face_.valid() && font_.valid() && surface_.valid(); }
  // The figures of the last paint, and how many paints have asked for figures: others read
  // them from here instead of asking the batteries again.
  const FaceFigures& last_figures() const noexcept { return last_figures_; }
  uint32_t figure_count() const noexcept { return figure_count_; }
  power::PowerPlatform& platform() noexcept { return platform_; }

 private:
  // A memory drawing surface with one bitmap selected for its whole life.
  struct Canvas {
    fw::UniqueBitmap bitmap;
    fw::UniqueMemoryDC dc;
    HGDIOBJ original = nullptr;
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { Release(); }
    bool Hold(HBITMAP picture, HDC compatible);
    void Release() noexcept;
    bool valid() const noexcept { return dc.valid() && bitmap.valid(); }
  };

  // Draws `text` at `at`; with `before` (of the same length), only the glyphs that differ from
  // it. Returns the rectangle drawn.
  RECT DrawFontText(Point at, const std::string& text, const std::string* before = nullptr);

  HWND window_;
  const settings::AppSettings& settings_;
  std::array<POINT, kOutline.size()> outline_{};
  int outline_count_ = 0;
  Canvas font_;
  Canvas face_;
  Canvas surface_;
  power::PowerPlatform platform_;
  battery::NamedBatteryCache named_;  // for platform_ only
  FaceFigures last_figures_;
  uint32_t figure_count_ = 0;
  // What the surface shows: nothing until the first successful drawing.
  bool drawn_ = false;
  std::string drawn_time_;
  unsigned drawn_charge_ = 0;
  RECT changed_{0, 0, kFaceWidth, kFaceHeight};
};

}  // namespace vantrel::display
