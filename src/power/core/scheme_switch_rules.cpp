#include "power/core/scheme_switch_rules.h"

namespace vantrel::power {

bool PowerSourceWatch::Changed(uint8_t line) noexcept {
  if (!Known(line)) return false;
  const bool changed = Known(last_) && line != last_;
  last_ = line;
  return changed;
}

int FindSchemeByName(std::string_view name, const std::vector<PowerSchemeEntry>& schemes) {
  if (name.empty()) return kNoScheme;
  for (size_t k = 0; k < schemes.size(); ++k) {
    if (schemes[k].name == name) return static_cast<int>(k);
  }
  return kNoScheme;
}

int SchemeToActivate(uint8_t line, std::string_view on_mains, std::string_view on_battery,
                     const std::vector<PowerSchemeEntry>& schemes, uint32_t active_id) {
  if (line != kAcOnline && line != kAcOffline) return kNoScheme;
  const int number = FindSchemeByName(line == kAcOnline ? on_mains : on_battery, schemes);
  if (number == kNoScheme || schemes[static_cast<size_t>(number)].id == active_id) return kNoScheme;
  return number;
}

int SchemeChoiceItem(std::string_view stored, const std::vector<PowerSchemeEntry>& schemes) {
  if (stored.empty()) return 0;
  const int number = FindSchemeByName(stored, schemes);
  return (number != kNoScheme ? number : static_cast<int>(schemes.size())) + 1;
}

std::string ChosenSchemeName(int chosen, int shown, const std::string& stored, std::string_view chosen_text) {
  if (chosen == shown) return stored;
  return chosen > 0 ? std::string(chosen_text) : std::string();
}

PlanChoice ParsePlanChoice(std::string_view stored) {
  PlanChoice choice;
  const size_t close = stored.find('}');
  if (!stored.empty() && stored.front() == '{' && close != std::string_view::npos &&
      platform::ParseGuid(stored.substr(0, close + 1), &choice.guid)) {
    choice.has_guid = true;
    stored.remove_prefix(close + 1);
    if (!stored.empty() && stored.front() == ' ') stored.remove_prefix(1);
  }
  choice.name = std::string(stored);
  return choice;
}

std::string FormatPlanChoice(const platform::PlanGuid& guid, std::string_view name) {
  std::string text = "{" + platform::FormatGuid(guid) + "}";
  if (!name.empty()) text += " " + std::string(name);
  return text;
}

}  // namespace vantrel::power
