// A recording fake over another back end (usually a simulated machine): it notes the exact
// arguments of the power, session and timer calls and can make chosen calls fail.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/system_api.h"

namespace vantrel::testing {

class RecordingSystem : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  ~RecordingSystem() override {
    for (const TimerArming& arming : armings) {
      if (arming.thread) ::CloseHandle(arming.thread);
    }
  }
  RecordingSystem(const RecordingSystem&) = delete;
  RecordingSystem& operator=(const RecordingSystem&) = delete;

  struct Suspend {
    BOOLEAN hibernate, force_critical, disable_wake_event;
  };
  struct PowerInformation {
    POWER_INFORMATION_LEVEL level;
    std::vector<BYTE> input;
    ULONG input_size;
    bool output_given;
    ULONG output_size;
  };
  struct TimerArming {
    LONGLONG due;
    LONG period;
    bool completion_given;
    BOOL resume;
    DWORD thread_id;
    HANDLE thread;  // the arming thread, kept open so that its end can be checked
  };

  // Every recorded call by name, in order.
  std::vector<std::string> calls;
  std::vector<UINT> exit_flags;
  std::vector<DWORD> exit_reasons;
  std::vector<DWORD> token_access;
  std::vector<Suspend> suspends;
  std::vector<PowerInformation> power_information;
  std::vector<UINT> activated;  // SetActivePwrScheme ids
  std::vector<bool> activated_with_records;
  std::vector<std::string> timer_names;
  std::vector<BOOL> timer_manual_reset;
  std::vector<TimerArming> armings;

  bool refuse_exit = false;
  bool fail_timer_creation = false;
  bool fail_scheme_write = false;

  size_t Count(const std::string& name) const {
    size_t n = 0;
    for (const std::string& call : calls) n += call == name ? 1 : 0;
    return n;
  }

  BOOL ExitWindowsEx(UINT flags, DWORD reason) override {
    calls.push_back("ExitWindowsEx");
    exit_flags.push_back(flags);
    exit_reasons.push_back(reason);
    if (refuse_exit) {
      ::SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    return ForwardingSystemApi::ExitWindowsEx(flags, reason);
  }
  BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) override {
    calls.push_back("OpenProcessToken");
    token_access.push_back(access);
    return ForwardingSystemApi::OpenProcessToken(process, access, token);
  }
  BOOL AdjustTokenPrivileges(HANDLE t, BOOL d, PTOKEN_PRIVILEGES s, DWORD l, PTOKEN_PRIVILEGES p,
                             PDWORD r) override {
    calls.push_back("AdjustTokenPrivileges");
    return ForwardingSystemApi::AdjustTokenPrivileges(t, d, s, l, p, r);
  }
  BOOLEAN SetSuspendState(BOOLEAN h, BOOLEAN f, BOOLEAN d) override {
    calls.push_back("SetSuspendState");
    suspends.push_back({h, f, d});
    return ForwardingSystemApi::SetSuspendState(h, f, d);
  }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG inSize, PVOID out,
                              ULONG outSize) override {
    calls.push_back("CallNtPowerInformation");
    PowerInformation record{level, {}, inSize, out != nullptr, outSize};
    if (in) record.input.assign(static_cast<BYTE*>(in), static_cast<BYTE*>(in) + inSize);
    power_information.push_back(record);
    return ForwardingSystemApi::CallNtPowerInformation(level, in, inSize, out, outSize);
  }
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) override {
    calls.push_back("WritePwrScheme");
    if (fail_scheme_write) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return FALSE;
    }
    return ForwardingSystemApi::WritePwrScheme(id, name, description, policy);
  }
  BOOLEAN DeletePwrScheme(UINT id) override {
    calls.push_back("DeletePwrScheme");
    return ForwardingSystemApi::DeletePwrScheme(id);
  }
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) override {
    calls.push_back("SetActivePwrScheme");
    activated.push_back(id);
    activated_with_records.push_back(global != nullptr || policy != nullptr);
    return ForwardingSystemApi::SetActivePwrScheme(id, global, policy);
  }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override {
    calls.push_back("WriteGlobalPwrPolicy");
    return ForwardingSystemApi::WriteGlobalPwrPolicy(policy);
  }
  FARPROC GetPowerLibraryProc(LPCSTR name) override {
    calls.push_back(std::string("GetPowerLibraryProc ") + name);
    return ForwardingSystemApi::GetPowerLibraryProc(name);
  }
  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, LPCSTR name) override {
    calls.push_back("CreateWaitableTimerA");
    timer_names.push_back(name ? name : "");
    timer_manual_reset.push_back(manualReset);
    if (fail_timer_creation) {
      ::SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    return ForwardingSystemApi::CreateWaitableTimerA(security, manualReset, name);
  }
  // Called on the waiting thread; the test reads the record only after that thread has ended
  // or signalled, which orders the accesses.
  BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE completion,
                        LPVOID argument, BOOL resume) override {
    HANDLE self = nullptr;
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &self, SYNCHRONIZE, FALSE,
                      0);
    armings.push_back({due ? due->QuadPart : 0, period, completion != nullptr, resume, ::GetCurrentThreadId(), self});
    return ForwardingSystemApi::SetWaitableTimer(timer, due, period, completion, argument, resume);
  }
  BOOL CancelWaitableTimer(HANDLE timer) override {
    calls.push_back("CancelWaitableTimer");
    return ForwardingSystemApi::CancelWaitableTimer(timer);
  }
};

}  // namespace vantrel::testing
