// The page selector's hover, press and release behaviour, and the coloured icon list.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "controls/icon_combo.h"
#include "controls/page_list.h"
#include "win/test_support.h"

namespace vantrel::controls {
namespace {

constexpr COLORREF kListBack = RGB(0, 0, 96), kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);

fw::UniqueImageList StockIcons(int size) {
  fw::UniqueImageList images(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0));
  for (LPCSTR id : {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION}) {
    ::ImageList_AddIcon(images, ::LoadIconA(nullptr, id));
  }
  return images;
}

class PageListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create(300, 500));
    list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SINGLESEL | LVS_ALIGNTOP, 10,
                             10, 100, 420, host.hwnd(), nullptr, nullptr, nullptr);
    ::SendMessageA(list, LVM_SETBKCOLOR, 0, kListBack);
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(StockIcons(32).release()));
    for (int i = 0; i < 4; ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = item.iImage = i;
      item.pszText = const_cast<char*>("Page");
      ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    ASSERT_TRUE(pages.Subclass(list));
    ::UpdateWindow(list);
  }

  RECT IconRect(int item) const {
    RECT rect{LVIR_ICON, 0, 0, 0};
    ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect));
    return rect;
  }
  POINT Centre(int item) const {
    RECT r = IconRect(item);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // The frame's top-left and bottom-right pixels.
  std::pair<COLORREF, COLORREF> Frame(int item) const {
    RECT r = IconRect(item);
    return {testing::WindowPixel(list, r.left, r.top), testing::WindowPixel(list, r.right - 1, r.bottom - 1)};
  }
  void Send(UINT msg, POINT at) const { ::SendMessageA(list, msg, 0, MAKELPARAM(at.x, at.y)); }
  // Pressed at `at` with the pointer there, then the pointer leaves the window for good.
  void PressAndLeave(POINT at) const {
    POINT screen = at;
    ::ClientToScreen(list, &screen);
    testing::MovePointer(screen.x, screen.y);
    Send(WM_MOUSEMOVE, at);
    Send(WM_LBUTTONDOWN, at);
    testing::MovePointer(800, 450);
    testing::Pump(700);
  }

  testing::ControlHost host;
  HWND list = nullptr;
  CPageListCtrl pages;
  const POINT blank{50, 400};
  const std::pair<COLORREF, COLORREF> raised{kWhite, kBlack};
  const std::pair<COLORREF, COLORREF> sunken{kBlack, kWhite};
  const std::pair<COLORREF, COLORREF> erased{kListBack, kListBack};
};

TEST_F(PageListTest, RaisedFrameFollowsTheMouseReleaseSendsThePressedIconOnlyAndNothingSelects) {
  Send(WM_MOUSEMOVE, Centre(1));
  EXPECT_EQ(Frame(1), raised);
  Send(WM_MOUSEMOVE, blank);
  EXPECT_EQ(Frame(1), erased);
  // Pressed on one icon and released on another: the pressed one.
  Send(WM_MOUSEMOVE, Centre(0));
  EXPECT_EQ(Frame(0), raised);
  Send(WM_LBUTTONDOWN, Centre(0));
  EXPECT_EQ(Frame(0), sunken);
  Send(WM_MOUSEMOVE, Centre(2));
  EXPECT_EQ(pages.hot_item(), 0);
  Send(WM_LBUTTONUP, Centre(2));
  EXPECT_EQ(Frame(0), raised);
  EXPECT_EQ(host.pages, std::vector<WPARAM>{0});

  // Pressed, dragged off and released outside: nothing, and the frame goes at the next tick.
  PressAndLeave(Centre(1));
  EXPECT_EQ(pages.hot_item(), -1);
  EXPECT_FALSE(pages.pressed());
  EXPECT_FALSE(pages.tracking());
  EXPECT_EQ(Frame(1), erased);
  EXPECT_EQ(host.pages, std::vector<WPARAM>{0});

  // A press on the blank part released elsewhere does not swallow the next click.
  PressAndLeave(blank);
  EXPECT_FALSE(pages.pressed());
  Send(WM_MOUSEMOVE, Centre(3));
  Send(WM_LBUTTONDOWN, Centre(3));
  Send(WM_LBUTTONUP, Centre(3));
  EXPECT_EQ(host.pages, (std::vector<WPARAM>{0, 3}));

  // A double click sends twice, and nothing selects.
  Send(WM_MOUSEMOVE, Centre(2));
  for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) Send(msg, Centre(2));
  EXPECT_EQ(host.pages, (std::vector<WPARAM>{0, 3, 2, 2}));
  Send(WM_RBUTTONDOWN, Centre(1));
  for (UINT key : {VK_DOWN, VK_END, VK_SPACE}) ::SendMessageA(list, WM_KEYDOWN, key, 0);
  ::SendMessageA(list, WM_CHAR, 'P', 0);  // "Page": the first item's text
  EXPECT_EQ(::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
}

TEST(IconComboTest, RecordsLiveAndDieWithTheirItemsAndAColouredItemKeepsItsColourWhenSelected) {
  testing::ControlHost host;
  ASSERT_TRUE(host.Create());
  CIconComboBox combo;
  ASSERT_TRUE(combo.Subclass(::CreateWindowExA(0, WC_COMBOBOXA, "",
                                               WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED |
                                                   CBS_HASSTRINGS,
                                               10, 10, 200, 200, host.hwnd(), nullptr, nullptr, nullptr)));
  fw::UniqueImageList icons = StockIcons(16);
  combo.SetImageList(icons);
  for (const char* text : {"Standby", "Hibernate", "Shut down"})
    ::SendMessageA(combo.hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  fw::UniqueFont font = testing::CrispFont();
  auto Render = [&](int item, UINT state) {
    auto canvas = std::make_unique<testing::Canvas>(200, 18);
    fw::SelectObjectGuard select(canvas->dc(), font);
    DRAWITEMSTRUCT dis{ODT_COMBOBOX, 0, static_cast<UINT>(item), ODA_DRAWENTIRE, state, combo.hwnd(), canvas->dc(),
                       RECT{0, 0, 200, 18}, 0};
    dis.itemData = static_cast<ULONG_PTR>(::SendMessageA(combo.hwnd(), CB_GETITEMDATA, dis.itemID, 0));
    ::SendMessageA(host.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
    return canvas;
  };

  const long live = ComboItemData::live();
  EXPECT_FALSE(combo.SetItemColor(-1, CIconComboBox::kSupportedColour));
  EXPECT_FALSE(combo.SetItemImage(3, 0));
  EXPECT_EQ(ComboItemData::live(), live);
  EXPECT_TRUE(combo.SetItemImage(0, 2));
  EXPECT_TRUE(combo.SetItemColor(1, CIconComboBox::kUnsupportedColour));
  EXPECT_TRUE(combo.SetItemImage(1, 1));
  EXPECT_EQ(ComboItemData::live(), live + 2);

  auto red = Render(1, ODS_SELECTED);
  EXPECT_GT(red->Count(CIconComboBox::kUnsupportedColour, RECT{0, 0, 200, 18}), 10);
  EXPECT_EQ(red->At(199, 9), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(Render(3, ODS_SELECTED)->Count(RGB(255, 255, 255), RECT{0, 0, 200, 18}), 200 * 18);  // past the end

  ::SendMessageA(combo.hwnd(), CB_DELETESTRING, 0, 0);
  EXPECT_EQ(ComboItemData::live(), live + 1);
  EXPECT_EQ(combo.ItemData(0)->image_index, 1);  // the records moved up with their items
  ::SendMessageA(combo.hwnd(), CB_RESETCONTENT, 0, 0);
  EXPECT_EQ(ComboItemData::live(), live);
  ::SendMessageA(combo.hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Sleep"));
  combo.SetItemColor(0, CIconComboBox::kUnsupportedColour);
  ::DestroyWindow(combo.hwnd());
  EXPECT_EQ(ComboItemData::live(), live);

  // Under a parent that does not pass WM_DELETEITEM back, the records still go with the window.
  HWND plain = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 1, 1, host.hwnd(), nullptr, nullptr, nullptr);
  ASSERT_TRUE(combo.Subclass(::CreateWindowExA(0, WC_COMBOBOXA, "", WS_CHILD | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0,
                                               100, 100, plain, nullptr, nullptr, nullptr)));
  ::SendMessageA(combo.hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Sleep"));
  combo.SetItemColor(0, CIconComboBox::kUnsupportedColour);
  ::DestroyWindow(plain);
  EXPECT_EQ(ComboItemData::live(), live);
}

}  // namespace
}  // namespace vantrel::controls
