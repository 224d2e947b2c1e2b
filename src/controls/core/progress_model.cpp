#include "controls/core/progress_model.h"

#include <cstdint>
#include <cstdio>

namespace vantrel::controls {

namespace {

// (position − lower) × scale / (upper − lower), truncated toward zero. The span is below 2^32
// and the scale a client width or 100, so the product fits in 64 bits.
int Scaled(int position, int lower, int upper, int scale) noexcept {
  if (!DrawableRange(lower, upper)) return 0;
  const int64_t quotient = (static_cast<int64_t>(position) - lower) * scale / (static_cast<int64_t>(upper) - lower);
  if (quotient > INT32_MAX) return INT32_MAX;
  if (quotient < INT32_MIN) return INT32_MIN;
  return static_cast<int>(quotient);
}

}  // namespace

int FilledWidth(int position, int lower, int upper, int width) noexcept { return Scaled(position, lower, upper, width); }

int ProgressPercent(int position, int lower, int upper) noexcept { return Scaled(position, lower, upper, 100); }

std::string ProgressText(const std::string& own_text, int percent) {
  if (!own_text.empty()) return own_text;
  char text[16];
  std::snprintf(text, sizeof text, "%d%%", percent);
  return text;
}

}  // namespace vantrel::controls
