// The simulated machine's plan functions: the documented call rules, what is applied when, and
// the plan store in the state file.
#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"
#include "win/plan_test_support.h"

namespace vantrel::platform::sim {
namespace {

using testing::PlanTestMachine;

std::string Ini(const std::string& path, const char* section, const char* key) {
  char text[256] = {};
  ::GetPrivateProfileStringA(section, key, "", text, sizeof text, path.c_str());
  return text;
}

TEST(SimPlansTest, TheCallsKeepTheDocumentedRules) {
  PlanTestMachine pc;
  SystemApi& sys = pc.machine();
  const GUID balanced = ToGuid(guids::kBalanced), saver = ToGuid(guids::kPowerSaver);
  // Sizes in bytes, the terminator counted; a missing buffer asks for the size.
  const DWORD name_bytes = sizeof(L"Balanced");
  UCHAR buffer[64] = {};
  DWORD size = 4;
  EXPECT_EQ(sys.PowerReadFriendlyName(nullptr, &balanced, nullptr, nullptr, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, name_bytes);
  size = 0;
  EXPECT_EQ(sys.PowerReadFriendlyName(nullptr, &balanced, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, name_bytes);
  size = 0;
  EXPECT_EQ(sys.PowerEnumerate(nullptr, nullptr, nullptr, kAccessScheme, 0, nullptr, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof(GUID));
  GUID item{};
  size = sizeof item;
  EXPECT_EQ(sys.PowerEnumerate(nullptr, nullptr, nullptr, kAccessScheme, 3, reinterpret_cast<UCHAR*>(&item), &size),
            ERROR_NO_MORE_ITEMS);
  // The active plan is handed out LocalAlloc'ed; it cannot be deleted.
  GUID* active = nullptr;
  ASSERT_EQ(sys.PowerGetActiveScheme(nullptr, &active), ERROR_SUCCESS);
  EXPECT_EQ(FromGuid(*active), guids::kBalanced);
  EXPECT_EQ(::LocalFree(active), nullptr);
  EXPECT_EQ(sys.PowerDeleteScheme(nullptr, &balanced), ERROR_ACCESS_DENIED);
  // Duplicating onto an existing plan is refused; without a destination it makes a new GUID.
  GUID existing = saver;
  GUID* destination = &existing;
  EXPECT_EQ(sys.PowerDuplicateScheme(nullptr, &balanced, &destination), ERROR_ALREADY_EXISTS);
  destination = nullptr;
  ASSERT_EQ(sys.PowerDuplicateScheme(nullptr, &balanced, &destination), ERROR_SUCCESS);
  EXPECT_NE(FromGuid(*destination), guids::kBalanced);
  ::LocalFree(destination);
  // Values outside a setting's range or list are refused.
  const GUID video = ToGuid(guids::kVideoSubgroup), timeout = ToGuid(guids::kVideoTimeout);
  const GUID buttons = ToGuid(guids::kButtonSubgroup), lid = ToGuid(guids::kLidClose);
  EXPECT_EQ(sys.PowerWriteACValueIndex(nullptr, &saver, &buttons, &lid, 4), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(sys.PowerWriteACValueIndex(nullptr, &saver, &buttons, &timeout, 4), ERROR_FILE_NOT_FOUND)
      << "a setting is reached through its own subgroup";
  EXPECT_EQ(sys.PowerIsSettingRangeDefined(&video, &timeout), TRUE);
  EXPECT_EQ(sys.PowerIsSettingRangeDefined(&buttons, &lid), FALSE);

  // An XP machine has none of these functions.
  PlanTestMachine xp(SimPowerBackend::Xp);
  EXPECT_EQ(xp.machine().PowerGetActiveScheme(nullptr, &active), ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_EQ(xp.machine().PowerReadSettingAttributes(&video, &timeout), 0u);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED));
}

// What the machine runs on changes only when a plan is made active; the state file shows both.
TEST(SimPlansTest, AnEditOfTheActivePlanIsAppliedWhenItIsMadeActiveAgain) {
  PlanTestMachine pc;
  SystemApi& sys = pc.machine();
  const GUID balanced = ToGuid(guids::kBalanced);
  const GUID video = ToGuid(guids::kVideoSubgroup), timeout = ToGuid(guids::kVideoTimeout);
  const std::string key = FormatGuid(guids::kVideoTimeout);
  ASSERT_EQ(sys.PowerWriteDCValueIndex(nullptr, &balanced, &video, &timeout, 1200), ERROR_SUCCESS);
  EXPECT_EQ(Ini(pc.ini(), "Plan0", key.c_str()), "600,1200");
  EXPECT_EQ(Ini(pc.ini(), "Applied", key.c_str()), "600,300") << "what the machine runs on is unchanged";
  const auto applied = [&] {
    for (const SimPlanValue& v : pc.store().applied)
      if (v.setting == guids::kVideoTimeout) return v.dc;
    return DWORD{0};
  };
  EXPECT_EQ(applied(), 300u);
  ASSERT_EQ(sys.PowerSetActiveScheme(nullptr, &balanced), ERROR_SUCCESS);
  EXPECT_EQ(applied(), 1200u);
  EXPECT_EQ(Ini(pc.ini(), "Applied", key.c_str()), "600,1200");
  EXPECT_EQ(Ini(pc.ini(), "Applied", "Plan"), FormatGuid(guids::kBalanced));
}

// The plans' values and the active plan outlive a restart end to end; here what no run changes.
TEST(SimPlansTest, ThePlanStoreSurvivesTheStateFileAndAnOldFileStaysAnXpMachine) {
  vantrel::testing::TempDir dir;
  const std::string ini = dir.File("plans.ini");
  SimState state = vantrel::testing::PlanLaptop();
  state.plans.plans[1].name = L" Caf\u00e9 \\ \u65e5\u672c ";  // wide, a backslash, blanks at both ends
  state.plans.policy_locked = guids::kVideoTimeout;
  state.plans.writes_ignored = guids::kDiskTimeout;
  state.plans.power_modes = true;
  state.plans.mode_dc = guids::kModeBestEfficiency;
  ASSERT_TRUE(SaveState(ini, state));
  SimState read;
  ASSERT_TRUE(LoadState(ini, read));
  EXPECT_EQ(read.power_backend, SimPowerBackend::Plans);
  ASSERT_EQ(read.plans.plans.size(), 3u);
  EXPECT_EQ(read.plans.plans[1].name, state.plans.plans[1].name);
  EXPECT_EQ(read.plans.plans[2].personality, guids::kPowerSaver);
  EXPECT_EQ(read.plans.policy_locked, guids::kVideoTimeout);
  EXPECT_EQ(read.plans.writes_ignored, guids::kDiskTimeout);
  EXPECT_TRUE(read.plans.power_modes);
  EXPECT_EQ(read.plans.mode_dc, guids::kModeBestEfficiency);
  EXPECT_EQ(read.plans.applied.size(), SimSettings().size());

  // A file from before the plans: an XP machine with the default plans in reserve.
  ASSERT_TRUE(::WritePrivateProfileStringA("Machine", "PowerBackend", nullptr, ini.c_str()));
  ASSERT_TRUE(::WritePrivateProfileStringA("Plans", nullptr, nullptr, ini.c_str()));
  ASSERT_TRUE(LoadState(ini, read));
  EXPECT_EQ(read.power_backend, SimPowerBackend::Xp);
  EXPECT_EQ(read.plans.plans.size(), 3u);
  EXPECT_EQ(read.plans.active, guids::kBalanced);
}

}  // namespace
}  // namespace vantrel::platform::sim
