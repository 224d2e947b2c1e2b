// The floating battery meter: a small battery-shaped window that shows the charge, the
// percentage and the estimated time. It is also the program's main window, the owner of the
// tray icon and the receiver of the tray menu's commands.
#pragma once

#include <windows.h>

#include <memory>

#include "battery/history_recorder.h"
#include "display/core/meter_face.h"
#include "display/core/notice_rules.h"
#include "display/meter_painter.h"
#include "framework/dialog.h"
#include "power/power_platform.h"
#include "power/scheme_switcher.h"
#include "power/tray_menu.h"
#include "settings/core/app_settings.h"

namespace vantrel::display {

// Main window -> meter window after a language change: beep and rebuild the tray menu.
inline constexpr UINT WM_LANGUAGE_CHANGED = WM_USER + 6;

// The meter's timers.
inline constexpr UINT_PTR kMeterShowTimer = 1;  // after an auto-hide: wait for the pointer to leave
inline constexpr UINT_PTR kMeterDragTimer = 2;  // follow the pointer while dragging
inline constexpr UINT_PTR kMeterTickTimer = 3;  // appear-only rule and the once-a-second repaint

class TrayIcon;

class MeterWindow : public fw::Dialog {
 public:
  // Builds the meter's own PowerPlatform; the window is made by Create(). The meter follows
  // `settings` as they change; they must outlive it.
  explicit MeterWindow(const settings::AppSettings& settings);
  ~MeterWindow() override;

  // Moves the meter to a stored position, keeping its size and Z order. A position on no
  // monitor (one was unplugged) puts the meter on the nearest monitor's work area instead;
  // the stored value is left as it is.
  void MoveTo(int left, int top);
  // Shows the meter (without taking the focus) and paints it at once.
  void ShowAndPaint(int show_command = SW_SHOWNOACTIVATE);

  // The meter's look is written here only; the Control page previews through these before
  // anything is stored. `alpha_setting` is a bAlpha value: the alpha is 255 minus it.
  // Layered with that alpha, or not layered; a system without layered windows stays opaque.
  void ShowTransparent(bool transparent, uint8_t alpha_setting);
  // The alpha alone, of a meter that is layered.
  void ShowAlpha(uint8_t alpha_setting);
  // Above other windows or not, without taking the focus.
  void ShowOnTop(bool on_top);

  // The program ends when the main window is destroyed.
  void set_main_window(bool main) noexcept { main_window_ = main; }
  // The icon to add again when the taskbar is restarted (not owned).
  void set_tray_icon(TrayIcon* icon) noexcept { tray_icon_ = icon; }
  void set_tray_menu(std::unique_ptr<power::TrayMenuHook> menu) noexcept { tray_menu_ = std::move(menu); }

  power::PowerPlatform& platform() noexcept { return platform_; }
  MeterPainter* painter() noexcept { return painter_.get(); }
  bool has_batteries() const noexcept { return has_batteries_; }
  // The battery history, recorded from the tick's figures while there are batteries.
  battery::HistoryRecorder* history() noexcept { return history_.get(); }
  bool dragging() const noexcept { return dragging_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnFinalDestroy() override;

 private:
  void OnTick();
  // The battery notices, from the figures the tick's paint computed.
  void CheckNotices();
  void OnShowTimer();
  void OnDragTimer();
  void OnMouseMove(Point client);
  void OnButtonDown(Point client);
  void EndDrag();
  void FadeOutAndHide();
  void FadeIn();
  void Repaint(const RECT* area = nullptr);  // the whole face without an area
  Rect WindowRect() const;
  bool PointerInside() const;

  // Released in reverse: the painter, the tray menu, then the platform.
  const settings::AppSettings& settings_;
  power::PowerPlatform platform_;
  // Uses the meter's platform for the schemes: no second set of batteries is opened.
  power::SchemeSwitcher scheme_switcher_{settings_, platform_};
  std::unique_ptr<power::TrayMenuHook> tray_menu_;
  std::unique_ptr<MeterPainter> painter_;
  std::unique_ptr<battery::HistoryRecorder> history_;
  TrayIcon* tray_icon_ = nullptr;
  NoticeRules notices_;
  bool has_batteries_ = false;
  bool main_window_ = false;
  bool dragging_ = false;
  Point drag_offset_;
  UINT taskbar_created_ = 0;
};

}  // namespace vantrel::display
