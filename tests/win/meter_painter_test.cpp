// The painted face, read back pixel by pixel, and the window's outline.
#include <gtest/gtest.h>

#include "display/core/meter_face.h"
#include "display/meter_painter.h"
#include "display/meter_window.h"
#include "framework/dialog.h"
#include "resource.h"
#include "win/test_support.h"

namespace vantrel::display {
namespace {

using vantrel::testing::Canvas;

// Copies a bitmap resource of the test program onto `canvas`.
bool LoadBitmap(Canvas& canvas, UINT id, int width, int height) {
  fw::UniqueBitmap picture(static_cast<HBITMAP>(
      ::LoadImageA(fw::ResourceInstance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  fw::UniqueMemoryDC source(::CreateCompatibleDC(canvas.dc()));
  fw::SelectObjectGuard select(source, picture);
  return picture && ::BitBlt(canvas.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
}

class PaintedFaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadBitmap(face_, IDB_METER_FACE, kFaceWidth, kFaceHeight));
    ASSERT_TRUE(LoadBitmap(font_, IDB_METER_FONT, kFontWidth, kFontHeight));
    background_ = font_.At(0, 17);  // the spare row
  }

  void Paint(unsigned charge, const std::string& time) {
    scope_.battery.figures = {charge, time};
    painter_.Paint(painted_.dc());
  }

  // The text at `at` is made of these strip blocks (5 wide, the last one 4), with ink in them.
  ::testing::AssertionResult TextIs(Point at, const std::vector<Point>& glyphs) const {
    int ink = 0;
    for (int k = 0; k < static_cast<int>(glyphs.size()); ++k) {
      for (int dy = 0; dy < 6; ++dy) {
        for (int dx = 0; dx < (k + 1 == static_cast<int>(glyphs.size()) ? 4 : 5); ++dx) {
          const COLORREF want = font_.At(glyphs[k].x + dx, glyphs[k].y + dy);
          ink += want != background_;
          if (painted_.At(at.x + 5 * k + dx, at.y + dy) != want)
            return ::testing::AssertionFailure() << "glyph " << k << " differs at " << dx << ", " << dy;
        }
      }
    }
    if (ink == 0) return ::testing::AssertionFailure() << "the expected glyphs have no ink";
    return ::testing::AssertionSuccess();
  }

  // The bar shows the face before `blank` and white from there; every pixel outside the bar
  // and the two texts (of the given lengths) is the face bitmap's own.
  ::testing::AssertionResult FaceWithBarBlankedFrom(int blank, int time_length, int charge_length) const {
    auto in_text = [](int x, int y, Point at, int length) {
      return x >= at.x && x < at.x + 5 * length - 1 && y >= at.y && y < at.y + 6;
    };
    for (int y = 0; y < kFaceHeight; ++y) {
      for (int x = 0; x < kFaceWidth; ++x) {
        const bool bar = x >= 7 && x <= 44 && y >= 14 && y <= 18;
        if (bar && face_.At(x, y) == 0xFFFFFF) return ::testing::AssertionFailure() << "white in the face's bar";
        if (!bar && (in_text(x, y, kTimeTextOrigin, time_length) || in_text(x, y, kChargeTextOrigin, charge_length)))
          continue;
        const COLORREF want = bar && x >= blank ? 0xFFFFFF : face_.At(x, y);
        if (painted_.At(x, y) != want) return ::testing::AssertionFailure() << "pixel " << x << ", " << y;
      }
    }
    return ::testing::AssertionSuccess();
  }

  vantrel::testing::DisplayTestScope scope_;
  MeterPainter painter_{nullptr, scope_.settings()};
  Canvas face_{kFaceWidth, kFaceHeight}, font_{kFontWidth, kFontHeight}, painted_{kFaceWidth, kFaceHeight};
  COLORREF background_ = 0;
};

TEST_F(PaintedFaceTest, BarIsBlankedFromTheChargeAndTextsComeFromTheirGlyphs) {
  ASSERT_TRUE(painter_.ready());
  Paint(0, "UNKNOWN");
  EXPECT_TRUE(FaceWithBarBlankedFrom(7, 7, 2));
  // U N K N O W N: cells 20, 13, 10, 13, 14, 22, 13 of row 0, at (9, 4).
  EXPECT_TRUE(TextIs({9, 4}, {{100, 0}, {65, 0}, {50, 0}, {65, 0}, {70, 0}, {110, 0}, {65, 0}}));
  EXPECT_TRUE(TextIs({16, 23}, {{0, 6}, {130, 6}}));  // "0%" from row 1, at (16, 23)

  Paint(50, "1:02:05");
  EXPECT_TRUE(TextIs({9, 4}, {{5, 6}, {60, 6}, {0, 6}, {10, 6}, {60, 6}, {0, 6}, {25, 6}}));
  Paint(100, "a 1");  // lower case: the block at (0, 3); the blank: row 0's last cell
  EXPECT_TRUE(FaceWithBarBlankedFrom(45, 3, 4));
  EXPECT_TRUE(TextIs({9, 4}, {{0, 3}, {145, 0}, {5, 6}}));
}

// Each tick asks for the figures; the face is drawn again only when its texts change, and a
// paint between ticks copies the face as last drawn.
TEST_F(PaintedFaceTest, TheFaceIsDrawnAgainOnlyWhenWhatItShowsChanges) {
  struct Step {
    unsigned charge;
    const char* time;
    bool drawn;
  } steps[] = {{50, "1:02:05", true}, {50, "1:02:05", false}, {51, "1:02:05", true},
               {51, "1:02:06", true}, {51, "1:02:06", false}};
  for (const Step& step : steps) {
    scope_.battery.figures = {step.charge, step.time};
    EXPECT_EQ(painter_.Refresh(), step.drawn) << step.charge << " " << step.time;
  }
  EXPECT_EQ(scope_.battery.figure_calls, 5);
  painter_.Blit(painted_.dc());
  EXPECT_EQ(scope_.battery.figure_calls, 5) << "a paint asks for no figures";
  EXPECT_TRUE(TextIs({9, 4}, {{5, 6}, {60, 6}, {0, 6}, {10, 6}, {60, 6}, {0, 6}, {30, 6}}));
  EXPECT_TRUE(TextIs({16, 23}, {{25, 6}, {5, 6}, {130, 6}}));
}

TEST_F(PaintedFaceTest, ThousandPaintsLeaveNoObjectBehind) {
  Paint(87, "5:36:49");
  const long gdi = fw::LiveGdiObjects(), user = fw::LiveUserObjects();
  const WORD slot = vantrel::testing::NextGdiSlot();
  for (int i = 1; i < 1000; ++i) Paint(i % 2 ? 87 : 86, "5:36:49");  // every other one draws the face anew
  EXPECT_EQ(fw::LiveGdiObjects(), gdi);
  EXPECT_EQ(fw::LiveUserObjects(), user);
  EXPECT_EQ(vantrel::testing::NextGdiSlot(), slot);
  EXPECT_EQ(scope_.battery.figure_calls, 1000);
  EXPECT_TRUE(TextIs({16, 23}, {{40, 6}, {35, 6}, {130, 6}}));  // the last paint is whole
}

TEST(MeterOutlineTest, WindowIsShapedAsABodyWithANub) {
  vantrel::testing::DisplayTestScope scope;
  MeterWindow meter{app::State().settings};
  ASSERT_TRUE(meter.Create());
  fw::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(::GetWindowRgn(meter.hwnd(), region), COMPLEXREGION);
  struct { int x, y; bool inside; } probes[] = {
      {51, 32, true}, {52, 0, false}, {55, 7, false}, {52, 8, true}, {55, 24, true}, {55, 25, false}, {0, 33, false}};
  for (const auto& p : probes) EXPECT_EQ(::PtInRegion(region, p.x, p.y) != FALSE, p.inside) << p.x << ", " << p.y;
}

}  // namespace
}  // namespace vantrel::display
