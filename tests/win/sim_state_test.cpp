// The simulated machine's state file: first run and round trip.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/sim/sim_machine.h"
#include "win/test_support.h"

namespace vantrel::platform::sim {
namespace {

std::string Bytes(const std::string& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(path, std::ios::binary).rdbuf();
  return bytes.str();
}

// Loading `ini` and saving what was read gives the same file: nothing is lost on the way in.
SimState ReadBack(const std::string& ini, const std::string& copy) {
  SimState read;
  EXPECT_TRUE(LoadState(ini, read) && SaveState(copy, read));
  EXPECT_EQ(Bytes(copy), Bytes(ini));
  return read;
}

TEST(SimStateTest, FirstRunWritesTheDefaultLaptopAndEveryFieldSurvivesARoundTrip) {
  vantrel::testing::TempDir dir;
  const std::string ini = dir.File("machine.ini"), copy = dir.File("copy.ini");
  { SimulatedMachine first_run(ini); }
  SimState state = DefaultLaptop();
  SimState read = ReadBack(ini, copy);
  ASSERT_EQ(read.batteries.size(), state.batteries.size());
  EXPECT_EQ(read.schemes.size(), state.schemes.size());
  EXPECT_EQ(read.batteries[1].serial_number, state.batteries[1].serial_number);  // a leading blank kept

  state.time_scale = 60;
  state.shutdown_privilege = state.batteries[1].answers = false;
  state.batteries[1].open_fails = true;
  state.batteries[1].capacity = BATTERY_UNKNOWN_CAPACITY;
  state.schemes[0].processor.ProcessorPolicyAc.Policy[2].PromotePercent = 33;
  state.global.user.LidCloseDc.Action = PowerActionHibernate;
  ASSERT_TRUE(SaveState(ini, state));
  read = ReadBack(ini, copy);
  EXPECT_TRUE(read.time_scale == 60 && !read.shutdown_privilege && !read.batteries[1].answers &&
              read.batteries[1].open_fails && read.batteries[1].capacity == BATTERY_UNKNOWN_CAPACITY);
  EXPECT_EQ(read.schemes[0].processor.ProcessorPolicyAc.Policy[2].PromotePercent, 33);
  EXPECT_EQ(read.global.user.LidCloseDc.Action, PowerActionHibernate);

  // Fewer batteries and schemes on the next save leave no stale sections behind.
  state.batteries.resize(1);
  state.schemes.resize(2);
  ASSERT_TRUE(SaveState(ini, state));
  char probe[16] = {};
  EXPECT_EQ(::GetPrivateProfileStringA("Battery1", "DeviceName", "", probe, sizeof probe, ini.c_str()), 0u);
  EXPECT_EQ(::GetPrivateProfileStringA("Scheme4", "Name", "", probe, sizeof probe, ini.c_str()), 0u);
  EXPECT_EQ(ReadBack(ini, copy).schemes.size(), 2u);
}

}  // namespace
}  // namespace vantrel::platform::sim
