#include "controls/menu_xp.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <vector>

#include "controls/core/gradient.h"

namespace vantrel::controls {

namespace {

// The menu font is read with the structure as Windows XP knows it, so the call works there too.
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
static_assert(kNonClientMetricsSize == 340);

constexpr int kGradientSteps = 256;
// Paints the brush where the mask is black and keeps the destination where it is white.
constexpr DWORD kRopBrushThroughMask = 0xB8074A;
constexpr int kCheckMarkSize = 8;
// The side bar title: bold Arial, running upwards.
constexpr int kTitleHeight = 16;
constexpr int kTitleUpwards = 900;

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
  fw::UniqueBrush brush(::CreateSolidBrush(colour));
  if (!brush) return;
  fw::SelectObjectGuard select(dc, brush);
  ::PatBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, PATCOPY);
}

RECT Shrunk(RECT rect, int by) {
  ::InflateRect(&rect, -by, -by);
  return rect;
}

}  // namespace

CMenuXPItem* CMenuXPItem::FromData(ULONG_PTR data) noexcept {
  auto* item = reinterpret_cast<CMenuXPItem*>(data);
  return item && item->marker == kMenuXPItemMarker ? item : nullptr;
}

// ---- life ---------------------------------------------------------------------------------

CMenuXP::CMenuXP()
    : background_colour(::GetSysColor(COLOR_MENU)),
      selection_colour(::GetSysColor(COLOR_HIGHLIGHT)),
      text_colour(::GetSysColor(COLOR_MENUTEXT)),
      selected_text_colour(::GetSysColor(COLOR_HIGHLIGHTTEXT)),
      disabled_text_colour(::GetSysColor(COLOR_GRAYTEXT)),
      icon_strip_colour(background_colour) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = kNonClientMetricsSize;
  if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
    menu_font_info_ = metrics.lfMenuFont;
  } else {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof menu_font_info_, &menu_font_info_);
  }
  menu_font_.reset(::CreateFontIndirectA(&menu_font_info_));
}

CMenuXP::~CMenuXP() {
  if (fw::TrackedMenuHandler() == this) fw::SetTrackedMenuHandler(nullptr);
  if (!menu_) return;
  fw::UnregisterMenuHandler(menu_);
  DeleteAllItems();
}

bool CMenuXP::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

bool CMenuXP::Attach(HMENU menu) {
  if (!menu || menu_) return false;
  menu_.reset(menu);
  fw::RegisterMenuHandler(menu, this);
  return true;
}

// ---- building -----------------------------------------------------------------------------

bool CMenuXP::Append(UINT flags, UINT_PTR id_or_popup, CMenuXPItem* item) {
  // With MF_OWNERDRAW the "text" argument is the item data.
  return menu_ && ::AppendMenuA(menu_, flags, id_or_popup, reinterpret_cast<LPCSTR>(item)) != FALSE;
}

bool CMenuXP::AppendSideBar(std::unique_ptr<CMenuXPItem> item) {
  if (!item) return false;
  item->side_bar = true;
  new_column_pending_ = true;
  if (!Append(MF_SEPARATOR | MF_OWNERDRAW, item->id, item.get())) return false;
  (void)item.release();  // now reached through the menu
  return true;
}

bool CMenuXP::AppendItem(UINT flags, std::unique_ptr<CMenuXPItem> item, const ACCEL* accelerator) {
  if (!item) return false;
  flags |= MF_OWNERDRAW;
  if (new_column_pending_) flags |= MF_MENUBREAK;
  new_column_pending_ = false;
  if (accelerator) {
    std::string shortcut = AcceleratorText(*accelerator);
    if (!shortcut.empty()) item->text += "\t" + shortcut;
  }
  if (!Append(flags, item->id, item.get())) return false;
  (void)item.release();
  return true;
}

bool CMenuXP::AppendSeparator() {
  new_column_pending_ = false;
  // Without a record the separator is still appended; it is then drawn by nobody.
  std::unique_ptr<CMenuXPItem> item(new (std::nothrow) CMenuXPItem);
  if (item) {
    item->separator = true;
    item->size = 16;
    item->id = 0;
  }
  if (!Append(MF_SEPARATOR | MF_OWNERDRAW, 0, item.get())) return false;
  (void)item.release();
  return true;
}

bool CMenuXP::AppendPopup(UINT flags, std::unique_ptr<CMenuXP> submenu, std::unique_ptr<CMenuXPItem> item) {
  if (!submenu || !submenu->handle() || !item) return false;
  flags |= MF_POPUP | MF_OWNERDRAW;
  if (new_column_pending_) flags |= MF_MENUBREAK;
  new_column_pending_ = false;
  if (!Append(flags, reinterpret_cast<UINT_PTR>(submenu->handle()), item.get())) return false;
  (void)item.release();
  (void)submenu.release();  // found again through its handle when this menu lets it go
  return true;
}

void CMenuXP::DeleteItem(UINT position) {
  if (!menu_) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_SUBMENU;
  if (!::GetMenuItemInfoA(menu_, position, TRUE, &info)) return;
  // Removed, not deleted: a CMenuXP submenu destroys its own popup.
  if (!::RemoveMenu(menu_, position, MF_BYPOSITION)) return;
  delete CMenuXPItem::FromData(info.dwItemData);
  if (info.hSubMenu) {
    // Only CMenuXP registers menu handlers.
    if (auto* submenu = static_cast<CMenuXP*>(fw::FindMenuHandler(info.hSubMenu))) {
      delete submenu;
    } else {
      ::DestroyMenu(info.hSubMenu);
    }
  }
}

void CMenuXP::DeleteAllItems() {
  if (!menu_) return;
  for (int position = ::GetMenuItemCount(menu_) - 1; position >= 0; --position) {
    DeleteItem(static_cast<UINT>(position));
  }
  new_column_pending_ = false;
}

std::string CMenuXP::AcceleratorText(const ACCEL& accelerator) {
  std::string text;
  if (accelerator.fVirt & FCONTROL) text += "Ctrl+";
  if (accelerator.fVirt & FSHIFT) text += "Shift+";
  if (accelerator.fVirt & FALT) text += "Alt+";
  if (accelerator.fVirt & FVIRTKEY) {
    char name[64] = {};
    UINT scan_code = ::MapVirtualKeyA(accelerator.key, 0);
    if (::GetKeyNameTextA(static_cast<LONG>(scan_code << 16), name, sizeof name) > 0) text += name;
  } else if (accelerator.key != VK_ESCAPE) {
    text += static_cast<char>(accelerator.key);
  }
  return text;
}

// ---- measuring and drawing ----------------------------------------------------------------

fw::UniqueFont CMenuXP::BoldMenuFont() const {
  LOGFONTA bold = menu_font_info_;
  bold.lfWeight = FW_BOLD;
  return fw::UniqueFont(::CreateFontIndirectA(&bold));
}

void CMenuXP::MeasureItem(MEASUREITEMSTRUCT& mis) {
  if (mis.CtlType != ODT_MENU) return;
  CMenuXPItem* item = CMenuXPItem::FromData(mis.itemData);
  if (!item) return;
  int width = 0;
  int height = 0;
  if (item->side_bar) {
    // One pixel rather than none: menus may skip drawing an item of no height.
    width = item->size;
    height = 1;
  } else if (item->separator) {
    height = ::GetSystemMetrics(SM_CYMENUCHECK) >> 1;
  } else {
    // Every text is measured bold, so the default item fits like the others.
    fw::UniqueFont bold = BoldMenuFont();
    fw::WindowDC screen(nullptr);
    RECT text{};
    {
      fw::SelectObjectGuard font(screen, bold ? bold.get() : menu_font_.get());
      ::DrawTextA(screen, item->text.c_str(), static_cast<int>(item->text.size()), &text,
                  DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    }
    height = std::max<int>(text.bottom - text.top, item->size + 4);
    width = item->button_only ? height : 2 * item->size + (text.right - text.left) + 12;
  }
  // The system adds the check-mark width to every owner-drawn item; take most of it back.
  // The result may be negative for separators: the platform adds it as a signed number.
  width += 1 - ::GetSystemMetrics(SM_CXMENUCHECK);
  mis.itemWidth = static_cast<UINT>(width);
  mis.itemHeight = static_cast<UINT>(height);
}

void CMenuXP::DrawItem(DRAWITEMSTRUCT& dis) {
  if (dis.CtlType != ODT_MENU) return;
  // Data that is not one of our records is not ours to interpret.
  CMenuXPItem* item = CMenuXPItem::FromData(dis.itemData);
  if (!item) return;
  HDC dc = dis.hDC;
  const RECT r = dis.rcItem;
  const int h = r.bottom - r.top;
  const bool selected = (dis.itemState & ODS_SELECTED) != 0;
  const bool disabled = (dis.itemState & ODS_GRAYED) != 0;
  const bool checked = (dis.itemState & ODS_CHECKED) != 0;
  // Not every menu implementation sets ODS_DEFAULT; the menu itself knows its default item.
  HMENU popup = reinterpret_cast<HMENU>(dis.hwndItem);
  const bool default_item = (dis.itemState & ODS_DEFAULT) != 0 ||
                            (::IsMenu(popup) && ::GetMenuDefaultItem(popup, FALSE, GMDI_USEDISABLED) == dis.itemID);

  if (item->side_bar) {
    // The bar's own item has no height: it spans the whole column instead.
    RECT clip{};
    ::GetClipBox(dc, &clip);
    DrawSideBar(dc, RECT{r.left, clip.top, r.right, clip.bottom}, item->icon, item->text);
    return;
  }
  if (item->separator) {
    DrawBackground(dc, r, false, false);
    RECT line{r.left, r.top + h / 2, r.right, r.bottom};
    ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    if (style == kStyleFlat) {
      // Kept inside the separator: the strip is as wide as an item's, not as tall.
      DrawIconStrip(dc, RECT{r.left, r.top, r.left + item->size + 4, std::min<LONG>(r.top + item->size + 4, r.bottom)},
                    false, false, false);
    }
    return;
  }

  DrawBackground(dc, r, selected, disabled);
  if (style == kStyleFlat) DrawIconStrip(dc, RECT{r.left, r.top, r.left + h, r.bottom}, selected, disabled, checked);
  RECT box = item->button_only ? r : RECT{r.left, r.top, r.left + h, r.bottom};
  if (item->icon.valid() || checked) DrawButton(dc, box, selected, disabled, checked);
  if (item->icon.valid()) {
    DrawIcon(dc, Shrunk(box, 2), item->icon, selected, disabled, checked);
  } else if (checked) {
    DrawCheckMark(dc, Shrunk(box, 2), selected);
  }
  if (!item->button_only) {
    RECT text{r.left + (box.right - box.left) + 2, r.top, r.right - item->size, r.bottom};
    DrawItemText(dc, text, item->text, selected, disabled, default_item);
  }
}

void CMenuXP::DrawBackground(HDC dc, RECT rect, bool selected, bool disabled) {
  COLORREF colour = background_colour;
  if (selected && !(style == kStyleFlat && disabled)) colour = selection_colour;
  FillSolid(dc, rect, colour);
  if (style == kStyleFlat && selected && !disabled) {
    fw::SelectObjectGuard brush(dc, ::GetStockObject(NULL_BRUSH));
    fw::SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
    ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
  }
}

void CMenuXP::DrawButton(HDC dc, RECT rect, bool selected, bool disabled, bool checked) {
  if (style == kStyleFlat) {
    // A checked icon box looks selected: highlighted and framed.
    if (checked && !selected && !disabled) DrawBackground(dc, rect, true, false);
    return;
  }
  FillSolid(dc, rect, checked && !selected ? ::GetSysColor(COLOR_BTNHIGHLIGHT) : background_colour);
  if (!disabled && (selected || checked)) {
    ::DrawEdge(dc, &rect, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

void CMenuXP::DrawIcon(HDC dc, RECT rect, HICON icon, bool selected, bool disabled, bool checked) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (disabled) {
    DrawEmbossedIcon(dc, icon, rect, EmbossMode::HighlightThenShadow);
  } else if (style == kStyleFlat && selected && !checked) {
    // Raised above its own shadow.
    DrawEmbossedIcon(dc, icon, rect, EmbossMode::Shadow);
    ::DrawIconEx(dc, rect.left - 1, rect.top - 1, icon, width, height, 0, nullptr, DI_NORMAL);
  } else {
    ::DrawIconEx(dc, rect.left, rect.top, icon, width, height, 0, nullptr, DI_NORMAL);
  }
}

void CMenuXP::DrawEmbossedIcon(HDC dc, HICON icon, RECT rect, EmbossMode mode) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (!icon || width <= 0 || height <= 0) return;
  fw::UniqueBitmap mask(::CreateBitmap(width, height, 1, 1, nullptr));
  fw::UniqueMemoryDC mask_dc(::CreateCompatibleDC(dc));
  if (!mask || !mask_dc) return;
  fw::SelectObjectGuard select_mask(mask_dc, mask);
  // Whatever the icon does not leave white is black in the mask.
  ::PatBlt(mask_dc, 0, 0, width, height, WHITENESS);
  ::DrawIconEx(mask_dc, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);

  const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
  const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  // A one-bit source maps white to the background colour and black to the text colour.
  const COLORREF old_background = ::SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF old_text = ::SetTextColor(dc, RGB(0, 0, 0));
  auto pass = [&](COLORREF colour, int x, int y) {
    fw::UniqueBrush brush(::CreateSolidBrush(colour));
    if (!brush) return;
    fw::SelectObjectGuard select(dc, brush);
    ::BitBlt(dc, x, y, width, height, mask_dc, 0, 0, kRopBrushThroughMask);
  };
  pass(mode == EmbossMode::Shadow ? shadow : highlight, rect.left + 1, rect.top + 1);
  pass(shadow, rect.left, rect.top);
  ::SetTextColor(dc, old_text);
  ::SetBkColor(dc, old_background);
}

void CMenuXP::DrawSideBar(HDC dc, RECT rect, HICON, const std::string& title) {
  // Three pixels wider than the item: the bar also covers the gap before the next column.
  const int width = rect.right - rect.left + 3;
  const int height = rect.bottom - rect.top;
  fw::UniqueBitmap bar = CreateGradientBitmap(dc, side_bar_start_colour, side_bar_end_colour, width, height, kGradientSteps);
  if (bar) {
    fw::UniqueMemoryDC bar_dc(::CreateCompatibleDC(dc));
    if (bar_dc) {
      fw::SelectObjectGuard select(bar_dc, bar);
      ::BitBlt(dc, rect.left, rect.top, width, height, bar_dc, 0, 0, SRCCOPY);
    }
  }
  fw::UniqueFont font(::CreateFontA(kTitleHeight, 0, kTitleUpwards, kTitleUpwards, FW_BOLD, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH, "Arial"));
  fw::SelectObjectGuard select_font(dc, font);
  const COLORREF old_colour = ::SetTextColor(dc, RGB(255, 255, 255));
  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  ::TextOutA(dc, rect.left + 2, rect.bottom - 4, title.c_str(), static_cast<int>(title.size()));
  ::SetBkMode(dc, old_mode);
  ::SetTextColor(dc, old_colour);
}

void CMenuXP::DrawItemText(HDC dc, RECT rect, const std::string& text, bool selected, bool disabled,
                           bool default_item) {
  fw::UniqueFont bold;
  if (default_item) bold = BoldMenuFont();
  fw::SelectObjectGuard select(dc, bold ? bold.get() : menu_font_.get());
  const int old_mode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF old_colour = ::GetTextColor(dc);
  if (disabled) {
    if (!selected || style == kStyleFlat) {
      RECT etched = rect;
      ::OffsetRect(&etched, 1, 1);
      DrawMenuText(dc, etched, text, selected_text_colour);
    }
    DrawMenuText(dc, rect, text, disabled_text_colour);
  } else {
    DrawMenuText(dc, rect, text, selected ? selected_text_colour : text_colour);
  }
  ::SetTextColor(dc, old_colour);
  ::SetBkMode(dc, old_mode);
}

void CMenuXP::DrawMenuText(HDC dc, RECT rect, const std::string& text, COLORREF colour) {
  ::SetTextColor(dc, colour);
  const size_t tab = text.find('\t');
  const std::string left = tab == std::string::npos ? text : text.substr(0, tab);
  ::DrawTextA(dc, left.c_str(), static_cast<int>(left.size()), &rect, DT_SINGLELINE | DT_VCENTER);
  if (tab != std::string::npos && tab != 0) {
    const std::string right = text.substr(tab + 1);
    ::DrawTextA(dc, right.c_str(), static_cast<int>(right.size()), &rect, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
  }
}

void CMenuXP::DrawCheckMark(HDC dc, RECT rect, bool) {
  fw::UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
  if (!pen) return;
  fw::SelectObjectGuard select(dc, pen);
  const int a = rect.left + (rect.right - rect.left - kCheckMarkSize) / 2;
  const int b = rect.top + (rect.bottom - rect.top - kCheckMarkSize) / 2;
  for (int k = 0; k < 3; ++k) {
    POINT stroke[3] = {{a, b + 3 + k}, {a + 2, b + 5 + k}, {a + 7, b + k}};
    ::Polyline(dc, stroke, 3);
  }
}

void CMenuXP::DrawIconStrip(HDC dc, RECT rect, bool selected, bool disabled, bool) {
  if (style == kStyleFlat && (!selected || disabled)) FillSolid(dc, rect, icon_strip_colour);
}

fw::UniqueBitmap CMenuXP::CreateGradientBitmap(HDC dc, COLORREF start, COLORREF end, int width, int height,
                                               int steps) {
  std::vector<uint32_t> pixels = GradientPixels(start, end, width, height, steps);
  if (pixels.empty()) return {};
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up, row 0 is the bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return fw::UniqueBitmap(::CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, pixels.data(), &info, DIB_RGB_COLORS));
}

}  // namespace vantrel::controls
