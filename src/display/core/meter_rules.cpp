#include "display/core/meter_rules.h"

#include <algorithm>

namespace vantrel::display {

TickAction DecideTick(const TickState& s) noexcept {
  if (s.appear_only) {
    if (!s.battery_of_interest) return s.visible ? TickAction::kHide : TickAction::kNothing;
    if (s.pointer_inside) return TickAction::kNothing;
    return s.visible ? TickAction::kRepaint : TickAction::kShow;
  }
  if (s.visible) return TickAction::kRepaint;
  // Hidden under the pointer (after an auto-hide): stay hidden until the pointer leaves.
  return s.pointer_inside ? TickAction::kRepaint : TickAction::kShow;
}

std::vector<uint8_t> FadeOutAlphas(uint8_t bAlpha) {
  std::vector<uint8_t> alphas;
  // An int counter: an 8-bit one would wrap past 255 and never end.
  for (int v = bAlpha; v < 255; v += 10) alphas.push_back(static_cast<uint8_t>(255 - v));
  return alphas;
}

std::vector<uint8_t> FadeInAlphas(uint8_t bAlpha) {
  std::vector<uint8_t> alphas;
  int v = 255;
  do {
    alphas.push_back(static_cast<uint8_t>(255 - v));
    v -= 10;
  } while (v > bAlpha);
  // The steps stop up to 10 short of the configured alpha; finish on it, or the meter would
  // stay more transparent than set after every auto-hide.
  if (alphas.back() != ConfiguredAlpha(bAlpha)) alphas.push_back(ConfiguredAlpha(bAlpha));
  return alphas;
}

Point PlaceWithin(const Rect& window, const Rect& area) noexcept {
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  // Clamp to the right/bottom first, then to the left/top, so a window larger than the area
  // keeps its top-left corner visible.
  int x = std::max(std::min(window.left, area.right - width), area.left);
  int y = std::max(std::min(window.top, area.bottom - height), area.top);
  return {x, y};
}

}  // namespace vantrel::display
