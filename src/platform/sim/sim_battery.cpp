// The simulated battery class driver and device set-up library.
//
// Not emulated yet: every request fails with ERROR_CALL_NOT_IMPLEMENTED, so the simulated
// machine presents no battery interface at all (as Wine does).
#include "platform/sim/sim_machine.h"

namespace vantrel::platform::sim {

namespace {
template <class T>
T NotImplemented(T value) {
  ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return value;
}
}  // namespace

HDEVINFO SimulatedMachine::SetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD) {
  return NotImplemented<HDEVINFO>(INVALID_HANDLE_VALUE);
}
BOOL SimulatedMachine::SetupDiEnumDeviceInterfaces(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD,
                                                   PSP_DEVICE_INTERFACE_DATA) {
  return NotImplemented<BOOL>(FALSE);
}
BOOL SimulatedMachine::SetupDiGetDeviceInterfaceDetailA(HDEVINFO, PSP_DEVICE_INTERFACE_DATA,
                                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A, DWORD, PDWORD,
                                                        PSP_DEVINFO_DATA) {
  return NotImplemented<BOOL>(FALSE);
}
BOOL SimulatedMachine::SetupDiDestroyDeviceInfoList(HDEVINFO) { return NotImplemented<BOOL>(FALSE); }
HANDLE SimulatedMachine::CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
  return NotImplemented<HANDLE>(INVALID_HANDLE_VALUE);
}
BOOL SimulatedMachine::DeviceIoControl(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) {
  return NotImplemented<BOOL>(FALSE);
}

}  // namespace vantrel::platform::sim
