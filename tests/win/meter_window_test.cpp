// The meter window and its tray icon under Wine: timers, transparency, auto-hide, dragging,
// the tray menu's events, placement, appear-only, and the icon in Wine's taskbar.
#include <gtest/gtest.h>

#include <cstring>

#include "display/core/tray_rules.h"
#include "display/layered_window.h"
#include "display/meter_window.h"
#include "display/tray_icon.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::display {
namespace {

using namespace vantrel::testing;

bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }
std::pair<LONG, LONG> Where(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return {r.left, r.top};
}

class MeterWindowTest : public ::testing::Test {
 protected:
  // Creates the meter at (400, 300) with the tray menu's events recorded.
  void Create(bool show = true) {
    auto menu = std::make_unique<RecordingTrayMenu>();
    menu_ = menu.get();
    meter_.set_tray_menu(std::move(menu));
    ASSERT_TRUE(meter_.Create());
    meter_.MoveTo(400, 300);
    if (show) meter_.ShowAndPaint();
  }
  HWND hwnd() const { return meter_.hwnd(); }

  DisplayTestScope scope_;
  RecordingTrayMenu* menu_ = nullptr;
  MeterWindow meter_{app::State().settings};
};

TEST_F(MeterWindowTest, WithoutABatteryTheWindowStaysHiddenWithNoTimers) {
  scope_.battery.count = 0;
  Create(false);
  EXPECT_EQ(menu_->builds, 1);  // the tray menu exists all the same
  Pump(1300);
  EXPECT_FALSE(Visible(hwnd()));
  EXPECT_EQ(scope_.battery.figure_calls, 0);
  for (UINT_PTR id : {display::kMeterShowTimer, display::kMeterDragTimer, display::kMeterTickTimer})
    EXPECT_FALSE(::KillTimer(hwnd(), id)) << id;
}

TEST_F(MeterWindowTest, WithABatteryOnlyTheTickRunsAndItShowsAndRepaintsEverySecond) {
  scope_.settings().AlwaysOnTop = 1;
  Create(false);
  EXPECT_TRUE(::GetWindowLongPtrA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(TimerRuns(hwnd(), display::kMeterTickTimer, 1000));
  EXPECT_FALSE(TimerRuns(hwnd(), display::kMeterDragTimer, 50));  // only while dragging
  EXPECT_FALSE(TimerRuns(hwnd(), display::kMeterShowTimer, 50));  // only after an auto-hide
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 1500));
  const int painted = scope_.battery.figure_calls;
  Pump(2100);
  EXPECT_GE(scope_.battery.figure_calls - painted, 2);
  EXPECT_LE(scope_.battery.figure_calls - painted, 4);
}

// The alpha formula is checked by the auto-hide cases, which end on the configured alpha.
TEST(MeterTransparencyTest, WithoutLayeredWindowsTheCallsSaySoAndTheMeterIsOpaque) {
  DisplayTestScope scope;
  scope.settings().TransparentForm = 1;
  LayeredLookup previous = SetLayeredLookup([]() -> SetLayeredWindowAttributesFn { return nullptr; });
  MeterWindow meter{app::State().settings};
  const bool created = meter.Create();
  const int layered = SetLayered(meter.hwnd(), true), alpha = SetAlpha(meter.hwnd(), 0, 10, LWA_ALPHA);
  SetLayeredLookup(previous);
  ASSERT_TRUE(created);
  EXPECT_EQ(layered, -1);
  EXPECT_EQ(alpha, -1);
  EXPECT_FALSE(IsLayered(meter.hwnd()));
}

TEST_F(MeterWindowTest, AutoHideHidesUnderThePointerAndReturnsWhenItLeaves) {
  // transparency, bAlpha -> last fade-out alpha, alpha after coming back
  struct { int transparent, setting; BYTE hidden, back; } cases[] = {{0, 0, 0, 0}, {1, 40, 5, 215}, {1, 255, 0, 0}};
  for (const auto& c : cases) {
    scope_.settings().PaneWindow = 1;
    scope_.settings().TransparentForm = c.transparent;
    scope_.settings().bAlpha = static_cast<uint8_t>(c.setting);
    MeterWindow meter{app::State().settings};
    ASSERT_TRUE(meter.Create());
    meter.MoveTo(400, 300);
    meter.ShowAndPaint();
    ::SendMessageA(meter.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-40 & 0xFFFF, 10));  // captured, elsewhere
    EXPECT_TRUE(Visible(meter.hwnd()));
    MovePointerInto(meter.hwnd());
    ::SendMessageA(meter.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    EXPECT_FALSE(Visible(meter.hwnd())) << c.setting;
    EXPECT_EQ(LayeredAlpha(meter.hwnd()), c.hidden) << c.setting;
    Pump(1300);  // neither the show timer nor the tick bring it back under the pointer
    EXPECT_FALSE(Visible(meter.hwnd())) << c.setting;
    MovePointerAway();
    EXPECT_TRUE(PumpUntil([&] { return Visible(meter.hwnd()); }, 500)) << c.setting;
    EXPECT_EQ(LayeredAlpha(meter.hwnd()), c.back) << c.setting;
    EXPECT_FALSE(TimerRuns(meter.hwnd(), display::kMeterShowTimer, 50));
  }
}

TEST_F(MeterWindowTest, DragCapturesThePointerRunsItsTimerAndEndsOnReleaseOrCaptureLoss) {
  Create();
  ::SendMessageA(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(::GetCapture(), hwnd());
  EXPECT_TRUE(TimerRuns(hwnd(), display::kMeterDragTimer, 50));
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-200 & 0xFFFF, -100 & 0xFFFF));  // far outside
  EXPECT_EQ(Where(hwnd()), std::make_pair(190L, 190L));
  ::SendMessageA(hwnd(), WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(meter_.dragging());
  EXPECT_NE(::GetCapture(), hwnd());
  EXPECT_FALSE(TimerRuns(hwnd(), display::kMeterDragTimer, 50));
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 20));
  EXPECT_EQ(Where(hwnd()).first, 190);

  // The timer keeps the meter under a pointer too fast for the moves.
  MovePointerInto(hwnd());
  ::SendMessageA(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  MovePointer(700, 600);
  EXPECT_TRUE(PumpUntil([&] { return Where(hwnd()) == std::make_pair(690L, 590L); }, 500));
  // Another window taking the pointer ends the drag.
  HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ::SetCapture(other);
  EXPECT_FALSE(meter_.dragging());
  EXPECT_FALSE(TimerRuns(hwnd(), display::kMeterDragTimer, 50));
  ::ReleaseCapture();
  ::DestroyWindow(other);
}

TEST_F(MeterWindowTest, KeyboardCloseCommandsTrayCallbackAndCursor) {
  Create();
  ::SetForegroundWindow(hwnd());
  ::PostMessageA(hwnd(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  for (MSG msg; ::PeekMessageA(&msg, hwnd(), 0, 0, PM_REMOVE);)
    if (!fw::PreTranslateDialogMessage(msg)) ::DispatchMessageA(&msg);
  ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  Pump(100);
  EXPECT_TRUE(::IsWindow(hwnd()) && Visible(hwnd()));  // closing neither hides nor destroys
  ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_WAKE_LAST + 1, 0), 0);  // not the menu's
  ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_WAKE_LAST, 0), 0);
  // Enter opens the main dialog; the close request reaches the menu as Cancel.
  EXPECT_EQ(menu_->commands, (std::vector<UINT>{ID_TRAY_MAIN_DIALOG, IDCANCEL, ID_TRAY_WAKE_LAST}));
  EXPECT_EQ(::SendMessageA(hwnd(), display::WM_TRAY_CALLBACK, 1, WM_RBUTTONDOWN), 1);
  EXPECT_EQ(menu_->notifications, std::vector<UINT>{WM_RBUTTONDOWN});
  ::SendMessageA(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));  // it can be dragged
}

// Brought back onto the work area only when on no monitor at all.
TEST_F(MeterWindowTest, StoredPositionIsKeptUnlessItIsOnNoMonitor) {
  Create(false);
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  meter_.MoveTo(-30, -10);  // partly off the screen
  EXPECT_EQ(Where(hwnd()), std::make_pair(-30L, -10L));
  meter_.MoveTo(300, 9000);
  EXPECT_EQ(Where(hwnd()), std::make_pair(300L, work.bottom - 33));
}

TEST_F(MeterWindowTest, AppearOnlyHidesWithoutABatteryOfInterestAndShowsOnlyWhenThePointerIsAway) {
  scope_.settings().AppearOnlyWhenChrDischr = 1;
  Create();
  scope_.battery.of_interest = false;  // on mains, neither charging nor discharging
  EXPECT_TRUE(PumpUntil([&] { return !Visible(hwnd()); }, 1200));
  MovePointerInto(hwnd());  // of interest again, but the pointer is where it would show
  scope_.battery.of_interest = true;
  Pump(1300);
  EXPECT_FALSE(Visible(hwnd()));
  MovePointerAway();
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 1200));
}

// Other programs' icons with these identifiers; the listing ends with `result`.
TrayIcon::EntrySource Entries(std::vector<uint32_t> ids, DWORD result = 0) {
  return [ids, result](std::vector<TrayEntry>& entries) {
    for (uint32_t id : ids) entries.push_back(TrayEntry{0x1234, id, 0, 0, {}, {}});
    return result;
  };
}

TEST_F(MeterWindowTest, TrayIconTakesAFreeIdentifierCutsItsTipAndFollowsTheTaskbar) {
  Create();
  {
    TrayIcon icon;
    icon.set_entry_source(Entries({1}, ERROR_ACCESS_DENIED));  // half a listing counts
    EXPECT_GE(icon.SetOwner(hwnd(), 0), ShellVersion(5, 0));   // Wine's shell
    EXPECT_EQ(icon.record().uID, 2u);
    icon.set_entry_source(Entries({7}));  // a given identifier is used as it is
    icon.SetOwner(hwnd(), 7);
    EXPECT_EQ(icon.record().uID, 7u);
    icon.SetTooltip(std::string(100, 'x'));
    EXPECT_EQ(std::strlen(icon.record().szTip), 63u);

    icon.SetCallback(display::WM_TRAY_CALLBACK);
    icon.SetIconFromResource(::GetModuleHandleA(nullptr), IDI_APP);
    ASSERT_TRUE(icon.Add());
    meter_.set_tray_icon(&icon);
    NOTIFYICONDATAA gone = icon.record();  // a restarted taskbar knows no icon any more
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &gone));
    ::SendMessageA(hwnd(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(TrayIconExists(hwnd(), 7));
    meter_.set_tray_icon(nullptr);
  }
  EXPECT_FALSE(TrayIconExists(hwnd(), 7));  // an icon still added goes with its object
}

}  // namespace
}  // namespace vantrel::display
