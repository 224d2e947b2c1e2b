// The Batteries page against the simulated battery class driver: the figures and their
// formats, unknown and failing figures, the charge button, an exchanged battery and a silent
// slot, the language switch, when the page refreshes, and what it leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "batteries_ids.h"
#include "battery/batteries_page.h"
#include "framework/handles.h"
#include "i18n/core/language_table.h"
#include "win/test_support.h"

namespace vantrel {
namespace {

using battery::CBatteriesPage;
using platform::sim::SimBattery;

SimBattery Battery(const std::string& name, ULONG full, ULONG capacity, LONG rate, ULONG capabilities = 0) {
  SimBattery b = testing::SimLaptopBattery(name, 160000, full, capacity, rate);
  b.info.Capabilities |= capabilities;
  return b;
}

class BatteriesPageTest : public ::testing::Test, protected testing::PageControls {
 protected:
  void SetUp() override { ASSERT_TRUE(host_.Create(600, 420)); }
  void TearDown() override {
    page_.reset();
    EXPECT_EQ(pc_.machine().OpenHandleCount(), 0u) << "a battery handle outlived its page";
  }
  void Boot(std::vector<SimBattery> batteries) {
    page_.reset();
    platform::sim::SimState state;
    state.time_scale = 0;  // simulated time moves only by Advance()
    state.batteries = std::move(batteries);
    pc_.Boot(std::move(state));
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
};

TEST_F(BatteriesPageTest, ListsBatteriesInOrderAndShowsEveryFigureInItsFormat) {
  SimBattery unnamed = Battery("", 50000, 3725, -3600);  // 3725 s left
  Boot({Battery("42T4969", 150000, 125000, -12500), Battery("00HW022", 25860, 2420, 0), unnamed});
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
}

TEST_F(BatteriesPageTest, FailedAndUnknownFiguresReadUnknown) {
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
  Boot({odd, vague});
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

TEST_F(BatteriesPageTest, TheButtonOffersWhatTheBatteryIsNotDoingAndIsUsableExactlyWhenItCan) {
  Boot({Battery("Able", 50000, 40000, -10000, BATTERY_SET_CHARGE_SUPPORTED | BATTERY_SET_DISCHARGE_SUPPORTED),
        Battery("ChargeOnly", 50000, 40000, 0, BATTERY_SET_CHARGE_SUPPORTED)});
  Open();
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
}

TEST_F(BatteriesPageTest, AnExchangedBatteryShowsItsOwnFiguresAndASilentSlotKeepsRefreshesShort) {
  SimBattery silent = Battery("Silent", 50000, 40000, -10000);
  silent.answers = false;
  Boot({Battery("Old", 50000, 40000, -10000), silent});
  DWORD start = ::GetTickCount();
  Open();
  EXPECT_LT(::GetTickCount() - start, 2000u);  // the silent slot's tag wait is bounded

  ASSERT_TRUE(pc_.machine().ExchangeBattery(0, Battery("New", 90000, 45000, -15000)));
  Tick();
  ExpectTexts({{IDC_BATTERY_FULL_CAPACITY, "90000 (mWh)"}, {IDC_BATTERY_CAPACITY, "45000 (mWh)"},
               {IDC_BATTERY_TIME, "3:00:00"}, {IDC_BATTERY_CHARGE_BAR, "50%"}});
  Select(0);  // the information group follows on the next selection
  EXPECT_EQ(Text(IDC_BATTERY_UNIQUE_ID), "New 7392LGC");

  Select(1);
  EXPECT_EQ(Text(IDC_BATTERY_FULL_CAPACITY), "Unknown");
  start = ::GetTickCount();
  for (int i = 0; i < 10; ++i) Tick();
  EXPECT_LT(::GetTickCount() - start, 500u) << "ten refreshes of a silent slot";
  EXPECT_EQ(Text(IDC_BATTERY_CAPACITY), "Unknown");
}

// Labels, units and states in German and back are seen end to end.
TEST_F(BatteriesPageTest, GermanAndBackChangesGroupsButtonsAndTheLayout) {
  Boot({Battery("42T4969", 150000, 125000, -12500, BATTERY_SET_CHARGE_SUPPORTED)});
  Open();
  i18n::LanguageTable german(VANTREL_LANGUAGE_SOURCE_DIR);
  ASSERT_TRUE(german.Load("Deutsch"));
  struct Restore {
    ~Restore() { i18n::InstallTexts(nullptr); }
  } restore;
  i18n::InstallTexts(&german);
  page_->ApplyLanguage();
  ExpectTexts({{IDC_BATTERY_INFO_GROUP, "Informationen"}, {IDC_BATTERY_TECHNOLOGY, "Wiederaufladbar"},
               {IDC_BATTERY_CHARGE_BUTTON, "Laden"}, {IDC_BATTERY_CYCLE_COUNT, "Unbekannt"}});
  ExpectLabelFits(IDC_LABEL_ALERT1, IDC_BATTERY_ALERT1, IDC_LABEL_DESIGN_CAPACITY, IDC_LABEL_CHEMISTRY, 2);

  i18n::InstallTexts(nullptr);
  page_->ApplyLanguage();
  ExpectTexts({{IDC_BATTERY_INFO_GROUP, "Information"}, {IDC_BATTERY_CHARGE_BUTTON, "Charge"}});
  ExpectLabelFits(IDC_LABEL_ALERT1, IDC_BATTERY_ALERT1, IDC_LABEL_DESIGN_CAPACITY, IDC_LABEL_CHEMISTRY, 1);
}

// The refresh runs only while the page can be seen: hiding the main window (which tells its
// child nothing) stops it at the next tick, closing from the page at once, and showing the
// window again refreshes at once and starts it again.
TEST_F(BatteriesPageTest, TheRefreshRunsOnlyWhileThePageIsOnScreen) {
  Boot({Battery("42T4969", 150000, 125000, -12500)});
  Open();
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

TEST_F(BatteriesPageTest, TheHandShowsOverTheDeviceListOnly) {
  Boot({Battery("42T4969", 150000, 125000, -12500)});
  Open();
  for (int id : {IDC_BATTERY_LIST, IDC_BATTERY_RATE}) {
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    ::SendMessageA(page_->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor() == ::LoadCursor(nullptr, IDC_HAND), id == IDC_BATTERY_LIST) << id;
  }
}

TEST_F(BatteriesPageTest, NoObjectsLeakOverManyRefreshesAndPageSwitches) {
  Boot(platform::sim::DefaultLaptop().batteries);
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  Open();
  for (int i = 0; i < 1000; ++i) {
    pc_.machine().Advance(30);  // the bars move now and then, and repaint
    if (i % 250 == 0) Select(i % 500 == 0 ? 1 : 0);
    Tick();
    if (i % 100 == 0) ::UpdateWindow(page_->hwnd());
  }
  page_.reset();
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  for (int i = 0; i < 100; ++i) {
    Open();
    ::UpdateWindow(page_->hwnd());
    page_.reset();
  }
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(::GetWindow(host_.hwnd(), GW_CHILD), nullptr) << "a page window outlived its page";
  EXPECT_EQ(pc_.machine().OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace vantrel
