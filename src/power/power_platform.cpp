#include "power/power_platform.h"

namespace vantrel::power {

PowerPlatform::PowerPlatform() {
  lcd_.reset(platform::Sys().CreateFileA("\\\\.\\LCD", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
}

PowerPlatform::~PowerPlatform() = default;

}  // namespace vantrel::power
