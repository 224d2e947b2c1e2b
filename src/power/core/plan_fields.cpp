#include "power/core/plan_fields.h"

#include <array>

namespace vantrel::power {

namespace {

namespace g = platform::guids;
using C = Conversion;
using S = Sides;
using F = XpField;

constexpr PlanSetting Alarm(F first, int n, const platform::PlanGuid (&settings)[4], C conversion) {
  return {AlarmField(first, n), g::kBatterySubgroup, settings[n], conversion, S::DcOnly};
}

// XP's hibernate timeout counts from the start of standby, the plan's from idle: the nearest
// counterpart all the same. The forced throttle is the highest processor state allowed.
constexpr PlanSetting kPlanSettings[] = {
    {F::VideoTimeout, g::kVideoSubgroup, g::kVideoTimeout, C::Seconds, S::AcAndDc},
    {F::SpindownTimeout, g::kDiskSubgroup, g::kDiskTimeout, C::Seconds, S::AcAndDc},
    {F::IdleTimeout, g::kSleepSubgroup, g::kStandbyTimeout, C::Seconds, S::AcAndDc},
    {F::DozeS4Timeout, g::kSleepSubgroup, g::kHibernateTimeout, C::Seconds, S::AcAndDc},
    {F::IdleSensitivity, g::kSleepSubgroup, g::kIdleThreshold, C::Percent, S::AcAndDc},
    {F::MinThrottle, g::kProcessorSubgroup, g::kProcessorMinimum, C::Percent, S::AcAndDc},
    {F::ForcedThrottle, g::kProcessorSubgroup, g::kProcessorMaximum, C::Percent, S::AcAndDc},
    {F::PowerButton, g::kButtonSubgroup, g::kPowerButton, C::Action, S::AcAndDc},
    {F::SleepButton, g::kButtonSubgroup, g::kSleepButton, C::Action, S::AcAndDc},
    {F::LidClose, g::kButtonSubgroup, g::kLidClose, C::Action, S::AcAndDc},
    Alarm(F::AlarmEnable, 0, g::kAlarmFlags, C::AlarmEnable),
    Alarm(F::AlarmEnable, 1, g::kAlarmFlags, C::AlarmEnable),
    Alarm(F::AlarmEnable, 2, g::kAlarmFlags, C::AlarmEnable),
    Alarm(F::AlarmEnable, 3, g::kAlarmFlags, C::AlarmEnable),
    Alarm(F::AlarmLevel, 0, g::kAlarmLevel, C::Percent),
    Alarm(F::AlarmLevel, 1, g::kAlarmLevel, C::Percent),
    Alarm(F::AlarmLevel, 2, g::kAlarmLevel, C::Percent),
    Alarm(F::AlarmLevel, 3, g::kAlarmLevel, C::Percent),
    Alarm(F::AlarmAction, 0, g::kAlarmAction, C::Action),
    Alarm(F::AlarmAction, 1, g::kAlarmAction, C::Action),
    Alarm(F::AlarmAction, 2, g::kAlarmAction, C::Action),
    Alarm(F::AlarmAction, 3, g::kAlarmAction, C::Action),
    Alarm(F::AlarmEvents, 0, g::kAlarmFlags, C::AlarmEvents),
    Alarm(F::AlarmEvents, 1, g::kAlarmFlags, C::AlarmEvents),
    Alarm(F::AlarmEvents, 2, g::kAlarmFlags, C::AlarmEvents),
    Alarm(F::AlarmEvents, 3, g::kAlarmFlags, C::AlarmEvents),
    {F::PasswordLogon, g::kNoSubgroup, g::kLockConsoleOnWake, C::Flag, S::Both},
};

// Names of the single fields, then of the four-of-a-kind alarm fields, then of the rest.
constexpr const char* kSingleNames[] = {
    "IdleAction",    "IdleTimeout",         "IdleSensitivity",  "ThrottlePolicy",       "MaxSleep",
    "VideoTimeout",  "SpindownTimeout",     "OptimizeForPower", "FanThrottleTolerance", "ForcedThrottle",
    "MinSleep",      "ReducedLatencySleep", "DozeTimeout",      "DozeS4Timeout",        "MinThrottle",
    "OverThrottled", "DynamicThrottle",     "ProcessorStates",  "PowerButton",          "SleepButton",
    "LidClose",      "ButtonFlags"};
constexpr const char* kAlarmNames[][kAlarmCount] = {
    {"AlarmEnable0", "AlarmEnable1", "AlarmEnable2", "AlarmEnable3"},
    {"AlarmLevel0", "AlarmLevel1", "AlarmLevel2", "AlarmLevel3"},
    {"AlarmAction0", "AlarmAction1", "AlarmAction2", "AlarmAction3"},
    {"AlarmEvents0", "AlarmEvents1", "AlarmEvents2", "AlarmEvents3"},
    {"AlarmActionFlags0", "AlarmActionFlags1", "AlarmActionFlags2", "AlarmActionFlags3"},
    {"AlarmMinState0", "AlarmMinState1", "AlarmMinState2", "AlarmMinState3"}};
constexpr const char* kLastNames[] = {"PasswordLogon", "OtherGlobalFlags", "LidOpenWake", "BroadcastCapacity"};

static_assert(std::size(kSingleNames) == static_cast<size_t>(F::AlarmEnable));
static_assert(static_cast<int>(F::AlarmEnable) + 6 * kAlarmCount == static_cast<int>(F::PasswordLogon));
static_assert(static_cast<int>(F::PasswordLogon) + std::size(kLastNames) == static_cast<size_t>(F::Count));

}  // namespace

const char* XpFieldName(XpField field) {
  const int n = static_cast<int>(field);
  const int alarms = static_cast<int>(F::AlarmEnable);
  const int last = static_cast<int>(F::PasswordLogon);
  if (n < alarms) return kSingleNames[n];
  if (n < last) return kAlarmNames[(n - alarms) / kAlarmCount][(n - alarms) % kAlarmCount];
  if (n < kXpFieldCount) return kLastNames[n - last];
  return "?";
}

std::span<const PlanSetting> PlanSettings() { return kPlanSettings; }

const PlanSetting* FindPlanSetting(XpField field) {
  for (const PlanSetting& row : kPlanSettings) {
    if (row.field == field) return &row;
  }
  return nullptr;
}

std::optional<uint32_t> ToSetting(Conversion conversion, uint32_t xp, uint32_t current,
                                  std::span<const uint32_t> possible) {
  switch (conversion) {
    case C::Seconds:
      return xp;
    case C::Percent:
      if (xp > 100) return std::nullopt;
      return xp;
    case C::Action:
      for (size_t i = 0; i < possible.size(); ++i) {
        if (possible[i] == xp) return static_cast<uint32_t>(i);
      }
      return std::nullopt;
    case C::Flag:
      return xp != 0 ? 1u : 0u;
    case C::AlarmEnable:
      return (current & ~kAlarmFlagEnable) | (xp != 0 ? kAlarmFlagEnable : 0u);
    case C::AlarmEvents:
      if (xp & ~kAlarmFlagEvents) return std::nullopt;
      return (current & ~kAlarmFlagEvents) | xp;
  }
  return std::nullopt;
}

std::optional<uint32_t> FromSetting(Conversion conversion, uint32_t value, std::span<const uint32_t> possible) {
  switch (conversion) {
    case C::Seconds:
      return value;
    case C::Percent:
      // An XP percent is a byte.
      return value > 255 ? 255u : value;
    case C::Action:
      if (value >= possible.size()) return std::nullopt;
      return possible[value];
    case C::Flag:
      return value != 0 ? 1u : 0u;
    case C::AlarmEnable:
      return (value & kAlarmFlagEnable) != 0 ? 1u : 0u;
    case C::AlarmEvents:
      return value & kAlarmFlagEvents;
  }
  return std::nullopt;
}

}  // namespace vantrel::power
