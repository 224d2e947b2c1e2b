// Times the paint paths of the custom controls: a progress bar repaint (as its page's timer
// causes it), a bar position change that moves nothing, and drawing one menu item of each kind.
//   controls-bench [iterations]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "controls/menu_xp.h"
#include "controls/text_progress_bar.h"

namespace {

using namespace vantrel;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <class Body>
void Time(const char* what, int iterations, Body body) {
  LARGE_INTEGER start;
  LARGE_INTEGER end;
  ::QueryPerformanceCounter(&start);
  for (int i = 0; i < iterations; ++i) body(i);
  ::QueryPerformanceCounter(&end);
  std::printf("%-44s %8.1f us\n", what, Seconds(start, end) * 1e6 / iterations);
}

}  // namespace

int main(int argc, char** argv) {
  const int iterations = argc > 1 ? std::atoi(argv[1]) : 2000;
  if (iterations <= 0) return 2;
  INITCOMMONCONTROLSEX common{sizeof common, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&common);
  HWND host = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200, nullptr,
                                nullptr, nullptr, nullptr);
  controls::TextProgressBar bar;
  if (!host || !bar.Create(host, RECT{10, 10, 260, 32}, 1)) return 1;
  bar.SetRange(0, 100);

  Time("progress bar repaint (edge moves)", iterations, [&](int i) { bar.SetPos(i % 2 ? 30 : 70); });
  Time("progress bar SetPos (edge stays)", iterations, [&](int) { bar.SetPos(70); });

  controls::CMenuXP menu;
  controls::CMenuXPItem side_bar;
  side_bar.side_bar = true;
  side_bar.size = controls::CMenuXP::kSideBarWidth;
  side_bar.text = "Vantrel 1.00";
  controls::CMenuXPItem item;
  item.text = "Main Dialog...";
  item.icon.reset(::CopyIcon(::LoadIconA(nullptr, IDI_INFORMATION)));
  HDC screen = ::GetDC(host);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 200, 300);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  auto draw = [&](controls::CMenuXPItem& what, RECT rect, UINT state) {
    DRAWITEMSTRUCT dis{ODT_MENU, 0, 0, ODA_DRAWENTIRE, state, nullptr, dc, rect, reinterpret_cast<ULONG_PTR>(&what)};
    menu.DrawItem(dis);
  };
  Time("menu side bar, 300 px", iterations, [&](int) { draw(side_bar, RECT{0, 0, 20, 1}, 0); });
  Time("menu item with icon", iterations, [&](int) { draw(item, RECT{23, 0, 200, 20}, 0); });
  Time("menu item with icon, selected", iterations, [&](int) { draw(item, RECT{23, 0, 200, 20}, ODS_SELECTED); });
  Time("menu item with icon, disabled (embossed)", iterations, [&](int) { draw(item, RECT{23, 0, 200, 20}, ODS_GRAYED); });
  Time("menu item measured", iterations, [&](int) {
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, 0, 0, 0, reinterpret_cast<ULONG_PTR>(&item)};
    menu.MeasureItem(mis);
  });
  ::SelectObject(dc, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc);
  ::ReleaseDC(host, screen);
  ::DestroyWindow(host);
  return 0;
}
