// The arithmetic of a timed wake-up: menu command offsets to seconds, seconds to the
// relative due time of a waitable timer.
#pragma once

#include <cstdint>

namespace vantrel::power {

// A wake-up command is its base plus hours x 100 + minutes.
inline constexpr unsigned kWakeUpHourStep = 100;

// Seconds of the wake-up chosen by the command `offset` above the base:
// hundreds are hours, the last two digits minutes.
constexpr uint32_t WakeUpSecondsFromOffset(unsigned offset) {
  return (offset / kWakeUpHourStep) * 3600u + (offset % kWakeUpHourStep) * 60u;
}

// A waitable timer reads a negative due time as relative to now, in 100-nanosecond units.
inline constexpr int64_t kTimerUnitsPerSecond = 10'000'000;

constexpr int64_t WakeUpDueTime(int seconds) { return static_cast<int64_t>(seconds) * -kTimerUnitsPerSecond; }

}  // namespace vantrel::power
