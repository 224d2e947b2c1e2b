// The portable rules of the power-scheme list: the entry record, how identifiers for new
// schemes are chosen and how names and descriptions are cut before they are stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::power {

// One power scheme known to the system. Its position in the list is its scheme number.
struct PowerSchemeEntry {
  uint32_t id = 0;
  std::string name;         // ANSI, in the user's code page
  std::string description;  // ANSI, in the user's code page
};

// The system keeps at most this many characters of a scheme's name and description.
inline constexpr std::size_t kSchemeNameLimit = 32;
inline constexpr std::size_t kSchemeDescriptionLimit = 255;

// The smallest positive identifier that no entry uses; 0 is never given out.
uint32_t NewSchemeId(const std::vector<PowerSchemeEntry>& schemes);

// Tells whether a byte starts a two-byte character in the current code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// The length of the longest prefix of `text` that has at most `limit` bytes and does not end
// in the middle of a two-byte character. Without a predicate every byte is one character.
std::size_t CutLength(std::string_view text, std::size_t limit, LeadBytePredicate isLeadByte = nullptr);

inline std::string_view CutSchemeName(std::string_view name, LeadBytePredicate isLeadByte = nullptr) {
  return name.substr(0, CutLength(name, kSchemeNameLimit, isLeadByte));
}
inline std::string_view CutSchemeDescription(std::string_view text, LeadBytePredicate isLeadByte = nullptr) {
  return text.substr(0, CutLength(text, kSchemeDescriptionLimit, isLeadByte));
}

}  // namespace vantrel::power
