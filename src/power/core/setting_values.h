// The numbers a power plan's range setting may take: within its bounds and on its steps
// (lowest + k * increment), as the system defines them.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel::power {

struct SettingRange {
  uint32_t min = 0;
  uint32_t max = 0;
  uint32_t increment = 1;  // 0 counts as 1
};

// The nearest value the setting takes at or below `value`, never below the lowest or above the
// highest (a range whose highest is below its lowest is only its lowest).
uint32_t FitToRange(uint64_t value, const SettingRange& range);
// `value` moved by `steps` increments (negative: down), kept in the range.
uint32_t StepInRange(uint32_t value, int steps, const SettingRange& range);
// A number typed by the user (decimal digits, surrounding blanks allowed), fitted to the
// range; false for an empty text or anything but digits.
bool ParseInRange(std::string_view text, const SettingRange& range, uint32_t* value);

}  // namespace vantrel::power
