// Automatic switching of the power scheme with the power source: the meter hands it every
// power-status broadcast, and it makes the scheme chosen for the new source active, once per
// change.
#pragma once

#include <map>
#include <string>

#include "power/core/scheme_switch_rules.h"
#include "power/power_platform.h"
#include "settings/core/app_settings.h"

namespace vantrel::power {

class SchemeSwitcher {
 public:
  // Both must outlive the switcher; the platform's scheme list is enumerated again on a switch.
  SchemeSwitcher(const settings::AppSettings& settings, PowerPlatform& platform) noexcept
      : settings_(settings), platform_(platform) {}

  // Remembers the present source, so that the first broadcast after it can be a change.
  void Start();
  // On a power-status broadcast. True when it made a scheme active. A refused activation is
  // not reported: nobody asked for it, and the next change tries again.
  bool OnPowerStatusChange();

 private:
  static uint8_t AcLine();
  // The plan back end: the plan of the choice's GUID; a choice by name is matched once to the
  // plan of that name, which it then follows by GUID (a later rename does not lose it).
  bool SwitchPlan(const std::string& wanted);

  const settings::AppSettings& settings_;
  PowerPlatform& platform_;
  PowerSourceWatch watch_;
  std::map<std::string, platform::PlanGuid> matched_;  // choice by name -> its plan
};

}  // namespace vantrel::power
