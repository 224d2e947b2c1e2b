// The program's icons: each one the menus, pages and lists ask for is in the resources, with
// images of its own at the sizes it is shown, in full colour with alpha and in 256 colours for
// displays without it, each a shape on a clear background.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/dialog.h"
#include "resource.h"
#include "win/icon_directory.h"
#include "win/test_support.h"

namespace vantrel::testing {
namespace {

TEST(Icons, EachHasImagesOfItsOwnAtItsSizesInBothDepthsOnAClearBackground) {
  struct { int id; bool page; } const icons[] = {  // pages are shown 32x32 as well as 16x16
      {IDI_CONTROL, true},       {IDI_SCHEMES, true},         {IDI_BATTERIES, true},
      {IDI_POLICY, true},        {IDI_SPARE_PAGE, true},      {IDI_APP, true},
      {IDI_EXIT, false},         {IDI_HIBERNATE, false},      {IDI_SLEEP, false},
      {IDI_HOURS, false},        {IDI_MINUTES, false},        {IDI_SHUTDOWN, false},
      {IDI_LOGOFF, false},       {IDI_REBOOT, false},         {IDI_TAB_USER, false},
      {IDI_TAB_MACHINE, false},  {IDI_TAB_PROCESSOR, false},  {IDI_MAINS, false},
      {IDI_THROTTLE_CONSTANT, false}, {IDI_THROTTLE_NONE, false}, {IDI_THROTTLE_ADAPTIVE, false},
      {IDI_THROTTLE_DEGRADE, false}};
  const HINSTANCE module = fw::ResourceInstance();
  std::vector<std::unique_ptr<Canvas>> seen;  // each icon at 16x16 in full colour
  for (const auto& wanted : icons) {
    for (int size : {16, 32}) {
      if (size == 32 && !wanted.page) continue;
      fw::UniqueIcon loaded(static_cast<HICON>(
          ::LoadImageA(module, MAKEINTRESOURCEA(wanted.id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
      EXPECT_TRUE(loaded) << wanted.id;
      for (int bits : {32, 8}) {
        SCOPED_TRACE(::testing::Message() << "icon " << wanted.id << " at " << size << ", " << bits << " bits");
        // Drawn for this size and depth, not scaled from another image.
        fw::UniqueIcon image(LoadIconImage(module, wanted.id, size, bits));
        ASSERT_TRUE(image);
        auto on_white = std::make_unique<Canvas>(size, size, RGB(255, 255, 255));
        Canvas on_black(size, size, RGB(0, 0, 0));
        for (HDC dc : {on_white->dc(), on_black.dc()})
          ::DrawIconEx(dc, 0, 0, image.get(), size, size, 0, nullptr, DI_NORMAL);
        int clear = 0, drawn = 0;
        for (int y = 0; y < size; ++y) {
          for (int x = 0; x < size; ++x) {
            clear += on_white->At(x, y) == RGB(255, 255, 255) && on_black.At(x, y) == RGB(0, 0, 0);
            drawn += on_white->At(x, y) == on_black.At(x, y);
          }
        }
        // Neither a filled square nor an empty picture.
        EXPECT_GE(clear, size * size / 20);
        EXPECT_GE(drawn, size * size / 10);
        if (size != 16 || bits != 32) continue;
        for (const auto& other : seen) EXPECT_FALSE(on_white->SameAs(*other)) << "the same artwork as another";
        seen.push_back(std::move(on_white));
      }
    }
  }
}

}  // namespace
}  // namespace vantrel::testing
