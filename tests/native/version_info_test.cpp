// Reading the version resource: the product version and string values of a well-formed one,
// nothing (and no read past the end) from a damaged one.
#include "app/core/version_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantrel::app {
namespace {

using Bytes = std::vector<uint8_t>;

void PutWord(Bytes& out, size_t at, size_t word) {
  out[at] = static_cast<uint8_t>(word);
  out[at + 1] = static_cast<uint8_t>(word >> 8);
}
// A block: length, value length (characters for text), type, UTF-16 key, value and children,
// each part on a 4-byte boundary.
Bytes Block(const std::string& key, Bytes value, bool text, const std::vector<Bytes>& children = {}) {
  Bytes out(6, 0);
  for (unsigned char c : key + '\0') out.insert(out.end(), {c, 0});
  auto pad = [&out] { out.resize((out.size() + 3) & ~size_t{3}); };
  pad();
  out.insert(out.end(), value.begin(), value.end());
  for (const Bytes& child : children) {
    pad();
    out.insert(out.end(), child.begin(), child.end());
  }
  PutWord(out, 0, out.size());
  PutWord(out, 2, text ? value.size() / 2 : value.size());
  PutWord(out, 4, text);
  return out;
}
Bytes Text(const std::u16string& text) {
  Bytes out;
  for (char16_t c : text + u'\0') out.insert(out.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
  return out;
}
Bytes Resource(uint32_t product_high = 0x00010000) {
  Bytes fixed(52, 0);
  for (size_t b = 0; b < 4; ++b) {
    fixed[b] = static_cast<uint8_t>(0xFEEF04BDu >> (8 * b));
    fixed[16 + b] = static_cast<uint8_t>(product_high >> (8 * b));
  }
  Bytes table = Block("040904E4", {}, true,
                      {Block("ProductName", Text(u"Vantrel"), true), Block("Comments", Text(u"caf\u00e9 \u20ac"), true)});
  return Block("VS_VERSION_INFO", fixed, false,
               {Block("StringFileInfo", {}, true, {table}), Block("VarFileInfo", {}, true)});
}

TEST(VersionInfoTest, ReadsTheProductVersionAndStringValuesAndNeverPastTheEnd) {
  const Bytes good = Resource();
  const auto version = FixedProductVersion(Resource(0x0002000C));
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(std::make_pair(version->major, version->minor), std::make_pair(2u, 12u));
  EXPECT_EQ(VersionString(good, "ProductName"), "Vantrel");
  EXPECT_EQ(VersionString(good, "Comments"), "caf\xe9 ?");  // 8-bit characters kept, wider ones not
  EXPECT_FALSE(VersionString(good, "ProductVersion").has_value());
  EXPECT_FALSE(VersionString(good, "040904E4").has_value()) << "a table is not a value";

  // Cut short, its length either kept (claiming more than there is) or made to fit: nothing
  // but the right answers, and never a read past the end.
  for (size_t size = 0; size < good.size(); ++size) {
    for (bool fit : {false, true}) {
      Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
      if (fit && size >= 2) PutWord(cut, 0, size);
      auto name = VersionString(cut, "ProductName");
      EXPECT_TRUE(!name || *name == "Vantrel") << size;
      auto product = FixedProductVersion(cut);
      EXPECT_TRUE(!product || product->major == 1) << size;
    }
  }
  Bytes wrong_root = good;
  wrong_root[6] = 'X';  // the key no longer reads VS_VERSION_INFO
  EXPECT_FALSE(VersionString(wrong_root, "ProductName").has_value());
  Bytes no_signature = good;
  no_signature[40] ^= 0xFF;  // the fixed part follows the 32-byte key
  EXPECT_FALSE(FixedProductVersion(no_signature).has_value());
  EXPECT_EQ(VersionString(no_signature, "ProductName"), "Vantrel");
}

}  // namespace
}  // namespace vantrel::app
