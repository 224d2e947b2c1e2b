#include "framework/handles.h"

namespace vantrel::fw {

namespace {

long g_live[static_cast<int>(ObjectKind::Count)] = {};

}  // namespace

long LiveObjects(ObjectKind kind) noexcept { return g_live[static_cast<int>(kind)]; }

void detail::CountObject(ObjectKind kind, int delta) noexcept { g_live[static_cast<int>(kind)] += delta; }

void detail::DestroyLiveWindow(HWND window) noexcept {
  if (::IsWindow(window)) ::DestroyWindow(window);
}

WindowDC::WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::GetDC(hwnd)) {
  if (dc_) detail::CountObject(ObjectKind::Gdi, +1);
}
WindowDC::~WindowDC() {
  if (dc_) {
    ::ReleaseDC(hwnd_, dc_);
    detail::CountObject(ObjectKind::Gdi, -1);
  }
}

PaintDC::PaintDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &ps_)) {}
PaintDC::~PaintDC() { ::EndPaint(hwnd_, &ps_); }

}  // namespace vantrel::fw
