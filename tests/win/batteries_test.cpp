// The battery half of PowerPlatform, the battery figures, the Batteries page and the battery
// history against the simulated battery class driver: figures known, unknown and failing, the
// page's button, languages and refresh, months of ageing recorded and shown, damaged files, and
// what each leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "batteries_ids.h"
#include "battery/batteries_page.h"
#include "battery/battery_status.h"
#include "battery/history_page.h"
#include "battery/history_recorder.h"
#include "display/meter_window.h"
#include "framework/handles.h"
#include "history_ids.h"
#include "i18n/core/language_table.h"
#include "platform/system_api.h"
#include "power/power_actions.h"
#include "power/power_platform.h"
#include "settings/core/app_settings.h"
#include "win/test_support.h"

namespace vantrel {
namespace {

using battery::CBatteriesPage;
using platform::sim::SimBattery;
using power::PowerPlatform;
namespace h = battery::history;

SimBattery Battery(const std::string& name, ULONG full = 50000, ULONG capacity = 25000, LONG rate = 0,
                   ULONG capabilities = 0) {
  SimBattery b = testing::SimLaptopBattery(name, 160000, full, capacity, rate);
  b.info.Capabilities |= capabilities;
  return b;
}

class BatteriesTest : public ::testing::Test, protected testing::PageControls {
 protected:
  void SetUp() override { ASSERT_TRUE(host_.Create(600, 420)); }
  void TearDown() override {
    page_.reset();
    platform_.reset();
    EXPECT_EQ(pc_.machine().OpenHandleCount(), 0u) << "a battery handle outlived its page or PowerPlatform";
  }
  void Boot(std::vector<SimBattery> batteries) {
    page_.reset();
    platform_.reset();
    platform::sim::SimState state;
    state.time_scale = 0;  // simulated time moves only by Advance()
    state.batteries = std::move(batteries);
    pc_.Boot(std::move(state));
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
  CBatteriesPage& Open() {
    page_ = std::make_unique<CBatteriesPage>(host_.hwnd());
    EXPECT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOWNORMAL);
    return *page_;
  }
  HWND page() const override { return page_->hwnd(); }
  // Each field shows its text.
  void ExpectTexts(std::initializer_list<std::pair<int, const char*>> shown) const {
    for (const auto& [id, text] : shown) EXPECT_EQ(Text(id), text) << id;
  }
  void Select(int entry) { Choose(IDC_BATTERY_LIST, entry); }
  void Tick() { ::SendMessageA(page_->hwnd(), WM_TIMER, battery::kBatteriesPageTimer, 0); }
  RECT Rect(int id) const {
    RECT r{};
    ::GetWindowRect(Item(id), &r);
    return r;
  }
  // A label that needs two lines takes them, centred on its value and clear of its neighbours.
  void ExpectLabelFits(int label_id, int value_id, int above_id, int below_id, int lines) const {
    const RECT label = Rect(label_id), value = Rect(value_id), above = Rect(above_id), below = Rect(below_id);
    const LONG line = above.bottom - above.top;
    EXPECT_NEAR(label.bottom - label.top, lines * line, 2) << label_id;
    EXPECT_NEAR(label.top + label.bottom, value.top + value.bottom, 1) << label_id;
    EXPECT_LE(above.bottom, label.top) << label_id;
    EXPECT_LE(label.bottom, below.top) << label_id;
  }

  testing::PowerTestMachine pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<CBatteriesPage> page_;
  std::unique_ptr<PowerPlatform> platform_;
};

DWORD Since(DWORD start) { return ::GetTickCount() - start; }

// Texts come in two calls: their length, then the text.
TEST_F(BatteriesTest, BatteriesFollowInterfaceOrderTextsComeInTwoCallsAndEveryHandleIsClosed) {
  std::vector<SimBattery> batteries = {Battery("42T4977"), Battery("Second"), Battery("Second"),
                                       Battery(std::string(200, 'N')), Battery("")};
  batteries[1].tag = 3;
  Boot(batteries);
  PowerPlatform& p = Platform();
  ASSERT_EQ(p.GetBatteryCount(), 5u);
  EXPECT_EQ(Name(0) + "|" + Name(1), "42T4977|Second");
  EXPECT_EQ(p.batteries()[1].tag, 3u);
  EXPECT_EQ(pc_.machine().OpenHandleCount(), 6u);  // five batteries and the display; the device list is gone
  EXPECT_EQ(p.FindBatteryByName("Second"), 1);
  for (const char* absent : {"second", "", "Third"}) EXPECT_EQ(p.FindBatteryByName(absent), -1) << absent;
  BATTERY_INFORMATION info{};
  EXPECT_EQ(p.GetBatteryInfo(5, info), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // Enumerating again reopens them; TearDown sees every handle closed.
  EXPECT_EQ(p.EnumBatteries(), 0u);
  EXPECT_EQ(pc_.machine().OpenHandleCount(), 6u);

  DWORD length = 0;
  EXPECT_EQ(p.GetDeviceName(0, nullptr, 0, &length), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(length, 7u);
  std::vector<char> buffer(length + 1, 'x');
  DWORD read = 0;
  EXPECT_EQ(p.GetDeviceName(0, buffer.data(), length - 1, &read), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(p.GetDeviceName(0, buffer.data(), length, &read), 0u);
  EXPECT_STREQ(buffer.data(), "42T4977");  // zero-terminated at exactly that length
  EXPECT_EQ(Name(3), std::string(200, 'N'));  // the scratch buffer keeps doubling
  // An empty name: success and length 0 with no buffer to write to, and never "readable".
  length = 99;
  EXPECT_EQ(p.GetDeviceName(4, nullptr, 0, &length), 0u);
  EXPECT_EQ(length, 0u);
  std::string text;
  EXPECT_FALSE(battery::ReadBatteryText(p, battery::BatteryText::DeviceName, 4, text));
}

TEST_F(BatteriesTest, SlotsThatCannotBeOpenedOrNeverAnswerKeepTheirPlaceAndWaitsAreBounded) {
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

TEST_F(BatteriesTest, OverTimeADischargingBatteryDrainsAndAChargingOneStopsAtFull) {
  SimBattery charging = Battery("Charging", 50000, 45000, 10000);
  charging.power_state = BATTERY_POWER_ON_LINE | BATTERY_CHARGING;
  Boot({Battery("Draining", 50000, 36000, -7200), charging});
  PowerPlatform& p = Platform();
  ULONG capacity = 0, seconds = 0;
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
    EXPECT_EQ(p.GetEstimatedTime(0, 0, seconds), 0u);
    EXPECT_EQ(seconds, step.time);
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
    EXPECT_EQ(p.GetEstimatedTime(1, 0, seconds), PowerPlatform::kUnknownFigure);
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
TEST_F(BatteriesTest, TheKeptLookupByNameFollowsEveryExchangeAndMeterFiguresCombine) {
  Boot({Battery("Main", 50000, 40000), Battery("Bay", 50000, 10000)});
  settings::AppSettings one;
  one.DisplayOneBatteryStatus = 1;
  one.BatteryName = "Bay";
  battery::NamedBatteryCache named;
  // The slot exchanged first (-1 none) and the battery put in; the charge known and shown; the names read again.
  struct Step { int slot; const char* name; ULONG capacity; bool known; unsigned charge; bool looked_up; } steps[] = {
      {-1, "", 0, true, 20, true},  {-1, "", 0, true, 20, false},      {1, "Bay", 30000, true, 60, true},
      {-1, "", 0, true, 60, false}, {1, "Spare", 45000, false, 0, true}, {-1, "", 0, false, 0, true},
      {0, "Bay", 5000, true, 10, true},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << "slot " << step.slot << " " << step.name);
    ASSERT_TRUE(step.slot < 0 || pc_.machine().ExchangeBattery(step.slot, Battery(step.name, 50000, step.capacity)));
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

  // The meter's figures of all batteries, and the battery of interest.
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

// No objects leak over many refreshes and page switches.
TEST_F(BatteriesTest, ListsBatteriesInOrderAndShowsEveryFigureInItsFormatAndLeaksNothing) {
  SimBattery unnamed = Battery("", 50000, 3725, -3600);  // 3725 s left
  Boot({Battery("42T4969", 150000, 125000, -12500), Battery("00HW022", 25860, 2420, 0), unnamed});
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  Open();
  ASSERT_EQ(ListCount(IDC_BATTERY_LIST), 3);
  EXPECT_EQ(ListText(IDC_BATTERY_LIST, 0) + "|" + ListText(IDC_BATTERY_LIST, 1) + "|" + ListText(IDC_BATTERY_LIST, 2),
            "42T4969|00HW022|");  // an unreadable name stays listed
  EXPECT_EQ(page_->Selected(), 0);

  // The design and full capacities, chemistry, date, cycle count and state are seen end to end,
  // and so is the second battery on mains. The temperature is raw, without a unit.
  ExpectTexts({{IDC_BATTERY_TECHNOLOGY, "Rechargable"}, {IDC_BATTERY_ALERT1, "9360 (mWh)"},
               {IDC_BATTERY_ALERT2, "2836 (mWh)"}, {IDC_BATTERY_MAKER, "LGC"}, {IDC_BATTERY_SERIAL, " 7392"},
               {IDC_BATTERY_UNIQUE_ID, "42T4969 7392LGC"}, {IDC_BATTERY_CRITICAL_BIAS, "0"},
               {IDC_BATTERY_TEMPERATURE, "2982"}, {IDC_BATTERY_CAPACITY, "125000 (mWh)"},
               {IDC_BATTERY_VOLTAGE, "12868 (mv)"}, {IDC_BATTERY_RATE, "-12500"}, {IDC_BATTERY_TIME, "10:00:00"}});
  // Wear 100 - 150000 * 100 / 160000 = 7 shows its own percentage; the charge bar its text.
  auto* wear = dynamic_cast<controls::TextProgressBar*>(fw::Window::FromHandle(Item(IDC_BATTERY_WEAR_BAR)));
  ASSERT_NE(wear, nullptr);
  EXPECT_EQ(wear->position(), 7);
  EXPECT_EQ(Text(IDC_BATTERY_WEAR_BAR), "");
  EXPECT_EQ(Text(IDC_BATTERY_CHARGE_BAR), "83%");

  Select(2);
  ExpectTexts({{IDC_BATTERY_TIME, "1:02:05"}, {IDC_BATTERY_CAPACITY, "3725 (mWh)"}});
  Select(1);
  EXPECT_EQ(Text(IDC_BATTERY_CHARGE_BAR), "9%");

  for (int i = 0; i < 1000; ++i) {
    pc_.machine().Advance(30);  // the bars move now and then, and repaint
    if (i % 250 == 0) Select(i % 500 == 0 ? 1 : 0);
    Tick();
    if (i % 100 == 0) ::UpdateWindow(page_->hwnd());
  }
  for (int i = 0; i < 100; ++i) {
    Open();
    ::UpdateWindow(page_->hwnd());
    page_.reset();
  }
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(::GetWindow(host_.hwnd(), GW_CHILD), nullptr) << "a page window outlived its page";
}

// Failed and unknown figures: the platform's own results, "Unknown" on the page.
TEST_F(BatteriesTest, FailedAndUnknownFiguresReadUnknown) {
  SimBattery odd = Battery("Odd", 50000, BATTERY_UNKNOWN_CAPACITY, static_cast<LONG>(BATTERY_UNKNOWN_RATE));
  odd.power_state = BATTERY_POWER_ON_LINE;
  odd.voltage = BATTERY_UNKNOWN_VOLTAGE;
  odd.info.Technology = 0;
  odd.info.Capabilities |= BATTERY_CAPACITY_RELATIVE;
  odd.info.CycleCount = 5;
  odd.manufacture_date = BATTERY_MANUFACTURE_DATE{0, 0, 0};
  odd.manufacture_name.clear();
  odd.unsupported = platform::sim::LevelBit(BatteryTemperature) | platform::sim::LevelBit(BatterySerialNumber);
  SimBattery vague = Battery("Vague", BATTERY_UNKNOWN_CAPACITY, 1000, -100);  // the driver's unknown marker
  vague.info.DefaultAlert1 = vague.info.DefaultAlert2 = vague.info.CriticalBias = BATTERY_UNKNOWN_CAPACITY;
  SimBattery undated = Battery("Undated", 0, 0);  // on mains, with a full capacity of 0
  undated.manufacture_date = BATTERY_MANUFACTURE_DATE{31, 13, 2003};
  Boot({odd, vague, Battery("Dated", 50000, 3725, -3600), undated});
  PowerPlatform& p = Platform();
  BATTERY_MANUFACTURE_DATE date{};
  EXPECT_EQ(p.GetManufactureDate(2, date), 0u);
  EXPECT_EQ(date.Day + 100 * date.Month + 10000 * date.Year, 20031105);
  EXPECT_EQ(p.GetManufactureDate(3, date), PowerPlatform::kInvalidDate);
  EXPECT_EQ(date.Month, 13);  // stored all the same
  char chemistry[5] = {'x', 'x', 'x', 'x', 'x'};  // four bytes and a terminating zero
  EXPECT_EQ(p.GetChemistry(2, chemistry), 0u);
  EXPECT_STREQ(chemistry, "LION");
  ULONG value = 0;
  EXPECT_EQ(p.GetDesignedCapacity(0, value), 0u);
  EXPECT_EQ(value, 0u);  // relative capacity
  EXPECT_EQ(p.GetWearPercent(2), 69u);  // 50000 of 160000 mWh
  EXPECT_EQ(p.GetWearPercent(3) + p.GetChargePercent(3), 100u);

  // Unknown figures: their own results, the value kept, no charge (not 0xFFFFFFFF × 100 / full).
  EXPECT_EQ(p.GetCapacity(0, value), PowerPlatform::kUnknownFigure);
  EXPECT_EQ(value, BATTERY_UNKNOWN_CAPACITY);
  EXPECT_EQ(p.GetVoltage(0, value), PowerPlatform::kUnknownFigure);
  LONG rate = 0;
  EXPECT_EQ(p.GetRate(0, rate), PowerPlatform::kUnknownRate);
  EXPECT_EQ(p.GetChargePercent(0), 0u);
  EXPECT_EQ(p.GetEstimatedTime(2, -7450, value), 0u);  // 3725 mWh at 7450 mW
  EXPECT_EQ(value, 1800u);
  EXPECT_EQ(p.GetEstimatedTime(3, 0, value), PowerPlatform::kUnknownFigure);  // on mains
  EXPECT_EQ(value, BATTERY_UNKNOWN_TIME);
  // A battery that cannot be made to charge or discharge is not asked to (the page's button
  // drives one that can).
  EXPECT_FALSE(p.CanForceCharge(2) || p.CanForceDischarge(2));
  EXPECT_EQ(p.ForceCharge(2), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
  EXPECT_EQ(p.ForceDischarge(2), static_cast<DWORD>(ERROR_INVALID_FUNCTION));

  Open();
  Select(1);
  for (int id : {IDC_BATTERY_FULL_CAPACITY, IDC_BATTERY_ALERT1, IDC_BATTERY_ALERT2, IDC_BATTERY_CRITICAL_BIAS,
                 IDC_BATTERY_WEAR_BAR})
    EXPECT_EQ(Text(id), "Unknown") << id;
  Select(0);
  for (int id : {IDC_BATTERY_DATE, IDC_BATTERY_MAKER, IDC_BATTERY_SERIAL, IDC_BATTERY_TEMPERATURE, IDC_BATTERY_CAPACITY,
                 IDC_BATTERY_VOLTAGE, IDC_BATTERY_RATE, IDC_BATTERY_TIME})
    EXPECT_EQ(Text(id), "Unknown") << id;
  // A relative capacity designs 0 mWh; an unknown one charges 0 %, not 0xFFFFFFFF * 100 / full.
  ExpectTexts({{IDC_BATTERY_TECHNOLOGY, "NoRechargeble"}, {IDC_BATTERY_DESIGN_CAPACITY, "0 (mWh)"},
               {IDC_BATTERY_CYCLE_COUNT, "5"}, {IDC_BATTERY_CHARGE_BAR, "0%"}});

  // A battery that is gone: every query fails, the technology reads as not rechargeable.
  ASSERT_TRUE(pc_.machine().ExchangeBattery(0));
  pc_.state().batteries[0].answers = false;
  Select(0);
  EXPECT_EQ(Text(IDC_BATTERY_TECHNOLOGY), "NoRechargeble");
  for (int id : {IDC_BATTERY_CHEMISTRY, IDC_BATTERY_ALERT1, IDC_BATTERY_UNIQUE_ID, IDC_BATTERY_FULL_CAPACITY,
                 IDC_BATTERY_CYCLE_COUNT, IDC_BATTERY_CRITICAL_BIAS})
    EXPECT_EQ(Text(id), "Unknown") << id;
  EXPECT_EQ(Text(IDC_BATTERY_STATE), "OnLine");
  EXPECT_EQ(Text(IDC_BATTERY_WEAR_BAR), "Unknown") << "not a worn battery";
  EXPECT_FALSE(Enabled(IDC_BATTERY_CHARGE_BUTTON));  // its capabilities cannot be read
}

// An exchanged battery shows its own figures and a silent slot keeps refreshes short.
TEST_F(BatteriesTest, TheButtonOffersWhatTheBatteryIsNotDoingAndIsUsableExactlyWhenItCanAndSlotsChange) {
  SimBattery silent = Battery("Silent", 50000, 40000, -10000);
  silent.answers = false;
  Boot({Battery("Able", 50000, 40000, -10000, BATTERY_SET_CHARGE_SUPPORTED | BATTERY_SET_DISCHARGE_SUPPORTED),
        Battery("ChargeOnly", 50000, 40000, 0, BATTERY_SET_CHARGE_SUPPORTED), silent});
  DWORD start = ::GetTickCount();
  Open();
  EXPECT_LT(::GetTickCount() - start, 2000u);  // the silent slot's tag wait is bounded
  EXPECT_EQ(Text(IDC_BATTERY_CHARGE_BUTTON), "Charge");  // while discharging
  EXPECT_TRUE(Enabled(IDC_BATTERY_CHARGE_BUTTON));
  Press(IDC_BATTERY_CHARGE_BUTTON);
  EXPECT_EQ(pc_.machine().BatteryStatusNow(0).PowerState & BATTERY_CHARGING, static_cast<ULONG>(BATTERY_CHARGING));
  Tick();
  EXPECT_EQ(Text(IDC_BATTERY_STATE), "Charging");
  EXPECT_EQ(Text(IDC_BATTERY_CHARGE_BUTTON), "Discharge");
  EXPECT_TRUE(Enabled(IDC_BATTERY_CHARGE_BUTTON));
  Press(IDC_BATTERY_CHARGE_BUTTON);
  Tick();
  EXPECT_EQ(Text(IDC_BATTERY_STATE), "Discharging");

  // On mains a battery that cannot be made to discharge offers it greyed (seen end to end); once
  // it discharges (here: exchanged for a discharging one) the charge it can do is offered again.
  Select(1);
  ASSERT_TRUE(pc_.machine().ExchangeBattery(1, Battery("ChargeOnly", 50000, 30000, -9000, BATTERY_SET_CHARGE_SUPPORTED)));
  Tick();
  EXPECT_EQ(Text(IDC_BATTERY_CHARGE_BUTTON), "Charge");
  EXPECT_TRUE(Enabled(IDC_BATTERY_CHARGE_BUTTON));
  Press(IDC_BATTERY_CHARGE_BUTTON);
  Tick();
  EXPECT_EQ(Text(IDC_BATTERY_CHARGE_BUTTON), "Discharge");
  EXPECT_FALSE(Enabled(IDC_BATTERY_CHARGE_BUTTON));

  // A button that goes grey while it has the keyboard hands it to the device list.
  Select(0);
  ASSERT_TRUE(Enabled(IDC_BATTERY_CHARGE_BUTTON));
  ::SetFocus(Item(IDC_BATTERY_CHARGE_BUTTON));
  ASSERT_TRUE(pc_.machine().ExchangeBattery(0, Battery("Unable", 50000, 40000, -10000)));
  Tick();
  EXPECT_FALSE(Enabled(IDC_BATTERY_CHARGE_BUTTON));
  EXPECT_EQ(::GetFocus(), Item(IDC_BATTERY_LIST));

  ASSERT_TRUE(pc_.machine().ExchangeBattery(0, Battery("New", 90000, 45000, -15000)));
  Tick();
  ExpectTexts({{IDC_BATTERY_FULL_CAPACITY, "90000 (mWh)"}, {IDC_BATTERY_CAPACITY, "45000 (mWh)"},
               {IDC_BATTERY_TIME, "3:00:00"}, {IDC_BATTERY_CHARGE_BAR, "50%"}});
  Select(0);  // the information group follows on the next selection
  EXPECT_EQ(Text(IDC_BATTERY_UNIQUE_ID), "New 7392LGC");

  Select(2);
  EXPECT_EQ(Text(IDC_BATTERY_FULL_CAPACITY), "Unknown");
  start = ::GetTickCount();
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_LT(::GetTickCount() - start, 500u) << "ten refreshes of a silent slot";
  EXPECT_EQ(Text(IDC_BATTERY_CAPACITY), "Unknown");
}

// The refresh runs only while the page can be seen: hiding the main window (which tells its
// child nothing) stops it at the next tick, closing from the page at once, and showing the
// window again refreshes at once and starts it again. The hand shows over the device list
// only; German and back change groups, buttons and the layout (labels, units and states in
// German and back are seen end to end).
TEST_F(BatteriesTest, TheRefreshRunsOnlyWhileThePageIsOnScreenAndTheLanguageChangesTheLayout) {
  Boot({Battery("42T4969", 150000, 125000, -12500, BATTERY_SET_CHARGE_SUPPORTED)});
  Open();
  i18n::LanguageTable german(VANTREL_LANGUAGE_SOURCE_DIR);
  ASSERT_TRUE(german.Load("Deutsch"));
  struct Restore { ~Restore() { i18n::InstallTexts(nullptr); } } restore;
  i18n::InstallTexts(&german);
  page_->ApplyLanguage();
  ExpectTexts({{IDC_BATTERY_INFO_GROUP, "Informationen"}, {IDC_BATTERY_TECHNOLOGY, "Wiederaufladbar"},
               {IDC_BATTERY_CHARGE_BUTTON, "Laden"}, {IDC_BATTERY_CYCLE_COUNT, "Unbekannt"}});
  ExpectLabelFits(IDC_LABEL_ALERT1, IDC_BATTERY_ALERT1, IDC_LABEL_DESIGN_CAPACITY, IDC_LABEL_CHEMISTRY, 2);

  i18n::InstallTexts(nullptr);
  page_->ApplyLanguage();
  ExpectTexts({{IDC_BATTERY_INFO_GROUP, "Information"}, {IDC_BATTERY_CHARGE_BUTTON, "Charge"}});
  ExpectLabelFits(IDC_LABEL_ALERT1, IDC_BATTERY_ALERT1, IDC_LABEL_DESIGN_CAPACITY, IDC_LABEL_CHEMISTRY, 1);
  for (int id : {IDC_BATTERY_LIST, IDC_BATTERY_RATE}) {
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    ::SendMessageA(page_->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor() == ::LoadCursor(nullptr, IDC_HAND), id == IDC_BATTERY_LIST) << id;
  }
  EXPECT_TRUE(page_->refreshing());
  EXPECT_TRUE(testing::TimerRuns(page_->hwnd(), battery::kBatteriesPageTimer, battery::kBatteriesPageRefreshMs));

  ::ShowWindow(host_.hwnd(), SW_HIDE);
  EXPECT_TRUE(testing::PumpUntil([&] { return !page_->refreshing(); }, 1500)) << "the timer went on while hidden";
  EXPECT_FALSE(testing::TimerRuns(page_->hwnd(), battery::kBatteriesPageTimer, battery::kBatteriesPageRefreshMs));
  pc_.machine().Advance(3600);  // 12500 mWh drained
  testing::Pump(700);
  EXPECT_EQ(Text(IDC_BATTERY_CAPACITY), "125000 (mWh)") << "refreshed while hidden";

  ::ShowWindow(host_.hwnd(), SW_SHOW);
  EXPECT_TRUE(testing::PumpUntil([&] { return Text(IDC_BATTERY_CAPACITY) == "112500 (mWh)"; }, 300));
  EXPECT_TRUE(page_->refreshing());
  EXPECT_TRUE(testing::TimerRuns(page_->hwnd(), battery::kBatteriesPageTimer, battery::kBatteriesPageRefreshMs));

  // The page itself hidden and shown, as a page switch does.
  ::ShowWindow(page_->hwnd(), SW_HIDE);
  EXPECT_FALSE(page_->refreshing());
  pc_.machine().Advance(3600);
  ::ShowWindow(page_->hwnd(), SW_SHOW);
  EXPECT_TRUE(testing::PumpUntil([&] { return Text(IDC_BATTERY_CAPACITY) == "100000 (mWh)"; }, 300));

  // Escape closes (here: hides) the main window and the refresh stops with it.
  ::SendMessageA(page_->hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_FALSE(::IsWindowVisible(host_.hwnd()));
  EXPECT_FALSE(page_->refreshing());
}

constexpr long long kNewYear = 1767225600;  // 2026-01-01 00:00 UTC
constexpr double kHour = 3600;

// The laptop's battery, ageing.
SimBattery Ageing(const char* serial) {
  SimBattery b = testing::SimLaptopBattery("42T4969", 93600, 93600, 80000, 0);
  b.serial_number = serial;
  b.unique_id = std::string("42T4969") + serial;
  b.fade_per_cycle = 0.0004;
  b.fade_per_year = 0.03;
  return b;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class BatteryHistoryTest : public BatteriesTest {
 protected:
  void SetUp() override {
    BatteriesTest::SetUp();
    platform::sim::SimState state;
    state.time_scale = 0;  // time moves by Advance() only
    state.clock = kNewYear;
    state.routine_from = 9;  // on battery 9:00 to 13:00, on mains the rest of the day
    state.routine_to = 13;
    state.batteries = {Ageing(" 7392")};
    pc_.Boot(std::move(state));
    path_ = dir_.File("battery-history.txt");
  }
  void TearDown() override {
    history_page_.reset();
    recorder_.reset();
    BatteriesTest::TearDown();
  }
  void Start() { recorder_ = std::make_unique<battery::HistoryRecorder>(path_); }
  battery::CHistoryPage& OpenPage() {
    history_page_ = std::make_unique<battery::CHistoryPage>(host_.hwnd());
    EXPECT_TRUE(history_page_->Create());
    ::ShowWindow(history_page_->hwnd(), SW_SHOWNORMAL);
    return *history_page_;
  }
  // The meter's ticks, `step` simulated seconds apart, for `hours`.
  void Run(double hours, double step) {
    power::PowerPlatform platform;
    for (double t = 0; t < hours * kHour; t += step) {
      pc_.machine().Advance(step);
      const battery::MeterFigures figures = battery::ComputeMeterFigures(platform, settings::AppSettings{});
      recorder_->OnTick(&figures, false, platform);
    }
  }
  const h::History& history() const { return recorder_->history(); }

  testing::TempDir dir_;
  std::string path_;
  std::unique_ptr<battery::HistoryRecorder> recorder_;
  std::unique_ptr<battery::CHistoryPage> history_page_;
};

// The wear, the cycles and the daily summaries half a year brings are shown end to end.
TEST_F(BatteryHistoryTest, SixMonthsOfAgeingAreKeptWholeAndDrawn) {
  Start();
  Run(181 * 24, 2 * kHour);
  Run(48, 300);  // the last days sampled as the meter does: every 5 minutes on battery
  recorder_->Close();
  // The file holds exactly what the recorder holds.
  h::History read;
  const std::string bytes = FileBytes(path_);
  EXPECT_EQ(h::Read(bytes, read).damaged, 0u);
  EXPECT_EQ(h::Encode(read), h::Encode(history()));
  EXPECT_LT(bytes.size(), 200000u);

  // The fading line: higher at the left than at the right.
  HWND page = OpenPage().hwnd(), chart = ::GetDlgItem(page, IDC_HISTORY_CAPACITY_CHART);
  ::UpdateWindow(page);
  RECT r{};
  ::GetClientRect(chart, &r);
  auto line_top = [&](int x) {
    for (int y = 0; y < r.bottom; ++y)
      if (testing::WindowPixel(chart, x, y) == RGB(0x31, 0x8C, 0x26)) return y;
    return -1;
  };
  const int left = line_top(r.right * 2 / 5), right = line_top(r.right - 12);
  ASSERT_GE(left, 0);
  EXPECT_GT(right, left + 3) << "the full-charged capacity does not fall in the chart";
}

// The file is written before the machine sleeps; the gap a sleep leaves is followed the whole
// way in the next test.
TEST_F(BatteryHistoryTest, AnExchangedBatteryStartsItsOwnSeriesAndTheReportIsWrittenAndOpened) {
  Start();
  Run(48, 600);
  pc_.machine().ExchangeBattery(0, Ageing(" 9001"));
  Run(24, 600);
  ASSERT_EQ(history().batteries.size(), 2u);
  EXPECT_EQ(history().batteries[1].identity.serial, " 9001");
  const auto runs_old = h::Runs(history(), 0, 0, INT64_MAX), runs_new = h::Runs(history(), 1, 0, INT64_MAX);
  ASSERT_FALSE(runs_old.empty());
  ASSERT_FALSE(runs_new.empty());
  EXPECT_LT(runs_old.back().back().time, runs_new.front().front().time);

  // The same battery put back continues its own series.
  pc_.machine().ExchangeBattery(0, Ageing(" 7392"));
  Run(1, 600);
  EXPECT_EQ(history().batteries.size(), 2u);
  EXPECT_EQ(history().samples.back().battery, 0);
  const unsigned writes = recorder_->writes();
  recorder_->OnSuspend();
  EXPECT_EQ(recorder_->writes(), writes + 1);

  battery::CHistoryPage& page = OpenPage();
  EXPECT_EQ(page.series().size(), 2u);
  EXPECT_EQ(page.series()[static_cast<size_t>(page.Selected())], 0);  // the battery sampled last

  // The report is written and opened.
  page.report_folder = dir_.path();
  std::string opened;
  page.open_report = [&](HWND, const std::string& file) { opened = file; };
  ASSERT_TRUE(page.SaveReport());
  EXPECT_EQ(opened, dir_.File("Vantrel battery report 2026-01-04.html"));
  EXPECT_NE(FileBytes(opened).find("42T4969"), std::string::npos);
  EXPECT_EQ(testing::WindowText(::GetDlgItem(page.hwnd(), IDC_HISTORY_NOTICE)), "Report saved as " + opened);

  // A folder that does not exist: said so, nothing opened.
  opened.clear();
  page.report_folder = dir_.File("missing");
  EXPECT_FALSE(page.SaveReport());
  EXPECT_TRUE(opened.empty());
  EXPECT_EQ(
      testing::WindowText(::GetDlgItem(page.hwnd(), IDC_HISTORY_NOTICE)).rfind("The report could not be saved", 0), 0u);
}

// The whole way: the machine tells its windows of the sleep, the meter tells its recorder.
TEST_F(BatteryHistoryTest, TheMeterRecordsTheMachinesSleep) {
  testing::DisplayTestScope scope(false);
  pc_.state().suspend_seconds = 3 * 3600;
  pc_.state().capabilities.SystemS3 = TRUE;
  display::MeterWindow meter(scope.settings());
  ASSERT_TRUE(meter.Create());
  ASSERT_NE(meter.history(), nullptr);
  testing::Pump(1500);  // a tick or so: the batteries seen
  ASSERT_EQ(power::SleepSystem(false, false), 0);
  testing::Pump(1500);
  std::string events;
  for (const h::Mark& m : meter.history()->history().marks) events += static_cast<char>(m.event);
  EXPECT_NE(events.find("ZR"), std::string::npos) << events;
  const auto runs =
      h::Runs(meter.history()->history(), meter.history()->history().samples.back().battery, 0, INT64_MAX);
  ASSERT_GE(runs.size(), 2u);
  EXPECT_GE(runs.back().front().time - runs[runs.size() - 2].back().time, 3 * 3600);
}

// What was in the file before the program starts, and what it says about it.
TEST_F(BatteryHistoryTest, DamagedForeignAndUnwritableFilesLoseNothingWhole) {
  h::History before;
  before.Series({"old", " 1", "old battery", "LGC", "LION", 50000}, kNewYear - 86400);
  before.capacities.push_back({0, kNewYear - 86400, 48000, 50000, 3});
  before.samples.push_back({0, kNewYear - 3600, 50, 24000, h::Flow::kMains});
  const std::string whole = h::Encode(before);
  const std::string foreign = "PK\x03\x04 not a history at all\n";
  // The file's bytes (empty: no file), the series read from them, the start of what the page is told ("" nothing).
  struct Case { const char* what; std::string path, bytes; size_t old_series; const char* notice; bool written; };
  const std::string blocked = "Z:\\proc\\vantrel-history\\battery-history.txt";  // read-only even to root
  const Case cases[] = {
      {"cut mid-record", path_, whole + "S 0 1767225600 5", 1, "", true},
      {"another format", path_, foreign, 0,
       "The history file could not be read; it was kept as battery-history.txt.bad.", true},
      {"a folder that cannot be written", blocked, "", 0, "The history cannot be written to ", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::DeleteFileA(path_.c_str());
    ::DeleteFileA((path_ + ".bad").c_str());
    if (!c.bytes.empty()) { ASSERT_TRUE(dir_.Write("battery-history.txt", c.bytes)); }
    recorder_ = std::make_unique<battery::HistoryRecorder>(c.path);
    EXPECT_EQ(history().batteries.size(), c.old_series);
    Run(1, 300);  // recording goes on
    EXPECT_EQ(history().batteries.size(), c.old_series + 1);
    recorder_->Close();
    EXPECT_EQ(recorder_->notice().Text().rfind(c.notice, 0), 0u) << recorder_->notice().Text();
    if (std::strcmp(c.what, "another format") == 0) { EXPECT_EQ(FileBytes(path_ + ".bad"), foreign); }
    h::History after;
    const bool readable = battery::ReadHistoryFile(c.path, after);
    EXPECT_EQ(readable, c.written);
    if (!readable) continue;
    h::History check;
    const h::ReadResult clean = h::Read(FileBytes(c.path), check);
    EXPECT_TRUE(clean.damaged == 0 && !clean.cut_tail) << clean.damaged;
    EXPECT_EQ(after.batteries.size(), c.old_series + 1);
    EXPECT_EQ(after.samples.size(), history().samples.size());
  }
}

TEST_F(BatteryHistoryTest, RepaintsAtAnySizeAndInEveryLanguageLeakNothing) {
  Start();
  Run(96, 900);
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  const int objects = testing::GdiObjectsInUse();
  i18n::LanguageTable languages(VANTREL_LANGUAGE_SOURCE_DIR);
  struct Restore { ~Restore() { i18n::InstallTexts(nullptr); } } restore;
  i18n::InstallTexts(&languages);
  for (const char* language : {"", "Deutsch", "Francais", "Russkiy"}) {
    SCOPED_TRACE(language);
    ASSERT_TRUE(languages.Load(language));
    const HWND page = OpenPage().hwnd();
    const SIZE sizes[] = {{432, 380}, {200, 150}, {880, 680}, {30, 20}};
    for (int i = 0; i < 40; ++i) {
      const SIZE s = sizes[i % 4];
      ::MoveWindow(page, 0, 0, s.cx, s.cy, TRUE);
      ::UpdateWindow(page);
      // The charts stay inside the page and clear of each other.
      RECT a{}, b{}, client{};
      ::GetWindowRect(::GetDlgItem(page, IDC_HISTORY_CAPACITY_CHART), &a);
      ::GetWindowRect(::GetDlgItem(page, IDC_HISTORY_CHARGE_CHART), &b);
      EXPECT_LE(a.bottom, b.top);
      ::GetClientRect(page, &client);
      ::MapWindowPoints(page, nullptr, reinterpret_cast<POINT*>(&client), 2);
      if (s.cx >= 200) { EXPECT_LE(b.bottom, client.bottom); }
    }
    EXPECT_FALSE(testing::WindowText(::GetDlgItem(page, IDC_HISTORY_WEAR)).empty());
  }
  history_page_.reset();
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_LE(testing::GdiObjectsInUse(), objects + 2) << "GDI objects the process holds";
}

}  // namespace
}  // namespace vantrel
