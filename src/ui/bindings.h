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

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "controls/icon_combo.h"
#include "controls/masked_edit.h"
#include "framework/dialog.h"

namespace vantrel::ui {

// A field with its record type erased, as the binding table keeps it: read and written as an
// unsigned 32-bit number through functions of the record's address.
struct ErasedField {
  std::function<uint32_t(const void*)> get;
  std::function<void(void*, uint32_t)> set;

  bool CanSet() const noexcept { return static_cast<bool>(set); }
  uint32_t Get(const void* record) const { return get ? get(record) : 0; }
  void Set(void* record, uint32_t value) const {
    if (set) set(record, value);
  }
};

// A field of a record, read and written as an unsigned 32-bit number.
template <class Record>
struct Field {
  std::function<uint32_t(const Record&)> get;
  std::function<void(Record&, uint32_t)> set;
};

// A plain member of at most 4 bytes, reached through its member pointer. A narrow signed
// member widens as a cast to the 32-bit number would; a store keeps the number's low bytes.
template <class Record, class T>
Field<Record> Member(T Record::*member) {
  static_assert((std::is_integral_v<T> || std::is_enum_v<T>) && sizeof(T) <= 4, "a number of at most 4 bytes");
  using Number = typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::type_identity<T>>::type;
  return {[member](const Record& r) { return static_cast<uint32_t>(static_cast<Number>(r.*member)); },
          [member](Record& r, uint32_t v) { r.*member = static_cast<T>(static_cast<Number>(v)); }};
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
    // Since the last load: what a store from the control would give, the loaded value when the
    // control cannot show it (the range of a percent field or track bar, a check box's value
    // other than 0 or 1, ten hours or more), and whether the user has changed the control.
    uint32_t shown = 0;
    std::optional<uint32_t> kept{};
    bool edited = false;
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
  BindingTable& Check(int id, ErasedField field);
  BindingTable& Check(int ac, int dc, ErasedField f_ac, ErasedField f_dc);
  // One bit of a flags word: the other bits are left as they are.
  BindingTable& FlagBit(int id, ErasedField flags, uint32_t bit);
  // `off` checked stores 0, `on` checked stores 1.
  BindingTable& RadioPair(int off, int on, ErasedField field);
  BindingTable& TrackBar(int id, ErasedField field, int low, int high);
  BindingTable& Percent(int edit, int spin, ErasedField field, int low = 0, int high = 100);
  BindingTable& Percent(int edit_ac, int spin_ac, int edit_dc, int spin_dc, ErasedField f_ac, ErasedField f_dc,
                        int low = 0, int high = 100);
  BindingTable& List(std::vector<int> ids, std::vector<ErasedField> fields, std::vector<ListItem> items,
                     std::vector<uint32_t> values = {}, std::function<int(uint32_t)> position_of = {});
  BindingTable& Time(int id, ErasedField field);
  BindingTable& Time(int ac, int dc, ErasedField f_ac, ErasedField f_dc);
  // An edit that takes any text and stores its leading signed decimal number.
  BindingTable& Number(int id, ErasedField field);
  BindingTable& Number(int ac, int dc, ErasedField f_ac, ErasedField f_dc);
  // A list view (report view, one column) with check boxes and flat scroll bars: item i is
  // checked when bit `bits[i]` of the flags word is set. A store sets the shown bits from the
  // check marks and keeps the others.
  BindingTable& CheckList(int id, ErasedField flags, std::vector<ListItem> items, std::vector<uint32_t> bits);
  BindingTable& Text(int id, std::function<std::string(const void*)> text);

  // ---- the dialog side ----
  // Subclasses and sets up the dialog's controls: ranges, list items and colours, masks. Call
  // once, from the dialog's initialisation.
  void Attach(HWND dialog);

  // Controls from fields. Rows whose fields the caller does not want filled can be skipped by
  // keeping them in another set.
  void Load(const void* record);
  // Fields from controls; fields no row names are left alone. A loaded value the control
  // cannot show is stored as it was loaded until the user changes that control.
  void Store(void* record);

  // True when a WM_COMMAND from control `id` with `code` is a change of a bound control (a
  // click on a check box or radio button, a changed edit, a new list selection).
  bool IsChange(int id, WORD code) const;
  // True when a control's message is a change of a bound control: the commands above, a
  // changed item (its check mark included) of a bound list view, any scroll of a bound track
  // bar. An up-down says nothing of its own: its edit's change does.
  bool IsUserChange(const fw::ControlEvent& event) const;
  // The same, and the control is noted as changed by the user: from now until the next load
  // it stores what it shows (also when that looks as it did after the load). The page base
  // calls it for every control message that is not its own loading.
  bool NoteUserChange(const fw::ControlEvent& event);

  controls::CTimeEdit* TimeField(int id);
  // The stored value a time field keeps because it cannot show it (ten hours or more), as
  // long as the user has not edited the field; nothing otherwise.
  std::optional<uint32_t> KeptTime(int id);
  controls::CIconComboBox* ListControl(int id);
  // Each time field's preset menu in the current language.
  void RetextTimeFields();
  const std::vector<Row>& rows() const noexcept { return rows_; }

 private:
  BindingTable& Add(Row row);
  HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }
  void SetUp(Row& row, Column& column);
  void LoadColumn(Row& row, size_t c, const void* record);
  void StoreColumn(Row& row, size_t c, void* record);
  // What a store from the column's control gives, with `current` the field's value now (kept
  // where the control says nothing: a list without a selection, the bits a check list or a
  // flag bit does not show).
  uint32_t ControlValue(const Row& row, const Column& column, uint32_t current);
  // The kept value when the column holds one, the user has not changed the control and it
  // still shows what it showed after the load.
  std::optional<uint32_t> Kept(const Row& row, const Column& column);
  // The column of control `id` (either button of a radio pair); null for none.
  Column* ColumnOf(int id);

  HWND dialog_ = nullptr;
  std::vector<Row> rows_;
  std::vector<std::pair<int, std::unique_ptr<controls::CTimeEdit>>> time_fields_;
  std::vector<std::pair<int, std::unique_ptr<controls::CIconComboBox>>> lists_;
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
    ErasedField e;
    if (f.get) e.get = [g = std::move(f.get)](const void* r) { return g(*static_cast<const Record*>(r)); };
    if (f.set) e.set = [s = std::move(f.set)](void* r, uint32_t v) { s(*static_cast<Record*>(r), v); };
    return e;
  }
};

}  // namespace vantrel::ui
