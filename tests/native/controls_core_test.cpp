// The portable rules of the custom controls: masks, the side bar gradient, progress geometry.
#include <gtest/gtest.h>

#include <climits>

#include "controls/core/gradient.h"
#include "controls/core/mask_engine.h"
#include "controls/core/progress_model.h"

namespace vantrel::controls {
namespace {

std::vector<MaskElement> Parse(const std::string& mask) {
  std::vector<MaskElement> elements;
  EXPECT_TRUE(CheckBrackets(mask) && ParseMask(mask, elements)) << mask;
  return elements;
}

TEST(MaskTest, BracketsEscapesAndRanges) {
  for (const char* bad : {"[0-9", "0-9]", "[[0-9]]", "]["}) EXPECT_FALSE(CheckBrackets(bad)) << bad;
  EXPECT_TRUE(Parse("").empty());
  std::vector<MaskElement> e;
  EXPECT_FALSE(ParseMask("[-9]", e));  // a range without a start
  EXPECT_FALSE(ParseMask(std::string(kMaxMaskElements, 'x') + "[0]", e));
  EXPECT_TRUE(e.empty());
  EXPECT_EQ(Parse("[\\-9]")[0].characters, "-9");
  EXPECT_EQ(Parse("[Z-\\\\]")[0].characters, "Z[\\");  // an escaped backslash ends a range
  EXPECT_EQ(Parse("[c-a]")[0].characters, "");         // an empty set accepts nothing
  auto closed = Parse("[a-c\\]-\\");                   // "]" closes even after a backslash
  ASSERT_EQ(closed.size(), 3u);
  EXPECT_EQ(closed[0].characters, "abc");
  EXPECT_TRUE(closed[1].literal && closed[2].literal);
}

TEST(MaskRulesTest, ShownRawAndPositions) {
  const auto elements = Parse("[0-9]:[0-5][0-9]:[0-5][0-9]");  // the rules keep a reference
  MaskRules blank(elements, '_');
  EXPECT_EQ(blank.Shown("1234567"), "1:23:45");
  EXPECT_EQ(blank.Raw("1:0"), "10___");  // missing positions read as the prompt
  EXPECT_EQ(blank.NextInput(7), -1);
  EXPECT_EQ(blank.PrevInput(4), 3);
  EXPECT_EQ(blank.Blank(3, 99), "_:__");
}

TEST(GradientTest, StartAtTheBottomEndAtTheTop) {
  EXPECT_EQ(MulDivRounded(255, 1, 2), 128);
  EXPECT_EQ(MulDivRounded(-255, 1, 2), -128);
  EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
  auto pixels = GradientPixels(MakeColour(0, 0, 192), MakeColour(10, 20, 30), 3, 600, 256);
  ASSERT_EQ(pixels.size(), 1800u);
  EXPECT_EQ(pixels[0], 0x0000C0u);     // 0x00RRGGBB, row 0 = bottom
  EXPECT_EQ(pixels[1799], 0x0A141Eu);  // the top row reaches the end colour past 512 rows
  EXPECT_EQ(GradientRowEntry(256, 99, 100), 253);  // a short bar stops just before it
  EXPECT_TRUE(GradientPixels(0, 0, 0, 10, 256).empty());
  EXPECT_TRUE(GradientPixels(0, 0, 1 << 16, 1 << 16, 256).empty());
}

TEST(ProgressModelTest, ExactWidthAndPercent) {
  EXPECT_EQ(FilledWidth(101, 0, 100, 200), 202);  // not limited to the client
  EXPECT_EQ(FilledWidth(29, 0, 100, 100), 29);    // 0.29 × 100 in doubles gives 28
  EXPECT_EQ(FilledWidth(50, 100, 100, 80), 0);
  EXPECT_EQ(FilledWidth(INT_MAX, INT_MIN, INT_MAX, 1000), 1000);
  EXPECT_EQ(FilledWidth(INT_MAX, 0, 1, 1000), INT_MAX);
  EXPECT_EQ(ProgressPercent(57, 0, 100), 57);
}

}  // namespace
}  // namespace vantrel::controls
