// The simulated machine's state file: first run and round trip.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/sim_machine.h"
#include "win/test_support.h"

namespace vantrel::platform::sim {
namespace {

template <class T>
bool SameBytes(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every stored field of `read` equals `written`'s.
void ExpectSame(const SimState& read, const SimState& written) {
  EXPECT_EQ(read.time_scale, written.time_scale);
  EXPECT_EQ(read.shutdown_privilege, written.shutdown_privilege);
  EXPECT_EQ(read.processor_functions, written.processor_functions);
  EXPECT_EQ(read.active_scheme, written.active_scheme);
  EXPECT_TRUE(SameBytes(read.global, written.global));
  ASSERT_EQ(read.batteries.size(), written.batteries.size());
  for (size_t i = 0; i < read.batteries.size(); ++i) {
    const SimBattery &r = read.batteries[i], &w = written.batteries[i];
    EXPECT_EQ(r.device_name + "|" + r.serial_number, w.device_name + "|" + w.serial_number);
    EXPECT_TRUE(r.answers == w.answers && r.open_fails == w.open_fails && r.unsupported == w.unsupported) << i;
    EXPECT_TRUE(r.capacity == w.capacity && r.rate == w.rate && r.power_state == w.power_state) << i;
    EXPECT_TRUE(SameBytes(r.info, w.info) && SameBytes(r.manufacture_date, w.manufacture_date)) << i;
  }
  ASSERT_EQ(read.schemes.size(), written.schemes.size());
  for (size_t i = 0; i < read.schemes.size(); ++i) {
    const SimScheme &r = read.schemes[i], &w = written.schemes[i];
    EXPECT_TRUE(r.id == w.id && r.name == w.name && r.description == w.description) << i;
    EXPECT_TRUE(SameBytes(r.policy, w.policy) && SameBytes(r.processor, w.processor)) << i;
  }
}

TEST(SimStateTest, FirstRunWritesTheDefaultLaptopAndEveryFieldSurvivesARoundTrip) {
  vantrel::testing::TempDir dir;
  const std::string ini = dir.File("machine.ini");
  { SimulatedMachine first_run(ini); }
  SimState read;
  ASSERT_TRUE(LoadState(ini, read));
  SimState state = DefaultLaptop();
  state.time_scale = read.time_scale;
  ExpectSame(read, state);  // the leading blank of a serial number included

  state.time_scale = 60;
  state.shutdown_privilege = state.processor_functions = state.batteries[1].answers = false;
  state.batteries[1].open_fails = true;
  state.batteries[1].capacity = BATTERY_UNKNOWN_CAPACITY;
  state.batteries[1].rate = static_cast<LONG>(BATTERY_UNKNOWN_RATE);
  state.schemes.pop_back();
  state.schemes[0].policy.user.IdleSensitivityDc = 77;
  state.schemes[0].processor.ProcessorPolicyAc.Policy[2].PromotePercent = 33;
  state.global.user.LidCloseDc.Action = PowerActionHibernate;
  ASSERT_TRUE(SaveState(ini, state));
  ASSERT_TRUE(LoadState(ini, read));
  ExpectSame(read, state);

  // Fewer batteries and schemes on the next save leave no stale sections behind.
  state.batteries.resize(1);
  state.schemes.resize(2);
  ASSERT_TRUE(SaveState(ini, state));
  char probe[16] = {};
  EXPECT_EQ(::GetPrivateProfileStringA("Battery1", "DeviceName", "", probe, sizeof probe, ini.c_str()), 0u);
  EXPECT_EQ(::GetPrivateProfileStringA("Scheme4", "Name", "", probe, sizeof probe, ini.c_str()), 0u);
  ASSERT_TRUE(LoadState(ini, read));
  ExpectSame(read, state);
}

}  // namespace
}  // namespace vantrel::platform::sim
