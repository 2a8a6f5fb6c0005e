#include "platform/BmpReader.h"

#include <gtest/gtest.h>

#include <QImage>
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

// Every BMP Suite file is a case of its own: good ones must match one of
// their reference pictures, the others must not crash and, when they
// decode, keep the claimed size.
struct SuiteRow {
  std::string file;
  std::vector<std::string> references;
};

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
    SuiteRow row{fields[0], {}};
    std::stringstream refs(fields[10]);
    while (refs >> field) row.references.push_back(field);
    rows.push_back(row);
  }
  return rows;
}

bool MatchesReference(const Bitmap& bmp, const fs::path& reference) {
  QImage expected(QString::fromStdString(reference.string()));
  if (expected.isNull()) return false;
  expected = expected.convertToFormat(QImage::Format_ARGB32);
  if (expected.width() != bmp.Width() || expected.height() != bmp.Height()) return false;
  // Bit-field files may differ by one step of rounding; alpha is ignored
  // where the reference is not opaque.
  for (int y = 0; y < bmp.Height(); ++y)
    for (int x = 0; x < bmp.Width(); ++x) {
      const QRgb want = expected.pixel(x, y);
      if (qAlpha(want) != 255) continue;
      const TColor got = bmp.GetPixel(x, y);
      if (std::abs(GetRValue(got) - qRed(want)) > 1 ||
          std::abs(GetGValue(got) - qGreen(want)) > 1 || std::abs(GetBValue(got) - qBlue(want)) > 1)
        return false;
    }
  return true;
}

class BmpSuite : public ::testing::TestWithParam<SuiteRow> {};

TEST_P(BmpSuite, DecodesSafely) {
  const SuiteRow& row = GetParam();
  const fs::path dir = *testing_support::SharedTestData("bmpsuite");
  const std::optional<Bitmap> bmp = ReadBmp(ReadFile(dir / row.file));
  if (row.file.rfind("good/", 0) != 0) return;  // not crashing is all that is asked
  ASSERT_TRUE(bmp) << "refused";
  bool matched = row.references.empty();
  for (const std::string& ref : row.references)
    matched = matched || MatchesReference(*bmp, dir / ref);  // paths relative to the suite
  EXPECT_TRUE(matched) << "pixels differ from every reference";
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
