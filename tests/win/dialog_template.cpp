#include "win/dialog_template.h"

#include <cstddef>
#include <cstring>

namespace vantrel::testing {

template <class T>
void DialogTemplate::Append(const T& record) {
  static_assert(sizeof(T) % sizeof(WORD) == 0);
  const size_t at = words_.size();
  words_.resize(at + sizeof(T) / sizeof(WORD));
  std::memcpy(&words_[at], &record, sizeof record);
}

void DialogTemplate::AddString(const std::string& text) {
  for (unsigned char c : text) words_.push_back(c);
  words_.push_back(0);
}

DialogTemplate::DialogTemplate(const std::string& caption, short width, short height) {
  Append(DLGTEMPLATE{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 0, width, height});
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the standard dialog class
  AddString(caption);
  words_.push_back(8);
  AddString("MS Shell Dlg");
}

void DialogTemplate::AddControl(WORD controlClass, int id, const std::string& text, DWORD style, short x, short y,
                                short width, short height) {
  if (words_.size() % 2) words_.push_back(0);  // items start on a DWORD boundary
  Append(DLGITEMTEMPLATE{style | WS_CHILD | WS_VISIBLE, 0, x, y, width, height, static_cast<WORD>(id)});
  words_.push_back(0xFFFF);
  words_.push_back(controlClass);
  AddString(text);
  words_.push_back(0);  // no creation data
  static_assert(offsetof(DLGTEMPLATE, cdit) == 4 * sizeof(WORD));
  ++words_[4];  // the header's item count
}

}  // namespace vantrel::testing
