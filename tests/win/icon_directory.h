// The images an icon resource holds, read from its group directory, and one of them made into
// an icon: LoadImage always picks the image that suits the display, these pick a given one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace vantrel::testing {

struct IconImage {
  int size = 0;  // width = height in pixels
  int bits = 0;  // colour depth
  WORD resource_id = 0;  // of the RT_ICON resource holding the image
};

inline const void* ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type, DWORD* length) {
  HRSRC found = ::FindResourceA(module, name, type);
  HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
  *length = found ? ::SizeofResource(module, found) : 0;
  return loaded ? ::LockResource(loaded) : nullptr;
}

// The images of icon `id`, empty when the module has no such icon or its directory is cut short.
inline std::vector<IconImage> IconImages(HMODULE module, int id) {
  // Directory: reserved, type, count (16 bits each), then 14-byte entries: width, height,
  // colours, reserved (bytes), planes, bit count (16 bits), size (32 bits), resource id (16 bits).
  constexpr DWORD kHeader = 6, kEntry = 14;
  DWORD length = 0;
  const auto* data = static_cast<const uint8_t*>(ResourceBytes(module, MAKEINTRESOURCEA(id), RT_GROUP_ICON, &length));
  std::vector<IconImage> images;
  if (!data || length < kHeader) return images;
  WORD count = 0;
  std::memcpy(&count, data + 4, sizeof count);
  if (length < kHeader + count * kEntry) return images;
  for (WORD i = 0; i < count; ++i) {
    const uint8_t* entry = data + kHeader + i * kEntry;
    IconImage image;
    image.size = entry[0] == 0 ? 256 : entry[0];
    WORD bits = 0;
    std::memcpy(&bits, entry + 6, sizeof bits);
    std::memcpy(&image.resource_id, entry + 12, sizeof image.resource_id);
    image.bits = bits;
    images.push_back(image);
  }
  return images;
}

// The raw image (header, pixels, mask) of icon `id` at `size` and `bits`; null when missing.
inline const uint8_t* IconImageBytes(HMODULE module, int id, int size, int bits, DWORD* length) {
  *length = 0;
  for (const IconImage& image : IconImages(module, id)) {
    if (image.size == size && image.bits == bits)
      return static_cast<const uint8_t*>(ResourceBytes(module, MAKEINTRESOURCEA(image.resource_id), RT_ICON, length));
  }
  return nullptr;
}

// That image as an icon the caller destroys; null when missing.
inline HICON LoadIconImage(HMODULE module, int id, int size, int bits) {
  DWORD length = 0;
  const uint8_t* bytes = IconImageBytes(module, id, size, bits, &length);
  if (!bytes) return nullptr;
  return ::CreateIconFromResourceEx(const_cast<PBYTE>(bytes), length, TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR);
}

}  // namespace vantrel::testing
