// The real machine: every call goes to the system function of the same name.
//
// The power library and the device set-up library are not "known DLLs" on every Windows the
// program runs on, so they are not imported: the back end loads them by their full path in
// the system folder at start-up and takes each function from that module. A function the
// system lacks (the plan functions on XP, most of them under Wine) answers as missing:
// ERROR_CALL_NOT_IMPLEMENTED, as a result or as the last error, never a crash.
#include <windows.h>

#include "platform/backend.h"
#include "platform/system_api.h"
#include "platform/system_library.h"

namespace vantrel::platform {

namespace {

constexpr DWORD kMissing = ERROR_CALL_NOT_IMPLEMENTED;
constexpr LONG kStatusNotImplemented = static_cast<LONG>(0xC0000002L);

// The plan functions' types: the SDK headers hide their declarations from the 32-bit build,
// which targets XP. The access flags travel as the enumeration's 32-bit value.
using GetActiveFn = DWORD(WINAPI*)(HKEY, GUID**);
using SetActiveFn = DWORD(WINAPI*)(HKEY, const GUID*);
using EnumerateFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, DWORD, ULONG, UCHAR*, DWORD*);
using ReadTextFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD*);
using WriteTextFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, UCHAR*, DWORD);
using ReadIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*);
using WriteIndexFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD);
using ReadValueFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, ULONG*, UCHAR*, DWORD*);
using DuplicateFn = DWORD(WINAPI*)(HKEY, const GUID*, GUID**);
using DeleteFn = DWORD(WINAPI*)(HKEY, const GUID*);
using RangeFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, DWORD*);
using UnitsFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, UCHAR*, DWORD*);
using RangeDefinedFn = BOOLEAN(WINAPI*)(const GUID*, const GUID*);
using PossibleValueFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, ULONG*, ULONG, UCHAR*, DWORD*);
using PossibleNameFn = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, ULONG, UCHAR*, DWORD*);
using AttributesFn = DWORD(WINAPI*)(const GUID*, const GUID*);
using AccessCheckFn = DWORD(WINAPI*)(DWORD, const GUID*);
using ImportFn = DWORD(WINAPI*)(HKEY, LPCWSTR, GUID**);
using GetModeFn = DWORD(WINAPI*)(GUID*);
using SetModeFn = DWORD(WINAPI*)(const GUID*);
// The library passes and takes wide strings whatever the header's LPTSTR says.
using WidePwrWriteFn = BOOLEAN(WINAPI*)(PUINT, LPWSTR, LPWSTR, PPOWER_POLICY);

// Every function the program takes from the two libraries; null when the library or the
// function is missing. The types of the declared ones come from their declarations (an
// unevaluated use: nothing is imported).
struct Functions {
  decltype(&::SetupDiGetClassDevsA) SetupDiGetClassDevsA = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailA) SetupDiGetDeviceInterfaceDetailA = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList = nullptr;

  decltype(&::EnumPwrSchemes) EnumPwrSchemes = nullptr;
  decltype(&::ReadPwrScheme) ReadPwrScheme = nullptr;
  WidePwrWriteFn WritePwrScheme = nullptr;
  decltype(&::DeletePwrScheme) DeletePwrScheme = nullptr;
  decltype(&::GetActivePwrScheme) GetActivePwrScheme = nullptr;
  decltype(&::SetActivePwrScheme) SetActivePwrScheme = nullptr;
  decltype(&::ReadGlobalPwrPolicy) ReadGlobalPwrPolicy = nullptr;
  decltype(&::WriteGlobalPwrPolicy) WriteGlobalPwrPolicy = nullptr;
  decltype(&::GetPwrCapabilities) GetPwrCapabilities = nullptr;
  decltype(&::IsPwrSuspendAllowed) IsPwrSuspendAllowed = nullptr;
  decltype(&::IsPwrHibernateAllowed) IsPwrHibernateAllowed = nullptr;
  decltype(&::IsPwrShutdownAllowed) IsPwrShutdownAllowed = nullptr;
  decltype(&::CallNtPowerInformation) CallNtPowerInformation = nullptr;
  decltype(&::SetSuspendState) SetSuspendState = nullptr;

  GetActiveFn PowerGetActiveScheme = nullptr;
  SetActiveFn PowerSetActiveScheme = nullptr;
  EnumerateFn PowerEnumerate = nullptr;
  ReadTextFn PowerReadFriendlyName = nullptr;
  WriteTextFn PowerWriteFriendlyName = nullptr;
  ReadTextFn PowerReadDescription = nullptr;
  WriteTextFn PowerWriteDescription = nullptr;
  ReadIndexFn PowerReadACValueIndex = nullptr;
  ReadIndexFn PowerReadDCValueIndex = nullptr;
  WriteIndexFn PowerWriteACValueIndex = nullptr;
  WriteIndexFn PowerWriteDCValueIndex = nullptr;
  ReadValueFn PowerReadACValue = nullptr;
  ReadIndexFn PowerReadACDefaultIndex = nullptr;
  ReadIndexFn PowerReadDCDefaultIndex = nullptr;
  DuplicateFn PowerDuplicateScheme = nullptr;
  DeleteFn PowerDeleteScheme = nullptr;
  RangeFn PowerReadValueMin = nullptr;
  RangeFn PowerReadValueMax = nullptr;
  RangeFn PowerReadValueIncrement = nullptr;
  UnitsFn PowerReadValueUnitsSpecifier = nullptr;
  RangeDefinedFn PowerIsSettingRangeDefined = nullptr;
  PossibleValueFn PowerReadPossibleValue = nullptr;
  PossibleNameFn PowerReadPossibleFriendlyName = nullptr;
  AttributesFn PowerReadSettingAttributes = nullptr;
  AccessCheckFn PowerSettingAccessCheck = nullptr;
  ImportFn PowerImportPowerScheme = nullptr;
  GetModeFn PowerGetUserConfiguredACPowerMode = nullptr;
  GetModeFn PowerGetUserConfiguredDCPowerMode = nullptr;
  SetModeFn PowerSetUserConfiguredACPowerMode = nullptr;
  SetModeFn PowerSetUserConfiguredDCPowerMode = nullptr;
};

template <class Fn>
void Take(HMODULE library, const char* name, Fn& out) {
  // Through a generic function type: an address is typed by its export name only.
  out = library ? reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name))) : nullptr;
}
#define VANTREL_TAKE(library, fn) Take(library, #fn, f.fn)

Functions Resolve(HMODULE setup, HMODULE power) {
  Functions f;
  VANTREL_TAKE(setup, SetupDiGetClassDevsA);
  VANTREL_TAKE(setup, SetupDiEnumDeviceInterfaces);
  VANTREL_TAKE(setup, SetupDiGetDeviceInterfaceDetailA);
  VANTREL_TAKE(setup, SetupDiDestroyDeviceInfoList);
  VANTREL_TAKE(power, EnumPwrSchemes);
  VANTREL_TAKE(power, ReadPwrScheme);
  VANTREL_TAKE(power, WritePwrScheme);
  VANTREL_TAKE(power, DeletePwrScheme);
  VANTREL_TAKE(power, GetActivePwrScheme);
  VANTREL_TAKE(power, SetActivePwrScheme);
  VANTREL_TAKE(power, ReadGlobalPwrPolicy);
  VANTREL_TAKE(power, WriteGlobalPwrPolicy);
  VANTREL_TAKE(power, GetPwrCapabilities);
  VANTREL_TAKE(power, IsPwrSuspendAllowed);
  VANTREL_TAKE(power, IsPwrHibernateAllowed);
  VANTREL_TAKE(power, IsPwrShutdownAllowed);
  VANTREL_TAKE(power, CallNtPowerInformation);
  VANTREL_TAKE(power, SetSuspendState);
  VANTREL_TAKE(power, PowerGetActiveScheme);
  VANTREL_TAKE(power, PowerSetActiveScheme);
  VANTREL_TAKE(power, PowerEnumerate);
  VANTREL_TAKE(power, PowerReadFriendlyName);
  VANTREL_TAKE(power, PowerWriteFriendlyName);
  VANTREL_TAKE(power, PowerReadDescription);
  VANTREL_TAKE(power, PowerWriteDescription);
  VANTREL_TAKE(power, PowerReadACValueIndex);
  VANTREL_TAKE(power, PowerReadDCValueIndex);
  VANTREL_TAKE(power, PowerWriteACValueIndex);
  VANTREL_TAKE(power, PowerWriteDCValueIndex);
  VANTREL_TAKE(power, PowerReadACValue);
  VANTREL_TAKE(power, PowerReadACDefaultIndex);
  VANTREL_TAKE(power, PowerReadDCDefaultIndex);
  VANTREL_TAKE(power, PowerDuplicateScheme);
  VANTREL_TAKE(power, PowerDeleteScheme);
  VANTREL_TAKE(power, PowerReadValueMin);
  VANTREL_TAKE(power, PowerReadValueMax);
  VANTREL_TAKE(power, PowerReadValueIncrement);
  VANTREL_TAKE(power, PowerReadValueUnitsSpecifier);
  VANTREL_TAKE(power, PowerIsSettingRangeDefined);
  VANTREL_TAKE(power, PowerReadPossibleValue);
  VANTREL_TAKE(power, PowerReadPossibleFriendlyName);
  VANTREL_TAKE(power, PowerReadSettingAttributes);
  VANTREL_TAKE(power, PowerSettingAccessCheck);
  VANTREL_TAKE(power, PowerImportPowerScheme);
  VANTREL_TAKE(power, PowerGetUserConfiguredACPowerMode);
  VANTREL_TAKE(power, PowerGetUserConfiguredDCPowerMode);
  VANTREL_TAKE(power, PowerSetUserConfiguredACPowerMode);
  VANTREL_TAKE(power, PowerSetUserConfiguredDCPowerMode);
  // The power mode is offered as a whole or not at all: a library with only some of its four
  // functions (a preview build, a stand-in) would show a mode that cannot be set, or set one
  // that cannot be read back.
  if (!f.PowerGetUserConfiguredACPowerMode || !f.PowerGetUserConfiguredDCPowerMode ||
      !f.PowerSetUserConfiguredACPowerMode || !f.PowerSetUserConfiguredDCPowerMode) {
    f.PowerGetUserConfiguredACPowerMode = f.PowerGetUserConfiguredDCPowerMode = nullptr;
    f.PowerSetUserConfiguredACPowerMode = f.PowerSetUserConfiguredDCPowerMode = nullptr;
  }
  return f;
}
#undef VANTREL_TAKE

// A call to a function that may be missing: the function's own answer, or `missing` with
// the last error ERROR_CALL_NOT_IMPLEMENTED.
template <class R, class Fn, class... Args>
R Call(Fn fn, R missing, Args... args) {
  if (fn) return fn(args...);
  ::SetLastError(kMissing);
  return missing;
}
// A plan function that may be missing: its error code, or ERROR_CALL_NOT_IMPLEMENTED.
template <class Fn, class... Args>
DWORD Plan(Fn fn, Args... args) {
  return fn ? fn(args...) : kMissing;
}

class Win32System final : public SystemApi {
 public:
  // Loads both libraries from the system folder; a missing one leaves its functions missing.
  void Load() {
    if (!setup_library_) setup_library_ = LoadSystemLibrary("setupapi.dll");
    if (!power_library_) power_library_ = LoadSystemLibrary("powrprof.dll");
    f_ = Resolve(setup_library_, power_library_);
  }
  void Unload() {
    f_ = Functions{};
    if (power_library_) ::FreeLibrary(power_library_);
    if (setup_library_) ::FreeLibrary(setup_library_);
    power_library_ = setup_library_ = nullptr;
  }

  HDEVINFO SetupDiGetClassDevsA(const GUID* g, PCSTR e, HWND p, DWORD fl) override {
    return Call(f_.SetupDiGetClassDevsA, INVALID_HANDLE_VALUE, g, e, p, fl);
  }
  BOOL SetupDiEnumDeviceInterfaces(HDEVINFO s, PSP_DEVINFO_DATA d, const GUID* g, DWORD i,
                                   PSP_DEVICE_INTERFACE_DATA o) override {
    return Call<BOOL>(f_.SetupDiEnumDeviceInterfaces, FALSE, s, d, g, i, o);
  }
  BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO s, PSP_DEVICE_INTERFACE_DATA d, PSP_DEVICE_INTERFACE_DETAIL_DATA_A o,
                                        DWORD n, PDWORD r, PSP_DEVINFO_DATA i) override {
    return Call<BOOL>(f_.SetupDiGetDeviceInterfaceDetailA, FALSE, s, d, o, n, r, i);
  }
  BOOL SetupDiDestroyDeviceInfoList(HDEVINFO s) override {
    return Call<BOOL>(f_.SetupDiDestroyDeviceInfoList, FALSE, s);
  }
  HANDLE CreateFileA(LPCSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d, DWORD fl, HANDLE t) override {
    return ::CreateFileA(p, a, s, sa, d, fl, t);
  }
  BOOL DeviceIoControl(HANDLE h, DWORD c, LPVOID i, DWORD is, LPVOID o, DWORD os, LPDWORD r, LPOVERLAPPED ov) override {
    return ::DeviceIoControl(h, c, i, is, o, os, r, ov);
  }
  BOOL CloseHandle(HANDLE h) override { return ::CloseHandle(h); }

  BOOLEAN EnumPwrSchemes(SchemeEnumProc cb, LPARAM c) override {
    // The library passes wide strings whatever the header's LPTSTR says.
    return Call<BOOLEAN>(f_.EnumPwrSchemes, FALSE, reinterpret_cast<PWRSCHEMESENUMPROC>(cb), c);
  }
  BOOLEAN ReadPwrScheme(UINT id, PPOWER_POLICY p) override { return Call<BOOLEAN>(f_.ReadPwrScheme, FALSE, id, p); }
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR n, LPWSTR d, PPOWER_POLICY p) override {
    return Call<BOOLEAN>(f_.WritePwrScheme, FALSE, id, n, d, p);
  }
  BOOLEAN DeletePwrScheme(UINT id) override { return Call<BOOLEAN>(f_.DeletePwrScheme, FALSE, id); }
  BOOLEAN GetActivePwrScheme(PUINT id) override { return Call<BOOLEAN>(f_.GetActivePwrScheme, FALSE, id); }
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY g, PPOWER_POLICY p) override {
    return Call<BOOLEAN>(f_.SetActivePwrScheme, FALSE, id, g, p);
  }
  BOOLEAN ReadGlobalPwrPolicy(PGLOBAL_POWER_POLICY p) override {
    return Call<BOOLEAN>(f_.ReadGlobalPwrPolicy, FALSE, p);
  }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY p) override {
    return Call<BOOLEAN>(f_.WriteGlobalPwrPolicy, FALSE, p);
  }
  BOOLEAN GetPwrCapabilities(PSYSTEM_POWER_CAPABILITIES c) override {
    return Call<BOOLEAN>(f_.GetPwrCapabilities, FALSE, c);
  }
  BOOLEAN IsPwrSuspendAllowed() override { return Call<BOOLEAN>(f_.IsPwrSuspendAllowed, FALSE); }
  BOOLEAN IsPwrHibernateAllowed() override { return Call<BOOLEAN>(f_.IsPwrHibernateAllowed, FALSE); }
  BOOLEAN IsPwrShutdownAllowed() override { return Call<BOOLEAN>(f_.IsPwrShutdownAllowed, FALSE); }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL l, PVOID i, ULONG is, PVOID o, ULONG os) override {
    return Call<LONG>(f_.CallNtPowerInformation, kStatusNotImplemented, l, i, is, o, os);
  }
  BOOLEAN SetSuspendState(BOOLEAN h, BOOLEAN fc, BOOLEAN d) override {
    return Call<BOOLEAN>(f_.SetSuspendState, FALSE, h, fc, d);
  }
  FARPROC GetPowerLibraryProc(LPCSTR name) override {
    if (!power_library_) {
      ::SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
    return ::GetProcAddress(power_library_, name);
  }

  DWORD PowerGetActiveScheme(HKEY r, GUID** a) override { return Plan(f_.PowerGetActiveScheme, r, a); }
  DWORD PowerSetActiveScheme(HKEY r, const GUID* s) override { return Plan(f_.PowerSetActiveScheme, r, s); }
  DWORD PowerEnumerate(HKEY r, const GUID* s, const GUID* g, DWORD a, ULONG i, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerEnumerate, r, s, g, a, i, b, n);
  }
  DWORD PowerReadFriendlyName(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerReadFriendlyName, r, s, g, t, b, n);
  }
  DWORD PowerWriteFriendlyName(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD n) override {
    return Plan(f_.PowerWriteFriendlyName, r, s, g, t, b, n);
  }
  DWORD PowerReadDescription(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerReadDescription, r, s, g, t, b, n);
  }
  DWORD PowerWriteDescription(HKEY r, const GUID* s, const GUID* g, const GUID* t, UCHAR* b, DWORD n) override {
    return Plan(f_.PowerWriteDescription, r, s, g, t, b, n);
  }
  DWORD PowerReadACValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadACValueIndex, r, s, g, t, v);
  }
  DWORD PowerReadDCValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadDCValueIndex, r, s, g, t, v);
  }
  DWORD PowerWriteACValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD v) override {
    return Plan(f_.PowerWriteACValueIndex, r, s, g, t, v);
  }
  DWORD PowerWriteDCValueIndex(HKEY r, const GUID* s, const GUID* g, const GUID* t, DWORD v) override {
    return Plan(f_.PowerWriteDCValueIndex, r, s, g, t, v);
  }
  DWORD PowerReadACValue(HKEY r, const GUID* s, const GUID* g, const GUID* t, ULONG* y, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerReadACValue, r, s, g, t, y, b, n);
  }
  DWORD PowerReadACDefaultIndex(HKEY r, const GUID* p, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadACDefaultIndex, r, p, g, t, v);
  }
  DWORD PowerReadDCDefaultIndex(HKEY r, const GUID* p, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadDCDefaultIndex, r, p, g, t, v);
  }
  DWORD PowerDuplicateScheme(HKEY r, const GUID* s, GUID** d) override {
    return Plan(f_.PowerDuplicateScheme, r, s, d);
  }
  DWORD PowerDeleteScheme(HKEY r, const GUID* s) override { return Plan(f_.PowerDeleteScheme, r, s); }
  DWORD PowerReadValueMin(HKEY r, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadValueMin, r, g, t, v);
  }
  DWORD PowerReadValueMax(HKEY r, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadValueMax, r, g, t, v);
  }
  DWORD PowerReadValueIncrement(HKEY r, const GUID* g, const GUID* t, DWORD* v) override {
    return Plan(f_.PowerReadValueIncrement, r, g, t, v);
  }
  DWORD PowerReadValueUnitsSpecifier(HKEY r, const GUID* g, const GUID* t, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerReadValueUnitsSpecifier, r, g, t, b, n);
  }
  BOOLEAN PowerIsSettingRangeDefined(const GUID* g, const GUID* t) override {
    return Call<BOOLEAN>(f_.PowerIsSettingRangeDefined, FALSE, g, t);
  }
  DWORD PowerReadPossibleValue(HKEY r, const GUID* g, const GUID* t, ULONG* y, ULONG i, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerReadPossibleValue, r, g, t, y, i, b, n);
  }
  DWORD PowerReadPossibleFriendlyName(HKEY r, const GUID* g, const GUID* t, ULONG i, UCHAR* b, DWORD* n) override {
    return Plan(f_.PowerReadPossibleFriendlyName, r, g, t, i, b, n);
  }
  DWORD PowerReadSettingAttributes(const GUID* g, const GUID* t) override {
    return Call<DWORD>(f_.PowerReadSettingAttributes, 0, g, t);
  }
  DWORD PowerSettingAccessCheck(DWORD a, const GUID* g) override { return Plan(f_.PowerSettingAccessCheck, a, g); }
  DWORD PowerImportPowerScheme(HKEY r, LPCWSTR p, GUID** d) override {
    return Plan(f_.PowerImportPowerScheme, r, p, d);
  }
  DWORD PowerGetUserConfiguredACPowerMode(GUID* m) override { return Plan(f_.PowerGetUserConfiguredACPowerMode, m); }
  DWORD PowerGetUserConfiguredDCPowerMode(GUID* m) override { return Plan(f_.PowerGetUserConfiguredDCPowerMode, m); }
  DWORD PowerSetUserConfiguredACPowerMode(const GUID* m) override {
    return Plan(f_.PowerSetUserConfiguredACPowerMode, m);
  }
  DWORD PowerSetUserConfiguredDCPowerMode(const GUID* m) override {
    return Plan(f_.PowerSetUserConfiguredDCPowerMode, m);
  }

  BOOL ExitWindowsEx(UINT fl, DWORD r) override { return ::ExitWindowsEx(fl, r); }
  BOOL OpenProcessToken(HANDLE p, DWORD a, PHANDLE t) override { return ::OpenProcessToken(p, a, t); }
  BOOL LookupPrivilegeValueA(LPCSTR s, LPCSTR n, PLUID l) override { return ::LookupPrivilegeValueA(s, n, l); }
  BOOL AdjustTokenPrivileges(HANDLE t, BOOL d, PTOKEN_PRIVILEGES s, DWORD l, PTOKEN_PRIVILEGES p, PDWORD r) override {
    return ::AdjustTokenPrivileges(t, d, s, l, p, r);
  }

  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES s, BOOL m, LPCSTR n) override {
    return ::CreateWaitableTimerA(s, m, n);
  }
  BOOL SetWaitableTimer(HANDLE t, const LARGE_INTEGER* d, LONG p, PTIMERAPCROUTINE c, LPVOID a, BOOL r) override {
    return ::SetWaitableTimer(t, d, p, c, a, r);
  }
  BOOL CancelWaitableTimer(HANDLE t) override { return ::CancelWaitableTimer(t); }
  BOOL Beep(DWORD fr, DWORD d) override { return ::Beep(fr, d); }
  BOOL GetSystemPowerStatus(LPSYSTEM_POWER_STATUS s) override { return ::GetSystemPowerStatus(s); }
  void GetSystemTimeAsFileTime(LPFILETIME t) override { ::GetSystemTimeAsFileTime(t); }

 private:
  HMODULE setup_library_ = nullptr;
  HMODULE power_library_ = nullptr;
  Functions f_;
};

Win32System g_system;

}  // namespace

bool StartBackend(HINSTANCE) {
  g_system.Load();
  InstallSystemApi(&g_system);
  return true;
}

void StopBackend() {
  InstallSystemApi(nullptr);
  g_system.Unload();
}

const char* BackendLabel() { return ""; }

}  // namespace vantrel::platform
