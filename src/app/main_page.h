// Base of the main window's pages: a translatable child dialog whose OK and Cancel (Enter and
// Escape too) close the main window, which only hides it.
#pragma once

#include <windows.h>

#include "i18n/lang_dialog.h"

namespace vantrel::app {

class CMainPage : public i18n::CLangDialog {
 public:
  CMainPage(UINT templateId, HWND parent) noexcept : CLangDialog(templateId, parent) {}

 protected:
  BOOL OnInitDialog() override {
    ApplyLanguage();
    return TRUE;
  }
  // A page that stores or reloads does so first, then closes the window.
  void OnOK() override { CloseMainWindow(); }
  void OnCancel() override { CloseMainWindow(); }
  void CloseMainWindow() const {
    if (HWND host = ::GetParent(hwnd())) ::SendMessageA(host, WM_CLOSE, 0, 0);
  }
};

}  // namespace vantrel::app
