// The field-to-setting conversions of the plan back end, the text form of plan GUIDs, and the
// rules of switching schemes or plans with the power source.
#include "power/core/plan_fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "platform/core/plan_guids.h"
#include "power/core/scheme_switch_rules.h"

namespace vantrel::power {
namespace {

using platform::PlanGuid;

TEST(PlanFieldsTest, TextFormRoundTripsAndRejectsAnythingElse) {
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

const std::vector<PowerSchemeEntry> kSchemes = {
    {0, "Home/Office Desk", ""}, {1, "Portable/Laptop", ""}, {3, "Max Battery", ""}, {4, "Max Battery", ""}};

TEST(SchemeSwitchRulesTest, OnlyAChangeBetweenKnownSourcesCounts) {
  PowerSourceWatch watch(kAcOnline);
  EXPECT_FALSE(watch.Changed(kAcOnline));  // a charge broadcast on mains
  EXPECT_TRUE(watch.Changed(kAcOffline));
  EXPECT_FALSE(watch.Changed(kAcOffline));  // the second broadcast of the same change
  EXPECT_FALSE(watch.Changed(kAcUnknown));
  EXPECT_EQ(watch.last(), kAcOffline);      // unknown is not remembered...
  EXPECT_TRUE(watch.Changed(kAcOnline));    // ...so the next known line compares with battery
  EXPECT_FALSE(watch.Changed(7));           // any other value is unknown too

  PowerSourceWatch unsure(kAcUnknown);
  EXPECT_FALSE(unsure.Changed(kAcOffline));  // learnt, not a change
  EXPECT_TRUE(unsure.Changed(kAcOnline));
}

TEST(SchemeSwitchRulesTest, EachSourceTakesItsOwnChoiceUnlessItNamesNothingNewOrNothingListed) {
  EXPECT_EQ(SchemeToActivate(kAcOnline, "Home/Office Desk", "Max Battery", kSchemes, 1), 0);
  EXPECT_EQ(SchemeToActivate(kAcOffline, "Home/Office Desk", "Max Battery", kSchemes, 1), 2);  // the first so named
  EXPECT_EQ(SchemeToActivate(kAcOffline, "Home/Office Desk", "", kSchemes, 1), kNoScheme);       // do not switch
  EXPECT_EQ(SchemeToActivate(kAcOnline, "Presentation", "Max Battery", kSchemes, 1), kNoScheme);  // deleted since
  EXPECT_EQ(SchemeToActivate(kAcOnline, "portable/laptop", "", kSchemes, 3), kNoScheme);  // names are exact
  EXPECT_EQ(SchemeToActivate(kAcOnline, "Portable/Laptop", "", kSchemes, 1), kNoScheme);  // active already
  EXPECT_EQ(SchemeToActivate(kAcUnknown, "Portable/Laptop", "Portable/Laptop", kSchemes, 0), kNoScheme);
  EXPECT_EQ(SchemeToActivate(kAcOnline, "Portable/Laptop", "", {}, 0), kNoScheme);
}

// The rest of the dialog's rules are driven through the dialog itself.
TEST(SchemeSwitchRulesTest, TheDialogShowsNoChoiceFirstAndANothingChosenClearsTheChoice) {
  EXPECT_EQ(SchemeChoiceItem("", kSchemes), 0);
  EXPECT_EQ(SchemeChoiceItem("Max Battery", kSchemes), 3) << "the first so named";
  EXPECT_EQ(ChosenSchemeName(-1, 2, "Portable/Laptop", "Max Battery"), "") << "nothing chosen";
}

TEST(SchemeSwitchRulesTest, APlanChoiceKeepsItsGuidAndNameAndAnOldChoiceIsAName) {
  const platform::PlanGuid balanced = platform::guids::kBalanced;
  const std::string stored = FormatPlanChoice(balanced, "Road {Trip}");
  EXPECT_EQ(stored, "{381b4222-f694-41f0-9685-ff5bb260df2e} Road {Trip}");
  struct Row {
    std::string stored;
    bool has_guid;
    std::string name;
  } rows[] = {{stored, true, "Road {Trip}"},
              {"{381B4222-F694-41F0-9685-FF5BB260DF2E}", true, ""},
              {"Portable/Laptop", false, "Portable/Laptop"},
              {"{not a guid} Mine", false, "{not a guid} Mine"},
              {"", false, ""}};
  for (const Row& row : rows) {
    const PlanChoice choice = ParsePlanChoice(row.stored);
    EXPECT_EQ(choice.has_guid, row.has_guid) << row.stored;
    EXPECT_EQ(choice.name, row.name) << row.stored;
    EXPECT_EQ(row.has_guid && choice.guid == balanced, row.has_guid) << row.stored;
  }
}

}  // namespace
}  // namespace vantrel::power
