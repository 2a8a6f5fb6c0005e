#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Color.h"

namespace platform {

// Decodes a JPEG file (baseline, extended, progressive or arithmetic-coded,
// 8-bit samples; greyscale, YCbCr, RGB, CMYK or YCCK).
//
// Without a palette the result is a 32-bit bitmap. With `palette8`, the
// shared palette of an 8-bit display, colour pictures come out as an 8-bit
// bitmap whose palette is `palette8`, dithered against it; a greyscale
// picture comes out as an 8-bit bitmap with a grey ramp instead. CMYK and
// YCCK pictures are turned into RGB in both modes. A palette of more than
// 256 entries is cut to 256; an empty one is treated as no palette.
//
// Gives nothing for data that is not a JPEG or that the decoder gives up
// on, for a picture over kMaxPictureDimension or kMaxPicturePixels, and for
// one that claims far more pixels than its bytes can describe. Truncated
// data gives the picture as far as it goes, the rest filled by the decoder.
std::optional<Bitmap> ReadJpeg(std::span<const uint8_t> data,
                               const std::vector<TColor>* palette8 = nullptr);

}  // namespace platform
