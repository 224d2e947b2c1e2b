// Every registry access of the program: one key path below one root, opened afresh for each
// access and closed again, so no handle is kept between calls.
#pragma once

#include <windows.h>

#include <string>

namespace vantrel::settings {

class RegistryKey {
 public:
  RegistryKey() = default;

  // Accepts only HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE and HKEY_USERS;
  // anything else is refused and the old root kept.
  bool SetRoot(HKEY root) noexcept;
  HKEY root() const noexcept { return root_; }

  // Opens (or, with create, creates) `path` with full access to check that it can be used and
  // remembers it as the current path. An empty path clears the current path, and so does a
  // failure. Without a current path every read gives its default and every write fails.
  bool Open(const std::string& path, bool create);
  const std::string& path() const noexcept { return path_; }
  LONG last_error() const noexcept { return last_error_; }

  // A number stored in at most 4 bytes of any type; the default for anything else.
  DWORD ReadNumber(const char* name, DWORD fallback);
  // A number stored as exactly 4 bytes of REG_BINARY or REG_DWORD; the default for anything
  // else, so that a value of another type or size cannot pass for a number.
  DWORD ReadExactNumber(const char* name, DWORD fallback);
  bool ValueExists(const char* name);
  // The value's registry type, 0 when the key or the value is missing.
  DWORD ValueType(const char* name);
  // A REG_SZ or REG_EXPAND_SZ value of at most 255 bytes (not expanded); the default otherwise.
  std::string ReadString(const char* name, const std::string& fallback);

  // Stores a 4-byte REG_BINARY value.
  bool WriteNumber(const char* name, DWORD value);
  // Stores REG_SZ; texts longer than 254 characters are refused.
  bool WriteString(const char* name, const std::string& text);
  bool DeleteValue(const char* name);

  // When false, every successful write or key creation is flushed. The program never clears it.
  void set_no_flush(bool no_flush) noexcept { no_flush_ = no_flush; }

 private:
  HKEY OpenCurrent(REGSAM access);
  // Traces the failed write of `name`; false.
  bool NotWritten(const char* name, LONG error) const;

  LONG last_error_ = ERROR_SUCCESS;
  HKEY root_ = HKEY_CURRENT_USER;
  bool no_flush_ = true;
  std::string path_;
};

}  // namespace vantrel::settings
