// The yardstick for the meter's idle cost: a bare 56x33 window that copies a bitmap of that
// size to itself once a second and does nothing else.
//   meter-baseline [x y]
#include <windows.h>

#include <cstdlib>

namespace {

constexpr int kWidth = 56;
constexpr int kHeight = 33;
constexpr UINT_PTR kTimer = 1;
HDC g_picture_dc = nullptr;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      ::InvalidateRect(hwnd, nullptr, FALSE);
      ::UpdateWindow(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      ::BitBlt(dc, 0, 0, kWidth, kHeight, g_picture_dc, 0, 0, SRCCOPY);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  int x = __argc > 2 ? std::atoi(__argv[1]) : 100;
  int y = __argc > 2 ? std::atoi(__argv[2]) : 100;

  HDC screen = ::GetDC(nullptr);
  g_picture_dc = ::CreateCompatibleDC(screen);
  HBITMAP picture = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(g_picture_dc, picture);
  RECT all{0, 0, kWidth, kHeight};
  ::FillRect(g_picture_dc, &all, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));

  WNDCLASSA wc{};
  wc.lpfnWndProc = &Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = "MeterBaseline";
  ::RegisterClassA(&wc);
  HWND hwnd = ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, wc.lpszClassName, "meter-baseline", WS_POPUP,
                                x, y, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  ::SetTimer(hwnd, kTimer, 1000, nullptr);

  MSG msg;
  while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  ::SelectObject(g_picture_dc, old);
  ::DeleteObject(picture);
  ::DeleteDC(g_picture_dc);
  return 0;
}
