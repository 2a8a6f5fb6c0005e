#include "platform/Raster.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

uint32_t ApplyRop3(uint8_t rop3, uint32_t p, uint32_t s, uint32_t d) {
  switch (rop3) {
    case 0x00:
      return 0;
    case 0xFF:
      return ~0u;
    case 0xCC:
      return s;
    case 0x33:
      return ~s;
    case 0x88:
      return s & d;
    case 0xEE:
      return s | d;
    case 0x66:
      return s ^ d;
    case 0x44:
      return s & ~d;
    case 0x11:
      return ~(s | d);
    case 0xBB:
      return ~s | d;
    case 0xC0:
      return p & s;
    case 0xF0:
      return p;
    case 0x5A:
      return p ^ d;
    case 0x55:
      return ~d;
    case 0xAA:
      return d;
    case 0xFB:
      return p | ~s | d;
    default:
      break;
  }
  // Bit i of the operation index is the result for the inputs P, S, D that
  // make up i as (P << 2) | (S << 1) | D.
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!(rop3 & (1 << i))) continue;
    result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return result;
}

namespace {

uint8_t Rop3Of(uint32_t rop) {
  return static_cast<uint8_t>((rop >> 16) & 0xFF);
}

uint32_t RawMask(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf32bit:
      return 0x00FFFFFF;
    case TPixelFormat::pf8bit:
      return 0xFF;
    case TPixelFormat::pf1bit:
      return 1;
  }
  return 0;
}

// 1-bit colour choice when a colour lands in a 1-bit bitmap as a brush.
uint32_t MonoFromColor(TColor c) {
  c = ColorToRGB(c);
  const int luminance = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
  return luminance >= 128 ? 1 : 0;
}

// Converts source pixels into the destination's raw values.
class SourceConverter {
 public:
  SourceConverter(const Bitmap& source, const Bitmap& dest, const BlitState& state)
      : source_(source), dest_(dest), state_(state) {
    samePalette_ = source.Format() == TPixelFormat::pf8bit &&
                   dest.Format() == TPixelFormat::pf8bit && source.Palette() == dest.Palette();
  }

  uint32_t operator()(int x, int y) const {
    const uint32_t raw = source_.GetRaw(x, y);
    if (source_.Format() == dest_.Format() &&
        (source_.Format() != TPixelFormat::pf8bit || samePalette_))
      return raw;
    if (source_.Format() == TPixelFormat::pf1bit)
      return ColorInDest(raw ? state_.destBkColor : state_.destTextColor);
    const TColor color = source_.ColorFromRaw(raw);
    if (dest_.Format() == TPixelFormat::pf1bit)
      return color == (ColorToRGB(state_.sourceBkColor) & 0x00FFFFFF) ? 1 : 0;
    return ColorInDest(color);
  }

 private:
  uint32_t ColorInDest(TColor color) const {
    if (dest_.Format() == TPixelFormat::pf1bit) return MonoFromColor(color);
    return dest_.RawFromColor(color);
  }

  const Bitmap& source_;
  const Bitmap& dest_;
  const BlitState& state_;
  bool samePalette_ = false;
};

class PatternSource {
 public:
  PatternSource(const Bitmap& dest, const BlitState& state) {
    if (state.brushPattern && !state.brushPattern->Empty()) {
      pattern_ = state.brushPattern;
      converter_.emplace(*pattern_, dest, state);
    } else {
      solid_ = dest.Format() == TPixelFormat::pf1bit ? MonoFromColor(state.brushColor)
                                                     : dest.RawFromColor(state.brushColor);
    }
  }
  uint32_t operator()(int x, int y) const {
    if (!pattern_) return solid_;
    const int px = ((x % pattern_->Width()) + pattern_->Width()) % pattern_->Width();
    const int py = ((y % pattern_->Height()) + pattern_->Height()) % pattern_->Height();
    return (*converter_)(px, py);
  }

 private:
  const Bitmap* pattern_ = nullptr;
  std::optional<SourceConverter> converter_;
  uint32_t solid_ = 0;
};

TRect DestClip(const Bitmap& dest, const BlitState& state) {
  return Intersect(TRect{0, 0, dest.Width(), dest.Height()}, state.clip);
}

// Rows of 32-bit pixels for the operations pictures and masks are composed
// with: fills without a brush, and copy, AND, OR, XOR from a 32-bit, 8-bit
// or 1-bit source. The same results as the pixel-by-pixel loop; false for
// anything else.
bool BlitRows32(Bitmap& dest, const TRect& target, const Bitmap* source, int64_t dx, int64_t dy,
                uint8_t rop3, const BlitState& state) {
  constexpr uint32_t kMask = 0x00FFFFFF;
  if (rop3 == 0x00 || rop3 == 0xFF) {
    for (int row = target.top; row < target.bottom; ++row)
      std::fill(dest.Row32(row) + target.left, dest.Row32(row) + target.right, rop3 ? kMask : 0u);
    return true;
  }
  if (rop3 != 0xCC && rop3 != 0x88 && rop3 != 0xEE && rop3 != 0x66) return false;
  if (!source) return false;
  const bool mono = source->Format() == TPixelFormat::pf1bit;
  const bool indexed = source->Format() == TPixelFormat::pf8bit;
  // A 1-bit source's 0 bits take the text colour, its 1 bits the background.
  const uint32_t zero = mono ? dest.RawFromColor(state.destTextColor) : 0;
  const uint32_t one = mono ? dest.RawFromColor(state.destBkColor) : 0;
  // An 8-bit source's indexes, through its palette.
  std::array<uint32_t, 256> lookup{};
  if (indexed)
    for (uint32_t i = 0; i < 256; ++i) lookup[i] = dest.RawFromColor(source->ColorFromRaw(i));
  const int width = target.Width();
  for (int row = target.top; row < target.bottom; ++row) {
    const int sourceRow = static_cast<int>(row + dy);
    const int64_t first = target.left + dx;
    uint32_t* out = dest.Row32(row) + target.left;
    // The source pixel i of this row in the destination's format.
    const auto apply = [&](auto value) {
      switch (rop3) {
        case 0xCC:
          for (int i = 0; i < width; ++i) out[i] = value(i);
          break;
        case 0x88:
          for (int i = 0; i < width; ++i) out[i] &= value(i);
          break;
        case 0xEE:
          for (int i = 0; i < width; ++i) out[i] = (out[i] | value(i)) & kMask;
          break;
        default:
          for (int i = 0; i < width; ++i) out[i] = (out[i] ^ value(i)) & kMask;
          break;
      }
    };
    if (mono) {
      const uint8_t* bits = source->Scanline(sourceRow);
      apply([&](int i) {
        const int64_t at = first + i;
        return (bits[at >> 3] >> (7 - (at & 7))) & 1 ? one : zero;
      });
    } else if (indexed) {
      const uint8_t* pixels = source->Scanline(sourceRow) + first;
      apply([&](int i) { return lookup[pixels[i]]; });
    } else {
      const uint32_t* pixels = source->Row32(sourceRow) + first;
      apply([&](int i) { return pixels[i] & kMask; });
    }
  }
  return true;
}

// Bits x .. x + 7 of a 1-bit row as one byte, first bit highest; bits
// outside the row's bytes read as 0.
uint8_t BitsAt(const uint8_t* row, int rowBytes, int64_t x) {
  if (x >= 0 && (x >> 3) + 1 < rowBytes) {
    const unsigned pair = (unsigned{row[x >> 3]} << 8) | row[(x >> 3) + 1];
    return static_cast<uint8_t>(pair >> (8 - (x & 7)));
  }
  uint8_t bits = 0;
  for (int k = 0; k < 8; ++k) {
    const int64_t at = x + k;
    if (at >= 0 && (at >> 3) < rowBytes && ((row[at >> 3] >> (7 - (at & 7))) & 1))
      bits |= static_cast<uint8_t>(0x80 >> k);
  }
  return bits;
}

// 1-bit rows a byte at a time, for any operation of a 1-bit source (or
// none) and the destination without a pattern: masks are composed this way.
void BlitRows1(Bitmap& dest, const TRect& target, const Bitmap* source, int64_t dx, int64_t dy,
               uint8_t rop3) {
  // The operation's result for source bit s and destination bit d is bit
  // (s << 1) | d of its index (the pattern does not matter).
  const auto all = [rop3](int bit) { return static_cast<uint8_t>((rop3 >> bit) & 1 ? 0xFF : 0); };
  const uint8_t t00 = all(0), t01 = all(1), t10 = all(2), t11 = all(3);
  for (int row = target.top; row < target.bottom; ++row) {
    uint8_t* out = dest.Scanline(row);
    const uint8_t* in = source ? source->Scanline(static_cast<int>(row + dy)) : nullptr;
    for (int byte = target.left >> 3; byte <= (target.right - 1) >> 3; ++byte) {
      const int first = std::max(byte * 8, target.left) - byte * 8;
      const int end = std::min(byte * 8 + 8, target.right) - byte * 8;
      const uint8_t keep = static_cast<uint8_t>((0xFF >> first) & (0xFF << (8 - end)));
      const uint8_t s = in ? BitsAt(in, source->Stride(), byte * 8 + dx) : 0;
      const uint8_t d = out[byte];
      const uint8_t result =
          static_cast<uint8_t>((t00 & ~s & ~d) | (t01 & ~s & d) | (t10 & s & ~d) | (t11 & s & d));
      out[byte] = static_cast<uint8_t>((d & ~keep) | (result & keep));
    }
  }
}

}  // namespace

bool RopUsesSource(uint32_t rop) {
  const uint8_t r = Rop3Of(rop);
  // The result depends on S when swapping S changes some bit.
  return ((r >> 2) & 0x33) != (r & 0x33);
}

bool RopUsesPattern(uint32_t rop) {
  const uint8_t r = Rop3Of(rop);
  return ((r >> 4) & 0x0F) != (r & 0x0F);
}

void BitBlt(Bitmap& dest, int x, int y, int width, int height, const Bitmap* source, int sx, int sy,
            uint32_t rop, const BlitState& state) {
  if (width <= 0 || height <= 0 || dest.Empty()) return;
  const bool usesSource = RopUsesSource(rop);
  if (usesSource && (!source || source->Empty())) return;
  // In 64 bits: x + width and x - sx may leave the int range.
  TRect target =
      Intersect(ClampedRect(x, y, int64_t{x} + width, int64_t{y} + height), DestClip(dest, state));
  if (usesSource) {
    // Only the part whose source pixels exist is written.
    const int64_t left = int64_t{x} - sx, top = int64_t{y} - sy;
    target =
        Intersect(target, ClampedRect(left, top, left + source->Width(), top + source->Height()));
  }
  if (target.IsEmpty()) return;

  const uint8_t rop3 = Rop3Of(rop);
  const uint32_t mask = RawMask(dest.Format());
  const PatternSource pattern(dest, state);
  // A solid brush copied into 32-bit pixels (every fill of a background)
  // is one value a row long.
  if (rop3 == 0xF0 && (!state.brushPattern || state.brushPattern->Empty()) &&
      dest.Format() == TPixelFormat::pf32bit) {
    const uint32_t solid = pattern(target.left, target.top) & mask;
    for (int row = target.top; row < target.bottom; ++row)
      std::fill(dest.Row32(row) + target.left, dest.Row32(row) + target.right, solid);
    return;
  }
  const int64_t dx = int64_t{sx} - x;
  const int64_t dy = int64_t{sy} - y;

  // Whole rows at a time for what composing pictures and masks uses.
  if (!RopUsesPattern(rop) && !(usesSource && source == &dest)) {
    const Bitmap* from = usesSource ? source : nullptr;
    if (dest.Format() == TPixelFormat::pf32bit &&
        BlitRows32(dest, target, from, dx, dy, rop3, state))
      return;
    if (dest.Format() == TPixelFormat::pf1bit &&
        (!from || from->Format() == TPixelFormat::pf1bit)) {
      BlitRows1(dest, target, from, dx, dy, rop3);
      return;
    }
  }

  // An overlapping copy within one bitmap must read before it writes.
  std::vector<uint32_t> sourceRow(static_cast<size_t>(target.Width()));
  const bool sameBitmap = source == &dest;
  const int firstRow = sameBitmap && dy < 0 ? target.bottom - 1 : target.top;
  const int step = sameBitmap && dy < 0 ? -1 : 1;
  std::optional<SourceConverter> convert;
  if (usesSource) convert.emplace(*source, dest, state);

  for (int row = firstRow; row >= target.top && row < target.bottom; row += step) {
    if (usesSource)
      for (int col = target.left; col < target.right; ++col)
        sourceRow[col - target.left] =
            (*convert)(static_cast<int>(col + dx), static_cast<int>(row + dy));
    if (dest.Format() == TPixelFormat::pf32bit && rop3 == 0xCC) {
      std::copy(sourceRow.begin(), sourceRow.end(), dest.Row32(row) + target.left);
      continue;
    }
    for (int col = target.left; col < target.right; ++col) {
      const uint32_t s = usesSource ? sourceRow[col - target.left] : 0;
      const uint32_t d = dest.GetRaw(col, row);
      dest.SetRaw(col, row, ApplyRop3(rop3, pattern(col, row), s, d) & mask);
    }
  }
}

void PatBlt(Bitmap& dest, int x, int y, int width, int height, uint32_t rop,
            const BlitState& state) {
  // PatBlt accepts negative extents, unlike BitBlt.
  int64_t left = x, top = y, right = int64_t{x} + width, bottom = int64_t{y} + height;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const TRect r = ClampedRect(left, top, right, bottom);
  if (r.IsEmpty()) return;
  x = r.left;
  y = r.top;
  width = r.Width();
  height = r.Height();
  BitBlt(dest, x, y, width, height, nullptr, 0, 0, rop, state);
}

namespace {

// For one destination coordinate, the range of source coordinates it covers.
struct SourceSpan {
  int64_t first;
  int64_t count;
};

std::vector<SourceSpan> MapAxis(int destSize, int64_t sourceStart, int64_t sourceSize,
                                bool mirror) {
  // destSize > 0 and sourceSize > 0; a mirrored axis counts the source from
  // its far end.
  std::vector<SourceSpan> spans(static_cast<size_t>(destSize));
  for (int i = 0; i < destSize; ++i) {
    int64_t from = (static_cast<int64_t>(i) * sourceSize) / destSize;
    int64_t to = (static_cast<int64_t>(i + 1) * sourceSize) / destSize;
    if (to <= from) {
      // Enlarging: the pixel whose centre lies under this one.
      from =
          ((2 * static_cast<int64_t>(i) + 1) * sourceSize) / (2 * static_cast<int64_t>(destSize));
      to = from + 1;
    }
    const int64_t first = mirror ? sourceSize - to : from;
    spans[i] = {sourceStart + first, to - from};
  }
  return spans;
}

// A negative extent covers (start + extent, start], as in GDI: mirroring a
// picture of width W onto x = 0 starts at W - 1.
bool Normalize(int64_t& start, int64_t& extent) {
  if (extent >= 0) return false;
  start += extent + 1;
  extent = -extent;
  return true;
}

// The part of a span that lies inside [0, size): shrinking a huge source
// rectangle reads only the pixels the picture has.
std::pair<int64_t, int64_t> InPicture(const SourceSpan& span, int size) {
  return {std::max<int64_t>(span.first, 0), std::min<int64_t>(span.first + span.count, size)};
}

}  // namespace

void StretchBlt(Bitmap& dest, int x, int y, int width, int height, const Bitmap& source, int sx,
                int sy, int sw, int sh, uint32_t rop, const BlitState& state) {
  if (width == 0 || height == 0 || sw == 0 || sh == 0 || dest.Empty() || source.Empty()) return;
  int64_t left = x, top = y, destWidth = width, destHeight = height;
  int64_t sourceLeft = sx, sourceTop = sy, sourceWidth = sw, sourceHeight = sh;
  const bool mirrorX = Normalize(left, destWidth) != Normalize(sourceLeft, sourceWidth);
  const bool mirrorY = Normalize(top, destHeight) != Normalize(sourceTop, sourceHeight);
  if (destWidth > Bitmap::kMaxDimension * 4 || destHeight > Bitmap::kMaxDimension * 4) return;
  if (sourceWidth == destWidth && sourceHeight == destHeight && !mirrorX && !mirrorY) {
    // Both extents of an axis negative: the same copy, from the other corner.
    BitBlt(dest, static_cast<int>(left), static_cast<int>(top), static_cast<int>(destWidth),
           static_cast<int>(destHeight), &source, static_cast<int>(sourceLeft),
           static_cast<int>(sourceTop), rop, state);
    return;
  }
  const TRect target =
      Intersect(ClampedRect(left, top, left + destWidth, top + destHeight), DestClip(dest, state));
  if (target.IsEmpty()) return;

  const std::vector<SourceSpan> columns =
      MapAxis(static_cast<int>(destWidth), sourceLeft, sourceWidth, mirrorX);
  const std::vector<SourceSpan> rows =
      MapAxis(static_cast<int>(destHeight), sourceTop, sourceHeight, mirrorY);
  const uint8_t rop3 = Rop3Of(rop);
  const uint32_t mask = RawMask(dest.Format());
  const PatternSource pattern(dest, state);
  const SourceConverter convert(source, dest, state);
  const auto inSource = [&](int64_t px, int64_t py) {
    return px >= 0 && py >= 0 && px < source.Width() && py < source.Height();
  };

  for (int row = target.top; row < target.bottom; ++row) {
    const SourceSpan& rs = rows[row - top];
    const auto [rowFirst, rowEnd] = InPicture(rs, source.Height());
    for (int col = target.left; col < target.right; ++col) {
      const SourceSpan& cs = columns[col - left];
      const auto [colFirst, colEnd] = InPicture(cs, source.Width());
      uint32_t s = 0;
      bool any = false;
      if (state.stretchMode == HALFTONE && dest.Format() != TPixelFormat::pf1bit) {
        uint64_t r = 0, g = 0, b = 0, n = 0;
        for (int64_t py = rowFirst; py < rowEnd; ++py)
          for (int64_t px = colFirst; px < colEnd; ++px) {
            const TColor c = dest.ColorFromRaw(convert(static_cast<int>(px), static_cast<int>(py)));
            r += GetRValue(c);
            g += GetGValue(c);
            b += GetBValue(c);
            ++n;
          }
        if (n) {
          any = true;
          s = dest.RawFromColor(RGB(static_cast<uint8_t>((r + n / 2) / n),
                                    static_cast<uint8_t>((g + n / 2) / n),
                                    static_cast<uint8_t>((b + n / 2) / n)));
        }
      } else if (state.stretchMode == BLACKONWHITE || state.stretchMode == WHITEONBLACK) {
        const bool andMode = state.stretchMode == BLACKONWHITE;
        s = andMode ? mask : 0;
        for (int64_t py = rowFirst; py < rowEnd; ++py)
          for (int64_t px = colFirst; px < colEnd; ++px) {
            any = true;
            const uint32_t v = convert(static_cast<int>(px), static_cast<int>(py));
            s = andMode ? (s & v) : (s | v);
          }
      } else if (inSource(cs.first, rs.first)) {
        any = true;
        s = convert(static_cast<int>(cs.first), static_cast<int>(rs.first));
      }
      if (!any) continue;
      dest.SetRaw(col, row, ApplyRop3(rop3, pattern(col, row), s, dest.GetRaw(col, row)) & mask);
    }
  }
}

}  // namespace platform
