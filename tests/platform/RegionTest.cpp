#include "platform/Region.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using platform::Region;
using platform::TRect;

std::vector<uint8_t> Header(int32_t size, int32_t type, int32_t count, int32_t bytes) {
  std::vector<uint8_t> out;
  for (int32_t v : {size, type, count, bytes, 0, 0, 0, 0})
    for (int i = 0; i < 4; ++i)
      out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
  return out;
}

void AddRect(std::vector<uint8_t>& data, TRect r) {
  for (int32_t v : {r.left, r.top, r.right, r.bottom})
    for (int i = 0; i < 4; ++i)
      data.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
}

TEST(Region, UnionIsBandedAndCoalesced) {
  // Two overlapping rectangles become three bands; touching spans merge.
  const TRect rects[] = {{0, 0, 10, 10}, {5, 5, 20, 15}, {20, 5, 25, 15}};
  const Region r = Region::FromRects(rects);
  const std::vector<TRect> expected = {{0, 0, 10, 5}, {0, 5, 25, 10}, {5, 10, 25, 15}};
  EXPECT_EQ(r.Rects(), expected);
  EXPECT_EQ(r.Bounds(), (TRect{0, 0, 25, 15}));
  EXPECT_TRUE(r.Contains(0, 0));
  EXPECT_FALSE(r.Contains(10, 0));  // right edge is exclusive
  EXPECT_FALSE(r.Contains(0, 10));
  EXPECT_TRUE(r.Contains(24, 14));
}

TEST(Region, RgnDataRoundTripsAndRejectsMalformedBlocks) {
  std::vector<uint8_t> data = Header(32, 1, 2, 32);
  AddRect(data, {1, 1, 5, 3});
  AddRect(data, {0, 3, 6, 4});
  // rcBound is recomputed on the way out.
  const auto region = Region::FromRgnData(data);
  ASSERT_TRUE(region);
  std::vector<uint8_t> out = region->ToRgnData();
  ASSERT_EQ(out.size(), 64u);
  data[16] = 0;
  data[20] = 1;
  data[24] = 6;
  data[28] = 4;  // bounds (0, 1)-(6, 4)
  EXPECT_EQ(out, data);

  EXPECT_FALSE(Region::FromRgnData(std::vector<uint8_t>(31, 0)));    // short header
  EXPECT_FALSE(Region::FromRgnData(Header(36, 1, 0, 0)));            // header size
  EXPECT_FALSE(Region::FromRgnData(Header(32, 2, 0, 0)));            // type
  EXPECT_FALSE(Region::FromRgnData(Header(32, 1, 1, 16)));           // rectangle missing
  EXPECT_FALSE(Region::FromRgnData(Header(32, 1, 0x10000001, 16)));  // count overflow
  std::vector<uint8_t> far = Header(32, 1, 1, 16);                   // coordinates GDI cannot hold
  AddRect(far, {-0x7F000000, 0, 0x05000001, 1});
  EXPECT_FALSE(Region::FromRgnData(far));
  const auto empty = Region::FromRgnData(Header(32, 1, 0, 0));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->IsEmpty());
  EXPECT_EQ(empty->ToRgnData(), Header(32, 1, 0, 0));
}

TEST(Region, UnsortedRectanglesAreUnited) {
  std::vector<uint8_t> data = Header(32, 1, 3, 48);
  AddRect(data, {10, 10, 20, 20});
  AddRect(data, {0, 0, 5, 5});
  AddRect(data, {12, 12, 30, 14});
  const auto region = Region::FromRgnData(data);
  ASSERT_TRUE(region);
  EXPECT_EQ(region->RectCount(), 4);  // bands 0-5, 10-12, 12-14, 14-20
  EXPECT_TRUE(region->Contains(29, 13));
  EXPECT_FALSE(region->Contains(29, 15));
}

TEST(Region, CombineModes) {
  const Region a = Region::FromRect({0, 0, 10, 10});
  const Region b = Region::FromRect({5, 5, 15, 15});
  using platform::RGN_AND, platform::RGN_DIFF, platform::RGN_OR, platform::RGN_XOR;
  EXPECT_EQ(Region::Combine(a, b, RGN_AND).Rects(), (std::vector<TRect>{{5, 5, 10, 10}}));
  EXPECT_EQ(Region::Combine(a, b, RGN_OR).RectCount(), 3);
  const Region x = Region::Combine(a, b, RGN_XOR);
  EXPECT_TRUE(x.Contains(0, 0));
  EXPECT_FALSE(x.Contains(7, 7));
  EXPECT_TRUE(x.Contains(14, 14));
  const Region d = Region::Combine(a, b, RGN_DIFF);
  EXPECT_TRUE(d.Contains(4, 9));
  EXPECT_FALSE(d.Contains(5, 5));
  EXPECT_FALSE(d.Contains(12, 12));
  EXPECT_TRUE(Region::Combine(a, a, RGN_DIFF).IsEmpty());
}

TEST(Region, EllipseAndPolygonShapes) {
  const Region e = Region::Ellipse({0, 0, 20, 10});
  EXPECT_EQ(e.Bounds(), (TRect{0, 0, 20, 10}));
  EXPECT_TRUE(e.Contains(10, 5));
  EXPECT_FALSE(e.Contains(0, 0));
  EXPECT_FALSE(e.Contains(19, 9));

  const platform::TPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  const Region t = Region::Polygon(triangle, platform::ALTERNATE);
  EXPECT_TRUE(t.Contains(1, 1));
  EXPECT_FALSE(t.Contains(8, 8));
  EXPECT_EQ(t.Bounds().top, 0);
  // The last row's sample point lies on the slanted edge: outside.
  EXPECT_EQ(t.Bounds().bottom, 9);
}

}  // namespace

namespace {

// Rectangles out of band order are united by a sweep; the result must be
// the canonical region that uniting them one by one gives.
TEST(Region, UnsortedRectanglesGiveTheSameRegionAsUnitingOneByOne) {
  std::mt19937 random(11);
  for (int round = 0; round < 200; ++round) {
    std::vector<TRect> rects;
    const int count = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) {
      const int left = static_cast<int>(random() % 30) - 5, top = static_cast<int>(random() % 30);
      rects.push_back({left, top, left + static_cast<int>(random() % 12) - 1,
                       top + static_cast<int>(random() % 12) - 1});
    }
    Region expected;
    for (const TRect& r : rects)
      expected = Region::Combine(expected, Region::FromRect(r), platform::RGN_OR);
    ASSERT_EQ(Region::FromRects(rects), expected) << "round " << round;
  }
}

// A mask of one rectangle per row, stored bottom row first, once took time
// proportional to rows times rectangles: minutes for this one.
TEST(Region, ManyUnsortedRowsUniteInNearLinearTime) {
  constexpr int kRows = 200000;
  std::vector<TRect> rects;
  for (int y = kRows - 1; y >= 0; --y) rects.push_back({y % 2, y, 10 + y % 2, y + 1});
  const Region r = Region::FromRects(rects);
  EXPECT_EQ(r.BandCount(), kRows);
  EXPECT_EQ(r.Bounds(), (TRect{0, 0, 11, kRows}));
  EXPECT_TRUE(r.Contains(10, 1));
  EXPECT_FALSE(r.Contains(10, 0));
}

}  // namespace
