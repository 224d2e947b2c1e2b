// The real machine: every call goes straight to the system function of the same name.
#include <windows.h>

#include "platform/backend.h"
#include "platform/system_api.h"

namespace vantrel::platform {

namespace {

class Win32System final : public SystemApi {
 public:
  HDEVINFO SetupDiGetClassDevsA(const GUID* g, PCSTR e, HWND p, DWORD f) override {
    return ::SetupDiGetClassDevsA(g, e, p, f);
  }
  BOOL SetupDiEnumDeviceInterfaces(HDEVINFO s, PSP_DEVINFO_DATA d, const GUID* g, DWORD i,
                                   PSP_DEVICE_INTERFACE_DATA o) override {
    return ::SetupDiEnumDeviceInterfaces(s, d, g, i, o);
  }
  BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO s, PSP_DEVICE_INTERFACE_DATA d,
                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A o, DWORD n, PDWORD r,
                                        PSP_DEVINFO_DATA i) override {
    return ::SetupDiGetDeviceInterfaceDetailA(s, d, o, n, r, i);
  }
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO s) override { return ::SetupDiDestroyDeviceInfoList(s); }
  HANDLE CreateFileA(LPCSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f, HANDLE t) override {
    return ::CreateFileA(p, a, s, sa, d, f, t);
  }
  BOOL DeviceIoControl(HANDLE h, DWORD c, LPVOID i, DWORD is, LPVOID o, DWORD os, LPDWORD r,
                       LPOVERLAPPED ov) override {
    return ::DeviceIoControl(h, c, i, is, o, os, r, ov);
  }
  BOOL CloseHandle(HANDLE h) override { return ::CloseHandle(h); }

  BOOLEAN EnumPwrSchemes(SchemeEnumProc cb, LPARAM c) override {
    // The library passes wide strings whatever the header's LPTSTR says.
    return ::EnumPwrSchemes(reinterpret_cast<PWRSCHEMESENUMPROC>(cb), c);
  }
  BOOLEAN ReadPwrScheme(UINT id, PPOWER_POLICY p) override { return ::ReadPwrScheme(id, p); }
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR n, LPWSTR d, PPOWER_POLICY p) override {
    using WideWrite = BOOLEAN(WINAPI*)(PUINT, LPWSTR, LPWSTR, PPOWER_POLICY);
    return reinterpret_cast<WideWrite>(&::WritePwrScheme)(id, n, d, p);
  }
  BOOLEAN DeletePwrScheme(UINT id) override { return ::DeletePwrScheme(id); }
  BOOLEAN GetActivePwrScheme(PUINT id) override { return ::GetActivePwrScheme(id); }
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY g, PPOWER_POLICY p) override {
    return ::SetActivePwrScheme(id, g, p);
  }
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY p) override { return ::ReadGlobalPwrPolicy(p); }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY p) override { return ::WriteGlobalPwrPolicy(p); }
  BOOLEAN GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES c) override { return ::GetPwrCapabilities(c); }
  BOOLEAN IsPwrSuspendAllowed() override { return ::IsPwrSuspendAllowed(); }
  BOOLEAN IsPwrHibernateAllowed() override { return ::IsPwrHibernateAllowed(); }
  BOOLEAN IsPwrShutdownAllowed() override { return ::IsPwrShutdownAllowed(); }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL l, PVOID i, ULONG is, PVOID o, ULONG os) override {
    return ::CallNtPowerInformation(l, i, is, o, os);
  }
  BOOLEAN SetSuspendState(BOOLEAN h, BOOLEAN f, BOOLEAN d) override { return ::SetSuspendState(h, f, d); }
  FARPROC GetPowerLibraryProc(LPCSTR name) override {
    // The library is mapped already: its other functions are imported at start-up.
    HMODULE library = ::GetModuleHandleA("POWRPROF.DLL");
    return library ? ::GetProcAddress(library, name) : nullptr;
  }

  BOOL ExitWindowsEx(UINT f, DWORD r) override { return ::ExitWindowsEx(f, r); }
  BOOL OpenProcessToken(HANDLE p, DWORD a, PHANDLE t) override { return ::OpenProcessToken(p, a, t); }
  BOOL LookupPrivilegeValueA(LPCSTR s, LPCSTR n, PLUID l) override { return ::LookupPrivilegeValueA(s, n, l); }
  BOOL AdjustTokenPrivileges(HANDLE t, BOOL d, PTOKEN_PRIVILEGES s, DWORD l, PTOKEN_PRIVILEGES p,
                             PDWORD r) override {
    return ::AdjustTokenPrivileges(t, d, s, l, p, r);
  }

  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES s, BOOL m, LPCSTR n) override {
    return ::CreateWaitableTimerA(s, m, n);
  }
  BOOL SetWaitableTimer(HANDLE t, const LARGE_INTEGER* d, LONG p, PTIMERAPCROUTINE c, LPVOID a,
                        BOOL r) override {
    return ::SetWaitableTimer(t, d, p, c, a, r);
  }
  BOOL CancelWaitableTimer(HANDLE t) override { return ::CancelWaitableTimer(t); }
  BOOL Beep(DWORD f, DWORD d) override { return ::Beep(f, d); }
  BOOL GetSystemPowerStatus(LPSYSTEM_POWER_STATUS s) override { return ::GetSystemPowerStatus(s); }
  void GetSystemTimeAsFileTime(LPFILETIME t) override { ::GetSystemTimeAsFileTime(t); }
};

Win32System g_system;

}  // namespace

bool StartBackend(HINSTANCE) {
  InstallSystemApi(&g_system);
  return true;
}

void StopBackend() { InstallSystemApi(nullptr); }

const char* BackendLabel() { return ""; }

}  // namespace vantrel::platform
