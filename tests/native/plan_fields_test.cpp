// The field-to-setting conversions of the plan back end and the text form of plan GUIDs.
#include "power/core/plan_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/core/plan_guids.h"

namespace vantrel::power {
namespace {

using platform::PlanGuid;

TEST(PlanGuidTest, TextFormRoundTripsAndRejectsAnythingElse) {
  const PlanGuid balanced = platform::guids::kBalanced;
  EXPECT_EQ(platform::FormatGuid(balanced), "381b4222-f694-41f0-9685-ff5bb260df2e");
  for (const char* text : {"381b4222-f694-41f0-9685-ff5bb260df2e", "{381B4222-F694-41F0-9685-FF5BB260DF2E}"}) {
    PlanGuid read;
    ASSERT_TRUE(platform::ParseGuid(text, &read)) << text;
    EXPECT_EQ(read, balanced) << text;
  }
  for (const char* text : {"", "381b4222-f694-41f0-9685-ff5bb260df2", "381b4222-f694-41f0-9685-ff5bb260df2e0",
                           "381b4222+f694-41f0-9685-ff5bb260df2e", "381b4222-f694-41f0-9685-ff5bb260dfzz",
                           "{381b4222-f694-41f0-9685-ff5bb260df2e"}) {
    PlanGuid untouched = balanced;
    EXPECT_FALSE(platform::ParseGuid(text, &untouched)) << text;
    EXPECT_EQ(untouched, balanced) << text;
  }
}

// Actions go through the setting's possible values, never as numbers.
TEST(PlanFieldsTest, ActionsConvertThroughThePossibleValues) {
  const uint32_t buttons[] = {0, 2, 3, 6};       // nothing, sleep, hibernate, shut down
  const uint32_t sleep_button[] = {0, 2, 3, 8};  // no shut down; index 3 turns the display off
  struct Row {
    std::span<const uint32_t> possible;
    uint32_t xp;
    std::optional<uint32_t> index;
  } rows[] = {
      {buttons, 3, 2u},
      {buttons, 6, 3u},
      {buttons, 2, 1u},
      {buttons, 0, 0u},
      {buttons, 5, std::nullopt},       // shut down and reset: no counterpart
      {sleep_button, 6, std::nullopt},  // the sleep button cannot shut down
      {sleep_button, 3, 2u},
      {{}, 2, std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ToSetting(Conversion::Action, row.xp, 0, row.possible), row.index) << row.xp;
    if (row.index) {
      EXPECT_EQ(FromSetting(Conversion::Action, *row.index, row.possible), row.xp) << row.xp;
    }
  }
  EXPECT_EQ(FromSetting(Conversion::Action, 3, sleep_button), 8u) << "index 3 is not shut down here";
  EXPECT_EQ(FromSetting(Conversion::Action, 4, buttons), std::nullopt);
}

TEST(PlanFieldsTest, AlarmBitsChangeOnlyTheirOwnPartOfTheFlagsSetting) {
  const uint32_t flags = kAlarmFlagEnable | 0x1 | 0x100;  // enabled, text, and a bit nobody maps
  EXPECT_EQ(ToSetting(Conversion::AlarmEnable, 0, flags), 0x101u);
  EXPECT_EQ(ToSetting(Conversion::AlarmEvents, 0x6, flags), kAlarmFlagEnable | 0x106);
  EXPECT_EQ(ToSetting(Conversion::AlarmEvents, 0x8, flags), std::nullopt) << "a notification the plan cannot hold";
  EXPECT_EQ(FromSetting(Conversion::AlarmEnable, flags), 1u);
  EXPECT_EQ(FromSetting(Conversion::AlarmEvents, flags), 1u);
  EXPECT_EQ(ToSetting(Conversion::Percent, 101, 0), std::nullopt);
  EXPECT_EQ(FromSetting(Conversion::Percent, 300), 255u) << "an XP percent is a byte";
  EXPECT_EQ(ToSetting(Conversion::Flag, 4, 0), 1u);
}

TEST(PlanFieldsTest, EachMappedFieldHasOneSettingAndEveryFieldAName) {
  std::set<std::string> names;
  for (int i = 0; i < kXpFieldCount; ++i) names.insert(XpFieldName(static_cast<XpField>(i)));
  EXPECT_EQ(names.size(), static_cast<size_t>(kXpFieldCount));
  EXPECT_EQ(names.count("?"), 0u);
  std::set<XpField> fields;
  for (const PlanSetting& row : PlanSettings()) {
    EXPECT_TRUE(fields.insert(row.field).second) << XpFieldName(row.field);
    EXPECT_EQ(FindPlanSetting(row.field), &row);
    // Alarms act on battery: their AC values are never touched.
    const bool alarm = row.subgroup == platform::guids::kBatterySubgroup;
    EXPECT_EQ(row.sides == Sides::DcOnly, alarm) << XpFieldName(row.field);
  }
  EXPECT_EQ(FindPlanSetting(XpField::ThrottlePolicy), nullptr);
  EXPECT_EQ(FindPlanSetting(XpField::AlarmActionFlags), nullptr);
  EXPECT_EQ(FindPlanSetting(AlarmField(XpField::AlarmLevel, 3))->setting, platform::guids::kAlarmLevel[3]);
}

}  // namespace
}  // namespace vantrel::power
