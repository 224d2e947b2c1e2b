#include <gtest/gtest.h>

#include "power/core/scheme_rules.h"
#include "power/core/wake_up_rules.h"

namespace vantrel::power {
namespace {

TEST(PowerRulesTest, NewIdsCutsAndDueTimes) {
  std::vector<PowerSchemeEntry> list;
  EXPECT_EQ(NewSchemeId(list), 1u);
  for (uint32_t id : {3, 2, 1}) list.push_back(PowerSchemeEntry{id, "", ""});
  EXPECT_EQ(NewSchemeId(list), 4u);  // a taken candidate found late restarts the scan
  // A cut stops before a character it would split.
  const std::string straddling = std::string(31, 'a') + "\x81\x40";
  EXPECT_EQ(CutSchemeName(straddling, [](unsigned char byte) { return byte >= 0x80; }).size(), 31u);
  EXPECT_EQ(CutSchemeName(straddling).size(), 32u);
  EXPECT_EQ(CutSchemeDescription("short"), "short");
  EXPECT_EQ(WakeUpDueTime(36000), -360'000'000'000LL);  // beyond 32 bits
}

}  // namespace
}  // namespace vantrel::power
