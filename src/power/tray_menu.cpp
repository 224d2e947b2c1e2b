#include "power/tray_menu.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "framework/dialog.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "power/auto_switch_dialog.h"
#include "power/power_actions.h"
#include "power/power_backend.h"
#include "power/power_platform.h"
#include "power/schemes_page.h"
#include "power/wake_up_timer.h"
#include "vantrel_version.h"  // generated from the project's version

namespace vantrel::power {

namespace {

using controls::CMenuXP;
using controls::CMenuXPItem;

// Sleep and hibernate from the menu ask the applications and keep wake events off.
constexpr bool kQueryApplications = true;
constexpr bool kDisableWakeEvents = true;

std::unique_ptr<CMenuXPItem> Item(UINT id, std::string text, UINT icon) {
  auto item = std::make_unique<CMenuXPItem>();
  item->id = id;
  item->text = std::move(text);
  if (icon) {
    // Owned by the item; an icon the program lacks leaves the item without one.
    item->icon.reset(static_cast<HICON>(
        ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(icon), IMAGE_ICON, item->size, item->size, 0)));
  }
  return item;
}

std::unique_ptr<CMenuXPItem> SideBar(std::string title) {
  auto item = std::make_unique<CMenuXPItem>();
  item->text = std::move(title);
  item->side_bar = true;
  item->size = CMenuXP::kSideBarWidth;
  return item;
}

// A wake-up submenu: flat, with its unit on a side bar that fades from `colour` to black.
std::unique_ptr<CMenuXP> WakeUpSubmenu(int title_id, COLORREF colour) {
  auto menu = std::make_unique<CMenuXP>();
  if (!menu->CreatePopupMenu()) return nullptr;
  menu->side_bar_start_colour = colour;
  menu->side_bar_end_colour = kWakeUpBarEndColour;
  menu->style = CMenuXP::kStyleFlat;
  menu->AppendSideBar(SideBar(i18n::Text(title_id)));
  return menu;
}

std::unique_ptr<CMenuXP> HoursSubmenu() {
  std::unique_ptr<CMenuXP> hours = WakeUpSubmenu(i18n::IDS_HOURS, kHoursBarColour);
  if (!hours) return nullptr;
  for (unsigned h : kWakeUpHours) {
    std::unique_ptr<CMenuXP> minutes = WakeUpSubmenu(i18n::IDS_MINUTES, kMinutesBarColour);
    if (!minutes) continue;
    for (unsigned m : kWakeUpMinutes) {
      minutes->AppendItem(0, Item(WakeUpCommandId(h, m), std::to_string(m), IDI_MINUTES));
    }
    hours->AppendPopup(0, std::move(minutes), Item(0, std::to_string(h), IDI_HOURS));
  }
  return hours;
}

// Menus take "&" for the underlined key; a scheme's name shows as it is.
std::string Literal(const std::string& text) {
  std::string shown;
  for (char c : text) {
    if (c == '&') shown += '&';
    shown += c;
  }
  return shown;
}

std::string SideBarTitle() {
  char title[64];
  std::snprintf(title, sizeof title, "%s %d.%02d", settings::kProductName, VANTREL_VERSION_MAJOR,
                VANTREL_VERSION_MINOR);
  return title;
}

// Clears a flag when a scope ends, however it ends.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) noexcept : flag_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = false; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TrayMenu::TrayMenu(settings::AppSettings& settings, std::unique_ptr<MainWindowOpener> main_window)
    : settings_(settings), main_window_(std::move(main_window)) {
  menu_.CreatePopupMenu();
}

TrayMenu::~TrayMenu() {
  if (main_window_) main_window_->DestroyMainWindow();
}

void TrayMenu::BuildTrayMenu(HWND) {
  // Every item goes, from the last to the first, with the submenus and their records.
  menu_.DeleteAllItems();
  using i18n::Text;
  menu_.AppendSideBar(SideBar(SideBarTitle()));
  menu_.AppendItem(0, Item(ID_TRAY_MAIN_DIALOG, Text(i18n::IDS_TRAY_MAIN_DIALOG), IDI_APP));
  // Filled each time the menu opens, so that schemes made or deleted elsewhere show up.
  schemes_menu_ = nullptr;
  auto schemes = std::make_unique<CMenuXP>();
  if (schemes->CreatePopupMenu()) {
    schemes->style = CMenuXP::kStyleFlat;
    CMenuXP* kept = schemes.get();
    schemes_position_ = static_cast<UINT>(::GetMenuItemCount(menu_.handle()));
    if (menu_.AppendPopup(0, std::move(schemes), Item(0, Text(i18n::IDS_TRAY_POWER_SCHEMES), 0))) schemes_menu_ = kept;
  }
  menu_.AppendSeparator();
  menu_.AppendItem(0, Item(ID_TRAY_LOG_OFF, Text(i18n::IDS_TRAY_LOG_OFF), IDI_LOGOFF));
  menu_.AppendItem(0, Item(ID_TRAY_SHUT_DOWN, Text(i18n::IDS_TRAY_SHUT_DOWN), IDI_SHUTDOWN));
  menu_.AppendItem(0, Item(ID_TRAY_REBOOT, Text(i18n::IDS_TRAY_REBOOT), IDI_REBOOT));
  menu_.AppendSeparator();
  // Whether the machine may sleep is asked once per build; only the greying follows it later.
  if (PowerPlatform::CanSuspend()) {
    if (std::unique_ptr<CMenuXP> hours = HoursSubmenu()) {
      menu_.AppendPopup(0, std::move(hours), Item(kWakeUpItemRecordId, Text(i18n::IDS_TRAY_WAKE_UP_AFTER), 0));
    }
  }
  menu_.AppendItem(0, Item(ID_TRAY_SLEEP, Text(i18n::IDS_TRAY_SLEEP), IDI_SLEEP));
  menu_.AppendItem(0, Item(ID_TRAY_HIBERNATE, Text(i18n::IDS_TRAY_HIBERNATE), IDI_HIBERNATE));
  menu_.AppendSeparator();
  menu_.AppendItem(0, Item(ID_TRAY_EXIT, Text(i18n::IDS_TRAY_EXIT), IDI_EXIT));
  ::SetMenuDefaultItem(menu_.handle(), ID_TRAY_MAIN_DIALOG, FALSE);
}

void TrayMenu::UpdateGreying() {
  ::EnableMenuItem(menu_.handle(), ID_TRAY_HIBERNATE,
                   MF_BYCOMMAND | (PowerPlatform::CanHibernate() ? MF_ENABLED : MF_GRAYED));
  ::EnableMenuItem(menu_.handle(), ID_TRAY_SLEEP,
                   MF_BYCOMMAND | (PowerPlatform::CanSuspend() ? MF_ENABLED : MF_GRAYED));
}

PowerPlatform& TrayMenu::platform() {
  if (!platform_) {
    own_platform_ = std::make_unique<PowerPlatform>();
    platform_ = own_platform_.get();
  }
  return *platform_;
}

void TrayMenu::UpdateSchemes() {
  if (!schemes_menu_) return;
  schemes_menu_->DeleteAllItems();
  UINT count = 0;
  item_schemes_.clear();
  if (CurrentPowerBackend() == PowerBackend::Plans) {
    plans_.EnumPlans();
    count = std::min<UINT>(plans_.GetPlanCount(), kMaxTraySchemes);
    const int active = plans_.GetActivePlanIndex();
    for (UINT k = 0; k < count; ++k) {
      schemes_menu_->AppendItem(static_cast<int>(k) == active ? MF_CHECKED : 0,
                                Item(ID_TRAY_SCHEME_FIRST + k, Literal(plans_.GetPlanName(static_cast<int>(k))), 0));
    }
  } else {
    PowerPlatform& schemes = platform();
    schemes.EnumSchemes();
    count = std::min<UINT>(schemes.GetSchemeCount(), kMaxTraySchemes);
    const int active = schemes.GetActiveSchemeIndex();
    for (UINT k = 0; k < count; ++k) {
      item_schemes_.push_back(schemes.GetSchemeId(static_cast<int>(k)));
      schemes_menu_->AppendItem(static_cast<int>(k) == active ? MF_CHECKED : 0,
                                Item(ID_TRAY_SCHEME_FIRST + k, Literal(schemes.schemes()[k].name), 0));
    }
  }
  modes_shown_ = AppendPowerModes();
  schemes_menu_->AppendSeparator();
  schemes_menu_->AppendItem(0, Item(ID_TRAY_AUTO_SWITCH, i18n::Text(i18n::IDS_TRAY_AUTO_SWITCH), 0));
  ::EnableMenuItem(menu_.handle(), schemes_position_,
                   MF_BYPOSITION | (count || modes_shown_ ? MF_ENABLED : MF_GRAYED));
}

bool TrayMenu::AppendPowerModes() {
  // Only a machine known to run on its battery uses the battery's mode.
  SYSTEM_POWER_STATUS status{};
  const bool dc = platform::Sys().GetSystemPowerStatus(&status) && status.ACLineStatus == AC_LINE_OFFLINE;
  PowerMode mode = PowerMode::Other;
  if (PowerPlans::GetPowerMode(dc, &mode) != 0) return false;
  modes_dc_ = dc;
  static constexpr int kNames[] = {i18n::IDS_POWER_MODE_BEST_EFFICIENCY, i18n::IDS_POWER_MODE_BALANCED,
                                   i18n::IDS_POWER_MODE_BEST_PERFORMANCE};
  static_assert(std::size(kNames) == std::size(kTrayPowerModes));
  schemes_menu_->AppendSeparator();
  for (UINT k = 0; k < std::size(kTrayPowerModes); ++k) {
    // A mode the program does not know checks none.
    schemes_menu_->AppendItem(kTrayPowerModes[k] == mode ? MF_CHECKED : 0,
                              Item(ID_TRAY_POWER_MODE_FIRST + k, i18n::Text(kNames[k]), 0));
  }
  return true;
}

void TrayMenu::SetPowerMode(HWND meter, UINT item) {
  if (!modes_shown_ || item >= std::size(kTrayPowerModes)) return;
  if (PowerPlans::SetPowerMode(modes_dc_, kTrayPowerModes[item]) != 0)
    fw::AppPrompt(meter, i18n::Text(i18n::IDS_POWER_MODE_NOT_SET), MB_OK | MB_ICONEXCLAMATION);
}

void TrayMenu::ActivateScheme(HWND meter, UINT item) {
  // The plans' list is the menu's own, as it was when the menu opened: the item is its plan.
  if (CurrentPowerBackend() == PowerBackend::Plans) {
    if (item >= plans_.GetPlanCount()) return;
    if (plans_.Activate(static_cast<int>(item)) != 0)
      fw::AppPrompt(meter, SchemesPage::kActivateFailedMessage, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  if (item >= item_schemes_.size()) return;
  // The scheme the item showed, wherever the list holds it now; a scheme gone meanwhile
  // cannot be made active.
  PowerPlatform& schemes = platform();
  const UINT id = item_schemes_[item];
  auto number_of = [&] {
    for (unsigned k = 0; k < schemes.GetSchemeCount(); ++k)
      if (schemes.GetSchemeId(static_cast<int>(k)) == id) return static_cast<int>(k);
    return -1;
  };
  int number = number_of();
  if (number < 0) {
    schemes.EnumSchemes();
    number = number_of();
  }
  if (number < 0 || schemes.SetActiveScheme(number) != 0) {
    fw::AppPrompt(meter, SchemesPage::kActivateFailedMessage, MB_OK | MB_ICONEXCLAMATION);
  }
}

void TrayMenu::ChooseAutomaticSwitching(HWND meter) {
  if (auto_switch_) {
    ::SetForegroundWindow(auto_switch_->hwnd());
    return;
  }
  AutoSwitchDialog dialog(meter, platform(), settings_);
  auto_switch_ = &dialog;
  dialog.DoModal();
  auto_switch_ = nullptr;
}

void TrayMenu::OnTrayNotify(HWND meter, UINT mouse_message) {
  switch (mouse_message) {
    case WM_LBUTTONDBLCLK:
      ::SendMessageA(meter, WM_COMMAND, MAKEWPARAM(ID_TRAY_MAIN_DIALOG, 0), 0);
      break;
    case WM_RBUTTONDOWN:
      ShowMenu(meter);
      break;
    default:
      break;
  }
}

void TrayMenu::ShowMenu(HWND meter) {
  UpdateGreying();
  UpdateSchemes();
  POINT pointer{};
  ::GetCursorPos(&pointer);
  // Without the foreground the menu would stay open when the user clicks elsewhere, and the
  // message after it lets the next menu close properly too.
  ::SetForegroundWindow(meter);
  {
    fw::TrackedMenuScope measuring(&menu_);
    ::TrackPopupMenu(menu_.handle(), TPM_LEFTBUTTON | TPM_RIGHTALIGN, pointer.x, pointer.y, 0, meter, nullptr);
  }
  ::PostMessageA(meter, WM_NULL, 0, 0);
}

void TrayMenu::OnMenuCommand(HWND meter, UINT id) {
  switch (id) {
    case ID_TRAY_MAIN_DIALOG:
      if (main_window_) main_window_->ShowMainWindow();
      break;
    case ID_TRAY_EXIT:
      // The main window and its page go while the meter they may talk to is still there; the
      // meter is the program's main window, so the program ends with it.
      if (main_window_) main_window_->DestroyMainWindow();
      ::DestroyWindow(meter);
      break;
    case ID_TRAY_SLEEP:
    case ID_TRAY_HIBERNATE:
    case ID_TRAY_LOG_OFF:
    case ID_TRAY_SHUT_DOWN:
    case ID_TRAY_REBOOT:
      RunPowerAction(id);
      break;
    case ID_TRAY_AUTO_SWITCH:
      ChooseAutomaticSwitching(meter);
      break;
    default:
      if (id > ID_TRAY_WAKE_BASE && id <= ID_TRAY_WAKE_LAST) RunPowerAction(id);
      if (id >= ID_TRAY_SCHEME_FIRST && id <= ID_TRAY_SCHEME_LAST) ActivateScheme(meter, id - ID_TRAY_SCHEME_FIRST);
      if (id >= ID_TRAY_POWER_MODE_FIRST && id <= ID_TRAY_POWER_MODE_LAST)
        SetPowerMode(meter, id - ID_TRAY_POWER_MODE_FIRST);
      break;
  }
}

void TrayMenu::RunPowerAction(UINT id) {
  if (power_action_running_) return;
  FlagScope running(power_action_running_);
  // No result is looked at: a refused action leaves the machine as it was.
  switch (id) {
    case ID_TRAY_SLEEP:
      SleepSystem(kQueryApplications, kDisableWakeEvents);
      break;
    case ID_TRAY_HIBERNATE:
      HibernateSystem(kQueryApplications, kDisableWakeEvents);
      break;
    case ID_TRAY_LOG_OFF:
      LogOffUser();
      break;
    case ID_TRAY_SHUT_DOWN:
      ShutDownSystem();
      break;
    case ID_TRAY_REBOOT:
      RebootSystem();
      break;
    default:
      RunWakeUpCommand(id, settings_);
      break;
  }
}

}  // namespace vantrel::power
