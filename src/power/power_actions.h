// Log off, shut down, reboot, sleep, hibernate and the hibernation file. Each returns 0 when
// the system accepted the request (for sleep and hibernate: the machine slept and has
// resumed), -1 when sleep or hibernate is not allowed on this machine (nothing is tried), or
// the system's error code of the failed step. Nothing is shown to the user.
#pragma once

#include <windows.h>

namespace vantrel::power {

// Flags of the three session requests: hung applications are forced, the others are asked.
inline constexpr UINT kLogOffFlags = EWX_LOGOFF | EWX_FORCEIFHUNG;      // 0x10
inline constexpr UINT kShutDownFlags = EWX_POWEROFF | EWX_FORCEIFHUNG;  // 0x18: power off, not halt
inline constexpr UINT kRebootFlags = EWX_REBOOT | EWX_FORCEIFHUNG;      // 0x12

// Always 0: logging off needs no privilege and a refusal is the system's to report.
int LogOffUser();
int ShutDownSystem();
int RebootSystem();
// Blocks until the machine has resumed, or returns at once when the suspend is refused. The
// privilege step comes first; when it fails nothing is suspended.
// `queryApplications` false suspends without asking applications; `disableWakeEvents` false
// lets wake-up timers resume the machine.
int SleepSystem(bool queryApplications, bool disableWakeEvents);
int HibernateSystem(bool queryApplications, bool disableWakeEvents);
// Reserves (true) or releases (false) the hibernation file, with the privilege to create a
// page file enabled first: the status of the request, or the error of the privilege step.
int ReserveHibernationFile(bool reserve);
// Enables the shutdown privilege in the process token (it stays enabled), as shut down, reboot,
// sleep and hibernate do first. 0, or the error of the step that failed: ERROR_NOT_ALL_ASSIGNED
// when the account does not hold the privilege.
int EnableShutdownPrivilege();

}  // namespace vantrel::power
