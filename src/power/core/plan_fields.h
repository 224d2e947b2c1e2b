// The fields of the XP-era records that the pages edit, and which power-plan setting each has
// as its counterpart, with the conversion between the two. A plan is shown through those
// records; a field without a counterpart is shown but never written.
//
// Numbers are never copied across: timeouts are seconds in both worlds and throttles percent,
// but actions are an index into the setting's list of possible values (an XP Hibernate, 3, is
// index 2 of the button settings; index 3 means Shut down), and an alarm's enable flag and
// notifications share one flags setting.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/core/plan_guids.h"

namespace vantrel::power {

// Every field the pages edit, AC and DC counted once. The battery alarms come four of a kind:
// alarm n is `first + n` (AlarmField).
enum class XpField : uint8_t {
  // POWER_POLICY.user
  IdleAction,
  IdleTimeout,
  IdleSensitivity,
  ThrottlePolicy,
  MaxSleep,
  VideoTimeout,
  SpindownTimeout,
  OptimizeForPower,
  FanThrottleTolerance,
  ForcedThrottle,
  // POWER_POLICY.mach
  MinSleep,
  ReducedLatencySleep,
  DozeTimeout,
  DozeS4Timeout,
  MinThrottle,
  OverThrottled,
  // MACHINE_PROCESSOR_POWER_POLICY
  DynamicThrottle,
  ProcessorStates,
  // GLOBAL_POWER_POLICY: the action of each button and of the lid; their flags and event codes
  PowerButton,
  SleepButton,
  LidClose,
  ButtonFlags,
  // The battery alarms (DischargePolicy[n]).
  AlarmEnable,
  AlarmLevel = AlarmEnable + 4,
  AlarmAction = AlarmLevel + 4,
  AlarmEvents = AlarmAction + 4,  // the notifications of the event code
  AlarmActionFlags = AlarmEvents + 4,
  AlarmMinState = AlarmActionFlags + 4,
  // GlobalFlags and the machine part of the global policy.
  PasswordLogon = AlarmMinState + 4,
  OtherGlobalFlags,
  LidOpenWake,
  BroadcastCapacity,
  Count
};
inline constexpr int kXpFieldCount = static_cast<int>(XpField::Count);
inline constexpr int kAlarmCount = 4;

// Alarm `n` (0 to 3) of a kind given by its first field (XpField::AlarmLevel…).
constexpr XpField AlarmField(XpField first, int n) { return static_cast<XpField>(static_cast<int>(first) + n); }
// A short English name ("VideoTimeout", "AlarmLevel2"), for traces and reports.
const char* XpFieldName(XpField field);

enum class Conversion : uint8_t {
  Seconds,      // the same number of seconds; 0 is never in both worlds
  Percent,      // an XP byte, a setting's number
  Action,       // an XP POWER_ACTION, an index into the setting's possible values
  Flag,         // an XP flag, a setting of 0 or 1
  AlarmEnable,  // an alarm's Enable, the top bit of its flags setting
  AlarmEvents,  // an alarm's notifications (text, sound, program: bits 0-2), the low bits of its flags setting
};

enum class Sides : uint8_t {
  AcAndDc,  // the XP field has an AC and a DC value, each with its own
  DcOnly,   // the XP field applies on battery only: the setting's DC value; its AC value is left alone
  Both,     // one XP value for both: written to the setting's AC and DC values, read from either
};

struct PlanSetting {
  XpField field;
  platform::PlanGuid subgroup;
  platform::PlanGuid setting;
  Conversion conversion;
  Sides sides;
};

// The fields with a counterpart, in the order they are written.
std::span<const PlanSetting> PlanSettings();
// Null for a field without a counterpart.
const PlanSetting* FindPlanSetting(XpField field);

// An alarm's flags setting: enabled, and which notifications (BATTERY_DISCHARGE_FLAGS_*).
inline constexpr uint32_t kAlarmFlagEnable = 0x80000000u;
inline constexpr uint32_t kAlarmFlagEvents = 0x00000007u;

// The setting's value (or index) for an XP value. `current` is the setting's present value, of
// which bit conversions change only their own bits; `possible` the setting's possible values,
// for actions. Empty when the XP value has no counterpart (an action none of the possible
// values has, a notification outside bits 0-2, a percent above 100).
std::optional<uint32_t> ToSetting(Conversion conversion, uint32_t xp, uint32_t current,
                                  std::span<const uint32_t> possible = {});
// The XP value for a setting's value (or index); empty when there is none (an index beyond the
// possible values).
std::optional<uint32_t> FromSetting(Conversion conversion, uint32_t value, std::span<const uint32_t> possible = {});

}  // namespace vantrel::power
