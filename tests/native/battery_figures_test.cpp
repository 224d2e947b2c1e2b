#include "battery/core/battery_figures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::battery {
namespace {

struct FakeBattery {
  std::string name;  // empty: the name cannot be read
  unsigned charge = 0;
  bool time_known = false;
  uint32_t seconds = 0;
  bool charging = false, discharging = false;
  bool answers = false;  // the capacity queries succeed
  uint32_t remaining = 0, full = 0;
};

// A battery that answers the capacity queries and, with a time, drains.
FakeBattery Holding(uint32_t remaining, uint32_t full, uint32_t seconds = 0) {
  return {"Held", ChargeFromCapacity(remaining, full), seconds != 0, seconds, false, false, true, remaining, full};
}

class FakeBatteries : public BatteryQueries {
 public:
  explicit FakeBatteries(std::vector<FakeBattery> batteries) : batteries_(std::move(batteries)) {}
  unsigned Count() override { return static_cast<unsigned>(batteries_.size()); }
  int FindByName(const std::string& name) override {
    for (size_t i = 0; i < batteries_.size(); ++i)
      if (!batteries_[i].name.empty() && batteries_[i].name == name) return static_cast<int>(i);
    return -1;
  }
  unsigned ChargePercent(unsigned index, PowerSeen& seen) override {
    const FakeBattery& b = batteries_.at(index);
    seen = {b.answers, b.charging, b.discharging};
    return b.charge;
  }
  bool Capacities(unsigned index, uint32_t& remaining, uint32_t& full, PowerSeen& seen) override {
    const FakeBattery& b = batteries_.at(index);
    if (!b.answers) return false;
    remaining = b.remaining;
    full = b.full;
    seen = {true, b.charging, b.discharging};
    return true;
  }
  bool EstimatedTime(unsigned index, uint32_t& seconds) override {
    seconds = batteries_.at(index).seconds;
    return batteries_.at(index).time_known;
  }
  bool DeviceName(unsigned index, std::string& name) override { return !(name = batteries_.at(index).name).empty(); }
  bool IsCharging(unsigned index) override { return batteries_.at(index).charging; }
  bool IsDischarging(unsigned index) override { return batteries_.at(index).discharging; }

 private:
  std::vector<FakeBattery> batteries_;
};

TEST(BatteryFigures, ChargeAndWearAreSafeOnOddFiguresAndTextsHaveTheirForms) {
  // remaining or full, full or design -> charge, wear
  const struct { uint32_t a, b; unsigned charge, wear; } cases[] = {
      {49999, 50000, 99, 1},  // truncated
      {0, 60000, 0, 100},
      {25000, 0, 0, 0},  // no division by zero; relative-capacity batteries report design 0
      {kUnknownCapacity, 50000, 0, 0}, {25000, kUnknownCapacity, 0, 0},  // unknown, not an overflow
      {93790, 93550, 100, 0},  // real batteries report a little more than full
      {3000000000u, 4000000000u, 75, 25}};  // × 100 exceeds 32 bits
  for (const auto& c : cases) {
    EXPECT_EQ(ChargeFromCapacity(c.a, c.b), c.charge) << c.a << " " << c.b;
    EXPECT_EQ(WearFromCapacity(c.a, c.b), c.wear) << c.a << " " << c.b;
  }
  EXPECT_EQ(TimeText(3725), "1:02:05");
  EXPECT_EQ(TimeText(0xFFFFFFFEull), "1193046:28:14");
  EXPECT_EQ(PowerStateTextId(true, true), PowerStateTextId(true, false));  // charging wins
}

TEST(MeterFigures, AllBatteriesCombineTheirChargeAndAddTheirTimes) {
  // The charge of all the energy held: neither the sum nor the mean of the per cents.
  FakeBatteries pair({Holding(45000, 50000, 3000), Holding(1000, 10000, 725)});
  MeterFigures f = CombineMeterFigures(pair, false, "");
  EXPECT_EQ(ChargeText(f.charge), "76%");
  EXPECT_EQ(f.time_text, "1:02:05");
  const struct { std::vector<FakeBattery> batteries; unsigned charge; } cases[] = {
      {{Holding(50000, 50000), Holding(30000, 30000)}, 100u},  // two full batteries
      {{Holding(81400, 93550)}, 87u},                            // one: its own figure
      {{Holding(93790, 93550), Holding(0, 93550)}, 50u},         // a little over full counts as full
      {{Holding(3000000000u, 4000000000u), Holding(3000000000u, 4000000000u)}, 75u},  // 64-bit sums
      {{Holding(kUnknownCapacity, 50000), Holding(20000, kUnknownCapacity), Holding(10000, 40000)}, 25u},
      {{Holding(10000, 0), Holding(10000, 40000)}, 25u},  // an empty full charge adds nothing
      {{{"Silent", 90}, Holding(10000, 40000)}, 25u},      // only batteries that answer count
      {{{"Silent", 90}}, 0u},
      {{}, 0u}};
  for (const auto& c : cases) {
    FakeBatteries batteries(c.batteries);
    EXPECT_EQ(CombineMeterFigures(batteries, false, "").charge, c.charge) << c.batteries.size() << " " << c.charge;
  }
}

TEST(MeterFigures, OneBatteryModeAndUnknownTimes) {
  // One battery: its own figures, its charge keeping the low 8 bits. An unknown time adds
  // nothing to the sum.
  FakeBatteries three({{"A", 256 + 90, true, 3000}, {"B", 80, true, 725}, {"C", 0, false, 0xFFFFFFFF}});
  EXPECT_EQ(CombineMeterFigures(three, true, "A").charge, 90u);
  EXPECT_EQ(CombineMeterFigures(three, false, "").time_text, "1:02:05");
  MeterFigures f = CombineMeterFigures(three, true, "B");
  EXPECT_EQ(f.charge, 80u);
  EXPECT_EQ(f.time_text, "0:12:05");
  for (const char* name : {"C", "D", "b"}) EXPECT_EQ(CombineMeterFigures(three, true, name).time_text, "UNKNOWN") << name;
  EXPECT_EQ(CombineMeterFigures(three, true, "D").charge, 0u);
  // A known time of exactly 0 seconds reads "UNKNOWN" too.
  FakeBatteries on_mains({{"A", 50, true, 0}});
  EXPECT_EQ(CombineMeterFigures(on_mains, false, "").time_text, "UNKNOWN");
  FakeBatteries none({});
  EXPECT_EQ(CombineMeterFigures(none, false, "").time_text, "UNKNOWN");
}

TEST(BatteryOfInterest, FirstReadableBatteryThatChargesOrDischarges) {
  FakeBatteries batteries({{"", 50, false, 0, true, false},  // name unreadable: never counts
                           {"Resting", 50},
                           {"Bay", 50, false, 0, false, true},
                           {"Main", 50, false, 0, true, false}});
  EXPECT_EQ(FirstBatteryOfInterest(batteries, false, ""), 2);
  EXPECT_EQ(FirstBatteryOfInterest(batteries, true, "Main"), 3);
  for (const char* name : {"main", "Resting", ""}) EXPECT_EQ(FirstBatteryOfInterest(batteries, true, name), -1) << name;
  FakeBatteries none({});
  EXPECT_EQ(FirstBatteryOfInterest(none, false, ""), -1);
}

// The notices need to know whether the charge shown is real and how the machine is powered;
// both come from the reads the figures already make.
TEST(MeterFigures, ThePowerStateOfTheBatteriesShownAndWhetherTheirChargeIsKnown) {
  auto with = [](FakeBattery b, bool charging, bool discharging) {
    b.charging = charging;
    b.discharging = discharging;
    return b;
  };
  const FakeBattery draining = with(Holding(10000, 40000), false, true);
  const FakeBattery idle = with(Holding(40000, 40000), false, false);
  const FakeBattery filling = with(Holding(20000, 40000), true, false);
  const struct { std::vector<FakeBattery> batteries; bool known, charging, discharging; } cases[] = {
      {{draining, idle}, true, false, true},       // the second battery waits its turn
      {{filling, draining}, true, true, false},    // fed from the mains: not on battery
      {{idle}, true, false, false},                // on mains, full
      {{{"Silent", 90, false, 0, false, true}}, false, false, false},  // no capacities: nothing known
      {{}, false, false, false}};
  for (const auto& c : cases) {
    FakeBatteries batteries(c.batteries);
    const MeterFigures f = CombineMeterFigures(batteries, false, "");
    EXPECT_EQ(f.charge_known, c.known) << c.batteries.size();
    EXPECT_EQ(f.charging, c.charging) << c.batteries.size();
    EXPECT_EQ(f.discharging, c.discharging) << c.batteries.size();
  }
  FakeBattery named = draining;
  named.name = "A";
  FakeBatteries one({idle, named});
  const MeterFigures f = CombineMeterFigures(one, true, "A");
  EXPECT_TRUE(f.charge_known && f.discharging && !f.charging);
  EXPECT_FALSE(CombineMeterFigures(one, true, "Z").charge_known);  // no such battery
}

}  // namespace
}  // namespace vantrel::battery
