#include "platform/BmpReader.h"

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Little-endian writer for hand-made files.
struct Bytes {
  std::vector<uint8_t> data;
  Bytes& u8(uint8_t v) {
    data.push_back(v);
    return *this;
  }
  Bytes& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
  Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
};

// File header + 40-byte info header.
Bytes Headers(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
              uint32_t paletteEntries, uint32_t fileSize) {
  Bytes b;
  b.u8('B').u8('M').u32(fileSize).u32(0).u32(14 + 40 + 4 * paletteEntries);
  b.u32(40).u32(width).u32(height).u16(1).u16(bits).u32(compression).u32(0);
  b.u32(2835).u32(2835).u32(paletteEntries).u32(0);
  return b;
}

TEST(ReadBmp, BottomUp24BitWithRowPadding) {
  Bytes b = Headers(1, 2, 24, 0, 0, 62);
  b.u8(0xFF).u8(0).u8(0).u8(0);  // bottom row: blue, padded to 4 bytes
  b.u8(0).u8(0).u8(0xFF).u8(0);  // top row: red
  const auto bmp = ReadBmp(b.data);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->GetPixel(0, 0), clRed);
  EXPECT_EQ(bmp->GetPixel(0, 1), clBlue);
}

TEST(ReadBmp, Rle8RunsDeltasAndAbsoluteRuns) {
  Bytes b = Headers(4, 2, 8, 1, 2, 0);
  b.u32(0x00000000).u32(0x00FFFFFF);      // palette: black, white
  b.u8(2).u8(1);                          // two white
  b.u8(0).u8(2).u8(1).u8(1);              // delta right 1, up 1
  b.u8(0).u8(3).u8(1).u8(0).u8(1).u8(0);  // absolute run of 3, padded
  b.u8(0).u8(1);                          // end of bitmap
  const auto bmp = ReadBmp(b.data);
  ASSERT_TRUE(bmp);
  // Bottom row (y = 1): white white black black(undefined stays black).
  EXPECT_EQ(bmp->GetPixel(0, 1), clWhite);
  EXPECT_EQ(bmp->GetPixel(1, 1), clWhite);
  EXPECT_EQ(bmp->GetPixel(2, 1), clBlack);
  // Top row: the delta moved to x = 3, the run writes one pixel and clips.
  EXPECT_EQ(bmp->GetPixel(3, 0), clWhite);
  EXPECT_EQ(bmp->GetPixel(0, 0), clBlack);
}

TEST(ReadBmp, RefusesWhatItCannotRead) {
  EXPECT_FALSE(ReadBmp(std::vector<uint8_t>{'B', 'M'}));
  EXPECT_FALSE(ReadBmp(Headers(1, 1, 24, 0, 0, 0).data));                 // no pixels at all
  EXPECT_FALSE(ReadBmp(Headers(0, 1, 24, 0, 0, 0).u32(0).data));          // zero width
  EXPECT_FALSE(ReadBmp(Headers(1, 1, 7, 0, 0, 0).u32(0).data));           // 7 bits
  EXPECT_FALSE(ReadBmp(Headers(1, 1, 24, 1, 0, 0).u32(0).data));          // RLE8 at 24 bits
  EXPECT_FALSE(ReadBmp(Headers(1, -1, 8, 1, 0, 0).u32(0).data));          // top-down RLE
  EXPECT_FALSE(ReadBmp(Headers(60000, 60000, 24, 0, 0, 0).u32(0).data));  // claims 10 GB
}

// RLE codes that push the position past the picture's edges. Each picture
// is 3 x 2 with a palette of black (0) and white (1); rows are listed top
// to bottom as '#' for white and '.' for black.
struct RleEdgeRow {
  std::string name;
  uint32_t compression;  // 1 = RLE8, 2 = RLE4
  std::vector<uint8_t> codes;
  std::string top, bottom;
};

class RleEdges : public ::testing::TestWithParam<RleEdgeRow> {};

TEST_P(RleEdges, StayInsideThePicture) {
  const RleEdgeRow& row = GetParam();
  Bytes b = Headers(3, 2, row.compression == 1 ? 8 : 4, row.compression, 2, 0);
  b.u32(0x00000000).u32(0x00FFFFFF);
  for (uint8_t code : row.codes) b.u8(code);
  const auto bmp = ReadBmp(b.data);
  ASSERT_TRUE(bmp);
  const auto line = [&](int y) {
    std::string s;
    for (int x = 0; x < 3; ++x) s += bmp->GetPixel(x, y) == clWhite ? '#' : '.';
    return s;
  };
  EXPECT_EQ(line(0), row.top);
  EXPECT_EQ(line(1), row.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RleEdges,
    ::testing::Values(
        // A run longer than the row is cut at the edge; the next line starts afresh.
        RleEdgeRow{"Rle8RunPastTheRow", 1, {255, 1, 0, 0, 1, 1}, "#..", "###"},
        RleEdgeRow{"Rle4RunPastTheRow", 2, {255, 0x11, 0, 0, 1, 0x10}, "#..", "###"},
        // Deltas far right and far up leave the picture; nothing more is drawn.
        RleEdgeRow{"Rle8DeltaPastTheRight", 1, {0, 2, 255, 0, 2, 1, 0, 0, 1, 1}, "#..", "..."},
        RleEdgeRow{"Rle8DeltaPastTheTop", 1, {0, 2, 0, 255, 3, 1}, "...", "..."},
        RleEdgeRow{
            "Rle4DeltaPastTheRight", 2, {0, 2, 255, 0, 2, 0x11, 0, 0, 1, 0x10}, "#..", "..."},
        // An absolute run past the row: the excess is read and dropped.
        RleEdgeRow{
            "Rle8AbsoluteRunPastTheRow", 1, {0, 5, 1, 0, 1, 1, 1, 0, 0, 0, 1, 1}, "#..", "#.#"},
        RleEdgeRow{"Rle4AbsoluteRunPastTheRow",
                   2,
                   {0, 5, 0x10, 0x11, 0x10, 0, 0, 0, 1, 0x10},
                   "#..",
                   "#.#"},
        // Lines beyond the top are ignored.
        RleEdgeRow{"Rle8EndOfLinePastTheTop", 1, {0, 0, 0, 0, 0, 0, 3, 1}, "...", "..."}),
    [](const ::testing::TestParamInfo<RleEdgeRow>& info) { return info.param.name; });

// Millions of runs past the end of one row once carried the column past
// the int range to negative values, which then passed the width check and
// wrote before the pixels. The file needs 2^31 pixels of runs: 17 MB.
TEST(ReadBmp, RunsBeyondTheIntRangeStayInTheRow) {
  Bytes b = Headers(1, 1, 8, 1, 2, 0);
  b.u32(0x00000000).u32(0x00FFFFFF);
  b.u8(1).u8(1);  // the one pixel, white
  const size_t runs = (size_t{1} << 31) / 255 + 16;
  b.data.reserve(b.data.size() + 2 * runs + 2);
  for (size_t i = 0; i < runs; ++i) b.u8(255).u8(0);  // black, all past the row
  b.u8(0).u8(1);
  const auto bmp = ReadBmp(b.data);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->GetPixel(0, 0), clWhite);
}

// A header is held to a fixed ceiling, whatever the file's length: a few
// kilobytes of RLE could otherwise ask for hundreds of megabytes.
TEST(ReadBmp, RefusesPicturesOverTheCeiling) {
  const int64_t side = kMaxPictureDimension;
  const int64_t square = 4096;  // square * square is the pixel ceiling
  static_assert(4096 * 4096 == kMaxPicturePixels);
  const auto rle8 = [](int64_t width, int64_t height) {
    Bytes b = Headers(static_cast<int32_t>(width), static_cast<int32_t>(height), 8, 1, 0, 0);
    b.data.resize(b.data.size() + 70000, 0);  // end-of-line codes
    return ReadBmp(b.data);
  };
  EXPECT_TRUE(rle8(side, 1));
  EXPECT_FALSE(rle8(side + 1, 1));
  EXPECT_FALSE(rle8(1, side + 1));
  EXPECT_FALSE(rle8(square + 1, square));
  EXPECT_FALSE(rle8(square, square + 1));
}

// Uncompressed rows cost their bytes: a 24-bit picture of 4096 x 4096 in
// 70 KB (enough for an RLE picture of that size) would still have cost
// 64 MB for a file that holds four rows of it. A cut-off file keeps showing
// what it has, and so does a 1-bit file, whose rows are 8 pixels a byte.
TEST(ReadBmp, UncompressedPicturesNeedTheirRows) {
  const auto file = [](int bits, size_t pixelBytes) {
    Bytes b = Headers(4096, 4096, static_cast<uint16_t>(bits), 0, bits == 1 ? 2 : 0, 0);
    if (bits == 1) b.u32(0x00000000).u32(0x00FFFFFF);
    b.data.resize(b.data.size() + pixelBytes, 0xFF);
    return ReadBmp(b.data);
  };
  EXPECT_FALSE(file(24, 70000));
  EXPECT_TRUE(file(24, 4096 * 4096 * 3 / 2));  // half the rows: a partial picture
  const auto mono = file(1, 4096 * 4096 / 8);
  ASSERT_TRUE(mono);
  EXPECT_EQ(mono->GetPixel(4095, 0), clWhite);

  // Small claims are believed only while small: 78 bytes claiming
  // 1024 x 1024 (4 MB of pixels; a page of 500 took 2 GB) are no picture,
  // 64 x 64 of them still decodes (black below the data).
  const auto small = [](int side) {
    Bytes b = Headers(side, side, 24, 0, 0, 0);
    b.data.resize(78, 0);
    return ReadBmp(b.data);
  };
  EXPECT_FALSE(small(1024));
  EXPECT_TRUE(small(64));
}

// Every BMP Suite file is a case of its own: good ones must match one of
// their reference pictures, questionable ones must not crash and, when they
// decode, keep the claimed size; bad ones must be refused or give a picture
// their bytes can back.
struct SuiteRow {
  std::string file;
  int64_t width = 0, height = 0;  // as the header claims; 0 where unknown
  int bpp = 0;
  std::string compression;
  std::vector<std::string> references;
};

int64_t Number(const std::string& field) {
  try {
    return std::stoll(field);
  } catch (const std::exception&) {
    return 0;  // "-" and the like
  }
}

std::vector<SuiteRow> SuiteRows() {
  std::vector<SuiteRow> rows;
  const auto dir = testing_support::SharedTestData("bmpsuite");
  if (!dir) return rows;
  std::ifstream manifest(*dir / "manifest.tsv");
  std::string line;
  std::getline(manifest, line);  // column names
  while (std::getline(manifest, line)) {
    std::vector<std::string> fields;
    std::stringstream split(line);
    std::string field;
    while (std::getline(split, field, '\t')) fields.push_back(field);
    if (fields.size() < 11) continue;
    SuiteRow row{fields[0],
                 Number(fields[4]),
                 std::abs(Number(fields[5])),
                 static_cast<int>(Number(fields[6])),
                 fields[7],
                 {}};
    std::stringstream refs(fields[10]);
    while (refs >> field)
      if (field != "-") row.references.push_back(field);
    rows.push_back(row);
  }
  return rows;
}

// Paletted and 24-bit pixels are copied, so they must be exact. Bit fields
// are scaled, and the references round where a decoder may truncate: one
// step either way. References are compared at 8 bits: 16-bit ones by their
// top 8 bits. Where a reference is not opaque only its colour is compared
// (alpha is ignored, as the screen ignores it) and only where alpha is full.
bool MatchesReference(const Bitmap& bmp, const fs::path& reference, int tolerance) {
  QImage expected(QString::fromStdString(reference.string()));
  if (expected.isNull()) return false;
  expected = expected.convertToFormat(QImage::Format_RGBA64);
  if (expected.width() != bmp.Width() || expected.height() != bmp.Height()) return false;
  for (int y = 0; y < bmp.Height(); ++y) {
    const auto* line = reinterpret_cast<const QRgba64*>(expected.constScanLine(y));
    for (int x = 0; x < bmp.Width(); ++x) {
      const QRgba64 want = line[x];
      if (want.alpha() != 0xFFFF) continue;
      const TColor got = bmp.GetPixel(x, y);
      if (std::abs(GetRValue(got) - (want.red() >> 8)) > tolerance ||
          std::abs(GetGValue(got) - (want.green() >> 8)) > tolerance ||
          std::abs(GetBValue(got) - (want.blue() >> 8)) > tolerance)
        return false;
    }
  }
  return true;
}

int Tolerance(const SuiteRow& row) {
  const bool copied = row.bpp <= 8 || row.bpp == 24 || (row.bpp == 32 && row.compression == "RGB");
  return copied ? 0 : 1;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.rfind(prefix, 0) == 0;
}

void PrintTo(const SuiteRow& row, std::ostream* os) {
  *os << row.file;
}

class BmpSuite : public ::testing::TestWithParam<SuiteRow> {};

TEST_P(BmpSuite, DecodesSafely) {
  const SuiteRow& row = GetParam();
  const fs::path dir = *testing_support::SharedTestData("bmpsuite");
  const std::vector<uint8_t> bytes = ReadFile(dir / row.file);
  const std::optional<Bitmap> bmp = ReadBmp(bytes);
  if (StartsWith(row.file, "good/")) {
    ASSERT_TRUE(bmp) << "refused";
    bool matched = row.references.empty();
    for (const std::string& ref : row.references)
      matched = matched || MatchesReference(*bmp, dir / ref, Tolerance(row));
    EXPECT_TRUE(matched) << "pixels differ from every reference";
  } else if (StartsWith(row.file, "questionable/")) {
    if (!bmp) return;  // refusing is allowed
    EXPECT_EQ(bmp->Width(), row.width);
    EXPECT_EQ(bmp->Height(), row.height);
  } else if (bmp) {
    // A bad file may give a partial picture, but never more pixels than
    // its bytes could describe (or the small size decoded regardless).
    const int64_t pixels = int64_t{bmp->Width()} * bmp->Height();
    EXPECT_LE(pixels,
              std::max<int64_t>(int64_t{1} << 20, 256 * static_cast<int64_t>(bytes.size())));
    EXPECT_LE(pixels, kMaxPicturePixels);
  }
}

INSTANTIATE_TEST_SUITE_P(Files, BmpSuite, ::testing::ValuesIn(SuiteRows()),
                         [](const ::testing::TestParamInfo<SuiteRow>& info) {
                           std::string name = info.param.file;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(BmpSuite);

TEST(BmpSuitePresence, SharedDataIsAvailable) {
  if (!testing_support::SharedTestData("bmpsuite"))
    GTEST_SKIP() << "../shared/testdata/bmpsuite is not in this checkout; its cases are skipped";
  EXPECT_FALSE(SuiteRows().empty());
}

}  // namespace
