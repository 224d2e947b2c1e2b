// Failures stopped or swallowed on purpose leave a trace instead of vanishing: a debugger line
// and a count that the tests watch.
//  - Exceptions stopped at a boundary they may not cross (a window procedure, a system
//    callback, a command handler).
//  - Quiet failures: those the user is deliberately not told about (a page that could not be
//    made, a policy or settings write that failed, a registry value that was not written).
//    Nothing changes on screen.
#pragma once

namespace vantrel::fw {

// Call from inside a catch block. Writes one OutputDebugString line naming `where` and, for a
// std::exception, its what(); counts the exception.
void ReportCaughtException(const char* where) noexcept;

// Exceptions reported since the process started, or since the last reset.
long CaughtExceptionCount() noexcept;
void ResetCaughtExceptionCount() noexcept;

// Writes one OutputDebugString line naming `where` (and `what`, when given: a value's name)
// with the error code, and counts the failure. The thread's last error is left as it was.
void TraceQuietFailure(const char* where, unsigned long error, const char* what = nullptr) noexcept;
// The same with the thread's last error as the error code.
void TraceQuietFailure(const char* where) noexcept;

// Quiet failures traced since the process started, or since the last reset.
long QuietFailureCount() noexcept;
void ResetQuietFailureCount() noexcept;

}  // namespace vantrel::fw
