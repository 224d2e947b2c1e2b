// The timed wake-up: command arithmetic, the timer's arming, the completion routine's beep
// and the clean end of every request, against the simulated machine with real timers.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "platform/sim/sim_machine.h"
#include "power/wake_up_timer.h"
#include "win/recording_system.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using platform::sim::SimState;
using platform::sim::SimulatedMachine;

class WakeUpTest : public ::testing::Test {
 protected:
  void Boot(void (*change)(SimState&) = nullptr) {
    SimState state = platform::sim::DefaultLaptop();
    state.time_scale = 100;         // one simulated minute passes in 0.6 s
    state.suspend_seconds = 3600;   // nothing but the timer ends a sleep early
    if (change) change(state);
    Release();
    machine_ = std::make_unique<SimulatedMachine>(dir_.File("sim.ini"), state);
    machine_->ClearLog();
    fake_ = std::make_unique<testing::RecordingSystem>(*machine_);
    scope_ = std::make_unique<platform::ScopedSystemApi>(*fake_);
  }
  void SetUp() override { app::State().settings.BeepAfterWakeUp = 1; }
  void TearDown() override {
    app::State().settings.BeepAfterWakeUp = 0;
    Release();
  }
  void Release() {
    scope_.reset();
    fake_.reset();
    machine_.reset();
  }

  size_t Logged(const std::string& prefix) const {
    std::vector<std::string> log = machine_->Log();
    return static_cast<size_t>(std::count_if(log.begin(), log.end(), [&](const std::string& line) {
      return line.rfind(prefix, 0) == 0;
    }));
  }
  // Position of the first line starting with `prefix`, or the log's size.
  size_t Where(const std::string& prefix) const {
    std::vector<std::string> log = machine_->Log();
    for (size_t i = 0; i < log.size(); ++i) {
      if (log[i].rfind(prefix, 0) == 0) return i;
    }
    return log.size();
  }
  // True when the thread that armed the timer no longer runs.
  bool ArmingThreadEnded() const {
    if (fake_->armings.empty() || !fake_->armings.back().thread) return false;
    return ::WaitForSingleObject(fake_->armings.back().thread, 0) == WAIT_OBJECT_0;
  }

  testing::TempDir dir_;
  std::unique_ptr<SimulatedMachine> machine_;
  std::unique_ptr<testing::RecordingSystem> fake_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
};

TEST(WakeUpCommandTest, CommandsBecomeHoursAndMinutes) {
  EXPECT_EQ(WakeUpSecondsForCommand(1001), 60u);
  EXPECT_EQ(WakeUpSecondsForCommand(1105), 3900u);
  EXPECT_EQ(WakeUpSecondsForCommand(1215), 8100u);
  EXPECT_EQ(WakeUpSecondsForCommand(1850), 31800u);
  EXPECT_EQ(WakeUpSecondsForCommand(2000), 36000u);
  EXPECT_EQ(WakeUpSecondsForCommand(1000), 0u);
  EXPECT_EQ(WakeUpSecondsForCommand(2001), 0u);
  EXPECT_EQ(WakeUpSecondsForCommand(999), 0u);
}

TEST_F(WakeUpTest, NoTimeAtAllArmsNothingAndDoesNotSleep) {
  Boot();
  EXPECT_FALSE(RunWakeUpCommand(1000));
  EXPECT_FALSE(RunWakeUpCommand(16));
  EXPECT_TRUE(fake_->calls.empty());
  EXPECT_TRUE(machine_->Log().empty());
}

TEST_F(WakeUpTest, StartArmsTheNamedTimerBeforeItReturns) {
  Boot();
  WakeUpTimer timer;
  HANDLE thread = nullptr;
  ASSERT_EQ(timer.Start(60, OnWakeUpTimer, &thread), 0);
  ASSERT_NE(thread, nullptr);
  // Armed already: a suspend requested now would be woken by it.
  ASSERT_EQ(fake_->armings.size(), 1u);
  EXPECT_EQ(fake_->armings[0].due, -600'000'000LL);
  EXPECT_EQ(fake_->armings[0].period, 0);
  EXPECT_TRUE(fake_->armings[0].completion_given);
  EXPECT_TRUE(fake_->armings[0].resume);
  EXPECT_NE(fake_->armings[0].thread_id, ::GetCurrentThreadId());
  EXPECT_EQ(fake_->timer_names[0], "Global\\CorvaneWakeUpTimer");
  EXPECT_EQ(fake_->timer_manual_reset[0], FALSE);
  EXPECT_NE(timer.wake_timer(), nullptr);

  EXPECT_EQ(timer.Cancel(), 0);
  EXPECT_EQ(timer.wake_timer(), nullptr);
  EXPECT_TRUE(StopWakeUpThread(thread));
  EXPECT_EQ(Logged("Beep"), 0u) << "cancelled before it fired";
}

TEST_F(WakeUpTest, CancelWithoutATimerReturnsTheLastErrorAndChangesNothing) {
  Boot();
  WakeUpTimer timer;
  ::SetLastError(ERROR_INVALID_HANDLE);
  EXPECT_EQ(timer.Cancel(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(timer.wake_timer(), nullptr);
  EXPECT_EQ(fake_->Count("CancelWaitableTimer"), 0u);
}

TEST_F(WakeUpTest, WithoutATimerNoThreadStartsAndTheMachineStillSleeps) {
  Boot();
  fake_->fail_timer_creation = true;
  {
    WakeUpTimer timer;
    HANDLE untouched = reinterpret_cast<HANDLE>(0x1234);
    EXPECT_EQ(timer.Start(60, OnWakeUpTimer, &untouched), 0);
    EXPECT_EQ(untouched, reinterpret_cast<HANDLE>(0x1234));
    EXPECT_TRUE(fake_->armings.empty());
  }
  SleepAndWakeUpAfter(60);
  EXPECT_EQ(Logged("SetSuspendState"), 1u);
  EXPECT_EQ(Logged("Resume after 3600 s"), 1u) << "nothing woke it early";
}

TEST_F(WakeUpTest, ARealTimerBeepsOnlyWhenTheUserAskedForIt) {
  for (int beep : {1, 0}) {
    Boot();
    app::State().settings.BeepAfterWakeUp = beep;
    WakeUpTimer timer;
    HANDLE thread = nullptr;
    ASSERT_EQ(timer.Start(1, OnWakeUpTimer, &thread), 0);  // 10 ms of real time
    // The routine runs inside the waiting thread's wait, which then ends by itself.
    ASSERT_EQ(::WaitForSingleObject(thread, 5000), WAIT_OBJECT_0) << "beep=" << beep;
    DWORD exit_code = 99;
    ::GetExitCodeThread(thread, &exit_code);
    EXPECT_EQ(exit_code, 0u);
    EXPECT_TRUE(StopWakeUpThread(thread));
    EXPECT_EQ(Logged("Beep frequency=1000 duration=1000"), beep ? 1u : 0u) << "beep=" << beep;
  }
}

TEST_F(WakeUpTest, SleepEndsAtTheTimerWhichBeepsOnItsThreadThenEverythingIsReleased) {
  Boot();
  SleepAndWakeUpAfter(WakeUpSecondsForCommand(1001));
  ASSERT_EQ(fake_->suspends.size(), 1u);
  EXPECT_EQ(fake_->suspends[0].hibernate, FALSE);
  EXPECT_EQ(fake_->suspends[0].force_critical, TRUE);
  EXPECT_EQ(fake_->suspends[0].disable_wake_event, FALSE);
  // Armed, slept, woken by the timer whose routine beeped, then cancelled.
  size_t armed = Where("SetWaitableTimer due=-600000000");
  size_t slept = Where("SetSuspendState");
  size_t beeped = Where("Beep");
  size_t resumed = Where("Resume after 60 s (wake-up timer)");
  size_t cancelled = Where("CancelWaitableTimer");
  size_t end = machine_->Log().size();
  ASSERT_LT(cancelled, end);
  EXPECT_LT(armed, slept);
  EXPECT_LT(slept, beeped);
  EXPECT_LT(beeped, resumed);
  EXPECT_LT(resumed, cancelled);
  EXPECT_TRUE(ArmingThreadEnded());
  EXPECT_EQ(machine_->OpenTimerCount(), 0u);
}

TEST_F(WakeUpTest, RefusedOrForbiddenSuspendStillCancelsAndJoinsAtOnce) {
  void (*setups[])(SimState&) = {
      [](SimState& s) { s.suspend_refused = true; },
      [](SimState& s) { s.capabilities.SystemS1 = s.capabilities.SystemS2 = s.capabilities.SystemS3 = FALSE; },
  };
  for (auto setup : setups) {
    Boot(setup);
    DWORD started = ::GetTickCount();
    SleepAndWakeUpAfter(3600);
    EXPECT_LT(::GetTickCount() - started, 3000u);
    EXPECT_EQ(fake_->armings.size(), 1u);
    EXPECT_EQ(fake_->Count("CancelWaitableTimer"), 1u);
    EXPECT_TRUE(ArmingThreadEnded());
    EXPECT_EQ(machine_->OpenTimerCount(), 0u);
    EXPECT_EQ(Logged("Beep"), 0u);
  }
}

TEST_F(WakeUpTest, MachineThatTimersCannotWakeSleepsItsFullTime) {
  Boot([](SimState& s) {
    s.timer_resume = false;
    s.suspend_seconds = 30;
  });
  SleepAndWakeUpAfter(10);
  EXPECT_EQ(Logged("Resume after 30 s"), 1u);
  EXPECT_EQ(Logged("Beep"), 0u);
  EXPECT_TRUE(ArmingThreadEnded());
  EXPECT_EQ(machine_->OpenTimerCount(), 0u);
}

TEST_F(WakeUpTest, WakingForAnotherReasonBeforeTheDueTimeSilencesTheTimer) {
  Boot([](SimState& s) { s.suspend_seconds = 30; });
  SleepAndWakeUpAfter(120);
  EXPECT_EQ(Logged("Resume after 30 s"), 1u);
  EXPECT_EQ(Logged("Beep"), 0u);
  EXPECT_TRUE(ArmingThreadEnded());
}

}  // namespace
}  // namespace vantrel::power
