// One image of an icon resource made into an icon: LoadImage always picks the image that suits
// the display, this picks a given one from the resource's group directory.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>

namespace vantrel::testing {

// The image of icon `id` at `size` pixels and `bits` colour depth, as an icon the caller
// destroys; null when the module has no such image or the directory is cut short.
inline HICON LoadIconImage(HMODULE module, int id, int size, int bits) {
  auto bytes = [module](LPCSTR name, LPCSTR type, DWORD* length) -> const uint8_t* {
    HRSRC found = ::FindResourceA(module, name, type);
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    *length = found ? ::SizeofResource(module, found) : 0;
    return loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
  };
  // Directory: reserved, type, count (16 bits each), then 14-byte entries: width, height,
  // colours, reserved (bytes), planes, bit count (16 bits), size (32 bits), resource id (16 bits).
  DWORD length = 0;
  const uint8_t* directory = bytes(MAKEINTRESOURCEA(id), RT_GROUP_ICON, &length);
  WORD count = 0;
  if (!directory || length < 6) return nullptr;
  std::memcpy(&count, directory + 4, sizeof count);
  for (WORD i = 0; i < count && 6 + (i + 1) * 14u <= length; ++i) {
    const uint8_t* entry = directory + 6 + i * 14;
    WORD depth = 0, image_id = 0;
    std::memcpy(&depth, entry + 6, sizeof depth);
    std::memcpy(&image_id, entry + 12, sizeof image_id);
    if ((entry[0] == 0 ? 256 : entry[0]) != size || depth != bits) continue;
    const uint8_t* image = bytes(MAKEINTRESOURCEA(image_id), RT_ICON, &length);
    return image ? ::CreateIconFromResourceEx(const_cast<PBYTE>(image), length, TRUE, 0x00030000, size, size,
                                              LR_DEFAULTCOLOR)
                 : nullptr;
  }
  return nullptr;
}

}  // namespace vantrel::testing
