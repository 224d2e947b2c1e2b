#include "battery/battery_status.h"

#include <cstdint>
#include <vector>

#include "i18n/core/language_table.h"

namespace vantrel::battery {

namespace {

PowerSeen Seen(bool known, ULONG power_state) {
  PowerSeen seen;
  seen.charge_known = known;
  seen.charging = (power_state & BATTERY_CHARGING) != 0;
  seen.discharging = (power_state & BATTERY_DISCHARGING) != 0;
  return seen;
}

void KeepFigures(PowerSeen& seen, ULONG remaining, const BATTERY_INFORMATION& info) {
  seen.read = true;
  seen.remaining = remaining;
  seen.full = info.FullChargedCapacity;
  seen.design = (info.Capabilities & BATTERY_CAPACITY_RELATIVE) ? 0 : info.DesignedCapacity;
  seen.cycles = info.CycleCount;
}

// The meter's view of one PowerPlatform.
class PlatformQueries final : public BatteryQueries {
 public:
  explicit PlatformQueries(BatteryPlatform& platform, NamedBatteryCache* named = nullptr)
      : platform_(platform), named_(named) {}

  unsigned Count() override { return platform_.GetBatteryCount(); }
  int FindByName(const std::string& name) override {
    return named_ ? named_->Find(platform_, name) : platform_.FindBatteryByName(name);
  }
  unsigned ChargePercent(unsigned index, PowerSeen& seen) override {
    const BatteryPlatform::ChargeReading reading = platform_.ReadCharge(index);
    seen = Seen(reading.known, reading.power_state);
    if (reading.read) {
      seen.read = true;
      seen.remaining = reading.remaining;
      seen.full = reading.full;
      seen.design = reading.design;
      seen.cycles = reading.cycles;
    }
    return reading.percent;
  }
  bool Capacities(unsigned index, uint32_t& remaining, uint32_t& full, PowerSeen& seen) override {
    // One status read gives the capacity and the power state, one information read the full
    // capacity (and, for the history, the design capacity and the cycles).
    BATTERY_STATUS status{};
    BATTERY_INFORMATION info{};
    if (platform_.GetStatus(index, status, 0, 0, 0, 0) != ERROR_SUCCESS) return false;
    if (platform_.GetBatteryInfo(index, info) != ERROR_SUCCESS) return false;
    const ULONG whole = info.FullChargedCapacity;
    remaining = status.Capacity;
    full = whole;
    seen = Seen(status.Capacity != BATTERY_UNKNOWN_CAPACITY && whole != 0 && whole != BATTERY_UNKNOWN_CAPACITY,
                status.PowerState);
    KeepFigures(seen, status.Capacity, info);
    return true;
  }
  bool EstimatedTime(unsigned index, uint32_t& seconds) override {
    ULONG value = 0;
    if (platform_.GetEstimatedTime(index, 0, value) != ERROR_SUCCESS) return false;
    seconds = value;
    return true;
  }
  bool DeviceName(unsigned index, std::string& name) override {
    return ReadBatteryText(platform_, BatteryText::DeviceName, index, name);
  }
  bool IsCharging(unsigned index) override { return platform_.IsCharging(index); }
  bool IsDischarging(unsigned index) override { return platform_.IsDischarging(index); }

 private:
  BatteryPlatform& platform_;
  NamedBatteryCache* named_;
};

}  // namespace

std::vector<ULONG> NamedBatteryCache::Tags(const BatteryPlatform& platform) {
  std::vector<ULONG> tags;
  const BatterySet& set = platform.batteries();
  for (unsigned i = 0; i < set.size(); ++i) tags.push_back(set[i].tag);
  return tags;
}

bool NamedBatteryCache::Current(const BatteryPlatform& platform) const {
  return platform_ == &platform && tags_ == Tags(platform);
}

int NamedBatteryCache::Find(BatteryPlatform& platform, const std::string& name) {
  // A battery found is kept: the requests on it notice when it is exchanged. None found is
  // not: a battery of that name may come into any slot without a request noticing.
  if (index_ >= 0 && name == name_ && Current(platform)) return index_;
  index_ = platform.FindBatteryByName(name);
  // The tags as the lookup left them: it takes a new one from a battery it finds exchanged.
  platform_ = &platform;
  name_ = name;
  tags_ = Tags(platform);
  return index_;
}

MeterFigures ComputeMeterFigures(BatteryPlatform& platform, const settings::AppSettings& settings) {
  PlatformQueries queries(platform);
  return CombineMeterFigures(queries, settings.DisplayOneBatteryStatus != 0, settings.BatteryName);
}

MeterFigures ComputeMeterFigures(BatteryPlatform& platform, const settings::AppSettings& settings,
                                 NamedBatteryCache& cache) {
  const bool one = settings.DisplayOneBatteryStatus != 0;
  PlatformQueries queries(platform, &cache);
  MeterFigures figures = CombineMeterFigures(queries, one, settings.BatteryName);
  // The kept battery was exchanged meanwhile: its figures may be another battery's.
  if (one && !cache.Current(platform)) figures = CombineMeterFigures(queries, one, settings.BatteryName);
  return figures;
}

int FindBatteryOfInterest(BatteryPlatform& platform, const settings::AppSettings& settings) {
  PlatformQueries queries(platform);
  return FirstBatteryOfInterest(queries, settings.DisplayOneBatteryStatus != 0, settings.BatteryName);
}

std::string PowerStateText(BatteryPlatform& platform, unsigned index) {
  // One status read for both bits.
  BATTERY_STATUS status{};
  bool known = platform.GetStatus(index, status, 0, 0, 0, 0) == ERROR_SUCCESS;
  return i18n::Text(PowerStateTextId(known && (status.PowerState & BATTERY_CHARGING) != 0,
                                     known && (status.PowerState & BATTERY_DISCHARGING) != 0));
}

bool EstimatedTimeText(BatteryPlatform& platform, unsigned index, std::string& text) {
  ULONG seconds = 0;
  if (platform.GetEstimatedTime(index, 0, seconds) != ERROR_SUCCESS) return false;
  text = TimeText(seconds);
  return true;
}

}  // namespace vantrel::battery
