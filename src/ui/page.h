// Base of the pages (the main window's, and the tabs inside a page): a translatable child
// dialog that keeps, the same way for every page,
//  - its control texts, applied by ApplyLanguage, and the controls that show the hand cursor;
//  - the contract: its Apply button, OK and Cancel (Enter and Escape too) call OnApply,
//    OnOkay and OnReset; OK and Cancel then close the main window, which hides it;
//  - the Apply state: a user change of a watched table's control marks the page changed
//    (OnChanged: enables Apply), a load or an Apply disables it; changes the page makes while
//    it loads its own controls do not count.
//
// The verbs of the pages' own functions:
//   load   controls from a record, the options or the system; never a user change
//   take   controls into the running program (its options, the system's state); nothing stored
//   store  controls into a record, and the record back where it came from
//   apply  store, and put into effect; what the Apply button does
//
// Class names: some with a leading C (CPage, CControlPage), some without (SchemesPage), as given; the C means nothing.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "i18n/lang_dialog.h"
#include "ui/bindings.h"

namespace vantrel::ui {

class CPage : public i18n::CLangDialog {
 public:
  // `apply_id` is the page's Apply button, 0 when it has none.
  CPage(UINT templateId, HWND parent, int apply_id = 0) noexcept
      : CLangDialog(templateId, parent), apply_id_(apply_id) {}
  CPage(const DLGTEMPLATE* memoryTemplate, HWND parent, int apply_id = 0) noexcept
      : CLangDialog(memoryTemplate, parent), apply_id_(apply_id) {}

  // The listed texts and the watched tables' time fields; a page with more to re-text (tabs,
  // unit texts) extends it.
  void ApplyLanguage() override;

  bool apply_enabled() const noexcept { return apply_id_ && ::IsWindowEnabled(Item(apply_id_)); }
  // True while the page fills its own controls: the change notifications that raises are not
  // the user's.
  bool loading() const noexcept { return loading_ > 0; }

 protected:
  // ---- the contract: a page implements what it needs of these ----
  // Apply: true when done, which disables Apply; false leaves Apply as it is (to try again).
  virtual bool OnApply() { return true; }
  // OK: takes or stores what OK keeps. False keeps the window open (so that edits that could
  // not be stored are not lost unseen).
  virtual bool OnOkay() { return true; }
  // Cancel: puts the page back as it was loaded; nothing is stored.
  virtual void OnReset() {}
  // What a user change does: enables Apply.
  virtual void OnChanged() { EnableApply(true); }

  // The tables live as long as the page (static arrays of the derived class).
  void SetTexts(std::span<const i18n::ControlText> texts) noexcept { texts_ = texts; }
  void SetHandCursorControls(std::span<const int> ids) noexcept { hand_ids_ = ids; }
  // A user change of the table's controls marks the page changed; its time fields follow the
  // language. The table lives as long as the page.
  void Watch(BindingTable& table) { watched_.push_back(&table); }

  // A user change the watched tables do not see (a list the page fills itself): OnChanged,
  // unless the page is loading.
  void MarkChanged() {
    if (!loading()) OnChanged();
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
  // Apply, to OnApply; the page's other commands reach the page's own OnCommand first.
  bool OnCommand(WORD id, WORD code, HWND control) override;
  // OnOkay, then the window closes. A page inside another page (a tab) leaves OK and Cancel to
  // its host and overrides these two.
  void OnOK() override;
  // OnReset, then the window closes.
  void OnCancel() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void WatchControl(const fw::ControlEvent& event) final;
  void CloseMainWindow() const {
    if (HWND host = ::GetParent(hwnd())) ::SendMessageA(host, WM_CLOSE, 0, 0);
  }

 private:
  // The hand over the listed controls (and their child windows, such as a combo's edit).
  bool SetPageCursor(HWND over) const;

  int apply_id_;
  int loading_ = 0;
  std::span<const i18n::ControlText> texts_;
  std::span<const int> hand_ids_;
  std::vector<BindingTable*> watched_;
};

}  // namespace vantrel::ui
