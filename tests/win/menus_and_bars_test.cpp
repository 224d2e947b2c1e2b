// Owner-drawn menus and the self-painted progress bar: measuring and drawing into memory,
// ownership, the bar's geometry, text and repaint rules, and no object left behind.
#include <gtest/gtest.h>

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

void Draw(CMenuXP& menu, const Canvas& canvas, CMenuXPItem& item, RECT rect, UINT state, int style = 0) {
  menu.style = style;
  menu.background_colour = kBack;
  menu.selection_colour = kSelection;
  menu.icon_strip_colour = kStrip;
  menu.text_colour = kBlack;
  DRAWITEMSTRUCT dis{ODT_MENU, 0, item.id, ODA_DRAWENTIRE, state, nullptr, canvas.dc(), rect,
                     reinterpret_cast<ULONG_PTR>(&item)};
  menu.DrawItem(dis);
}

MEASUREITEMSTRUCT Measure(CMenuXP& menu, CMenuXPItem& item) {
  MEASUREITEMSTRUCT mis{ODT_MENU, 0, item.id, 123, 45, reinterpret_cast<ULONG_PTR>(&item)};
  menu.MeasureItem(mis);
  return mis;
}

TEST(MenuXPTest, OwnsRecordsAndSubmenusButNotStrangers) {
  const long users = fw::LiveUserObjects();
  CountedItem::destroyed = 0;
  auto stranger = std::make_unique<CountedItem>();
  stranger->marker = 0;
  HMENU submenu_handle = nullptr;
  {
    auto menu = std::make_unique<CMenuXP>();
    ASSERT_TRUE(menu->CreatePopupMenu());
    ASSERT_TRUE(menu->AppendSideBar(NewItem(0, "Vantrel 1.00")));
    ACCEL exit_key{FALT | FVIRTKEY, VK_F4, 0};
    ASSERT_TRUE(menu->AppendItem(0, NewItem(16, "Exit", true), &exit_key));
    auto submenu = std::make_unique<CMenuXP>();
    ASSERT_TRUE(submenu->CreatePopupMenu());
    submenu->AppendItem(0, NewItem(1000, "0", true));
    submenu_handle = submenu->handle();
    ASSERT_TRUE(menu->AppendPopup(0, std::move(submenu), NewItem(2, "WakeUp After")));
    ASSERT_TRUE(::AppendMenuA(menu->handle(), MF_OWNERDRAW, 99, reinterpret_cast<LPCSTR>(stranger.get())));
    EXPECT_EQ(Measure(*menu, *stranger).itemHeight, 45u);  // not ours to interpret
    EXPECT_EQ(testing::Describe(menu->handle()),
              (std::vector<std::string>{"bar:Vantrel 1.00", "16:Exit\tAlt+F4", "popup:WakeUp After", "(no record)"}));
    EXPECT_EQ(fw::LiveUserObjects(), users + 4);  // two popups, two icons
    fw::TrackedMenuScope tracked(menu.get());
    menu.reset();  // a menu that goes is no longer named for the draw requests
    EXPECT_EQ(fw::TrackedMenuHandler(), nullptr);
  }
  EXPECT_EQ(CountedItem::destroyed, 4);
  EXPECT_FALSE(::IsMenu(submenu_handle));
  EXPECT_EQ(fw::LiveUserObjects(), users);
}

TEST(MenuXPDrawTest, SideBarStatesTextsAndCheckMark) {
  CMenuXP menu;
  menu.side_bar_start_colour = RGB(0, 255, 0);
  CMenuXPItem bar;
  bar.side_bar = true;
  Canvas column(40, 600, kBack);
  Draw(menu, column, bar, RECT{0, 0, 20, 1}, 0);  // the bar's item is one pixel high: it spans the clip
  EXPECT_EQ(column.At(0, 599), RGB(0, 255, 0));   // the start colour at the bottom
  EXPECT_NE(column.At(0, 0), RGB(0, 255, 0));
  EXPECT_NE(column.At(22, 300), kBack);  // three pixels wider than the item
  EXPECT_EQ(column.At(23, 300), kBack);

  auto render = [&](const char* text, UINT state, int style = CMenuXP::kStyle3D, bool icon = false) {
    auto canvas = std::make_unique<Canvas>(200, 20, kBack);
    Draw(menu, *canvas, *NewItem(1, text, icon), RECT{0, 0, 200, 20}, state, style);
    return canvas;
  };
  // A disabled item shows the selection in the 3D style only; the flat one keeps its strip.
  EXPECT_EQ(render("Hibernate", ODS_SELECTED | ODS_GRAYED, CMenuXP::kStyle3D, true)->At(199, 0), kSelection);
  auto flat = render("Hibernate", ODS_SELECTED | ODS_GRAYED, CMenuXP::kStyleFlat, true);
  EXPECT_EQ(flat->Count(kSelection, RECT{0, 0, 200, 20}), 0);
  EXPECT_EQ(flat->At(199, 0), kBack);
  EXPECT_EQ(flat->At(1, 12), kStrip);
  EXPECT_EQ(render("Hibernate", ODS_SELECTED, CMenuXP::kStyleFlat, true)->At(199, 19), kBlack);  // the frame
  // Nothing after a leading tab; the part after a later tab is drawn.
  EXPECT_TRUE(render("\tRight", 0)->SameAs(*render("", 0)));
  EXPECT_FALSE(render("Left\tRight", 0)->SameAs(*render("Left", 0)));
  const RECT text{22, 0, 184, 20};
  EXPECT_GT(render("Main", ODS_DEFAULT)->Count(kBack, text, true), render("Main", 0)->Count(kBack, text, true));
  // The 8 x 8 check mark alone, in the middle of the icon box.
  auto checked = render("Beep", ODS_CHECKED);
  EXPECT_GE(checked->Count(kBlack, RECT{6, 6, 14, 14}), 15);
  EXPECT_EQ(checked->Count(kBlack, RECT{0, 0, 20, 20}), checked->Count(kBlack, RECT{6, 6, 14, 14}));
}

TEST(ControlsLeakTest, ThousandMenuDrawsAndBarPaintsLeaveNothingBehind) {
  testing::ControlHost host;
  ASSERT_TRUE(host.Create());
  TextProgressBar bar;
  ASSERT_TRUE(bar.Create(host.hwnd(), RECT{10, 10, 210, 30}, 1));
  CMenuXP menu;
  auto side_bar = NewItem(0, "Vantrel 1.00");
  side_bar->side_bar = true;
  auto item = NewItem(4, "Hibernate\tCtrl+H", true), plain = NewItem(5, "Beep");
  auto separator = NewItem(0, "");
  separator->separator = true;
  Canvas canvas(200, 300);
  auto draw_all = [&](int i) {
    const int style = i % 2 ? CMenuXP::kStyleFlat : CMenuXP::kStyle3D;
    Draw(menu, canvas, *side_bar, RECT{0, 0, 20, 1}, 0, style);
    for (UINT state : {0u, 0u + ODS_SELECTED, 0u + ODS_GRAYED, 0u + ODS_CHECKED, 0u + ODS_DEFAULT})
      Draw(menu, canvas, *item, RECT{23, 0, 200, 20}, state, style);
    Draw(menu, canvas, *separator, RECT{23, 0, 200, 20}, 0, style);
    Draw(menu, canvas, *plain, RECT{23, 0, 200, 20}, ODS_CHECKED, style);  // a check mark instead of an icon
    Measure(menu, *item);
    bar.SetPos(i % 2 ? 10 : 90);  // each one a full off-screen paint
    ::SendMessageA(bar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  };
  draw_all(0);
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  const WORD slot = testing::NextGdiSlot();
  for (int i = 1; i <= 1000; ++i) draw_all(i);
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(testing::NextGdiSlot(), slot);
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
  std::unique_ptr<Canvas> Render() {
    auto canvas = std::make_unique<Canvas>(80, 20, kUntouched);
    ::SendMessageA(bar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
    return canvas;
  }

  testing::ControlHost host;
  fw::UniqueFont font = testing::CrispFont(12, FW_BOLD);
  CountingBar bar;
};

TEST_F(ProgressBarTest, GeometryAndText) {
  const COLORREF filled = ::GetSysColor(COLOR_HIGHLIGHT), empty = ::GetSysColor(COLOR_WINDOW);
  bar.SetPos(50);
  auto half = Render();
  EXPECT_EQ(half->At(39, 0), filled);
  EXPECT_EQ(half->At(40, 0), empty);
  // The percentage straddles the edge, in inverse colours on each side.
  EXPECT_GT(half->Count(empty, RECT{0, 2, 40, 18}), 5);
  EXPECT_GT(half->Count(filled, RECT{40, 2, 80, 18}), 5);
  ::SetWindowTextA(bar.hwnd(), "50%");
  EXPECT_TRUE(Render()->SameAs(*half));

  // The owner's text wins over the percentage and reads back as set.
  ::SetWindowTextA(bar.hwnd(), "87%");
  EXPECT_FALSE(Render()->SameAs(*half));
  char text[8] = {};
  EXPECT_EQ(::SendMessageA(bar.hwnd(), WM_GETTEXT, 3, reinterpret_cast<LPARAM>(text)), 2);
  EXPECT_STREQ(text, "87");
}

TEST_F(ProgressBarTest, RepaintsOnlyWhenSomethingShows) {
  const int before = bar.paints;
  EXPECT_EQ(bar.SetPos(50), 0);
  EXPECT_EQ(bar.SetPos(51), 50);  // 40.8 pixels: the edge stays where it was
  EXPECT_EQ(bar.paints, before + 1);
  for (int i = 0; i < 2; ++i) {
    ::SetWindowTextA(bar.hwnd(), "87%");
    ::UpdateWindow(bar.hwnd());
  }
  EXPECT_EQ(bar.paints, before + 2);

  ::SetWindowPos(bar.hwnd(), nullptr, 0, 0, 100, 20, SWP_NOMOVE | SWP_NOZORDER);
  ::UpdateWindow(bar.hwnd());
  const int resized = bar.paints;
  bar.SetPos(51);
  EXPECT_EQ(bar.paints, resized + 1);

  // An empty range paints nothing and does not ask again.
  bar.SetRange(5, 5);
  ::InvalidateRect(bar.hwnd(), nullptr, TRUE);
  const int emptied = bar.paints;
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, emptied + 1);
  EXPECT_FALSE(::GetUpdateRect(bar.hwnd(), nullptr, FALSE)) << "it would be asked to paint again and again";
  EXPECT_EQ(Render()->Count(kUntouched, RECT{0, 0, 80, 20}), 80 * 20);

  TextProgressBar unbound;
  EXPECT_EQ(unbound.SetPos(5), -1);
}

}  // namespace
}  // namespace vantrel::controls
