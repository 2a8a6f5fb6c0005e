// JPEG pictures from a medium or the host are untrusted bytes. Each input is
// decoded as a 24-bit display and as an 8-bit one (against a colour cube),
// and every pixel of the result is read.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/JpegReader.h"

namespace {

const std::vector<platform::TColor>& Palette() {
  static const std::vector<platform::TColor> palette = [] {
    std::vector<platform::TColor> p;
    for (int b = 0; b < 6; ++b)
      for (int g = 0; g < 6; ++g)
        for (int r = 0; r < 6; ++r)
          p.push_back(platform::RGB(static_cast<uint8_t>(r * 51), static_cast<uint8_t>(g * 51),
                                    static_cast<uint8_t>(b * 51)));
    return p;
  }();
  return palette;
}

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
  if (const auto full = platform::ReadJpeg(bytes)) sink = sink + Use(*full);
  if (const auto indexed = platform::ReadJpeg(bytes, &Palette())) sink = sink + Use(*indexed);
  return 0;
}
