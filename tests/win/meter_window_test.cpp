// The meter window under Wine: timers, transparency, appear-only, auto-hide, dragging, the
// keyboard, the tray menu's events and placement.
#include <gtest/gtest.h>

#include "app/app_messages.h"
#include "display/layered_window.h"
#include "display/meter_window.h"
#include "display/tray_icon.h"
#include "platform/system_api.h"
#include "resource.h"
#include "win/display_support.h"

namespace vantrel::display {
namespace {

using vantrel::testing::LayeredAlpha;
using vantrel::testing::MovePointer;
using vantrel::testing::MovePointerAway;
using vantrel::testing::MovePointerInto;
using vantrel::testing::PumpUntil;

bool TimerRuns(HWND window, UINT_PTR id) {
  // Killing is the only way to ask; the timer is started again at its period.
  if (!::KillTimer(window, id)) return false;
  ::SetTimer(window, id, id == app::kMeterTickTimer ? 1000 : 50, nullptr);
  return true;
}

bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }

class MeterWindowTest : public ::testing::Test {
 protected:
  // Creates the meter at (400, 300) with the tray menu's events recorded.
  void Create(bool show = true) {
    meter_.set_tray_menu(std::make_unique<vantrel::testing::RecordingTrayMenu>(events_));
    ASSERT_TRUE(meter_.Create());
    meter_.MoveTo(400, 300);
    if (show) meter_.ShowAndPaint();
  }
  HWND hwnd() const { return meter_.hwnd(); }

  vantrel::testing::DisplayTestScope scope_;
  vantrel::testing::TrayMenuEvents events_;
  MeterWindow meter_;
};

TEST_F(MeterWindowTest, WithoutABatteryTheWindowStaysHiddenWithNoTimersAndNoShape) {
  scope_.battery.count = 0;
  Create(false);
  EXPECT_TRUE(::IsWindow(hwnd()));
  EXPECT_EQ(meter_.painter(), nullptr);
  EXPECT_EQ(events_.builds, 1);  // the tray menu exists all the same
  PumpUntil([] { return false; }, 1300);
  EXPECT_FALSE(Visible(hwnd()));
  EXPECT_EQ(scope_.battery.figure_calls, 0);
  for (UINT_PTR id : {app::kMeterShowTimer, app::kMeterDragTimer, app::kMeterTickTimer})
    EXPECT_FALSE(::KillTimer(hwnd(), id)) << id;
  fw::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(::GetWindowRgn(hwnd(), region), ERROR);
}

TEST_F(MeterWindowTest, WithABatteryOnlyTheTickRunsAndTheMeterIsAToolWindow) {
  scope_.settings().AlwaysOnTop = 1;
  Create(false);
  EXPECT_TRUE(meter_.has_batteries());
  const LONG_PTR ex = ::GetWindowLongPtrA(hwnd(), GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_FALSE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(TimerRuns(hwnd(), app::kMeterTickTimer));
  EXPECT_FALSE(TimerRuns(hwnd(), app::kMeterDragTimer));  // only while dragging
  EXPECT_FALSE(TimerRuns(hwnd(), app::kMeterShowTimer));  // only after an auto-hide
  // Hidden at first, the tick shows it within a second and repaints it every second after.
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 1500));
  const int painted = scope_.battery.figure_calls;
  PumpUntil([] { return false; }, 2100);
  EXPECT_GE(scope_.battery.figure_calls - painted, 2);
  EXPECT_LE(scope_.battery.figure_calls - painted, 4);
}

TEST_F(MeterWindowTest, NotAlwaysOnTopMeansNotTopmost) {
  scope_.settings().AlwaysOnTop = 0;
  Create(false);
  EXPECT_FALSE(::GetWindowLongPtrA(hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(MeterTransparencyTest, AlphaIs255MinusTheSettingAndMissingLayeringLeavesItOpaque) {
  struct Case {
    int transparent;
    uint8_t alpha_setting;
    bool layered;
    BYTE alpha;
  } cases[] = {{1, 0, true, 255}, {1, 255, true, 0}, {1, 100, true, 155}, {0, 100, false, 0}};
  for (const Case& c : cases) {
    vantrel::testing::DisplayTestScope scope;
    scope.settings().TransparentForm = c.transparent;
    scope.settings().bAlpha = c.alpha_setting;
    MeterWindow meter;
    ASSERT_TRUE(meter.Create());
    EXPECT_EQ(IsLayered(meter.hwnd()), c.layered) << c.alpha_setting;
    if (c.layered) {
      EXPECT_EQ(LayeredAlpha(meter.hwnd()), c.alpha) << c.alpha_setting;
    }
  }

  // A system without the layering function: the meter is made all the same, opaque.
  vantrel::testing::DisplayTestScope scope;
  scope.settings().TransparentForm = 1;
  scope.settings().bAlpha = 100;
  LayeredLookup previous = SetLayeredLookup([]() -> SetLayeredWindowAttributesFn { return nullptr; });
  MeterWindow meter;
  bool created = meter.Create();
  EXPECT_EQ(SetLayered(meter.hwnd(), true), -1);
  EXPECT_EQ(SetAlpha(meter.hwnd(), 0, 10, LWA_ALPHA), -1);
  SetLayeredLookup(previous);
  ASSERT_TRUE(created);
  EXPECT_FALSE(IsLayered(meter.hwnd()));
  // With the function back, the same calls work and report success.
  EXPECT_EQ(SetLayered(meter.hwnd(), true), 0);
  EXPECT_EQ(SetAlpha(meter.hwnd(), 0, 10, LWA_ALPHA), 0);
  EXPECT_TRUE(IsLayered(meter.hwnd()));
  EXPECT_EQ(LayeredAlpha(meter.hwnd()), 10);
  EXPECT_EQ(SetLayered(meter.hwnd(), false), 0);
  EXPECT_FALSE(IsLayered(meter.hwnd()));
}

TEST_F(MeterWindowTest, AppearOnlyHidesWithoutAChargingOrDischargingBatteryAndShowsWithOne) {
  scope_.settings().AppearOnlyWhenChrDischr = 1;
  scope_.battery.of_interest = false;  // on mains with a full battery
  Create();
  ASSERT_TRUE(Visible(hwnd()));
  EXPECT_TRUE(PumpUntil([&] { return !Visible(hwnd()); }, 1200));
  scope_.battery.of_interest = true;  // now discharging
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 1200));
  // The pointer over the meter keeps it as it is.
  scope_.battery.of_interest = false;
  EXPECT_TRUE(PumpUntil([&] { return !Visible(hwnd()); }, 1200));
  scope_.battery.of_interest = true;
  MovePointerInto(hwnd());
  PumpUntil([] { return false; }, 1300);
  EXPECT_FALSE(Visible(hwnd()));
}

TEST_F(MeterWindowTest, AutoHideHidesUnderThePointerAndReturnsWhenItLeaves) {
  scope_.settings().PaneWindow = 1;
  Create();
  MovePointerInto(hwnd());
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(Visible(hwnd()));
  PumpUntil([] { return false; }, 1300);  // the tick does not bring it back under the pointer
  EXPECT_FALSE(Visible(hwnd()));
  MovePointerAway();
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 500));
  EXPECT_FALSE(TimerRuns(hwnd(), app::kMeterShowTimer));
}

TEST_F(MeterWindowTest, AutoHideFadesBackToTheConfiguredTransparency) {
  scope_.settings().PaneWindow = 1;
  scope_.settings().TransparentForm = 1;
  scope_.settings().bAlpha = 40;
  Create();
  ASSERT_EQ(LayeredAlpha(hwnd()), 215);
  MovePointerInto(hwnd());
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_FALSE(Visible(hwnd()));
  EXPECT_EQ(LayeredAlpha(hwnd()), 5);  // the last fade-out step
  MovePointerAway();
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 500));
  EXPECT_EQ(LayeredAlpha(hwnd()), 215);
}

TEST_F(MeterWindowTest, FullyTransparentMeterDoesNotFadeIn) {
  scope_.settings().PaneWindow = 1;
  scope_.settings().TransparentForm = 1;
  scope_.settings().bAlpha = 255;
  Create();
  MovePointerInto(hwnd());
  const DWORD start = ::GetTickCount();
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_LT(::GetTickCount() - start, 200u);  // no fade-out steps either
  EXPECT_FALSE(Visible(hwnd()));
  MovePointerAway();
  EXPECT_TRUE(PumpUntil([&] { return Visible(hwnd()); }, 500));
  EXPECT_EQ(LayeredAlpha(hwnd()), 0);
}

TEST_F(MeterWindowTest, AutoHideIgnoresMovesAwayFromTheMeter) {
  scope_.settings().PaneWindow = 1;
  Create();
  // Moves reported while the pointer is captured elsewhere.
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(-40, -20));
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(300, 10));
  EXPECT_TRUE(Visible(hwnd()));
}

TEST_F(MeterWindowTest, DragFollowsThePointerUnderCaptureAndEndsOnRelease) {
  Create();
  ::SendMessageA(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_TRUE(meter_.dragging());
  EXPECT_EQ(::GetCapture(), hwnd());
  EXPECT_TRUE(TimerRuns(hwnd(), app::kMeterDragTimer));
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 25));
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  EXPECT_EQ(r.left, 420);
  EXPECT_EQ(r.top, 315);
  // Released far outside the meter: the capture still brings the button-up here.
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-200 & 0xFFFF, -100 & 0xFFFF));
  ::GetWindowRect(hwnd(), &r);
  EXPECT_EQ(r.left, 210);
  EXPECT_EQ(r.top, 205);
  ::SendMessageA(hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(-200 & 0xFFFF, -100 & 0xFFFF));
  EXPECT_FALSE(meter_.dragging());
  EXPECT_NE(::GetCapture(), hwnd());
  EXPECT_FALSE(TimerRuns(hwnd(), app::kMeterDragTimer));
  // Moves after the drag move nothing.
  ::SendMessageA(hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 20));
  ::GetWindowRect(hwnd(), &r);
  EXPECT_EQ(r.left, 210);
}

TEST_F(MeterWindowTest, DragTimerKeepsTheMeterUnderAFastPointer) {
  Create();
  MovePointerInto(hwnd());
  ::SendMessageA(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  MovePointer(700, 600);
  EXPECT_TRUE(PumpUntil(
      [&] {
        RECT r{};
        ::GetWindowRect(hwnd(), &r);
        return r.left == 690 && r.top == 590;
      },
      500));
  ::SendMessageA(hwnd(), WM_LBUTTONUP, 0, 0);
}

TEST_F(MeterWindowTest, LosingTheCaptureEndsTheDrag) {
  Create();
  ::SendMessageA(hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  HWND other = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ::SetCapture(other);
  EXPECT_FALSE(meter_.dragging());
  EXPECT_FALSE(TimerRuns(hwnd(), app::kMeterDragTimer));
  ::ReleaseCapture();
  ::DestroyWindow(other);
}

TEST_F(MeterWindowTest, EnterGivesCommandOneAndCloseNeitherHidesNorDestroys) {
  Create();
  ::SetForegroundWindow(hwnd());
  ::SetFocus(hwnd());
  ::PostMessageA(hwnd(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  MSG msg;
  while (::PeekMessageA(&msg, hwnd(), 0, 0, PM_REMOVE)) {
    if (!fw::PreTranslateDialogMessage(msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  ASSERT_EQ(events_.commands, std::vector<UINT>{ID_TRAY_MAIN_DIALOG});
  EXPECT_TRUE(Visible(hwnd()));

  ::SendMessageA(hwnd(), WM_CLOSE, 0, 0);
  PumpUntil([] { return false; }, 100);
  EXPECT_TRUE(::IsWindow(hwnd()));
  EXPECT_TRUE(Visible(hwnd()));
  // Commands beyond the menu's range are not the menu's.
  ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(2001, 0), 0);
  ::SendMessageA(hwnd(), WM_COMMAND, MAKEWPARAM(1215, 0), 0);
  EXPECT_EQ(events_.commands.back(), 1215u);
  for (UINT id : events_.commands) EXPECT_LE(id, 2000u);
}

class RecordingBeeps : public platform::ForwardingSystemApi {
 public:
  RecordingBeeps() : ForwardingSystemApi(platform::Sys()) {}
  BOOL Beep(DWORD frequency, DWORD duration) override {
    beeps.push_back({frequency, duration});
    return TRUE;
  }
  std::vector<std::pair<DWORD, DWORD>> beeps;
};

TEST_F(MeterWindowTest, LanguageChangeBeepsAndRebuildsTheTrayMenu) {
  RecordingBeeps beeps;
  platform::ScopedSystemApi scoped(beeps);
  Create();
  ASSERT_EQ(events_.builds, 1);
  ::SendMessageA(hwnd(), app::WM_LANGUAGE_CHANGED, 0, 0);
  ASSERT_EQ(beeps.beeps.size(), 1u);
  EXPECT_EQ(beeps.beeps[0].first, 1000u);
  EXPECT_EQ(beeps.beeps[0].second, 100u);
  EXPECT_EQ(events_.builds, 2);
}

TEST_F(MeterWindowTest, TrayCallbackGoesToTheMenuAndAlwaysAnswersOne) {
  Create();
  EXPECT_EQ(::SendMessageA(hwnd(), app::WM_TRAY_CALLBACK, 1, WM_RBUTTONDOWN), 1);
  EXPECT_EQ(::SendMessageA(hwnd(), app::WM_TRAY_CALLBACK, 1, WM_LBUTTONDBLCLK), 1);
  EXPECT_EQ(events_.notifications, (std::vector<UINT>{WM_RBUTTONDOWN, WM_LBUTTONDBLCLK}));
  MeterWindow bare;  // no tray menu attached
  ASSERT_TRUE(bare.Create());
  EXPECT_EQ(::SendMessageA(bare.hwnd(), app::WM_TRAY_CALLBACK, 1, WM_RBUTTONDOWN), 1);
}

TEST_F(MeterWindowTest, CursorIsTheHandUnlessTheMeterHidesItself) {
  Create();
  ::SendMessageA(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_HAND));
  scope_.settings().PaneWindow = 1;
  ::SendMessageA(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursor(nullptr, IDC_ARROW));
}

TEST_F(MeterWindowTest, TaskbarRestartAddsTheIconAgain) {
  Create();
  TrayIcon icon;
  icon.set_entry_source({});
  icon.SetOwner(hwnd(), 0);
  icon.SetCallback(app::WM_TRAY_CALLBACK);
  icon.SetTooltip(kTrayTooltip);
  icon.SetIconFromResource(::GetModuleHandleA(nullptr), IDI_APP);
  ASSERT_TRUE(icon.Add());
  meter_.set_tray_icon(&icon);
  // The restarted taskbar knows no icon any more.
  NOTIFYICONDATAA gone = icon.record();
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &gone));
  ASSERT_FALSE(vantrel::testing::TrayIconExists(hwnd(), icon.record().uID));
  ::SendMessageA(hwnd(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(vantrel::testing::TrayIconExists(hwnd(), icon.record().uID));
  EXPECT_TRUE(icon.Delete());
}

TEST_F(MeterWindowTest, StoredPositionIsKeptUnlessItIsOnNoMonitor) {
  Create(false);
  auto place = [&](int x, int y) {
    meter_.MoveTo(x, y);
    RECT r{};
    ::GetWindowRect(hwnd(), &r);
    return std::pair<int, int>{r.left, r.top};
  };
  EXPECT_EQ(place(100, 120), (std::pair<int, int>{100, 120}));
  // Partly off the screen, negative included: as stored.
  EXPECT_EQ(place(-30, -10), (std::pair<int, int>{-30, -10}));
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(place(-5000, -5000), (std::pair<int, int>{work.left, work.top}));
  EXPECT_EQ(place(5000, 200), (std::pair<int, int>{static_cast<int>(work.right) - 56, 200}));
  EXPECT_EQ(place(300, 9000), (std::pair<int, int>{300, static_cast<int>(work.bottom) - 33}));
  // The setting itself is not touched.
  EXPECT_EQ(scope_.settings().BatteryMeterPosLeft, 0);
}

}  // namespace
}  // namespace vantrel::display
