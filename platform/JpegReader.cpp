#include "platform/JpegReader.h"

// jpeglib.h uses size_t and FILE without including their headers.
#include <cstddef>
#include <cstdio>
// The decoder reports errors by calling back; ours leaves through longjmp.
#include <jpeglib.h>
#include <csetjmp>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "platform/BmpReader.h"

namespace platform {

namespace {

// Clears the unused fourth byte of `count` 32-bit pixels, eight bytes at a
// time: the decoder writes 0xFF there, our pixels keep it 0. A plain loop
// over the pixels cost a tenth of the whole decode.
void ClearFourthBytes(uint8_t* row, int count) {
  constexpr uint64_t kKeep = 0x00FFFFFF00FFFFFFull;
  int x = 0;
  for (; x + 2 <= count; x += 2) {
    uint64_t pair;
    std::memcpy(&pair, row + 4 * x, 8);
    pair &= kKeep;
    std::memcpy(row + 4 * x, &pair, 8);
  }
  if (x < count) row[4 * x + 3] = 0;
}

// Pictures up to this many pixels are decoded whatever the file's length
// (4 MB of 32-bit pixels).
constexpr int64_t kFreePixels = int64_t{1} << 20;
// A complete JPEG spends at least one bit on each 8 x 8 block of each
// component for its DC value; a baseline file one more for its end of
// block, while a progressive one can run-length-code its AC scans. So no
// encoder gets more than 512 pixels out of a byte, and a header claiming
// more than that is a truncated or hostile file and is not believed.
constexpr int64_t kMaxPixelsPerByte = 512;
// What the decoder may use beyond the coefficient buffer: row buffers for
// upsampling and colour conversion, Huffman and quantisation tables.
constexpr int64_t kDecoderWorkspace = int64_t{16} << 20;
// Each scan of a progressive file walks every block of its components:
// thousands of tiny scans would cost minutes. Real files have about ten.
constexpr int kMaxScans = 500;

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

// The library's own handler ends the process; ours returns to the setjmp
// of the stage that called into the library.
[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings (corrupt data, premature end) are the decoder's business: it
// recovers and so do we, without printing anything.
void EmitMessage(j_common_ptr, int) {}
void OutputMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr cinfo) {
  if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) ErrorExit(cinfo);
}

// The decoder's state. The decode stages below hold nothing that needs a
// destructor, since an error longjmps out of them; whatever the library
// allocated is freed here.
struct Decoder {
  jpeg_decompress_struct cinfo{};
  ErrorManager err{};
  jpeg_progress_mgr progress{};

  Decoder() {
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = ErrorExit;
    err.pub.emit_message = EmitMessage;
    err.pub.output_message = OutputMessage;
    progress.progress_monitor = ProgressMonitor;
  }
  ~Decoder() { jpeg_destroy_decompress(&cinfo); }  // safe on a half-made decoder
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;
};

enum class Output {
  kBgrx,     // 32-bit pixels straight from the decoder
  kCmyk,     // 32-bit pixels converted from CMYK in place
  kGrey,     // 8-bit grey ramp
  kIndexed,  // 8-bit, quantised by the decoder against the palette
  kCmykIndexed,
};

bool ReadHeaderStage(Decoder& d, std::span<const uint8_t> data) {
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.cinfo.progress = &d.progress;
  jpeg_mem_src(&d.cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

// The bytes the decoder's whole-picture coefficient buffer takes when the
// file has more than one scan (progressive or non-interleaved); 0 for
// single-scan files, which are decoded a strip at a time.
int64_t CoefficientBytes(const jpeg_decompress_struct& c) {
  if (!c.progressive_mode && c.comps_in_scan >= c.num_components) return 0;
  int64_t bytes = 0;
  for (int i = 0; i < c.num_components; ++i) {
    const jpeg_component_info& comp = c.comp_info[i];
    const int64_t h = std::max(comp.h_samp_factor, 1), v = std::max(comp.v_samp_factor, 1);
    const int64_t across = (comp.width_in_blocks + h - 1) / h * h;
    const int64_t down = (comp.height_in_blocks + v - 1) / v * v;
    bytes += across * down * static_cast<int64_t>(sizeof(JBLOCK));
  }
  return bytes;
}

// CMYK as Adobe writes it is inverted (0 = full ink); a plain CMYK file is
// not. Either way the colour is the ink's absence times the black's.
uint32_t CmykToRaw32(const uint8_t* cmyk, bool inverted) {
  uint32_t c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
  if (!inverted) {
    c = 255 - c;
    m = 255 - m;
    y = 255 - y;
    k = 255 - k;
  }
  const auto scale = [k](uint32_t v) { return (v * k + 127) / 255; };
  return (scale(c) << 16) | (scale(m) << 8) | scale(y);
}

// Nearest palette entries for CMYK pictures, which the decoder cannot
// quantise, looked up once per 5-6-5 bit colour cell.
class NearestCache {
 public:
  explicit NearestCache(const std::vector<TColor>& palette) : palette_(palette) {
    cells_.fill(kUnknown);
  }
  uint8_t operator()(uint32_t raw) {
    const uint32_t r = (raw >> 16) & 0xFF, g = (raw >> 8) & 0xFF, b = raw & 0xFF;
    uint16_t& cell = cells_[((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3)];
    if (cell == kUnknown)
      cell = static_cast<uint16_t>(NearestPaletteIndex(
          palette_,
          RGB(static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b))));
    return static_cast<uint8_t>(cell);
  }

 private:
  static constexpr uint16_t kUnknown = 0xFFFF;
  const std::vector<TColor>& palette_;
  std::array<uint16_t, 1 << 16> cells_;
};

// Everything the pixel stage needs, made before it starts so that it
// constructs nothing itself.
struct PixelTarget {
  Bitmap* bitmap = nullptr;
  Output output = Output::kBgrx;
  uint8_t* cmykRow = nullptr;       // one row of CMYK samples (kCmykIndexed)
  NearestCache* nearest = nullptr;  // (kCmykIndexed)
};

constexpr int kRowsPerCall = 16;  // rows asked of the decoder at a time

bool DecodeStage(Decoder& d, const PixelTarget& t) {
  if (setjmp(d.err.jump)) return false;
  jpeg_decompress_struct& c = d.cinfo;
  jpeg_start_decompress(&c);
  Bitmap& out = *t.bitmap;
  if (c.output_width != static_cast<JDIMENSION>(out.Width()) ||
      c.output_height != static_cast<JDIMENSION>(out.Height()))
    return false;  // cannot happen at scale 1, but the rows below rely on it
  const bool inverted = c.saw_Adobe_marker;
  const int width = out.Width();
  std::array<JSAMPROW, kRowsPerCall> rows;
  while (c.output_scanline < c.output_height) {
    const int first = static_cast<int>(c.output_scanline);
    const int wanted = std::min<int>(kRowsPerCall, out.Height() - first);
    if (t.output == Output::kCmykIndexed) {
      rows[0] = t.cmykRow;
      if (jpeg_read_scanlines(&c, rows.data(), 1) != 1) return false;
      uint8_t* dst = out.Scanline(first);
      for (int x = 0; x < width; ++x)
        dst[x] = (*t.nearest)(CmykToRaw32(t.cmykRow + 4 * x, inverted));
      continue;
    }
    for (int i = 0; i < wanted; ++i) rows[i] = out.Scanline(first + i);
    const int got = static_cast<int>(jpeg_read_scanlines(&c, rows.data(), wanted));
    if (got <= 0) return false;
    if (t.output == Output::kBgrx) {
      // The decoder fills the fourth byte; our pixels keep it clear.
      for (int i = 0; i < got; ++i) ClearFourthBytes(out.Scanline(first + i), width);
    } else if (t.output == Output::kCmyk) {
      for (int i = 0; i < got; ++i) {
        uint32_t* row = out.Row32(first + i);
        const uint8_t* cmyk = out.Scanline(first + i);
        for (int x = 0; x < width; ++x) row[x] = CmykToRaw32(cmyk + 4 * x, inverted);
      }
    }
  }
  return true;
}

}  // namespace

std::optional<Bitmap> ReadJpeg(std::span<const uint8_t> data, const std::vector<TColor>* palette8) {
  if (data.size() < 2 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  Decoder d;
  if (!ReadHeaderStage(d, data)) return std::nullopt;
  jpeg_decompress_struct& c = d.cinfo;

  // 1. Size: the fixed ceiling, then what the file's bytes can back.
  const int64_t width = c.image_width, height = c.image_height;
  if (width <= 0 || height <= 0 || width > kMaxPictureDimension || height > kMaxPictureDimension ||
      width * height > kMaxPicturePixels)
    return std::nullopt;
  const int64_t allowedPixels =
      std::max(kFreePixels, static_cast<int64_t>(data.size()) * kMaxPixelsPerByte);
  if (width * height > allowedPixels) return std::nullopt;
  // Multi-scan files keep every coefficient until the end: 64 per block of
  // 64 pixels for each of at most four full-size components.
  const int64_t coefficientLimit = allowedPixels * static_cast<int64_t>(sizeof(JCOEF)) * 4;
  if (CoefficientBytes(c) > coefficientLimit) return std::nullopt;
  c.mem->max_memory_to_use = static_cast<long>(coefficientLimit + kDecoderWorkspace);

  // 2. Output form.
  if (palette8 && palette8->empty()) palette8 = nullptr;
  const bool cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
  const bool grey = c.jpeg_color_space == JCS_GRAYSCALE;
  Output output = Output::kBgrx;
  if (cmyk) {
    c.out_color_space = JCS_CMYK;
    output = palette8 ? Output::kCmykIndexed : Output::kCmyk;
  } else if (palette8 && grey) {
    c.out_color_space = JCS_GRAYSCALE;
    output = Output::kGrey;
  } else if (palette8) {
    c.out_color_space = JCS_RGB;
    output = Output::kIndexed;
  } else {
    c.out_color_space = JCS_EXT_BGRX;
  }

  // 3. The picture and the buffers the decoder writes through.
  const bool eightBit = palette8 != nullptr;
  std::optional<Bitmap> bitmap;
  std::vector<uint8_t> cmykRow;
  std::unique_ptr<NearestCache> nearest;
  std::array<std::vector<JSAMPLE>, 3> colormap;
  std::array<JSAMPROW, 3> colormapRows{};
  try {
    // Every row is written by the decoder (or the picture is dropped).
    bitmap.emplace(static_cast<int>(width), static_cast<int>(height),
                   eightBit ? TPixelFormat::pf8bit : TPixelFormat::pf32bit, TNoFill{});
    if (output == Output::kIndexed || output == Output::kCmykIndexed) {
      const size_t colours = std::min<size_t>(palette8->size(), 256);
      bitmap->Palette().assign(palette8->begin(), palette8->begin() + colours);
      if (output == Output::kCmykIndexed) {
        cmykRow.resize(static_cast<size_t>(width) * 4);
        nearest = std::make_unique<NearestCache>(bitmap->Palette());
      } else {
        for (auto& channel : colormap) channel.resize(colours);
        for (size_t i = 0; i < colours; ++i) {
          colormap[0][i] = GetRValue((*palette8)[i]);
          colormap[1][i] = GetGValue((*palette8)[i]);
          colormap[2][i] = GetBValue((*palette8)[i]);
        }
        for (int i = 0; i < 3; ++i) colormapRows[i] = colormap[i].data();
        c.quantize_colors = TRUE;
        c.dither_mode = JDITHER_FS;
        c.colormap = colormapRows.data();
        c.actual_number_of_colors = static_cast<int>(colours);
      }
    }
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // no memory for it: no picture, as for a bad file
  } catch (const std::length_error&) {
    return std::nullopt;
  }

  // 4. The pixels.
  PixelTarget target{&*bitmap, output, cmykRow.data(), nearest.get()};
  if (!DecodeStage(d, target)) return std::nullopt;
  return bitmap;
}

}  // namespace platform
