#include "controls/page_list.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "framework/handles.h"

namespace vantrel::controls {

namespace {

// The first leave check waits a little; later ones follow the pointer closely.
constexpr UINT kFirstLeaveCheckMs = 500;
constexpr UINT kLeaveCheckMs = 50;

bool StrictlyInside(const RECT& rect, POINT point) {
  return point.x > rect.left && point.x < rect.right && point.y > rect.top && point.y < rect.bottom;
}

}  // namespace

void CPageListCtrl::DrawFrame(int item, Frame frame) {
  RECT rect{};
  rect.left = LVIR_ICON;
  if (!::SendMessageA(hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&rect))) return;
  // The frame lies on the rectangle's outermost pixels.
  const int left = rect.left;
  const int top = rect.top;
  const int right = rect.right - 1;
  const int bottom = rect.bottom - 1;

  COLORREF first = RGB(255, 255, 255);
  COLORREF second = RGB(0, 0, 0);
  if (frame == Frame::Sunken) std::swap(first, second);
  if (frame == Frame::Erase) {
    COLORREF background = static_cast<COLORREF>(::SendMessageA(hwnd(), LVM_GETBKCOLOR, 0, 0));
    if (background == CLR_NONE) background = ::GetSysColor(COLOR_WINDOW);
    first = second = background;
  }

  fw::WindowDC dc(hwnd());
  if (!dc.get()) return;
  fw::UniquePen top_left(::CreatePen(PS_SOLID, 1, first));
  fw::UniquePen bottom_right(::CreatePen(PS_SOLID, 1, second));
  if (!top_left || !bottom_right) return;
  {
    fw::SelectObjectGuard pen(dc, top_left);
    ::MoveToEx(dc, left, bottom, nullptr);
    ::LineTo(dc, left, top);
    ::LineTo(dc, right, top);
  }
  fw::SelectObjectGuard pen(dc, bottom_right);
  ::LineTo(dc, right, bottom);
  ::LineTo(dc, left, bottom);
}

void CPageListCtrl::OnMouseMove(LPARAM lp) {
  if (!tracking_) {
    ::SetTimer(hwnd(), kPageListTimer, kFirstLeaveCheckMs, nullptr);
    tracking_ = true;
  }
  // While pressed the frame stays on the icon that was pressed.
  if (pressed_) return;
  LVHITTESTINFO hit{};
  hit.pt = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  ::SendMessageA(hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.iItem >= 0 && (hit.flags & LVHT_ONITEMICON)) {
    if (hit.iItem == hot_item_) return;
    if (hot_item_ >= 0) DrawFrame(hot_item_, Frame::Erase);
    DrawFrame(hit.iItem, Frame::Raised);
    hot_item_ = hit.iItem;
  } else {
    if (hot_item_ >= 0) DrawFrame(hot_item_, Frame::Erase);
    hot_item_ = -1;
  }
}

void CPageListCtrl::Leave() {
  tracking_ = false;
  if (hot_item_ >= 0) DrawFrame(hot_item_, Frame::Erase);
  hot_item_ = -1;
  // A button pressed here and released elsewhere must not swallow the next click.
  pressed_ = false;
}

void CPageListCtrl::OnTimer() {
  ::KillTimer(hwnd(), kPageListTimer);
  // The list gets no message when the pointer leaves it, so it looks.
  POINT cursor{};
  RECT window{};
  ::GetCursorPos(&cursor);
  ::GetWindowRect(hwnd(), &window);
  if (StrictlyInside(window, cursor)) {
    ::SetTimer(hwnd(), kPageListTimer, kLeaveCheckMs, nullptr);
  } else {
    Leave();
  }
}

bool CPageListCtrl::OnSetCursor() {
  const int top = static_cast<int>(::SendMessageA(hwnd(), LVM_GETTOPINDEX, 0, 0));
  const int per_page = static_cast<int>(::SendMessageA(hwnd(), LVM_GETCOUNTPERPAGE, 0, 0));
  const int count = static_cast<int>(::SendMessageA(hwnd(), LVM_GETITEMCOUNT, 0, 0));
  for (int item = top < 0 ? 0 : top; item < top + per_page && item < count; ++item) {
    RECT icon{};
    icon.left = LVIR_ICON;
    if (::SendMessageA(hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&icon)) &&
        StrictlyInside(icon, last_point_)) {
      ::SetCursor(::LoadCursor(nullptr, IDC_HAND));
      return true;
    }
  }
  ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
  return false;
}

LRESULT CPageListCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MOUSEMOVE: {
      last_point_ = POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      LRESULT result = Default(msg, wp, lp);
      OnMouseMove(lp);
      return result;
    }
    case WM_LBUTTONDOWN:
      // Not passed on: the list's selection never changes.
      pressed_ = true;
      if (hot_item_ >= 0) DrawFrame(hot_item_, Frame::Sunken);
      return 0;
    case WM_LBUTTONUP:
      if (hot_item_ >= 0) DrawFrame(hot_item_, Frame::Raised);
      pressed_ = false;
      if (hot_item_ >= 0) {
        ::SendMessageA(::GetParent(hwnd()), WM_PAGE_SELECTED, static_cast<WPARAM>(hot_item_),
                       reinterpret_cast<LPARAM>(hwnd()));
      }
      return 0;
    case WM_TIMER:
      if (wp == kPageListTimer) {
        OnTimer();
        return 0;
      }
      break;
    case WM_SETCURSOR:
      return OnSetCursor() ? TRUE : FALSE;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_CHAR:  // the list would select the item whose text starts with the letter
      return 0;
    default:
      break;
  }
  return Default(msg, wp, lp);
}

}  // namespace vantrel::controls
