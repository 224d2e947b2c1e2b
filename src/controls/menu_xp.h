// Owner-drawn popup menus: an icon column, a vertical gradient title bar in a column of its
// own, bold default items, etched separators, embossed icons for disabled items, and two
// looks (3D and flat).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "framework/handles.h"
#include "framework/window.h"

namespace vantrel::controls {

// Item data is taken for a CMenuXPItem only when it carries this value.
inline constexpr uint32_t kMenuXPItemMarker = 0x0505A0A0;

// One appended item. Created by the caller and owned by the menu once appended.
class CMenuXPItem {
 public:
  CMenuXPItem() = default;
  virtual ~CMenuXPItem() = default;
  CMenuXPItem(const CMenuXPItem&) = delete;
  CMenuXPItem& operator=(const CMenuXPItem&) = delete;

  uint32_t marker = kMenuXPItemMarker;
  UINT id = 0;  // command sent when chosen; 0 for separators and side bars
  bool separator = false;
  bool side_bar = false;
  bool button_only = false;  // the icon alone, without text
  std::string text;          // for the side bar, its title
  fw::UniqueIcon icon;
  int size = 16;  // icon size in pixels; the side bar's width

  // The item behind a menu item's data, or null when the data does not carry the marker.
  static CMenuXPItem* FromData(ULONG_PTR data) noexcept;
};

class CMenuXP : public fw::MenuDrawHandler {
 public:
  static constexpr int kStyle3D = 0;
  static constexpr int kStyleFlat = 2;
  static constexpr int kSideBarWidth = 20;

  // Reads the system's menu font and colours once.
  CMenuXP();
  // Frees every item record and every CMenuXP submenu, then the platform menu.
  ~CMenuXP() override;
  CMenuXP(const CMenuXP&) = delete;
  CMenuXP& operator=(const CMenuXP&) = delete;

  // Creates an empty popup menu and attaches it; or attaches (and owns) one made elsewhere.
  bool CreatePopupMenu();
  bool Attach(HMENU menu);
  HMENU handle() const noexcept { return menu_.get(); }

  // Building. Each call appends one owner-drawn item whose data is the record; the menu takes
  // the record (and the submenu) even when appending fails, and then frees it.
  bool AppendSideBar(std::unique_ptr<CMenuXPItem> item);
  bool AppendItem(UINT flags, std::unique_ptr<CMenuXPItem> item, const ACCEL* accelerator = nullptr);
  bool AppendSeparator();
  bool AppendPopup(UINT flags, std::unique_ptr<CMenuXP> submenu, std::unique_ptr<CMenuXPItem> item);

  // Removes the item at `position` (or every item) and frees its record and CMenuXP submenu.
  void DeleteItem(UINT position);
  void DeleteAllItems();

  // "Ctrl+", "Shift+", "Alt+" and the key's name, as menus show shortcuts.
  static std::string AcceleratorText(const ACCEL& accelerator);

  void DrawItem(DRAWITEMSTRUCT& dis) override;
  void MeasureItem(MEASUREITEMSTRUCT& mis) override;

  virtual void DrawBackground(HDC dc, RECT rect, bool selected, bool disabled);
  virtual void DrawButton(HDC dc, RECT rect, bool selected, bool disabled, bool checked);
  virtual void DrawIcon(HDC dc, RECT rect, HICON icon, bool selected, bool disabled, bool checked);
  virtual void DrawSideBar(HDC dc, RECT rect, HICON icon, const std::string& title);
  virtual void DrawItemText(HDC dc, RECT rect, const std::string& text, bool selected, bool disabled,
                            bool default_item);
  virtual void DrawCheckMark(HDC dc, RECT rect, bool selected);
  virtual void DrawMenuText(HDC dc, RECT rect, const std::string& text, COLORREF colour);
  virtual void DrawIconStrip(HDC dc, RECT rect, bool selected, bool disabled, bool checked);

  enum class EmbossMode { HighlightThenShadow, Shadow };
  static void DrawEmbossedIcon(HDC dc, HICON icon, RECT rect, EmbossMode mode);
  // A bottom-up gradient from `start` (bottom row) to `end` (top row); null when it cannot be made.
  static fw::UniqueBitmap CreateGradientBitmap(HDC dc, COLORREF start, COLORREF end, int width, int height,
                                               int steps);

  const LOGFONTA& menu_font() const noexcept { return menu_font_info_; }

  // The owner may change these after construction.
  COLORREF background_colour;
  COLORREF selection_colour;
  COLORREF text_colour;
  COLORREF selected_text_colour;
  COLORREF disabled_text_colour;
  COLORREF side_bar_start_colour = RGB(0, 0, 192);
  COLORREF side_bar_end_colour = RGB(0, 0, 0);
  COLORREF icon_strip_colour;
  int style = kStyle3D;

 private:
  bool Append(UINT flags, UINT_PTR id_or_popup, CMenuXPItem* item);
  // Frees what the item at `position` owns, without removing it.
  void ReleaseItemAt(UINT position);
  fw::UniqueFont BoldMenuFont() const;

  fw::UniqueMenu menu_;
  fw::UniqueFont menu_font_;
  LOGFONTA menu_font_info_{};
  bool new_column_pending_ = false;
};

}  // namespace vantrel::controls
