#include "base/Extent.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

using base::kMaxExtent;
using base::TExtent;

// Every way an extent is made or combined stays within the ceiling, with
// the exact result below it.
TEST(Extent, ArithmeticSaturatesAtTheCeiling) {
  const TExtent max = kMaxExtent, min = -kMaxExtent;
  struct Case {
    const char* what;
    TExtent got;
    int want;
  };
  const Case cases[] = {
      {"from INT_MAX", TExtent(INT_MAX), kMaxExtent},
      {"from INT_MIN", TExtent(INT_MIN), -kMaxExtent},
      {"from a 64-bit number", TExtent(INT64_MAX), kMaxExtent},
      {"from an unsigned number", TExtent(UINT64_MAX), kMaxExtent},
      {"from a small number", TExtent(-17), -17},
      {"sum", max + max, kMaxExtent},
      {"sum of four", max + max + max + max, kMaxExtent},
      {"sum with an int", max + INT_MAX, kMaxExtent},
      {"int plus extent", INT_MAX + max, kMaxExtent},
      {"difference", min - max, -kMaxExtent},
      {"int minus extent", INT_MIN - max, -kMaxExtent},
      {"negation", -min, kMaxExtent},
      {"product", max * max, kMaxExtent},
      {"product with an int", min * 3, -kMaxExtent},
      {"quotient", max / 2, kMaxExtent / 2},
      {"exact sum", TExtent(1000) + 24, 1024},
      {"exact difference", TExtent(5) - 7, -2},
      {"exact product", TExtent(-12) * 3, -36},
  };
  for (const Case& c : cases) EXPECT_EQ(static_cast<int>(c.got), c.want) << c.what;

  TExtent sum = kMaxExtent - 1;
  sum += INT_MAX;
  EXPECT_EQ(sum, kMaxExtent);
  sum -= INT_MAX;
  sum -= INT_MAX;
  EXPECT_EQ(sum, -kMaxExtent);
  ++sum;
  EXPECT_EQ(sum, 1 - kMaxExtent);
}

}  // namespace
