// The simulated power-management library, session and timers.
//
// Schemes, the active scheme, the global policy and the hibernation-file switch live in the
// machine's state and are written to its state file as soon as they change. Log off, shut
// down, reboot, suspend, timers and beeps are recorded in the [Log] section instead of being
// performed. Waitable timers are real kernel objects: the machine records their arming so
// that a simulated sleep ends at the due time of a timer allowed to resume the machine.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "platform/sim/sim_machine.h"

namespace vantrel::platform::sim {

namespace {

constexpr LONG kStatusSuccess = 0;
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002L);
constexpr LONG kStatusInvalidParameter = static_cast<LONG>(0xC000000DL);
constexpr LONG kStatusAccessDenied = static_cast<LONG>(0xC0000022L);
constexpr LONG kStatusBufferTooSmall = static_cast<LONG>(0xC0000023L);
constexpr LONG kStatusNotSupported = static_cast<LONG>(0xC00000BBL);

constexpr char kShutdownPrivilegeName[] = "SeShutdownPrivilege";
constexpr DWORD kShutdownPrivilegeLuid = 19;  // the system's fixed value of SE_SHUTDOWN_PRIVILEGE
constexpr DWORD kMaxPrivilegesPerCall = 64;
constexpr char kReadProcessorFunction[] = "ReadProcessorPwrScheme";
constexpr char kWriteProcessorFunction[] = "WriteProcessorPwrScheme";

// Texts the program hands over are read up to this many characters at most.
constexpr size_t kMaxSchemeText = 1024;
// A simulated sleep never blocks the caller longer than this, whatever the time scale.
constexpr double kMaxRealSleepSeconds = 1.0;
// How long a resume waits for a firing timer's completion routine.
constexpr DWORD kFireWaitMs = 2000;
constexpr double kTimerUnitsPerSecond = 1e7;

std::wstring BoundedWide(const wchar_t* text) {
  if (!text) return {};
  size_t length = 0;
  while (length < kMaxSchemeText && text[length] != L'\0') ++length;
  return std::wstring(text, length);
}

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  return line;
}

bool SameLuid(const LUID& a, DWORD low) { return a.LowPart == low && a.HighPart == 0; }

template <class F>
FARPROC AsFarProc(F function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

// The processor-scheme functions of the simulated power library: plain functions, as the
// real ones, that reach the machine in use.
BOOLEAN WINAPI SimReadProcessorPwrScheme(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy) {
  SimulatedMachine* machine = SimulatedMachine::Current();
  return machine ? machine->ReadProcessorPwrScheme(id, policy) : Fail<BOOLEAN>(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
}

BOOLEAN WINAPI SimWriteProcessorPwrScheme(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy) {
  SimulatedMachine* machine = SimulatedMachine::Current();
  return machine ? machine->WriteProcessorPwrScheme(id, policy) : Fail<BOOLEAN>(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
}

SimScheme* FindScheme(SimState& state, UINT id, size_t* index = nullptr) {
  for (size_t i = 0; i < state.schemes.size(); ++i) {
    if (state.schemes[i].id == id) {
      if (index) *index = i;
      return &state.schemes[i];
    }
  }
  return nullptr;
}

bool SuspendAllowed(const SimState& s) {
  return s.capabilities.SystemS1 || s.capabilities.SystemS2 || s.capabilities.SystemS3;
}
bool HibernateAllowed(const SimState& s) { return s.capabilities.SystemS4 && s.hiber_file_present; }

}  // namespace

// ---- schemes --------------------------------------------------------------------------------------
// A machine without the XP interface answers as Wine's library does: reads fail with 2,
// writes with 120.

BOOLEAN SimulatedMachine::EnumPwrSchemes(SchemeEnumProc callback, LPARAM context) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  if (!callback) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  // The callback may call the library again: it runs on a copy, outside the lock.
  std::vector<SimScheme> schemes;
  {
    Lock lock(*this);
    schemes = state_.schemes;
  }
  for (SimScheme& scheme : schemes) {
    DWORD nameSize = static_cast<DWORD>((scheme.name.size() + 1) * sizeof(WCHAR));
    DWORD descriptionSize = static_cast<DWORD>((scheme.description.size() + 1) * sizeof(WCHAR));
    if (!callback(scheme.id, nameSize, scheme.name.data(), descriptionSize, scheme.description.data(),
                  &scheme.policy, context))
      break;
  }
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::ReadPwrScheme(UINT id, PPOWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  if (!policy) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  const SimScheme* scheme = FindScheme(state_, id);
  if (!scheme) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  *policy = scheme->policy;
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (!id || !policy) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  size_t index = 0;
  SimScheme* scheme = FindScheme(state_, *id, &index);
  if (!scheme) {
    // A new index creates a scheme, listed last. Its processor policy is empty until written.
    SimScheme created;
    created.id = *id;
    created.processor.Revision = 1;
    state_.schemes.push_back(std::move(created));
    index = state_.schemes.size() - 1;
    scheme = &state_.schemes.back();
  }
  // A missing text keeps the stored one.
  if (name) scheme->name = BoundedWide(name);
  if (description) scheme->description = BoundedWide(description);
  scheme->policy = *policy;
  if (!ini_path_.empty()) SaveScheme(ini_path_, state_, index);
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::DeletePwrScheme(UINT id) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  Lock lock(*this);
  size_t index = 0;
  if (!FindScheme(state_, id, &index)) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  if (id == state_.active_scheme) return Fail<BOOLEAN>(ERROR_ACCESS_DENIED, FALSE);
  state_.schemes.erase(state_.schemes.begin() + static_cast<std::ptrdiff_t>(index));
  if (!ini_path_.empty()) SaveSchemes(ini_path_, state_);
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::GetActivePwrScheme(PUINT id) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  if (!id) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  *id = state_.active_scheme;
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  Lock lock(*this);
  size_t index = 0;
  SimScheme* scheme = FindScheme(state_, id, &index);
  if (!scheme) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  // Null records keep the stored ones.
  if (policy) scheme->policy = *policy;
  if (global) state_.global = *global;
  state_.active_scheme = id;
  if (!ini_path_.empty()) {
    SaveScheme(ini_path_, state_, index);
    if (global) SaveGlobalPolicy(ini_path_, state_);
  }
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::ReadProcessorPwrScheme(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  if (!policy) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  const SimScheme* scheme = FindScheme(state_, id);
  if (!scheme) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  *policy = scheme->processor;
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::WriteProcessorPwrScheme(UINT id, PMACHINE_PROCESSOR_POWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (!policy) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  size_t index = 0;
  SimScheme* scheme = FindScheme(state_, id, &index);
  if (!scheme) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  scheme->processor = *policy;
  if (!ini_path_.empty()) SaveScheme(ini_path_, state_, index);
  return Succeed<BOOLEAN>(TRUE);
}

FARPROC SimulatedMachine::GetPowerLibraryProc(LPCSTR name) {
  if (!name) return Fail<FARPROC>(ERROR_INVALID_PARAMETER, nullptr);
  bool exported = false;
  {
    Lock lock(*this);
    exported = state_.processor_functions;
  }
  if (exported && std::strcmp(name, kReadProcessorFunction) == 0)
    return Succeed(AsFarProc(&SimReadProcessorPwrScheme));
  if (exported && std::strcmp(name, kWriteProcessorFunction) == 0)
    return Succeed(AsFarProc(&SimWriteProcessorPwrScheme));
  return Fail<FARPROC>(ERROR_PROC_NOT_FOUND, nullptr);
}

// ---- global policy, capabilities, permissions -----------------------------------------------------

BOOLEAN SimulatedMachine::ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_FILE_NOT_FOUND, FALSE);
  if (!policy) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  *policy = state_.global;
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) {
  if (!XpSchemesAnswer()) return Fail<BOOLEAN>(ERROR_CALL_NOT_IMPLEMENTED, FALSE);
  if (!policy) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  state_.global = *policy;
  if (!ini_path_.empty()) SaveGlobalPolicy(ini_path_, state_);
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES capabilities) {
  if (!capabilities) return Fail<BOOLEAN>(ERROR_INVALID_PARAMETER, FALSE);
  Lock lock(*this);
  *capabilities = state_.capabilities;
  capabilities->HiberFilePresent = state_.hiber_file_present ? TRUE : FALSE;
  return Succeed<BOOLEAN>(TRUE);
}

BOOLEAN SimulatedMachine::IsPwrSuspendAllowed() {
  Lock lock(*this);
  return Succeed<BOOLEAN>(SuspendAllowed(state_) ? TRUE : FALSE);
}

BOOLEAN SimulatedMachine::IsPwrHibernateAllowed() {
  Lock lock(*this);
  return Succeed<BOOLEAN>(HibernateAllowed(state_) ? TRUE : FALSE);
}

BOOLEAN SimulatedMachine::IsPwrShutdownAllowed() {
  Lock lock(*this);
  return Succeed<BOOLEAN>(state_.capabilities.SystemS5 ? TRUE : FALSE);
}

LONG SimulatedMachine::CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG inSize, PVOID out,
                                              ULONG outSize) {
  if (level == SystemPowerCapabilities) {
    if (!out || outSize < sizeof(SYSTEM_POWER_CAPABILITIES)) return kStatusBufferTooSmall;
    GetPwrCapabilities(static_cast<PSYSTEM_POWER_CAPABILITIES>(out));
    return kStatusSuccess;
  }
  if (level != SystemReserveHiberFile) return kStatusNotImplemented;
  if (!in || inSize < sizeof(BOOLEAN)) return kStatusInvalidParameter;
  bool reserve = *static_cast<const BOOLEAN*>(in) != FALSE;
  Lock lock(*this);
  LONG status = kStatusSuccess;
  if (!state_.shutdown_privilege) {
    status = kStatusAccessDenied;  // a user without the power privileges
  } else if (reserve && !state_.capabilities.SystemS4) {
    status = kStatusNotSupported;
  } else {
    state_.hiber_file_present = reserve;
    state_.capabilities.HiberFilePresent = reserve ? TRUE : FALSE;
    if (!ini_path_.empty()) SaveMachineSection(ini_path_, state_);
  }
  AppendLog(Format("CallNtPowerInformation level=%d reserve=%d status=0x%lX", static_cast<int>(level),
                   reserve ? 1 : 0, static_cast<unsigned long>(status)));
  return status;
}

// ---- suspend -----------------------------------------------------------------------------------------

namespace {
BOOL CALLBACK SendPower(HWND window, LPARAM event) {
  DWORD_PTR answer = 0;
  ::SendMessageTimeoutA(window, WM_POWERBROADCAST, static_cast<WPARAM>(event), 0, SMTO_NORMAL, 1000, &answer);
  return TRUE;
}
void BroadcastPower(WPARAM event) {
  ::EnumThreadWindows(::GetCurrentThreadId(), &SendPower, static_cast<LPARAM>(event));
}
}  // namespace

BOOLEAN SimulatedMachine::SetSuspendState(BOOLEAN hibernate, BOOLEAN forceCritical, BOOLEAN disableWakeEvent) {
  AppendLog(Format("SetSuspendState hibernate=%d forceCritical=%d disableWakeEvent=%d", hibernate ? 1 : 0,
                   forceCritical ? 1 : 0, disableWakeEvent ? 1 : 0));
  double sleep = 0;
  double scale = 1;
  SimTimer* waker = nullptr;
  DWORD refusal = ERROR_SUCCESS;
  {
    Lock lock(*this);
    // Holding the privilege is not enough: this process must have enabled it.
    if (!state_.shutdown_privilege || !shutdown_privilege_enabled_) {
      refusal = ERROR_PRIVILEGE_NOT_HELD;
    } else if (hibernate ? !HibernateAllowed(state_) : !SuspendAllowed(state_)) {
      refusal = ERROR_NOT_SUPPORTED;
    } else if (state_.suspend_refused) {
      refusal = ERROR_OPERATION_ABORTED;  // an application or driver said no
    } else {
      sleep = state_.suspend_seconds;
      scale = state_.time_scale;
      // With wake events enabled, the earliest armed resume timer ends the sleep if it is due
      // before something else wakes the machine.
      double now = Now();
      for (const std::unique_ptr<SimTimer>& timer : timers_) {
        if (disableWakeEvent || !timer->open || !timer->armed || !timer->resume || timer->fire_claimed) continue;
        double remaining = timer->due > now ? timer->due - now : 0;
        if (remaining <= sleep) {
          sleep = remaining;
          waker = timer.get();
        }
      }
    }
  }
  if (refusal != ERROR_SUCCESS) {
    AppendLog(Format("SetSuspendState refused error=%lu", static_cast<unsigned long>(refusal)));
    return Fail<BOOLEAN>(refusal, FALSE);
  }

  // As the system does, the windows hear of the sleep before it and of the wake after it: those
  // of the calling thread only, which are reached directly and cannot hold the call up.
  BroadcastPower(PBT_APMSUSPEND);
  // The sleep passes in simulated time; the caller waits only a scaled, bounded moment.
  double wake_at = Now() + sleep;
  double real = scale > 0 ? sleep / scale : 0;
  if (real > kMaxRealSleepSeconds) real = kMaxRealSleepSeconds;
  ::Sleep(static_cast<DWORD>(real * 1000));
  double behind = wake_at - Now();
  if (behind > 0) Advance(behind);

  if (waker) FireTimer(*waker);
  AppendLog(Format("Resume after %.0f s%s", sleep, waker ? " (wake-up timer)" : ""));
  BroadcastPower(PBT_APMRESUMESUSPEND);
  return Succeed<BOOLEAN>(TRUE);
}

// ---- session -----------------------------------------------------------------------------------------

BOOL SimulatedMachine::ExitWindowsEx(UINT flags, DWORD reason) {
  std::string line = Format("ExitWindowsEx flags=0x%X reason=%lu", flags, static_cast<unsigned long>(reason));
  bool needs_privilege = (flags & (EWX_SHUTDOWN | EWX_REBOOT | EWX_POWEROFF)) != 0;
  bool enabled = false;
  {
    Lock lock(*this);
    enabled = shutdown_privilege_enabled_;
  }
  if (needs_privilege && !enabled) {
    AppendLog(line + Format(" refused error=%d", static_cast<int>(ERROR_PRIVILEGE_NOT_HELD)));
    return Fail<BOOL>(ERROR_PRIVILEGE_NOT_HELD, FALSE);
  }
  AppendLog(line);
  return Succeed<BOOL>(TRUE);
}

BOOL SimulatedMachine::OpenProcessToken(HANDLE, DWORD access, PHANDLE token) {
  if (!token) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
  // The token remembers the access it was opened with.
  *token = NewHandle(HandleKind::Token, access);
  return Succeed<BOOL>(TRUE);
}

BOOL SimulatedMachine::LookupPrivilegeValueA(LPCSTR, LPCSTR name, PLUID luid) {
  if (!luid) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
  if (!name || ::lstrcmpiA(name, kShutdownPrivilegeName) != 0) return Fail<BOOL>(ERROR_NO_SUCH_PRIVILEGE, FALSE);
  luid->LowPart = kShutdownPrivilegeLuid;
  luid->HighPart = 0;
  return Succeed<BOOL>(TRUE);
}

BOOL SimulatedMachine::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                             PTOKEN_PRIVILEGES previous, PDWORD returned) {
  size_t access = 0;
  if (!LookupHandle(token, HandleKind::Token, &access)) return Fail<BOOL>(ERROR_INVALID_HANDLE, FALSE);
  if (!(access & TOKEN_ADJUST_PRIVILEGES)) return Fail<BOOL>(ERROR_ACCESS_DENIED, FALSE);
  if (!disableAll && !state) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);

  Lock lock(*this);
  if (previous) {
    if (length < sizeof(TOKEN_PRIVILEGES)) {
      if (returned) *returned = sizeof(TOKEN_PRIVILEGES);
      return Fail<BOOL>(ERROR_INSUFFICIENT_BUFFER, FALSE);
    }
    previous->PrivilegeCount = 1;
    previous->Privileges[0].Luid.LowPart = kShutdownPrivilegeLuid;
    previous->Privileges[0].Luid.HighPart = 0;
    previous->Privileges[0].Attributes = shutdown_privilege_enabled_ ? SE_PRIVILEGE_ENABLED : 0;
  }
  if (returned) *returned = previous ? sizeof(TOKEN_PRIVILEGES) : 0;

  if (disableAll) {
    shutdown_privilege_enabled_ = false;
    AppendLog("AdjustTokenPrivileges disable all");
    return Succeed<BOOL>(TRUE);
  }
  // The call succeeds even when the account lacks a privilege; the last error tells.
  bool all_assigned = true;
  DWORD count = state->PrivilegeCount < kMaxPrivilegesPerCall ? state->PrivilegeCount : kMaxPrivilegesPerCall;
  for (DWORD i = 0; i < count; ++i) {
    const LUID_AND_ATTRIBUTES& entry = state->Privileges[i];
    if (!SameLuid(entry.Luid, kShutdownPrivilegeLuid) || !state_.shutdown_privilege) {
      all_assigned = false;
      continue;
    }
    shutdown_privilege_enabled_ = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
  }
  AppendLog(all_assigned ? Format("AdjustTokenPrivileges %s %s", kShutdownPrivilegeName,
                                  shutdown_privilege_enabled_ ? "enabled" : "disabled")
                         : Format("AdjustTokenPrivileges not all assigned error=%d", static_cast<int>(ERROR_NOT_ALL_ASSIGNED)));
  ::SetLastError(all_assigned ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED);
  return TRUE;
}

// ---- waitable timers and the speaker ----------------------------------------------------------------

SimTimer::~SimTimer() {
  // The machine goes first: keep the real timer from calling into a record that is gone.
  if (open && armed && handle) ::CancelWaitableTimer(handle);
  if (thread) ::CloseHandle(thread);
  if (fired) ::CloseHandle(fired);
}

SimTimer* SimulatedMachine::FindTimer(HANDLE handle) {
  Lock lock(*this);
  for (auto it = timers_.rbegin(); it != timers_.rend(); ++it) {
    if ((*it)->open && (*it)->handle == handle) return it->get();
  }
  return nullptr;
}

void SimulatedMachine::ForgetTimer(HANDLE handle) {
  Lock lock(*this);
  if (SimTimer* timer = FindTimer(handle)) {
    timer->open = false;
    timer->armed = false;
    if (timer->thread) ::CloseHandle(timer->thread);
    timer->thread = nullptr;
  }
}

size_t SimulatedMachine::OpenTimerCount() const noexcept {
  Lock lock(*this);
  size_t open = 0;
  for (const std::unique_ptr<SimTimer>& timer : timers_) open += timer->open ? 1 : 0;
  return open;
}

HANDLE SimulatedMachine::CreateWaitableTimerA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, LPCSTR name) {
  HANDLE handle = ::CreateWaitableTimerA(security, manualReset, name);
  DWORD error = ::GetLastError();  // ERROR_ALREADY_EXISTS for a second creation by name
  if (!handle) return nullptr;
  HANDLE fired = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!fired) {
    error = ::GetLastError();
    ::CloseHandle(handle);
    return Fail<HANDLE>(error, nullptr);
  }
  {
    Lock lock(*this);
    auto timer = std::make_unique<SimTimer>();
    timer->handle = handle;
    timer->name = name ? name : "";
    timer->fired = fired;
    timers_.push_back(std::move(timer));
  }
  AppendLog(Format("CreateWaitableTimer name=%s manualReset=%d", name ? name : "", manualReset ? 1 : 0));
  ::SetLastError(error);
  return handle;
}

BOOL SimulatedMachine::SetWaitableTimer(HANDLE handle, const LARGE_INTEGER* dueTime, LONG period,
                                        PTIMERAPCROUTINE completion, LPVOID argument, BOOL resume) {
  if (!dueTime) return Fail<BOOL>(ERROR_INVALID_PARAMETER, FALSE);
  SimTimer* timer = FindTimer(handle);
  if (!timer) return ::SetWaitableTimer(handle, dueTime, period, completion, argument, resume);

  // Seconds from now: negative due times are relative, others absolute (UTC file time).
  double seconds = 0;
  if (dueTime->QuadPart < 0) {
    seconds = static_cast<double>(-dueTime->QuadPart) / kTimerUnitsPerSecond;
  } else {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER current{};
    current.LowPart = now.dwLowDateTime;
    current.HighPart = now.dwHighDateTime;
    LONGLONG ahead = dueTime->QuadPart - static_cast<LONGLONG>(current.QuadPart);
    seconds = ahead > 0 ? static_cast<double>(ahead) / kTimerUnitsPerSecond : 0;
  }

  bool can_resume = false;
  double scale = 1;
  {
    Lock lock(*this);
    can_resume = state_.timer_resume;
    scale = state_.time_scale > 0 ? state_.time_scale : 1;
    // A new arming: the routine has not run yet, and it runs on this thread.
    timer->armed = false;
    ::InterlockedExchange(&timer->fire_claimed, 0);
    ::ResetEvent(timer->fired);
    timer->completion = completion;
    timer->argument = argument;
    if (timer->thread) ::CloseHandle(timer->thread);
    timer->thread = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &timer->thread,
                      THREAD_SET_CONTEXT | SYNCHRONIZE, FALSE, 0);
    timer->due = Now() + seconds;
    timer->resume = resume && can_resume;
  }

  // The real timer runs on the scaled clock and never wakes the real machine.
  LARGE_INTEGER real{};
  real.QuadPart = -static_cast<LONGLONG>(seconds / scale * kTimerUnitsPerSecond);
  if (real.QuadPart == 0) real.QuadPart = -1;
  LONG real_period = period > 0 ? static_cast<LONG>(period / scale) : 0;
  if (period > 0 && real_period == 0) real_period = 1;
  BOOL ok = ::SetWaitableTimer(handle, &real, real_period, completion ? &SimulatedMachine::OnRealTimer : nullptr,
                               completion ? timer : nullptr, FALSE);
  DWORD error = ::GetLastError();
  if (ok) {
    Lock lock(*this);
    timer->armed = true;
  }
  AppendLog(Format("SetWaitableTimer due=%lld period=%ld resume=%d", static_cast<long long>(dueTime->QuadPart),
                   static_cast<long>(period), resume ? 1 : 0));
  if (!ok) return Fail<BOOL>(error, FALSE);
  // A machine whose timers cannot wake it says so after setting the timer.
  return Fail<BOOL>(resume && !can_resume ? ERROR_NOT_SUPPORTED : ERROR_SUCCESS, TRUE);
}

BOOL SimulatedMachine::CancelWaitableTimer(HANDLE handle) {
  BOOL ok = ::CancelWaitableTimer(handle);
  DWORD error = ::GetLastError();
  if (ok) {
    Lock lock(*this);
    if (SimTimer* timer = FindTimer(handle)) timer->armed = false;
  }
  if (FindTimer(handle)) AppendLog(ok ? "CancelWaitableTimer" : Format("CancelWaitableTimer failed error=%lu", error));
  ::SetLastError(ok ? ERROR_SUCCESS : error);
  return ok;
}

namespace {
// Runs a timer's routine once per arming, whichever comes first: the real timer or a resume.
void RunCompletion(SimTimer* timer, DWORD low, DWORD high) {
  if (!timer || ::InterlockedExchange(&timer->fire_claimed, 1) != 0) return;
  if (timer->completion) timer->completion(timer->argument, low, high);
  ::SetEvent(timer->fired);
}
}  // namespace

VOID CALLBACK SimulatedMachine::OnRealTimer(LPVOID record, DWORD lowTime, DWORD highTime) {
  RunCompletion(static_cast<SimTimer*>(record), lowTime, highTime);
}

VOID CALLBACK SimulatedMachine::OnFireRequest(ULONG_PTR record) {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  RunCompletion(reinterpret_cast<SimTimer*>(record), now.dwLowDateTime, now.dwHighDateTime);
}

bool SimulatedMachine::FireTimer(SimTimer& timer) {
  {
    Lock lock(*this);
    if (!timer.open) return false;
    timer.armed = false;
    if (!timer.fire_claimed) {
      // The real timer fires now: waiters see it signalled. It is re-armed without a routine,
      // because a routine goes to the thread that arms the timer, and that must be the
      // waiting thread; the routine is delivered to that thread instead.
      LARGE_INTEGER now{};
      now.QuadPart = -1;
      ::SetWaitableTimer(timer.handle, &now, 0, nullptr, nullptr, FALSE);
      if (timer.completion &&
          (!timer.thread ||
           !::QueueUserAPC(&SimulatedMachine::OnFireRequest, timer.thread, reinterpret_cast<ULONG_PTR>(&timer))))
        return false;
    }
  }
  // The routine runs inside the waiting thread's alertable wait; give it a moment.
  return !timer.completion || ::WaitForSingleObject(timer.fired, kFireWaitMs) == WAIT_OBJECT_0;
}

BOOL SimulatedMachine::Beep(DWORD frequency, DWORD duration) {
  AppendLog(Format("Beep frequency=%lu duration=%lu", static_cast<unsigned long>(frequency),
                   static_cast<unsigned long>(duration)));
  return Succeed<BOOL>(TRUE);
}

}  // namespace vantrel::platform::sim
