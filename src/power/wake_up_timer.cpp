#include "power/wake_up_timer.h"

#include <climits>
#include <memory>
#include <new>

#include "framework/caught.h"
#include "power/core/wake_up_rules.h"
#include "power/power_actions.h"
#include "resource.h"

namespace vantrel::power {

namespace {

using platform::Sys;

// The thread arms the timer at once; a longer delay means the system is stuck, and the
// machine then sleeps without relying on the timer.
constexpr DWORD kArmWaitMs = 5000;
// Long enough for a beep that has begun to finish.
constexpr DWORD kStopWaitMs = 5000;

int FailureCode() {
  DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_GEN_FAILURE;
}

// Queued to the waiting thread only to end its alertable wait.
VOID CALLBACK EndWait(ULONG_PTR) {}

}  // namespace

WakeUpTimer::~WakeUpTimer() {
  set_wake_timer(nullptr);
  if (armed_) ::CloseHandle(armed_);
  // owned_timer_ closes the timer through the seam.
}

void WakeUpTimer::Abandon() noexcept {
  set_wake_timer(nullptr);
  (void)owned_timer_.release();
  armed_ = nullptr;
}

int WakeUpTimer::Start(int seconds, PTIMERAPCROUTINE routine, HANDLE* thread, LPVOID context) {
  if (!thread) return ERROR_INVALID_PARAMETER;
  if (owned_timer_.valid() || armed_) return ERROR_BUSY;  // one request per object
  std::unique_ptr<WakeUpRequest> request(new (std::nothrow) WakeUpRequest);
  if (!request) return ERROR_NOT_ENOUGH_MEMORY;
  request->due_time = WakeUpDueTime(seconds);
  request->completion = routine;
  request->context = context;

  HANDLE timer = Sys().CreateWaitableTimerA(nullptr, FALSE, kWakeUpTimerName);
  if (!timer) return 0;
  owned_timer_.reset(timer);
  set_wake_timer(timer);
  request->timer = timer;

  armed_ = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!armed_) return FailureCode();
  request->armed = armed_;

  HANDLE started = ::CreateThread(nullptr, 0, WakeUpThread, request.get(), 0, nullptr);
  if (!started) return FailureCode();
  (void)request.release();  // the thread owns it now
  *thread = started;

  // Suspending before the timer is armed would sleep with no wake-up: wait for the thread to
  // be done with the timer (or to have ended).
  HANDLE waits[] = {armed_, started};
  ::WaitForMultipleObjects(2, waits, FALSE, kArmWaitMs);
  return 0;
}

int WakeUpTimer::Cancel() {
  HANDLE timer = wake_timer();
  if (timer && Sys().CancelWaitableTimer(timer)) {
    set_wake_timer(nullptr);
    return 0;
  }
  return static_cast<int>(::GetLastError());
}

DWORD WINAPI WakeUpThread(LPVOID parameter) {
  std::unique_ptr<WakeUpRequest> request(static_cast<WakeUpRequest*>(parameter));
  if (!request) return ERROR_INVALID_PARAMETER;
  LARGE_INTEGER due{};
  due.QuadPart = request->due_time;
  // Fires once; resume: the timer may wake the machine from standby.
  BOOL armed = Sys().SetWaitableTimer(request->timer, &due, 0, request->completion, request->context, TRUE);
  DWORD error = armed ? ::GetLastError() : static_cast<DWORD>(FailureCode());
  if (request->armed) ::SetEvent(request->armed);
  if (!armed) return error;
  // Set, but this machine cannot be woken by it: nothing to wait for.
  if (error == ERROR_NOT_SUPPORTED) return ERROR_NOT_SUPPORTED;
  // The completion routine, or the request to stop, runs inside this wait and ends it.
  ::SleepEx(INFINITE, TRUE);
  return 0;
}

VOID CALLBACK OnWakeUpTimer(LPVOID context, DWORD, DWORD) {
  const auto* settings = static_cast<const settings::AppSettings*>(context);
  if (settings && settings->BeepAfterWakeUp) Sys().Beep(kWakeUpBeepFrequency, kWakeUpBeepDuration);
}

bool StopWakeUpThread(HANDLE thread) {
  if (!thread) return true;
  // Fails harmlessly when the thread has already ended.
  ::QueueUserAPC(EndWait, thread, 0);
  bool ended = ::WaitForSingleObject(thread, kStopWaitMs) == WAIT_OBJECT_0;
  ::CloseHandle(thread);
  return ended;
}

void SleepAndWakeUpAfter(DWORD seconds, const settings::AppSettings& settings) {
  try {
    WakeUpTimer timer;
    HANDLE thread = nullptr;
    timer.Start(seconds > static_cast<DWORD>(INT_MAX) ? INT_MAX : static_cast<int>(seconds), OnWakeUpTimer,
                &thread, const_cast<settings::AppSettings*>(&settings));
    // Asks no application and leaves wake events on, so that the timer can resume the machine.
    SleepSystem(false, false);
    timer.Cancel();
    if (thread && !StopWakeUpThread(thread)) timer.Abandon();
  } catch (...) {
    // Called from a command handler: nothing may escape. Only the set-up can throw, before
    // any thread exists.
    fw::ReportCaughtException("sleep with a wake-up timer");
  }
}

DWORD WakeUpSecondsForCommand(UINT command) {
  if (command <= ID_TRAY_WAKE_BASE || command > ID_TRAY_WAKE_LAST) return 0;
  return WakeUpSecondsFromOffset(command - ID_TRAY_WAKE_BASE);
}

bool RunWakeUpCommand(UINT command, const settings::AppSettings& settings) {
  DWORD seconds = WakeUpSecondsForCommand(command);
  if (seconds == 0) return false;
  SleepAndWakeUpAfter(seconds, settings);
  return true;
}

}  // namespace vantrel::power
