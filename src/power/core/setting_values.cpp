#include "power/core/setting_values.h"

namespace vantrel::power {

namespace {
uint64_t Top(const SettingRange& r) { return r.max < r.min ? r.min : r.max; }
uint64_t Step(const SettingRange& r) { return r.increment ? r.increment : 1; }
}  // namespace

uint32_t FitToRange(uint64_t value, const SettingRange& range) {
  if (value <= range.min) return range.min;
  if (value > Top(range)) value = Top(range);
  const uint64_t offset = (value - range.min) / Step(range) * Step(range);
  return static_cast<uint32_t>(range.min + offset);
}

uint32_t StepInRange(uint32_t value, int steps, const SettingRange& range) {
  const int64_t moved = static_cast<int64_t>(FitToRange(value, range)) + static_cast<int64_t>(steps) *
                                                                               static_cast<int64_t>(Step(range));
  return FitToRange(moved < 0 ? 0 : static_cast<uint64_t>(moved), range);
}

bool ParseInRange(std::string_view text, const SettingRange& range, uint32_t* value) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.empty()) return false;
  uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    // Anything past the 32-bit range is as good as its top.
    if (number <= UINT32_MAX) number = number * 10 + static_cast<uint64_t>(c - '0');
  }
  *value = FitToRange(number, range);
  return true;
}

}  // namespace vantrel::power
