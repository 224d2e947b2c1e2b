// Scheme files from untrusted bytes. The reader must not crash; what it accepts must write
// back to a file it reads again as the same scheme, and import on either back end.
#include "power/core/scheme_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vantrel::power;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  SchemeFile file;
  if (!ReadSchemeFile(bytes, &file).ok()) return 0;
  std::string text;
  SchemeFile again;
  if (!WriteSchemeFile(file, &text).ok() || !ReadSchemeFile(text, &again).ok()) std::abort();
  if (again.name != file.name || again.description != file.description || again.records != file.records ||
      again.settings != file.settings || !(again.personality == file.personality)) {
    std::abort();
  }
  for (SchemeBackend target : {SchemeBackend::Xp, SchemeBackend::Plan}) {
    SchemeImport imported;
    if (ImportSchemeFile(bytes, target, file.records, &imported).ok() && imported.scheme.backend != target)
      std::abort();
  }
  return 0;
}
