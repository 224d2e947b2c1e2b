#include "power/scheme_switcher.h"

#include "power/power_backend.h"
#include "power/power_plans.h"

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
  if (CurrentPowerBackend() == PowerBackend::Plans) return SwitchPlan(wanted);
  platform_.EnumSchemes();
  const int active = platform_.GetActiveSchemeIndex();
  const int number = SchemeToActivate(line, settings_.SchemeOnMains, settings_.SchemeOnBattery, platform_.schemes(),
                                      platform_.GetSchemeId(active));
  return number != kNoScheme && platform_.SetActiveScheme(number) == 0;
}

bool SchemeSwitcher::SwitchPlan(const std::string& wanted) {
  PowerPlans plans;
  plans.EnumPlans();
  PlanChoice choice = ParsePlanChoice(wanted);
  if (!choice.has_guid) {
    if (auto kept = matched_.find(wanted); kept != matched_.end()) {
      choice.guid = kept->second;
    } else {
      int number = -1;
      for (unsigned k = 0; k < plans.GetPlanCount() && number < 0; ++k)
        if (plans.GetPlanName(static_cast<int>(k)) == choice.name) number = static_cast<int>(k);
      if (number < 0) return false;
      choice.guid = platform::FromGuid(plans.Entry(number)->guid);
      matched_[wanted] = choice.guid;
    }
  }
  const int number = plans.FindPlan(platform::ToGuid(choice.guid));
  if (number < 0 || number == plans.GetActivePlanIndex()) return false;
  return plans.Activate(number) == 0;
}

}  // namespace vantrel::power
