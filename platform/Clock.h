#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a steady clock, wrapping at 2^32 like the Windows
// multimedia timer: compare two readings by their unsigned difference only.
uint32_t TickCountMs();

}  // namespace platform
