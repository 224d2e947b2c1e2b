#include "platform/core/plan_guids.h"

#include <cstdio>

namespace vantrel::platform {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `digits` hex digits from `text` at `at`; false when one is not a hex digit.
bool ReadHex(std::string_view text, size_t at, size_t digits, uint32_t* value) {
  uint32_t v = 0;
  for (size_t i = 0; i < digits; ++i) {
    const int d = HexDigit(text[at + i]);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  *value = v;
  return true;
}

}  // namespace

std::string FormatGuid(const PlanGuid& g) {
  char text[40];
  std::snprintf(text, sizeof text, "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", static_cast<unsigned>(g.data1),
                g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
                g.data4[7]);
  return text;
}

bool ParseGuid(std::string_view text, PlanGuid* out) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') return false;
  PlanGuid g;
  uint32_t v = 0;
  if (!ReadHex(text, 0, 8, &g.data1)) return false;
  if (!ReadHex(text, 9, 4, &v)) return false;
  g.data2 = static_cast<uint16_t>(v);
  if (!ReadHex(text, 14, 4, &v)) return false;
  g.data3 = static_cast<uint16_t>(v);
  // Two bytes before the last dash, six after it.
  constexpr size_t kByteAt[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (size_t i = 0; i < 8; ++i) {
    if (!ReadHex(text, kByteAt[i], 2, &v)) return false;
    g.data4[i] = static_cast<uint8_t>(v);
  }
  if (out) *out = g;
  return true;
}

}  // namespace vantrel::platform
