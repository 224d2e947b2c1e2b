// Geometry and text of the self-painted progress bar. Exact integer arithmetic: a quotient
// such as 29/100 computed in floating point lands just below 0.29 and would truncate to 28.
#pragma once

#include <string>

namespace vantrel::controls {

// True when the range can be drawn (lower below upper).
constexpr bool DrawableRange(int lower, int upper) noexcept { return lower < upper; }

// trunc((position − lower) × width / (upper − lower)): the width of the filled part, not
// limited to 0 … width; 0 for a range that cannot be drawn.
int FilledWidth(int position, int lower, int upper, int width) noexcept;

// trunc((position − lower) × 100 / (upper − lower)), not limited to 0 … 100; 0 for a range
// that cannot be drawn.
int ProgressPercent(int position, int lower, int upper) noexcept;

// The text the bar shows: the owner's text when it has one, otherwise the percentage
// followed by "%".
std::string ProgressText(const std::string& own_text, int percent);

}  // namespace vantrel::controls
