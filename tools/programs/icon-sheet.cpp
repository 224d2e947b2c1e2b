// Draws every icon of the program's resources in one window, so that one screenshot shows the
// whole set: each icon by id at its sizes, on the menu colour and on the page list's teal, greyed
// as a disabled menu item, and in its 256-colour image; then the icons where the program shows
// them (the tray menu and its wake-up submenus drawn by the menu's own code, the page list, the
// scheme editor's tabs and columns, the throttle list).
//   icon-sheet [--exit-after <ms>]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "win/icon_directory.h"
#include "controls/menu_xp.h"
#include "framework/handles.h"
#include "resource.h"

namespace {

using namespace vantrel;
using controls::CMenuXP;
using controls::CMenuXPItem;

constexpr char kClassName[] = "VantrelIconSheet";
constexpr UINT_PTR kExitTimer = 1;
constexpr COLORREF kTeal = RGB(100, 123, 122);
constexpr int kWidth = 1260;
constexpr int kHeight = 900;

struct Entry {
  int id;
  const char* name;
  bool large;  // has a 32x32 image of its own
};

constexpr Entry kEntries[] = {
    {IDI_APP, "Main Dialog", true},     {IDI_CONTROL, "Control", true},
    {IDI_SCHEMES, "Schemes", true},     {IDI_BATTERIES, "Batteries", true},
    {IDI_POLICY, "Policy", true},       {IDI_SPARE_PAGE, "Spare page", true},
    {IDI_MAINS, "Mains", false},        {IDI_EXIT, "Exit", false},
    {IDI_HIBERNATE, "Hibernate", false}, {IDI_SLEEP, "Sleep", false},
    {IDI_HOURS, "Hours", false},        {IDI_MINUTES, "Minutes", false},
    {IDI_SHUTDOWN, "Shutdown", false},  {IDI_LOGOFF, "Logging Off", false},
    {IDI_REBOOT, "Reboot", false},      {IDI_TAB_USER, "USER", false},
    {IDI_TAB_MACHINE, "MACHINE", false}, {IDI_TAB_PROCESSOR, "PROCESSOR", false},
    {IDI_THROTTLE_CONSTANT, "CONSTANT", false}, {IDI_THROTTLE_NONE, "NONE", false},
    {IDI_THROTTLE_ADAPTIVE, "ADAPTIVE", false}, {IDI_THROTTLE_DEGRADE, "DEGRADE", false},
};

HINSTANCE g_instance = nullptr;

fw::UniqueIcon Icon(int id, int size) {
  return fw::UniqueIcon(static_cast<HICON>(::LoadImageA(g_instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0)));
}

void Fill(HDC dc, RECT r, COLORREF colour) {
  fw::UniqueBrush brush(::CreateSolidBrush(colour));
  if (brush) ::FillRect(dc, &r, brush.get());
}

void Text(HDC dc, int x, int y, const std::string& text, COLORREF colour, UINT align = TA_LEFT) {
  ::SetTextColor(dc, colour);
  ::SetTextAlign(dc, align | TA_TOP);
  ::TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void Draw(HDC dc, int x, int y, HICON icon, int size) {
  if (icon) ::DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL);
}

// A 256-colour image drawn by itself; a red cross where the icon has none.
void DrawFallback(HDC dc, int x, int y, int id, int size) {
  fw::UniqueIcon icon(testing::LoadIconImage(g_instance, id, size, 8));
  if (icon) {
    Draw(dc, x, y, icon.get(), size);
    return;
  }
  fw::UniquePen pen(::CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
  fw::SelectObjectGuard select(dc, pen);
  ::MoveToEx(dc, x, y, nullptr);
  ::LineTo(dc, x + size, y + size);
  ::MoveToEx(dc, x + size, y, nullptr);
  ::LineTo(dc, x, y + size);
}

// ---- every icon by id -----------------------------------------------------------------------

constexpr int kCellWidth = 410;
constexpr int kCellHeight = 44;

// Menu colour: 16, greyed 16, 256-colour 16, and for the large ones 32 and its 256-colour copy.
// Teal: 32 (or 16), 256-colour, 16.
void DrawCell(HDC dc, int x, int y, const Entry& entry) {
  char label[48];
  std::snprintf(label, sizeof label, "%d %s", entry.id, entry.name);
  Text(dc, x + 4, y + 14, label, RGB(0, 0, 0));

  RECT menu{x + 120, y + 2, x + 290, y + kCellHeight - 2};
  Fill(dc, menu, ::GetSysColor(COLOR_MENU));
  fw::UniqueIcon small = Icon(entry.id, 16);
  fw::UniqueIcon large = Icon(entry.id, 32);
  Draw(dc, menu.left + 6, y + 14, small.get(), 16);
  CMenuXP::DrawEmbossedIcon(dc, small.get(), RECT{menu.left + 28, y + 14, menu.left + 44, y + 30},
                            CMenuXP::EmbossMode::HighlightThenShadow);
  DrawFallback(dc, menu.left + 50, y + 14, entry.id, 16);
  if (entry.large) {
    Draw(dc, menu.left + 76, y + 6, large.get(), 32);
    DrawFallback(dc, menu.left + 114, y + 6, entry.id, 32);
  }

  RECT teal{x + 294, y + 2, x + kCellWidth - 4, y + kCellHeight - 2};
  Fill(dc, teal, kTeal);
  if (entry.large) {
    Draw(dc, teal.left + 6, y + 6, large.get(), 32);
    DrawFallback(dc, teal.left + 44, y + 6, entry.id, 32);
  } else {
    DrawFallback(dc, teal.left + 44, y + 14, entry.id, 16);
  }
  Draw(dc, teal.left + 86, y + 14, small.get(), 16);
}

// ---- the icons where the program shows them --------------------------------------------------

std::unique_ptr<CMenuXPItem> Item(UINT id, const std::string& text, int icon) {
  auto item = std::make_unique<CMenuXPItem>();
  item->id = id;
  item->text = text;
  if (icon) item->icon = Icon(icon, 16);
  return item;
}

// One popup drawn item by item with the menu's own code, beside its side bar.
struct Row {
  std::unique_ptr<CMenuXPItem> item;
  UINT state;
};

int DrawMenu(HDC dc, int x, int y, CMenuXP& menu, const std::string& title, std::vector<Row>& rows, int width) {
  int height = 0;
  std::vector<int> heights;
  for (Row& row : rows) {
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = reinterpret_cast<ULONG_PTR>(row.item.get());
    menu.MeasureItem(mis);
    heights.push_back(static_cast<int>(mis.itemHeight));
    height += static_cast<int>(mis.itemHeight);
  }
  RECT frame{x, y, x + CMenuXP::kSideBarWidth + width + 6, y + height + 6};
  Fill(dc, frame, menu.background_colour);
  ::DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
  menu.DrawSideBar(dc, RECT{x + 3, y + 3, x + 3 + CMenuXP::kSideBarWidth - 3, y + 3 + height}, nullptr, title);
  int top = y + 3;
  for (size_t i = 0; i < rows.size(); ++i) {
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.itemID = rows[i].item->id;
    dis.itemState = rows[i].state;
    dis.hDC = dc;
    dis.rcItem = RECT{x + 3 + CMenuXP::kSideBarWidth, top, x + 3 + CMenuXP::kSideBarWidth + width, top + heights[i]};
    dis.itemData = reinterpret_cast<ULONG_PTR>(rows[i].item.get());
    menu.DrawItem(dis);
    top += heights[i];
  }
  return height + 6;
}

std::unique_ptr<CMenuXPItem> Separator() {
  auto item = std::make_unique<CMenuXPItem>();
  item->separator = true;
  return item;
}

void DrawMenus(HDC dc, int x, int y) {
  Text(dc, x, y, "Tray menu (hover on Reboot, Sleep and Hibernate greyed) and its wake-up submenus", RGB(0, 0, 0));
  y += 20;
  CMenuXP tray;
  std::vector<Row> rows;
  rows.push_back({Item(1, "Main Dialog...", IDI_APP), ODS_DEFAULT});
  rows.push_back({Separator(), 0});
  rows.push_back({Item(5, "Logging Off", IDI_LOGOFF), 0});
  rows.push_back({Item(6, "Shutdown", IDI_SHUTDOWN), 0});
  rows.push_back({Item(7, "Reboot", IDI_REBOOT), ODS_SELECTED});
  rows.push_back({Separator(), 0});
  rows.push_back({Item(2, "WakeUp After", 0), 0});
  rows.push_back({Item(3, "Sleep", IDI_SLEEP), ODS_GRAYED});
  rows.push_back({Item(4, "Hibernate", IDI_HIBERNATE), ODS_GRAYED});
  rows.push_back({Separator(), 0});
  rows.push_back({Item(16, "Exit", IDI_EXIT), 0});
  DrawMenu(dc, x, y, tray, "Vantrel 1.00", rows, 150);

  // The same, awake: Sleep and Hibernate as they look when allowed.
  CMenuXP awake;
  std::vector<Row> awake_rows;
  awake_rows.push_back({Item(3, "Sleep", IDI_SLEEP), 0});
  awake_rows.push_back({Item(4, "Hibernate", IDI_HIBERNATE), ODS_SELECTED});
  awake_rows.push_back({Item(16, "Exit", IDI_EXIT), ODS_GRAYED});
  DrawMenu(dc, x, y + 260, awake, "", awake_rows, 150);

  CMenuXP hours;
  hours.style = CMenuXP::kStyleFlat;
  hours.side_bar_start_colour = RGB(0, 255, 0);
  std::vector<Row> hour_rows;
  for (int h = 0; h < 4; ++h) hour_rows.push_back({Item(0, std::to_string(h), IDI_HOURS), h == 2 ? ODS_SELECTED : 0u});
  DrawMenu(dc, x + 190, y + 120, hours, "Hours", hour_rows, 60);

  CMenuXP minutes;
  minutes.style = CMenuXP::kStyleFlat;
  minutes.side_bar_start_colour = RGB(255, 0, 0);
  std::vector<Row> minute_rows;
  for (int m : {0, 1, 2, 3, 5, 10}) {
    minute_rows.push_back({Item(0, std::to_string(m), IDI_MINUTES), m == 2 ? ODS_SELECTED : 0u});
  }
  DrawMenu(dc, x + 290, y + 150, minutes, "Minutes", minute_rows, 60);

  // The flat look on a coloured icon strip.
  CMenuXP strip;
  strip.style = CMenuXP::kStyleFlat;
  strip.icon_strip_colour = RGB(198, 214, 236);
  strip.side_bar_start_colour = RGB(0, 0, 192);
  std::vector<Row> strip_rows;
  strip_rows.push_back({Item(0, "Hours", IDI_HOURS), 0});
  strip_rows.push_back({Item(0, "Minutes", IDI_MINUTES), ODS_SELECTED});
  strip_rows.push_back({Item(0, "Shutdown", IDI_SHUTDOWN), 0});
  strip_rows.push_back({Item(0, "Sleep", IDI_SLEEP), ODS_GRAYED});
  DrawMenu(dc, x + 190, y + 260, strip, "", strip_rows, 110);
}

void DrawPageList(HDC dc, int x, int y) {
  Text(dc, x, y, "Page list", RGB(0, 0, 0));
  y += 20;
  RECT panel{x, y, x + 96, y + 4 * 64 + 8};
  Fill(dc, panel, kTeal);
  const Entry pages[] = {{IDI_CONTROL, "Control", true}, {IDI_SCHEMES, "Schemes", true},
                         {IDI_BATTERIES, "Batteries", true}, {IDI_POLICY, "Policy", true}};
  int top = y + 6;
  for (const Entry& page : pages) {
    fw::UniqueIcon icon = Icon(page.id, 32);
    Draw(dc, x + 32, top, icon.get(), 32);
    ::SetBkMode(dc, TRANSPARENT);
    Text(dc, x + 48, top + 36, page.name, RGB(255, 255, 255), TA_CENTER);
    top += 64;
  }
}

void DrawSchemeEditor(HDC dc, int x, int y) {
  Text(dc, x, y, "Scheme editor tabs, columns and throttle list", RGB(0, 0, 0));
  y += 20;
  RECT face{x, y, x + 330, y + 230};
  Fill(dc, face, ::GetSysColor(COLOR_BTNFACE));
  const Entry tabs[] = {{IDI_TAB_USER, "USER", false}, {IDI_TAB_MACHINE, "MACHINE", false},
                        {IDI_TAB_PROCESSOR, "PROCESSOR", false}};
  int left = x + 6;
  for (const Entry& tab : tabs) {
    RECT r{left, y + 6, left + 100, y + 30};
    ::DrawEdge(dc, &r, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
    fw::UniqueIcon icon = Icon(tab.id, 16);
    Draw(dc, left + 6, y + 10, icon.get(), 16);
    Text(dc, left + 26, y + 11, tab.name, RGB(0, 0, 0));
    left += 102;
  }
  fw::UniqueIcon mains = Icon(IDI_MAINS, 16);
  fw::UniqueIcon battery = Icon(IDI_BATTERIES, 16);
  Draw(dc, x + 100, y + 44, mains.get(), 16);
  Draw(dc, x + 230, y + 44, battery.get(), 16);
  RECT line{x + 165, y + 40, x + 167, y + 90};
  ::DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);

  RECT list{x + 6, y + 96, x + 160, y + 96 + 4 * 20 + 4};
  Fill(dc, list, ::GetSysColor(COLOR_WINDOW));
  ::DrawEdge(dc, &list, EDGE_SUNKEN, BF_RECT);
  const Entry throttles[] = {{IDI_THROTTLE_ADAPTIVE, "ADAPTIVE", false}, {IDI_THROTTLE_CONSTANT, "CONSTANT", false},
                             {IDI_THROTTLE_DEGRADE, "DEGRADE", false}, {IDI_THROTTLE_NONE, "NONE", false}};
  int top = y + 98;
  for (const Entry& throttle : throttles) {
    RECT back{x + 8, top, x + 26, top + 20};
    Fill(dc, back, ::GetSysColor(COLOR_SCROLLBAR));
    fw::UniqueIcon icon = Icon(throttle.id, 16);
    Draw(dc, x + 9, top + 2, icon.get(), 16);
    Text(dc, x + 30, top + 3, throttle.name, RGB(0, 0, 0));
    top += 20;
  }
}

void Paint(HDC dc) {
  RECT all{0, 0, kWidth, kHeight};
  Fill(dc, all, RGB(255, 255, 255));
  ::SetBkMode(dc, TRANSPARENT);
  fw::SelectObjectGuard font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
  Text(dc, 8, 6,
       "Each icon: on the menu colour at 16, greyed, 256 colours (and 32, 32 in 256 colours); "
       "on teal at 32 (or 16 in 256 colours), 32 in 256 colours, 16",
       RGB(0, 0, 0));
  const int columns = 3;
  const int count = static_cast<int>(sizeof kEntries / sizeof kEntries[0]);
  for (int i = 0; i < count; ++i) {
    DrawCell(dc, 8 + (i % columns) * kCellWidth, 26 + (i / columns) * kCellHeight, kEntries[i]);
  }
  const int below = 26 + ((count + columns - 1) / columns) * kCellHeight + 16;
  DrawMenus(dc, 8, below);
  DrawPageList(dc, 520, below);
  DrawSchemeEditor(dc, 650, below);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      Paint(dc);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_TIMER:
      if (wp == kExitTimer) ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  g_instance = instance;
  DWORD exit_after = 0;
  for (int i = 1; i + 1 < __argc; ++i) {
    if (std::strcmp(__argv[i], "--exit-after") == 0) exit_after = static_cast<DWORD>(std::strtoul(__argv[i + 1], nullptr, 10));
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  if (!::RegisterClassA(&wc)) return 1;
  RECT frame{0, 0, kWidth, kHeight};
  ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND hwnd = ::CreateWindowExA(0, kClassName, "Vantrel icons", WS_OVERLAPPEDWINDOW, 0, 0, frame.right - frame.left,
                                frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  if (exit_after) ::SetTimer(hwnd, kExitTimer, exit_after, nullptr);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return 0;
}
