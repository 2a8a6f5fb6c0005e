// What one drawing leaves on the canvas must not change the next: text
// after pictures, markers and tables sits on its own baseline.
#include <gtest/gtest.h>

#include <string>

#include "tools/PageRender.h"

namespace {

tools::PageSettings TestFontSettings() {
  tools::PageSettings settings;
  settings.FontName = settings.PreFontName = std::string(platform::kTestFontName);
  return settings;
}

// The lowest row with a black pixel among the columns [left, right); -1: none.
int LowestBlackRow(const platform::Bitmap& page, int left, int right) {
  for (int y = page.Height() - 1; y >= 0; --y)
    for (int x = left; x < right; ++x)
      if (page.GetPixel(x, y) == platform::clBlack) return y;
  return -1;
}

// "Hxg", a picture (missing, so its placeholder is drawn), "Hxg": in the
// test font the letters are boxes on the baseline, so both words end on
// the same row whatever the picture's alignment.
TEST(PageDrawing, TextAfterAPictureSitsOnItsBaseline) {
  for (const char* align : {"", "TOP", "MIDDLE", "BOTTOM", "LEFT", "RIGHT"}) {
    const std::string html = std::string("<P>Hxg <IMG SRC=\"none.bmp\" WIDTH=40 HEIGHT=40 ALIGN=") +
                             align + "> Hxg <B>Hxg</B>";
    tools::PageSettings settings = TestFontSettings();
    tools::LaidOutPage page = tools::LayOutHtml(html, settings);
    const platform::Bitmap drawn = tools::RenderPage(page, settings);
    const int m = settings.MarginWidth;
    // The last word's boxes: the rightmost 24 columns that hold black.
    int right = drawn.Width() - 1;
    while (right > 0 && LowestBlackRow(drawn, right, right + 1) < 0) --right;
    const int first = LowestBlackRow(drawn, m, m + 24);
    ASSERT_GE(first, 0) << align;
    EXPECT_EQ(LowestBlackRow(drawn, right - 23, right + 1), first) << "ALIGN=" << align;
  }
}

}  // namespace
