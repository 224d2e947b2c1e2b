#include "ui/bindings.h"

#include <cstdlib>

namespace vantrel::ui {

std::string TimeFieldText(uint32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%u%02u%02u", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
  return text;
}

uint32_t TimeFieldSeconds(const std::string& digits) {
  // The leading digits, as a decimal number of the form HMMSS; anything past five digits
  // cannot come from the field and is ignored rather than allowed to overflow.
  uint32_t v = 0;
  for (size_t i = 0; i < digits.size() && i < 9 && digits[i] >= '0' && digits[i] <= '9'; ++i)
    v = v * 10 + static_cast<uint32_t>(digits[i] - '0');
  return (v / 10000) * 3600 + ((v % 10000) / 100) * 60 + v % 100;
}

}  // namespace vantrel::ui
