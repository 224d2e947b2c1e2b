#include "power/power_platform.h"

namespace vantrel::power {

PowerPlatform::PowerPlatform() {
  EnumBatteries();
  lcd_.reset(platform::Sys().CreateFileA("\\\\.\\LCD", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
}

PowerPlatform::~PowerPlatform() {
  batteries_.Clear();
}

}  // namespace vantrel::power
