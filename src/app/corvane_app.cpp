#include "app/corvane_app.h"

#include <cstdio>

#include "app/app_state.h"
#include "app/main_dialog.h"
#include "display/meter_battery.h"
#include "display/meter_window.h"
#include "display/tray_icon.h"
#include "framework/prompt.h"
#include "i18n/core/text_format.h"
#include "power/power_platform.h"
#include "power/tray_menu.h"
#include "resource.h"

namespace vantrel::app {

using settings::AppSettings;

CorvaneApp::CorvaneApp() {
  // Kept for the whole life of the process, also in a second copy.
  ::SetLastError(ERROR_SUCCESS);
  semaphore_.reset(::CreateSemaphoreA(nullptr, 0, 1, kSemaphoreName));
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    another_copy_ = true;
    return;
  }
  // Not shown yet: the icon is added and the meter's window made during start-up.
  tray_icon_ = std::make_unique<display::TrayIcon>();
  AppSettings& settings = State().settings;
  meter_ = std::make_unique<display::MeterWindow>(settings);
  // The tray menu lives as long as the meter, which owns it and receives its commands; the
  // menu owns the main window it opens.
  auto tray_menu = std::make_unique<power::TrayMenu>(settings, std::make_unique<MainWindowHost>(State()));
  tray_menu->set_platform(&meter_->platform());  // the meter's scheme list: no second set of batteries
  meter_->set_tray_menu(std::move(tray_menu));
}

CorvaneApp::~CorvaneApp() {
  // The message loop is over (or never ran): destroying the meter now must not post a quit.
  if (meter_) meter_->set_main_window(false);
  if (tray_icon_) {
    tray_icon_->Delete();
    tray_icon_.reset();
  }
  if (State().meter == meter_.get()) State().meter = nullptr;
  meter_.reset();
}

bool CorvaneApp::InitInstance(HINSTANCE instance) {
  // 1. A second copy says so and ends; the first copy is neither activated nor told. This
  // message and the language file's below are worded so on purpose (tests pin them).
  if (another_copy_) {
    char text[128];
    std::snprintf(text, sizeof text, "Application %s Already Run!", settings::kProductName);
    fw::AppPrompt(nullptr, text, MB_OK);
    return false;
  }

  AppState& state = State();
  // 2. The settings key, created when missing.
  store_.OpenKey();
  // 3. The program's folder.
  state.app_directory = DirectoryOf(ModulePath(instance));
  // 4. The display options and the language name.
  store_.LoadDisplayOptions(state.settings);
  // 5. The language. A file that cannot be read is reported once; the built-in texts then
  // serve this run, and the stored name is kept for the next.
  languages_ = std::make_unique<i18n::LanguageTable>(state.app_directory + "\\Languages\\");
  i18n::InstallTexts(languages_.get());
  if (!languages_->Load(state.settings.Language)) {
    fw::AppPrompt(nullptr,
                  i18n::FormatText("The language file '%s.lng' absent or location in wrong path!",
                                   {state.settings.Language}),
                  MB_OK);
    state.settings.Language.clear();
    languages_->Load(state.settings.Language);
  }
  // 6. The meter options; the default position hangs off the desktop's right edge.
  RECT desktop{};
  ::GetWindowRect(::GetDesktopWindow(), &desktop);
  store_.LoadMeterOptions(state.settings, desktop.right);
  store_.LoadSchemeSwitch(state.settings);
  // 7. The meter's window, the program's main window for its whole life.
  if (!meter_->Create()) return false;
  meter_->set_main_window(true);
  state.meter = meter_.get();
  state.instance = instance;
  // 8. The notification-area icon, owned by the meter; added again if the taskbar restarts.
  tray_icon_->SetOwner(meter_->hwnd(), 0);
  tray_icon_->SetCallback(display::WM_TRAY_CALLBACK);
  tray_icon_->SetTooltip(display::kTrayTooltip);
  tray_icon_->SetIconFromResource(instance, IDI_APP);
  tray_icon_->Add();
  meter_->set_tray_icon(tray_icon_.get());
  // 9. The stored position, as it is (only a position on no monitor is brought back).
  meter_->MoveTo(state.settings.BatteryMeterPosLeft, state.settings.BatteryMeterPosTop);
  // 10. The meter shows only when there is a battery.
  // The meter's own batteries: they are looked for once.
  if (display::CurrentMeterBattery().BatteryCount(meter_->platform()) > 0) meter_->ShowAndPaint(SW_SHOWNORMAL);
  return true;
}

}  // namespace vantrel::app
