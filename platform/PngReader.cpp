#include "platform/PngReader.h"

// libpng reports errors by calling back; ours leaves through longjmp.
#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include "platform/BmpReader.h"

namespace platform {

namespace {

// Pictures up to this many pixels are decoded whatever the file's length
// (4 MB of 32-bit pixels).
constexpr int64_t kFreePixels = int64_t{1} << 20;
// Deflate never expands a byte into more than 1032, so the filtered rows a
// file claims cannot exceed its length times that.
constexpr int64_t kMaxInflateRatio = 1032;
// Nothing this reader keeps needs a large chunk (a palette is 768 bytes);
// the ancillary chunks are skipped without being held.
constexpr png_alloc_size_t kMaxChunkBytes = 1 << 20;

struct Source {
  std::span<const uint8_t> data;
  size_t position = 0;
  // Reading past here means more image data than the picture's rows can
  // take; set once the header is known.
  size_t imageDataEnd = SIZE_MAX;
  bool imageDataCut = false;
};

// How much compressed image data a picture may have: deflate stores what
// it cannot compress with 5 bytes to 64 KiB, so no encoder needs more than
// the filtered rows and a little; the rest can only be a decompression bomb.
int64_t ImageDataLimit(int64_t filteredBytes) {
  return filteredBytes + filteredBytes / 8 + 65536;
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// Where in the file the IDAT bytes pass `limit` (the end when they never do).
size_t ImageDataEnd(std::span<const uint8_t> data, int64_t limit) {
  int64_t seen = 0;
  for (size_t at = 8; data.size() - at >= 8;) {
    const uint32_t length = BigEndian32(data.data() + at);
    const size_t start = at + 8;
    if (std::memcmp(data.data() + at + 4, "IDAT", 4) == 0) {
      if (seen + length > limit) return start + static_cast<size_t>(limit - seen);
      seen += length;
    }
    if (length > data.size() - start || data.size() - start - length < 4) break;
    at = start + length + 4;
  }
  return data.size();
}

[[noreturn]] void Error(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}
void Warning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep out, size_t length) {
  auto* source = static_cast<Source*>(png_get_io_ptr(png));
  if (source->position + length > source->imageDataEnd) {
    source->imageDataCut = true;
    png_error(png, "too much image data");
  }
  if (length > source->data.size() - source->position) png_error(png, "truncated");
  std::memcpy(out, source->data.data() + source->position, length);
  source->position += length;
}

// libpng's state. The decode stages below hold nothing that needs a
// destructor, since an error longjmps out of them.
struct Decoder {
  png_structp png = nullptr;
  png_infop info = nullptr;
  Source source;

  explicit Decoder(std::span<const uint8_t> data) : source{data} {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Error, Warning);
    if (png) info = png_create_info_struct(png);
  }
  ~Decoder() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
};

bool ReadHeaderStage(Decoder& d) {
  if (setjmp(png_jmpbuf(d.png))) return false;
  png_set_read_fn(d.png, &d.source, ReadData);
  png_set_user_limits(d.png, kMaxPictureDimension, kMaxPictureDimension);
  png_set_chunk_malloc_max(d.png, kMaxChunkBytes);
  // Text, colour profiles, gamma and the like change nothing here: every
  // chunk but the critical ones and tRNS is skipped unread.
  png_set_keep_unknown_chunks(d.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_read_info(d.png, d.info);
  return true;
}

// Asks for rows of B, G, R and alpha (or 0 when there is no alpha) bytes,
// 8 bits each, and reads them into `rows`.
bool DecodeStage(Decoder& d, bool hasAlpha, png_bytepp rows, size_t rowBytes) {
  volatile int passes = 1;
  if (setjmp(png_jmpbuf(d.png))) {
    // libpng inflates all the image data left after the last row, however
    // much there is. Cut off there, the rows are whole.
    const bool rowsComplete =
        passes > 1 ? png_get_current_pass_number(d.png) >= 7
                   : png_get_current_row_number(d.png) >= png_get_image_height(d.png, d.info);
    return d.source.imageDataCut && rowsComplete;
  }
  png_set_expand(d.png);  // palette and low-depth grey to 8 bits, tRNS to alpha
  png_set_scale_16(d.png);
  png_set_gray_to_rgb(d.png);
  png_set_bgr(d.png);
  if (!hasAlpha) png_set_filler(d.png, 0, PNG_FILLER_AFTER);
  passes = png_set_interlace_handling(d.png);
  png_read_update_info(d.png, d.info);
  if (png_get_rowbytes(d.png, d.info) != rowBytes) return false;
  png_read_image(d.png, rows);
  return true;
}

}  // namespace

std::optional<Bitmap> ReadPng(std::span<const uint8_t> data, std::optional<Bitmap>* mask) {
  if (mask) mask->reset();
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return std::nullopt;
  Decoder d(data);
  if (!d.png || !d.info || !ReadHeaderStage(d)) return std::nullopt;

  // 1. Size: the fixed ceiling, then what the compressed bytes can hold.
  const int64_t width = png_get_image_width(d.png, d.info);
  const int64_t height = png_get_image_height(d.png, d.info);
  if (width <= 0 || height <= 0 || width > kMaxPictureDimension || height > kMaxPictureDimension ||
      width * height > kMaxPicturePixels)
    return std::nullopt;
  const int64_t bitsPerPixel =
      int64_t{png_get_channels(d.png, d.info)} * png_get_bit_depth(d.png, d.info);
  const int64_t filteredBytes = height * ((width * bitsPerPixel + 7) / 8 + 1);
  if (width * height > kFreePixels &&
      filteredBytes > static_cast<int64_t>(data.size()) * kMaxInflateRatio)
    return std::nullopt;
  // Interlaced rows carry a filter byte a pass: seven times the rows at most.
  d.source.imageDataEnd = ImageDataEnd(data, ImageDataLimit(filteredBytes + 7 * height));

  // 2. The picture; the decoder writes into its rows.
  const uint8_t colorType = png_get_color_type(d.png, d.info);
  const bool hasAlpha =
      (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(d.png, d.info, PNG_INFO_tRNS);
  std::optional<Bitmap> bitmap;
  std::vector<png_bytep> rows;
  try {
    bitmap.emplace(static_cast<int>(width), static_cast<int>(height), TPixelFormat::pf32bit);
    rows.resize(static_cast<size_t>(height));
    if (mask && hasAlpha)
      mask->emplace(static_cast<int>(width), static_cast<int>(height), TPixelFormat::pf1bit);
  } catch (const std::bad_alloc&) {
    if (mask) mask->reset();
    return std::nullopt;  // no memory for it: no picture, as for a bad file
  } catch (const std::length_error&) {
    if (mask) mask->reset();
    return std::nullopt;
  }
  for (int y = 0; y < bitmap->Height(); ++y) rows[y] = bitmap->Scanline(y);
  if (!DecodeStage(d, hasAlpha, rows.data(), static_cast<size_t>(width) * 4)) {
    if (mask) mask->reset();
    return std::nullopt;
  }
  if (!hasAlpha) return bitmap;

  // 3. Alpha becomes the mask: transparent pixels set there, black here.
  for (int y = 0; y < bitmap->Height(); ++y) {
    uint32_t* row = bitmap->Row32(y);
    for (int x = 0; x < bitmap->Width(); ++x) {
      const bool transparent = (row[x] >> 24) < 128;
      row[x] &= 0x00FFFFFF;
      if (transparent && mask) {
        row[x] = 0;
        (*mask)->SetRaw(x, y, 1);
      }
    }
  }
  return bitmap;
}

}  // namespace platform
