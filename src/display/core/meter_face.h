// The meter's face in pixels: its outline, the charge bar, where the texts go and how the
// private bitmap font is laid out. Shared by the painter and its tests; no Windows types.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace vantrel::display {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
};

// The face bitmap: a 52x33 body with a 4x17 nub on the right.
inline constexpr int kFaceWidth = 56;
inline constexpr int kFaceHeight = 33;

// The window outline, in window pixels (filled in alternate mode).
inline constexpr std::array<Point, 9> kOutline = {{
    {0, 0}, {52, 0}, {52, 8}, {56, 8}, {56, 25}, {52, 25}, {52, 33}, {0, 33}, {0, 0},
}};

// The charge bar of the face bitmap: x 7..44, y 14..18.
inline constexpr Rect kBarArea = {7, 14, 45, 19};
inline constexpr int kBarWidth = kBarArea.right - kBarArea.left;  // 38

inline constexpr Point kTimeTextOrigin = {9, 4};
inline constexpr Point kChargeTextOrigin = {16, 23};

// The font strip: 5x6 cells, 31 columns, rows at y 0, 6 and 12 (the third is spare).
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 6;
inline constexpr int kFontColumns = 31;
inline constexpr int kFontRows = 3;
inline constexpr int kFontWidth = kGlyphWidth * kFontColumns;   // 155
inline constexpr int kFontHeight = kGlyphHeight * kFontRows;    // 18

// Row 0 ends with the double quote, the at sign, the character with code 1 and a blank.
inline constexpr char kFontRow0[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\"@\x01 ";
inline constexpr char kFontRow1[] = "0123456789  :()-'!_+\\/[]^&%,=$#";
inline constexpr std::size_t kFontRow0Length = sizeof kFontRow0 - 1;  // 30
inline constexpr std::size_t kFontRow1Length = sizeof kFontRow1 - 1;  // 31

// Characters in neither row are drawn with the block at (0, 3).
inline constexpr Point kFallbackGlyph = {0, 3};

// Top-left corner of the strip block that draws `c`: row 0 is searched first, then row 1.
Point GlyphOrigin(char c) noexcept;

// Width in pixels of a text of `length` characters: the last glyph's spacing column is
// dropped. Zero for the empty text.
int TextWidth(std::size_t length) noexcept;

// The charge bar is blanked (white) from this x to the bar's right edge; the bar is capped at
// 100 %, so 100 and more blank nothing.
int BlankLeft(unsigned charge) noexcept;
inline Rect BlankRect(unsigned charge) noexcept {
  return {BlankLeft(charge), kBarArea.top, kBarArea.right, kBarArea.bottom};
}

// "87%": the charge as the face shows it.
std::string ChargeText(unsigned charge);

}  // namespace vantrel::display
