// Libraries the program loads at run time come from the system folder only. Windows takes a
// library that is not one of its "known DLLs" from the program's own folder first, and a zip
// is unpacked anywhere, often among downloads: a library of the same name there must not run
// inside the program.
#pragma once

#include <windows.h>

namespace vantrel::platform {

// LoadLibraryA with the full path in the system folder (GetSystemDirectoryA): the only form
// every Windows from XP on honours (the loader's newer search flags do not exist on XP). Null,
// with the last error set, when the path does not fit or the library is not there. The
// caller frees the module with FreeLibrary.
HMODULE LoadSystemLibrary(const char* file_name) noexcept;

}  // namespace vantrel::platform
