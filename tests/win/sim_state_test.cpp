// The simulated machine's state file: first run, round trip, log.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/sim_machine.h"
#include "win/test_support.h"

namespace vantrel::platform::sim {
namespace {

TEST(SimStateTest, FirstRunWritesTheDefaultLaptop) {
  vantrel::testing::TempDir dir;
  const std::string ini = dir.File("machine.ini");
  {
    SimulatedMachine machine(ini);
    ASSERT_EQ(machine.state().batteries.size(), 2u);
    EXPECT_EQ(machine.state().schemes.size(), 6u);
  }
  SimState read;
  ASSERT_TRUE(LoadState(ini, read));
  ASSERT_EQ(read.batteries.size(), 2u);
  const SimBattery& main = read.batteries[0];
  EXPECT_EQ(main.device_name, "42T4969");
  EXPECT_EQ(main.serial_number, " 7392");  // the leading blank survives the file
  EXPECT_EQ(main.info.DesignedCapacity, 93600u);
  EXPECT_EQ(main.power_state, static_cast<ULONG>(BATTERY_DISCHARGING));
  EXPECT_EQ(main.rate, -14500);
  EXPECT_EQ(std::memcmp(main.info.Chemistry, "LION", 4), 0);
  EXPECT_TRUE(main.unsupported & LevelBit(BatteryTemperature));
  // Full above design happens on real batteries.
  EXPECT_GT(read.batteries[1].info.FullChargedCapacity, read.batteries[1].info.DesignedCapacity);

  ASSERT_EQ(read.schemes.size(), 6u);
  EXPECT_EQ(read.active_scheme, 1u);
  std::string name(read.schemes[1].name.begin(), read.schemes[1].name.end());
  EXPECT_EQ(name, "Portable/Laptop");
  EXPECT_EQ(read.schemes[1].policy.user.VideoTimeoutAc, 15u * 60);
  EXPECT_EQ(read.schemes[5].policy.user.VideoTimeoutDc, 60u);
  EXPECT_EQ(read.schemes[0].processor.ProcessorPolicyDc.DynamicThrottle, PO_THROTTLE_ADAPTIVE);
  EXPECT_EQ(read.global.user.GlobalFlags, 0x16u);
  EXPECT_EQ(read.global.user.DischargePolicy[0].BatteryLevel, 3u);
  EXPECT_TRUE(read.capabilities.SystemS3);
  EXPECT_FALSE(read.capabilities.SystemS1);
}

TEST(SimStateTest, EveryFieldSurvivesARoundTrip) {
  vantrel::testing::TempDir dir;
  const std::string ini = dir.File("round.ini");
  SimState state = DefaultLaptop();
  state.time_scale = 60;
  state.shutdown_privilege = false;
  state.processor_functions = false;
  state.batteries[1].answers = false;
  state.batteries[1].open_fails = true;
  state.batteries[1].capacity = BATTERY_UNKNOWN_CAPACITY;
  state.batteries[1].rate = static_cast<LONG>(BATTERY_UNKNOWN_RATE);
  state.schemes.pop_back();
  state.schemes[0].policy.user.IdleSensitivityDc = 77;
  state.schemes[0].processor.ProcessorPolicyAc.Policy[2].PromotePercent = 33;
  state.global.user.LidCloseDc.Action = PowerActionHibernate;
  ASSERT_TRUE(SaveState(ini, state));

  SimState read;
  ASSERT_TRUE(LoadState(ini, read));
  EXPECT_EQ(read.time_scale, 60);
  EXPECT_FALSE(read.shutdown_privilege);
  EXPECT_FALSE(read.processor_functions);
  EXPECT_FALSE(read.batteries[1].answers);
  EXPECT_TRUE(read.batteries[1].open_fails);
  EXPECT_EQ(read.batteries[1].capacity, BATTERY_UNKNOWN_CAPACITY);
  EXPECT_EQ(read.batteries[1].rate, static_cast<LONG>(BATTERY_UNKNOWN_RATE));
  EXPECT_EQ(read.batteries[0].manufacture_date.Year, 2011);
  ASSERT_EQ(read.schemes.size(), 5u);
  EXPECT_EQ(std::memcmp(&read.schemes[0].policy, &state.schemes[0].policy, sizeof(POWER_POLICY)), 0);
  EXPECT_EQ(std::memcmp(&read.schemes[0].processor, &state.schemes[0].processor,
                        sizeof(MACHINE_PROCESSOR_POWER_POLICY)),
            0);
  EXPECT_EQ(std::memcmp(&read.global, &state.global, sizeof(GLOBAL_POWER_POLICY)), 0);

  // Fewer batteries and schemes on the next save leave no stale sections behind.
  state.batteries.resize(1);
  state.schemes.resize(2);
  ASSERT_TRUE(SaveState(ini, state));
  char probe[16] = {};
  EXPECT_EQ(::GetPrivateProfileStringA("Battery1", "DeviceName", "", probe, sizeof probe, ini.c_str()), 0u);
  EXPECT_EQ(::GetPrivateProfileStringA("Scheme4", "Name", "", probe, sizeof probe, ini.c_str()), 0u);
  ASSERT_TRUE(LoadState(ini, read));
  EXPECT_EQ(read.batteries.size(), 1u);
  EXPECT_EQ(read.schemes.size(), 2u);
}

TEST(SimStateTest, MissingFileIsReportedAndLogIsKeptInTheFile) {
  vantrel::testing::TempDir dir;
  SimState unused;
  EXPECT_FALSE(LoadState(dir.File("absent.ini"), unused));

  const std::string ini = dir.File("log.ini");
  {
    SimulatedMachine machine(ini, DefaultLaptop());
    machine.AppendLog("ExitWindowsEx flags=0x18 reason=0");
    machine.AppendLog("second");
    EXPECT_EQ(machine.Log(), (std::vector<std::string>{"ExitWindowsEx flags=0x18 reason=0", "second"}));
  }
  SimulatedMachine again(ini, DefaultLaptop());
  EXPECT_EQ(again.Log().size(), 2u);
  again.ClearLog();
  EXPECT_TRUE(again.Log().empty());
}

TEST(SimStateTest, SimulatedTimeAdvances) {
  vantrel::testing::TempDir dir;
  SimState state = DefaultLaptop();
  state.time_scale = 0;  // frozen, so only Advance moves it
  SimulatedMachine machine(dir.File("time.ini"), state);
  EXPECT_EQ(machine.Now(), 0);
  machine.Advance(90);
  EXPECT_EQ(machine.Now(), 90);
}

}  // namespace
}  // namespace vantrel::platform::sim
