// The tray menu on a simulated laptop: items, greying, commands and the tray icon's right button.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "display/meter_window.h"
#include "display/tray_icon.h"
#include "framework/prompt.h"
#include "power/tray_menu.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::power {
namespace {

using controls::CMenuXP;
using vantrel::testing::Describe;
using platform::sim::SimState;

CMenuXP* Submenu(HMENU menu, UINT position) {
  return dynamic_cast<CMenuXP*>(fw::FindMenuHandler(::GetSubMenu(menu, static_cast<int>(position))));
}

bool Greyed(HMENU menu, UINT command) { return (::GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0; }

class TrayMenuTest : public ::testing::Test {
 protected:
  // A laptop with the tray menu on its meter.
  void Start(bool standby = true) {
    SimState state = testing::XpLaptop();
    state.capabilities.SystemS3 = standby;
    state.time_scale = 100000;     // hours of sleep in a fraction of a second
    state.suspend_seconds = 36000;  // only the wake-up timer ends a sleep early
    pc_.Boot(state);
    auto menu = std::make_unique<TrayMenu>(app::State().settings, std::make_unique<app::MainWindowHost>(app::State()));
    tray_ = menu.get();
    meter_.set_tray_menu(std::move(menu));
    ASSERT_TRUE(meter_.Create());
    app::State().meter = &meter_;
    app::State().app_directory = dir_.path();
  }
  void TearDown() override {
    if (tray_) tray_->main_window().DestroyMainWindow();
    app::State().meter = nullptr;
    app::State().app_directory = saved_directory_;
  }
  HMENU top() { return tray_->menu().handle(); }
  void Command(UINT id) { ::SendMessageA(meter_.hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  vantrel::testing::TempDir dir_;
  std::string saved_directory_ = app::State().app_directory;
  vantrel::testing::PowerTestMachine pc_;
  vantrel::testing::DisplayTestScope display_;
  fw::PromptRecorder prompts_;
  display::MeterWindow meter_{app::State().settings};
  TrayMenu* tray_ = nullptr;
};

// Delivers commands to the meter while the machine is being put to sleep, as a message that
// reaches the blocked thread would.
class CommandsDuringSuspend : public platform::ForwardingSystemApi {
 public:
  CommandsDuringSuspend(platform::SystemApi& target, HWND meter) : ForwardingSystemApi(target), meter_(meter) {}
  BOOLEAN SetSuspendState(BOOLEAN h, BOOLEAN f, BOOLEAN d) override {
    if (!sent_) {
      sent_ = true;
      for (UINT id : {1850u, static_cast<UINT>(ID_TRAY_SLEEP), static_cast<UINT>(ID_TRAY_HIBERNATE)})
        ::SendMessageA(meter_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }
    return ForwardingSystemApi::SetSuspendState(h, f, d);
  }

 private:
  HWND meter_;
  bool sent_ = false;
};

TEST_F(TrayMenuTest, ItemsARebuildThatLeaksNothingAndTheCommandsAlsoDuringASuspend) {
  Start();
  const std::vector<std::string> expected = {
      "bar:Vantrel 1.00", "1:Main Dialog...", "popup:Power Schemes", "-", "5:Logging Off", "6:Shutdown",
      "7:Reboot", "-", "popup:WakeUp After", "3:Sleep", "4:Hibernate", "-", "16:Exit"};
  EXPECT_EQ(Describe(top()), expected);
  EXPECT_EQ(::GetMenuDefaultItem(top(), FALSE, 0), static_cast<UINT>(ID_TRAY_MAIN_DIALOG));

  CMenuXP* hours = Submenu(top(), 8);
  ASSERT_NE(hours, nullptr);
  EXPECT_EQ(Describe(Submenu(hours->handle(), 9)->handle()).back(), "1850:50");  // 8 h 50 min, the last

  // A rebuild replaces every item, submenu and icon: nothing stays behind.
  const long user_objects = fw::LiveUserObjects();
  tray_->BuildTrayMenu(meter_.hwnd());
  EXPECT_EQ(Describe(top()), expected);
  EXPECT_EQ(fw::LiveUserObjects(), user_objects);

  pc_.machine().ClearLog();
  for (UINT nothing : {0u, 2u, 8u, 15u, 17u, 1000u}) Command(nothing);
  EXPECT_TRUE(pc_.machine().Log().empty());
  const std::pair<UINT, const char*> actions[] = {
      {ID_TRAY_SLEEP, "SetSuspendState hibernate=0 forceCritical=0 disableWakeEvent=1"},
      {ID_TRAY_HIBERNATE, "SetSuspendState hibernate=1 forceCritical=0 disableWakeEvent=1"},
      {ID_TRAY_LOG_OFF, "ExitWindowsEx flags=0x10"}, {ID_TRAY_SHUT_DOWN, "ExitWindowsEx flags=0x18"},
      {ID_TRAY_REBOOT, "ExitWindowsEx flags=0x12"}};
  for (auto [id, logged] : actions) {
    Command(id);
    EXPECT_EQ(pc_.Logged(logged), 1u) << id;
  }
  EXPECT_TRUE(::IsWindow(meter_.hwnd()));

  // One arriving during a suspend starts nothing; afterwards the next one runs.
  pc_.machine().ClearLog();
  CommandsDuringSuspend during(pc_.fake(), meter_.hwnd());
  platform::ScopedSystemApi scoped(during);
  Command(WakeUpCommandId(0, 5));
  EXPECT_EQ(pc_.Logged("SetSuspendState"), 1u);
  EXPECT_EQ(pc_.Logged("CreateWaitableTimer"), 1u);
  EXPECT_FALSE(tray_->power_action_running());
  Command(ID_TRAY_SLEEP);
  EXPECT_EQ(pc_.Logged("SetSuspendState"), 2u);
}

// Whether Sleep was greyed while the tray menu was open, read from inside its message loop.
HMENU g_menu = nullptr;
bool g_sleep_greyed = false;
void CALLBACK LookAtTheMenu(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  g_sleep_greyed = Greyed(g_menu, ID_TRAY_SLEEP);
  ::EndMenu();
}

TEST_F(TrayMenuTest, StandbyDecidesTheWakeUpItemAtBuildAndGreyingFollowsThePermissionsBeforeTheMenuShows) {
  Start(false);
  EXPECT_EQ(Describe(top())[8], "3:Sleep");  // no "WakeUp After"
  g_menu = top();
  UINT_PTR timer = ::SetTimer(nullptr, 0, 300, &LookAtTheMenu);
  ::SendMessageA(meter_.hwnd(), display::WM_TRAY_CALLBACK, 0, WM_RBUTTONDOWN);  // returns when the menu has closed
  ::KillTimer(nullptr, timer);
  EXPECT_TRUE(g_sleep_greyed);
  pc_.state().capabilities.SystemS3 = TRUE;
  pc_.state().capabilities.SystemS4 = FALSE;
  tray_->UpdateGreying();
  EXPECT_FALSE(Greyed(top(), ID_TRAY_SLEEP));
  EXPECT_TRUE(Greyed(top(), ID_TRAY_HIBERNATE));
  EXPECT_EQ(Describe(top())[8], "3:Sleep");  // only a rebuild adds it
  tray_->BuildTrayMenu(meter_.hwnd());
  EXPECT_EQ(Describe(top())[8], "popup:WakeUp After");
}

}  // namespace
}  // namespace vantrel::power
