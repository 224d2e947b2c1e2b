// Reading the version resource: the product version and string values of a well-formed one,
// nothing (and no read past the end) from a damaged one.
#include "app/core/version_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel::app {
namespace {

using Bytes = std::vector<uint8_t>;

struct Node {
  std::string key;
  Bytes value;
  bool text = false;
  std::vector<Node> children;
};

void Pad(Bytes& out) {
  while (out.size() % 4) out.push_back(0);
}
void PutWord(Bytes& out, size_t at, size_t word) {
  out[at] = static_cast<uint8_t>(word);
  out[at + 1] = static_cast<uint8_t>(word >> 8);
}
Bytes Wide(const std::string& text) {
  Bytes out;
  for (unsigned char c : text) out.insert(out.end(), {c, 0});
  out.insert(out.end(), {0, 0});
  return out;
}
Bytes Text(const std::u16string& text) {
  Bytes out;
  for (char16_t c : text) out.insert(out.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8)});
  out.insert(out.end(), {0, 0});
  return out;
}
Bytes Encode(const Node& node) {
  Bytes out(6, 0);
  Bytes key = Wide(node.key);
  out.insert(out.end(), key.begin(), key.end());
  Pad(out);
  out.insert(out.end(), node.value.begin(), node.value.end());
  for (const Node& child : node.children) {
    Pad(out);
    Bytes encoded = Encode(child);
    out.insert(out.end(), encoded.begin(), encoded.end());
  }
  PutWord(out, 0, out.size());
  PutWord(out, 2, node.text ? node.value.size() / 2 : node.value.size());
  PutWord(out, 4, node.text ? 1 : 0);
  return out;
}
Bytes FixedInfo(uint32_t product_high) {
  Bytes info(52, 0);
  const uint32_t words[] = {0xFEEF04BD, 0x00010000, 0x00010000, 0, product_high, 0};
  for (size_t i = 0; i < std::size(words); ++i)
    for (size_t b = 0; b < 4; ++b) info[i * 4 + b] = static_cast<uint8_t>(words[i] >> (8 * b));
  return info;
}
Bytes Resource(uint32_t product_high = 0x00010000) {
  Node strings{"040904E4", {}, true,
               {{"FileVersion", Text(u"1.00"), true, {}},
                {"ProductName", Text(u"Vantrel"), true, {}},
                {"Comments", Text(u"caf\u00e9 \u20ac"), true, {}}}};
  Node root{"VS_VERSION_INFO", FixedInfo(product_high), false,
            {{"StringFileInfo", {}, true, {strings}}, {"VarFileInfo", {}, true, {}}}};
  return Encode(root);
}

TEST(VersionInfoTest, ReadsTheProductVersionAndStringValues) {
  const Bytes resource = Resource();
  auto version = FixedProductVersion(resource);
  ASSERT_TRUE(version.has_value());
  EXPECT_EQ(version->major, 1u);
  EXPECT_EQ(version->minor, 0u);
  EXPECT_EQ(FixedProductVersion(Resource(0x0002000C))->minor, 12u);
  EXPECT_EQ(VersionString(resource, "ProductName"), "Vantrel");
  EXPECT_EQ(VersionString(resource, "FileVersion"), "1.00");
  EXPECT_EQ(VersionString(resource, "Comments"), "caf\xe9 ?");  // 8-bit characters kept, wider ones not
  EXPECT_FALSE(VersionString(resource, "ProductVersion").has_value());
  EXPECT_FALSE(VersionString(resource, "040904E4").has_value()) << "a table is not a value";

  EXPECT_EQ(FormatVersion(1, 0), "1.00");
  EXPECT_EQ(FormatVersion(2, 5), "2.05");
  EXPECT_EQ(FormatVersion(1, 10), "1.10");
}

TEST(VersionInfoTest, DamagedResourcesGiveNothingAndAreNeverReadPastTheirEnd) {
  const Bytes good = Resource();
  // Cut short, with the outer length either kept (claiming more than there is) or made to fit.
  for (size_t size = 0; size < good.size(); ++size) {
    for (bool fit : {false, true}) {
      Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
      if (fit && size >= 2) PutWord(cut, 0, size);
      auto name = VersionString(cut, "ProductName");
      EXPECT_TRUE(!name || *name == "Vantrel") << size;
      auto version = FixedProductVersion(cut);
      EXPECT_TRUE(!version || version->major == 1) << size;
    }
  }
  Bytes wrong_root = good;
  wrong_root[6] = 'X';  // the key no longer reads VS_VERSION_INFO
  EXPECT_FALSE(FixedProductVersion(wrong_root).has_value());
  EXPECT_FALSE(VersionString(wrong_root, "ProductName").has_value());
  Bytes no_signature = good;
  no_signature[40] ^= 0xFF;  // the fixed part follows the 32-byte key, 4-aligned
  EXPECT_FALSE(FixedProductVersion(no_signature).has_value());
  EXPECT_EQ(VersionString(no_signature, "ProductName"), "Vantrel");
  Bytes no_key_end(6, 0);
  PutWord(no_key_end, 0, 6);
  no_key_end.insert(no_key_end.end(), {'V', 0, 'S', 0});
  PutWord(no_key_end, 0, no_key_end.size());
  EXPECT_FALSE(FixedProductVersion(no_key_end).has_value());
}

}  // namespace
}  // namespace vantrel::app
