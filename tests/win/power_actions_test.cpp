// Log off, shut down, reboot, sleep, hibernate and the hibernation file: the exact arguments
// reach the system, and the simulated machine records them instead of acting.
#include <gtest/gtest.h>

#include "power/power_actions.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using Lines = std::vector<std::string>;

platform::sim::SimState Laptop(void (*change)(platform::sim::SimState&) = nullptr) {
  platform::sim::SimState state = platform::sim::DefaultLaptop();
  state.time_scale = 1000;  // simulated sleeps pass at once
  if (change) change(state);
  return state;
}

TEST(PowerActionsTest, ExitsNeedThePrivilegeAndSleepsPassTheirChoices) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  // Power off (not halt) and reboot, hung applications forced, no EWX_FORCE (4).
  EXPECT_EQ(ShutDownSystem(), 0);
  EXPECT_EQ(RebootSystem(), 0);
  const std::string privilege = "AdjustTokenPrivileges SeShutdownPrivilege enabled";
  EXPECT_EQ(pc.machine().Log(),
            (Lines{privilege, "ExitWindowsEx flags=0x18 reason=0", privilege, "ExitWindowsEx flags=0x12 reason=0"}));
  EXPECT_EQ(pc.machine().OpenHandleCount(), 0u) << "the token is closed";
  // Log off is reported done whether the system accepts it or not.
  pc.machine().ClearLog();
  EXPECT_EQ(LogOffUser(), 0);
  pc.fake().refuse_exit = true;
  EXPECT_EQ(LogOffUser(), 0);
  EXPECT_EQ(pc.machine().Log(), Lines{"ExitWindowsEx flags=0x10 reason=0"});

  pc.machine().ClearLog();
  EXPECT_EQ(SleepSystem(true, true), 0);
  EXPECT_EQ(SleepSystem(false, false), 0);
  EXPECT_EQ(HibernateSystem(true, true), 0);
  EXPECT_EQ(pc.Logged("SetSuspendState hibernate=0 forceCritical=0 disableWakeEvent=1"), 1u);
  EXPECT_EQ(pc.Logged("SetSuspendState hibernate=0 forceCritical=1 disableWakeEvent=0"), 1u);
  EXPECT_EQ(pc.Logged("SetSuspendState hibernate=1 forceCritical=0 disableWakeEvent=1"), 1u);
  EXPECT_EQ(pc.Logged("Resume after"), 3u);

  pc.Boot(Laptop([](platform::sim::SimState& s) { s.shutdown_privilege = false; }));
  EXPECT_EQ(ShutDownSystem(), ERROR_NOT_ALL_ASSIGNED);
  EXPECT_EQ(RebootSystem(), ERROR_NOT_ALL_ASSIGNED);
  EXPECT_EQ(pc.Logged("ExitWindowsEx"), 0u);
  EXPECT_EQ(pc.machine().OpenHandleCount(), 0u);

  pc.Boot(Laptop([](platform::sim::SimState& s) { s.suspend_refused = true; }));
  EXPECT_EQ(SleepSystem(true, true), ERROR_OPERATION_ABORTED);
  pc.Boot(Laptop([](platform::sim::SimState& s) {
    s.capabilities.SystemS3 = FALSE;
    s.hiber_file_present = false;
  }));
  EXPECT_EQ(SleepSystem(true, true), -1);
  EXPECT_EQ(HibernateSystem(true, true), -1);
  EXPECT_TRUE(pc.machine().Log().empty());
}

TEST(PowerActionsTest, HibernationFileSwitchSendsOneByteAtLevelTen) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  EXPECT_EQ(ReserveHibernationFile(false), 0);
  EXPECT_EQ(pc.fake().calls, Lines{"CallNtPowerInformation 10 in=1[0 ] out=null/0"});
  // Without the file hibernation is not allowed; the state file keeps the choice.
  EXPECT_FALSE(pc.machine().IsPwrHibernateAllowed());
  EXPECT_EQ(::GetPrivateProfileIntA("Machine", "HiberFilePresent", -1, pc.machine().ini_path().c_str()), 0);
  EXPECT_EQ(ReserveHibernationFile(true), 0);
  EXPECT_TRUE(pc.machine().IsPwrHibernateAllowed());

  pc.Boot(Laptop([](platform::sim::SimState& s) { s.shutdown_privilege = false; }));
  EXPECT_EQ(static_cast<DWORD>(ReserveHibernationFile(false)), 0xC0000022u);  // the status, unchanged
  EXPECT_TRUE(pc.machine().IsPwrHibernateAllowed());
}

}  // namespace
}  // namespace vantrel::power
