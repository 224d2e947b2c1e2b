// The meter window and its tray icon under Wine: timers, transparency, auto-hide, dragging,
// the tray menu's events, placement, appear-only, and the icon in Wine's taskbar; the painted
// face, read back pixel by pixel, and the window's outline; the battery notices: the options
// dialog, the balloon on the tray icon, and the meter raising one as a simulated battery drains
// through the level.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "display/core/meter_face.h"
#include "display/core/tray_rules.h"
#include "display/layered_window.h"
#include "display/meter_painter.h"
#include "display/meter_window.h"
#include "display/notices_dialog.h"
#include "display/tray_icon.h"
#include "framework/dialog.h"
#include "notices_ids.h"
#include "resource.h"
#include "settings/settings_store.h"
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

// Without layered windows the calls say so and the meter is opaque; the alpha formula is
// checked by the auto-hide cases, which end on the configured alpha.
TEST_F(MeterWindowTest, WithoutABatteryTheWindowStaysHiddenWithNoTimersAndWithoutLayeredWindowsOpaque) {
  scope_.battery.count = 0;
  scope_.settings().TransparentForm = 1;
  LayeredLookup previous = SetLayeredLookup([]() -> SetLayeredWindowAttributesFn { return nullptr; });
  Create(false);
  const int layered = SetLayered(hwnd(), true), alpha = SetAlpha(hwnd(), 0, 10, LWA_ALPHA);
  SetLayeredLookup(previous);
  EXPECT_EQ(layered, -1);
  EXPECT_EQ(alpha, -1);
  EXPECT_FALSE(IsLayered(hwnd()));
  EXPECT_EQ(menu_->builds, 1);  // the tray menu exists all the same
  Pump(1300);
  EXPECT_FALSE(Visible(hwnd()));
  EXPECT_EQ(scope_.battery.figure_calls, 0);
  for (UINT_PTR id : {display::kMeterShowTimer, display::kMeterDragTimer, display::kMeterTickTimer})
    EXPECT_FALSE(::KillTimer(hwnd(), id)) << id;
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

// A drag captures the pointer, runs its timer and ends on release or capture loss.
TEST_F(MeterWindowTest, WithABatteryOnlyTheTickRunsItShowsAndRepaintsEverySecondAndCanBeDragged) {
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

// The tray icon takes a free identifier, cuts its tip and follows the taskbar.
TEST_F(MeterWindowTest, KeyboardCloseCommandsTrayCallbackCursorAndTheTrayIcon) {
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


// Copies a bitmap resource of the test program onto `canvas`.
bool LoadBitmap(Canvas& canvas, UINT id, int width, int height) {
  fw::UniqueBitmap picture(static_cast<HBITMAP>(
      ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  fw::UniqueMemoryDC source(::CreateCompatibleDC(canvas.dc()));
  fw::SelectObjectGuard select(source, picture);
  return picture && ::BitBlt(canvas.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
}

class PaintedFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadBitmap(face_, IDB_METER_FACE, kFaceWidth, kFaceHeight));
    ASSERT_TRUE(LoadBitmap(font_, IDB_METER_FONT, kFontWidth, kFontHeight));
    background_ = font_.At(0, 17);  // the spare row
  }

  void Paint(unsigned charge, const std::string& time) {
    scope_.battery.figures = {charge, time};
    painter_.Paint(painted_.dc());
  }

  // The text at `at` is made of these strip blocks (5 wide, the last one 4), with ink in them.
  ::testing::AssertionResult TextIs(Point at, const std::vector<Point>& glyphs) const {
    int ink = 0;
    for (int k = 0; k < static_cast<int>(glyphs.size()); ++k) {
      for (int dy = 0; dy < 6; ++dy) {
        for (int dx = 0; dx < (k + 1 == static_cast<int>(glyphs.size()) ? 4 : 5); ++dx) {
          const COLORREF want = font_.At(glyphs[k].x + dx, glyphs[k].y + dy);
          ink += want != background_;
          if (painted_.At(at.x + 5 * k + dx, at.y + dy) != want)
            return ::testing::AssertionFailure() << "glyph " << k << " differs at " << dx << ", " << dy;
        }
      }
    }
    if (ink == 0) return ::testing::AssertionFailure() << "the expected glyphs have no ink";
    return ::testing::AssertionSuccess();
  }

  // The bar shows the face before `blank` and white from there; every pixel outside the bar
  // and the two texts (of the given lengths) is the face bitmap's own.
  ::testing::AssertionResult FaceWithBarBlankedFrom(int blank, int time_length, int charge_length) const {
    auto in_text = [](int x, int y, Point at, int length) {
      return x >= at.x && x < at.x + 5 * length - 1 && y >= at.y && y < at.y + 6;
    };
    for (int y = 0; y < kFaceHeight; ++y) {
      for (int x = 0; x < kFaceWidth; ++x) {
        const bool bar = x >= 7 && x <= 44 && y >= 14 && y <= 18;
        if (bar && face_.At(x, y) == 0xFFFFFF) return ::testing::AssertionFailure() << "white in the face's bar";
        if (!bar && (in_text(x, y, kTimeTextOrigin, time_length) || in_text(x, y, kChargeTextOrigin, charge_length)))
          continue;
        const COLORREF want = bar && x >= blank ? 0xFFFFFF : face_.At(x, y);
        if (painted_.At(x, y) != want) return ::testing::AssertionFailure() << "pixel " << x << ", " << y;
      }
    }
    return ::testing::AssertionSuccess();
  }

  DisplayTestScope scope_;
  MeterPainter painter_{nullptr, scope_.settings()};
  Canvas face_{kFaceWidth, kFaceHeight}, font_{kFontWidth, kFontHeight}, painted_{kFaceWidth, kFaceHeight};
  COLORREF background_ = 0;
};

TEST_F(PaintedFaceTest, BarTextsRedrawsAndObjectsFollowWhatTheFaceShows) {
  ASSERT_TRUE(painter_.ready());
  Paint(0, "UNKNOWN");
  EXPECT_TRUE(FaceWithBarBlankedFrom(7, 7, 2));
  // U N K N O W N: cells 20, 13, 10, 13, 14, 22, 13 of row 0, at (9, 4).
  EXPECT_TRUE(TextIs({9, 4}, {{100, 0}, {65, 0}, {50, 0}, {65, 0}, {70, 0}, {110, 0}, {65, 0}}));
  EXPECT_TRUE(TextIs({16, 23}, {{0, 6}, {130, 6}}));  // "0%" from row 1, at (16, 23)

  Paint(50, "1:02:05");
  EXPECT_TRUE(TextIs({9, 4}, {{5, 6}, {60, 6}, {0, 6}, {10, 6}, {60, 6}, {0, 6}, {25, 6}}));
  Paint(100, "a 1");  // lower case: the block at (0, 3); the blank: row 0's last cell
  EXPECT_TRUE(FaceWithBarBlankedFrom(45, 3, 4));
  EXPECT_TRUE(TextIs({9, 4}, {{0, 3}, {145, 0}, {5, 6}}));

  // Each tick asks for the figures; the face is drawn again only when its texts change, and a
  // paint between ticks copies the face as last drawn. A time of the same length redraws only
  // the glyphs that differ (cells at x 9 + 5k, y 4..9), and only they are to reach the window.
  const struct { unsigned charge; const char* time; bool drawn; RECT changed; } steps[] = {
      {50, "1:02:05", true, {0, 0, 56, 33}}, {50, "1:02:05", false, {}}, {51, "1:02:05", true, {0, 0, 56, 33}},
      {51, "1:02:06", true, {39, 4, 43, 10}}, {51, "1:02:06", false, {}}, {51, "1:02:10", true, {34, 4, 43, 10}},
      {51, "1:03:10", true, {24, 4, 29, 10}}};
  for (const auto& step : steps) {
    scope_.battery.figures = {step.charge, step.time};
    SCOPED_TRACE(std::to_string(step.charge) + " " + step.time);
    EXPECT_EQ(painter_.Refresh(), step.drawn);
    const RECT& c = painter_.changed();
    const RECT& want = step.changed;
    if (step.drawn) {
      EXPECT_EQ((std::array{c.left, c.top, c.right, c.bottom}), (std::array{want.left, want.top, want.right, want.bottom}));
    }
  }
  EXPECT_EQ(scope_.battery.figure_calls, 10);
  painter_.Blit(painted_.dc());
  EXPECT_EQ(scope_.battery.figure_calls, 10) << "a paint asks for no figures";
  EXPECT_TRUE(TextIs({9, 4}, {{5, 6}, {60, 6}, {0, 6}, {15, 6}, {60, 6}, {5, 6}, {0, 6}}));
  // A paint of part of the window copies that part only.
  std::vector<COLORREF> before;
  for (int y = 3; y < 11; ++y)
    for (int x = 38; x < 44; ++x) before.push_back(painted_.At(x, y));
  RECT all{0, 0, kFaceWidth, kFaceHeight}, part{39, 4, 43, 10};
  ::FillRect(painted_.dc(), &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  painter_.Blit(painted_.dc(), &part);
  for (int y = 3, i = 0; y < 11; ++y)
    for (int x = 38; x < 44; ++x, ++i) {
      const bool inside = x >= 39 && x < 43 && y >= 4 && y < 10;
      EXPECT_EQ(painted_.At(x, y), inside ? before[static_cast<size_t>(i)] : 0u) << x << ", " << y;
    }
  EXPECT_NE(std::count(before.begin(), before.end(), 0u), static_cast<long>(before.size()));
  painter_.Blit(painted_.dc());
  EXPECT_TRUE(TextIs({16, 23}, {{25, 6}, {5, 6}, {130, 6}}));

  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  const int objects = GdiObjectsInUse();
  for (int i = 0; i < 1000; ++i) Paint(i % 2 ? 87 : 86, "5:36:49");  // every other one draws the face anew
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(GdiObjectsInUse(), objects) << "GDI objects the process holds";
  EXPECT_EQ(scope_.battery.figure_calls, 1010);
  EXPECT_TRUE(TextIs({16, 23}, {{40, 6}, {35, 6}, {130, 6}}));  // the last paint is whole
}

// What reached the shell: the message, the flags and the balloon's fields.
struct ShellCall { DWORD message; UINT flags; std::string title, text; DWORD info_flags; };
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

TEST_F(MeterWindowTest, ABalloonModifiesTheIconAndThePositionIsKeptUnlessOnNoMonitorAndTheShapeHasANub) {
  Create(false);
  RecordedIcon icon(hwnd());
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

  // The stored position is brought back onto the work area only when on no monitor at all.
  RECT work{};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  meter_.MoveTo(-30, -10);  // partly off the screen
  EXPECT_EQ(Where(hwnd()), std::make_pair(-30L, -10L));
  meter_.MoveTo(300, 9000);
  EXPECT_EQ(Where(hwnd()), std::make_pair(300L, work.bottom - 33));
  fw::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(hwnd(), region), COMPLEXREGION);
  struct { int x, y; bool inside; } probes[] = {
      {51, 32, true}, {52, 0, false}, {55, 7, false}, {52, 8, true}, {55, 24, true}, {55, 25, false}, {0, 33, false}};
  for (const auto& p : probes) EXPECT_EQ(::PtInRegion(region, p.x, p.y) != FALSE, p.inside) << p.x << ", " << p.y;
}

class NoticesTest : public ::testing::Test, protected PageControls {
 protected:
  // Modeless, so that the test can work it; its end only hides it then.
  void Open() {
    dialog_ = std::make_unique<CNoticesDialog>(nullptr, scope_.settings());
    ASSERT_TRUE(dialog_->Create());
    ::ShowWindow(dialog_->hwnd(), SW_SHOW);
  }
  HWND page() const override { return dialog_->hwnd(); }
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

  CleanKey clean_;
  DisplayTestScope scope_{false};  // the battery status model answers
  PowerTestMachine pc_;
  std::unique_ptr<CNoticesDialog> dialog_;
  std::unique_ptr<MeterWindow> meter_;
  std::unique_ptr<RecordedIcon> icon_;
};

// The edits of notices that are off are greyed; OK takes and stores the levels within the
// range, Cancel changes nothing.
TEST_F(NoticesTest, TheDialogTakesAndStoresTheLevelsAndACrossingRaisesOneBalloonWithItsTexts) {
  Open();  // the title, and the limit off at the usual 80, are seen end to end
  EXPECT_TRUE(Checked(IDC_NOTICES_LOW_CHECK));
  EXPECT_EQ(Text(IDC_NOTICES_LOW_EDIT), "15");
  for (int id : {IDC_NOTICES_LIMIT_EDIT, IDC_NOTICES_LIMIT_SPIN, IDC_NOTICES_LIMIT_UNIT}) EXPECT_FALSE(Enabled(id)) << id;
  Click(IDC_NOTICES_LIMIT_CHECK);
  for (int id : {IDC_NOTICES_LIMIT_EDIT, IDC_NOTICES_LIMIT_SPIN}) EXPECT_TRUE(Enabled(id)) << id;
  Click(IDC_NOTICES_LOW_CHECK);
  EXPECT_FALSE(Enabled(IDC_NOTICES_LOW_EDIT));
  ::SetWindowTextA(Item(IDC_NOTICES_LIMIT_EDIT), "abc");
  Press(IDCANCEL);
  EXPECT_FALSE(::IsWindowVisible(dialog_->hwnd()));
  EXPECT_EQ(scope_.settings().LowBatteryNotice, 15u);
  EXPECT_EQ(scope_.settings().ChargeLimitNotice, 0u);
  EXPECT_FALSE(ReadRaw(HKEY_CURRENT_USER, kKey, settings::kLowBatteryNotice).found);

  // typed level -> stored level
  const struct { const char* typed; uint32_t level; } cases[] = {{"85", 85}, {"250", 100}, {"0", 1}, {"-5", 1}, {"", 90}};
  for (const auto& c : cases) {
    scope_.settings().ChargeLimitNotice = 90;
    scope_.settings().LowBatteryNotice = 15;
    Open();
    Click(IDC_NOTICES_LOW_CHECK);
    ::SetWindowTextA(Item(IDC_NOTICES_LIMIT_EDIT), c.typed);
    Press(IDOK);
    EXPECT_FALSE(::IsWindowVisible(dialog_->hwnd()));
    for (const settings::AppSettings& taken : {scope_.settings(), StoredSettings()}) {
      EXPECT_EQ(taken.ChargeLimitNotice, c.level) << c.typed;
      EXPECT_EQ(taken.LowBatteryNotice, 0u) << c.typed;
    }
  }

  // One battery of 10 000 mWh at 3.6 W: a point every 100 simulated seconds, four ticks. A
  // battery that does not know its charge shows 0 %, which must not pass for an empty one: its
  // balloon waits for the figure to come back (at 15 %: 1550 mWh, 25 minutes 50 seconds). A
  // battery draining through the level is followed end to end.
  const struct { uint32_t low, limit; ULONG capacity; LONG rate; const char *title, *text; DWORD sign; } crossings[] = {
      {15, 80, BATTERY_UNKNOWN_CAPACITY, -3600, "Low battery",
       "The battery is at 15%, time left 0:25:50. Connect the charger.", NIIF_WARNING},
      {0, 80, 7950, 3600, "Charge limit reached",
       "The battery is charged to 80%. Unplug the charger to spare the battery.", NIIF_INFO}};
  // The battery chosen by name: its power state is read even while its charge is not.
  scope_.settings().DisplayOneBatteryStatus = 1;
  scope_.settings().BatteryName = "Battery";
  for (const auto& c : crossings) {
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
