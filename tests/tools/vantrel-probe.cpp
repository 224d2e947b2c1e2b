// A small driver for the end-to-end tests: finds the program's windows, reads their texts and
// answers message boxes, as a user would.
//   vantrel-probe messagebox <caption> [timeout-ms]   prints the box's text and presses OK
//   vantrel-probe read-messagebox <caption> [timeout-ms]   prints the box's text, leaves it open
//   vantrel-probe window <caption> [timeout-ms]       prints 1 when a top-level window exists
//   vantrel-probe no-window <caption> [timeout-ms]    succeeds when none appears
//   vantrel-probe list-layout <caption> <control-id>  prints a list view's screen rectangle
//                                                     and its item spacing: left top right
//                                                     bottom cx cy
//   vantrel-probe menu-open [timeout-ms]              succeeds when a popup menu is on show
//   vantrel-probe foreground                          prints the foreground window
//   vantrel-probe menu-rects                          prints each popup menu on show:
//                                                     left top right bottom
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
  const char* caption;
  bool dialog_only;
  HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<Search*>(lp);
  char title[256] = {};
  ::GetWindowTextA(hwnd, title, sizeof title);
  if (std::strcmp(title, search->caption) != 0 || !::IsWindowVisible(hwnd)) return TRUE;
  if (search->dialog_only) {
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0) return TRUE;
  }
  search->found = hwnd;
  return FALSE;
}

HWND WaitFor(const char* caption, bool dialog_only, DWORD timeout) {
  DWORD start = ::GetTickCount();
  for (;;) {
    Search search{caption, dialog_only, nullptr};
    ::EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found) return search.found;
    if (::GetTickCount() - start >= timeout) return nullptr;
    ::Sleep(100);
  }
}

BOOL CALLBACK PrintMenuRect(HWND window, LPARAM) {
  char cls[16] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  if (std::strcmp(cls, "#32768") != 0 || !::IsWindowVisible(window)) return TRUE;
  RECT r{};
  ::GetWindowRect(window, &r);
  std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "menu-open") == 0) {
    DWORD timeout = argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 10000;
    // Popup menus are windows of the system's menu class.
    DWORD start = ::GetTickCount();
    for (;;) {
      HWND menu = ::FindWindowA("#32768", nullptr);
      if (menu && ::IsWindowVisible(menu)) return 0;
      if (::GetTickCount() - start >= timeout) return 1;
      ::Sleep(100);
    }
  }
  if (argc >= 2 && std::strcmp(argv[1], "menu-rects") == 0) {
    ::EnumWindows(&PrintMenuRect, 0);
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "foreground") == 0) {
    HWND window = ::GetForegroundWindow();
    char title[256] = {}, cls[64] = {};
    ::GetWindowTextA(window, title, sizeof title);
    ::GetClassNameA(window, cls, sizeof cls);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    std::printf("%p %s \"%s\" process %lu\n", static_cast<void*>(window), cls, title, process);
    return 0;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: vantrel-probe messagebox|read-messagebox|window|no-window|list-layout <caption> ... | menu-open [timeout-ms]\n");
    return 2;
  }
  std::string command = argv[1];
  const char* caption = argv[2];
  DWORD timeout = argc > 3 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 10000;

  if (command == "messagebox" || command == "read-messagebox") {
    HWND box = WaitFor(caption, true, timeout);
    if (!box) {
      std::printf("no message box \"%s\"\n", caption);
      return 1;
    }
    char text[1024] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // the message box's text control
    std::printf("TEXT: %s\n", text);
    std::fflush(stdout);
    if (command == "messagebox") ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }
  if (command == "window" || command == "no-window") {
    HWND window = WaitFor(caption, false, timeout);
    std::printf("%d\n", window ? 1 : 0);
    return (window != nullptr) == (command == "window") ? 0 : 1;
  }
  if (command == "list-layout" && argc > 3) {
    HWND window = WaitFor(caption, false, 10000);
    HWND list = window ? ::GetDlgItem(window, std::atoi(argv[3])) : nullptr;
    if (!list) {
      std::printf("no list %s in \"%s\"\n", argv[3], caption);
      return 1;
    }
    RECT r{};
    ::GetWindowRect(list, &r);
    // The spacing comes back in the result itself, so it crosses the process boundary.
    DWORD spacing = static_cast<DWORD>(::SendMessageA(list, LVM_GETITEMSPACING, FALSE, 0));
    std::printf("%ld %ld %ld %ld %u %u\n", r.left, r.top, r.right, r.bottom, LOWORD(spacing), HIWORD(spacing));
    return 0;
  }
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
