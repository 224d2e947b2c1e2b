#include "platform/system_api.h"

namespace vantrel::platform {

namespace {

// What Sys() answers before a back end is installed: every call fails cleanly.
class UnavailableSystem final : public SystemApi {
 public:
  HDEVINFO SetupDiGetClassDevsA(const GUID*, PCSTR, HWND, DWORD) override { return Fail(INVALID_HANDLE_VALUE); }
  BOOL SetupDiEnumDeviceInterfaces(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD,
                                   PSP_DEVICE_INTERFACE_DATA) override {
    return Fail(FALSE);
  }
  BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_A,
                                        DWORD, PDWORD, PSP_DEVINFO_DATA) override {
    return Fail(FALSE);
  }
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO) override { return Fail(FALSE); }
  HANDLE CreateFileA(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) override {
    return Fail(INVALID_HANDLE_VALUE);
  }
  BOOL DeviceIoControl(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED) override {
    return Fail(FALSE);
  }
  BOOL CloseHandle(HANDLE) override { return Fail(FALSE); }
  BOOLEAN EnumPwrSchemes(SchemeEnumProc, LPARAM) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN ReadPwrScheme(UINT, PPOWER_POLICY) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN WritePwrScheme(PUINT, LPWSTR, LPWSTR, PPOWER_POLICY) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN DeletePwrScheme(UINT) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN GetActivePwrScheme(PUINT) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN SetActivePwrScheme(UINT, PGLOBAL_POWER_POLICY, PPOWER_POLICY) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES) override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN IsPwrSuspendAllowed() override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN IsPwrHibernateAllowed() override { return Fail<BOOLEAN>(FALSE); }
  BOOLEAN IsPwrShutdownAllowed() override { return Fail<BOOLEAN>(FALSE); }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL, PVOID, ULONG, PVOID, ULONG) override {
    return static_cast<LONG>(0xC0000002L);  // STATUS_NOT_IMPLEMENTED
  }
  BOOLEAN SetSuspendState(BOOLEAN, BOOLEAN, BOOLEAN) override { return Fail<BOOLEAN>(FALSE); }
  FARPROC GetPowerLibraryProc(LPCSTR) override { return Fail<FARPROC>(nullptr); }
  DWORD PowerGetActiveScheme(HKEY, GUID**) override { return kMissing; }
  DWORD PowerSetActiveScheme(HKEY, const GUID*) override { return kMissing; }
  DWORD PowerEnumerate(HKEY, const GUID*, const GUID*, DWORD, ULONG, UCHAR*, DWORD*) override { return kMissing; }
  DWORD PowerReadFriendlyName(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD*) override { return kMissing; }
  DWORD PowerWriteFriendlyName(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD) override { return kMissing; }
  DWORD PowerReadDescription(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD*) override { return kMissing; }
  DWORD PowerWriteDescription(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD) override { return kMissing; }
  DWORD PowerReadACValueIndex(HKEY, const GUID*, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerReadDCValueIndex(HKEY, const GUID*, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerWriteACValueIndex(HKEY, const GUID*, const GUID*, const GUID*, DWORD) override { return kMissing; }
  DWORD PowerWriteDCValueIndex(HKEY, const GUID*, const GUID*, const GUID*, DWORD) override { return kMissing; }
  DWORD PowerReadACValue(HKEY, const GUID*, const GUID*, const GUID*, ULONG*, UCHAR*, DWORD*) override {
    return kMissing;
  }
  DWORD PowerReadACDefaultIndex(HKEY, const GUID*, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerReadDCDefaultIndex(HKEY, const GUID*, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerDuplicateScheme(HKEY, const GUID*, GUID**) override { return kMissing; }
  DWORD PowerDeleteScheme(HKEY, const GUID*) override { return kMissing; }
  DWORD PowerReadValueMin(HKEY, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerReadValueMax(HKEY, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerReadValueIncrement(HKEY, const GUID*, const GUID*, DWORD*) override { return kMissing; }
  DWORD PowerReadValueUnitsSpecifier(HKEY, const GUID*, const GUID*, UCHAR*, DWORD*) override { return kMissing; }
  BOOLEAN PowerIsSettingRangeDefined(const GUID*, const GUID*) override { return Fail<BOOLEAN>(FALSE); }
  DWORD PowerReadPossibleValue(HKEY, const GUID*, const GUID*, ULONG*, ULONG, UCHAR*, DWORD*) override {
    return kMissing;
  }
  DWORD PowerReadPossibleFriendlyName(HKEY, const GUID*, const GUID*, ULONG, UCHAR*, DWORD*) override {
    return kMissing;
  }
  DWORD PowerReadSettingAttributes(const GUID*, const GUID*) override { return Fail<DWORD>(0); }
  DWORD PowerSettingAccessCheck(DWORD, const GUID*) override { return kMissing; }
  DWORD PowerImportPowerScheme(HKEY, LPCWSTR, GUID**) override { return kMissing; }
  DWORD PowerGetUserConfiguredACPowerMode(GUID*) override { return kMissing; }
  DWORD PowerGetUserConfiguredDCPowerMode(GUID*) override { return kMissing; }
  DWORD PowerSetUserConfiguredACPowerMode(const GUID*) override { return kMissing; }
  DWORD PowerSetUserConfiguredDCPowerMode(const GUID*) override { return kMissing; }
  BOOL ExitWindowsEx(UINT, DWORD) override { return Fail(FALSE); }
  BOOL OpenProcessToken(HANDLE, DWORD, PHANDLE) override { return Fail(FALSE); }
  BOOL LookupPrivilegeValueA(LPCSTR, LPCSTR, PLUID) override { return Fail(FALSE); }
  BOOL AdjustTokenPrivileges(HANDLE, BOOL, PTOKEN_PRIVILEGES, DWORD, PTOKEN_PRIVILEGES, PDWORD) override {
    return Fail(FALSE);
  }
  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR) override { return Fail<HANDLE>(nullptr); }
  BOOL SetWaitableTimer(HANDLE, const LARGE_INTEGER*, LONG, PTIMERAPCROUTINE, LPVOID, BOOL) override {
    return Fail(FALSE);
  }
  BOOL CancelWaitableTimer(HANDLE) override { return Fail(FALSE); }
  BOOL Beep(DWORD, DWORD) override { return Fail(FALSE); }
  BOOL GetSystemPowerStatus(LPSYSTEM_POWER_STATUS) override { return Fail(FALSE); }
  // Time is never unavailable.
  void GetSystemTimeAsFileTime(LPFILETIME t) override { ::GetSystemTimeAsFileTime(t); }

 private:
  static constexpr DWORD kMissing = ERROR_CALL_NOT_IMPLEMENTED;
  template <class T>
  static T Fail(T value) {
    ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return value;
  }
};

UnavailableSystem g_unavailable;
SystemApi* g_current = nullptr;

}  // namespace

SystemApi& Sys() noexcept { return g_current ? *g_current : g_unavailable; }

SystemApi* InstallSystemApi(SystemApi* api) noexcept {
  SystemApi* previous = g_current;
  g_current = api;
  return previous;
}

}  // namespace vantrel::platform
