// The operating-system seam. Every call to the battery class driver, the device set-up
// library, the power-management library, the session (log off, shut down, privileges), the
// waitable timers and the speaker goes through `Sys()`, so that one program can run against
// the real machine (`vantrel.exe`), the simulated machine (`vantrel-sim.exe`, the tests) or a
// recording fake (tests that check exact arguments).
//
// The methods have the names, arguments, results and last-error behaviour of the Win32
// functions they stand for: a failing call returns FALSE/NULL and leaves the reason in the
// thread's last error (read it with ::GetLastError()), exactly as the real function does.
// Registry, files, windows, GDI and the shell are not behind the seam: they are real under
// Wine too. The power-plan functions of Vista and later are the exception to the last-error
// rule: like the system's, they return their error code.
#pragma once

#include <windows.h>
#include <setupapi.h>
#include <batclass.h>
#include <powrprof.h>

#include <cstring>

#include "platform/core/plan_guids.h"

namespace vantrel::platform {

// The portable GUID and the system's: the same 16 bytes.
static_assert(sizeof(GUID) == sizeof(PlanGuid), "a GUID is 16 bytes");
inline GUID ToGuid(const PlanGuid& g) noexcept {
  GUID out{g.data1, g.data2, g.data3, {}};
  std::memcpy(out.Data4, g.data4, sizeof out.Data4);
  return out;
}
inline PlanGuid FromGuid(const GUID& g) noexcept {
  PlanGuid out{static_cast<uint32_t>(g.Data1), g.Data2, g.Data3, {}};
  std::memcpy(out.data4, g.Data4, sizeof out.data4);
  return out;
}

// mingw-w64 declares the scheme callback and WritePwrScheme with LPTSTR although the library
// passes and takes wide strings; the seam uses the true wide types.
using SchemeEnumProc = BOOLEAN(CALLBACK*)(UINT index, DWORD nameSize, LPWSTR name, DWORD descriptionSize,
                                          LPWSTR description, PPOWER_POLICY policy, LPARAM context);
using ProcessorSchemeFn = BOOLEAN(WINAPI*)(UINT index, PMACHINE_PROCESSOR_POWER_POLICY policy);

class SystemApi {
 public:
  virtual ~SystemApi() = default;

  // ---- device set-up library and battery class driver ----
  virtual HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags) = 0;
  virtual BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device, const GUID* interfaceGuid,
                                           DWORD index, PSP_DEVICE_INTERFACE_DATA data) = 0;
  virtual BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                                PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                                PDWORD requiredSize, PSP_DEVINFO_DATA device) = 0;
  virtual BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) = 0;
  // Devices only: battery interfaces and "\\.\LCD".
  virtual HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE templateFile) = 0;
  virtual BOOL DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                               LPDWORD returned, LPOVERLAPPED overlapped) = 0;
  // Closes any handle obtained through this seam (devices, tokens, timers).
  virtual BOOL CloseHandle(HANDLE handle) = 0;

  // ---- power-management library ----
  virtual BOOLEAN EnumPwrSchemes(SchemeEnumProc callback, LPARAM context) = 0;
  virtual BOOLEAN ReadPwrScheme(UINT id, PPOWER_POLICY policy) = 0;
  virtual BOOLEAN WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) = 0;
  virtual BOOLEAN DeletePwrScheme(UINT id) = 0;
  virtual BOOLEAN GetActivePwrScheme(PUINT id) = 0;
  virtual BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) = 0;
  virtual BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) = 0;
  virtual BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) = 0;
  virtual BOOLEAN GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES capabilities) = 0;
  virtual BOOLEAN IsPwrSuspendAllowed() = 0;
  virtual BOOLEAN IsPwrHibernateAllowed() = 0;
  virtual BOOLEAN IsPwrShutdownAllowed() = 0;
  virtual LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG inSize, PVOID out,
                                      ULONG outSize) = 0;
  virtual BOOLEAN SetSuspendState(BOOLEAN hibernate, BOOLEAN forceCritical, BOOLEAN disableWakeEvent) = 0;
  // GetProcAddress on the power library the back end loaded from the system folder: null
  // when the library or the function is missing. Used for "ReadProcessorPwrScheme" and
  // "WriteProcessorPwrScheme", which older systems lack.
  virtual FARPROC GetPowerLibraryProc(LPCSTR name) = 0;

  // ---- power plans (Vista and later) ----
  // The system's signatures, `root` always null. Results are error codes: ERROR_SUCCESS;
  // ERROR_MORE_DATA with the size needed when a buffer is missing or short (sizes in bytes,
  // texts wide with their terminator counted); ERROR_NO_MORE_ITEMS past the end of an
  // enumeration; ERROR_FILE_NOT_FOUND for an unknown GUID; ERROR_ACCESS_DISABLED_BY_POLICY for
  // what Group Policy fixes; ERROR_CALL_NOT_IMPLEMENTED where the system lacks the function.
  // A GUID handed out through GUID** is LocalAlloc'ed: the caller frees it with LocalFree.
  // `access` takes the PowerAccess values (platform/core/plan_guids.h).
  virtual DWORD PowerGetActiveScheme(HKEY root, GUID** active) = 0;
  // Changes to the active plan take effect only when it is made active again.
  virtual DWORD PowerSetActiveScheme(HKEY root, const GUID* scheme) = 0;
  // Plans (scheme null, kAccessScheme), a plan's subgroups (kAccessSubgroup) or a subgroup's
  // settings (kAccessIndividualSetting): the GUID at `index` into `buffer`.
  virtual DWORD PowerEnumerate(HKEY root, const GUID* scheme, const GUID* subgroup, DWORD access, ULONG index,
                               UCHAR* buffer, DWORD* size) = 0;
  // Of a plan (subgroup and setting null), a subgroup (setting null) or a setting.
  virtual DWORD PowerReadFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                      UCHAR* buffer, DWORD* size) = 0;
  virtual DWORD PowerWriteFriendlyName(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                       UCHAR* buffer, DWORD size) = 0;
  virtual DWORD PowerReadDescription(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                     UCHAR* buffer, DWORD* size) = 0;
  virtual DWORD PowerWriteDescription(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                      UCHAR* buffer, DWORD size) = 0;
  // A setting the plan does not set reads as the default of the plan's personality.
  virtual DWORD PowerReadACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                      DWORD* index) = 0;
  virtual DWORD PowerReadDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                      DWORD* index) = 0;
  virtual DWORD PowerWriteACValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                       DWORD index) = 0;
  virtual DWORD PowerWriteDCValueIndex(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                       DWORD index) = 0;
  // A typed value (`type` REG_DWORD, REG_BINARY…) on mains; the plan's personality is the GUID
  // under (no subgroup, platform::guids::kPersonality).
  virtual DWORD PowerReadACValue(HKEY root, const GUID* scheme, const GUID* subgroup, const GUID* setting,
                                 ULONG* type, UCHAR* buffer, DWORD* size) = 0;
  virtual DWORD PowerReadACDefaultIndex(HKEY root, const GUID* personality, const GUID* subgroup,
                                        const GUID* setting, DWORD* index) = 0;
  virtual DWORD PowerReadDCDefaultIndex(HKEY root, const GUID* personality, const GUID* subgroup,
                                        const GUID* setting, DWORD* index) = 0;
  // A copy of `source` under a new GUID (null *destination) or under *destination
  // (ERROR_ALREADY_EXISTS when that plan exists).
  virtual DWORD PowerDuplicateScheme(HKEY root, const GUID* source, GUID** destination) = 0;
  // Never the active plan: switch away first.
  virtual DWORD PowerDeleteScheme(HKEY root, const GUID* scheme) = 0;
  // Range settings: the bounds, the step and the unit's name.
  virtual DWORD PowerReadValueMin(HKEY root, const GUID* subgroup, const GUID* setting, DWORD* value) = 0;
  virtual DWORD PowerReadValueMax(HKEY root, const GUID* subgroup, const GUID* setting, DWORD* value) = 0;
  virtual DWORD PowerReadValueIncrement(HKEY root, const GUID* subgroup, const GUID* setting, DWORD* value) = 0;
  virtual DWORD PowerReadValueUnitsSpecifier(HKEY root, const GUID* subgroup, const GUID* setting, UCHAR* buffer,
                                             DWORD* size) = 0;
  // TRUE for a range setting, FALSE for one with a list of possible values (or FALSE with last
  // error ERROR_CALL_NOT_IMPLEMENTED).
  virtual BOOLEAN PowerIsSettingRangeDefined(const GUID* subgroup, const GUID* setting) = 0;
  // Settings with a list: the value at `index` (a DWORD, `type` REG_DWORD) and its name.
  virtual DWORD PowerReadPossibleValue(HKEY root, const GUID* subgroup, const GUID* setting, ULONG* type,
                                       ULONG index, UCHAR* buffer, DWORD* size) = 0;
  virtual DWORD PowerReadPossibleFriendlyName(HKEY root, const GUID* subgroup, const GUID* setting, ULONG index,
                                              UCHAR* buffer, DWORD* size) = 0;
  // The attributes themselves (kAttributeHide), not an error code: 0 (with last error
  // ERROR_CALL_NOT_IMPLEMENTED) where the function is missing.
  virtual DWORD PowerReadSettingAttributes(const GUID* subgroup, const GUID* setting) = 0;
  virtual DWORD PowerSettingAccessCheck(DWORD access, const GUID* guid) = 0;
  virtual DWORD PowerImportPowerScheme(HKEY root, LPCWSTR path, GUID** destination) = 0;
  // Windows 11's power mode, by its GUID (platform::guids::kMode…).
  virtual DWORD PowerGetUserConfiguredACPowerMode(GUID* mode) = 0;
  virtual DWORD PowerGetUserConfiguredDCPowerMode(GUID* mode) = 0;
  virtual DWORD PowerSetUserConfiguredACPowerMode(const GUID* mode) = 0;
  virtual DWORD PowerSetUserConfiguredDCPowerMode(const GUID* mode) = 0;

  // ---- session ----
  virtual BOOL ExitWindowsEx(UINT flags, DWORD reason) = 0;
  virtual BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) = 0;
  virtual BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, PLUID luid) = 0;
  virtual BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                     PTOKEN_PRIVILEGES previous, PDWORD returned) = 0;

  // ---- waitable timers and the speaker ----
  virtual HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, LPCSTR name) = 0;
  virtual BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* dueTime, LONG period,
                                PTIMERAPCROUTINE completion, LPVOID argument, BOOL resume) = 0;
  virtual BOOL CancelWaitableTimer(HANDLE timer) = 0;
  virtual BOOL Beep(DWORD frequency, DWORD duration) = 0;

  // ---- the power source ----
  virtual BOOL GetSystemPowerStatus(LPSYSTEM_POWER_STATUS status) = 0;

  // ---- the clock ----
  // The wall clock (UTC): the simulated machine runs its own, as fast as its state file says.
  virtual void GetSystemTimeAsFileTime(LPFILETIME time) = 0;
};

// The implementation chosen at start-up. Before anything is installed this is the real
// system (the Win32 back end when it is linked in) or, failing that, a back end whose every
// call fails with ERROR_CALL_NOT_IMPLEMENTED.
SystemApi& Sys() noexcept;

// Installs an implementation (not owned) and returns the previous one. Tests install fakes
// for their own scope with ScopedSystemApi.
SystemApi* InstallSystemApi(SystemApi* api) noexcept;

class ScopedSystemApi {
 public:
  explicit ScopedSystemApi(SystemApi& api) noexcept : previous_(InstallSystemApi(&api)) {}
  ~ScopedSystemApi() { InstallSystemApi(previous_); }
  ScopedSystemApi(const ScopedSystemApi&) = delete;
  ScopedSystemApi& operator=(const ScopedSystemApi&) = delete;

 private:
  SystemApi* previous_;
};

// A handle obtained through the seam, closed through it.
class SysHandle {
 public:
  SysHandle() noexcept = default;
  explicit SysHandle(HANDLE h) noexcept : h_(h) {}
  ~SysHandle() { reset(); }
  SysHandle(const SysHandle&) = delete;
  SysHandle& operator=(const SysHandle&) = delete;
  SysHandle(SysHandle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  SysHandle& operator=(SysHandle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = other.h_;
      other.h_ = nullptr;
    }
    return *this;
  }
  HANDLE get() const noexcept { return h_; }
  bool valid() const noexcept { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
  void reset(HANDLE h = nullptr) noexcept {
    if (valid()) Sys().CloseHandle(h_);
    h_ = h;
  }
  [[nodiscard]] HANDLE release() noexcept {
    HANDLE h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HANDLE h_ = nullptr;
};

// Forwards every call to another implementation; recording fakes derive from it and override
// the few calls they watch.
class ForwardingSystemApi : public SystemApi {
 public:
  explicit ForwardingSystemApi(SystemApi& target) noexcept : target_(&target) {}
  SystemApi& target() const noexcept { return *target_; }

  HDEVINFO SetupDiGetClassDevsA(const GUID* g, PCSTR e, HWND p, DWORD f) override {
    return target_->SetupDiGetClassDevsA(g, e, p, f);
  }
  BOOL SetupDiEnumDeviceInterfaces(HDEVINFO s, PSP_DEVINFO_DATA d, const GUID* g, DWORD i,
                                   PSP_DEVICE_INTERFACE_DATA o) override {
    return target_->SetupDiEnumDeviceInterfaces(s, d, g, i, o);
  }
  BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO s, PSP_DEVICE_INTERFACE_DATA d,
                                        PSP_DEVICE_INTERFACE_DETAIL_DATA_A o, DWORD n, PDWORD r,
                                        PSP_DEVINFO_DATA i) override {
    return target_->SetupDiGetDeviceInterfaceDetailA(s, d, o, n, r, i);
  }
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO s) override { return target_->SetupDiDestroyDeviceInfoList(s); }
  HANDLE CreateFileA(LPCSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD f, HANDLE t) override {
    return target_->CreateFileA(p, a, s, sa, d, f, t);
  }
  BOOL DeviceIoControl(HANDLE h, DWORD c, LPVOID i, DWORD is, LPVOID o, DWORD os, LPDWORD r,
                       LPOVERLAPPED ov) override {
    return target_->DeviceIoControl(h, c, i, is, o, os, r, ov);
  }
  BOOL CloseHandle(HANDLE h) override { return target_->CloseHandle(h); }
  BOOLEAN EnumPwrSchemes(SchemeEnumProc cb, LPARAM c) override { return target_->EnumPwrSchemes(cb, c); }
  BOOLEAN ReadPwrScheme(UINT id, PPOWER_POLICY p) override { return target_->ReadPwrScheme(id, p); }
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR n, LPWSTR d, PPOWER_POLICY p) override {
    return target_->WritePwrScheme(id, n, d, p);
  }
  BOOLEAN DeletePwrScheme(UINT id) override { return target_->DeletePwrScheme(id); }
  BOOLEAN GetActivePwrScheme(PUINT id) override { return target_->GetActivePwrScheme(id); }
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY g, PPOWER_POLICY p) override {
    return target_->SetActivePwrScheme(id, g, p);
  }
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY p) override { return target_->ReadGlobalPwrPolicy(p); }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY p) override { return target_->WriteGlobalPwrPolicy(p); }
  BOOLEAN GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES c) override { return target_->GetPwrCapabilities(c); }
  BOOLEAN IsPwrSuspendAllowed() override { return target_->IsPwrSuspendAllowed(); }
  BOOLEAN IsPwrHibernateAllowed() override { return target_->IsPwrHibernateAllowed(); }
  BOOLEAN IsPwrShutdownAllowed() override { return target_->IsPwrShutdownAllowed(); }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL l, PVOID i, ULONG is, PVOID o, ULONG os) override {
    return target_->CallNtPowerInformation(l, i, is, o, os);
  }
  BOOLEAN SetSuspendState(BOOLEAN h, BOOLEAN f, BOOLEAN d) override { return target_->SetSuspendState(h, f, d); }
  FARPROC GetPowerLibraryProc(LPCSTR n) override { return target_->GetPowerLibraryProc(n); }
  DWORD PowerGetActiveScheme(HKEY r, GUID** a) override { return target_->PowerGetActiveScheme(r, a); }
  DWORD PowerSetActiveScheme(HKEY r, const GUID* s) override { return target_->PowerSetActiveScheme(r, s); }
  DWORD PowerEnumerate(HKEY r, const GUID* s, const GUID* g, DWORD a, ULONG i, UCHAR* b, DWORD* n) override {
    return target_->PowerEnumerate(r, s, g, a, i, b, n);
  }
  DWORD PowerReadFriendlyName(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD* n) override {
    return target_->PowerReadFriendlyName(r, s, g, t, b, n);
  }
  DWORD PowerWriteFriendlyName(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD n) override {
    return target_->PowerWriteFriendlyName(r, s, g, t, b, n);
  }
  DWORD PowerReadDescription(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD* n) override {
    return target_->PowerReadDescription(r, s, g, t, b, n);
  }
  DWORD PowerWriteDescription(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD n) override {
    return target_->PowerWriteDescription(r, s, g, t, b, n);
  }
  DWORD PowerReadACValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadACValueIndex(r, s, g, t, v);
  }
  DWORD PowerReadDCValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadDCValueIndex(r, s, g, t, v);
  }
  DWORD PowerWriteACValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD v) override {
    return target_->PowerWriteACValueIndex(r, s, g, t, v);
  }
  DWORD PowerWriteDCValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD v) override {
    return target_->PowerWriteDCValueIndex(r, s, g, t, v);
  }
  DWORD PowerReadACValue(HKEY r, const GUID* s, const GUID* g, const GUID* t, ULONG* y, UCHAR* b, DWORD* n) override {
    return target_->PowerReadACValue(r, s, g, t, y, b, n);
  }
  DWORD PowerReadACDefaultIndex(HKEY r, const GUID* p, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadACDefaultIndex(r, p, g, t, v);
  }
  DWORD PowerReadDCDefaultIndex(HKEY r, const GUID* p, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadDCDefaultIndex(r, p, g, t, v);
  }
  DWORD PowerDuplicateScheme(HKEY r, const GUID* s, GUID** d) override { return target_->PowerDuplicateScheme(r, s, d); }
  DWORD PowerDeleteScheme(HKEY r, const GUID* s) override { return target_->PowerDeleteScheme(r, s); }
  DWORD PowerReadValueMin(HKEY r, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadValueMin(r, g, t, v);
  }
  DWORD PowerReadValueMax(HKEY r, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadValueMax(r, g, t, v);
  }
  DWORD PowerReadValueIncrement(HKEY r, const GUID* g, const GUID* t, DWORD* v) override {
    return target_->PowerReadValueIncrement(r, g, t, v);
  }
  DWORD PowerReadValueUnitsSpecifier(HKEY r, const GUID* g, const GUID* t, UCHAR* b, DWORD* n) override {
    return target_->PowerReadValueUnitsSpecifier(r, g, t, b, n);
  }
  BOOLEAN PowerIsSettingRangeDefined(const GUID* g, const GUID* t) override {
    return target_->PowerIsSettingRangeDefined(g, t);
  }
  DWORD PowerReadPossibleValue(HKEY r, const GUID* g, const GUID* t, ULONG* y, ULONG i, UCHAR* b, DWORD* n) override {
    return target_->PowerReadPossibleValue(r, g, t, y, i, b, n);
  }
  DWORD PowerReadPossibleFriendlyName(HKEY r, const GUID* g, const GUID* t, ULONG i, UCHAR* b, DWORD* n) override {
    return target_->PowerReadPossibleFriendlyName(r, g, t, i, b, n);
  }
  DWORD PowerReadSettingAttributes(const GUID* g, const GUID* t) override {
    return target_->PowerReadSettingAttributes(g, t);
  }
  DWORD PowerSettingAccessCheck(DWORD a, const GUID* g) override { return target_->PowerSettingAccessCheck(a, g); }
  DWORD PowerImportPowerScheme(HKEY r, LPCWSTR p, GUID** d) override { return target_->PowerImportPowerScheme(r, p, d); }
  DWORD PowerGetUserConfiguredACPowerMode(GUID* m) override { return target_->PowerGetUserConfiguredACPowerMode(m); }
  DWORD PowerGetUserConfiguredDCPowerMode(GUID* m) override { return target_->PowerGetUserConfiguredDCPowerMode(m); }
  DWORD PowerSetUserConfiguredACPowerMode(const GUID* m) override {
    return target_->PowerSetUserConfiguredACPowerMode(m);
  }
  DWORD PowerSetUserConfiguredDCPowerMode(const GUID* m) override {
    return target_->PowerSetUserConfiguredDCPowerMode(m);
  }
  BOOL ExitWindowsEx(UINT f, DWORD r) override { return target_->ExitWindowsEx(f, r); }
  BOOL OpenProcessToken(HANDLE p, DWORD a, PHANDLE t) override { return target_->OpenProcessToken(p, a, t); }
  BOOL LookupPrivilegeValueA(LPCSTR s, LPCSTR n, PLUID l) override {
    return target_->LookupPrivilegeValueA(s, n, l);
  }
  BOOL AdjustTokenPrivileges(HANDLE t, BOOL d, PTOKEN_PRIVILEGES s, DWORD l, PTOKEN_PRIVILEGES p,
                             PDWORD r) override {
    return target_->AdjustTokenPrivileges(t, d, s, l, p, r);
  }
  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES s, BOOL m, LPCSTR n) override {
    return target_->CreateWaitableTimerA(s, m, n);
  }
  BOOL SetWaitableTimer(HANDLE t, const LARGE_INTEGER* d, LONG p, PTIMERAPCROUTINE c, LPVOID a,
                        BOOL r) override {
    return target_->SetWaitableTimer(t, d, p, c, a, r);
  }
  BOOL CancelWaitableTimer(HANDLE t) override { return target_->CancelWaitableTimer(t); }
  BOOL Beep(DWORD f, DWORD d) override { return target_->Beep(f, d); }
  BOOL GetSystemPowerStatus(LPSYSTEM_POWER_STATUS s) override { return target_->GetSystemPowerStatus(s); }
  void GetSystemTimeAsFileTime(LPFILETIME t) override { target_->GetSystemTimeAsFileTime(t); }

 private:
  SystemApi* target_;
};

}  // namespace vantrel::platform
