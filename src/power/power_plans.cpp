#include "power/power_plans.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <type_traits>

#include "platform/system_api.h"

namespace vantrel::power {

namespace {

using platform::FromGuid;
using platform::Sys;
using platform::ToGuid;

// Bounds on what the system hands over.
constexpr DWORD kMaxTextBytes = 64 * 1024;
constexpr ULONG kMaxItems = 4096;
constexpr ULONG kMaxPossibleValues = 256;

// ---- reading from the system -----------------------------------------------------------------

// A wide text through the two-call pattern: `call(buffer, &size)` with sizes in bytes. The
// size query may answer ERROR_SUCCESS or ERROR_MORE_DATA; a text that grows between the calls
// is asked for again (twice at most). The text ends at its terminator or at the size given.
template <class Call>
DWORD ReadWide(Call call, std::wstring* out) {
  DWORD size = 0;
  DWORD error = call(nullptr, &size);
  if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) return error;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (size > kMaxTextBytes) return ERROR_INSUFFICIENT_BUFFER;
    if (size == 0) {
      out->clear();
      return ERROR_SUCCESS;
    }
    std::vector<UCHAR> bytes(size);
    DWORD got = size;
    error = call(bytes.data(), &got);
    if (error == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (error != ERROR_SUCCESS) return error;
    std::wstring text(std::min(got, size) / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    text.resize(std::find(text.begin(), text.end(), L'\0') - text.begin());
    *out = std::move(text);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

DWORD EnumerateAt(const GUID* scheme, const GUID* subgroup, DWORD access, ULONG index, GUID* out) {
  GUID item{};
  DWORD size = sizeof item;
  const DWORD error =
      Sys().PowerEnumerate(nullptr, scheme, subgroup, access, index, reinterpret_cast<UCHAR*>(&item), &size);
  if (error != ERROR_SUCCESS) return error;
  if (size != sizeof item) return ERROR_INVALID_DATA;
  *out = item;
  return ERROR_SUCCESS;
}

// Every GUID of an enumeration, up to its end; an error ends it early.
std::vector<GUID> EnumerateAll(const GUID* scheme, const GUID* subgroup, DWORD access, DWORD* error) {
  std::vector<GUID> items;
  *error = ERROR_SUCCESS;
  for (ULONG i = 0; i < kMaxItems; ++i) {
    GUID item{};
    const DWORD e = EnumerateAt(scheme, subgroup, access, i, &item);
    if (e == ERROR_NO_MORE_ITEMS) break;
    if (e != ERROR_SUCCESS) {
      *error = e;
      break;
    }
    items.push_back(item);
  }
  return items;
}

// A plan's subgroups; settings outside any subgroup are reached through the "no subgroup" one,
// listed or not, so it is always among them.
std::vector<GUID> PlanSubgroups(const GUID& plan, DWORD* error) {
  std::vector<GUID> groups = EnumerateAll(&plan, nullptr, platform::kAccessSubgroup, error);
  const GUID none = ToGuid(platform::guids::kNoSubgroup);
  if (std::none_of(groups.begin(), groups.end(), [&](const GUID& g) { return FromGuid(g) == FromGuid(none); }))
    groups.push_back(none);
  return groups;
}

struct Setting {
  GUID subgroup;
  GUID guid;
};

Setting SettingOf(const PlanSetting& row) { return {ToGuid(row.subgroup), ToGuid(row.setting)}; }

DWORD ReadIndex(const GUID& plan, const Setting& s, bool dc, DWORD* value) {
  return dc ? Sys().PowerReadDCValueIndex(nullptr, &plan, &s.subgroup, &s.guid, value)
            : Sys().PowerReadACValueIndex(nullptr, &plan, &s.subgroup, &s.guid, value);
}

DWORD WriteIndex(const GUID& plan, const Setting& s, bool dc, DWORD value) {
  return dc ? Sys().PowerWriteDCValueIndex(nullptr, &plan, &s.subgroup, &s.guid, value)
            : Sys().PowerWriteACValueIndex(nullptr, &plan, &s.subgroup, &s.guid, value);
}

// The setting's list of possible values, in index order (empty for a range setting).
std::vector<uint32_t> PossibleValues(const Setting& s) {
  std::vector<uint32_t> values;
  for (ULONG i = 0; i < kMaxPossibleValues; ++i) {
    ULONG type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (Sys().PowerReadPossibleValue(nullptr, &s.subgroup, &s.guid, &type, i, reinterpret_cast<UCHAR*>(&value),
                                     &size) != ERROR_SUCCESS ||
        size != sizeof value)
      break;
    values.push_back(value);
  }
  return values;
}

// The plan's personality, which gives the defaults of the settings it does not set.
bool ReadPersonality(const GUID& plan, GUID* personality) {
  const GUID none = ToGuid(platform::guids::kNoSubgroup);
  const GUID key = ToGuid(platform::guids::kPersonality);
  ULONG type = 0;
  DWORD size = sizeof *personality;
  return Sys().PowerReadACValue(nullptr, &plan, &none, &key, &type, reinterpret_cast<UCHAR*>(personality), &size) ==
             ERROR_SUCCESS &&
         size == sizeof *personality;
}

bool LockedByPolicy(const GUID& setting) {
  for (DWORD access : {platform::kAccessAcIndex, platform::kAccessDcIndex}) {
    if (Sys().PowerSettingAccessCheck(access, &setting) == ERROR_ACCESS_DISABLED_BY_POLICY) return true;
  }
  return false;
}

bool IsActive(const GUID& plan) {
  GUID* active = nullptr;
  const DWORD error = Sys().PowerGetActiveScheme(nullptr, &active);
  const bool same = error == ERROR_SUCCESS && active && FromGuid(*active) == FromGuid(plan);
  if (active) ::LocalFree(active);
  return same;
}

// ---- the fields of the XP-era records ----------------------------------------------------------

// Reads and writes one field of the view: the AC or the DC value (fields with one value
// ignore the side). Fields without a counterpart are only read, to see whether they changed;
// those that are whole records read as a digest.
struct FieldAccess {
  uint64_t (*get)(const PlanView&, bool dc) = nullptr;
  void (*set)(PlanView&, bool dc, uint32_t value) = nullptr;
};

template <class T>
uint64_t Digest(const T& value) {
  static_assert(std::is_trivially_copyable_v<T>);
  uint64_t hash = 14695981039346656037ull;
  const auto* bytes = reinterpret_cast<const unsigned char*>(&value);
  for (size_t i = 0; i < sizeof value; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

struct UserPart {
  template <class V>
  static auto& Of(V& v) {
    return v.policy.user;
  }
};
struct MachPart {
  template <class V>
  static auto& Of(V& v) {
    return v.policy.mach;
  }
};
struct ProcessorPart {
  template <class V>
  static auto& Of(V& v) {
    return v.processor;
  }
};
struct GlobalUserPart {
  template <class V>
  static auto& Of(V& v) {
    return v.global.user;
  }
};
struct GlobalMachPart {
  template <class V>
  static auto& Of(V& v) {
    return v.global.mach;
  }
};
template <int N>
struct AlarmPart {
  template <class V>
  static auto& Of(V& v) {
    return v.global.user.DischargePolicy[N];
  }
};
template <int N>
struct AlarmPolicyPart {
  template <class V>
  static auto& Of(V& v) {
    return v.global.user.DischargePolicy[N].PowerPolicy;
  }
};
// The POWER_ACTION_POLICY pairs of an event, for their Action members.
template <class Part, auto Ac, auto Dc>
struct ActionPart {
  template <class V>
  static auto& Of(V& v, bool dc) {
    return dc ? Part::Of(v).*Dc : Part::Of(v).*Ac;
  }
};

// A number member, one per side (the same member twice for a field with one value).
template <class Part, auto Ac, auto Dc = Ac>
constexpr FieldAccess Number() {
  return {[](const PlanView& v, bool dc) -> uint64_t {
            return static_cast<uint64_t>(dc ? Part::Of(v).*Dc : Part::Of(v).*Ac);
          },
          [](PlanView& v, bool dc, uint32_t x) {
            auto& field = dc ? Part::Of(v).*Dc : Part::Of(v).*Ac;
            field = static_cast<std::remove_reference_t<decltype(field)>>(x);
          }};
}

// The Action of a POWER_ACTION_POLICY pair.
template <class Part, auto Ac, auto Dc>
constexpr FieldAccess Action() {
  using A = ActionPart<Part, Ac, Dc>;
  return {[](const PlanView& v, bool dc) -> uint64_t { return static_cast<uint64_t>(A::Of(v, dc).Action); },
          [](PlanView& v, bool dc, uint32_t x) { A::Of(v, dc).Action = static_cast<POWER_ACTION>(x); }};
}

// A whole member compared as a digest, per side: never written.
template <class Part, auto Ac, auto Dc = Ac>
constexpr FieldAccess Whole() {
  return {[](const PlanView& v, bool dc) -> uint64_t { return Digest(dc ? Part::Of(v).*Dc : Part::Of(v).*Ac); },
          nullptr};
}

template <int N>
void AddAlarm(std::array<FieldAccess, kXpFieldCount>& t) {
  auto at = [&](XpField first) -> FieldAccess& { return t[static_cast<size_t>(AlarmField(first, N))]; };
  at(XpField::AlarmEnable) = Number<AlarmPart<N>, &SYSTEM_POWER_LEVEL::Enable>();
  at(XpField::AlarmLevel) = Number<AlarmPart<N>, &SYSTEM_POWER_LEVEL::BatteryLevel>();
  at(XpField::AlarmMinState) = Number<AlarmPart<N>, &SYSTEM_POWER_LEVEL::MinSystemState>();
  at(XpField::AlarmAction) = Number<AlarmPolicyPart<N>, &POWER_ACTION_POLICY::Action>();
  at(XpField::AlarmEvents) = Number<AlarmPolicyPart<N>, &POWER_ACTION_POLICY::EventCode>();
  at(XpField::AlarmActionFlags) = Number<AlarmPolicyPart<N>, &POWER_ACTION_POLICY::Flags>();
}

std::array<FieldAccess, kXpFieldCount> MakeAccessTable() {
  using U = USER_POWER_POLICY;
  using M = MACHINE_POWER_POLICY;
  using P = MACHINE_PROCESSOR_POWER_POLICY;
  using G = GLOBAL_USER_POWER_POLICY;
  using GM = GLOBAL_MACHINE_POWER_POLICY;
  std::array<FieldAccess, kXpFieldCount> t{};
  auto at = [&](XpField f) -> FieldAccess& { return t[static_cast<size_t>(f)]; };
  at(XpField::IdleAction) = Whole<UserPart, &U::IdleAc, &U::IdleDc>();
  at(XpField::IdleTimeout) = Number<UserPart, &U::IdleTimeoutAc, &U::IdleTimeoutDc>();
  at(XpField::IdleSensitivity) = Number<UserPart, &U::IdleSensitivityAc, &U::IdleSensitivityDc>();
  at(XpField::ThrottlePolicy) = Number<UserPart, &U::ThrottlePolicyAc, &U::ThrottlePolicyDc>();
  at(XpField::MaxSleep) = Number<UserPart, &U::MaxSleepAc, &U::MaxSleepDc>();
  at(XpField::VideoTimeout) = Number<UserPart, &U::VideoTimeoutAc, &U::VideoTimeoutDc>();
  at(XpField::SpindownTimeout) = Number<UserPart, &U::SpindownTimeoutAc, &U::SpindownTimeoutDc>();
  at(XpField::OptimizeForPower) = Number<UserPart, &U::OptimizeForPowerAc, &U::OptimizeForPowerDc>();
  at(XpField::FanThrottleTolerance) = Number<UserPart, &U::FanThrottleToleranceAc, &U::FanThrottleToleranceDc>();
  at(XpField::ForcedThrottle) = Number<UserPart, &U::ForcedThrottleAc, &U::ForcedThrottleDc>();
  at(XpField::MinSleep) = Number<MachPart, &M::MinSleepAc, &M::MinSleepDc>();
  at(XpField::ReducedLatencySleep) = Number<MachPart, &M::ReducedLatencySleepAc, &M::ReducedLatencySleepDc>();
  at(XpField::DozeTimeout) = Number<MachPart, &M::DozeTimeoutAc, &M::DozeTimeoutDc>();
  at(XpField::DozeS4Timeout) = Number<MachPart, &M::DozeS4TimeoutAc, &M::DozeS4TimeoutDc>();
  at(XpField::MinThrottle) = Number<MachPart, &M::MinThrottleAc, &M::MinThrottleDc>();
  at(XpField::OverThrottled) = Whole<MachPart, &M::OverThrottledAc, &M::OverThrottledDc>();
  at(XpField::DynamicThrottle) = {
      [](const PlanView& v, bool dc) -> uint64_t {
        return (dc ? v.processor.ProcessorPolicyDc : v.processor.ProcessorPolicyAc).DynamicThrottle;
      },
      nullptr};
  at(XpField::ProcessorStates) = {[](const PlanView& v, bool dc) -> uint64_t {
                                    PROCESSOR_POWER_POLICY states =
                                        dc ? v.processor.ProcessorPolicyDc : v.processor.ProcessorPolicyAc;
                                    states.DynamicThrottle = 0;  // a field of its own
                                    return Digest(states);
                                  },
                                  nullptr};
  static_assert(std::is_same_v<decltype(P::ProcessorPolicyAc), PROCESSOR_POWER_POLICY>);
  at(XpField::PowerButton) = Action<GlobalUserPart, &G::PowerButtonAc, &G::PowerButtonDc>();
  at(XpField::SleepButton) = Action<GlobalUserPart, &G::SleepButtonAc, &G::SleepButtonDc>();
  at(XpField::LidClose) = Action<GlobalUserPart, &G::LidCloseAc, &G::LidCloseDc>();
  at(XpField::ButtonFlags) = {[](const PlanView& v, bool dc) -> uint64_t {
                                const G& u = v.global.user;
                                const POWER_ACTION_POLICY& p = dc ? u.PowerButtonDc : u.PowerButtonAc;
                                const POWER_ACTION_POLICY& s = dc ? u.SleepButtonDc : u.SleepButtonAc;
                                const POWER_ACTION_POLICY& l = dc ? u.LidCloseDc : u.LidCloseAc;
                                const ULONG parts[6] = {p.Flags,     p.EventCode, s.Flags,
                                                        s.EventCode, l.Flags,     l.EventCode};
                                return Digest(parts);
                              },
                              nullptr};
  AddAlarm<0>(t);
  AddAlarm<1>(t);
  AddAlarm<2>(t);
  AddAlarm<3>(t);
  at(XpField::PasswordLogon) = {
      [](const PlanView& v, bool) -> uint64_t { return (v.global.user.GlobalFlags & EnablePasswordLogon) != 0; },
      [](PlanView& v, bool, uint32_t x) {
        v.global.user.GlobalFlags = (v.global.user.GlobalFlags & ~static_cast<ULONG>(EnablePasswordLogon)) |
                                    (x ? static_cast<ULONG>(EnablePasswordLogon) : 0u);
      }};
  at(XpField::OtherGlobalFlags) = {[](const PlanView& v, bool) -> uint64_t {
                                     return v.global.user.GlobalFlags & ~static_cast<ULONG>(EnablePasswordLogon);
                                   },
                                   nullptr};
  at(XpField::LidOpenWake) = Number<GlobalMachPart, &GM::LidOpenWakeAc, &GM::LidOpenWakeDc>();
  at(XpField::BroadcastCapacity) = Number<GlobalMachPart, &GM::BroadcastCapacityResolution>();
  return t;
}

const FieldAccess& Access(XpField field) {
  static const std::array<FieldAccess, kXpFieldCount> table = MakeAccessTable();
  return table[static_cast<size_t>(field)];
}

// Neutral values for what a plan has no setting for: the pages show them disabled.
PlanView Placeholders() {
  PlanView v;
  USER_POWER_POLICY& u = v.policy.user;
  u.Revision = 1;
  u.IdleAc.Action = u.IdleDc.Action = PowerActionSleep;  // a plan's idle timeout always means sleep
  u.ThrottlePolicyAc = u.ThrottlePolicyDc = PO_THROTTLE_ADAPTIVE;
  u.MaxSleepAc = u.MaxSleepDc = PowerSystemSleeping3;
  u.FanThrottleToleranceAc = u.FanThrottleToleranceDc = 100;
  u.ForcedThrottleAc = u.ForcedThrottleDc = 100;
  MACHINE_POWER_POLICY& m = v.policy.mach;
  m.Revision = 1;
  m.MinSleepAc = m.MinSleepDc = PowerSystemSleeping1;
  m.ReducedLatencySleepAc = m.ReducedLatencySleepDc = PowerSystemSleeping1;
  v.processor.Revision = 1;
  v.processor.ProcessorPolicyAc.Revision = v.processor.ProcessorPolicyDc.Revision = 1;
  v.processor.ProcessorPolicyAc.DynamicThrottle = v.processor.ProcessorPolicyDc.DynamicThrottle = PO_THROTTLE_ADAPTIVE;
  v.global.user.Revision = 1;
  for (SYSTEM_POWER_LEVEL& alarm : v.global.user.DischargePolicy) alarm.MinSystemState = PowerSystemSleeping1;
  v.global.mach.Revision = 1;
  v.global.mach.LidOpenWakeAc = v.global.mach.LidOpenWakeDc = PowerSystemWorking;
  v.support.fill(FieldSupport::None);
  return v;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int chars = static_cast<int>(text.size());
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text.data(), chars, nullptr, 0, nullptr, nullptr);
  std::string out(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
  if (bytes > 0) ::WideCharToMultiByte(CP_ACP, 0, text.data(), chars, out.data(), bytes, nullptr, nullptr);
  return out;
}

DWORD ProblemError(StoreProblem problem) {
  switch (problem) {
    case StoreProblem::NoCounterpart:
      return ERROR_NOT_SUPPORTED;
    case StoreProblem::Locked:
      return ERROR_ACCESS_DISABLED_BY_POLICY;
    case StoreProblem::NotRepresentable:
      return ERROR_INVALID_PARAMETER;
    case StoreProblem::NotTaken:
      return kValueNotTaken;
    case StoreProblem::WriteFailed:
      break;
  }
  return ERROR_GEN_FAILURE;
}

}  // namespace

int StoreReport::Result() const noexcept {
  if (!problems.empty()) return static_cast<int>(problems.front().error);
  return static_cast<int>(error);
}

// ---- the list ---------------------------------------------------------------------------------------

int PowerPlans::EnumPlans() {
  plans_.clear();
  DWORD error = ERROR_SUCCESS;
  for (const GUID& guid : EnumerateAll(nullptr, nullptr, platform::kAccessScheme, &error)) {
    PlanEntry entry;
    entry.guid = guid;
    // A plan whose texts cannot be read is listed without them.
    ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadFriendlyName(nullptr, &guid, nullptr, nullptr, b, n); },
             &entry.name);
    ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadDescription(nullptr, &guid, nullptr, nullptr, b, n); },
             &entry.description);
    plans_.push_back(std::move(entry));
  }
  return static_cast<int>(error);
}

const PlanEntry* PowerPlans::Entry(int number) const noexcept {
  if (number < 0 || static_cast<size_t>(number) >= plans_.size()) return nullptr;
  return &plans_[static_cast<size_t>(number)];
}

std::string PowerPlans::GetPlanName(int number) const {
  const PlanEntry* entry = Entry(number);
  return entry ? Narrow(entry->name) : std::string();
}

int PowerPlans::FindPlan(const GUID& guid) const noexcept {
  for (size_t i = 0; i < plans_.size(); ++i) {
    if (FromGuid(plans_[i].guid) == FromGuid(guid)) return static_cast<int>(i);
  }
  return -1;
}

int PowerPlans::GetActivePlanIndex() const {
  GUID* active = nullptr;
  const DWORD error = Sys().PowerGetActiveScheme(nullptr, &active);
  int index = -1;
  if (error == ERROR_SUCCESS && active) index = FindPlan(*active);
  if (active) ::LocalFree(active);
  return index >= 0 ? index : static_cast<int>(plans_.size());
}

// ---- plan operations ---------------------------------------------------------------------------------

int PowerPlans::Activate(int number) {
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  const GUID guid = entry->guid;
  if (const DWORD error = Sys().PowerSetActiveScheme(nullptr, &guid)) return static_cast<int>(error);
  return IsActive(guid) ? 0 : static_cast<int>(kValueNotTaken);
}

int PowerPlans::WriteTexts(const GUID& guid, std::wstring_view name, const std::wstring* description) {
  auto write = [&](std::wstring text, bool is_description) -> DWORD {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    auto* buffer = reinterpret_cast<UCHAR*>(text.data());
    const DWORD error = is_description ? Sys().PowerWriteDescription(nullptr, &guid, nullptr, nullptr, buffer, bytes)
                                       : Sys().PowerWriteFriendlyName(nullptr, &guid, nullptr, nullptr, buffer, bytes);
    if (error != ERROR_SUCCESS) return error;
    std::wstring back;
    const DWORD read = ReadWide(
        [&](UCHAR* b, DWORD* n) {
          return is_description ? Sys().PowerReadDescription(nullptr, &guid, nullptr, nullptr, b, n)
                                : Sys().PowerReadFriendlyName(nullptr, &guid, nullptr, nullptr, b, n);
        },
        &back);
    return read != ERROR_SUCCESS ? read : back == text ? ERROR_SUCCESS : kValueNotTaken;
  };
  if (const DWORD error = write(std::wstring(name), false)) return static_cast<int>(error);
  if (description) return static_cast<int>(write(*description, true));
  return 0;
}

int PowerPlans::SaveAs(int source, std::wstring_view name, const std::wstring* description, int* created) {
  const PlanEntry* entry = Entry(source);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  const GUID from = entry->guid;
  GUID* copy = nullptr;
  const DWORD error = Sys().PowerDuplicateScheme(nullptr, &from, &copy);
  if (error != ERROR_SUCCESS || !copy) {
    if (copy) ::LocalFree(copy);
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
  }
  PlanEntry added;
  added.guid = *copy;
  ::LocalFree(copy);
  if (const int failed = WriteTexts(added.guid, name, description)) {
    // A copy the user cannot tell from its source does not stay behind.
    Sys().PowerDeleteScheme(nullptr, &added.guid);
    return failed;
  }
  added.name = name;
  added.description = description ? *description : entry->description;
  plans_.push_back(std::move(added));
  if (created) *created = static_cast<int>(plans_.size()) - 1;
  return 0;
}

int PowerPlans::Rename(int number, std::wstring_view name, const std::wstring* description) {
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  if (const int error = WriteTexts(entry->guid, name, description)) return error;
  PlanEntry& changed = plans_[static_cast<size_t>(number)];
  changed.name = name;
  if (description) changed.description = *description;
  return 0;
}

int PowerPlans::Delete(int number) {
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  if (plans_.size() < 2) return ERROR_ACCESS_DENIED;  // the system must keep an active plan
  const GUID guid = entry->guid;
  if (IsActive(guid)) {
    const bool last = static_cast<size_t>(number) == plans_.size() - 1;
    if (const int error = Activate(last ? number - 1 : number + 1)) return error;
  }
  if (const DWORD error = Sys().PowerDeleteScheme(nullptr, &guid)) return static_cast<int>(error);
  plans_.erase(plans_.begin() + number);
  return 0;
}

// ---- the XP-shaped view -------------------------------------------------------------------------------

int PowerPlans::Load(int number, PlanView* view) const {
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  if (!view) return ERROR_INVALID_PARAMETER;
  PlanView v = Placeholders();
  DWORD first_error = ERROR_SUCCESS;
  bool any = false;
  for (const PlanSetting& row : PlanSettings()) {
    const Setting s = SettingOf(row);
    DWORD ac = 0, dc = 0;
    DWORD error = ReadIndex(entry->guid, s, false, &ac);
    if (error == ERROR_SUCCESS) error = ReadIndex(entry->guid, s, true, &dc);
    if (error != ERROR_SUCCESS) {
      // The system lacks this setting: the field has no counterpart here.
      if (first_error == ERROR_SUCCESS) first_error = error;
      continue;
    }
    any = true;
    std::vector<uint32_t> possible;
    if (row.conversion == Conversion::Action && (possible = PossibleValues(s)).empty()) continue;
    const FieldAccess& access = Access(row.field);
    auto show = [&](bool side, DWORD value) {
      if (const std::optional<uint32_t> xp = FromSetting(row.conversion, value, possible)) access.set(v, side, *xp);
    };
    switch (row.sides) {
      case Sides::AcAndDc:
        show(false, ac);
        show(true, dc);
        break;
      case Sides::DcOnly:
        show(true, dc);
        break;
      case Sides::Both:
        show(false, ac | dc);  // set when either is
        break;
    }
    v.support[static_cast<size_t>(row.field)] =
        LockedByPolicy(s.guid) ? FieldSupport::Locked : FieldSupport::Counterpart;
  }
  // A plan none of whose settings can be read is not there (any more).
  if (!any && first_error != ERROR_SUCCESS) return static_cast<int>(first_error);
  *view = v;
  return 0;
}

StoreReport PowerPlans::Store(int number, const PlanView& edited, const PlanView& loaded) {
  StoreReport report;
  const PlanEntry* entry = Entry(number);
  if (!entry) {
    report.error = ERROR_FILE_NOT_FOUND;
    return report;
  }
  const GUID plan = entry->guid;
  auto fail = [&](XpField field, StoreProblem problem, DWORD error = ERROR_SUCCESS) {
    report.problems.push_back({field, problem, error != ERROR_SUCCESS ? error : ProblemError(problem)});
  };
  for (int i = 0; i < kXpFieldCount; ++i) {
    const XpField field = static_cast<XpField>(i);
    const FieldAccess& access = Access(field);
    const bool changed[2] = {access.get(edited, false) != access.get(loaded, false),
                             access.get(edited, true) != access.get(loaded, true)};
    if (!changed[0] && !changed[1]) continue;
    const PlanSetting* row = FindPlanSetting(field);
    const FieldSupport support = loaded.Support(field);
    if (!row || support == FieldSupport::None) {
      fail(field, StoreProblem::NoCounterpart);
      continue;
    }
    if (support == FieldSupport::Locked) {
      fail(field, StoreProblem::Locked);
      continue;
    }
    const Setting s = SettingOf(*row);
    const std::vector<uint32_t> possible =
        row->conversion == Conversion::Action ? PossibleValues(s) : std::vector<uint32_t>{};
    const bool write[2] = {row->sides == Sides::AcAndDc ? changed[0] : row->sides == Sides::Both,
                           row->sides == Sides::AcAndDc ? changed[1] : true};
    bool stored = true;
    for (int side = 0; side < 2 && stored; ++side) {
      if (!write[side]) continue;
      const bool dc = side == 1;
      DWORD current = 0;
      if (const DWORD error = ReadIndex(plan, s, dc, &current)) {
        fail(field, StoreProblem::WriteFailed, error);
        stored = false;
        break;
      }
      const std::optional<uint32_t> target =
          ToSetting(row->conversion, static_cast<uint32_t>(access.get(edited, dc)), current, possible);
      if (!target) {
        fail(field, StoreProblem::NotRepresentable);
        stored = false;
      } else if (const DWORD error = WriteIndex(plan, s, dc, *target)) {
        fail(field, StoreProblem::WriteFailed, error);
        stored = false;
      } else if (DWORD back = 0; ReadIndex(plan, s, dc, &back) != ERROR_SUCCESS || back != *target) {
        fail(field, StoreProblem::NotTaken);
        stored = false;
      }
    }
    if (stored) report.written.push_back(field);
  }
  // The system applies an edit of the active plan only when the plan is made active again.
  if (!report.written.empty() && IsActive(plan)) {
    report.reapplied = true;
    report.error = Sys().PowerSetActiveScheme(nullptr, &plan);
  }
  return report;
}

std::vector<StoreReport> PowerPlans::StoreInEveryPlan(const PlanView& edited, const PlanView& loaded) {
  std::vector<StoreReport> reports;
  for (int number = 0; number < static_cast<int>(plans_.size()); ++number) {
    PlanView before;
    if (const int error = Load(number, &before)) {
      StoreReport unread;
      unread.error = static_cast<DWORD>(error);
      reports.push_back(std::move(unread));
      continue;
    }
    // Only what the user changed goes over; the plan's own values of everything else stay.
    PlanView after = before;
    std::vector<FieldProblem> uncopied;
    for (int i = 0; i < kXpFieldCount; ++i) {
      const XpField field = static_cast<XpField>(i);
      const FieldAccess& access = Access(field);
      for (const bool dc : {false, true}) {
        const uint64_t value = access.get(edited, dc);
        if (value == access.get(loaded, dc)) continue;
        if (access.set) {
          access.set(after, dc, static_cast<uint32_t>(value));
        } else if (uncopied.empty() || uncopied.back().field != field) {
          uncopied.push_back({field, StoreProblem::NoCounterpart, ProblemError(StoreProblem::NoCounterpart)});
        }
      }
    }
    StoreReport report = Store(number, after, before);
    report.problems.insert(report.problems.end(), uncopied.begin(), uncopied.end());
    reports.push_back(std::move(report));
  }
  return reports;
}

std::vector<uint32_t> PowerPlans::OfferedActions(XpField field) {
  const PlanSetting* row = FindPlanSetting(field);
  if (!row || row->conversion != Conversion::Action) return {};
  return PossibleValues(SettingOf(*row));
}

// ---- every setting -------------------------------------------------------------------------------------

int PowerPlans::ListSettings(int number, std::vector<PlanSubgroupInfo>* subgroups) const {
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  if (!subgroups) return ERROR_INVALID_PARAMETER;
  const GUID plan = entry->guid;
  DWORD error = ERROR_SUCCESS;
  const std::vector<GUID> groups = PlanSubgroups(plan, &error);
  if (error != ERROR_SUCCESS) return static_cast<int>(error);
  GUID personality{};
  const bool has_personality = ReadPersonality(plan, &personality);
  std::vector<PlanSubgroupInfo> out;
  for (const GUID& group : groups) {
    PlanSubgroupInfo info;
    info.guid = group;
    ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadFriendlyName(nullptr, &plan, &group, nullptr, b, n); },
             &info.name);
    DWORD setting_error = ERROR_SUCCESS;
    for (const GUID& guid : EnumerateAll(&plan, &group, platform::kAccessIndividualSetting, &setting_error)) {
      const Setting s{group, guid};
      PlanSettingInfo setting;
      setting.guid = guid;
      ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadFriendlyName(nullptr, &plan, &group, &guid, b, n); },
               &setting.name);
      if (ReadIndex(plan, s, false, &setting.ac) != ERROR_SUCCESS ||
          ReadIndex(plan, s, true, &setting.dc) != ERROR_SUCCESS)
        continue;  // listed but not readable: nothing to show
      setting.hidden = (Sys().PowerReadSettingAttributes(&group, &guid) & platform::kAttributeHide) != 0;
      setting.locked = LockedByPolicy(guid);
      setting.has_default =
          has_personality &&
          Sys().PowerReadACDefaultIndex(nullptr, &personality, &group, &guid, &setting.default_ac) == ERROR_SUCCESS &&
          Sys().PowerReadDCDefaultIndex(nullptr, &personality, &group, &guid, &setting.default_dc) == ERROR_SUCCESS;
      const std::vector<uint32_t> values = PossibleValues(s);
      setting.values.assign(values.begin(), values.end());
      // Whatever the range function answers, a setting with a list of possible values is one.
      setting.range = setting.values.empty();
      if (setting.range) {
        Sys().PowerReadValueMin(nullptr, &group, &guid, &setting.min);
        Sys().PowerReadValueMax(nullptr, &group, &guid, &setting.max);
        Sys().PowerReadValueIncrement(nullptr, &group, &guid, &setting.increment);
        ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadValueUnitsSpecifier(nullptr, &group, &guid, b, n); },
                 &setting.units);
      }
      for (ULONG i = 0; i < setting.values.size(); ++i) {
        std::wstring name;
        ReadWide(
            [&](UCHAR* b, DWORD* n) { return Sys().PowerReadPossibleFriendlyName(nullptr, &group, &guid, i, b, n); },
            &name);
        setting.value_names.push_back(std::move(name));
      }
      info.settings.push_back(std::move(setting));
    }
    out.push_back(std::move(info));
  }
  *subgroups = std::move(out);
  return 0;
}

int PowerPlans::WriteSettings(int number, std::span<SettingWrite> writes, bool* reapplied) {
  if (reapplied) *reapplied = false;
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  const GUID plan = entry->guid;
  DWORD first = ERROR_SUCCESS;
  bool any = false;
  for (SettingWrite& w : writes) {
    const Setting s{w.subgroup, w.setting};
    w.error = WriteIndex(plan, s, w.dc, w.value);
    if (w.error == ERROR_SUCCESS) {
      DWORD back = 0;
      if (ReadIndex(plan, s, w.dc, &back) != ERROR_SUCCESS || back != w.value) w.error = kValueNotTaken;
    }
    if (w.error == ERROR_SUCCESS) any = true;
    else if (first == ERROR_SUCCESS) first = w.error;
  }
  // The system applies an edit of the active plan only when the plan is made active again.
  if (any && IsActive(plan)) {
    if (reapplied) *reapplied = true;
    if (const DWORD error = Sys().PowerSetActiveScheme(nullptr, &plan); first == ERROR_SUCCESS) first = error;
  }
  return static_cast<int>(first);
}

// ---- whole plans, for scheme files -------------------------------------------------------------------

platform::PlanGuid PowerPlans::Personality(int number) const {
  namespace pg = platform::guids;
  const PlanEntry* entry = Entry(number);
  if (!entry) return pg::kBalanced;
  // The system reads it as a setting outside any subgroup, in the order of its list of
  // possible values: high performance, power saver, balanced.
  const Setting s{ToGuid(pg::kNoSubgroup), ToGuid(pg::kPersonality)};
  DWORD index = 0;
  if (ReadIndex(entry->guid, s, false, &index) == ERROR_SUCCESS && index < 3) {
    const platform::PlanGuid* by_index[3] = {&pg::kHighPerformance, &pg::kPowerSaver, &pg::kBalanced};
    return *by_index[index];
  }
  const platform::PlanGuid guid = FromGuid(entry->guid);
  return guid == pg::kHighPerformance || guid == pg::kPowerSaver ? guid : pg::kBalanced;
}

int PowerPlans::ReadSettings(int number, std::vector<PlanSettingValue>* settings) const {
  const PlanEntry* entry = Entry(number);
  if (!entry) return ERROR_FILE_NOT_FOUND;
  const GUID plan = entry->guid;
  DWORD error = ERROR_SUCCESS;
  const std::vector<GUID> groups = PlanSubgroups(plan, &error);
  if (error != ERROR_SUCCESS) return static_cast<int>(error);
  std::vector<PlanSettingValue> out;
  for (const GUID& group : groups) {
    for (const GUID& guid : EnumerateAll(&plan, &group, platform::kAccessIndividualSetting, &error)) {
      const platform::PlanGuid id = FromGuid(guid);
      // The personality is a key of its own; a setting listed twice is kept once.
      if (id == platform::guids::kPersonality ||
          std::any_of(out.begin(), out.end(), [&](const PlanSettingValue& v) { return v.setting == id; }))
        continue;
      DWORD ac = 0, dc = 0;
      const Setting s{group, guid};
      if (ReadIndex(plan, s, false, &ac) != ERROR_SUCCESS || ReadIndex(plan, s, true, &dc) != ERROR_SUCCESS)
        continue;  // listed but not readable: it follows the personality
      out.push_back({FromGuid(group), id, ac, dc});
    }
    if (error != ERROR_SUCCESS) return static_cast<int>(error);
  }
  *settings = std::move(out);
  return 0;
}

int PowerPlans::CreatePlan(const platform::PlanGuid& personality, std::wstring_view name,
                           const std::wstring& description, std::span<const PlanSettingValue> settings,
                           std::vector<std::string>* not_taken, int* created, bool* removed) {
  *removed = false;
  // The default plan itself, or else any plan that follows the same defaults.
  int base = FindPlan(ToGuid(personality));
  for (int i = 0; base < 0 && i < static_cast<int>(plans_.size()); ++i) {
    if (Personality(i) == personality) base = i;
  }
  if (base < 0) return ERROR_FILE_NOT_FOUND;
  int number = -1;
  // A copy whose texts did not take is deleted by SaveAs itself: nothing to report as removed.
  if (const int error = SaveAs(base, name, &description, &number)) return error;
  const GUID plan = plans_[static_cast<size_t>(number)].guid;
  std::vector<std::string> missing;
  DWORD failed = ERROR_SUCCESS;
  for (const PlanSettingValue& v : settings) {
    const Setting s{ToGuid(v.subgroup), ToGuid(v.setting)};
    DWORD current = 0;
    const DWORD read = ReadIndex(plan, s, false, &current);
    if (read == ERROR_FILE_NOT_FOUND) {
      missing.push_back(platform::FormatGuid(v.setting));  // not a setting of this system
      continue;
    }
    bool locked = false;
    for (int side = 0; side < 2 && failed == ERROR_SUCCESS && !locked; ++side) {
      const DWORD value = side ? v.dc : v.ac;
      DWORD back = 0;
      if (read != ERROR_SUCCESS) {
        failed = read;
      } else if (ReadIndex(plan, s, side == 1, &back) == ERROR_SUCCESS && back == value) {
        continue;  // the copy has it already
      } else if (const DWORD e = WriteIndex(plan, s, side == 1, value)) {
        // Group Policy fixes the setting on this machine: the plan is made, the value listed.
        if (e == ERROR_ACCESS_DISABLED_BY_POLICY) locked = true;
        else failed = e;
      } else if (ReadIndex(plan, s, side == 1, &back) != ERROR_SUCCESS || back != value) {
        failed = kValueNotTaken;
      }
    }
    if (failed != ERROR_SUCCESS) break;
    if (locked) missing.push_back(platform::FormatGuid(v.setting));
  }
  if (failed != ERROR_SUCCESS) {
    if (Sys().PowerDeleteScheme(nullptr, &plan) == ERROR_SUCCESS) {
      plans_.pop_back();
      *removed = true;
    }
    return static_cast<int>(failed);
  }
  not_taken->insert(not_taken->end(), missing.begin(), missing.end());
  *created = number;
  return 0;
}

int PowerPlans::ImportSystemFile(const std::wstring& path, int* created) {
  GUID* guid = nullptr;
  const DWORD error = Sys().PowerImportPowerScheme(nullptr, path.c_str(), &guid);
  if (error != ERROR_SUCCESS || !guid) {
    if (guid) ::LocalFree(guid);
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
  }
  PlanEntry entry;
  entry.guid = *guid;
  ::LocalFree(guid);
  ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadFriendlyName(nullptr, &entry.guid, nullptr, nullptr, b, n); },
           &entry.name);
  ReadWide([&](UCHAR* b, DWORD* n) { return Sys().PowerReadDescription(nullptr, &entry.guid, nullptr, nullptr, b, n); },
           &entry.description);
  plans_.push_back(std::move(entry));
  *created = static_cast<int>(plans_.size()) - 1;
  return 0;
}

// ---- Windows 11's power mode ---------------------------------------------------------------------------

int PowerPlans::GetPowerMode(bool dc, PowerMode* mode) {
  if (!mode) return ERROR_INVALID_PARAMETER;
  GUID guid{};
  const DWORD error =
      dc ? Sys().PowerGetUserConfiguredDCPowerMode(&guid) : Sys().PowerGetUserConfiguredACPowerMode(&guid);
  if (error != ERROR_SUCCESS) return static_cast<int>(error);
  const platform::PlanGuid g = FromGuid(guid);
  namespace pg = platform::guids;
  *mode = g == pg::kModeBestEfficiency    ? PowerMode::BestEfficiency
          : g == pg::kModeBalanced        ? PowerMode::Balanced
          : g == pg::kModeBestPerformance ? PowerMode::BestPerformance
                                          : PowerMode::Other;
  return 0;
}

int PowerPlans::SetPowerMode(bool dc, PowerMode mode) {
  namespace pg = platform::guids;
  const platform::PlanGuid* g = mode == PowerMode::BestEfficiency    ? &pg::kModeBestEfficiency
                                : mode == PowerMode::Balanced        ? &pg::kModeBalanced
                                : mode == PowerMode::BestPerformance ? &pg::kModeBestPerformance
                                                                     : nullptr;
  if (!g) return ERROR_INVALID_PARAMETER;
  const GUID guid = ToGuid(*g);
  const DWORD error =
      dc ? Sys().PowerSetUserConfiguredDCPowerMode(&guid) : Sys().PowerSetUserConfiguredACPowerMode(&guid);
  if (error != ERROR_SUCCESS) return static_cast<int>(error);
  // Success is what the system reads back, not what the call answered.
  PowerMode now = PowerMode::Other;
  const int read = GetPowerMode(dc, &now);
  if (read != 0) return read;
  return now == mode ? 0 : static_cast<int>(kValueNotTaken);
}

}  // namespace vantrel::power
