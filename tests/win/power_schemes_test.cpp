// The scheme list, policies and capabilities of PowerPlatform against the simulated power
// library, and the simulated library's own rules and state file.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/sim/sim_machine.h"
#include "power/power_platform.h"
#include "win/recording_system.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using platform::sim::SimScheme;
using platform::sim::SimState;
using platform::sim::SimulatedMachine;

SimScheme Scheme(UINT id, const wchar_t* name) {
  SimScheme s;
  s.id = id;
  s.name = name;
  s.description = std::wstring(name) + L" description";
  s.policy.user.VideoTimeoutAc = 60 * (id + 1);  // tells the schemes apart
  return s;
}

class PowerSchemesTest : public ::testing::Test {
 protected:
  void Boot(SimState state) {
    TearDown();
    machine_ = std::make_unique<SimulatedMachine>(dir_.File("sim.ini"), std::move(state));
    fake_ = std::make_unique<testing::RecordingSystem>(*machine_);
    scope_ = std::make_unique<platform::ScopedSystemApi>(*fake_);
    platform_ = std::make_unique<PowerPlatform>();
    platform_->EnumSchemes();
  }
  // Schemes with the given ids, the one with `active` active.
  void BootWith(std::initializer_list<UINT> ids, UINT active) {
    SimState state = platform::sim::DefaultLaptop();
    state.schemes.clear();
    for (UINT id : ids) state.schemes.push_back(Scheme(id, (L"Scheme " + std::to_wstring(id)).c_str()));
    state.active_scheme = active;
    Boot(std::move(state));
  }
  void TearDown() override {
    platform_.reset();
    scope_.reset();
    fake_.reset();
    machine_.reset();
  }
  std::vector<UINT> MachineIds() const {
    std::vector<UINT> ids;
    for (const SimScheme& s : machine_->state().schemes) ids.push_back(s.id);
    return ids;
  }
  std::string Name(int number) const {
    unsigned length = 0;
    platform_->GetSchemeText(number, nullptr, 0, &length, nullptr, 0, nullptr);
    std::string text(length + 1, '\0');
    platform_->GetSchemeText(number, text.data(), length, nullptr, nullptr, 0, nullptr);
    return text.c_str();
  }

  testing::TempDir dir_;
  std::unique_ptr<SimulatedMachine> machine_;
  std::unique_ptr<testing::RecordingSystem> fake_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
  std::unique_ptr<PowerPlatform> platform_;
};

TEST_F(PowerSchemesTest, ListsTheDefaultSchemesInOrderWithTheirTexts) {
  Boot(platform::sim::DefaultLaptop());
  ASSERT_EQ(platform_->GetSchemeCount(), 6u);
  EXPECT_EQ(Name(0), "Home/Office Desk");
  EXPECT_EQ(Name(5), "Max Battery");
  EXPECT_EQ(platform_->GetSchemeId(4), 4u);
  EXPECT_EQ(platform_->GetActiveSchemeIndex(), 1);

  // Two-call access: a buffer one short gets nothing and reports the length; the exact
  // capacity gets the text and its terminator.
  const std::string description = platform_->schemes()[1].description;
  ASSERT_FALSE(description.empty());
  unsigned length = 0;
  std::string buffer(description.size() + 1, '#');
  platform_->GetSchemeText(1, nullptr, 0, nullptr, buffer.data(), static_cast<unsigned>(description.size() - 1),
                           &length);
  EXPECT_EQ(length, description.size());
  EXPECT_EQ(buffer, std::string(description.size() + 1, '#'));
  length = 0;
  platform_->GetSchemeText(1, nullptr, 0, nullptr, buffer.data(), static_cast<unsigned>(description.size()), &length);
  EXPECT_EQ(length, 0u);
  EXPECT_STREQ(buffer.c_str(), description.c_str());

  // A second enumeration replaces the list rather than adding to it.
  EXPECT_EQ(platform_->EnumSchemes(), 1);
  EXPECT_EQ(platform_->GetSchemeCount(), 6u);
}

TEST_F(PowerSchemesTest, TheOnlySchemeIsNeverDeleted) {
  BootWith({7}, 7);
  EXPECT_EQ(platform_->DeleteScheme(0), 0);
  EXPECT_EQ(fake_->Count("DeletePwrScheme"), 0u);
  EXPECT_EQ(fake_->Count("SetActivePwrScheme"), 0u);
  EXPECT_EQ(MachineIds(), std::vector<UINT>{7});
}

TEST_F(PowerSchemesTest, DeletingTheActiveSchemeHandsTheActiveStateOverFirst) {
  // Active and last: the one before takes over.
  BootWith({0, 1, 2}, 2);
  EXPECT_EQ(platform_->DeleteScheme(2), 1);
  EXPECT_EQ(machine_->state().active_scheme, 1u);
  EXPECT_EQ(MachineIds(), (std::vector<UINT>{0, 1}));
  EXPECT_EQ(platform_->GetSchemeCount(), 2u);

  // Active elsewhere: the one after takes over, and the entries behind move up.
  BootWith({0, 1, 2}, 0);
  EXPECT_EQ(platform_->DeleteScheme(0), 1);
  EXPECT_EQ(machine_->state().active_scheme, 1u);
  EXPECT_EQ(platform_->GetSchemeId(0), 1u);
  EXPECT_EQ(platform_->GetActiveSchemeIndex(), 0);

  // An inactive scheme is deleted without touching the active one.
  BootWith({0, 1, 2}, 0);
  EXPECT_EQ(platform_->DeleteScheme(1), 1);
  EXPECT_EQ(fake_->Count("SetActivePwrScheme"), 0u);
  EXPECT_EQ(MachineIds(), (std::vector<UINT>{0, 2}));
}

TEST_F(PowerSchemesTest, TheLibraryRefusesToDeleteTheActiveScheme) {
  BootWith({0, 1}, 1);
  EXPECT_FALSE(machine_->DeletePwrScheme(1));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_FALSE(machine_->DeletePwrScheme(9));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(MachineIds(), (std::vector<UINT>{0, 1}));
}

TEST_F(PowerSchemesTest, NewSchemesTakeTheSmallestFreeIdAndAreAppended) {
  BootWith({0, 1, 2, 4}, 0);
  EXPECT_EQ(platform_->NewSchemeId(), 3u);
  POWER_POLICY policy{};
  ASSERT_EQ(platform_->ReadScheme(2, &policy), 0);
  int number = -1;
  EXPECT_EQ(platform_->WriteScheme("Copy", nullptr, policy, &number), 0);
  EXPECT_EQ(number, 4);
  EXPECT_EQ(platform_->GetSchemeId(4), 3u);
  EXPECT_EQ(MachineIds(), (std::vector<UINT>{0, 1, 2, 4, 3}));
  EXPECT_EQ(machine_->state().schemes.back().policy.user.VideoTimeoutAc, policy.user.VideoTimeoutAc);

  BootWith({0}, 0);
  EXPECT_EQ(platform_->NewSchemeId(), 1u);
}

TEST_F(PowerSchemesTest, NamesAndDescriptionsAreCutToWhatTheSystemKeeps) {
  BootWith({0}, 0);
  const std::string name(40, 'N');
  const std::string description(300, 'd');
  POWER_POLICY policy{};
  int number = 1;  // past the end: a new scheme
  ASSERT_EQ(platform_->WriteScheme(name.c_str(), description.c_str(), policy, &number), 0);
  const SimScheme& stored = machine_->state().schemes.back();
  EXPECT_EQ(stored.name, std::wstring(32, L'N'));
  EXPECT_EQ(stored.description, std::wstring(255, L'd'));
  // The list holds what the system holds.
  EXPECT_EQ(platform_->schemes()[1].name, name.substr(0, 32));
  EXPECT_EQ(platform_->schemes()[1].description, description.substr(0, 255));

  // Rewriting it under its number keeps its id; a new name replaces the old one, cut too.
  ASSERT_EQ(platform_->WriteScheme(std::string(33, 'M').c_str(), nullptr, policy, &number), 0);
  EXPECT_EQ(number, 1);
  EXPECT_EQ(platform_->schemes()[1].name, std::string(32, 'M'));
  EXPECT_EQ(machine_->state().schemes.back().name, std::wstring(32, L'M'));
}

TEST_F(PowerSchemesTest, WritingWithoutTextsKeepsStoredOnesOrLeavesNewOnesEmpty) {
  BootWith({0, 1}, 0);
  POWER_POLICY policy{};
  ASSERT_EQ(platform_->ReadScheme(1, &policy), 0);
  policy.user.IdleTimeoutDc = 777;
  int number = 1;
  ASSERT_EQ(platform_->WriteScheme(nullptr, nullptr, policy, &number), 0);
  const SimScheme& kept = machine_->state().schemes[1];
  EXPECT_EQ(kept.name, L"Scheme 1");
  EXPECT_EQ(kept.description, L"Scheme 1 description");
  EXPECT_EQ(kept.policy.user.IdleTimeoutDc, 777u);
  EXPECT_EQ(machine_->state().active_scheme, 0u) << "writing does not activate";

  number = -1;
  ASSERT_EQ(platform_->WriteScheme("Fresh", nullptr, policy, &number), 0);
  EXPECT_EQ(machine_->state().schemes.back().description, L"");
  EXPECT_EQ(platform_->schemes().back().description, "");
}

TEST_F(PowerSchemesTest, FailedWriteIsReportedAndLeavesTheListAlone) {
  BootWith({0}, 0);
  fake_->fail_scheme_write = true;
  POWER_POLICY policy{};
  int number = -1;
  EXPECT_EQ(platform_->WriteScheme("Lost", nullptr, policy, &number), ERROR_WRITE_FAULT);
  EXPECT_EQ(number, -1);
  EXPECT_EQ(platform_->GetSchemeCount(), 1u);
  number = 0;
  EXPECT_EQ(platform_->WriteScheme("Renamed", nullptr, policy, &number), ERROR_WRITE_FAULT);
  EXPECT_EQ(Name(0), "Scheme 0");
}

TEST_F(PowerSchemesTest, ProcessorPoliciesNeedTheLibraryFunctions) {
  SimState state = platform::sim::DefaultLaptop();
  state.processor_functions = false;
  Boot(state);
  MACHINE_PROCESSOR_POWER_POLICY policy{};
  policy.ProcessorPolicyAc.DynamicThrottle = 2;
  EXPECT_EQ(platform_->HasProcessorSchemes(), 0);
  EXPECT_EQ(platform_->ReadProcessorScheme(0, &policy), -1);
  EXPECT_EQ(platform_->WriteProcessorScheme(0, policy), -1);
  EXPECT_EQ(policy.ProcessorPolicyAc.DynamicThrottle, 2) << "nothing was read";
  EXPECT_NE(machine_->state().schemes[0].processor.ProcessorPolicyAc.DynamicThrottle, 2);

  // With them, a processor policy goes to the scheme it names and comes back.
  machine_->state().processor_functions = true;
  EXPECT_EQ(platform_->HasProcessorSchemes(), 1);
  ASSERT_EQ(platform_->ReadProcessorScheme(5, &policy), 0);
  EXPECT_EQ(policy.ProcessorPolicyDc.DynamicThrottle, PO_THROTTLE_DEGRADE);
  policy.ProcessorPolicyDc.Policy[1].TimeCheck = 1234;
  ASSERT_EQ(platform_->WriteProcessorScheme(2, policy), 0);
  EXPECT_EQ(machine_->state().schemes[2].processor.ProcessorPolicyDc.Policy[1].TimeCheck, 1234u);
}

TEST_F(PowerSchemesTest, SleepStatesAreAskedByTheirDigit) {
  Boot(platform::sim::DefaultLaptop());  // S3, S4 and S5
  EXPECT_EQ(PowerPlatform::SupportsSleepState(0), 0);
  EXPECT_EQ(PowerPlatform::SupportsSleepState(1), 0);
  EXPECT_EQ(PowerPlatform::SupportsSleepState(3), 1);
  EXPECT_EQ(PowerPlatform::SupportsSleepState(5), 1);
  EXPECT_EQ(PowerPlatform::SupportsSleepState(6), 0);
  EXPECT_EQ(PowerPlatform::SupportsSleepState(-1), 0);
  BYTE low = 0, high = 0;
  EXPECT_EQ(PowerPlatform::GetThrottleRange(&low, &high), 1);
  EXPECT_EQ(low, 25);
  EXPECT_EQ(high, 100);
  EXPECT_EQ(PowerPlatform::GetThrottleRange(nullptr, nullptr), 1);
  EXPECT_EQ(PowerPlatform::HasLid(), 1);
  EXPECT_EQ(PowerPlatform::CanSuspend(), 1);
  EXPECT_EQ(PowerPlatform::CanHibernate(), 1);

  machine_->state().capabilities.ProcessorThrottle = FALSE;
  machine_->state().capabilities.LidPresent = FALSE;
  machine_->state().hiber_file_present = false;
  low = high = 7;
  EXPECT_EQ(PowerPlatform::GetThrottleRange(&low, &high), 0);
  EXPECT_EQ(low, 7);
  EXPECT_EQ(PowerPlatform::HasLid(), 0);
  EXPECT_EQ(PowerPlatform::CanHibernate(), 0) << "hibernation needs its file";
}

TEST_F(PowerSchemesTest, NameCheckIsExactAndCaseSensitive) {
  Boot(platform::sim::DefaultLaptop());
  EXPECT_EQ(platform_->IsSchemeNameFree("Max Battery"), 0);
  EXPECT_EQ(platform_->IsSchemeNameFree("max battery"), 1);
  EXPECT_EQ(platform_->IsSchemeNameFree("Max Battery "), 1);
  EXPECT_EQ(platform_->IsSchemeNameFree("Max"), 1);
  PowerPlatform empty;  // not enumerated
  EXPECT_EQ(empty.IsSchemeNameFree("Max Battery"), 1);
}

TEST_F(PowerSchemesTest, ActiveSchemeMissingFromTheListGivesTheCountAndNothingReadsPastTheEnd) {
  BootWith({0, 1}, 9);
  int active = platform_->GetActiveSchemeIndex();
  EXPECT_EQ(active, 2);
  POWER_POLICY policy{};
  policy.user.Revision = 0xAB;
  EXPECT_NE(platform_->ReadScheme(active, &policy), 0);
  EXPECT_EQ(policy.user.Revision, 0xABu);
  char name[8] = "keep";
  unsigned length = 99;
  EXPECT_EQ(platform_->GetSchemeText(active, name, sizeof name - 1, &length, nullptr, 0, nullptr), 0);
  EXPECT_STREQ(name, "keep");
  EXPECT_EQ(length, 99u);
  EXPECT_EQ(platform_->SetActiveScheme(active), -1);
  EXPECT_EQ(platform_->DeleteScheme(active), 0);
  MACHINE_PROCESSOR_POWER_POLICY processor{};
  EXPECT_NE(platform_->ReadProcessorScheme(active, &processor), 0);
  EXPECT_EQ(platform_->GetSchemeId(-1), PowerPlatform::kNoSchemeId);
  EXPECT_EQ(MachineIds(), (std::vector<UINT>{0, 1}));
}

TEST_F(PowerSchemesTest, ActivationKeepsOrReplacesTheStoredRecords) {
  BootWith({0, 1}, 0);
  const POWER_POLICY stored = machine_->state().schemes[1].policy;
  EXPECT_EQ(platform_->SetActiveScheme(1), 0);
  EXPECT_EQ(machine_->state().active_scheme, 1u);
  EXPECT_EQ(std::memcmp(&machine_->state().schemes[1].policy, &stored, sizeof stored), 0);

  POWER_POLICY changed = stored;
  changed.user.VideoTimeoutDc = 42;
  GLOBAL_POWER_POLICY global = machine_->state().global;
  global.user.GlobalFlags = 0x1;
  EXPECT_EQ(platform_->SetActiveScheme(0, &global, &changed), 0);
  EXPECT_EQ(machine_->state().schemes[0].policy.user.VideoTimeoutDc, 42u);
  EXPECT_EQ(machine_->state().global.user.GlobalFlags, 0x1u);

  EXPECT_FALSE(machine_->SetActivePwrScheme(5, nullptr, nullptr));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(machine_->ReadPwrScheme(5, &changed));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(PowerSchemesTest, WritingTheGlobalPolicyReappliesTheActiveScheme) {
  Boot(platform::sim::DefaultLaptop());
  GLOBAL_POWER_POLICY global{};
  ASSERT_EQ(PowerPlatform::ReadGlobalPolicy(&global), 0);
  EXPECT_EQ(global.user.GlobalFlags, 0x16u);
  global.user.GlobalFlags = 0x2;
  fake_->calls.clear();
  ASSERT_EQ(PowerPlatform::WriteGlobalPolicy(global), 0);
  ASSERT_EQ(fake_->calls.size(), 2u);
  EXPECT_EQ(fake_->calls[0], "WriteGlobalPwrPolicy");
  EXPECT_EQ(fake_->calls[1], "SetActivePwrScheme");
  EXPECT_EQ(fake_->activated.back(), 1u);
  EXPECT_FALSE(fake_->activated_with_records.back());
  EXPECT_EQ(machine_->state().global.user.GlobalFlags, 0x2u);
}

TEST_F(PowerSchemesTest, ChangesSurviveInTheStateFile) {
  std::string ini = dir_.File("persist.ini");
  ASSERT_TRUE(platform::sim::SaveState(ini, platform::sim::DefaultLaptop()));
  {
    SimulatedMachine machine(ini);
    platform::ScopedSystemApi scope(machine);
    PowerPlatform power;
    power.EnumSchemes();
    POWER_POLICY policy{};
    ASSERT_EQ(power.ReadScheme(3, &policy), 0);
    policy.user.VideoTimeoutAc = 4321;
    int number = -1;
    ASSERT_EQ(power.WriteScheme("Night", "Screen off late", policy, &number), 0);
    MACHINE_PROCESSOR_POWER_POLICY processor{};
    ASSERT_EQ(power.ReadProcessorScheme(3, &processor), 0);
    processor.ProcessorPolicyAc.DynamicThrottle = PO_THROTTLE_CONSTANT;
    ASSERT_EQ(power.WriteProcessorScheme(number, processor), 0);
    ASSERT_EQ(power.SetActiveScheme(number), 0);
    ASSERT_EQ(power.DeleteScheme(0), 1);
    GLOBAL_POWER_POLICY global{};
    ASSERT_EQ(PowerPlatform::ReadGlobalPolicy(&global), 0);
    global.user.DischargePolicy[1].BatteryLevel = 17;
    ASSERT_EQ(PowerPlatform::WriteGlobalPolicy(global), 0);
  }
  SimState reread;
  ASSERT_TRUE(platform::sim::LoadState(ini, reread));
  ASSERT_EQ(reread.schemes.size(), 6u);
  EXPECT_EQ(reread.schemes[0].id, 1u) << "the deleted scheme is gone and the others moved up";
  const SimScheme& night = reread.schemes.back();
  EXPECT_EQ(night.id, 6u);
  EXPECT_EQ(night.name, L"Night");
  EXPECT_EQ(night.description, L"Screen off late");
  EXPECT_EQ(night.policy.user.VideoTimeoutAc, 4321u);
  EXPECT_EQ(night.processor.ProcessorPolicyAc.DynamicThrottle, PO_THROTTLE_CONSTANT);
  EXPECT_EQ(reread.active_scheme, 6u);
  EXPECT_EQ(reread.global.user.DischargePolicy[1].BatteryLevel, 17u);
}

}  // namespace
}  // namespace vantrel::power
