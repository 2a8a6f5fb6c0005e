#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/Color.h"

namespace platform {

enum class TPixelFormat { pf1bit, pf8bit, pf32bit };

// A device-independent pixel buffer, rows top to bottom, each row padded to
// 4 bytes. 32-bit pixels are stored as Windows DIBs store them: one uint32
// 0x00RRGGBB per pixel (bytes B, G, R, unused). 8-bit and 1-bit pixels are
// indexes into the palette, whose entries are colours (0x00BBGGRR).
// Bytes that are left as they come from the heap unless a value is given:
// a decoder that writes every pixel need not pay for clearing them first.
template <typename T>
struct TUninitializedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = TUninitializedAllocator<U>;
  };
  TUninitializedAllocator() = default;
  template <typename U>
  TUninitializedAllocator(const TUninitializedAllocator<U>&) {}
  template <typename U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// Asks for a bitmap whose pixels the caller writes, every one of them.
struct TNoFill {};

class Bitmap {
 public:
  // Largest pixel count a bitmap may hold; decoders check against it before
  // they allocate so a hostile header cannot ask for gigabytes.
  static constexpr int64_t kMaxPixels = int64_t{1} << 28;
  static constexpr int kMaxDimension = 1 << 16;

  Bitmap() = default;
  // Throws std::length_error for negative sizes or more than kMaxPixels.
  // New 32-bit bitmaps are black; 1-bit bitmaps get the palette {black,
  // white}; 8-bit bitmaps get a 256-entry grey ramp.
  Bitmap(int width, int height, TPixelFormat format = TPixelFormat::pf32bit);
  // The same, with the pixels undefined until the caller writes them.
  Bitmap(int width, int height, TPixelFormat format, TNoFill);

  static bool SizeIsAllowed(int64_t width, int64_t height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TPixelFormat Format() const { return format_; }
  int Stride() const { return stride_; }

  uint8_t* Scanline(int y) { return bits_.data() + static_cast<size_t>(y) * stride_; }
  const uint8_t* Scanline(int y) const { return bits_.data() + static_cast<size_t>(y) * stride_; }
  uint32_t* Row32(int y) { return reinterpret_cast<uint32_t*>(Scanline(y)); }
  const uint32_t* Row32(int y) const { return reinterpret_cast<const uint32_t*>(Scanline(y)); }

  std::vector<TColor>& Palette() { return palette_; }
  const std::vector<TColor>& Palette() const { return palette_; }

  // Raw value: the 0x00RRGGBB word for 32-bit, the index otherwise.
  // Coordinates must be inside the bitmap.
  uint32_t GetRaw(int x, int y) const;
  void SetRaw(int x, int y, uint32_t value);

  // Colour (0x00BBGGRR) of a pixel; outside the bitmap gives 0xFFFFFFFF
  // (CLR_INVALID), as GetPixel does.
  TColor GetPixel(int x, int y) const;
  // Sets the pixel to the colour (nearest palette entry for indexed formats);
  // outside the bitmap it does nothing.
  void SetPixel(int x, int y, TColor color);

  // The raw value a colour has in this bitmap's format.
  uint32_t RawFromColor(TColor color) const;
  // The colour of a raw value in this bitmap's format.
  TColor ColorFromRaw(uint32_t raw) const;

  void Fill(TColor color);

  bool operator==(const Bitmap& other) const;

 private:
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  TPixelFormat format_ = TPixelFormat::pf32bit;
  std::vector<uint8_t, TUninitializedAllocator<uint8_t>> bits_;
  std::vector<TColor> palette_;
};

// 0x00BBGGRR <-> 0x00RRGGBB.
constexpr uint32_t ColorToRaw32(TColor c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
constexpr TColor Raw32ToColor(uint32_t raw) {
  return ((raw & 0xFF) << 16) | (raw & 0xFF00) | ((raw >> 16) & 0xFF);
}

// Index of the palette entry closest to the colour (squared RGB distance,
// first of equals), as GetNearestPaletteIndex. An empty palette gives 0.
int NearestPaletteIndex(const std::vector<TColor>& palette, TColor color);

}  // namespace platform
