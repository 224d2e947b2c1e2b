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
// Wine too.
#pragma once

#include <windows.h>
#include <setupapi.h>
#include <batclass.h>
#include <powrprof.h>

namespace vantrel::platform {

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
  // GetProcAddress on the already-loaded power library (GetModuleHandleA("POWRPROF.DLL")):
  // null when the library or the function is missing. Used for "ReadProcessorPwrScheme" and
  // "WriteProcessorPwrScheme", which older systems lack.
  virtual FARPROC GetPowerLibraryProc(LPCSTR name) = 0;

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
