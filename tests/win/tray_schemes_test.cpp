// Power schemes from the tray menu on a simulated laptop: the submenu, choosing a scheme, the
// automatic switching dialog, and the meter switching with the power source.
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
  void Broadcast(WPARAM event = PBT_APMPOWERSTATUSCHANGE) {
    ::SendMessageA(meter_.hwnd(), WM_POWERBROADCAST, event, 0);
  }
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
  EXPECT_EQ(Describe(top())[2], "popup:Power Schemes");
  tray_->UpdateSchemes();
  const std::vector<std::string> expected = {
      "3000:Home/Office Desk", "3001:Portable/Laptop", "3002:Presentation", "3003:Always On",
      "3004:Minimal Power Management", "3005:Max Battery", "-", "3099:Automatic switching..."};
  EXPECT_EQ(Describe(schemes()), expected);
  EXPECT_TRUE(Checked(schemes(), 3001));
  EXPECT_FALSE(Checked(schemes(), 3000));

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
  EXPECT_EQ(vantrel::testing::Said(prompts_.entries()[0]), vantrel::testing::Warning(SchemesPage::kActivateFailedMessage));
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
};
// What the dialog showed: each list's items, the chosen one marked with "*".
struct DialogSeen {
  std::vector<std::string> mains_items, battery_items;
  std::string caption;
};
DialogScript g_script;
DialogSeen g_seen;

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
  const DialogScript& s = g_script;
  DialogSeen& seen = g_seen;
  seen.caption = vantrel::testing::WindowText(dialog);
  HWND mains = ::GetDlgItem(dialog, IDC_AUTO_SWITCH_MAINS), battery = ::GetDlgItem(dialog, IDC_AUTO_SWITCH_BATTERY);
  seen.mains_items = Items(mains);
  seen.battery_items = Items(battery);
  if (s.mains >= 0) ::SendMessageA(mains, CB_SETCURSEL, s.mains, 0);
  if (s.battery >= 0) ::SendMessageA(battery, CB_SETCURSEL, s.battery, 0);
  ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(s.ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
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

TEST_F(TraySchemesTest, TheDialogStoresBothChoicesByNameAndKeepsAMissingOneUntilItIsChanged) {
  Start();
  settings::AppSettings& s = display_.settings();
  const DialogSeen first = RunDialog(meter_.hwnd(), {.mains = 1, .battery = 6, .ok = true});
  EXPECT_EQ(first.caption, "Automatic switching");
  ASSERT_EQ(first.mains_items.size(), 7u);
  EXPECT_EQ(first.mains_items[0], "*(do not switch)");
  EXPECT_EQ(first.battery_items[6], "Max Battery");
  EXPECT_EQ(s.SchemeOnMains + "|" + s.SchemeOnBattery, "Home/Office Desk|Max Battery");
  EXPECT_EQ(StoredChoices(), "Home/Office Desk|Max Battery");

  // Cancel changes nothing.
  const DialogSeen cancelled = RunDialog(meter_.hwnd(), {.mains = 0, .battery = 0, .ok = false});
  EXPECT_EQ(cancelled.battery_items[6], "*Max Battery");
  EXPECT_EQ(StoredChoices(), "Home/Office Desk|Max Battery");

  // The battery scheme is deleted elsewhere: it shows as missing and outlives a change of the
  // other choice; "(do not switch)" clears it, and a scheme chosen afresh replaces it.
  pc_.state().schemes.pop_back();
  const DialogSeen other = RunDialog(meter_.hwnd(), {.mains = 2, .battery = -1, .ok = true});
  ASSERT_EQ(other.battery_items.size(), 7u);
  EXPECT_EQ(other.battery_items[6], "*Max Battery (missing)");
  EXPECT_EQ(other.mains_items.size(), 6u) << "the mains choice is there";
  EXPECT_EQ(StoredChoices(), "Portable/Laptop|Max Battery");
  RunDialog(meter_.hwnd(), {.mains = -1, .battery = 0, .ok = true});
  EXPECT_EQ(StoredChoices(), "Portable/Laptop|");
  RunDialog(meter_.hwnd(), {.mains = -1, .battery = 3, .ok = true});
  EXPECT_EQ(StoredChoices(), "Portable/Laptop|Presentation");
  EXPECT_EQ(s.SchemeOnBattery, "Presentation");
}

// Exit chosen while the dialog is open (the tray icon still answers): the dialog goes with the
// meter and nothing is stored.
void CALLBACK ExitFromTheDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND dialog = ::FindWindowA("#32770", "Automatic switching");
  if (!dialog) return;
  ::KillTimer(nullptr, id);
  ::SendMessageA(::GetWindow(dialog, GW_OWNER), WM_COMMAND, MAKEWPARAM(ID_TRAY_EXIT, 0), 0);
}

TEST_F(TraySchemesTest, ExitWhileTheDialogIsOpenEndsBoth) {
  Start();
  UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &ExitFromTheDialog);
  Command(ID_TRAY_AUTO_SWITCH);
  ::KillTimer(nullptr, timer);
  EXPECT_FALSE(::IsWindow(meter_.hwnd()));
  EXPECT_EQ(::FindWindowA("#32770", "Automatic switching"), nullptr);
  EXPECT_EQ(StoredChoices(), "|");
}

TEST_F(TraySchemesTest, TheMeterSwitchesOncePerChangeOfThePowerSource) {
  SimState laptop = testing::XpLaptop();
  laptop.ac_line_status = 1;
  display_.settings().SchemeOnMains = "Home/Office Desk";
  display_.settings().SchemeOnBattery = "Max Battery";
  Start(std::move(laptop));

  Broadcast();  // a change of the charge on mains
  EXPECT_EQ(Activations(), 0u);
  pc_.machine().SetAcLineStatus(0);
  Broadcast(PBT_APMRESUMEAUTOMATIC);  // not a power-status broadcast
  EXPECT_EQ(Activations(), 0u);
  Broadcast();
  Broadcast();
  EXPECT_EQ(pc_.state().active_scheme, kMaxBattery);
  EXPECT_EQ(Activations(), 1u);

  // The user's own choice on battery stays until the next change.
  tray_->UpdateSchemes();
  Command(ID_TRAY_SCHEME_FIRST + 1);
  Broadcast();
  EXPECT_EQ(pc_.state().active_scheme, 1u);
  pc_.machine().SetAcLineStatus(1);
  Broadcast();
  EXPECT_EQ(pc_.state().active_scheme, 0u);
  EXPECT_EQ(Activations(), 3u);  // the two changes and the user's choice
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
