#include "power/core/scheme_rules.h"

namespace vantrel::power {

uint32_t NewSchemeId(const std::vector<PowerSchemeEntry>& schemes) {
  // Every taken candidate restarts the scan, so the result is the smallest free one
  // whatever order the identifiers come in.
  uint32_t candidate = 1;
  for (std::size_t i = 0; i < schemes.size();) {
    if (schemes[i].id == candidate) {
      ++candidate;
      i = 0;
    } else {
      ++i;
    }
  }
  return candidate;
}

std::size_t CutLength(std::string_view text, std::size_t limit, LeadBytePredicate isLeadByte) {
  if (text.size() <= limit) return text.size();
  if (!isLeadByte) return limit;
  std::size_t end = 0;
  while (end < limit) {
    std::size_t width = isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > limit) break;
    end += width;
  }
  return end;
}

}  // namespace vantrel::power
