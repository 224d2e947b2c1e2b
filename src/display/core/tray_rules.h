// Pure rules of the notification-area icon: the free identifier, the platform version code
// that decides how the shell's icon list may be read, the shell version number and the
// tooltip cut. No Windows types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::display {

// The smallest identifier 1, 2, 3 ... that none of `used` takes.
uint32_t FreeIconId(const std::vector<uint32_t>& used);

// Platform families as the operating system's version record names them.
inline constexpr unsigned kPlatformWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr unsigned kPlatformNt = 2;         // VER_PLATFORM_WIN32_NT

// 1..3: Windows 95 / 98 / Me; 4: NT 3.51; 5: NT 4.0; 6: 2000; 7: x.1 (XP, 7); 0: none of them.
uint8_t PlatformVersionCode(unsigned platform, unsigned major, unsigned minor) noexcept;

// (major << 16) | minor, as the shell library reports its version.
inline constexpr uint32_t ShellVersion(uint32_t major, uint32_t minor) noexcept {
  return (major << 16) | (minor & 0xFFFF);
}
// Shells from version 5.0 take the long notification record.
inline constexpr uint32_t kLongRecordShell = ShellVersion(5, 0);

// The tooltip holds at most this many characters (plus the terminating zero).
inline constexpr std::size_t kTooltipMax = 63;
// Copies `tip` into `out` (of `size` bytes, at least 1), cut at 63 characters and at the
// first zero, always terminated.
void CopyTooltip(const std::string& tip, char* out, std::size_t size) noexcept;

}  // namespace vantrel::display
