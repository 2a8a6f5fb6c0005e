#include "platform/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct MulDivCase {
  int a, b, c, expected;
};

TEST(MulDiv, RoundsHalvesAwayFromZeroAndGuardsDivisor) {
  const MulDivCase cases[] = {
      {12, 96, 72, 16},          // 12 pt at 96 DPI
      {8, 96, 72, 11},           // 10.67 rounds up
      {18, 10, 12, 15},          // 18 twelfths of 10 pt
      {5, 1, 2, 3},              // 2.5 -> 3
      {-5, 1, 2, -3},            // -2.5 -> -3 (away from zero)
      {5, -1, 2, -3},            // sign from b
      {5, 1, -2, -3},            // sign from c
      {-5, -1, -2, -3},          // three negatives
      {7, 1, 3, 2},              // 2.33 -> 2
      {-7, 1, 3, -2},            // -2.33 -> -2
      {-11, 72, 96, -8},         // -8.25 -> -8
      {1, 1, 0, -1},             // c = 0
      {0, 0, 0, -1},             // c = 0 wins
      {INT_MAX, 2, 2, INT_MAX},  // 64-bit intermediate
      {INT_MAX, 2, 1, -1},       // result does not fit
      {0, 5, 7, 0},
  };
  for (const MulDivCase& c : cases)
    EXPECT_EQ(platform::MulDiv(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

}  // namespace
