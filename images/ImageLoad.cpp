#include "images/ImageLoad.h"

#include "base/HtmlUtils.h"
#include "images/ImageModule.h"
#include "platform/BmpReader.h"
#include "platform/JpegReader.h"
#include "platform/PngReader.h"
#include "platform/Paths.h"
#include "platform/Raster.h"

namespace images {
namespace {

using platform::Bitmap;
using platform::TPixelFormat;

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Decodes what the bytes hold; a PNG's own transparency comes as its mask.
std::optional<Bitmap> Decode(std::span<const uint8_t> data, std::optional<Bitmap>* pngMask) {
  switch (GetImageKind(data)) {
    case ikBmp:
      return platform::ReadBmp(data);
    case ikJpeg:
      // 24-bit colour, or indexes into the shared palette on 8-bit displays.
      return platform::ReadJpeg(data, ThePalette());
    case ikPng:
      return platform::ReadPng(data, pngMask);
    default:
      return std::nullopt;
  }
}

BitmapPtr Share(Bitmap&& picture) {
  return std::make_shared<const Bitmap>(std::move(picture));
}

// The mask a mode asks for, from the decoded picture.
void MaskFor(const Bitmap& picture, TTransparency& mode, std::optional<platform::TColor> color,
             std::optional<Bitmap>& pngMask, BitmapPtr& mask) {
  if (pngMask) {
    mode = TPng;
    mask = Share(std::move(*pngMask));
    return;
  }
  if (mode == NotTransp || (mode != LLCorner && !color)) return;
  if (auto made = MakeMask(picture, mode == LLCorner ? std::nullopt : color))
    mask = Share(std::move(*made));
}

BitmapPtr Load(std::span<const uint8_t> data, TTransparency& mode, BitmapPtr& mask,
               std::optional<platform::TColor> color) {
  std::optional<Bitmap> pngMask;
  std::optional<Bitmap> picture = Decode(data, &pngMask);
  if (!picture || picture->Empty()) return nullptr;
  MaskFor(*picture, mode, color, pngMask, mask);
  return Share(ConvertToDDB(*picture));
}

}  // namespace

std::optional<Bitmap> MakeMask(const Bitmap& picture, std::optional<platform::TColor> color) {
  if (picture.Empty()) return std::nullopt;
  const platform::TColor wanted =
      (color ? *color : picture.GetPixel(0, picture.Height() - 1)) & 0x00FFFFFF;
  // The colour as the picture stores it: the nearest palette entry of an
  // indexed picture, as a palette-relative colour selects it.
  const uint32_t raw = picture.RawFromColor(wanted);
  Bitmap mask(picture.Width(), picture.Height(), TPixelFormat::pf1bit);
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x)
      if (picture.GetRaw(x, y) == raw) mask.SetRaw(x, y, 1);
  return mask;
}

void DrawTransparent(platform::TCanvas& canvas, const Bitmap& picture, const Bitmap& mask,
                     int width, int height, int x, int y) {
  if (canvas.Target().Format() == TPixelFormat::pf1bit || picture.Empty() || mask.Empty()) return;
  const platform::TColor text = canvas.GetTextColor(), back = canvas.GetBkColor();
  canvas.SetBkColor(platform::clWhite);
  canvas.SetTextColor(platform::clBlack);
  // Opaque pixels become black, transparent ones keep the background.
  canvas.SetStretchBltMode(platform::WHITEONBLACK);
  canvas.StretchBlt(x, y, width, height, mask, 0, 0, mask.Width(), mask.Height(), platform::SRCAND);
  // The picture with its transparent pixels black, ORed in. A copy: the
  // picture itself is shared and stays as it is.
  Bitmap opaque(picture.Width(), picture.Height(), TPixelFormat::pf32bit);
  for (int row = 0; row < picture.Height(); ++row)
    for (int col = 0; col < picture.Width(); ++col) {
      const bool clear = col < mask.Width() && row < mask.Height() && mask.GetRaw(col, row) != 0;
      if (!clear) opaque.SetPixel(col, row, picture.GetPixel(col, row));
    }
  canvas.SetStretchBltMode(platform::COLORONCOLOR);
  canvas.StretchBlt(x, y, width, height, opaque, 0, 0, opaque.Width(), opaque.Height(),
                    platform::SRCPAINT);
  canvas.SetBkColor(back);
  canvas.SetTextColor(text);
}

Bitmap ConvertToDDB(const Bitmap& picture) {
  const std::vector<platform::TColor>* palette = ThePalette();
  if (palette) {
    if (picture.Format() == TPixelFormat::pf8bit && picture.Palette() == *palette) return picture;
    Bitmap converted(picture.Width(), picture.Height(), TPixelFormat::pf8bit);
    converted.Palette() = *palette;
    // Pictures have few colours in a row; remember the last lookup.
    platform::TColor last = 0xFFFFFFFF;
    int index = 0;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) {
        const platform::TColor c = picture.GetPixel(x, y);
        if (c != last) index = platform::NearestPaletteIndex(*palette, last = c);
        converted.SetRaw(x, y, static_cast<uint32_t>(index));
      }
    return converted;
  }
  if (picture.Format() == TPixelFormat::pf32bit) return picture;
  Bitmap converted(picture.Width(), picture.Height(), TPixelFormat::pf32bit);
  for (int y = 0; y < picture.Height(); ++y) {
    uint32_t* row = converted.Row32(y);
    for (int x = 0; x < picture.Width(); ++x)
      row[x] = platform::ColorToRaw32(picture.GetPixel(x, y));
  }
  return converted;
}

TDib::TDib(const Bitmap& picture) : pixels_(picture) {
  const int bits = picture.Format() == TPixelFormat::pf1bit   ? 1
                   : picture.Format() == TPixelFormat::pf8bit ? 8
                                                              : 24;
  if (bits <= 8) headerSize_ = 40 + 4 * (1 << bits);
  const int64_t row = ((int64_t{bits} * picture.Width() + 31) / 32) * 4;
  bitsSize_ = static_cast<int>(std::min<int64_t>(row * picture.Height(), INT32_MAX));
}

void TDib::DrawStretched(platform::TCanvas& canvas, int x, int y, int width, int height,
                         uint32_t rop) const {
  canvas.StretchBlt(x, y, width, height, pixels_, 0, 0, pixels_.Width(), pixels_.Height(), rop);
}

BitmapPtr LoadBitmapFile(const std::string& name, bool convert) {
  const auto bytes = platform::ReadWholeFile(name);
  if (!bytes) return nullptr;
  const auto data = Bytes(*bytes);
  const TImageKind kind = GetImageKind(data);
  if (kind != ikBmp && kind != ikJpeg) return nullptr;
  std::optional<Bitmap> picture = Decode(data, nullptr);
  if (!picture) return nullptr;
  return Share(convert ? ConvertToDDB(*picture) : std::move(*picture));
}

BitmapPtr LoadImageFile(const std::string& name, TTransparency& mode, BitmapPtr& mask) {
  const auto bytes = platform::ReadWholeFile(name);
  if (!bytes) return nullptr;
  return LoadImageBytes(name, Bytes(*bytes), mode, mask);
}

BitmapPtr LoadImageBytes(const std::string& name, std::span<const uint8_t> data,
                         TTransparency& mode, BitmapPtr& mask) {
  std::string extension;
  if (const size_t dot = name.rfind('.'); dot != std::string::npos)
    extension = base::LowerCut(name.substr(dot), 5);
  std::optional<platform::TColor> color;
  platform::TColor found = 0;
  if (extension == ".gif" && GifTransparentColor(data, found)) {
    mode = TGif;
    color = found;
  } else if (extension == ".png" && PngTransparentColor(data, found)) {
    mode = TPng;
    color = found;
  }
  return Load(data, mode, mask, color);
}

BitmapPtr LoadImageStream(std::span<const uint8_t> data, TTransparency& mode, BitmapPtr& mask) {
  if (data.size() < 20) return nullptr;
  const TImageKind kind = GetImageKind(data);
  if (kind != ikBmp && kind != ikJpeg && kind != ikPng) return nullptr;
  if (kind == ikJpeg) mode = NotTransp;  // a streamed JPEG never gets a mask
  return Load(data, mode, mask, std::nullopt);
}

}  // namespace images
