#include "i18n/lang_dialog.h"

#include <string>

#include "i18n/core/language_table.h"

namespace vantrel::i18n {

void ApplyControlTexts(HWND dialog, std::span<const ControlText> texts) {
  if (!dialog) return;
  std::string text;
  for (const ControlText& entry : texts) {
    Texts().GetText(entry.text_id, text);
    if (entry.control_id == kDialogCaption) {
      ::SetWindowTextA(dialog, text.c_str());
    } else {
      ::SetDlgItemTextA(dialog, entry.control_id, text.c_str());
    }
  }
}

void RetextMenu(HMENU menu, std::span<const MenuText> items) {
  if (!menu) return;
  std::string text;
  for (const MenuText& item : items) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    if (!::GetMenuItemInfoA(menu, item.position, TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) continue;
    Texts().GetText(item.text_id, text);
    // Only the text is replaced: identifier, submenu, state and item data stay as they are.
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    ::SetMenuItemInfoA(menu, item.position, TRUE, &info);
  }
}

}  // namespace vantrel::i18n
