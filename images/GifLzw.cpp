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
  std::array<uint16_t, kTableSize> length;  // pixels of each entry's string
  // One string, last pixel first, when it does not fit in the row: at
  // most the table's length plus the first pixel of a code not yet defined.
  std::array<uint8_t, kTableSize + 2> stack;
};

// Where pixels go: the 8-bit rows of the frame's picture, and for a
// transparent frame the mask's bits for the transparent index.
template <bool kMasked>
class PixelRows {
 public:
  PixelRows(platform::Bitmap& picture, platform::Bitmap* mask, uint8_t transparentIndex,
            bool interlaced)
      : picture_(picture),
        mask_(mask),
        transparentIndex_(transparentIndex),
        order_(picture.Height(), interlaced) {
    SelectRow();
  }

  void Put(int x, uint8_t index) {
    row_[x] = index;
    if constexpr (kMasked)
      if (index == transparentIndex_) maskRow_[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
  }
  // False after the last row.
  bool NextRow() {
    if (!order_.Next()) return false;
    SelectRow();
    return true;
  }

 private:
  void SelectRow() {
    row_ = picture_.Scanline(order_.Row());
    if constexpr (kMasked) maskRow_ = mask_->Scanline(order_.Row());
  }

  platform::Bitmap& picture_;
  platform::Bitmap* mask_;
  uint8_t transparentIndex_;
  RowOrder order_;
  uint8_t* row_ = nullptr;
  uint8_t* maskRow_ = nullptr;
};

// Decodes codes into the rows until the data, an end code or the last row
// ends them.
template <bool kMasked>
void Expand(CodeReader& reader, int minCodeSize, PixelRows<kMasked>& rows, int width) {
  StringTable table;
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  int codeWidth = minCodeSize + 1;
  int limit = 2 * clear;
  int freeCode = clear + 2;
  int old = -1;  // none: the next code is a single pixel
  uint8_t first = 0;
  int x = 0;

  for (;;) {
    const int code = reader.Read(codeWidth);
    if (code < 0 || code == end) return;
    if (code == clear) {
      codeWidth = minCodeSize + 1;
      limit = 2 * clear;
      freeCode = clear + 2;
      old = -1;
      continue;
    }
    int c = code;
    int length = 1;
    bool repeat = false;
    if (old < 0) {
      // Deliberate: a code other than a pixel value here, or one beyond the
      // next free entry later, is corrupt data. Taking it as a string, as
      // lenient readers do, could link table entries into a loop; the
      // pixels end instead.
      if (code >= clear) return;
    } else {
      if (code > freeCode) return;
      // A code not yet defined is the previous string and its own first
      // pixel.
      repeat = code == freeCode;
      const int oldLength = old < clear ? 1 : table.length[old];
      if (repeat) {
        c = old;
        length = oldLength + 1;
      } else if (code >= clear) {
        length = table.length[code];
      }
      if (freeCode < kTableSize) {
        table.prefix[freeCode] = static_cast<uint16_t>(old);
        table.length[freeCode] = static_cast<uint16_t>(oldLength + 1);
      }
    }

    // The string, written from its last pixel back along the prefixes;
    // every entry's prefix is an older entry, so the walk ends.
    if (x + length <= width) {
      int at = x + length - 1;
      if (repeat) rows.Put(at--, first);
      while (c >= clear) {
        rows.Put(at--, table.suffix[c]);
        c = table.prefix[c];
      }
      rows.Put(at, static_cast<uint8_t>(c));
      x += length;
    } else {
      // Across the end of the row: through the stack.
      int sp = 0;
      if (repeat) table.stack[sp++] = first;
      while (c >= clear) {
        table.stack[sp++] = table.suffix[c];
        c = table.prefix[c];
      }
      table.stack[sp++] = static_cast<uint8_t>(c);
      while (sp > 0) {
        const int n = std::min(sp, width - x);
        for (int i = 0; i < n; ++i) rows.Put(x++, table.stack[--sp]);
        if (x == width) {
          x = 0;
          if (!rows.NextRow()) return;
        }
      }
    }
    first = static_cast<uint8_t>(c);
    if (old >= 0 && freeCode < kTableSize) {
      table.suffix[freeCode] = first;
      ++freeCode;
      if (freeCode >= limit && limit < kTableSize) {
        limit *= 2;
        ++codeWidth;
      }
    }
    old = code;
    if (x == width) {
      x = 0;
      if (!rows.NextRow()) return;
    }
  }
}

// The same for a frame whose pixels lie in one run in decoding order (not
// interlaced, no mask): every string the table holds was written before,
// so a code is a copy of earlier pixels instead of a walk along prefixes.
// An entry is the previous string and the next pixel, which follow each
// other in the output, so it is kept as where it starts and its length.
// Gives how many pixels it wrote.
int64_t ExpandRun(CodeReader& reader, int minCodeSize, uint8_t* out, int64_t total) {
  std::array<int64_t, kTableSize> start;
  std::array<uint16_t, kTableSize> length;
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  int codeWidth = minCodeSize + 1;
  int limit = 2 * clear;
  int freeCode = clear + 2;
  int old = -1;
  int64_t at = 0;
  int64_t previousStart = 0;
  int previousLength = 0;

  while (at < total) {
    const int code = reader.Read(codeWidth);
    if (code < 0 || code == end) return at;
    if (code == clear) {
      codeWidth = minCodeSize + 1;
      limit = 2 * clear;
      freeCode = clear + 2;
      old = -1;
      continue;
    }
    if (old < 0 ? code >= clear : code > freeCode) return at;  // corrupt, as above
    int64_t from = -1;
    int stringLength = 1;
    if (code == freeCode) {
      // The previous string and its first pixel: copied forwards, the
      // copy's last pixel is the first one it wrote.
      from = previousStart;
      stringLength = previousLength + 1;
    } else if (code > end) {
      from = start[code];
      stringLength = length[code];
    }
    if (old >= 0 && freeCode < kTableSize) {
      start[freeCode] = previousStart;
      length[freeCode] = static_cast<uint16_t>(previousLength + 1);
      ++freeCode;
      if (freeCode >= limit && limit < kTableSize) {
        limit *= 2;
        ++codeWidth;
      }
    }
    const int64_t count = std::min<int64_t>(stringLength, total - at);
    if (from < 0) {
      out[at] = static_cast<uint8_t>(code);
    } else {
      for (int64_t i = 0; i < count; ++i) out[at + i] = out[from + i];
    }
    previousStart = at;
    previousLength = stringLength;
    at += count;
    old = code;
  }
  return at;
}

}  // namespace

int64_t MostPixelsFromCodeData(int64_t dataBytes, int minCodeSize) {
  if (dataBytes <= 0 || minCodeSize < 0) return 0;
  const int64_t codes = dataBytes * 8 / std::min(minCodeSize + 1, kMaxCodeWidth);
  if (codes <= kTableSize) return codes * (codes + 1) / 2;
  return int64_t{kTableSize} * (kTableSize + 1) / 2 + (codes - kTableSize) * kTableSize;
}

void TFrame::Decode() {
  const std::span<const uint8_t> data = Owner->Data;
  size_t& position = Owner->Position;
  if (position >= data.size()) return;
  const int minCodeSize = data[position];
  CodeReader reader(data, position + 1);
  // A minimum code size above 11 makes codes the table cannot hold: such
  // data supplies no pixels (the frame reader refuses it before this).
  if (Bitmap && !Bitmap->Empty() && minCodeSize < kMaxCodeWidth) {
    if (!Interlaced && Bitmap->Stride() == FrameWidth) {
      uint8_t* pixels = Bitmap->Scanline(0);
      const int64_t supplied =
          ExpandRun(reader, minCodeSize, pixels, int64_t{FrameWidth} * FrameHeight);
      // The mask's bits where the data supplied the transparent index.
      for (int y = 0; Mask && int64_t{y} * FrameWidth < supplied; ++y) {
        const uint8_t* row = pixels + static_cast<size_t>(y) * FrameWidth;
        uint8_t* bits = Mask->Scanline(y);
        const int count =
            static_cast<int>(std::min<int64_t>(FrameWidth, supplied - int64_t{y} * FrameWidth));
        for (int x = 0; x < count; ++x)
          if (row[x] == TransparentIndex) bits[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
      }
    } else if (Mask) {
      PixelRows<true> rows(*Bitmap, Mask.get(), TransparentIndex, Interlaced);
      Expand(reader, minCodeSize, rows, FrameWidth);
    } else {
      PixelRows<false> rows(*Bitmap, nullptr, TransparentIndex, Interlaced);
      Expand(reader, minCodeSize, rows, FrameWidth);
    }
  }
  position = reader.End();
}

}  // namespace images
