#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Bitmap.h"

namespace platform {

// The largest picture a file may ask for, checked when its header is read:
// no side over 16384 pixels and at most 2^24 pixels (64 MB of 32-bit
// pixels, and as much again once converted for the screen).
constexpr int64_t kMaxPictureDimension = 16384;
constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;

// Decodes a Windows bitmap file ("BM" header, then an OS/2 or Windows info
// header of any version) into a 32-bit bitmap: 1, 2, 4, 8, 16, 24 and 32
// bits per pixel, uncompressed, RLE4, RLE8 and bit fields. Alpha is ignored,
// as GDI ignores it. Gives nothing for data it cannot read, a picture over
// the ceiling below, or one there is no memory for; truncated pixel data
// leaves the missing pixels black.
std::optional<Bitmap> ReadBmp(std::span<const uint8_t> data);

}  // namespace platform
