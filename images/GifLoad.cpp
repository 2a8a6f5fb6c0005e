#include "images/GifLoad.h"

#include "images/ImageCache.h"
#include "platform/Paths.h"

namespace images {

std::unique_ptr<TGIFImage> LoadGifFromStream(std::span<const uint8_t> data, bool& notAnimated) {
  notAnimated = true;
  auto image = std::make_unique<TGIFImage>();
  if (!image->LoadHeaderFromStream(data)) return nullptr;
  image->SetAnimate(false);
  image->SetVisible(false);
  notAnimated = !image->Animated;
  if (image->LoadFromStream(data)) return image;
  ImageCache().PurgeUnused();
  return nullptr;
}

std::unique_ptr<TGIFImage> LoadGifFromFile(const std::string& name, bool& notAnimated) {
  notAnimated = true;
  // Read once: the header pass and the decode use the same bytes.
  const auto bytes = platform::ReadWholeFile(name);
  if (!bytes) return nullptr;
  return LoadGifFromStream({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()},
                           notAnimated);
}

}  // namespace images
