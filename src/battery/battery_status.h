// The battery figures as the meter and the Batteries page show them, computed on demand from
// a BatteryPlatform's batteries: nothing is kept between two computations, except the
// one-battery mode's lookup by name for a caller that keeps it.
#pragma once

#include <string>
#include <vector>

#include "settings/core/app_settings.h"
#include "battery/core/battery_figures.h"
#include "battery/battery_platform.h"

namespace vantrel::battery {

// MeterFigures (battery/core/battery_figures.h): `charge` is the charge of the batteries shown
// (at most 100); `time_text` is "UNKNOWN" when no time is known.

// The meter's figures: with `DisplayOneBatteryStatus` those of the battery named `BatteryName`,
// otherwise the combined charge and the summed time of every battery.
MeterFigures ComputeMeterFigures(BatteryPlatform& platform, const settings::AppSettings& settings);

// The battery the one-battery mode shows, found by its name. Finding it reads the batteries'
// names (16 device requests with two batteries), so a caller that computes the figures every
// second keeps the battery found while the batteries stay the same: as many, each with the
// tag it had. An exchanged battery has a new tag, and the name is looked up again; so is a
// name no battery has. Of two batteries with one name, the one found stays while it is there.
class NamedBatteryCache {
 public:
  // The battery named `name` (-1: none), looked up only when the name or the batteries changed.
  int Find(BatteryPlatform& platform, const std::string& name);
  // Whether the batteries are still those of the last lookup.
  bool Current(const BatteryPlatform& platform) const;

 private:
  static std::vector<ULONG> Tags(const BatteryPlatform& platform);
  const BatteryPlatform* platform_ = nullptr;
  std::string name_;
  int index_ = -1;
  std::vector<ULONG> tags_;
};

// As above, the lookup by name kept in `cache`, which must be used with one platform only. A
// battery exchanged during the computation makes it start again with a fresh lookup.
MeterFigures ComputeMeterFigures(BatteryPlatform& platform, const settings::AppSettings& settings,
                                 NamedBatteryCache& cache);

// The first battery, in index order, that has a readable name, charges or discharges and, with
// `DisplayOneBatteryStatus`, is named `BatteryName`; -1 when none.
int FindBatteryOfInterest(BatteryPlatform& platform, const settings::AppSettings& settings);

// "Charging", "Discharging" or "OnLine" in the current language.
std::string PowerStateText(BatteryPlatform& platform, unsigned index);

// The estimated time at the present rate as "%d:%02d:%02d"; false when it is not known.
bool EstimatedTimeText(BatteryPlatform& platform, unsigned index, std::string& text);

}  // namespace vantrel::battery
