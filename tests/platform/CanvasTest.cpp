#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include "platform/GuiApplication.h"

namespace {

using namespace platform;

class CanvasTest : public ::testing::Test {
 protected:
  CanvasTest() : bitmap_(64, 32), canvas_(bitmap_) {
    bitmap_.Fill(clWhite);
    canvas_.Font.SetName(std::string(kTestFontName));
    canvas_.Font.SetHeight(-16);
  }
  // Columns of row y whose colour is c, as a string of '#' and '.'.
  std::string Row(int y, TColor c, int from = 0, int to = 24) const {
    std::string s;
    for (int x = from; x < to; ++x) s += bitmap_.GetPixel(x, y) == c ? '#' : '.';
    return s;
  }
  Bitmap bitmap_;
  TCanvas canvas_;
};

TEST_F(CanvasTest, TestFontMeasuresExactly) {
  const TTextMetric tm = canvas_.GetTextMetrics();
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent, 13);  // four fifths of 16, rounded
  EXPECT_EQ(tm.tmDescent, 3);
  EXPECT_EQ(tm.tmInternalLeading, 0);
  EXPECT_EQ(canvas_.GetTextExtentPoint32("abc"), (TSize{24, 16}));
  EXPECT_EQ(canvas_.TextWidth(""), 0);
  canvas_.Font.SetSize(10);  // 10 pt = 13 px em
  EXPECT_EQ(canvas_.Font.Height(), -13);
  EXPECT_EQ(canvas_.TextWidth("ab"), 14);  // 6.5 rounds to 7 a character
  EXPECT_EQ(canvas_.Font.Size(), 10);
}

TEST_F(CanvasTest, GlyphBoxesSitOnTheBaseline) {
  canvas_.SetBkMode(TRANSPARENT);
  canvas_.SetTextColor(clBlack);
  canvas_.SetTextAlign(TA_BASELINE);
  canvas_.TextOutA(2, 20, "a b");
  // Boxes one pixel narrower than the 8-pixel advance; the blank draws nothing.
  EXPECT_EQ(Row(19, clBlack, 0, 28), "..#######.........#######...");
  EXPECT_EQ(Row(20, clBlack), std::string(24, '.'));  // baseline row is below the box
  EXPECT_EQ(bitmap_.GetPixel(2, 12), clBlack);        // half an em tall: rows 12..19
  EXPECT_EQ(bitmap_.GetPixel(2, 11), clWhite);
}

TEST_F(CanvasTest, OpaqueBackgroundAndAlignment) {
  canvas_.SetBkMode(OPAQUE);
  canvas_.SetBkColor(clRed);
  canvas_.SetTextAlign(TA_TOP | TA_RIGHT);
  canvas_.TextOutA(40, 4, "ab");  // cell (24, 4)-(40, 20)
  EXPECT_EQ(bitmap_.GetPixel(24, 4), clRed);
  EXPECT_EQ(bitmap_.GetPixel(39, 19), clRed);
  EXPECT_EQ(bitmap_.GetPixel(23, 4), clWhite);
  EXPECT_EQ(bitmap_.GetPixel(40, 4), clWhite);
  EXPECT_EQ(bitmap_.GetPixel(24, 20), clWhite);
}

TEST_F(CanvasTest, WindowOriginAndClipping) {
  canvas_.SetWindowOrg(10, 5);
  canvas_.SetClipRect({10, 5, 20, 10});  // device (0, 0)-(10, 5)
  canvas_.Brush.Color = clBlue;
  canvas_.FillRect({0, 0, 100, 100});
  EXPECT_EQ(bitmap_.GetPixel(0, 0), clBlue);
  EXPECT_EQ(bitmap_.GetPixel(9, 4), clBlue);
  EXPECT_EQ(bitmap_.GetPixel(10, 4), clWhite);
  EXPECT_EQ(bitmap_.GetPixel(9, 5), clWhite);
  EXPECT_EQ(canvas_.ClipRect(), (TRect{10, 5, 20, 10}));
}

TEST_F(CanvasTest, LinesLeaveOutTheirLastPointAndRectanglesStayInside) {
  canvas_.Pen.Color = clBlack;
  canvas_.MoveTo(1, 1);
  canvas_.LineTo(5, 1);
  EXPECT_EQ(Row(1, clBlack, 0, 7), ".####..");

  canvas_.Brush.Color = clRed;
  canvas_.Rectangle(10, 10, 14, 13);
  EXPECT_EQ(Row(10, clBlack, 9, 15), ".####.");
  EXPECT_EQ(Row(11, clBlack, 9, 15), ".#..#.");
  EXPECT_EQ(Row(11, clRed, 9, 15), "..##..");
  EXPECT_EQ(Row(12, clBlack, 9, 15), ".####.");
  EXPECT_EQ(bitmap_.GetPixel(11, 13), clWhite);

  canvas_.Pen.Style = psClear;  // no pen: the fill is one pixel smaller
  canvas_.Brush.Color = clGreen;
  canvas_.Rectangle(20, 20, 24, 23);
  EXPECT_EQ(Row(20, clGreen, 19, 25), ".###..");
  EXPECT_EQ(bitmap_.GetPixel(20, 22), clWhite);
}

TEST_F(CanvasTest, UnderlineFollowsTheTextColour) {
  canvas_.Font.SetStyle(fsUnderline);
  canvas_.Font.SetColor(clBlue);
  canvas_.Brush.Style = bsClear;
  canvas_.TextOut(0, 0, "ab");
  // Baseline at 13; the test font underlines one pixel lower (half the descent).
  EXPECT_EQ(Row(14, clBlue, 0, 18), std::string(16, '#') + "..");
}

TEST(Font, ChangeNotificationAndAssign) {
  TFont a;
  struct Counter : TFontObserver {
    int changes = 0;
    void FontChanged() override { ++changes; }
  } counter;
  a.Observer = &counter;
  int& changes = counter.changes;
  a.SetName("Arial");
  a.SetName("Arial");  // no change, no notification
  a.SetSize(12);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(a.Height(), -16);
  TFont b;
  b.SetStyle(fsBold | fsItalic);
  b.SetColor(clRed);
  a.Assign(b);
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(a.Style(), fsBold | fsItalic);
  EXPECT_EQ(a.Name(), "MS Sans Serif");
}

}  // namespace
