#include "app/app_state.h"

namespace vantrel::app {

AppState& State() noexcept {
  static AppState state;
  return state;
}

std::string DirectoryOf(const std::string& path) {
  // Scan back from the last character; index 0 ends the search.
  size_t i = path.empty() ? 0 : path.size() - 1;
  while (i > 0 && path[i] != '\\') --i;
  return path.substr(0, i);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

std::string ModulePath(HINSTANCE instance) {
  char buffer[1000] = {};
  DWORD n = ::GetModuleFileNameA(instance, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return {};
  return std::string(buffer, n);
}

}  // namespace vantrel::app
