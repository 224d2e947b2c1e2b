#include "power/scheme_switcher.h"

namespace vantrel::power {

uint8_t SchemeSwitcher::AcLine() {
  SYSTEM_POWER_STATUS status{};
  return platform::Sys().GetSystemPowerStatus(&status) ? status.ACLineStatus : kAcUnknown;
}

void SchemeSwitcher::Start() { watch_ = PowerSourceWatch(AcLine()); }

bool SchemeSwitcher::OnPowerStatusChange() {
  // Most broadcasts are charge changes: they cost one status query and nothing more.
  const uint8_t line = AcLine();
  if (!watch_.Changed(line)) return false;
  const std::string& wanted = line == kAcOnline ? settings_.SchemeOnMains : settings_.SchemeOnBattery;
  if (wanted.empty()) return false;
  platform_.EnumSchemes();
  const int active = platform_.GetActiveSchemeIndex();
  const int number = SchemeToActivate(line, settings_.SchemeOnMains, settings_.SchemeOnBattery, platform_.schemes(),
                                      platform_.GetSchemeId(active));
  return number != kNoScheme && platform_.SetActiveScheme(number) == 0;
}

}  // namespace vantrel::power
