#include "win/control_host.h"

#include "app/app_messages.h"

namespace vantrel::testing {

ControlHost::~ControlHost() {
  if (IsWindow()) ::DestroyWindow(hwnd());
}

bool ControlHost::Create(int width, int height) {
  constexpr char kClass[] = "VantrelControlHost";
  if (!RegisterClass(kClass, CS_DBLCLKS, nullptr, ::GetSysColorBrush(COLOR_BTNFACE))) return false;
  if (!CreateEx(0, kClass, "controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height, nullptr, nullptr)) {
    return false;
  }
  ::SetForegroundWindow(hwnd());
  return true;
}

LRESULT ControlHost::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
      if (fw::ReflectOwnerDraw(msg, wp, lp)) return TRUE;
      break;
    case app::WM_PAGE_SELECTED:
      pages.push_back(wp);
      return 0;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  dc_.reset(::CreateCompatibleDC(nullptr));
  bitmap_.reset(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  previous_ = ::SelectObject(dc_, bitmap_);
  fw::UniqueBrush brush(::CreateSolidBrush(fill));
  RECT all{0, 0, width, height};
  ::FillRect(dc_, &all, brush);
}

Canvas::~Canvas() {
  if (previous_) ::SelectObject(dc_, previous_);
}

int Canvas::Count(COLORREF colour, const RECT& area, bool other_than) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) count += (At(x, y) == colour) != other_than;
  }
  return count;
}

bool Canvas::SameAs(const Canvas& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      if (At(x, y) != other.At(x, y)) return false;
    }
  }
  return true;
}

COLORREF WindowPixel(HWND window, int x, int y) {
  Canvas pixel(1, 1, RGB(1, 2, 3));
  fw::WindowDC dc(window);
  ::BitBlt(pixel.dc(), 0, 0, 1, 1, dc, x, y, SRCCOPY);
  return pixel.At(0, 0);
}

fw::UniqueFont CrispFont(int height, int weight) {
  return fw::UniqueFont(::CreateFontA(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                      CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma"));
}

}  // namespace vantrel::testing
