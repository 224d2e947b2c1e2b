// The Schemes page's list of every setting of a plan, on a simulated plan laptop behind the
// recorder: edits in place by keyboard, Default, a setting fixed by Group Policy, and an Apply
// clicked while an edit is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "all_settings_ids.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "power/schemes_page.h"
#include "schemes_ids.h"
#include "win/plan_test_support.h"

namespace vantrel::power {
namespace {

namespace g = platform::guids;
using platform::PlanGuid;
using platform::sim::SimState;

// Balanced (the active plan) sets its boost mode itself: Aggressive plugged in, Enabled on battery.
SimState BoostLaptop() {
  SimState state = testing::PlanLaptop();
  state.plans.plans[0].values.push_back({g::kBoostMode, 2, 1});
  return state;
}

class AllSettingsTest : public ::testing::Test, protected testing::PageControls {
 protected:
  void SetUp() override {
    pc_ = std::make_unique<testing::PlanTestMachine>(BoostLaptop());
    host_.hide_on_close = false;
    ASSERT_TRUE(host_.Create());
    page_ = std::make_unique<SchemesPage>(host_.hwnd());
    ASSERT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOW);
    tab_ = page_->tabs().all_settings();
    ASSERT_NE(tab_, nullptr);
    // The last tab, chosen as the user chooses it.
    HWND tabs = Item(IDC_SCHEME_TABS);
    ::SendMessageA(tabs, TCM_SETCURSEL, 2, 0);
    NMHDR header{tabs, IDC_SCHEME_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageA(page_->hwnd(), WM_NOTIFY, IDC_SCHEME_TABS, reinterpret_cast<LPARAM>(&header));
    pc_->recorder().calls.clear();
  }
  void TearDown() override {
    if (page_) page_->DestroyWindow();
    page_.reset();
    pc_.reset();
  }
  HWND page() const override { return page_->hwnd(); }
  HWND Tab(int id) const { return ::GetDlgItem(tab_->hwnd(), id); }
  HWND List() const { return Tab(IDC_ALL_SETTINGS_LIST); }
  void Key(HWND window, WPARAM key) const { ::SendMessageA(window, WM_KEYDOWN, key, 0); }
  // The row of a setting selected, as a click on it does.
  void Select(const PlanGuid& setting) const {
    const int item = tab_->ItemOf(platform::ToGuid(setting));
    ASSERT_GE(item, 0);
    ListView_SetItemState(List(), item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  std::string Cell(const PlanGuid& setting, int column) const {
    char text[128] = {};
    ListView_GetItemText(List(), tab_->ItemOf(platform::ToGuid(setting)), column, text, sizeof text);
    return text;
  }
  // The column by Left or Right, the editor by Enter or F2, keys to it, and Enter or Escape (0: a
  // click on Apply with the editor open).
  void Edit(const PlanGuid& setting, WPARAM side, WPARAM open, std::initializer_list<WPARAM> keys, WPARAM close,
            const char* typed = nullptr) const {
    Select(setting);
    Key(List(), side);
    Key(List(), open);
    ASSERT_TRUE(tab_->editing());
    HWND editor = ::GetFocus();
    ASSERT_TRUE(editor == Tab(IDC_ALL_SETTINGS_CHOICE) || editor == Tab(IDC_ALL_SETTINGS_NUMBER));
    if (typed) {
      ::SendMessageA(editor, EM_SETSEL, 0, -1);
      ::SendMessageA(editor, WM_CHAR, '\b', 0);
      for (const char* c = typed; *c; ++c) ::SendMessageA(editor, WM_CHAR, static_cast<unsigned char>(*c), 0);
    }
    for (WPARAM key : keys) Key(editor, key);
    if (close) {
      Key(editor, close);
    } else {
      Press(IDC_APPLY);
      testing::Pump(50);
    }
    EXPECT_FALSE(tab_->editing());
    EXPECT_FALSE(::IsWindowVisible(editor));
    EXPECT_NE(::GetFocus(), editor);
  }

  std::unique_ptr<testing::PlanTestMachine> pc_;
  testing::MainWindowStandIn host_;
  std::unique_ptr<SchemesPage> page_;
  AllSettingsTab* tab_ = nullptr;
};

TEST_F(AllSettingsTest, EditsInPlaceFitTheSettingEscapeDropsThemAndApplyTakesThem) {
  struct Row {
    PlanGuid setting;
    WPARAM side, open;
    std::initializer_list<WPARAM> keys;
    WPARAM close;
    const char* typed;
    int column;
    const char* shown;
    bool changed;
  } rows[] = {
      {g::kBoostMode, VK_LEFT, VK_F2, {VK_UP}, VK_ESCAPE, nullptr, 1, "Aggressive", false},
      {g::kIdleThreshold, VK_LEFT, VK_RETURN, {}, VK_RETURN, "250", 1, "100 %", true},
      {g::kIdleThreshold, VK_RIGHT, VK_F2, {VK_DOWN, VK_DOWN}, VK_RETURN, nullptr, 2, "48 %", true},
      {g::kVideoTimeout, VK_RIGHT, VK_RETURN, {}, VK_ESCAPE, "5", 2, "300 Seconds", false},
      {g::kVideoTimeout, VK_LEFT, VK_RETURN, {}, VK_RETURN, "", 1, "600 Seconds", false},
      {g::kBoostMode, VK_RIGHT, VK_RETURN, {VK_DOWN}, 0, nullptr, 2, "Aggressive", false},
  };
  for (const Row& row : rows) {
    Edit(row.setting, row.side, row.open, row.keys, row.close, row.typed);
    EXPECT_EQ(Cell(row.setting, row.column), row.shown) << row.typed;
    EXPECT_EQ(page_->apply_enabled(), row.changed) << row.typed;
    // Cancel puts the plan back as it is.
    ::SendMessageA(page_->hwnd(), WM_COMMAND, IDCANCEL, 0);
  }
  EXPECT_EQ(pc_->Value(0, g::kBoostMode).dc, 2u) << "the click on Apply took the editor's value";
}

TEST_F(AllSettingsTest, DefaultGivesThePersonalitysValuesAndALockedSettingTakesNoEdit) {
  EXPECT_NE(Cell(g::kBoostMode, 0).find(i18n::Text(i18n::IDS_ALL_SETTINGS_HIDDEN)), std::string::npos);
  EXPECT_EQ(Cell(g::kBoostMode, 1) + "|" + Cell(g::kBoostMode, 2), "Aggressive|Enabled");
  EXPECT_EQ(Cell(g::kStandbyTimeout, 1), "1800 Seconds");
  Select(g::kBoostMode);
  ASSERT_TRUE(::IsWindowEnabled(Tab(IDC_ALL_SETTINGS_DEFAULT)));
  ::SendMessageA(Tab(IDC_ALL_SETTINGS_DEFAULT), BM_CLICK, 0, 0);
  EXPECT_EQ(Cell(g::kBoostMode, 2), "Aggressive") << "Balanced's default on battery";
  Press(IDC_APPLY);
  EXPECT_EQ(pc_->Value(0, g::kBoostMode).ac, 2u);
  EXPECT_EQ(pc_->Value(0, g::kBoostMode).dc, 2u);

  pc_->recorder().calls.clear();
  Select(g::kAllowWakeTimers);
  EXPECT_NE(Cell(g::kAllowWakeTimers, 0).find(i18n::Text(i18n::IDS_ALL_SETTINGS_LOCKED)), std::string::npos);
  EXPECT_EQ(testing::WindowText(Tab(IDC_ALL_SETTINGS_NOTE)), i18n::Text(i18n::IDS_ALL_SETTINGS_LOCKED_NOTE));
  EXPECT_FALSE(::IsWindowEnabled(Tab(IDC_ALL_SETTINGS_DEFAULT)));
  for (WPARAM key : {VK_RETURN, VK_F2}) {
    Key(List(), key);
    EXPECT_FALSE(tab_->editing());
  }
  ::SendMessageA(List(), WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_FALSE(tab_->editing());
  EXPECT_FALSE(page_->apply_enabled());
  EXPECT_EQ(pc_->recorder().Called("PowerWrite"), 0u);
}

}  // namespace
}  // namespace vantrel::power
