#include "platform/PngReader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <QBuffer>
#include <QImage>
#include <functional>

#include "AllocationTracker.h"
#include "platform/BmpReader.h"

namespace {

using namespace platform;

std::vector<uint8_t> SavePng(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, "PNG"));
  return {bytes.begin(), bytes.end()};
}

// What one pixel must decode to: its colour, and whether the mask marks it.
struct Pixel {
  TColor color;
  bool transparent = false;
};

struct PngRow {
  std::string name;
  std::function<QImage()> make;
  std::vector<Pixel> expected;  // row by row
  bool hasMask = false;
  int tolerance = 0;  // per channel
};

void PrintTo(const PngRow& row, std::ostream* os) {
  *os << row.name;
}

class PngKinds : public ::testing::TestWithParam<PngRow> {};

TEST_P(PngKinds, DecodeToTheirPixelsAndMask) {
  const PngRow& row = GetParam();
  const QImage image = row.make();
  std::optional<Bitmap> mask = Bitmap(1, 1, TPixelFormat::pf1bit);  // replaced or reset
  const auto bmp = ReadPng(SavePng(image), &mask);
  ASSERT_TRUE(bmp);
  ASSERT_EQ(bmp->Format(), TPixelFormat::pf32bit);
  ASSERT_EQ(bmp->Width(), image.width());
  ASSERT_EQ(bmp->Height(), image.height());
  ASSERT_EQ(mask.has_value(), row.hasMask);
  if (mask) {
    ASSERT_EQ(mask->Format(), TPixelFormat::pf1bit);
    ASSERT_EQ(mask->Width(), image.width());
    ASSERT_EQ(mask->Height(), image.height());
  }
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const Pixel& want = row.expected[static_cast<size_t>(y * image.width() + x)];
      const TColor got = bmp->GetPixel(x, y);
      EXPECT_NEAR(GetRValue(got), GetRValue(want.color), row.tolerance) << x << "," << y;
      EXPECT_NEAR(GetGValue(got), GetGValue(want.color), row.tolerance) << x << "," << y;
      EXPECT_NEAR(GetBValue(got), GetBValue(want.color), row.tolerance) << x << "," << y;
      EXPECT_EQ(bmp->Row32(y)[x] >> 24, 0u) << "fourth byte at " << x << "," << y;
      if (mask) {
        EXPECT_EQ(mask->GetRaw(x, y), want.transparent ? 1u : 0u) << x << "," << y;
      }
    }
}

QImage Opaque() {
  QImage image(2, 2, QImage::Format_RGB32);
  image.setPixel(0, 0, qRgb(255, 0, 0));
  image.setPixel(1, 0, qRgb(0, 255, 0));
  image.setPixel(0, 1, qRgb(0, 0, 255));
  image.setPixel(1, 1, qRgb(12, 34, 56));
  return image;
}

// Alpha either side of the threshold: below 128 is transparent.
QImage Alpha() {
  QImage image(4, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(10, 20, 30, 0));
  image.setPixel(1, 0, qRgba(10, 20, 30, 127));
  image.setPixel(2, 0, qRgba(10, 20, 30, 128));
  image.setPixel(3, 0, qRgba(10, 20, 30, 255));
  return image;
}

QImage PaletteWithTransparentEntry() {
  QImage image(3, 1, QImage::Format_Indexed8);
  image.setColorTable({qRgba(0, 0, 0, 0), qRgb(200, 0, 0), qRgb(0, 0, 200)});
  image.setPixel(0, 0, 1);
  image.setPixel(1, 0, 0);
  image.setPixel(2, 0, 2);
  return image;
}

QImage Grey() {
  QImage image(3, 1, QImage::Format_Grayscale8);
  image.scanLine(0)[0] = 0;
  image.scanLine(0)[1] = 77;
  image.scanLine(0)[2] = 255;
  return image;
}

// 16-bit samples round to the nearest 8-bit value (v / 257).
QImage Deep() {
  QImage image(2, 1, QImage::Format_RGBX64);
  auto* line = reinterpret_cast<QRgba64*>(image.scanLine(0));
  line[0] = QRgba64::fromRgba64(0x12F0, 0x8080, 0xFFFF, 0xFFFF);
  line[1] = QRgba64::fromRgba64(0x0000, 0x0101, 0x7F00, 0xFFFF);
  return image;
}

QImage Mono() {
  QImage image(9, 1, QImage::Format_Mono);
  image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  for (int x = 0; x < 9; ++x) image.setPixel(x, 0, x % 3 == 0 ? 1 : 0);
  return image;
}

std::vector<Pixel> MonoPixels() {
  std::vector<Pixel> p;
  for (int x = 0; x < 9; ++x) p.push_back({x % 3 == 0 ? RGB(255, 255, 255) : RGB(0, 0, 0)});
  return p;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PngKinds,
    ::testing::Values(
        PngRow{"OpaqueHasNoMask",
               Opaque,
               {{RGB(255, 0, 0)}, {RGB(0, 255, 0)}, {RGB(0, 0, 255)}, {RGB(12, 34, 56)}}},
        PngRow{"AlphaBelowHalfIsTransparentAndBlack",
               Alpha,
               {{0, true}, {0, true}, {RGB(10, 20, 30)}, {RGB(10, 20, 30)}},
               true},
        PngRow{"PaletteWithTransparentEntry",
               PaletteWithTransparentEntry,
               {{RGB(200, 0, 0)}, {0, true}, {RGB(0, 0, 200)}},
               true},
        PngRow{"Grey", Grey, {{RGB(0, 0, 0)}, {RGB(77, 77, 77)}, {RGB(255, 255, 255)}}},
        PngRow{"SixteenBitsRoundToEight",
               Deep,
               {{RGB(0x13, 0x80, 0xFF)}, {RGB(0, 1, 0x7F)}},
               false,
               1},
        PngRow{"OneBit", Mono, MonoPixels()}),
    [](const ::testing::TestParamInfo<PngRow>& info) { return info.param.name; });

// Without a mask the stored colours stay, transparent or not.
TEST(ReadPng, WithoutAMaskColoursAreKept) {
  const auto bmp = ReadPng(SavePng(Alpha()));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->GetPixel(1, 0), RGB(10, 20, 30));
  EXPECT_EQ(bmp->Row32(0)[1] >> 24, 0u);
}

// ---------------------------------------------------------------------------
// Files Qt does not write: interlaced, grey with alpha, a 16-bit
// transparent grey. Written with the library's encoder.

struct Written {
  int width, height;
  int bitDepth, colorType;
  bool interlaced = false;
  std::vector<uint16_t> samples;  // channels per pixel, row by row
  std::optional<uint16_t> transparentGrey;
};

std::vector<uint8_t> WritePng(const Written& w) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t length) {
        auto* o = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        o->insert(o->end(), data, data + length);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w.width), static_cast<png_uint_32>(w.height),
               w.bitDepth, w.colorType, w.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (w.transparentGrey) {
    png_color_16 grey{};
    grey.gray = *w.transparentGrey;
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  png_write_info(png, info);
  const int channels = w.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                       : w.colorType == PNG_COLOR_TYPE_RGB      ? 3
                       : w.colorType == PNG_COLOR_TYPE_RGBA     ? 4
                                                                : 1;
  const size_t bytesPerSample = w.bitDepth == 16 ? 2 : 1;
  std::vector<std::vector<uint8_t>> rows(static_cast<size_t>(w.height));
  std::vector<png_bytep> pointers;
  for (int y = 0; y < w.height; ++y) {
    for (int i = 0; i < w.width * channels; ++i) {
      const uint16_t v = w.samples[static_cast<size_t>(y * w.width * channels + i)];
      if (bytesPerSample == 2) rows[y].push_back(static_cast<uint8_t>(v >> 8));
      rows[y].push_back(static_cast<uint8_t>(v));
    }
    pointers.push_back(rows[y].data());
  }
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(ReadPng, InterlacedGreyWithAlpha) {
  Written w{9, 9, 8, PNG_COLOR_TYPE_GRAY_ALPHA, true, {}, std::nullopt};
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      w.samples.push_back(static_cast<uint16_t>(x * 20 + y));
      w.samples.push_back((x + y) % 2 ? 0 : 255);
    }
  std::optional<Bitmap> mask;
  const auto bmp = ReadPng(WritePng(w), &mask);
  ASSERT_TRUE(bmp && mask);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      const bool transparent = (x + y) % 2 != 0;
      const uint8_t v = static_cast<uint8_t>(x * 20 + y);
      EXPECT_EQ(mask->GetRaw(x, y), transparent ? 1u : 0u) << x << "," << y;
      EXPECT_EQ(bmp->GetPixel(x, y), transparent ? RGB(0, 0, 0) : RGB(v, v, v)) << x << "," << y;
    }
}

// tRNS on a 16-bit grey picture names a 16-bit value: only that one is
// transparent, not its 8-bit neighbours.
TEST(ReadPng, SixteenBitTransparentGreyIsExact) {
  Written w{3, 1, 16, PNG_COLOR_TYPE_GRAY, false, {0x4000, 0x4001, 0x8000}, uint16_t{0x4001}};
  std::optional<Bitmap> mask;
  const auto bmp = ReadPng(WritePng(w), &mask);
  ASSERT_TRUE(bmp && mask);
  EXPECT_EQ(mask->GetRaw(0, 0), 0u);
  EXPECT_EQ(mask->GetRaw(1, 0), 1u);
  EXPECT_EQ(mask->GetRaw(2, 0), 0u);
  EXPECT_EQ(bmp->GetPixel(1, 0), RGB(0, 0, 0));
  EXPECT_NEAR(GetRValue(bmp->GetPixel(2, 0)), 0x80, 1);
}

// ---------------------------------------------------------------------------
// Data to refuse, with any mask reset.

// A PNG made of chunks whose check values are right.
struct Chunks {
  std::vector<uint8_t> data;
  Chunks() {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    data.assign(kSignature, kSignature + 8);
  }
  Chunks& Add(const char* type, const std::vector<uint8_t>& body) {
    const auto u32 = [&](uint32_t v) {
      for (int s = 24; s >= 0; s -= 8) data.push_back(static_cast<uint8_t>(v >> s));
    };
    u32(static_cast<uint32_t>(body.size()));
    const size_t start = data.size();
    data.insert(data.end(), type, type + 4);
    data.insert(data.end(), body.begin(), body.end());
    u32(static_cast<uint32_t>(
        crc32(0, data.data() + start, static_cast<uInt>(data.size() - start))));
    return *this;
  }
};

std::vector<uint8_t> Ihdr(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType) {
  return {static_cast<uint8_t>(width >> 24),
          static_cast<uint8_t>(width >> 16),
          static_cast<uint8_t>(width >> 8),
          static_cast<uint8_t>(width),
          static_cast<uint8_t>(height >> 24),
          static_cast<uint8_t>(height >> 16),
          static_cast<uint8_t>(height >> 8),
          static_cast<uint8_t>(height),
          depth,
          colorType,
          0,
          0,
          0};
}

// A zlib stream of `bytes` zero bytes.
std::vector<uint8_t> Deflated(size_t bytes) {
  std::vector<uint8_t> raw(bytes, 0);
  uLongf size = compressBound(static_cast<uLong>(bytes));
  std::vector<uint8_t> out(size);
  compress2(out.data(), &size, raw.data(), static_cast<uLong>(bytes), 9);
  out.resize(size);
  return out;
}

// A picture whose rows do not deflate much.
QImage Noise(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32);
  uint32_t state = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1103515245 + 12345;
      image.setPixel(x, y, state | 0x80000000u);
    }
  return image;
}

struct BadPng {
  std::string name;
  std::vector<uint8_t> data;
};

void PrintTo(const BadPng& row, std::ostream* os) {
  *os << row.name;
}

class BadPngs : public ::testing::TestWithParam<BadPng> {};

TEST_P(BadPngs, AreRefusedWithoutTheirClaimedMemory) {
  std::optional<Bitmap> mask = Bitmap(1, 1, TPixelFormat::pf1bit);
  std::optional<Bitmap> bmp;
  size_t largest = 0;
  {
    const testing_support::LargestAllocation tracker;
    bmp = ReadPng(GetParam().data, &mask);
    largest = tracker.Bytes();
  }
  EXPECT_FALSE(bmp);
  EXPECT_FALSE(mask);
  EXPECT_LT(largest, size_t{1} << 20);
}

std::vector<BadPng> BadPngRows() {
  const std::vector<uint8_t> good = SavePng(Noise(64, 64));
  std::vector<uint8_t> flipped = good;
  flipped[flipped.size() / 2] ^= 0x01;  // inside IDAT: its check value fails
  const auto cut = [&](size_t size) {
    return std::vector<uint8_t>(good.begin(), good.begin() + size);
  };
  return {
      {"Empty", {}},
      {"NotAPng", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0}},
      {"SignatureOnly", cut(8)},
      {"CutInTheHeader", cut(20)},
      {"CutInTheData", cut(good.size() / 2)},
      {"CutInTheLastRows", cut(good.size() - 12 - 16)},  // IEND is 12 bytes
      {"DamagedData", flipped},
      {"ZeroWidth", Chunks().Add("IHDR", Ihdr(0, 4, 8, 2)).Add("IEND", {}).data},
      {"WiderThanTheCeiling",
       Chunks().Add("IHDR", Ihdr(kMaxPictureDimension + 1, 1, 8, 2)).Add("IEND", {}).data},
      {"MorePixelsThanTheCeiling",
       Chunks().Add("IHDR", Ihdr(8192, 4096, 1, 0)).Add("IEND", {}).data},
      // 2000 x 2000 RGBA is 16 MB of rows: no deflate stream of a few
      // bytes holds them, so nothing is allocated for it.
      {"ClaimsMoreThanItsBytesHold", Chunks()
                                         .Add("IHDR", Ihdr(2000, 2000, 8, 6))
                                         .Add("IDAT", Deflated(100))
                                         .Add("IEND", {})
                                         .data},
  };
}

INSTANTIATE_TEST_SUITE_P(Data, BadPngs, ::testing::ValuesIn(BadPngRows()),
                         [](const ::testing::TestParamInfo<BadPng>& info) {
                           return info.param.name;
                         });

// As dense as deflate gets, a large picture is believed: 2048 x 2048 of
// 1-bit pixels in a few kilobytes.
TEST(ReadPng, DensestFileDecodes) {
  const size_t rows = 2048, rowBytes = 1 + 2048 / 8;
  const std::vector<uint8_t> data = Chunks()
                                        .Add("IHDR", Ihdr(2048, 2048, 1, 0))
                                        .Add("IDAT", Deflated(rows * rowBytes))
                                        .Add("IEND", {})
                                        .data;
  ASSERT_LT(data.size(), 1000u);
  const auto bmp = ReadPng(data);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->Width(), 2048);
  EXPECT_EQ(bmp->GetPixel(2047, 2047), RGB(0, 0, 0));
}

// A 1 x 1 picture whose image data inflates to 96 MB (a decompression
// bomb; the real ones give gigabytes and took minutes): its one row is
// decoded and the rest is not inflated, whatever follows it.
TEST(ReadPng, ADecompressionBombGivesItsRowsAndNoMore) {
  const std::vector<uint8_t> bomb = Deflated(size_t{96} << 20);
  ASSERT_GT(bomb.size(), 90000u);  // past what one row can need
  const std::vector<uint8_t> data =
      Chunks().Add("IHDR", Ihdr(1, 1, 8, 0)).Add("IDAT", bomb).Add("IEND", {}).data;
  const auto bmp = ReadPng(data);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->Width(), 1);
  EXPECT_EQ(bmp->GetPixel(0, 0), RGB(0, 0, 0));
}

}  // namespace
