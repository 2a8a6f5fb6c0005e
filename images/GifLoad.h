#pragma once

#include <memory>
#include <span>
#include <string>

#include "images/GifImage.h"

namespace images {

// A GIF for the document: its frames' descriptions are read first, then it
// is decoded whole, not animating and not yet visible. `notAnimated` says
// it has one frame. None when it cannot be read; a failed decode first
// drops the unused pictures of the cache, as it may have run out of memory.
std::unique_ptr<TGIFImage> LoadGifFromStream(std::span<const uint8_t> data, bool& notAnimated);
std::unique_ptr<TGIFImage> LoadGifFromFile(const std::string& name, bool& notAnimated);

}  // namespace images
