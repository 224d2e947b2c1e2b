// What the meter asks about the batteries: how many there are, whether one charges or
// discharges, and the figures its face shows. The answers come from the battery status
// model through the asker's own PowerPlatform; tests put their own answers in place.
#pragma once

#include "settings/core/app_settings.h"
#include "battery/core/battery_figures.h"

namespace vantrel::power {
class PowerPlatform;
}
namespace vantrel::battery {
class NamedBatteryCache;
}

namespace vantrel::display {

// The face's figures: the charge and the time text.
using FaceFigures = battery::MeterFigures;

class MeterBattery {
 public:
  virtual ~MeterBattery() = default;
  virtual unsigned BatteryCount(power::PowerPlatform& platform) = 0;
  // A battery that charges or discharges (and, in one-battery mode, is the chosen one).
  virtual bool HasBatteryOfInterest(power::PowerPlatform& platform, const settings::AppSettings& settings) = 0;
  virtual FaceFigures Figures(power::PowerPlatform& platform, const settings::AppSettings& settings) = 0;
  // The same for an asker that computes them again and again with one platform, keeping the
  // one-battery mode's lookup by name in `named`.
  virtual FaceFigures Figures(power::PowerPlatform& platform, const settings::AppSettings& settings,
                              battery::NamedBatteryCache& named) {
    (void)named;
    return Figures(platform, settings);
  }
};

// The battery status model, unless a test has put something else in place.
MeterBattery& CurrentMeterBattery() noexcept;

class ScopedMeterBattery {
 public:
  explicit ScopedMeterBattery(MeterBattery& battery) noexcept;
  ~ScopedMeterBattery();
  ScopedMeterBattery(const ScopedMeterBattery&) = delete;
  ScopedMeterBattery& operator=(const ScopedMeterBattery&) = delete;

 private:
  MeterBattery* previous_;
};

}  // namespace vantrel::display
