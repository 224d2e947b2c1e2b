#include "ui/page.h"

namespace vantrel::ui {

void CPage::ApplyLanguage() {
  ApplyTexts(texts_);
  for (BindingTable* table : watched_) table->RetextTimeFields();
}

bool CPage::OnCommand(WORD id, WORD code, HWND control) {
  if (apply_id_ && id == apply_id_ && code == BN_CLICKED) {
    if (OnApply()) EnableApply(false);
    return true;
  }
  return CLangDialog::OnCommand(id, code, control);
}

void CPage::OnOK() {
  if (OnOkay()) CloseMainWindow();
}

void CPage::OnCancel() {
  OnReset();
  CloseMainWindow();
}

bool CPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_SETCURSOR && SetPageCursor(reinterpret_cast<HWND>(wp))) {
    result = TRUE;
    return true;
  }
  return CLangDialog::OnMessage(msg, wp, lp, result);
}

void CPage::WatchControl(const fw::ControlEvent& event) {
  if (loading()) return;
  for (BindingTable* table : watched_) {
    if (table->NoteUserChange(event)) {
      OnChanged();
      return;
    }
  }
}

bool CPage::SetPageCursor(HWND over) const {
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

}  // namespace vantrel::ui
