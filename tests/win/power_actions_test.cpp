// The power actions and the timed wake-up against the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/app_state.h"
#include "power/power_actions.h"
#include "power/wake_up_timer.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using Lines = std::vector<std::string>;
using platform::sim::SimState;

SimState Laptop(void (*change)(SimState&) = nullptr) {
  SimState state = testing::XpLaptop();
  state.time_scale = 1000;  // simulated sleeps pass at once
  if (change) change(state);
  return state;
}

// Each enables its privilege, then makes its one call (exits power off or reboot with hung
// applications forced, no EWX_FORCE (4)); without the privilege nothing reaches the system.
// Either way the token is closed.
TEST(PowerActionsTest, EachEnablesItsPrivilegeFirstAndWithoutItAsksNothing) {
  constexpr char kShutdown[] = "AdjustTokenPrivileges SeShutdownPrivilege enabled";
  const struct {
    int (*act)();
    const char* privilege;
    std::string call;
  } actions[] = {
      {[] { return ShutDownSystem(); }, kShutdown, "ExitWindowsEx flags=0x18 reason=0"},
      {[] { return RebootSystem(); }, kShutdown, "ExitWindowsEx flags=0x12 reason=0"},
      {[] { return SleepSystem(true, true); }, kShutdown,
       "SetSuspendState hibernate=0 forceCritical=0 disableWakeEvent=1"},
      {[] { return HibernateSystem(false, false); }, kShutdown,
       "SetSuspendState hibernate=1 forceCritical=1 disableWakeEvent=0"},
      {[] { return ReserveHibernationFile(false); }, "AdjustTokenPrivileges SeCreatePagefilePrivilege enabled",
       "CallNtPowerInformation level=10 reserve=0 status=0x0"},
  };
  testing::PowerTestMachine pc;
  for (const auto& action : actions) {
    SCOPED_TRACE(action.call);
    const std::string function = action.call.substr(0, action.call.find(' '));
    pc.Boot(Laptop());
    EXPECT_EQ(action.act(), 0);
    const Lines log = pc.machine().Log();
    EXPECT_EQ(Lines(log.begin(), log.begin() + std::min<size_t>(log.size(), 2)),
              (Lines{action.privilege, action.call}));
    EXPECT_EQ(pc.Logged(function), 1u);
    EXPECT_EQ(pc.machine().OpenHandleCount(), 0u);
    pc.Boot(Laptop([](SimState& s) { s.shutdown_privilege = false; }));
    EXPECT_EQ(action.act(), ERROR_NOT_ALL_ASSIGNED);
    EXPECT_EQ(pc.Logged(function), 0u);
    EXPECT_EQ(pc.machine().OpenHandleCount(), 0u);
  }
  EXPECT_TRUE(pc.machine().IsPwrHibernateAllowed()) << "the file kept without the privilege";
}

TEST(PowerActionsTest, RefusalsAreReportedAndTheSystemItselfWantsThePrivilegesEnabled) {
  testing::PowerTestMachine pc;
  pc.Boot(Laptop());
  // Held is not enabled: the machine refuses until this process enables the privilege.
  EXPECT_FALSE(pc.machine().SetSuspendState(FALSE, FALSE, TRUE));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD));
  BOOLEAN reserve = FALSE;
  EXPECT_EQ(static_cast<DWORD>(pc.machine().CallNtPowerInformation(SystemReserveHiberFile, &reserve, 1, nullptr, 0)),
            0xC0000061u);
  // The hibernation file: one byte at level ten.
  pc.machine().ClearLog();
  EXPECT_EQ(ReserveHibernationFile(false), 0);
  EXPECT_EQ(pc.fake().calls, Lines{"CallNtPowerInformation 10 in=1[0 ] out=null/0"});
  EXPECT_FALSE(pc.machine().IsPwrHibernateAllowed()) << "hibernation needs the file";
  EXPECT_EQ(ReserveHibernationFile(true), 0);
  EXPECT_TRUE(pc.machine().IsPwrHibernateAllowed());
  // Log off is reported done whether the system accepts it or not.
  pc.machine().ClearLog();
  EXPECT_EQ(LogOffUser(), 0);
  pc.fake().refuse_exit = true;
  EXPECT_EQ(LogOffUser(), 0);
  EXPECT_EQ(pc.machine().Log(), Lines{"ExitWindowsEx flags=0x10 reason=0"});
  EXPECT_EQ(SleepSystem(false, false), 0);

  pc.Boot(Laptop([](SimState& s) { s.suspend_refused = true; }));
  EXPECT_EQ(SleepSystem(true, true), ERROR_OPERATION_ABORTED);
  pc.Boot(Laptop([](SimState& s) {
    s.capabilities.SystemS3 = FALSE;
    s.hiber_file_present = false;
  }));
  EXPECT_EQ(SleepSystem(true, true), -1);
  EXPECT_EQ(HibernateSystem(true, true), -1);
  EXPECT_TRUE(pc.machine().Log().empty());
}

class WakeUpTest : public ::testing::Test {
 protected:
  void Boot(void (*change)(SimState&) = nullptr) {
    SimState state = testing::XpLaptop();
    state.time_scale = 100;        // a simulated minute in 0.6 s
    state.suspend_seconds = 3600;  // only the timer ends a sleep early
    if (change) change(state);
    pc_.Boot(state);
  }
  void SetUp() override { settings_.BeepAfterWakeUp = 1; }
  // The request is over: its thread has ended and its timer is closed.
  void ExpectCleanEnd() {
    EXPECT_TRUE(pc_.fake().arming_thread && ::WaitForSingleObject(pc_.fake().arming_thread, 0) == WAIT_OBJECT_0);
    EXPECT_EQ(pc_.machine().OpenTimerCount(), 0u);
  }

  testing::PowerTestMachine pc_;
  settings::AppSettings settings_;
};

TEST_F(WakeUpTest, StartArmsTheNamedTimerOnItsThreadBeforeReturningOrLeavesTheHandleAlone) {
  const std::pair<UINT, DWORD> commands[] = {{1001, 60}, {1850, 31800}, {2000, 36000}, {1000, 0}, {2001, 0}};
  for (auto [command, seconds] : commands) EXPECT_EQ(WakeUpSecondsForCommand(command), seconds) << command;
  Boot();
  EXPECT_FALSE(RunWakeUpCommand(1000, settings_));  // no time arms nothing
  HANDLE thread = nullptr;
  {
    WakeUpTimer timer;
    ::SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(timer.Cancel(), ERROR_INVALID_HANDLE) << "no timer yet: the last error, nothing called";
    EXPECT_TRUE(pc_.fake().calls.empty());
    EXPECT_TRUE(pc_.machine().Log().empty());
    ASSERT_EQ(timer.Start(60, OnWakeUpTimer, &thread, &settings_), 0);
    EXPECT_EQ(pc_.fake().calls, (Lines{"CreateWaitableTimerA Global\\CorvaneWakeUpTimer 0",
                                       "SetWaitableTimer -600000000 0 routine 1"}));
    EXPECT_EQ(timer.Cancel(), 0);
    EXPECT_EQ(timer.wake_timer(), nullptr);
    EXPECT_TRUE(StopWakeUpThread(thread));
    EXPECT_EQ(pc_.Logged("Beep"), 0u) << "cancelled before it fired";
  }
  ExpectCleanEnd();
  {
    // A real timer: the routine runs in the waiting thread's wait, which then ends by itself;
    // silent unless the user asked for the beep.
    settings_.BeepAfterWakeUp = 0;
    WakeUpTimer timer;
    ASSERT_EQ(timer.Start(1, OnWakeUpTimer, &thread, &settings_), 0);  // 10 ms of real time
    ASSERT_EQ(::WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(StopWakeUpThread(thread));
    EXPECT_EQ(pc_.Logged("Beep"), 0u);
  }

  // Without a timer no thread starts, and the machine still sleeps.
  Boot();
  pc_.fake().fail_timer_creation = true;
  WakeUpTimer failing;
  HANDLE untouched = reinterpret_cast<HANDLE>(0x1234);
  EXPECT_EQ(failing.Start(60, OnWakeUpTimer, &untouched), 0);
  EXPECT_EQ(untouched, reinterpret_cast<HANDLE>(0x1234));
  SleepAndWakeUpAfter(60, settings_);
  EXPECT_EQ(pc_.Logged("SetWaitableTimer"), 0u);
  EXPECT_EQ(pc_.Logged("Resume after 3600 s"), 1u) << "nothing woke it early";
}

TEST_F(WakeUpTest, TheTimersEndingBeepsEveryOtherStaysSilentAndEachCancelsJoinsAndReleases) {
  Boot();
  EXPECT_TRUE(RunWakeUpCommand(1001, settings_));
  Lines log = pc_.machine().Log();
  ASSERT_EQ(log.size(), 7u);
  EXPECT_EQ(Lines(log.begin() + 1, log.begin() + 5),
            (Lines{"SetWaitableTimer due=-600000000 period=0 resume=1", "AdjustTokenPrivileges SeShutdownPrivilege enabled",
                   "SetSuspendState hibernate=0 forceCritical=1 disableWakeEvent=0", "Beep frequency=1000 duration=1000"}));
  EXPECT_NE(log[5].find("(wake-up timer)"), std::string::npos) << log[5];
  EXPECT_EQ(log[6], "CancelWaitableTimer");
  ExpectCleanEnd();

  void (*setups[])(SimState&) = {
      [](SimState& s) { s.suspend_refused = true; },
      [](SimState& s) { s.capabilities.SystemS3 = FALSE; },  // standby not allowed: -1
      [](SimState& s) { s.timer_resume = false; },           // the thread ends at once with 50
      [](SimState& s) { s.suspend_seconds = 30; },           // woken by something else first
      [](SimState& s) { s.shutdown_privilege = false; },     // no suspend at all
  };
  for (auto setup : setups) {
    Boot(setup);
    DWORD started = ::GetTickCount();
    SleepAndWakeUpAfter(120, settings_);
    EXPECT_LT(::GetTickCount() - started, 3000u);
    EXPECT_EQ(pc_.Logged("SetWaitableTimer"), 1u);
    EXPECT_EQ(pc_.Logged("CancelWaitableTimer"), 1u);
    EXPECT_EQ(pc_.Logged("Beep"), 0u);
    ExpectCleanEnd();
  }
}

}  // namespace
}  // namespace vantrel::power
