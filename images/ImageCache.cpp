#include "images/ImageCache.h"

#include <algorithm>

#include "base/HtmlUtils.h"

namespace images {

std::string TStringBitmapList::KeyOf(const std::string& name) {
  return base::UpperTrimmed(name);
}

TBitmapItem* TStringBitmapList::Find(const std::string& key) {
  const auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : it->second.get();
}

void TStringBitmapList::AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item) {
  ++item->UseCount;
  entries_[key] = std::move(item);
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
  std::erase_if(entries_, [this](const auto& entry) {
    TBitmapItem& item = *entry.second;
    ++item.AgeCount;
    return item.AgeCount > MaxAge && item.UseCount < 1;
  });
}

void TStringBitmapList::SetMaxAge(int n) {
  std::erase_if(entries_, [n](const auto& entry) {
    return entry.second->AgeCount > n && entry.second->UseCount <= 0;
  });
  MaxAge = n;
}

void TStringBitmapList::PurgeUnused() {
  std::erase_if(entries_, [](const auto& entry) { return entry.second->UseCount < 1; });
}

void TStringBitmapList::Clear() {
  entries_.clear();
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
