// Owner-drawn menus: measuring, drawing into memory, ownership, routing, and a real popup.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "controls/menu_xp.h"
#include "win/control_host.h"
#include "win/test_support.h"

namespace vantrel::controls {
namespace {

using testing::Canvas;

constexpr COLORREF kBack = RGB(236, 233, 216);
constexpr COLORREF kSelection = RGB(49, 106, 197);
constexpr COLORREF kStrip = RGB(200, 220, 240);
constexpr COLORREF kBlack = RGB(0, 0, 0);

struct CountedItem : CMenuXPItem {
  static inline int destroyed = 0;
  ~CountedItem() override { ++destroyed; }
};

std::unique_ptr<CMenuXPItem> NewItem(UINT id, const char* text, bool icon = false) {
  auto item = std::make_unique<CountedItem>();
  item->id = id;
  item->text = text;
  if (icon) item->icon.reset(::CopyIcon(::LoadIconA(nullptr, IDI_ERROR)));
  return item;
}

void KnownColours(CMenuXP& menu, int style) {
  menu.style = style;
  menu.background_colour = kBack;
  menu.selection_colour = kSelection;
  menu.icon_strip_colour = kStrip;
  menu.text_colour = kBlack;
  menu.selected_text_colour = RGB(255, 255, 255);
  menu.disabled_text_colour = RGB(128, 128, 128);
}

void Draw(CMenuXP& menu, const Canvas& canvas, CMenuXPItem& item, RECT rect, UINT state, HMENU popup = nullptr) {
  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_MENU;
  dis.itemID = item.id;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = state;
  dis.hwndItem = reinterpret_cast<HWND>(popup);
  dis.hDC = canvas.dc();
  dis.rcItem = rect;
  dis.itemData = reinterpret_cast<ULONG_PTR>(&item);
  menu.DrawItem(dis);
}

MENUITEMINFOA InfoAt(HMENU menu, UINT position, UINT mask) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = mask;
  ::GetMenuItemInfoA(menu, position, TRUE, &info);
  return info;
}

MEASUREITEMSTRUCT Measure(CMenuXP& menu, CMenuXPItem& item) {
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, item.id, 123, 45, reinterpret_cast<ULONG_PTR>(&item)};
  menu.MeasureItem(mis);
  return mis;
}

TEST(MenuXPTest, MeasuresEveryTextBoldAndUnmarkedItemsNotAtAll) {
  CMenuXP menu;
  CMenuXPItem item;
  item.text = "Main Dialog...";
  auto text_size = [&](LONG weight) {
    LOGFONTA font = menu.menu_font();
    font.lfWeight = weight;
    fw::UniqueFont created(::CreateFontIndirectA(&font));
    fw::WindowDC screen(nullptr);
    fw::SelectObjectGuard select(screen, created);
    RECT rect{};
    ::DrawTextA(screen, item.text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
    return rect;
  };
  const RECT bold = text_size(FW_BOLD);
  ASSERT_GT(bold.right, text_size(FW_NORMAL).right);
  const int adjust = 1 - ::GetSystemMetrics(SM_CXMENUCHECK);
  MEASUREITEMSTRUCT mis = Measure(menu, item);
  EXPECT_EQ(static_cast<int>(mis.itemWidth), 2 * 16 + bold.right + 12 + adjust);
  EXPECT_EQ(static_cast<int>(mis.itemHeight), std::max<int>(bold.bottom, 20));

  item.button_only = true;
  mis = Measure(menu, item);
  EXPECT_EQ(static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight) + adjust);
  item.separator = true;
  mis = Measure(menu, item);
  EXPECT_EQ(static_cast<int>(mis.itemHeight), ::GetSystemMetrics(SM_CYMENUCHECK) >> 1);
  EXPECT_EQ(static_cast<int>(mis.itemWidth), adjust);
  item.side_bar = true;
  item.size = CMenuXP::kSideBarWidth;
  mis = Measure(menu, item);
  EXPECT_EQ(static_cast<int>(mis.itemWidth), CMenuXP::kSideBarWidth + adjust);
  EXPECT_EQ(mis.itemHeight, 1u);

  item.marker = 0;
  mis = Measure(menu, item);
  EXPECT_EQ(mis.itemWidth, 123u);
  EXPECT_EQ(mis.itemHeight, 45u);
}

TEST(MenuXPTest, OwnsRecordsAndSubmenusButNotStrangers) {
  const long users = fw::LiveUserObjects();
  CountedItem::destroyed = 0;
  auto stranger = std::make_unique<CountedItem>();
  stranger->marker = 0;
  HMENU submenu_handle = nullptr;
  {
    CMenuXP menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendSideBar(NewItem(0, "Vantrel 1.00")));
    ASSERT_TRUE(menu.AppendItem(0, NewItem(1, "Main Dialog...", true)));
    ASSERT_TRUE(menu.AppendSeparator());
    auto submenu = std::make_unique<CMenuXP>();
    ASSERT_TRUE(submenu->CreatePopupMenu());
    submenu->AppendSideBar(NewItem(0, "Hours"));
    submenu->AppendItem(0, NewItem(1000, "0", true));
    submenu_handle = submenu->handle();
    ASSERT_TRUE(menu.AppendPopup(0, std::move(submenu), NewItem(2, "WakeUp After")));
    ASSERT_TRUE(::AppendMenuA(menu.handle(), MF_OWNERDRAW, 99, reinterpret_cast<LPCSTR>(stranger.get())));

    // Only the item after the side bar opens the second column.
    auto type_at = [&](UINT position) { return InfoAt(menu.handle(), position, MIIM_FTYPE).fType; };
    EXPECT_TRUE(type_at(1) & MFT_MENUBREAK);
    EXPECT_FALSE(type_at(3) & MFT_MENUBREAK);
    EXPECT_TRUE(type_at(3) & MFT_OWNERDRAW);
    EXPECT_EQ(fw::LiveUserObjects(), users + 4);  // two popups, two icons
  }
  EXPECT_EQ(CountedItem::destroyed, 5);
  EXPECT_FALSE(::IsMenu(submenu_handle));
  EXPECT_EQ(fw::LiveUserObjects(), users);

  // A rebuild releases everything it removes.
  CMenuXP menu;
  menu.CreatePopupMenu();
  auto submenu = std::make_unique<CMenuXP>();
  submenu->CreatePopupMenu();
  submenu_handle = submenu->handle();
  menu.AppendPopup(0, std::move(submenu), NewItem(2, "WakeUp After"));
  menu.AppendItem(0, NewItem(16, "Exit", true));
  CountedItem::destroyed = 0;
  menu.DeleteAllItems();
  EXPECT_EQ(CountedItem::destroyed, 2);
  EXPECT_EQ(::GetMenuItemCount(menu.handle()), 0);
  EXPECT_FALSE(::IsMenu(submenu_handle));
  EXPECT_EQ(fw::FindMenuHandler(submenu_handle), nullptr);
}

TEST(MenuXPTest, AcceleratorTexts) {
  EXPECT_EQ(CMenuXP::AcceleratorText({FCONTROL | FSHIFT | FALT | FVIRTKEY, VK_F4, 0}), "Ctrl+Shift+Alt+F4");
  EXPECT_EQ(CMenuXP::AcceleratorText({0, 'Q', 0}), "Q");
  EXPECT_EQ(CMenuXP::AcceleratorText({FCONTROL, VK_ESCAPE, 0}), "Ctrl+");
  CMenuXP menu;
  menu.CreatePopupMenu();
  ACCEL exit_key{FALT | FVIRTKEY, VK_F4, 0};
  menu.AppendItem(0, NewItem(16, "Exit"), &exit_key);
  menu.AppendItem(0, NewItem(17, "Plain"), nullptr);
  MENUITEMINFOA info = InfoAt(menu.handle(), 0, MIIM_DATA);
  EXPECT_EQ(CMenuXPItem::FromData(info.dwItemData)->text, "Exit\tAlt+F4");
}

TEST(MenuXPDrawTest, SideBarSpansTheClipWithStartColourAtTheBottomAndEndAtTheTop) {
  CMenuXP menu;
  menu.side_bar_start_colour = RGB(0, 255, 0);
  menu.side_bar_end_colour = RGB(40, 0, 0);
  CMenuXPItem bar;
  bar.side_bar = true;
  bar.size = CMenuXP::kSideBarWidth;
  bar.text = "Hours";
  Canvas canvas(40, 600, kBack);
  Draw(menu, canvas, bar, RECT{0, 0, 20, 1}, ODS_GRAYED);
  EXPECT_EQ(canvas.At(0, 599), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(0, 0), RGB(40, 0, 0));
  EXPECT_NE(canvas.At(22, 300), kBack);  // three pixels wider than the item
  EXPECT_EQ(canvas.At(23, 300), kBack);
  EXPECT_GT(canvas.Count(RGB(255, 255, 255), RECT{2, 500, 20, 597}), 20);  // the title runs up from the bottom
  EXPECT_EQ(canvas.Count(RGB(255, 255, 255), RECT{0, 0, 40, 300}), 0);
}

TEST(MenuXPDrawTest, SelectionStatesOfBothStyles) {
  const RECT rect{0, 0, 200, 24};
  const RECT right{60, 0, 200, 24};
  auto item = NewItem(4, "Hibernate", true);
  for (int style : {CMenuXP::kStyle3D, CMenuXP::kStyleFlat}) {
    CMenuXP menu;
    KnownColours(menu, style);
    Canvas disabled_selected(200, 24);
    Draw(menu, disabled_selected, *item, rect, ODS_SELECTED | ODS_GRAYED);
    Canvas selected(200, 24);
    Draw(menu, selected, *item, rect, ODS_SELECTED);
    if (style == CMenuXP::kStyleFlat) {
      // Disabled and selected: no selection colour, no frame.
      EXPECT_EQ(disabled_selected.Count(kSelection, rect), 0);
      EXPECT_EQ(disabled_selected.At(199, 0), kBack);
      EXPECT_EQ(disabled_selected.At(1, 12), kStrip);
      EXPECT_EQ(selected.At(0, 0), kBlack);
      EXPECT_EQ(selected.At(199, 23), kBlack);
    } else {
      EXPECT_GT(disabled_selected.Count(kSelection, right), 0);
      EXPECT_EQ(disabled_selected.At(199, 0), kSelection);
      EXPECT_EQ(selected.At(199, 0), kSelection);
    }
    EXPECT_EQ(selected.At(198, 12), kSelection);
  }
}

TEST(MenuXPDrawTest, TextsIconsAndCheckMark) {
  CMenuXP menu;
  KnownColours(menu, CMenuXP::kStyle3D);
  const RECT rect{0, 0, 200, 20};
  auto render = [&](const char* text, UINT state, HMENU popup = nullptr) {
    auto canvas = std::make_unique<Canvas>(200, 20, kBack);
    auto item = NewItem(1, text);
    Draw(menu, *canvas, *item, rect, state, popup);
    return canvas;
  };
  // Nothing after a leading tab; the part after a later tab is drawn.
  EXPECT_TRUE(render("\tRight", 0)->SameAs(*render("", 0)));
  EXPECT_FALSE(render("Left\tRight", 0)->SameAs(*render("Left", 0)));

  // The default item is bold, whether the state or the menu says so.
  const RECT text{22, 0, 184, 20};
  const int regular = render("Main Dialog", 0)->Count(kBack, text, true);
  EXPECT_GT(render("Main Dialog", ODS_DEFAULT)->Count(kBack, text, true), regular);
  fw::UniqueMenu popup(::CreatePopupMenu());
  ::AppendMenuA(popup, MF_STRING, 1, "x");
  ::SetMenuDefaultItem(popup, 1, FALSE);
  EXPECT_TRUE(render("Main Dialog", 0, popup)->SameAs(*render("Main Dialog", ODS_DEFAULT)));

  // The 8 x 8 check mark sits in the middle of the icon box (2..18): from (6, 6) to (13, 13).
  auto checked = render("Beep", ODS_CHECKED);
  const int marks = checked->Count(kBlack, RECT{0, 0, 20, 20});
  EXPECT_GE(marks, 15);
  EXPECT_EQ(checked->Count(kBlack, RECT{6, 6, 14, 14}), marks);
  EXPECT_EQ(checked->At(6, 9), kBlack);
  EXPECT_NE(checked->At(13, 13), kBlack);

  // A disabled icon is embossed: only shadow and highlight over the background.
  Canvas embossed(200, 20, kBack);
  auto icon_item = NewItem(4, "Hibernate", true);
  Draw(menu, embossed, *icon_item, rect, ODS_GRAYED);
  const RECT box{0, 0, 20, 20};
  const int shadow = embossed.Count(::GetSysColor(COLOR_BTNSHADOW), box);
  EXPECT_GT(shadow, 50);
  EXPECT_EQ(embossed.Count(kBack, box) + shadow + embossed.Count(::GetSysColor(COLOR_BTNHIGHLIGHT), box), 400);
}

TEST(MenuXPTest, FrameworkRoutesRequestsByMenu) {
  Canvas canvas(200, 20, kBack);
  auto menu = std::make_unique<CMenuXP>();
  KnownColours(*menu, CMenuXP::kStyle3D);
  menu->CreatePopupMenu();
  menu->AppendItem(0, NewItem(1, "Main Dialog..."));
  MENUITEMINFOA info = InfoAt(menu->handle(), 0, MIIM_DATA);
  const HMENU handle = menu->handle();

  DRAWITEMSTRUCT dis{ODT_MENU, 0, 1, ODA_DRAWENTIRE, ODS_SELECTED, reinterpret_cast<HWND>(handle), canvas.dc(),
                     RECT{0, 0, 200, 20}, info.dwItemData};
  EXPECT_TRUE(fw::ReflectOwnerDraw(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)));
  EXPECT_EQ(canvas.At(199, 10), kSelection);
  // Without a tracked menu, the owner of the item measures it.
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, 1, 0, 0, info.dwItemData};
  EXPECT_TRUE(fw::ReflectOwnerDraw(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis)));
  EXPECT_GT(mis.itemWidth, 0u);
  {
    fw::TrackedMenuScope tracked(menu.get());
    EXPECT_EQ(fw::TrackedMenuHandler(), menu.get());
    menu.reset();  // a menu that goes away is no longer named
    EXPECT_EQ(fw::TrackedMenuHandler(), nullptr);
  }
  EXPECT_EQ(fw::TrackedMenuHandler(), nullptr);
  EXPECT_EQ(fw::FindMenuHandler(handle), nullptr);
  EXPECT_FALSE(fw::ReflectOwnerDraw(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis)));
}

// Read while the menu is open, from inside the menu's own message loop.
struct OpenMenuProbe {
  HMENU menu = nullptr;
  RECT items[4]{};
  COLORREF bar_at_first = 0;
  COLORREF bar_at_last = 0;
} g_probe;

void CALLBACK ProbeOpenMenu(HWND owner, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(owner, timer);
  for (UINT i = 0; i < 4; ++i) ::GetMenuItemRect(nullptr, g_probe.menu, i, &g_probe.items[i]);
  if (HWND popup = ::FindWindowA("#32768", nullptr)) {
    auto pixel = [&](const RECT& item) {
      POINT at{g_probe.items[0].left + 2, (item.top + item.bottom) / 2};
      ::ScreenToClient(popup, &at);
      return testing::WindowPixel(popup, at.x, at.y);
    };
    g_probe.bar_at_first = pixel(g_probe.items[1]);
    g_probe.bar_at_last = pixel(g_probe.items[3]);
  }
  ::EndMenu();
}

TEST(MenuXPTest, SideBarAndThreeItemsShowAsTwoColumns) {
  testing::ControlHost host;
  ASSERT_TRUE(host.Create());
  CMenuXP menu;
  menu.CreatePopupMenu();
  auto bar = NewItem(0, "Vantrel 1.00");
  bar->size = CMenuXP::kSideBarWidth;
  menu.AppendSideBar(std::move(bar));
  for (UINT id : {1u, 5u, 6u}) menu.AppendItem(0, NewItem(id, "Shutdown", true));
  g_probe = OpenMenuProbe{};
  g_probe.menu = menu.handle();
  fw::TrackedMenuScope tracked(&menu);
  ::SetTimer(host.hwnd(), 1, 300, &ProbeOpenMenu);
  ::TrackPopupMenu(menu.handle(), TPM_RETURNCMD, 200, 200, 0, host.hwnd(), nullptr);

  const RECT* r = g_probe.items;
  EXPECT_LE(r[0].right, r[1].left);  // the bar's column lies left of the items
  EXPECT_EQ(r[1].left, r[2].left);
  EXPECT_EQ(r[2].left, r[3].left);
  EXPECT_LT(r[1].top, r[2].top);
  EXPECT_LT(r[2].top, r[3].top);
  // Drawn from the top item to the bottom one: blue towards the bottom, darker above.
  EXPECT_GT(GetBValue(g_probe.bar_at_last), 150);
  EXPECT_EQ(GetRValue(g_probe.bar_at_last), 0);
  EXPECT_LT(GetBValue(g_probe.bar_at_first), GetBValue(g_probe.bar_at_last));
  EXPECT_NE(g_probe.bar_at_first, ::GetSysColor(COLOR_MENU));
}

}  // namespace
}  // namespace vantrel::controls
