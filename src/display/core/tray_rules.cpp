#include "display/core/tray_rules.h"

#include <algorithm>
#include <cstring>

namespace vantrel::display {

uint32_t FreeIconId(const std::vector<uint32_t>& used) {
  // Among n + 1 candidates at least one is free, so the search ends.
  for (uint32_t id = 1;; ++id) {
    if (std::find(used.begin(), used.end(), id) == used.end()) return id;
  }
}

uint8_t PlatformVersionCode(unsigned platform, unsigned major, unsigned minor) noexcept {
  (void)major;
  if (platform == kPlatformWindows9x) {
    if (minor == 0) return 1;
    if (minor == 10) return 2;
    if (minor == 90) return 3;
    return 0;
  }
  if (platform == kPlatformNt) {
    if (minor == 51) return 4;
    if (major == 4 && minor == 0) return 5;
    if (major == 5 && minor == 0) return 6;
    if (minor == 1) return 7;
  }
  return 0;
}

void CopyTooltip(const std::string& tip, char* out, std::size_t size) noexcept {
  if (!out || size == 0) return;
  std::size_t length = std::min({std::strlen(tip.c_str()), kTooltipMax, size - 1});
  std::memcpy(out, tip.data(), length);
  out[length] = '\0';
}

}  // namespace vantrel::display
