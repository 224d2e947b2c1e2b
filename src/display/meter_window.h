// The floating battery meter: a small battery-shaped window that shows the charge, the
// percentage and the estimated time. It is also the program's main window, the owner of the
// tray icon and the receiver of the tray menu's commands.
#pragma once

#include <windows.h>

#include <memory>

#include "display/core/meter_face.h"
#include "display/meter_painter.h"
#include "framework/dialog.h"
#include "power/power_platform.h"

namespace vantrel::display {

class TrayIcon;

// The tray menu's side of the meter: the meter owns the menu and receives its commands, and
// hands it the events that concern it.
class TrayMenuHook {
 public:
  virtual ~TrayMenuHook() = default;
  // At the meter's initialisation and after a language change.
  virtual void BuildTrayMenu(HWND meter) = 0;
  // The tray icon's callback message; `mouse_message` is its second parameter.
  virtual void OnTrayNotify(HWND meter, UINT mouse_message) = 0;
  // Commands 0 .. 2000, from the menu or from the meter itself (Enter gives 1).
  virtual void OnMenuCommand(HWND meter, UINT id) = 0;
};

class MeterWindow : public fw::Dialog {
 public:
  // Builds the meter's own PowerPlatform; the window is made by Create().
  MeterWindow();
  ~MeterWindow() override;

  // Moves the meter to a stored position, keeping its size and Z order. A position on no
  // monitor (one was unplugged) puts the meter on the nearest monitor's work area instead;
  // the stored value is left as it is.
  void MoveTo(int left, int top);
  // Shows the meter (without taking the focus) and paints it at once.
  void ShowAndPaint(int show_command = SW_SHOWNOACTIVATE);

  // The program ends when the main window is destroyed.
  void set_main_window(bool main) noexcept { main_window_ = main; }
  // The icon to add again when the taskbar is restarted (not owned).
  void set_tray_icon(TrayIcon* icon) noexcept { tray_icon_ = icon; }
  void set_tray_menu(std::unique_ptr<TrayMenuHook> menu) noexcept { tray_menu_ = std::move(menu); }

  power::PowerPlatform& platform() noexcept { return platform_; }
  MeterPainter* painter() noexcept { return painter_.get(); }
  bool has_batteries() const noexcept { return has_batteries_; }
  bool dragging() const noexcept { return dragging_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnFinalDestroy() override;

 private:
  void OnTick();
  void OnShowTimer();
  void OnDragTimer();
  void OnMouseMove(Point client);
  void OnButtonDown(Point client);
  void EndDrag();
  void FadeOutAndHide();
  void FadeIn();
  void Repaint();
  Rect WindowRect() const;
  bool PointerInside() const;

  // Released in reverse: the painter, the tray menu, then the platform.
  power::PowerPlatform platform_;
  std::unique_ptr<TrayMenuHook> tray_menu_;
  std::unique_ptr<MeterPainter> painter_;
  TrayIcon* tray_icon_ = nullptr;
  bool has_batteries_ = false;
  bool main_window_ = false;
  bool dragging_ = false;
  Point drag_offset_;
  UINT taskbar_created_ = 0;
};

}  // namespace vantrel::display
