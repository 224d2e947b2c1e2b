// Reading the program's version resource: the product version numbers of its fixed part and
// the texts of its string tables. The resource is read as bytes, so a damaged or truncated one
// gives nothing rather than a read past its end.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vantrel::app {

struct ProductVersion {
  unsigned major = 0;
  unsigned minor = 0;
};

// The product version of the fixed part (its high word pair), when the resource holds one.
std::optional<ProductVersion> FixedProductVersion(std::span<const uint8_t> resource);
// The first string value named `key` in any string table, as 8-bit text (characters beyond
// 8 bits become '?'); nothing when there is none.
std::optional<std::string> VersionString(std::span<const uint8_t> resource, std::string_view key);
// "major.minor" with two minor digits: 1 and 0 give "1.00".
std::string FormatVersion(unsigned major, unsigned minor);

}  // namespace vantrel::app
