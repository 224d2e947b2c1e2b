// The simulated power-plan interface: the settings the machine defines, the plans, and the
// plan functions with the system's documented behaviour (two-call sizes in bytes, LocalFree'd
// GUIDs, ERROR_MORE_DATA and ERROR_NO_MORE_ITEMS; an edit of the active plan takes effect when
// it is made active again; the active plan cannot be deleted; duplicating makes a new GUID).
#include "platform/sim/sim_plans.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/sim/sim_machine.h"

namespace vantrel::platform::sim {

namespace {

namespace g = guids;

// The default laptop of a first run is a plan machine, as users' are; a state file that names
// no back end stays an XP machine (LoadPlanState).
constexpr SimPowerBackend kDefaultLaptopBackend = SimPowerBackend::Plans;

constexpr DWORD kNever = 0xFFFFFFFFu;  // the top of a timeout's range
constexpr DWORD kMaxTextBytes = 1024 * sizeof(wchar_t);

constexpr DWORD kActionValues[] = {0, 2, 3, 6};  // nothing, sleep, hibernate, shut down
constexpr const wchar_t* kActionNames[] = {L"Do nothing", L"Sleep", L"Hibernate", L"Shut down"};
// The power button can also turn the display off (8); the sleep button cannot shut down.
constexpr DWORD kPowerButtonValues[] = {0, 2, 3, 6, 8};
constexpr const wchar_t* kPowerButtonNames[] = {L"Do nothing", L"Sleep", L"Hibernate", L"Shut down",
                                                L"Turn off the display"};
constexpr DWORD kSleepButtonValues[] = {0, 2, 3, 8};
constexpr const wchar_t* kSleepButtonNames[] = {L"Do nothing", L"Sleep", L"Hibernate", L"Turn off the display"};
constexpr DWORD kBoostValues[] = {0, 1, 2, 3, 4};
constexpr const wchar_t* kBoostNames[] = {L"Disabled", L"Enabled", L"Aggressive", L"Efficient Enabled",
                                          L"Efficient Aggressive"};
constexpr DWORD kYesNoValues[] = {0, 1};
constexpr const wchar_t* kYesNoNames[] = {L"No", L"Yes"};
// Settings without an XP-era field.
constexpr DWORD kWakeTimerValues[] = {0, 1, 2};
constexpr const wchar_t* kWakeTimerNames[] = {L"Disable", L"Enable", L"Important Wake Timers Only"};
constexpr DWORD kOffOnValues[] = {0, 1};
constexpr const wchar_t* kOffOnNames[] = {L"Off", L"On"};
constexpr const wchar_t* kEnabledNames[] = {L"Disabled", L"Enabled"};
constexpr DWORD kLinkStateValues[] = {0, 1, 2};
constexpr const wchar_t* kLinkStateNames[] = {L"Off", L"Moderate power savings", L"Maximum power savings"};

using Defaults = DWORD[3][2];

constexpr SimSettingDefinition Range(const PlanGuid& subgroup, const PlanGuid& guid, const wchar_t* name, DWORD max,
                                     const wchar_t* units, const Defaults& d, bool hidden = false) {
  return {subgroup,
          guid,
          name,
          hidden,
          0,
          max,
          1,
          units,
          {},
          {},
          {{d[0][0], d[0][1]}, {d[1][0], d[1][1]}, {d[2][0], d[2][1]}}};
}
template <size_t N>
constexpr SimSettingDefinition List(const PlanGuid& subgroup, const PlanGuid& guid, const wchar_t* name,
                                    const DWORD (&values)[N], const wchar_t* const (&names)[N], const Defaults& d,
                                    bool hidden = false) {
  return {subgroup,
          guid,
          name,
          hidden,
          0,
          0,
          0,
          L"",
          values,
          names,
          {{d[0][0], d[0][1]}, {d[1][0], d[1][1]}, {d[2][0], d[2][1]}}};
}

// The settings, with defaults by personality (power saver, balanced, high performance), each
// {AC, DC}: the published defaults where there are any, plausible figures otherwise.
const SimSettingDefinition kSettings[] = {
    Range(g::kVideoSubgroup, g::kVideoTimeout, L"Turn off display after", kNever, L"Seconds",
          {{300, 120}, {600, 300}, {900, 600}}),
    Range(g::kVideoSubgroup, g::kVideoDimTimeout, L"Dim display after", kNever, L"Seconds",
          {{120, 60}, {300, 120}, {600, 300}}),
    Range(g::kDiskSubgroup, g::kDiskTimeout, L"Turn off hard disk after", kNever, L"Seconds",
          {{1200, 300}, {1200, 600}, {1200, 1200}}),
    Range(g::kSleepSubgroup, g::kStandbyTimeout, L"Sleep after", kNever, L"Seconds",
          {{900, 600}, {1800, 900}, {0, 3600}}),
    Range(g::kSleepSubgroup, g::kHibernateTimeout, L"Hibernate after", kNever, L"Seconds",
          {{0, 7200}, {0, 10800}, {0, 0}}),
    Range(g::kSleepSubgroup, g::kIdleThreshold, L"System idle threshold", 100, L"%", {{50, 50}, {50, 50}, {50, 50}}),
    Range(g::kProcessorSubgroup, g::kProcessorMinimum, L"Minimum processor state", 100, L"%",
          {{5, 5}, {5, 5}, {100, 100}}),
    Range(g::kProcessorSubgroup, g::kProcessorMaximum, L"Maximum processor state", 100, L"%",
          {{100, 70}, {100, 100}, {100, 100}}),
    List(g::kProcessorSubgroup, g::kBoostMode, L"Processor performance boost mode", kBoostValues, kBoostNames,
         {{1, 0}, {2, 2}, {2, 2}}, true),
    List(g::kButtonSubgroup, g::kPowerButton, L"Power button action", kPowerButtonValues, kPowerButtonNames,
         {{3, 3}, {3, 3}, {3, 3}}),
    List(g::kButtonSubgroup, g::kSleepButton, L"Sleep button action", kSleepButtonValues, kSleepButtonNames,
         {{1, 1}, {1, 1}, {1, 1}}),
    List(g::kButtonSubgroup, g::kLidClose, L"Lid close action", kActionValues, kActionNames, {{1, 1}, {1, 1}, {1, 1}}),
    List(g::kBatterySubgroup, g::kAlarmAction[0], L"Critical battery action", kActionValues, kActionNames,
         {{2, 2}, {2, 2}, {2, 2}}),
    Range(g::kBatterySubgroup, g::kAlarmLevel[0], L"Critical battery level", 100, L"%", {{5, 5}, {5, 5}, {5, 5}}),
    Range(g::kBatterySubgroup, g::kAlarmFlags[0], L"Critical battery notification flags", kNever, L"",
          {{0x80000001, 0x80000001}, {0x80000001, 0x80000001}, {0x80000001, 0x80000001}}),
    List(g::kBatterySubgroup, g::kAlarmAction[1], L"Low battery action", kActionValues, kActionNames,
         {{0, 0}, {0, 0}, {0, 0}}),
    Range(g::kBatterySubgroup, g::kAlarmLevel[1], L"Low battery level", 100, L"%", {{10, 10}, {10, 10}, {10, 10}}),
    Range(g::kBatterySubgroup, g::kAlarmFlags[1], L"Low battery notification flags", kNever, L"",
          {{0x80000001, 0x80000001}, {0x80000001, 0x80000001}, {0x80000001, 0x80000001}}),
    List(g::kBatterySubgroup, g::kAlarmAction[2], L"Battery alarm 3 action", kActionValues, kActionNames,
         {{0, 0}, {0, 0}, {0, 0}}, true),
    Range(g::kBatterySubgroup, g::kAlarmLevel[2], L"Battery alarm 3 level", 100, L"%", {{7, 7}, {7, 7}, {7, 7}}, true),
    Range(g::kBatterySubgroup, g::kAlarmFlags[2], L"Battery alarm 3 flags", kNever, L"", {{0, 0}, {0, 0}, {0, 0}},
          true),
    List(g::kBatterySubgroup, g::kAlarmAction[3], L"Battery alarm 4 action", kActionValues, kActionNames,
         {{0, 0}, {0, 0}, {0, 0}}, true),
    Range(g::kBatterySubgroup, g::kAlarmLevel[3], L"Battery alarm 4 level", 100, L"%", {{0, 0}, {0, 0}, {0, 0}}, true),
    Range(g::kBatterySubgroup, g::kAlarmFlags[3], L"Battery alarm 4 flags", kNever, L"", {{0, 0}, {0, 0}, {0, 0}},
          true),
    List(g::kNoSubgroup, g::kLockConsoleOnWake, L"Require a password on wakeup", kYesNoValues, kYesNoNames,
         {{1, 1}, {1, 1}, {1, 1}}),
    // Settings without an XP-era field; the default laptop's Group Policy fixes the wake timers.
    List(g::kSleepSubgroup, g::kAllowWakeTimers, L"Allow wake timers", kWakeTimerValues, kWakeTimerNames,
         {{1, 0}, {1, 0}, {1, 1}}),
    List(g::kSleepSubgroup, g::kHybridSleep, L"Allow hybrid sleep", kOffOnValues, kOffOnNames,
         {{0, 0}, {0, 0}, {0, 0}}),
    List(g::kUsbSubgroup, g::kUsbSelectiveSuspend, L"USB selective suspend setting", kOffOnValues, kEnabledNames,
         {{1, 1}, {1, 1}, {0, 0}}),
    List(g::kPciExpressSubgroup, g::kPciExpressLinkState, L"Link State Power Management", kLinkStateValues,
         kLinkStateNames, {{2, 2}, {0, 2}, {0, 0}}),
};

struct SubgroupName {
  PlanGuid guid;
  const wchar_t* name;
};
// In enumeration order; settings outside any subgroup are reached through kNoSubgroup.
constexpr SubgroupName kSubgroups[] = {{g::kVideoSubgroup, L"Display"},
                                       {g::kDiskSubgroup, L"Hard disk"},
                                       {g::kSleepSubgroup, L"Sleep"},
                                       {g::kProcessorSubgroup, L"Processor power management"},
                                       {g::kButtonSubgroup, L"Power buttons and lid"},
                                       {g::kBatterySubgroup, L"Battery"},
                                       {g::kUsbSubgroup, L"USB settings"},
                                       {g::kPciExpressSubgroup, L"PCI Express"}};

struct DefaultPlan {
  PlanGuid guid;
  const wchar_t* name;
  const wchar_t* description;
};
constexpr DefaultPlan kDefaultPlans[] = {
    {g::kBalanced, L"Balanced", L"Automatically balances performance with energy consumption on capable hardware."},
    {g::kHighPerformance, L"High performance", L"Favors performance, but may use more energy."},
    {g::kPowerSaver, L"Power saver", L"Saves energy by reducing your computer's performance where possible."},
};

int PersonalityIndex(const PlanGuid& personality) {
  if (personality == g::kPowerSaver) return 0;
  if (personality == g::kHighPerformance) return 2;
  return 1;
}

// ---- the state file ----------------------------------------------------------------------------------

std::string Text(const std::string& path, const char* section, const char* key, const char* fallback = "") {
  char buffer[2048] = {};
  DWORD n = ::GetPrivateProfileStringA(section, key, fallback, buffer, sizeof buffer, path.c_str());
  return std::string(buffer, n);
}

void SetText(const std::string& path, const char* section, const char* key, const std::string& value) {
  ::WritePrivateProfileStringA(section, key, value.c_str(), path.c_str());
}

std::optional<PlanGuid> GuidOf(const std::string& text) {
  PlanGuid guid;
  if (!ParseGuid(text, &guid)) return std::nullopt;
  return guid;
}

std::string OptionalGuid(const std::optional<PlanGuid>& guid) { return guid ? FormatGuid(*guid) : std::string(); }

// Plan texts are wide: anything outside printable ASCII, a backslash and blanks at either end
// (which the profile functions trim) are written as \uXXXX.
std::string Escape(const std::wstring& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    const bool edge_blank = c == L' ' && (i == 0 || i + 1 == text.size());
    if (c >= 0x20 && c < 0x7F && c != L'\\' && !edge_blank) {
      out += static_cast<char>(c);
    } else {
      char code[8];
      std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c) & 0xFFFFu);
      out += code;
    }
  }
  return out;
}

std::wstring Unescape(const std::string& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 6 <= text.size() && text[i + 1] == 'u') {
      char* end = nullptr;
      const std::string digits = text.substr(i + 2, 4);
      const unsigned long code = std::strtoul(digits.c_str(), &end, 16);
      if (end == digits.c_str() + 4) {
        out += static_cast<wchar_t>(code);
        i += 5;
        continue;
      }
    }
    out += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
  }
  return out;
}

// The "key=value" lines of a section (bounded).
std::vector<std::pair<std::string, std::string>> SectionLines(const std::string& path, const char* section) {
  std::vector<char> buffer(64 * 1024);
  const DWORD n = ::GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
  std::vector<std::pair<std::string, std::string>> lines;
  for (size_t at = 0; at < n && buffer[at];) {
    const std::string line(buffer.data() + at);
    at += line.size() + 1;
    const size_t equals = line.find('=');
    if (equals != std::string::npos) lines.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return lines;
}

// Setting lines "<guid>=<ac>,<dc>" of a section.
std::vector<SimPlanValue> ReadValues(const std::string& path, const char* section) {
  std::vector<SimPlanValue> values;
  for (const auto& [key, value] : SectionLines(path, section)) {
    const std::optional<PlanGuid> setting = GuidOf(key);
    unsigned long ac = 0, dc = 0;
    if (setting && std::sscanf(value.c_str(), "%lu,%lu", &ac, &dc) == 2)
      values.push_back({*setting, static_cast<DWORD>(ac), static_cast<DWORD>(dc)});
  }
  return values;
}

void WriteValues(const std::string& path, const char* section, const std::vector<SimPlanValue>& values) {
  for (const SimPlanValue& v : values) {
    char text[32];
    std::snprintf(text, sizeof text, "%lu,%lu", static_cast<unsigned long>(v.ac), static_cast<unsigned long>(v.dc));
    SetText(path, section, FormatGuid(v.setting).c_str(), text);
  }
}

std::string PlanSection(size_t index) { return "Plan" + std::to_string(index); }

const char* BackendName(SimPowerBackend backend) {
  switch (backend) {
    case SimPowerBackend::Plans:
      return "plans";
    case SimPowerBackend::None:
      return "none";
    case SimPowerBackend::Xp:
      break;
  }
  return "xp";
}

// ---- calls ------------------------------------------------------------------------------------------------

SimPlan* FindPlan(SimPlanStore& store, const PlanGuid& wanted) {
  for (SimPlan& plan : store.plans) {
    if (plan.guid == wanted) return &plan;
  }
  return nullptr;
}
SimPlan* FindPlan(SimPlanStore& store, const GUID* guid) { return guid ? FindPlan(store, FromGuid(*guid)) : nullptr; }

// A setting reached through its subgroup (null stands for no subgroup).
const SimSettingDefinition* FindSetting(const GUID* subgroup, const GUID* setting) {
  if (!setting) return nullptr;
  const SimSettingDefinition* found = FindSimSetting(FromGuid(*setting));
  const PlanGuid group = subgroup ? FromGuid(*subgroup) : g::kNoSubgroup;
  return found && found->subgroup == group ? found : nullptr;
}

// The two-call pattern of the plan functions: copies the bytes when the buffer holds them;
// otherwise the size, with ERROR_MORE_DATA for a short buffer. A missing buffer is a size
// query: ERROR_SUCCESS for texts and values, ERROR_MORE_DATA for an enumeration.
DWORD Give(const void* data, DWORD bytes, UCHAR* buffer, DWORD* size, DWORD size_query = ERROR_SUCCESS) {
  if (!size) return ERROR_INVALID_PARAMETER;
  if (!buffer) {
    *size = bytes;
    return size_query;
  }
  if (*size < bytes) {
    *size = bytes;
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, data, bytes);
  *size = bytes;
  return ERROR_SUCCESS;
}

DWORD GiveText(const std::wstring& text, UCHAR* buffer, DWORD* size) {
  return Give(text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), buffer, size);
}

GUID* NewGuid(const PlanGuid& value) {
  auto* out = static_cast<GUID*>(::LocalAlloc(LMEM_FIXED, sizeof(GUID)));
  if (out) *out = ToGuid(value);
  return out;
}

// A random (version 4) GUID that no plan has.
PlanGuid FreshGuid(const SimPlanStore& store) {
  static unsigned long long state = 0;
  for (;;) {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    state ^= static_cast<unsigned long long>(counter.QuadPart) + ::GetTickCount() + 0x9E3779B97F4A7C15ull;
    auto next = [] {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      return static_cast<uint32_t>(state >> 32);
    };
    PlanGuid guid{next(), static_cast<uint16_t>(next()), static_cast<uint16_t>((next() & 0x0FFF) | 0x4000), {}};
    for (uint8_t& b : guid.data4) b = static_cast<uint8_t>(next());
    guid.data4[0] = static_cast<uint8_t>((guid.data4[0] & 0x3F) | 0x80);
    if (std::none_of(store.plans.begin(), store.plans.end(), [&](const SimPlan& p) { return p.guid == guid; }))
      return guid;
  }
}

}  // namespace

// ---- definitions and defaults --------------------------------------------------------------------------

std::span<const SimSettingDefinition> SimSettings() { return kSettings; }

const SimSettingDefinition* FindSimSetting(const PlanGuid& setting) {
  for (const SimSettingDefinition& s : kSettings) {
    if (s.guid == setting) return &s;
  }
  return nullptr;
}

DWORD SimDefault(const SimSettingDefinition& setting, const PlanGuid& personality, bool dc) {
  return setting.defaults[PersonalityIndex(personality)][dc ? 1 : 0];
}

SimPlanValue EffectiveValue(const SimPlan& plan, const SimSettingDefinition& setting) {
  for (const SimPlanValue& v : plan.values) {
    if (v.setting == setting.guid) return v;
  }
  return {setting.guid, SimDefault(setting, plan.personality, false), SimDefault(setting, plan.personality, true)};
}

void ApplyPlan(SimPlanStore& store, const SimPlan& plan) {
  store.active = plan.guid;
  store.applied_plan = plan.guid;
  store.applied.clear();
  for (const SimSettingDefinition& s : kSettings) store.applied.push_back(EffectiveValue(plan, s));
}

SimPlanStore DefaultPlanStore() {
  SimPlanStore store;
  for (const DefaultPlan& d : kDefaultPlans) store.plans.push_back({d.guid, d.guid, d.name, d.description, {}});
  ApplyPlan(store, store.plans.front());
  store.policy_locked = g::kAllowWakeTimers;
  return store;
}

void AddDefaultPlans(SimState& state) {
  state.plans = DefaultPlanStore();
  state.power_backend = kDefaultLaptopBackend;
}

SimPowerBackend BackendNamed(const std::string& name) {
  return name == "plans" ? SimPowerBackend::Plans : name == "none" ? SimPowerBackend::None : SimPowerBackend::Xp;
}

void ApplyFirstRunBackend(SimState& state) {
  char name[16] = {};
  const DWORD n = ::GetEnvironmentVariableA("VANTREL_SIM_POWER_BACKEND", name, sizeof name);
  if (n > 0 && n < sizeof name) state.power_backend = BackendNamed(name);
}

void LoadPlanState(const std::string& path, SimState& state) {
  state.power_backend = BackendNamed(Text(path, "Machine", "PowerBackend", "xp"));
  SimPlanStore& store = state.plans;
  const long count = std::strtol(Text(path, "Plans", "Count").c_str(), nullptr, 10);
  if (Text(path, "Plans", "Count").empty()) {
    store = DefaultPlanStore();
    return;
  }
  store = SimPlanStore{};
  for (long i = 0; i < count && i < 256; ++i) {
    const std::string section = PlanSection(static_cast<size_t>(i));
    const char* n = section.c_str();
    SimPlan plan;
    const std::optional<PlanGuid> guid = GuidOf(Text(path, n, "Guid"));
    if (!guid) continue;  // a plan without an identity cannot be reached
    plan.guid = *guid;
    plan.personality = GuidOf(Text(path, n, "Personality")).value_or(g::kBalanced);
    plan.name = Unescape(Text(path, n, "Name"));
    plan.description = Unescape(Text(path, n, "Description"));
    for (const SimPlanValue& v : ReadValues(path, n)) plan.values.push_back(v);
    store.plans.push_back(std::move(plan));
  }
  store.active = GuidOf(Text(path, "Plans", "Active")).value_or(PlanGuid{});
  store.policy_locked = GuidOf(Text(path, "Plans", "PolicyLocked"));
  store.writes_ignored = GuidOf(Text(path, "Plans", "WritesIgnored"));
  store.power_modes = std::strtol(Text(path, "Plans", "PowerModes", "0").c_str(), nullptr, 10) != 0;
  store.mode_ac = GuidOf(Text(path, "Plans", "PowerModeAc")).value_or(PlanGuid{});
  store.mode_dc = GuidOf(Text(path, "Plans", "PowerModeDc")).value_or(PlanGuid{});
  store.applied_plan = GuidOf(Text(path, "Applied", "Plan")).value_or(PlanGuid{});
  store.applied = ReadValues(path, "Applied");
}

void SavePlanHeader(const std::string& path, const SimState& state) {
  const SimPlanStore& store = state.plans;
  SetText(path, "Machine", "PowerBackend", BackendName(state.power_backend));
  ::WritePrivateProfileStringA("Plans", nullptr, nullptr, path.c_str());
  SetText(path, "Plans", "Count", std::to_string(store.plans.size()));
  SetText(path, "Plans", "Active", FormatGuid(store.active));
  SetText(path, "Plans", "PolicyLocked", OptionalGuid(store.policy_locked));
  SetText(path, "Plans", "WritesIgnored", OptionalGuid(store.writes_ignored));
  SetText(path, "Plans", "PowerModes", store.power_modes ? "1" : "0");
  SetText(path, "Plans", "PowerModeAc", FormatGuid(store.mode_ac));
  SetText(path, "Plans", "PowerModeDc", FormatGuid(store.mode_dc));
}

void SavePlan(const std::string& path, const SimPlanStore& store, size_t index) {
  if (index >= store.plans.size()) return;
  const SimPlan& plan = store.plans[index];
  const std::string section = PlanSection(index);
  const char* n = section.c_str();
  ::WritePrivateProfileStringA(n, nullptr, nullptr, path.c_str());
  SetText(path, n, "Guid", FormatGuid(plan.guid));
  SetText(path, n, "Personality", FormatGuid(plan.personality));
  SetText(path, n, "Name", Escape(plan.name));
  SetText(path, n, "Description", Escape(plan.description));
  WriteValues(path, n, plan.values);
}

void SaveApplied(const std::string& path, const SimPlanStore& store) {
  ::WritePrivateProfileStringA("Applied", nullptr, nullptr, path.c_str());
  SetText(path, "Applied", "Plan", FormatGuid(store.applied_plan));
  WriteValues(path, "Applied", store.applied);
}

void SavePlanState(const std::string& path, const SimState& state) {
  const long old_count = std::strtol(Text(path, "Plans", "Count", "0").c_str(), nullptr, 10);
  for (long i = static_cast<long>(state.plans.plans.size()); i < old_count && i < 256; ++i)
    ::WritePrivateProfileStringA(PlanSection(static_cast<size_t>(i)).c_str(), nullptr, nullptr, path.c_str());
  SavePlanHeader(path, state);
  for (size_t i = 0; i < state.plans.plans.size(); ++i) SavePlan(path, state.plans, i);
  SaveApplied(path, state.plans);
}

// ---- the plan functions ------------------------------------------------------------------------------------

void SimulatedMachine::SavePlans(PlanChange change, const SimPlan* plan) {
  if (ini_path_.empty()) return;
  // Only what changed: the file is rewritten at every profile write.
  switch (change) {
    case PlanChange::Values:
      SavePlan(ini_path_, state_.plans, static_cast<size_t>(plan - state_.plans.plans.data()));
      break;
    case PlanChange::Activation:
      SavePlanHeader(ini_path_, state_);
      SaveApplied(ini_path_, state_.plans);
      break;
    case PlanChange::Modes:
      SavePlanHeader(ini_path_, state_);
      break;
    case PlanChange::List:
      SavePlanState(ini_path_, state_);
      break;
  }
}

DWORD SimulatedMachine::PowerGetActiveScheme(HKEY, GUID** active) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!active) return ERROR_INVALID_PARAMETER;
  Lock lock(*this);
  if (!FindPlan(state_.plans, state_.plans.active)) return ERROR_FILE_NOT_FOUND;
  *active = NewGuid(state_.plans.active);
  return *active ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

DWORD SimulatedMachine::PowerSetActiveScheme(HKEY, const GUID* scheme) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  Lock lock(*this);
  const SimPlan* plan = FindPlan(state_.plans, scheme);
  if (!plan) return ERROR_FILE_NOT_FOUND;
  ApplyPlan(state_.plans, *plan);
  SavePlans(PlanChange::Activation);
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerEnumerate(HKEY, const GUID* scheme, const GUID* subgroup, DWORD access, ULONG index,
                                       UCHAR* buffer, DWORD* size) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  Lock lock(*this);
  std::vector<PlanGuid> items;
  if (access == kAccessScheme) {
    for (const SimPlan& plan : state_.plans.plans) items.push_back(plan.guid);
  } else if (access == kAccessSubgroup) {
    if (scheme && !FindPlan(state_.plans, scheme)) return ERROR_FILE_NOT_FOUND;
    for (const SubgroupName& s : kSubgroups) items.push_back(s.guid);
  } else if (access == kAccessIndividualSetting) {
    if (scheme && !FindPlan(state_.plans, scheme)) return ERROR_FILE_NOT_FOUND;
    const PlanGuid group = subgroup ? FromGuid(*subgroup) : g::kNoSubgroup;
    for (const SimSettingDefinition& s : kSettings) {
      if (s.subgroup == group) items.push_back(s.guid);
    }
  } else {
    return ERROR_INVALID_PARAMETER;
  }
  if (index >= items.size()) return ERROR_NO_MORE_ITEMS;
  const GUID item = ToGuid(items[index]);
  return Give(&item, sizeof item, buffer, size, ERROR_MORE_DATA);
}

DWORD SimulatedMachine::ReadText(const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                                 DWORD* size, bool description) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  Lock lock(*this);
  if (setting) {
    const SimSettingDefinition* s = FindSetting(subgroup, setting);
    if (!s) return ERROR_FILE_NOT_FOUND;
    return GiveText(description ? std::wstring() : std::wstring(s->name), buffer, size);
  }
  if (subgroup) {
    const PlanGuid group = FromGuid(*subgroup);
    for (const SubgroupName& s : kSubgroups) {
      if (s.guid == group) return GiveText(description ? std::wstring() : std::wstring(s.name), buffer, size);
    }
    return ERROR_FILE_NOT_FOUND;
  }
  const SimPlan* plan = FindPlan(state_.plans, scheme);
  if (!plan) return ERROR_FILE_NOT_FOUND;
  return GiveText(description ? plan->description : plan->name, buffer, size);
}

DWORD SimulatedMachine::WriteText(const GUID* scheme, const GUID* subgroup, const GUID* setting, const UCHAR* buffer,
                                  DWORD size, bool description) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  // Renaming subgroups and settings changes their definitions: an administrator's business.
  if (subgroup || setting) return ERROR_ACCESS_DENIED;
  // Whole wide characters, the last one the terminator.
  if (!buffer || size < sizeof(wchar_t) || size % sizeof(wchar_t) != 0 || size > kMaxTextBytes)
    return ERROR_INVALID_PARAMETER;
  const size_t chars = size / sizeof(wchar_t);
  std::wstring text(chars, L'\0');
  std::memcpy(text.data(), buffer, size);
  if (text.back() != L'\0') return ERROR_INVALID_PARAMETER;
  text.resize(std::wcslen(text.c_str()));
  Lock lock(*this);
  SimPlan* plan = FindPlan(state_.plans, scheme);
  if (!plan) return ERROR_FILE_NOT_FOUND;
  (description ? plan->description : plan->name) = std::move(text);
  SavePlans(PlanChange::Values, plan);
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerReadFriendlyName(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                              UCHAR* buffer, DWORD* size) {
  return ReadText(scheme, subgroup, setting, buffer, size, false);
}
DWORD SimulatedMachine::PowerReadDescription(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                             UCHAR* buffer, DWORD* size) {
  return ReadText(scheme, subgroup, setting, buffer, size, true);
}
DWORD SimulatedMachine::PowerWriteFriendlyName(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                               UCHAR* buffer, DWORD size) {
  return WriteText(scheme, subgroup, setting, buffer, size, false);
}
DWORD SimulatedMachine::PowerWriteDescription(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                              UCHAR* buffer, DWORD size) {
  return WriteText(scheme, subgroup, setting, buffer, size, true);
}

DWORD SimulatedMachine::ReadIndex(const GUID* scheme, const GUID* subgroup, const GUID* setting, DWORD* index,
                                  bool dc) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!index) return ERROR_INVALID_PARAMETER;
  Lock lock(*this);
  const SimPlan* plan = FindPlan(state_.plans, scheme);
  // The personality reads as a setting outside any subgroup (high performance 0, power
  // saver 1, balanced 2) and is never listed or written.
  if (plan && setting && FromGuid(*setting) == g::kPersonality && (!subgroup || FromGuid(*subgroup) == g::kNoSubgroup)) {
    const int at = PersonalityIndex(plan->personality);
    *index = at == 0 ? 1 : at == 2 ? 0 : 2;
    return ERROR_SUCCESS;
  }
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!plan || !s) return ERROR_FILE_NOT_FOUND;
  const SimPlanValue value = EffectiveValue(*plan, *s);
  *index = dc ? value.dc : value.ac;
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::WriteIndex(const GUID* scheme, const GUID* subgroup, const GUID* setting, DWORD index,
                                   bool dc) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  Lock lock(*this);
  SimPlan* plan = FindPlan(state_.plans, scheme);
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!plan || !s) return ERROR_FILE_NOT_FOUND;
  if (state_.plans.policy_locked == s->guid) return ERROR_ACCESS_DISABLED_BY_POLICY;
  const bool in_range = s->values.empty() ? index >= s->min && index <= s->max : index < s->values.size();
  if (!in_range) return ERROR_INVALID_PARAMETER;
  if (state_.plans.writes_ignored == s->guid) return ERROR_SUCCESS;  // answers success, keeps the old value
  SimPlanValue value = EffectiveValue(*plan, *s);
  (dc ? value.dc : value.ac) = index;
  auto own = std::find_if(plan->values.begin(), plan->values.end(),
                          [&](const SimPlanValue& v) { return v.setting == s->guid; });
  if (own != plan->values.end()) {
    *own = value;
  } else {
    plan->values.push_back(value);
  }
  SavePlans(PlanChange::Values, plan);
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerReadACValueIndex(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                              DWORD* index) {
  return ReadIndex(scheme, subgroup, setting, index, false);
}
DWORD SimulatedMachine::PowerReadDCValueIndex(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                              DWORD* index) {
  return ReadIndex(scheme, subgroup, setting, index, true);
}
DWORD SimulatedMachine::PowerWriteACValueIndex(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                               DWORD index) {
  return WriteIndex(scheme, subgroup, setting, index, false);
}
DWORD SimulatedMachine::PowerWriteDCValueIndex(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                               DWORD index) {
  return WriteIndex(scheme, subgroup, setting, index, true);
}

namespace {
DWORD ReadDefault(const GUID* personality, const GUID* subgroup, const GUID* setting, DWORD* index, bool dc) {
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!personality || !s) return ERROR_FILE_NOT_FOUND;
  if (!index) return ERROR_INVALID_PARAMETER;
  *index = SimDefault(*s, FromGuid(*personality), dc);
  return ERROR_SUCCESS;
}
}  // namespace

// The personality is a GUID (REG_BINARY) under no subgroup; any other setting is its index.
DWORD SimulatedMachine::PowerReadACValue(HKEY, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                         ULONG* type, UCHAR* buffer, DWORD* size) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!size || !setting) return ERROR_INVALID_PARAMETER;
  DWORD index = 0;
  GUID personality{};
  const bool is_personality =
      FromGuid(*setting) == g::kPersonality && (!subgroup || FromGuid(*subgroup) == g::kNoSubgroup);
  if (is_personality) {
    Lock lock(*this);
    const SimPlan* plan = FindPlan(state_.plans, scheme);
    if (!plan) return ERROR_FILE_NOT_FOUND;
    personality = ToGuid(plan->personality);
  } else if (const DWORD error = ReadIndex(scheme, subgroup, setting, &index, false)) {
    return error;
  }
  const DWORD needed = is_personality ? sizeof personality : sizeof index;
  if (type) *type = is_personality ? REG_BINARY : REG_DWORD;
  if (!buffer) {
    *size = needed;
    return ERROR_SUCCESS;
  }
  if (*size < needed) {
    *size = needed;
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, is_personality ? static_cast<const void*>(&personality) : &index, needed);
  *size = needed;
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerReadACDefaultIndex(HKEY, const GUID* personality, const GUID* subgroup,
                                                const GUID* setting, DWORD* index) {
  return PlansAnswer() ? ReadDefault(personality, subgroup, setting, index, false) : ERROR_CALL_NOT_IMPLEMENTED;
}
DWORD SimulatedMachine::PowerReadDCDefaultIndex(HKEY, const GUID* personality, const GUID* subgroup,
                                                const GUID* setting, DWORD* index) {
  return PlansAnswer() ? ReadDefault(personality, subgroup, setting, index, true) : ERROR_CALL_NOT_IMPLEMENTED;
}

DWORD SimulatedMachine::PowerDuplicateScheme(HKEY, const GUID* source, GUID** destination) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!destination) return ERROR_INVALID_PARAMETER;
  Lock lock(*this);
  const SimPlan* from = FindPlan(state_.plans, source);
  if (!from) return ERROR_FILE_NOT_FOUND;
  SimPlan copy = *from;
  GUID* handed = nullptr;
  if (*destination) {
    if (FindPlan(state_.plans, *destination)) return ERROR_ALREADY_EXISTS;
    copy.guid = FromGuid(**destination);
  } else {
    copy.guid = FreshGuid(state_.plans);
    handed = NewGuid(copy.guid);
    if (!handed) return ERROR_NOT_ENOUGH_MEMORY;
  }
  state_.plans.plans.push_back(std::move(copy));
  SavePlans(PlanChange::List);
  if (handed) *destination = handed;
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerDeleteScheme(HKEY, const GUID* scheme) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  Lock lock(*this);
  const SimPlan* plan = FindPlan(state_.plans, scheme);
  if (!plan) return ERROR_FILE_NOT_FOUND;
  if (plan->guid == state_.plans.active) return ERROR_ACCESS_DENIED;
  state_.plans.plans.erase(state_.plans.plans.begin() + (plan - state_.plans.plans.data()));
  SavePlans(PlanChange::List);
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::ReadRange(const GUID* subgroup, const GUID* setting, DWORD* value, int which) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!s || !s->values.empty()) return ERROR_FILE_NOT_FOUND;
  if (!value) return ERROR_INVALID_PARAMETER;
  *value = which == 0 ? s->min : which == 1 ? s->max : s->increment;
  return ERROR_SUCCESS;
}
DWORD SimulatedMachine::PowerReadValueMin(HKEY, const GUID* subgroup, const GUID* setting, DWORD* value) {
  return ReadRange(subgroup, setting, value, 0);
}
DWORD SimulatedMachine::PowerReadValueMax(HKEY, const GUID* subgroup, const GUID* setting, DWORD* value) {
  return ReadRange(subgroup, setting, value, 1);
}
DWORD SimulatedMachine::PowerReadValueIncrement(HKEY, const GUID* subgroup, const GUID* setting, DWORD* value) {
  return ReadRange(subgroup, setting, value, 2);
}
DWORD SimulatedMachine::PowerReadValueUnitsSpecifier(HKEY, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                                                     DWORD* size) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!s || !s->values.empty()) return ERROR_FILE_NOT_FOUND;
  return GiveText(s->units, buffer, size);
}

BOOLEAN SimulatedMachine::PowerIsSettingRangeDefined(const GUID* subgroup, const GUID* setting) {
  if (!PlansAnswer()) return Fail<BOOLEAN>(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  return Succeed<BOOLEAN>(s && s->values.empty() ? TRUE : FALSE);
}

DWORD SimulatedMachine::PowerReadPossibleValue(HKEY, const GUID* subgroup, const GUID* setting, ULONG* type,
                                               ULONG index, UCHAR* buffer, DWORD* size) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!s || index >= s->values.size()) return ERROR_FILE_NOT_FOUND;
  if (type) *type = REG_DWORD;
  return Give(&s->values[index], sizeof(DWORD), buffer, size);
}

DWORD SimulatedMachine::PowerReadPossibleFriendlyName(HKEY, const GUID* subgroup, const GUID* setting, ULONG index,
                                                      UCHAR* buffer, DWORD* size) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  if (!s || index >= s->value_names.size()) return ERROR_FILE_NOT_FOUND;
  return GiveText(s->value_names[index], buffer, size);
}

DWORD SimulatedMachine::PowerReadSettingAttributes(const GUID* subgroup, const GUID* setting) {
  if (!PlansAnswer()) return Fail<DWORD>(ERROR_CALL_NOT_IMPLEMENTED, 0);
  const SimSettingDefinition* s = FindSetting(subgroup, setting);
  return Succeed<DWORD>(s && s->hidden ? kAttributeHide : 0);
}

DWORD SimulatedMachine::PowerSettingAccessCheck(DWORD, const GUID* guid) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!guid) return ERROR_INVALID_PARAMETER;
  Lock lock(*this);
  return state_.plans.policy_locked == FromGuid(*guid) ? ERROR_ACCESS_DISABLED_BY_POLICY : ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerImportPowerScheme(HKEY, LPCWSTR path, GUID** destination) {
  if (!PlansAnswer()) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!path || !destination) return ERROR_INVALID_PARAMETER;
  // The export format is not documented: the machine finds the file and reads none.
  return ::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_DATA;
}

DWORD SimulatedMachine::ReadMode(GUID* mode, bool dc) {
  if (!PlansAnswer() || !state_.plans.power_modes) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!mode) return ERROR_INVALID_PARAMETER;
  Lock lock(*this);
  *mode = ToGuid(dc ? state_.plans.mode_dc : state_.plans.mode_ac);
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::WriteMode(const GUID* mode, bool dc) {
  if (!PlansAnswer() || !state_.plans.power_modes) return ERROR_CALL_NOT_IMPLEMENTED;
  if (!mode) return ERROR_INVALID_PARAMETER;
  const PlanGuid wanted = FromGuid(*mode);
  if (wanted != g::kModeBestEfficiency && wanted != g::kModeBalanced && wanted != g::kModeBestPerformance)
    return ERROR_INVALID_PARAMETER;
  Lock lock(*this);
  (dc ? state_.plans.mode_dc : state_.plans.mode_ac) = wanted;
  SavePlans(PlanChange::Modes);
  return ERROR_SUCCESS;
}

DWORD SimulatedMachine::PowerGetUserConfiguredACPowerMode(GUID* mode) { return ReadMode(mode, false); }
DWORD SimulatedMachine::PowerGetUserConfiguredDCPowerMode(GUID* mode) { return ReadMode(mode, true); }
DWORD SimulatedMachine::PowerSetUserConfiguredACPowerMode(const GUID* mode) { return WriteMode(mode, false); }
DWORD SimulatedMachine::PowerSetUserConfiguredDCPowerMode(const GUID* mode) { return WriteMode(mode, true); }

}  // namespace vantrel::platform::sim
