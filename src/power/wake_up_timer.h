// Sleep now and wake up after a while: a named waitable timer allowed to resume the machine
// is armed on a waiting thread, the machine is put into standby, and when it runs again the
// timer is cancelled and the thread stopped. The timer's completion routine runs on the
// waiting thread and beeps when the user asked for a signal after waking.
#pragma once

#include <windows.h>

#include "platform/system_api.h"
#include "power/power_platform.h"
#include "settings/core/app_settings.h"

namespace vantrel::power {

inline constexpr char kWakeUpTimerName[] = "Global\\CorvaneWakeUpTimer";
inline constexpr DWORD kWakeUpBeepFrequency = 1000;  // Hz
inline constexpr DWORD kWakeUpBeepDuration = 1000;   // ms

// What the waiting thread needs; created by Start, owned and freed by the thread.
struct WakeUpRequest {
  LONGLONG due_time = 0;  // 100-nanosecond units, negative: relative to now
  PTIMERAPCROUTINE completion = nullptr;
  LPVOID context = nullptr;  // handed to the completion routine
  HANDLE timer = nullptr;
  HANDLE armed = nullptr;  // set by the thread once it is done with the timer handle
};

// One wake-up request. The timer handle lives in the PowerPlatform's wake-up timer member.
class WakeUpTimer : public PowerPlatform {
 public:
  WakeUpTimer() = default;
  // Closes the timer and the thread's signal, unless Abandon was called.
  ~WakeUpTimer();

  // Creates the timer and starts the waiting thread, which arms it; returns once the timer
  // is armed (or arming failed), so the caller may suspend at once. 0, or the error of the
  // thread's creation. When the timer cannot be created, 0 with no thread and `thread` as it
  // was.
  int Start(int seconds, PTIMERAPCROUTINE routine, HANDLE* thread, LPVOID context = nullptr);
  // Cancels the timer: 0 and the handle forgotten, or the last error (also when there is no
  // timer, which changes nothing).
  int Cancel();
  // For a waiting thread that could not be joined: its handles are left open rather than
  // closed under it.
  void Abandon() noexcept;

 private:
  platform::SysHandle owned_timer_;  // the timer until the request is over, also after Cancel
  HANDLE armed_ = nullptr;
};

// The waiting thread: arms the timer, then waits alertably until the completion routine (or
// a request to stop) ends the wait. Exit code 0, or the error of the arming;
// ERROR_NOT_SUPPORTED when the timer is set but cannot resume the machine.
DWORD WINAPI WakeUpThread(LPVOID request);

// The completion routine: one beep when BeepAfterWakeUp is set in the settings that
// `context` points to.
VOID CALLBACK OnWakeUpTimer(LPVOID context, DWORD lowTime, DWORD highTime);

// Ends the waiting thread's alertable wait and joins it within a bounded time; closes the
// thread handle. False when the thread did not end in time.
bool StopWakeUpThread(HANDLE thread);

// The whole request: arm a wake-up after `seconds`, sleep at once without asking
// applications and with wake events enabled, and clean up when the machine runs again.
void SleepAndWakeUpAfter(DWORD seconds, const settings::AppSettings& settings);

// Seconds of a "WakeUp After" command; 0 for an identifier that is not one (the base itself,
// 0 hours 0 minutes, included).
DWORD WakeUpSecondsForCommand(UINT command);
// Carries out a "WakeUp After" command: false, with nothing armed and no sleep, for an
// identifier that is not one or that means no time at all.
bool RunWakeUpCommand(UINT command, const settings::AppSettings& settings);

}  // namespace vantrel::power
