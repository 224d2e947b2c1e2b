// Colour arithmetic of the menu side bar: a vertical gradient drawn from a table of colours.
#pragma once

#include <cstdint>
#include <vector>

namespace vantrel::controls {

// Colours in the platform's COLORREF layout: 0x00BBGGRR.
using Colour = uint32_t;
constexpr Colour MakeColour(int red, int green, int blue) noexcept {
  return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Colour c) noexcept { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) noexcept { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) noexcept { return static_cast<int>((c >> 16) & 0xFF); }

inline constexpr int kMaxGradientSteps = 256;

// a × b / c rounded half away from zero, through 64 bits; -1 when c is 0 or the result does
// not fit, as the platform's MulDiv answers.
int MulDivRounded(int a, int b, int c) noexcept;

// `steps` colours (1 … 256; other values are brought into that range) from `start` to `end`:
// entry k = start + (end − start) × k / (steps − 1) per channel, kept to 8 bits.
std::vector<Colour> GradientTable(Colour start, Colour end, int steps);

// The table entry of memory row `row` of a picture `height` rows high: steps × row / height,
// limited to the last entry.
int GradientRowEntry(int steps, int row, int height) noexcept;

// The pixels of a bottom-up 32-bit picture (0x00RRGGBB each, row 0 first = the bottom row):
// the start colour at the bottom, the end colour at the top. Empty when a side is not
// positive or the picture would be unreasonably large.
std::vector<uint32_t> GradientPixels(Colour start, Colour end, int width, int height, int steps);

}  // namespace vantrel::controls
