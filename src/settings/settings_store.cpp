#include "settings/settings_store.h"

namespace vantrel::settings {

bool SettingsStore::OpenKey() { return key_.Open(SettingsKeyPath(), true); }

void SettingsStore::LoadDisplayOptions(AppSettings& s) {
  s.TransparentForm = static_cast<int32_t>(key_.ReadNumber(kTransparentForm, 0));
  s.bAlpha = static_cast<uint8_t>(key_.ReadNumber(kAlpha, 0) & 0xFF);
  s.AlwaysOnTop = static_cast<int32_t>(key_.ReadNumber(kAlwaysOnTop, 1));
  s.AppearOnlyWhenChrDischr = static_cast<int32_t>(key_.ReadNumber(kAppearOnlyWhenChrDischr, 0));
  s.BeepAfterWakeUp = static_cast<int32_t>(key_.ReadNumber(kBeepAfterWakeUp, 0));
  s.PaneWindow = static_cast<int32_t>(key_.ReadNumber(kPaneWindow, 0));
  s.Language = key_.ReadString(kLanguage, "");
}

void SettingsStore::LoadMeterOptions(AppSettings& s, LONG desktop_right) {
  s.DisplayOneBatteryStatus = static_cast<int32_t>(key_.ReadNumber(kDisplayOneBatteryStatus, 0));
  s.BatteryName = key_.ReadString(kBatteryName, "");
  s.BatteryMeterPosTop = static_cast<int32_t>(key_.ReadNumber(kBatteryMeterPosTop, kDefaultMeterTop));
  s.BatteryMeterPosLeft = static_cast<int32_t>(
      key_.ReadNumber(kBatteryMeterPosLeft, static_cast<DWORD>(desktop_right - kDefaultMeterRightMargin)));
  s.LowBatteryNotice =
      NoticeLevel(key_.ReadExactNumber(kLowBatteryNotice, kDefaultLowBatteryNotice), kDefaultLowBatteryNotice);
  s.ChargeLimitNotice =
      NoticeLevel(key_.ReadExactNumber(kChargeLimitNotice, kDefaultChargeLimitNotice), kDefaultChargeLimitNotice);
}

void SettingsStore::SaveDisplayOptions(const AppSettings& s) {
  OpenKey();
  key_.WriteNumber(kTransparentForm, static_cast<DWORD>(s.TransparentForm));
  key_.WriteNumber(kAlpha, s.bAlpha);
  key_.WriteNumber(kAlwaysOnTop, static_cast<DWORD>(s.AlwaysOnTop));
  key_.WriteNumber(kAppearOnlyWhenChrDischr, static_cast<DWORD>(s.AppearOnlyWhenChrDischr));
  key_.WriteNumber(kBeepAfterWakeUp, static_cast<DWORD>(s.BeepAfterWakeUp));
  key_.WriteNumber(kPaneWindow, static_cast<DWORD>(s.PaneWindow));
  key_.WriteNumber(kDisplayOneBatteryStatus, static_cast<DWORD>(s.DisplayOneBatteryStatus));
  key_.WriteString(kBatteryName, s.BatteryName);
  key_.WriteNumber(kBatteryMeterPosTop, static_cast<DWORD>(s.BatteryMeterPosTop));
  key_.WriteNumber(kBatteryMeterPosLeft, static_cast<DWORD>(s.BatteryMeterPosLeft));
}

bool SettingsStore::SaveLanguage(const std::string& language) {
  OpenKey();
  return key_.WriteString(kLanguage, language);
}

void SettingsStore::LoadSchemeSwitch(AppSettings& s) {
  s.SchemeOnMains = key_.ReadString(kSchemeOnMains, "");
  s.SchemeOnBattery = key_.ReadString(kSchemeOnBattery, "");
}

bool SettingsStore::SaveSchemeSwitch(const AppSettings& s) {
  OpenKey();
  const bool mains = key_.WriteString(kSchemeOnMains, s.SchemeOnMains);
  return key_.WriteString(kSchemeOnBattery, s.SchemeOnBattery) && mains;
}

bool SettingsStore::SaveNoticeLevels(const AppSettings& s) {
  OpenKey();
  const bool low = key_.WriteNumber(kLowBatteryNotice, s.LowBatteryNotice);
  return key_.WriteNumber(kChargeLimitNotice, s.ChargeLimitNotice) && low;
}

bool SettingsStore::IsAutoStart() {
  RegistryKey run;
  return run.Open(kRunKey, true) && run.ValueExists(kAutoStartValue);
}

bool SettingsStore::SetAutoStart(bool enabled, const std::string& command) {
  RegistryKey run;
  if (!run.Open(kRunKey, true)) return false;
  return enabled ? run.WriteString(kAutoStartValue, command) : run.DeleteValue(kAutoStartValue);
}

std::string AutoStartCommand(const std::string& app_directory, const std::string& exe_base_name) {
  return app_directory + "\\" + exe_base_name + ".exe";
}

}  // namespace vantrel::settings
