#include <gtest/gtest.h>

#include "power/core/scheme_rules.h"
#include "power/core/wake_up_rules.h"

namespace vantrel::power {
namespace {

uint32_t NewIdAmong(std::initializer_list<uint32_t> ids) {
  std::vector<PowerSchemeEntry> list;
  for (uint32_t id : ids) list.push_back(PowerSchemeEntry{id, "", ""});
  return NewSchemeId(list);
}

TEST(SchemeRulesTest, NewIdIsTheSmallestFreePositiveOneInAnyOrder) {
  EXPECT_EQ(NewIdAmong({0, 1, 2, 4}), 3u);
  EXPECT_EQ(NewIdAmong({0}), 1u);
  EXPECT_EQ(NewIdAmong({}), 1u);
  EXPECT_EQ(NewIdAmong({3, 2, 1}), 4u);  // a taken candidate found late restarts the scan
}

bool HighBitLeads(unsigned char byte) { return byte >= 0x80; }

TEST(SchemeRulesTest, CutsStopAtTheLimitWithoutSplittingACharacter) {
  EXPECT_EQ(CutSchemeName(std::string(40, 'a')), std::string(32, 'a'));
  EXPECT_EQ(CutSchemeDescription(std::string(300, 'd')).size(), 255u);
  EXPECT_EQ(CutSchemeDescription("short"), "short");
  std::string straddling = std::string(31, 'a') + "\x81\x40";
  EXPECT_EQ(CutSchemeName(straddling, HighBitLeads).size(), 31u);
  EXPECT_EQ(CutSchemeName(straddling).size(), 32u);
}

TEST(WakeUpRulesTest, DueTimesAreRelativeHundredNanoseconds) {
  EXPECT_EQ(WakeUpDueTime(60), -600'000'000LL);
  EXPECT_EQ(WakeUpDueTime(36000), -360'000'000'000LL);  // beyond 32 bits
}

}  // namespace
}  // namespace vantrel::power
