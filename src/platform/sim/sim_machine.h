// The simulated machine: a laptop with batteries, power schemes and power actions, emulated
// faithfully enough that every battery and policy behaviour of the program can be exercised
// on a machine without batteries, under Wine, where the power library is mostly stubs. Its
// state lives in an INI file (docs/simulated-machine.md describes the format), read and written
// with the system's own profile functions.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sim/sim_plans.h"
#include "platform/system_api.h"

namespace vantrel::platform::sim {

// A simulated call's outcome: the value it returns, with the thread's last error set as the
// real function would leave it.
template <class T>
T Fail(DWORD error, T value) {
  ::SetLastError(error);
  return value;
}
template <class T>
T Succeed(T value) {
  ::SetLastError(ERROR_SUCCESS);
  return value;
}

// Information levels of IOCTL_BATTERY_QUERY_INFORMATION, as bits of SimBattery::unsupported.
constexpr unsigned LevelBit(int level) { return 1u << level; }

struct SimBattery {
  // The slot answers tag requests; a slot that never does makes every tag wait time out.
  bool answers = true;
  // CreateFile on the battery's interface fails (with ERROR_ACCESS_DENIED).
  bool open_fails = false;
  ULONG tag = 1;
  std::string device_name;
  std::string manufacture_name;
  std::string serial_number;
  std::string unique_id;
  BATTERY_MANUFACTURE_DATE manufacture_date{};
  BATTERY_INFORMATION info{};
  // Live state at simulated time `since` (zero in the state file): the capacity moves at the
  // rate while the power state says charging or discharging.
  ULONG capacity = 0;  // mWh, or BATTERY_UNKNOWN_CAPACITY
  ULONG voltage = 0;   // mV, or BATTERY_UNKNOWN_VOLTAGE
  LONG rate = 0;       // mW, negative while discharging, or BATTERY_UNKNOWN_RATE
  ULONG power_state = 0;
  // When a charge or discharge command or an exchange last reset the live state (not stored).
  double since = 0;
  ULONG temperature = 0;  // tenths of a kelvin
  // Information levels the device cannot supply (ERROR_INVALID_FUNCTION).
  unsigned unsupported = 0;
  // Ageing: the full-charged capacity loses these fractions of the design capacity per cycle
  // (a design capacity's worth of energy drawn) and per year of simulated time; the cycle count
  // grows with the energy drawn. `info` holds the figures at the machine's start.
  double fade_per_cycle = 0;
  double fade_per_year = 0;
  double drawn = 0;  // mWh drawn before `since` (not stored)
};

struct SimScheme {
  UINT id = 0;
  std::wstring name;
  std::wstring description;
  POWER_POLICY policy{};
  MACHINE_PROCESSOR_POWER_POLICY processor{};
};

struct SimState {
  double time_scale = 1.0;          // simulated seconds per real second
  bool shutdown_privilege = true;   // the user holds SeShutdownPrivilege
  bool lcd_device = true;           // "\\.\LCD" can be opened
  bool processor_functions = true;  // the power library exports the processor-scheme functions
  bool hiber_file_present = true;   // a hibernation file is reserved
  bool timer_resume = true;         // waitable timers can wake the machine
  DWORD suspend_seconds = 30;       // length of a simulated sleep that no wake timer ends earlier
  bool suspend_refused = false;     // an application or driver refuses every suspend request
  // The AC line: 0 on battery, 1 on mains, 255 unknown; -1 follows the batteries (on mains when
  // one is on line or none is present).
  int ac_line_status = -1;
  // The wall clock at the machine's start, in seconds since 1970 (UTC); 0 takes the real one.
  // When set, the machine writes its clock back when it ends, so that the next run goes on.
  long long clock = 0;
  // A day's use: from hour `routine_from` to `routine_to` (UTC) the machine runs on battery,
  // the rest of the day on mains, charging; -1: no routine.
  int routine_from = -1, routine_to = -1;
  SYSTEM_POWER_CAPABILITIES capabilities{};
  std::vector<SimBattery> batteries;
  std::vector<SimScheme> schemes;  // in enumeration order
  UINT active_scheme = 0;
  GLOBAL_POWER_POLICY global{};
  // The power interface the machine answers, and its plans (sim_plans.h).
  SimPowerBackend power_backend = SimPowerBackend::Xp;
  SimPlanStore plans;
};

// The default laptop of a first run: two batteries with the figures of real ones, the classic
// default power schemes and global policy.
SimState DefaultLaptop();
// The classic default schemes alone (ids 0 to 5).
std::vector<SimScheme> DefaultSchemes();
GLOBAL_POWER_POLICY DefaultGlobalPolicy();

// Reads a state file; missing keys take the values of an empty SimState (no batteries, no
// schemes). Returns false when the file does not exist.
bool LoadState(const std::string& path, SimState& state);
// Writes the whole state file (the action log is kept).
bool SaveState(const std::string& path, const SimState& state);
// Writes one part of the state file: [Machine]; [Schemes] with every scheme section; one
// scheme's section with the scheme count and the active id; [GlobalPolicy].
void SaveMachineSection(const std::string& path, const SimState& state);
void SaveSchemes(const std::string& path, const SimState& state);
void SaveScheme(const std::string& path, const SimState& state, size_t index);
void SaveGlobalPolicy(const std::string& path, const SimState& state);

// A waitable timer created through the machine: a real kernel object whose arming the
// machine records, so that a simulated sleep can end at its due time.
struct SimTimer {
  HANDLE handle = nullptr;  // the real timer
  std::string name;
  bool open = true;
  bool armed = false;
  bool resume = false;        // armed to wake the machine, and the machine supports it
  double due = 0;             // simulated seconds (SimulatedMachine::Now) when it fires
  PTIMERAPCROUTINE completion = nullptr;
  LPVOID argument = nullptr;
  HANDLE thread = nullptr;    // the arming thread, where the completion routine runs
  HANDLE fired = nullptr;     // manual-reset event: the routine has run for this arming
  volatile LONG fire_claimed = 0;  // the routine runs once per arming, whoever fires first
  SimTimer() = default;
  SimTimer(const SimTimer&) = delete;
  SimTimer& operator=(const SimTimer&) = delete;
  ~SimTimer();
};

class SimulatedMachine : public SystemApi {
 public:
  // Loads the state file, creating it with the default laptop when it does not exist.
  explicit SimulatedMachine(std::string iniPath);
  // Runs on a given state; `iniPath` receives what the program changes and the action log.
  SimulatedMachine(std::string iniPath, SimState state);
  ~SimulatedMachine() override;
  SimulatedMachine(const SimulatedMachine&) = delete;
  SimulatedMachine& operator=(const SimulatedMachine&) = delete;

  const std::string& ini_path() const noexcept { return ini_path_; }
  SimState& state() noexcept { return state_; }
  const SimState& state() const noexcept { return state_; }

  // Simulated seconds since the machine started: real time scaled, plus what Advance added.
  double Now() const noexcept;
  void Advance(double seconds) noexcept;
  // The simulated wall clock: seconds since 1970 (UTC).
  double WallClock() const noexcept { return wall_start_ + Now(); }

  // The actions the machine recorded instead of performing them (log off, shut down, suspend,
  // timers, beeps…), oldest first; also kept in the state file's [Log] section.
  std::vector<std::string> Log() const;
  void AppendLog(const std::string& line);
  void ClearLog();

  // Handles of simulated devices and tokens that are open right now.
  size_t OpenHandleCount() const noexcept;
  // Waitable timers created through the machine and not closed yet.
  size_t OpenTimerCount() const noexcept;

  // Takes battery `index` out and puts it (or `replacement`) back: the slot reports a new tag,
  // so requests carrying the old one fail with ERROR_FILE_NOT_FOUND. False without such a slot.
  bool ExchangeBattery(size_t index);
  bool ExchangeBattery(size_t index, SimBattery replacement);
  // The battery's live state now: capacity, rate and power state moved on with time.
  BATTERY_STATUS BatteryStatusNow(size_t index) const;
  // Its information record now: the full-charged capacity and the cycles as it has aged.
  BATTERY_INFORMATION BatteryInformationNow(size_t index) const;
  // Plugs the adapter in or out (or, with -1, lets the batteries tell) and writes it to the
  // state file, which GetSystemPowerStatus reads again on every call.
  void SetAcLineStatus(int status);

  // ---- SystemApi: device set-up and battery class driver (sim_battery.cpp) ----
  HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags) override;
  BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device, const GUID* interfaceGuid, DWORD index,
                                   PSP_DEVICE_INTERFACE_DATA data) override;
  BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                        PDWORD requiredSize, PSP_DEVINFO_DATA device) override;
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) override;
  HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                     DWORD flags, HANDLE templateFile) override;
  BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                       LPDWORD returned, LPOVERLAPPED overlapped) override;
  BOOL CloseHandle(HANDLE handle) override;

  // ---- SystemApi: power library, session, timers (sim_power.cpp) ----
  BOOLEAN EnumPwrSchemes(SchemeEnumProc callback, LPARAM context) override;
  BOOLEAN ReadPwrScheme(UINT id, PPOWER_POLICY policy) override;
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) override;
  BOOLEAN DeletePwrScheme(UINT id) override;
  BOOLEAN GetActivePwrScheme(PUINT id) override;
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) override;
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override;
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override;
  BOOLEAN GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES capabilities) override;
  BOOLEAN IsPwrSuspendAllowed() override;
  BOOLEAN IsPwrHibernateAllowed() override;
  BOOLEAN IsPwrShutdownAllowed() override;
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG inSize, PVOID out,
                              ULONG outSize) override;
  BOOLEAN SetSuspendState(BOOLEAN hibernate, BOOLEAN forceCritical, BOOLEAN disableWakeEvent) override;
  FARPROC GetPowerLibraryProc(LPCSTR name) override;
  BOOL ExitWindowsEx(UINT flags, DWORD reason) override;
  BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) override;
  BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) override;
  BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                             PTOKEN_PRIVILEGES previous, PDWORD returned) override;
  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, LPCSTR name) override;
  BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* dueTime, LONG period, PTIMERAPCROUTINE completion,
                        LPVOID argument, BOOL resume) override;
  BOOL CancelWaitableTimer(HANDLE timer) override;
  BOOL Beep(DWORD frequency, DWORD duration) override;
  BOOL GetSystemPowerStatus(LPSYSTEM_POWER_STATUS status) override;
  void GetSystemTimeAsFileTime(LPFILETIME time) override;

  // ---- SystemApi: power plans (sim_plans.cpp) ----
  DWORD PowerGetActiveScheme(HKEY root, GUID** active) override;
  DWORD PowerSetActiveScheme(HKEY root, const GUID* scheme) override;
  DWORD PowerEnumerate(HKEY root, const GUID* scheme, const GUID* subgroup, DWORD access, ULONG index, UCHAR* buffer,
                       DWORD* size) override;
  DWORD PowerReadFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                              DWORD* size) override;
  DWORD PowerWriteFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                               DWORD size) override;
  DWORD PowerReadDescription(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                             DWORD* size) override;
  DWORD PowerWriteDescription(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                              DWORD size) override;
  DWORD PowerReadACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                              DWORD* index) override;
  DWORD PowerReadDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                              DWORD* index) override;
  DWORD PowerWriteACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                               DWORD index) override;
  DWORD PowerWriteDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                               DWORD index) override;
  DWORD PowerReadACValue(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting, ULONG* type,
                         UCHAR* buffer, DWORD* size) override;
  DWORD PowerReadACDefaultIndex(HKEY root, const GUID* personality, const GUID* subgroup, const GUID* setting,
                                DWORD* index) override;
  DWORD PowerReadDCDefaultIndex(HKEY root, const GUID* personality, const GUID* subgroup, const GUID* setting,
                                DWORD* index) override;
  DWORD PowerDuplicateScheme(HKEY root, const GUID* source, GUID** destination) override;
  DWORD PowerDeleteScheme(HKEY root, const GUID* scheme) override;
  DWORD PowerReadValueMin(HKEY root, const GUID* subgroup, const GUID* setting, DWORD* value) override;
  DWORD PowerReadValueMax(HKEY root, const GUID* subgroup, const GUID* setting, DWORD* value) override;
  DWORD PowerReadValueIncrement(HKEY root, const GUID* subgroup, const GUID* setting, DWORD* value) override;
  DWORD PowerReadValueUnitsSpecifier(HKEY root, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                                     DWORD* size) override;
  BOOLEAN PowerIsSettingRangeDefined(const GUID* subgroup, const GUID* setting) override;
  DWORD PowerReadPossibleValue(HKEY root, const GUID* subgroup, const GUID* setting, ULONG* type, ULONG index,
                               UCHAR* buffer, DWORD* size) override;
  DWORD PowerReadPossibleFriendlyName(HKEY root, const GUID* subgroup, const GUID* setting, ULONG index,
                                      UCHAR* buffer, DWORD* size) override;
  DWORD PowerReadSettingAttributes(const GUID* subgroup, const GUID* setting) override;
  DWORD PowerSettingAccessCheck(DWORD access, const GUID* guid) override;
  DWORD PowerImportPowerScheme(HKEY root, LPCWSTR path, GUID** destination) override;
  DWORD PowerGetUserConfiguredACPowerMode(GUID* mode) override;
  DWORD PowerGetUserConfiguredDCPowerMode(GUID* mode) override;
  DWORD PowerSetUserConfiguredACPowerMode(const GUID* mode) override;
  DWORD PowerSetUserConfiguredDCPowerMode(const GUID* mode) override;

  // What the processor-scheme functions handed out by GetPowerLibraryProc do.
  BOOLEAN ReadProcessorPwrScheme(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy);
  BOOLEAN WriteProcessorPwrScheme(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy);

  // The machine whose processor-scheme functions GetPowerLibraryProc hands out.
  static SimulatedMachine* Current() noexcept;

 protected:
  // Simulated handles: small tagged values that no system call ever sees.
  enum class HandleKind { Battery, Lcd, Token, DeviceSet };
  HANDLE NewHandle(HandleKind kind, size_t index);
  // True when `handle` is open and of `kind`; its index is stored through `index`.
  bool LookupHandle(HANDLE handle, HandleKind kind, size_t* index) const;
  bool ReleaseHandle(HANDLE handle);

  // Serialises the state between the user-interface thread and a wake-up thread.
  class Lock {
   public:
    explicit Lock(const SimulatedMachine& machine) noexcept : cs_(&machine.lock_) { ::EnterCriticalSection(cs_); }
    ~Lock() { ::LeaveCriticalSection(cs_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    CRITICAL_SECTION* cs_;
  };

 private:
  // Battery class requests (sim_battery.cpp); `slot` is the battery the handle opened.
  BOOL QueryTag(size_t slot, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned);
  BOOL QueryInformation(size_t slot, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned);
  BOOL QueryStatus(size_t slot, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned);
  BOOL SetInformation(size_t slot, LPVOID in, DWORD inSize);
  // Carries the daily routine's changes of power source up to now (under the lock).
  void FollowRoutine();

  struct OpenHandle {
    HandleKind kind;
    size_t index;
    bool open;
  };

  std::string ini_path_;
  SimState state_;
  DWORD start_tick_;
  double advanced_ = 0;
  double wall_start_ = 0;
  double routine_done_ = 0;  // simulated time up to which the routine has been followed
  std::vector<OpenHandle> handles_;
  mutable CRITICAL_SECTION lock_;

  // ---- power library and session state (sim_power.cpp) ----
  // Marks a timer record closed when the program closes its handle.
  void ForgetTimer(HANDLE handle);
  SimTimer* FindTimer(HANDLE handle);
  // Makes a timer's completion routine run on its arming thread, as if it had fired; false when
  // it had run already or cannot run.
  bool FireTimer(SimTimer& timer);
  static VOID CALLBACK OnRealTimer(LPVOID record, DWORD lowTime, DWORD highTime);
  static VOID CALLBACK OnFireRequest(ULONG_PTR record);

  // ---- power plans (sim_plans.cpp) ----
  // The plan functions answer only on a plan machine; the XP scheme functions not on one
  // that has neither.
  bool PlansAnswer() const noexcept { return state_.power_backend == SimPowerBackend::Plans; }
  bool XpSchemesAnswer() const noexcept { return state_.power_backend != SimPowerBackend::None; }
  DWORD ReadIndex(const GUID* scheme, const GUID* subgroup, const GUID* setting, DWORD* index, bool dc);
  DWORD WriteIndex(const GUID* scheme, const GUID* subgroup, const GUID* setting, DWORD index, bool dc);
  DWORD ReadText(const GUID* scheme, const GUID* subgroup, const GUID* setting, UCHAR* buffer, DWORD* size,
                 bool description);
  DWORD WriteText(const GUID* scheme, const GUID* subgroup, const GUID* setting, const UCHAR* buffer, DWORD size,
                  bool description);
  DWORD ReadRange(const GUID* subgroup, const GUID* setting, DWORD* value, int which);
  DWORD ReadMode(GUID* mode, bool dc);
  DWORD WriteMode(const GUID* mode, bool dc);
  // Writes what a change touched to the state file: a plan's section, the activation, the
  // power modes, or the whole plan list.
  enum class PlanChange { Values, Activation, Modes, List };
  void SavePlans(PlanChange change, const SimPlan* plan = nullptr);

  bool shutdown_privilege_enabled_ = false;  // enabled in the process token
  bool pagefile_privilege_enabled_ = false;  // SeCreatePagefilePrivilege, the same
  std::vector<std::unique_ptr<SimTimer>> timers_;  // kept for the machine's life: APCs point at them
};

}  // namespace vantrel::platform::sim
