#include "layout/IndentManager.h"

#include <gtest/gtest.h>

namespace {

using namespace layout;

struct Picture : TFloatingObject {
  Picture(Side side, int width, int height, int hspace)
      : side(side), width(width), height(height), hspace(hspace) {}
  Side FloatSide() const override { return side; }
  TExtent FloatWidth() const override { return width; }
  TExtent FloatHeight() const override { return height; }
  TExtent FloatHSpace() const override { return hspace; }
  void SetFloatX(TExtent x) override { floatX = x; }
  Side side;
  int width, height, hspace;
  int floatX = -1;
};

class Margins : public ::testing::Test {
 protected:
  Margins() { margins.SetSides(0, 500); }
  IndentManager margins;
};

TEST_F(Margins, WithoutRecordsTheEdgesAreTheSides) {
  for (int y : {-5, 0, 100, 99999}) {
    EXPECT_EQ(margins.LeftEdge(y), 0);
    EXPECT_EQ(margins.RightEdge(y), 500);
  }
  EXPECT_EQ(margins.FloatBottom(), 0);
  base::TExtent left = -1, right = -1;
  margins.ClearBottoms(left, right);
  EXPECT_EQ(left, 0);
  EXPECT_EQ(right, 0);
}

TEST_F(Margins, RecordsApplyFromTopToJustAboveBottom) {
  margins.AddRect(10, 40, base::jtLeft, 20);  // left, y 10..29
  margins.AddRect(10, 60, base::jtRight, 5);  // right, y 10..14
  EXPECT_EQ(margins.LeftEdge(9), 0);
  EXPECT_EQ(margins.LeftEdge(10), 40);
  EXPECT_EQ(margins.LeftEdge(29), 40);
  EXPECT_EQ(margins.LeftEdge(30), 0);
  EXPECT_EQ(margins.RightEdge(14), 440);
  EXPECT_EQ(margins.RightEdge(15), 500);
  EXPECT_EQ(margins.FloatBottom(), 30);
  TExtent left = 0, right = 0;
  margins.ClearBottoms(left, right);
  EXPECT_EQ(left, 31);
  EXPECT_EQ(right, 16);
  margins.AddRect(0, 10, base::jtCentre, 100);  // neither side: nothing
  EXPECT_EQ(margins.LeftRecs.Count() + margins.RightRecs.Count(), 2);
}

TEST_F(Margins, EdgesNeverPassTheSides) {
  margins.LeftRecs.Add(std::make_unique<IndentRec>(IndentRec{-20, 0, 100, 0}));
  margins.RightRecs.Add(std::make_unique<IndentRec>(IndentRec{30, 0, 100, 0}));
  EXPECT_EQ(margins.LeftEdge(50), 0);
  EXPECT_EQ(margins.RightEdge(50), 500);
}

TEST_F(Margins, FloatsStackSideBySide) {
  Picture a(TFloatingObject::Side::Left, 100, 50, 5);
  Picture b(TFloatingObject::Side::Left, 80, 30, 0);
  Picture c(TFloatingObject::Side::Right, 60, 40, 4);
  margins.AddFloatImage(20, &a);
  margins.AddFloatImage(20, &b);
  margins.AddFloatImage(20, &c);
  EXPECT_EQ(a.floatX, 0);
  EXPECT_EQ(b.floatX, 105);  // starts where the first one's space ends
  EXPECT_EQ(margins.LeftEdge(20), 185);
  // A right float touches the right edge; its space lies on its left.
  EXPECT_EQ(margins.RightEdge(20), 436);
  EXPECT_EQ(c.floatX, 440);
  Picture none(TFloatingObject::Side::None, 10, 10, 0);
  margins.AddFloatImage(0, &none);
  margins.AddFloatImage(0, nullptr);
  EXPECT_EQ(none.floatX, -1);
  EXPECT_EQ(margins.FloatBottom(), 70);
}

TEST_F(Margins, ListLevelsIndentAndCloseOnePixelAbove) {
  margins.SetLevel(10, 3);
  EXPECT_EQ(margins.LeftEdge(10), 105);
  ASSERT_EQ(margins.LeftRecs.Count(), 3);
  for (int l = 0; l < 3; ++l) {
    EXPECT_EQ(margins.LeftRecs[l]->EdgeX, 35 * (l + 1));
    EXPECT_EQ(margins.LeftRecs[l]->LevelId, l + 1);
  }
  EXPECT_EQ(margins.FloatBottom(), 0);  // open indents never lengthen a cell
  EXPECT_EQ(margins.IndentedBottom(), 1);

  margins.SetLevel(50, 1);
  EXPECT_EQ(margins.CurrentLevel, 1);
  EXPECT_EQ(margins.LeftRecs[1]->BottomY, 49);
  EXPECT_EQ(margins.LeftRecs[2]->LevelId, 0);
  EXPECT_EQ(margins.LeftEdge(49), 35);  // closed records end one pixel above
  EXPECT_EQ(margins.LeftEdge(48), 105);
  EXPECT_EQ(margins.FloatBottom(), 49);  // closed indents count as floats
  // The closed levels indented further than level 1: the item grows to them.
  EXPECT_EQ(margins.IndentedBottom(), 50);
  margins.SetLevel(60, 1);  // the same level changes nothing
  EXPECT_EQ(margins.LeftRecs.Count(), 3);
}

TEST_F(Margins, IndentsStartFromTheCurrentLeftEdge) {
  Picture a(TFloatingObject::Side::Left, 100, 50, 0);
  margins.AddFloatImage(0, &a);
  margins.SetLevel(10, 1);
  EXPECT_EQ(margins.LeftEdge(10), 135);
  margins.SetSides(20, 520);  // drawing: the same records answer in screen x
  EXPECT_EQ(margins.CurrentLevel, 0);
  EXPECT_EQ(margins.LeftEdge(10), 155);
}

}  // namespace

namespace {

// The margin queries as plain walks over every record: the reference the
// indexed queries must always agree with.
struct NaiveMargins {
  static bool Applies(const IndentRec& r, int y) { return r.TopY <= y && y < r.BottomY; }
  static int Left(const IndentManager& m, int y) {
    TExtent e = 0;
    for (const auto& r : m.LeftRecs)
      if (Applies(*r, y)) e = std::max(e, r->EdgeX);
    return m.LeftSide + e;
  }
  static int Right(const IndentManager& m, int y) {
    TExtent e = 0;
    for (const auto& r : m.RightRecs)
      if (Applies(*r, y)) e = std::min(e, r->EdgeX);
    return m.RightSide + e;
  }
  static std::optional<TExtent> Bottom(const base::TFreeList<IndentRec>& recs) {
    std::optional<TExtent> b;
    for (const auto& r : recs)
      if (r->LevelId == 0) b = std::max(b.value_or(r->BottomY), r->BottomY);
    return b;
  }
  static int Indented(const IndentManager& m) {
    TExtent edge = 0;
    for (const auto& r : m.LeftRecs)
      if (r->LevelId == m.CurrentLevel) edge = r->EdgeX;
    std::optional<TExtent> b;
    for (const auto& r : m.LeftRecs)
      if (r->EdgeX > edge) b = std::max(b.value_or(r->BottomY), r->BottomY);
    return b ? *b + 1 : TExtent(1);
  }
};

TEST(MarginsIndex, AgreesWithPlainWalksUnderRandomLayouts) {
  uint32_t seed = 12345;
  const auto next = [&seed](uint32_t n) {
    return ((seed = seed * 1664525u + 1013904223u) >> 8) % n;
  };
  for (int round = 0; round < 40; ++round) {
    IndentManager m;
    m.SetSides(0, 500);
    int y = 0;
    for (int step = 0; step < 300; ++step) {
      y += static_cast<int>(next(30));
      switch (next(6)) {
        case 0:
          m.AddRect(y, 20 + static_cast<int>(next(80)), next(2) ? base::jtLeft : base::jtRight,
                    5 + static_cast<int>(next(200)));
          break;
        case 1:
          m.SetLevel(y, static_cast<int>(next(5)));
          break;
        case 2: {
          Picture p(next(2) ? TFloatingObject::Side::Left : TFloatingObject::Side::Right,
                    10 + static_cast<int>(next(60)), 10 + static_cast<int>(next(120)),
                    static_cast<int>(next(8)));
          m.AddFloatImage(y, &p);
          break;
        }
        default:
          break;
      }
      // Mostly downward queries, as layout asks; now and then a look back.
      const int q = next(5) == 0 ? static_cast<int>(next(static_cast<uint32_t>(y + 1))) : y;
      ASSERT_EQ(m.LeftEdge(q), NaiveMargins::Left(m, q)) << round << "/" << step;
      ASSERT_EQ(m.RightEdge(q), NaiveMargins::Right(m, q)) << round << "/" << step;
      const auto l = NaiveMargins::Bottom(m.LeftRecs), r = NaiveMargins::Bottom(m.RightRecs);
      const TExtent naiveFloat =
          (!l && !r) ? TExtent(0) : std::max(l.value_or(INT_MIN), r.value_or(INT_MIN));
      ASSERT_EQ(m.FloatBottom(), naiveFloat);
      base::TExtent cl = 0, cr = 0;
      m.ClearBottoms(cl, cr);
      ASSERT_EQ(cl, l ? *l + 1 : TExtent(0));
      ASSERT_EQ(cr, r ? *r + 1 : TExtent(0));
      ASSERT_EQ(m.IndentedBottom(), NaiveMargins::Indented(m)) << round << "/" << step;
    }
    m.Clear();
    EXPECT_EQ(m.FloatBottom(), 0);
    EXPECT_EQ(m.LeftEdge(0), 0);
  }
}

// The queries keep an index of the records; a clear and a refill to the same
// count must not leave it naming the freed ones.
TEST_F(Margins, ClearAndRefillToTheSameCount) {
  margins.AddRect(0, 40, base::jtLeft, 100);
  margins.AddRect(0, 30, base::jtRight, 100);
  EXPECT_EQ(margins.LeftEdge(10), 40);
  margins.LeftRecs.Clear();
  margins.RightRecs.Clear();
  margins.AddRect(0, 70, base::jtLeft, 50);
  margins.AddRect(0, 20, base::jtRight, 50);
  EXPECT_EQ(margins.LeftEdge(10), 70);
  EXPECT_EQ(margins.RightEdge(10), 480);
  EXPECT_EQ(margins.FloatBottom(), 50);
}

// Opening many levels at once costs one edge query, and each level still
// indents from the one before.
TEST_F(Margins, DeepLevelsOpenedAtOnce) {
  margins.SetLevel(0, 150);
  EXPECT_EQ(margins.LeftEdge(5), 150 * kListIndent);
  margins.SetLevel(100, 2);
  EXPECT_EQ(margins.LeftEdge(100), 2 * kListIndent);
  margins.SetLevel(kOpenIndentBottom, 4);  // open indents end above this y
  EXPECT_EQ(margins.LeftEdge(kOpenIndentBottom), 0);
}

}  // namespace
