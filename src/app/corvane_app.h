// The application object: single-instance guard, start-up sequence and shutdown.
#pragma once

#include <windows.h>

#include <memory>

#include "settings/settings_store.h"
#include "framework/handles.h"
#include "i18n/core/language_table.h"

namespace vantrel::display {
class MeterWindow;
class TrayIcon;
}  // namespace vantrel::display

namespace vantrel::app {

inline constexpr char kSemaphoreName[] = "Corvane Semaphore";

class CorvaneApp {
 public:
  // Takes the single-instance semaphore; when another copy holds it, nothing else is made.
  CorvaneApp();
  // Removes the tray icon, destroys the meter and closes the semaphore.
  ~CorvaneApp();
  CorvaneApp(const CorvaneApp&) = delete;
  CorvaneApp& operator=(const CorvaneApp&) = delete;

  // The start-up sequence. False: end at once (another copy runs).
  bool InitInstance(HINSTANCE instance);

  bool another_copy() const noexcept { return another_copy_; }
  // Null in a second copy.
  display::MeterWindow* meter() const noexcept { return meter_.get(); }
  display::TrayIcon* tray_icon() const noexcept { return tray_icon_.get(); }

 private:
  fw::UniqueHandle semaphore_;
  bool another_copy_ = false;
  settings::SettingsStore store_;
  std::unique_ptr<display::TrayIcon> tray_icon_;
  std::unique_ptr<display::MeterWindow> meter_;
  // The program's one language table, installed for every window from start-up on.
  std::unique_ptr<i18n::LanguageTable> languages_;
};

}  // namespace vantrel::app
