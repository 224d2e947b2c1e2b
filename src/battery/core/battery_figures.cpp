#include "battery/core/battery_figures.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::battery {

unsigned ChargeFromCapacity(uint32_t remaining, uint32_t full) {
  if (full == 0 || full == kUnknownCapacity || remaining == kUnknownCapacity) return 0;
  // 64 bits: remaining × 100 overflows 32 bits for capacities in large relative units.
  return static_cast<unsigned>(uint64_t{std::min(remaining, full)} * 100 / full);
}

unsigned WearFromCapacity(uint32_t full, uint32_t design) {
  if (design == 0 || design == kUnknownCapacity || full == kUnknownCapacity) return 0;
  auto kept = static_cast<unsigned>(uint64_t{std::min(design, full)} * 100 / design);
  return 100 - kept;
}

std::string TimeText(uint64_t seconds) {
  // Made once a second all day: by hand, not through the formatted printer. "H:MM:SS", the
  // hours as many digits as they take.
  char text[32];
  char* end = text + sizeof text;
  char* p = end;
  const auto two = [&p](unsigned v) {
    *--p = static_cast<char>('0' + v % 10);
    *--p = static_cast<char>('0' + v / 10);
  };
  two(static_cast<unsigned>(seconds % 60));
  *--p = ':';
  two(static_cast<unsigned>(seconds % 3600 / 60));
  *--p = ':';
  uint64_t hours = seconds / 3600;
  do {
    *--p = static_cast<char>('0' + hours % 10);
    hours /= 10;
  } while (hours != 0);
  return std::string(p, end);
}

std::string ChargeText(unsigned charge) {
  char text[16];
  std::snprintf(text, sizeof text, "%u%%", charge);
  return text;
}

int PowerStateTextId(bool charging, bool discharging) {
  if (charging) return i18n::IDS_BATTERY_CHARGING;
  return discharging ? i18n::IDS_BATTERY_DISCHARGING : i18n::IDS_BATTERY_ONLINE;
}

MeterFigures CombineMeterFigures(BatteryQueries& batteries, bool one_battery, const std::string& battery_name) {
  MeterFigures figures;
  uint64_t time = 0;
  if (one_battery) {
    int index = batteries.FindByName(battery_name);
    if (index >= 0) {
      auto i = static_cast<unsigned>(index);
      uint32_t seconds = 0;
      if (batteries.EstimatedTime(i, seconds)) time = seconds;
      PowerSeen seen;
      figures.charge = batteries.ChargePercent(i, seen) & 0xFF;
      figures.batteries.push_back({i, figures.charge, seen});
      figures.charge_known = seen.charge_known;
      figures.charging = seen.charging;
      figures.discharging = seen.discharging && !seen.charging;
    }
  } else {
    // The charge of all the energy held, so that two full batteries read 100 %. 64-bit sums:
    // a few batteries in large relative units overflow 32 bits.
    uint64_t remaining_sum = 0;
    uint64_t full_sum = 0;
    bool charging = false;
    bool discharging = false;
    unsigned count = batteries.Count();
    for (unsigned i = 0; i < count; ++i) {
      uint32_t seconds = 0;
      if (batteries.EstimatedTime(i, seconds)) time += seconds;
      uint32_t remaining = 0;
      uint32_t full = 0;
      PowerSeen seen;
      if (!batteries.Capacities(i, remaining, full, seen)) continue;
      figures.batteries.push_back({i, ChargeFromCapacity(remaining, full), seen});
      if (remaining == kUnknownCapacity || full == kUnknownCapacity) continue;
      charging = charging || seen.charging;
      discharging = discharging || seen.discharging;
      // As for one battery, a little over the full charge counts as full.
      remaining_sum += std::min(remaining, full);
      full_sum += full;
    }
    if (full_sum != 0) {
      figures.charge = static_cast<unsigned>(remaining_sum * 100 / full_sum);
      figures.charge_known = true;
      // One battery charging from the mains means the machine is not running on battery.
      figures.charging = charging;
      figures.discharging = discharging && !charging;
    }
  }
  figures.time_text = time != 0 ? TimeText(time) : kUnknownTimeText;
  return figures;
}

int FirstBatteryOfInterest(BatteryQueries& batteries, bool one_battery, const std::string& battery_name) {
  unsigned count = batteries.Count();
  for (unsigned i = 0; i < count; ++i) {
    std::string name;
    if (!batteries.DeviceName(i, name)) continue;
    if (!batteries.IsCharging(i) && !batteries.IsDischarging(i)) continue;
    if (one_battery && name != battery_name) continue;
    return static_cast<int>(i);
  }
  return -1;
}

}  // namespace vantrel::battery
