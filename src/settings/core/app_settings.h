// The options the program keeps between runs, one registry value each, with their defaults.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel::settings {

// Registry names of the options; numbers are stored as 4-byte REG_BINARY values.
inline constexpr char kTransparentForm[] = "TransparentForm";
inline constexpr char kAlpha[] = "bAlpha";
inline constexpr char kAlwaysOnTop[] = "AlwaysOnTop";
inline constexpr char kAppearOnlyWhenChrDischr[] = "AppearOnlyWhenChrDischr";
inline constexpr char kBeepAfterWakeUp[] = "BeepAfterWakeUp";
inline constexpr char kPaneWindow[] = "PaneWindow";
inline constexpr char kDisplayOneBatteryStatus[] = "DisplayOneBatteryStatus";
inline constexpr char kBatteryName[] = "BatteryName";
inline constexpr char kBatteryMeterPosLeft[] = "BatteryMeterPosLeft";
inline constexpr char kBatteryMeterPosTop[] = "BatteryMeterPosTop";
inline constexpr char kLanguage[] = "Language";
// Power schemes to make active when the power source changes, by name.
inline constexpr char kSchemeOnMains[] = "SchemeOnMains";
inline constexpr char kSchemeOnBattery[] = "SchemeOnBattery";
// Battery notices: the charge levels in per cent, 0 = off.
inline constexpr char kLowBatteryNotice[] = "LowBatteryNotice";
inline constexpr char kChargeLimitNotice[] = "ChargeLimitNotice";

// The product whose key holds the options: "Software\<product>\" under the current user.
inline constexpr char kProductName[] = "Vantrel";
// The auto-start entry.
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAutoStartValue[] = "Corvane";

// The longest text a string option may hold; longer ones are not stored.
inline constexpr std::size_t kMaxStoredText = 254;

// The default meter position is this far left of the desktop's right edge.
inline constexpr int32_t kDefaultMeterRightMargin = 70;
inline constexpr int32_t kDefaultMeterTop = 10;

// Notice levels: 0 is off, 1..100 a level; anything stored beyond 100 reads as the default.
inline constexpr uint32_t kNoticeLevelOff = 0;
inline constexpr uint32_t kNoticeLevelMax = 100;
inline constexpr uint32_t kDefaultLowBatteryNotice = 15;
inline constexpr uint32_t kDefaultChargeLimitNotice = kNoticeLevelOff;
// The level the dialog offers when the charge limit is switched on.
inline constexpr uint32_t kSuggestedChargeLimit = 80;

struct AppSettings {
  int32_t TransparentForm = 0;  // the meter is layered with the alpha below
  uint8_t bAlpha = 0;           // the meter's alpha is 255 - bAlpha (0 = opaque)
  int32_t AlwaysOnTop = 1;
  int32_t AppearOnlyWhenChrDischr = 0;
  int32_t BeepAfterWakeUp = 0;
  int32_t PaneWindow = 0;  // auto-hide under the pointer
  int32_t DisplayOneBatteryStatus = 0;
  std::string BatteryName;
  int32_t BatteryMeterPosLeft = 0;  // default: desktop right edge - 70
  int32_t BatteryMeterPosTop = kDefaultMeterTop;
  std::string Language;  // empty: the built-in texts
  // Scheme names for automatic switching; empty (or a name no longer listed): no switch.
  std::string SchemeOnMains;
  std::string SchemeOnBattery;
  uint32_t LowBatteryNotice = kDefaultLowBatteryNotice;    // per cent, 0 = off
  uint32_t ChargeLimitNotice = kDefaultChargeLimitNotice;  // per cent, 0 = off
};

// A stored notice level as the program uses it: `fallback` when beyond 100.
constexpr uint32_t NoticeLevel(uint32_t stored, uint32_t fallback) noexcept {
  return stored <= kNoticeLevelMax ? stored : fallback;
}

// "Software\Vantrel\".
std::string SettingsKeyPath();

}  // namespace vantrel::settings
