// The power pages against the simulated laptop, a recorder noting every write: the Policy page
// on either back end (what it shows for each event, what a store writes where, when Apply is
// enabled); on plans, the Control page's console lock, the Schemes page with its editor tabs,
// and the tray's plans and power modes. Then, with the real meter, the Control page (the
// preview, OK, Apply and Cancel, the global flags, the auto-start entry, the battery list) and
// the tray's schemes (the submenu, choosing one, the automatic switching dialog), and the
// simulated power source.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "control_ids.h"
#include "controls/icon_combo.h"
#include "display/control_page.h"
#include "display/layered_window.h"
#include "display/meter_window.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "notices_ids.h"
#include "policy_ids.h"
#include "power/core/scheme_switch_rules.h"
#include "power/policy_page.h"
#include "power/scheme_switcher.h"
#include "power/schemes_page.h"
#include "power/tray_menu.h"
#include "resource.h"
#include "scheme_editor_ids.h"
#include "schemes_ids.h"
#include "settings/settings_store.h"
#include "tray_schemes_ids.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using namespace display;
using namespace testing;
using controls::CIconComboBox;
using platform::sim::SimPowerBackend;
using platform::sim::SimState;
using testing::PlanLaptop;
using testing::PlanTestMachine;

constexpr COLORREF kGreen = CIconComboBox::kSupportedColour;
constexpr COLORREF kDarkRed = CIconComboBox::kUnsupportedColour;

SimState WideLaptop() {
  SimState state = PlanLaptop();
  state.plans.plans[1].name = L"High \u65e5\u672c";  // a name outside the code page
  return state;
}

bool MenuChecked(HMENU menu, UINT command) { return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0; }

// The controls of one of the Schemes page's editor tabs.
struct TabControls : testing::PageControls {
  HWND tab = nullptr;
  HWND page() const override { return tab; }
};

class PowerPagesTest : public ::testing::Test, protected testing::PageControls {
 protected:
  // A fresh machine, the XP laptop unless told, and the page (or another one) on it.
  template <class Page = PolicyPage, class... Args>
  void Open(SimState state = testing::XpLaptop(), Args&&... args) {
    Boot(std::move(state));
    Show<Page>(std::forward<Args>(args)...);
  }
  void Boot(SimState state) {
    page_.reset();
    pc_.reset();  // the old machine's seam goes before the new one's
    pc_ = std::make_unique<PlanTestMachine>(std::move(state));
  }
  template <class Page, class... Args>
  void Show(Args&&... args) {
    page_.reset();
    ASSERT_TRUE(host_.IsWindow() || host_.Create(640, 520));
    ::ShowWindow(host_.hwnd(), SW_SHOW);  // again, after OK or Cancel hid it
    auto page = std::make_unique<Page>(host_.hwnd(), std::forward<Args>(args)...);
    ASSERT_TRUE(page->Create());
    ::ShowWindow(page->hwnd(), SW_SHOW);
    page_ = std::move(page);
  }
  // The Schemes page, whose Save As is named "Road Trip".
  void OpenSchemes(SimState state = WideLaptop()) {
    host_.hide_on_close = false;
    Open<SchemesPage>(std::move(state), nullptr, [](HWND) { return std::optional<std::string>("Road Trip"); });
    for (auto [kind, tab] : {std::pair{SchemeTabKind::User, &user_}, std::pair{SchemeTabKind::Machine, &machine_}})
      tab->tab = Schemes().tabs().page(kind) ? Schemes().tabs().page(kind)->hwnd() : nullptr;
    Fake().calls.clear();
  }
  void TearDown() override {
    if (page_) page_->DestroyWindow();
    page_.reset();
    if (pc_ && pc_->state().power_backend != SimPowerBackend::Xp) {
      for (const char* write : testing::kXpWrites) EXPECT_EQ(Fake().Called(write), 0u) << write;
    }
    pc_.reset();
  }

  HWND page() const override { return page_->hwnd(); }
  SchemesPage& Schemes() { return static_cast<SchemesPage&>(*page_); }
  std::wstring ComboTextW(int index) const {
    wchar_t text[64] = {};
    if (::SendMessageW(Item(IDC_SCHEME_COMBO), CB_GETLBTEXTLEN, index, 0) < 64)
      ::SendMessageW(Item(IDC_SCHEME_COMBO), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }
  void Key(int id, WPARAM key) {
    Send(id, WM_KEYDOWN, key, 0);
    Send(id, WM_KEYUP, key, 0xC0000001);
  }
  testing::RecordingSystem& Fake() { return pc_->recorder(); }
  GLOBAL_USER_POWER_POLICY& Global() { return pc_->state().global.user; }
  DWORD Side(size_t plan, const platform::PlanGuid& setting, bool dc) {
    const auto value = pc_->Value(plan, setting);
    return dc ? value.dc : value.ac;
  }
  display::ControlPageContext Context() { return {settings_, nullptr, "C:\\V", "vantrel"}; }

  std::unique_ptr<PlanTestMachine> pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<ui::CPage> page_;
  TabControls user_, machine_;
  settings::AppSettings settings_;
  fw::PromptRecorder prompts_;  // a refusal is said, never left waiting for a click
  const std::string none_ = i18n::Text(i18n::IDS_SCHEMES_NO_COUNTERPART);
  const std::string locked_ = i18n::Text(i18n::IDS_SCHEMES_LOCKED);
};

// Some texts are misspelled on purpose: the program's texts are kept byte for byte, and a
// well-meant correction must fail here.
TEST_F(PowerPagesTest, ShowsTheEventsAndActionsInItsOwnWordsColouredByWhatTheMachineHasAndCan) {
  SimState state = testing::XpLaptop();
  state.capabilities.LidPresent = FALSE;
  state.capabilities.SystemS5 = FALSE;
  Open(std::move(state));
  char flag[32] = {};
  LVITEMA item{};
  item.pszText = flag;
  item.cchTextMax = sizeof flag;
  Send(IDC_POLICY_FLAGS, LVM_GETITEMTEXTA, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(ListText(IDC_POLICY_MIN_STATE, 0) + "|" + ListText(IDC_POLICY_MIN_STATE, 5) + "|" +
                ListText(IDC_POLICY_ACTION, 2) + "|" + flag,
            "Unspecefied|(S4)Hebirnate|Hebirnate|LIHGTEST FIRST");
  ASSERT_EQ(ListCount(IDC_POLICY_EVENT), 9);
  EXPECT_EQ(ListText(IDC_POLICY_EVENT, 8), "Battery Event (4)");
  // S1, S2 and now S5 are missing on this laptop, S3 and S4 there.
  const struct { int list, index; COLORREF colour; } colours[] = {
      {IDC_POLICY_EVENT, 0, kGreen},     {IDC_POLICY_EVENT, 2, kDarkRed} /* no lid */, {IDC_POLICY_EVENT, 5, kGreen},
      {IDC_POLICY_SOURCE, 1, kGreen},    {IDC_POLICY_ACTION, 1, kGreen},  {IDC_POLICY_ACTION, 5, kDarkRed} /* no S5 */,
      {IDC_POLICY_MIN_STATE, 2, kDarkRed}, {IDC_POLICY_MIN_STATE, 4, kGreen}, {IDC_POLICY_MIN_STATE, 6, kDarkRed}};
  for (const auto& c : colours) {
    auto* list = dynamic_cast<CIconComboBox*>(fw::Window::FromHandle(Item(c.list)));
    const controls::ComboItemData* data = list ? list->ItemData(c.index) : nullptr;
    EXPECT_EQ(data ? data->text_colour : CLR_INVALID, c.colour) << c.list << " item " << c.index;
  }

  // The active scheme of the unsorted scheme list.
  EXPECT_EQ(ListText(IDC_POLICY_SCHEME, 0), "Home/Office Desk");
  EXPECT_EQ(Selected(IDC_POLICY_SCHEME), 1);
  EXPECT_EQ(Selected(IDC_POLICY_SOURCE), 0);
  for (int id : {IDC_POLICY_SCHEME, IDC_POLICY_ALARM_ENABLE, IDC_POLICY_ALARM_LEVEL, IDC_POLICY_MIN_STATE})
    EXPECT_FALSE(Enabled(id)) << id;

  // The power button's record: no action, query and UI allowed, the shutdown notification.
  EXPECT_EQ(Send(IDC_POLICY_FLAGS, LVM_GETITEMCOUNT, 0, 0), 7);
  EXPECT_EQ(Send(IDC_POLICY_EVENT_CODES, LVM_GETITEMCOUNT, 0, 0), 6);
  EXPECT_EQ(Selected(IDC_POLICY_ACTION), 0);
  const struct { int list, item; bool ticked; } marks[] = {{IDC_POLICY_FLAGS, 5, true}, {IDC_POLICY_FLAGS, 6, true},
      {IDC_POLICY_FLAGS, 0, false}, {IDC_POLICY_EVENT_CODES, 5, true}, {IDC_POLICY_EVENT_CODES, 3, false}};
  for (const auto& m : marks) EXPECT_EQ(Ticked(m.list, m.item), m.ticked) << m.list << " item " << m.item;
  EXPECT_FALSE(page_->apply_enabled()) << "loading the check marks is not a change";
  // With the focus in a coloured list, F10 still opens the main window's menu bar.
  Send(IDC_POLICY_EVENT, WM_SYSKEYDOWN, VK_F10, 0x00440001);
  Send(IDC_POLICY_EVENT, WM_SYSKEYUP, VK_F10, 0xC0440001);
  EXPECT_EQ(host_.menu_requests, 1);
  EXPECT_EQ(Selected(IDC_POLICY_EVENT), 0);

  // The lid can still be chosen and stored.
  Choose(IDC_POLICY_EVENT, kLidCloseEvent);
  Choose(IDC_POLICY_SOURCE, 1);
  Choose(IDC_POLICY_ACTION, 3);
  EXPECT_TRUE(page_->apply_enabled());
  Click(IDC_APPLY);
  EXPECT_EQ(Global().LidCloseDc.Action, PowerActionShutdown);
  EXPECT_EQ(Global().LidCloseAc.Action, PowerActionSleep);
  EXPECT_FALSE(page_->apply_enabled());
}

// Bits no item shows are kept; an action no item shows (8 turns the display off on newer
// systems) or a level over 100 is written back as it was until the user changes it.
TEST_F(PowerPagesTest, ActionsFlagsAndNotificationsAreStoredAndWhatThePageCannotShowKept) {
  SimState state = testing::XpLaptop();
  POWER_ACTION_POLICY& button = state.global.user.PowerButtonAc;
  button.Action = static_cast<POWER_ACTION>(1);  // reserved
  button.Flags = POWER_ACTION_UI_ALLOWED | 0x8;  // 0x8 is not in the list
  button.EventCode = POWER_USER_NOTIFY_FORCED_SHUTDOWN | POWER_LEVEL_USER_NOTIFY_TEXT;
  state.global.user.SleepButtonAc.Action = static_cast<POWER_ACTION>(8);
  state.global.user.DischargePolicy[0].BatteryLevel = 150;
  Open(std::move(state));

  EXPECT_EQ(Selected(IDC_POLICY_ACTION), 0) << "the reserved value shows as None";
  EXPECT_TRUE(Ticked(IDC_POLICY_EVENT_CODES, 3));
  Tick(IDC_POLICY_FLAGS, 2, true);  // LIHGTEST FIRST
  EXPECT_TRUE(page_->apply_enabled());
  Tick(IDC_POLICY_FLAGS, 3, true);  // LOCK CONSOLE
  Tick(IDC_POLICY_FLAGS, 6, false);
  Tick(IDC_POLICY_EVENT_CODES, 3, false);
  Tick(IDC_POLICY_EVENT_CODES, 0, true);
  Click(IDC_APPLY);
  EXPECT_EQ(Global().PowerButtonAc.Action, PowerActionNone);
  EXPECT_EQ(Global().PowerButtonAc.Flags, POWER_ACTION_LIGHTEST_FIRST | POWER_ACTION_LOCK_CONSOLE | 0x8u);
  EXPECT_EQ(Global().PowerButtonAc.EventCode, POWER_FORCE_TRIGGER_RESET | POWER_USER_NOTIFY_FORCED_SHUTDOWN);
  EXPECT_EQ(Global().PowerButtonDc.Flags, POWER_ACTION_QUERY_ALLOWED | POWER_ACTION_UI_ALLOWED) << "DC untouched";

  Choose(IDC_POLICY_EVENT, kSleepButtonEvent);
  EXPECT_EQ(Selected(IDC_POLICY_ACTION), -1);
  Tick(IDC_POLICY_FLAGS, 2, true);
  Click(IDC_APPLY);
  EXPECT_EQ(Global().SleepButtonAc.Action, 8);
  Choose(IDC_POLICY_EVENT, kFirstBatteryEvent);
  Click(IDC_POLICY_ALARM_ENABLE);
  Click(IDC_APPLY);
  EXPECT_EQ(Global().DischargePolicy[0].BatteryLevel, 150u);

  Choose(IDC_POLICY_EVENT, kPowerButtonEvent);
  Choose(IDC_POLICY_ACTION, 1);
  Click(IDOK);
  EXPECT_EQ(Global().PowerButtonAc.Action, PowerActionSleep);
  EXPECT_EQ(host_.closes, 1) << "OK closes the main window";
}

TEST_F(PowerPagesTest, ABatteryAlarmIsEditedInItsOwnEntryWrittenOnApplyAndDroppedOnCancel) {
  Open();
  Choose(IDC_POLICY_SOURCE, 1);
  Choose(IDC_POLICY_EVENT, kFirstBatteryEvent + 1);
  EXPECT_FALSE(page_->apply_enabled());
  EXPECT_FALSE(Enabled(IDC_POLICY_SOURCE));
  EXPECT_FALSE(Enabled(IDC_POLICY_SCHEME));
  EXPECT_TRUE(Enabled(IDC_POLICY_ALARM_LEVEL));
  EXPECT_TRUE(page_->IsChecked(IDC_POLICY_ALARM_ENABLE));
  EXPECT_EQ(page_->ItemText(IDC_POLICY_LEVEL_TEXT), "10%");
  EXPECT_EQ(Selected(IDC_POLICY_MIN_STATE), PowerSystemSleeping1);

  // Keys move the slider: 36 and one step right.
  Send(IDC_POLICY_ALARM_LEVEL, TBM_SETPOS, TRUE, 36);
  Key(IDC_POLICY_ALARM_LEVEL, VK_RIGHT);
  EXPECT_EQ(page_->ItemText(IDC_POLICY_LEVEL_TEXT), "37%");
  EXPECT_TRUE(page_->apply_enabled());
  EXPECT_EQ(Global().DischargePolicy[1].BatteryLevel, 10u);
  Click(IDC_POLICY_ALARM_ENABLE);
  Choose(IDC_POLICY_MIN_STATE, PowerSystemSleeping3);
  Choose(IDC_POLICY_ACTION, 5);
  Click(IDC_APPLY);
  const SYSTEM_POWER_LEVEL& low = Global().DischargePolicy[1];
  EXPECT_EQ(low.BatteryLevel, 37u);
  EXPECT_EQ(low.Enable, 0);
  EXPECT_EQ(low.MinSystemState, PowerSystemSleeping3);
  EXPECT_EQ(low.PowerPolicy.Action, PowerActionShutdownOff);
  EXPECT_EQ(Global().DischargePolicy[0].BatteryLevel, 3u) << "the other alarms stay";
  EXPECT_EQ(Global().DischargePolicy[0].PowerPolicy.Action, PowerActionHibernate);

  // Back to a button: the alarm controls are disabled, the power source enabled again.
  Choose(IDC_POLICY_EVENT, kSleepButtonEvent);
  EXPECT_TRUE(Enabled(IDC_POLICY_SOURCE));
  EXPECT_FALSE(Enabled(IDC_POLICY_ALARM_LEVEL));
  EXPECT_FALSE(page_->apply_enabled());

  // Cancel writes nothing, shows the stored values again and closes the main window.
  Choose(IDC_POLICY_EVENT, kFirstBatteryEvent);
  Send(IDC_POLICY_ALARM_LEVEL, TBM_SETPOS, TRUE, 4);
  Key(IDC_POLICY_ALARM_LEVEL, VK_RIGHT);
  Choose(IDC_POLICY_ACTION, 0);
  Fake().calls.clear();
  Click(IDCANCEL);
  EXPECT_EQ(Fake().Called("WriteGlobalPwrPolicy"), 0u);
  EXPECT_EQ(Global().DischargePolicy[0].BatteryLevel, 3u);
  EXPECT_EQ(page_->ItemText(IDC_POLICY_LEVEL_TEXT), "3%");
  EXPECT_EQ(Selected(IDC_POLICY_ACTION), 2) << "Hebirnate";
  EXPECT_FALSE(page_->apply_enabled());
  EXPECT_EQ(host_.closes, 1);
}

TEST_F(PowerPagesTest, IdleAndOverThrottledLandInTheChosenSchemeWhichKeepsItsNameAndTheActiveOneIsReapplied) {
  SimState state = testing::XpLaptop();
  state.schemes[3].policy.user.IdleDc.Action = PowerActionSleep;
  Open(std::move(state));
  const platform::sim::SimScheme before = pc_->state().schemes[3];
  Choose(IDC_POLICY_EVENT, kIdleEvent);
  EXPECT_TRUE(Enabled(IDC_POLICY_SCHEME));
  Choose(IDC_POLICY_SCHEME, 3);
  Choose(IDC_POLICY_SOURCE, 1);
  EXPECT_EQ(Selected(IDC_POLICY_ACTION), 1) << "Sleep";
  EXPECT_FALSE(page_->apply_enabled());
  Choose(IDC_POLICY_ACTION, 2);
  Click(IDC_APPLY);

  // The system applies a scheme's idle and over-throttle actions when the scheme is made active:
  // an edit of the active scheme makes it active again, of another one is written only.
  Choose(IDC_POLICY_EVENT, kOverThrottledEvent);
  Choose(IDC_POLICY_SCHEME, 1);
  Choose(IDC_POLICY_ACTION, 2);
  Click(IDC_APPLY);
  EXPECT_EQ(Fake().Called("SetActivePwrScheme 1"), 1u);
  Choose(IDC_POLICY_SCHEME, 3);
  Choose(IDC_POLICY_SOURCE, 0);
  Choose(IDC_POLICY_ACTION, 1);
  Click(IDOK);

  const platform::sim::SimScheme& after = pc_->state().schemes[3];
  EXPECT_EQ(after.policy.user.IdleDc.Action, PowerActionHibernate);
  EXPECT_EQ(after.policy.user.IdleAc.Action, before.policy.user.IdleAc.Action);
  EXPECT_EQ(after.policy.mach.OverThrottledAc.Action, PowerActionSleep);
  EXPECT_EQ(after.name, before.name);
  EXPECT_EQ(after.description, before.description);
  EXPECT_EQ(pc_->state().schemes[1].policy.user.IdleDc.Action,
            platform::sim::DefaultSchemes()[1].policy.user.IdleDc.Action);
  EXPECT_EQ(Fake().Called("WritePwrScheme 3"), 2u);
  EXPECT_EQ(Fake().Called("SetActivePwrScheme"), 1u) << "the other scheme is written only";
}

// A store that fails is said and keeps Apply on (and the window open on OK); a record that
// cannot be read is not written.
TEST_F(PowerPagesTest, AFailedStoreIsSaidWritesNothingAndKeepsApply) {
  Open();
  Fake().fail_global_read = true;
  Choose(IDC_POLICY_ACTION, 3);
  Click(IDC_APPLY);
  EXPECT_TRUE(page_->apply_enabled());
  Choose(IDC_POLICY_EVENT, kFirstBatteryEvent + 2);
  Click(IDC_POLICY_ALARM_ENABLE);
  Click(IDC_APPLY);
  Fake().fail_global_read = false;
  Fake().fail_scheme_read = true;
  Choose(IDC_POLICY_EVENT, kIdleEvent);
  Choose(IDC_POLICY_ACTION, 3);
  Click(IDC_APPLY);
  Fake().fail_scheme_read = false;
  EXPECT_EQ(Fake().Called("WriteGlobalPwrPolicy"), 0u);
  EXPECT_EQ(Fake().Called("WritePwrScheme"), 0u);
  EXPECT_EQ(Global().PowerButtonAc.Flags, POWER_ACTION_QUERY_ALLOWED | POWER_ACTION_UI_ALLOWED);
  EXPECT_EQ(Global().DischargePolicy[2].Enable, 0);

  // A write the system refuses (a limited user).
  Fake().fail_scheme_write = true;
  Click(IDOK);
  EXPECT_EQ(host_.closes, 0) << "OK keeps the unsaved edit on show";
  ASSERT_EQ(prompts_.entries().size(), 4u);
  for (const auto& entry : prompts_.entries())
    EXPECT_EQ(testing::Said(entry), testing::Warning(i18n::Text(i18n::IDS_POLICY_NOT_SAVED)));

  // With the reads and writes back, the same store goes through.
  Fake().fail_scheme_write = false;
  Click(IDC_APPLY);
  EXPECT_FALSE(page_->apply_enabled());
  EXPECT_EQ(Fake().Called("WritePwrScheme"), 2u);
}

// On plans, buttons, lid, alarms and the console lock hold whichever plan is active: a change
// goes to every plan.
TEST_F(PowerPagesTest, OnPlansAnActionIsShownFromTheActivePlanAndAnEditWrittenToEveryPlanOnItsSide) {
  SimState state = PlanLaptop();
  state.plans.active = g::kPowerSaver;
  state.plans.plans[2].values.push_back({g::kLidClose, 0, 3});  // nothing on mains, shut down on battery
  Open(std::move(state));
  Choose(IDC_POLICY_EVENT, kLidCloseEvent);
  EXPECT_EQ(ListText(IDC_POLICY_ACTION, Selected(IDC_POLICY_ACTION)), "None");
  EXPECT_EQ(ListCount(IDC_POLICY_ACTION), 4);
  struct Row {
    int event, source, position;  // position in the list of what the setting offers
    platform::PlanGuid setting;
    DWORD index;
    size_t writes;
  } rows[] = {
      {kPowerButtonEvent, 0, 4, g::kPowerButton, 4, 3},      // turn off the display (8)
      {kSleepButtonEvent, 1, 3, g::kSleepButton, 3, 3},      // the same, 3rd on this setting's list
      {kLidCloseEvent, 0, 2, g::kLidClose, 2, 3},            // Hibernate: XP's 3 is Shut down here
      {kFirstBatteryEvent, 1, 3, g::kAlarmAction[0], 3, 3},  // Shutdown Off (6)
      {kLidCloseEvent, 1, 1, g::kLidClose, 1, 1},            // Sleep, which two plans hold already
  };
  for (const Row& row : rows) {
    const bool dc = row.source == 1;
    DWORD other[3];
    for (size_t plan = 0; plan < 3; ++plan) other[plan] = Side(plan, row.setting, !dc);
    Choose(IDC_POLICY_EVENT, row.event);
    if (row.event < kFirstBatteryEvent) Choose(IDC_POLICY_SOURCE, row.source);
    Fake().calls.clear();
    Choose(IDC_POLICY_ACTION, row.position);
    Press(IDC_APPLY);
    EXPECT_EQ(Fake().Called("PowerWrite"), row.writes) << row.event;
    EXPECT_TRUE(prompts_.entries().empty()) << row.event;
    for (size_t plan = 0; plan < 3; ++plan) {
      EXPECT_EQ(Side(plan, row.setting, dc), row.index) << row.event << " plan " << plan;
      EXPECT_EQ(Side(plan, row.setting, !dc), other[plan]) << row.event << " each plan keeps its other side";
    }
  }
  Choose(IDC_POLICY_EVENT, kPowerButtonEvent);
  Choose(IDC_POLICY_SOURCE, 0);
  EXPECT_EQ(ListText(IDC_POLICY_ACTION, 4), i18n::Text(i18n::IDS_POLICY_DISPLAY_OFF));
  EXPECT_EQ(Selected(IDC_POLICY_ACTION), 4) << "shown again";
  // An alarm's level, enable and notifications, on battery only.
  Choose(IDC_POLICY_EVENT, kFirstBatteryEvent + 1);
  Click(IDC_POLICY_ALARM_ENABLE);  // off
  Send(IDC_POLICY_ALARM_LEVEL, TBM_SETPOS, TRUE, 25);
  ::SendMessageA(page(), WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(Item(IDC_POLICY_ALARM_LEVEL)));
  Tick(IDC_POLICY_EVENT_CODES, 2, true);   // SOUND
  Tick(IDC_POLICY_EVENT_CODES, 3, false);  // TEXT
  Press(IDC_APPLY);
  EXPECT_TRUE(prompts_.entries().empty());
  for (size_t plan = 0; plan < 3; ++plan) {
    EXPECT_EQ(Side(plan, g::kAlarmLevel[1], true), 25u) << plan;
    EXPECT_EQ(Side(plan, g::kAlarmFlags[1], true), 0x2u) << plan;
    EXPECT_EQ(Side(plan, g::kAlarmFlags[1], false), 0x80000001u) << "mains value untouched";
  }
}

TEST_F(PowerPagesTest, OnPlansControlsWithoutASettingOrFixedByPolicyAreDisabledWithTheirReasonAndRefusalsSaid) {
  SimState state = PlanLaptop();
  state.plans.policy_locked = g::kLidClose;
  state.plans.writes_ignored = g::kPowerButton;
  Open(std::move(state));
  struct Row {
    int event, id;
    const std::string* tip;  // null: enabled
  } rows[] = {
      {kLidCloseEvent, IDC_POLICY_ACTION, &locked_},          {kIdleEvent, IDC_POLICY_ACTION, &none_},
      {kFirstBatteryEvent, IDC_POLICY_ALARM_LEVEL, nullptr}, {kFirstBatteryEvent, IDC_POLICY_EVENT_CODES, nullptr},
      {kFirstBatteryEvent, IDC_POLICY_FLAGS, &none_},         {kFirstBatteryEvent, IDC_POLICY_MIN_STATE, &none_},
      {kPowerButtonEvent, IDC_POLICY_FLAGS, &none_},          {kPowerButtonEvent, IDC_POLICY_EVENT_CODES, &none_},
      {kPowerButtonEvent, IDC_POLICY_ACTION, nullptr},
  };
  for (const Row& row : rows) {
    Choose(IDC_POLICY_EVENT, row.event);
    EXPECT_EQ(Enabled(row.id), row.tip == nullptr) << row.event << "/" << row.id;
    EXPECT_EQ(Tip(row.id), row.tip ? *row.tip : "") << row.event << "/" << row.id;
    EXPECT_EQ(::IsWindowVisible(Item(IDC_POLICY_PLANS_NOTE)) != FALSE, row.event != kIdleEvent) << row.event;
  }
  Choose(IDC_POLICY_ACTION, 1);  // the power button's write answers success and keeps the old value
  Press(IDC_APPLY);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_NE(prompts_.entries()[0].text.find("Balanced, High performance, Power saver"), std::string::npos);
  EXPECT_TRUE(page_->apply_enabled()) << "to try again";
}

TEST_F(PowerPagesTest, OnPlansTheControlPagesPasswordOnWakeGoesToEveryPlanAndTheOtherFlagsAreNeverWritten) {
  for (bool fixed : {true, false}) {
    SimState state = PlanLaptop();
    if (fixed) state.plans.policy_locked = g::kLockConsoleOnWake;
    Open<display::CControlPage>(std::move(state), Context());
    EXPECT_TRUE(Checked(IDC_CONTROL_PASSWORD_LOGON));
    EXPECT_EQ(Enabled(IDC_CONTROL_PASSWORD_LOGON), !fixed);
    EXPECT_EQ(Tip(IDC_CONTROL_PASSWORD_LOGON), fixed ? locked_ : "");
    for (int id : {IDC_CONTROL_MULTI_BATTERY, IDC_CONTROL_SYSTRAY_METER, IDC_CONTROL_VIDEO_DIMMING,
                   IDC_CONTROL_WAKE_ON_RING})
      EXPECT_TRUE(!Enabled(id) && !Checked(id) && Tip(id) == none_) << id;
  }
  Click(IDC_CONTROL_PASSWORD_LOGON);
  Send(IDC_CONTROL_VIDEO_DIMMING, BM_SETCHECK, BST_CHECKED);  // disabled, ticked all the same
  Press(IDOK);
  EXPECT_TRUE(prompts_.entries().empty());
  for (size_t plan = 0; plan < 3; ++plan)
    EXPECT_EQ(Side(plan, g::kLockConsoleOnWake, false) + Side(plan, g::kLockConsoleOnWake, true), 0u) << plan;
  EXPECT_EQ(Fake().Called("PowerWrite"), 6u) << "the console lock alone, AC and DC of each plan";
  Show<display::CControlPage>(Context());
  EXPECT_FALSE(Checked(IDC_CONTROL_PASSWORD_LOGON));
}

TEST_F(PowerPagesTest, ListsThePlansByTheirWideNamesDisablesFieldsWithoutASettingOrFixedByPolicyAndSaysAWriteNotTaken) {
  SimState state = WideLaptop();
  state.plans.active = g::kHighPerformance;
  state.plans.policy_locked = g::kVideoTimeout;
  state.plans.writes_ignored = g::kHibernateTimeout;
  OpenSchemes(std::move(state));
  ASSERT_TRUE(Schemes().on_plans());
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(ComboTextW(0), L"Balanced");
  EXPECT_EQ(ComboTextW(1), L"High \u65e5\u672c") << "kept wide, as read";
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Favors performance, but may use more energy.");
  EXPECT_EQ(Schemes().tabs().tab_count(), 3) << "USER, MACHINE, ALL SETTINGS: nothing of PROCESSOR has a setting";
  EXPECT_EQ(Schemes().tabs().page(SchemeTabKind::Processor), nullptr);
  struct Row {
    TabControls* tab;
    int id;
    const std::string* tip;  // null: enabled
  } rows[] = {
      {&user_, IDC_USER_MAX_SLEEP_AC, &none_},       {&user_, IDC_USER_OPTIMIZE_DC, &none_},
      {&user_, IDC_USER_FAN_TOLERANCE_AC, &none_},   {&machine_, IDC_MACHINE_DOZE_AC, &none_},
      {&machine_, IDC_MACHINE_MIN_SLEEP_DC, &none_}, {&user_, IDC_USER_VIDEO_TIMEOUT_AC, &locked_},
      {&user_, IDC_USER_VIDEO_TIMEOUT_DC, &locked_}, {&user_, IDC_USER_SPINDOWN_TIMEOUT_DC, nullptr},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.tab->Enabled(row.id), row.tip == nullptr) << row.id;
    EXPECT_EQ(row.tab->Tip(row.id), row.tip ? *row.tip : "") << row.id;
  }
  // Changed anyway (a disabled field still takes a message): never written, nothing said.
  ::SendMessageA(user_.Item(IDC_USER_OPTIMIZE_AC), BM_SETCHECK, BST_CHECKED, 0);
  machine_.Type(IDC_MACHINE_DOZE_AC, "01000");
  user_.Type(IDC_USER_SPINDOWN_TIMEOUT_DC, "00700");
  Press(IDC_APPLY);
  EXPECT_EQ(Fake().Called("PowerWrite"), 1u) << "the disk timeout alone";
  EXPECT_EQ(pc_->Value(1, g::kDiskTimeout).dc, 420u);
  EXPECT_TRUE(prompts_.entries().empty());
  // A write that answers success and does not take is said; Apply stays on for another try.
  machine_.Type(IDC_MACHINE_DOZE_S4_AC, "04500");
  Press(IDC_APPLY);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_EQ(Said(prompts_.entries()[0]), Warning(SchemesPage::kWriteFailedMessage));
  EXPECT_TRUE(page_->apply_enabled());
}

TEST_F(PowerPagesTest, SaveAsDeleteAndApplyOnThePlanStore) {
  OpenSchemes();
  // Save As from Balanced with an edit: a copy under a new GUID, named, then the edit.
  user_.Type(IDC_USER_SPINDOWN_TIMEOUT_DC, "00700");
  Press(IDC_SCHEME_SAVE_AS);
  ASSERT_EQ(pc_->store().plans.size(), 4u);
  const platform::sim::SimPlan& copy = pc_->store().plans[3];
  EXPECT_EQ(copy.name, L"Road Trip");
  EXPECT_EQ(pc_->Value(3, g::kDiskTimeout).dc, 420u);
  EXPECT_NE(pc_->Value(0, g::kDiskTimeout).dc, 420u) << "the source keeps its value";
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(user_.Text(IDC_USER_SPINDOWN_TIMEOUT_DC), "0:07:00") << "the copy is shown";
  // A name taken: nothing made.
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(pc_->store().plans.size(), 4u);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  // An edit of each tab of the copy, then Apply: written, and the copy made active.
  user_.Type(IDC_USER_VIDEO_TIMEOUT_DC, "02000");
  machine_.Type(IDC_MACHINE_DOZE_S4_DC, "04500");
  Press(IDC_APPLY);
  EXPECT_EQ(pc_->Value(3, g::kHibernateTimeout).dc, 2700u);
  ASSERT_TRUE(pc_->store().active == copy.guid);
  // Delete the active plan: another becomes active first, then it goes.
  Fake().calls.clear();
  Press(IDC_SCHEME_DELETE);
  EXPECT_EQ(pc_->store().plans.size(), 3u);
  EXPECT_TRUE(pc_->store().active == g::kPowerSaver) << "the last plan hands over to the one before";
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 2);
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
}

// A power-mode library that answers success to a write and keeps the mode it had.
class ModeWritesIgnored : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  DWORD PowerSetUserConfiguredACPowerMode(const GUID*) override { return ERROR_SUCCESS; }
  DWORD PowerSetUserConfiguredDCPowerMode(const GUID*) override { return ERROR_SUCCESS; }
};

// Windows 11's power mode in the tray: offered only where the system has it, for the present
// power source with its mode checked; a choice sets that source's mode and leaves the other's.
TEST(TrayPowerModeTest, TheModesOfThePresentSourceAreOfferedAndSetWhereTheSystemHasThem) {
  const platform::PlanGuid kUnknownMode{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  struct Row {
    const char* what;
    bool modes, ignored, warned;  // the system has the four functions; writes answer success and change nothing
    int line, checked;            // 0 on battery, 1 on mains, 255 unknown; the mode item checked, -1 none
    UINT choice;                  // the mode item chosen
    platform::PlanGuid ac, dc;    // the modes afterwards
  } rows[] = {
      {"no functions", false, false, false, 1, -1, 2, g::kModeBalanced, kUnknownMode},
      {"on mains", true, false, false, 1, 1, 2, g::kModeBestPerformance, kUnknownMode},
      {"on battery, a mode unknown to us", true, false, false, 0, -1, 0, g::kModeBalanced, g::kModeBestEfficiency},
      {"source unknown: mains", true, false, false, 255, 1, 0, g::kModeBestEfficiency, kUnknownMode},
      {"a write that does not take", true, true, true, 1, 1, 2, g::kModeBalanced, kUnknownMode},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SimState state = WideLaptop();
    state.plans.power_modes = row.modes;
    state.plans.mode_ac = g::kModeBalanced;
    state.plans.mode_dc = kUnknownMode;
    PlanTestMachine pc(std::move(state));
    pc.machine().SetAcLineStatus(row.line);
    ModeWritesIgnored ignoring(platform::Sys());
    std::optional<platform::ScopedSystemApi> ignore;
    if (row.ignored) ignore.emplace(ignoring);
    fw::PromptRecorder prompts;
    settings::AppSettings settings;
    TrayMenu tray(settings, nullptr);
    tray.BuildTrayMenu(nullptr);
    tray.UpdateSchemes();

    const HMENU schemes = ::GetSubMenu(tray.menu().handle(), 2);
    std::vector<std::string> tail = {"-", "3099:Automatic switching..."};
    if (row.modes)
      tail.insert(tail.begin(), {"-", "3100:Best power efficiency", "3101:Balanced", "3102:Best performance"});
    const std::vector<std::string> items = testing::Describe(schemes);
    EXPECT_EQ(std::vector<std::string>(items.begin() + 3, items.end()), tail) << "after the three plans";
    for (UINT k = 0; k < 3; ++k) {
      const UINT mode = ::GetMenuState(schemes, ID_TRAY_POWER_MODE_FIRST + k, MF_BYCOMMAND);
      EXPECT_EQ(mode != static_cast<UINT>(-1) && (mode & MF_CHECKED), static_cast<int>(k) == row.checked) << k;
      EXPECT_EQ(MenuChecked(schemes, ID_TRAY_SCHEME_FIRST + k), k == 0) << "the active plan is checked, not " << k;
    }

    tray.OnMenuCommand(nullptr, ID_TRAY_POWER_MODE_FIRST + row.choice);
    EXPECT_TRUE(pc.store().mode_ac == row.ac);
    EXPECT_TRUE(pc.store().mode_dc == row.dc);
    EXPECT_EQ(prompts.entries().size(), row.warned ? 1u : 0u);
    if (row.warned) {
      EXPECT_EQ(prompts.entries()[0].text, "The power mode could not be set.");
    }
    EXPECT_EQ(pc.recorder().Called("PowerSetActiveScheme"), 0u) << "the plans are left alone";
    // A plan chosen is made active; one made active elsewhere is checked when the menu opens again.
    tray.OnMenuCommand(nullptr, ID_TRAY_SCHEME_FIRST + 2);
    EXPECT_TRUE(pc.store().active == g::kPowerSaver);
    pc.store().active = g::kHighPerformance;
    tray.UpdateSchemes();
    const HMENU again = ::GetSubMenu(tray.menu().handle(), 2);
    EXPECT_TRUE(MenuChecked(again, ID_TRAY_SCHEME_FIRST + 1) && !MenuChecked(again, ID_TRAY_SCHEME_FIRST + 2));
    for (const char* write : testing::kXpWrites) EXPECT_EQ(pc.recorder().Called(write), 0u) << write;
  }
}

TEST_F(PowerPagesTest, AutomaticSwitchingFollowsAPlanByGuidAndMatchesAChoiceByNameOnce) {
  OpenSchemes();
  settings::AppSettings settings;
  settings.SchemeOnMains = FormatPlanChoice(g::kHighPerformance, "old name, shown only");
  settings.SchemeOnBattery = "Power saver";  // kept by name from the XP back end
  PowerPlatform platform(battery::BatteryPlatform::NoBatteries{});
  SchemeSwitcher switcher(settings, platform);
  pc_->machine().SetAcLineStatus(1);
  switcher.Start();
  struct Step {
    int line;
    platform::PlanGuid active;
  } steps[] = {{0, g::kPowerSaver}, {1, g::kHighPerformance}, {0, g::kPowerSaver}};
  for (const Step& step : steps) {
    pc_->machine().SetAcLineStatus(step.line);
    EXPECT_TRUE(switcher.OnPowerStatusChange()) << step.line;
    EXPECT_TRUE(pc_->store().active == step.active) << step.line;
    pc_->store().plans[2].name = L"Renamed since";  // the choice by name was matched to its GUID
  }
}

TEST_F(PowerPagesTest, WithoutAnySchemeInterfaceThePageSaysSoAndWritesNothing) {
  SimState state = WideLaptop();
  state.power_backend = SimPowerBackend::None;
  OpenSchemes(std::move(state));
  EXPECT_FALSE(Schemes().on_plans());
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 0);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), i18n::Text(i18n::IDS_SCHEMES_UNREADABLE));
  EXPECT_FALSE(Enabled(IDC_SCHEME_SAVE_AS) || Enabled(IDC_SCHEME_DELETE));
  // Even a stray notification of each button writes nothing.
  for (int id : {IDC_SCHEME_SAVE_AS, IDC_SCHEME_DELETE, IDC_APPLY})
    ::SendMessageA(page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
  EXPECT_EQ(Fake().Called("Power"), 0u);
}

constexpr char kFolder[] = "C:\\Program Files\\Vantrel";

// The Control page with the real meter on the XP laptop with two batteries.
class ControlPageTest : public PowerPagesTest {
 protected:
  void SetUp() override { Boot(2); }
  void TearDown() override {
    page_.reset();
    meter_.reset();  // before the machine goes
    PowerPagesTest::TearDown();
    settings::SettingsStore().SetAutoStart(false, {});
  }
  void Boot(size_t batteries) {
    SimState state = XpLaptop();
    state.batteries.resize(batteries);
    state.global.user.GlobalFlags = 0x21;
    PowerPagesTest::Boot(std::move(state));
  }
  // The meter (made once) and a fresh page.
  void Open() {
    if (!meter_) {
      meter_ = std::make_unique<MeterWindow>(s());
      meter_->set_tray_menu(std::make_unique<RecordingTrayMenu>());
      ASSERT_TRUE(meter_->Create());
      meter_->MoveTo(300, 200);
      meter_->ShowAndPaint();
    }
    Show<CControlPage>(ControlPageContext{s(), meter_.get(), kFolder, "vantrel", nullptr});
  }
  settings::AppSettings& s() { return scope_.settings(); }
  HWND meter() const { return meter_->hwnd(); }
  void Scroll(WORD code, WORD position = 0, int from = IDC_CONTROL_ALPHA) {
    ::SendMessageA(page(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(from)));
  }
  bool Shown() const { return ::IsWindowVisible(host_.hwnd()); }
  DWORD Flags() { return pc_->state().global.user.GlobalFlags; }
  RawValue RunValue() const { return ReadRaw(HKEY_CURRENT_USER, settings::kRunKey, settings::kAutoStartValue); }

  CleanKey clean_;
  DisplayTestScope scope_;
  std::unique_ptr<MeterWindow> meter_;
};

TEST_F(ControlPageTest, ThePreviewFollowsTransparencyAndEachScrollCodeAndChangesNoOption) {
  Open();
  EXPECT_FALSE(Enabled(IDC_CONTROL_ALPHA) || page_->apply_enabled());
  Click(IDC_CONTROL_TRANSPARENT);
  EXPECT_TRUE(IsLayered(meter()) && Enabled(IDC_CONTROL_ALPHA) && page_->apply_enabled());
  EXPECT_EQ(LayeredAlpha(meter()), 255);  // slider at 0: layered but opaque
  Scroll(TB_THUMBTRACK, 255);
  EXPECT_EQ(LayeredAlpha(meter()), 0);
  Scroll(TB_THUMBPOSITION, 0x1F0);  // the low 8 bits
  EXPECT_EQ(LayeredAlpha(meter()), 15);
  Send(IDC_CONTROL_ALPHA, TBM_SETPOS, TRUE, 100);
  for (WORD code : {TB_LINEUP, TB_LINEDOWN, TB_PAGEUP, TB_PAGEDOWN}) {  // the slider's own position
    SetAlpha(meter(), 0, 7, LWA_ALPHA);
    Scroll(code, 30);
    EXPECT_EQ(LayeredAlpha(meter()), 155) << code;
  }
  Send(IDC_CONTROL_ALPHA, TBM_SETPOS, TRUE, 0);
  Scroll(TB_ENDTRACK);
  Scroll(TB_THUMBTRACK, 9, IDOK);  // not the slider
  EXPECT_EQ(LayeredAlpha(meter()), 155);
  Scroll(TB_TOP);  // Home moved the thumb: the preview follows
  EXPECT_EQ(LayeredAlpha(meter()), 255);
  EXPECT_EQ(s().TransparentForm + s().bAlpha, 0);
  Click(IDC_CONTROL_TRANSPARENT);
  EXPECT_FALSE(IsLayered(meter()) || Enabled(IDC_CONTROL_ALPHA));

  LayeredLookup previous = SetLayeredLookup([]() -> SetLayeredWindowAttributesFn { return nullptr; });
  Click(IDC_CONTROL_TRANSPARENT);
  Press(IDC_CONTROL_APPLY);
  SetLayeredLookup(previous);
  EXPECT_FALSE(IsLayered(meter()));
  EXPECT_EQ(StoredSettings().TransparentForm, 1);
}

TEST_F(ControlPageTest, TheChosenBatteryIsTakenByOkAndItAndTheMeterPlaceStoredByApplyOnlyNamedOnesOffered) {
  s().DisplayOneBatteryStatus = 1;
  s().BatteryName = "42t";  // a prefix, in another case, of the second entry of the sorted list
  Open();
  EXPECT_EQ(Send(IDC_CONTROL_BATTERY_LIST, CB_GETCURSEL), 1);
  Press(IDOK);
  EXPECT_EQ(s().BatteryName, "42T4969") << "the meter shows that battery at once";
  EXPECT_EQ(StoredSettings().BatteryName, "");
  meter_->MoveTo(123, 45);
  RECT r{};
  ::GetWindowRect(meter(), &r);
  Open();
  Choose(IDC_CONTROL_BATTERY_LIST, 1);
  Press(IDC_CONTROL_APPLY);
  const settings::AppSettings stored = StoredSettings();
  EXPECT_EQ(stored.BatteryName, "42T4969");
  EXPECT_EQ(stored.BatteryMeterPosLeft, r.left);
  EXPECT_EQ(stored.BatteryMeterPosTop, r.top);

  s().BatteryName = "none such";
  s().DisplayOneBatteryStatus = 0;
  Open();
  EXPECT_EQ(Send(IDC_CONTROL_BATTERY_LIST, CB_GETCURSEL), 0);
  EXPECT_FALSE(Enabled(IDC_CONTROL_BATTERY_LIST));
  Click(IDC_CONTROL_ONE_BATTERY);
  EXPECT_TRUE(Enabled(IDC_CONTROL_BATTERY_LIST) && page_->apply_enabled());
  auto hand = [&](int id) {
    return ::SendMessageA(page_->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), HTCLIENT) == TRUE;
  };
  EXPECT_TRUE(hand(IDC_CONTROL_ALPHA) && hand(IDC_CONTROL_BATTERY_LIST) && hand(IDC_CONTROL_BEEP));
  EXPECT_FALSE(hand(IDC_CONTROL_METER_GROUP) || hand(IDC_CONTROL_DISPLAY_LABEL) || hand(IDOK));

  // A battery whose name cannot be read is not offered: the meter could never find it by name.
  pc_->state().batteries[1].device_name.clear();
  s().DisplayOneBatteryStatus = 1;
  Open();
  ASSERT_EQ(Send(IDC_CONTROL_BATTERY_LIST, CB_GETCOUNT), 1);
  Press(IDOK);
  EXPECT_EQ(s().BatteryName, pc_->state().batteries[0].device_name) << "never stored empty";
}

TEST_F(ControlPageTest, TheAutoStartEntryIsQuotedReadInEitherFormAndDeletedOnceAndOnlyApplyOutlivesARestart) {
  const std::string bare = std::string(kFolder) + "\\vantrel.exe";
  ASSERT_TRUE(settings::SettingsStore().SetAutoStart(true, bare));
  Open();
  EXPECT_TRUE(Checked(IDC_CONTROL_AUTO_START));
  Click(IDC_CONTROL_AUTO_START);
  Click(IDC_CONTROL_AUTO_START);
  Press(IDC_CONTROL_APPLY);
  EXPECT_EQ(RunValue().text(), "\"" + bare + "\"" + '\0');
  Open();
  EXPECT_TRUE(Checked(IDC_CONTROL_AUTO_START));
  Click(IDC_CONTROL_AUTO_START);
  Press(IDC_CONTROL_APPLY);
  EXPECT_FALSE(RunValue().found);
  Click(IDC_CONTROL_BEEP);  // another Apply, the box still cleared
  Press(IDC_CONTROL_APPLY);
  EXPECT_FALSE(RunValue().found);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, settings::kRunKey));
  // OK acts at once, but only Apply outlives a restart.
  Open();
  Click(IDC_CONTROL_AUTO_HIDE);
  Press(IDOK);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(s().PaneWindow, 1);
  MovePointerInto(meter());
  ::SendMessageA(meter(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(::IsWindowVisible(meter()));  // auto hide works now
  MovePointerAway();
  EXPECT_EQ(StoredSettings().PaneWindow, 0);
  Open();
  Click(IDC_CONTROL_BEEP);  // any change, and back: Apply stores what the page shows
  Click(IDC_CONTROL_BEEP);
  Press(IDC_CONTROL_APPLY);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(StoredSettings().PaneWindow, 1);
}

TEST_F(ControlPageTest, GlobalFlagsKeepUnshownBitsAndUnchangedOrUnreadableOnesAreNotWritten) {
  Open();
  for (int id : {IDC_CONTROL_MULTI_BATTERY, IDC_CONTROL_PASSWORD_LOGON, IDC_CONTROL_SYSTRAY_METER,
                 IDC_CONTROL_VIDEO_DIMMING, IDC_CONTROL_WAKE_ON_RING})
    EXPECT_EQ(Checked(id), id == IDC_CONTROL_SYSTRAY_METER) << id;
  Click(IDC_CONTROL_TOPMOST);
  Press(IDOK);
  EXPECT_EQ(Flags(), 0x21u);
  EXPECT_EQ(Fake().Called("WriteGlobalPwrPolicy") + Fake().Called("CallNtPowerInformation"), 0u);

  ::ShowWindow(host_.hwnd(), SW_SHOW);  // shown again after OK: the page stayed loaded
  Click(IDC_CONTROL_MULTI_BATTERY);
  Click(IDC_CONTROL_SYSTRAY_METER);
  Click(IDC_CONTROL_HIBERNATE);
  Press(IDOK);
  EXPECT_EQ(Flags(), 0x22u);
  EXPECT_EQ(Fake().Called("CallNtPowerInformation 10 in=1[0 ]"), 1u);
  ::ShowWindow(host_.hwnd(), SW_SHOW);
  pc_->state().global.user.GlobalFlags |= EnableVideoDimDisplay;  // set elsewhere meanwhile
  Click(IDC_CONTROL_MULTI_BATTERY);  // changed back on the page that stayed loaded
  Press(IDOK);
  EXPECT_EQ(Flags(), 0x20u | EnableVideoDimDisplay);
  EXPECT_EQ(Fake().Called("WriteGlobalPwrPolicy"), 2u);
  EXPECT_EQ(Fake().Called("CallNtPowerInformation"), 1u);

  Fake().fail_global_read = true;
  Open();
  EXPECT_FALSE(Checked(IDC_CONTROL_PASSWORD_LOGON) || Checked(IDC_CONTROL_WAKE_ON_RING));
  Click(IDC_CONTROL_PASSWORD_LOGON);
  Press(IDOK);
  EXPECT_EQ(Fake().Called("WriteGlobalPwrPolicy"), 2u);
  ASSERT_EQ(prompts_.entries().size(), 1u) << "the change could not be made";
  EXPECT_EQ(prompts_.entries()[0].text, i18n::Text(i18n::IDS_CONTROL_FLAGS_NOT_SAVED));
}

TEST_F(ControlPageTest, CancelRestoresThePreviewFromTheOptionsAndLeavesApplyEnabled) {
  s().TransparentForm = 1;
  s().bAlpha = 40;
  Open();
  Scroll(TB_THUMBTRACK, 200);
  Click(IDC_CONTROL_TOPMOST);
  Click(IDC_CONTROL_APPEAR_ONLY);
  EXPECT_EQ(LayeredAlpha(meter()), 55);
  EXPECT_FALSE(::GetWindowLongPtrA(meter(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Press(IDCANCEL);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(LayeredAlpha(meter()), 215);
  EXPECT_TRUE(::GetWindowLongPtrA(meter(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(Checked(IDC_CONTROL_APPEAR_ONLY));
  EXPECT_EQ(s().bAlpha, 40);
  EXPECT_TRUE(page_->apply_enabled());
}

// The dialog runs modally; a timer of this thread answers it from inside its loop.
void CALLBACK AnswerNoticesDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = ::FindWindowA(reinterpret_cast<LPCSTR>(WC_DIALOG), "Battery notices");
  if (!dialog) return;
  ::KillTimer(nullptr, timer);
  ::SetDlgItemTextA(dialog, IDC_NOTICES_LOW_EDIT, "25");
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(ControlPageTest, TheNoticesButtonOpensTheDialogWhoseOkStoresTheLevelsWithoutTheApply) {
  Open();
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AnswerNoticesDialog);
  Press(IDC_CONTROL_NOTICES);
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(s().LowBatteryNotice, 25u);
  EXPECT_EQ(StoredSettings().LowBatteryNotice, 25u);
  EXPECT_FALSE(Enabled(IDC_CONTROL_APPLY));  // nothing left for Apply
  Press(IDCANCEL);  // the page's Cancel does not take them back
  EXPECT_EQ(s().LowBatteryNotice, 25u);
}

// What the system refuses is said, Apply stays on, and the next OK asks again.
TEST_F(ControlPageTest, ARefusedChangeIsSaidAndAskedForAgain) {
  pc_->state().shutdown_privilege = false;  // a limited user
  Fake().fail_global_write = true;
  Open();
  Click(IDC_CONTROL_HIBERNATE);
  Click(IDC_CONTROL_WAKE_ON_RING);
  Press(IDC_CONTROL_APPLY);
  EXPECT_TRUE(page_->apply_enabled());
  ASSERT_EQ(prompts_.entries().size(), 2u);
  EXPECT_EQ(Said(prompts_.entries()[0]), Warning(i18n::Text(i18n::IDS_CONTROL_FLAGS_NOT_SAVED)));
  EXPECT_EQ(Said(prompts_.entries()[1]), Warning(i18n::Text(i18n::IDS_CONTROL_HIBERNATE_NOT_SAVED)));
  Press(IDOK);
  EXPECT_TRUE(Shown()) << "OK keeps the refused choices on show";
  EXPECT_EQ(prompts_.entries().size(), 4u);

  pc_->state().shutdown_privilege = true;
  Fake().fail_global_write = false;
  Press(IDOK);
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(pc_->state().hiber_file_present);
  EXPECT_EQ(Flags(), 0x29u);
  EXPECT_EQ(prompts_.entries().size(), 4u);
}

TEST_F(ControlPageTest, WithoutBatteriesTheMeterGroupStaysDisabledAndTheRestWorks) {
  Boot(0);
  s().TransparentForm = s().DisplayOneBatteryStatus = 1;
  s().BatteryName = "42T4969";
  Open();
  for (int id : {IDC_CONTROL_METER_GROUP, IDC_CONTROL_TRANSPARENT, IDC_CONTROL_ALPHA, IDC_CONTROL_TOPMOST,
                 IDC_CONTROL_APPEAR_ONLY, IDC_CONTROL_AUTO_HIDE, IDC_CONTROL_DISPLAY_LABEL, IDC_CONTROL_ALL_BATTERIES,
                 IDC_CONTROL_ONE_BATTERY, IDC_CONTROL_BATTERY_LIST, IDC_CONTROL_NOTICES})
    EXPECT_FALSE(Enabled(id)) << id;
  Click(IDC_CONTROL_BEEP);
  Click(IDC_CONTROL_WAKE_ON_RING);
  Press(IDC_CONTROL_APPLY);
  EXPECT_EQ(StoredSettings().BeepAfterWakeUp, 1);
  EXPECT_EQ(Flags(), 0x29u);
  EXPECT_EQ(StoredSettings().BatteryName, "42T4969");  // nothing to choose from: the name stays
  Press(IDCANCEL);
  EXPECT_FALSE(Enabled(IDC_CONTROL_ALPHA) || Enabled(IDC_CONTROL_BATTERY_LIST));
}

constexpr UINT kMaxBattery = 5;  // the default laptop's last scheme; Portable/Laptop (1) is active

class TraySchemesTest : public PowerPagesTest {
 protected:
  void Start(SimState state = testing::XpLaptop()) {
    Boot(std::move(state));
    auto menu = std::make_unique<TrayMenu>(app::State().settings, std::make_unique<app::MainWindowHost>(app::State()));
    tray_ = menu.get();
    tray_->set_platform(&meter_.platform());
    meter_.set_tray_menu(std::move(menu));
    ASSERT_TRUE(meter_.Create());
  }
  void TearDown() override { if (tray_) tray_->main_window().DestroyMainWindow(); }
  HMENU top() { return tray_->menu().handle(); }
  HMENU schemes() { return ::GetSubMenu(top(), 2); }
  void Command(UINT id) { ::SendMessageA(meter_.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  CleanKey clean_;
  DisplayTestScope display_;
  MeterWindow meter_{app::State().settings};
  TrayMenu* tray_ = nullptr;
};

TEST_F(TraySchemesTest, TheSubmenuListsTheSystemsSchemesWhenItOpensWithTheActiveOneChecked) {
  Start();
  tray_->UpdateSchemes();
  // Made elsewhere between two openings: a scheme gone and another active. Refilling leaks nothing.
  const long user_objects = fw::LiveUserObjects();
  pc_->state().schemes.erase(pc_->state().schemes.begin());
  pc_->state().active_scheme = kMaxBattery;
  platform::sim::SimScheme ampersand = pc_->state().schemes.back();
  ampersand.id = 9;
  ampersand.name = L"Work & Play";
  pc_->state().schemes.push_back(ampersand);
  tray_->UpdateSchemes();
  EXPECT_EQ(Describe(schemes()).front(), "3000:Portable/Laptop");
  EXPECT_EQ(Describe(schemes())[5], "3005:Work && Play");  // no underlined key
  EXPECT_TRUE(MenuChecked(schemes(), 3004));
  EXPECT_FALSE(MenuChecked(schemes(), 3000));
  EXPECT_EQ(fw::LiveUserObjects(), user_objects);
  EXPECT_FALSE(::GetMenuState(top(), 2, MF_BYPOSITION) & MF_GRAYED);

  pc_->state().schemes.clear();
  tray_->UpdateSchemes();
  EXPECT_TRUE(::GetMenuState(top(), 2, MF_BYPOSITION) & MF_GRAYED);
}

// An item stands for the scheme it showed when the menu was filled, though the list is read
// again meanwhile (as a change of the power source does); a failure is said and changes nothing.
TEST_F(TraySchemesTest, AnItemActivatesTheSchemeItShowedAndAFailureSaysSoAndChangesNothing) {
  Start();
  tray_->UpdateSchemes();
  pc_->state().schemes.erase(pc_->state().schemes.begin());
  meter_.platform().EnumSchemes();
  Command(ID_TRAY_SCHEME_FIRST + 5);  // Max Battery
  EXPECT_EQ(pc_->state().active_scheme, kMaxBattery);
  EXPECT_TRUE(prompts_.entries().empty());

  Fake().fail_activation = true;
  const std::vector<std::string> menu_before = Describe(schemes());
  Command(ID_TRAY_SCHEME_FIRST + 1);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_EQ(Said(prompts_.entries()[0]), Warning(SchemesPage::kActivateFailedMessage));
  EXPECT_EQ(Describe(schemes()), menu_before);
  EXPECT_EQ(pc_->Logged("WritePwrScheme") + pc_->Logged("DeletePwrScheme"), 0u);
  Fake().fail_activation = false;
  Command(ID_TRAY_SCHEME_FIRST + 0);  // gone meanwhile
  EXPECT_EQ(prompts_.entries().size(), 2u);
  EXPECT_EQ(pc_->state().active_scheme, kMaxBattery);

  // A command past the list names no scheme.
  const size_t activations = Fake().Called("SetActivePwrScheme");
  Command(ID_TRAY_SCHEME_FIRST + 6);
  Command(ID_TRAY_SCHEME_LAST);
  EXPECT_EQ(Fake().Called("SetActivePwrScheme"), activations);
  EXPECT_EQ(prompts_.entries().size(), 2u);
}

// Drives the automatic switching dialog from inside its modal loop.
struct DialogScript {
  int mains = -1, battery = -1;  // items to choose; -1 leaves the list alone
  bool ok = true;
  bool exit = false;  // Exit chosen from the tray instead, its icon still answering
} g_script;
// What the dialog showed: each list's items, the chosen one marked with "*".
struct DialogSeen {
  std::vector<std::string> mains_items, battery_items;
  std::string caption;
} g_seen;

std::vector<std::string> Items(HWND combo) {
  std::vector<std::string> items;
  const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
  const int selected = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[64] = {};
    if (::SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
      ::SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    items.push_back((i == selected ? "*" : "") + std::string(text));
  }
  return items;
}

void CALLBACK RunDialogScript(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = ::FindWindowA("#32770", "Automatic switching");
  if (!dialog) return;  // not open yet
  ::KillTimer(nullptr, id);
  g_seen.caption = vantrel::testing::WindowText(dialog);
  HWND mains = ::GetDlgItem(dialog, IDC_AUTO_SWITCH_MAINS), battery = ::GetDlgItem(dialog, IDC_AUTO_SWITCH_BATTERY);
  g_seen.mains_items = Items(mains);
  g_seen.battery_items = Items(battery);
  if (g_script.mains >= 0) ::SendMessageA(mains, CB_SETCURSEL, g_script.mains, 0);
  if (g_script.battery >= 0) ::SendMessageA(battery, CB_SETCURSEL, g_script.battery, 0);
  if (g_script.exit)
    ::SendMessageA(::GetWindow(dialog, GW_OWNER), WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
  else
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(g_script.ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
}

DialogSeen RunDialog(HWND meter, DialogScript script) {
  g_script = script;
  g_seen = {};
  UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &RunDialogScript);
  ::SendMessageA(meter, WM_COMMAND, MAKEWPARAM(ID_TRAY_AUTO_SWITCH, 0), 0);  // returns when it closed
  ::KillTimer(nullptr, timer);
  return g_seen;
}

// The choices as the next start reads them, "mains|battery".
std::string StoredChoices() {
  const settings::AppSettings s = vantrel::testing::StoredSettings();
  return s.SchemeOnMains + "|" + s.SchemeOnBattery;
}

TEST_F(TraySchemesTest, TheDialogStoresBothChoicesByNameKeepsAMissingOneUntilChangedAndGoesWithTheMeter) {
  Start();
  const struct {
    bool deleted;  // the battery's scheme, the last one, deleted elsewhere before this run
    DialogScript script;
    const char* last_battery_item;  // as the dialog showed it, "*" when chosen
    const char* stored;             // "mains|battery"
  } runs[] = {
      {false, {.mains = 1, .battery = 6, .ok = true}, "Max Battery", "Home/Office Desk|Max Battery"},
      {false, {.mains = 0, .battery = 0, .ok = false}, "*Max Battery", "Home/Office Desk|Max Battery"},
      // Missing, it is shown so and outlives a change of the other choice...
      {true, {.mains = 2, .battery = -1, .ok = true}, "*Max Battery (missing)", "Portable/Laptop|Max Battery"},
      // ...until "(do not switch)" clears it; a scheme chosen afresh replaces it.
      {false, {.mains = -1, .battery = 0, .ok = true}, "*Max Battery (missing)", "Portable/Laptop|"},
      {false, {.mains = -1, .battery = 3, .ok = true}, "Minimal Power Management", "Portable/Laptop|Presentation"},
  };
  for (const auto& run : runs) {
    if (run.deleted) pc_->state().schemes.pop_back();
    const DialogSeen seen = RunDialog(meter_.hwnd(), run.script);
    EXPECT_EQ(seen.caption, "Automatic switching");
    EXPECT_EQ(seen.mains_items.size(), pc_->state().schemes.size() + 1) << run.stored;
    ASSERT_FALSE(seen.battery_items.empty()) << run.stored;
    EXPECT_EQ(seen.battery_items.back(), run.last_battery_item) << run.stored;
    EXPECT_EQ(StoredChoices(), run.stored);
    const settings::AppSettings& s = display_.settings();  // what the program runs with, the same
    EXPECT_EQ(s.SchemeOnMains + "|" + s.SchemeOnBattery, run.stored);
  }
  // Exit chosen while it is open: the dialog goes with the meter and what it shows is not stored.
  RunDialog(meter_.hwnd(), {.mains = 1, .battery = 1, .exit = true});
  EXPECT_FALSE(::IsWindow(meter_.hwnd()));
  EXPECT_EQ(::FindWindowA("#32770", "Automatic switching"), nullptr);
  EXPECT_EQ(StoredChoices(), "Portable/Laptop|Presentation");
}

TEST(SimulatedPowerSourceTest, TheLineFollowsTheBatteriesOrTheStateFileEvenWhileRunning) {
  vantrel::testing::PowerTestMachine pc;
  SimState laptop = testing::XpLaptop();  // the first battery discharges
  pc.Boot(laptop);
  SYSTEM_POWER_STATUS status{};
  ASSERT_TRUE(platform::Sys().GetSystemPowerStatus(&status));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_OFFLINE);
  EXPECT_NE(status.BatteryLifeTime, BATTERY_LIFE_UNKNOWN);

  for (auto& b : laptop.batteries) b.power_state = BATTERY_POWER_ON_LINE;
  pc.Boot(laptop);
  ASSERT_TRUE(platform::Sys().GetSystemPowerStatus(&status));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_ONLINE);
  EXPECT_EQ(status.BatteryLifeTime, BATTERY_LIFE_UNKNOWN);

  laptop.batteries.clear();
  pc.Boot(laptop);
  ASSERT_TRUE(platform::Sys().GetSystemPowerStatus(&status));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_ONLINE);  // a desktop
  EXPECT_EQ(status.BatteryFlag, BATTERY_FLAG_NO_BATTERY);

  // Unplugged by an edit of the state file while the machine runs, as the end-to-end tests do.
  ::WritePrivateProfileStringA("Machine", "AcLineStatus", "0", pc.machine().ini_path().c_str());
  ASSERT_TRUE(platform::Sys().GetSystemPowerStatus(&status));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_OFFLINE);
  pc.machine().SetAcLineStatus(9);
  ASSERT_TRUE(platform::Sys().GetSystemPowerStatus(&status));
  EXPECT_EQ(status.ACLineStatus, AC_LINE_UNKNOWN);
  EXPECT_FALSE(platform::Sys().GetSystemPowerStatus(nullptr));
}

}  // namespace
}  // namespace vantrel::power
