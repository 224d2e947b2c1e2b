#include "display/meter_window.h"

#include <windowsx.h>

#include <string>

#include "display/core/meter_rules.h"
#include "display/layered_window.h"
#include "display/meter_battery.h"
#include "display/tray_icon.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "platform/system_api.h"
#include "resource.h"

namespace vantrel::display {

namespace {

constexpr UINT kShowPeriodMs = 50;
constexpr UINT kDragPeriodMs = 50;
constexpr UINT kTickPeriodMs = 1000;
constexpr UINT kBlendMs = 200;
constexpr DWORD kLanguageBeepHz = 1000;
constexpr DWORD kLanguageBeepMs = 100;
constexpr UINT kPlaceFlags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;

Point PointFrom(LPARAM lp) { return {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}; }

Rect RectFrom(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

MeterWindow::MeterWindow(const settings::AppSettings& settings)
    : fw::Dialog(IDD_METER, nullptr), settings_(settings) {}

MeterWindow::~MeterWindow() {
  // The window goes first, while everything its messages reach is still here.
  if (hwnd()) DestroyWindow();
}

BOOL MeterWindow::OnInitDialog() {
  taskbar_created_ = ::RegisterWindowMessageA("TaskbarCreated");
  const settings::AppSettings& settings = settings_;
  has_batteries_ = CurrentMeterBattery().BatteryCount(platform_) > 0;
  if (has_batteries_) {
    ::SetWindowLongPtrA(hwnd(), GWL_EXSTYLE, ::GetWindowLongPtrA(hwnd(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    painter_ = std::make_unique<MeterPainter>(hwnd(), settings_);
    painter_->SetOutline();
    history_ = std::make_unique<battery::HistoryRecorder>(battery::DefaultHistoryPath());
    // The drag timer runs only while a drag is in progress.
    ::SetTimer(hwnd(), kMeterTickTimer, kTickPeriodMs, nullptr);
    if (!IsLayered(hwnd()) && settings.TransparentForm) ShowTransparent(true, settings.bAlpha);
    ShowOnTop(settings.AlwaysOnTop != 0);
  }
  if (tray_menu_) tray_menu_->BuildTrayMenu(hwnd());
  scheme_switcher_.Start();
  return TRUE;
}

void MeterWindow::ShowTransparent(bool transparent, uint8_t alpha_setting) {
  if (!hwnd()) return;
  if (!transparent) {
    SetLayered(hwnd(), false);
    return;
  }
  if (SetLayered(hwnd(), true) == 0) ShowAlpha(alpha_setting);
}

void MeterWindow::ShowAlpha(uint8_t alpha_setting) {
  if (hwnd()) SetAlpha(hwnd(), 0, ConfiguredAlpha(alpha_setting), LWA_ALPHA);
}

void MeterWindow::ShowOnTop(bool on_top) {
  if (!hwnd()) return;
  ::SetWindowPos(hwnd(), on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool MeterWindow::OnCommand(WORD id, WORD, HWND) {
  if (id > ID_TRAY_WAKE_LAST && !power::IsTraySchemeCommand(id)) return false;
  // Enter gives 1 and the close request 2: both go to the menu's command handler, never to the
  // dialog's own OK and Cancel, which would hide the meter.
  if (tray_menu_) tray_menu_->OnMenuCommand(hwnd(), id);
  return true;
}

bool MeterWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_PAINT:
      if (!painter_) return false;
      {
        // The face as the last tick drew it: a paint asks the batteries nothing.
        fw::PaintDC dc(hwnd());
        painter_->Blit(dc, &dc.paint().rcPaint);
      }
      return true;
    case WM_PRINTCLIENT:  // the blend animations take the face from here
      if (!painter_) return false;
      painter_->Blit(reinterpret_cast<HDC>(wp));
      return true;
    case WM_ERASEBKGND:
      if (!painter_) return false;
      result = 1;  // the face covers the whole outline
      return true;
    case WM_TIMER:
      switch (wp) {
        case kMeterShowTimer:
          OnShowTimer();
          return true;
        case kMeterDragTimer:
          OnDragTimer();
          return true;
        case kMeterTickTimer:
          OnTick();
          return true;
        default:
          return false;
      }
    case WM_MOUSEMOVE:
      OnMouseMove(PointFrom(lp));
      return true;
    case WM_LBUTTONDOWN:
      OnButtonDown(PointFrom(lp));
      return true;
    case WM_LBUTTONUP:
      EndDrag();
      return true;
    case WM_CAPTURECHANGED:
      // Another window took the pointer (a menu, a message box): the drag is over.
      if (dragging_ && reinterpret_cast<HWND>(lp) != hwnd()) {
        dragging_ = false;
        ::KillTimer(hwnd(), kMeterDragTimer);
      }
      return true;
    case WM_SETCURSOR:
      ::SetCursor(::LoadCursor(nullptr, settings_.PaneWindow ? IDC_ARROW : IDC_HAND));
      result = TRUE;
      return true;
    case WM_TRAY_CALLBACK:
      if (tray_menu_) tray_menu_->OnTrayNotify(hwnd(), static_cast<UINT>(lp));
      result = 1;
      return true;
    case WM_POWERBROADCAST:
      // Every top-level window hears of a change of power source; the meter is always there.
      result = TRUE;
      switch (wp) {
        case PBT_APMPOWERSTATUSCHANGE:
          scheme_switcher_.OnPowerStatusChange();
          if (history_) history_->OnPowerSourceChange();
          return true;
        case PBT_APMSUSPEND:
          if (history_) history_->OnSuspend();
          return true;
        case PBT_APMRESUMESUSPEND:
        case PBT_APMRESUMEAUTOMATIC:
          if (history_) history_->OnResume();
          return true;
        default:
          return false;
      }
    case WM_LANGUAGE_CHANGED:
      platform::Sys().Beep(kLanguageBeepHz, kLanguageBeepMs);
      if (tray_menu_) tray_menu_->BuildTrayMenu(hwnd());
      return true;
    default:
      break;
  }
  if (taskbar_created_ && msg == taskbar_created_) {
    // The taskbar was restarted and has forgotten every icon.
    if (tray_icon_) tray_icon_->AddAgain();
    return true;
  }
  return false;
}

void MeterWindow::OnFinalDestroy() {
  if (history_) history_->Close();
  painter_.reset();
  if (main_window_) ::PostQuitMessage(0);
}

// ---- placing and showing --------------------------------------------------------------------

void MeterWindow::MoveTo(int left, int top) {
  if (!hwnd()) return;
  ::SetWindowPos(hwnd(), nullptr, left, top, 0, 0, kPlaceFlags);
  // The face, not the larger template rectangle, must be seen.
  RECT face{left, top, left + kFaceWidth, top + kFaceHeight};
  if (::MonitorFromRect(&face, MONITOR_DEFAULTTONULL)) return;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!::GetMonitorInfoA(::MonitorFromRect(&face, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const Point place = PlaceWithin(RectFrom(face), RectFrom(monitor.rcWork));
  ::SetWindowPos(hwnd(), nullptr, place.x, place.y, 0, 0, kPlaceFlags);
}

void MeterWindow::ShowAndPaint(int show_command) {
  ::ShowWindow(hwnd(), show_command);
  if (painter_) painter_->Refresh();
  Repaint();
}

void MeterWindow::Repaint(const RECT* area) {
  ::InvalidateRect(hwnd(), area, FALSE);
  ::UpdateWindow(hwnd());
}

Rect MeterWindow::WindowRect() const {
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  return RectFrom(r);
}

bool MeterWindow::PointerInside() const {
  POINT p{};
  if (!::GetCursorPos(&p)) return false;
  return StrictlyInside(WindowRect(), {p.x, p.y});
}

// ---- timers ---------------------------------------------------------------------------------

void MeterWindow::OnTick() {
  // The timer repeats by itself: a tick neither stops nor restarts it.
  const settings::AppSettings& settings = settings_;
  TickState state;
  state.appear_only = settings.AppearOnlyWhenChrDischr != 0;
  if (state.appear_only) state.battery_of_interest = CurrentMeterBattery().HasBatteryOfInterest(platform_, settings);
  state.visible = ::IsWindowVisible(hwnd()) != FALSE;
  // Only a hidden meter, and one that appears while a battery works, care where the pointer is.
  if (!state.visible || (state.appear_only && state.battery_of_interest)) state.pointer_inside = PointerInside();
  const uint32_t figures_before = painter_ ? painter_->figure_count() : 0;
  switch (DecideTick(state)) {
    case TickAction::kHide:
      ::ShowWindow(hwnd(), SW_HIDE);
      break;
    case TickAction::kRepaint:
      // A tick that changes nothing the face shows leaves the window alone; one that does
      // repaints only what changed (mostly a glyph or two of the time).
      if (painter_ && painter_->Refresh()) Repaint(&painter_->changed());
      break;
    case TickAction::kShow:
      ShowAndPaint();
      break;
    case TickAction::kNothing:
      break;
  }
  // Only a tick that asked the batteries has fresh figures; the notices and the history never
  // ask them themselves.
  const bool fresh = painter_ && painter_->figure_count() != figures_before;
  if (fresh) CheckNotices();
  if (history_ && painter_) {
    history_->OnTick(fresh ? &painter_->last_figures() : nullptr, state.appear_only && !state.battery_of_interest,
                     painter_->platform());
  }
}

void MeterWindow::CheckNotices() {
  const FaceFigures& figures = painter_->last_figures();
  const NoticeLevels levels{settings_.LowBatteryNotice, settings_.ChargeLimitNotice};
  const PowerFlow flow = figures.charging      ? PowerFlow::kCharging
                         : figures.discharging ? PowerFlow::kDischarging
                                               : PowerFlow::kOnMains;
  const Notice notice = notices_.Update(levels, figures.charge_known ? figures.charge : kUnknownCharge, flow);
  if (notice == Notice::kNone || !tray_icon_) return;
  const std::string charge = std::to_string(figures.charge);
  if (notice == Notice::kLowBattery) {
    const std::string time =
        figures.time_text == battery::kUnknownTimeText ? i18n::Text(i18n::IDS_BATTERY_UNKNOWN) : figures.time_text;
    tray_icon_->ShowBalloon(i18n::Text(i18n::IDS_NOTICE_LOW_BATTERY_TITLE),
                            i18n::FormatText(i18n::Text(i18n::IDS_NOTICE_LOW_BATTERY_TEXT), {charge, time}), true);
  } else {
    tray_icon_->ShowBalloon(i18n::Text(i18n::IDS_NOTICE_CHARGE_LIMIT_TITLE),
                            i18n::FormatText(i18n::Text(i18n::IDS_NOTICE_CHARGE_LIMIT_TEXT), {charge}), false);
  }
}

void MeterWindow::OnShowTimer() {
  ::KillTimer(hwnd(), kMeterShowTimer);
  if (PointerInside()) {
    ::SetTimer(hwnd(), kMeterShowTimer, kShowPeriodMs, nullptr);
    return;
  }
  const settings::AppSettings& settings = settings_;
  if (!settings.TransparentForm) {
    // Blend in from hidden; the tick may have shown the meter already, then it just repaints.
    if (!::IsWindowVisible(hwnd())) ::AnimateWindow(hwnd(), kBlendMs, AW_BLEND);
    ShowAndPaint();
    return;
  }
  ShowAndPaint();
  if (settings.bAlpha == 255) return;  // fully transparent: nothing to fade in
  FadeIn();
}

void MeterWindow::OnDragTimer() {
  if (!dragging_) {
    ::KillTimer(hwnd(), kMeterDragTimer);
    return;
  }
  POINT p{};
  if (!::GetCursorPos(&p)) return;
  if (StrictlyInside(WindowRect(), {p.x, p.y})) return;
  ::SetWindowPos(hwnd(), nullptr, p.x - drag_offset_.x, p.y - drag_offset_.y, 0, 0, kPlaceFlags);
}

// ---- pointer --------------------------------------------------------------------------------

void MeterWindow::OnMouseMove(Point client) {
  const settings::AppSettings& settings = settings_;
  if (settings.PaneWindow) {
    // Only a pointer over the visible meter hides it; while the pointer is captured for a drag
    // the moves elsewhere say nothing about the meter.
    RECT area{};
    ::GetClientRect(hwnd(), &area);
    const bool over = client.x >= 0 && client.y >= 0 && client.x < area.right && client.y < area.bottom;
    if (!over || !::IsWindowVisible(hwnd())) return;
    FadeOutAndHide();
    ::SetTimer(hwnd(), kMeterShowTimer, kShowPeriodMs, nullptr);
    return;
  }
  if (!dragging_) return;
  const Rect r = WindowRect();
  ::SetWindowPos(hwnd(), nullptr, r.left + client.x - drag_offset_.x, r.top + client.y - drag_offset_.y, 0, 0,
                 kPlaceFlags);
}

void MeterWindow::OnButtonDown(Point client) {
  dragging_ = true;
  drag_offset_ = client;
  // The button-up then arrives wherever the pointer is released.
  ::SetCapture(hwnd());
  ::SetTimer(hwnd(), kMeterDragTimer, kDragPeriodMs, nullptr);
}

void MeterWindow::EndDrag() {
  if (!dragging_) return;
  dragging_ = false;
  ::KillTimer(hwnd(), kMeterDragTimer);
  if (::GetCapture() == hwnd()) ::ReleaseCapture();
}

void MeterWindow::FadeOutAndHide() {
  const settings::AppSettings& settings = settings_;
  if (settings.TransparentForm) {
    for (uint8_t alpha : FadeOutAlphas(settings.bAlpha)) {
      SetAlpha(hwnd(), 0, alpha, LWA_ALPHA);
      ::Sleep(kFadeOutStepMs);
    }
    ::ShowWindow(hwnd(), SW_HIDE);
    return;
  }
  if (!::AnimateWindow(hwnd(), kBlendMs, AW_BLEND | AW_HIDE) || ::IsWindowVisible(hwnd()))
    ::ShowWindow(hwnd(), SW_HIDE);
}

void MeterWindow::FadeIn() {
  const std::vector<uint8_t> alphas = FadeInAlphas(settings_.bAlpha);
  for (size_t i = 0; i < alphas.size(); ++i) {
    SetAlpha(hwnd(), 0, alphas[i], LWA_ALPHA);
    if (i + 1 < alphas.size()) ::Sleep(kFadeInStepMs);
  }
}

}  // namespace vantrel::display
