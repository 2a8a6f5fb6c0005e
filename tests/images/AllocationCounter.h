#pragma once

#include <cstddef>

// The test program's operator new records its largest request, so a test
// can check that a hostile header did not make the decoder ask for what it
// claims.
namespace allocation_counter {

void Reset();
// The largest single allocation since the last Reset.
size_t Largest();

}  // namespace allocation_counter
