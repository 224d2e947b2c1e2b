// Process-wide state that start-up fills and every window reads.
#pragma once

#include <windows.h>

#include <string>

#include "settings/core/app_settings.h"

namespace vantrel::display {
class MeterWindow;
}  // namespace vantrel::display

namespace vantrel::app {

struct AppState {
  // The program's folder: the executable's path without its last "\" component.
  std::string app_directory;
  // The battery meter, the program's main window; made at start-up.
  display::MeterWindow* meter = nullptr;
  HINSTANCE instance = nullptr;
  settings::AppSettings settings;
};

AppState& State() noexcept;

// The folder part of a path: everything before its last backslash; a path without one gives
// the empty string.
std::string DirectoryOf(const std::string& path);
// The file name of a path without its folder and its extension ("vantrel" for a path ending in
// "\vantrel.exe").
std::string BaseNameOf(const std::string& path);
// The full path of the running program's executable.
std::string ModulePath(HINSTANCE instance);

}  // namespace vantrel::app
