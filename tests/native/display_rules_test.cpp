// The meter's face geometry, glyph lookup and timer decisions, the tray icon's rules, the
// battery notices' crossing rules, and the power schemes' and wake-up's small rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "display/core/meter_face.h"
#include "display/core/meter_rules.h"
#include "display/core/notice_rules.h"
#include "display/core/tray_rules.h"
#include "power/core/scheme_rules.h"
#include "power/core/wake_up_rules.h"

namespace vantrel::display {
namespace {

TEST(MeterRulesTest, GlyphsBarTicksFadesPlacementAndTrayIcon) {
  // Glyphs come from row 0, then row 1, else the fallback block: no lower case, and nothing past
  // a row's end, not even its terminating zero. The bar is capped.
  struct { char c; int x, y; } glyphs[] = {{'@', 135, 0}, {'\\', 100, 6}, {'z', 0, 3}, {'\0', 0, 3}, {'\xff', 0, 3}};
  for (const auto& c : glyphs) EXPECT_EQ(GlyphOrigin(c.c).x + 1000 * GlyphOrigin(c.c).y, c.x + 1000 * c.y) << int(c.c);
  for (int c = 0; c < 256; ++c) {
    Point p = GlyphOrigin(static_cast<char>(c));
    EXPECT_TRUE(p.x + kGlyphWidth <= kFontWidth && p.y + kGlyphHeight <= kFontHeight) << c;
  }
  EXPECT_EQ(BlankLeft(0xFFFFFFFFu), 45);  // the bar is capped at 100 %, whatever the sum of the batteries
  EXPECT_EQ(ChargeText(4294967295u), "4294967295%");  // an unknown capacity summed in: shown as is

  // The tick's decisions.
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
  // Fades take their steps and end on the configured alpha.
  EXPECT_EQ(FadeOutAlphas(0).size(), 26u);
  EXPECT_EQ(FadeOutAlphas(250), std::vector<uint8_t>{5});  // an 8-bit counter would wrap here
  EXPECT_TRUE(FadeOutAlphas(255).empty());
  EXPECT_EQ(FadeInAlphas(200), (std::vector<uint8_t>{0, 10, 20, 30, 40, 50, 55}));  // the configured 55 last
  for (int a = 0; a < 255; ++a) {
    std::vector<uint8_t> in = FadeInAlphas(static_cast<uint8_t>(a));
    EXPECT_EQ(in.back(), 255 - a);
    EXPECT_LE(in.size(), 27u);
  }
  // Placing within an area moves as little as possible.
  auto place = [](int x, int y, Rect area) {
    Point p = PlaceWithin({x, y, x + 56, y + 33}, area);
    return std::pair{p.x, p.y};
  };
  EXPECT_EQ(place(5000, -5000, {0, 0, 1280, 994}), (std::pair{1224, 0}));
  EXPECT_EQ(place(-3000, 3000, {-1024, 0, 0, 768}), (std::pair{-1024, 735}));  // a monitor at negative x
  EXPECT_EQ(place(900, 900, {0, 0, 40, 20}), (std::pair{0, 0}));  // too small: the top-left corner stays in

  // The tray icon's free identifier, platform codes and tooltip.
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

// Readings as "charge flow" words, the flow '=' on mains, '+' charging, '-' discharging; the
// notices they raise, in order: L low battery, C charge limit.
std::string Raised(NoticeRules& rules, NoticeLevels levels, const char* readings) {
  std::string raised;
  for (const char* at = readings; *at;) {
    char* end = nullptr;
    const unsigned charge = static_cast<unsigned>(std::strtoul(at, &end, 10));
    const char f = *end;
    const PowerFlow flow = f == '=' ? PowerFlow::kOnMains : f == '+' ? PowerFlow::kCharging : PowerFlow::kDischarging;
    for (at = end + 1; *at == ' ';) ++at;
    const Notice n = rules.Update(levels, charge, flow);
    if (n != Notice::kNone) raised += n == Notice::kLowBattery ? 'L' : 'C';
  }
  return raised;
}

TEST(NoticeRulesTest, EachLevelIsToldOncePerCrossingAndArmedAgainFivePointsBack) {
  // A row that does not start afresh goes on with the rules of the row before.
  const struct { bool fresh; unsigned low, limit; const char *readings, *raised; } cases[] = {
      // Draining through the level, wavering around it; back up by four points, then by five.
      {true, 15, 0, "17- 16- 15- 14- 16- 15- 13-", "L"}, {true, 15, 0, "15- 19+ 15-", "L"},
      {true, 15, 0, "15- 20+ 15-", "LL"},
      // Below the level but charging or on mains: nothing, until the charger is pulled.
      {true, 15, 0, "10+ 12=", ""}, {true, 15, 0, "10+ 11- 10-", "L"},
      {true, 15, 0, "5-", "L"},  // already below the level when the program starts: told at once
      {true, 15, 0, "0-", "L"},  // a charge of 0 is a real, empty battery and not "off"
      // An unknown charge raises nothing and leaves the state alone.
      {true, 15, 0, "255- 4294967295- 101-", ""}, {true, 15, 0, "14- 255+ 14-", "L"},
      // The limit only while charging; above it on mains, full, or on battery: nothing.
      {true, 0, 80, "78+ 79+ 80+ 81+ 79+ 80+ 100=", "C"}, {true, 0, 80, "80+ 76- 80+", "C"},
      {true, 0, 80, "80+ 75- 80+", "CC"}, {true, 0, 80, "90= 95- 100=", ""}, {true, 0, 0, "0- 1- 100+ 50=", ""},
      // A changed level is armed afresh: raised by the user, switched off and on again.
      {true, 15, 0, "14- 13-", "L"}, {false, 15, 0, "12-", ""}, {false, 30, 0, "12-", "L"},
      {false, 30, 0, "11-", ""}, {false, 0, 0, "11-", ""}, {false, 30, 0, "11-", "L"},
      // 100 % low battery: told when the charger is pulled from a full battery; a full battery
      // on mains arms it again, as five points more cannot be had.
      {true, 100, 0, "100- 100- 99-", "L"}, {true, 100, 0, "100- 99+ 100= 100-", "LL"},
      // 100 % charge limit: told when charging reaches full, also when the charger stops on the
      // reading that reaches full, as most do; never without charging.
      {true, 0, 100, "98+ 99+ 100+ 100+", "C"}, {true, 0, 100, "98+ 99+ 100= 100=", "C"},
      {true, 0, 100, "100= 100- 100=", ""}, {true, 0, 100, "100+ 96- 100+", "C"}, {true, 0, 100, "100+ 95- 100+", "CC"},
      // 1 %: low battery only at 1 and 0; a charge limit of 1 re-arms at empty.
      {true, 1, 0, "2- 1- 0-", "L"}, {true, 0, 1, "1+ 0= 1+", "CC"},
      {true, 20, 80, "50- 20- 10- 10+ 50+ 80+ 90+ 90- 60- 19-", "LCL"}};  // both levels over a cycle
  NoticeRules rules;
  for (const auto& c : cases) {
    if (c.fresh) rules = NoticeRules{};
    EXPECT_EQ(Raised(rules, {c.low, c.limit}, c.readings), c.raised) << c.low << "/" << c.limit << ": " << c.readings;
  }
}

TEST(PowerRulesTest, NewIdsCutsAndDueTimes) {
  std::vector<power::PowerSchemeEntry> list;
  EXPECT_EQ(power::NewSchemeId(list), 1u);
  for (uint32_t id : {3, 2, 1}) list.push_back(power::PowerSchemeEntry{id, "", ""});
  EXPECT_EQ(power::NewSchemeId(list), 4u);  // a taken candidate found late restarts the scan
  // A cut stops before a character it would split.
  const std::string straddling = std::string(31, 'a') + "\x81\x40";
  EXPECT_EQ(power::CutSchemeName(straddling, [](unsigned char byte) { return byte >= 0x80; }).size(), 31u);
  EXPECT_EQ(power::CutSchemeName(straddling).size(), 32u);
  EXPECT_EQ(power::CutSchemeDescription("short"), "short");
  EXPECT_EQ(power::WakeUpDueTime(36000), -360'000'000'000LL);  // beyond 32 bits
}

}  // namespace
}  // namespace vantrel::display
