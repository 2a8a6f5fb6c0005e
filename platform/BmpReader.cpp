#include "platform/BmpReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

constexpr size_t kFileHeaderSize = 14;
// Pictures up to this size are decoded whatever the file length (they cost
// at most 16 KB); a larger one is not expanded past what its data can
// hold: a 78-byte file claiming 1024 x 1024 took 4 MB, and a page of them
// gigabytes.
constexpr int64_t kFreePixels = 1 << 12;
constexpr int64_t kMaxRlePixelsPerByte = 256;
constexpr int64_t kMaxRowPixelsPerByte = 16;

enum Compression : uint32_t {
  kRgb = 0,
  kRle8 = 1,
  kRle4 = 2,
  kBitFields = 3,
  kAlphaBitFields = 6,
};

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> data) : data_(data) {}
  bool Has(size_t offset, size_t size) const {
    return offset <= data_.size() && size <= data_.size() - offset;
  }
  uint8_t U8(size_t offset) const { return Has(offset, 1) ? data_[offset] : 0; }
  uint16_t U16(size_t offset) const {
    return static_cast<uint16_t>(U8(offset) | (U8(offset + 1) << 8));
  }
  uint32_t U32(size_t offset) const {
    return static_cast<uint32_t>(U16(offset)) | (static_cast<uint32_t>(U16(offset + 2)) << 16);
  }
  int32_t S32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
  size_t Size() const { return data_.size(); }

 private:
  std::span<const uint8_t> data_;
};

// One colour channel of a bit-field pixel, scaled to 0..255 with rounding.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;

  explicit Channel(uint32_t m = 0) : mask(m) {
    if (!m) return;
    shift = std::countr_zero(m);
    max = m >> shift;
    // A mask with holes is read as if its bits were contiguous.
    if ((max & (max + 1)) != 0)
      max = static_cast<uint32_t>((uint64_t{1} << std::bit_width(max)) - 1);
  }
  uint8_t Value(uint32_t pixel) const {
    if (!mask) return 0;
    const uint64_t v = (pixel & mask) >> shift;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
  }
};

struct Header {
  int64_t width = 0;
  int64_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  uint32_t compression = kRgb;
  uint32_t colorsUsed = 0;
  size_t headerSize = 0;
  bool core = false;  // OS/2 1.x: three-byte palette entries
  std::array<uint32_t, 3> masks{};
  size_t paletteOffset = 0;
};

std::optional<Header> ReadHeader(const Reader& in) {
  Header h;
  h.headerSize = in.U32(kFileHeaderSize);
  const size_t info = kFileHeaderSize;
  if (!in.Has(info, std::max<size_t>(h.headerSize, 12))) return std::nullopt;
  if (h.headerSize == 12) {
    h.core = true;
    h.width = in.U16(info + 4);
    h.height = static_cast<int16_t>(in.U16(info + 6));
    if (in.U16(info + 8) != 1) return std::nullopt;
    h.bitCount = in.U16(info + 10);
  } else if (h.headerSize >= 16 && h.headerSize <= 124 &&
             (h.headerSize == 16 || h.headerSize >= 40)) {
    h.width = in.S32(info + 4);
    h.height = in.S32(info + 8);
    if (in.U16(info + 12) != 1) return std::nullopt;
    h.bitCount = in.U16(info + 14);
    if (h.headerSize >= 20) h.compression = in.U32(info + 16);
    if (h.headerSize >= 36) h.colorsUsed = in.U32(info + 32);
    // OS/2 2.x headers (16 or 64 bytes) number compression differently:
    // 3 is Huffman and 4 RLE24, neither of which GDI reads.
    if ((h.headerSize == 16 || h.headerSize == 64) && h.compression >= kBitFields)
      return std::nullopt;
  } else {
    return std::nullopt;
  }
  if (h.height < 0) {
    h.topDown = true;
    h.height = -h.height;
  }
  if (h.width <= 0 || h.height <= 0 || h.width > kMaxPictureDimension ||
      h.height > kMaxPictureDimension || h.width * h.height > kMaxPicturePixels)
    return std::nullopt;

  switch (h.bitCount) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return std::nullopt;
  }
  const bool bitFields = h.compression == kBitFields || h.compression == kAlphaBitFields;
  if (h.compression == kRle8 && h.bitCount != 8) return std::nullopt;
  if (h.compression == kRle4 && h.bitCount != 4) return std::nullopt;
  if (bitFields && h.bitCount != 16 && h.bitCount != 32) return std::nullopt;
  if (h.compression != kRgb && h.compression != kRle8 && h.compression != kRle4 && !bitFields)
    return std::nullopt;
  if ((h.compression == kRle8 || h.compression == kRle4) && h.topDown) return std::nullopt;

  h.paletteOffset = info + h.headerSize;
  if (bitFields) {
    // Masks sit inside v2+ headers, or follow a 40-byte header.
    const size_t at = info + 40;
    for (int i = 0; i < 3; ++i) h.masks[i] = in.U32(at + 4 * i);
    if (h.headerSize == 40) h.paletteOffset += h.compression == kAlphaBitFields ? 16 : 12;
  } else if (h.bitCount == 16) {
    h.masks = {0x7C00, 0x03E0, 0x001F};
  } else if (h.bitCount == 32) {
    h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  }
  return h;
}

// Unpacks the palette index of pixel x from a row of `bits`-bit pixels.
uint32_t IndexAt(const uint8_t* row, int x, int bits) {
  const int bitOffset = x * bits;
  const uint8_t byte = row[bitOffset >> 3];
  return (byte >> (8 - bits - (bitOffset & 7))) & ((1u << bits) - 1);
}

void DecodeRle(const Reader& in, size_t offset, const Header& h,
               const std::vector<uint32_t>& palette, Bitmap& out) {
  const int width = static_cast<int>(h.width);
  const int height = static_cast<int>(h.height);
  const bool four = h.compression == kRle4;
  const auto colour = [&](uint32_t index) { return index < palette.size() ? palette[index] : 0u; };
  // x stays in 0..width and y in 0..height: a pixel past the end of a row
  // is dropped, and so is every later one until the next end of line (x
  // only grows until then), so stopping the count at the edge changes
  // nothing and no run or delta can carry it past the int range.
  int x = 0, y = 0;  // y counts rows from the bottom
  const auto put = [&](uint32_t index) {
    if (x >= width) return;
    out.Row32(height - 1 - y)[x] = colour(index);
    ++x;
  };
  size_t p = offset;
  while (in.Has(p, 2) && y < height) {
    const uint8_t count = in.U8(p), value = in.U8(p + 1);
    p += 2;
    if (count > 0) {
      for (int i = 0; i < count && x < width; ++i)
        put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      break;
    } else if (value == 2) {  // delta
      if (!in.Has(p, 2)) break;
      x = std::min(width, x + in.U8(p));
      y = std::min(height, y + in.U8(p + 1));
      p += 2;
    } else {  // absolute run of `value` pixels, padded to a word
      const size_t bytes = four ? (value + 1) / 2 : value;
      for (int i = 0; i < value && x < width; ++i) {
        const size_t at = p + (four ? i / 2 : i);
        if (!in.Has(at, 1)) return;
        const uint8_t b = in.U8(at);
        put(four ? ((i & 1) ? b & 0x0F : b >> 4) : b);
      }
      p += (bytes + 1) & ~size_t{1};
    }
  }
}

}  // namespace

std::optional<Bitmap> ReadBmp(std::span<const uint8_t> data) {
  const Reader in(data);
  if (!in.Has(0, kFileHeaderSize + 4) || in.U8(0) != 'B' || in.U8(1) != 'M') return std::nullopt;
  const std::optional<Header> parsed = ReadHeader(in);
  if (!parsed) return std::nullopt;
  const Header& h = *parsed;
  const size_t pixelOffset = in.U32(10);

  std::vector<uint32_t> palette;  // as 32-bit raw pixels
  if (h.bitCount <= 8) {
    const size_t entrySize = h.core ? 3 : 4;
    size_t count = h.colorsUsed ? h.colorsUsed : (size_t{1} << h.bitCount);
    count = std::min<size_t>(count, 256);
    // A palette never reaches into the pixels.
    if (pixelOffset > h.paletteOffset)
      count = std::min(count, (pixelOffset - h.paletteOffset) / entrySize);
    for (size_t i = 0; i < count && in.Has(h.paletteOffset + i * entrySize, entrySize); ++i) {
      const size_t e = h.paletteOffset + i * entrySize;
      palette.push_back((static_cast<uint32_t>(in.U8(e + 2)) << 16) |
                        (static_cast<uint32_t>(in.U8(e + 1)) << 8) | in.U8(e));
    }
  }
  if (pixelOffset >= in.Size()) return std::nullopt;
  // No encoding gets more than 256 pixels out of a byte (RLE runs), and
  // uncompressed rows no more than 8 (1 bit per pixel): a header claiming
  // far more than the file can hold is not believed. Uncompressed files get
  // twice their share, so that a cut-off file still shows what it has.
  const int64_t pixels = h.width * h.height;
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  const int64_t pixelsPerByte = rle ? kMaxRlePixelsPerByte : kMaxRowPixelsPerByte;
  if (pixels > kFreePixels && pixels / pixelsPerByte > static_cast<int64_t>(in.Size()))
    return std::nullopt;

  std::optional<Bitmap> allocated;
  try {
    allocated.emplace(static_cast<int>(h.width), static_cast<int>(h.height), TPixelFormat::pf32bit);
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // no memory for it: no picture, as for a bad file
  } catch (const std::length_error&) {
    return std::nullopt;
  }
  Bitmap& out = *allocated;
  const int width = out.Width(), height = out.Height();
  if (h.compression == kRle8 || h.compression == kRle4) {
    DecodeRle(in, pixelOffset, h, palette, out);
    return allocated;
  }

  const size_t stride = ((static_cast<size_t>(width) * h.bitCount + 31) / 32) * 4;
  const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
  for (int row = 0; row < height; ++row) {
    const size_t at = pixelOffset + static_cast<size_t>(row) * stride;
    if (!in.Has(at, stride)) break;  // truncated: the rest stays black
    const uint8_t* src = data.data() + at;
    uint32_t* dst = out.Row32(h.topDown ? row : height - 1 - row);
    for (int x = 0; x < width; ++x) {
      uint32_t pixel = 0;
      switch (h.bitCount) {
        case 1:
        case 2:
        case 4:
        case 8: {
          const uint32_t index = IndexAt(src, x, h.bitCount);
          pixel = index < palette.size() ? palette[index] : 0;
          break;
        }
        case 16: {
          const uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
          pixel =
              (static_cast<uint32_t>(red.Value(v)) << 16) | (green.Value(v) << 8) | blue.Value(v);
          break;
        }
        case 24:
          pixel =
              (static_cast<uint32_t>(src[3 * x + 2]) << 16) | (src[3 * x + 1] << 8) | src[3 * x];
          break;
        case 32: {
          const uint32_t v = static_cast<uint32_t>(src[4 * x]) | (src[4 * x + 1] << 8) |
                             (src[4 * x + 2] << 16) | (static_cast<uint32_t>(src[4 * x + 3]) << 24);
          pixel =
              (static_cast<uint32_t>(red.Value(v)) << 16) | (green.Value(v) << 8) | blue.Value(v);
          break;
        }
      }
      dst[x] = pixel;
    }
  }
  return allocated;
}

}  // namespace platform
