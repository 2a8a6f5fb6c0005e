#include "images/ImageKinds.h"

#include <cstring>
#include <vector>

#include "platform/Paths.h"

namespace images {
namespace {

std::span<const uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

TImageKind GetImageKind(std::span<const uint8_t> s) {
  if (s.size() >= 4 && std::memcmp(s.data(), "GIF8", 4) == 0)
    return s.size() >= 5 && s[4] == '9' ? ikGif89 : ikGif87;
  if (s.size() >= 2 && s[0] == 'B' && s[1] == 'M') return ikBmp;
  if (s.size() >= 4 && s[0] == 0x89 && std::memcmp(s.data() + 1, "PNG", 3) == 0) return ikPng;
  if (s.size() >= 2 && s[0] == 0xFF && s[1] == 0xD8) return ikJpeg;
  return ikUnknown;
}

TImageKind GetFileImageKind(const std::string& name) {
  const auto start = platform::ReadFileStart(name, 11);
  return start ? GetImageKind(Bytes(*start)) : ikUnknown;
}

bool GifTransparentColor(std::span<const uint8_t> data, platform::TColor& color) {
  // The first 790 bytes, missing ones counting 0: room for the largest
  // global table and the block after it.
  std::vector<uint8_t> b(790, 0);
  if (!data.empty()) std::memcpy(b.data(), data.data(), std::min(data.size(), b.size()));
  if (GetImageKind(std::span(b.data(), 11)) != ikGif89) return false;
  // The table's size from the packed byte, whether or not it says a table
  // is there.
  const size_t table = 3u << ((b[10] & 7) + 1);
  const size_t block = 13 + table;
  if (b[block] != 0x21 || b[block + 1] != 0xF9 || (b[block + 3] & 1) == 0) return false;
  const size_t entry = 13 + 3u * b[block + 6];
  color = platform::RGB(b[entry], b[entry + 1], b[entry + 2]);
  return true;
}

bool PngTransparentColor(std::span<const uint8_t> data, platform::TColor& color) {
  if (GetImageKind(data) != ikPng) return false;
  size_t at = 8;
  int colourType = -1;
  bool havePalette = false;
  platform::TColor candidate = 0;
  while (at + 8 <= data.size()) {
    const uint32_t length = BigEndian32(&data[at]);
    const std::string_view type(reinterpret_cast<const char*>(&data[at + 4]), 4);
    const size_t body = at + 8;
    const bool complete = length <= data.size() - body;
    if (type == "IHDR") {
      if (!complete || length < 13) return false;
      colourType = data[body + 9];
      if (colourType != 3) return false;
    } else if (type == "PLTE") {
      if (!complete || length < 3) return false;
      if (colourType == 3) {
        candidate = platform::RGB(data[body], data[body + 1], data[body + 2]);
        havePalette = true;
      }
    } else if (type == "tRNS") {
      if (!complete || length < 1) return false;
      if (colourType == 3 && data[body] < 127 && havePalette) {
        color = candidate;
        return true;
      }
    } else if (type == "IEND" || type == "IDAT") {
      return false;
    }
    if (!complete) return false;
    at = body + length + 4;
  }
  return false;
}

bool GetGifTransparentColor(const std::string& name, platform::TColor& color) {
  const auto start = platform::ReadFileStart(name, 790);
  return start && GifTransparentColor(Bytes(*start), color);
}

bool GetPngTransparentColor(const std::string& name, platform::TColor& color) {
  // The chunks before the first IDAT are small; 64 KB holds them.
  const auto start = platform::ReadFileStart(name, 64 * 1024);
  return start && PngTransparentColor(Bytes(*start), color);
}

}  // namespace images
