// A recording fake over another back end (usually a simulated machine): the power, session
// and timer calls are noted with their exact arguments, one line each, and chosen calls fail.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/system_api.h"

namespace vantrel::testing {

class RecordingSystem : public platform::ForwardingSystemApi {
 public:
  using ForwardingSystemApi::ForwardingSystemApi;
  ~RecordingSystem() override {
    if (arming_thread) ::CloseHandle(arming_thread);
  }
  RecordingSystem(const RecordingSystem&) = delete;
  RecordingSystem& operator=(const RecordingSystem&) = delete;

  std::vector<std::string> calls;
  HANDLE arming_thread = nullptr;  // the thread that armed a timer last, kept open
  bool refuse_exit = false;
  bool fail_timer_creation = false;
  bool fail_scheme_write = false;

  size_t Count(const std::string& prefix) const {
    size_t n = 0;
    for (const std::string& call : calls) n += call.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }

  BOOL ExitWindowsEx(UINT flags, DWORD reason) override {
    Note("ExitWindowsEx 0x%X %lu", flags, reason);
    if (refuse_exit) return Fail<BOOL>(ERROR_ACCESS_DENIED, FALSE);
    return ForwardingSystemApi::ExitWindowsEx(flags, reason);
  }
  BOOL OpenProcessToken(HANDLE process, DWORD access, PHANDLE token) override {
    Note("OpenProcessToken 0x%lX", access);
    return ForwardingSystemApi::OpenProcessToken(process, access, token);
  }
  BOOL AdjustTokenPrivileges(HANDLE t, BOOL d, PTOKEN_PRIVILEGES s, DWORD l, PTOKEN_PRIVILEGES p,
                             PDWORD r) override {
    Note("AdjustTokenPrivileges");
    return ForwardingSystemApi::AdjustTokenPrivileges(t, d, s, l, p, r);
  }
  BOOLEAN SetSuspendState(BOOLEAN h, BOOLEAN f, BOOLEAN d) override {
    Note("SetSuspendState %d %d %d", h, f, d);
    return ForwardingSystemApi::SetSuspendState(h, f, d);
  }
  LONG CallNtPowerInformation(POWER_INFORMATION_LEVEL level, PVOID in, ULONG inSize, PVOID out,
                              ULONG outSize) override {
    std::string bytes;
    for (ULONG i = 0; in && i < inSize; ++i) bytes += std::to_string(static_cast<BYTE*>(in)[i]) + " ";
    Note("CallNtPowerInformation %d in=%lu[%s] out=%s/%lu", static_cast<int>(level), inSize, bytes.c_str(),
         out ? "buffer" : "null", outSize);
    return ForwardingSystemApi::CallNtPowerInformation(level, in, inSize, out, outSize);
  }
  BOOLEAN WritePwrScheme(PUINT id, LPWSTR name, LPWSTR description, PPOWER_POLICY policy) override {
    Note("WritePwrScheme %u", id ? *id : 0);
    if (fail_scheme_write) return Fail<BOOLEAN>(ERROR_WRITE_FAULT, FALSE);
    return ForwardingSystemApi::WritePwrScheme(id, name, description, policy);
  }
  BOOLEAN DeletePwrScheme(UINT id) override {
    Note("DeletePwrScheme %u", id);
    return ForwardingSystemApi::DeletePwrScheme(id);
  }
  BOOLEAN SetActivePwrScheme(UINT id, PGLOBAL_POWER_POLICY global, PPOWER_POLICY policy) override {
    Note("SetActivePwrScheme %u%s%s", id, global ? " global" : "", policy ? " policy" : "");
    return ForwardingSystemApi::SetActivePwrScheme(id, global, policy);
  }
  BOOLEAN WriteGlobalPwrPolicy(PGLOBAL_POWER_POLICY policy) override {
    Note("WriteGlobalPwrPolicy");
    return ForwardingSystemApi::WriteGlobalPwrPolicy(policy);
  }
  HANDLE CreateWaitableTimerA(LPSECURITY_ATTRIBUTES security, BOOL manualReset, LPCSTR name) override {
    Note("CreateWaitableTimerA %s %d", name ? name : "(null)", manualReset);
    if (fail_timer_creation) return Fail<HANDLE>(ERROR_ACCESS_DENIED, nullptr);
    return ForwardingSystemApi::CreateWaitableTimerA(security, manualReset, name);
  }
  // On the waiting thread, while the caller waits for it to arm the timer.
  BOOL SetWaitableTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE completion,
                        LPVOID argument, BOOL resume) override {
    Note("SetWaitableTimer %lld %ld %s %d%s", due ? static_cast<long long>(due->QuadPart) : 0LL, period,
         completion ? "routine" : "none", resume, ::GetCurrentThreadId() == ui_thread_ ? " here" : "");
    if (arming_thread) ::CloseHandle(arming_thread);
    ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &arming_thread,
                      SYNCHRONIZE, FALSE, 0);
    return ForwardingSystemApi::SetWaitableTimer(timer, due, period, completion, argument, resume);
  }
  BOOL CancelWaitableTimer(HANDLE timer) override {
    Note("CancelWaitableTimer");
    return ForwardingSystemApi::CancelWaitableTimer(timer);
  }

 private:
  template <class T>
  static T Fail(DWORD error, T value) {
    ::SetLastError(error);
    return value;
  }
  void Note(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    calls.push_back(line);
  }

  DWORD ui_thread_ = ::GetCurrentThreadId();
};

}  // namespace vantrel::testing
