#include "win/display_support.h"

#include <shellapi.h>

#include "framework/dialog.h"

namespace vantrel::testing {

Surface::Surface(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = ::CreateCompatibleDC(nullptr);
  bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<unsigned*>(bits);
  old_ = ::SelectObject(dc_, bitmap_);
  RECT all{0, 0, width, height};
  ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
}

Surface::~Surface() {
  ::SelectObject(dc_, old_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(dc_);
}

unsigned Surface::At(int x, int y) const {
  ::GdiFlush();
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || !bits_) return 0xFF000000u;
  return bits_[y * width_ + x] & 0xFFFFFFu;
}

bool Surface::LoadResource(UINT id) {
  HBITMAP picture = static_cast<HBITMAP>(
      ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!picture) return false;
  HDC source = ::CreateCompatibleDC(dc_);
  HGDIOBJ old = ::SelectObject(source, picture);
  BOOL copied = ::BitBlt(dc_, 0, 0, width_, height_, source, 0, 0, SRCCOPY);
  ::SelectObject(source, old);
  ::DeleteDC(source);
  ::DeleteObject(picture);
  return copied != FALSE;
}

DisplayTestScope::DisplayTestScope() : saved_(app::State().settings), scoped_(battery) {
  app::State().settings = app::AppSettings{};
  MovePointerAway();
}

DisplayTestScope::~DisplayTestScope() { app::State().settings = saved_; }

void MovePointer(int x, int y) {
  ::SetCursorPos(x, y);
  PumpUntil(
      [x, y] {
        POINT p{};
        return ::GetCursorPos(&p) && p.x == x && p.y == y;
      },
      500);
}

void MovePointerInto(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  MovePointer(r.left + 10, r.top + 10);
}

void MovePointerAway() { MovePointer(3, 600); }

bool TrayIconExists(HWND owner, UINT id) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V2_SIZE;
  data.hWnd = owner;
  data.uID = id;
  return ::Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

BYTE LayeredAlpha(HWND window) {
  BYTE alpha = 0;
  DWORD flags = 0;
  COLORREF key = 0;
  if (!::GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return 0;
  return alpha;
}

}  // namespace vantrel::testing
