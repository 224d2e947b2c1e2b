#include "app/corvane_app.h"

#include <cstdio>

#include "app/app_state.h"
#include "framework/prompt.h"
#include "i18n/core/text_format.h"

namespace vantrel::app {

CorvaneApp::CorvaneApp() {
  // Kept for the whole life of the process, also in a second copy.
  ::SetLastError(ERROR_SUCCESS);
  semaphore_.reset(::CreateSemaphoreA(nullptr, 0, 1, kSemaphoreName));
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    another_copy_ = true;
    return;
  }
  // The tray icon and the meter window object are made here, not yet shown; they join when
  // the notification-area icon and the meter exist.
}

CorvaneApp::~CorvaneApp() = default;

bool CorvaneApp::InitInstance(HINSTANCE instance) {
  // 1. A second copy says so and ends; the first copy is neither activated nor told.
  if (another_copy_) {
    char text[128];
    std::snprintf(text, sizeof text, "Application %s Already Run!", kProductName);
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
  // 7-10. The meter window, the tray icon, the meter's position and its first showing come
  // with the meter and tray icon.
  state.instance = instance;
  return true;
}

}  // namespace vantrel::app
