#include <gtest/gtest.h>

#include "power/core/scheme_rules.h"
#include "power/core/wake_up_rules.h"

namespace vantrel::power {
namespace {

std::vector<PowerSchemeEntry> WithIds(std::initializer_list<uint32_t> ids) {
  std::vector<PowerSchemeEntry> list;
  for (uint32_t id : ids) list.push_back(PowerSchemeEntry{id, "", ""});
  return list;
}

TEST(SchemeRulesTest, NewIdIsTheSmallestFreePositiveOne) {
  EXPECT_EQ(NewSchemeId(WithIds({0, 1, 2, 4})), 3u);
  EXPECT_EQ(NewSchemeId(WithIds({0})), 1u);
  EXPECT_EQ(NewSchemeId(WithIds({})), 1u);
  // Order does not matter: a taken candidate found late must restart the scan.
  EXPECT_EQ(NewSchemeId(WithIds({3, 2, 1})), 4u);
  EXPECT_EQ(NewSchemeId(WithIds({5, 2, 1, 4})), 3u);
}

bool HighBitLeads(unsigned char byte) { return byte >= 0x80; }

TEST(SchemeRulesTest, CutsStopAtTheLimitWithoutSplittingACharacter) {
  EXPECT_EQ(CutSchemeName(std::string(40, 'a')), std::string(32, 'a'));
  EXPECT_EQ(CutSchemeName("short"), "short");
  EXPECT_EQ(CutSchemeDescription(std::string(300, 'd')).size(), 255u);
  EXPECT_EQ(CutSchemeDescription(std::string(255, 'd')).size(), 255u);
  // 31 single bytes then a two-byte character: the pair would straddle the limit.
  std::string mixed = std::string(31, 'a') + "\x81\x40" + "b";
  EXPECT_EQ(CutSchemeName(mixed, HighBitLeads).size(), 31u);
  EXPECT_EQ(CutSchemeName(mixed).size(), 32u);
  std::string pairs;
  for (int i = 0; i < 20; ++i) pairs += "\x81\x40";
  EXPECT_EQ(CutSchemeName(pairs, HighBitLeads).size(), 32u);
}

TEST(WakeUpRulesTest, OffsetsAreHoursAndMinutes) {
  EXPECT_EQ(WakeUpSecondsFromOffset(1), 60u);
  EXPECT_EQ(WakeUpSecondsFromOffset(105), 3900u);
  EXPECT_EQ(WakeUpSecondsFromOffset(850), 31800u);
  EXPECT_EQ(WakeUpSecondsFromOffset(1000), 36000u);
  EXPECT_EQ(WakeUpSecondsFromOffset(0), 0u);
}

TEST(WakeUpRulesTest, DueTimeIsRelativeInHundredNanosecondsWithoutOverflow) {
  EXPECT_EQ(WakeUpDueTime(60), -600'000'000LL);
  EXPECT_EQ(WakeUpDueTime(8100), -81'000'000'000LL);
  EXPECT_EQ(WakeUpDueTime(36000), -360'000'000'000LL);
}

}  // namespace
}  // namespace vantrel::power
