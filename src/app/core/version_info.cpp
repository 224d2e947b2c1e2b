#include "app/core/version_info.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::app {

namespace {

// Every block: its length, its value's length, its type (1: text), a zero-terminated UTF-16
// key, its value and its child blocks, each part starting on a 4-byte boundary.
constexpr size_t kHeaderSize = 6;
constexpr uint16_t kTextType = 1;
constexpr char kRootKey[] = "VS_VERSION_INFO";
constexpr char kStringFileInfoKey[] = "StringFileInfo";
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr size_t kFixedInfoSize = 52;
constexpr size_t kProductVersionOffset = 16;  // its high half; the low half follows

struct Block {
  std::u16string key;
  std::span<const uint8_t> value;
  bool text = false;
  size_t children = 0;  // offset of the first child
  size_t end = 0;       // offset just past the block
};

uint16_t Word(std::span<const uint8_t> data, size_t offset) {
  return static_cast<uint16_t>(data[offset] | data[offset + 1] << 8);
}

size_t Align4(size_t n) { return (n + 3) & ~size_t{3}; }

// The block at `offset`; it must end by `limit`.
std::optional<Block> ReadBlock(std::span<const uint8_t> data, size_t offset, size_t limit) {
  if (limit > data.size() || offset > limit || limit - offset < kHeaderSize) return std::nullopt;
  const size_t length = Word(data, offset);
  if (length < kHeaderSize || length > limit - offset) return std::nullopt;
  Block block;
  block.end = offset + length;
  const size_t value_length = Word(data, offset + 2);
  block.text = Word(data, offset + 4) == kTextType;
  size_t p = offset + kHeaderSize;
  for (;;) {
    if (block.end - p < 2) return std::nullopt;  // the key runs past the block
    const uint16_t c = Word(data, p);
    p += 2;
    if (c == 0) break;
    block.key.push_back(static_cast<char16_t>(c));
  }
  const size_t value_begin = std::min(Align4(p), block.end);
  // Text lengths count characters; some tools count bytes, so the value is kept within the block.
  const size_t value_bytes = std::min(block.text ? value_length * 2 : value_length, block.end - value_begin);
  block.value = data.subspan(value_begin, value_bytes);
  block.children = std::min(Align4(value_begin + value_bytes), block.end);
  return block;
}

bool KeyIs(const Block& block, std::string_view key) {
  return std::equal(block.key.begin(), block.key.end(), key.begin(), key.end(),
                    [](char16_t a, char b) { return a == static_cast<unsigned char>(b); });
}

// Calls `visit` for each child until it returns true.
template <class Visit>
void ForEachChild(std::span<const uint8_t> data, const Block& parent, Visit visit) {
  size_t p = parent.children;
  while (p < parent.end) {
    std::optional<Block> child = ReadBlock(data, p, parent.end);
    if (!child || visit(*child)) return;
    p = Align4(child->end);  // each block is at least a header long: the walk always advances
  }
}

std::optional<Block> Root(std::span<const uint8_t> resource) {
  std::optional<Block> root = ReadBlock(resource, 0, resource.size());
  if (!root || !KeyIs(*root, kRootKey)) return std::nullopt;
  return root;
}

uint32_t DoubleWord(std::span<const uint8_t> data, size_t offset) {
  return static_cast<uint32_t>(Word(data, offset)) | static_cast<uint32_t>(Word(data, offset + 2)) << 16;
}

std::string Narrow(std::span<const uint8_t> value) {
  std::string text;
  for (size_t i = 0; i + 1 < value.size(); i += 2) {
    const uint16_t c = Word(value, i);
    if (c == 0) break;
    text.push_back(c < 0x100 ? static_cast<char>(c) : '?');
  }
  return text;
}

}  // namespace

std::optional<ProductVersion> FixedProductVersion(std::span<const uint8_t> resource) {
  std::optional<Block> root = Root(resource);
  if (!root || root->value.size() < kFixedInfoSize || DoubleWord(root->value, 0) != kFixedSignature) {
    return std::nullopt;
  }
  const uint32_t high = DoubleWord(root->value, kProductVersionOffset);
  return ProductVersion{high >> 16, high & 0xFFFF};
}

std::optional<std::string> VersionString(std::span<const uint8_t> resource, std::string_view key) {
  std::optional<Block> root = Root(resource);
  if (!root) return std::nullopt;
  std::optional<std::string> found;
  ForEachChild(resource, *root, [&](const Block& info) {
    if (!KeyIs(info, kStringFileInfoKey)) return false;
    ForEachChild(resource, info, [&](const Block& table) {
      ForEachChild(resource, table, [&](const Block& entry) {
        if (KeyIs(entry, key)) found = Narrow(entry.value);
        return found.has_value();
      });
      return found.has_value();
    });
    return found.has_value();
  });
  return found;
}

std::string FormatVersion(unsigned major, unsigned minor) {
  char text[32];
  std::snprintf(text, sizeof text, "%u.%02u", major, minor);
  return text;
}

}  // namespace vantrel::app
