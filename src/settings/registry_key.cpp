#include "settings/registry_key.h"

#include "settings/core/app_settings.h"
#include "framework/caught.h"
#include "framework/handles.h"

namespace vantrel::settings {

namespace {
constexpr DWORD kStringBufferSize = 255;
}  // namespace

// Nobody is told of a write that failed; the trace names the value.
bool RegistryKey::NotWritten(const char* name, LONG error) const {
  fw::TraceQuietFailure("registry value not written", static_cast<unsigned long>(error), name);
  return false;
}

bool RegistryKey::SetRoot(HKEY root) noexcept {
  if (root != HKEY_CLASSES_ROOT && root != HKEY_CURRENT_USER && root != HKEY_LOCAL_MACHINE && root != HKEY_USERS)
    return false;
  root_ = root;
  return true;
}

bool RegistryKey::Open(const std::string& path, bool create) {
  // A failed open must not leave the previous key in use.
  path_.clear();
  if (path.empty()) return true;
  HKEY raw = nullptr;
  LONG result = create ? ::RegCreateKeyExA(root_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, &raw, nullptr)
                       : ::RegOpenKeyExA(root_, path.c_str(), 0, KEY_ALL_ACCESS, &raw);
  if (result != ERROR_SUCCESS) {
    last_error_ = result;
    if (create) fw::TraceQuietFailure("registry key not created", static_cast<unsigned long>(result), path.c_str());
    return false;
  }
  fw::UniqueKey key(raw);
  path_ = path;
  if (!no_flush_) ::RegFlushKey(key);
  return true;
}

HKEY RegistryKey::OpenCurrent(REGSAM access) {
  // An empty sub-key would open the root itself: without a path there is no key to use.
  if (path_.empty()) {
    last_error_ = ERROR_INVALID_HANDLE;
    return nullptr;
  }
  HKEY raw = nullptr;
  LONG result = ::RegOpenKeyExA(root_, path_.c_str(), 0, access, &raw);
  if (result != ERROR_SUCCESS) {
    last_error_ = result;
    return nullptr;
  }
  return raw;
}

DWORD RegistryKey::ReadNumber(const char* name, DWORD fallback) {
  fw::UniqueKey key(OpenCurrent(KEY_READ));
  if (!key) return fallback;
  // Shorter data fills the low bytes; longer data does not fit and gives the default.
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG result = ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  return result == ERROR_SUCCESS ? value : fallback;
}

DWORD RegistryKey::ReadExactNumber(const char* name, DWORD fallback) {
  fw::UniqueKey key(OpenCurrent(KEY_READ));
  if (!key) return fallback;
  DWORD value = 0;
  DWORD type = 0;
  DWORD size = sizeof value;
  LONG result = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  if (result != ERROR_SUCCESS || size != sizeof value || (type != REG_BINARY && type != REG_DWORD)) return fallback;
  return value;
}

bool RegistryKey::ValueExists(const char* name) {
  fw::UniqueKey key(OpenCurrent(KEY_ALL_ACCESS));
  if (!key) return false;
  return ::RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

DWORD RegistryKey::ValueType(const char* name) {
  fw::UniqueKey key(OpenCurrent(KEY_QUERY_VALUE));
  if (!key) return 0;
  DWORD type = 0;
  LONG result = ::RegQueryValueExA(key, name, nullptr, &type, nullptr, nullptr);
  if (result != ERROR_SUCCESS) {
    last_error_ = result;
    return 0;
  }
  return type;
}

std::string RegistryKey::ReadString(const char* name, const std::string& fallback) {
  DWORD type = ValueType(name);
  if (type != REG_SZ && type != REG_EXPAND_SZ) return fallback;
  fw::UniqueKey key(OpenCurrent(KEY_READ));
  if (!key) return fallback;
  char buffer[kStringBufferSize] = {};
  DWORD size = sizeof buffer;
  LONG result = ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
  if (result != ERROR_SUCCESS || size > sizeof buffer) return fallback;
  // The stored data need not end with a zero; never read past what was returned.
  std::string text(buffer, size);
  size_t end = text.find('\0');
  if (end != std::string::npos) text.resize(end);
  return text;
}

bool RegistryKey::WriteNumber(const char* name, DWORD value) {
  fw::UniqueKey key(OpenCurrent(KEY_WRITE));
  if (!key) return NotWritten(name, last_error_);
  // The value is stored little-endian, as the platform's DWORD is.
  LONG result = ::RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value), sizeof value);
  if (result != ERROR_SUCCESS) {
    last_error_ = result;
    return NotWritten(name, last_error_);
  }
  if (!no_flush_) ::RegFlushKey(key);
  return true;
}

bool RegistryKey::WriteString(const char* name, const std::string& text) {
  if (text.size() > kMaxStoredText) return NotWritten(name, ERROR_INVALID_DATA);
  fw::UniqueKey key(OpenCurrent(KEY_WRITE));
  if (!key) return NotWritten(name, last_error_);
  LONG result = ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1));
  if (result != ERROR_SUCCESS) {
    last_error_ = result;
    return NotWritten(name, last_error_);
  }
  if (!no_flush_) ::RegFlushKey(key);
  return true;
}

bool RegistryKey::DeleteValue(const char* name) {
  fw::UniqueKey key(OpenCurrent(KEY_SET_VALUE));
  if (!key) return NotWritten(name, last_error_);
  LONG result = ::RegDeleteValueA(key, name);
  if (result != ERROR_SUCCESS) {
    last_error_ = result;
    return NotWritten(name, last_error_);
  }
  return true;
}

}  // namespace vantrel::settings
