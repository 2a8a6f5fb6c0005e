// PNG pictures are untrusted bytes. Each input is decoded with and without
// a mask, and every pixel of the picture and the mask is read.
//
// A mutated chunk almost never keeps its check value, and the decoder
// refuses a critical chunk whose value is wrong: so before decoding, the
// target sets every whole chunk's check value right (a copy of the input
// with the original values is decoded too, once in eight, so that the
// refusal path stays covered).
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/PngReader.h"

namespace {

uint32_t Use(const platform::Bitmap& bitmap) {
  uint32_t sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) sum += bitmap.GetPixel(x, y);
  return sum;
}

uint32_t Big32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

void FixCheckValues(std::vector<uint8_t>& png) {
  size_t at = 8;  // after the signature
  while (at + 12 <= png.size()) {
    const uint32_t length = Big32(&png[at]);
    if (length > png.size() - at - 12) break;
    const size_t end = at + 8 + length;
    const uint32_t crc = static_cast<uint32_t>(crc32(0, &png[at + 4], length + 4));
    for (int i = 0; i < 4; ++i) png[end + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    at = end + 4;
  }
}

uint32_t Decode(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  std::optional<platform::Bitmap> mask;
  if (const auto picture = platform::ReadPng(bytes, &mask)) {
    sum += Use(*picture);
    if (mask) {
      if (mask->Width() != picture->Width() || mask->Height() != picture->Height())
        __builtin_trap();
      sum += Use(*mask);
    }
  }
  if (const auto plain = platform::ReadPng(bytes)) sum += Use(*plain);
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  volatile uint32_t sink = 0;
  std::vector<uint8_t> fixed(data, data + size);
  FixCheckValues(fixed);
  sink = sink + Decode(fixed);
  if (size > 0 && data[size - 1] % 8 == 0) sink = sink + Decode(std::span(data, size));
  return 0;
}
