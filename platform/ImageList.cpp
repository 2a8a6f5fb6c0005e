#include "platform/ImageList.h"

#include "platform/Raster.h"

namespace platform {

int TImageList::Add(const Bitmap& image, const Bitmap* mask) {
  Bitmap picture(width_, height_, TPixelFormat::pf32bit);
  BlitState state;
  BitBlt(picture, 0, 0, width_, height_, &image, 0, 0, SRCCOPY, state);
  Bitmap transparency(width_, height_, TPixelFormat::pf1bit);
  if (mask) BitBlt(transparency, 0, 0, width_, height_, mask, 0, 0, SRCCOPY, state);
  images_.push_back(std::move(picture));
  masks_.push_back(std::move(transparency));
  return Count() - 1;
}

void TImageList::Draw(Bitmap& dest, int x, int y, int index) const {
  if (index < 0 || index >= Count()) return;
  const Bitmap& image = images_[index];
  const Bitmap& mask = masks_[index];
  for (int row = 0; row < height_; ++row)
    for (int col = 0; col < width_; ++col) {
      if (mask.GetRaw(col, row)) continue;
      dest.SetPixel(x + col, y + row, image.GetPixel(col, row));
    }
}

}  // namespace platform
