#include "platform/Bitmap.h"

#include <algorithm>

#include <stdexcept>

namespace platform {

bool Bitmap::SizeIsAllowed(int64_t width, int64_t height) {
  return width >= 0 && height >= 0 && width <= kMaxDimension && height <= kMaxDimension &&
         width * height <= kMaxPixels;
}

Bitmap::Bitmap(int width, int height, TPixelFormat format) : Bitmap(width, height, format, TNoFill{}) {
  std::fill(bits_.begin(), bits_.end(), uint8_t{0});
}

Bitmap::Bitmap(int width, int height, TPixelFormat format, TNoFill) : format_(format) {
  if (!SizeIsAllowed(width, height)) throw std::length_error("Bitmap too large");
  width_ = width;
  height_ = height;
  int bitsPerPixel = format == TPixelFormat::pf32bit ? 32 : format == TPixelFormat::pf8bit ? 8 : 1;
  stride_ = static_cast<int>(((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32) * 4);
  bits_.resize(static_cast<size_t>(stride_) * height);
  // Rows of indexed pixels end in padding nobody writes: it is cleared.
  if (format != TPixelFormat::pf32bit) std::fill(bits_.begin(), bits_.end(), uint8_t{0});
  if (format == TPixelFormat::pf1bit) {
    palette_ = {clBlack, clWhite};
  } else if (format == TPixelFormat::pf8bit) {
    palette_.resize(256);
    for (int i = 0; i < 256; ++i) palette_[i] = RGB(i, i, i);
  }
}

uint32_t Bitmap::GetRaw(int x, int y) const {
  const uint8_t* row = Scanline(y);
  switch (format_) {
    case TPixelFormat::pf32bit:
      return reinterpret_cast<const uint32_t*>(row)[x] & 0x00FFFFFF;
    case TPixelFormat::pf8bit:
      return row[x];
    case TPixelFormat::pf1bit:
      return (row[x >> 3] >> (7 - (x & 7))) & 1;
  }
  return 0;
}

void Bitmap::SetRaw(int x, int y, uint32_t value) {
  uint8_t* row = Scanline(y);
  switch (format_) {
    case TPixelFormat::pf32bit:
      reinterpret_cast<uint32_t*>(row)[x] = value & 0x00FFFFFF;
      break;
    case TPixelFormat::pf8bit:
      row[x] = static_cast<uint8_t>(value);
      break;
    case TPixelFormat::pf1bit: {
      const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
      if (value & 1)
        row[x >> 3] |= bit;
      else
        row[x >> 3] &= static_cast<uint8_t>(~bit);
      break;
    }
  }
}

TColor Bitmap::ColorFromRaw(uint32_t raw) const {
  if (format_ == TPixelFormat::pf32bit) return Raw32ToColor(raw);
  return raw < palette_.size() ? palette_[raw] & 0x00FFFFFF : clBlack;
}

uint32_t Bitmap::RawFromColor(TColor color) const {
  color = ColorToRGB(color);
  if (format_ == TPixelFormat::pf32bit) return ColorToRaw32(color);
  return static_cast<uint32_t>(NearestPaletteIndex(palette_, color));
}

TColor Bitmap::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFF;
  return ColorFromRaw(GetRaw(x, y));
}

void Bitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  SetRaw(x, y, RawFromColor(color));
}

void Bitmap::Fill(TColor color) {
  const uint32_t raw = RawFromColor(color);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) SetRaw(x, y, raw);
}

bool Bitmap::operator==(const Bitmap& other) const {
  if (width_ != other.width_ || height_ != other.height_ || format_ != other.format_) return false;
  if (format_ != TPixelFormat::pf32bit && palette_ != other.palette_) return false;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x)
      if (GetRaw(x, y) != other.GetRaw(x, y)) return false;
  return true;
}

int NearestPaletteIndex(const std::vector<TColor>& palette, TColor color) {
  int best = 0;
  int64_t bestDistance = INT64_MAX;
  for (size_t i = 0; i < palette.size(); ++i) {
    const int dr = GetRValue(palette[i]) - GetRValue(color);
    const int dg = GetGValue(palette[i]) - GetGValue(color);
    const int db = GetBValue(palette[i]) - GetBValue(color);
    const int64_t distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<int>(i);
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace platform
