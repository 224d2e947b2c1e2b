// The Schemes page, its editor tabs and the tray's schemes on the plan back end: a simulated
// plan laptop behind a recorder of every write, with the page's own tabs.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "power/core/scheme_switch_rules.h"
#include "power/scheme_switcher.h"
#include "power/schemes_page.h"
#include "power/tray_menu.h"
#include "scheme_editor_ids.h"
#include "schemes_ids.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using platform::sim::SimPowerBackend;
using platform::sim::SimState;
using testing::PlanTestMachine;

SimState PlanLaptop() {
  SimState state = testing::PlanLaptop();
  state.plans.plans[1].name = L"High \u65e5\u672c";  // a name outside the code page
  return state;
}

bool Checked(HMENU menu, UINT command) { return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0; }

// The controls of one editor tab.
struct TabControls : testing::PageControls {
  HWND tab = nullptr;
  HWND page() const override { return tab; }
};

class PlanPagesTest : public ::testing::Test, protected testing::PageControls {
 protected:
  void Open(SimState state = PlanLaptop()) {
    pc_ = std::make_unique<PlanTestMachine>(std::move(state));
    host_.hide_on_close = false;
    ASSERT_TRUE(host_.IsWindow() || host_.Create());
    page_ = std::make_unique<SchemesPage>(host_.hwnd(), nullptr,
                                          [](HWND) { return std::optional<std::string>("Road Trip"); });
    ASSERT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOW);
    for (SchemeTabKind kind : {SchemeTabKind::User, SchemeTabKind::Machine})
      tabs_[static_cast<int>(kind)].tab = page_->tabs().page(kind) ? page_->tabs().page(kind)->hwnd() : nullptr;
    pc_->recorder().calls.clear();
  }
  void TearDown() override {
    if (page_) page_->DestroyWindow();
    page_.reset();
    for (const char* write : testing::kXpWrites) EXPECT_EQ(pc_->recorder().Called(write), 0u) << write;
    pc_.reset();
  }
  HWND page() const override { return page_->hwnd(); }
  TabControls& User() { return tabs_[0]; }
  TabControls& Machine() { return tabs_[1]; }
  std::wstring ComboTextW(int index) const {
    wchar_t text[64] = {};
    if (::SendMessageW(Item(IDC_SCHEME_COMBO), CB_GETLBTEXTLEN, index, 0) < 64)
      ::SendMessageW(Item(IDC_SCHEME_COMBO), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
  }

  std::unique_ptr<PlanTestMachine> pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<SchemesPage> page_;
  TabControls tabs_[2];
};

TEST_F(PlanPagesTest, ListsThePlansByTheirWideNamesAndDisablesFieldsWithoutASettingOrFixedByPolicyWithTheReason) {
  SimState state = PlanLaptop();
  state.plans.active = g::kHighPerformance;
  state.plans.policy_locked = g::kVideoTimeout;
  Open(std::move(state));
  ASSERT_TRUE(page_->on_plans());
  ASSERT_EQ(ListCount(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(ComboTextW(0), L"Balanced");
  EXPECT_EQ(ComboTextW(1), L"High \u65e5\u672c") << "kept wide, as read";
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 1);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), "Favors performance, but may use more energy.");
  EXPECT_EQ(page_->tabs().tab_count(), 3) << "USER, MACHINE, ALL SETTINGS: nothing of PROCESSOR has a setting";
  EXPECT_EQ(page_->tabs().page(SchemeTabKind::Processor), nullptr);
  const std::string none = i18n::Text(i18n::IDS_SCHEMES_NO_COUNTERPART), locked = i18n::Text(i18n::IDS_SCHEMES_LOCKED);
  struct Row {
    TabControls* tab;
    int id;
    const std::string* tip;  // null: enabled
  } rows[] = {
      {&User(), IDC_USER_MAX_SLEEP_AC, &none},       {&User(), IDC_USER_OPTIMIZE_DC, &none},
      {&User(), IDC_USER_FAN_TOLERANCE_AC, &none},   {&Machine(), IDC_MACHINE_DOZE_AC, &none},
      {&Machine(), IDC_MACHINE_MIN_SLEEP_DC, &none}, {&User(), IDC_USER_VIDEO_TIMEOUT_AC, &locked},
      {&User(), IDC_USER_VIDEO_TIMEOUT_DC, &locked}, {&User(), IDC_USER_SPINDOWN_TIMEOUT_DC, nullptr},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.tab->Enabled(row.id), row.tip == nullptr) << row.id;
    EXPECT_EQ(row.tab->Tip(row.id), row.tip ? *row.tip : "") << row.id;
  }
  // Changed anyway (a disabled field still takes a message): never written, nothing said.
  fw::PromptRecorder prompts;
  ::SendMessageA(User().Item(IDC_USER_OPTIMIZE_AC), BM_SETCHECK, BST_CHECKED, 0);
  Machine().Type(IDC_MACHINE_DOZE_AC, "01000");
  User().Type(IDC_USER_SPINDOWN_TIMEOUT_DC, "00700");
  Press(IDC_APPLY);
  EXPECT_EQ(pc_->recorder().Called("PowerWrite"), 1u) << "the disk timeout alone";
  EXPECT_EQ(pc_->Value(1, g::kDiskTimeout).dc, 420u);
  EXPECT_TRUE(prompts.entries().empty());
}

TEST_F(PlanPagesTest, AValueThatDoesNotTakeIsReportedWithTheFailureMessage) {
  SimState state = PlanLaptop();
  state.plans.writes_ignored = g::kDiskTimeout;
  Open(std::move(state));
  fw::PromptRecorder prompts;
  User().Type(IDC_USER_SPINDOWN_TIMEOUT_AC, "00700");
  Press(IDC_APPLY);
  ASSERT_EQ(prompts.entries().size(), 1u);
  EXPECT_EQ(testing::Said(prompts.entries()[0]), testing::Warning(SchemesPage::kWriteFailedMessage));
  EXPECT_TRUE(page_->apply_enabled()) << "Apply stays on for another try";
}

TEST_F(PlanPagesTest, SaveAsDeleteAndApplyOnThePlanStore) {
  Open();
  // Save As from Balanced with an edit: a copy under a new GUID, named, then the edit.
  User().Type(IDC_USER_SPINDOWN_TIMEOUT_DC, "00700");
  Press(IDC_SCHEME_SAVE_AS);
  ASSERT_EQ(pc_->store().plans.size(), 4u);
  const platform::sim::SimPlan& copy = pc_->store().plans[3];
  EXPECT_EQ(copy.name, L"Road Trip");
  EXPECT_EQ(pc_->Value(3, g::kDiskTimeout).dc, 420u);
  EXPECT_NE(pc_->Value(0, g::kDiskTimeout).dc, 420u) << "the source keeps its value";
  EXPECT_EQ(Selected(IDC_SCHEME_COMBO), 3);
  EXPECT_EQ(User().Text(IDC_USER_SPINDOWN_TIMEOUT_DC), "0:07:00") << "the copy is shown";
  // A name taken: nothing made.
  fw::PromptRecorder prompts(IDOK);
  Press(IDC_SCHEME_SAVE_AS);
  EXPECT_EQ(pc_->store().plans.size(), 4u);
  ASSERT_EQ(prompts.entries().size(), 1u);
  // An edit of each tab of the copy, then Apply: written, and the copy made active.
  User().Type(IDC_USER_VIDEO_TIMEOUT_DC, "02000");
  Machine().Type(IDC_MACHINE_DOZE_S4_DC, "04500");
  Press(IDC_APPLY);
  EXPECT_EQ(pc_->Value(3, g::kHibernateTimeout).dc, 2700u);
  ASSERT_TRUE(pc_->store().active == copy.guid);
  // Delete the active plan: another becomes active first, then it goes.
  prompts.clear();
  pc_->recorder().calls.clear();
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
    bool modes;      // the system has the four functions
    int line;        // what the machine runs on: 0 battery, 1 mains, 255 unknown
    bool ignored;    // writes answer success and change nothing
    int checked;     // the mode item checked, -1 none
    UINT choice;     // the mode item chosen
    platform::PlanGuid ac, dc;  // the modes afterwards
    bool warned;
  } rows[] = {
      {"no functions", false, 1, false, -1, 2, g::kModeBalanced, kUnknownMode, false},
      {"on mains", true, 1, false, 1, 2, g::kModeBestPerformance, kUnknownMode, false},
      {"on battery, a mode unknown to us", true, 0, false, -1, 0, g::kModeBalanced, g::kModeBestEfficiency, false},
      {"source unknown: mains", true, 255, false, 1, 0, g::kModeBestEfficiency, kUnknownMode, false},
      {"a write that does not take", true, 1, true, 1, 2, g::kModeBalanced, kUnknownMode, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    SimState state = PlanLaptop();
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
      EXPECT_EQ(Checked(schemes, ID_TRAY_SCHEME_FIRST + k), k == 0) << "the active plan is checked, not " << k;
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
    EXPECT_TRUE(Checked(again, ID_TRAY_SCHEME_FIRST + 1) && !Checked(again, ID_TRAY_SCHEME_FIRST + 2));
    for (const char* write : testing::kXpWrites) EXPECT_EQ(pc.recorder().Called(write), 0u) << write;
  }
}

TEST_F(PlanPagesTest, AutomaticSwitchingFollowsAPlanByGuidAndMatchesAChoiceByNameOnce) {
  Open();
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

TEST_F(PlanPagesTest, WithoutAnySchemeInterfaceThePageSaysSoAndWritesNothing) {
  SimState state = PlanLaptop();
  state.power_backend = SimPowerBackend::None;
  Open(std::move(state));
  EXPECT_FALSE(page_->on_plans());
  EXPECT_EQ(ListCount(IDC_SCHEME_COMBO), 0);
  EXPECT_EQ(Text(IDC_SCHEME_DESCRIPTION), i18n::Text(i18n::IDS_SCHEMES_UNREADABLE));
  EXPECT_FALSE(Enabled(IDC_SCHEME_SAVE_AS) || Enabled(IDC_SCHEME_DELETE));
  // Even a stray notification of each button writes nothing.
  for (int id : {IDC_SCHEME_SAVE_AS, IDC_SCHEME_DELETE, IDC_APPLY})
    ::SendMessageA(page(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
  EXPECT_EQ(pc_->recorder().Called("Power"), 0u);
}

}  // namespace
}  // namespace vantrel::power
