// The painted face, read back pixel by pixel, and the window's outline.
#include <gtest/gtest.h>

#include "display/core/meter_face.h"
#include "display/meter_painter.h"
#include "display/meter_window.h"
#include "framework/handles.h"
#include "resource.h"
#include "win/display_support.h"

namespace vantrel::display {
namespace {

using vantrel::testing::Surface;

constexpr unsigned kWhite = 0xFFFFFF;

struct Glyph {
  int x;
  int y;
};

class PaintedFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(face_.LoadResource(IDB_METER_FACE));
    ASSERT_TRUE(font_.LoadResource(IDB_METER_FONT));
  }

  // Paints `charge` and `time` through the painter's whole path onto `painted_`.
  void Paint(unsigned charge, const std::string& time) {
    scope_.battery.figures = {charge, time};
    MeterPainter painter(nullptr);
    ASSERT_TRUE(painter.ready());
    painter.Paint(painted_.dc());
  }

  // The text at `at` is made of these strip blocks (5 wide, the last one 4).
  ::testing::AssertionResult TextIs(Point at, const std::vector<Glyph>& glyphs) {
    int ink = 0;
    for (size_t k = 0; k < glyphs.size(); ++k) {
      const int width = k + 1 == glyphs.size() ? 4 : 5;
      for (int dy = 0; dy < 6; ++dy) {
        for (int dx = 0; dx < width; ++dx) {
          const unsigned want = font_.At(glyphs[k].x + dx, glyphs[k].y + dy);
          const unsigned got = painted_.At(at.x + 5 * static_cast<int>(k) + dx, at.y + dy);
          if (want != font_.At(0, 17)) ++ink;
          if (want != got)
            return ::testing::AssertionFailure() << "glyph " << k << " differs at (" << dx << ", " << dy << ")";
        }
      }
    }
    // Blocks of background only would prove nothing.
    if (ink == 0) return ::testing::AssertionFailure() << "the expected glyphs have no ink";
    return ::testing::AssertionSuccess();
  }

  // Every pixel outside the text boxes and the bar is the face bitmap's own.
  ::testing::AssertionResult RestIsTheFace(size_t time_length, size_t charge_length) {
    auto in = [](int x, int y, Point at, size_t length) {
      return length && x >= at.x && x < at.x + TextWidth(length) && y >= at.y && y < at.y + 6;
    };
    for (int y = 0; y < kFaceHeight; ++y) {
      for (int x = 0; x < kFaceWidth; ++x) {
        if (in(x, y, kTimeTextOrigin, time_length) || in(x, y, kChargeTextOrigin, charge_length)) continue;
        if (x >= kBarArea.left && x < kBarArea.right && y >= kBarArea.top && y < kBarArea.bottom) continue;
        if (painted_.At(x, y) != face_.At(x, y))
          return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") was changed";
      }
    }
    return ::testing::AssertionSuccess();
  }

  // Bar columns before `blank` show the face's bar, the rest is white.
  ::testing::AssertionResult BarBlankedFrom(int blank) {
    for (int y = kBarArea.top; y < kBarArea.bottom; ++y) {
      for (int x = kBarArea.left; x < kBarArea.right; ++x) {
        const unsigned want = x < blank ? face_.At(x, y) : kWhite;
        if (face_.At(x, y) == kWhite) return ::testing::AssertionFailure() << "the face's bar has white in it";
        if (painted_.At(x, y) != want)
          return ::testing::AssertionFailure() << "bar pixel (" << x << ", " << y << ") is wrong";
      }
    }
    return ::testing::AssertionSuccess();
  }

  vantrel::testing::DisplayTestScope scope_;
  Surface face_{kFaceWidth, kFaceHeight};
  Surface font_{kFontWidth, kFontHeight};
  Surface painted_{kFaceWidth, kFaceHeight};
};

TEST_F(PaintedFaceTest, ChargeBlanksTheEmptyPartOfTheBar) {
  Paint(0, "UNKNOWN");
  EXPECT_TRUE(BarBlankedFrom(7));
  EXPECT_TRUE(RestIsTheFace(7, 2));
  Paint(50, "UNKNOWN");
  EXPECT_TRUE(BarBlankedFrom(26));
  EXPECT_TRUE(RestIsTheFace(7, 3));
  Paint(100, "UNKNOWN");
  EXPECT_TRUE(BarBlankedFrom(45));
  Paint(170, "UNKNOWN");  // two batteries summed: the bar stays full
  EXPECT_TRUE(BarBlankedFrom(45));
  EXPECT_TRUE(RestIsTheFace(7, 4));
}

TEST_F(PaintedFaceTest, UnknownIsDrawnFromTheLettersRowAtTheTimePosition) {
  Paint(87, "UNKNOWN");
  // U N K N O W N: cells 20, 13, 10, 13, 14, 22, 13 of row 0.
  EXPECT_TRUE(TextIs({9, 4}, {{100, 0}, {65, 0}, {50, 0}, {65, 0}, {70, 0}, {110, 0}, {65, 0}}));
  // 8 7 %: cells 8, 7 and 26 of row 1 at the percentage position.
  EXPECT_TRUE(TextIs({16, 23}, {{40, 6}, {35, 6}, {130, 6}}));
  EXPECT_TRUE(BarBlankedFrom(40));
}

TEST_F(PaintedFaceTest, TimeIsDrawnFromTheDigitsRow) {
  Paint(9, "1:02:05");
  EXPECT_TRUE(TextIs({9, 4}, {{5, 6}, {60, 6}, {0, 6}, {10, 6}, {60, 6}, {0, 6}, {25, 6}}));
  EXPECT_TRUE(TextIs({16, 23}, {{45, 6}, {130, 6}}));
  EXPECT_TRUE(RestIsTheFace(7, 2));
}

TEST_F(PaintedFaceTest, CharactersWithoutAGlyphUseTheFallbackBlock) {
  Paint(100, "a:b");
  EXPECT_TRUE(TextIs({9, 4}, {{0, 3}, {60, 6}, {0, 3}}));
  // The blank takes row 0's last cell.
  Paint(100, "1 2");
  EXPECT_TRUE(TextIs({9, 4}, {{5, 6}, {145, 0}, {10, 6}}));
}

TEST_F(PaintedFaceTest, EveryNamedCharacterHasArtAndTheBlanksAndSpareRowAreEmpty) {
  const unsigned background = font_.At(0, 17);
  auto has_ink = [&](int cx, int cy) {
    for (int y = 0; y < kGlyphHeight; ++y)
      for (int x = 0; x < kGlyphWidth; ++x)
        if (font_.At(cx + x, cy + y) != background) return true;
    return false;
  };
  for (size_t i = 0; i < kFontRow0Length; ++i)
    EXPECT_EQ(has_ink(5 * static_cast<int>(i), 0), kFontRow0[i] != ' ') << "row 0 cell " << i;
  EXPECT_FALSE(has_ink(150, 0));  // row 0 has 30 characters
  for (size_t i = 0; i < kFontRow1Length; ++i)
    EXPECT_EQ(has_ink(5 * static_cast<int>(i), 6), kFontRow1[i] != ' ') << "row 1 cell " << i;
  for (int i = 0; i < kFontColumns; ++i) EXPECT_FALSE(has_ink(5 * i, 12)) << "row 2 cell " << i;
  // The face's text background is the strip's, so texts carry no box around them.
  EXPECT_EQ(face_.At(kTimeTextOrigin.x, kTimeTextOrigin.y), background);
  EXPECT_EQ(face_.At(kChargeTextOrigin.x + 20, kChargeTextOrigin.y + 5), background);
}

// The slot a new GDI object takes: freed slots are handed out again first, so a paint that
// leaks any object, owned or not, moves it.
WORD NextGdiSlot() {
  HRGN probe = ::CreateRectRgn(0, 0, 1, 1);
  WORD slot = LOWORD(reinterpret_cast<ULONG_PTR>(probe));
  ::DeleteObject(probe);
  return slot;
}

TEST_F(PaintedFaceTest, ThousandPaintsLeaveNoObjectBehind) {
  MeterPainter painter(nullptr);
  scope_.battery.figures = {87, "5:36:49"};
  painter.Paint(painted_.dc());
  const long gdi = fw::LiveGdiObjects();
  const long user = fw::LiveUserObjects();
  const WORD slot = NextGdiSlot();
  for (int i = 1; i < 1000; ++i) painter.Paint(painted_.dc());
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(NextGdiSlot(), slot);
  EXPECT_EQ(scope_.battery.figure_calls, 1000);
  // And the last paint is still whole: nothing ran out on the way.
  EXPECT_TRUE(TextIs({16, 23}, {{40, 6}, {35, 6}, {130, 6}}));
}

TEST(MeterOutlineTest, WindowIsShapedAsABodyWithANub) {
  vantrel::testing::DisplayTestScope scope;
  MeterWindow meter;
  ASSERT_TRUE(meter.Create());
  fw::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(meter.hwnd(), region), COMPLEXREGION);
  struct Probe {
    int x, y;
    bool inside;
  } probes[] = {
      {0, 0, true},    {51, 0, true},   {52, 0, false},  {55, 7, false}, {52, 8, true},  {55, 8, true},
      {55, 24, true},  {55, 25, false}, {51, 32, true},  {52, 32, false}, {0, 32, true}, {0, 33, false},
      {56, 16, false}, {30, 16, true},
  };
  for (const Probe& p : probes)
    EXPECT_EQ(::PtInRegion(region, p.x, p.y) != FALSE, p.inside) << p.x << ", " << p.y;
}

TEST(MeterOutlineTest, TheWindowShowsWhatThePainterDraws) {
  vantrel::testing::DisplayTestScope scope;
  scope.battery.figures = {87, "UNKNOWN"};
  scope.settings().AlwaysOnTop = 1;
  MeterWindow meter;
  ASSERT_TRUE(meter.Create());
  meter.MoveTo(200, 200);
  meter.ShowAndPaint();
  vantrel::testing::PumpUntil([] { return false; }, 200);
  Surface expected(kFaceWidth, kFaceHeight);
  MeterPainter(nullptr).Paint(expected.dc());
  Surface shown(kFaceWidth, kFaceHeight);
  {
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(shown.dc(), 0, 0, kFaceWidth, kFaceHeight, screen, 200, 200, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
  }
  int differing = 0;
  for (int y = 0; y < kFaceHeight; ++y)
    for (int x = 0; x < kFaceWidth; ++x)
      if (x < 52 || (y >= 8 && y < 25)) differing += shown.At(x, y) != expected.At(x, y);
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace vantrel::display
