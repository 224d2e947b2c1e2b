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
  EXPECT_TRUE(CheckBrackets(mask)) << mask;
  EXPECT_TRUE(ParseMask(mask, elements)) << mask;
  return elements;
}

TEST(MaskTest, TimeMaskGivesSevenElements) {
  auto e = Parse("[0-9]:[0-5][0-9]:[0-5][0-9]");
  ASSERT_EQ(e.size(), 7u);
  const char* sets[] = {"0123456789", ":", "012345", "0123456789", ":", "012345", "0123456789"};
  for (size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(e[i].characters, sets[i]) << i;
    EXPECT_EQ(e[i].literal, i == 1 || i == 4) << i;
  }
}

TEST(MaskTest, BracketStructure) {
  for (const char* bad : {"[0-9", "0-9]", "[[0-9]]", "][", "[a]]"}) EXPECT_FALSE(CheckBrackets(bad)) << bad;
  for (const char* good : {"", "abc", "[a][b]", "x[]y"}) EXPECT_TRUE(CheckBrackets(good)) << good;
  EXPECT_TRUE(Parse("").empty());
}

TEST(MaskTest, EscapesRangesAndLiterals) {
  std::vector<MaskElement> e;
  EXPECT_FALSE(ParseMask("[-9]", e));        // a range without a start
  EXPECT_TRUE(e.empty());
  EXPECT_EQ(Parse("[\\-9]")[0].characters, "-9");
  EXPECT_EQ(Parse("[\\\\]")[0].characters, "\\");
  EXPECT_EQ(Parse("[Z-\\\\]")[0].characters, "Z[\\");  // an escaped backslash ends a range
  auto closed = Parse("[a-c\\]x");  // "]" closes the set even after a backslash, as counted
  ASSERT_EQ(closed.size(), 2u);
  EXPECT_EQ(closed[0].characters, "abc");
  EXPECT_EQ(closed[1].characters, "x");
  EXPECT_EQ(Parse("[c-a]")[0].characters, "");         // an empty set accepts nothing
  auto literals = Parse("-\\a");
  ASSERT_EQ(literals.size(), 3u);
  EXPECT_TRUE(literals[0].literal && literals[1].literal && literals[2].literal);
  EXPECT_EQ(literals[1].characters, "\\");
  EXPECT_EQ(Parse("[\xF0-\xFF]")[0].characters.size(), 16u);  // codes above 127 range too
}

TEST(MaskTest, ElementLimit) {
  std::vector<MaskElement> e;
  EXPECT_TRUE(ParseMask(std::string(kMaxMaskElements, 'x'), e));
  EXPECT_FALSE(ParseMask(std::string(kMaxMaskElements, 'x') + "[0]", e));
  EXPECT_TRUE(e.empty());
}

TEST(MaskRulesTest, ShownAndRawText) {
  auto e = Parse("[0-9]:[0-5][0-9]:[0-5][0-9]");
  MaskRules zero(e, '0');
  MaskRules blank(e, '_');
  EXPECT_EQ(zero.Shown("10500"), "1:05:00");
  EXPECT_EQ(zero.Shown(""), "0:00:00");
  EXPECT_EQ(zero.Shown("9x"), "9:00:00");
  EXPECT_EQ(blank.Shown("9x"), "9:__:__");
  EXPECT_EQ(blank.Shown("1234567"), "1:23:45");  // surplus input is dropped
  EXPECT_EQ(zero.Raw("1:05:00"), "15");
  EXPECT_EQ(blank.Raw("1:05:00"), "10500");
  EXPECT_EQ(blank.Raw("1:0"), "10___");  // missing positions read as the prompt
}

TEST(MaskRulesTest, Positions) {
  auto e = Parse("[0-9]:[0-5][0-9]:[0-5][0-9]");
  MaskRules rules(e, '_');
  EXPECT_EQ(rules.FirstInput(), 0);
  EXPECT_EQ(rules.LastInput(), 6);
  EXPECT_EQ(rules.NextInput(1), 2);
  EXPECT_EQ(rules.NextInput(7), -1);
  EXPECT_EQ(rules.PrevInput(4), 3);
  EXPECT_EQ(rules.PrevInput(-1), -1);
  EXPECT_EQ(rules.Blank(0, 7), "_:__:__");
  EXPECT_EQ(rules.Blank(3, 99), "_:__");
  EXPECT_TRUE(rules.Accepts(2, '5'));
  EXPECT_FALSE(rules.Accepts(2, '7'));
  EXPECT_FALSE(rules.Accepts(7, '1'));
  auto literals = Parse("ab");
  EXPECT_EQ(MaskRules(literals, '_').LastInput(), -1);
}

TEST(GradientTest, TableAndRounding) {
  EXPECT_EQ(MulDivRounded(255, 1, 2), 128);
  EXPECT_EQ(MulDivRounded(-255, 1, 2), -128);
  EXPECT_EQ(MulDivRounded(1, 1, 0), -1);
  EXPECT_EQ(MulDivRounded(INT_MAX, 4, 2), -1);
  const Colour start = MakeColour(255, 0, 192);
  const Colour end = MakeColour(0, 255, 0);
  auto table = GradientTable(start, end, 256);
  ASSERT_EQ(table.size(), 256u);
  EXPECT_EQ(table.front(), start);
  EXPECT_EQ(table.back(), end);
  EXPECT_EQ(table[128], MakeColour(127, 128, 96));
  EXPECT_EQ(GradientTable(start, end, 1), std::vector<Colour>{start});
  EXPECT_EQ(GradientTable(start, end, 1000).size(), 256u);
}

TEST(GradientTest, RowsRunFromStartAtTheBottomToEndAtTheTop) {
  const Colour start = MakeColour(0, 0, 192);
  const Colour end = MakeColour(10, 20, 30);
  auto pixels = GradientPixels(start, end, 3, 600, 256);
  ASSERT_EQ(pixels.size(), 1800u);
  EXPECT_EQ(pixels[0], 0x0000C0u);  // 0x00RRGGBB, row 0 = bottom
  EXPECT_EQ(pixels[2], 0x0000C0u);
  EXPECT_EQ(pixels[1799], 0x0A141Eu);  // the top row reaches the end colour past 512 rows
  EXPECT_EQ(GradientRowEntry(256, 99, 100), 253);  // a short bar stops just before it
  EXPECT_TRUE(GradientPixels(start, end, 0, 10, 256).empty());
  EXPECT_TRUE(GradientPixels(start, end, 10, -1, 256).empty());
  EXPECT_TRUE(GradientPixels(start, end, 1 << 16, 1 << 16, 256).empty());
}

TEST(ProgressModelTest, WidthAndPercent) {
  EXPECT_EQ(FilledWidth(50, 0, 100, 80), 40);
  EXPECT_EQ(FilledWidth(101, 0, 100, 200), 202);  // not limited to the client
  EXPECT_EQ(FilledWidth(29, 0, 100, 100), 29);    // exact, where 0.29 × 100 in doubles gives 28
  EXPECT_EQ(FilledWidth(-5, 0, 100, 100), -5);
  EXPECT_EQ(FilledWidth(50, 100, 100, 80), 0);
  EXPECT_EQ(FilledWidth(INT_MAX, INT_MIN, INT_MAX, 1000), 1000);
  EXPECT_EQ(FilledWidth(INT_MAX, 0, 1, 1000), INT_MAX);
  for (int p : {29, 57, 58, 101}) EXPECT_EQ(ProgressPercent(p, 0, 100), p);
  EXPECT_EQ(ProgressPercent(3, 1, 5), 50);
  EXPECT_EQ(ProgressPercent(7, 9, 3), 0);
  EXPECT_EQ(ProgressText("", 101), "101%");
  EXPECT_EQ(ProgressText("87%", 50), "87%");
  EXPECT_EQ(ProgressText("", INT_MIN), "-2147483648%");
}

}  // namespace
}  // namespace vantrel::controls
