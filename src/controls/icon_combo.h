// The coloured drop-down list: an owner-drawn combo box with a colour and an icon per item.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "framework/window.h"

namespace vantrel::controls {

// The record behind one item of a CIconComboBox; created on first use, owned by the item.
struct ComboItemData {
  ComboItemData() noexcept { ++live_; }
  ~ComboItemData() { --live_; }
  ComboItemData(const ComboItemData&) = delete;
  ComboItemData& operator=(const ComboItemData&) = delete;
  // Records alive right now, so that their release can be checked.
  static long live() noexcept { return live_; }

  COLORREF text_colour = RGB(0, 0, 0);
  int image_index = -1;
  std::map<int, std::string> column_texts;
  bool bold = false;

 private:
  static inline long live_ = 0;
};

// An owner-drawn drop-down list whose items have their own text colour and icon. Bound to a
// combo box with CBS_OWNERDRAWFIXED | CBS_HASSTRINGS; its parent reflects WM_DRAWITEM and
// WM_DELETEITEM to it (fw::ReflectOwnerDraw).
class CIconComboBox : public fw::Window {
 public:
  static constexpr int kDefaultColumnWidth = 50;
  // The colours the policy pages use for supported and unsupported entries.
  static constexpr COLORREF kSupportedColour = RGB(0, 150, 0);
  static constexpr COLORREF kUnsupportedColour = RGB(150, 0, 0);

  CIconComboBox();
  ~CIconComboBox() override;

  // False for an index outside the list.
  bool SetItemColor(int index, COLORREF colour);
  bool SetItemImage(int index, int image);
  void SetColumnCount(int count);

  // Not owned: the owner keeps the image list alive while the control shows it.
  void SetImageList(HIMAGELIST images) noexcept { image_list_ = images; }
  void set_show_icons(bool show) noexcept { show_icons_ = show; }

  int column_count() const noexcept { return static_cast<int>(column_widths_.size()); }
  const ComboItemData* ItemData(int index) const;

  bool OnReflectedDrawItem(DRAWITEMSTRUCT& dis) override;
  bool OnReflectedDeleteItem(DELETEITEMSTRUCT& del) override;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  ComboItemData* Record(int index, bool create);
  void FreeRecords();

  std::vector<int> column_widths_;
  HIMAGELIST image_list_ = nullptr;
  bool show_icons_ = true;
};

}  // namespace vantrel::controls
