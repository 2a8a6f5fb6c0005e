#include "platform/MulDiv.h"

#include <cstdint>
#include <limits>

namespace platform {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  int64_t quotient = product / c;
  const int64_t remainder = product % c;
  // Compare 2|r| with |c| without overflow: |r| < |c| <= 2^31.
  const int64_t absRemainder = remainder < 0 ? -remainder : remainder;
  const int64_t absDivisor = c < 0 ? -static_cast<int64_t>(c) : c;
  if (2 * absRemainder >= absDivisor) quotient += ((product < 0) != (c < 0)) ? -1 : 1;
  if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min())
    return -1;
  return static_cast<int>(quotient);
}

}  // namespace platform
