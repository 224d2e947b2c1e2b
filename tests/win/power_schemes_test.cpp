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

TEST_F(PowerSchemesTest, ListsSchemesInOrderWithTwoCallTextsAndCapabilities) {
  Boot();  // S3, S4 and S5
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

  for (int state : {1, 6}) EXPECT_EQ(PowerPlatform::SupportsSleepState(state), 0) << state;
  EXPECT_EQ(PowerPlatform::SupportsSleepState(5), 1);
  pc_.state().hiber_file_present = false;
  EXPECT_EQ(PowerPlatform::CanHibernate(), 0) << "hibernation needs its file";
  // Names and the processor functions are the Schemes page's tests.
  MACHINE_PROCESSOR_POWER_POLICY policy{};
  ASSERT_EQ(power_->ReadProcessorScheme(5, &policy), 0);
  EXPECT_EQ(policy.ProcessorPolicyDc.DynamicThrottle, PO_THROTTLE_DEGRADE);
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

  // No texts for an existing scheme: kept.
  number = 1;
  policy.user.IdleTimeoutDc = 777;
  ASSERT_EQ(power_->WriteScheme(nullptr, nullptr, policy, &number), 0);
  EXPECT_EQ(pc_.state().schemes[1].name + L"|" + pc_.state().schemes[1].description, L"Scheme 1|Scheme 1 text");
  EXPECT_EQ(pc_.state().schemes[1].policy.user.IdleTimeoutDc, 777u);
  EXPECT_EQ(pc_.state().active_scheme, 0u) << "writing does not activate";

  // A write the system refuses is reported and adds nothing.
  BootWith({0}, 0);
  pc_.fake().fail_scheme_write = true;
  number = -1;
  EXPECT_EQ(power_->WriteScheme("Lost", nullptr, policy, &number), ERROR_WRITE_FAULT);
  EXPECT_EQ(number, -1);
  EXPECT_EQ(power_->GetSchemeCount(), 1u);
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
