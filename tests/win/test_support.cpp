#include "win/test_support.h"

#include <cstdio>

namespace vantrel::testing {

bool DeleteTree(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    for (;;) {
      char name[256];
      DWORD size = sizeof name;
      if (::RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      std::string child = path;
      if (!child.empty() && child.back() != '\\') child += '\\';
      if (!DeleteTree(root, child + name)) break;
    }
    ::RegCloseKey(key);
    std::string trimmed = path;
    while (!trimmed.empty() && trimmed.back() == '\\') trimmed.pop_back();
    ::RegDeleteKeyA(root, trimmed.c_str());
  }
  return !KeyExists(root, path);
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

RawValue ReadRaw(HKEY root, const std::string& path, const char* name) {
  RawValue value;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (::RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.data.resize(size);
    if (::RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size) == ERROR_SUCCESS) {
      value.found = true;
      value.data.resize(size);
    }
  }
  ::RegCloseKey(key);
  return value;
}

bool WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  bool ok = ::RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
  ::RegCloseKey(key);
  return ok;
}

TempDir::TempDir() {
  char base[MAX_PATH] = {};
  ::GetTempPathA(sizeof base, base);
  static unsigned counter = 0;
  for (;;) {
    char name[MAX_PATH * 2];
    std::snprintf(name, sizeof name, "%svantrel-test-%lu-%u", base, ::GetCurrentProcessId(), ++counter);
    if (::CreateDirectoryA(name, nullptr)) {
      path_ = name;
      break;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  WIN32_FIND_DATAA found;
  HANDLE find = ::FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = path_ + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::RemoveDirectoryA(full.c_str());
      } else {
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
  }
  ::RemoveDirectoryA(path_.c_str());
}

void PumpMessages(DWORD ms) {
  DWORD start = ::GetTickCount();
  do {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (::GetTickCount() - start < ms);
}

}  // namespace vantrel::testing
