#include "controls/text_progress_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "controls/core/progress_model.h"
#include "framework/dialog.h"
#include "framework/handles.h"

namespace vantrel::controls {

TextProgressBar::TextProgressBar()
    : bar_colour_(::GetSysColor(COLOR_HIGHLIGHT)),
      background_colour_(::GetSysColor(COLOR_WINDOW)),
      text_over_empty_colour_(::GetSysColor(COLOR_HIGHLIGHT)),
      text_over_bar_colour_(::GetSysColor(COLOR_WINDOW)) {}

bool TextProgressBar::Create(HWND parent, const RECT& rect, int id) {
  HWND bar = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), fw::ResourceInstance(), nullptr);
  if (!bar) return false;
  if (Subclass(bar)) return true;
  ::DestroyWindow(bar);
  return false;
}

int TextProgressBar::SetStep(int step) noexcept { return std::exchange(step_, step); }

int TextProgressBar::SetPos(int position) {
  if (!IsWindow()) return -1;
  const int previous = std::exchange(position_, position);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int width = FilledWidth(position, lower_, upper_, client.right - client.left);
  // A change too small to move the edge by a pixel is not worth a paint.
  if (width != last_bar_width_) {
    last_bar_width_ = width;
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  return previous;
}

HFONT TextProgressBar::TextFont() const {
  if (font_) return font_;
  if (HWND parent = ::GetParent(hwnd())) {
    if (auto font = reinterpret_cast<HFONT>(::SendMessageA(parent, WM_GETFONT, 0, 0))) return font;
  }
  return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void TextProgressBar::Paint(HDC dc, const RECT& client) {
  if (!DrawableRange(lower_, upper_)) return;
  // Not limited: a position past the range fills past the edge, which the clip hides.
  const int64_t edge64 = static_cast<int64_t>(client.left) + FilledWidth(position_, lower_, upper_, client.right - client.left);
  const int edge = static_cast<int>(std::clamp<int64_t>(edge64, client.left, client.right));
  const RECT filled{client.left, client.top, edge, client.bottom};
  const RECT empty{edge, client.top, client.right, client.bottom};

  // Solid fills without a brush.
  ::SetBkColor(dc, bar_colour_);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &filled, nullptr, 0, nullptr);
  ::SetBkColor(dc, background_colour_);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &empty, nullptr, 0, nullptr);
  if (!show_text_) return;

  const std::string text = ProgressText(text_, ProgressPercent(position_, lower_, upper_));
  RECT area = client;
  fw::SelectObjectGuard font(dc, TextFont());
  ::SetBkMode(dc, TRANSPARENT);
  // The same text twice, each half clipped to its part and in that part's colour.
  auto draw = [&](const RECT& part, COLORREF colour) {
    const int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, part.left, part.top, part.right, part.bottom);
    ::SetTextColor(dc, colour);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::RestoreDC(dc, saved);
  };
  draw(filled, text_over_bar_colour_);
  draw(empty, text_over_empty_colour_);
}

void TextProgressBar::OnPaint() {
  // Begun and ended even when nothing is drawn, or the window would ask again and again.
  fw::PaintDC paint(hwnd());
  if (!DrawableRange(lower_, upper_) || !paint.get()) return;
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  RECT clip{};
  if (::GetClipBox(paint, &clip) == NULLREGION || ::IsRectEmpty(&clip)) return;
  if (::GetDeviceCaps(paint, TECHNOLOGY) == DT_RASPRINTER) {
    Paint(paint, client);
    return;
  }
  // Drawn off-screen and copied in one block: no flicker.
  const int width = clip.right - clip.left;
  const int height = clip.bottom - clip.top;
  fw::UniqueMemoryDC memory(::CreateCompatibleDC(paint));
  fw::UniqueBitmap picture(::CreateCompatibleBitmap(paint, width, height));
  if (!memory || !picture) {
    Paint(paint, client);
    return;
  }
  fw::SelectObjectGuard select(memory, picture);
  ::SetWindowOrgEx(memory, clip.left, clip.top, nullptr);
  Paint(memory, client);
  ::BitBlt(paint, clip.left, clip.top, width, height, memory, clip.left, clip.top, SRCCOPY);
}

void TextProgressBar::OnPrintClient(HDC dc) {
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  Paint(dc, client);
}

LRESULT TextProgressBar::OnSetText(WPARAM wp, LPARAM lp) {
  const LRESULT result = Default(WM_SETTEXT, wp, lp);
  const char* text = reinterpret_cast<const char*>(lp);
  const bool differs = text ? text_ != text : !text_.empty();
  if (differs) {
    text_ = text ? text : "";
    ::InvalidateRect(hwnd(), nullptr, TRUE);
  }
  return result;
}

LRESULT TextProgressBar::OnGetText(WPARAM size, LPARAM buffer) const {
  // As every window answers: at most size − 1 bytes and a terminating zero.
  auto* out = reinterpret_cast<char*>(buffer);
  if (!out || size == 0) return 0;
  const size_t copied = std::min<size_t>(size - 1, text_.size());
  std::memcpy(out, text_.data(), copied);
  out[copied] = '\0';
  return static_cast<LRESULT>(copied);
}

LRESULT TextProgressBar::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      OnPrintClient(reinterpret_cast<HDC>(wp));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole client area
    case WM_SIZE: {
      const LRESULT result = Default(msg, wp, lp);
      last_bar_width_ = -1;
      return result;
    }
    case WM_SETTEXT:
      return OnSetText(wp, lp);
    case WM_GETTEXT:
      return OnGetText(wp, lp);
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(text_.size());
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wp);
      if (LOWORD(lp)) ::InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    default:
      return Default(msg, wp, lp);
  }
}

}  // namespace vantrel::controls
