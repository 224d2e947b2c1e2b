// Helpers shared by the Windows tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vantrel::testing {

// Deletes a registry key with everything below it; true when it is gone afterwards.
bool DeleteTree(HKEY root, const std::string& path);
bool KeyExists(HKEY root, const std::string& path);

struct RawValue {
  bool found = false;
  DWORD type = 0;
  std::vector<BYTE> data;
};
RawValue ReadRaw(HKEY root, const std::string& path, const char* name);
bool WriteRaw(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size);

// A fresh folder under the system's temporary folder, removed with its files when it goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const noexcept { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Pumps the thread's messages for about `ms` milliseconds.
void PumpMessages(DWORD ms);

}  // namespace vantrel::testing
