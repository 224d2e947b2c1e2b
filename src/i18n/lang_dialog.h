// Translatable dialogs and menus: their texts come from the current language by identifier
// and are set again whenever the language changes.
#pragma once

#include <windows.h>

#include <span>

#include "framework/dialog.h"

namespace vantrel::i18n {

// Stands for the dialog's own caption in a list of control texts. Templates use no control
// with this identifier.
inline constexpr int kDialogCaption = 0;

// A text identifier and the control of a dialog that shows it.
struct ControlText {
  int text_id;
  int control_id;
};

// A text identifier and the menu item, by position, that shows it.
struct MenuText {
  UINT position;
  int text_id;
};

// Sets each listed control's window text (or the caption) from the current language.
void ApplyControlTexts(HWND dialog, std::span<const ControlText> texts);

// Gives each listed item of `menu` its text from the current language. The item keeps its
// command identifier, its submenu and its state (check mark, greying); separators and
// positions past the end are left alone. A menu bar must be redrawn afterwards (DrawMenuBar).
void RetextMenu(HMENU menu, std::span<const MenuText> items);

// Base of every translatable dialog and page. A derived dialog lists its texts in
// ApplyLanguage and calls it at the end of its own initialisation; the window that hosts it
// calls it again after each language change.
class CLangDialog : public fw::Dialog {
 public:
  CLangDialog(UINT templateId, HWND parent) noexcept : Dialog(templateId, parent) {}
  CLangDialog(const DLGTEMPLATE* memoryTemplate, HWND parent) noexcept : Dialog(memoryTemplate, parent) {}

  // Takes every text of the dialog from the current language. The base has none.
  virtual void ApplyLanguage() {}

 protected:
  void ApplyTexts(std::span<const ControlText> texts) const { ApplyControlTexts(hwnd(), texts); }
};

}  // namespace vantrel::i18n
