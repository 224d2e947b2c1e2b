// Loading and storing AppSettings under HKEY_CURRENT_USER\Software\Vantrel\.
#pragma once

#include <windows.h>

#include <string>

#include "settings/core/app_settings.h"
#include "settings/registry_key.h"

namespace vantrel::settings {

class SettingsStore {
 public:
  // Opens the settings key, creating it when missing. Without it every read gives its
  // default and every write fails; nothing is reported.
  bool OpenKey();

  // The options read before the language is loaded: TransparentForm, bAlpha, AlwaysOnTop,
  // AppearOnlyWhenChrDischr, BeepAfterWakeUp, PaneWindow and Language, in this order.
  void LoadDisplayOptions(AppSettings& settings);
  // The options read after it: DisplayOneBatteryStatus, BatteryName, BatteryMeterPosTop and
  // BatteryMeterPosLeft (default: `desktop_right` - 70), then the two notice levels.
  void LoadMeterOptions(AppSettings& settings, LONG desktop_right);

  // Stores the display options and the meter position in the order the Control page applies
  // them.
  void SaveDisplayOptions(const AppSettings& settings);
  bool SaveLanguage(const std::string& language);
  // The schemes chosen for mains and battery power, read and written together.
  void LoadSchemeSwitch(AppSettings& settings);
  bool SaveSchemeSwitch(const AppSettings& settings);
  // LowBatteryNotice and ChargeLimitNotice; false when either could not be written.
  bool SaveNoticeLevels(const AppSettings& settings);

  // The auto-start entry "Corvane" under the current user's Run key.
  bool IsAutoStart();
  bool SetAutoStart(bool enabled, const std::string& command);

  RegistryKey& key() noexcept { return key_; }

 private:
  // The options of `groups` (settings_store.cpp), in the order of the one table of options.
  void Load(AppSettings& settings, unsigned groups, LONG desktop_right);
  // Opens the key first; false when any value could not be written (the others still are).
  bool Save(const AppSettings& settings, unsigned groups);

  RegistryKey key_;
};

// The command that starts this program: its folder, "\", its base name and ".exe".
std::string AutoStartCommand(const std::string& app_directory, const std::string& exe_base_name);

}  // namespace vantrel::settings
