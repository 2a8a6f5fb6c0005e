#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Geometry.h"

namespace platform {

enum TCombineMode : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum TPolyFillMode : int { ALTERNATE = 1, WINDING = 2 };

// A set of pixels kept the way Windows keeps regions: horizontal bands from
// top to bottom, each a row of disjoint, non-touching spans from left to
// right; vertically adjacent bands with the same spans are merged. Because
// the form is canonical, the rectangle list of a region is unique and
// round-trips through RGNDATA byte for byte.
class Region {
 public:
  // Region coordinates are limited to 28-bit signed values, as in GDI, so
  // that widths and offsets of any region fit in an int.
  static constexpr int kMaxCoordinate = (1 << 27) - 1;

  Region() = default;
  static Region FromRect(const TRect& rect);
  // The union of the rectangles; empty ones are skipped.
  static Region FromRects(std::span<const TRect> rects);
  // The ellipse inscribed in the rectangle; with a row range, only its rows
  // in [firstRow, endRow), which cost what they cover whatever the bounds.
  static Region Ellipse(const TRect& bounds);
  static Region Ellipse(const TRect& bounds, int firstRow, int endRow);
  // Pixels whose centres lie inside the polygon by the fill rule; with a
  // row range, only its rows in [firstRow, endRow).
  static Region Polygon(std::span<const TPoint> points, TPolyFillMode mode);
  static Region Polygon(std::span<const TPoint> points, TPolyFillMode mode, int firstRow,
                        int endRow);

  // ExtCreateRegion: the RGNDATA block (32-byte header, then rectangles).
  // Malformed data (short block, wrong header size or type, more rectangles
  // than bytes, a coordinate beyond kMaxCoordinate) gives no region.
  static std::optional<Region> FromRgnData(std::span<const uint8_t> data);
  // GetRegionData: header and rectangles, little-endian.
  std::vector<uint8_t> ToRgnData() const;

  static Region Combine(const Region& a, const Region& b, TCombineMode mode);

  bool IsEmpty() const { return bands_.empty(); }
  bool Contains(int x, int y) const;  // PtInRegion
  TRect Bounds() const;
  std::vector<TRect> Rects() const;
  int RectCount() const;
  int BandCount() const { return static_cast<int>(bands_.size()); }
  Region Offset(int dx, int dy) const;

  bool operator==(const Region&) const = default;

 private:
  struct Span {
    int left;
    int right;
    bool operator==(const Span&) const = default;
  };
  struct Band {
    int top;
    int bottom;
    std::vector<Span> spans;
    bool operator==(const Band&) const = default;
  };

  // Appends a band below the current ones, merging with the last band when
  // they touch and have the same spans.
  void AppendBand(int top, int bottom, std::vector<Span> spans);
  const std::vector<Span>* SpansAt(int y) const;
  static Region FromRowSpans(int top, const std::vector<std::vector<Span>>& rows);
  static Region UnionBySweep(std::span<const TRect> rects);

  std::vector<Band> bands_;
};

}  // namespace platform
