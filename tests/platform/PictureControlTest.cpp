#include "platform/ui/PictureControl.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <string>

#include "TestSupport.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace {

using namespace platform;

Bitmap Filled(int width, int height, TColor color) {
  Bitmap bitmap(width, height);
  bitmap.Fill(color);
  return bitmap;
}

QRgb ShownAt(TImage& image, int x, int y) {
  return image.grab().toImage().pixel(x, y) & 0x00FFFFFF;
}

// A title picture is painted on every expose; converting it each time cost
// a full copy of the picture per paint.
TEST(PictureControl, ConvertsThePictureOncePerChange) {
  TImage image;
  image.SetAutoSize(true);
  image.SetPicture(Filled(8, 4, clRed));
  EXPECT_EQ(ShownAt(image, 0, 0), 0xFF0000u);
  EXPECT_EQ(ShownAt(image, 7, 3), 0xFF0000u);
  EXPECT_EQ(image.ConversionCount(), 1);

  // Drawing in place is seen at the next paint, and converted once more.
  image.PictureForEditing().SetPixel(0, 0, clBlue);
  image.NotifyPictureChanged();
  EXPECT_EQ(ShownAt(image, 0, 0), 0x0000FFu);
  EXPECT_EQ(ShownAt(image, 1, 0), 0xFF0000u);
  EXPECT_EQ(image.ConversionCount(), 2);

  image.SetPicture(Filled(8, 4, clLime));
  EXPECT_EQ(ShownAt(image, 0, 0), 0x00FF00u);
  EXPECT_EQ(image.ConversionCount(), 3);
}

// A file whose header asks for more than the picture ceiling is no picture:
// the caller hears of it, and the old picture stays.
TEST(PictureControl, OversizedFileIsNoPicture) {
  testing_support::TempDir medium;
  std::string bmp = "BM";
  const auto u16 = [&](uint32_t v) {
    bmp += static_cast<char>(v & 0xFF);
    bmp += static_cast<char>((v >> 8) & 0xFF);
  };
  const auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  u32(0), u32(0), u32(54);                                 // file size, reserved, pixel offset
  u32(40), u32(8192), u32(8192), u16(1);                   // info header: 8192 x 8192, one plane
  u16(8), u32(1), u32(0), u32(0), u32(0), u32(0), u32(0);  // RLE8, no palette
  bmp += std::string(2 << 20, '\0');                       // 2 MB of end-of-line codes
  medium.Write("big.bmp", bmp);
  SetMediumRoot(medium.Path());

  TImage image;
  image.SetPicture(Filled(2, 2, clRed));
  EXPECT_THROW(image.LoadPictureFromFile("\\big.bmp"), EInvalidGraphic);
  EXPECT_EQ(image.Picture().Width(), 2);
}

}  // namespace
