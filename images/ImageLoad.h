#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>

#include "images/ImageCache.h"
#include "images/ImageKinds.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"

namespace images {

using BitmapPtr = std::shared_ptr<const platform::Bitmap>;

// A 1-bit mask of the picture, set where its pixels have the colour (the
// bottom-left pixel's colour when none is given).
std::optional<platform::Bitmap> MakeMask(const platform::Bitmap& picture,
                                         std::optional<platform::TColor> color = std::nullopt);

// Draws the picture stretched to width x height at (x, y), leaving the
// pixels where the mask is set untouched. Nothing on a 1-bit canvas.
void DrawTransparent(platform::TCanvas& canvas, const platform::Bitmap& picture,
                     const platform::Bitmap& mask, int width, int height, int x, int y);

// The picture in the screen's form: 32-bit colour, or on an 8-bit display
// indexes into the shared palette.
platform::Bitmap ConvertToDDB(const platform::Bitmap& picture);

// A picture's pixels in the device-independent form: indexed pictures keep
// their colour table, deeper ones become 24-bit.
class TDib {
 public:
  explicit TDib(const platform::Bitmap& picture);
  int HeaderSize() const { return headerSize_; }
  int BitsSize() const { return bitsSize_; }
  // The whole picture stretched onto the canvas with the raster operation.
  void DrawStretched(platform::TCanvas& canvas, int x, int y, int width, int height,
                     uint32_t rop) const;
  platform::Bitmap CreateDDB() const { return ConvertToDDB(pixels_); }

 private:
  const platform::Bitmap& pixels_;
  int headerSize_ = 40;
  int bitsSize_ = 0;
};

// A BMP or JPEG file (a Windows path), converted for the screen when asked.
BitmapPtr LoadBitmapFile(const std::string& name, bool convert);
// Pictures from files and from streams a host supplies: BMP, JPEG and PNG
// (GIFs are read by the GIF decoder first). `mode` asks for a mask and says
// which one was made.
BitmapPtr LoadImageFile(const std::string& name, TTransparency& mode, BitmapPtr& mask);
// The bytes of the file `name`, already read.
BitmapPtr LoadImageBytes(const std::string& name, std::span<const uint8_t> data,
                         TTransparency& mode, BitmapPtr& mask);
BitmapPtr LoadImageStream(std::span<const uint8_t> data, TTransparency& mode, BitmapPtr& mask);

}  // namespace images
