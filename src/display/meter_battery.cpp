#include "display/meter_battery.h"

#include "battery/battery_status.h"
#include "power/power_platform.h"

namespace vantrel::display {

namespace {

class StatusModel final : public MeterBattery {
 public:
  unsigned BatteryCount(power::PowerPlatform& platform) override { return platform.GetBatteryCount(); }
  bool HasBatteryOfInterest(power::PowerPlatform& platform, const settings::AppSettings& settings) override {
    return battery::FindBatteryOfInterest(platform, settings) >= 0;
  }
  FaceFigures Figures(power::PowerPlatform& platform, const settings::AppSettings& settings) override {
    return battery::ComputeMeterFigures(platform, settings);
  }
  FaceFigures Figures(power::PowerPlatform& platform, const settings::AppSettings& settings,
                      battery::NamedBatteryCache& named) override {
    return battery::ComputeMeterFigures(platform, settings, named);
  }
};

StatusModel g_status_model;
MeterBattery* g_current = &g_status_model;

}  // namespace

MeterBattery& CurrentMeterBattery() noexcept { return *g_current; }

ScopedMeterBattery::ScopedMeterBattery(MeterBattery& battery) noexcept : previous_(g_current) {
  g_current = &battery;
}
ScopedMeterBattery::~ScopedMeterBattery() { g_current = previous_; }

}  // namespace vantrel::display
