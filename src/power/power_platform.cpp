#include "power/power_platform.h"

namespace vantrel::power {

namespace {

HANDLE OpenLcd() {
  return platform::Sys().CreateFileA("\\\\.\\LCD", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

PowerPlatform::PowerPlatform() { lcd_.reset(OpenLcd()); }

PowerPlatform::PowerPlatform(battery::BatteryPlatform::NoBatteries none) : BatteryPlatform(none) {
  lcd_.reset(OpenLcd());
}

PowerPlatform::~PowerPlatform() = default;

}  // namespace vantrel::power
