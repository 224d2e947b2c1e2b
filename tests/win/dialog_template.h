// Dialog templates built in memory, for tests that need a dialog without a resource.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vantrel::testing {

class DialogTemplate {
 public:
  static constexpr WORD kButton = 0x0080;  // predefined control classes
  static constexpr WORD kStatic = 0x0082;

  // A popup dialog with a caption and an 8-point font; sizes in dialog units; ASCII texts.
  DialogTemplate(const std::string& caption, short width, short height);
  void AddControl(WORD controlClass, int id, const std::string& text, DWORD style, short x, short y, short width,
                  short height);
  const DLGTEMPLATE* get() const noexcept { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  template <class T>
  void Append(const T& record);
  void AddString(const std::string& text);

  std::vector<WORD> words_;
};

}  // namespace vantrel::testing
