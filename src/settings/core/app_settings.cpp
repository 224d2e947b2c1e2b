#include "settings/core/app_settings.h"

#include <cstdio>

namespace vantrel::settings {

std::string SettingsKeyPath() {
  char path[64];
  std::snprintf(path, sizeof path, "Software\\%s\\", kProductName);
  return path;
}

}  // namespace vantrel::settings
