#include "power/core/setting_values.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vantrel::power {
namespace {

constexpr SettingRange kPercent{0, 100, 1};
constexpr SettingRange kFives{10, 100, 5};    // 10, 15, ... 100
constexpr SettingRange kOdd{1, 20, 3};        // 1, 4, ... 19: the top is not a step
constexpr SettingRange kWhole{0, UINT32_MAX, 1};
constexpr SettingRange kUpsideDown{50, 20, 0};  // a broken definition: only its lowest

TEST(SettingValuesTest, TypedNumbersFitTheRangeAndItsSteps) {
  struct Row {
    const char* text;
    SettingRange range;
    bool taken;
    uint32_t value;
  } rows[] = {
      {"42", kPercent, true, 42},
      {" 7 ", kPercent, true, 7},
      {"250", kPercent, true, 100},
      {"0", kFives, true, 10},
      {"33", kFives, true, 30},
      {"20", kOdd, true, 19},
      {"99999999999999999999", kWhole, true, UINT32_MAX},
      {"4294967295", kWhole, true, UINT32_MAX},
      {"30", kUpsideDown, true, 50},
      {"", kPercent, false, 0},
      {"  ", kPercent, false, 0},
      {"-5", kPercent, false, 0},
      {"12a", kPercent, false, 0},
  };
  for (const Row& row : rows) {
    uint32_t value = 0;
    EXPECT_EQ(ParseInRange(row.text, row.range, &value), row.taken) << row.text;
    if (row.taken) {
      EXPECT_EQ(value, row.value) << row.text;
    }
  }
}

TEST(SettingValuesTest, StepsStayInTheRange) {
  struct Row {
    uint32_t value;
    int steps;
    SettingRange range;
    uint32_t expected;
  } rows[] = {
      {50, 1, kPercent, 51},          {0, -1, kPercent, 0},   {100, 1, kPercent, 100},
      {15, 2, kFives, 25},            {12, 1, kFives, 15},    {10, -3, kFives, 10},
      {19, 1, kOdd, 19},              {UINT32_MAX, 1, kWhole, UINT32_MAX},
      {0, -1, kWhole, 0},             {50, 1, kUpsideDown, 50},
  };
  for (const Row& row : rows)
    EXPECT_EQ(StepInRange(row.value, row.steps, row.range), row.expected) << row.value << " by " << row.steps;
}

}  // namespace
}  // namespace vantrel::power
