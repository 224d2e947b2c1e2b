// The battery notices under Wine: the options dialog, the balloon on the tray icon, and the
// meter raising a balloon as a simulated battery drains through the level.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "display/meter_window.h"
#include "display/notices_dialog.h"
#include "display/tray_icon.h"
#include "notices_ids.h"
#include "settings/settings_store.h"
#include "win/test_support.h"

namespace vantrel::display {
namespace {

using namespace vantrel::testing;

// What reached the shell: the message, the flags and the balloon's fields.
struct ShellCall {
  DWORD message;
  UINT flags;
  std::string title, text;
  DWORD info_flags;
};
std::vector<ShellCall> g_shell_calls;

BOOL WINAPI RecordShell(DWORD message, PNOTIFYICONDATAA data) {
  g_shell_calls.push_back({message, data->uFlags, data->szInfoTitle, data->szInfo, data->dwInfoFlags});
  return TRUE;
}

std::vector<ShellCall> Balloons() {
  std::vector<ShellCall> balloons;
  for (const ShellCall& call : g_shell_calls)
    if (call.message == NIM_MODIFY && (call.flags & NIF_INFO)) balloons.push_back(call);
  return balloons;
}

// An icon that talks to the recorder instead of the shell.
struct RecordedIcon : TrayIcon {
  explicit RecordedIcon(HWND owner) {
    g_shell_calls.clear();
    set_shell_notify(&RecordShell);
    SetOwner(owner, 1);
    SetCallback(WM_TRAY_CALLBACK);
  }
};

TEST(TrayBalloonTest, ABalloonModifiesTheAddedIconWithItsSignAndCutsItsTexts) {
  ControlHost owner;
  ASSERT_TRUE(owner.Create());
  RecordedIcon icon(owner.hwnd());
  EXPECT_FALSE(icon.ShowBalloon("Title", "Text", true));  // not added yet: nothing asked
  EXPECT_TRUE(g_shell_calls.empty());
  ASSERT_TRUE(icon.Add());
  ASSERT_TRUE(icon.ShowBalloon(std::string(70, 't'), std::string(300, 'x'), true));
  ASSERT_TRUE(icon.ShowBalloon("Full", "Unplug", false));
  const std::vector<ShellCall> balloons = Balloons();
  ASSERT_EQ(balloons.size(), 2u);
  EXPECT_EQ(balloons[0].flags, static_cast<UINT>(NIF_INFO));  // neither icon nor tip sent again
  EXPECT_EQ(balloons[0].title, std::string(63, 't'));
  EXPECT_EQ(balloons[0].text, std::string(255, 'x'));
  EXPECT_EQ(balloons[0].info_flags, static_cast<DWORD>(NIIF_WARNING));
  EXPECT_EQ(balloons[1].title + "/" + balloons[1].text, "Full/Unplug");
  EXPECT_EQ(balloons[1].info_flags, static_cast<DWORD>(NIIF_INFO));
  // A restarted taskbar gets the icon back without a stale balloon.
  g_shell_calls.clear();
  icon.AddAgain();
  ASSERT_EQ(g_shell_calls.size(), 1u);
  EXPECT_EQ(g_shell_calls[0].flags & NIF_INFO, 0u);
}

// ---- the dialog ----

class NoticesDialogTest : public ::testing::Test, protected PageControls {
 protected:
  // Modeless, so that the test can work it; its end only hides it then.
  void Open() {
    dialog_ = std::make_unique<CNoticesDialog>(nullptr, scope_.settings());
    ASSERT_TRUE(dialog_->Create());
    ::ShowWindow(dialog_->hwnd(), SW_SHOW);
  }
  HWND page() const override { return dialog_->hwnd(); }

  CleanKey clean_;
  DisplayTestScope scope_;
  std::unique_ptr<CNoticesDialog> dialog_;
};

TEST_F(NoticesDialogTest, ShowsTheLevelsWithTheEditsOfNoticesThatAreOffDisabled) {
  Open();  // the title, and the limit off at the usual 80, are seen end to end
  EXPECT_TRUE(Checked(IDC_NOTICES_LOW_CHECK));
  EXPECT_EQ(Text(IDC_NOTICES_LOW_EDIT), "15");
  for (int id : {IDC_NOTICES_LIMIT_EDIT, IDC_NOTICES_LIMIT_SPIN, IDC_NOTICES_LIMIT_UNIT}) EXPECT_FALSE(Enabled(id)) << id;
  Click(IDC_NOTICES_LIMIT_CHECK);
  for (int id : {IDC_NOTICES_LIMIT_EDIT, IDC_NOTICES_LIMIT_SPIN}) EXPECT_TRUE(Enabled(id)) << id;
  Click(IDC_NOTICES_LOW_CHECK);
  EXPECT_FALSE(Enabled(IDC_NOTICES_LOW_EDIT));
}

TEST_F(NoticesDialogTest, OkTakesAndStoresTheLevelsWithinTheRangeAndCancelChangesNothing) {
  scope_.settings().ChargeLimitNotice = 90;
  Open();
  Click(IDC_NOTICES_LOW_CHECK);  // off
  ::SetWindowTextA(Item(IDC_NOTICES_LIMIT_EDIT), "abc");
  Press(IDCANCEL);
  EXPECT_FALSE(::IsWindowVisible(dialog_->hwnd()));
  EXPECT_EQ(scope_.settings().LowBatteryNotice, 15u);
  EXPECT_EQ(scope_.settings().ChargeLimitNotice, 90u);
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kKey, settings::kLowBatteryNotice).found);

  // typed level -> stored level
  const struct { const char* typed; uint32_t level; } cases[] = {{"85", 85}, {"250", 100}, {"0", 1}, {"-5", 1}, {"", 90}};
  for (const auto& c : cases) {
    Open();
    Click(IDC_NOTICES_LOW_CHECK);
    ::SetWindowTextA(Item(IDC_NOTICES_LIMIT_EDIT), c.typed);
    Press(IDOK);
    EXPECT_FALSE(::IsWindowVisible(dialog_->hwnd()));
    for (const settings::AppSettings& taken : {scope_.settings(), StoredSettings()}) {
      EXPECT_EQ(taken.ChargeLimitNotice, c.level) << c.typed;
      EXPECT_EQ(taken.LowBatteryNotice, 0u) << c.typed;
    }
    scope_.settings().ChargeLimitNotice = 90;
    scope_.settings().LowBatteryNotice = 15;
  }
}

// ---- the meter ----

class MeterNoticesTest : public ::testing::Test {
 protected:
  void Start() {
    if (meter_) meter_->set_tray_icon(nullptr);
    meter_ = std::make_unique<MeterWindow>(scope_.settings());
    meter_->set_tray_menu(std::make_unique<RecordingTrayMenu>());
    ASSERT_TRUE(meter_->Create());
    meter_->MoveTo(400, 300);
    meter_->ShowAndPaint();
    icon_ = std::make_unique<RecordedIcon>(meter_->hwnd());
    ASSERT_TRUE(icon_->Add());
    meter_->set_tray_icon(icon_.get());
  }
  // One tick of the meter's timer, without waiting for it.
  void Tick() { ::SendMessageA(meter_->hwnd(), WM_TIMER, kMeterTickTimer, 0); }
  void TearDown() override {
    if (meter_) meter_->set_tray_icon(nullptr);
  }

  DisplayTestScope scope_{false};  // the battery status model answers
  PowerTestMachine pc_;
  std::unique_ptr<MeterWindow> meter_;
  std::unique_ptr<RecordedIcon> icon_;
};

// One battery of 10 000 mWh at 3.6 W: a point every 100 simulated seconds, four ticks. A
// battery that does not know its charge shows 0 %, which must not pass for an empty one: its
// balloon waits for the figure to come back (at 15 %: 1550 mWh, 25 minutes 50 seconds). A
// battery draining through the level is followed end to end.
TEST_F(MeterNoticesTest, ACrossingRaisesExactlyOneBalloonWithItsTexts) {
  const struct {
    uint32_t low, limit;
    ULONG capacity;
    LONG rate;
    const char *title, *text;
    DWORD sign;
  } cases[] = {
      {15, 80, BATTERY_UNKNOWN_CAPACITY, -3600, "Low battery",
       "The battery is at 15%, time left 0:25:50. Connect the charger.", NIIF_WARNING},
      {0, 80, 7950, 3600, "Charge limit reached",
       "The battery is charged to 80%. Unplug the charger to spare the battery.", NIIF_INFO}};
  // The battery chosen by name: its power state is read even while its charge is not.
  scope_.settings().DisplayOneBatteryStatus = 1;
  scope_.settings().BatteryName = "Battery";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    scope_.settings().LowBatteryNotice = c.low;
    scope_.settings().ChargeLimitNotice = c.limit;
    platform::sim::SimState state;
    state.time_scale = 0;  // simulated time moves only by Advance()
    state.batteries = {SimLaptopBattery("Battery", 10000, 10000, c.capacity, c.rate)};
    if (c.rate > 0) state.batteries[0].power_state |= BATTERY_CHARGING;
    pc_.Boot(std::move(state));
    Start();
    for (int step = 0; step < 4; ++step) {
      Tick();
      pc_.machine().Advance(c.capacity == BATTERY_UNKNOWN_CAPACITY ? 0 : 100);  // the figure comes back as set
    }
    if (c.capacity == BATTERY_UNKNOWN_CAPACITY) {
      EXPECT_EQ(meter_->painter()->last_figures().charge, 0u);
      EXPECT_TRUE(Balloons().empty()) << "an unknown charge taken for an empty battery";
      pc_.state().batteries[0].capacity = 1550;
      Tick();
    }
    const std::vector<ShellCall> balloons = Balloons();
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].title, c.title);
    EXPECT_EQ(balloons[0].text, c.text);
    EXPECT_EQ(balloons[0].info_flags, c.sign);
  }
}

}  // namespace
}  // namespace vantrel::display
