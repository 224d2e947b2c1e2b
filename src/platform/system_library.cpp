#include "platform/system_library.h"

#include <cstring>

namespace vantrel::platform {

HMODULE LoadSystemLibrary(const char* file_name) noexcept {
  char path[MAX_PATH] = {};
  const size_t name_length = file_name ? std::strlen(file_name) : 0;
  const UINT length = ::GetSystemDirectoryA(path, sizeof path);
  // The folder, a backslash, the name and its terminator.
  if (name_length == 0 || length == 0 || length + 1 + name_length + 1 > sizeof path) {
    ::SetLastError(ERROR_BAD_PATHNAME);
    return nullptr;
  }
  path[length] = '\\';
  std::memcpy(path + length + 1, file_name, name_length + 1);
  return ::LoadLibraryA(path);
}

}  // namespace vantrel::platform
