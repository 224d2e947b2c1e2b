// Log off, shut down, reboot, sleep, hibernate and the hibernation file: the exact arguments
// reach the system, and the simulated machine records them instead of acting.
#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_machine.h"
#include "power/power_actions.h"
#include "win/recording_system.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using platform::sim::SimState;
using platform::sim::SimulatedMachine;

class PowerActionsTest : public ::testing::Test {
 protected:
  // A default laptop with the given changes; the fake records what reaches it.
  void Boot(void (*change)(SimState&) = nullptr) {
    SimState state = platform::sim::DefaultLaptop();
    state.time_scale = 1000;  // simulated sleeps pass at once
    if (change) change(state);
    TearDown();
    machine_ = std::make_unique<SimulatedMachine>(dir_.File("sim.ini"), state);
    machine_->ClearLog();
    fake_ = std::make_unique<testing::RecordingSystem>(*machine_);
    scope_ = std::make_unique<platform::ScopedSystemApi>(*fake_);
  }
  void TearDown() override {
    scope_.reset();
    fake_.reset();
    machine_.reset();
  }

  testing::TempDir dir_;
  std::unique_ptr<SimulatedMachine> machine_;
  std::unique_ptr<testing::RecordingSystem> fake_;
  std::unique_ptr<platform::ScopedSystemApi> scope_;
};

TEST_F(PowerActionsTest, ShutDownAndRebootPowerOffOrRestartAfterThePrivilegeStep) {
  Boot();
  EXPECT_EQ(ShutDownSystem(), 0);
  EXPECT_EQ(RebootSystem(), 0);
  ASSERT_EQ(fake_->exit_flags.size(), 2u);
  EXPECT_EQ(fake_->exit_flags[0], 0x18u);
  EXPECT_EQ(fake_->exit_flags[1], 0x12u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(fake_->exit_flags[i] & EWX_FORCE, 0u) << "applications that answer must be asked";
    EXPECT_EQ(fake_->exit_reasons[i], 0u);
  }
  ASSERT_EQ(fake_->token_access.size(), 2u);
  EXPECT_EQ(fake_->token_access[0], 0x28u);
  // The privilege is enabled before each request, and the token is not left open.
  EXPECT_EQ(fake_->calls[0], "OpenProcessToken");
  EXPECT_EQ(fake_->calls[1], "AdjustTokenPrivileges");
  EXPECT_EQ(fake_->calls[2], "ExitWindowsEx");
  EXPECT_EQ(machine_->OpenHandleCount(), 0u);
  std::vector<std::string> log = machine_->Log();
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.back(), "ExitWindowsEx flags=0x12 reason=0");
}

TEST_F(PowerActionsTest, AccountWithoutTheShutdownPrivilegeKeepsTheMachineRunning) {
  Boot([](SimState& s) { s.shutdown_privilege = false; });
  EXPECT_EQ(ShutDownSystem(), ERROR_NOT_ALL_ASSIGNED);
  EXPECT_EQ(RebootSystem(), ERROR_NOT_ALL_ASSIGNED);
  EXPECT_EQ(fake_->Count("ExitWindowsEx"), 0u);
  EXPECT_EQ(machine_->OpenHandleCount(), 0u);
}

TEST_F(PowerActionsTest, ShutdownRequestWithoutThePrivilegeStepIsRefusedByTheMachine) {
  Boot();
  EXPECT_FALSE(machine_->ExitWindowsEx(kShutDownFlags, 0));
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PRIVILEGE_NOT_HELD));
  // Logging off needs no privilege.
  EXPECT_TRUE(machine_->ExitWindowsEx(kLogOffFlags, 0));
}

TEST_F(PowerActionsTest, LogOffReportsSuccessWhetherAcceptedOrRefused) {
  Boot();
  EXPECT_EQ(LogOffUser(), 0);
  fake_->refuse_exit = true;
  EXPECT_EQ(LogOffUser(), 0);
  ASSERT_EQ(fake_->exit_flags.size(), 2u);
  EXPECT_EQ(fake_->exit_flags[0], 0x10u);
  EXPECT_EQ(fake_->Count("OpenProcessToken"), 0u);
}

TEST_F(PowerActionsTest, SleepAndHibernatePassTheirChoicesToTheSuspendCall) {
  Boot();
  EXPECT_EQ(SleepSystem(true, true), 0);
  EXPECT_EQ(SleepSystem(false, false), 0);
  EXPECT_EQ(HibernateSystem(true, true), 0);
  ASSERT_EQ(fake_->suspends.size(), 3u);
  auto expect = [&](size_t i, BOOLEAN h, BOOLEAN f, BOOLEAN d) {
    EXPECT_EQ(fake_->suspends[i].hibernate, h) << i;
    EXPECT_EQ(fake_->suspends[i].force_critical, f) << i;
    EXPECT_EQ(fake_->suspends[i].disable_wake_event, d) << i;
  };
  expect(0, FALSE, FALSE, TRUE);
  expect(1, FALSE, TRUE, FALSE);
  expect(2, TRUE, FALSE, TRUE);
  // The machine slept (and resumed) each time.
  size_t resumes = 0;
  for (const std::string& line : machine_->Log()) resumes += line.rfind("Resume after", 0) == 0 ? 1 : 0;
  EXPECT_EQ(resumes, 3u);
}

TEST_F(PowerActionsTest, StatesTheMachineDoesNotAllowAreNotRequested) {
  Boot([](SimState& s) {
    s.capabilities.SystemS1 = s.capabilities.SystemS2 = s.capabilities.SystemS3 = FALSE;
    s.hiber_file_present = false;
  });
  EXPECT_EQ(SleepSystem(true, true), -1);
  EXPECT_EQ(HibernateSystem(true, true), -1);
  EXPECT_EQ(fake_->Count("SetSuspendState"), 0u);
}

TEST_F(PowerActionsTest, RefusedSuspendReturnsTheError) {
  Boot([](SimState& s) { s.suspend_refused = true; });
  int result = SleepSystem(true, true);
  EXPECT_NE(result, 0);
  EXPECT_NE(result, -1);
  EXPECT_EQ(fake_->Count("SetSuspendState"), 1u);
}

TEST_F(PowerActionsTest, HibernationFileSwitchSendsOneByteAtLevelTen) {
  Boot();
  EXPECT_EQ(ReserveHibernationFile(false), 0);
  ASSERT_EQ(fake_->power_information.size(), 1u);
  const auto& call = fake_->power_information[0];
  EXPECT_EQ(static_cast<int>(call.level), 10);
  EXPECT_EQ(call.input_size, 1u);
  ASSERT_EQ(call.input.size(), 1u);
  EXPECT_EQ(call.input[0], 0);
  EXPECT_FALSE(call.output_given);
  EXPECT_EQ(call.output_size, 0u);
  // The file is gone, so hibernation is no longer allowed; reserving brings it back, and the
  // state file keeps the choice.
  EXPECT_FALSE(machine_->IsPwrHibernateAllowed());
  EXPECT_EQ(::GetPrivateProfileIntA("Machine", "HiberFilePresent", -1, machine_->ini_path().c_str()), 0);
  EXPECT_EQ(ReserveHibernationFile(true), 0);
  EXPECT_EQ(fake_->power_information[1].input[0], 1);
  EXPECT_TRUE(machine_->IsPwrHibernateAllowed());
}

TEST_F(PowerActionsTest, HibernationFileSwitchWithoutPrivilegeReturnsTheStatusUnchanged) {
  Boot([](SimState& s) { s.shutdown_privilege = false; });
  EXPECT_EQ(static_cast<DWORD>(ReserveHibernationFile(false)), 0xC0000022u);  // access denied
  EXPECT_TRUE(machine_->IsPwrHibernateAllowed());
}

}  // namespace
}  // namespace vantrel::power
