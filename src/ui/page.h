// Base of the main window's pages: a translatable child dialog with
//  - its control texts, applied by ApplyLanguage;
//  - the controls that show the hand cursor;
//  - the Apply state: any user change enables Apply, a load or an Apply disables it, and
//    changes made while the page loads its own controls do not count;
//  - OK and Cancel (Enter and Escape too) that end by closing the main window, which hides it.
#pragma once

#include <windows.h>

#include <span>

#include "i18n/lang_dialog.h"

namespace vantrel::ui {

class CPage : public i18n::CLangDialog {
 public:
  // `apply_id` is the page's Apply button, 0 when it has none.
  CPage(UINT templateId, HWND parent, int apply_id = 0) noexcept : CLangDialog(templateId, parent), apply_id_(apply_id) {}

  // The listed texts; a page with more to re-text (tabs, unit texts) extends it.
  void ApplyLanguage() override { ApplyTexts(texts_); }

  bool apply_enabled() const noexcept { return apply_id_ && ::IsWindowEnabled(Item(apply_id_)); }
  // True while the page fills its own controls: the change notifications that raises are not
  // the user's.
  bool loading() const noexcept { return loading_ > 0; }

 protected:
  // The tables live as long as the page (static arrays of the derived class).
  void SetTexts(std::span<const i18n::ControlText> texts) noexcept { texts_ = texts; }
  void SetHandCursorControls(std::span<const int> ids) noexcept { hand_ids_ = ids; }

  // A user change: enables Apply, unless the page is loading.
  void MarkChanged() const noexcept {
    if (!loading()) EnableApply(true);
  }
  void EnableApply(bool enable) const noexcept {
    if (apply_id_) EnableItem(apply_id_, enable);
  }

  // While one lives, the page is loading; when the outermost ends, Apply is disabled.
  class LoadScope {
   public:
    explicit LoadScope(CPage& page) noexcept : page_(page) { ++page_.loading_; }
    ~LoadScope() {
      if (--page_.loading_ == 0) page_.EnableApply(false);
    }
    LoadScope(const LoadScope&) = delete;
    LoadScope& operator=(const LoadScope&) = delete;

   private:
    CPage& page_;
  };

  BOOL OnInitDialog() override {
    ApplyLanguage();
    return TRUE;
  }
  // A page that stores or reloads does so first, then closes the window.
  void OnOK() override { CloseMainWindow(); }
  void OnCancel() override { CloseMainWindow(); }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_SETCURSOR && SetPageCursor(reinterpret_cast<HWND>(wp))) {
      result = TRUE;
      return true;
    }
    return CLangDialog::OnMessage(msg, wp, lp, result);
  }
  void CloseMainWindow() const {
    if (HWND host = ::GetParent(hwnd())) ::SendMessageA(host, WM_CLOSE, 0, 0);
  }

 private:
  // The hand over the listed controls (and their child windows, such as a combo's edit).
  bool SetPageCursor(HWND over) const {
    for (HWND h = over; h && h != hwnd(); h = ::GetParent(h)) {
      int id = ::GetDlgCtrlID(h);
      for (int listed : hand_ids_) {
        if (listed == id && ::GetParent(h) == hwnd()) {
          ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
          return true;
        }
      }
    }
    return false;
  }

  int apply_id_;
  int loading_ = 0;
  std::span<const i18n::ControlText> texts_;
  std::span<const int> hand_ids_;
};

}  // namespace vantrel::ui
