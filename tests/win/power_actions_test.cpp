// Log off, shut down, reboot, sleep, hibernate and the hibernation file: the exact arguments
// reach the system, and the simulated machine records them instead of acting.
#include <gtest/gtest.h>

#include "power/power_actions.h"
#include "win/power_test_machine.h"

namespace vantrel::power {
namespace {

using Calls = std::vector<std::string>;

platform::sim::SimState Laptop() {
  platform::sim::SimState state = platform::sim::DefaultLaptop();
  state.time_scale = 1000;  // simulated sleeps pass at once
  return state;
}

TEST(PowerActionsTest, ShutDownAndRebootAskApplicationsAndNeedThePrivilege) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  EXPECT_EQ(ShutDownSystem(), 0);
  EXPECT_EQ(RebootSystem(), 0);
  // Power off (not halt) and reboot, hung applications forced, no EWX_FORCE (4).
  const Calls step = {"OpenProcessToken 0x28", "AdjustTokenPrivileges"};
  Calls expected = step;
  expected.push_back("ExitWindowsEx 0x18 0");
  expected.insert(expected.end(), step.begin(), step.end());
  expected.push_back("ExitWindowsEx 0x12 0");
  EXPECT_EQ(pc.fake().calls, expected);
  EXPECT_EQ(pc.machine().OpenHandleCount(), 0u) << "the token is closed";
  EXPECT_EQ(pc.Logged("ExitWindowsEx flags=0x12 reason=0"), 1u);

  platform::sim::SimState denied = Laptop();
  denied.shutdown_privilege = false;
  pc.Boot(denied);
  EXPECT_EQ(ShutDownSystem(), ERROR_NOT_ALL_ASSIGNED);
  EXPECT_EQ(RebootSystem(), ERROR_NOT_ALL_ASSIGNED);
  EXPECT_EQ(pc.fake().Count("ExitWindowsEx"), 0u);
  EXPECT_EQ(pc.machine().OpenHandleCount(), 0u);
}

TEST(PowerActionsTest, LogOffReportsSuccessWhetherAcceptedOrRefused) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  EXPECT_EQ(LogOffUser(), 0);
  pc.fake().refuse_exit = true;
  EXPECT_EQ(LogOffUser(), 0);
  EXPECT_EQ(pc.fake().calls, (Calls{"ExitWindowsEx 0x10 0", "ExitWindowsEx 0x10 0"}));
}

TEST(PowerActionsTest, SleepAndHibernatePassTheirChoicesWhenAllowed) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  EXPECT_EQ(SleepSystem(true, true), 0);
  EXPECT_EQ(SleepSystem(false, false), 0);
  EXPECT_EQ(HibernateSystem(true, true), 0);
  EXPECT_EQ(pc.fake().calls, (Calls{"SetSuspendState 0 0 1", "SetSuspendState 0 1 0", "SetSuspendState 1 0 1"}));
  EXPECT_EQ(pc.Logged("Resume after"), 3u);

  platform::sim::SimState refusing = Laptop();
  refusing.suspend_refused = true;
  pc.Boot(refusing);
  EXPECT_EQ(SleepSystem(true, true), ERROR_OPERATION_ABORTED);

  platform::sim::SimState desktop = Laptop();
  desktop.capabilities.SystemS3 = FALSE;
  desktop.hiber_file_present = false;
  pc.Boot(desktop);
  EXPECT_EQ(SleepSystem(true, true), -1);
  EXPECT_EQ(HibernateSystem(true, true), -1);
  EXPECT_TRUE(pc.fake().calls.empty());
}

TEST(PowerActionsTest, HibernationFileSwitchSendsOneByteAtLevelTen) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  EXPECT_EQ(ReserveHibernationFile(false), 0);
  EXPECT_EQ(pc.fake().calls, (Calls{"CallNtPowerInformation 10 in=1[0 ] out=null/0"}));
  // Without the file hibernation is not allowed; the state file keeps the choice.
  EXPECT_FALSE(pc.machine().IsPwrHibernateAllowed());
  EXPECT_EQ(::GetPrivateProfileIntA("Machine", "HiberFilePresent", -1, pc.machine().ini_path().c_str()), 0);
  EXPECT_EQ(ReserveHibernationFile(true), 0);
  EXPECT_TRUE(pc.machine().IsPwrHibernateAllowed());

  platform::sim::SimState user = Laptop();
  user.shutdown_privilege = false;
  pc.Boot(user);
  EXPECT_EQ(static_cast<DWORD>(ReserveHibernationFile(false)), 0xC0000022u);  // the status, unchanged
  EXPECT_TRUE(pc.machine().IsPwrHibernateAllowed());
}

}  // namespace
}  // namespace vantrel::power
