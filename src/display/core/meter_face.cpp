#include "display/core/meter_face.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::display {

namespace {

// Searches the row's characters only: a NUL in the text must not match the row's terminator.
int IndexIn(const char* row, std::size_t length, char c) noexcept {
  for (std::size_t i = 0; i < length; ++i) {
    if (row[i] == c) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

Point GlyphOrigin(char c) noexcept {
  int index = IndexIn(kFontRow0, kFontRow0Length, c);
  if (index >= 0) return {index * kGlyphWidth, 0};
  index = IndexIn(kFontRow1, kFontRow1Length, c);
  if (index >= 0) return {index * kGlyphWidth, kGlyphHeight};
  return kFallbackGlyph;
}

int TextWidth(std::size_t length) noexcept {
  if (length == 0) return 0;
  // Longer texts could never fit on the face; the cap keeps the arithmetic in range.
  length = std::min<std::size_t>(length, 4096);
  return static_cast<int>(length) * kGlyphWidth - 1;
}

int BlankLeft(unsigned charge) noexcept {
  unsigned capped = std::min(charge, 100u);
  return static_cast<int>(capped * kBarWidth / 100) + kBarArea.left;
}

std::string ChargeText(unsigned charge) {
  char text[16];
  std::snprintf(text, sizeof text, "%u%%", charge);
  return text;
}

}  // namespace vantrel::display
