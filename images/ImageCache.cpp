#include "images/ImageCache.h"

#include <algorithm>

#include "base/HtmlUtils.h"
#include "images/GifImage.h"

namespace images {

std::string TStringBitmapList::KeyOf(const std::string& name) {
  return base::UpperTrimmed(name);
}

TBitmapItem* TStringBitmapList::Find(const std::string& key) {
  const auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : it->second.get();
}

int64_t PictureBytes(const TPicture& picture, const platform::Bitmap* mask) {
  const auto bytes = [](const platform::Bitmap* bitmap) {
    return bitmap ? int64_t{bitmap->Stride()} * bitmap->Height() : 0;
  };
  int64_t total = bytes(picture.Bitmap.get()) + bytes(mask);
  if (const TGIFImage* gif = picture.Animated.get()) {
    total += bytes(gif->ImageDC.get()) + bytes(gif->MaskDC.get());
    for (const auto& frame : gif->Frames)
      total += bytes(frame->Bitmap.get()) + bytes(frame->Mask.get()) +
               bytes(frame->SaveBitmap.get()) + bytes(frame->SaveMask.get());
  }
  return total;
}

void TStringBitmapList::AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item) {
  ++item->UseCount;
  auto& entry = entries_[key];
  if (entry) heldBytes_ -= entry->Bytes;
  heldBytes_ += item->Bytes;
  entry = std::move(item);
}

bool TStringBitmapList::MakeRoom(int64_t bytes, int64_t alsoHeld) {
  if (heldBytes_ + alsoHeld + bytes <= Budget) return true;
  PurgeUnused();
  return heldBytes_ + alsoHeld + bytes <= Budget;
}

void TStringBitmapList::ReleaseImage(const std::string& name) {
  if (TBitmapItem* item = Find(KeyOf(name))) --item->UseCount;
}

TPicture TStringBitmapList::UseImage(TBitmapItem& item) {
  item.AgeCount = 0;
  ++item.UseCount;
  return item.Image;
}

void TStringBitmapList::AgeImages() {
  for (auto& [key, item] : entries_) ++item->AgeCount;
  Erase([this](const TBitmapItem& item) { return item.AgeCount > MaxAge && item.UseCount < 1; });
}

void TStringBitmapList::SetMaxAge(int n) {
  Erase([n](const TBitmapItem& item) { return item.AgeCount > n && item.UseCount <= 0; });
  MaxAge = n;
}

void TStringBitmapList::PurgeUnused() {
  Erase([](const TBitmapItem& item) { return item.UseCount < 1; });
}

void TStringBitmapList::Clear() {
  entries_.clear();
  heldBytes_ = 0;
}

TStringBitmapList& ImageCache() {
  // Never destroyed: a module stopped by a static of its own at exit
  // (made before the cache) still empties it after the statics made later
  // are gone.
  static TStringBitmapList* const cache = new TStringBitmapList;
  return *cache;
}

platform::TMemoryStream* PendingImageStream() {
  static platform::TMemoryStream pending;
  return &pending;
}

}  // namespace images
