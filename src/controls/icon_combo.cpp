#include "controls/icon_combo.h"

#include <new>

#include "framework/handles.h"

namespace vantrel::controls {

namespace {

constexpr size_t kInitialColumns = 100;

std::string ItemText(HWND combo, int index) {
  LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

}  // namespace

CIconComboBox::CIconComboBox() : column_widths_(kInitialColumns, kDefaultColumnWidth) {}

CIconComboBox::~CIconComboBox() {
  // The records must not outlive their owner on a window that stays.
  if (IsWindow()) FreeRecords();
}

ComboItemData* CIconComboBox::Record(int index, bool create) {
  if (!hwnd()) return nullptr;
  const LRESULT count = ::SendMessageA(hwnd(), CB_GETCOUNT, 0, 0);
  if (index < 0 || count == CB_ERR || index >= count) return nullptr;
  const LRESULT data = ::SendMessageA(hwnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  if (data == CB_ERR) return nullptr;
  if (data != 0) return reinterpret_cast<ComboItemData*>(data);
  if (!create) return nullptr;
  auto* record = new (std::nothrow) ComboItemData;
  if (!record) return nullptr;
  if (::SendMessageA(hwnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(record)) == CB_ERR) {
    delete record;
    return nullptr;
  }
  return record;
}

const ComboItemData* CIconComboBox::ItemData(int index) const {
  return const_cast<CIconComboBox*>(this)->Record(index, false);
}

void CIconComboBox::FreeRecords() {
  const LRESULT count = ::SendMessageA(hwnd(), CB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    const LRESULT data = ::SendMessageA(hwnd(), CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    if (data == CB_ERR || data == 0) continue;
    ::SendMessageA(hwnd(), CB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    delete reinterpret_cast<ComboItemData*>(data);
  }
}

bool CIconComboBox::SetItemColor(int index, COLORREF colour) {
  ComboItemData* record = Record(index, true);
  if (!record) return false;
  record->text_colour = colour;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  return true;
}

bool CIconComboBox::SetItemImage(int index, int image) {
  ComboItemData* record = Record(index, true);
  if (!record) return false;
  record->image_index = image;
  ::InvalidateRect(hwnd(), nullptr, TRUE);
  return true;
}

void CIconComboBox::SetColumnCount(int count) {
  column_widths_.resize(count > 0 ? static_cast<size_t>(count) : 0, kDefaultColumnWidth);
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

bool CIconComboBox::OnReflectedDeleteItem(DELETEITEMSTRUCT& del) {
  if (del.CtlType != ODT_COMBOBOX) return false;
  delete reinterpret_cast<ComboItemData*>(del.itemData);
  return true;
}

bool CIconComboBox::OnReflectedDrawItem(DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_COMBOBOX) return false;
  const LRESULT count = ::SendMessageA(hwnd(), CB_GETCOUNT, 0, 0);
  const int index = static_cast<int>(dis.itemID);
  if (count <= 0 || index < 0 || index >= count) return true;

  HDC dc = dis.hDC;
  const std::string text = ItemText(hwnd(), index);
  const auto* record = dis.itemData == static_cast<ULONG_PTR>(CB_ERR) ? nullptr
                                                                      : reinterpret_cast<const ComboItemData*>(dis.itemData);
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  const COLORREF old_text = ::GetTextColor(dc);
  const COLORREF old_background = ::GetBkColor(dc);
  if (selected) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_HIGHLIGHT));
  }
  // Fills the item with the background colour, without a brush.
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &dis.rcItem, nullptr, 0, nullptr);

  RECT text_rect = dis.rcItem;
  text_rect.left += 1;
  text_rect.right -= 1;
  if (image_list_ && show_icons_) {
    if (record && record->image_index != -1) {
      fw::UniqueIcon icon(::ImageList_GetIcon(image_list_, record->image_index, ILD_NORMAL));
      if (icon) ::DrawIconEx(dc, text_rect.left, text_rect.top, icon, 0, 0, 0, nullptr, DI_NORMAL);
    }
    // Every text moves by the icon width, so texts line up with or without an icon.
    IMAGEINFO image{};
    if (::ImageList_GetImageInfo(image_list_, 0, &image)) text_rect.left += image.rcImage.right - image.rcImage.left;
  }

  fw::UniqueFont bold;
  if (record) {
    if (record->bold) {
      LOGFONTA font{};
      if (::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font)) {
        font.lfWeight = FW_BOLD;
        bold.reset(::CreateFontIndirectA(&font));
      }
    }
    // A coloured item keeps its colour on the selection too.
    if (!selected || record->text_colour != 0) ::SetTextColor(dc, record->text_colour);
  }
  {
    fw::SelectObjectGuard font(dc, bold.get());
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, DT_SINGLELINE | DT_VCENTER);
  }
  ::SetTextColor(dc, old_text);
  ::SetBkColor(dc, old_background);
  return true;
}

LRESULT CIconComboBox::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) FreeRecords();  // whether or not the parent reflects WM_DELETEITEM
  // Some combo box implementations swallow F10, so the window's menu bar could not be reached
  // from the keyboard while the list has the focus; the default handling opens it.
  if ((msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP) && wp == VK_F10) return ::DefWindowProcA(hwnd(), msg, wp, lp);
  return Default(msg, wp, lp);
}

}  // namespace vantrel::controls
