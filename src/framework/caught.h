// Exceptions stopped at a boundary they may not cross (a window procedure, a system callback,
// a command handler) are recorded here instead of vanishing: a debugger line and a count that
// the tests watch.
#pragma once

namespace vantrel::fw {

// Call from inside a catch block. Writes one OutputDebugString line naming `where` and, for a
// std::exception, its what(); counts the exception.
void ReportCaughtException(const char* where) noexcept;

// Exceptions reported since the process started, or since the last reset.
long CaughtExceptionCount() noexcept;
void ResetCaughtExceptionCount() noexcept;

}  // namespace vantrel::fw
