#include "tools/PageRender.h"

#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "TestSupport.h"

namespace {

// A page written to PNG in bands must have exactly the pixels of the page
// drawn whole, wherever the band edges cut its lines, rules and bullets.
struct BandRow {
  std::string name;
  std::string html;  // empty: the demo page named `name`
  int bandRows;
};

class BandedPng : public ::testing::TestWithParam<BandRow> {};

TEST_P(BandedPng, MatchesThePageDrawnWhole) {
  const BandRow& row = GetParam();
  tools::PageSettings settings;
  tools::LaidOutPage page =
      row.html.empty()
          ? tools::LayOutFile(testing_support::SourceDir() / "demo/HTML" / (row.name + ".htm"),
                              settings)
          : tools::LayOutHtml(row.html, settings);
  const platform::Bitmap whole = tools::RenderPage(page, settings);

  testing_support::TempDir dir;
  const std::string path = (dir.Path() / "page.png").string();
  std::string error;
  ASSERT_TRUE(tools::WritePagePng(page, settings, path, error, row.bandRows)) << error;
  const QImage written = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(written.width(), whole.Width());
  ASSERT_EQ(written.height(), whole.Height());
  for (int y = 0; y < whole.Height(); ++y)
    for (int x = 0; x < whole.Width(); ++x)
      ASSERT_EQ(written.pixel(x, y) & 0x00FFFFFFu, whole.Row32(y)[x]) << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BandedPng,
    ::testing::Values(BandRow{"soft", "", 7}, BandRow{"help", "", 13}, BandRow{"products", "", 1},
                      BandRow{"Rules", "<P>a<HR><HR SIZE=5 WIDTH=50%><HR NOSHADE>b", 3},
                      BandRow{"Lists", "<UL><LI>one<LI>two<UL><LI>three</UL></UL><OL><LI>x</OL>",
                              5},
                      BandRow{"OneBand", "<H1>Title</H1>text", 0},
                      BandRow{"Tables",
                              "<TABLE BORDER=2 BGCOLOR=yellow BORDERCOLOR=red CELLPADDING=4>"
                              "<CAPTION>cap</CAPTION><TR><TH>head<TD BGCOLOR=lime>cell<BR>two"
                              "<TR><TD COLSPAN=2><TABLE BORDER ALIGN=right><TD>inner</TABLE>x"
                              "</TABLE><TABLE><TD>after<CAPTION ALIGN=bottom>below</TABLE>",
                              6}),
    [](const ::testing::TestParamInfo<BandRow>& info) { return info.param.name; });

// Narrow pages, very large fonts and wide pages: the band bitmap must be
// one the platform can make, and every band must hold page rows.
TEST(BandedPng, BandsFitThePlatformForAnyPage) {
  const struct {
    int width, height, size;
  } cases[] = {{5, 80000, 12},       {1, 2000000000, 12}, {30020, 6700, 1000},
               {65536, 70000, 1000}, {572, 1, 1000},      {20010, 1000000, 1}};
  for (const auto& c : cases) {
    const tools::BandGeometry bands = tools::PlanBands(c.width, c.height, c.size, 0);
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    EXPECT_GE(bands.Rows, 1);
    EXPECT_LE(bands.Rows, c.height);
    const int64_t bandHeight = int64_t{bands.Rows} + 2 * int64_t{bands.Overlap};
    EXPECT_TRUE(platform::Bitmap::SizeIsAllowed(c.width, bandHeight));
  }
}

// A page taller than any bitmap, on a narrow layout, still becomes a PNG.
TEST(BandedPng, NarrowTallPageIsWritten) {
  tools::PageSettings settings;
  settings.FontName = settings.PreFontName = std::string(platform::kTestFontName);
  settings.Width = 5;
  std::string html;
  for (int i = 0; i < 4300; ++i) html += "x<BR>";
  tools::LaidOutPage page = tools::LayOutHtml(html, settings);
  ASSERT_GT(page.Height, platform::Bitmap::kMaxDimension);
  testing_support::TempDir dir;
  const std::string path = (dir.Path() / "tall.png").string();
  std::string error;
  ASSERT_TRUE(tools::WritePagePng(page, settings, path, error)) << error;
  const QImage written(QString::fromStdString(path));
  EXPECT_EQ(written.height(), page.Height + 2 * settings.MarginHeight);
}

// A picture as tall as a page can be would take minutes to draw and
// compress: refused at once, with the sizes, and nothing written.
TEST(BandedPng, APictureOverThePixelCeilingIsRefused) {
  tools::PageSettings settings;
  settings.FontName = settings.PreFontName = std::string(platform::kTestFontName);
  settings.Width = 30000;
  tools::LaidOutPage page =
      tools::LayOutHtml("<IMG WIDTH=30000 HEIGHT=2147483647 SRC=none.bmp>", settings);
  testing_support::TempDir dir;
  const std::string path = (dir.Path() / "huge.png").string();
  std::string error;
  EXPECT_FALSE(tools::WritePagePng(page, settings, path, error));
  EXPECT_NE(error.find("at most 268435456 pixels"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
