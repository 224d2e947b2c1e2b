// The plan back end as the pages use it: the system's power plans (Vista and later) listed
// and managed, and each plan shown through the XP-era records the pages already edit.
//
// A plan is loaded into a PlanView: POWER_POLICY, MACHINE_PROCESSOR_POWER_POLICY and the
// buttons, lid, battery alarms and console lock of GLOBAL_POWER_POLICY, converted from the
// plan's settings (core/plan_fields.h), with an answer per field: it has a counterpart, Group
// Policy locks it, or it has none (it then holds a neutral value and is never written). Store
// compares the edited view with the loaded one and writes only the fields that changed, each
// to its setting, converted, each read back; then it makes the plan active again if it is the
// active one, because the system applies an edit of the active plan only then.
//
// Identity: a plan's number is its position in the list (for combo boxes); its GUID is what
// anything kept must store. Names are kept wide, as the system gives them. Every call goes
// through platform::Sys(); no XP-era function is called here.
#pragma once

#include <windows.h>

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_api.h"  // the records (the library's header has no include guard)
#include "power/core/plan_fields.h"
#include "power/core/scheme_file.h"

namespace vantrel::power {

enum class FieldSupport : uint8_t {
  None,         // no counterpart on this system: shown, never written
  Counterpart,  // shown and written through its setting
  Locked,       // a counterpart that Group Policy fixes (ERROR_ACCESS_DISABLED_BY_POLICY)
};

struct PlanView {
  POWER_POLICY policy{};
  MACHINE_PROCESSOR_POWER_POLICY processor{};
  GLOBAL_POWER_POLICY global{};
  std::array<FieldSupport, kXpFieldCount> support{};
  FieldSupport Support(XpField field) const noexcept { return support[static_cast<size_t>(field)]; }
};

struct PlanEntry {
  GUID guid{};
  std::wstring name;
  std::wstring description;
};

// What Store did with each changed field.
enum class StoreProblem : uint8_t {
  NoCounterpart,     // never written
  Locked,            // never written
  NotRepresentable,  // the value has no counterpart (an action the setting does not offer…)
  WriteFailed,       // the system refused it (`error`)
  NotTaken,          // the system answered success but the value read back is another
};
struct FieldProblem {
  XpField field;
  StoreProblem problem;
  DWORD error;  // the write's error, or kValueNotTaken
};
// The result of an operation whose write answered success but did not take.
inline constexpr DWORD kValueNotTaken = ERROR_GEN_FAILURE;

struct StoreReport {
  std::vector<XpField> written;  // written and read back
  std::vector<FieldProblem> problems;
  bool reapplied = false;  // the plan is the active one and was made active again
  // The plan itself: not in the list, or its re-activation failed.
  DWORD error = ERROR_SUCCESS;
  bool ok() const noexcept { return problems.empty() && error == ERROR_SUCCESS; }
  // The program's convention: 0, or the error of the first failure.
  int Result() const noexcept;
};

// One setting of a plan, for a page that lists them all.
struct PlanSettingInfo {
  GUID guid{};
  std::wstring name;
  bool hidden = false;  // POWER_ATTRIBUTE_HIDE: not shown by the system's applet
  bool locked = false;  // Group Policy fixes it
  DWORD ac = 0, dc = 0;
  bool range = false;  // a range (min, max, increment, units), else a list of possible values
  DWORD min = 0, max = 0, increment = 0;
  std::wstring units;
  std::vector<DWORD> values;
  std::vector<std::wstring> value_names;
  // What the plan's personality gives (its "default"); has_default false when unknown.
  bool has_default = false;
  DWORD default_ac = 0, default_dc = 0;
};
struct PlanSubgroupInfo {
  GUID guid{};
  std::wstring name;
  std::vector<PlanSettingInfo> settings;
};

// One value of a setting to write (mains or battery); `error` is what came of it: 0, the
// system's error, or kValueNotTaken when another value was read back.
struct SettingWrite {
  GUID subgroup{};
  GUID setting{};
  bool dc = false;
  DWORD value = 0;
  DWORD error = ERROR_SUCCESS;
};

// Windows 11's power mode.
enum class PowerMode : uint8_t { BestEfficiency, Balanced, BestPerformance, Other };

class PowerPlans {
 public:
  // Results follow the program's convention: 0 on success, otherwise the system's error code.
  // A number outside the list names no plan (ERROR_FILE_NOT_FOUND).

  // Rebuilds the list from the system's enumeration, names and descriptions as read.
  int EnumPlans();
  unsigned GetPlanCount() const noexcept { return static_cast<unsigned>(plans_.size()); }
  const std::vector<PlanEntry>& plans() const noexcept { return plans_; }
  const PlanEntry* Entry(int number) const noexcept;
  // The name in the user's code page, for the ANSI controls; empty outside the list.
  std::string GetPlanName(int number) const;
  // The number of the plan with this GUID; -1 when it is not in the list.
  int FindPlan(const GUID& guid) const noexcept;
  // The number of the plan active now (asked afresh: another program may have changed it);
  // the count when it cannot be told or is not in the list.
  int GetActivePlanIndex() const;

  // Makes the plan active, and checks that it is (ERROR_GEN_FAILURE when the system answered
  // success and kept another).
  int Activate(int number);
  // Save As: a copy of plan `source` under a new GUID, given `name` and, when not null,
  // `description`; appended to the list, its number in `*created`. A copy whose name cannot
  // be written is deleted again.
  int SaveAs(int source, std::wstring_view name, const std::wstring* description, int* created);
  int Rename(int number, std::wstring_view name, const std::wstring* description);
  // Deletes a plan; the active one is first switched away from (to the next plan, or the
  // previous for the last) and never deleted while active. The only plan is kept
  // (ERROR_ACCESS_DENIED).
  int Delete(int number);

  // The plan through the XP-era records, with each field's support.
  int Load(int number, PlanView* view) const;
  // Writes the fields that differ between `edited` and `loaded` (a view Load gave), then
  // re-applies the plan if it is the active one.
  StoreReport Store(int number, const PlanView& edited, const PlanView& loaded);

  // Settings that hold whichever plan is active (the buttons, the lid, the battery alarms, the
  // console lock): each field that differs between `edited` and `loaded` (a view Load gave of
  // one plan), on each side apart, is set to its edited value in every plan of the list, which
  // keeps its other values, and stored there as Store does. One report per plan, in list order.
  std::vector<StoreReport> StoreInEveryPlan(const PlanView& edited, const PlanView& loaded);
  // The XP actions the action setting of `field` offers (its possible values, in index order);
  // empty for a field that is no action or when the system lists none.
  static std::vector<uint32_t> OfferedActions(XpField field);
  // The default plan whose defaults the plan follows; Balanced when the system does not say.
  platform::PlanGuid Personality(int number) const;
  // Every setting of the plan with its AC and DC values, hidden ones included, each once.
  int ReadSettings(int number, std::vector<PlanSettingValue>* settings) const;
  // A new plan: a copy of the default plan of `personality`, named and described, with each
  // of `settings` written and read back; appended to the list, its number in `*created`. A
  // setting this system does not have goes to `not_taken` (its GUID). When a write fails or
  // does not take, the copy is deleted again and `*removed` set (unless the delete failed).
  int CreatePlan(const platform::PlanGuid& personality, std::wstring_view name, const std::wstring& description,
                 std::span<const PlanSettingValue> settings, std::vector<std::string>* not_taken, int* created,
                 bool* removed);
  // Imports a file of the system's own export format as a new plan, appended to the list.
  int ImportSystemFile(const std::wstring& path, int* created);

  // Every subgroup and setting of the plan, hidden ones included.
  int ListSettings(int number, std::vector<PlanSubgroupInfo>* subgroups) const;
  // Writes each value and reads it back, then makes the plan active again if it is the active
  // one and anything was written. 0 when every write took, else the first one's error.
  int WriteSettings(int number, std::span<SettingWrite> writes, bool* reapplied = nullptr);

  // Windows 11's user-configured power mode on mains (dc false) or battery; the functions are
  // looked up at run time: ERROR_CALL_NOT_IMPLEMENTED where the system has none (or only some
  // of the four). A mode set is read back: kValueNotTaken when the system kept another.
  static int GetPowerMode(bool dc, PowerMode* mode);
  static int SetPowerMode(bool dc, PowerMode mode);

 private:
  int WriteTexts(const GUID& guid, std::wstring_view name, const std::wstring* description);
  std::vector<PlanEntry> plans_;  // in the system's enumeration order
};

}  // namespace vantrel::power
