// The battery figures as the meter and the Batteries page show them, computed on demand from
// a BatteryPlatform's batteries: nothing is kept between two computations.
#pragma once

#include <string>

#include "settings/core/app_settings.h"
#include "battery/core/battery_figures.h"
#include "battery/battery_platform.h"

namespace vantrel::battery {

// MeterFigures (battery/core/battery_figures.h): `charge` is the charge of the batteries shown
// (at most 100); `time_text` is "UNKNOWN" when no time is known.

// The meter's figures: with `DisplayOneBatteryStatus` those of the battery named `BatteryName`,
// otherwise the combined charge and the summed time of every battery.
MeterFigures ComputeMeterFigures(BatteryPlatform& platform, const settings::AppSettings& settings);

// The first battery, in index order, that has a readable name, charges or discharges and, with
// `DisplayOneBatteryStatus`, is named `BatteryName`; -1 when none.
int FindBatteryOfInterest(BatteryPlatform& platform, const settings::AppSettings& settings);

// "Charging", "Discharging" or "OnLine" in the current language.
std::string PowerStateText(BatteryPlatform& platform, unsigned index);

// The estimated time at the present rate as "%d:%02d:%02d"; false when it is not known.
bool EstimatedTimeText(BatteryPlatform& platform, unsigned index, std::string& text);

}  // namespace vantrel::battery
