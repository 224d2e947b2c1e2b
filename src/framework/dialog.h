// Dialogs built from templates, modal or modeless, with initialisation, OK and Cancel hooks.
//
// Teardown: the window goes before its object. Whoever drops a dialog object whose window
// still exists (a page, a tab of a page) destroys the window first, so that every message of
// the teardown (WM_DESTROY of the dialog and of its children) still reaches whole objects. A
// dialog object dropped with its window alive still destroys the window, but its own handlers
// and those of the classes derived from it are gone by then: ~Dialog traces it as a fault.
#pragma once

#include <windows.h>

#include <string>

#include "framework/window.h"

namespace vantrel::fw {

// A control's WM_COMMAND, WM_NOTIFY, WM_HSCROLL or WM_VSCROLL, as a class that only watches
// what the user does with the controls sees it.
struct ControlEvent {
  UINT msg = 0;
  HWND control = nullptr;
  int id = 0;
  UINT code = 0;  // the notification, or the scroll code
};

class Dialog : public Window {
 public:
  Dialog(UINT templateId, HWND parent) noexcept : template_id_(templateId), parent_(parent) {}
  // From a template built in memory; it must stay valid while the dialog is being created.
  Dialog(const DLGTEMPLATE* memoryTemplate, HWND parent) noexcept
      : memory_template_(memoryTemplate), parent_(parent) {}
  ~Dialog() override;

  // Runs the dialog modally; returns the value given to EndDialog, or -1 when it could not be
  // created.
  INT_PTR DoModal();
  // Creates the dialog modeless (hidden unless its template says WS_VISIBLE). Keyboard
  // navigation is handled by the message loop for every modeless top-level dialog.
  bool Create();
  // The same, as a child of `parent` (a page inside another window).
  bool Create(HWND parent);
  // Destroys a modeless dialog's window.
  void DestroyWindow();
  // Ends a modal dialog; a modeless one is only hidden.
  void EndDialog(INT_PTR result);

  UINT template_id() const noexcept { return template_id_; }
  HWND parent() const noexcept { return parent_; }
  bool is_modal() const noexcept { return modal_; }

  HWND Item(int id) const noexcept { return ::GetDlgItem(hwnd(), id); }
  std::string ItemText(int id) const;
  void SetItemText(int id, const char* text) const noexcept { ::SetDlgItemTextA(hwnd(), id, text); }
  void SetItemText(int id, const std::string& text) const noexcept { SetItemText(id, text.c_str()); }
  void EnableItem(int id, bool enable) const noexcept { ::EnableWindow(Item(id), enable ? TRUE : FALSE); }
  bool IsChecked(int id) const noexcept { return ::IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }
  void SetChecked(int id, bool checked) const noexcept {
    ::CheckDlgButton(hwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
  }

 protected:
  // Return TRUE to let the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // Return true when the command was handled.
  virtual bool OnCommand(WORD id, WORD code, HWND control);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // A control's WM_NOTIFY. Return true when handled, with the message's result in `result`.
  virtual bool OnNotify(const NMHDR& header, LRESULT& result);
  // A track bar's or scroll bar control's WM_HSCROLL, with the scroll code and the position the
  // message carries (the thumb codes' only). Return true when handled.
  virtual bool OnHScroll(HWND control, WORD code, WORD position);
  // Any other message, and the above when their handlers did not take them. Return true when
  // handled, with the message's result in `result`.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  // Every control message (see ControlEvent) once the handlers above have had it, taken or
  // not: for a base class that watches the controls without taking their messages.
  virtual void WatchControl(const ControlEvent& /*event*/) {}

 private:
  static INT_PTR CALLBACK StaticDialogProc(HWND, UINT, WPARAM, LPARAM);
  INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp);

  UINT template_id_ = 0;
  const DLGTEMPLATE* memory_template_ = nullptr;
  HWND parent_;
  bool modal_ = false;
};

// Message loop of the user-interface thread, until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Lets a modeless window take part in dialog keyboard navigation (Tab, Enter, Escape): every
// modeless top-level dialog, and a child dialog that handles its own keys (a page inside a
// window); a registered window is forgotten when it is destroyed.
void RegisterModeless(HWND hwnd);
void UnregisterModeless(HWND hwnd);
// True when the message was a dialog navigation message for one of the modeless windows.
bool PreTranslateDialogMessage(MSG& msg);

}  // namespace vantrel::fw
