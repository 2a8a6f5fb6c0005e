#include "images/MapItem.h"

#include <algorithm>
#include <climits>

#include "platform/Convert.h"
#include "platform/Region.h"

namespace images {
namespace {

constexpr size_t kMaxCoords = 201;
constexpr size_t kMaxPieceLength = 20;

// Region coordinates stop where regions do, so that a page's 2147483647
// neither overflows the "+ 1" of an inclusive edge nor asks for a huge area.
int ClampCoordinate(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, -platform::Region::kMaxCoordinate,
                                              platform::Region::kMaxCoordinate));
}

// Rectangles are ordered as the region functions order them.
platform::TRect OrderedRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  return {ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(right),
          ClampCoordinate(bottom)};
}

}  // namespace

std::vector<int> ParseCoords(std::string_view text) {
  std::vector<int> numbers;
  size_t start = 0;
  while (numbers.size() < kMaxCoords && start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    std::string_view piece = text.substr(start, comma - start).substr(0, kMaxPieceLength);
    while (!piece.empty() && static_cast<unsigned char>(piece.back()) <= ' ') piece.remove_suffix(1);
    if (piece.empty()) break;
    size_t blanks = 0;
    while (blanks < piece.size() && static_cast<unsigned char>(piece[blanks]) <= ' ') ++blanks;
    numbers.push_back(platform::TryStrToInt(piece.substr(blanks)).value_or(0));
    start = comma + 1;
  }
  return numbers;
}

std::unique_ptr<TMapArea> TMapArea::Make(Shape shape, const std::vector<int>& n) {
  auto area = std::make_unique<TMapArea>();
  area->shape_ = shape;
  switch (shape) {
    case Shape::Rect:
      if (n.size() < 4) return nullptr;
      area->bounds_ = OrderedRect(n[0], n[1], int64_t{n[2]} + 1, int64_t{n[3]} + 1);
      break;
    case Shape::Circle: {
      if (n.size() < 3) return nullptr;
      const int64_t r = n[2];
      area->bounds_ = OrderedRect(n[0] - r, n[1] - r, n[0] + r + 1, n[1] + r + 1);
      break;
    }
    case Shape::Poly:
      if (n.size() < 6) return nullptr;
      for (size_t i = 0; i + 1 < n.size(); i += 2)
        area->points_.push_back({ClampCoordinate(n[i]), ClampCoordinate(n[i + 1])});
      break;
  }
  return area;
}

bool TMapArea::Contains(int x, int y) const {
  // Only the row of the point is made: a circle of radius 2^27 costs no more
  // to test than a small one.
  switch (shape_) {
    case Shape::Rect:
      return x >= bounds_.left && x < bounds_.right && y >= bounds_.top && y < bounds_.bottom;
    case Shape::Circle:
      if (y == INT_MAX) return false;
      return platform::Region::Ellipse(bounds_, y, y + 1).Contains(x, y);
    case Shape::Poly:
      if (y == INT_MAX) return false;
      return platform::Region::Polygon(points_, platform::WINDING, y, y + 1).Contains(x, y);
  }
  return false;
}

void TMapItem::AddArea(const base::TAttributeList& attributes) {
  std::string link, target;
  TMapArea::Shape shape = TMapArea::Shape::Rect;
  std::vector<int> numbers;
  for (const auto& attribute : attributes) {
    switch (attribute->Symbol) {
      case base::HrefSy:
        link = attribute->StrValue;
        break;
      case base::NoHrefSy:
        link.clear();
        break;
      case base::ShapeSy: {
        const std::string kind = base::LowerCut(attribute->StrValue, 4);
        if (kind == "circ") shape = TMapArea::Shape::Circle;
        if (kind == "poly") shape = TMapArea::Shape::Poly;
        break;
      }
      case base::CoordsSy:
        numbers = ParseCoords(attribute->StrValue);
        break;
      case base::TargetSy:
        target = attribute->StrValue;
        break;
      default:
        break;
    }
  }
  auto region = TMapArea::Make(shape, numbers);
  if (!region) return;
  Areas.push_back({std::move(link), std::move(region)});
  AreaTargets.push_back(std::move(target));
}

bool TMapItem::GetAreaLink(int x, int y, base::TUrlTarget& link) const {
  for (size_t i = 0; i < Areas.size(); ++i) {
    if (!Areas[i].Region->Contains(x, y)) continue;
    if (Areas[i].Link.empty()) return false;
    link.Url = Areas[i].Link;
    link.Target = AreaTargets[i];
    return true;
  }
  return false;
}

}  // namespace images
