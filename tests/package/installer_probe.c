/* Answers the installer's windows under Wine, for the installer test:
     installer_probe box <caption> <read|retry|cancel> [timeout-ms]
       waits for a message box with this caption and Retry and Cancel buttons, prints its
       text, and (retry, cancel) presses that button;
     installer_probe page <caption> [timeout-ms]
       waits for a window whose caption begins with this one and that is not such a box (the
       installer's own window, showing its first page) and presses its Cancel button.
   Exits 0 when it found the window, 1 when none appeared in time (default 20 s). */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

struct search {
  const char* caption;
  int want_box;
  HWND found;
};

static int is_box(HWND window) {
  return GetDlgItem(window, IDRETRY) != NULL && GetDlgItem(window, IDCANCEL) != NULL;
}

static BOOL CALLBACK visit(HWND window, LPARAM data) {
  struct search* s = (struct search*)data;
  char title[256], name[64];
  if (!IsWindowVisible(window)) return TRUE;
  GetClassNameA(window, name, sizeof name);
  GetWindowTextA(window, title, sizeof title);
  if (strcmp(name, "#32770") != 0) return TRUE;
  /* A box's caption is the installer's; its own window adds the page's name after it. */
  if (s->want_box ? strcmp(title, s->caption) != 0 : strncmp(title, s->caption, strlen(s->caption)) != 0)
    return TRUE;
  if (is_box(window) != s->want_box) return TRUE;
  s->found = window;
  return FALSE;
}

static HWND wait_for(const char* caption, int want_box, DWORD timeout) {
  DWORD start = GetTickCount();
  struct search s = {caption, want_box, NULL};
  for (;;) {
    EnumWindows(visit, (LPARAM)&s);
    if (s.found || GetTickCount() - start > timeout) return s.found;
    Sleep(100);
  }
}

static void press(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(window, id));
}

int main(int argc, char** argv) {
  if (argc >= 4 && strcmp(argv[1], "box") == 0) {
    HWND box = wait_for(argv[2], 1, argc > 4 ? (DWORD)atoi(argv[4]) : 20000);
    char text[1024] = "";
    if (!box) {
      printf("no message box \"%s\"\n", argv[2]);
      return 1;
    }
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text); /* the message box's text */
    printf("TEXT: %s\n", text);
    if (strcmp(argv[3], "retry") == 0) press(box, IDRETRY);
    if (strcmp(argv[3], "cancel") == 0) press(box, IDCANCEL);
    return 0;
  }
  if (argc >= 3 && strcmp(argv[1], "page") == 0) {
    HWND page = wait_for(argv[2], 0, argc > 3 ? (DWORD)atoi(argv[3]) : 20000);
    if (!page) {
      printf("no window \"%s\"\n", argv[2]);
      return 1;
    }
    printf("WINDOW: %s\n", argv[2]);
    press(page, IDCANCEL);
    return 0;
  }
  fprintf(stderr, "usage: installer_probe box <caption> <read|retry|cancel> [ms] | page <caption> [ms]\n");
  return 2;
}
