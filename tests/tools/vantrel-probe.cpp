// A small driver for the end-to-end tests: finds the program's windows, reads their texts and
// answers message boxes, as a user would.
//   vantrel-probe messagebox <caption> [timeout-ms]   prints the box's text and presses OK
//   vantrel-probe read-messagebox <caption> [timeout-ms]   prints the box's text, leaves it open
//   vantrel-probe window <caption> [timeout-ms]       prints 1 when a top-level window exists
//   vantrel-probe no-window <caption> [timeout-ms]    succeeds when none appears
#include <windows.h>

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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: vantrel-probe messagebox|read-messagebox|window|no-window <caption> [timeout-ms]\n");
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
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 2;
}
