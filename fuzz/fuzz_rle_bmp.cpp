// Run-length encoded bitmaps built from a description: the input chooses the
// header (width, height, top-down, bit count, compression, palette, pixel
// offset) and a short program of encoded runs, absolute runs, deltas and
// end-of-line / end-of-bitmap codes, each repeated up to millions of times.
// A few input bytes so become megabytes of stream, which a byte fuzzer never
// writes, and go through the same reader as a medium's pictures.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/BmpReader.h"

namespace {

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
// Enough stream to reach the end of the largest picture the reader accepts
// (2^24 pixels) by deltas alone (255 pixels per four bytes) seven times over.
// Beyond that a longer stream only costs time: at 40 MB the run spent most
// of it filling the stream and made 28 pictures a second.
constexpr size_t kMaxStream = size_t{2} << 20;
static_assert(kMaxStream >= 7 * (platform::kMaxPicturePixels / 255 * 4));

void Put16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value);
  out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  Put16(out, at, value & 0xFFFF);
  Put16(out, at + 2, value >> 16);
}

// A dimension: mostly small, sometimes at an edge, sometimes anything.
int32_t Dimension(FuzzedDataProvider& in) {
  static constexpr std::array<int32_t, 10> kEdges = {
      0, 1, 255, 256, 32767, 65535, 65536, 65537, 2147483647, -2147483647 - 1};
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return in.PickValueInArray(kEdges);
    case 1:
      return in.ConsumeIntegral<int32_t>();
    case 2:
      return in.ConsumeIntegralInRange<int32_t>(1, 4096);
    default:
      return in.ConsumeIntegralInRange<int32_t>(1, 64);
  }
}

// How often an instruction repeats: a few times, or up to sixteen million.
uint32_t Repeat(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return in.ConsumeIntegralInRange<uint32_t>(1, 1u << 24);
    case 1:
      return in.ConsumeIntegralInRange<uint32_t>(1, 4096);
    default:
      return in.ConsumeIntegralInRange<uint32_t>(1, 16);
  }
}

// Appends `piece` `times` times, within the stream limit.
void Emit(std::vector<uint8_t>& out, const std::vector<uint8_t>& piece, uint32_t times) {
  if (piece.empty()) return;
  const size_t room = (kMaxStream - std::min(kMaxStream, out.size())) / piece.size();
  const size_t n = std::min<size_t>(times, room);
  if (n == 0) return;
  // The first copy, then what is written so far copied after itself.
  const size_t start = out.size(), total = n * piece.size();
  out.resize(start + total);
  std::copy(piece.begin(), piece.end(), out.begin() + static_cast<ptrdiff_t>(start));
  for (size_t done = piece.size(); done < total;) {
    const size_t chunk = std::min(done, total - done);
    std::copy_n(out.begin() + static_cast<ptrdiff_t>(start), chunk,
                out.begin() + static_cast<ptrdiff_t>(start + done));
    done += chunk;
  }
}

std::vector<uint8_t> MakeBitmapFile(FuzzedDataProvider& in) {
  const bool four = in.ConsumeBool();
  uint16_t bitCount = four ? 4 : 8;
  uint32_t compression = four ? kRle4 : kRle8;
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0) compression ^= kRle8 ^ kRle4;  // a mismatch
  const int32_t width = Dimension(in);
  int32_t height = Dimension(in);
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0)  // top-down; the lowest value stays itself
    height = static_cast<int32_t>(0u - static_cast<uint32_t>(height));
  static constexpr std::array<uint32_t, 4> kInfoSizes = {40, 40, 108, 124};
  const uint32_t infoSize = in.PickValueInArray(kInfoSizes);
  const uint32_t colorsUsed = in.ConsumeBool() ? 0 : in.ConsumeIntegralInRange<uint32_t>(0, 300);
  const size_t paletteSize = in.ConsumeIntegralInRange<size_t>(0, 256);

  std::vector<uint8_t> file(14 + infoSize, 0);
  file[0] = 'B';
  file[1] = 'M';
  Put32(file, 14, infoSize);
  Put32(file, 18, static_cast<uint32_t>(width));
  Put32(file, 22, static_cast<uint32_t>(height));
  Put16(file, 26, 1);  // planes
  Put16(file, 28, bitCount);
  Put32(file, 30, compression);
  Put32(file, 46, colorsUsed);
  for (size_t i = 0; i < paletteSize; ++i) {
    const uint32_t entry = static_cast<uint32_t>(i) * 0x010203u;
    for (int k = 0; k < 4; ++k) file.push_back(static_cast<uint8_t>(entry >> (8 * k)));
  }
  uint32_t pixelOffset = static_cast<uint32_t>(file.size());
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0) pixelOffset = in.ConsumeIntegral<uint32_t>();
  Put32(file, 10, pixelOffset);

  // The program.
  while (in.remaining_bytes() > 0 && file.size() < kMaxStream) {
    std::vector<uint8_t> piece;
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
      case 0:  // encoded run
        piece = {in.ConsumeIntegralInRange<uint8_t>(1, 255), in.ConsumeIntegral<uint8_t>()};
        break;
      case 1: {  // absolute run, padded to a word
        const uint8_t n = in.ConsumeIntegralInRange<uint8_t>(3, 255);
        piece = {0, n};
        const size_t bytes = four ? (n + 1) / 2 : n;
        for (size_t i = 0; i < bytes; ++i) piece.push_back(in.ConsumeIntegral<uint8_t>());
        if (bytes & 1) piece.push_back(0);
        break;
      }
      case 2:  // delta
        piece = {0, 2, in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>()};
        break;
      case 3:  // end of line
        piece = {0, 0};
        break;
      case 4:  // end of bitmap
        piece = {0, 1};
        break;
      default:  // a few bytes as they come: truncated and odd codes
        piece = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<size_t>(1, 4));
        break;
    }
    Emit(file, piece, Repeat(in));
  }
  Put32(file, 2, static_cast<uint32_t>(std::min<size_t>(file.size(), UINT32_MAX)));
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::vector<uint8_t> file = MakeBitmapFile(in);
  const auto bitmap = platform::ReadBmp(file);
  if (!bitmap) return 0;
  const auto field = [&](size_t at) {
    return static_cast<int64_t>(static_cast<int32_t>(file[at] | file[at + 1] << 8 |
                                                     file[at + 2] << 16 |
                                                     static_cast<uint32_t>(file[at + 3]) << 24));
  };
  // What was read has the size the header gave, bottom-up or top-down.
  if (bitmap->Width() != field(18) || bitmap->Height() != std::abs(field(22))) std::abort();
  (void)bitmap->GetPixel(0, 0);
  (void)bitmap->GetPixel(bitmap->Width() - 1, bitmap->Height() - 1);
  return 0;
}
