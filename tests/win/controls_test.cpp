// The program's own controls, drawn into memory and driven by keystrokes, mouse and focus messages:
// owner-drawn menus, the self-painted progress bar, the masked time edit and its preset popup, the page
// selector, the coloured icon list, and the icons themselves.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "controls/icon_combo.h"
#include "controls/masked_edit.h"
#include "controls/menu_xp.h"
#include "controls/page_list.h"
#include "controls/text_progress_bar.h"
#include "framework/dialog.h"
#include "i18n/core/language_table.h"
#include "resource.h"
#include "win/icon_directory.h"
#include "win/test_support.h"

namespace vantrel::controls {
namespace {

using testing::Canvas;
using testing::MenuString;
using testing::WindowText;

constexpr COLORREF kBack = RGB(236, 233, 216);
constexpr COLORREF kSelection = RGB(49, 106, 197);
constexpr COLORREF kStrip = RGB(200, 220, 240);
constexpr COLORREF kBlack = RGB(0, 0, 0), kWhite = RGB(255, 255, 255), kListBack = RGB(0, 0, 96);
constexpr COLORREF kUntouched = RGB(1, 2, 3);

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

TEST(ControlsTest, MenuXPOwnsRecordsAndSubmenusButNotStrangers) {
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

TEST(ControlsTest, MenuXPDrawsSideBarStatesTextsAndCheckMark) {
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

TEST(ControlsTest, ThousandMenuDrawsAndBarPaintsLeaveNothingBehind) {
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
  auto census = [] { return std::tuple(fw::LiveGdiObjects(), fw::LiveUserObjects(), testing::GdiObjectsInUse()); };
  const auto before = census();
  for (int i = 1; i <= 1000; ++i) draw_all(i);
  EXPECT_EQ(census(), before) << "owned GDI and USER objects, and the process's GDI objects";
}

class CountingBar : public TextProgressBar {
 public:
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_PAINT) ++paints;
    return TextProgressBar::WindowProc(msg, wp, lp);
  }
};

TEST(ControlsTest, ProgressBarGeometryTextAndRepaintsOnlyWhenSomethingShows) {
  testing::ControlHost host;
  fw::UniqueFont font = testing::CrispFont(12, FW_BOLD);
  CountingBar bar;
  ASSERT_TRUE(host.Create());
  ASSERT_TRUE(bar.Create(host.hwnd(), RECT{10, 10, 90, 30}, 1));  // 80 pixels wide inside
  ::SendMessageA(bar.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  ::UpdateWindow(bar.hwnd());
  auto Render = [&] {
    auto canvas = std::make_unique<Canvas>(80, 20, kUntouched);
    ::SendMessageA(bar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
    return canvas;
  };
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

  bar.SetPos(0);
  ::SetWindowTextA(bar.hwnd(), "");
  ::UpdateWindow(bar.hwnd());
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

std::pair<DWORD, DWORD> Selection(const fw::Window& field) {
  DWORD start = 0, end = 0;
  ::SendMessageA(field.hwnd(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}
void Key(const fw::Window& field, UINT key) { ::SendMessageA(field.hwnd(), WM_KEYDOWN, key, 1); }
// A click that leaves the caret at `position`.
void ClickAt(const fw::Window& field, int position) {
  ::SendMessageA(field.hwnd(), EM_SETSEL, position, position);
  ::SendMessageA(field.hwnd(), WM_LBUTTONUP, 0, 0);
}

class TimeEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    ASSERT_TRUE(edit.Create(host.hwnd(), RECT{10, 10, 110, 32}, 1));
    ASSERT_TRUE(edit.Init(kTimeMask, ""));
    ASSERT_TRUE(edit.SetPromptChar("0"));
  }

  std::string Text() const { return WindowText(edit.hwnd()); }
  void Type(const std::string& characters) {
    for (char c : characters) ::SendMessageA(edit.hwnd(), WM_CHAR, static_cast<unsigned char>(c), 1);
  }

  testing::ControlHost host;
  CTimeEdit edit;
};

TEST_F(TimeEditTest, ShowsAndReadsRawTextTypingFollowsTheMaskAndBadMasksDisable) {
  edit.SetInputText("10500");
  EXPECT_EQ(Text(), "1:05:00");
  EXPECT_EQ(edit.GetInputText(), "15");
  ASSERT_TRUE(edit.SetPromptChar("_"));
  EXPECT_EQ(edit.GetInputText(), "10500");
  EXPECT_FALSE(edit.SetPromptChar("00"));
  edit.SetPromptChar("0");
  edit.SetInputText("9x");
  EXPECT_EQ(Text(), "9:00:00");
  edit.SetInputText("");
  EXPECT_EQ(Text(), "0:00:00");

  ClickAt(edit, 2);
  Type("735");  // the first minutes position takes 0 to 5
  EXPECT_EQ(Text(), "0:35:00");
  EXPECT_EQ(edit.current_position(), 5);  // past the colon
  Type("\b");
  EXPECT_EQ(Text(), "0:30:00");
  EXPECT_EQ(edit.current_position(), 3);

  Key(edit, VK_HOME);
  Type("\b");  // nothing before the first input position
  Key(edit, VK_RIGHT);
  EXPECT_EQ(Selection(edit), std::make_pair(2ul, 2ul));
  Key(edit, VK_END);
  Key(edit, VK_DELETE);  // nothing after the last input position
  EXPECT_EQ(Text(), "0:30:00");
  ClickAt(edit, 1);
  Key(edit, VK_DELETE);  // a literal stays what it is
  EXPECT_EQ(Text(), "0:30:00");
  EXPECT_EQ(edit.current_position(), 2);
  Key(edit, VK_DELETE);
  EXPECT_EQ(Text(), "0:00:00");
  EXPECT_EQ(edit.current_position(), 3);

  // A bad mask says so in the field, which is disabled and takes nothing, until a good one comes.
  CmEdit other;
  ASSERT_TRUE(other.Create(host.hwnd(), RECT{10, 70, 110, 92}, 3));
  EXPECT_FALSE(other.Init("[0-9", ""));
  EXPECT_EQ(WindowText(other.hwnd()), "Init failed.");
  EXPECT_FALSE(other.Init("[-9]", ""));
  EXPECT_EQ(WindowText(other.hwnd()), "SetValidChars failed.");
  EXPECT_FALSE(::IsWindowEnabled(other.hwnd()));
  ::SendMessageA(other.hwnd(), WM_CHAR, '1', 1);
  EXPECT_EQ(WindowText(other.hwnd()), "SetValidChars failed.");
  EXPECT_TRUE(other.Init(kTimeMask, "123"));
  EXPECT_EQ(WindowText(other.hwnd()), "1:23:__");
  EXPECT_TRUE(::IsWindowEnabled(other.hwnd()));
}

TEST_F(TimeEditTest, FocusSelectsAllTypingReplacesItPasteChangesNothingAndShiftExtendsOnlyWhileHeld) {
  edit.SetInputText("12345");
  ::SetFocus(host.hwnd());
  ::SetFocus(edit.hwnd());
  EXPECT_EQ(Selection(edit), std::make_pair(0ul, 7ul));
  Type("5");
  EXPECT_EQ(Text(), "5:00:00");
  EXPECT_EQ(edit.current_position(), 2);

  edit.SetPromptChar("_");
  ::SendMessageA(edit.hwnd(), WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_EQ(Selection(edit), std::make_pair(0ul, 7ul));
  Type("x");
  EXPECT_EQ(Text(), "_:__:__");

  edit.SetInputText("12345");
  HWND copied = ::CreateWindowExA(0, "EDIT", "99999", WS_CHILD, 0, 0, 60, 20, host.hwnd(), nullptr, nullptr, nullptr);
  ::SendMessageA(copied, EM_SETSEL, 0, -1);
  ::SendMessageA(copied, WM_COPY, 0, 0);
  ::SendMessageA(edit.hwnd(), EM_SETSEL, 0, -1);
  Type("\x16\x18\x1a\x03");  // Ctrl+V, Ctrl+X, Ctrl+Z, and Ctrl+C, which copies the field's own text
  ::SendMessageA(copied, WM_COPY, 0, 0);  // digits again for the messages
  for (UINT msg : {WM_PASTE, WM_CUT, WM_CLEAR}) ::SendMessageA(edit.hwnd(), msg, 0, 0);
  EXPECT_EQ(Text(), "1:23:45");

  // Shift extends Home and End only while held, in this field only.
  ::SetFocus(edit.hwnd());
  ClickAt(edit, 2);
  Key(edit, VK_SHIFT);
  Key(edit, VK_END);
  EXPECT_EQ(Selection(edit), std::make_pair(2ul, 7ul));
  ::SendMessageA(edit.hwnd(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  ClickAt(edit, 2);
  Key(edit, VK_END);
  EXPECT_EQ(Selection(edit), std::make_pair(7ul, 7ul));

  // Shift+Tab away: the field reached carries the shift on and gets its key-up; the one left must not keep it.
  CTimeEdit next;
  ASSERT_TRUE(next.Create(host.hwnd(), RECT{10, 40, 110, 62}, 2));
  ASSERT_TRUE(next.Init(kTimeMask, "12345"));
  ClickAt(edit, 2);
  Key(edit, VK_SHIFT);
  Key(edit, VK_TAB);
  ASSERT_EQ(::GetFocus(), next.hwnd());
  ClickAt(next, 2);
  Key(next, VK_END);
  EXPECT_EQ(Selection(next), std::make_pair(2ul, 7ul));
  ::SendMessageA(next.hwnd(), WM_KEYUP, VK_SHIFT, 0xC0000001);
  ::SetFocus(edit.hwnd());
  ClickAt(edit, 2);
  Key(edit, VK_END);
  EXPECT_EQ(Selection(edit), std::make_pair(7ul, 7ul));
}

// Keys for the open preset popup: "2 Hours", into it, "15 Minutes", choose.
constexpr UINT kWalkToTwoFifteen[] = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN,
                                      VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN,  VK_RETURN};
size_t g_next_key = 0;
bool g_popup_seen = false;  // a paint during the popup's showing used to hide it

void CALLBACK WalkPresets(HWND owner, UINT, UINT_PTR timer, DWORD) {
  if (HWND popup = ::FindWindowA("#32768", nullptr)) g_popup_seen = g_popup_seen || ::IsWindowVisible(popup);
  if (g_next_key == std::size(kWalkToTwoFifteen)) {
    ::KillTimer(owner, timer);
    return;
  }
  ::PostMessageA(owner, WM_KEYDOWN, kWalkToTwoFifteen[g_next_key++], 0);
}

TEST_F(TimeEditTest, RightClickOpensThePresetsOnlyTheirCommandsSetTheTimeAndTheyFollowTheLanguage) {
  g_next_key = 0;
  g_popup_seen = false;
  ::SetTimer(host.hwnd(), 1, 60, &WalkPresets);
  ::SendMessageA(edit.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));  // returns when the popup closes
  testing::Pump(50);
  EXPECT_TRUE(g_popup_seen);
  EXPECT_EQ(::GetFocus(), edit.hwnd());
  EXPECT_EQ(Text(), "2:15:00");

  // The last preset is still inside the handled range; others name no table entry.
  EXPECT_EQ(::GetMenuItemID(::GetSubMenu(edit.presets(), 7), 10), static_cast<UINT>(ID_TIME_PRESET_LAST));
  ::SendMessageA(edit.hwnd(), WM_COMMAND, ID_TIME_PRESET_FIRST + 98, 0);
  ::SendMessageA(edit.hwnd(), WM_COMMAND, ID_TIME_PRESET_LAST + 1, 0);
  EXPECT_EQ(Text(), "2:15:00");
  ::SendMessageA(edit.hwnd(), WM_COMMAND, ID_TIME_PRESET_NEVER, 0);
  EXPECT_EQ(Text(), "0:00:00");

  HMENU presets = edit.presets();
  HMENU two_hours = ::GetSubMenu(presets, 4);
  i18n::LanguageTable german("Languages", [](const std::string&, std::string& bytes) {
    bytes = "100=Stunden\n101=Minuten\n102=Nie\n";
    return true;
  });
  ASSERT_TRUE(german.Load("Deutsch"));
  i18n::InstallTexts(&german);
  edit.RebuildPresets();
  i18n::InstallTexts(nullptr);
  EXPECT_FALSE(::IsMenu(two_hours));  // the old submenus went with their entries
  EXPECT_EQ(MenuString(presets, 4), "2 Stunden");
  EXPECT_EQ(MenuString(::GetSubMenu(presets, 4), 6), "15 Minuten");
}

fw::UniqueImageList StockIcons(int size) {
  fw::UniqueImageList images(::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 0));
  for (LPCSTR id : {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION}) {
    ::ImageList_AddIcon(images, ::LoadIconA(nullptr, id));
  }
  return images;
}

TEST(ControlsTest, PageListRaisedFrameFollowsTheMouseReleaseSendsThePressedIconOnlyAndNothingSelects) {
  testing::ControlHost host;
  ASSERT_TRUE(host.Create(300, 500));
  HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SINGLESEL | LVS_ALIGNTOP,
                                10, 10, 100, 420, host.hwnd(), nullptr, nullptr, nullptr);
  ::SendMessageA(list, LVM_SETBKCOLOR, 0, kListBack);
  ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(StockIcons(32).release()));
  RECT icons[4] = {};
  for (int i = 0; i < 4; ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = item.iImage = i;
    item.pszText = const_cast<char*>("Page");
    ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  CPageListCtrl pages;
  ASSERT_TRUE(pages.Subclass(list));
  ::UpdateWindow(list);
  for (int i = 0; i < 4; ++i) ListView_GetItemRect(list, i, &icons[i], LVIR_ICON);

  auto Centre = [&](int item) {
    const RECT& r = icons[item];
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  // The frame's top-left and bottom-right pixels.
  auto Frame = [&](int item) {
    const RECT& r = icons[item];
    return std::make_pair(testing::WindowPixel(list, r.left, r.top),
                          testing::WindowPixel(list, r.right - 1, r.bottom - 1));
  };
  auto Send = [&](UINT msg, POINT at) { ::SendMessageA(list, msg, 0, MAKELPARAM(at.x, at.y)); };
  // Pressed at `at` with the pointer there, then the pointer leaves the window for good.
  auto PressAndLeave = [&](POINT at) {
    POINT screen = at;
    ::ClientToScreen(list, &screen);
    testing::MovePointer(screen.x, screen.y);
    Send(WM_MOUSEMOVE, at);
    Send(WM_LBUTTONDOWN, at);
    testing::MovePointer(800, 450);
    testing::Pump(700);
  };
  const POINT blank{50, 400};
  const std::pair<COLORREF, COLORREF> raised{kWhite, kBlack}, sunken{kBlack, kWhite}, erased{kListBack, kListBack};

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

TEST(ControlsTest, IconComboRecordsLiveAndDieWithTheirItemsAndAColouredItemKeepsItsColourWhenSelected) {
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

TEST(ControlsTest, IconsEachHaveImagesOfTheirOwnAtTheirSizesInBothDepthsOnAClearBackground) {
  // The first six are pages, shown 32x32 as well as 16x16.
  const int icons[] = {IDI_CONTROL, IDI_SCHEMES, IDI_BATTERIES, IDI_POLICY, IDI_SPARE_PAGE, IDI_APP,
                       IDI_EXIT, IDI_HIBERNATE, IDI_SLEEP, IDI_HOURS, IDI_MINUTES, IDI_SHUTDOWN, IDI_LOGOFF,
                       IDI_REBOOT, IDI_TAB_USER, IDI_TAB_MACHINE, IDI_TAB_PROCESSOR, IDI_MAINS,
                       IDI_THROTTLE_CONSTANT, IDI_THROTTLE_NONE, IDI_THROTTLE_ADAPTIVE, IDI_THROTTLE_DEGRADE};
  for (size_t i = 0; i < std::size(icons); ++i) {
    for (int size : {16, 32}) {
      for (int bits : {32, 8}) {
        if (size == 32 && i >= 6) continue;
        SCOPED_TRACE(::testing::Message() << "icon " << icons[i] << " at " << size << ", " << bits << " bits");
        fw::UniqueIcon image(testing::LoadIconImage(fw::ResourceInstance(), icons[i], size, bits));
        ASSERT_TRUE(image);
        Canvas on_white(size, size, RGB(255, 255, 255)), on_black(size, size, RGB(0, 0, 0));
        for (HDC dc : {on_white.dc(), on_black.dc()}) ::DrawIconEx(dc, 0, 0, image, size, size, 0, nullptr, DI_NORMAL);
        int clear = 0, drawn = 0;
        for (int y = 0; y < size; ++y) {
          for (int x = 0; x < size; ++x) {
            clear += on_white.At(x, y) == RGB(255, 255, 255) && on_black.At(x, y) == RGB(0, 0, 0);
            drawn += on_white.At(x, y) == on_black.At(x, y);
          }
        }
        // Neither a filled square nor an empty picture.
        EXPECT_GE(clear, size * size / 20);
        EXPECT_GE(drawn, size * size / 10);
      }
    }
  }
}

}  // namespace
}  // namespace vantrel::controls
