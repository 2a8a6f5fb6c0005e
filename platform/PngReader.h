#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/Bitmap.h"

namespace platform {

// Decodes a PNG file of any colour type, bit depth and interlacing into a
// 32-bit bitmap (16-bit samples rounded to 8 bits, gamma left as stored).
//
// When the file has an alpha channel or a transparent colour (tRNS) and
// `mask` is given, *mask becomes a 1-bit bitmap of the same size whose set
// (white) pixels are the transparent ones, alpha below 128, and the colour
// pixels under them are black: drawing the mask with AND and the picture
// with OR shows the picture over the background. Otherwise *mask is reset.
// Without `mask` the colours are kept as stored, even where transparent.
//
// Gives nothing for data that is not a PNG, corrupt or truncated data, a
// picture over kMaxPictureDimension or kMaxPicturePixels, or one that
// claims more pixels than its compressed bytes can hold.
std::optional<Bitmap> ReadPng(std::span<const uint8_t> data, std::optional<Bitmap>* mask = nullptr);

}  // namespace platform
