// The tray menu: the program's commands under its notification-area icon. One owner-drawn menu
// for the whole program, made with the meter window and rebuilt after a language change, and
// the handler of the commands it sends to the meter.
#pragma once

#include <windows.h>

#include <iterator>
#include <memory>
#include <vector>

#include "controls/menu_xp.h"
#include "power/core/wake_up_rules.h"
#include "power/power_plans.h"
#include "resource.h"
#include "settings/core/app_settings.h"
#include "tray_schemes_ids.h"

namespace vantrel::power {

// The hours and minutes the "WakeUp After" submenus offer.
inline constexpr unsigned kWakeUpHours[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
inline constexpr unsigned kWakeUpMinutes[] = {0, 1, 2, 3, 5, 10, 15, 25, 45, 50};
// The record of the "WakeUp After" item; it opens the hours and sends no command.
inline constexpr UINT kWakeUpItemRecordId = 2;
inline constexpr COLORREF kHoursBarColour = RGB(0, 255, 0);
inline constexpr COLORREF kMinutesBarColour = RGB(255, 0, 0);
inline constexpr COLORREF kWakeUpBarEndColour = RGB(0, 0, 0);

// The command of a wake-up after `hours` and `minutes`.
constexpr UINT WakeUpCommandId(unsigned hours, unsigned minutes) {
  return ID_TRAY_WAKE_BASE + hours * kWakeUpHourStep + minutes;
}

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

// The main window as the tray menu sees it: opened by its first command, closed at Exit. The
// window itself lives above this layer; start-up hands the menu one.
class MainWindowOpener {
 public:
  virtual ~MainWindowOpener() = default;
  // Creates the window the first time, brings it back afterwards.
  virtual void ShowMainWindow() = 0;
  // At exit: the window and its page go.
  virtual void DestroyMainWindow() = 0;
};

class PowerPlatform;
class AutoSwitchDialog;

// The commands of the "Power Schemes" submenu: scheme k of the list, the dialog, and the
// power modes.
inline constexpr UINT kMaxTraySchemes = ID_TRAY_SCHEME_LAST - ID_TRAY_SCHEME_FIRST + 1;
constexpr bool IsTraySchemeCommand(UINT id) { return id >= ID_TRAY_SCHEME_FIRST && id <= ID_TRAY_POWER_MODE_LAST; }
// The modes in the submenu's order; mode k's command is ID_TRAY_POWER_MODE_FIRST + k.
inline constexpr PowerMode kTrayPowerModes[] = {PowerMode::BestEfficiency, PowerMode::Balanced,
                                                PowerMode::BestPerformance};
static_assert(std::size(kTrayPowerModes) == ID_TRAY_POWER_MODE_LAST - ID_TRAY_POWER_MODE_FIRST + 1);

class TrayMenu : public TrayMenuHook {
 public:
  // The menu starts empty; the meter builds it when its window is made. The wake-up beep
  // and the automatic switching follow `settings`, which must outlive the menu and which the
  // switching dialog changes; the menu owns the main window.
  TrayMenu(settings::AppSettings& settings, std::unique_ptr<MainWindowOpener> main_window);
  // The main window goes first, then the menu with every item and submenu.
  ~TrayMenu() override;
  TrayMenu(const TrayMenu&) = delete;
  TrayMenu& operator=(const TrayMenu&) = delete;

  // Rebuilds the menu in place in the current language. "WakeUp After" is offered only when
  // the system allows standby now.
  void BuildTrayMenu(HWND meter) override;
  // Double click: the main window. Right button: the menu at the pointer.
  void OnTrayNotify(HWND meter, UINT mouse_message) override;
  void OnMenuCommand(HWND meter, UINT id) override;

  // Greys Sleep and Hibernate while the system does not allow them.
  void UpdateGreying();
  // Lists the system's schemes (on the plan back end its power plans) in the "Power Schemes"
  // submenu, the active one checked, asked afresh; the submenu is greyed when the system lists
  // none. Where the system has Windows 11's power mode, the three modes follow for the present
  // power source, the user's one checked.
  void UpdateSchemes();

  // The scheme list to use (not owned, it must outlive the menu), such as the meter's, so that
  // no second set of batteries is opened; without one the menu makes its own when first needed.
  void set_platform(PowerPlatform* platform) noexcept { platform_ = platform; }

  controls::CMenuXP& menu() noexcept { return menu_; }
  MainWindowOpener& main_window() noexcept { return *main_window_; }
  bool power_action_running() const noexcept { return power_action_running_; }

 private:
  void ShowMenu(HWND meter);
  void RunPowerAction(UINT id);
  // The scheme of submenu item `item`.
  void ActivateScheme(HWND meter, UINT item);
  // Appends the power modes for the present source; false where the system has none.
  bool AppendPowerModes();
  // Mode item `item`, for the source the submenu showed.
  void SetPowerMode(HWND meter, UINT item);
  void ChooseAutomaticSwitching(HWND meter);
  PowerPlatform& platform();

  settings::AppSettings& settings_;
  std::unique_ptr<MainWindowOpener> main_window_;
  std::unique_ptr<PowerPlatform> own_platform_;
  PowerPlatform* platform_ = nullptr;
  // The plans listed when the menu last opened, on the plan back end.
  PowerPlans plans_;
  controls::CMenuXP menu_;
  // The "Power Schemes" submenu, owned by its item in the menu, and that item's position.
  controls::CMenuXP* schemes_menu_ = nullptr;
  UINT schemes_position_ = 0;
  // The scheme each item stands for, by identifier, as the submenu was filled: the shared list
  // may be read again while the menu is open (a change of the power source does).
  std::vector<UINT> item_schemes_;
  // Whether the submenu shows the power modes, and for which source (true: battery). A mode
  // chosen is set for the source it was shown for, though the source changed meanwhile.
  bool modes_shown_ = false;
  bool modes_dc_ = false;
  // The automatic switching dialog while it is open: a second request brings it forward.
  AutoSwitchDialog* auto_switch_ = nullptr;
  // A power action blocks this thread (a sleep until the machine resumes); a command that
  // reaches the meter meanwhile must not start another.
  bool power_action_running_ = false;
};

}  // namespace vantrel::power
