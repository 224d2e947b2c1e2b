// The meter's face geometry, glyph lookup and timer decisions, and the tray icon's rules.
#include <gtest/gtest.h>

#include <cstring>

#include "display/core/meter_face.h"
#include "display/core/meter_rules.h"
#include "display/core/tray_rules.h"

namespace vantrel::display {
namespace {

TEST(MeterFaceTest, GlyphsComeFromRowZeroThenRowOneElseTheFallbackBlockAndTheBarIsCapped) {
  struct { char c; int x, y; } cases[] = {
      {'@', 135, 0}, {'\x01', 140, 0}, {'\\', 100, 6}, {'#', 150, 6},
      // No lower case, and nothing past a row's end, not even its terminating zero.
      {'z', 0, 3}, {'\0', 0, 3}, {'\xff', 0, 3}, {'*', 0, 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(GlyphOrigin(c.c).x + 1000 * GlyphOrigin(c.c).y, c.x + 1000 * c.y) << int(c.c);
  }
  for (int c = 0; c < 256; ++c) {
    Point p = GlyphOrigin(static_cast<char>(c));
    EXPECT_TRUE(p.x + kGlyphWidth <= kFontWidth && p.y + kGlyphHeight <= kFontHeight) << c;
  }
  EXPECT_EQ(BlankLeft(0xFFFFFFFFu), 45);  // the bar is capped at 100 %, whatever the sum of the batteries
  EXPECT_EQ(ChargeText(4294967295u), "4294967295%");  // an unknown capacity summed in: shown as is
}

TEST(MeterRulesTest, TickDecisions) {
  using A = TickAction;
  // appear-only, battery of interest, visible, pointer inside -> action
  struct { bool only, interest, visible, inside; A action; } cases[] = {
      {false, false, true, false, A::kRepaint},  {false, false, false, true, A::kRepaint},
      {false, false, false, false, A::kShow},    {true, false, true, false, A::kHide},
      {true, false, false, false, A::kNothing},  {true, true, false, false, A::kShow},
      {true, true, true, false, A::kRepaint},    {true, true, true, true, A::kNothing},
      {true, true, false, true, A::kNothing}};
  for (const auto& c : cases)
    EXPECT_EQ(DecideTick({c.only, c.interest, c.visible, c.inside}), c.action)
        << c.only << c.interest << c.visible << c.inside;
  // The edge of the rectangle is outside.
  EXPECT_TRUE(StrictlyInside({10, 20, 66, 53}, {11, 21}));
  EXPECT_FALSE(StrictlyInside({10, 20, 66, 53}, {10, 30}));
  EXPECT_FALSE(StrictlyInside({10, 20, 66, 53}, {30, 53}));
}

TEST(MeterRulesTest, FadesTakeTheirStepsAndEndOnTheConfiguredAlpha) {
  std::vector<uint8_t> out = FadeOutAlphas(0);
  EXPECT_EQ(out.size(), 26u);
  EXPECT_EQ(out.back(), 5);
  EXPECT_EQ(FadeOutAlphas(250), std::vector<uint8_t>{5});  // an 8-bit counter would wrap here
  EXPECT_TRUE(FadeOutAlphas(255).empty());
  // v = 255 .. 205 (while v > 200) gives 0 .. 50; the configured 55 follows.
  EXPECT_EQ(FadeInAlphas(200), (std::vector<uint8_t>{0, 10, 20, 30, 40, 50, 55}));
  EXPECT_EQ(FadeInAlphas(205), (std::vector<uint8_t>{0, 10, 20, 30, 40, 50}));
  for (int a = 0; a < 255; ++a) {
    std::vector<uint8_t> in = FadeInAlphas(static_cast<uint8_t>(a));
    EXPECT_EQ(in.back(), 255 - a);
    EXPECT_LE(in.size(), 27u);
  }
}

TEST(MeterRulesTest, PlaceWithinMovesAsLittleAsPossible) {
  const Rect area{0, 0, 1280, 994};
  auto place = [&](int x, int y) {
    Point p = PlaceWithin({x, y, x + 56, y + 33}, area);
    return std::pair{p.x, p.y};
  };
  EXPECT_EQ(place(-5000, -5000), (std::pair{0, 0}));
  EXPECT_EQ(place(5000, 100), (std::pair{1224, 100}));
  EXPECT_EQ(place(300, 3000), (std::pair{300, 961}));
  EXPECT_EQ(place(300, 400), (std::pair{300, 400}));
  Point left = PlaceWithin({-3000, 500, -2944, 533}, {-1024, 0, 0, 768});  // a monitor at negative x
  EXPECT_EQ(left.x, -1024);
  Point tiny = PlaceWithin({900, 900, 956, 933}, {0, 0, 40, 20});  // the top-left corner stays in
  EXPECT_EQ(tiny.x + tiny.y, 0);
}

TEST(TrayRulesTest, FreeIdentifierPlatformCodesAndTooltip) {
  EXPECT_EQ(FreeIconId({1, 1, 2, 2, 3}), 4u);
  EXPECT_EQ(FreeIconId({0, 0xFFFFFFFFu}), 1u);

  struct { unsigned platform, major, minor; int code; } codes[] = {
      {kPlatformWindows9x, 4, 10, 2}, {kPlatformNt, 5, 1, 7}, {kPlatformNt, 6, 1, 7},
      {kPlatformNt, 5, 2, 0},         {kPlatformNt, 10, 0, 0}, {0, 3, 10, 0}};
  for (const auto& c : codes) EXPECT_EQ(PlatformVersionCode(c.platform, c.major, c.minor), c.code);

  char small[8];  // smaller fields are filled and terminated
  CopyTooltip("Corvane battery", small, sizeof small);
  EXPECT_STREQ(small, "Corvane");
  CopyTooltip(std::string("ab\0cd", 5), small, sizeof small);
  EXPECT_STREQ(small, "ab");
}

}  // namespace
}  // namespace vantrel::display
