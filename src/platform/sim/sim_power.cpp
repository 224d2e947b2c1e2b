// The simulated power-management library, session and timers.
//
// Not emulated yet: every call fails with ERROR_CALL_NOT_IMPLEMENTED (the status
// STATUS_NOT_IMPLEMENTED for CallNtPowerInformation), and nothing is performed.
#include "platform/sim/sim_machine.h"

namespace vantrel::platform::sim {

namespace {
template <class T>
T NotImplemented(T value) {
  ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return value;
}
}  // namespace

BOOLEAN SimulatedMachine::EnumPwrSchemes(SchemeEnumProc, LPARAM) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::ReadPwrScheme(UINT, PPOWER_POLICY) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::WritePwrScheme(PUINT, LPWSTR, LPWSTR, PPOWER_POLICY) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::DeletePwrScheme(UINT) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::GetActivePwrScheme(PUINT) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::SetActivePwrScheme(UINT, PGLOBAL_POWER_POLICY, PPOWER_POLICY) {
  return NotImplemented<BOOLEAN>(FALSE);
}
BOOLEAN SimulatedMachine::ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES) { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::IsPwrSuspendAllowed() { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::IsPwrHibernateAllowed() { return NotImplemented<BOOLEAN>(FALSE); }
BOOLEAN SimulatedMachine::IsPwrShutdownAllowed() { return NotImplemented<BOOLEAN>(FALSE); }
LONG SimulatedMachine::CallNtPowerInformation(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG) {
  return static_cast<LONG>(0xC0000002L);  // STATUS_NOT_IMPLEMENTED
}
BOOLEAN SimulatedMachine::SetSuspendState(BOOLEAN, BOOLEAN, BOOLEAN) { return NotImplemented<BOOLEAN>(FALSE); }
FARPROC SimulatedMachine::GetPowerLibraryProc(LPCSTR) { return NotImplemented<FARPROC>(nullptr); }
BOOL SimulatedMachine::ExitWindowsEx(UINT, DWORD) { return NotImplemented<BOOL>(FALSE); }
BOOL SimulatedMachine::OpenProcessToken(HANDLE, DWORD, PHANDLE) { return NotImplemented<BOOL>(FALSE); }
BOOL SimulatedMachine::LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID) { return NotImplemented<BOOL>(FALSE); }
BOOL SimulatedMachine::AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD) {
  return NotImplemented<BOOL>(FALSE);
}
HANDLE SimulatedMachine::CreateWaitableTimerA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR) {
  return NotImplemented<HANDLE>(nullptr);
}
BOOL SimulatedMachine::SetWaitableTimer(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL) {
  return NotImplemented<BOOL>(FALSE);
}
BOOL SimulatedMachine::CancelWaitableTimer(HANDLE) { return NotImplemented<BOOL>(FALSE); }
BOOL SimulatedMachine::Beep(DWORD, DWORD) { return NotImplemented<BOOL>(FALSE); }

}  // namespace vantrel::platform::sim
