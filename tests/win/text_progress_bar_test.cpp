// The self-painted progress bar: geometry, text and repaint rules.
#include <gtest/gtest.h>

#include <memory>

#include "controls/text_progress_bar.h"
#include "win/test_support.h"

namespace vantrel::controls {
namespace {

constexpr COLORREF kUntouched = RGB(1, 2, 3);

class CountingBar : public TextProgressBar {
 public:
  int paints = 0;

 protected:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_PAINT) ++paints;
    return TextProgressBar::WindowProc(msg, wp, lp);
  }
};

class ProgressBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Create());
    ASSERT_TRUE(bar.Create(host.hwnd(), RECT{10, 10, 90, 30}, 1));
    RECT client{};
    ::GetClientRect(bar.hwnd(), &client);
    ASSERT_EQ(client.right, 80);
    ::SendMessageA(bar.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    ::UpdateWindow(bar.hwnd());
  }
  std::unique_ptr<testing::Canvas> Render() {
    auto canvas = std::make_unique<testing::Canvas>(80, 20, kUntouched);
    ::SendMessageA(bar.hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()), PRF_CLIENT);
    return canvas;
  }
  bool LooksAsWithText(const testing::Canvas& canvas, const char* text) {
    ::SetWindowTextA(bar.hwnd(), text);
    const bool same = canvas.SameAs(*Render());
    ::SetWindowTextA(bar.hwnd(), "");
    return same;
  }

  testing::ControlHost host;
  fw::UniqueFont font = testing::CrispFont(12, FW_BOLD);
  CountingBar bar;
  const COLORREF filled = ::GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF empty = ::GetSysColor(COLOR_WINDOW);
};

TEST_F(ProgressBarTest, GeometryAndText) {
  bar.SetPos(50);
  auto half = Render();
  EXPECT_EQ(half->At(39, 0), filled);
  EXPECT_EQ(half->At(40, 0), empty);
  EXPECT_TRUE(LooksAsWithText(*half, "50%"));
  // The text straddles the edge, in inverse colours on each side.
  EXPECT_GT(half->Count(empty, RECT{0, 2, 40, 18}), 5);
  EXPECT_GT(half->Count(filled, RECT{40, 2, 80, 18}), 5);

  bar.SetPos(101);
  auto over = Render();
  EXPECT_EQ(over->Count(filled, RECT{0, 0, 80, 1}), 80);
  EXPECT_TRUE(LooksAsWithText(*over, "101%"));

  // The owner's text wins over the percentage and reads back as set.
  ::SetWindowTextA(bar.hwnd(), "87%");
  EXPECT_FALSE(Render()->SameAs(*over));
  char text[8] = {};
  EXPECT_EQ(::SendMessageA(bar.hwnd(), WM_GETTEXT, 3, reinterpret_cast<LPARAM>(text)), 2);
  EXPECT_STREQ(text, "87");

  TextProgressBar unbound;
  EXPECT_EQ(unbound.SetPos(5), -1);
}

TEST_F(ProgressBarTest, RepaintsOnlyWhenSomethingShows) {
  const int before = bar.paints;
  EXPECT_EQ(bar.SetPos(50), 0);
  EXPECT_EQ(bar.paints, before + 1);
  EXPECT_EQ(bar.SetPos(51), 50);  // 40.8 pixels: the edge stays where it was
  EXPECT_EQ(bar.paints, before + 1);

  ::SetWindowTextA(bar.hwnd(), "87%");
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, before + 2);
  ::SetWindowTextA(bar.hwnd(), "87%");
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, before + 2);

  ::SetWindowPos(bar.hwnd(), nullptr, 0, 0, 100, 20, SWP_NOMOVE | SWP_NOZORDER);
  ::UpdateWindow(bar.hwnd());
  const int resized = bar.paints;
  bar.SetPos(51);
  EXPECT_EQ(bar.paints, resized + 1);
}

TEST_F(ProgressBarTest, EmptyRangePaintsNothingAndStopsAsking) {
  bar.SetRange(5, 5);
  ::InvalidateRect(bar.hwnd(), nullptr, TRUE);
  const int before = bar.paints;
  ::UpdateWindow(bar.hwnd());
  EXPECT_EQ(bar.paints, before + 1);
  EXPECT_FALSE(::GetUpdateRect(bar.hwnd(), nullptr, FALSE));
  MSG msg;
  int asked_again = 0;
  while (asked_again < 5 && ::PeekMessageA(&msg, bar.hwnd(), WM_PAINT, WM_PAINT, PM_REMOVE)) {
    ::DispatchMessageA(&msg);
    ++asked_again;
  }
  EXPECT_EQ(asked_again, 0);
  EXPECT_EQ(bar.paints, before + 1);
  EXPECT_EQ(Render()->Count(kUntouched, RECT{0, 0, 80, 20}), 80 * 20);
}

}  // namespace
}  // namespace vantrel::controls
