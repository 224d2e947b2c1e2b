// Shows every custom control in one window, with the tray-style menu open and its wake-up
// submenus cascaded, so that one screenshot shows them all.
//   controls-gallery [--exit-after <ms>] [--no-menu | --presets]
// --presets opens the time edit's preset popup instead of the tray menu. With a menu the exit
// time counts from the moment everything is on show, which the caption tells.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "controls/page_list.h"
#include "controls/icon_combo.h"
#include "controls/masked_edit.h"
#include "controls/menu_xp.h"
#include "controls/page_list.h"
#include "controls/text_progress_bar.h"
#include "framework/dialog.h"
#include "framework/handles.h"

namespace {

using namespace vantrel;
using controls::CMenuXP;
using controls::CMenuXPItem;

constexpr char kClassName[] = "VantrelControlsGallery";
// The caption while the menus are still opening, and once all is on show.
constexpr char kOpeningCaption[] = "Vantrel controls (opening)";
constexpr char kCaption[] = "Vantrel controls";
constexpr int kPageListId = 100;
constexpr int kTimeEditId = 101;
constexpr int kComboId = 102;
constexpr int kListComboId = 103;
constexpr int kWearBarId = 104;
constexpr int kChargeBarId = 105;
constexpr int kStatusId = 106;
constexpr UINT_PTR kExitTimer = 1;
constexpr UINT_PTR kKeysTimer = 2;
constexpr UINT kOpenMenu = WM_APP + 1;

// Menu commands of the gallery (the program's tray uses the same shape).
constexpr UINT kMainDialog = 1;
constexpr UINT kSleep = 3;
constexpr UINT kHibernate = 4;
constexpr UINT kLogOff = 5;
constexpr UINT kShutDown = 6;
constexpr UINT kReboot = 7;
constexpr UINT kBeep = 8;
constexpr UINT kExit = 16;
constexpr UINT kWakeBase = 1000;

// Arrow keys that walk the open menu to "WakeUp After" → 2 → 15 minutes.
constexpr UINT kMenuWalk[] = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN,
                              VK_RIGHT, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN};
// And the preset popup to "2 Hours" → "15 Minutes".
constexpr UINT kPresetWalk[] = {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN,
                                VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN};

enum class Show { Nothing, TrayMenu, Presets };

fw::UniqueIcon StockIcon(LPCSTR id) { return fw::UniqueIcon(::CopyIcon(::LoadIconA(nullptr, id))); }

std::unique_ptr<CMenuXPItem> Item(UINT id, const std::string& text, LPCSTR icon = nullptr) {
  auto item = std::make_unique<CMenuXPItem>();
  item->id = id;
  item->text = text;
  if (icon) item->icon = StockIcon(icon);
  return item;
}

std::unique_ptr<CMenuXPItem> SideBar(const std::string& title) {
  auto item = std::make_unique<CMenuXPItem>();
  item->side_bar = true;
  item->size = CMenuXP::kSideBarWidth;
  item->text = title;
  return item;
}

std::unique_ptr<CMenuXP> BuildTrayMenu() {
  static const int kHours[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  static const int kMinutes[] = {0, 1, 2, 3, 5, 10, 15, 25, 45, 50};
  auto hours = std::make_unique<CMenuXP>();
  hours->CreatePopupMenu();
  hours->style = CMenuXP::kStyleFlat;
  hours->side_bar_start_colour = RGB(0, 255, 0);
  hours->AppendSideBar(SideBar("Hours"));
  for (int h : kHours) {
    auto minutes = std::make_unique<CMenuXP>();
    minutes->CreatePopupMenu();
    minutes->style = CMenuXP::kStyleFlat;
    minutes->side_bar_start_colour = RGB(255, 0, 0);
    minutes->AppendSideBar(SideBar("Minutes"));
    for (int m : kMinutes) {
      minutes->AppendItem(0, Item(kWakeBase + 100 * static_cast<UINT>(h) + static_cast<UINT>(m), std::to_string(m),
                                  IDI_INFORMATION));
    }
    hours->AppendPopup(0, std::move(minutes), Item(0, std::to_string(h), IDI_WARNING));
  }

  auto menu = std::make_unique<CMenuXP>();
  menu->CreatePopupMenu();
  menu->AppendSideBar(SideBar("Vantrel 1.00"));
  menu->AppendItem(0, Item(kMainDialog, "Main Dialog...", IDI_APPLICATION));
  menu->AppendSeparator();
  menu->AppendItem(0, Item(kLogOff, "Logging Off", IDI_QUESTION));
  menu->AppendItem(0, Item(kShutDown, "Shutdown", IDI_ERROR));
  menu->AppendItem(0, Item(kReboot, "Reboot", IDI_WARNING));
  menu->AppendSeparator();
  menu->AppendPopup(0, std::move(hours), Item(2, "WakeUp After"));
  menu->AppendItem(0, Item(kSleep, "Sleep", IDI_INFORMATION));
  menu->AppendItem(MF_GRAYED, Item(kHibernate, "Hibernate", IDI_INFORMATION));
  menu->AppendItem(MF_CHECKED, Item(kBeep, "Beep after wake-up"));
  menu->AppendSeparator();
  ACCEL exit_key{FALT | FVIRTKEY, VK_F4, 0};
  menu->AppendItem(0, Item(kExit, "Exit", IDI_ERROR), &exit_key);
  ::SetMenuDefaultItem(menu->handle(), kMainDialog, FALSE);
  return menu;
}

class Gallery : public fw::Window {
 public:
  Gallery(DWORD exit_after, Show show) : exit_after_(exit_after), show_(show) {}

  bool Create() {
    if (!RegisterClass(kClassName, CS_HREDRAW | CS_VREDRAW, nullptr, ::GetSysColorBrush(COLOR_BTNFACE))) return false;
    if (!CreateEx(0, kClassName, show_ == Show::Nothing ? kCaption : kOpeningCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 60, 60, 640, 470, nullptr,
                  nullptr)) {
      return false;
    }
    Build();
    ::ShowWindow(hwnd(), SW_SHOW);
    ::UpdateWindow(hwnd());
    ::SetForegroundWindow(hwnd());
    if (show_ == Show::Nothing) {
      if (exit_after_) ::SetTimer(hwnd(), kExitTimer, exit_after_, nullptr);
    } else {
      ::PostMessageA(hwnd(), kOpenMenu, 0, 0);
    }
    return true;
  }

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    switch (msg) {
      case WM_MEASUREITEM: {
        auto& mis = *reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (mis.CtlType == ODT_COMBOBOX) {
          mis.itemHeight = 18;  // room for the 16-pixel icons
          return TRUE;
        }
        return fw::ReflectOwnerDraw(msg, wp, lp) ? TRUE : Default(msg, wp, lp);
      }
      case WM_DRAWITEM:
      case WM_DELETEITEM:
        if (fw::ReflectOwnerDraw(msg, wp, lp)) return TRUE;
        break;
      case controls::WM_PAGE_SELECTED: {
        if (reinterpret_cast<HWND>(lp) != page_list_.hwnd()) break;
        char text[64];
        std::snprintf(text, sizeof text, "Page %d chosen", static_cast<int>(wp));
        ::SetDlgItemTextA(hwnd(), kStatusId, text);
        return 0;
      }
      case kOpenMenu:
        OpenMenu();
        return 0;
      case WM_TIMER:
        if (wp == kExitTimer) {
          ::KillTimer(hwnd(), kExitTimer);
          ::EndMenu();
          ::DestroyWindow(hwnd());
          return 0;
        }
        if (wp == kKeysTimer) {
          const UINT* walk = show_ == Show::Presets ? kPresetWalk : kMenuWalk;
          const size_t steps = show_ == Show::Presets ? std::size(kPresetWalk) : std::size(kMenuWalk);
          if (next_key_ < steps) {
            ::PostMessageA(hwnd(), WM_KEYDOWN, walk[next_key_++], 0);
          } else {
            // Everything is on show: the caption says so (scripts wait for it on a slow
            // machine) and the time to exit counts from here.
            ::KillTimer(hwnd(), kKeysTimer);
            ::SetWindowTextA(hwnd(), kCaption);
            if (exit_after_) ::SetTimer(hwnd(), kExitTimer, exit_after_, nullptr);
          }
          return 0;
        }
        break;
      case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
      default:
        break;
    }
    return Default(msg, wp, lp);
  }

 private:
  HWND Child(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, int id) {
    HWND child = ::CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleA(nullptr),
                                   nullptr);
    ::SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return child;
  }

  void Build() {
    // The page selector, coloured as the main window's.
    const COLORREF page_background = RGB(0, 0, 96);
    HWND list = Child(WC_LISTVIEWA, "", LVS_ICON | LVS_SINGLESEL | LVS_ALIGNTOP | WS_BORDER, 10, 10, 100, 410,
                      kPageListId);
    fw::UniqueImageList large(::ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 4, 0));
    for (LPCSTR id : {IDI_APPLICATION, IDI_INFORMATION, IDI_WARNING, IDI_QUESTION}) {
      ::ImageList_AddIcon(large, ::LoadIconA(nullptr, id));
    }
    ::ImageList_SetBkColor(large, page_background);
    ::SendMessageA(list, LVM_SETBKCOLOR, 0, page_background);
    ::SendMessageA(list, LVM_SETTEXTCOLOR, 0, RGB(255, 255, 255));
    ::SendMessageA(list, LVM_SETTEXTBKCOLOR, 0, page_background);
    ::SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large.release()));  // the list owns it
    const char* pages[] = {"Control", "Schemes", "Batteries", "Policy"};
    for (int i = 0; i < 4; ++i) {
      LVITEMA item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = i;
      item.iImage = i;
      item.pszText = const_cast<char*>(pages[i]);
      ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    page_list_.Subclass(list);

    Child("STATIC", "Time edit (right click for presets):", 0, 130, 14, 240, 16, -1);
    time_edit_.Create(hwnd(), RECT{130, 32, 230, 54}, kTimeEditId);
    ::SendMessageA(time_edit_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    time_edit_.Init(controls::kTimeMask, "");
    time_edit_.SetPromptChar("0");
    time_edit_.SetInputText("21500");

    Child("STATIC", "Icon lists:", 0, 130, 70, 240, 16, -1);
    small_icons_.reset(::ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 0));
    for (LPCSTR id : {IDI_INFORMATION, IDI_WARNING, IDI_ERROR}) ::ImageList_AddIcon(small_icons_, ::LoadIconA(nullptr, id));
    const DWORD owner_drawn = CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
    FillCombo(combo_, Child(WC_COMBOBOXA, "", CBS_DROPDOWNLIST | owner_drawn, 130, 88, 220, 200, kComboId));
    FillCombo(list_combo_, Child(WC_COMBOBOXA, "", CBS_SIMPLE | CBS_NOINTEGRALHEIGHT | owner_drawn, 130, 120, 220, 100,
                                  kListComboId));
    ::SendMessageA(list_combo_.hwnd(), CB_SETCURSEL, 2, 0);

    Child("STATIC", "Progress bars:", 0, 130, 300, 240, 16, -1);
    wear_.Create(hwnd(), RECT{130, 318, 330, 340}, kWearBarId);
    wear_.SetRange(0, 100);
    wear_.SetPos(48);
    charge_.Create(hwnd(), RECT{130, 348, 330, 370}, kChargeBarId);
    charge_.SetRange(0, 100);
    charge_.SetPos(87);
    ::SetWindowTextA(charge_.hwnd(), "87% (charging)");

    Child("STATIC", "Click a page icon", 0, 130, 400, 240, 16, kStatusId);
  }

  void FillCombo(controls::CIconComboBox& combo, HWND hwnd) {
    combo.Subclass(hwnd);
    combo.SetImageList(small_icons_);
    combo.SetColumnCount(1);
    const char* entries[] = {"Standby (supported)", "Hibernate (not supported)", "Shut down", "No icon, no colour"};
    for (const char* text : entries) ::SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    combo.SetItemColor(0, controls::CIconComboBox::kSupportedColour);
    combo.SetItemImage(0, 0);
    combo.SetItemColor(1, controls::CIconComboBox::kUnsupportedColour);
    combo.SetItemImage(1, 2);
    combo.SetItemImage(2, 1);
    ::SendMessageA(hwnd, CB_SETCURSEL, 1, 0);
  }

  void OpenMenu() {
    ::SetTimer(hwnd(), kKeysTimer, 150, nullptr);
    if (show_ == Show::Presets) {
      // As a right click on the field: the popup opens at the pointer. Posted, so that the
      // pointer has arrived when the field asks where it is.
      RECT field{};
      ::GetWindowRect(time_edit_.hwnd(), &field);
      ::SetCursorPos(field.left + 20, field.bottom - 4);
      ::PostMessageA(time_edit_.hwnd(), WM_RBUTTONUP, 0, MAKELPARAM(20, 18));
      return;
    }
    // The page list shows its raised frame on the second icon, as under the pointer.
    RECT icon{};
    icon.left = LVIR_ICON;
    ::SendMessageA(page_list_.hwnd(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon));
    POINT centre{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2};
    ::SendMessageA(page_list_.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
    ::ClientToScreen(page_list_.hwnd(), &centre);
    ::SetCursorPos(centre.x, centre.y);

    RECT window{};
    ::GetWindowRect(hwnd(), &window);
    auto menu = BuildTrayMenu();
    fw::TrackedMenuScope tracked(menu.get());
    ::TrackPopupMenu(menu->handle(), TPM_LEFTALIGN | TPM_TOPALIGN, window.left + 360, window.top + 40, 0, hwnd(),
                     nullptr);
  }

  DWORD exit_after_;
  Show show_;
  size_t next_key_ = 0;
  controls::CPageListCtrl page_list_;
  controls::CTimeEdit time_edit_;
  fw::UniqueImageList small_icons_;
  controls::CIconComboBox combo_;
  controls::CIconComboBox list_combo_;
  controls::TextProgressBar wear_;
  controls::TextProgressBar charge_;
};

}  // namespace

int main(int argc, char** argv) {
  DWORD exit_after = 0;
  Show show = Show::TrayMenu;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--exit-after") == 0 && i + 1 < argc) {
      exit_after = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
    } else if (std::strcmp(argv[i], "--no-menu") == 0) {
      show = Show::Nothing;
    } else if (std::strcmp(argv[i], "--presets") == 0) {
      show = Show::Presets;
    } else {
      std::fprintf(stderr, "usage: controls-gallery [--exit-after <ms>] [--no-menu | --presets]\n");
      return 2;
    }
  }
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&common);
  Gallery gallery(exit_after, show);
  if (!gallery.Create()) {
    std::fprintf(stderr, "controls-gallery: the window could not be created\n");
    return 1;
  }
  return fw::RunMessageLoop();
}
