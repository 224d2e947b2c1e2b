// Text in the user's code page (or another) made wide, for the wide system calls and controls.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace vantrel::power {

inline std::wstring Widen(std::string_view text, UINT code_page = CP_ACP) {
  if (text.empty()) return {};
  const int bytes = static_cast<int>(text.size());
  const int chars = ::MultiByteToWideChar(code_page, 0, text.data(), bytes, nullptr, 0);
  std::wstring wide(chars > 0 ? static_cast<size_t>(chars) : 0, L'\0');
  if (chars > 0) ::MultiByteToWideChar(code_page, 0, text.data(), bytes, wide.data(), chars);
  return wide;
}

}  // namespace vantrel::power
