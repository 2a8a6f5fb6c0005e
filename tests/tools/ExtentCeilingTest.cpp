#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "layout/FormControlObj.h"
#include "layout/ImageObj.h"
#include "tools/PageRender.h"

namespace {

// Pages whose sizes reach the extent ceiling from every side: cells,
// columns, spans, paddings, floats, rules and nesting all add such sizes
// up. Each is laid out at two widths, drawn at offsets across its height,
// hit-tested over a grid and dumped; under the sanitizers any arithmetic
// that overflows on the way aborts the test.
TEST(ExtentCeiling, PagesOfHugeSizesLayOutDrawAndHitTest) {
  const std::string big = "2147483647";
  const std::string image = "<IMG SRC=\"photo.jpg\" HEIGHT=" + big + ">";
  const std::string pages[] = {
      "<TABLE><TR><TD>" + image + "<TD>" + image + "<TD>" + image + "<TD>" + image + "</TABLE>",
      "<TABLE BORDER CELLSPACING=40 CELLPADDING=50><TR><TD WIDTH=" + big + ">a<TD WIDTH=" + big +
          " HEIGHT=" + big + ">b<TR><TD COLSPAN=2 ROWSPAN=" + big + "><IMG WIDTH=" + big +
          " HEIGHT=" + big + " ALIGN=right>c</TABLE>",
      "<TABLE WIDTH=" + big + "><CAPTION><IMG WIDTH=" + big + " HEIGHT=" + big +
          "></CAPTION><TR><TD><TABLE WIDTH=" + big + "><TR><TD WIDTH=" + big + ">" + image +
          "</TABLE><TD><HR WIDTH=" + big + " ALIGN=right></TABLE>",
      "<IMG WIDTH=" + big + " HEIGHT=" + big + " ALIGN=left HSPACE=" + big + "><IMG WIDTH=" + big +
          " HEIGHT=" + big + " ALIGN=right>text <IMG WIDTH=" + big + " HEIGHT=" + big +
          " ALIGN=middle> more<BR CLEAR=all><UL><LI><UL><LI>" + image + "</UL></UL>",
      "<PRE>" + image + " " + image + "</PRE><TABLE ALIGN=left HSPACE=" + big + " WIDTH=" + big +
          "><TR><TD>x</TABLE>" + image + "<FORM><INPUT SIZE=" + big + "><TEXTAREA ROWS=" + big +
          " COLS=" + big + "></TEXTAREA><SELECT SIZE=" + big + "><OPTION>a</SELECT></FORM>",
  };
  for (const std::string& html : pages) {
    SCOPED_TRACE(html);
    tools::PageSettings settings;
    settings.FontName = settings.PreFontName = std::string(platform::kTestFontName);
    for (const int width : {600, 2000}) {
      settings.Width = width;
      tools::LaidOutPage page = tools::LayOutHtml(html, settings);
      layout::TSectionList& doc = *page.Document;
      EXPECT_LE(page.Height, base::kMaxExtent);
      platform::Bitmap window(300, 200);
      platform::TCanvas canvas(window);
      for (const int64_t step : {0, 1, 2, 3, 4}) {
        const int y = static_cast<int>(int64_t{page.Height} * step / 4);
        doc.SetYOffset(y);
        doc.Draw(canvas, {0, 0, 300, 200}, width, 10, 5);
        for (int px = -1; px < 300; px += 37)
          for (int py = -1; py < 200; py += 41) {
            std::unique_ptr<base::TUrlTarget> url;
            layout::TFormControlObj* control = nullptr;
            doc.GetUrlAt(canvas, px, y + py, url, control);
            layout::TImageObj* object = nullptr;
            int insideX = 0, insideY = 0;
            doc.GetObjectAt(px, y + py, object, insideX, insideY);
            int caretX = 0, caretY = 0, caretHeight = 0;
            bool inside = false;
            layout::TCell* cell = nullptr;
            doc.PointToPos(canvas, px, y + py, caretX, caretY, caretHeight, inside, cell);
          }
      }
      std::ostringstream dump;
      tools::DumpDocument(page, dump);
      EXPECT_FALSE(dump.str().empty());
    }
  }
}

}  // namespace
