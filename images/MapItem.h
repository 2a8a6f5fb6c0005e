#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/HtmlUtils.h"
#include "platform/Geometry.h"

namespace images {

// The numbers of a COORDS text: split at commas only, each piece cut to 20
// characters and converted with leading blanks allowed (a piece that is no
// number counts 0); the first empty piece ends the list, as do 201 numbers.
std::vector<int> ParseCoords(std::string_view text);

// One area of a client-side map: its shape in the picture's own pixels. The
// right and bottom edges given are inside the area.
class TMapArea {
 public:
  enum class Shape { Rect, Circle, Poly };

  // The area for the numbers, or none when there are too few for the shape.
  static std::unique_ptr<TMapArea> Make(Shape shape, const std::vector<int>& numbers);
  bool Contains(int x, int y) const;
  Shape Kind() const { return shape_; }
  // The area's pixels as a rectangle (Rect, Circle) or the polygon's points.
  const platform::TRect& Bounds() const { return bounds_; }

 private:
  Shape shape_ = Shape::Rect;
  platform::TRect bounds_;
  std::vector<platform::TPoint> points_;
};

// A client-side image map: the areas of one MAP element in the order given.
class TMapItem {
 public:
  std::string MapName;  // upper case; empty when the MAP had no NAME
  // Per area: its link (empty for NOHREF or none), its region, its target.
  struct Area {
    std::string Link;
    std::unique_ptr<TMapArea> Region;
  };
  std::vector<Area> Areas;
  std::vector<std::string> AreaTargets;

  // Appends the area an AREA tag describes; nothing when its coordinates do
  // not suffice for its shape.
  void AddArea(const base::TAttributeList& attributes);
  // The link of the first area that contains the point: true with the link
  // and target; false when no area does or the first that does has none.
  bool GetAreaLink(int x, int y, base::TUrlTarget& link) const;
};

}  // namespace images
