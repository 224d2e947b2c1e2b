#include "framework/caught.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <exception>

namespace vantrel::fw {

namespace {

// Callbacks can run on other threads (a wait thread, a system enumeration).
std::atomic<long> g_caught{0};
std::atomic<long> g_quiet{0};

}  // namespace

void ReportCaughtException(const char* where) noexcept {
  g_caught.fetch_add(1, std::memory_order_relaxed);
  const char* what = "not a std::exception";
  // Rethrown only to learn its type; an exception outside a catch block has nothing to say.
  if (std::exception_ptr current = std::current_exception()) {
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
  } else {
    what = "no exception in flight";
  }
  char line[512];
  std::snprintf(line, sizeof line, "Vantrel: exception stopped in %s: %s\n", where ? where : "(unnamed)",
                what ? what : "");
  ::OutputDebugStringA(line);
}

long CaughtExceptionCount() noexcept { return g_caught.load(std::memory_order_relaxed); }

void ResetCaughtExceptionCount() noexcept { g_caught.store(0, std::memory_order_relaxed); }

void TraceQuietFailure(const char* where, unsigned long error, const char* what) noexcept {
  const DWORD last_error = ::GetLastError();
  g_quiet.fetch_add(1, std::memory_order_relaxed);
  char line[512];
  std::snprintf(line, sizeof line, "Vantrel: quiet failure in %s%s%s%s: error %lu\n", where ? where : "(unnamed)",
                what ? " (" : "", what ? what : "", what ? ")" : "", error);
  ::OutputDebugStringA(line);
  ::SetLastError(last_error);
}

void TraceQuietFailure(const char* where) noexcept { TraceQuietFailure(where, ::GetLastError()); }

long QuietFailureCount() noexcept { return g_quiet.load(std::memory_order_relaxed); }

void ResetQuietFailureCount() noexcept { g_quiet.store(0, std::memory_order_relaxed); }

}  // namespace vantrel::fw
