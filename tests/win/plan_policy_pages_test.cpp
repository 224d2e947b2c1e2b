// The Policy and Control pages on the plan back end: a simulated plan laptop behind a recorder
// of every write. Buttons, lid, alarms and the console lock hold whichever plan is active.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "control_ids.h"
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
using platform::sim::SimState;
using testing::PlanLaptop;

class PlanPolicyPagesTest : public ::testing::Test, protected testing::PageControls {
 protected:
  template <class Page, class... Args>
  void Open(SimState state, Args&&... args) {
    page_.reset();
    if (!pc_) pc_ = std::make_unique<testing::PlanTestMachine>(std::move(state));
    ASSERT_TRUE(host_.IsWindow() || host_.Create(640, 520));
    auto page = std::make_unique<Page>(host_.hwnd(), std::forward<Args>(args)...);
    ASSERT_TRUE(page->Create());
    ::ShowWindow(page->hwnd(), SW_SHOW);
    page_ = std::move(page);
  }
  void TearDown() override {
    page_.reset();
    for (const char* write : testing::kXpWrites) EXPECT_EQ(pc_->recorder().Called(write), 0u) << write;
  }
  HWND page() const override { return page_->hwnd(); }
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

TEST_F(PlanPolicyPagesTest, AnActionIsShownFromTheActivePlanAndWrittenToEveryPlanOnItsSideAsAnIndex) {
  SimState state = PlanLaptop();
  state.plans.active = g::kPowerSaver;
  state.plans.plans[2].values.push_back({g::kLidClose, 0, 3});  // nothing on mains, shut down on battery
  Open<PolicyPage>(std::move(state));
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
    pc_->recorder().calls.clear();
    Choose(IDC_POLICY_ACTION, row.position);
    Press(IDC_APPLY);
    EXPECT_EQ(pc_->recorder().Called("PowerWrite"), row.writes) << row.event;
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
}

TEST_F(PlanPolicyPagesTest, AnAlarmsLevelEnableAndNotificationsGoToEveryPlan) {
  Open<PolicyPage>(PlanLaptop());
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

TEST_F(PlanPolicyPagesTest, ControlsWithoutASettingOrFixedByPolicyAreDisabledWithTheirReasonAndRefusalsAreSaid) {
  SimState state = PlanLaptop();
  state.plans.policy_locked = g::kLidClose;
  state.plans.writes_ignored = g::kPowerButton;
  Open<PolicyPage>(std::move(state));
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

TEST_F(PlanPolicyPagesTest, ThePasswordOnWakeGoesToEveryPlanAndTheOtherFlagsAreNeverWritten) {
  const std::string none = i18n::Text(i18n::IDS_SCHEMES_NO_COUNTERPART), locked = i18n::Text(i18n::IDS_SCHEMES_LOCKED);
  for (bool fixed : {true, false}) {
    SimState state = PlanLaptop();
    if (fixed) state.plans.policy_locked = g::kLockConsoleOnWake;
    page_.reset();
    pc_.reset();
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
  EXPECT_EQ(pc_->recorder().Called("PowerWrite"), 6u) << "the console lock alone, AC and DC of each plan";
  Open<display::CControlPage>({}, Context());
  EXPECT_FALSE(Checked(IDC_CONTROL_PASSWORD_LOGON));
}

}  // namespace
}  // namespace vantrel::power
