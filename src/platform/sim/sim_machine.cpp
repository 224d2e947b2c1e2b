#include "platform/sim/sim_machine.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/backend.h"

namespace vantrel::platform::sim {

namespace {

SimulatedMachine* g_current = nullptr;

constexpr DWORD kMinute = 60;
constexpr DWORD kHour = 3600;

// ---- text conversions -------------------------------------------------------------------------

std::wstring Widen(const std::string& text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  int n = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr, nullptr);
  return narrow;
}

// ---- profile access -----------------------------------------------------------------------------

class Profile {
 public:
  explicit Profile(const std::string& path) : path_(path) {}

  std::string Text(const char* section, const char* key, const char* fallback = "") const {
    std::string buffer(4096, '\0');
    DWORD n = ::GetPrivateProfileStringA(section, key, fallback, buffer.data(), static_cast<DWORD>(buffer.size()),
                                         path_.c_str());
    buffer.resize(n);
    return buffer;
  }
  bool Has(const char* section, const char* key) const {
    return Text(section, key, "\x01missing") != "\x01missing";
  }
  // Numbers may be decimal, negative, or hexadecimal with 0x.
  long long Number(const char* section, const char* key, long long fallback) const {
    std::string text = Text(section, key);
    if (text.empty()) return fallback;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 0);
    return end == text.c_str() ? fallback : value;
  }
  template <class T>
  bool Struct(const char* section, const char* key, T& out) const {
    T value{};
    if (!::GetPrivateProfileStructA(section, key, &value, sizeof(T), path_.c_str())) return false;
    out = value;
    return true;
  }

  void SetText(const char* section, const char* key, const std::string& value) const {
    // Quotes keep leading and trailing blanks, which the profile functions would trim.
    bool quote = !value.empty() && (value.front() == ' ' || value.back() == ' ' || value.front() == '"');
    std::string stored = quote ? "\"" + value + "\"" : value;
    ::WritePrivateProfileStringA(section, key, stored.c_str(), path_.c_str());
  }
  void SetNumber(const char* section, const char* key, long long value) const {
    SetText(section, key, std::to_string(value));
  }
  void SetHex(const char* section, const char* key, unsigned long value) const {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", value);
    SetText(section, key, text);
  }
  template <class T>
  void SetStruct(const char* section, const char* key, const T& value) const {
    ::WritePrivateProfileStructA(section, key, const_cast<T*>(&value), sizeof(T), path_.c_str());
  }
  void ClearSection(const char* section) const {
    ::WritePrivateProfileStringA(section, nullptr, nullptr, path_.c_str());
  }

 private:
  std::string path_;
};

std::string BatterySection(size_t index) { return "Battery" + std::to_string(index); }
std::string SchemeSection(size_t index) { return "Scheme" + std::to_string(index); }

// ---- the classic default schemes ---------------------------------------------------------------

struct SchemeFigures {
  UINT id;
  const wchar_t* name;
  const wchar_t* description;
  DWORD video_ac, video_dc;      // monitor off
  DWORD spindown_ac, spindown_dc;  // disks off
  DWORD idle_ac, idle_dc;        // standby
  DWORD hibernate_ac, hibernate_dc;
  BYTE throttle_ac, throttle_dc;
};

constexpr SchemeFigures kClassicSchemes[] = {
    {0, L"Home/Office Desk", L"For a desktop computer that stays on mains power.", 20 * kMinute, 5 * kMinute, 0,
     10 * kMinute, 0, 5 * kMinute, 0, 20 * kMinute, PO_THROTTLE_NONE, PO_THROTTLE_ADAPTIVE},
    {1, L"Portable/Laptop", L"For a portable computer: saves power on batteries.", 15 * kMinute, 5 * kMinute,
     30 * kMinute, 5 * kMinute, 20 * kMinute, 5 * kMinute, 3 * kHour, 30 * kMinute, PO_THROTTLE_ADAPTIVE,
     PO_THROTTLE_ADAPTIVE},
    {2, L"Presentation", L"Keeps the display on during a presentation.", 0, 0, 0, 5 * kMinute, 0, 15 * kMinute, 0,
     0, PO_THROTTLE_ADAPTIVE, PO_THROTTLE_DEGRADE},
    {3, L"Always On", L"For a computer that must never sleep.", 20 * kMinute, 15 * kMinute, 0, 30 * kMinute, 0, 0,
     0, 0, PO_THROTTLE_NONE, PO_THROTTLE_NONE},
    {4, L"Minimal Power Management", L"Turns off only the monitor and the disks.", 15 * kMinute, 5 * kMinute, 0,
     15 * kMinute, 0, 5 * kMinute, 0, 0, PO_THROTTLE_ADAPTIVE, PO_THROTTLE_ADAPTIVE},
    {5, L"Max Battery", L"Saves as much power as possible on batteries.", 15 * kMinute, 1 * kMinute, 0,
     3 * kMinute, 20 * kMinute, 2 * kMinute, 45 * kMinute, 10 * kMinute, PO_THROTTLE_ADAPTIVE,
     PO_THROTTLE_DEGRADE},
};

POWER_ACTION_POLICY Action(POWER_ACTION action, DWORD flags, DWORD events) {
  POWER_ACTION_POLICY policy{};
  policy.Action = action;
  policy.Flags = flags;
  policy.EventCode = events;
  return policy;
}

PROCESSOR_POWER_POLICY ProcessorPolicy(BYTE throttle) {
  PROCESSOR_POWER_POLICY policy{};
  policy.Revision = 1;
  policy.DynamicThrottle = throttle;
  policy.PolicyCount = 3;
  // C1 to C3 with the promotion and demotion figures of a typical mobile processor.
  const DWORD time_check[3] = {0, 800, 800};
  const DWORD demote_limit[3] = {0, 200, 800};
  const DWORD promote_limit[3] = {100, 800, 0};
  const BYTE demote_percent[3] = {0, 10, 0};
  const BYTE promote_percent[3] = {20, 10, 0};
  for (int i = 0; i < 3; ++i) {
    PROCESSOR_POWER_POLICY_INFO& c = policy.Policy[i];
    c.TimeCheck = time_check[i];
    c.DemoteLimit = demote_limit[i];
    c.PromoteLimit = promote_limit[i];
    c.DemotePercent = demote_percent[i];
    c.PromotePercent = promote_percent[i];
    c.AllowDemotion = i > 0 ? 1 : 0;
    c.AllowPromotion = i < 2 ? 1 : 0;
  }
  return policy;
}

SimScheme MakeScheme(const SchemeFigures& f) {
  SimScheme s;
  s.id = f.id;
  s.name = f.name;
  s.description = f.description;
  USER_POWER_POLICY& u = s.policy.user;
  u.Revision = 1;
  u.IdleAc = Action(f.idle_ac ? PowerActionSleep : PowerActionNone, 0, 0);
  u.IdleDc = Action(f.idle_dc ? PowerActionSleep : PowerActionNone, 0, 0);
  u.IdleTimeoutAc = f.idle_ac;
  u.IdleTimeoutDc = f.idle_dc;
  u.IdleSensitivityAc = 50;
  u.IdleSensitivityDc = 50;
  u.ThrottlePolicyAc = f.throttle_ac;
  u.ThrottlePolicyDc = f.throttle_dc;
  u.MaxSleepAc = PowerSystemSleeping3;
  u.MaxSleepDc = PowerSystemSleeping3;
  u.VideoTimeoutAc = f.video_ac;
  u.VideoTimeoutDc = f.video_dc;
  u.SpindownTimeoutAc = f.spindown_ac;
  u.SpindownTimeoutDc = f.spindown_dc;
  u.OptimizeForPowerAc = FALSE;
  u.OptimizeForPowerDc = TRUE;
  u.FanThrottleToleranceAc = 100;
  u.FanThrottleToleranceDc = 80;
  u.ForcedThrottleAc = 100;
  u.ForcedThrottleDc = 100;
  MACHINE_POWER_POLICY& m = s.policy.mach;
  m.Revision = 1;
  m.MinSleepAc = PowerSystemSleeping1;
  m.MinSleepDc = PowerSystemSleeping1;
  m.ReducedLatencySleepAc = PowerSystemSleeping1;
  m.ReducedLatencySleepDc = PowerSystemSleeping1;
  m.DozeTimeoutAc = 0;
  m.DozeTimeoutDc = 0;
  m.DozeS4TimeoutAc = f.hibernate_ac;
  m.DozeS4TimeoutDc = f.hibernate_dc;
  m.MinThrottleAc = 0;
  m.MinThrottleDc = 0;
  m.OverThrottledAc = Action(PowerActionNone, 0, 0);
  m.OverThrottledDc = Action(PowerActionNone, 0, 0);
  s.processor.Revision = 1;
  s.processor.ProcessorPolicyAc = ProcessorPolicy(f.throttle_ac);
  s.processor.ProcessorPolicyDc = ProcessorPolicy(f.throttle_dc);
  return s;
}

SimBattery MakeBattery(const char* maker, const char* name, const char* serial, const char* chemistry,
                       ULONG design, ULONG full, ULONG capacity, ULONG voltage, LONG rate, ULONG cycles) {
  SimBattery b;
  b.device_name = name;
  b.manufacture_name = maker;
  b.serial_number = serial;
  b.unique_id = std::string(name) + serial + maker;
  b.info.Capabilities = BATTERY_SYSTEM_BATTERY;
  b.info.Technology = 1;
  for (int i = 0; i < 4 && chemistry[i]; ++i) b.info.Chemistry[i] = static_cast<UCHAR>(chemistry[i]);
  b.info.DesignedCapacity = design;
  b.info.FullChargedCapacity = full;
  b.info.DefaultAlert1 = design / 10;  // "low" at about a tenth
  b.info.DefaultAlert2 = design / 33;  // "warning" at about three per cent
  b.info.CriticalBias = 0;
  b.info.CycleCount = cycles;
  b.capacity = capacity;
  b.voltage = voltage;
  b.rate = rate;
  b.power_state = rate < 0 ? BATTERY_DISCHARGING : rate > 0 ? (BATTERY_POWER_ON_LINE | BATTERY_CHARGING)
                                                            : BATTERY_POWER_ON_LINE;
  return b;
}

}  // namespace

// ---- defaults -----------------------------------------------------------------------------------

std::vector<SimScheme> DefaultSchemes() {
  std::vector<SimScheme> schemes;
  for (const SchemeFigures& f : kClassicSchemes) schemes.push_back(MakeScheme(f));
  return schemes;
}

GLOBAL_POWER_POLICY DefaultGlobalPolicy() {
  GLOBAL_POWER_POLICY g{};
  GLOBAL_USER_POWER_POLICY& u = g.user;
  u.Revision = 1;
  u.PowerButtonAc = Action(PowerActionNone, POWER_ACTION_QUERY_ALLOWED | POWER_ACTION_UI_ALLOWED,
                           POWER_USER_NOTIFY_SHUTDOWN);
  u.PowerButtonDc = u.PowerButtonAc;
  u.SleepButtonAc = Action(PowerActionSleep, POWER_ACTION_QUERY_ALLOWED | POWER_ACTION_UI_ALLOWED, 0);
  u.SleepButtonDc = u.SleepButtonAc;
  u.LidCloseAc = Action(PowerActionSleep, POWER_ACTION_QUERY_ALLOWED, 0);
  u.LidCloseDc = u.LidCloseAc;
  SYSTEM_POWER_LEVEL& critical = u.DischargePolicy[0];
  critical.Enable = TRUE;
  critical.BatteryLevel = 3;
  critical.PowerPolicy = Action(PowerActionHibernate, POWER_ACTION_CRITICAL | POWER_ACTION_DISABLE_WAKES,
                                POWER_LEVEL_USER_NOTIFY_TEXT);
  critical.MinSystemState = PowerSystemHibernate;
  SYSTEM_POWER_LEVEL& low = u.DischargePolicy[1];
  low.Enable = TRUE;
  low.BatteryLevel = 10;
  low.PowerPolicy = Action(PowerActionNone, POWER_ACTION_QUERY_ALLOWED | POWER_ACTION_UI_ALLOWED,
                           POWER_LEVEL_USER_NOTIFY_TEXT);
  low.MinSystemState = PowerSystemSleeping1;
  for (int i = 2; i < 4; ++i) {
    u.DischargePolicy[i].Enable = FALSE;
    u.DischargePolicy[i].MinSystemState = PowerSystemSleeping1;
  }
  u.GlobalFlags = EnableMultiBatteryDisplay | EnablePasswordLogon | EnableVideoDimDisplay;
  g.mach.Revision = 1;
  g.mach.LidOpenWakeAc = PowerSystemWorking;
  g.mach.LidOpenWakeDc = PowerSystemWorking;
  g.mach.BroadcastCapacityResolution = 25;
  return g;
}

SimState DefaultLaptop() {
  SimState s;
  SYSTEM_POWER_CAPABILITIES& c = s.capabilities;
  c.PowerButtonPresent = TRUE;
  c.SleepButtonPresent = TRUE;
  c.LidPresent = TRUE;
  c.SystemS1 = FALSE;
  c.SystemS2 = FALSE;
  c.SystemS3 = TRUE;
  c.SystemS4 = TRUE;
  c.SystemS5 = TRUE;
  c.HiberFilePresent = TRUE;
  c.FullWake = TRUE;
  c.VideoDimPresent = TRUE;
  c.ApmPresent = FALSE;
  c.UpsPresent = FALSE;
  c.ThermalControl = TRUE;
  c.ProcessorThrottle = TRUE;
  c.ProcessorMinThrottle = 25;
  c.ProcessorMaxThrottle = 100;
  c.DiskSpinDown = TRUE;
  c.SystemBatteriesPresent = TRUE;
  c.BatteriesAreShortTerm = FALSE;
  c.AcOnLineWake = PowerSystemSleeping3;
  c.SoftLidWake = PowerSystemSleeping3;
  c.RtcWake = PowerSystemSleeping3;
  c.MinDeviceWakeState = PowerSystemSleeping1;
  c.DefaultLowLatencyWake = PowerSystemUnspecified;

  // The main battery discharges at a laptop's usual drain; the second one (a bay battery)
  // rests nearly empty.
  SimBattery main = MakeBattery("LGC", "42T4969", " 7392", "LION", 93600, 93550, 81400, 12868, -14500, 0);
  main.info.Capabilities |= BATTERY_SET_CHARGE_SUPPORTED | BATTERY_SET_DISCHARGE_SUPPORTED;
  main.tag = 1;
  main.manufacture_date = BATTERY_MANUFACTURE_DATE{14, 3, 2011};
  main.unsupported = LevelBit(BatteryTemperature);
  // About a fifth of the capacity lost over 500 cycles, and a few per cent a year on the shelf.
  main.fade_per_cycle = 0.0004;
  main.fade_per_year = 0.03;
  SimBattery bay = MakeBattery("SANYO", "00HW022", " 1242", "LiP", 23510, 25860, 2420, 10459, 0, 5);
  bay.power_state = 0;
  bay.tag = 1;  // slots number their tags independently
  bay.temperature = 2981;
  bay.unsupported = LevelBit(BatteryManufactureDate);
  s.batteries = {main, bay};

  s.schemes = DefaultSchemes();
  s.active_scheme = 1;
  s.global = DefaultGlobalPolicy();
  AddDefaultPlans(s);
  return s;
}

// ---- state file -------------------------------------------------------------------------------

bool LoadState(const std::string& path, SimState& state) {
  if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  Profile p(path);
  SimState s;
  s.time_scale = std::strtod(p.Text("Machine", "TimeScale", "1").c_str(), nullptr);
  s.shutdown_privilege = p.Number("Machine", "ShutdownPrivilege", 1) != 0;
  s.lcd_device = p.Number("Machine", "LcdDevice", 1) != 0;
  s.processor_functions = p.Number("Machine", "ProcessorFunctions", 1) != 0;
  s.hiber_file_present = p.Number("Machine", "HiberFilePresent", 1) != 0;
  s.timer_resume = p.Number("Machine", "TimerResume", 1) != 0;
  s.suspend_seconds = static_cast<DWORD>(p.Number("Machine", "SuspendSeconds", 30));
  s.suspend_refused = p.Number("Machine", "SuspendRefused", 0) != 0;
  s.ac_line_status = static_cast<int>(p.Number("Machine", "AcLineStatus", -1));
  s.clock = p.Number("Machine", "Clock", 0);
  if (std::sscanf(p.Text("Machine", "Routine").c_str(), "%d-%d", &s.routine_from, &s.routine_to) != 2)
    s.routine_from = s.routine_to = -1;

  SYSTEM_POWER_CAPABILITIES& c = s.capabilities;
  auto flag = [&](const char* key, long long fallback = 0) {
    return static_cast<BOOLEAN>(p.Number("Capabilities", key, fallback) != 0);
  };
  c.PowerButtonPresent = flag("PowerButtonPresent");
  c.SleepButtonPresent = flag("SleepButtonPresent");
  c.LidPresent = flag("LidPresent");
  c.SystemS1 = flag("SystemS1");
  c.SystemS2 = flag("SystemS2");
  c.SystemS3 = flag("SystemS3");
  c.SystemS4 = flag("SystemS4");
  c.SystemS5 = flag("SystemS5");
  c.HiberFilePresent = static_cast<BOOLEAN>(s.hiber_file_present);
  c.FullWake = flag("FullWake");
  c.VideoDimPresent = flag("VideoDimPresent");
  c.ThermalControl = flag("ThermalControl");
  c.ProcessorThrottle = flag("ProcessorThrottle");
  c.ProcessorMinThrottle = static_cast<BYTE>(p.Number("Capabilities", "ProcessorMinThrottle", 100));
  c.ProcessorMaxThrottle = static_cast<BYTE>(p.Number("Capabilities", "ProcessorMaxThrottle", 100));
  c.DiskSpinDown = flag("DiskSpinDown");
  c.SystemBatteriesPresent = flag("SystemBatteriesPresent");
  c.BatteriesAreShortTerm = flag("BatteriesAreShortTerm");
  c.AcOnLineWake = static_cast<SYSTEM_POWER_STATE>(p.Number("Capabilities", "AcOnLineWake", 0));
  c.SoftLidWake = static_cast<SYSTEM_POWER_STATE>(p.Number("Capabilities", "SoftLidWake", 0));
  c.RtcWake = static_cast<SYSTEM_POWER_STATE>(p.Number("Capabilities", "RtcWake", 0));
  c.MinDeviceWakeState = static_cast<SYSTEM_POWER_STATE>(p.Number("Capabilities", "MinDeviceWakeState", 0));
  c.DefaultLowLatencyWake = static_cast<SYSTEM_POWER_STATE>(p.Number("Capabilities", "DefaultLowLatencyWake", 0));

  long long count = p.Number("Batteries", "Count", 0);
  for (long long i = 0; i < count && i < 64; ++i) {
    std::string sec = BatterySection(static_cast<size_t>(i));
    const char* n = sec.c_str();
    SimBattery b;
    b.answers = p.Number(n, "Answers", 1) != 0;
    b.open_fails = p.Number(n, "OpenFails", 0) != 0;
    b.tag = static_cast<ULONG>(p.Number(n, "Tag", 1));
    b.device_name = p.Text(n, "DeviceName");
    b.manufacture_name = p.Text(n, "ManufactureName");
    b.serial_number = p.Text(n, "SerialNumber");
    b.unique_id = p.Text(n, "UniqueId");
    int day = 0, month = 0, year = 0;
    if (std::sscanf(p.Text(n, "ManufactureDate").c_str(), "%d/%d/%d", &day, &month, &year) == 3) {
      b.manufacture_date.Day = static_cast<UCHAR>(day);
      b.manufacture_date.Month = static_cast<UCHAR>(month);
      b.manufacture_date.Year = static_cast<USHORT>(year);
    }
    b.info.Capabilities = static_cast<ULONG>(p.Number(n, "Capabilities", BATTERY_SYSTEM_BATTERY));
    b.info.Technology = static_cast<UCHAR>(p.Number(n, "Technology", 1));
    std::string chemistry = p.Text(n, "Chemistry");
    for (size_t k = 0; k < 4 && k < chemistry.size(); ++k) b.info.Chemistry[k] = static_cast<UCHAR>(chemistry[k]);
    b.info.DesignedCapacity = static_cast<ULONG>(p.Number(n, "DesignedCapacity", 0));
    b.info.FullChargedCapacity = static_cast<ULONG>(p.Number(n, "FullChargedCapacity", 0));
    b.info.DefaultAlert1 = static_cast<ULONG>(p.Number(n, "DefaultAlert1", 0));
    b.info.DefaultAlert2 = static_cast<ULONG>(p.Number(n, "DefaultAlert2", 0));
    b.info.CriticalBias = static_cast<ULONG>(p.Number(n, "CriticalBias", 0));
    b.info.CycleCount = static_cast<ULONG>(p.Number(n, "CycleCount", 0));
    b.capacity = static_cast<ULONG>(p.Number(n, "Capacity", 0));
    b.voltage = static_cast<ULONG>(p.Number(n, "Voltage", 0));
    b.rate = static_cast<LONG>(p.Number(n, "Rate", 0));
    b.power_state = static_cast<ULONG>(p.Number(n, "PowerState", 0));
    b.temperature = static_cast<ULONG>(p.Number(n, "Temperature", 0));
    // Per cent of the design capacity in the file, fractions here.
    b.fade_per_cycle = std::strtod(p.Text(n, "FadePerCycle", "0").c_str(), nullptr) / 100;
    b.fade_per_year = std::strtod(p.Text(n, "FadePerYear", "0").c_str(), nullptr) / 100;
    b.unsupported = 0;
    std::string levels = p.Text(n, "Unsupported");
    for (const char* q = levels.c_str(); *q;) {
      char* end = nullptr;
      long level = std::strtol(q, &end, 10);
      if (end == q) {
        ++q;
        continue;
      }
      if (level >= 0 && level < 32) b.unsupported |= LevelBit(static_cast<int>(level));
      q = end;
    }
    s.batteries.push_back(std::move(b));
  }

  long long schemes = p.Number("Schemes", "Count", 0);
  for (long long i = 0; i < schemes && i < 1024; ++i) {
    std::string sec = SchemeSection(static_cast<size_t>(i));
    const char* n = sec.c_str();
    SimScheme scheme;
    scheme.id = static_cast<UINT>(p.Number(n, "Id", i));
    scheme.name = Widen(p.Text(n, "Name"));
    scheme.description = Widen(p.Text(n, "Description"));
    p.Struct(n, "Policy", scheme.policy);
    p.Struct(n, "ProcessorPolicy", scheme.processor);
    s.schemes.push_back(std::move(scheme));
  }
  s.active_scheme = static_cast<UINT>(p.Number("Schemes", "Active", 0));
  p.Struct("GlobalPolicy", "Policy", s.global);
  LoadPlanState(path, s);
  state = std::move(s);
  return true;
}

void SaveMachineSection(const std::string& path, const SimState& s) {
  Profile p(path);
  char scale[32];
  std::snprintf(scale, sizeof scale, "%g", s.time_scale);
  p.SetText("Machine", "TimeScale", scale);
  p.SetNumber("Machine", "ShutdownPrivilege", s.shutdown_privilege);
  p.SetNumber("Machine", "LcdDevice", s.lcd_device);
  p.SetNumber("Machine", "ProcessorFunctions", s.processor_functions);
  p.SetNumber("Machine", "HiberFilePresent", s.hiber_file_present);
  p.SetNumber("Machine", "TimerResume", s.timer_resume);
  p.SetNumber("Machine", "SuspendSeconds", s.suspend_seconds);
  p.SetNumber("Machine", "SuspendRefused", s.suspend_refused);
}

namespace {
void WriteSchemeSection(const Profile& p, const SimScheme& scheme, size_t index) {
  std::string sec = SchemeSection(index);
  const char* n = sec.c_str();
  p.ClearSection(n);
  p.SetNumber(n, "Id", scheme.id);
  p.SetText(n, "Name", Narrow(scheme.name));
  p.SetText(n, "Description", Narrow(scheme.description));
  p.SetStruct(n, "Policy", scheme.policy);
  p.SetStruct(n, "ProcessorPolicy", scheme.processor);
}
}  // namespace

void SaveSchemes(const std::string& path, const SimState& s) {
  Profile p(path);
  // Drop sections of schemes that no longer exist.
  long long old_schemes = p.Number("Schemes", "Count", 0);
  for (long long i = static_cast<long long>(s.schemes.size()); i < old_schemes; ++i)
    p.ClearSection(SchemeSection(static_cast<size_t>(i)).c_str());
  p.SetNumber("Schemes", "Count", static_cast<long long>(s.schemes.size()));
  p.SetNumber("Schemes", "Active", s.active_scheme);
  for (size_t i = 0; i < s.schemes.size(); ++i) WriteSchemeSection(p, s.schemes[i], i);
}

void SaveScheme(const std::string& path, const SimState& s, size_t index) {
  if (index >= s.schemes.size()) return;
  Profile p(path);
  p.SetNumber("Schemes", "Count", static_cast<long long>(s.schemes.size()));
  p.SetNumber("Schemes", "Active", s.active_scheme);
  WriteSchemeSection(p, s.schemes[index], index);
}

void SaveGlobalPolicy(const std::string& path, const SimState& s) {
  Profile(path).SetStruct("GlobalPolicy", "Policy", s.global);
}

bool SaveState(const std::string& path, const SimState& s) {
  Profile p(path);
  SaveMachineSection(path, s);
  // Not part of the machine section: the running machine never writes the adapter's state back
  // over an edit made while it runs.
  if (s.clock > 0) p.SetNumber("Machine", "Clock", s.clock);
  if (s.routine_from >= 0 && s.routine_to >= 0)
    p.SetText("Machine", "Routine", std::to_string(s.routine_from) + "-" + std::to_string(s.routine_to));
  if (s.ac_line_status >= 0) {
    p.SetNumber("Machine", "AcLineStatus", s.ac_line_status);
  } else {
    ::WritePrivateProfileStringA("Machine", "AcLineStatus", nullptr, path.c_str());
  }

  const SYSTEM_POWER_CAPABILITIES& c = s.capabilities;
  p.ClearSection("Capabilities");
  p.SetNumber("Capabilities", "PowerButtonPresent", c.PowerButtonPresent);
  p.SetNumber("Capabilities", "SleepButtonPresent", c.SleepButtonPresent);
  p.SetNumber("Capabilities", "LidPresent", c.LidPresent);
  p.SetNumber("Capabilities", "SystemS1", c.SystemS1);
  p.SetNumber("Capabilities", "SystemS2", c.SystemS2);
  p.SetNumber("Capabilities", "SystemS3", c.SystemS3);
  p.SetNumber("Capabilities", "SystemS4", c.SystemS4);
  p.SetNumber("Capabilities", "SystemS5", c.SystemS5);
  p.SetNumber("Capabilities", "FullWake", c.FullWake);
  p.SetNumber("Capabilities", "VideoDimPresent", c.VideoDimPresent);
  p.SetNumber("Capabilities", "ThermalControl", c.ThermalControl);
  p.SetNumber("Capabilities", "ProcessorThrottle", c.ProcessorThrottle);
  p.SetNumber("Capabilities", "ProcessorMinThrottle", c.ProcessorMinThrottle);
  p.SetNumber("Capabilities", "ProcessorMaxThrottle", c.ProcessorMaxThrottle);
  p.SetNumber("Capabilities", "DiskSpinDown", c.DiskSpinDown);
  p.SetNumber("Capabilities", "SystemBatteriesPresent", c.SystemBatteriesPresent);
  p.SetNumber("Capabilities", "BatteriesAreShortTerm", c.BatteriesAreShortTerm);
  p.SetNumber("Capabilities", "AcOnLineWake", c.AcOnLineWake);
  p.SetNumber("Capabilities", "SoftLidWake", c.SoftLidWake);
  p.SetNumber("Capabilities", "RtcWake", c.RtcWake);
  p.SetNumber("Capabilities", "MinDeviceWakeState", c.MinDeviceWakeState);
  p.SetNumber("Capabilities", "DefaultLowLatencyWake", c.DefaultLowLatencyWake);

  // Drop sections of batteries and schemes that no longer exist.
  long long old_batteries = Profile(path).Number("Batteries", "Count", 0);
  for (long long i = static_cast<long long>(s.batteries.size()); i < old_batteries; ++i)
    p.ClearSection(BatterySection(static_cast<size_t>(i)).c_str());
  p.SetNumber("Batteries", "Count", static_cast<long long>(s.batteries.size()));
  for (size_t i = 0; i < s.batteries.size(); ++i) {
    const SimBattery& b = s.batteries[i];
    std::string sec = BatterySection(i);
    const char* n = sec.c_str();
    p.ClearSection(n);
    p.SetNumber(n, "Answers", b.answers);
    p.SetNumber(n, "OpenFails", b.open_fails);
    p.SetNumber(n, "Tag", b.tag);
    p.SetText(n, "DeviceName", b.device_name);
    p.SetText(n, "ManufactureName", b.manufacture_name);
    p.SetText(n, "SerialNumber", b.serial_number);
    p.SetText(n, "UniqueId", b.unique_id);
    char date[32];
    std::snprintf(date, sizeof date, "%u/%u/%u", b.manufacture_date.Day, b.manufacture_date.Month,
                  b.manufacture_date.Year);
    p.SetText(n, "ManufactureDate", date);
    p.SetHex(n, "Capabilities", b.info.Capabilities);
    p.SetNumber(n, "Technology", b.info.Technology);
    std::string chemistry;
    for (UCHAR ch : b.info.Chemistry) {
      if (!ch) break;
      chemistry += static_cast<char>(ch);
    }
    p.SetText(n, "Chemistry", chemistry);
    p.SetNumber(n, "DesignedCapacity", b.info.DesignedCapacity);
    p.SetNumber(n, "FullChargedCapacity", b.info.FullChargedCapacity);
    p.SetNumber(n, "DefaultAlert1", b.info.DefaultAlert1);
    p.SetNumber(n, "DefaultAlert2", b.info.DefaultAlert2);
    p.SetNumber(n, "CriticalBias", b.info.CriticalBias);
    p.SetNumber(n, "CycleCount", b.info.CycleCount);
    p.SetNumber(n, "Capacity", b.capacity);
    p.SetNumber(n, "Voltage", b.voltage);
    p.SetNumber(n, "Rate", b.rate);
    p.SetHex(n, "PowerState", b.power_state);
    p.SetNumber(n, "Temperature", b.temperature);
    if (b.fade_per_cycle > 0 || b.fade_per_year > 0) {
      char fade[32];
      std::snprintf(fade, sizeof fade, "%g", b.fade_per_cycle * 100);
      p.SetText(n, "FadePerCycle", fade);
      std::snprintf(fade, sizeof fade, "%g", b.fade_per_year * 100);
      p.SetText(n, "FadePerYear", fade);
    }
    std::string levels;
    for (int level = 0; level < 32; ++level) {
      if (b.unsupported & LevelBit(level)) levels += (levels.empty() ? "" : ",") + std::to_string(level);
    }
    p.SetText(n, "Unsupported", levels);
  }

  SaveSchemes(path, s);
  SaveGlobalPolicy(path, s);
  SavePlanState(path, s);
  return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// ---- the machine ----------------------------------------------------------------------------------

namespace {
// Seconds since 1970 (UTC) of the real clock.
double RealClock() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<double>(ticks / 10000000ull) - 11644473600.0;
}
}  // namespace

SimulatedMachine::SimulatedMachine(std::string iniPath) : ini_path_(std::move(iniPath)), start_tick_(::GetTickCount()) {
  ::InitializeCriticalSection(&lock_);
  if (!LoadState(ini_path_, state_)) {
    state_ = DefaultLaptop();
    SaveState(ini_path_, state_);
  }
  wall_start_ = state_.clock > 0 ? static_cast<double>(state_.clock) : RealClock();
  routine_done_ = -1;
  g_current = this;
}

SimulatedMachine::SimulatedMachine(std::string iniPath, SimState state)
    : ini_path_(std::move(iniPath)), state_(std::move(state)), start_tick_(::GetTickCount()) {
  ::InitializeCriticalSection(&lock_);
  wall_start_ = state_.clock > 0 ? static_cast<double>(state_.clock) : RealClock();
  routine_done_ = -1;
  g_current = this;
}

SimulatedMachine::~SimulatedMachine() {
  // A machine with a clock of its own goes on from where this run leaves it: its time, and its
  // batteries as they have aged.
  if (state_.clock > 0 && !ini_path_.empty()) {
    Profile p(ini_path_);
    p.SetNumber("Machine", "Clock", static_cast<long long>(WallClock()));
    for (size_t i = 0; i < state_.batteries.size(); ++i) {
      const SimBattery& b = state_.batteries[i];
      if (b.fade_per_cycle <= 0 && b.fade_per_year <= 0) continue;
      const BATTERY_INFORMATION aged = BatteryInformationNow(i);
      const std::string section = BatterySection(i);
      p.SetNumber(section.c_str(), "FullChargedCapacity", aged.FullChargedCapacity);
      p.SetNumber(section.c_str(), "CycleCount", aged.CycleCount);
    }
  }
  if (g_current == this) g_current = nullptr;
  ::DeleteCriticalSection(&lock_);
}

SimulatedMachine* SimulatedMachine::Current() noexcept { return g_current; }

double SimulatedMachine::Now() const noexcept {
  DWORD elapsed_ms = ::GetTickCount() - start_tick_;
  return elapsed_ms / 1000.0 * state_.time_scale + advanced_;
}

void SimulatedMachine::Advance(double seconds) noexcept { advanced_ += seconds; }

std::vector<std::string> SimulatedMachine::Log() const {
  Lock lock(*this);
  Profile p(ini_path_);
  std::vector<std::string> lines;
  long long count = p.Number("Log", "Count", 0);
  for (long long i = 1; i <= count; ++i) lines.push_back(p.Text("Log", std::to_string(i).c_str()));
  return lines;
}

void SimulatedMachine::AppendLog(const std::string& line) {
  Lock lock(*this);
  Profile p(ini_path_);
  long long count = p.Number("Log", "Count", 0) + 1;
  p.SetText("Log", std::to_string(count).c_str(), line);
  p.SetNumber("Log", "Count", count);
}

void SimulatedMachine::SetAcLineStatus(int status) {
  Lock lock(*this);
  state_.ac_line_status = status;
  if (status >= 0) {
    Profile(ini_path_).SetNumber("Machine", "AcLineStatus", status);
  } else {
    ::WritePrivateProfileStringA("Machine", "AcLineStatus", nullptr, ini_path_.c_str());
  }
}

BOOL SimulatedMachine::GetSystemPowerStatus(LPSYSTEM_POWER_STATUS status) {
  if (!status) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  FollowRoutine();
  // The adapter is outside the machine: an edit of the state file plugs it in or out at run time.
  state_.ac_line_status = static_cast<int>(Profile(ini_path_).Number("Machine", "AcLineStatus", state_.ac_line_status));
  unsigned long long remaining = 0, full = 0;
  long long rate = 0;
  bool present = false, on_line = false, charging = false;
  for (size_t i = 0; i < state_.batteries.size(); ++i) {
    const SimBattery& b = state_.batteries[i];
    if (!b.answers || b.tag == 0) continue;
    present = true;
    const BATTERY_STATUS live = BatteryStatusNow(i);
    on_line = on_line || (live.PowerState & BATTERY_POWER_ON_LINE);
    charging = charging || (live.PowerState & BATTERY_CHARGING);
    if (live.Capacity != BATTERY_UNKNOWN_CAPACITY) {
      remaining += live.Capacity;
      full += b.info.FullChargedCapacity;
    }
    if (live.Rate != static_cast<LONG>(BATTERY_UNKNOWN_RATE)) rate += live.Rate;
  }
  *status = SYSTEM_POWER_STATUS{};
  const int ac = state_.ac_line_status;
  status->ACLineStatus = ac < 0 ? (on_line || !present ? AC_LINE_ONLINE : AC_LINE_OFFLINE)
                         : ac <= 1 ? static_cast<BYTE>(ac)
                                   : AC_LINE_UNKNOWN;
  const unsigned percent = full ? static_cast<unsigned>(std::min<unsigned long long>(remaining * 100 / full, 100)) : 255;
  status->BatteryLifePercent = static_cast<BYTE>(percent);
  if (!present) {
    status->BatteryFlag = BATTERY_FLAG_NO_BATTERY;
  } else if (percent == 255) {
    status->BatteryFlag = BATTERY_FLAG_UNKNOWN;
  } else {
    status->BatteryFlag = static_cast<BYTE>((percent > 66 ? BATTERY_FLAG_HIGH : 0) | (percent < 33 ? BATTERY_FLAG_LOW : 0) |
                                            (percent < 5 ? BATTERY_FLAG_CRITICAL : 0) |
                                            (charging ? BATTERY_FLAG_CHARGING : 0));
  }
  // As on a real machine, no time is estimated while the adapter feeds it.
  status->BatteryLifeTime = rate < 0 && status->ACLineStatus == AC_LINE_OFFLINE ? static_cast<DWORD>(remaining * 3600 / static_cast<unsigned long long>(-rate))
                                     : BATTERY_LIFE_UNKNOWN;
  status->BatteryFullLifeTime = BATTERY_LIFE_UNKNOWN;
  return Succeed<BOOL>(TRUE);
}

void SimulatedMachine::GetSystemTimeAsFileTime(LPFILETIME time) {
  if (!time) return;
  const double seconds = std::max(0.0, WallClock() + 11644473600.0);
  const unsigned long long ticks = static_cast<unsigned long long>(seconds * 10000000.0);
  time->dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
  time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

void SimulatedMachine::ClearLog() {
  Lock lock(*this);
  Profile(ini_path_).ClearSection("Log");
}

HANDLE SimulatedMachine::NewHandle(HandleKind kind, size_t index) {
  Lock lock(*this);
  handles_.push_back(OpenHandle{kind, index, true});
  // Tagged values far from anything the system hands out; never passed to a system call.
  uintptr_t value = 0x5E000000u + (handles_.size() << 4);
  return reinterpret_cast<HANDLE>(value);
}

bool SimulatedMachine::LookupHandle(HANDLE handle, HandleKind kind, size_t* index) const {
  Lock lock(*this);
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value < 0x5E000000u || (value & 0xF) != 0) return false;
  size_t slot = ((value - 0x5E000000u) >> 4);
  if (slot == 0 || slot > handles_.size()) return false;
  const OpenHandle& h = handles_[slot - 1];
  if (!h.open || h.kind != kind) return false;
  if (index) *index = h.index;
  return true;
}

bool SimulatedMachine::ReleaseHandle(HANDLE handle) {
  Lock lock(*this);
  uintptr_t value = reinterpret_cast<uintptr_t>(handle);
  if (value < 0x5E000000u || (value & 0xF) != 0) return false;
  size_t slot = ((value - 0x5E000000u) >> 4);
  if (slot == 0 || slot > handles_.size() || !handles_[slot - 1].open) return false;
  handles_[slot - 1].open = false;
  return true;
}

size_t SimulatedMachine::OpenHandleCount() const noexcept {
  Lock lock(*this);
  size_t open = 0;
  for (const OpenHandle& h : handles_) open += h.open ? 1 : 0;
  return open;
}

BOOL SimulatedMachine::CloseHandle(HANDLE handle) {
  if (ReleaseHandle(handle)) return TRUE;
  // Timers are real kernel objects even on the simulated machine.
  ForgetTimer(handle);
  return ::CloseHandle(handle);
}

}  // namespace vantrel::platform::sim

// ---- the back end of vantrel-sim.exe ------------------------------------------------------------

namespace vantrel::platform {

namespace {
sim::SimulatedMachine* g_machine = nullptr;

// The state file: VANTREL_SIM_INI when set (tests and demos point it elsewhere), otherwise
// vantrel-sim.ini beside the program.
std::string StateFilePath(HINSTANCE instance) {
  char buffer[MAX_PATH * 2] = {};
  DWORD n = ::GetEnvironmentVariableA("VANTREL_SIM_INI", buffer, sizeof buffer);
  if (n > 0 && n < sizeof buffer) return buffer;
  n = ::GetModuleFileNameA(instance, buffer, sizeof buffer);
  std::string path(buffer, n < sizeof buffer ? n : 0);
  size_t slash = path.find_last_of('\\');
  path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  return path + "vantrel-sim.ini";
}
}  // namespace

bool StartBackend(HINSTANCE instance) {
  if (!g_machine) g_machine = new sim::SimulatedMachine(StateFilePath(instance));
  InstallSystemApi(g_machine);
  return true;
}

void StopBackend() {
  InstallSystemApi(nullptr);
  delete g_machine;
  g_machine = nullptr;
}

const char* BackendLabel() { return " (simulated)"; }

}  // namespace vantrel::platform
