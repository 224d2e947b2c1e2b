// One image of an icon resource made into an icon: LoadImage always picks the image that suits
// the display, this picks a given one from the resource's group directory.
#pragma once

#include <windows.h>

#include <cstdint>

namespace vantrel::testing {

// The image of icon `id` at `size` pixels and `bits` colour depth, as an icon the caller
// destroys; null when the module has no such image or the directory is cut short.
inline HICON LoadIconImage(HMODULE module, int id, int size, int bits) {
  auto bytes = [module](LPCSTR name, LPCSTR type, DWORD* length) -> const uint8_t* {
    HRSRC found = ::FindResourceA(module, name, type);
    *length = found ? ::SizeofResource(module, found) : 0;
    return found ? static_cast<const uint8_t*>(::LockResource(::LoadResource(module, found))) : nullptr;
  };
  // A 6-byte header with the count at 4, then 14-byte entries: width at 0, bit count at 6, id at 12.
  DWORD length = 0;
  const uint8_t* directory = bytes(MAKEINTRESOURCEA(id), RT_GROUP_ICON, &length);
  auto word = [](const uint8_t* at) { return static_cast<WORD>(at[0] | at[1] << 8); };
  for (WORD i = 0; directory && length >= 6 && i < word(directory + 4) && 6 + (i + 1) * 14u <= length; ++i) {
    const uint8_t* entry = directory + 6 + i * 14;
    if ((entry[0] == 0 ? 256 : entry[0]) != size || word(entry + 6) != bits) continue;
    const uint8_t* image = bytes(MAKEINTRESOURCEA(word(entry + 12)), RT_ICON, &length);
    return image ? ::CreateIconFromResourceEx(const_cast<PBYTE>(image), length, TRUE, 0x00030000, size, size,
                                              LR_DEFAULTCOLOR)
                 : nullptr;
  }
  return nullptr;
}

}  // namespace vantrel::testing
