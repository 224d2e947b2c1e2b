#include "display/meter_painter.h"

#include <algorithm>

#include "framework/dialog.h"
#include "resource.h"

namespace vantrel::display {

bool MeterPainter::Canvas::Hold(HBITMAP picture, HDC compatible) {
  Release();
  bitmap.reset(picture);
  dc.reset(::CreateCompatibleDC(compatible));
  if (!valid()) return false;
  original = ::SelectObject(dc, bitmap);
  return original != nullptr;
}

void MeterPainter::Canvas::Release() noexcept {
  // The bitmap must leave its surface before either is deleted.
  if (dc && original) ::SelectObject(dc, original);
  original = nullptr;
  dc.reset();
  bitmap.reset();
}

MeterPainter::MeterPainter(HWND window, const settings::AppSettings& settings)
    : window_(window), settings_(settings) {
  for (const Point& p : kOutline) outline_[static_cast<size_t>(outline_count_++)] = POINT{p.x, p.y};
  // Compatible with the screen the window is on.
  fw::WindowDC screen(nullptr);
  const HINSTANCE resources = fw::ResourceInstance();
  font_.Hold(::LoadBitmapA(resources, MAKEINTRESOURCEA(IDB_METER_FONT)), screen);
  face_.Hold(::LoadBitmapA(resources, MAKEINTRESOURCEA(IDB_METER_FACE)), screen);
  surface_.Hold(::CreateCompatibleBitmap(screen, kFaceWidth, kFaceHeight), screen);
}

MeterPainter::~MeterPainter() = default;

bool MeterPainter::SetOutline() {
  fw::UniqueRegion region(::CreatePolygonRgn(outline_.data(), outline_count_, ALTERNATE));
  if (!region) return false;
  if (!::SetWindowRgn(window_, region.get(), TRUE)) return false;
  (void)region.release();  // the window owns its region now
  return true;
}

void MeterPainter::Paint(HDC target) {
  Refresh();
  Blit(target);
}

bool MeterPainter::Refresh() {
  last_figures_ = CurrentMeterBattery().Figures(platform_, settings_, named_);
  ++figure_count_;
  // The face shows the time text and the charge, nothing else of the figures.
  const std::string& time = last_figures_.time_text;
  if (drawn_ && time == drawn_time_ && last_figures_.charge == drawn_charge_) return false;
  if (drawn_ && last_figures_.charge == drawn_charge_ && time.size() == drawn_time_.size()) {
    // Mostly a second went by: only the glyphs that differ are drawn again, and only they are
    // copied to the window.
    changed_ = DrawFontText(kTimeTextOrigin, time, &drawn_time_);
    drawn_time_ = time;
    return true;
  }
  drawn_ = RenderFace(last_figures_);
  if (drawn_) {
    drawn_time_ = time;
    drawn_charge_ = last_figures_.charge;
  }
  return true;
}

void MeterPainter::Blit(HDC target, const RECT* area) {
  if (!drawn_) Refresh();
  if (!drawn_) return;
  RECT r{0, 0, kFaceWidth, kFaceHeight};
  if (area && !::IntersectRect(&r, &r, area)) return;
  ::BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, surface_.dc, r.left, r.top, SRCCOPY);
}

bool MeterPainter::RenderFace(const FaceFigures& figures) {
  if (!ready()) return false;
  changed_ = RECT{0, 0, kFaceWidth, kFaceHeight};
  ::BitBlt(surface_.dc, 0, 0, kFaceWidth, kFaceHeight, face_.dc, 0, 0, SRCCOPY);
  DrawFontText(kTimeTextOrigin, figures.time_text);
  DrawFontText(kChargeTextOrigin, ChargeText(figures.charge));

  const Rect blank = BlankRect(figures.charge);
  if (blank.left < blank.right) {
    RECT r{blank.left, blank.top, blank.right, blank.bottom};
    ::FillRect(surface_.dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
  return true;
}

RECT MeterPainter::DrawFontText(Point at, const std::string& text, const std::string* before) {
  // Glyph k goes to 5k; the text is 5 * length - 1 wide, so the last glyph's spacing column
  // is left out. Plain copies: the strip brings its own background, so one glyph can be drawn
  // over another of a text of the same length.
  const int width = TextWidth(text.size());
  RECT drawn{0, 0, 0, 0};
  for (size_t k = 0; k < text.size(); ++k) {
    const int x = static_cast<int>(k) * kGlyphWidth;
    if (x >= width || at.x + x >= kFaceWidth) break;
    if (before && (*before)[k] == text[k]) continue;
    const int w = std::min(kGlyphWidth, width - x);
    const Point glyph = GlyphOrigin(text[k]);
    ::BitBlt(surface_.dc, at.x + x, at.y, w, kGlyphHeight, font_.dc, glyph.x, glyph.y, SRCCOPY);
    if (drawn.right == drawn.left) drawn = RECT{at.x + x, at.y, at.x + x, at.y + kGlyphHeight};
    drawn.right = at.x + x + w;
  }
  return drawn;
}

}  // namespace vantrel::display
