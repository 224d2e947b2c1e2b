// The simulated machine's power plans (the interface of Vista and later): the settings the
// machine defines, the plans with the values they set, the active plan and what the machine
// runs on, kept in the state file's [Plans], [PlanN] and [Applied] sections
// (docs/simulated-machine.md).
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/core/plan_guids.h"

namespace vantrel::platform::sim {

struct SimState;

// Which power interface the machine answers: the XP-era scheme functions, the plan functions
// (the XP ones then answer from the scheme store, which the plans do not see), or neither (as
// under Wine's own library: reads fail with 2, writes with 120).
enum class SimPowerBackend { Xp, Plans, None };

// One setting's values in a plan, or as the machine applies them.
struct SimPlanValue {
  PlanGuid setting;
  DWORD ac = 0;
  DWORD dc = 0;
};

struct SimPlan {
  PlanGuid guid;
  PlanGuid personality;
  std::wstring name;
  std::wstring description;
  // The settings the plan sets itself; any other reads as its personality's default.
  std::vector<SimPlanValue> values;
};

struct SimPlanStore {
  std::vector<SimPlan> plans;  // in enumeration order
  PlanGuid active;
  // What the machine runs on: the active plan's values as they were when it was last made
  // active. An edit of the active plan shows here only once the plan is made active again.
  PlanGuid applied_plan;
  std::vector<SimPlanValue> applied;
  // A setting Group Policy fixes: its access check and its writes answer 1260.
  std::optional<PlanGuid> policy_locked;
  // A setting whose writes answer success and change nothing, as some libraries do.
  std::optional<PlanGuid> writes_ignored;
  // Windows 11's power-mode functions exist, with these modes.
  bool power_modes = false;
  PlanGuid mode_ac;
  PlanGuid mode_dc;
};

// A setting the machine defines, the same for every plan: a range, or a list of possible
// values with their names; its defaults by personality.
struct SimSettingDefinition {
  PlanGuid subgroup;
  PlanGuid guid;
  const wchar_t* name;
  bool hidden;
  DWORD min, max, increment;
  const wchar_t* units;
  std::span<const DWORD> values;  // empty for a range
  std::span<const wchar_t* const> value_names;
  // Power saver, balanced, high performance: {AC, DC} each.
  DWORD defaults[3][2];
};

std::span<const SimSettingDefinition> SimSettings();
const SimSettingDefinition* FindSimSetting(const PlanGuid& setting);
// The default of a setting for a personality (an unknown personality counts as balanced).
DWORD SimDefault(const SimSettingDefinition& setting, const PlanGuid& personality, bool dc);

// The three default plans with their published GUIDs and personalities, setting nothing
// themselves; Balanced active and applied.
SimPlanStore DefaultPlanStore();
// Gives the default laptop its plans and chooses the interface it answers.
void AddDefaultPlans(SimState& state);

// The plan's value of a setting (its own, or its personality's default).
SimPlanValue EffectiveValue(const SimPlan& plan, const SimSettingDefinition& setting);
// Makes `plan` active: what the machine runs on becomes the plan's values now.
void ApplyPlan(SimPlanStore& store, const SimPlan& plan);

// The interface key of [Machine] and the plan sections. A file without the key is an XP
// machine; one without [Plans] has the default plans.
void LoadPlanState(const std::string& path, SimState& state);
void SavePlanState(const std::string& path, const SimState& state);

}  // namespace vantrel::platform::sim
