#include "settings/settings_store.h"

#include <type_traits>
#include <variant>

namespace vantrel::settings {

namespace {

// The options in the order the program reads them at start-up; each call below loads or
// saves the rows of its groups, in this order.
enum Group : unsigned {
  kDisplayGroup = 1,        // loaded before the language; saved by the Control page
  kLanguageGroup = 2,       // loaded with the display options; saved on its own
  kMeterGroup = 4,          // loaded after the language; saved with the display options
  kNoticesGroup = 8,        // loaded with the meter options; saved by the notices dialog
  kSchemeSwitchGroup = 16,  // loaded and saved on their own
};

// How a number is read back: any number of at most 4 bytes (a byte option keeps its low
// byte), exactly a 4-byte number within the notice levels, or with a default off the
// desktop's right edge.
enum class Read { Number, Level, OffRightEdge };

using Member = std::variant<int32_t AppSettings::*, uint8_t AppSettings::*, uint32_t AppSettings::*,
                            std::string AppSettings::*>;

struct Option {
  const char* name;
  Group group;
  Member member;
  Read read = Read::Number;
};

// Every option once: its registry name, its member and how it is read. The defaults are the
// members' own (AppSettings{}), but for the meter's left edge.
const Option kOptions[] = {
    {kTransparentForm, kDisplayGroup, &AppSettings::TransparentForm},
    {kAlpha, kDisplayGroup, &AppSettings::bAlpha},
    {kAlwaysOnTop, kDisplayGroup, &AppSettings::AlwaysOnTop},
    {kAppearOnlyWhenChrDischr, kDisplayGroup, &AppSettings::AppearOnlyWhenChrDischr},
    {kBeepAfterWakeUp, kDisplayGroup, &AppSettings::BeepAfterWakeUp},
    {kPaneWindow, kDisplayGroup, &AppSettings::PaneWindow},
    {kLanguage, kLanguageGroup, &AppSettings::Language},
    {kDisplayOneBatteryStatus, kMeterGroup, &AppSettings::DisplayOneBatteryStatus},
    {kBatteryName, kMeterGroup, &AppSettings::BatteryName},
    {kBatteryMeterPosTop, kMeterGroup, &AppSettings::BatteryMeterPosTop},
    {kBatteryMeterPosLeft, kMeterGroup, &AppSettings::BatteryMeterPosLeft, Read::OffRightEdge},
    {kLowBatteryNotice, kNoticesGroup, &AppSettings::LowBatteryNotice, Read::Level},
    {kChargeLimitNotice, kNoticesGroup, &AppSettings::ChargeLimitNotice, Read::Level},
    {kSchemeOnMains, kSchemeSwitchGroup, &AppSettings::SchemeOnMains},
    {kSchemeOnBattery, kSchemeSwitchGroup, &AppSettings::SchemeOnBattery},
};

void LoadOption(RegistryKey& key, const Option& option, AppSettings& s, LONG desktop_right) {
  static const AppSettings kDefaults{};
  std::visit(
      [&](auto member) {
        using T = std::remove_reference_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<T, std::string>) {
          s.*member = key.ReadString(option.name, kDefaults.*member);
        } else {
          switch (option.read) {
            case Read::Number:
              s.*member = static_cast<T>(key.ReadNumber(option.name, static_cast<DWORD>(kDefaults.*member)));
              break;
            case Read::Level: {
              const auto fallback = static_cast<uint32_t>(kDefaults.*member);
              s.*member = static_cast<T>(NoticeLevel(key.ReadExactNumber(option.name, fallback), fallback));
              break;
            }
            case Read::OffRightEdge:
              s.*member = static_cast<T>(
                  key.ReadNumber(option.name, static_cast<DWORD>(desktop_right - kDefaultMeterRightMargin)));
              break;
          }
        }
      },
      option.member);
}

bool SaveOption(RegistryKey& key, const Option& option, const AppSettings& s) {
  return std::visit(
      [&](auto member) {
        using T = std::remove_cvref_t<decltype(s.*member)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return key.WriteString(option.name, s.*member);
        } else {
          // A 4-byte binary value, whatever the member's width.
          return key.WriteNumber(option.name, static_cast<DWORD>(s.*member));
        }
      },
      option.member);
}

}  // namespace

bool SettingsStore::OpenKey() { return key_.Open(SettingsKeyPath(), true); }

void SettingsStore::Load(AppSettings& s, unsigned groups, LONG desktop_right) {
  for (const Option& option : kOptions)
    if (option.group & groups) LoadOption(key_, option, s, desktop_right);
}

bool SettingsStore::Save(const AppSettings& s, unsigned groups) {
  OpenKey();
  bool all = true;
  for (const Option& option : kOptions)
    if (option.group & groups) all = SaveOption(key_, option, s) && all;
  return all;
}

void SettingsStore::LoadDisplayOptions(AppSettings& s) { Load(s, kDisplayGroup | kLanguageGroup, 0); }

void SettingsStore::LoadMeterOptions(AppSettings& s, LONG desktop_right) {
  Load(s, kMeterGroup | kNoticesGroup, desktop_right);
}

void SettingsStore::SaveDisplayOptions(const AppSettings& s) { Save(s, kDisplayGroup | kMeterGroup); }

bool SettingsStore::SaveLanguage(const std::string& language) {
  AppSettings s;
  s.Language = language;
  return Save(s, kLanguageGroup);
}

void SettingsStore::LoadSchemeSwitch(AppSettings& s) { Load(s, kSchemeSwitchGroup, 0); }

bool SettingsStore::SaveSchemeSwitch(const AppSettings& s) { return Save(s, kSchemeSwitchGroup); }

bool SettingsStore::SaveNoticeLevels(const AppSettings& s) { return Save(s, kNoticesGroup); }

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
