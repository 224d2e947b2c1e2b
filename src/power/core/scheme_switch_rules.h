// The portable rules of switching power schemes with the power source: when a power-status
// broadcast is a change between mains and battery, which scheme it makes active, and what the
// automatic switching dialog shows and stores for a name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/plan_guids.h"
#include "power/core/scheme_rules.h"

namespace vantrel::power {

// The AC line as the system reports it.
inline constexpr uint8_t kAcOffline = 0;
inline constexpr uint8_t kAcOnline = 1;
inline constexpr uint8_t kAcUnknown = 255;

// Follows the AC line across power-status broadcasts, which also come for every change of the
// charge: only a known line that differs from the last known one is a change of source.
class PowerSourceWatch {
 public:
  explicit PowerSourceWatch(uint8_t line = kAcUnknown) noexcept : last_(Known(line) ? line : kAcUnknown) {}
  // True once for each change between mains and battery. An unknown line is no change and
  // is not remembered; a known line after an unknown one is remembered without a change, since
  // nobody can tell whether the source changed.
  bool Changed(uint8_t line) noexcept;
  uint8_t last() const noexcept { return last_; }

 private:
  static constexpr bool Known(uint8_t line) noexcept { return line == kAcOffline || line == kAcOnline; }
  uint8_t last_;
};

inline constexpr int kNoScheme = -1;

// The number of the first scheme with exactly this name; kNoScheme for none or an empty name.
int FindSchemeByName(std::string_view name, const std::vector<PowerSchemeEntry>& schemes);

// The scheme to make active on `line`: the one named by the choice for that source;
// kNoScheme for an unknown line, an empty choice, a name no longer listed, or a scheme that
// is active already.
int SchemeToActivate(uint8_t line, std::string_view on_mains, std::string_view on_battery,
                     const std::vector<PowerSchemeEntry>& schemes, uint32_t active_id);

// A choice list holds "(do not switch)" as item 0 and scheme k as item k + 1, then, for a
// stored name that no scheme has now, an item that shows it as missing.
// The item a stored name shows: 0 for none, the one past the schemes for a missing one.
int SchemeChoiceItem(std::string_view stored, const std::vector<PowerSchemeEntry>& schemes);
// The name to store for the item chosen, whose text is `chosen_text`. An item left as it was
// shown keeps the stored name, even one that no scheme has now: a scheme renamed or missing for
// a while is not forgotten because the other choice was changed.
std::string ChosenSchemeName(int chosen, int shown, const std::string& stored, std::string_view chosen_text);

// On the plan back end a choice keeps the plan's GUID, with its name for display:
// "{381b4222-f694-41f0-9685-ff5bb260df2e} Balanced". A choice without a GUID is a name, kept
// from the XP back end: it is matched to the plan of that name.
struct PlanChoice {
  bool has_guid = false;
  platform::PlanGuid guid;
  std::string name;
};
PlanChoice ParsePlanChoice(std::string_view stored);
std::string FormatPlanChoice(const platform::PlanGuid& guid, std::string_view name);

}  // namespace vantrel::power
