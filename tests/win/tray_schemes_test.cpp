// Power schemes from the tray menu on a simulated laptop: the submenu, choosing a scheme, the
// automatic switching dialog, and the simulated power source.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "display/meter_window.h"
#include "framework/prompt.h"
#include "power/schemes_page.h"
#include "power/tray_menu.h"
#include "settings/settings_store.h"
#include "tray_schemes_ids.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using controls::CMenuXP;
using platform::sim::SimState;
using vantrel::testing::Describe;
using vantrel::testing::Said;
using vantrel::testing::Warning;

constexpr UINT kMaxBattery = 5;  // the default laptop's last scheme; Portable/Laptop (1) is active

bool Checked(HMENU menu, UINT command) { return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_CHECKED) != 0; }

class TraySchemesTest : public ::testing::Test {
 protected:
  void Start(SimState state = testing::XpLaptop()) {
    pc_.Boot(std::move(state));
    auto menu = std::make_unique<TrayMenu>(app::State().settings, std::make_unique<app::MainWindowHost>(app::State()));
    tray_ = menu.get();
    tray_->set_platform(&meter_.platform());
    meter_.set_tray_menu(std::move(menu));
    ASSERT_TRUE(meter_.Create());
  }
  void TearDown() override {
    if (tray_) tray_->main_window().DestroyMainWindow();
  }
  HMENU top() { return tray_->menu().handle(); }
  HMENU schemes() { return ::GetSubMenu(top(), 2); }
  void Command(UINT id) { ::SendMessageA(meter_.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  size_t Activations() { return pc_.fake().Called("SetActivePwrScheme"); }

  vantrel::testing::CleanKey clean_;
  vantrel::testing::PowerTestMachine pc_;
  vantrel::testing::DisplayTestScope display_;
  fw::PromptRecorder prompts_;
  display::MeterWindow meter_{app::State().settings};
  TrayMenu* tray_ = nullptr;
};

TEST_F(TraySchemesTest, TheSubmenuListsTheSystemsSchemesWhenItOpensWithTheActiveOneChecked) {
  Start();
  tray_->UpdateSchemes();
  // Made elsewhere between two openings: a scheme gone and another active. Refilling leaks nothing.
  const long user_objects = fw::LiveUserObjects();
  pc_.state().schemes.erase(pc_.state().schemes.begin());
  pc_.state().active_scheme = kMaxBattery;
  platform::sim::SimScheme ampersand = pc_.state().schemes.back();
  ampersand.id = 9;
  ampersand.name = L"Work & Play";
  pc_.state().schemes.push_back(ampersand);
  tray_->UpdateSchemes();
  EXPECT_EQ(Describe(schemes()).front(), "3000:Portable/Laptop");
  EXPECT_EQ(Describe(schemes())[5], "3005:Work && Play");  // no underlined key
  EXPECT_TRUE(Checked(schemes(), 3004));
  EXPECT_FALSE(Checked(schemes(), 3000));
  EXPECT_EQ(fw::LiveUserObjects(), user_objects);
  EXPECT_FALSE(::GetMenuState(top(), 2, MF_BYPOSITION) & MF_GRAYED);

  pc_.state().schemes.clear();
  tray_->UpdateSchemes();
  EXPECT_TRUE(::GetMenuState(top(), 2, MF_BYPOSITION) & MF_GRAYED);
}

// An item stands for the scheme it showed when the menu was filled, though the list is read
// again meanwhile (as a change of the power source does); a failure is said and changes nothing.
TEST_F(TraySchemesTest, AnItemActivatesTheSchemeItShowedAndAFailureSaysSoAndChangesNothing) {
  Start();
  tray_->UpdateSchemes();
  pc_.state().schemes.erase(pc_.state().schemes.begin());
  meter_.platform().EnumSchemes();
  Command(ID_TRAY_SCHEME_FIRST + 5);  // Max Battery
  EXPECT_EQ(pc_.state().active_scheme, kMaxBattery);
  EXPECT_TRUE(prompts_.entries().empty());

  pc_.fake().fail_activation = true;
  const std::vector<std::string> menu_before = Describe(schemes());
  Command(ID_TRAY_SCHEME_FIRST + 1);
  ASSERT_EQ(prompts_.entries().size(), 1u);
  EXPECT_EQ(Said(prompts_.entries()[0]), Warning(SchemesPage::kActivateFailedMessage));
  EXPECT_EQ(Describe(schemes()), menu_before);
  EXPECT_EQ(pc_.Logged("WritePwrScheme") + pc_.Logged("DeletePwrScheme"), 0u);
  pc_.fake().fail_activation = false;
  Command(ID_TRAY_SCHEME_FIRST + 0);  // gone meanwhile
  EXPECT_EQ(prompts_.entries().size(), 2u);
  EXPECT_EQ(pc_.state().active_scheme, kMaxBattery);

  // A command past the list names no scheme.
  const size_t activations = Activations();
  Command(ID_TRAY_SCHEME_FIRST + 6);
  Command(ID_TRAY_SCHEME_LAST);
  EXPECT_EQ(Activations(), activations);
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
    if (run.deleted) pc_.state().schemes.pop_back();
    const DialogSeen seen = RunDialog(meter_.hwnd(), run.script);
    EXPECT_EQ(seen.caption, "Automatic switching");
    EXPECT_EQ(seen.mains_items.size(), pc_.state().schemes.size() + 1) << run.stored;
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
