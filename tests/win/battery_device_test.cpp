// The battery half of PowerPlatform and the battery figures, against the simulated battery
// class driver.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/core/app_settings.h"
#include "battery/battery_status.h"
#include "power/power_platform.h"
#include "win/test_support.h"

namespace vantrel {
namespace {

using platform::sim::SimBattery;
using power::PowerPlatform;

SimBattery Battery(const std::string& name, ULONG full = 50000, ULONG capacity = 25000, LONG rate = 0) {
  SimBattery b;
  b.device_name = name;
  b.serial_number = " 973";
  b.manufacture_date = BATTERY_MANUFACTURE_DATE{5, 11, 2003};
  b.info.Capabilities = BATTERY_SYSTEM_BATTERY;
  b.info.Technology = 1;
  std::memcpy(b.info.Chemistry, "LiP", 3);
  b.info.DesignedCapacity = 60000;
  b.info.FullChargedCapacity = full;
  b.capacity = capacity;
  b.voltage = 14526;
  b.rate = rate;
  b.power_state = rate < 0 ? BATTERY_DISCHARGING : BATTERY_POWER_ON_LINE;
  b.temperature = 2981;
  return b;
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
  platform::sim::SimulatedMachine& machine() { return pc_.machine(); }
  // A figure when its query succeeds, else 0xEEEE0000 plus the result.
  ULONG Time(unsigned index) {
    ULONG seconds = 0;
    const DWORD result = Platform().GetEstimatedTime(index, 0, seconds);
    return result ? 0xEEEE0000u + result : seconds;
  }
  ULONG Capacity(unsigned index) {
    ULONG capacity = 0;
    const DWORD result = Platform().GetCapacity(index, capacity);
    return result ? 0xEEEE0000u + result : capacity;
  }

  testing::PowerTestMachine pc_;
  std::unique_ptr<PowerPlatform> platform_;
};

DWORD Since(DWORD start) { return ::GetTickCount() - start; }

TEST_F(BatteryDevices, BatteriesFollowInterfaceOrderAndEveryHandleIsClosed) {
  std::vector<SimBattery> batteries = {Battery("First"), Battery("Second"), Battery("Second")};
  batteries[0].tag = 7;
  batteries[1].tag = 3;
  Boot(batteries);
  PowerPlatform& p = Platform();
  ASSERT_EQ(p.GetBatteryCount(), 3u);
  EXPECT_EQ(Name(0), "First");
  EXPECT_EQ(Name(1), "Second");
  EXPECT_EQ(p.batteries()[0].tag, 7u);
  EXPECT_EQ(p.batteries()[1].tag, 3u);
  // Three batteries and the display device; the device list is gone again.
  EXPECT_EQ(machine().OpenHandleCount(), 4u);

  EXPECT_EQ(p.FindBatteryByName("Second"), 1);
  for (const char* absent : {"second", "", "Third"}) EXPECT_EQ(p.FindBatteryByName(absent), -1) << absent;
  BATTERY_INFORMATION info{};
  EXPECT_EQ(p.GetBatteryInfo(3, info), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // Enumerating again reopens them, and every handle is closed at the end (see TearDown).
  EXPECT_EQ(p.EnumBatteries(), 0u);
  EXPECT_EQ(p.GetBatteryCount(), 3u);
  EXPECT_EQ(machine().OpenHandleCount(), 4u);
}

TEST_F(BatteryDevices, TextsComeInTwoCalls) {
  Boot({Battery("42T4977"), Battery(std::string(200, 'N')), Battery("")});
  PowerPlatform& p = Platform();

  DWORD length = 0;
  EXPECT_EQ(p.GetDeviceName(0, nullptr, 0, &length), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(length, 7u);
  std::vector<char> buffer(length + 1, 'x');
  DWORD read = 0;
  EXPECT_EQ(p.GetDeviceName(0, buffer.data(), length, &read), 0u);
  EXPECT_EQ(read, 7u);
  EXPECT_STREQ(buffer.data(), "42T4977");  // zero-terminated at exactly that length
  EXPECT_EQ(p.GetDeviceName(0, buffer.data(), length - 1, &read), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  std::string text;
  ASSERT_TRUE(battery::ReadBatteryText(p, battery::BatteryText::SerialNumber, 0, text));
  EXPECT_EQ(text, " 973");  // leading blanks kept
  // Longer than any real device's text: the scratch buffer keeps doubling.
  EXPECT_EQ(Name(1), std::string(200, 'N'));

  // An empty name: success and length 0 with no buffer to write to, and never "readable".
  length = 99;
  EXPECT_EQ(p.GetDeviceName(2, nullptr, 0, &length), 0u);
  EXPECT_EQ(length, 0u);
  EXPECT_FALSE(battery::ReadBatteryText(p, battery::BatteryText::DeviceName, 2, text));
}

TEST_F(BatteryDevices, InformationAndItsResultCodes) {
  SimBattery undated = Battery("Undated");
  undated.manufacture_date = BATTERY_MANUFACTURE_DATE{0, 0, 0};
  undated.info.Capabilities |= BATTERY_CAPACITY_RELATIVE;
  undated.unsupported = platform::sim::LevelBit(BatteryTemperature);
  SimBattery odd_date = Battery("Odd", 0, 0);
  odd_date.manufacture_date = BATTERY_MANUFACTURE_DATE{31, 13, 2003};
  Boot({Battery("Dated"), undated, odd_date});
  PowerPlatform& p = Platform();

  BATTERY_MANUFACTURE_DATE date{};
  EXPECT_EQ(p.GetManufactureDate(0, date), 0u);
  EXPECT_EQ(date.Day + 100 * date.Month + 10000 * date.Year, 20031105);
  EXPECT_EQ(p.GetManufactureDate(1, date), PowerPlatform::kInvalidDate);
  EXPECT_EQ(p.GetManufactureDate(2, date), PowerPlatform::kInvalidDate);
  EXPECT_EQ(date.Month, 13);  // stored all the same

  ULONG value = 0;
  EXPECT_EQ(p.GetDesignedCapacity(1, value), 0u);
  EXPECT_EQ(value, 0u);  // relative capacity
  EXPECT_EQ(p.GetFullChargedCapacity(1, value), 0u);
  EXPECT_EQ(value, 50000u);
  // Charge and wear from the device's figures, a full capacity of 0 included.
  EXPECT_EQ(p.GetChargePercent(0), 50u);
  EXPECT_EQ(p.GetWearPercent(0), 17u);
  EXPECT_EQ(p.GetChargePercent(2), 0u);
  EXPECT_EQ(p.GetWearPercent(2), 100u);
  EXPECT_EQ(battery::PowerStateText(p, 0), "OnLine");

  char chemistry[5] = {'x', 'x', 'x', 'x', 'x'};  // four bytes and a terminating zero
  EXPECT_EQ(p.GetChemistry(0, chemistry), 0u);
  EXPECT_STREQ(chemistry, "LiP");
  EXPECT_EQ(p.GetTemperature(1, value), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

TEST_F(BatteryDevices, UnknownFiguresHaveTheirOwnResultsAndKeepTheValue) {
  SimBattery unknown = Battery("Unknown", 50000, BATTERY_UNKNOWN_CAPACITY, static_cast<LONG>(BATTERY_UNKNOWN_RATE));
  unknown.voltage = BATTERY_UNKNOWN_VOLTAGE;
  // 3725 mWh at 3600 mW lasts 3725 s.
  Boot({unknown, Battery("Timed", 50000, 3725, -3600), Battery("Mains")});
  PowerPlatform& p = Platform();

  ULONG value = 0;
  EXPECT_EQ(p.GetCapacity(0, value), PowerPlatform::kUnknownFigure);
  EXPECT_EQ(value, BATTERY_UNKNOWN_CAPACITY);
  EXPECT_EQ(p.GetVoltage(0, value), PowerPlatform::kUnknownFigure);
  EXPECT_EQ(value, BATTERY_UNKNOWN_VOLTAGE);
  LONG rate = 0;
  EXPECT_EQ(p.GetRate(0, rate), PowerPlatform::kUnknownRate);
  EXPECT_EQ(static_cast<ULONG>(rate), BATTERY_UNKNOWN_RATE);
  EXPECT_EQ(p.GetEstimatedTime(0, 0, value), PowerPlatform::kUnknownFigure);
  EXPECT_EQ(value, BATTERY_UNKNOWN_TIME);
  // An unknown remaining capacity is no charge, not 0xFFFFFFFF × 100 / full.
  EXPECT_EQ(p.GetChargePercent(0), 0u);

  EXPECT_EQ(Time(1), 3725u);
  EXPECT_EQ(p.GetEstimatedTime(1, -7450, value), 0u);
  EXPECT_EQ(value, 1800u);
  value = 0;  // on mains the time is unknown
  EXPECT_EQ(p.GetEstimatedTime(2, 0, value), PowerPlatform::kUnknownFigure);
  EXPECT_EQ(value, BATTERY_UNKNOWN_TIME);
}

TEST_F(BatteryDevices, BatteryThatCouldNotBeOpenedKeepsItsPlace) {
  SimBattery locked = Battery("Locked");
  locked.open_fails = true;
  Boot({locked, Battery("Open")});
  PowerPlatform& p = Platform();
  ASSERT_EQ(p.GetBatteryCount(), 2u);
  EXPECT_EQ(p.batteries()[0].tag, 0u);
  DWORD length = 0;
  EXPECT_EQ(p.GetDeviceName(0, nullptr, 0, &length), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  BATTERY_INFORMATION info{};
  EXPECT_EQ(p.GetBatteryInfo(0, info), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(p.ForceCharge(0), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(p.IsCharging(0) || p.IsDischarging(0));
  EXPECT_EQ(p.RefreshTags(INFINITE), 0u);  // skipped
  EXPECT_EQ(p.FindBatteryByName("Open"), 1);
  EXPECT_EQ(p.GetChargePercent(1), 50u);
}

TEST_F(BatteryDevices, ExchangedBatteryIsRetaggedAndAskedAgain) {
  Boot({Battery("Old"), Battery("Other", 50000, 40000, -10000)});
  PowerPlatform& p = Platform();
  ULONG old_tag = p.batteries()[0].tag;

  // The slot now holds another battery: the old tag is stale.
  ASSERT_TRUE(machine().ExchangeBattery(0, Battery("New", 50000, 30000, -10000)));
  EXPECT_EQ(Name(0), "New");
  EXPECT_NE(p.batteries()[0].tag, old_tag);

  // Every kind of request recovers, not only the name.
  ASSERT_TRUE(machine().ExchangeBattery(0));
  BATTERY_INFORMATION info{};
  EXPECT_EQ(p.GetBatteryInfo(0, info), 0u);
  EXPECT_EQ(info.FullChargedCapacity, 50000u);  // real figures, not a zero-filled record
  ASSERT_TRUE(machine().ExchangeBattery(0));
  EXPECT_TRUE(p.IsDischarging(0));
  ASSERT_TRUE(machine().ExchangeBattery(0));
  EXPECT_EQ(p.GetChargePercent(0), 60u);
  ASSERT_TRUE(machine().ExchangeBattery(0));
  EXPECT_EQ(Time(0), 10800u);
  EXPECT_EQ(Name(1), "Other");  // the other slot was never disturbed
}

TEST_F(BatteryDevices, SlotThatNeverAnswersAndStatusWaitsEndWithinTheBound) {
  SimBattery silent = Battery("Silent");
  silent.answers = false;
  // Empty and neither charging nor discharging: a wait for "anything but this" never ends on
  // the device's side.
  SimBattery flat = Battery("Flat", 50000, 0);
  flat.power_state = 0;
  Boot({silent, flat});
  DWORD start = ::GetTickCount();
  PowerPlatform& p = Platform();
  EXPECT_LT(Since(start), 2000u);
  ASSERT_EQ(p.GetBatteryCount(), 2u);
  EXPECT_EQ(p.batteries()[0].tag, 0u);
  EXPECT_NE(p.batteries()[1].tag, 0u);  // the slot after it still has its tag and answers
  EXPECT_EQ(Name(1), "Flat");

  start = ::GetTickCount();
  DWORD length = 0;
  EXPECT_EQ(p.GetDeviceName(0, nullptr, 0, &length), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(p.GetChargePercent(0), 0u);
  EXPECT_FALSE(p.IsDischarging(0));
  ULONG capacity = 1;
  EXPECT_EQ(p.GetCapacity(1, capacity, INFINITE, 0, 0, 0), 0u);
  EXPECT_EQ(capacity, 0u);
  // Queries refresh the tag without waiting: the once-a-second refresh stays quick.
  EXPECT_LT(Since(start), 1000u);

  start = ::GetTickCount();
  EXPECT_EQ(p.RefreshTags(INFINITE), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_GE(Since(start) + 50, PowerPlatform::kMaxTagWaitMs);  // it did wait for the slot ...
  EXPECT_LT(Since(start), 2000u);                               // ... but not for ever
}

TEST_F(BatteryDevices, BatteriesDrainAndChargeOverSimulatedTimeAndOnCommand) {
  SimBattery charging = Battery("Charging", 50000, 45000, 10000);
  charging.power_state = BATTERY_POWER_ON_LINE | BATTERY_CHARGING;
  SimBattery able = Battery("Able", 50000, 20000, -10000);
  able.info.Capabilities |= BATTERY_SET_CHARGE_SUPPORTED | BATTERY_SET_DISCHARGE_SUPPORTED;
  Boot({Battery("Draining", 50000, 50000, -10000), charging, able});
  PowerPlatform& p = Platform();

  EXPECT_EQ(Time(0), 18000u);
  EXPECT_EQ(p.GetChargePercent(0), 100u);
  EXPECT_EQ(p.ForceCharge(2), 0u);
  EXPECT_EQ(battery::PowerStateText(p, 2), "Charging");
  EXPECT_TRUE(p.CanForceCharge(2) && p.CanForceDischarge(2) && !p.CanForceCharge(0) && !p.CanForceDischarge(0));
  EXPECT_EQ(p.ForceCharge(0), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_EQ(p.ForceDischarge(0), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  machine().Advance(1800);
  EXPECT_EQ(Capacity(2), 25000u);  // half an hour at 10 W
  EXPECT_EQ(p.ForceDischarge(2), 0u);
  EXPECT_EQ(battery::PowerStateText(p, 2), "Discharging");
  machine().Advance(1800);
  EXPECT_EQ(Time(0), 14400u);
  EXPECT_EQ(p.GetChargePercent(0), 80u);
  machine().Advance(5 * 3600);
  EXPECT_EQ(p.GetChargePercent(0), 0u);
  EXPECT_EQ(Time(0), 0u);
  // The charging battery reached full within the first hour and rests on mains since.
  EXPECT_EQ(Capacity(1), 50000u);
  EXPECT_FALSE(p.IsCharging(1));
  EXPECT_EQ(Time(1), 0xEEEE0000u + PowerPlatform::kUnknownFigure);
}

TEST_F(BatteryDevices, MeterFiguresAndTheBatteryOfInterest) {
  Boot(platform::sim::DefaultLaptop().batteries);
  app::AppSettings settings;
  // 81400 of 93550 is 87 %, 2420 of 25860 is 9 %; only the main battery drains, 81400 mWh at
  // 14500 mW (20209 s).
  battery::MeterFigures f = battery::ComputeMeterFigures(Platform(), settings);
  EXPECT_EQ(f.charge, 96u);
  EXPECT_EQ(f.time_text, "5:36:49");
  EXPECT_EQ(battery::FindBatteryOfInterest(Platform(), settings), 0);

  settings.DisplayOneBatteryStatus = 1;
  settings.BatteryName = "00HW022";
  f = battery::ComputeMeterFigures(Platform(), settings);
  EXPECT_EQ(f.charge, 9u);
  EXPECT_EQ(f.time_text, "UNKNOWN");
  EXPECT_EQ(battery::FindBatteryOfInterest(Platform(), settings), -1);  // resting

  // A battery whose name cannot be read is skipped.
  Boot({Battery("", 50000, 20000, -5000), Battery("Second", 50000, 20000, -5000)});
  EXPECT_EQ(battery::FindBatteryOfInterest(Platform(), app::AppSettings{}), 1);
}

}  // namespace
}  // namespace vantrel
