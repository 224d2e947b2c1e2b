// Owner-drawn menus and the self-painted progress bar: measuring and drawing into memory,
// ownership, a real popup, the bar's geometry, text and repaint rules, and no object left
// behind by repeated draws and paints.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "controls/menu_xp.h"
#include "controls/text_progress_bar.h"
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
}

void Draw(CMenuXP& menu, const Canvas& canvas, CMenuXPItem& item, RECT rect, UINT state) {
  DRAWITEMSTRUCT dis{ODT_MENU, 0, item.id, ODA_DRAWENTIRE, state, nullptr, canvas.dc(), rect,
                     reinterpret_cast<ULONG_PTR>(&item)};
  menu.DrawItem(dis);
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
  item.separator = true;
  mis = Measure(menu, item);
  EXPECT_EQ(static_cast<int>(mis.itemHeight), ::GetSystemMetrics(SM_CYMENUCHECK) >> 1);
  item.side_bar = true;
  item.size = CMenuXP::kSideBarWidth;
  mis = Measure(menu, item);
  EXPECT_EQ(static_cast<int>(mis.itemWidth), CMenuXP::kSideBarWidth + adjust);

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
    ACCEL exit_key{FALT | FVIRTKEY, VK_F4, 0};
    ASSERT_TRUE(menu.AppendItem(0, NewItem(16, "Exit", true), &exit_key));
    auto submenu = std::make_unique<CMenuXP>();
    ASSERT_TRUE(submenu->CreatePopupMenu());
    submenu->AppendItem(0, NewItem(1000, "0", true));
    submenu_handle = submenu->handle();
    ASSERT_TRUE(menu.AppendPopup(0, std::move(submenu), NewItem(2, "WakeUp After")));
    ASSERT_TRUE(::AppendMenuA(menu.handle(), MF_OWNERDRAW, 99, reinterpret_cast<LPCSTR>(stranger.get())));
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA;
    ::GetMenuItemInfoA(menu.handle(), 1, TRUE, &info);
    EXPECT_TRUE(info.fType & MFT_MENUBREAK);  // the first item after the side bar starts a column
    EXPECT_EQ(CMenuXPItem::FromData(info.dwItemData)->text, "Exit\tAlt+F4");
    EXPECT_EQ(fw::LiveUserObjects(), users + 4);  // two popups, two icons
  }
  EXPECT_EQ(CountedItem::destroyed, 4);
  EXPECT_FALSE(::IsMenu(submenu_handle));
  EXPECT_EQ(fw::LiveUserObjects(), users);
}

TEST(MenuXPDrawTest, SideBarSpansTheClipWithStartColourAtTheBottomAndEndAtTheTop) {
  CMenuXP menu;
  menu.side_bar_start_colour = RGB(0, 255, 0);
  menu.side_bar_end_colour = RGB(40, 0, 0);
  CMenuXPItem bar;
  bar.side_bar = true;
  bar.text = "Hours";
  Canvas canvas(40, 600, kBack);
  Draw(menu, canvas, bar, RECT{0, 0, 20, 1}, ODS_GRAYED);
  EXPECT_EQ(canvas.At(0, 599), RGB(0, 255, 0));
  EXPECT_EQ(canvas.At(0, 0), RGB(40, 0, 0));
  EXPECT_NE(canvas.At(22, 300), kBack);  // three pixels wider than the item
  EXPECT_EQ(canvas.At(23, 300), kBack);
  EXPECT_GT(canvas.Count(RGB(255, 255, 255), RECT{2, 500, 20, 597}), 20);  // the title runs up from the bottom
}

TEST(MenuXPDrawTest, DisabledSelectedItemShowsNoSelectionInTheFlatStyleOnly) {
  const RECT rect{0, 0, 200, 24};
  auto item = NewItem(4, "Hibernate", true);
  for (int style : {CMenuXP::kStyle3D, CMenuXP::kStyleFlat}) {
    CMenuXP menu;
    KnownColours(menu, style);
    Canvas disabled_selected(200, 24);
    Draw(menu, disabled_selected, *item, rect, ODS_SELECTED | ODS_GRAYED);
    Canvas selected(200, 24);
    Draw(menu, selected, *item, rect, ODS_SELECTED);
    EXPECT_EQ(selected.At(198, 12), kSelection);
    EXPECT_EQ(selected.At(199, 23), style == CMenuXP::kStyleFlat ? kBlack : kSelection);
    if (style == CMenuXP::kStyleFlat) {
      EXPECT_EQ(disabled_selected.Count(kSelection, rect), 0);
      EXPECT_EQ(disabled_selected.At(199, 0), kBack);  // no frame either
      EXPECT_EQ(disabled_selected.At(1, 12), kStrip);
    } else {
      EXPECT_EQ(disabled_selected.At(199, 0), kSelection);
    }
  }
}

TEST(MenuXPDrawTest, TextsAndCheckMark) {
  CMenuXP menu;
  KnownColours(menu, CMenuXP::kStyle3D);
  auto render = [&](const char* text, UINT state) {
    auto canvas = std::make_unique<Canvas>(200, 20, kBack);
    Draw(menu, *canvas, *NewItem(1, text), RECT{0, 0, 200, 20}, state);
    return canvas;
  };
  // Nothing after a leading tab; the part after a later tab is drawn.
  EXPECT_TRUE(render("\tRight", 0)->SameAs(*render("", 0)));
  EXPECT_FALSE(render("Left\tRight", 0)->SameAs(*render("Left", 0)));
  // The default item is drawn bold.
  const RECT text{22, 0, 184, 20};
  EXPECT_GT(render("Main", ODS_DEFAULT)->Count(kBack, text, true), render("Main", 0)->Count(kBack, text, true));
  // The 8 x 8 check mark sits in the middle of the icon box (2..18): from (6, 6) to (13, 13).
  auto checked = render("Beep", ODS_CHECKED);
  EXPECT_GE(checked->Count(kBlack, RECT{6, 6, 14, 14}), 15);
  EXPECT_EQ(checked->Count(kBlack, RECT{0, 0, 20, 20}), checked->Count(kBlack, RECT{6, 6, 14, 14}));
}

// Read while the menu is open, from inside the menu's own message loop.
// The item rectangles of the open menu, read from inside the menu's own message loop.
HMENU g_open_menu = nullptr;
RECT g_items[4]{};
void CALLBACK ReadOpenMenu(HWND owner, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(owner, timer);
  for (UINT i = 0; i < 4; ++i) ::GetMenuItemRect(nullptr, g_open_menu, i, &g_items[i]);
  ::EndMenu();
}

TEST(MenuXPTest, SideBarAndThreeItemsShowAsTwoColumns) {
  testing::ControlHost host;
  ASSERT_TRUE(host.Create());
  auto menu = std::make_unique<CMenuXP>();
  menu->CreatePopupMenu();
  auto bar = NewItem(0, "Vantrel 1.00");
  bar->size = CMenuXP::kSideBarWidth;
  menu->AppendSideBar(std::move(bar));
  for (UINT id : {1u, 5u, 6u}) menu->AppendItem(0, NewItem(id, "Shutdown", true));
  g_open_menu = menu->handle();
  {
    fw::TrackedMenuScope tracked(menu.get());
    ::SetTimer(host.hwnd(), 1, 300, &ReadOpenMenu);
    ::TrackPopupMenu(menu->handle(), TPM_RETURNCMD, 200, 200, 0, host.hwnd(), nullptr);
    menu.reset();  // a menu that goes is no longer named for the requests
    EXPECT_EQ(fw::TrackedMenuHandler(), nullptr);
  }
  const RECT* r = g_items;
  EXPECT_LE(r[0].right, r[1].left);  // the bar's column lies left of the items
  EXPECT_EQ(r[1].left, r[3].left);
  EXPECT_LT(r[1].top, r[2].top);
  EXPECT_LT(r[2].top, r[3].top);
}

TEST(ControlsLeakTest, ThousandMenuDrawsAndBarPaintsLeaveNothingBehind) {
  testing::ControlHost host;
  ASSERT_TRUE(host.Create());
  TextProgressBar bar;
  ASSERT_TRUE(bar.Create(host.hwnd(), RECT{10, 10, 210, 30}, 1));
  CMenuXP menu;
  auto side_bar = NewItem(0, "Vantrel 1.00");
  side_bar->side_bar = true;
  auto item = NewItem(4, "Hibernate\tCtrl+H", true);
  auto separator = NewItem(0, "");
  separator->separator = true;
  Canvas canvas(200, 300);
  auto draw_all = [&](int i) {
    menu.style = i % 2 ? CMenuXP::kStyleFlat : CMenuXP::kStyle3D;
    Draw(menu, canvas, *side_bar, RECT{0, 0, 20, 1}, 0);
    for (UINT state : {0u, 0u + ODS_SELECTED, 0u + ODS_GRAYED, 0u + ODS_CHECKED, 0u + ODS_DEFAULT})
      Draw(menu, canvas, *item, RECT{23, 0, 200, 20}, state);
    Draw(menu, canvas, *separator, RECT{23, 0, 200, 20}, 0);
    Measure(menu, *item);
    bar.SetPos(i % 2 ? 10 : 90);  // each one a full off-screen paint
    ::SendMessageA(bar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  };
  draw_all(0);
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  const DWORD system_gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 1; i <= 1000; ++i) draw_all(i);
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), system_gdi);  // 0 under Wine
}

constexpr COLORREF kUntouched = RGB(1, 2, 3);

class CountingBar : public TextProgressBar {
 public:
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_PAINT) ++paints;
    return TextProgressBar::WindowProc(msg, wp, lp);
  }
};

class ProgressBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    ASSERT_TRUE(bar.Create(host.hwnd(), RECT{10, 10, 90, 30}, 1));  // 80 pixels wide inside
    ::SendMessageA(bar.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    ::UpdateWindow(bar.hwnd());
  }
  std::unique_ptr<testing::Canvas> Render() {
    auto canvas = std::make_unique<testing::Canvas>(80, 20, kUntouched);
    ::SendMessageA(bar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
    return canvas;
  }
  bool LooksAsWithText(const testing::Canvas& canvas, const char* text) {
    ::SetWindowTextA(bar.hwnd(), text);
    const bool same = canvas.SameAs(*Render());
    ::SetWindowTextA(bar.hwnd(), "");
    return same;
  }

  testing::ControlHost host;
  fw::UniqueFont font = testing::CrispFont(12, FW_BOLD);
  CountingBar bar;
  const COLORREF filled = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF empty = ::GetSysColor(COLOR_WINDOW);
};

TEST_F(ProgressBarTest, GeometryAndText) {
  bar.SetPos(50);
  auto half = Render();
  EXPECT_EQ(half->At(39, 0), filled);
  EXPECT_EQ(half->At(40, 0), empty);
  EXPECT_TRUE(LooksAsWithText(*half, "50%"));
  // The text straddles the edge, in inverse colours on each side.
  EXPECT_GT(half->Count(empty, RECT{0, 2, 40, 18}), 5);
  EXPECT_GT(half->Count(filled, RECT{40, 2, 80, 18}), 5);

  bar.SetPos(101);
  auto over = Render();
  EXPECT_EQ(over->Count(filled, RECT{0, 0, 80, 1}), 80);
  EXPECT_TRUE(LooksAsWithText(*over, "101%"));

  // The owner's text wins over the percentage and reads back as set.
  ::SetWindowTextA(bar.hwnd(), "87%");
  EXPECT_FALSE(Render()->SameAs(*over));
  char text[8] = {};
  EXPECT_EQ(::SendMessageA(bar.hwnd(), WM_GETTEXT, 3, reinterpret_cast<LPARAM>(text)), 2);
  EXPECT_STREQ(text, "87");

  TextProgressBar unbound;
  EXPECT_EQ(unbound.SetPos(5), -1);
}

TEST_F(ProgressBarTest, RepaintsOnlyWhenSomethingShows) {
  const int before = bar.paints;
  EXPECT_EQ(bar.SetPos(50), 0);
  EXPECT_EQ(bar.paints, before + 1);
  EXPECT_EQ(bar.SetPos(51), 50);  // 40.8 pixels: the edge stays where it was
  EXPECT_EQ(bar.paints, before + 1);

  ::SetWindowTextA(bar.hwnd(), "87%");
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, before + 2);
  ::SetWindowTextA(bar.hwnd(), "87%");
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, before + 2);

  ::SetWindowPos(bar.hwnd(), nullptr, 0, 0, 100, 20, SWP_NOMOVE | SWP_NOZORDER);
  ::UpdateWindow(bar.hwnd());
  const int resized = bar.paints;
  bar.SetPos(51);
  EXPECT_EQ(bar.paints, resized + 1);
}

TEST_F(ProgressBarTest, EmptyRangePaintsNothingAndStopsAsking) {
  bar.SetRange(5, 5);
  ::InvalidateRect(bar.hwnd(), nullptr, TRUE);
  const int before = bar.paints;
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, before + 1);
  EXPECT_FALSE(::GetUpdateRect(bar.hwnd(), nullptr, FALSE)) << "it would be asked to paint again and again";
  EXPECT_EQ(Render()->Count(kUntouched, RECT{0, 0, 80, 20}), 80 * 20);
}

}  // namespace
}  // namespace vantrel::controls
