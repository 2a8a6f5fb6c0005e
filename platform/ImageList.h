#pragma once

#include <vector>

#include "platform/Bitmap.h"

namespace platform {

// A list of same-sized pictures, each with a 1-bit mask whose set pixels
// are transparent (as an image list with a mask keeps them).
class TImageList {
 public:
  TImageList(int width, int height) : width_(width), height_(height) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return static_cast<int>(images_.size()); }

  // Adds a picture; without a mask it is fully opaque. Pictures of another
  // size are cut or padded (black, opaque) to the list's size.
  int Add(const Bitmap& image, const Bitmap* mask = nullptr);

  // Draws picture `index` onto `dest` with its top-left at (x, y): pixels
  // with a clear mask bit are copied, the others leave `dest` as it was.
  // An index outside the list draws nothing.
  void Draw(Bitmap& dest, int x, int y, int index) const;

  const Bitmap& Image(int index) const { return images_.at(index); }
  const Bitmap& Mask(int index) const { return masks_.at(index); }

 private:
  int width_;
  int height_;
  std::vector<Bitmap> images_;
  std::vector<Bitmap> masks_;
};

}  // namespace platform
