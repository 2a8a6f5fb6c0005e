#pragma once

namespace platform {

// a * b / c with a 64-bit intermediate, rounded to nearest with halves away
// from zero. Returns -1 when c is 0 or the result does not fit in 32 bits,
// as the Windows function of the same name does.
int MulDiv(int a, int b, int c);

}  // namespace platform
