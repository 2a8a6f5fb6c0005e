#pragma once

#include <algorithm>
#include <cstdint>

namespace platform {

// Rectangles follow the Windows convention: right and bottom are exclusive.
struct TPoint {
  int x = 0;
  int y = 0;
  bool operator==(const TPoint&) const = default;
};

struct TSize {
  int cx = 0;
  int cy = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  TRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  bool operator==(const TRect&) const = default;
};

inline TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

// A 64-bit value cut to the int range.
inline int ClampToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Coordinates this far out lie far outside any bitmap (whose sides are at
// most 2^16 pixels), so a rectangle computed in 64 bits can be cut to them
// without changing what it covers of a bitmap, and the width and height of
// the result still fit in an int.
constexpr int64_t kFarCoordinate = int64_t{1} << 29;

inline TRect ClampedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  const auto clamp = [](int64_t v) {
    return static_cast<int>(std::clamp(v, -kFarCoordinate, kFarCoordinate));
  };
  return {clamp(left), clamp(top), clamp(right), clamp(bottom)};
}

}  // namespace platform
