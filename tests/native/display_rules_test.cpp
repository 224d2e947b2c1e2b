// The meter's face geometry, glyph lookup and timer decisions, and the tray icon's rules.
#include <gtest/gtest.h>

#include <cstring>

#include "display/core/meter_face.h"
#include "display/core/meter_rules.h"
#include "display/core/tray_rules.h"

namespace vantrel::display {
namespace {

TEST(MeterFaceTest, GlyphsComeFromRowZeroThenRowOneElseTheFallbackBlock) {
  // Letters and the specials of row 0.
  EXPECT_EQ(GlyphOrigin('A').x, 0);
  EXPECT_EQ(GlyphOrigin('U').x, 100);
  EXPECT_EQ(GlyphOrigin('U').y, 0);
  EXPECT_EQ(GlyphOrigin('"').x, 130);
  EXPECT_EQ(GlyphOrigin('@').x, 135);
  EXPECT_EQ(GlyphOrigin('\x01').x, 140);
  // The blank exists in both rows: row 0 wins.
  EXPECT_EQ(GlyphOrigin(' ').x, 145);
  EXPECT_EQ(GlyphOrigin(' ').y, 0);
  // Digits and signs of row 1, including the last cell.
  EXPECT_EQ(GlyphOrigin('0').x, 0);
  EXPECT_EQ(GlyphOrigin('0').y, 6);
  EXPECT_EQ(GlyphOrigin(':').x, 60);
  EXPECT_EQ(GlyphOrigin('%').x, 130);
  EXPECT_EQ(GlyphOrigin('\\').x, 100);
  EXPECT_EQ(GlyphOrigin('#').x, 150);
  EXPECT_EQ(GlyphOrigin('#').y, 6);
  // No lower case, and nothing past a row's end: not even the terminating zero.
  for (char c : {'a', 'z', '\0', '\x7f', '\xff', '*'}) {
    EXPECT_EQ(GlyphOrigin(c).x, 0) << int(c);
    EXPECT_EQ(GlyphOrigin(c).y, 3) << int(c);
  }
}

TEST(MeterFaceTest, EveryGlyphLiesInsideTheStrip) {
  for (int c = 0; c < 256; ++c) {
    Point p = GlyphOrigin(static_cast<char>(c));
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x + kGlyphWidth, kFontWidth) << c;
    EXPECT_LE(p.y + kGlyphHeight, kFontHeight) << c;
  }
}

TEST(MeterFaceTest, BarIsBlankedFromTheChargeAndCappedAtAHundred) {
  EXPECT_EQ(BlankLeft(0), 7);     // the whole bar x 7..44
  EXPECT_EQ(BlankLeft(50), 26);
  EXPECT_EQ(BlankLeft(1), 7);     // 38 / 100 truncates
  EXPECT_EQ(BlankLeft(99), 44);   // one column left
  EXPECT_EQ(BlankLeft(100), 45);  // nothing
  EXPECT_EQ(BlankLeft(170), 45);
  EXPECT_EQ(BlankLeft(0xFFFFFFFFu), 45);
  EXPECT_EQ(BlankRect(50).right, 45);
  EXPECT_EQ(BlankRect(50).top, 14);
  EXPECT_EQ(BlankRect(50).bottom, 19);
}

TEST(MeterFaceTest, TextsAndWidths) {
  EXPECT_EQ(TextWidth(0), 0);
  EXPECT_EQ(TextWidth(1), 4);
  EXPECT_EQ(TextWidth(7), 34);
  EXPECT_EQ(ChargeText(87), "87%");
  EXPECT_EQ(ChargeText(0), "0%");
  EXPECT_EQ(ChargeText(170), "170%");
  // A remaining capacity reported as unknown enters the sum as a huge number: shown, not cut.
  EXPECT_EQ(ChargeText(4294967295u), "4294967295%");
}

TEST(MeterRulesTest, TickWithoutAppearOnlyShowsOrRepaints) {
  TickState s;
  s.visible = true;
  EXPECT_EQ(DecideTick(s), TickAction::kRepaint);
  s.pointer_inside = true;
  EXPECT_EQ(DecideTick(s), TickAction::kRepaint);
  s.visible = false;  // auto-hidden and the pointer still there: wait
  EXPECT_EQ(DecideTick(s), TickAction::kRepaint);
  s.pointer_inside = false;
  EXPECT_EQ(DecideTick(s), TickAction::kShow);
}

TEST(MeterRulesTest, TickWithAppearOnlyFollowsTheBatteryOfInterest) {
  TickState s;
  s.appear_only = true;
  s.visible = true;
  EXPECT_EQ(DecideTick(s), TickAction::kHide);
  s.visible = false;
  EXPECT_EQ(DecideTick(s), TickAction::kNothing);
  s.battery_of_interest = true;
  EXPECT_EQ(DecideTick(s), TickAction::kShow);
  s.visible = true;
  EXPECT_EQ(DecideTick(s), TickAction::kRepaint);
  s.pointer_inside = true;
  EXPECT_EQ(DecideTick(s), TickAction::kNothing);
  s.visible = false;
  EXPECT_EQ(DecideTick(s), TickAction::kNothing);
}

TEST(MeterRulesTest, PointerOnTheEdgeIsOutside) {
  Rect r{10, 20, 66, 53};
  EXPECT_TRUE(StrictlyInside(r, {11, 21}));
  EXPECT_FALSE(StrictlyInside(r, {10, 30}));
  EXPECT_FALSE(StrictlyInside(r, {66, 30}));
  EXPECT_FALSE(StrictlyInside(r, {30, 20}));
  EXPECT_FALSE(StrictlyInside(r, {30, 53}));
}

TEST(MeterRulesTest, FadeOutStepsEndBelowFullTransparency) {
  std::vector<uint8_t> opaque = FadeOutAlphas(0);
  ASSERT_EQ(opaque.size(), 26u);
  EXPECT_EQ(opaque.front(), 255);
  EXPECT_EQ(opaque[1], 245);
  EXPECT_EQ(opaque.back(), 5);
  EXPECT_EQ(FadeOutAlphas(250), std::vector<uint8_t>{5});  // an 8-bit counter would wrap here
  EXPECT_EQ(FadeOutAlphas(254), std::vector<uint8_t>{1});
  EXPECT_TRUE(FadeOutAlphas(255).empty());
  EXPECT_EQ(FadeOutAlphas(200), (std::vector<uint8_t>{55, 45, 35, 25, 15, 5}));
}

TEST(MeterRulesTest, FadeInEndsOnTheConfiguredAlpha) {
  std::vector<uint8_t> opaque = FadeInAlphas(0);
  ASSERT_EQ(opaque.size(), 27u);  // 0, 10, ... 250, then 255
  EXPECT_EQ(opaque.front(), 0);
  EXPECT_EQ(opaque[25], 250);
  EXPECT_EQ(opaque.back(), 255);
  // v = 255 .. 205 (while v > 200) gives 0 .. 50; the configured alpha 55 follows.
  EXPECT_EQ(FadeInAlphas(200), (std::vector<uint8_t>{0, 10, 20, 30, 40, 50, 55}));
  // Steps that land on the configured alpha need no extra one.
  EXPECT_EQ(FadeInAlphas(205), (std::vector<uint8_t>{0, 10, 20, 30, 40, 50}));
  for (int a = 0; a < 255; ++a) {
    std::vector<uint8_t> steps = FadeInAlphas(static_cast<uint8_t>(a));
    EXPECT_EQ(steps.back(), 255 - a) << a;
    EXPECT_LE(steps.size(), 27u) << a;
  }
}

TEST(MeterRulesTest, PlaceWithinMovesAsLittleAsPossible) {
  Rect area{0, 0, 1280, 994};
  auto place = [&](int x, int y) { return PlaceWithin({x, y, x + 56, y + 33}, area); };
  EXPECT_EQ(place(-5000, -5000).x, 0);
  EXPECT_EQ(place(-5000, -5000).y, 0);
  EXPECT_EQ(place(5000, 100).x, 1224);
  EXPECT_EQ(place(5000, 100).y, 100);
  EXPECT_EQ(place(300, 3000).y, 961);
  EXPECT_EQ(place(300, 400).x, 300);
  // A second monitor to the left, at negative coordinates.
  Rect left{-1024, 0, 0, 768};
  Point p = PlaceWithin({-3000, 500, -2944, 533}, left);
  EXPECT_EQ(p.x, -1024);
  EXPECT_EQ(p.y, 500);
  // An area smaller than the window keeps the top-left corner in it.
  Point tiny = PlaceWithin({900, 900, 956, 933}, {0, 0, 40, 20});
  EXPECT_EQ(tiny.x, 0);
  EXPECT_EQ(tiny.y, 0);
}

TEST(TrayRulesTest, FreeIdentifierIsTheSmallestUnused) {
  EXPECT_EQ(FreeIconId({}), 1u);
  EXPECT_EQ(FreeIconId({1, 2, 4}), 3u);
  EXPECT_EQ(FreeIconId({4, 2, 1}), 3u);
  EXPECT_EQ(FreeIconId({2, 3}), 1u);
  EXPECT_EQ(FreeIconId({1, 1, 2, 2, 3}), 4u);
  EXPECT_EQ(FreeIconId({0, 0xFFFFFFFFu}), 1u);
}

TEST(TrayRulesTest, PlatformVersionCodes) {
  EXPECT_EQ(PlatformVersionCode(kPlatformWindows9x, 4, 0), 1);
  EXPECT_EQ(PlatformVersionCode(kPlatformWindows9x, 4, 10), 2);
  EXPECT_EQ(PlatformVersionCode(kPlatformWindows9x, 4, 90), 3);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 3, 51), 4);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 4, 0), 5);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 5, 0), 6);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 5, 1), 7);  // XP
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 6, 1), 7);  // 7
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 5, 2), 0);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 6, 0), 0);
  EXPECT_EQ(PlatformVersionCode(kPlatformNt, 10, 0), 0);
  EXPECT_EQ(PlatformVersionCode(0, 3, 10), 0);  // Win32s
}

TEST(TrayRulesTest, ShellVersionsAndTheLongRecord) {
  EXPECT_EQ(ShellVersion(6, 0), 0x60000u);
  EXPECT_GE(ShellVersion(5, 0), kLongRecordShell);
  EXPECT_LT(ShellVersion(4, 72), kLongRecordShell);
  EXPECT_EQ(ShellVersion(4, 0x12345), 0x42345u);
}

TEST(TrayRulesTest, TooltipIsCutAt63AndAlwaysTerminated) {
  char tip[128];
  std::memset(tip, 'x', sizeof tip);
  CopyTooltip("Corvane", tip, sizeof tip);
  EXPECT_STREQ(tip, "Corvane");
  CopyTooltip(std::string(100, 'a'), tip, sizeof tip);
  EXPECT_EQ(std::strlen(tip), 63u);
  CopyTooltip(std::string(63, 'b'), tip, sizeof tip);
  EXPECT_EQ(std::strlen(tip), 63u);
  // The short record's 64-byte field and smaller buffers.
  char small[8];
  CopyTooltip("Corvane battery", small, sizeof small);
  EXPECT_STREQ(small, "Corvane");
  CopyTooltip(std::string("ab\0cd", 5), tip, sizeof tip);
  EXPECT_STREQ(tip, "ab");
}

}  // namespace
}  // namespace vantrel::display
