#include <gtest/gtest.h>

#include "power/core/scheme_switch_rules.h"

namespace vantrel::power {
namespace {

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
