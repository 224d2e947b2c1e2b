#include "controls/core/gradient.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace vantrel::controls {

namespace {

// A side bar is as tall as a menu; this bounds the buffer for nonsense sizes.
constexpr int64_t kMaxGradientPixels = int64_t{1} << 24;

}  // namespace

int MulDivRounded(int a, int b, int c) noexcept {
  if (c == 0) return -1;
  int64_t numerator = static_cast<int64_t>(a) * b;
  int64_t divisor = c;
  if (divisor < 0) {
    numerator = -numerator;
    divisor = -divisor;
  }
  int64_t result = numerator >= 0 ? (numerator + divisor / 2) / divisor : (numerator - divisor / 2) / divisor;
  if (result > INT32_MAX || result < -INT32_MAX) return -1;
  return static_cast<int>(result);
}

std::vector<Colour> GradientTable(Colour start, Colour end, int steps) {
  steps = std::clamp(steps, 1, kMaxGradientSteps);
  std::vector<Colour> table(static_cast<size_t>(steps));
  for (int k = 0; k < steps; ++k) {
    // One step has no span to divide: it is the start colour.
    auto channel = [&](int from, int to) { return steps == 1 ? from : from + MulDivRounded(to - from, k, steps - 1); };
    table[static_cast<size_t>(k)] = MakeColour(channel(RedOf(start), RedOf(end)), channel(GreenOf(start), GreenOf(end)),
                                               channel(BlueOf(start), BlueOf(end)));
  }
  return table;
}

int GradientRowEntry(int steps, int row, int height) noexcept {
  int entry = MulDivRounded(steps, row, height);
  if (entry < 0) return 0;
  return std::min(entry, steps - 1);
}

std::vector<uint32_t> GradientPixels(Colour start, Colour end, int width, int height, int steps) {
  std::vector<uint32_t> pixels;
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > kMaxGradientPixels) return pixels;
  steps = std::clamp(steps, 1, kMaxGradientSteps);
  std::vector<Colour> table = GradientTable(start, end, steps);
  pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row) {
    Colour c = table[static_cast<size_t>(GradientRowEntry(steps, row, height))];
    uint32_t pixel = static_cast<uint32_t>(BlueOf(c) | (GreenOf(c) << 8) | (RedOf(c) << 16));
    std::fill_n(pixels.begin() + static_cast<std::ptrdiff_t>(row) * width, width, pixel);
  }
  return pixels;
}

}  // namespace vantrel::controls
