#include "display/meter_painter.h"

#include <algorithm>

#include "app/app_state.h"
#include "framework/dialog.h"
#include "resource.h"

namespace vantrel::display {

MeterPainter::MeterPainter(HWND window)
    : window_(window),
      font_(::LoadBitmapA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDB_METER_FONT))) {
  for (const Point& p : kOutline) outline_[static_cast<size_t>(outline_count_++)] = POINT{p.x, p.y};
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
  fw::UniqueMemoryDC surface(::CreateCompatibleDC(target));
  // The face is loaded afresh for each paint: the bitmap is tiny and this keeps nothing
  // selected or cached between paints.
  fw::UniqueBitmap face(::LoadBitmapA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDB_METER_FACE)));
  if (!surface || !face) return;
  {
    fw::SelectObjectGuard holding(surface, face);
    FaceFigures figures = CurrentMeterBattery().Figures(platform_, app::State().settings);
    RenderFace(surface, figures);
    ::BitBlt(target, 0, 0, kFaceWidth, kFaceHeight, surface, 0, 0, SRCCOPY);
  }
}

void MeterPainter::RenderFace(HDC surface, const FaceFigures& figures) const {
  DrawFontText(surface, kTimeTextOrigin, figures.time_text);
  DrawFontText(surface, kChargeTextOrigin, ChargeText(figures.charge));

  const Rect blank = BlankRect(figures.charge);
  if (blank.left < blank.right) {
    RECT r{blank.left, blank.top, blank.right, blank.bottom};
    ::FillRect(surface, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  }
}

void MeterPainter::DrawFontText(HDC surface, Point at, const std::string& text) const {
  if (!font_ || text.empty()) return;
  fw::UniqueMemoryDC glyphs(::CreateCompatibleDC(surface));
  if (!glyphs) return;
  fw::SelectObjectGuard holding(glyphs, font_);
  // Glyph k goes to 5k; the text is 5 * length - 1 wide, so the last glyph's spacing column
  // is left out. Plain copies: the strip brings its own background.
  const int width = TextWidth(text.size());
  for (size_t k = 0; k < text.size(); ++k) {
    const int x = static_cast<int>(k) * kGlyphWidth;
    if (x >= width) break;
    const int w = std::min(kGlyphWidth, width - x);
    const Point glyph = GlyphOrigin(text[k]);
    ::BitBlt(surface, at.x + x, at.y, w, kGlyphHeight, glyphs, glyph.x, glyph.y, SRCCOPY);
  }
}

}  // namespace vantrel::display
