#include "platform/Canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

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

// ---- drawing costs what is visible ----------------------------------------

// The line stepper as it was, one pixel at a time from the first point, as
// the reference for lines that are now started where they enter the clip.
void ReferenceLine(Bitmap& bitmap, TRect clip, TPoint from, TPoint to, int penWidth,
                   const std::vector<int>& pattern, int& penStep) {
  int x = from.x, y = from.y;
  const int dx = std::abs(to.x - x), dy = -std::abs(to.y - y);
  const int sx = x < to.x ? 1 : -1, sy = y < to.y ? 1 : -1;
  int error = dx + dy, period = 0;
  for (int n : pattern) period += n;
  while (x != to.x || y != to.y) {
    bool on = true;
    if (!pattern.empty()) {
      int phase = penStep % period, k = 0;
      while (phase >= pattern[k]) phase -= pattern[k++];
      on = k % 2 == 0;
    }
    const int x0 = x - (penWidth - 1) / 2, y0 = y - (penWidth - 1) / 2;
    if (on)
      for (int py = y0; py < y0 + penWidth; ++py)
        for (int px = x0; px < x0 + penWidth; ++px)
          if (clip.Contains(px, py)) bitmap.SetPixel(px, py, clBlack);
    ++penStep;
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

TEST(CanvasLines, StartingAtTheClipDrawsTheSamePixelsAsSteppingThere) {
  std::mt19937 random(7);
  const auto coordinate = [&] { return static_cast<int>(random() % 120) - 40; };
  const std::pair<TPenStyle, std::vector<int>> styles[] = {
      {psSolid, {}}, {psDash, {18, 6}}, {psDot, {3, 3}}, {psDashDotDot, {9, 3, 3, 3, 3, 3}}};
  for (int round = 0; round < 400; ++round) {
    Bitmap drawn(40, 30), expected(40, 30);
    drawn.Fill(clWhite);
    expected.Fill(clWhite);
    TCanvas canvas(drawn);
    const TRect clip{static_cast<int>(random() % 10), static_cast<int>(random() % 10),
                     30 + static_cast<int>(random() % 10), 20 + static_cast<int>(random() % 10)};
    canvas.SetClipRect(clip);
    const auto& [style, pattern] = styles[round % 4];
    canvas.Pen.Style = style;
    canvas.Pen.Width = 1 + round % 3;
    const TPoint points[] = {
        {coordinate(), coordinate()}, {coordinate(), coordinate()}, {coordinate(), coordinate()}};
    canvas.Polyline(points);
    int penStep = 0;
    ReferenceLine(expected, clip, points[0], points[1], canvas.Pen.Width, pattern, penStep);
    ReferenceLine(expected, clip, points[1], points[2], canvas.Pen.Width, pattern, penStep);
    ASSERT_TRUE(drawn == expected) << "round " << round;
  }
}

// Primitives far larger than the bitmap once stepped every pixel of their
// whole extent (a rule a billion pixels wide took minutes) or overflowed.
// Each is drawn at the extreme and at a modest size that looks the same on
// the 64 x 32 bitmap; both must give the same pixels, at once.
struct HugeShapeRow {
  std::string name;
  std::function<void(TCanvas&, int64_t far)> draw;
};

class HugeShapes : public ::testing::TestWithParam<HugeShapeRow> {};

TEST_P(HugeShapes, DrawOnlyWhatIsVisible) {
  const auto render = [&](int64_t far) {
    Bitmap bitmap(64, 32);
    bitmap.Fill(clWhite);
    TCanvas canvas(bitmap);
    canvas.Font.SetName(std::string(kTestFontName));
    canvas.Font.SetHeight(-16);
    canvas.Pen.Color = clBlack;
    canvas.Brush.Color = clRed;
    GetParam().draw(canvas, far);
    return bitmap;
  };
  const Bitmap modest = render(1000);
  const Bitmap huge = render(INT32_MAX);
  EXPECT_TRUE(modest == huge);
  EXPECT_NE(modest.GetPixel(20, 10), clWhite) << "the case draws nothing to compare";
}

int Far(int64_t far, int64_t sign = 1) {
  return static_cast<int>(sign > 0 ? far : -far - (far == INT32_MAX ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HugeShapes,
    ::testing::Values(HugeShapeRow{"HorizontalLine",
                                   [](TCanvas& c, int64_t far) {
                                     c.MoveTo(Far(far, -1), 10);
                                     c.LineTo(Far(far), 10);
                                   }},
                      HugeShapeRow{"DiagonalLine",
                                   [](TCanvas& c, int64_t far) {
                                     c.MoveTo(Far(far, -1) + 10, Far(far, -1));
                                     c.LineTo(Far(far), Far(far) - 10);
                                   }},
                      HugeShapeRow{"DashedWidePenUnderAnOrigin",
                                   [](TCanvas& c, int64_t far) {
                                     // From a fixed start, so that the dashes fall alike.
                                     c.SetWindowOrg(-5, 3);
                                     c.Pen.Style = psDash;
                                     c.Pen.Width = 5;
                                     c.MoveTo(15, -2);
                                     c.LineTo(15, Far(far));
                                   }},
                      HugeShapeRow{"Rectangle",
                                   [](TCanvas& c, int64_t far) {
                                     c.Rectangle(Far(far, -1), 5, Far(far), 20);
                                     c.Rectangle(20, Far(far, -1), 30, Far(far));
                                   }},
                      HugeShapeRow{"FillAndFrame",
                                   [](TCanvas& c, int64_t far) {
                                     c.FillRect({Far(far, -1), Far(far, -1), Far(far), 15});
                                     c.Brush.Color = clBlue;
                                     c.FrameRect({10, 5, Far(far), Far(far)});
                                   }},
                      HugeShapeRow{"Ellipse",
                                   [](TCanvas& c, int64_t far) {
                                     // Far from its centre an ellipse this flat is a band.
                                     c.Ellipse(Far(far, -1), 6, Far(far), 26);
                                   }},
                      HugeShapeRow{"Polygon",
                                   [](TCanvas& c, int64_t far) {
                                     // One slanted edge in view, the same in both.
                                     const TPoint points[] = {{Far(far, -1), Far(far, -1)},
                                                              {Far(far), Far(far, -1)},
                                                              {Far(far), 20},
                                                              {40, 20},
                                                              {20, 28},
                                                              {Far(far, -1), 28}};
                                     c.Polygon(points);
                                   }},
                      HugeShapeRow{"TextReachingIn",
                                   [](TCanvas& c, int64_t far) {
                                     // Text whose start lies far to the left of the bitmap.
                                     const std::string text(400, 'x');
                                     c.SetWindowOrg(static_cast<int>(far - 3000), 0);
                                     c.TextOut(static_cast<int>(far - 3000 - 8 * 400 + 24), 4,
                                               text);
                                     c.TextOut(Far(far), 4, text);
                                   }},
                      HugeShapeRow{"Blits",
                                   [](TCanvas& c, int64_t far) {
                                     Bitmap picture(100, 100);
                                     picture.Fill(clGreen);
                                     c.BitBlt(10, 5, Far(far), Far(far), picture, 0, 0, SRCCOPY);
                                     picture.Fill(clBlue);
                                     c.BitBlt(Far(far, -1), 0, Far(far), 5, picture, Far(far, -1),
                                              0, SRCCOPY);
                                     c.PatBlt(Far(far), 25, Far(far, -1), 12, PATCOPY);
                                   }}),
    [](const ::testing::TestParamInfo<HugeShapeRow>& info) { return info.param.name; });

// Shrinking a source rectangle of billions of pixels onto a few once
// visited every one of them, inside the picture or not.
TEST(CanvasBlits, ShrinkingAHugeSourceRectangleReadsOnlyThePicture) {
  Bitmap picture(4, 4);
  picture.Fill(clGreen);
  for (TStretchMode mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
    Bitmap bitmap(2, 2);
    bitmap.Fill(clWhite);
    TCanvas canvas(bitmap);
    canvas.SetStretchBltMode(mode);
    canvas.StretchBlt(0, 0, 1, 1, picture, 0, 0, INT32_MAX, INT32_MAX, SRCCOPY);
    EXPECT_EQ(bitmap.GetPixel(0, 0), clGreen) << "mode " << mode;
    EXPECT_EQ(bitmap.GetPixel(1, 1), clWhite) << "mode " << mode;
  }
}

}  // namespace
