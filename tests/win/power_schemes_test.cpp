// The scheme list, policies and capabilities of PowerPlatform against the simulated power library.
#include <gtest/gtest.h>

#include <string>

#include "power/power_platform.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using platform::sim::SimScheme;
using platform::sim::SimState;
using Calls = std::vector<std::string>;

class PowerSchemesTest : public ::testing::Test {
 protected:
  void Boot(SimState state = testing::XpLaptop()) {
    power_.reset();
    pc_.Boot(std::move(state));
    power_ = std::make_unique<PowerPlatform>();
    power_->EnumSchemes();
    pc_.fake().calls.clear();
  }
  // Schemes "Scheme <id>" with these ids, `active` active.
  void BootWith(std::initializer_list<UINT> ids, UINT active) {
    SimState state = testing::XpLaptop();
    state.schemes.clear();
    for (UINT id : ids) {
      SimScheme s;
      s.id = id;
      s.name = L"Scheme " + std::to_wstring(id);
      s.description = s.name + L" text";
      state.schemes.push_back(s);
    }
    state.active_scheme = active;
    Boot(std::move(state));
  }
  std::vector<UINT> Ids() {
    std::vector<UINT> ids;
    for (const SimScheme& s : pc_.state().schemes) ids.push_back(s.id);
    return ids;
  }

  testing::PowerTestMachine pc_;
  std::unique_ptr<PowerPlatform> power_;
};

TEST_F(PowerSchemesTest, ListsSchemesInOrderWithTwoCallTexts) {
  Boot();
  ASSERT_EQ(power_->GetSchemeCount(), 6u);
  EXPECT_EQ(power_->GetActiveSchemeIndex(), 1);
  // A buffer one short gets nothing and learns the length; the exact capacity gets the text.
  unsigned length = 0;
  std::string buffer(16, '#');
  power_->GetSchemeText(1, buffer.data(), 14, &length, nullptr, 0, nullptr);
  EXPECT_EQ(length, 15u);
  EXPECT_EQ(buffer, std::string(16, '#'));
  power_->GetSchemeText(1, buffer.data(), length, nullptr, nullptr, 0, nullptr);
  EXPECT_STREQ(buffer.c_str(), "Portable/Laptop");
  power_->EnumSchemes();
  EXPECT_EQ(power_->GetSchemeCount(), 6u) << "a new enumeration replaces the list";
  // Names, descriptions and the processor records are the Schemes page's tests, the sleep
  // states the editor's and the power actions'.
}

TEST_F(PowerSchemesTest, NewSchemesTakeTheSmallestFreeIdAndCutTexts) {
  BootWith({0, 1, 2, 4}, 0);
  POWER_POLICY policy{};
  policy.user.VideoTimeoutAc = 321;
  int number = -1;
  ASSERT_EQ(power_->WriteScheme(std::string(40, 'N').c_str(), std::string(300, 'd').c_str(), policy, &number), 0);
  EXPECT_EQ(number, 4);
  EXPECT_EQ(Ids(), (std::vector<UINT>{0, 1, 2, 4, 3}));
  const SimScheme& stored = pc_.state().schemes.back();
  EXPECT_EQ(stored.description, std::wstring(255, L'd'));
  EXPECT_EQ(stored.policy.user.VideoTimeoutAc, 321u);
  EXPECT_EQ(power_->schemes()[4].name, std::string(32, 'N')) << "the list holds what the system holds";
}

TEST_F(PowerSchemesTest, ActiveSchemeMissingFromTheListGivesTheCountAndNothingReadsPastTheEnd) {
  BootWith({0, 1}, 9);
  int active = power_->GetActiveSchemeIndex();
  EXPECT_EQ(active, 2);
  POWER_POLICY policy{};
  EXPECT_NE(power_->ReadScheme(active, &policy), 0);
  char name[8] = "keep";
  unsigned length = 99;
  power_->GetSchemeText(active, name, sizeof name - 1, &length, nullptr, 0, nullptr);
  EXPECT_STREQ(name, "keep");
  EXPECT_EQ(length, 99u);
  EXPECT_EQ(power_->SetActiveScheme(active), -1);
  EXPECT_EQ(power_->DeleteScheme(active), 0);
  EXPECT_EQ(Ids(), (std::vector<UINT>{0, 1}));
}

TEST_F(PowerSchemesTest, GlobalPolicyWriteReappliesTheActiveSchemeAndChangesSurviveInTheStateFile) {
  Boot();
  GLOBAL_POWER_POLICY global{};
  ASSERT_EQ(PowerPlatform::ReadGlobalPolicy(&global), 0);
  global.user.DischargePolicy[1].BatteryLevel = 17;
  ASSERT_EQ(PowerPlatform::WriteGlobalPolicy(global), 0);
  EXPECT_EQ(pc_.fake().calls, (Calls{"WriteGlobalPwrPolicy", "SetActivePwrScheme 1"}));

  // Null records keep the stored ones; given records replace them.
  const DWORD video = pc_.state().schemes[3].policy.user.VideoTimeoutAc;
  EXPECT_EQ(power_->SetActiveScheme(3), 0);
  EXPECT_EQ(pc_.state().schemes[3].policy.user.VideoTimeoutAc, video);
  POWER_POLICY changed{};
  changed.user.VideoTimeoutAc = 4321;
  EXPECT_EQ(power_->SetActiveScheme(3, nullptr, &changed), 0);
  ASSERT_EQ(power_->DeleteScheme(0), 1);

  SimState reread;
  ASSERT_TRUE(platform::sim::LoadState(pc_.machine().ini_path(), reread));
  ASSERT_EQ(reread.schemes.size(), 5u);
  EXPECT_EQ(reread.schemes[0].id, 1u) << "the deleted scheme is gone and the others moved up";
  EXPECT_EQ(reread.schemes[2].policy.user.VideoTimeoutAc, 4321u);
  EXPECT_EQ(reread.active_scheme, 3u);
  EXPECT_EQ(reread.global.user.DischargePolicy[1].BatteryLevel, 17u);
}

}  // namespace
}  // namespace vantrel::power
