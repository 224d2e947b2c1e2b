// Figures derived from the raw battery queries, and how they combine over several batteries
// for the meter. Portable: the battery layer reaches the devices through BatteryQueries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "i18n/core/text_ids.h"

namespace vantrel::battery {

// The platform's marker of an unknown capacity (the same value as BATTERY_UNKNOWN_CAPACITY).
inline constexpr uint32_t kUnknownCapacity = 0xFFFFFFFFu;

// The meter's time text when no time is known.
inline constexpr char kUnknownTimeText[] = "UNKNOWN";

// Remaining × 100 / full-charged, truncated. A battery cannot hold more than its full charge,
// so the result is at most 100; an unknown remaining or full capacity, or a full capacity of
// 0, gives 0.
unsigned ChargeFromCapacity(uint32_t remaining, uint32_t full);

// 100 − min(design, full) × 100 / design, truncated. A design capacity of 0 (relative-capacity
// batteries) or an unknown one, and an unknown full capacity, give 0: there is nothing to
// compare. A full capacity of 0 gives 100.
unsigned WearFromCapacity(uint32_t full, uint32_t design);

// "%d:%02d:%02d": hours (not limited to 24), minutes, seconds.
std::string TimeText(uint64_t seconds);
// "%d%%".
std::string ChargeText(unsigned charge);

// "Charging" when charging (also when both bits are set), else "Discharging" when
// discharging, else "OnLine": the text's identifier.
int PowerStateTextId(bool charging, bool discharging);


// What a battery's status read says besides its capacity.
struct PowerSeen {
  bool charge_known = false;
  bool charging = false;
  bool discharging = false;
  // The figures of the same two reads, kept so that the battery history records them without
  // asking again. `read`: the status and the information record were both read.
  bool read = false;
  uint32_t remaining = kUnknownCapacity, full = kUnknownCapacity;
  uint32_t design = 0, cycles = 0;  // design 0: relative capacities
};

// One battery as the reads for the meter's figures saw it.
struct BatterySeen {
  unsigned index = 0;
  unsigned charge = 0;
  PowerSeen seen;
};

// What the meter shows: the charge (at most 100) and the time text; and, from the same reads,
// whether that charge is known at all (0 is also shown when it is not) and how the batteries
// shown are powered.
struct MeterFigures {
  unsigned charge = 0;
  std::string time_text;
  bool charge_known = false;
  bool charging = false;     // a battery shown charges
  bool discharging = false;  // a battery shown discharges and none charges
  std::vector<BatterySeen> batteries = {};  // each battery read for these figures
};

// The battery layer as the meter figures need it; batteries are addressed by index.
class BatteryQueries {
 public:
  virtual ~BatteryQueries() = default;
  virtual unsigned Count() = 0;
  // The first battery whose device name equals `name` exactly, or -1.
  virtual int FindByName(const std::string& name) = 0;
  // The charge in per cent (its users keep the low 8 bits), with what the same reads said.
  virtual unsigned ChargePercent(unsigned index, PowerSeen& seen) = 0;
  // True, with both figures, when the remaining and the full-charged capacity can be read
  // (either may still be kUnknownCapacity); `seen` gets the power state of that status read.
  virtual bool Capacities(unsigned index, uint32_t& remaining, uint32_t& full, PowerSeen& seen) = 0;
  // True, with the seconds, when the estimated time at the present rate is known.
  virtual bool EstimatedTime(unsigned index, uint32_t& seconds) = 0;
  // True, with the name, when the device name can be read in two calls (an empty name cannot).
  virtual bool DeviceName(unsigned index, std::string& name) = 0;
  virtual bool IsCharging(unsigned index) = 0;
  virtual bool IsDischarging(unsigned index) = 0;
};

// The meter's figures: in one-battery mode those of the battery named `battery_name` (0 and
// "UNKNOWN" when there is none). Otherwise the combined charge, total remaining × 100 / total
// full-charged capacity over the batteries whose capacities are known (0 when none are), and
// the sum of the times. A total time of 0 reads "UNKNOWN".
MeterFigures CombineMeterFigures(BatteryQueries& batteries, bool one_battery, const std::string& battery_name);

// The first battery, in index order, whose name can be read, that charges or discharges and,
// in one-battery mode, whose name equals `battery_name` (case-sensitive); -1 when none.
int FirstBatteryOfInterest(BatteryQueries& batteries, bool one_battery, const std::string& battery_name);

}  // namespace vantrel::battery
