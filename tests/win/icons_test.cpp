// The program's icons: each one the menus, pages and lists ask for is in the resources, with
// images of its own at the sizes it is shown, in full colour with alpha and in 256 colours for
// displays without it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "resource.h"
#include "win/icon_directory.h"

namespace vantrel::testing {
namespace {

struct Wanted {
  int id;
  bool page;  // shown 32x32 in the page list as well as 16x16
};

constexpr Wanted kIcons[] = {
    {IDI_CONTROL, true},       {IDI_SCHEMES, true},         {IDI_BATTERIES, true},
    {IDI_POLICY, true},        {IDI_SPARE_PAGE, true},      {IDI_APP, true},
    {IDI_EXIT, false},         {IDI_HIBERNATE, false},      {IDI_SLEEP, false},
    {IDI_HOURS, false},        {IDI_MINUTES, false},        {IDI_SHUTDOWN, false},
    {IDI_LOGOFF, false},       {IDI_REBOOT, false},         {IDI_TAB_USER, false},
    {IDI_TAB_MACHINE, false},  {IDI_TAB_PROCESSOR, false},  {IDI_MAINS, false},
    {IDI_THROTTLE_CONSTANT, false}, {IDI_THROTTLE_NONE, false}, {IDI_THROTTLE_ADAPTIVE, false},
    {IDI_THROTTLE_DEGRADE, false},
};

std::vector<int> Sizes(const Wanted& icon) { return icon.page ? std::vector<int>{16, 32} : std::vector<int>{16}; }

// Width and height of a loaded icon's colour image.
SIZE LoadedSize(HICON icon) {
  ICONINFO info{};
  if (!::GetIconInfo(icon, &info)) return SIZE{0, 0};
  fw::UniqueBitmap colour(info.hbmColor);
  fw::UniqueBitmap mask(info.hbmMask);
  BITMAP bitmap{};
  if (!colour || !::GetObjectA(colour.get(), sizeof bitmap, &bitmap)) return SIZE{0, 0};
  return SIZE{bitmap.bmWidth, bitmap.bmHeight};
}

// Shares of an image's pixels that are fully transparent and that are drawn, read from the
// stored image: the alpha channel at 32 bits, the transparency mask at 8.
struct Coverage {
  double transparent = 0;
  double drawn = 0;
};

Coverage ImageCoverage(const uint8_t* bytes, DWORD length, int size, int bits) {
  BITMAPINFOHEADER header{};
  if (length < sizeof header) return {};
  std::memcpy(&header, bytes, sizeof header);
  const DWORD palette = bits == 8 ? 256 * 4 : 0;
  const DWORD colour_stride = static_cast<DWORD>((size * bits + 31) / 32 * 4);
  const DWORD mask_stride = static_cast<DWORD>((size + 31) / 32 * 4);
  const DWORD pixels = header.biSize + palette;
  const DWORD mask = pixels + colour_stride * static_cast<DWORD>(size);
  if (header.biWidth != size || header.biHeight != 2 * size || header.biBitCount != bits ||
      length < mask + mask_stride * static_cast<DWORD>(size)) {
    return {};
  }
  int transparent = 0;
  int drawn = 0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      bool clear = false;
      bool opaque = false;
      if (bits == 32) {
        const uint8_t alpha = bytes[pixels + colour_stride * static_cast<DWORD>(y) + static_cast<DWORD>(x) * 4 + 3];
        clear = alpha == 0;
        opaque = alpha == 255;
      } else {
        clear = (bytes[mask + mask_stride * static_cast<DWORD>(y) + static_cast<DWORD>(x / 8)] & (0x80 >> (x % 8))) != 0;
        opaque = !clear;
      }
      transparent += clear;
      drawn += opaque;
    }
  }
  const double all = size * size;
  return Coverage{transparent / all, drawn / all};
}

TEST(Icons, EachLoadsAtTheSizesItIsShownFromImagesOfItsOwn) {
  const HINSTANCE module = fw::ResourceInstance();
  for (const Wanted& wanted : kIcons) {
    for (int size : Sizes(wanted)) {
      SCOPED_TRACE(::testing::Message() << "icon " << wanted.id << " at " << size);
      fw::UniqueIcon icon(static_cast<HICON>(
          ::LoadImageA(module, MAKEINTRESOURCEA(wanted.id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
      ASSERT_TRUE(icon);
      const SIZE loaded = LoadedSize(icon.get());
      EXPECT_EQ(loaded.cx, size);
      EXPECT_EQ(loaded.cy, size);
      // Drawn for this size in both depths, not scaled from another image.
      for (int bits : {32, 8}) {
        fw::UniqueIcon image(LoadIconImage(module, wanted.id, size, bits));
        EXPECT_TRUE(image) << bits << " bits";
      }
    }
  }
}

TEST(Icons, StandOnATransparentBackgroundInBothDepths) {
  const HINSTANCE module = fw::ResourceInstance();
  for (const Wanted& wanted : kIcons) {
    for (int size : Sizes(wanted)) {
      for (int bits : {32, 8}) {
        SCOPED_TRACE(::testing::Message() << "icon " << wanted.id << " at " << size << ", " << bits << " bits");
        DWORD length = 0;
        const uint8_t* bytes = IconImageBytes(module, wanted.id, size, bits, &length);
        ASSERT_NE(bytes, nullptr);
        const Coverage coverage = ImageCoverage(bytes, length, size, bits);
        // Neither a filled square nor an empty picture: a shape on a clear background.
        EXPECT_GE(coverage.transparent, 0.05);
        EXPECT_GE(coverage.drawn, 0.1);
      }
    }
  }
}

TEST(Icons, NoTwoIdsShareTheirArtwork) {
  const HINSTANCE module = fw::ResourceInstance();
  std::vector<std::vector<uint8_t>> seen;
  for (const Wanted& wanted : kIcons) {
    DWORD length = 0;
    const uint8_t* bytes = IconImageBytes(module, wanted.id, 16, 32, &length);
    ASSERT_NE(bytes, nullptr) << "icon " << wanted.id;
    std::vector<uint8_t> image(bytes, bytes + length);
    for (const auto& other : seen) EXPECT_NE(image, other) << "icon " << wanted.id << " repeats another";
    seen.push_back(image);
  }
}

}  // namespace
}  // namespace vantrel::testing
