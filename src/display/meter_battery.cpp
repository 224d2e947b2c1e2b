#include "display/meter_battery.h"

#include "power/power_platform.h"

namespace vantrel::display {

namespace {

class StatusModel final : public MeterBattery {
 public:
  unsigned BatteryCount(power::PowerPlatform&) override { return 0; }
  bool HasBatteryOfInterest(power::PowerPlatform&, const app::AppSettings&) override { return false; }
  FaceFigures Figures(power::PowerPlatform&, const app::AppSettings&) override { return {0, "UNKNOWN"}; }
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
