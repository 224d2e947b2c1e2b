// The program's icons: each one the menus, pages and lists ask for has images of its own at
// the sizes it is shown, in full colour with alpha and in 256 colours, each a shape on a clear
// background.
#include <gtest/gtest.h>

#include <iterator>

#include "framework/dialog.h"
#include "resource.h"
#include "win/icon_directory.h"
#include "win/test_support.h"

namespace vantrel::testing {
namespace {

TEST(Icons, EachHasImagesOfItsOwnAtItsSizesInBothDepthsOnAClearBackground) {
  // The first six are pages, shown 32x32 as well as 16x16.
  const int icons[] = {IDI_CONTROL, IDI_SCHEMES, IDI_BATTERIES, IDI_POLICY, IDI_SPARE_PAGE, IDI_APP,
                       IDI_EXIT, IDI_HIBERNATE, IDI_SLEEP, IDI_HOURS, IDI_MINUTES, IDI_SHUTDOWN, IDI_LOGOFF,
                       IDI_REBOOT, IDI_TAB_USER, IDI_TAB_MACHINE, IDI_TAB_PROCESSOR, IDI_MAINS,
                       IDI_THROTTLE_CONSTANT, IDI_THROTTLE_NONE, IDI_THROTTLE_ADAPTIVE, IDI_THROTTLE_DEGRADE};
  for (size_t i = 0; i < std::size(icons); ++i) {
    for (int size : {16, 32}) {
      for (int bits : {32, 8}) {
        if (size == 32 && i >= 6) continue;
        SCOPED_TRACE(::testing::Message() << "icon " << icons[i] << " at " << size << ", " << bits << " bits");
        fw::UniqueIcon image(LoadIconImage(fw::ResourceInstance(), icons[i], size, bits));
        ASSERT_TRUE(image);
        Canvas on_white(size, size, RGB(255, 255, 255)), on_black(size, size, RGB(0, 0, 0));
        for (HDC dc : {on_white.dc(), on_black.dc()}) ::DrawIconEx(dc, 0, 0, image, size, size, 0, nullptr, DI_NORMAL);
        int clear = 0, drawn = 0;
        for (int y = 0; y < size; ++y) {
          for (int x = 0; x < size; ++x) {
            clear += on_white.At(x, y) == RGB(255, 255, 255) && on_black.At(x, y) == RGB(0, 0, 0);
            drawn += on_white.At(x, y) == on_black.At(x, y);
          }
        }
        // Neither a filled square nor an empty picture.
        EXPECT_GE(clear, size * size / 20);
        EXPECT_GE(drawn, size * size / 10);
      }
    }
  }
}

}  // namespace
}  // namespace vantrel::testing
