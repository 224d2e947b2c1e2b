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

std::string DurationText(uint32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
  return text;
}

std::string NumberFieldText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(value));
  return text;
}

uint32_t NumberFieldValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // Accumulated as a magnitude that stops growing past the bound: no overflow on long input.
  int64_t magnitude = 0;
  const int64_t bound = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > bound) magnitude = bound;
  }
  return static_cast<uint32_t>(static_cast<int32_t>(negative ? -magnitude : magnitude));
}

}  // namespace vantrel::ui
