// The battery half of PowerPlatform and the battery figures, against the simulated battery
// class driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/core/app_settings.h"
#include "battery/battery_status.h"
#include "platform/system_api.h"
#include "power/power_platform.h"
#include "win/test_support.h"

namespace vantrel {
namespace {

using platform::sim::SimBattery;
using power::PowerPlatform;

SimBattery Battery(const std::string& name, ULONG full = 50000, ULONG capacity = 25000, LONG rate = 0) {
  return testing::SimLaptopBattery(name, 60000, full, capacity, rate);
}

class BatteryDevices : public ::testing::Test {
 protected:
  void Boot(std::vector<SimBattery> batteries) {
    platform_.reset();
    platform::sim::SimState state;
    state.time_scale = 0;  // simulated time moves only by Advance()
    state.batteries = std::move(batteries);
    pc_.Boot(std::move(state));
  }
  void TearDown() override {
    platform_.reset();
    EXPECT_EQ(pc_.machine().OpenHandleCount(), 0u) << "a handle outlived its PowerPlatform";
  }
  PowerPlatform& Platform() {
    if (!platform_) platform_ = std::make_unique<PowerPlatform>();
    return *platform_;
  }
  std::string Name(unsigned index) {
    std::string name;
    battery::ReadBatteryText(Platform(), battery::BatteryText::DeviceName, index, name);
    return name;
  }
  // A figure when its query succeeds, else 0xEEEE0000 plus the result.
  ULONG Time(unsigned index) {
    ULONG seconds = 0;
    const DWORD result = Platform().GetEstimatedTime(index, 0, seconds);
    return result ? 0xEEEE0000u + result : seconds;
  }

  testing::PowerTestMachine pc_;
  std::unique_ptr<PowerPlatform> platform_;
};

DWORD Since(DWORD start) { return ::GetTickCount() - start; }

TEST_F(BatteryDevices, BatteriesFollowInterfaceOrderAndEveryHandleIsClosed) {
  std::vector<SimBattery> batteries = {Battery("First"), Battery("Second"), Battery("Second")};
  batteries[1].tag = 3;
  Boot(batteries);
  PowerPlatform& p = Platform();
  ASSERT_EQ(p.GetBatteryCount(), 3u);
  EXPECT_EQ(Name(0) + "|" + Name(1), "First|Second");
  EXPECT_EQ(p.batteries()[1].tag, 3u);
  EXPECT_EQ(pc_.machine().OpenHandleCount(), 4u);  // three batteries and the display; the device list is gone
  EXPECT_EQ(p.FindBatteryByName("Second"), 1);
  for (const char* absent : {"second", "", "Third"}) EXPECT_EQ(p.FindBatteryByName(absent), -1) << absent;
  BATTERY_INFORMATION info{};
  EXPECT_EQ(p.GetBatteryInfo(3, info), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Enumerating again reopens them; TearDown sees every handle closed.
  EXPECT_EQ(p.EnumBatteries(), 0u);
  EXPECT_EQ(pc_.machine().OpenHandleCount(), 4u);
}

TEST_F(BatteryDevices, TextsComeInTwoCalls) {
  Boot({Battery("42T4977"), Battery(std::string(200, 'N')), Battery("")});
  PowerPlatform& p = Platform();
  DWORD length = 0;
  EXPECT_EQ(p.GetDeviceName(0, nullptr, 0, &length), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(length, 7u);
  std::vector<char> buffer(length + 1, 'x');
  DWORD read = 0;
  EXPECT_EQ(p.GetDeviceName(0, buffer.data(), length - 1, &read), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(p.GetDeviceName(0, buffer.data(), length, &read), 0u);
  EXPECT_STREQ(buffer.data(), "42T4977");  // zero-terminated at exactly that length
  EXPECT_EQ(Name(1), std::string(200, 'N'));  // the scratch buffer keeps doubling
  // An empty name: success and length 0 with no buffer to write to, and never "readable".
  length = 99;
  EXPECT_EQ(p.GetDeviceName(2, nullptr, 0, &length), 0u);
  EXPECT_EQ(length, 0u);
  std::string text;
  EXPECT_FALSE(battery::ReadBatteryText(p, battery::BatteryText::DeviceName, 2, text));
}

TEST_F(BatteryDevices, InformationAndUnknownFiguresHaveTheirOwnResults) {
  // A missing date, an unsupported temperature and unknown times are read through the Batteries
  // page's tests.
  SimBattery vague = Battery("Vague", 50000, BATTERY_UNKNOWN_CAPACITY, static_cast<LONG>(BATTERY_UNKNOWN_RATE));
  vague.info.Capabilities |= BATTERY_CAPACITY_RELATIVE;
  vague.voltage = BATTERY_UNKNOWN_VOLTAGE;
  SimBattery odd = Battery("Odd", 0, 0);  // on mains, with a full capacity of 0
  odd.manufacture_date = BATTERY_MANUFACTURE_DATE{31, 13, 2003};
  Boot({Battery("Dated", 50000, 3725, -3600), vague, odd});
  PowerPlatform& p = Platform();

  BATTERY_MANUFACTURE_DATE date{};
  EXPECT_EQ(p.GetManufactureDate(0, date), 0u);
  EXPECT_EQ(date.Day + 100 * date.Month + 10000 * date.Year, 20031105);
  EXPECT_EQ(p.GetManufactureDate(2, date), PowerPlatform::kInvalidDate);
  EXPECT_EQ(date.Month, 13);  // stored all the same
  char chemistry[5] = {'x', 'x', 'x', 'x', 'x'};  // four bytes and a terminating zero
  EXPECT_EQ(p.GetChemistry(0, chemistry), 0u);
  EXPECT_STREQ(chemistry, "LION");
  ULONG value = 0;
  EXPECT_EQ(p.GetDesignedCapacity(1, value), 0u);
  EXPECT_EQ(value, 0u);  // relative capacity
  EXPECT_EQ(p.GetWearPercent(0), 17u);
  EXPECT_EQ(p.GetWearPercent(2) + p.GetChargePercent(2), 100u);

  // Unknown figures: their own results, the value kept, no charge (not 0xFFFFFFFF × 100 / full).
  EXPECT_EQ(p.GetCapacity(1, value), PowerPlatform::kUnknownFigure);
  EXPECT_EQ(value, BATTERY_UNKNOWN_CAPACITY);
  EXPECT_EQ(p.GetVoltage(1, value), PowerPlatform::kUnknownFigure);
  LONG rate = 0;
  EXPECT_EQ(p.GetRate(1, rate), PowerPlatform::kUnknownRate);
  EXPECT_EQ(p.GetChargePercent(1), 0u);
  EXPECT_EQ(p.GetEstimatedTime(0, -7450, value), 0u);  // 3725 mWh at 7450 mW
  EXPECT_EQ(value, 1800u);
  EXPECT_EQ(p.GetEstimatedTime(2, 0, value), PowerPlatform::kUnknownFigure);  // on mains
  EXPECT_EQ(value, BATTERY_UNKNOWN_TIME);
  // A battery that cannot be made to charge or discharge is not asked to (the page's button
  // drives one that can).
  EXPECT_FALSE(p.CanForceCharge(0) || p.CanForceDischarge(0));
  EXPECT_EQ(p.ForceCharge(0), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_EQ(p.ForceDischarge(0), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

TEST_F(BatteryDevices, SlotsThatCannotBeOpenedOrNeverAnswerKeepTheirPlaceAndWaitsAreBounded) {
  SimBattery locked = Battery("Locked"), silent = Battery("Silent");
  locked.open_fails = true;
  silent.answers = false;
  // Empty and neither charging nor discharging: a wait for "anything but this" never ends.
  SimBattery flat = Battery("Flat", 50000, 0);
  flat.power_state = 0;
  Boot({locked, silent, flat});
  DWORD start = ::GetTickCount();
  PowerPlatform& p = Platform();
  EXPECT_LT(Since(start), 2000u);
  ASSERT_EQ(p.GetBatteryCount(), 3u);
  EXPECT_EQ(p.batteries()[1].tag, 0u);
  EXPECT_EQ(p.FindBatteryByName("Flat"), 2);  // the slot after them still answers

  start = ::GetTickCount();
  DWORD length = 0;
  EXPECT_EQ(p.GetDeviceName(0, nullptr, 0, &length), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(p.ForceCharge(0), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(p.IsCharging(0) || p.IsDischarging(0));
  EXPECT_EQ(p.GetDeviceName(1, nullptr, 0, &length), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(p.GetChargePercent(1), 0u);
  ULONG capacity = 1;
  EXPECT_EQ(p.GetCapacity(2, capacity, INFINITE, 0, 0, 0), 0u);
  EXPECT_EQ(capacity, 0u);
  EXPECT_LT(Since(start), 1000u);  // queries refresh the tag without waiting

  start = ::GetTickCount();  // the unopened slot is skipped; the silent one is waited for ...
  EXPECT_EQ(p.RefreshTags(INFINITE), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_GE(Since(start) + 50, PowerPlatform::kMaxTagWaitMs);
  EXPECT_LT(Since(start), 2000u);  // ... but not for ever
}

TEST_F(BatteryDevices, OverTimeADischargingBatteryDrainsAndAChargingOneStopsAtFull) {
  SimBattery charging = Battery("Charging", 50000, 45000, 10000);
  charging.power_state = BATTERY_POWER_ON_LINE | BATTERY_CHARGING;
  Boot({Battery("Draining", 50000, 36000, -7200), charging});
  PowerPlatform& p = Platform();
  ULONG capacity = 0;
  LONG rate = 0;
  EXPECT_EQ(p.GetChargePercent(0), 72u);
  // seconds on -> the draining battery's capacity and time left, the charging one's capacity
  const struct { double advance; ULONG drained, time, charged; } steps[] = {
      {0, 36000, 18000, 45000},  // 36000 mWh at 7200 mW
      {900, 34200, 17100, 47500},
      {2700, 28800, 14400, 50000},  // an hour in all: the charger would be past full
      {5 * 3600, 0, 0, 50000}};  // drained: empty, not below
  for (const auto& step : steps) {
    SCOPED_TRACE(step.advance);
    pc_.machine().Advance(step.advance);
    EXPECT_EQ(p.GetCapacity(0, capacity), 0u);
    EXPECT_EQ(capacity, step.drained);
    EXPECT_EQ(Time(0), step.time);
    EXPECT_EQ(p.GetCapacity(1, capacity), 0u);
    EXPECT_EQ(capacity, step.charged);
    if (step.advance == 900) { EXPECT_TRUE(p.IsCharging(1)); }
    if (step.advance != 2700) continue;
    EXPECT_EQ(p.GetChargePercent(0), 57u);
    EXPECT_TRUE(p.IsDischarging(0));
    EXPECT_EQ(p.GetChargePercent(1), 100u);
    EXPECT_EQ(p.GetRate(1, rate), 0u);
    EXPECT_EQ(rate, 0);
    EXPECT_FALSE(p.IsCharging(1) || p.IsDischarging(1));
    EXPECT_EQ(battery::PowerStateText(p, 1), "OnLine");
    EXPECT_EQ(Time(1), 0xEEEE0000u + PowerPlatform::kUnknownFigure);
  }
}

// Counts the battery requests on their way to the simulated driver.
class RequestCounter : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  BOOL DeviceIoControl(HANDLE h, DWORD code, LPVOID in, DWORD in_size, LPVOID out, DWORD out_size, LPDWORD returned,
                       LPOVERLAPPED overlapped) override {
    ++requests;
    return ForwardingSystemApi::DeviceIoControl(h, code, in, in_size, out, out_size, returned, overlapped);
  }
  unsigned requests = 0;
};

// The one-battery mode's lookup by name, kept between computations, never changes the figures:
// they are those a fresh lookup gives, though batteries are exchanged under it.
TEST_F(BatteryDevices, TheKeptLookupByNameFollowsEveryExchange) {
  Boot({Battery("Main", 50000, 40000), Battery("Bay", 50000, 10000)});
  settings::AppSettings one;
  one.DisplayOneBatteryStatus = 1;
  one.BatteryName = "Bay";
  battery::NamedBatteryCache named;
  struct Step {
    int slot;          // the slot exchanged first, -1 none
    const char* name;  // the battery put in
    ULONG capacity;
    bool known;
    unsigned charge;
    bool looked_up;  // the names were read again
  } steps[] = {
      {-1, "", 0, true, 20, true},  {-1, "", 0, true, 20, false},      {1, "Bay", 30000, true, 60, true},
      {-1, "", 0, true, 60, false}, {1, "Spare", 45000, false, 0, true}, {-1, "", 0, false, 0, true},
      {0, "Bay", 5000, true, 10, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << "slot " << step.slot << " " << step.name);
    if (step.slot >= 0) {
      ASSERT_TRUE(pc_.machine().ExchangeBattery(step.slot, Battery(step.name, 50000, step.capacity)));
    }
    RequestCounter counter(platform::Sys());
    battery::MeterFigures kept;
    {
      platform::ScopedSystemApi counting(counter);
      kept = battery::ComputeMeterFigures(Platform(), one, named);
    }
    const battery::MeterFigures fresh = battery::ComputeMeterFigures(Platform(), one);
    EXPECT_EQ(kept.charge_known, step.known);
    EXPECT_EQ(kept.charge, step.charge);
    EXPECT_EQ(kept.charge, fresh.charge);
    EXPECT_EQ(kept.time_text, fresh.time_text);
    // Without a lookup: the time, the information and the status of one battery.
    EXPECT_EQ(counter.requests > 3, step.looked_up) << counter.requests << " requests";
  }
}

TEST_F(BatteryDevices, MeterFiguresAndTheBatteryOfInterest) {
  Boot(platform::sim::DefaultLaptop().batteries);
  // 87 % and 9 %: 83820 of 119410 mWh held; only the main battery drains, 81400 mWh at 14500 mW.
  const battery::MeterFigures f = battery::ComputeMeterFigures(Platform(), settings::AppSettings{});
  EXPECT_EQ(f.charge, 70u);
  EXPECT_EQ(f.time_text, "5:36:49");
  // Batteries whose capacities cannot be read add nothing; the others combine (55000 of 80000).
  SimBattery unknown = Battery("Unknown", 50000, BATTERY_UNKNOWN_CAPACITY), locked = Battery("Locked");
  locked.open_fails = true;
  Boot({Battery("Half"), unknown, locked, Battery("Full", 30000, 30000)});
  EXPECT_EQ(battery::ComputeMeterFigures(Platform(), settings::AppSettings{}).charge, 68u);
  Boot(platform::sim::DefaultLaptop().batteries);
  settings::AppSettings resting;
  resting.DisplayOneBatteryStatus = 1;
  resting.BatteryName = "00HW022";
  EXPECT_EQ(battery::FindBatteryOfInterest(Platform(), settings::AppSettings{}), 0);
  EXPECT_EQ(battery::FindBatteryOfInterest(Platform(), resting), -1);
}

}  // namespace
}  // namespace vantrel
