#include "platform/JpegReader.h"

#include <gtest/gtest.h>

// jpeglib.h uses size_t and FILE without including their headers.
#include <jpeglib.h>
#include <cstddef>
#include <cstdio>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "AllocationTracker.h"
#include "TestSupport.h"
#include "platform/BmpReader.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// ---------------------------------------------------------------------------
// Fixtures made with the encoder.

struct Encoding {
  int width = 16, height = 16;
  J_COLOR_SPACE space = JCS_RGB;  // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK samples
  int quality = 90;
  bool progressive = false;
  std::vector<jpeg_scan_info> scans;  // a scan script of its own, if any
};

// Samples of pixel (x, y): 1, 3 or 4 bytes as the colour space has.
using PixelFunction = std::function<void(int x, int y, uint8_t* samples)>;

std::vector<uint8_t> Encode(const Encoding& e, const PixelFunction& pixel) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &buffer, &size);
  c.image_width = static_cast<JDIMENSION>(e.width);
  c.image_height = static_cast<JDIMENSION>(e.height);
  c.in_color_space = e.space;
  c.input_components = e.space == JCS_GRAYSCALE ? 1 : e.space == JCS_CMYK ? 4 : 3;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, e.quality, TRUE);
  if (e.progressive) jpeg_simple_progression(&c);
  if (!e.scans.empty()) {
    c.scan_info = e.scans.data();
    c.num_scans = static_cast<int>(e.scans.size());
  }
  jpeg_start_compress(&c, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(e.width) * c.input_components);
  while (c.next_scanline < c.image_height) {
    for (int x = 0; x < e.width; ++x)
      pixel(x, static_cast<int>(c.next_scanline),
            &row[static_cast<size_t>(x) * c.input_components]);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

// Smooth colour gradients with a few edges: something to dither.
void Gradient(int x, int y, uint8_t* rgb) {
  rgb[0] = static_cast<uint8_t>(x * 4);
  rgb[1] = static_cast<uint8_t>(y * 4);
  rgb[2] = static_cast<uint8_t>(((x / 16 + y / 16) & 1) ? 200 : 40);
}

// ---------------------------------------------------------------------------
// Comparisons.

struct Rgb {
  int r, g, b;
};

Rgb RgbOf(TColor c) {
  return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

// Binary PPM (P6, maxval 255).
std::optional<QImage> ReadPpm(const fs::path& path) {
  QImage image(QString::fromStdString(path.string()));
  if (image.isNull()) return std::nullopt;
  return image.convertToFormat(QImage::Format_RGB32);
}

double Psnr(const Bitmap& bmp, const QImage& reference) {
  double squares = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      const Rgb got = RgbOf(bmp.GetPixel(x, y));
      const QRgb want = reference.pixel(x, y);
      const double dr = got.r - qRed(want), dg = got.g - qGreen(want), db = got.b - qBlue(want);
      squares += dr * dr + dg * dg + db * db;
    }
  const double mse = squares / (3.0 * bmp.Width() * bmp.Height());
  return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

int MaxDifference(const Bitmap& bmp, const QImage& reference) {
  int worst = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      const Rgb got = RgbOf(bmp.GetPixel(x, y));
      const QRgb want = reference.pixel(x, y);
      worst = std::max({worst, std::abs(got.r - qRed(want)), std::abs(got.g - qGreen(want)),
                        std::abs(got.b - qBlue(want))});
    }
  return worst;
}

// Reads every pixel, so that a sanitizer sees any that were never written.
uint64_t Checksum(const Bitmap& bmp) {
  uint64_t sum = 0;
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) sum = sum * 31 + bmp.GetPixel(x, y);
  return sum;
}

// The test palette for the 8-bit mode: a 6 x 6 x 6 colour cube.
std::vector<TColor> CubePalette() {
  std::vector<TColor> palette;
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r)
        palette.push_back(RGB(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                              static_cast<uint8_t>(b * 51)));
  return palette;
}

std::string CaseName(std::string name) {
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

// ---------------------------------------------------------------------------
// Hand-made and encoded fixtures.

TEST(ReadJpeg, DecodesColourAndGreyTo32Bits) {
  const auto colour = ReadJpeg(Encode({}, [](int, int, uint8_t* p) {
    p[0] = 200;
    p[1] = 100;
    p[2] = 50;
  }));
  ASSERT_TRUE(colour);
  EXPECT_EQ(colour->Format(), TPixelFormat::pf32bit);
  EXPECT_EQ(colour->Width(), 16);
  const Rgb c = RgbOf(colour->GetPixel(7, 7));
  EXPECT_NEAR(c.r, 200, 2);
  EXPECT_NEAR(c.g, 100, 2);
  EXPECT_NEAR(c.b, 50, 2);
  // The fourth byte of each pixel stays clear, as everywhere else.
  EXPECT_EQ(colour->Row32(7)[7] >> 24, 0u);

  Encoding grey;
  grey.space = JCS_GRAYSCALE;
  const auto g = ReadJpeg(Encode(grey, [](int, int, uint8_t* p) { *p = 90; }));
  ASSERT_TRUE(g);
  EXPECT_EQ(g->Format(), TPixelFormat::pf32bit);
  const Rgb v = RgbOf(g->GetPixel(3, 3));
  EXPECT_EQ(v.r, v.g);
  EXPECT_EQ(v.g, v.b);
  EXPECT_NEAR(v.r, 90, 1);
}

struct RefusalRow {
  std::string name;
  std::vector<uint8_t> data;
};

void PrintTo(const RefusalRow& row, std::ostream* os) {
  *os << row.name;
}

class Refusals : public ::testing::TestWithParam<RefusalRow> {};

TEST_P(Refusals, GiveNothingAndAllocateLittle) {
  const std::vector<TColor> palette = CubePalette();
  const testing_support::LargestAllocation tracker;
  EXPECT_FALSE(ReadJpeg(GetParam().data));
  EXPECT_FALSE(ReadJpeg(GetParam().data, &palette));
  EXPECT_LT(tracker.Bytes(), size_t{1} << 20);
}

// An SOF0 header for a one-component picture of the given size, and the
// tables and scan header that let decoding start.
std::vector<uint8_t> HeaderClaiming(uint16_t width, uint16_t height, size_t padding) {
  std::vector<uint8_t> b = {0xFF, 0xD8};
  // Quantisation table 0: all ones.
  b.insert(b.end(), {0xFF, 0xDB, 0x00, 0x43, 0x00});
  b.insert(b.end(), 64, 1);
  // Frame: 8-bit, height, width, one component (id 1, 1x1, table 0).
  b.insert(b.end(), {0xFF, 0xC0, 0x00, 0x0B, 0x08, static_cast<uint8_t>(height >> 8),
                     static_cast<uint8_t>(height), static_cast<uint8_t>(width >> 8),
                     static_cast<uint8_t>(width), 0x01, 0x01, 0x11, 0x00});
  // Huffman tables DC 0 and AC 0, each with one one-bit code for symbol 0.
  for (uint8_t cls : {0x00, 0x10}) {
    b.insert(b.end(), {0xFF, 0xC4, 0x00, 0x14, cls, 0x01});
    b.insert(b.end(), 15, 0);
    b.push_back(0x00);
  }
  // Scan: component 1 with tables 0/0, full spectrum.
  b.insert(b.end(), {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
  b.insert(b.end(), padding, 0x00);  // all-zero blocks: DC 0 and end of block
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Data, Refusals,
    ::testing::Values(RefusalRow{"Empty", {}}, RefusalRow{"StartOfImageOnly", {0xFF, 0xD8}},
                      RefusalRow{"NotAJpeg", {'B', 'M', 0, 0, 0, 0}},
                      RefusalRow{"NoFrame", {0xFF, 0xD8, 0xFF, 0xD9}},
                      RefusalRow{"ZeroHeight", HeaderClaiming(16, 0, 64)},
                      // Over the fixed ceilings, whatever the file's length.
                      RefusalRow{"WiderThanTheCeiling",
                                 HeaderClaiming(kMaxPictureDimension + 1, 8, 64)},
                      RefusalRow{"MorePixelsThanTheCeiling", HeaderClaiming(8192, 4096, 200000)},
                      // 16 million pixels claimed by a few hundred bytes: far beyond what
                      // any encoder gets out of them.
                      RefusalRow{"ClaimsMoreThanItsBytesHold", HeaderClaiming(4096, 4096, 64)}),
    [](const ::testing::TestParamInfo<RefusalRow>& info) { return info.param.name; });

// Within what the bytes can hold, a header's size is believed: every
// block of this file is one bit of DC and one of end of block (256 pixels
// a byte), the densest a complete baseline file can be.
TEST(ReadJpeg, DensestBaselineFileDecodes) {
  const auto bmp = ReadJpeg(HeaderClaiming(2048, 1024, 2048 * 1024 / 256));
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->Width(), 2048);
  EXPECT_EQ(bmp->Height(), 1024);
  EXPECT_EQ(bmp->GetPixel(2047, 1023), RGB(128, 128, 128));
}

// A file cut short gives the picture as far as it goes; the decoder fills
// the rest (grey), without a crash and without a word on the console.
TEST(ReadJpeg, TruncatedFileGivesAPartialPictureSilently) {
  Encoding e;
  e.width = 64;
  e.height = 64;
  const auto smooth = [](int x, int y, uint8_t* p) {
    p[0] = static_cast<uint8_t>(x * 4);
    p[1] = static_cast<uint8_t>(y * 4);
    p[2] = 40;
  };
  for (const bool progressive : {false, true}) {
    e.progressive = progressive;
    std::vector<uint8_t> data = Encode(e, smooth);
    const auto whole = ReadJpeg(data);
    ASSERT_TRUE(whole);
    // Cut halfway through the first scan's data.
    size_t sos = 2;
    while (sos + 1 < data.size() && !(data[sos] == 0xFF && data[sos + 1] == 0xDA)) ++sos;
    const size_t scanStart = sos + 2 + (data[sos + 2] << 8 | data[sos + 3]);
    size_t scanEnd = scanStart;
    while (scanEnd + 1 < data.size() && !(data[scanEnd] == 0xFF && data[scanEnd + 1] != 0))
      ++scanEnd;
    data.resize(scanStart + (scanEnd - scanStart) / 2);
    ::testing::internal::CaptureStderr();
    const auto bmp = ReadJpeg(data);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_TRUE(bmp) << (progressive ? "progressive" : "baseline");
    EXPECT_EQ(bmp->Width(), 64);
    EXPECT_EQ(bmp->Height(), 64);
    // The top left was decoded before the cut (a progressive file's first
    // scan is a coarse version of the picture); the bottom right was not.
    const Rgb got = RgbOf(bmp->GetPixel(0, 0)), want = RgbOf(whole->GetPixel(0, 0));
    EXPECT_NEAR(got.r, want.r, 12);
    EXPECT_NEAR(got.g, want.g, 12);
    EXPECT_NEAR(got.b, want.b, 12);
    EXPECT_NE(bmp->GetPixel(63, 63), whole->GetPixel(63, 63));
  }
}

// Corrupt entropy-coded data is recovered from by the decoder (a warning,
// never printed); broken headers are errors, which give nothing instead of
// ending the process.
TEST(ReadJpeg, CorruptDataNeverEndsTheProcessOrPrints) {
  Encoding e;
  e.width = 48;
  e.height = 48;
  const std::vector<uint8_t> good = Encode(e, Gradient);
  std::vector<uint8_t> scrambled = good;
  for (size_t i = scrambled.size() / 2; i < scrambled.size() - 2; i += 7) scrambled[i] ^= 0x5A;
  std::vector<uint8_t> badTable = good;
  for (size_t i = 2; i + 1 < badTable.size(); ++i)
    if (badTable[i] == 0xFF && badTable[i + 1] == 0xC4) {
      badTable[i + 4] = 0xFF;  // a Huffman table of class 15, number 15
      break;
    }
  ::testing::internal::CaptureStderr();
  const auto recovered = ReadJpeg(scrambled);
  const auto refused = ReadJpeg(badTable);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  if (recovered) {
    EXPECT_EQ(recovered->Width(), 48);
  }
  EXPECT_FALSE(refused);
}

// Every scan of a progressive file walks all its blocks again: a file of
// hundreds of scans is refused before it costs minutes. This one refines
// each coefficient bit by bit, over 700 scans.
TEST(ReadJpeg, RefusesProgressiveFilesWithTooManyScans) {
  const auto scanScript = [](int maxBit) {
    std::vector<jpeg_scan_info> scans;
    const auto add = [&](int ss, int se, int ah, int al) {
      jpeg_scan_info s{};
      s.comps_in_scan = 1;
      s.component_index[0] = 0;
      s.Ss = ss;
      s.Se = se;
      s.Ah = ah;
      s.Al = al;
      scans.push_back(s);
    };
    add(0, 0, 0, maxBit);
    for (int bit = maxBit; bit > 0; --bit) add(0, 0, bit, bit - 1);
    for (int k = 1; k < 64; ++k) {
      add(k, k, 0, maxBit);
      for (int bit = maxBit; bit > 0; --bit) add(k, k, bit, bit - 1);
    }
    return scans;
  };
  Encoding e;
  e.space = JCS_GRAYSCALE;
  e.width = e.height = 32;
  e.scans = scanScript(10);
  ASSERT_GT(e.scans.size(), 700u);
  const auto grey = [](int x, int y, uint8_t* p) { *p = static_cast<uint8_t>(x * 8 ^ y * 8); };
  EXPECT_FALSE(ReadJpeg(Encode(e, grey)));
  // The same refinement in fewer steps (64 x 3 scans) is a picture.
  e.scans = scanScript(2);
  const auto fine = ReadJpeg(Encode(e, grey));
  ASSERT_TRUE(fine);
  EXPECT_NEAR(GetRValue(fine->GetPixel(5, 9)), 5 * 8 ^ 9 * 8, 8);
}

// ---------------------------------------------------------------------------
// The 8-bit mode: against a palette, and greys as greys.

// Local averages over 4 x 4 cells: dithering trades each pixel's error for
// a correct average. (Dithered against the 6 x 6 x 6 cube, the worst cell is
// about 8 levels off; plain nearest colours can be off by 25.)
double WorstCellError(const Bitmap& indexed, const Bitmap& full) {
  double worst = 0;
  for (int cy = 0; cy + 4 <= full.Height(); cy += 4)
    for (int cx = 0; cx + 4 <= full.Width(); cx += 4) {
      double sum[2][3] = {};
      for (int y = cy; y < cy + 4; ++y)
        for (int x = cx; x < cx + 4; ++x)
          for (int i = 0; i < 2; ++i) {
            const Rgb c = RgbOf((i ? full : indexed).GetPixel(x, y));
            sum[i][0] += c.r;
            sum[i][1] += c.g;
            sum[i][2] += c.b;
          }
      for (int ch = 0; ch < 3; ++ch)
        worst = std::max(worst, std::abs(sum[0][ch] - sum[1][ch]) / 16);
    }
  return worst;
}

TEST(ReadJpeg8Bit, ColourPictureIsIndexedAgainstThePalette) {
  const std::vector<TColor> palette = CubePalette();
  Encoding e;
  e.width = 64;
  e.height = 64;
  const std::vector<uint8_t> data = Encode(e, Gradient);
  const auto full = ReadJpeg(data);
  const auto indexed = ReadJpeg(data, &palette);
  ASSERT_TRUE(full && indexed);
  EXPECT_EQ(indexed->Format(), TPixelFormat::pf8bit);
  EXPECT_EQ(indexed->Palette(), palette);
  EXPECT_LT(WorstCellError(*indexed, *full), 12.0);
  // Colours of the palette come out as themselves.
  const auto white =
      ReadJpeg(Encode(e, [](int, int, uint8_t* p) { p[0] = p[1] = p[2] = 255; }), &palette);
  ASSERT_TRUE(white);
  EXPECT_EQ(white->GetPixel(10, 10), RGB(255, 255, 255));
}

TEST(ReadJpeg8Bit, GreyPictureStaysGrey) {
  const std::vector<TColor> palette = CubePalette();
  Encoding e;
  e.space = JCS_GRAYSCALE;
  e.width = 40;
  e.height = 24;
  const std::vector<uint8_t> data =
      Encode(e, [](int x, int y, uint8_t* p) { *p = static_cast<uint8_t>(x * 6 + y); });
  const auto full = ReadJpeg(data);
  const auto grey = ReadJpeg(data, &palette);
  ASSERT_TRUE(full && grey);
  EXPECT_EQ(grey->Format(), TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i)
    ASSERT_EQ(grey->Palette()[i],
              RGB(static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)));
  for (int y = 0; y < full->Height(); ++y)
    for (int x = 0; x < full->Width(); ++x)
      ASSERT_EQ(grey->GetPixel(x, y), full->GetPixel(x, y)) << x << "," << y;
}

TEST(ReadJpeg8Bit, CmykPictureIsIndexedToo) {
  const std::vector<TColor> palette = CubePalette();
  Encoding e;
  e.space = JCS_CMYK;
  e.width = e.height = 32;
  const std::vector<uint8_t> data = Encode(e, [](int x, int, uint8_t* p) {
    p[0] = static_cast<uint8_t>(x * 8);
    p[1] = 128;
    p[2] = 255;
    p[3] = 200;
  });
  const auto full = ReadJpeg(data);
  const auto indexed = ReadJpeg(data, &palette);
  ASSERT_TRUE(full && indexed);
  EXPECT_EQ(indexed->Format(), TPixelFormat::pf8bit);
  EXPECT_EQ(indexed->Palette(), palette);
  // Nearest colours without dithering: within half a cube step.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const Rgb a = RgbOf(indexed->GetPixel(x, y)), b = RgbOf(full->GetPixel(x, y));
      ASSERT_LE(std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}), 30)
          << x << "," << y;
    }
}

// An empty palette has no colour to give: the picture comes in 32 bits.
// More than 256 entries cannot be indexed by a byte: the first 256 serve.
TEST(ReadJpeg8Bit, PaletteSizesAtTheEdges) {
  const std::vector<uint8_t> data = Encode({}, Gradient);
  const std::vector<TColor> none;
  const auto full = ReadJpeg(data, &none);
  ASSERT_TRUE(full);
  EXPECT_EQ(full->Format(), TPixelFormat::pf32bit);

  std::vector<TColor> large = CubePalette();
  while (large.size() < 300) large.push_back(RGB(1, 2, 3));
  const auto indexed = ReadJpeg(data, &large);
  ASSERT_TRUE(indexed);
  EXPECT_EQ(indexed->Palette().size(), 256u);
}

// ---------------------------------------------------------------------------
// The IJG test images.

enum class Expect { kExact, kPsnr40, kRefusedOrPsnr40, kRefusedOrSize };

struct IjgRow {
  std::string file;
  Expect expect;
  int width = 227, height = 149;
};

void PrintTo(const IjgRow& row, std::ostream* os) {
  *os << row.file;
}

class IjgImages : public ::testing::TestWithParam<IjgRow> {};

TEST_P(IjgImages, MatchTheReference) {
  const auto dir = testing_support::SharedTestData("jpeg-libjpeg-turbo");
  if (!dir) GTEST_SKIP() << "../shared/testdata/jpeg-libjpeg-turbo is not in this checkout";
  const IjgRow& row = GetParam();
  const std::optional<QImage> reference = ReadPpm(*dir / "ijg-v6a/testimg.ppm");
  ASSERT_TRUE(reference);
  const auto bmp = ReadJpeg(ReadFile(*dir / row.file));
  if (!bmp) {
    EXPECT_TRUE(row.expect == Expect::kRefusedOrPsnr40 || row.expect == Expect::kRefusedOrSize)
        << "refused";
    return;
  }
  ASSERT_EQ(bmp->Width(), row.width);
  ASSERT_EQ(bmp->Height(), row.height);
  switch (row.expect) {
    case Expect::kExact:
      EXPECT_EQ(MaxDifference(*bmp, *reference), 0);
      break;
    case Expect::kPsnr40:
    case Expect::kRefusedOrPsnr40:
      EXPECT_GT(Psnr(*bmp, *reference), 40.0);
      break;
    case Expect::kRefusedOrSize:
      break;  // no reference to compare with
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, IjgImages,
    ::testing::Values(IjgRow{"ijg-v6a/testorig.jpg", Expect::kExact},
                      IjgRow{"ijg-v6a/testprog.jpg", Expect::kExact},
                      IjgRow{"ijg-v6a/testimg.jpg", Expect::kPsnr40},
                      IjgRow{"ijg-v6a/testimgp.jpg", Expect::kPsnr40},
                      // Arithmetic coding: refused or decoded right.
                      IjgRow{"current/testimgari.jpg", Expect::kRefusedOrPsnr40},
                      // 12-bit samples: refused, or decoded at the right size.
                      IjgRow{"current/monkey12.jpg", Expect::kRefusedOrSize, 149, 227}),
    [](const ::testing::TestParamInfo<IjgRow>& info) { return CaseName(info.param.file); });

// The 8-bit mode on a real photograph: indexes near the 32-bit colours.
TEST(IjgImages8Bit, PhotographIsNearThe32BitDecode) {
  const auto dir = testing_support::SharedTestData("jpeg-libjpeg-turbo");
  if (!dir) GTEST_SKIP() << "../shared/testdata/jpeg-libjpeg-turbo is not in this checkout";
  const std::vector<TColor> palette = CubePalette();
  for (const char* file : {"ijg-v6a/testorig.jpg", "ijg-v6a/testprog.jpg"}) {
    const std::vector<uint8_t> data = ReadFile(*dir / file);
    const auto full = ReadJpeg(data);
    const auto indexed = ReadJpeg(data, &palette);
    ASSERT_TRUE(full && indexed) << file;
    EXPECT_EQ(indexed->Format(), TPixelFormat::pf8bit) << file;
    EXPECT_LT(WorstCellError(*indexed, *full), 12.0) << file;
  }
}

// ---------------------------------------------------------------------------
// The reference pairs: each JPEG against the PNG the IJG decoder made of
// it. Ours uses the same library with the same settings (accurate integer
// IDCT, smooth upsampling), so the pictures should be equal; a tolerance
// of 2 levels leaves room for a different version's rounding in
// upsampling and colour conversion, far below what a wrong decode (a
// swapped channel, a misplaced block, a missing CMYK inversion) shows.
constexpr int kReferenceTolerance = 2;

struct RefRow {
  std::string jpeg, png;
  bool disabled = false;
};

void PrintTo(const RefRow& row, std::ostream* os) {
  *os << row.jpeg;
}

std::vector<RefRow> RefRows() {
  std::vector<RefRow> rows;
  const auto dir = testing_support::SharedTestData("jpeg-decoder-reftest/reftest");
  if (!dir) return rows;
  std::set<std::string> disabled;
  std::ifstream list(*dir / "disabled.list");
  for (std::string line; std::getline(list, line);)
    if (!line.empty() && line[0] != '#') disabled.insert(line);
  std::ifstream manifest(*dir / "manifest.tsv");
  std::string line;
  std::getline(manifest, line);  // column names
  while (std::getline(manifest, line)) {
    std::stringstream split(line);
    RefRow row;
    std::getline(split, row.jpeg, '\t');
    std::getline(split, row.png, '\t');
    if (row.jpeg.empty()) continue;
    row.disabled = disabled.count(row.jpeg) > 0;
    rows.push_back(row);
  }
  return rows;
}

class ReferencePairs : public ::testing::TestWithParam<RefRow> {};

TEST_P(ReferencePairs, MatchWithinTolerance) {
  const RefRow& row = GetParam();
  const fs::path dir = *testing_support::SharedTestData("jpeg-decoder-reftest/reftest");
  const std::vector<uint8_t> data = ReadFile(dir / row.jpeg);
  const auto bmp = ReadJpeg(data);
  // Sniffed, not trusted by name: a PNG called .jpg is no JPEG.
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) {
    EXPECT_FALSE(bmp) << "not a JPEG, yet decoded";
    return;
  }
  ASSERT_TRUE(bmp) << "refused";
  QImage reference(QString::fromStdString((dir / row.png).string()));
  ASSERT_FALSE(reference.isNull());
  reference = reference.convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(bmp->Width(), reference.width());
  ASSERT_EQ(bmp->Height(), reference.height());
  // Upstream does not trust these references: size only.
  if (row.disabled) return;
  EXPECT_LE(MaxDifference(*bmp, reference), kReferenceTolerance);
}

INSTANTIATE_TEST_SUITE_P(Files, ReferencePairs, ::testing::ValuesIn(RefRows()),
                         [](const ::testing::TestParamInfo<RefRow>& info) {
                           return CaseName(info.param.jpeg);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReferencePairs);

// ---------------------------------------------------------------------------
// The crash corpus: decode or refuse, in both modes, quickly.

std::vector<std::string> CrashFiles() {
  std::vector<std::string> files;
  const auto dir = testing_support::SharedTestData("jpeg-decoder-reftest/crashtest");
  if (!dir) return files;
  for (const auto& entry : fs::recursive_directory_iterator(*dir))
    if (entry.is_regular_file() && entry.path().extension() != ".md")
      files.push_back(fs::relative(entry.path(), *dir).string());
  std::sort(files.begin(), files.end());
  return files;
}

class CrashCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(CrashCorpus, DecodesOrRefusesSafely) {
  const fs::path dir = *testing_support::SharedTestData("jpeg-decoder-reftest/crashtest");
  const std::vector<uint8_t> data = ReadFile(dir / GetParam());
  const std::vector<TColor> palette = CubePalette();
  for (const std::vector<TColor>* mode :
       {static_cast<const std::vector<TColor>*>(nullptr), &palette}) {
    const auto start = std::chrono::steady_clock::now();
    std::optional<Bitmap> bmp;
    {
      // What the file's bytes back: 512 pixels a byte, at least a megapixel.
      const testing_support::LargestAllocation tracker;
      bmp = ReadJpeg(data, mode);
      EXPECT_LE(tracker.Bytes(), 4 * std::max<size_t>(size_t{1} << 20, 512 * data.size()));
    }
    if (bmp) {
      EXPECT_LE(int64_t{bmp->Width()} * bmp->Height(), kMaxPicturePixels);
      (void)Checksum(*bmp);
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    EXPECT_LT(seconds.count(), 10.0) << (mode ? "8-bit" : "32-bit");
  }
}

INSTANTIATE_TEST_SUITE_P(Files, CrashCorpus, ::testing::ValuesIn(CrashFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return CaseName(info.param);
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CrashCorpus);

TEST(JpegSuitesPresence, SharedDataIsAvailable) {
  if (!testing_support::SharedTestData("jpeg-decoder-reftest"))
    GTEST_SKIP() << "../shared/testdata/jpeg-decoder-reftest is not in this checkout; its cases "
                    "are skipped";
  EXPECT_FALSE(RefRows().empty());
  EXPECT_FALSE(CrashFiles().empty());
}

}  // namespace
