// PNG pictures are untrusted bytes. Each input is decoded with and without
// a mask, and every pixel of the picture and the mask is read.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/PngReader.h"

namespace {

uint32_t Use(const platform::Bitmap& bitmap) {
  uint32_t sum = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) sum += bitmap.GetPixel(x, y);
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  volatile uint32_t sink = 0;
  std::optional<platform::Bitmap> mask;
  if (const auto picture = platform::ReadPng(bytes, &mask)) {
    sink = sink + Use(*picture);
    if (mask) {
      if (mask->Width() != picture->Width() || mask->Height() != picture->Height())
        __builtin_trap();
      sink = sink + Use(*mask);
    }
  }
  if (const auto plain = platform::ReadPng(bytes)) sink = sink + Use(*plain);
  return 0;
}
