#include "ui/bindings.h"

#include <algorithm>
#include <cstdio>

namespace vantrel::ui {

namespace {

template <class Control>
Control* Find(std::vector<std::pair<int, std::unique_ptr<Control>>>& list, int id) {
  for (auto& [key, control] : list)
    if (key == id) return control.get();
  return nullptr;
}

std::string WindowText(HWND control) {
  std::string text(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

int PositionOf(const BindingTable::Row& row, uint32_t value) {
  if (row.position_of) return row.position_of(value);
  if (row.values.empty()) return value < row.items.size() ? static_cast<int>(value) : -1;
  for (size_t p = 0; p < row.values.size(); ++p)
    if (row.values[p] == value) return static_cast<int>(p);
  return -1;
}

// The five digits of a time field, zeros included: read with "_" as the prompt, since the
// usual prompt "0" would drop them.
std::string ReadTime(controls::CTimeEdit& edit) {
  edit.SetPromptChar("_");
  std::string digits = edit.GetInputText();
  edit.SetPromptChar("0");
  return digits;
}

}  // namespace

std::string TimeFieldText(uint32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%u%02u%02u", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
  return text;
}

uint32_t TimeFieldSeconds(const std::string& digits) {
  // The leading digits, as a decimal number of the form HMMSS; anything past five digits
  // cannot come from the field and is ignored rather than allowed to overflow.
  uint32_t v = 0;
  for (size_t i = 0; i < digits.size() && i < 9 && digits[i] >= '0' && digits[i] <= '9'; ++i)
    v = v * 10 + static_cast<uint32_t>(digits[i] - '0');
  return (v / 10000) * 3600 + ((v % 10000) / 100) * 60 + v % 100;
}

std::string DurationText(uint32_t seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%u:%02u:%02u", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
  return text;
}

std::string NumberFieldText(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int32_t>(value));
  return text;
}

uint32_t NumberFieldValue(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  // Accumulated as a magnitude that stops growing past the bound: no overflow on long input.
  int64_t magnitude = 0;
  const int64_t bound = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > bound) magnitude = bound;
  }
  return static_cast<uint32_t>(static_cast<int32_t>(negative ? -magnitude : magnitude));
}

// ---- rows ---------------------------------------------------------------------------------------

BindingTable& BindingTable::Add(Row row) {
  rows_.push_back(std::move(row));
  return *this;
}

BindingTable& BindingTable::Check(int id, ErasedField field) {
  return Add({BindingKind::Check, {{id, 0, std::move(field)}}});
}
BindingTable& BindingTable::Check(int ac, int dc, ErasedField f_ac, ErasedField f_dc) {
  return Add({BindingKind::Check, {{ac, 0, std::move(f_ac)}, {dc, 0, std::move(f_dc)}}});
}
BindingTable& BindingTable::FlagBit(int id, ErasedField flags, uint32_t bit) {
  Row row{BindingKind::Check, {{id, 0, std::move(flags)}}};
  row.bit = bit;
  return Add(std::move(row));
}
BindingTable& BindingTable::RadioPair(int off, int on, ErasedField field) {
  return Add({BindingKind::RadioPair, {{off, on, std::move(field)}}});
}
BindingTable& BindingTable::TrackBar(int id, ErasedField field, int low, int high) {
  Row row{BindingKind::TrackBar, {{id, 0, std::move(field)}}};
  row.low = low;
  row.high = high;
  return Add(std::move(row));
}
BindingTable& BindingTable::Percent(int edit, int spin, ErasedField field, int low, int high) {
  Row row{BindingKind::Percent, {{edit, spin, std::move(field)}}};
  row.low = low;
  row.high = high;
  return Add(std::move(row));
}
BindingTable& BindingTable::Percent(int edit_ac, int spin_ac, int edit_dc, int spin_dc, ErasedField f_ac,
                                    ErasedField f_dc, int low, int high) {
  Row row{BindingKind::Percent, {{edit_ac, spin_ac, std::move(f_ac)}, {edit_dc, spin_dc, std::move(f_dc)}}};
  row.low = low;
  row.high = high;
  return Add(std::move(row));
}
BindingTable& BindingTable::List(std::vector<int> ids, std::vector<ErasedField> fields, std::vector<ListItem> items,
                                 std::vector<uint32_t> values, std::function<int(uint32_t)> position_of) {
  Row row{BindingKind::List, {}};
  for (size_t i = 0; i < ids.size() && i < fields.size(); ++i) row.columns.push_back({ids[i], 0, std::move(fields[i])});
  row.items = std::move(items);
  row.values = std::move(values);
  row.position_of = std::move(position_of);
  return Add(std::move(row));
}
BindingTable& BindingTable::Time(int id, ErasedField field) {
  return Add({BindingKind::Time, {{id, 0, std::move(field)}}});
}
BindingTable& BindingTable::Time(int ac, int dc, ErasedField f_ac, ErasedField f_dc) {
  return Add({BindingKind::Time, {{ac, 0, std::move(f_ac)}, {dc, 0, std::move(f_dc)}}});
}
BindingTable& BindingTable::Number(int id, ErasedField field) {
  return Add({BindingKind::Number, {{id, 0, std::move(field)}}});
}
BindingTable& BindingTable::Number(int ac, int dc, ErasedField f_ac, ErasedField f_dc) {
  return Add({BindingKind::Number, {{ac, 0, std::move(f_ac)}, {dc, 0, std::move(f_dc)}}});
}
BindingTable& BindingTable::CheckList(int id, ErasedField flags, std::vector<ListItem> items,
                                      std::vector<uint32_t> bits) {
  Row row{BindingKind::CheckList, {{id, 0, std::move(flags)}}};
  row.items = std::move(items);
  row.values = std::move(bits);
  return Add(std::move(row));
}
BindingTable& BindingTable::Text(int id, std::function<std::string(const void*)> text) {
  Row row{BindingKind::Text, {{id, 0, {}}}};
  row.text = std::move(text);
  return Add(std::move(row));
}

// ---- the dialog side ----------------------------------------------------------------------------

void BindingTable::Attach(HWND dialog) {
  dialog_ = dialog;
  for (Row& row : rows_) {
    for (Column& column : row.columns) SetUp(row, column);
  }
}

void BindingTable::Load(const void* record) {
  for (Row& row : rows_) {
    for (size_t c = 0; c < row.columns.size(); ++c) LoadColumn(row, c, record);
  }
}

void BindingTable::Store(void* record) {
  for (Row& row : rows_) {
    for (size_t c = 0; c < row.columns.size(); ++c) StoreColumn(row, c, record);
  }
}

bool BindingTable::IsChange(int id, WORD code) const {
  for (const Row& row : rows_) {
    for (const Column& column : row.columns) {
      if (column.id != id && !(row.kind == BindingKind::RadioPair && column.second == id)) continue;
      switch (row.kind) {
        case BindingKind::Check:
        case BindingKind::RadioPair: return code == BN_CLICKED;
        case BindingKind::Percent:
        case BindingKind::Time:
        case BindingKind::Number: return code == EN_CHANGE;
        case BindingKind::List: return code == CBN_SELCHANGE;
        default: return false;
      }
    }
  }
  return false;
}

bool BindingTable::IsUserChange(const fw::ControlEvent& event) const {
  switch (event.msg) {
    case WM_COMMAND:
      return IsChange(event.id, static_cast<WORD>(event.code));
    case WM_NOTIFY:
      if (event.code != static_cast<UINT>(LVN_ITEMCHANGED)) return false;
      for (const Row& row : rows_)
        if (row.kind == BindingKind::CheckList && row.columns[0].id == event.id) return true;
      return false;
    case WM_HSCROLL:
    case WM_VSCROLL:
      for (const Row& row : rows_)
        if (row.kind == BindingKind::TrackBar && row.columns[0].id == event.id) return true;
      return false;
    default:
      return false;
  }
}

bool BindingTable::NoteUserChange(const fw::ControlEvent& event) {
  if (!IsUserChange(event)) return false;
  if (Column* column = ColumnOf(event.id)) column->edited = true;
  return true;
}

BindingTable::Column* BindingTable::ColumnOf(int id) {
  for (Row& row : rows_)
    for (Column& column : row.columns)
      if (column.id == id || (row.kind == BindingKind::RadioPair && column.second == id)) return &column;
  return nullptr;
}

controls::CTimeEdit* BindingTable::TimeField(int id) { return Find(time_fields_, id); }

std::optional<uint32_t> BindingTable::KeptTime(int id) {
  for (const Row& row : rows_)
    for (const Column& column : row.columns)
      if (row.kind == BindingKind::Time && column.id == id) return Kept(row, column);
  return std::nullopt;
}

controls::CIconComboBox* BindingTable::ListControl(int id) { return Find(lists_, id); }

void BindingTable::RetextTimeFields() {
  for (auto& [id, edit] : time_fields_) edit->RebuildPresets();
}

// ---- setting up, loading and storing ------------------------------------------------------------

void BindingTable::SetUp(Row& row, Column& column) {
  HWND control = Item(column.id);
  switch (row.kind) {
    case BindingKind::TrackBar:
      ::SendMessageA(control, TBM_SETRANGE, FALSE, MAKELPARAM(row.low, row.high));
      break;
    case BindingKind::Percent:
      if (HWND spin = Item(column.second)) {
        ::SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(control), 0);
        ::SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(row.low), row.high);
      }
      break;
    case BindingKind::List: {
      auto list = std::make_unique<controls::CIconComboBox>();
      if (!list->Subclass(control)) list.reset();
      ::SendMessageA(control, CB_RESETCONTENT, 0, 0);
      for (size_t i = 0; i < row.items.size(); ++i) {
        ::SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.items[i].text.c_str()));
        if (!list) continue;
        if (row.items[i].colour != ListItem::kDefaultColour) list->SetItemColor(static_cast<int>(i), row.items[i].colour);
        if (row.items[i].image >= 0) list->SetItemImage(static_cast<int>(i), row.items[i].image);
      }
      if (list) lists_.emplace_back(column.id, std::move(list));
      break;
    }
    case BindingKind::CheckList: {
      constexpr DWORD kStyles = LVS_EX_CHECKBOXES | LVS_EX_FLATSB;
      ::SendMessageA(control, LVM_SETEXTENDEDLISTVIEWSTYLE, kStyles, kStyles);
      ::SendMessageA(control, LVM_DELETEALLITEMS, 0, 0);
      RECT client{};
      ::GetClientRect(control, &client);
      LVCOLUMNA column_info{};
      column_info.mask = LVCF_WIDTH;
      // Room for a vertical scroll bar, so that no horizontal one is ever needed.
      column_info.cx = std::max<int>(0, client.right - ::GetSystemMetrics(SM_CXVSCROLL));
      if (::SendMessageA(control, LVM_GETCOLUMNWIDTH, 0, 0) == 0)
        ::SendMessageA(control, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column_info));
      for (size_t i = 0; i < row.items.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(row.items[i].text.c_str());
        ::SendMessageA(control, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
      }
      break;
    }
    case BindingKind::Time: {
      auto edit = std::make_unique<controls::CTimeEdit>();
      if (edit->Subclass(control)) {
        edit->Init(controls::kTimeMask, "");
        edit->SetPromptChar("0");
        time_fields_.emplace_back(column.id, std::move(edit));
      }
      break;
    }
    default:
      break;
  }
}

void BindingTable::LoadColumn(Row& row, size_t c, const void* record) {
  Column& column = row.columns[c];
  HWND control = Item(column.id);
  const uint32_t value = column.field.Get(record);
  switch (row.kind) {
    case BindingKind::Check: {
      bool on = row.bit ? (value & row.bit) != 0 : value != 0;
      ::SendMessageA(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    }
    case BindingKind::RadioPair:
      ::SendMessageA(control, BM_SETCHECK, value ? BST_UNCHECKED : BST_CHECKED, 0);
      ::SendMessageA(Item(column.second), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case BindingKind::TrackBar:
      ::SendMessageA(control, TBM_SETPOS, TRUE, static_cast<LPARAM>(value));
      break;
    case BindingKind::Percent:
      ::SendMessageA(Item(column.second), UDM_SETPOS32, 0, static_cast<LPARAM>(value));
      break;
    case BindingKind::List: {
      // A value no item shows selects nothing (and a store keeps the field as it is).
      int position = PositionOf(row, value);
      if (position >= static_cast<int>(row.items.size())) position = -1;
      ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
      break;
    }
    case BindingKind::Time:
      if (controls::CTimeEdit* edit = TimeField(column.id))
        edit->SetInputText(TimeFieldText(value > kMaxTimeFieldSeconds ? kMaxTimeFieldSeconds : value));
      break;
    case BindingKind::Number:
      ::SetWindowTextA(control, NumberFieldText(value).c_str());
      break;
    case BindingKind::Text: {
      // Only a new text is set: a page that reloads its figures often must not repaint
      // (and flicker) every field whose value stayed the same.
      const std::string text = row.text ? row.text(record) : std::string();
      if (WindowText(control) != text) ::SetWindowTextA(control, text.c_str());
      break;
    }
    case BindingKind::CheckList:
      for (size_t i = 0; i < row.values.size(); ++i) {
        LVITEMA item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK((value & row.values[i]) ? 2 : 1);
        ::SendMessageA(control, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
      }
      break;
  }
  // After the control's own change notifications: a load is no edit. A list keeps no value:
  // one it cannot show selects nothing, which stores nothing.
  column.edited = false;
  column.kept.reset();
  if (row.kind == BindingKind::Text || !column.field.CanSet()) return;
  column.shown = ControlValue(row, column, value);
  if (column.shown != value && row.kind != BindingKind::List) column.kept = value;
}

void BindingTable::StoreColumn(Row& row, size_t c, void* record) {
  Column& column = row.columns[c];
  if (!column.field.CanSet() || row.kind == BindingKind::Text) return;
  const std::optional<uint32_t> kept = Kept(row, column);
  column.field.Set(record, kept ? *kept : ControlValue(row, column, column.field.Get(record)));
}

std::optional<uint32_t> BindingTable::Kept(const Row& row, const Column& column) {
  if (!column.kept || column.edited) return std::nullopt;
  // Changed without a notification the page saw (by the program itself): what it shows counts.
  if (ControlValue(row, column, *column.kept) != column.shown) return std::nullopt;
  return column.kept;
}

uint32_t BindingTable::ControlValue(const Row& row, const Column& column, uint32_t current) {
  HWND control = Item(column.id);
  switch (row.kind) {
    case BindingKind::Check: {
      const bool on = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
      if (!row.bit) return on ? 1 : 0;
      return on ? (current | row.bit) : (current & ~row.bit);
    }
    case BindingKind::RadioPair:
      return ::SendMessageA(Item(column.second), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    case BindingKind::TrackBar:
      return static_cast<uint32_t>(::SendMessageA(control, TBM_GETPOS, 0, 0));
    case BindingKind::Percent:
      return static_cast<uint32_t>(::SendMessageA(Item(column.second), UDM_GETPOS32, 0, 0)) & 0xFF;
    case BindingKind::List: {
      const LRESULT position = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
      // No selection (a stored value no item shows): the field keeps what it holds.
      if (position < 0) return current;
      const size_t p = static_cast<size_t>(position);
      return row.values.empty() ? static_cast<uint32_t>(p) : (p < row.values.size() ? row.values[p] : 0);
    }
    case BindingKind::Time: {
      controls::CTimeEdit* edit = TimeField(column.id);
      return edit ? TimeFieldSeconds(ReadTime(*edit)) : current;
    }
    case BindingKind::Number: {
      char text[64] = {};
      ::GetWindowTextA(control, text, sizeof text);
      return NumberFieldValue(text);
    }
    case BindingKind::Text:
      return current;
    case BindingKind::CheckList: {
      uint32_t flags = current;
      for (size_t i = 0; i < row.values.size(); ++i) {
        const LRESULT state = ::SendMessageA(control, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
        const bool on = ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
        flags = on ? (flags | row.values[i]) : (flags & ~row.values[i]);
      }
      return flags;
    }
  }
  return current;
}

}  // namespace vantrel::ui
