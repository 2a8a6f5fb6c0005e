#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gif_test {

struct Rgb {
  uint8_t r, g, b;
};

// How an image is written: interlaced (its rows given in pass order), with
// a local colour table, with another minimum code size.
struct ImageOptions {
  bool interlaced = false;
  std::vector<Rgb> localTable{};
  int minCodeSize = 2;
  // Real compression (see Compress) instead of one code a pixel.
  bool compress = false;
  bool clearWhenFull = true;
};

// Hand-made GIF files for tests. Pixels go in stream order (an interlaced
// image's rows as the passes give them). The LZW data sends every pixel as
// its own code and a clear code before the code width would grow, so each
// code has the minimum width and the data is easy to follow.
class GifBuilder {
 public:
  GifBuilder& Header(int width, int height, const std::vector<Rgb>& globalTable = {},
                     std::string_view version = "GIF89a") {
    Append(version);
    U16(width).U16(height);
    const int bits = TableBits(globalTable.size());
    U8(globalTable.empty() ? 0 : static_cast<uint8_t>(0x80 | (bits - 1))).U8(0).U8(0);
    Table(globalTable, bits);
    return *this;
  }
  // NETSCAPE2.0 with a loop count.
  GifBuilder& Loop(int count) {
    U8(0x21).U8(0xFF).U8(11);
    Append("NETSCAPE2.0");
    return U8(3).U8(1).U16(count).U8(0);
  }
  // A graphic control extension; transparentIndex < 0 for none.
  GifBuilder& Control(int disposal, int delayCs, int transparentIndex = -1) {
    const uint8_t packed =
        static_cast<uint8_t>((disposal & 7) << 2 | (transparentIndex >= 0 ? 1 : 0));
    U8(0x21).U8(0xF9).U8(4).U8(packed).U16(delayCs);
    return U8(static_cast<uint8_t>(transparentIndex >= 0 ? transparentIndex : 0)).U8(0);
  }
  GifBuilder& Comment(std::string_view text) {
    U8(0x21).U8(0xFE);
    SubBlocks(std::vector<uint8_t>(text.begin(), text.end()));
    return *this;
  }
  GifBuilder& Image(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                    const ImageOptions& options = {}) {
    const int bits = TableBits(options.localTable.size());
    U8(0x2C).U16(left).U16(top).U16(width).U16(height);
    U8(static_cast<uint8_t>((options.localTable.empty() ? 0 : 0x80 | (bits - 1)) |
                            (options.interlaced ? 0x40 : 0)));
    Table(options.localTable, bits);
    U8(static_cast<uint8_t>(options.minCodeSize));
    SubBlocks(options.compress ? Compress(pixels, options.minCodeSize, options.clearWhenFull)
                               : Lzw(pixels, options.minCodeSize));
    return *this;
  }
  GifBuilder& Raw(std::initializer_list<uint8_t> more) {
    bytes.insert(bytes.end(), more);
    return *this;
  }
  GifBuilder& Trailer() { return U8(0x3B); }

  // Codes for these pixels: clear, literals with a clear before the width
  // would grow, end.
  static std::vector<uint8_t> Lzw(const std::vector<uint8_t>& pixels, int minCodeSize) {
    std::vector<uint8_t> out;
    uint32_t accumulator = 0;
    int count = 0;
    const int width = minCodeSize + 1;
    const auto put = [&](int code) {
      accumulator |= static_cast<uint32_t>(code) << count;
      count += width;
      while (count >= 8) {
        out.push_back(static_cast<uint8_t>(accumulator));
        accumulator >>= 8;
        count -= 8;
      }
    };
    const int clear = 1 << minCodeSize;
    const int perClear = clear - 2;
    put(clear);
    int sinceClear = 0;
    for (uint8_t pixel : pixels) {
      if (sinceClear == perClear) {
        put(clear);
        sinceClear = 0;
      }
      put(pixel);
      ++sinceClear;
    }
    put(clear + 1);
    if (count > 0) out.push_back(static_cast<uint8_t>(accumulator));
    return out;
  }

  // Greedy LZW: the longest string in the table, then a new entry. The
  // code width grows as the decoder's does (once the entry count before
  // this code's entry reaches the width's limit); a full table is cleared,
  // or kept without new entries when clearWhenFull is false.
  static std::vector<uint8_t> Compress(const std::vector<uint8_t>& pixels, int minCodeSize,
                                       bool clearWhenFull) {
    std::vector<uint8_t> out;
    uint32_t accumulator = 0;
    int count = 0;
    int width = minCodeSize + 1;
    const auto put = [&](int code) {
      accumulator |= static_cast<uint32_t>(code) << count;
      count += width;
      while (count >= 8) {
        out.push_back(static_cast<uint8_t>(accumulator));
        accumulator >>= 8;
        count -= 8;
      }
    };
    const int clear = 1 << minCodeSize;
    int next = clear + 2;
    std::unordered_map<uint32_t, int> table;
    put(clear);
    if (!pixels.empty()) {
      int prefix = pixels[0];
      const auto emit = [&](int code) {
        put(code);
        if (next >= (1 << width) && width < 12) ++width;
      };
      for (size_t i = 1; i < pixels.size(); ++i) {
        const uint32_t key = static_cast<uint32_t>(prefix) << 8 | pixels[i];
        if (const auto found = table.find(key); found != table.end()) {
          prefix = found->second;
          continue;
        }
        emit(prefix);
        if (next < 4096) {
          table[key] = next++;
        } else if (clearWhenFull) {
          put(clear);
          table.clear();
          width = minCodeSize + 1;
          next = clear + 2;
        }
        prefix = pixels[i];
      }
      emit(prefix);
    }
    put(clear + 1);
    if (count > 0) out.push_back(static_cast<uint8_t>(accumulator));
    return out;
  }

  GifBuilder& SubBlocks(const std::vector<uint8_t>& data) {
    for (size_t at = 0; at < data.size(); at += 255) {
      const size_t n = std::min<size_t>(255, data.size() - at);
      U8(static_cast<uint8_t>(n));
      bytes.insert(bytes.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    return U8(0);
  }
  GifBuilder& U8(uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  GifBuilder& U16(int v) {
    return U8(static_cast<uint8_t>(v & 0xFF)).U8(static_cast<uint8_t>(v >> 8));
  }

  std::vector<uint8_t> bytes;

 private:
  static int TableBits(size_t entries) {
    int bits = 1;
    while ((size_t{1} << bits) < entries) ++bits;
    return bits;
  }
  void Table(const std::vector<Rgb>& table, int bits) {
    if (table.empty()) return;
    for (size_t i = 0; i < (size_t{1} << bits); ++i) {
      const Rgb c = i < table.size() ? table[i] : Rgb{0, 0, 0};
      U8(c.r).U8(c.g).U8(c.b);
    }
  }
  void Append(std::string_view text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
};

}  // namespace gif_test
