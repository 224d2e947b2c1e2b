#include "battery/core/battery_figures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::battery {
namespace {

// A name that is empty cannot be read; `answers`: the capacity queries succeed.
struct FakeBattery {
  std::string name;
  unsigned charge = 0;
  bool time_known = false;
  uint32_t seconds = 0;
  bool charging = false, discharging = false, answers = false;
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

TEST(BatteryFigures, ChargeAndWearAreSafeTextsHaveTheirFormsAndTheBatteryOfInterestIsFound) {
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
  for (auto [seconds, text] : {std::pair<uint64_t, const char*>{0, "0:00:00"}, {3599, "0:59:59"}, {36005, "10:00:05"},
                                {0xFFFFFFFEull, "1193046:28:14"}, {~0ull, "5124095576030431:00:15"}})
    EXPECT_EQ(TimeText(seconds), text);
  EXPECT_EQ(PowerStateTextId(true, true), PowerStateTextId(true, false));  // charging wins
  // The battery of interest: the first readable one that charges or discharges.
  FakeBatteries batteries({{"", 50, false, 0, true, false},  // name unreadable: never counts
                           {"Resting", 50}, {"Bay", 50, false, 0, false, true}, {"Main", 50, false, 0, true, false}});
  EXPECT_EQ(FirstBatteryOfInterest(batteries, false, ""), 2);
  EXPECT_EQ(FirstBatteryOfInterest(batteries, true, "Main"), 3);
  for (const char* name : {"main", "Resting", ""}) EXPECT_EQ(FirstBatteryOfInterest(batteries, true, name), -1) << name;
  FakeBatteries none({});
  EXPECT_EQ(FirstBatteryOfInterest(none, false, ""), -1);
}

// All batteries: the charge of all the energy held (neither the sum nor the mean of the per
// cents), from the batteries that answer, and their times added. One battery: its own figures.
// The notices need to know whether the charge shown is real and how the machine is powered.
TEST(MeterFigures, ChargeTimeAndPowerStateOfTheBatteriesShown) {
  auto with = [](FakeBattery b, bool charging, bool discharging, const char* name = "Held") {
    b.charging = charging;
    b.discharging = discharging;
    b.name = name;
    return b;
  };
  const FakeBattery draining = with(Holding(10000, 40000), false, true);
  const FakeBattery idle = with(Holding(40000, 40000), false, false);
  const FakeBattery filling = with(Holding(20000, 40000), true, false);
  // Silent ones: their charge keeps the low 8 bits, an unknown time adds nothing.
  const std::vector<FakeBattery> three = {{"A", 256 + 90, true, 3000}, {"B", 80, true, 725}, {"C", 0, false, ~0u}};
  const std::vector<FakeBattery> named = {idle, with(draining, false, true, "A")};
  // The power state seen: K the charge is known, C charging, D discharging.
  const struct { std::vector<FakeBattery> batteries; const char* one; unsigned charge; const char *time, *seen; }
  cases[] = {
      {{Holding(45000, 50000, 3000), Holding(1000, 10000, 725)}, nullptr, 76, "1:02:05", "K"},
      {{Holding(50000, 50000), Holding(30000, 30000)}, nullptr, 100, "UNKNOWN", "K"},  // two full batteries
      {{Holding(81400, 93550)}, nullptr, 87, "UNKNOWN", "K"},
      {{Holding(93790, 93550), Holding(0, 93550)}, nullptr, 50, "UNKNOWN", "K"},  // a little over full is full
      {{Holding(3000000000u, 4000000000u), Holding(3000000000u, 4000000000u)}, nullptr, 75, "UNKNOWN", "K"},
      {{Holding(kUnknownCapacity, 50000), Holding(20000, kUnknownCapacity), Holding(10000, 40000)}, nullptr, 25,
       "UNKNOWN", "K"},
      {{Holding(10000, 0), Holding(10000, 40000)}, nullptr, 25, "UNKNOWN", "K"},  // an empty full charge adds nothing
      {{{"Silent", 90}, Holding(10000, 40000)}, nullptr, 25, "UNKNOWN", "K"},
      {{{"Silent", 90}}, nullptr, 0, "UNKNOWN", ""}, {{}, nullptr, 0, "UNKNOWN", ""},
      {three, nullptr, 0, "1:02:05", ""}, {three, "A", 90, "0:50:00", ""}, {three, "B", 80, "0:12:05", ""},
      {three, "C", 0, "UNKNOWN", ""}, {three, "D", 0, "UNKNOWN", ""}, {three, "b", 0, "UNKNOWN", ""},
      {{{"A", 50, true, 0}}, nullptr, 0, "UNKNOWN", ""},  // a known time of exactly 0 seconds
      {{draining, idle}, nullptr, 62, "UNKNOWN", "KD"},   // the second battery waits its turn
      {{filling, draining}, nullptr, 37, "UNKNOWN", "KC"},  // fed from the mains: not on battery
      {{idle}, nullptr, 100, "UNKNOWN", "K"},
      {{{"Silent", 90, false, 0, false, true}}, nullptr, 0, "UNKNOWN", ""},  // no capacities: nothing known
      {named, "A", 25, "UNKNOWN", "KD"}, {named, "Z", 0, "UNKNOWN", ""}};
  for (const auto& c : cases) {
    FakeBatteries batteries(c.batteries);
    const MeterFigures f = CombineMeterFigures(batteries, c.one != nullptr, c.one ? c.one : "");
    SCOPED_TRACE(::testing::Message() << c.batteries.size() << " batteries, one: " << (c.one ? c.one : "-"));
    EXPECT_EQ(f.charge, c.charge);
    EXPECT_EQ(f.time_text, c.time);
    EXPECT_EQ(std::string(f.charge_known ? "K" : "") + (f.charging ? "C" : "") + (f.discharging ? "D" : ""), c.seen);
  }
}


}  // namespace
}  // namespace vantrel::battery
