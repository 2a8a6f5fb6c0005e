// Windows bitmap files from a medium are untrusted bytes.
#include <cstddef>
#include <cstdint>

#include "platform/BmpReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto bitmap = platform::ReadBmp(std::span(data, size));
  if (bitmap && bitmap->Height() > 0) (void)bitmap->GetPixel(bitmap->Width() - 1, 0);
  return 0;
}
