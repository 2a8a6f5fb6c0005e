#pragma once

// Pictures made in tests: BMP bytes from a pixel function, and a document
// whose pictures come from memory by name.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Color.h"
#include "platform/Stream.h"
#include "tools/PageRender.h"

namespace testpictures {

// A 24-bit bottom-up BMP file.
inline std::vector<uint8_t> Bmp24(int width, int height,
                                  const std::function<platform::TColor(int x, int y)>& pixel) {
  const int stride = (width * 3 + 3) & ~3;
  const uint32_t size = 54 + static_cast<uint32_t>(stride * height);
  std::vector<uint8_t> b(size, 0);
  const auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  b[0] = 'B';
  b[1] = 'M';
  put32(2, size);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = 24;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const platform::TColor c = pixel(x, y);
      uint8_t* p = &b[54 + static_cast<size_t>((height - 1 - y) * stride + x * 3)];
      p[0] = platform::GetBValue(c);
      p[1] = platform::GetGValue(c);
      p[2] = platform::GetRValue(c);
    }
  return b;
}

inline std::vector<uint8_t> SolidBmp(int width, int height, platform::TColor colour) {
  return Bmp24(width, height, [colour](int, int) { return colour; });
}

// Pictures by name for OnImageRequest; a name not here gives no picture,
// "pending" names answer with the pending marker. Requests are counted.
struct MemoryPictures {
  std::map<std::string, std::unique_ptr<platform::TMemoryStream>> files;
  std::vector<std::string> requests;
  platform::TMemoryStream* pending = nullptr;
  std::vector<std::string> pendingNames;

  void Add(const std::string& name, const std::vector<uint8_t>& bytes) {
    files[name] = std::make_unique<platform::TMemoryStream>(bytes);
  }
  void Install(tools::PageSettings& settings) {
    settings.OnImageRequest = [this](const std::string& name, platform::TMemoryStream*& stream) {
      requests.push_back(name);
      for (const auto& p : pendingNames)
        if (p == name) {
          stream = pending;
          return;
        }
      const auto it = files.find(name);
      stream = it == files.end() ? nullptr : it->second.get();
    };
  }
};

}  // namespace testpictures
