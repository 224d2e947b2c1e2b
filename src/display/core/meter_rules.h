// What the meter does on its timers and on pointer-over, as plain decisions the window carries
// out. No Windows types.
#pragma once

#include <cstdint>
#include <vector>

#include "display/core/meter_face.h"

namespace vantrel::display {

// The once-a-second tick.
enum class TickAction { kNothing, kHide, kRepaint, kShow };

struct TickState {
  bool appear_only = false;         // AppearOnlyWhenChrDischr
  bool battery_of_interest = false;  // a battery charges or discharges (asked only with appear_only)
  bool visible = false;
  bool pointer_inside = false;  // strictly inside the window rectangle
};

TickAction DecideTick(const TickState& state) noexcept;

// Strictly inside: a pointer on the rectangle's edge is outside.
inline bool StrictlyInside(const Rect& r, const Point& p) noexcept {
  return p.x > r.left && p.x < r.right && p.y > r.top && p.y < r.bottom;
}

inline bool Intersects(const Rect& a, const Rect& b) noexcept {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Auto-hide with transparency: the alphas set, 10 ms apart, before the window is hidden
// (alpha 255 - v for v = bAlpha, bAlpha + 10, ... while v < 255).
std::vector<uint8_t> FadeOutAlphas(uint8_t bAlpha);
inline constexpr unsigned kFadeOutStepMs = 10;

// Coming back: the alphas set, 50 ms apart (alpha 255 - v for v = 255, 245, ... while
// v > bAlpha), ending on the configured alpha 255 - bAlpha.
std::vector<uint8_t> FadeInAlphas(uint8_t bAlpha);
inline constexpr unsigned kFadeInStepMs = 50;

// The alpha the meter has with transparency on.
inline constexpr uint8_t ConfiguredAlpha(uint8_t bAlpha) noexcept { return static_cast<uint8_t>(255 - bAlpha); }

// Where a window of `window`'s size goes so that it lies within `area` as far as it fits,
// moved as little as possible.
Point PlaceWithin(const Rect& window, const Rect& area) noexcept;

}  // namespace vantrel::display
