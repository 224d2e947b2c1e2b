// The Policy page against the simulated laptop on either back end (and the Control page's
// console lock on plans): what it shows for each event, what a store writes where, and when
// Apply is enabled. A recorder notes every write.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "control_ids.h"
#include "controls/icon_combo.h"
#include "display/control_page.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "policy_ids.h"
#include "power/policy_page.h"
#include "resource.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using controls::CIconComboBox;
using platform::sim::SimState;
using testing::PlanLaptop;

constexpr COLORREF kGreen = CIconComboBox::kSupportedColour;
constexpr COLORREF kDarkRed = CIconComboBox::kUnsupportedColour;

class PolicyPageTest : public ::testing::Test, protected testing::PageControls {
 protected:
  // A fresh machine, the XP laptop unless told, and the page (or another one) on it.
  template <class Page = PolicyPage, class... Args>
  void Open(SimState state = testing::XpLaptop(), Args&&... args) {
    page_.reset();
    pc_.reset();  // the old machine's seam goes before the new one's
    pc_ = std::make_unique<testing::PlanTestMachine>(std::move(state));
    Show<Page>(std::forward<Args>(args)...);
  }
  template <class Page, class... Args>
  void Show(Args&&... args) {
    page_.reset();
    ASSERT_TRUE(host_.IsWindow() || host_.Create(640, 520));
    auto page = std::make_unique<Page>(host_.hwnd(), std::forward<Args>(args)...);
    ASSERT_TRUE(page->Create());
    ::ShowWindow(page->hwnd(), SW_SHOW);
    page_ = std::move(page);
  }
  void TearDown() override {
    page_.reset();
    if (pc_ && pc_->state().power_backend == platform::sim::SimPowerBackend::Plans) {
      for (const char* write : testing::kXpWrites) EXPECT_EQ(Fake().Called(write), 0u) << write;
    }
  }

  HWND page() const override { return page_->hwnd(); }
  bool ApplyEnabled() const { return page_->apply_enabled(); }
  COLORREF ItemColour(int id, int index) const {
    auto* list = dynamic_cast<CIconComboBox*>(fw::Window::FromHandle(Item(id)));
    const controls::ComboItemData* data = list ? list->ItemData(index) : nullptr;
    return data ? data->text_colour : CLR_INVALID;
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

  std::unique_ptr<testing::PlanTestMachine> pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<ui::CPage> page_;
  settings::AppSettings settings_;
  fw::PromptRecorder prompts_;  // a refusal is said, never left waiting for a click
};

// Some texts are misspelled on purpose: the program's texts are kept byte for byte, and a
// well-meant correction must fail here.
TEST_F(PolicyPageTest, ShowsTheEventsAndActionsInItsOwnWordsColouredByWhatTheMachineHasAndCan) {
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
  for (const auto& c : colours) EXPECT_EQ(ItemColour(c.list, c.index), c.colour) << c.list << " item " << c.index;

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
  EXPECT_FALSE(ApplyEnabled()) << "loading the check marks is not a change";
  // With the focus in a coloured list, F10 still opens the main window's menu bar.
  Send(IDC_POLICY_EVENT, WM_SYSKEYDOWN, VK_F10, 0x00440001);
  Send(IDC_POLICY_EVENT, WM_SYSKEYUP, VK_F10, 0xC0440001);
  EXPECT_EQ(host_.menu_requests, 1);
  EXPECT_EQ(Selected(IDC_POLICY_EVENT), 0);

  // The lid can still be chosen and stored.
  Choose(IDC_POLICY_EVENT, kLidCloseEvent);
  Choose(IDC_POLICY_SOURCE, 1);
  Choose(IDC_POLICY_ACTION, 3);
  EXPECT_TRUE(ApplyEnabled());
  Click(IDC_APPLY);
  EXPECT_EQ(Global().LidCloseDc.Action, PowerActionShutdown);
  EXPECT_EQ(Global().LidCloseAc.Action, PowerActionSleep);
  EXPECT_FALSE(ApplyEnabled());
}

// Bits no item shows are kept; an action no item shows (8 turns the display off on newer
// systems) or a level over 100 is written back as it was until the user changes it.
TEST_F(PolicyPageTest, ActionsFlagsAndNotificationsAreStoredAndWhatThePageCannotShowKept) {
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
  EXPECT_TRUE(ApplyEnabled());
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

TEST_F(PolicyPageTest, ABatteryAlarmIsEditedInItsOwnEntryWrittenOnApplyAndDroppedOnCancel) {
  Open();
  Choose(IDC_POLICY_SOURCE, 1);
  Choose(IDC_POLICY_EVENT, kFirstBatteryEvent + 1);
  EXPECT_FALSE(ApplyEnabled());
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
  EXPECT_TRUE(ApplyEnabled());
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
  EXPECT_FALSE(ApplyEnabled());

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
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_EQ(host_.closes, 1);
}

TEST_F(PolicyPageTest, IdleAndOverThrottledLandInTheChosenSchemeWhichKeepsItsNameAndTheActiveOneIsReapplied) {
  SimState state = testing::XpLaptop();
  state.schemes[3].policy.user.IdleDc.Action = PowerActionSleep;
  Open(std::move(state));
  const platform::sim::SimScheme before = pc_->state().schemes[3];
  Choose(IDC_POLICY_EVENT, kIdleEvent);
  EXPECT_TRUE(Enabled(IDC_POLICY_SCHEME));
  Choose(IDC_POLICY_SCHEME, 3);
  Choose(IDC_POLICY_SOURCE, 1);
  EXPECT_EQ(Selected(IDC_POLICY_ACTION), 1) << "Sleep";
  EXPECT_FALSE(ApplyEnabled());
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
TEST_F(PolicyPageTest, AFailedStoreIsSaidWritesNothingAndKeepsApply) {
  Open();
  Fake().fail_global_read = true;
  Choose(IDC_POLICY_ACTION, 3);
  Click(IDC_APPLY);
  EXPECT_TRUE(ApplyEnabled());
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
  EXPECT_FALSE(ApplyEnabled());
  EXPECT_EQ(Fake().Called("WritePwrScheme"), 2u);
}

// On plans, buttons, lid, alarms and the console lock hold whichever plan is active: a change
// goes to every plan.
TEST_F(PolicyPageTest, OnPlansAnActionIsShownFromTheActivePlanAndAnEditWrittenToEveryPlanOnItsSide) {
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

TEST_F(PolicyPageTest, OnPlansControlsWithoutASettingOrFixedByPolicyAreDisabledWithTheirReasonAndRefusalsSaid) {
  SimState state = PlanLaptop();
  state.plans.policy_locked = g::kLidClose;
  state.plans.writes_ignored = g::kPowerButton;
  Open(std::move(state));
  const std::string none = i18n::Text(i18n::IDS_SCHEMES_NO_COUNTERPART), locked = i18n::Text(i18n::IDS_SCHEMES_LOCKED);
  struct Row {
    int event, id;
    const std::string* tip;  // null: enabled
  } rows[] = {
      {kLidCloseEvent, IDC_POLICY_ACTION, &locked},          {kIdleEvent, IDC_POLICY_ACTION, &none},
      {kFirstBatteryEvent, IDC_POLICY_ALARM_LEVEL, nullptr}, {kFirstBatteryEvent, IDC_POLICY_EVENT_CODES, nullptr},
      {kFirstBatteryEvent, IDC_POLICY_FLAGS, &none},         {kFirstBatteryEvent, IDC_POLICY_MIN_STATE, &none},
      {kPowerButtonEvent, IDC_POLICY_FLAGS, &none},          {kPowerButtonEvent, IDC_POLICY_EVENT_CODES, &none},
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

TEST_F(PolicyPageTest, OnPlansTheControlPagesPasswordOnWakeGoesToEveryPlanAndTheOtherFlagsAreNeverWritten) {
  const std::string none = i18n::Text(i18n::IDS_SCHEMES_NO_COUNTERPART), locked = i18n::Text(i18n::IDS_SCHEMES_LOCKED);
  for (bool fixed : {true, false}) {
    SimState state = PlanLaptop();
    if (fixed) state.plans.policy_locked = g::kLockConsoleOnWake;
    Open<display::CControlPage>(std::move(state), Context());
    EXPECT_TRUE(Checked(IDC_CONTROL_PASSWORD_LOGON));
    EXPECT_EQ(Enabled(IDC_CONTROL_PASSWORD_LOGON), !fixed);
    EXPECT_EQ(Tip(IDC_CONTROL_PASSWORD_LOGON), fixed ? locked : "");
    for (int id : {IDC_CONTROL_MULTI_BATTERY, IDC_CONTROL_SYSTRAY_METER, IDC_CONTROL_VIDEO_DIMMING,
                   IDC_CONTROL_WAKE_ON_RING})
      EXPECT_TRUE(!Enabled(id) && !Checked(id) && Tip(id) == none) << id;
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

}  // namespace
}  // namespace vantrel::power
