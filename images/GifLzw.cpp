// The LZW decoder of GIF image data: variable-width codes read least
// significant bit first across the data's sub-blocks, a 4096-entry string
// table, and interlaced or sequential rows.
#include <algorithm>
#include <array>

#include "images/GifBlocks.h"
#include "images/GifImage.h"

namespace images {

namespace gif {

size_t SkipSubBlock(std::span<const uint8_t> data, size_t pos) {
  if (pos >= data.size()) return data.size();
  return std::min(data.size(), pos + 1 + data[pos]);
}

size_t SkipSubBlocks(std::span<const uint8_t> data, size_t pos, int64_t* bytes) {
  int64_t total = 0;
  while (pos < data.size()) {
    const size_t length = data[pos];
    ++pos;
    if (length == 0) break;
    const size_t next = std::min(data.size(), pos + length);
    total += static_cast<int64_t>(next - pos);
    pos = next;
  }
  if (bytes) *bytes = total;
  return pos;
}

}  // namespace gif

namespace {

constexpr int kTableSize = 4096;
constexpr int kMaxCodeWidth = 12;

// Codes from the concatenated sub-blocks. A code that needs bits beyond the
// last sub-block (its terminator, or the end of truncated data) cannot be
// read: that ends the pixels.
class CodeReader {
 public:
  CodeReader(std::span<const uint8_t> data, size_t firstBlock)
      : data_(data), at_(firstBlock), blockEnd_(firstBlock) {}

  // The next code of `width` bits, or -1 at the end of the data.
  int Read(int width) {
    while (count_ < width) {
      if (at_ == blockEnd_ && !NextBlock()) return -1;
      // Take as many bytes of this sub-block as the accumulator holds.
      while (at_ < blockEnd_ && count_ <= 56) {
        bits_ |= uint64_t{data_[at_++]} << count_;
        count_ += 8;
      }
    }
    const int code = static_cast<int>(bits_ & ((uint64_t{1} << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return code;
  }

  // The position after the image's data: the rest of the current sub-block
  // and every further one up to the terminator are skipped.
  size_t End() const {
    if (terminated_) return at_;
    return gif::SkipSubBlocks(data_, blockEnd_);
  }

 private:
  bool NextBlock() {
    if (terminated_) return false;
    if (blockEnd_ >= data_.size()) {
      terminated_ = true;
      at_ = data_.size();
      return false;
    }
    const size_t length = data_[blockEnd_];
    at_ = blockEnd_ + 1;
    if (length == 0) {
      terminated_ = true;
      return false;
    }
    blockEnd_ = std::min(data_.size(), at_ + length);
    return true;
  }

  std::span<const uint8_t> data_;
  size_t at_;        // next byte to take
  size_t blockEnd_;  // end of the current sub-block: the next length byte
  bool terminated_ = false;
  uint64_t bits_ = 0;
  int count_ = 0;
};

// The rows of a frame in the order the data supplies them: top to bottom,
// or the four interlace passes (every 8th row from 0, every 8th from 4,
// every 4th from 2, every 2nd from 1), passes starting below the frame
// skipped.
class RowOrder {
 public:
  RowOrder(int height, bool interlaced) : height_(height), interlaced_(interlaced) {}
  int Row() const { return row_; }
  // Moves to the next row; false after the last.
  bool Next() {
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    if (!interlaced_) return ++row_ < height_;
    row_ += kStep[pass_];
    while (row_ >= height_) {
      if (++pass_ == 4) return false;
      row_ = kStart[pass_];
    }
    return true;
  }

 private:
  int height_;
  bool interlaced_;
  int pass_ = 0;
  int row_ = 0;
};

struct StringTable {
  std::array<uint16_t, kTableSize> prefix;
  std::array<uint8_t, kTableSize> suffix;
  // One string, last pixel first: at most the table's length plus the
  // first pixel of a code that is not yet defined.
  std::array<uint8_t, kTableSize + 2> stack;
};

// Decodes codes into `pixels` (width x height, rows in `order`); returns
// how many pixels, in that order, the data supplied.
int64_t Expand(CodeReader& reader, int minCodeSize, std::span<uint8_t> pixels, int width,
               int height, bool interlaced) {
  StringTable table;
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  int codeWidth = minCodeSize + 1;
  int limit = 2 * clear;
  int freeCode = clear + 2;
  int old = -1;  // none: the next code is a single pixel
  uint8_t first = 0;

  RowOrder order(height, interlaced);
  uint8_t* row = pixels.data();
  int x = 0;
  int64_t rowsDone = 0;

  for (;;) {
    const int code = reader.Read(codeWidth);
    if (code < 0 || code == end) break;
    if (code == clear) {
      codeWidth = minCodeSize + 1;
      limit = 2 * clear;
      freeCode = clear + 2;
      old = -1;
      continue;
    }
    int sp = 0;
    if (old < 0) {
      // Deliberate: a code other than a pixel value here, or one beyond the
      // next free entry later, is corrupt data. Taking it as a string, as
      // lenient readers do, could link table entries into a loop; the
      // pixels end instead.
      if (code >= clear) break;
      first = static_cast<uint8_t>(code);
      table.stack[sp++] = first;
    } else {
      if (code > freeCode) break;
      int c = code;
      if (code == freeCode) {
        // Not yet defined: the previous string and its own first pixel.
        table.stack[sp++] = first;
        c = old;
      }
      // Every entry's prefix is an older entry, so this walk ends.
      while (c >= clear) {
        table.stack[sp++] = table.suffix[c];
        c = table.prefix[c];
      }
      first = static_cast<uint8_t>(c);
      table.stack[sp++] = first;
      if (freeCode < kTableSize) {
        table.prefix[freeCode] = static_cast<uint16_t>(old);
        table.suffix[freeCode] = first;
        ++freeCode;
        if (freeCode >= limit && limit < kTableSize) {
          limit *= 2;
          ++codeWidth;
        }
      }
    }
    old = code;

    // Out of the stack, left to right, row after row.
    while (sp > 0) {
      const int n = std::min(sp, width - x);
      for (int i = 0; i < n; ++i) row[x++] = table.stack[--sp];
      if (x == width) {
        ++rowsDone;
        x = 0;
        if (!order.Next()) return rowsDone * width;
        row = pixels.data() + static_cast<size_t>(order.Row()) * width;
      }
    }
  }
  return rowsDone * width + x;
}

}  // namespace

int64_t MostPixelsFromCodeData(int64_t dataBytes, int minCodeSize) {
  if (dataBytes <= 0 || minCodeSize < 0) return 0;
  const int64_t codes = dataBytes * 8 / std::min(minCodeSize + 1, kMaxCodeWidth);
  if (codes <= kTableSize) return codes * (codes + 1) / 2;
  return int64_t{kTableSize} * (kTableSize + 1) / 2 + (codes - kTableSize) * kTableSize;
}

void TFrame::Decode(std::span<uint8_t> pixels, platform::Bitmap* mask) {
  const std::span<const uint8_t> data = Owner->Data;
  size_t& position = Owner->Position;
  if (position >= data.size()) return;
  const int minCodeSize = data[position];
  CodeReader reader(data, position + 1);
  int64_t supplied = 0;
  // A minimum code size above 11 makes codes the table cannot hold: such
  // data supplies no pixels (the frame reader refuses it before this).
  if (FrameWidth > 0 && FrameHeight > 0 && minCodeSize < kMaxCodeWidth)
    supplied = Expand(reader, minCodeSize, pixels, FrameWidth, FrameHeight, Interlaced);
  position = reader.End();
  if (!mask || supplied == 0) return;

  // The mask's bits, for the pixels the data supplied.
  RowOrder order(FrameHeight, Interlaced);
  for (int64_t left = supplied; left > 0; left -= FrameWidth) {
    const int y = order.Row();
    const uint8_t* source = pixels.data() + static_cast<size_t>(y) * FrameWidth;
    uint8_t* bits = mask->Scanline(y);
    const int count = static_cast<int>(std::min<int64_t>(left, FrameWidth));
    for (int x = 0; x < count; ++x)
      if (source[x] == TransparentIndex) bits[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    if (!order.Next()) break;
  }
}

}  // namespace images
