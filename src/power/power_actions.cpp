#include "power/power_actions.h"

#include "platform/system_api.h"
#include "power/power_platform.h"

namespace vantrel::power {

namespace {

using platform::Sys;

constexpr DWORD kNoReason = 0;
constexpr char kShutdownPrivilege[] = "SeShutdownPrivilege";
constexpr char kCreatePagefilePrivilege[] = "SeCreatePagefilePrivilege";

int FailureCode() {
  DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

int ExitWithPrivilege(UINT flags) {
  if (int error = EnableShutdownPrivilege()) return error;
  return Sys().ExitWindowsEx(flags, kNoReason) ? 0 : FailureCode();
}

// The system suspends only for a caller with the shutdown privilege enabled.
int Suspend(bool hibernate, bool queryApplications, bool disableWakeEvents) {
  if (int error = EnableShutdownPrivilege()) return error;
  BOOLEAN ok = Sys().SetSuspendState(hibernate ? TRUE : FALSE, queryApplications ? FALSE : TRUE,
                                     disableWakeEvents ? TRUE : FALSE);
  return ok ? 0 : FailureCode();
}

// Enables one privilege in the process token (it stays enabled): 0, or the error of the step
// that failed; ERROR_NOT_ALL_ASSIGNED when the account does not hold it.
int EnablePrivilege(const char* name) {
  HANDLE raw = nullptr;
  if (!Sys().OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw))
    return FailureCode();
  platform::SysHandle token(raw);

  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  if (!Sys().LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid)) return FailureCode();
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  Sys().AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  // The last error, not the result, tells: the call succeeds while leaving a privilege the
  // account does not hold unassigned (ERROR_NOT_ALL_ASSIGNED).
  return static_cast<int>(::GetLastError());
}

}  // namespace

int EnableShutdownPrivilege() { return EnablePrivilege(kShutdownPrivilege); }

int LogOffUser() {
  Sys().ExitWindowsEx(kLogOffFlags, kNoReason);
  return 0;
}

int ShutDownSystem() { return ExitWithPrivilege(kShutDownFlags); }

int RebootSystem() { return ExitWithPrivilege(kRebootFlags); }

int SleepSystem(bool queryApplications, bool disableWakeEvents) {
  if (!PowerPlatform::CanSuspend()) return -1;
  return Suspend(false, queryApplications, disableWakeEvents);
}

int HibernateSystem(bool queryApplications, bool disableWakeEvents) {
  if (!PowerPlatform::CanHibernate()) return -1;
  return Suspend(true, queryApplications, disableWakeEvents);
}

int ReserveHibernationFile(bool reserve) {
  // The system reserves or frees the file only for a caller with this privilege enabled.
  if (int error = EnablePrivilege(kCreatePagefilePrivilege)) return error;
  BOOLEAN value = reserve ? TRUE : FALSE;
  return static_cast<int>(Sys().CallNtPowerInformation(SystemReserveHiberFile, &value, sizeof value, nullptr, 0));
}

}  // namespace vantrel::power
