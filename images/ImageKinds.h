#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/Color.h"

namespace images {

// What the leading bytes of a picture say it is.
enum TImageKind : int { ikUnknown = 0, ikBmp = 1, ikGif87 = 2, ikGif89 = 3, ikPng = 4, ikJpeg = 5 };

// How a picture's transparent pixels are found: none; the colour of its
// bottom-left pixel (asked for by TRANSP); the GIF's transparent colour; a
// PNG's own transparency.
enum TTransparency : uint8_t { NotTransp = 0, LLCorner = 1, TGif = 2, TPng = 3 };

TImageKind GetImageKind(std::span<const uint8_t> start);
// The kind of a file (a Windows path) by its first bytes; unknown when it
// cannot be read.
TImageKind GetFileImageKind(const std::string& name);

// The transparent colour of a GIF89 file whose graphic control extension
// follows its global colour table directly.
bool GetGifTransparentColor(const std::string& name, platform::TColor& color);
// Palette entry 0 of a palette PNG whose tRNS makes it transparent.
bool GetPngTransparentColor(const std::string& name, platform::TColor& color);
// The same probes on bytes in memory.
bool GifTransparentColor(std::span<const uint8_t> data, platform::TColor& color);
bool PngTransparentColor(std::span<const uint8_t> data, platform::TColor& color);

}  // namespace images
