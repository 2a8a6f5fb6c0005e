// An AREA's SHAPE and COORDS texts, read as a map reads them, then tested at
// many points: the corners and centre of the area's bounds, points around
// them and the extreme coordinates. Input: the shape word, a newline, the
// coordinate text.
#include <climits>
#include <cstdint>
#include <string_view>

#include "images/MapItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t newline = input.find('\n');
  const std::string_view shape = newline == std::string_view::npos ? "rect" : input.substr(0, newline);
  const std::string_view coords = newline == std::string_view::npos ? input : input.substr(newline + 1);

  base::TAttributeList attributes;
  attributes.Add(base::ShapeSy, 0, shape);
  attributes.Add(base::HrefSy, 0, "x");
  attributes.Add(base::CoordsSy, 0, coords);
  images::TMapItem map;
  map.AddArea(attributes);
  if (map.Areas.empty()) return 0;
  const platform::TRect b = map.Areas[0].Region->Bounds();
  const int64_t xs[] = {INT_MIN, -1, 0, 1, b.left, b.right, (int64_t{b.left} + b.right) / 2, INT_MAX};
  const int64_t ys[] = {INT_MIN, -1, 0, 1, b.top, b.bottom, (int64_t{b.top} + b.bottom) / 2, INT_MAX};
  for (const int n : images::ParseCoords(coords)) (void)n;
  base::TUrlTarget link;
  for (int64_t x : xs)
    for (int64_t y : ys)
      for (int d = -1; d <= 1; ++d) {
        const int px = static_cast<int>(std::clamp<int64_t>(x + d, INT_MIN, INT_MAX));
        const int py = static_cast<int>(std::clamp<int64_t>(y + d, INT_MIN, INT_MAX));
        map.GetAreaLink(px, py, link);
      }
  return 0;
}
