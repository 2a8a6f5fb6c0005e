#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Bitmap.h"

namespace platform {

// Decodes a Windows bitmap file ("BM" header, then an OS/2 or Windows info
// header of any version) into a 32-bit bitmap: 1, 2, 4, 8, 16, 24 and 32
// bits per pixel, uncompressed, RLE4, RLE8 and bit fields. Alpha is ignored,
// as GDI ignores it. Gives nothing for data it cannot read or a size over
// the bitmap limits; truncated pixel data leaves the missing pixels black.
std::optional<Bitmap> ReadBmp(std::span<const uint8_t> data);

}  // namespace platform
