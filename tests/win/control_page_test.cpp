// The Control page under Wine on a simulated laptop with the real meter: the preview, OK,
// Apply and Cancel, the global flags, the auto-start entry, the battery list, no batteries.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>

#include "control_ids.h"
#include "notices_ids.h"
#include "display/control_page.h"
#include "display/layered_window.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "settings/settings_store.h"
#include "win/test_support.h"

namespace vantrel::display {
namespace {

using namespace vantrel::testing;

constexpr char kFolder[] = "C:\\Program Files\\Vantrel";

class ControlPageTest : public ::testing::Test, protected PageControls {
 protected:
  void SetUp() override { Boot(2); }
  void TearDown() override { settings::SettingsStore().SetAutoStart(false, {}); }
  void Boot(size_t batteries) {
    platform::sim::SimState state = testing::XpLaptop();
    state.batteries.resize(batteries);
    state.global.user.GlobalFlags = 0x21;
    pc_.Boot(state);
  }
  // The meter (made once) and a fresh page in a host window.
  void Open() {
    if (!meter_) {
      meter_ = std::make_unique<MeterWindow>(s());
      meter_->set_tray_menu(std::make_unique<RecordingTrayMenu>());
      ASSERT_TRUE(meter_->Create());
      meter_->MoveTo(300, 200);
      meter_->ShowAndPaint();
    }
    page_.reset();
    host_ = std::make_unique<MainWindowStandIn>();
    ASSERT_TRUE(host_->Create());
    page_ = std::make_unique<CControlPage>(host_->hwnd(),
                                           ControlPageContext{s(), meter_.get(), kFolder, "vantrel", nullptr});
    ASSERT_TRUE(page_->Create());
    ::ShowWindow(page_->hwnd(), SW_SHOW);
  }
  // The main window shown again after OK or Cancel hid it: the page stayed loaded.
  void Reshow() { ::ShowWindow(host_->hwnd(), SW_SHOW); }
  settings::AppSettings& s() { return scope_.settings(); }
  HWND meter() const { return meter_->hwnd(); }
  HWND page() const override { return page_->hwnd(); }
  void Scroll(WORD code, WORD position = 0, int from = IDC_CONTROL_ALPHA) {
    ::SendMessageA(page_->hwnd(), WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(from)));
  }
  bool Shown() const { return ::IsWindowVisible(host_->hwnd()); }
  DWORD Flags() { return pc_.state().global.user.GlobalFlags; }
  RawValue RunValue() const { return ReadRaw(HKEY_CURRENT_USER, settings::kRunKey, settings::kAutoStartValue); }

  CleanKey clean_;
  DisplayTestScope scope_;
  PowerTestMachine pc_;
  std::unique_ptr<MeterWindow> meter_;
  std::unique_ptr<MainWindowStandIn> host_;
  std::unique_ptr<CControlPage> page_;
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

TEST_F(ControlPageTest, OkActsAtOnceButOnlyApplyOutlivesARestart) {
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
  pc_.state().batteries[1].device_name.clear();
  s().DisplayOneBatteryStatus = 1;
  Open();
  ASSERT_EQ(Send(IDC_CONTROL_BATTERY_LIST, CB_GETCOUNT), 1);
  Press(IDOK);
  EXPECT_EQ(s().BatteryName, pc_.state().batteries[0].device_name) << "never stored empty";
}

TEST_F(ControlPageTest, TheAutoStartEntryIsQuotedReadInEitherFormAndDeletedOnce) {
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
}

TEST_F(ControlPageTest, GlobalFlagsKeepUnshownBitsAndUnchangedOrUnreadableOnesAreNotWritten) {
  Open();
  for (int id : {IDC_CONTROL_MULTI_BATTERY, IDC_CONTROL_PASSWORD_LOGON, IDC_CONTROL_SYSTRAY_METER,
                 IDC_CONTROL_VIDEO_DIMMING, IDC_CONTROL_WAKE_ON_RING})
    EXPECT_EQ(Checked(id), id == IDC_CONTROL_SYSTRAY_METER) << id;
  Click(IDC_CONTROL_TOPMOST);
  Press(IDOK);
  EXPECT_EQ(Flags(), 0x21u);
  EXPECT_EQ(pc_.fake().Called("WriteGlobalPwrPolicy") + pc_.fake().Called("CallNtPowerInformation"), 0u);

  Reshow();
  Click(IDC_CONTROL_MULTI_BATTERY);
  Click(IDC_CONTROL_SYSTRAY_METER);
  Click(IDC_CONTROL_HIBERNATE);
  Press(IDOK);
  EXPECT_EQ(Flags(), 0x22u);
  EXPECT_EQ(pc_.fake().Called("CallNtPowerInformation 10 in=1[0 ]"), 1u);
  Reshow();
  Click(IDC_CONTROL_MULTI_BATTERY);  // changed back on the page that stayed loaded
  Press(IDOK);
  EXPECT_EQ(Flags(), 0x20u);
  EXPECT_EQ(pc_.fake().Called("WriteGlobalPwrPolicy"), 2u);
  EXPECT_EQ(pc_.fake().Called("CallNtPowerInformation"), 1u);

  pc_.fake().fail_global_read = true;
  Open();
  EXPECT_FALSE(Checked(IDC_CONTROL_PASSWORD_LOGON) || Checked(IDC_CONTROL_WAKE_ON_RING));
  fw::PromptRecorder prompts;
  Click(IDC_CONTROL_PASSWORD_LOGON);
  Press(IDOK);
  EXPECT_EQ(pc_.fake().Called("WriteGlobalPwrPolicy"), 2u);
  ASSERT_EQ(prompts.entries().size(), 1u) << "the change could not be made";
  EXPECT_EQ(prompts.entries()[0].text, i18n::Text(i18n::IDS_CONTROL_FLAGS_NOT_SAVED));
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
  fw::PromptRecorder prompts;
  pc_.state().shutdown_privilege = false;  // a limited user
  pc_.fake().fail_global_write = true;
  Open();
  Click(IDC_CONTROL_HIBERNATE);
  Click(IDC_CONTROL_WAKE_ON_RING);
  Press(IDC_CONTROL_APPLY);
  EXPECT_TRUE(page_->apply_enabled());
  ASSERT_EQ(prompts.entries().size(), 2u);
  EXPECT_EQ(Said(prompts.entries()[0]), Warning(i18n::Text(i18n::IDS_CONTROL_FLAGS_NOT_SAVED)));
  EXPECT_EQ(Said(prompts.entries()[1]), Warning(i18n::Text(i18n::IDS_CONTROL_HIBERNATE_NOT_SAVED)));
  Press(IDOK);
  EXPECT_TRUE(Shown()) << "OK keeps the refused choices on show";
  EXPECT_EQ(prompts.entries().size(), 4u);

  pc_.state().shutdown_privilege = true;
  pc_.fake().fail_global_write = false;
  Press(IDOK);
  EXPECT_FALSE(Shown());
  EXPECT_FALSE(pc_.state().hiber_file_present);
  EXPECT_EQ(Flags(), 0x29u);
  EXPECT_EQ(prompts.entries().size(), 4u);
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

}  // namespace
}  // namespace vantrel::display
