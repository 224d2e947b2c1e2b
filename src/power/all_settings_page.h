// The "All settings" tab of the Schemes page on the plan back end: every subgroup and setting
// of the selected plan, hidden ones included and marked, in a list with the value on mains and
// on battery. A value is edited in place (a list of the setting's possible values, or a number
// within its range and step) with Enter, F2 or a double click; Escape cancels, Left and Right
// choose the column. "Default" puts the values of the plan's personality into both columns. A
// setting Group Policy fixes is shown and never edited.
//
// The plan is read once when it is loaded and the tab is shown, not per repaint. Edits wait for
// the Schemes page's Apply or OK, which writes only the values that changed, each read back.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "framework/handles.h"
#include "framework/window.h"
#include "power/power_plans.h"
#include "power/scheme_editor.h"

namespace vantrel::power {

class AllSettingsTab : public CSchemeTab {
 public:
  explicit AllSettingsTab(HWND tab_control);
  ~AllSettingsTab() override;

  // The XP-era records are not this tab's.
  void LoadFromPolicy(const SchemeBuffer&) override {}
  void StoreToPolicy(SchemeBuffer&) override {}
  void ApplyLanguage() override;

  // Shows plan `number` of `plans` (-1: none); its settings are read now if the tab is shown,
  // else when it is shown next. `plans` outlives the tab.
  void LoadPlan(PowerPlans& plans, int number);
  // Writes the values the user changed to plan `number` (the one shown, or a copy of it just
  // made); true when every one of them took.
  // Those that did not stay shown as edited. `wrote` tells whether anything was written.
  bool StorePlan(int number, bool* wrote, bool* reapplied);

  // Columns of the list.
  enum Column : int { kName = 0, kAc = 1, kDc = 2 };
  // The list item of a setting, -1 when it is not listed; the column the keyboard works on.
  int ItemOf(const GUID& setting) const;
  int column() const noexcept { return column_; }
  bool editing() const noexcept { return editing_; }

 protected:
  BOOL OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 private:
  struct Entry {
    GUID subgroup{};
    PlanSettingInfo info;
    std::array<DWORD, 2> edited{};  // on mains, on battery
  };
  // Keys of the list and of the editor, taken before the dialog manager makes them OK or Cancel.
  class KeyHook : public fw::Window {
   public:
    KeyHook(AllSettingsTab& tab, bool editor) noexcept : tab_(tab), editor_(editor) {}

   protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

   private:
    AllSettingsTab& tab_;
    bool editor_;
  };

  void Read();
  void Fill();
  void ShowRow(int item);
  std::wstring ValueText(const Entry& entry, int side) const;
  // The entry of a list item; null for a subgroup's row or no item.
  Entry* EntryAt(int item);
  int SelectedItem() const;
  void SelectionChanged();
  bool ListKey(WPARAM key);
  bool EditorKey(WPARAM key);
  void SetColumn(int column);

  void BeginEdit();
  // Takes the editor's value (commit) or drops it, and hides the editor; `refocus` gives the
  // focus back to the list (not when the focus is on its way elsewhere).
  void EndEdit(bool commit, bool refocus = true);
  void HideEditors();
  // True when the value changed.
  bool SetValue(int item, int side, DWORD value);
  void RestoreDefault();
  void MakeEditors();
  LRESULT CustomDraw(NMLVCUSTOMDRAW& draw);

  PowerPlans* plans_ = nullptr;
  int number_ = -1;
  bool stale_ = false;  // the plan changed since it was read
  bool readable_ = false;
  std::vector<Entry> entries_;
  std::vector<int> rows_;  // per list item: its entry, or -1 for a subgroup's row
  std::vector<std::wstring> headers_;  // per list item: a subgroup's name
  int column_ = kAc;
  bool editing_ = false;
  bool apply_before_edit_ = false;
  int edit_item_ = -1;
  int edit_side_ = 0;
  KeyHook list_keys_{*this, false};
  KeyHook choice_keys_{*this, true};
  KeyHook number_keys_{*this, true};
  fw::UniqueFont bold_;
};

}  // namespace vantrel::power
