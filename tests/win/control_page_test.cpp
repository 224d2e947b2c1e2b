// The Control page under Wine on a simulated laptop with the real meter: the preview, OK,
// Apply and Cancel, the global flags, the auto-start entry, the battery list and a machine
// without batteries.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "control_ids.h"
#include "display/control_page.h"
#include "display/layered_window.h"
#include "display/meter_window.h"
#include "resource.h"
#include "settings/settings_store.h"
#include "win/test_support.h"

namespace vantrel::display {
namespace {

using namespace vantrel::testing;
using settings::kAutoStartValue;
using settings::kRunKey;

constexpr char kFolder[] = "C:\\Program Files\\Vantrel";

struct CleanRunValue {
  CleanRunValue() { Delete(); }
  ~CleanRunValue() { Delete(); }
  static void Delete() { settings::SettingsStore().SetAutoStart(false, {}); }
};

// A policy library whose global policy cannot be read.
struct UnreadableGlobalPolicy : platform::ForwardingSystemApi {
  using ForwardingSystemApi::ForwardingSystemApi;
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY) override {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
};

// Hides on WM_CLOSE as the main window does, so the page lives on after OK and Cancel.
class HidingHost : public ControlHost {
 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg != WM_CLOSE) return ControlHost::WindowProc(msg, wp, lp);
    ::ShowWindow(hwnd(), SW_HIDE);
    return 0;
  }
};

class ControlPageTest : public ::testing::Test {
 protected:
  void SetUp() override { Boot(2, 0x21); }
  void Boot(size_t batteries, DWORD flags) {
    platform::sim::SimState state = platform::sim::DefaultLaptop();
    state.batteries.resize(batteries);
    state.global.user.GlobalFlags = flags;
    pc_.Boot(state);
  }
  // The meter (at 300, 200) and the page in a host window.
  CControlPage& Open() {
    if (!meter_) {
      meter_ = std::make_unique<MeterWindow>(settings());
      meter_->set_tray_menu(std::make_unique<RecordingTrayMenu>());
      EXPECT_TRUE(meter_->Create());
      meter_->MoveTo(300, 200);
      meter_->ShowAndPaint();
    }
    page_.reset();
    host_ = std::make_unique<HidingHost>();
    EXPECT_TRUE(host_->Create());
    page_ = std::make_unique<CControlPage>(host_->hwnd(),
                                           ControlPageContext{settings(), meter_->hwnd(), kFolder, "vantrel"});
    EXPECT_TRUE(page_->Create());
    return *page_;
  }
  settings::AppSettings& settings() { return scope_.settings(); }
  HWND Item(int id) const { return ::GetDlgItem(page_->hwnd(), id); }
  HWND meter() const { return meter_->hwnd(); }
  void Click(int id) { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }
  bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
  void Scroll(WORD code, WORD position = 0) {
    ::SendMessageA(page_->hwnd(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(IDC_CONTROL_ALPHA)));
  }
  void SetSlider(int position) { ::SendMessageA(Item(IDC_CONTROL_ALPHA), TBM_SETPOS, TRUE, position); }
  void Press(int id) { ::SendMessageA(page_->hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id))); }
  DWORD SystemFlags() { return pc_.state().global.user.GlobalFlags; }
  size_t Calls(const std::string& prefix) {
    size_t n = 0;
    for (const std::string& call : pc_.fake().calls) n += call.rfind(prefix, 0) == 0;
    return n;
  }
  RawValue RunValue() const { return ReadRaw(HKEY_CURRENT_USER, kRunKey, kAutoStartValue); }
  RawValue Stored(const char* name) const { return ReadRaw(HKEY_CURRENT_USER, kKey, name); }
  // Start-up reading the options again.
  settings::AppSettings Restarted() {
    settings::AppSettings s;
    settings::SettingsStore store;
    store.OpenKey();
    store.LoadDisplayOptions(s);
    store.LoadMeterOptions(s, 1000);
    return s;
  }

  CleanKey clean_;
  CleanRunValue clean_run_;
  DisplayTestScope scope_;
  PowerTestMachine pc_;
  std::unique_ptr<MeterWindow> meter_;
  std::unique_ptr<HidingHost> host_;
  std::unique_ptr<CControlPage> page_;
};

TEST_F(ControlPageTest, ThePreviewFollowsTransparencyAndEveryScrollCodeWithoutChangingTheOptions) {
  Open();
  EXPECT_FALSE(Enabled(IDC_CONTROL_ALPHA));
  EXPECT_FALSE(page_->apply_enabled());
  Click(IDC_CONTROL_TRANSPARENT);
  EXPECT_TRUE(IsLayered(meter()));
  EXPECT_EQ(LayeredAlpha(meter()), 255);  // slider at 0: layered but opaque
  EXPECT_TRUE(Enabled(IDC_CONTROL_ALPHA));
  EXPECT_TRUE(page_->apply_enabled());
  Scroll(TB_THUMBTRACK, 255);
  EXPECT_EQ(LayeredAlpha(meter()), 0);
  Scroll(TB_THUMBPOSITION, 0x1F0);  // only the low 8 bits count
  EXPECT_EQ(LayeredAlpha(meter()), 255 - 0xF0);
  // The line and page codes take the slider's own position, not the message's.
  SetSlider(100);
  for (WORD code : {TB_LINEUP, TB_LINEDOWN, TB_PAGEUP, TB_PAGEDOWN}) {
    SetLayered(meter(), true);
    SetAlpha(meter(), 0, 7, LWA_ALPHA);
    Scroll(code, 30);
    EXPECT_EQ(LayeredAlpha(meter()), 155) << code;
  }
  SetSlider(10);
  Scroll(TB_ENDTRACK);
  EXPECT_EQ(LayeredAlpha(meter()), 155);
  SetSlider(0);
  Scroll(TB_TOP);  // Home: the thumb moved, so does the preview
  EXPECT_EQ(LayeredAlpha(meter()), 255);
  // Scrolls of another window are not the slider's.
  ::SendMessageA(page_->hwnd(), WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 200), reinterpret_cast<LPARAM>(Item(IDOK)));
  EXPECT_EQ(LayeredAlpha(meter()), 255);
  EXPECT_EQ(settings().TransparentForm, 0);
  EXPECT_EQ(settings().bAlpha, 0);
  Click(IDC_CONTROL_TRANSPARENT);
  EXPECT_FALSE(IsLayered(meter()));
  EXPECT_FALSE(Enabled(IDC_CONTROL_ALPHA));
}

TEST_F(ControlPageTest, WithoutLayeredWindowsThePreviewDoesNothingAndNothingFails) {
  Open();
  LayeredLookup previous = SetLayeredLookup([]() -> SetLayeredWindowAttributesFn { return nullptr; });
  Click(IDC_CONTROL_TRANSPARENT);
  Scroll(TB_THUMBTRACK, 100);
  Press(IDC_CONTROL_APPLY);
  SetLayeredLookup(previous);
  EXPECT_FALSE(IsLayered(meter()));
  EXPECT_EQ(settings().TransparentForm, 1);
  EXPECT_EQ(Restarted().TransparentForm, 1);
}

TEST_F(ControlPageTest, OkPutsOptionsIntoEffectAtOnceAndOnlyApplyOutlivesARestart) {
  Open();
  Click(IDC_CONTROL_AUTO_HIDE);
  Click(IDC_CONTROL_BEEP);
  Press(IDOK);
  EXPECT_FALSE(::IsWindowVisible(host_->hwnd()));  // OK closes the main window
  EXPECT_EQ(settings().PaneWindow, 1);
  EXPECT_EQ(settings().BeepAfterWakeUp, 1);
  // The meter hides under the pointer now.
  MovePointerInto(meter());
  ::SendMessageA(meter(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(::IsWindowVisible(meter()));
  MovePointerAway();
  EXPECT_FALSE(Stored(settings::kPaneWindow).found);
  EXPECT_EQ(Restarted().PaneWindow, 0);

  Open();
  EXPECT_TRUE(Checked(IDC_CONTROL_AUTO_HIDE));
  Press(IDC_CONTROL_APPLY);
  EXPECT_TRUE(::IsWindowVisible(host_->hwnd()));  // Apply stays
  EXPECT_EQ(Restarted().PaneWindow, 1);
  EXPECT_EQ(Stored(settings::kPaneWindow).type, static_cast<DWORD>(REG_BINARY));
}

TEST_F(ControlPageTest, ApplyStoresTheMeterPositionAndTheChosenBatteryButOkKeepsTheRememberedOne) {
  settings().DisplayOneBatteryStatus = 1;
  settings().BatteryName = "42t";  // a case-insensitive prefix of the second entry
  Open();
  EXPECT_EQ(::SendMessageA(Item(IDC_CONTROL_BATTERY_LIST), CB_GETCURSEL, 0, 0), 1);
  EXPECT_TRUE(Enabled(IDC_CONTROL_BATTERY_LIST));
  Press(IDOK);
  EXPECT_EQ(settings().BatteryName, "42t");
  meter_->MoveTo(123, 45);
  RECT r{};
  ::GetWindowRect(meter(), &r);
  Open();
  Press(IDC_CONTROL_APPLY);
  const settings::AppSettings after = Restarted();
  EXPECT_EQ(after.BatteryName, "42T4969");
  EXPECT_EQ(after.DisplayOneBatteryStatus, 1);
  EXPECT_EQ(after.BatteryMeterPosTop, r.top);
  EXPECT_EQ(after.BatteryMeterPosLeft, r.left);
  EXPECT_FALSE(page_->apply_enabled());

  settings().BatteryName = "no such battery";
  settings().DisplayOneBatteryStatus = 0;
  Open();
  EXPECT_EQ(::SendMessageA(Item(IDC_CONTROL_BATTERY_LIST), CB_GETCURSEL, 0, 0), 0);
  EXPECT_FALSE(Enabled(IDC_CONTROL_BATTERY_LIST));
  Click(IDC_CONTROL_ONE_BATTERY);
  EXPECT_TRUE(Enabled(IDC_CONTROL_BATTERY_LIST));
  EXPECT_TRUE(page_->apply_enabled());
}

TEST_F(ControlPageTest, TheAutoStartEntryIsQuotedReadInEitherFormAndDeletedOnce) {
  const std::string bare = std::string(kFolder) + "\\vantrel.exe";
  ASSERT_TRUE(settings::SettingsStore().SetAutoStart(true, bare));
  Open();
  EXPECT_TRUE(Checked(IDC_CONTROL_AUTO_START));
  Press(IDC_CONTROL_APPLY);
  EXPECT_EQ(RunValue().text(), "\"" + bare + "\"" + '\0');  // rewritten quoted

  Click(IDC_CONTROL_AUTO_START);
  Press(IDC_CONTROL_APPLY);
  EXPECT_FALSE(RunValue().found);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kRunKey));
  Press(IDC_CONTROL_APPLY);
  EXPECT_FALSE(RunValue().found);

  Open();
  EXPECT_FALSE(Checked(IDC_CONTROL_AUTO_START));
  Click(IDC_CONTROL_AUTO_START);
  Press(IDC_CONTROL_APPLY);
  Open();  // the quoted form shows as ticked too
  EXPECT_TRUE(Checked(IDC_CONTROL_AUTO_START));
}

TEST_F(ControlPageTest, GlobalFlagsKeepTheBitsThePageDoesNotShowAndUnchangedBoxesWriteNothing) {
  Open();
  EXPECT_TRUE(Checked(IDC_CONTROL_SYSTRAY_METER));
  for (int id : {IDC_CONTROL_MULTI_BATTERY, IDC_CONTROL_PASSWORD_LOGON, IDC_CONTROL_VIDEO_DIMMING, IDC_CONTROL_WAKE_ON_RING})
    EXPECT_FALSE(Checked(id)) << id;
  EXPECT_TRUE(Checked(IDC_CONTROL_HIBERNATE));
  Click(IDC_CONTROL_TOPMOST);  // a meter option only
  Press(IDOK);
  EXPECT_EQ(SystemFlags(), 0x21u);
  EXPECT_EQ(Calls("WriteGlobalPwrPolicy"), 0u);
  EXPECT_EQ(Calls("CallNtPowerInformation"), 0u);

  Open();
  Click(IDC_CONTROL_MULTI_BATTERY);
  Click(IDC_CONTROL_SYSTRAY_METER);
  Click(IDC_CONTROL_HIBERNATE);
  Press(IDOK);
  EXPECT_EQ(SystemFlags(), 0x22u);
  EXPECT_EQ(Calls("WriteGlobalPwrPolicy"), 1u);
  EXPECT_EQ(Calls("CallNtPowerInformation 10 in=1[0 ]"), 1u);
  EXPECT_EQ(power::PowerPlatform::CanHibernate(), 0);
  // The page stays loaded while hidden: a box changed back is written back.
  Click(IDC_CONTROL_MULTI_BATTERY);
  Press(IDOK);
  EXPECT_EQ(SystemFlags(), 0x20u);
  EXPECT_EQ(Calls("WriteGlobalPwrPolicy"), 2u);
}

TEST_F(ControlPageTest, AnUnreadablePolicyShowsNoFlagAndIsNotWrittenOver) {
  UnreadableGlobalPolicy unreadable(pc_.fake());
  platform::ScopedSystemApi scope(unreadable);
  Open();
  EXPECT_FALSE(Checked(IDC_CONTROL_SYSTRAY_METER));
  Click(IDC_CONTROL_PASSWORD_LOGON);
  Press(IDOK);
  EXPECT_EQ(Calls("WriteGlobalPwrPolicy"), 0u);
  EXPECT_EQ(SystemFlags(), 0x21u);
}

TEST_F(ControlPageTest, CancelRestoresThePreviewFromTheOptionsAndLeavesApplyEnabled) {
  settings().TransparentForm = 1;
  settings().bAlpha = 40;
  settings().AlwaysOnTop = 1;
  Open();
  EXPECT_EQ(::SendMessageA(Item(IDC_CONTROL_ALPHA), TBM_GETPOS, 0, 0), 40);
  Scroll(TB_THUMBTRACK, 200);
  EXPECT_EQ(LayeredAlpha(meter()), 55);
  Click(IDC_CONTROL_TOPMOST);
  EXPECT_FALSE(::GetWindowLongPtrA(meter(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Click(IDC_CONTROL_APPEAR_ONLY);
  Press(IDCANCEL);
  EXPECT_FALSE(::IsWindowVisible(host_->hwnd()));
  EXPECT_EQ(LayeredAlpha(meter()), 215);
  EXPECT_TRUE(::GetWindowLongPtrA(meter(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(Checked(IDC_CONTROL_APPEAR_ONLY));
  EXPECT_EQ(settings().bAlpha, 40);
  EXPECT_EQ(settings().AppearOnlyWhenChrDischr, 0);
  EXPECT_TRUE(page_->apply_enabled());
}

TEST_F(ControlPageTest, WithoutBatteriesTheMeterGroupStaysDisabledAndTheRestWorks) {
  Boot(0, 0x21);
  settings().TransparentForm = 1;
  settings().DisplayOneBatteryStatus = 1;
  settings().BatteryName = "42T4969";
  Open();
  for (int id : {IDC_CONTROL_METER_GROUP, IDC_CONTROL_TRANSPARENT, IDC_CONTROL_ALPHA, IDC_CONTROL_TOPMOST,
                 IDC_CONTROL_APPEAR_ONLY, IDC_CONTROL_AUTO_HIDE, IDC_CONTROL_DISPLAY_LABEL, IDC_CONTROL_ALL_BATTERIES,
                 IDC_CONTROL_ONE_BATTERY, IDC_CONTROL_BATTERY_LIST})
    EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_EQ(::SendMessageA(Item(IDC_CONTROL_BATTERY_LIST), CB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(Enabled(IDC_CONTROL_BEEP));
  Click(IDC_CONTROL_BEEP);
  Click(IDC_CONTROL_WAKE_ON_RING);
  EXPECT_TRUE(page_->apply_enabled());
  Press(IDC_CONTROL_APPLY);
  EXPECT_EQ(Restarted().BeepAfterWakeUp, 1);
  EXPECT_EQ(SystemFlags(), 0x29u);
  EXPECT_EQ(Restarted().BatteryName, "42T4969");  // nothing to choose from: the name stays
  Press(IDCANCEL);  // reloading does not bring the slider or the list back
  EXPECT_FALSE(Enabled(IDC_CONTROL_ALPHA));
  EXPECT_FALSE(Enabled(IDC_CONTROL_BATTERY_LIST));
}

TEST_F(ControlPageTest, TextsComeFromTheLanguageAndTheHandShowsOverTheChoicesOnly) {
  Open();
  EXPECT_EQ(WindowText(Item(IDC_CONTROL_SYSTRAY_METER)), "Display battery meter in SysTray");
  EXPECT_EQ(WindowText(Item(IDC_CONTROL_APPLY)), "Apply");
  auto hand = [&](int id) {
    return ::SendMessageA(page_->hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)),
                          MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) == TRUE;
  };
  for (int id : {IDC_CONTROL_ALPHA, IDC_CONTROL_BATTERY_LIST, IDC_CONTROL_AUTO_START, IDC_CONTROL_BEEP})
    EXPECT_TRUE(hand(id)) << id;
  for (int id : {IDC_CONTROL_METER_GROUP, IDC_CONTROL_DISPLAY_LABEL, IDOK, IDC_CONTROL_APPLY})
    EXPECT_FALSE(hand(id)) << id;
}

}  // namespace
}  // namespace vantrel::display
