#include "controls/masked_edit.h"

#include <algorithm>

#include <cstdio>
#include <iterator>

#include "framework/dialog.h"
#include "i18n/core/language_table.h"
#include "i18n/core/text_ids.h"
#include "resource.h"

namespace vantrel::controls {

namespace {

constexpr int kPresetHours[] = {0, 1, 2, 3, 4, 5};
constexpr int kPresetMinutes[] = {0, 1, 2, 3, 5, 10, 15, 20, 25, 30, 45};
constexpr char kCopyKey = 3;  // Ctrl+C arrives as this character

}  // namespace

// ---- CmEdit -------------------------------------------------------------------------------

namespace {
// Every field alive, so that a field can find the one the focus moves to.
std::vector<CmEdit*>& LiveFields() {
  static std::vector<CmEdit*> fields;
  return fields;
}
}  // namespace

CmEdit::CmEdit() { LiveFields().push_back(this); }

CmEdit::~CmEdit() {
  auto& fields = LiveFields();
  fields.erase(std::remove(fields.begin(), fields.end(), this), fields.end());
}

CmEdit* CmEdit::FromWindow(HWND window) noexcept {
  if (!window) return nullptr;
  for (CmEdit* field : LiveFields())
    if (field->hwnd() == window) return field;
  return nullptr;
}

bool CmEdit::Create(HWND parent, const RECT& rect, int id) {
  HWND edit = ::CreateWindowExA(WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | ES_AUTOHSCROLL, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), fw::ResourceInstance(), nullptr);
  if (!edit) return false;
  if (Subclass(edit)) return true;
  ::DestroyWindow(edit);
  return false;
}

void CmEdit::Fail(const char* text) {
  elements_.clear();
  ::SetWindowTextA(hwnd(), text);
  ::EnableWindow(hwnd(), FALSE);
}

bool CmEdit::Init(const std::string& mask, const std::string& raw) {
  if (!hwnd()) return false;
  if (!CheckBrackets(mask)) {
    Fail(kInitFailedText);
    return false;
  }
  if (!ParseMask(mask, elements_)) {
    Fail(kSetValidCharsFailedText);
    return false;
  }
  ::SendMessageA(hwnd(), EM_LIMITTEXT, elements_.size(), 0);
  SetInputText(raw);
  int first = Rules().FirstInput();
  current_ = first >= 0 ? first : 0;
  // Only a field on screen takes the keyboard: one set up on a hidden page (a tab not shown,
  // a page being built) would take the keys typed next out of the user's sight.
  if (::IsWindowVisible(hwnd())) ::SetFocus(hwnd());
  SetCaret(current_);
  ::EnableWindow(hwnd(), TRUE);
  return true;
}

bool CmEdit::SetPromptChar(const std::string& prompt) {
  if (prompt.size() != 1) return false;
  prompt_ = prompt;
  return true;
}

void CmEdit::SetInputText(const std::string& raw) {
  if (hwnd()) ::SetWindowTextA(hwnd(), Rules().Shown(raw).c_str());
}

std::string CmEdit::GetInputText() const { return Rules().Raw(Text()); }

std::string CmEdit::Text() const {
  if (!hwnd()) return {};
  int length = ::GetWindowTextLengthA(hwnd());
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = ::GetWindowTextA(hwnd(), text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void CmEdit::GetSelection(int& start, int& end) const {
  DWORD from = 0;
  DWORD to = 0;
  ::SendMessageA(hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
  start = static_cast<int>(from);
  end = static_cast<int>(to);
}

void CmEdit::SetCaret(int position) {
  ::SendMessageA(hwnd(), EM_SETSEL, static_cast<WPARAM>(position), position);
  ::SendMessageA(hwnd(), EM_SCROLLCARET, 0, 0);
}

void CmEdit::Replace(int from, int to, const std::string& text) {
  ::SendMessageA(hwnd(), EM_SETSEL, static_cast<WPARAM>(from), to);
  ::SendMessageA(hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void CmEdit::BlankSelection(int start, int end) {
  MaskRules rules = Rules();
  if (end > rules.count()) end = rules.count();
  if (start < end) Replace(start, end, rules.Blank(start, end));
  int next = rules.NextInput(start);
  current_ = next >= 0 ? next : rules.LastInput() + 1;
  SetCaret(current_);
}

void CmEdit::OnKeyDown(UINT key) {
  MaskRules rules = Rules();
  const int last = rules.LastInput();
  switch (key) {
    case VK_SHIFT:
      shift_held_ = true;
      break;
    case VK_TAB: {
      HWND next = ::GetNextDlgTabItem(::GetParent(hwnd()), hwnd(), shift_held_ ? TRUE : FALSE);
      if (!next || next == hwnd()) break;
      // The next field has not seen Shift go down.
      if (CmEdit* edit = FromWindow(next)) edit->shift_held_ = shift_held_;
      ::SetFocus(next);
      break;
    }
    case VK_END:
      if (shift_held_) {
        ::SendMessageA(hwnd(), EM_SETSEL, static_cast<WPARAM>(current_), last + 1);
      } else {
        current_ = last + 1;
        SetCaret(current_);
      }
      break;
    case VK_HOME:
      if (shift_held_) {
        ::SendMessageA(hwnd(), EM_SETSEL, 0, current_);
      } else {
        int first = rules.FirstInput();
        current_ = first >= 0 ? first : 0;
        SetCaret(current_);
      }
      break;
    case VK_LEFT: {
      int previous = rules.PrevInput(current_ - 1);
      if (previous >= 0) {
        current_ = previous;
        SetCaret(current_);
      }
      break;
    }
    case VK_RIGHT: {
      int next = rules.NextInput(current_ + 1);
      current_ = next >= 0 ? next : last + 1;
      SetCaret(current_);
      break;
    }
    case VK_DELETE: {
      int start = 0;
      int end = 0;
      GetSelection(start, end);
      if (start != end) {
        BlankSelection(start, end);
        break;
      }
      if (current_ > last) break;
      // A literal stays itself; only input positions show the prompt.
      Replace(current_, current_ + 1, std::string(1, rules.BlankAt(current_)));
      int next = rules.NextInput(current_ + 1);
      current_ = next >= 0 ? next : current_ + 1;
      SetCaret(current_);
      break;
    }
    default:
      break;
  }
}

void CmEdit::OnChar(unsigned char c) {
  MaskRules rules = Rules();
  if (c == VK_BACK) {
    if (current_ < 1) return;
    int previous = rules.PrevInput(current_ - 1);
    if (previous < 0) return;
    Replace(previous, previous + 1, prompt_);
    current_ = previous;
    SetCaret(current_);
    return;
  }
  // Control characters (Tab, Ctrl+V, Ctrl+X …) neither type nor blank a selection.
  if (c < ' ' || c == 0x7F) return;
  int start = 0;
  int end = 0;
  GetSelection(start, end);
  if (start != end) BlankSelection(start, end);
  const char typed = static_cast<char>(c);
  if (current_ >= rules.count() || !rules.Accepts(current_, typed)) return;
  Replace(current_, current_ + 1, std::string(1, typed));
  int next = rules.NextInput(current_ + 1);
  current_ = next >= 0 ? next : current_ + 1;
  SetCaret(current_);
}

LRESULT CmEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_KEYDOWN:
      // No key reaches the edit's own handling: it would move or delete past the mask.
      OnKeyDown(static_cast<UINT>(wp));
      return 0;
    case WM_KEYUP:
      if (wp == VK_SHIFT) shift_held_ = false;
      break;
    case WM_KILLFOCUS:
      // Shift released in another control sends its key-up there, never here.
      shift_held_ = false;
      break;
    case WM_CHAR:
      if (wp == static_cast<WPARAM>(kCopyKey)) break;  // copying changes nothing
      OnChar(static_cast<unsigned char>(wp));
      return 0;
    case WM_SETFOCUS: {
      LRESULT result = Default(msg, wp, lp);
      ::SendMessageA(hwnd(), EM_SETSEL, 0, -1);
      return result;
    }
    case WM_LBUTTONUP: {
      int start = 0;
      int end = 0;
      GetSelection(start, end);
      if (start == end) {
        current_ = start;
        SetCaret(current_);
      }
      break;
    }
    case WM_LBUTTONDBLCLK:
      ::SendMessageA(hwnd(), EM_SETSEL, 0, -1);
      return 0;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
      // Each would put text in place without the mask.
      return 0;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

// ---- CTimeEdit ----------------------------------------------------------------------------

CTimeEdit::CTimeEdit() : presets_(::CreatePopupMenu()) { RebuildPresets(); }

void CTimeEdit::RebuildPresets() {
  if (!presets_) return;
  // Deleting a submenu entry destroys the submenu with it.
  while (::GetMenuItemCount(presets_) > 0) ::DeleteMenu(presets_, 0, MF_BYPOSITION);

  ::AppendMenuA(presets_, MF_STRING, ID_TIME_PRESET_NEVER, i18n::Text(i18n::IDS_NEVER).c_str());
  ::AppendMenuA(presets_, MF_SEPARATOR, ID_TIME_PRESET_SEPARATOR, nullptr);
  const std::string hours = i18n::Text(i18n::IDS_HOURS);
  const std::string minutes = i18n::Text(i18n::IDS_MINUTES);
  for (size_t i = 0; i < std::size(kPresetHours); ++i) {
    fw::UniqueMenu submenu(::CreatePopupMenu());
    if (!submenu) continue;
    for (size_t k = 0; k < std::size(kPresetMinutes); ++k) {
      const UINT command = ID_TIME_PRESET_FIRST + ID_TIME_PRESET_HOURS_STEP * static_cast<UINT>(i) + static_cast<UINT>(k);
      const std::string text = std::to_string(kPresetMinutes[k]) + " " + minutes;
      ::AppendMenuA(submenu, MF_STRING, command, text.c_str());
    }
    const std::string text = std::to_string(kPresetHours[i]) + " " + hours;
    if (::AppendMenuA(presets_, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), text.c_str())) {
      (void)submenu.release();  // destroyed with the popup
    }
  }
}

void CTimeEdit::OnPreset(UINT command) {
  if (command == ID_TIME_PRESET_NEVER) {
    SetInputText("00000");
    return;
  }
  if (command < ID_TIME_PRESET_FIRST) return;
  // Only the popup's own commands name table entries; anything else is ignored.
  const UINT hours_index = command / ID_TIME_PRESET_HOURS_STEP - 1;
  const UINT minutes_index = command % ID_TIME_PRESET_HOURS_STEP - 1;
  if (hours_index >= std::size(kPresetHours) || minutes_index >= std::size(kPresetMinutes)) return;
  char raw[16];
  std::snprintf(raw, sizeof raw, "%1d%02d00", kPresetHours[hours_index], kPresetMinutes[minutes_index]);
  SetInputText(raw);
}

LRESULT CTimeEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_RBUTTONUP: {
      ::SetFocus(hwnd());
      // The focus repaints the field; done while the popup is being shown, that paint can
      // leave the popup hidden (seen under Wine), so it is done first.
      MSG paint;
      for (int i = 0; i < 4 && ::PeekMessageA(&paint, hwnd(), WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
        ::DispatchMessageA(&paint);
      }
      POINT at{};
      ::GetCursorPos(&at);
      ::TrackPopupMenu(presets_, 0, at.x, at.y, 0, hwnd(), nullptr);
      return 0;
    }
    case WM_CONTEXTMENU:
      return 0;  // the presets replace the edit's own menu
    case WM_COMMAND:
      if (HIWORD(wp) == 0 && LOWORD(wp) <= ID_TIME_PRESET_LAST) {
        OnPreset(LOWORD(wp));
        return 0;
      }
      break;
    default:
      break;
  }
  return CmEdit::WindowProc(msg, wp, lp);
}

}  // namespace vantrel::controls
