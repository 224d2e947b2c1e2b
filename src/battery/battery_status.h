// The battery figures as the meter and the Batteries page show them, computed on demand from
// a PowerPlatform's batteries: nothing is kept between two computations.
#pragma once

#include <string>

#include "app/core/app_settings.h"
#include "battery/core/battery_figures.h"
#include "power/power_platform.h"

namespace vantrel::battery {

// MeterFigures (battery/core/battery_figures.h): `charge` is the sum over the batteries shown
// and may exceed 100; `time_text` is "UNKNOWN" when no time is known.

// The meter's figures: with `DisplayOneBatteryStatus` those of the battery named `BatteryName`,
// otherwise the sums over every battery.
MeterFigures ComputeMeterFigures(power::PowerPlatform& platform, const app::AppSettings& settings);

// The first battery, in index order, that has a readable name, charges or discharges and, with
// `DisplayOneBatteryStatus`, is named `BatteryName`; -1 when none.
int FindBatteryOfInterest(power::PowerPlatform& platform, const app::AppSettings& settings);

enum class BatteryText { DeviceName, ManufactureName, UniqueId, SerialNumber };

// Reads a battery text in two calls (the length, then the text). True only when the first call
// reported a text to read and the second read it: an empty or unreadable text gives false.
bool ReadBatteryText(power::PowerPlatform& platform, BatteryText which, unsigned index, std::string& text);

// "Charging", "Discharging" or "OnLine" in the current language.
std::string PowerStateText(power::PowerPlatform& platform, unsigned index);

// The estimated time at the present rate as "%d:%02d:%02d"; false when it is not known.
bool EstimatedTimeText(power::PowerPlatform& platform, unsigned index, std::string& text);

}  // namespace vantrel::battery
