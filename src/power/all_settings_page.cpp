#include "power/all_settings_page.h"

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "all_settings_ids.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_format.h"
#include "i18n/core/text_ids.h"
#include "platform/system_api.h"
#include "power/core/setting_values.h"
#include "power/wide_text.h"
#include "resource.h"

namespace vantrel::power {

namespace {

constexpr i18n::ControlText kTexts[] = {{i18n::IDS_ALL_SETTINGS_DEFAULT, IDC_ALL_SETTINGS_DEFAULT}};
constexpr int kHandCursorControls[] = {IDC_ALL_SETTINGS_DEFAULT};
constexpr int kColumnTexts[] = {i18n::IDS_ALL_SETTINGS_NAME, i18n::IDS_ALL_SETTINGS_AC, i18n::IDS_ALL_SETTINGS_DC};
// Column widths in dialog units: the name takes what the values leave.
constexpr int kValueWidth = 60;
constexpr int kDropDownHeight = 120;
// Settings are set off from their subgroup's row.
constexpr wchar_t kIndent[] = L"    ";
// Posted to the tab when an editor lost the focus: it is hidden once the focus has moved, so
// that the click that took the focus (on Apply, say) is not lost.
constexpr UINT kHideEditors = WM_USER + 60;

std::wstring Number(DWORD value) {
  wchar_t digits[16];
  wchar_t* start = digits + 16;
  do {
    *--start = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value);
  return std::wstring(start, digits + 16);
}

SettingRange RangeOf(const PlanSettingInfo& info) { return {info.min, info.max, info.increment}; }

void SetListText(HWND list, int item, int column, const std::wstring& text) {
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<wchar_t*>(text.c_str());
  ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

// The Schemes page's Apply (the tab control's parent holds it), whose state an edit that
// changed nothing puts back.
HWND HostApply(HWND tab) {
  HWND tabs = ::GetParent(tab);
  HWND page = tabs ? ::GetParent(tabs) : nullptr;
  return page ? ::GetDlgItem(page, IDC_APPLY) : nullptr;
}

}  // namespace

AllSettingsTab::AllSettingsTab(HWND tab_control) : CSchemeTab(IDD_SCHEME_ALL_SETTINGS, tab_control) {
  SetTexts(kTexts);
  SetHandCursorControls(kHandCursorControls);
}

AllSettingsTab::~AllSettingsTab() = default;

BOOL AllSettingsTab::OnInitDialog() {
  HWND list = Item(IDC_ALL_SETTINGS_LIST);
  ::SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_LABELTIP,
                 LVS_EX_GRIDLINES | LVS_EX_LABELTIP);
  RECT width{0, 0, kValueWidth, 0};
  ::MapDialogRect(hwnd(), &width);
  RECT client{};
  ::GetClientRect(list, &client);
  const int value_width = width.right;
  const int name_width = client.right - 2 * value_width - ::GetSystemMetrics(SM_CXVSCROLL);
  for (int column = kName; column <= kDc; ++column) {
    LVCOLUMNA c{};
    c.mask = LVCF_WIDTH | LVCF_TEXT;
    c.cx = column == kName ? (name_width > value_width ? name_width : value_width) : value_width;
    c.pszText = const_cast<char*>("");
    ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
  }
  if (HFONT font = reinterpret_cast<HFONT>(::SendMessageA(list, WM_GETFONT, 0, 0))) {
    LOGFONTA face{};
    if (::GetObjectA(font, sizeof face, &face) == sizeof face) {
      face.lfWeight = FW_BOLD;
      bold_.reset(::CreateFontIndirectA(&face));
    }
  }
  list_keys_.Subclass(list);
  MakeEditors();
  EnableItem(IDC_ALL_SETTINGS_DEFAULT, false);
  return CSchemeTab::OnInitDialog();
}

void AllSettingsTab::MakeEditors() {
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageA(hwnd(), WM_GETFONT, 0, 0));
  const auto make = [&](const wchar_t* window_class, DWORD style, int id) {
    HWND editor = ::CreateWindowExW(0, window_class, L"", WS_CHILD | style, 0, 0, 0, 0, hwnd(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(hwnd(), GWLP_HINSTANCE)), nullptr);
    if (editor && font) ::SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return editor;
  };
  // Children of the page, above the list (which clips its siblings), hidden until an edit.
  HWND choice = make(L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, IDC_ALL_SETTINGS_CHOICE);
  HWND number = make(L"EDIT", ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER, IDC_ALL_SETTINGS_NUMBER);
  make(UPDOWN_CLASSW, UDS_ALIGNRIGHT | UDS_ARROWKEYS, IDC_ALL_SETTINGS_SPIN);
  ::SendMessageW(Item(IDC_ALL_SETTINGS_SPIN), UDM_SETBUDDY, reinterpret_cast<WPARAM>(number), 0);
  // The spin only tells which way: the page steps the number itself (ranges beyond an int).
  ::SendMessageW(Item(IDC_ALL_SETTINGS_SPIN), UDM_SETRANGE32, 0, 2);
  ::SendMessageW(Item(IDC_ALL_SETTINGS_SPIN), UDM_SETPOS32, 0, 1);
  if (choice) choice_keys_.Subclass(choice);
  if (number) number_keys_.Subclass(number);
}

void AllSettingsTab::ApplyLanguage() {
  CSchemeTab::ApplyLanguage();
  HWND list = Item(IDC_ALL_SETTINGS_LIST);
  for (int column = kName; column <= kDc; ++column) {
    std::string text = i18n::Text(kColumnTexts[column]);
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = text.data();
    ::SendMessageA(list, LVM_SETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
  }
  // The marks behind the names and the note are the language's too.
  if (!entries_.empty()) {
    const int item = SelectedItem();
    Fill();
    if (item >= 0) ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  SelectionChanged();
}

// ---- loading ----------------------------------------------------------------------------------

void AllSettingsTab::LoadPlan(PowerPlans& plans, int number) {
  if (editing_) EndEdit(false, false);
  plans_ = &plans;
  number_ = number;
  stale_ = true;
  // The current tab reads now; another reads when it becomes current.
  if (::GetWindowLongPtrA(hwnd(), GWL_STYLE) & WS_VISIBLE) Read();
}

void AllSettingsTab::Read() {
  stale_ = false;
  LoadScope loading(*this);
  std::vector<PlanSubgroupInfo> groups;
  readable_ = plans_ && number_ >= 0 && plans_->ListSettings(number_, &groups) == 0;
  entries_.clear();
  headers_.clear();
  rows_.clear();
  for (PlanSubgroupInfo& group : groups) {
    if (group.settings.empty()) continue;
    rows_.push_back(-1);
    headers_.push_back(std::move(group.name));
    for (PlanSettingInfo& setting : group.settings) {
      rows_.push_back(static_cast<int>(entries_.size()));
      headers_.emplace_back();
      Entry entry;
      entry.subgroup = group.guid;
      entry.edited = {setting.ac, setting.dc};
      entry.info = std::move(setting);
      entries_.push_back(std::move(entry));
    }
  }
  Fill();
  ::EnableWindow(Item(IDC_ALL_SETTINGS_LIST), readable_);
  SelectionChanged();
  if (!readable_ && number_ >= 0) SetItemText(IDC_ALL_SETTINGS_NOTE, i18n::Text(i18n::IDS_ALL_SETTINGS_UNREADABLE));
}

void AllSettingsTab::Fill() {
  HWND list = Item(IDC_ALL_SETTINGS_LIST);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (size_t i = 0; i < rows_.size(); ++i) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    ShowRow(static_cast<int>(i));
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void AllSettingsTab::ShowRow(int item) {
  HWND list = Item(IDC_ALL_SETTINGS_LIST);
  const Entry* entry = EntryAt(item);
  if (!entry) {
    SetListText(list, item, kName, headers_[static_cast<size_t>(item)]);
    return;
  }
  // The marks go first: a long name is cut at the column's end.
  std::wstring name = kIndent;
  if (entry->info.hidden) name += Widen(i18n::Text(i18n::IDS_ALL_SETTINGS_HIDDEN)) + L" ";
  if (entry->info.locked) name += Widen(i18n::Text(i18n::IDS_ALL_SETTINGS_LOCKED)) + L" ";
  name += entry->info.name;
  SetListText(list, item, kName, name);
  SetListText(list, item, kAc, ValueText(*entry, 0));
  SetListText(list, item, kDc, ValueText(*entry, 1));
}

std::wstring AllSettingsTab::ValueText(const Entry& entry, int side) const {
  const DWORD value = entry.edited[static_cast<size_t>(side)];
  const PlanSettingInfo& info = entry.info;
  if (!info.range) {
    // A list setting holds an index into its possible values.
    if (value < info.value_names.size() && !info.value_names[value].empty()) return info.value_names[value];
    return Number(value);
  }
  return info.units.empty() ? Number(value) : Number(value) + L" " + info.units;
}

AllSettingsTab::Entry* AllSettingsTab::EntryAt(int item) {
  if (item < 0 || static_cast<size_t>(item) >= rows_.size() || rows_[static_cast<size_t>(item)] < 0) return nullptr;
  return &entries_[static_cast<size_t>(rows_[static_cast<size_t>(item)])];
}

int AllSettingsTab::ItemOf(const GUID& setting) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i] >= 0 && platform::FromGuid(entries_[static_cast<size_t>(rows_[i])].info.guid) ==
                             platform::FromGuid(setting))
      return static_cast<int>(i);
  }
  return -1;
}

int AllSettingsTab::SelectedItem() const {
  return static_cast<int>(::SendMessageW(Item(IDC_ALL_SETTINGS_LIST), LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                         LVNI_SELECTED));
}

void AllSettingsTab::SelectionChanged() {
  const Entry* entry = EntryAt(SelectedItem());
  const bool editable = entry && !entry->info.locked;
  EnableItem(IDC_ALL_SETTINGS_DEFAULT, editable && entry->info.has_default);
  std::string note;
  if (!entry) {
    note.clear();
  } else if (entry->info.locked) {
    note = i18n::Text(i18n::IDS_ALL_SETTINGS_LOCKED_NOTE);
  } else if (entry->info.range) {
    const auto text = [](DWORD value) {
      char digits[16];
      std::snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(value));
      return std::string(digits);
    };
    note = i18n::FormatText(i18n::Text(i18n::IDS_ALL_SETTINGS_RANGE_NOTE),
                            {text(entry->info.min), text(entry->info.max), text(entry->info.increment)});
  } else {
    note = i18n::Text(i18n::IDS_ALL_SETTINGS_LIST_NOTE);
  }
  SetItemText(IDC_ALL_SETTINGS_NOTE, note);
}

// ---- storing -----------------------------------------------------------------------------------

bool AllSettingsTab::StorePlan(int number, bool* wrote, bool* reapplied) {
  if (wrote) *wrote = false;
  if (reapplied) *reapplied = false;
  if (editing_) EndEdit(true, false);  // the value in the editor is the user's last word
  if (!plans_ || stale_ || !readable_) return true;
  std::vector<SettingWrite> writes;
  std::vector<size_t> owners;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const Entry& e = entries_[i];
    if (e.info.locked) continue;  // never edited; nothing of it is written
    const DWORD loaded[2] = {e.info.ac, e.info.dc};
    for (int side = 0; side < 2; ++side) {
      if (e.edited[static_cast<size_t>(side)] == loaded[side]) continue;
      writes.push_back({e.subgroup, e.info.guid, side == 1, e.edited[static_cast<size_t>(side)]});
      owners.push_back(i);
    }
  }
  if (writes.empty()) return true;
  const int result = plans_->WriteSettings(number, writes, reapplied);
  // What took is the plan's now; what did not stays edited for another try.
  for (size_t w = 0; w < writes.size(); ++w) {
    if (writes[w].error != ERROR_SUCCESS) continue;
    if (wrote) *wrote = true;
    Entry& e = entries_[owners[w]];
    (writes[w].dc ? e.info.dc : e.info.ac) = writes[w].value;
  }
  return result == 0;
}

// ---- the keyboard, the mouse and the editors -----------------------------------------------

LRESULT AllSettingsTab::KeyHook::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      // Enter and Escape would be the page's OK and Cancel; these keys are the list's and the
      // editor's.
      if (const MSG* m = reinterpret_cast<const MSG*>(lp); m && m->message == WM_KEYDOWN &&
                                                            (m->wParam == VK_RETURN || (editor_ && m->wParam == VK_ESCAPE)))
        return DLGC_WANTMESSAGE | Default(msg, wp, lp);
      break;
    case WM_KEYDOWN:
      if (editor_ ? tab_.EditorKey(wp) : tab_.ListKey(wp)) return 0;
      break;
    case WM_CHAR:
      // The beep of an unwanted Enter or Escape.
      if (wp == '\r' || (editor_ && wp == 27)) return 0;
      break;
    case WM_KILLFOCUS:
      if (editor_ && tab_.editing_) {
        // Focus that moves elsewhere ends the edit with its value, as a click elsewhere does
        // in a list of files; the focus goes where it was going.
        const LRESULT r = Default(msg, wp, lp);
        tab_.EndEdit(true, false);
        return r;
      }
      break;
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (!editor_ && tab_.editing_) tab_.EndEdit(true, false);  // the editor would stay behind
      break;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

bool AllSettingsTab::ListKey(WPARAM key) {
  switch (key) {
    case VK_RETURN:
    case VK_F2:
      BeginEdit();
      return true;
    case VK_LEFT:
      SetColumn(kAc);
      return true;
    case VK_RIGHT:
      SetColumn(kDc);
      return true;
    default:
      return false;
  }
}

bool AllSettingsTab::EditorKey(WPARAM key) {
  if (key == VK_RETURN || key == VK_ESCAPE) {
    HWND choice = Item(IDC_ALL_SETTINGS_CHOICE);
    if (::SendMessageW(choice, CB_GETDROPPEDSTATE, 0, 0)) {
      // A dropped list closes first: Escape keeps the value the list had when it opened.
      ::SendMessageW(choice, CB_SHOWDROPDOWN, FALSE, 0);
      if (key == VK_ESCAPE) return true;
    }
    EndEdit(key == VK_RETURN);
    return true;
  }
  return false;
}

void AllSettingsTab::SetColumn(int column) {
  if (column_ == column) return;
  column_ = column;
  if (int item = SelectedItem(); item >= 0) ::SendMessageW(Item(IDC_ALL_SETTINGS_LIST), LVM_REDRAWITEMS, item, item);
}

void AllSettingsTab::BeginEdit() {
  const int item = SelectedItem();
  Entry* entry = EntryAt(item);
  if (!entry || entry->info.locked || editing_) return;
  HWND list = Item(IDC_ALL_SETTINGS_LIST);
  ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
  RECT cell{};
  cell.top = column_;
  cell.left = LVIR_BOUNDS;
  if (!::SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell))) return;
  ::MapWindowPoints(list, hwnd(), reinterpret_cast<POINT*>(&cell), 2);
  edit_item_ = item;
  edit_side_ = column_ == kDc ? 1 : 0;
  const DWORD value = entry->edited[static_cast<size_t>(edit_side_)];
  const int width = cell.right - cell.left, height = cell.bottom - cell.top;
  HWND editor = nullptr;
  if (!entry->info.range) {
    editor = Item(IDC_ALL_SETTINGS_CHOICE);
    ::SendMessageW(editor, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < entry->info.value_names.size(); ++i) {
      const std::wstring text = entry->info.value_names[i].empty() ? Number(static_cast<DWORD>(i))
                                                                   : entry->info.value_names[i];
      ::SendMessageW(editor, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    ::SendMessageW(editor, CB_SETCURSEL, value < entry->info.value_names.size() ? value : static_cast<WPARAM>(-1), 0);
    ::SetWindowPos(editor, HWND_TOP, cell.left, cell.top, width, height + kDropDownHeight, SWP_SHOWWINDOW);
  } else {
    editor = Item(IDC_ALL_SETTINGS_NUMBER);
    HWND spin = Item(IDC_ALL_SETTINGS_SPIN);
    ::SetWindowTextW(editor, Number(value).c_str());
    const int spin_width = ::GetSystemMetrics(SM_CXVSCROLL);
    ::SetWindowPos(editor, HWND_TOP, cell.left, cell.top, width - spin_width, height, SWP_SHOWWINDOW);
    ::SetWindowPos(spin, HWND_TOP, cell.right - spin_width, cell.top, spin_width, height, SWP_SHOWWINDOW);
    ::SendMessageW(editor, EM_SETSEL, 0, -1);
  }
  HWND apply = HostApply(hwnd());
  apply_before_edit_ = apply && ::IsWindowEnabled(apply);
  editing_ = true;
  ::SetFocus(editor);
}

void AllSettingsTab::EndEdit(bool commit, bool refocus) {
  if (!editing_) return;
  editing_ = false;  // before the focus moves: its loss ends no edit twice
  Entry* entry = EntryAt(edit_item_);
  bool changed = false;
  if (commit && entry) {
    if (!entry->info.range) {
      const LRESULT index = ::SendMessageW(Item(IDC_ALL_SETTINGS_CHOICE), CB_GETCURSEL, 0, 0);
      if (index >= 0) changed = SetValue(edit_item_, edit_side_, static_cast<DWORD>(index));
    } else {
      char text[32] = {};
      ::GetWindowTextA(Item(IDC_ALL_SETTINGS_NUMBER), text, sizeof text);
      // An empty or unreadable number keeps the value as it was.
      if (uint32_t value = 0; ParseInRange(text, RangeOf(entry->info), &value))
        changed = SetValue(edit_item_, edit_side_, value);
    }
  }
  // An edit that changed nothing leaves Apply as it was before it.
  if (HWND apply = HostApply(hwnd()); apply && !changed) ::EnableWindow(apply, apply_before_edit_);
  if (!refocus) {
    ::PostMessageA(hwnd(), kHideEditors, 0, 0);
    return;
  }
  ::SetFocus(Item(IDC_ALL_SETTINGS_LIST));
  HideEditors();
}

void AllSettingsTab::HideEditors() {
  if (editing_) return;  // a new edit began meanwhile
  const HWND focus = ::GetFocus();
  const bool focused = focus && (focus == Item(IDC_ALL_SETTINGS_CHOICE) || focus == Item(IDC_ALL_SETTINGS_NUMBER));
  for (int id : {IDC_ALL_SETTINGS_CHOICE, IDC_ALL_SETTINGS_NUMBER, IDC_ALL_SETTINGS_SPIN})
    ::ShowWindow(Item(id), SW_HIDE);
  // Keys must not go to a hidden editor.
  if (focused) ::SetFocus(Item(IDC_ALL_SETTINGS_LIST));
}

bool AllSettingsTab::SetValue(int item, int side, DWORD value) {
  Entry* entry = EntryAt(item);
  if (!entry || entry->info.locked) return false;
  DWORD& held = entry->edited[static_cast<size_t>(side)];
  if (held == value) return false;
  held = value;
  SetListText(Item(IDC_ALL_SETTINGS_LIST), item, side == 0 ? kAc : kDc, ValueText(*entry, side));
  MarkChanged();
  return true;
}

void AllSettingsTab::RestoreDefault() {
  if (editing_) EndEdit(false);
  const int item = SelectedItem();
  const Entry* entry = EntryAt(item);
  if (!entry || !entry->info.has_default) return;
  const DWORD ac = entry->info.default_ac, dc = entry->info.default_dc;
  SetValue(item, 0, ac);
  SetValue(item, 1, dc);
}

LRESULT AllSettingsTab::CustomDraw(NMLVCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const int item = static_cast<int>(draw.nmcd.dwItemSpec);
      const Entry* entry = EntryAt(item);
      const bool selected = item == SelectedItem();
      // The page draws the selection itself: the row's name, and its current value as a cell.
      draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
      draw.clrText = ::GetSysColor(entry && entry->info.locked ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
      draw.clrTextBk = ::GetSysColor(entry ? COLOR_WINDOW : COLOR_BTNFACE);
      const bool focused = ::GetFocus() == draw.nmcd.hdr.hwndFrom || editing_;
      if (selected && (draw.iSubItem == column_ || draw.iSubItem == kName)) {
        const bool cell = draw.iSubItem == column_ && entry;
        draw.clrTextBk = ::GetSysColor(cell && focused ? COLOR_HIGHLIGHT : COLOR_BTNSHADOW);
        draw.clrText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
      }
      // A subgroup's row in bold, a setting's in the list's own font.
      HFONT font = !entry && bold_ ? bold_.get()
                                   : reinterpret_cast<HFONT>(::SendMessageW(draw.nmcd.hdr.hwndFrom, WM_GETFONT, 0, 0));
      if (font) ::SelectObject(draw.nmcd.hdc, font);
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

bool AllSettingsTab::OnNotify(const NMHDR& header, LRESULT& result) {
  if (header.idFrom == IDC_ALL_SETTINGS_SPIN && header.code == UDN_DELTAPOS) {
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    const Entry* entry = EntryAt(edit_item_);
    if (editing_ && entry && entry->info.range) {
      char text[32] = {};
      ::GetWindowTextA(Item(IDC_ALL_SETTINGS_NUMBER), text, sizeof text);
      uint32_t value = entry->edited[static_cast<size_t>(edit_side_)];
      ParseInRange(text, RangeOf(entry->info), &value);
      value = StepInRange(value, change.iDelta > 0 ? 1 : -1, RangeOf(entry->info));
      ::SetWindowTextW(Item(IDC_ALL_SETTINGS_NUMBER), Number(value).c_str());
    }
    result = 1;  // the spin keeps its middle position
    return true;
  }
  if (header.idFrom != IDC_ALL_SETTINGS_LIST) return false;
  switch (header.code) {
    case NM_CUSTOMDRAW:
      result = CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      return true;
    case LVN_ITEMCHANGED:
      if (reinterpret_cast<const NMLISTVIEW&>(header).uChanged & LVIF_STATE) SelectionChanged();
      return false;
    case NM_CLICK:
    case NM_DBLCLK: {
      // The column under the pointer becomes the one the keys work on.
      LVHITTESTINFO hit{};
      ::GetCursorPos(&hit.pt);
      ::ScreenToClient(header.hwndFrom, &hit.pt);
      if (::SendMessageW(header.hwndFrom, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 &&
          (hit.iSubItem == kAc || hit.iSubItem == kDc))
        SetColumn(hit.iSubItem);
      if (header.code == NM_DBLCLK) BeginEdit();
      return false;
    }
    default:
      return false;
  }
}

bool AllSettingsTab::OnCommand(WORD id, WORD code, HWND control) {
  if (id == IDC_ALL_SETTINGS_DEFAULT && code == BN_CLICKED) {
    RestoreDefault();
    ::SetFocus(Item(IDC_ALL_SETTINGS_LIST));
    return true;
  }
  // A value changing in the editor is a change already: Apply can be clicked straight away,
  // and the click ends the edit with that value.
  if (editing_ && ((id == IDC_ALL_SETTINGS_CHOICE && code == CBN_SELCHANGE) ||
                   (id == IDC_ALL_SETTINGS_NUMBER && code == EN_CHANGE))) {
    MarkChanged();
    return true;
  }
  return CSchemeTab::OnCommand(id, code, control);
}

bool AllSettingsTab::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == kHideEditors) {
    HideEditors();
    result = 0;
    return true;
  }
  // The tab host shows a tab by moving it (SWP_SHOWWINDOW), which sends no WM_SHOWWINDOW.
  if (msg == WM_WINDOWPOSCHANGED && lp) {
    const UINT flags = reinterpret_cast<const WINDOWPOS*>(lp)->flags;
    if ((flags & SWP_SHOWWINDOW) && stale_) Read();
    if ((flags & SWP_HIDEWINDOW) && editing_) EndEdit(true, false);
  }
  return CSchemeTab::OnMessage(msg, wp, lp, result);
}

}  // namespace vantrel::power
