// The meter's face geometry, glyph lookup and timer decisions, and the tray icon's rules.
#include <gtest/gtest.h>

#include <cstring>

#include "display/core/meter_face.h"
#include "display/core/meter_rules.h"
#include "display/core/tray_rules.h"

namespace vantrel::display {
namespace {

TEST(MeterFaceTest, GlyphsComeFromRowZeroThenRowOneElseTheFallbackBlockAndTheBarIsCapped) {
  // No lower case, and nothing past a row's end, not even its terminating zero.
  struct { char c; int x, y; } cases[] = {{'@', 135, 0}, {'\\', 100, 6}, {'z', 0, 3}, {'\0', 0, 3}, {'\xff', 0, 3}};
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
  EXPECT_FALSE(StrictlyInside({10, 20, 66, 53}, {10, 30}));  // the edge of the rectangle is outside
  EXPECT_TRUE(StrictlyInside({10, 20, 66, 53}, {11, 21}));
}

TEST(MeterRulesTest, FadesTakeTheirStepsAndEndOnTheConfiguredAlpha) {
  EXPECT_EQ(FadeOutAlphas(0).size(), 26u);
  EXPECT_EQ(FadeOutAlphas(250), std::vector<uint8_t>{5});  // an 8-bit counter would wrap here
  EXPECT_TRUE(FadeOutAlphas(255).empty());
  EXPECT_EQ(FadeInAlphas(200), (std::vector<uint8_t>{0, 10, 20, 30, 40, 50, 55}));  // the configured 55 last
  for (int a = 0; a < 255; ++a) {
    std::vector<uint8_t> in = FadeInAlphas(static_cast<uint8_t>(a));
    EXPECT_EQ(in.back(), 255 - a);
    EXPECT_LE(in.size(), 27u);
  }
}

TEST(MeterRulesTest, PlaceWithinMovesAsLittleAsPossible) {
  auto place = [](int x, int y, Rect area) {
    Point p = PlaceWithin({x, y, x + 56, y + 33}, area);
    return std::pair{p.x, p.y};
  };
  EXPECT_EQ(place(5000, -5000, {0, 0, 1280, 994}), (std::pair{1224, 0}));
  EXPECT_EQ(place(-3000, 3000, {-1024, 0, 0, 768}), (std::pair{-1024, 735}));  // a monitor at negative x
  EXPECT_EQ(place(900, 900, {0, 0, 40, 20}), (std::pair{0, 0}));  // too small: the top-left corner stays in
}

TEST(TrayRulesTest, FreeIdentifierPlatformCodesAndTooltip) {
  EXPECT_EQ(FreeIconId({1, 1, 2, 2, 3}), 4u);
  EXPECT_EQ(FreeIconId({0, 0xFFFFFFFFu}), 1u);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 6, 1), 7);  // Windows 7 lays its icons out as XP does
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 5, 2), 0);
  char small[8];  // smaller fields are filled and terminated
  CopyTooltip("Corvane battery", small, sizeof small);
  EXPECT_STREQ(small, "Corvane");
  CopyTooltip(std::string("ab\0cd", 5), small, sizeof small);
  EXPECT_STREQ(small, "ab");
}

}  // namespace
}  // namespace vantrel::display
