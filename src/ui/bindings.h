// Control bindings: one row says once "these controls show this field", and load and store
// walk the same rows. A row has one column, or two for a mains/battery (AC/DC) pair of fields.
//
// Kinds: check box (a value, or one bit of a flags word whose other bits stay as they are),
// radio pair, track bar, percent edit with its up-down (one byte), item-coloured drop-down
// list (position = value unless the row maps them), masked time field (seconds <-> H:MM:SS),
// editable signed decimal number, read-only text, and a list view with check boxes whose
// items are bits of one flags word.
//
// The set owns the control objects it binds (time fields, coloured lists) and subclasses the
// template's controls when attached.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "controls/icon_combo.h"
#include "controls/masked_edit.h"

namespace vantrel::ui {

// A field with its record type erased, as the binding table keeps it: a plain member of at
// most 4 bytes at an offset of the record, or a pair of functions of the record's address.
struct ErasedField {
  std::function<uint32_t(const void*)> get;
  std::function<void(void*, uint32_t)> set;
  size_t offset = 0;
  uint8_t size = 0;  // not 0: the member at `offset`
  bool is_signed = false;

  bool CanSet() const noexcept { return size != 0 || static_cast<bool>(set); }
  uint32_t Get(const void* record) const {
    if (size == 0) return get ? get(record) : 0;
    uint32_t value = 0;
    std::memcpy(&value, static_cast<const char*>(record) + offset, size);
    // A narrow signed member widens as a cast to the 32-bit number would.
    if (is_signed && size < 4 && (value >> (size * 8 - 1)) & 1) value |= ~0u << (size * 8);
    return value;
  }
  void Set(void* record, uint32_t value) const {
    if (size == 0) {
      if (set) set(record, value);
      return;
    }
    std::memcpy(static_cast<char*>(record) + offset, &value, size);  // the low bytes: little-endian
  }
};

// A field of a record, read and written as an unsigned 32-bit number: through `get` and
// `set`, or (from Member) through `erased`, which reaches the record by its address.
template <class Record>
struct Field {
  std::function<uint32_t(const Record&)> get;
  std::function<void(Record&, uint32_t)> set;
  ErasedField erased{};
};

// One default-made record of a kind, to measure where its members lie.
template <class Record>
const Record& RecordProbe() {
  static const Record probe{};
  return probe;
}

template <class Record, class T>
Field<Record> Member(T Record::*member) {
  static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= 4, "a member of at most 4 bytes");
  const Record& probe = RecordProbe<Record>();
  Field<Record> field;
  field.erased.offset =
      static_cast<size_t>(reinterpret_cast<const char*>(&(probe.*member)) - reinterpret_cast<const char*>(&probe));
  field.erased.size = sizeof(T);
  field.erased.is_signed = std::is_signed_v<T>;
  return field;
}

// The text of a duration in seconds as the time field takes it ("%d%02d%02d": H MM SS).
std::string TimeFieldText(uint32_t seconds);
// The seconds of the digits read from a time field (H MM SS, leading digits; 0 for none).
uint32_t TimeFieldSeconds(const std::string& digits);
// The longest duration the one-hour-digit field can show: 9:59:59.
inline constexpr uint32_t kMaxTimeFieldSeconds = 9 * 3600 + 59 * 60 + 59;
// A duration as "H:MM:SS" with as many hour digits as it needs.
std::string DurationText(uint32_t seconds);

// The text of a signed decimal field ("%d" of the 32 bits taken as signed).
std::string NumberFieldText(uint32_t value);
// The leading signed decimal number of a text (blanks before it allowed), 0 when there is
// none; bounded to the signed 32-bit range and returned as its 32 bits.
uint32_t NumberFieldValue(const std::string& text);

enum class BindingKind { Check, RadioPair, TrackBar, Percent, List, Time, Number, Text, CheckList };

// One item of a bound list: its text and its colour (kDefaultColour: the list's own).
struct ListItem {
  static constexpr COLORREF kDefaultColour = CLR_INVALID;
  std::string text;
  COLORREF colour = kDefaultColour;
  int image = -1;
};

// The rows and their controls, whatever record they show: fields are reached through
// functions of the record's address, so this code exists once for every kind of record.
class BindingTable {
 public:
  struct Column {
    int id = 0;      // the control (the first radio button, the edit of a percent field)
    int second = 0;  // the second radio button, or the up-down of a percent field
    ErasedField field;
  };
  struct Row {
    Row(BindingKind k, std::vector<Column> c) : kind(k), columns(std::move(c)) {}
    BindingKind kind;
    std::vector<Column> columns;
    uint32_t bit = 0;              // Check: the bit of a flags word; 0 for a plain value
    int low = 0, high = 100;       // TrackBar and Percent: the range
    std::vector<ListItem> items;   // List
    // List: the stored value of each position (empty: position = value), and the position
    // of a stored value (empty: found in `values`, else no selection).
    // CheckList: the bit of each item.
    std::vector<uint32_t> values;
    std::function<int(uint32_t)> position_of;
    std::function<std::string(const void*)> text;  // Text
  };

  // ---- rows ----
  BindingTable& Check(int id, ErasedField field) { return Add({BindingKind::Check, {{id, 0, std::move(field)}}}); }
  BindingTable& Check(int ac, int dc, ErasedField f_ac, ErasedField f_dc) {
    return Add({BindingKind::Check, {{ac, 0, std::move(f_ac)}, {dc, 0, std::move(f_dc)}}});
  }
  // One bit of a flags word: the other bits are left as they are.
  BindingTable& FlagBit(int id, ErasedField flags, uint32_t bit) {
    Row row{BindingKind::Check, {{id, 0, std::move(flags)}}};
    row.bit = bit;
    return Add(std::move(row));
  }
  // `off` checked stores 0, `on` checked stores 1.
  BindingTable& RadioPair(int off, int on, ErasedField field) {
    return Add({BindingKind::RadioPair, {{off, on, std::move(field)}}});
  }
  BindingTable& TrackBar(int id, ErasedField field, int low, int high) {
    Row row{BindingKind::TrackBar, {{id, 0, std::move(field)}}};
    row.low = low;
    row.high = high;
    return Add(std::move(row));
  }
  BindingTable& Percent(int edit, int spin, ErasedField field, int low = 0, int high = 100) {
    Row row{BindingKind::Percent, {{edit, spin, std::move(field)}}};
    row.low = low;
    row.high = high;
    return Add(std::move(row));
  }
  BindingTable& Percent(int edit_ac, int spin_ac, int edit_dc, int spin_dc, ErasedField f_ac, ErasedField f_dc,
                    int low = 0, int high = 100) {
    Row row{BindingKind::Percent, {{edit_ac, spin_ac, std::move(f_ac)}, {edit_dc, spin_dc, std::move(f_dc)}}};
    row.low = low;
    row.high = high;
    return Add(std::move(row));
  }
  BindingTable& List(std::vector<int> ids, std::vector<ErasedField> fields, std::vector<ListItem> items,
                 std::vector<uint32_t> values = {}, std::function<int(uint32_t)> position_of = {}) {
    Row row{BindingKind::List, {}};
    for (size_t i = 0; i < ids.size() && i < fields.size(); ++i) row.columns.push_back({ids[i], 0, std::move(fields[i])});
    row.items = std::move(items);
    row.values = std::move(values);
    row.position_of = std::move(position_of);
    return Add(std::move(row));
  }
  BindingTable& Time(int id, ErasedField field) { return Add({BindingKind::Time, {{id, 0, std::move(field)}}}); }
  BindingTable& Time(int ac, int dc, ErasedField f_ac, ErasedField f_dc) {
    return Add({BindingKind::Time, {{ac, 0, std::move(f_ac)}, {dc, 0, std::move(f_dc)}}});
  }
  // An edit that takes any text and stores its leading signed decimal number.
  BindingTable& Number(int id, ErasedField field) { return Add({BindingKind::Number, {{id, 0, std::move(field)}}}); }
  BindingTable& Number(int ac, int dc, ErasedField f_ac, ErasedField f_dc) {
    return Add({BindingKind::Number, {{ac, 0, std::move(f_ac)}, {dc, 0, std::move(f_dc)}}});
  }
  // A list view (report view, one column) with check boxes and flat scroll bars: item i is
  // checked when bit `bits[i]` of the flags word is set. A store sets the shown bits from the
  // check marks and keeps the others.
  BindingTable& CheckList(int id, ErasedField flags, std::vector<ListItem> items, std::vector<uint32_t> bits) {
    Row row{BindingKind::CheckList, {{id, 0, std::move(flags)}}};
    row.items = std::move(items);
    row.values = std::move(bits);
    return Add(std::move(row));
  }
  BindingTable& Text(int id, std::function<std::string(const void*)> text) {
    Row row{BindingKind::Text, {{id, 0, {}}}};
    row.text = std::move(text);
    return Add(std::move(row));
  }

  // ---- the dialog side ----
  // Subclasses and sets up the dialog's controls: ranges, list items and colours, masks. Call
  // once, from the dialog's initialisation.
  void Attach(HWND dialog) {
    dialog_ = dialog;
    for (Row& row : rows_) {
      for (Column& column : row.columns) SetUp(row, column);
    }
  }

  // Controls from fields. Rows whose fields the caller does not want filled can be skipped by
  // keeping them in another set.
  void Load(const void* record) {
    for (Row& row : rows_) {
      for (size_t c = 0; c < row.columns.size(); ++c) LoadColumn(row, c, record);
    }
  }
  // Fields from controls; fields no row names are left alone.
  void Store(void* record) {
    for (Row& row : rows_) {
      for (size_t c = 0; c < row.columns.size(); ++c) StoreColumn(row, c, record);
    }
  }

  // True when a WM_COMMAND from control `id` with `code` is a change of a bound control (a
  // click on a check box or radio button, a changed edit, a new list selection).
  bool IsChange(int id, WORD code) const {
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
  // True when a WM_NOTIFY is a change of an item (its check mark included) of a bound list view.
  bool IsItemChange(const NMHDR& header) const {
    if (header.code != LVN_ITEMCHANGED) return false;
    for (const Row& row : rows_) {
      if (row.kind == BindingKind::CheckList && static_cast<UINT_PTR>(row.columns[0].id) == header.idFrom) return true;
    }
    return false;
  }
  // True when a scroll message (WM_HSCROLL / WM_VSCROLL) comes from a bound track bar or up-down.
  bool IsScroll(HWND control) const {
    if (!control) return false;
    int id = ::GetDlgCtrlID(control);
    for (const Row& row : rows_) {
      for (const Column& column : row.columns) {
        if ((row.kind == BindingKind::TrackBar && column.id == id) ||
            (row.kind == BindingKind::Percent && column.second == id))
          return true;
      }
    }
    return false;
  }

  controls::CTimeEdit* TimeField(int id) { return Find(time_fields_, id); }
  // The stored value a time field keeps because it cannot show it (ten hours or more), as
  // long as the user has not edited the field; nothing otherwise.
  std::optional<uint32_t> KeptTime(int id) {
    const Loaded* loaded = Remembered(id);
    controls::CTimeEdit* edit = TimeField(id);
    if (!loaded || !edit || loaded->value <= kMaxTimeFieldSeconds || ReadTime(*edit) != loaded->digits) return std::nullopt;
    return loaded->value;
  }
  controls::CIconComboBox* ListControl(int id) { return Find(lists_, id); }
  // Each time field's preset menu in the current language.
  void RetextTimeFields() {
    for (auto& [id, edit] : time_fields_) edit->RebuildPresets();
  }
  const std::vector<Row>& rows() const noexcept { return rows_; }

 private:
  BindingTable& Add(Row row) {
    rows_.push_back(std::move(row));
    return *this;
  }
  HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }

  template <class Control>
  static Control* Find(std::vector<std::pair<int, std::unique_ptr<Control>>>& list, int id) {
    for (auto& [key, control] : list)
      if (key == id) return control.get();
    return nullptr;
  }

  void SetUp(Row& row, Column& column) {
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

  void LoadColumn(Row& row, size_t c, const void* record) {
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
      case BindingKind::List:
        ::SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(PositionOf(row, value)), 0);
        break;
      case BindingKind::Time:
        if (controls::CTimeEdit* edit = TimeField(column.id)) {
          edit->SetInputText(TimeFieldText(value > kMaxTimeFieldSeconds ? kMaxTimeFieldSeconds : value));
          Remember(column.id, value, ReadTime(*edit));
        }
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
  }

  static std::string WindowText(HWND control) {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(static_cast<size_t>(::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  void StoreColumn(Row& row, size_t c, void* record) {
    Column& column = row.columns[c];
    if (!column.field.CanSet()) return;
    HWND control = Item(column.id);
    switch (row.kind) {
      case BindingKind::Check: {
        const bool on = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (!row.bit) {
          column.field.Set(record, on ? 1 : 0);
        } else {
          uint32_t flags = column.field.Get(record);
          column.field.Set(record, on ? (flags | row.bit) : (flags & ~row.bit));
        }
        break;
      }
      case BindingKind::RadioPair:
        column.field.Set(record, ::SendMessageA(Item(column.second), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
        break;
      case BindingKind::TrackBar:
        column.field.Set(record, static_cast<uint32_t>(::SendMessageA(control, TBM_GETPOS, 0, 0)));
        break;
      case BindingKind::Percent:
        column.field.Set(record,
                         static_cast<uint32_t>(::SendMessageA(Item(column.second), UDM_GETPOS32, 0, 0)) & 0xFF);
        break;
      case BindingKind::List: {
        LRESULT position = ::SendMessageA(control, CB_GETCURSEL, 0, 0);
        // No selection (a stored value no item shows): the field keeps what it holds.
        if (position < 0) break;
        const size_t p = static_cast<size_t>(position);
        column.field.Set(record, row.values.empty() ? static_cast<uint32_t>(p) : (p < row.values.size() ? row.values[p] : 0));
        break;
      }
      case BindingKind::Time:
        if (controls::CTimeEdit* edit = TimeField(column.id)) {
          const std::string digits = ReadTime(*edit);
          // A field the user left as it was loaded keeps the stored value exactly, also one
          // the field cannot show (ten hours or more).
          const Loaded* loaded = Remembered(column.id);
          column.field.Set(record, loaded && loaded->digits == digits ? loaded->value : TimeFieldSeconds(digits));
        }
        break;
      case BindingKind::Number: {
        char text[64] = {};
        ::GetWindowTextA(control, text, sizeof text);
        column.field.Set(record, NumberFieldValue(text));
        break;
      }
      case BindingKind::Text:
        break;
      case BindingKind::CheckList: {
        uint32_t flags = column.field.Get(record);
        for (size_t i = 0; i < row.values.size(); ++i) {
          const LRESULT state = ::SendMessageA(control, LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK);
          const bool on = ((static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) >> 12) == 2;
          flags = on ? (flags | row.values[i]) : (flags & ~row.values[i]);
        }
        column.field.Set(record, flags);
        break;
      }
    }
  }

  static int PositionOf(const Row& row, uint32_t value) {
    if (row.position_of) return row.position_of(value);
    if (row.values.empty()) return value < row.items.size() ? static_cast<int>(value) : -1;
    for (size_t p = 0; p < row.values.size(); ++p)
      if (row.values[p] == value) return static_cast<int>(p);
    return -1;
  }

  // The five digits of a time field, zeros included: read with "_" as the prompt, since the
  // usual prompt "0" would drop them.
  static std::string ReadTime(controls::CTimeEdit& edit) {
    edit.SetPromptChar("_");
    std::string digits = edit.GetInputText();
    edit.SetPromptChar("0");
    return digits;
  }

  struct Loaded {
    int id;
    uint32_t value;
    std::string digits;
  };
  void Remember(int id, uint32_t value, std::string digits) {
    for (Loaded& l : loaded_) {
      if (l.id == id) {
        l.value = value;
        l.digits = std::move(digits);
        return;
      }
    }
    loaded_.push_back({id, value, std::move(digits)});
  }
  const Loaded* Remembered(int id) const {
    for (const Loaded& l : loaded_)
      if (l.id == id) return &l;
    return nullptr;
  }

  HWND dialog_ = nullptr;
  std::vector<Row> rows_;
  std::vector<std::pair<int, std::unique_ptr<controls::CTimeEdit>>> time_fields_;
  std::vector<std::pair<int, std::unique_ptr<controls::CIconComboBox>>> lists_;
  std::vector<Loaded> loaded_;
};

// Bindings over one kind of record: the typed face of a BindingTable.
template <class Record>
class Bindings : public BindingTable {
 public:
  Bindings& Check(int id, Field<Record> f) { return Done(BindingTable::Check(id, Erase(std::move(f)))); }
  Bindings& Check(int ac, int dc, Field<Record> f_ac, Field<Record> f_dc) {
    return Done(BindingTable::Check(ac, dc, Erase(std::move(f_ac)), Erase(std::move(f_dc))));
  }
  Bindings& FlagBit(int id, Field<Record> flags, uint32_t bit) {
    return Done(BindingTable::FlagBit(id, Erase(std::move(flags)), bit));
  }
  Bindings& RadioPair(int off, int on, Field<Record> f) { return Done(BindingTable::RadioPair(off, on, Erase(std::move(f)))); }
  Bindings& TrackBar(int id, Field<Record> f, int low, int high) {
    return Done(BindingTable::TrackBar(id, Erase(std::move(f)), low, high));
  }
  Bindings& Percent(int edit, int spin, Field<Record> f, int low = 0, int high = 100) {
    return Done(BindingTable::Percent(edit, spin, Erase(std::move(f)), low, high));
  }
  Bindings& Percent(int edit_ac, int spin_ac, int edit_dc, int spin_dc, Field<Record> f_ac, Field<Record> f_dc,
                    int low = 0, int high = 100) {
    return Done(BindingTable::Percent(edit_ac, spin_ac, edit_dc, spin_dc, Erase(std::move(f_ac)), Erase(std::move(f_dc)),
                                      low, high));
  }
  Bindings& List(std::vector<int> ids, std::vector<Field<Record>> fields, std::vector<ListItem> items,
                 std::vector<uint32_t> values = {}, std::function<int(uint32_t)> position_of = {}) {
    std::vector<ErasedField> erased;
    for (Field<Record>& f : fields) erased.push_back(Erase(std::move(f)));
    return Done(BindingTable::List(std::move(ids), std::move(erased), std::move(items), std::move(values),
                                   std::move(position_of)));
  }
  Bindings& Time(int id, Field<Record> f) { return Done(BindingTable::Time(id, Erase(std::move(f)))); }
  Bindings& Time(int ac, int dc, Field<Record> f_ac, Field<Record> f_dc) {
    return Done(BindingTable::Time(ac, dc, Erase(std::move(f_ac)), Erase(std::move(f_dc))));
  }
  Bindings& Number(int id, Field<Record> f) { return Done(BindingTable::Number(id, Erase(std::move(f)))); }
  Bindings& Number(int ac, int dc, Field<Record> f_ac, Field<Record> f_dc) {
    return Done(BindingTable::Number(ac, dc, Erase(std::move(f_ac)), Erase(std::move(f_dc))));
  }
  Bindings& CheckList(int id, Field<Record> flags, std::vector<ListItem> items, std::vector<uint32_t> bits) {
    return Done(BindingTable::CheckList(id, Erase(std::move(flags)), std::move(items), std::move(bits)));
  }
  // `text` is any callable that takes the record and gives its text.
  template <class TextOf>
  Bindings& Text(int id, TextOf text) {
    std::function<std::string(const void*)> erased = [t = std::move(text)](const void* r) -> std::string {
      return t(*static_cast<const Record*>(r));
    };
    return Done(BindingTable::Text(id, std::move(erased)));
  }

  void Load(const Record& record) { BindingTable::Load(&record); }
  void Store(Record& record) { BindingTable::Store(&record); }

 private:
  Bindings& Done(BindingTable&) { return *this; }
  static ErasedField Erase(Field<Record> f) {
    if (f.erased.size) return f.erased;
    ErasedField e;
    if (f.get) e.get = [g = std::move(f.get)](const void* r) { return g(*static_cast<const Record*>(r)); };
    if (f.set) e.set = [s = std::move(f.set)](void* r, uint32_t v) { s(*static_cast<Record*>(r), v); };
    return e;
  }
};

}  // namespace vantrel::ui
