#pragma once

#include <map>
#include <memory>
#include <string>

#include "images/ImageKinds.h"
#include "platform/Bitmap.h"
#include "platform/Stream.h"

namespace images {

class TGIFImage;

// A picture as the document holds it: a plain bitmap, or an animated GIF.
struct TPicture {
  std::shared_ptr<const platform::Bitmap> Bitmap;
  std::shared_ptr<TGIFImage> Animated;
  explicit operator bool() const { return Bitmap || Animated; }
};

// One cache entry. Documents count their uses; an entry nobody uses ages
// by one at every document load.
class TBitmapItem {
 public:
  int64_t Bytes = 0;  // what its picture and mask hold
  int AgeCount = 0;
  int UseCount = 0;
  TTransparency Transparency = NotTransp;
  TPicture Image;
  std::shared_ptr<const platform::Bitmap> Mask;  // set = transparent
};

// What the pictures of the process may hold together: the cache's and the
// animations the pages copy. A page of hundreds of pictures that each
// claim megabytes from a few bytes of file would take gigabytes; past the
// budget a picture shows as the missing-picture sign and the page loads.
constexpr int64_t kPictureBudget = int64_t{256} << 20;

// What a picture holds in memory (an animation with all its frames).
int64_t PictureBytes(const TPicture& picture, const platform::Bitmap* mask);

// The pictures of the process, shared by every viewer, by name: upper-cased
// and trimmed. The entries hold their pictures through shared pointers, so
// a picture dropped from the cache lives on while something still draws it.
class TStringBitmapList {
 public:
  static constexpr int kDefaultMaxAge = 4;
  int MaxAge = kDefaultMaxAge;
  int64_t Budget = kPictureBudget;

  // What the entries hold together.
  int64_t HeldBytes() const { return heldBytes_; }
  // Whether `bytes` more fit in the budget beside the entries and
  // `alsoHeld` (copies a document keeps); unused entries are dropped to
  // make room.
  bool MakeRoom(int64_t bytes, int64_t alsoHeld);

  // The key a name is cached under.
  static std::string KeyOf(const std::string& name);

  int Count() const { return static_cast<int>(entries_.size()); }
  // The entry of a key, or null.
  TBitmapItem* Find(const std::string& key);
  // Adds the entry under the key (replacing one there), counting one use.
  void AddObject(const std::string& key, std::unique_ptr<TBitmapItem> item);
  // One user of the named picture is gone.
  void ReleaseImage(const std::string& name);
  // The entry's picture for a new user: it is young again.
  TPicture UseImage(TBitmapItem& item);
  // A document load: every entry ages; unused ones older than MaxAge go.
  void AgeImages();
  // Drops unused entries older than n, then keeps n as MaxAge.
  void SetMaxAge(int n);
  // Drops every unused entry (when memory runs short).
  void PurgeUnused();
  void Clear();

 private:
  // Drops the entries `drop` picks, keeping HeldBytes true.
  template <class Drop>
  void Erase(Drop drop) {
    std::erase_if(entries_, [&](const auto& entry) {
      if (!drop(*entry.second)) return false;
      heldBytes_ -= entry.second->Bytes;
      return true;
    });
  }
  std::map<std::string, std::unique_ptr<TBitmapItem>> entries_;
  int64_t heldBytes_ = 0;
};

// The process's picture cache.
TStringBitmapList& ImageCache();

// The stream an image request answers with when the picture will come
// later; only its identity matters, nothing ever fills it.
platform::TMemoryStream* PendingImageStream();

}  // namespace images
