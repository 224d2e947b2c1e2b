// Shows the scheme editor's tab pages in a tab control, filled from the active scheme of the
// machine, so that a screenshot shows how they look.
//   scheme-tabs [--tab 0|1|2] [--exit-after <ms>]
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/dialog.h"
#include "platform/backend.h"
#include "power/power_platform.h"
#include "power/scheme_editor.h"

namespace {

using namespace vantrel;

constexpr char kClassName[] = "VantrelSchemeTabs";
constexpr UINT_PTR kExitTimer = 1;

std::unique_ptr<power::CSchemeTab> g_pages[3];
HWND g_tab = nullptr;

void ShowTab(int index) {
  for (int i = 0; i < 3; ++i)
    if (g_pages[i] && g_pages[i]->hwnd()) ::ShowWindow(g_pages[i]->hwnd(), i == index ? SW_SHOW : SW_HIDE);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY:
      if (reinterpret_cast<NMHDR*>(lp)->code == TCN_SELCHANGE) ShowTab(TabCtrl_GetCurSel(g_tab));
      return 0;
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
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&common);
  fw::SetResourceInstance(instance);
  if (!platform::StartBackend(instance)) return 1;
  DWORD exit_after = 0;
  int shown = 0;
  for (int i = 1; i + 1 < __argc; ++i) {
    if (std::strcmp(__argv[i], "--exit-after") == 0) exit_after = static_cast<DWORD>(std::strtoul(__argv[i + 1], nullptr, 10));
    if (std::strcmp(__argv[i], "--tab") == 0) shown = std::atoi(__argv[i + 1]) % 3;
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = kClassName;
  if (!::RegisterClassA(&wc)) return 1;
  HWND hwnd = ::CreateWindowExA(0, kClassName, "Vantrel scheme tabs", WS_OVERLAPPEDWINDOW, 0, 0, 480, 340, nullptr,
                                nullptr, instance, nullptr);
  if (!hwnd) return 1;
  g_tab = ::CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 6, 6, 452, 290, hwnd,
                            nullptr, instance, nullptr);
  ::SendMessageA(g_tab, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  const char* names[] = {"User", "Machine", "Processor"};
  for (int i = 0; i < 3; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(names[i]);
    TabCtrl_InsertItem(g_tab, i, &item);
  }

  power::SchemeBuffer buffer;
  {
    power::PowerPlatform power;
    power.EnumSchemes();
    const int active = power.GetActiveSchemeIndex();
    power.ReadScheme(active, &buffer.policy);
    power.ReadProcessorScheme(active, &buffer.processor);
  }
  const power::SchemeTabKind kinds[] = {power::SchemeTabKind::User, power::SchemeTabKind::Machine,
                                        power::SchemeTabKind::Processor};
  for (int i = 0; i < 3; ++i) {
    g_pages[i] = power::MakeSchemeTab(kinds[i], g_tab);
    if (!g_pages[i]->Create()) return 1;
    g_pages[i]->LoadFromPolicy(buffer);
  }
  // The tab control around the pages, the window around the tab control.
  RECT page{};
  ::GetWindowRect(g_pages[0]->hwnd(), &page);
  RECT tab{0, 0, page.right - page.left, page.bottom - page.top};
  TabCtrl_AdjustRect(g_tab, TRUE, &tab);
  ::SetWindowPos(g_tab, nullptr, 6, 6, tab.right - tab.left, tab.bottom - tab.top, SWP_NOZORDER);
  RECT area{};
  ::GetClientRect(g_tab, &area);
  TabCtrl_AdjustRect(g_tab, FALSE, &area);
  for (auto& p : g_pages) ::SetWindowPos(p->hwnd(), HWND_TOP, area.left, area.top, 0, 0, SWP_NOSIZE);
  RECT frame{0, 0, tab.right - tab.left + 12, tab.bottom - tab.top + 12};
  ::AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  ::SetWindowPos(hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER | SWP_NOMOVE);
  TabCtrl_SetCurSel(g_tab, shown);
  ShowTab(shown);
  ::ShowWindow(hwnd, SW_SHOWNORMAL);
  if (exit_after) ::SetTimer(hwnd, kExitTimer, exit_after, nullptr);
  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  for (auto& p : g_pages) p.reset();
  platform::StopBackend();
  return 0;
}
