#include "platform/Region.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

int32_t ReadInt32(const uint8_t* p) {
  uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
               (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(v);
}

void WriteInt32(std::vector<uint8_t>& out, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

constexpr uint32_t kHeaderSize = 32;
constexpr uint32_t kRectangleType = 1;  // RDH_RECTANGLES

}  // namespace

Region Region::FromRect(const TRect& rect) {
  Region r;
  if (!rect.IsEmpty()) r.bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
  return r;
}

namespace {

// True when the non-empty rectangles are already banded: sorted by band, each
// band one y range, its rectangles left to right without overlap. Stored
// masks always are, and then the union is a single pass.
bool IsBanded(std::span<const TRect> rects) {
  const TRect* previous = nullptr;
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    if (previous) {
      const bool sameBand = r.top == previous->top && r.bottom == previous->bottom;
      if (sameBand ? r.left < previous->right : r.top < previous->bottom) return false;
    }
    previous = &r;
  }
  return true;
}

}  // namespace

Region Region::FromRects(std::span<const TRect> rects) {
  if (IsBanded(rects)) {
    Region result;
    std::vector<Span> spans;
    int top = 0, bottom = 0;
    for (const TRect& r : rects) {
      if (r.IsEmpty()) continue;
      if (!spans.empty() && (r.top != top || r.bottom != bottom)) {
        result.AppendBand(top, bottom, std::move(spans));
        spans.clear();
      }
      top = r.top;
      bottom = r.bottom;
      if (!spans.empty() && r.left == spans.back().right)
        spans.back().right = r.right;
      else
        spans.push_back({r.left, r.right});
    }
    result.AppendBand(top, bottom, std::move(spans));
    return result;
  }
  return UnionBySweep(rects);
}

namespace {

// How many rectangles cover each stretch between neighbouring x boundaries
// while a line sweeps down: a segment tree whose nodes count the rectangles
// that cover their whole stretch (counts are never pushed down; every
// rectangle leaves exactly the nodes it entered). Each node also knows
// whether all of its stretch is covered and whether any of it is, so the
// covered spans come out in time proportional to their number.
class CoverageTree {
 public:
  explicit CoverageTree(std::vector<int> xs)
      : xs_(std::move(xs)), count_(4 * xs_.size()), full_(4 * xs_.size()), any_(4 * xs_.size()) {}

  // Adds delta to the coverage of [left, right), both boundaries in xs.
  void Add(int left, int right, int delta) {
    const auto index = [&](int x) {
      return static_cast<int>(std::lower_bound(xs_.begin(), xs_.end(), x) - xs_.begin());
    };
    Update(1, 0, Stretches(), index(left), index(right), delta);
  }

  bool AnyCovered() const { return Stretches() > 0 && any_[1]; }

  // The covered parts as disjoint, non-touching spans from left to right.
  template <typename SpanT>
  void Spans(std::vector<SpanT>& out) const {
    if (Stretches() > 0) Collect(1, 0, Stretches(), out);
  }

 private:
  int Stretches() const { return static_cast<int>(xs_.size()) - 1; }

  void Update(size_t node, int lo, int hi, int from, int to, int delta) {
    if (to <= lo || hi <= from) return;
    if (from <= lo && hi <= to) {
      count_[node] += delta;
    } else {
      const int mid = lo + (hi - lo) / 2;
      Update(2 * node, lo, mid, from, to, delta);
      Update(2 * node + 1, mid, hi, from, to, delta);
    }
    if (count_[node] > 0) {
      full_[node] = any_[node] = true;
    } else if (hi - lo == 1) {
      full_[node] = any_[node] = false;
    } else {
      full_[node] = full_[2 * node] && full_[2 * node + 1];
      any_[node] = any_[2 * node] || any_[2 * node + 1];
    }
  }

  template <typename SpanT>
  void Collect(size_t node, int lo, int hi, std::vector<SpanT>& out) const {
    if (!any_[node]) return;
    if (full_[node]) {
      if (!out.empty() && out.back().right == xs_[lo])
        out.back().right = xs_[hi];
      else
        out.push_back({xs_[lo], xs_[hi]});
      return;
    }
    const int mid = lo + (hi - lo) / 2;
    Collect(2 * node, lo, mid, out);
    Collect(2 * node + 1, mid, hi, out);
  }

  std::vector<int> xs_;
  std::vector<int> count_;
  std::vector<char> full_, any_;
};

}  // namespace

Region Region::UnionBySweep(std::span<const TRect> rects) {
  // A line sweeps down over the tops and bottoms of the rectangles; between
  // two of them the covered spans are one band. O(n log n) for n
  // rectangles, plus the size of the result.
  struct Edge {
    int y;
    int left, right;
    int delta;  // +1 at a top, -1 at a bottom
  };
  std::vector<Edge> edges;
  std::vector<int> xs;
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    edges.push_back({r.top, r.left, r.right, +1});
    edges.push_back({r.bottom, r.left, r.right, -1});
    xs.push_back(r.left);
    xs.push_back(r.right);
  }
  std::sort(xs.begin(), xs.end());
  xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y < b.y; });

  CoverageTree coverage(std::move(xs));
  Region result;
  for (size_t i = 0; i < edges.size();) {
    const int y = edges[i].y;
    for (; i < edges.size() && edges[i].y == y; ++i)
      coverage.Add(edges[i].left, edges[i].right, edges[i].delta);
    if (i == edges.size() || !coverage.AnyCovered()) continue;
    std::vector<Span> spans;
    coverage.Spans(spans);
    result.AppendBand(y, edges[i].y, std::move(spans));
  }
  return result;
}

void Region::AppendBand(int top, int bottom, std::vector<Span> spans) {
  if (spans.empty() || bottom <= top) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back({top, bottom, std::move(spans)});
}

Region Region::FromRowSpans(int top, const std::vector<std::vector<Span>>& rows) {
  Region r;
  for (size_t i = 0; i < rows.size(); ++i)
    r.AppendBand(top + static_cast<int>(i), top + static_cast<int>(i) + 1, rows[i]);
  return r;
}

Region Region::Ellipse(const TRect& bounds) {
  return Ellipse(bounds, bounds.top, bounds.bottom);
}

Region Region::Ellipse(const TRect& bounds, int firstRow, int endRow) {
  if (bounds.IsEmpty()) return {};
  // In doubles: the width of a rectangle across the int range is no int.
  const double cx = (static_cast<double>(bounds.left) + bounds.right) / 2.0;
  const double cy = (static_cast<double>(bounds.top) + bounds.bottom) / 2.0;
  const double rx = (static_cast<double>(bounds.right) - bounds.left) / 2.0;
  const double ry = (static_cast<double>(bounds.bottom) - bounds.top) / 2.0;
  const int top = std::max(bounds.top, firstRow), bottom = std::min(bounds.bottom, endRow);
  std::vector<std::vector<Span>> rows;
  for (int y = top; y < bottom; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    std::vector<Span> row;
    if (dy * dy < 1.0) {
      const double half = rx * std::sqrt(1.0 - dy * dy);
      const int left = static_cast<int>(std::lround(cx - half));
      const int right = static_cast<int>(std::lround(cx + half));
      if (right > left) row.push_back({left, right});
    }
    rows.push_back(std::move(row));
  }
  return FromRowSpans(top, rows);
}

Region Region::Polygon(std::span<const TPoint> points, TPolyFillMode mode) {
  return Polygon(points, mode, INT_MIN, INT_MAX);
}

Region Region::Polygon(std::span<const TPoint> points, TPolyFillMode mode, int firstRow,
                       int endRow) {
  if (points.size() < 3) return {};
  int top = points[0].y, bottom = points[0].y;
  for (const TPoint& p : points) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  top = std::max(top, firstRow);
  bottom = std::min(bottom, endRow);
  std::vector<std::vector<Span>> rows;
  for (int y = top; y < bottom; ++y) {
    const double sampleY = y + 0.5;
    struct Crossing {
      double x;
      int direction;
    };
    std::vector<Crossing> crossings;
    for (size_t i = 0; i < points.size(); ++i) {
      const TPoint& a = points[i];
      const TPoint& b = points[(i + 1) % points.size()];
      if (a.y == b.y) continue;
      const bool down = b.y > a.y;
      const double y0 = down ? a.y : b.y, y1 = down ? b.y : a.y;
      if (sampleY < y0 || sampleY >= y1) continue;
      // Differences in doubles: two ints may be further apart than an int.
      const double t = (sampleY - a.y) / (static_cast<double>(b.y) - a.y);
      crossings.push_back({a.x + t * (static_cast<double>(b.x) - a.x), down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& l, const Crossing& r) { return l.x < r.x; });
    std::vector<Span> row;
    int winding = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      winding += crossings[i].direction;
      const bool inside = mode == ALTERNATE ? (i % 2 == 0) : winding != 0;
      if (!inside) continue;
      // Pixels whose centre x + 0.5 lies in [x0, x1).
      const int left = static_cast<int>(std::ceil(crossings[i].x - 0.5));
      const int right = static_cast<int>(std::ceil(crossings[i + 1].x - 0.5));
      if (right <= left) continue;
      if (!row.empty() && left <= row.back().right)
        row.back().right = std::max(row.back().right, right);
      else
        row.push_back({left, right});
    }
    rows.push_back(std::move(row));
  }
  return FromRowSpans(top, rows);
}

std::optional<Region> Region::FromRgnData(std::span<const uint8_t> data) {
  if (data.size() < kHeaderSize) return std::nullopt;
  const uint32_t headerSize = static_cast<uint32_t>(ReadInt32(data.data()));
  const uint32_t type = static_cast<uint32_t>(ReadInt32(data.data() + 4));
  const uint32_t count = static_cast<uint32_t>(ReadInt32(data.data() + 8));
  if (headerSize != kHeaderSize || type != kRectangleType) return std::nullopt;
  if (count > (data.size() - kHeaderSize) / 16) return std::nullopt;
  std::vector<TRect> rects;
  rects.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* p = data.data() + kHeaderSize + 16 * i;
    const TRect r{ReadInt32(p), ReadInt32(p + 4), ReadInt32(p + 8), ReadInt32(p + 12)};
    for (int v : {r.left, r.top, r.right, r.bottom})
      if (v > kMaxCoordinate || v < -kMaxCoordinate) return std::nullopt;
    rects.push_back(r);
  }
  return FromRects(rects);
}

std::vector<uint8_t> Region::ToRgnData() const {
  const std::vector<TRect> rects = Rects();
  const TRect bounds = Bounds();
  std::vector<uint8_t> out;
  out.reserve(kHeaderSize + 16 * rects.size());
  WriteInt32(out, kHeaderSize);
  WriteInt32(out, kRectangleType);
  WriteInt32(out, static_cast<int32_t>(rects.size()));
  WriteInt32(out, static_cast<int32_t>(16 * rects.size()));
  for (int v : {bounds.left, bounds.top, bounds.right, bounds.bottom}) WriteInt32(out, v);
  for (const TRect& r : rects)
    for (int v : {r.left, r.top, r.right, r.bottom}) WriteInt32(out, v);
  return out;
}

const std::vector<Region::Span>* Region::SpansAt(int y) const {
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                             [](int value, const Band& b) { return value < b.bottom; });
  if (it == bands_.end() || y < it->top) return nullptr;
  return &it->spans;
}

Region Region::Combine(const Region& a, const Region& b, TCombineMode mode) {
  if (mode == RGN_COPY) return a;
  std::vector<int> ys;
  for (const Region* r : {&a, &b})
    for (const Band& band : r->bands_) {
      ys.push_back(band.top);
      ys.push_back(band.bottom);
    }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  const auto inside = [mode](bool inA, bool inB) {
    switch (mode) {
      case RGN_AND:
        return inA && inB;
      case RGN_OR:
        return inA || inB;
      case RGN_XOR:
        return inA != inB;
      case RGN_DIFF:
        return inA && !inB;
      default:
        return inA;
    }
  };

  Region result;
  static const std::vector<Span> kNone;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const std::vector<Span>* sa = a.SpansAt(ys[i]);
    const std::vector<Span>* sb = b.SpansAt(ys[i]);
    if (!sa) sa = &kNone;
    if (!sb) sb = &kNone;
    // Walk the x boundaries of both span lists.
    std::vector<int> xs;
    for (const Span& s : *sa) {
      xs.push_back(s.left);
      xs.push_back(s.right);
    }
    for (const Span& s : *sb) {
      xs.push_back(s.left);
      xs.push_back(s.right);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    const auto covers = [](const std::vector<Span>& spans, int x) {
      for (const Span& s : spans)
        if (x >= s.left && x < s.right) return true;
      return false;
    };
    std::vector<Span> spans;
    for (size_t j = 0; j + 1 < xs.size(); ++j) {
      if (!inside(covers(*sa, xs[j]), covers(*sb, xs[j]))) continue;
      if (!spans.empty() && spans.back().right == xs[j])
        spans.back().right = xs[j + 1];
      else
        spans.push_back({xs[j], xs[j + 1]});
    }
    result.AppendBand(ys[i], ys[i + 1], std::move(spans));
  }
  return result;
}

bool Region::Contains(int x, int y) const {
  const std::vector<Span>* spans = SpansAt(y);
  if (!spans) return false;
  for (const Span& s : *spans)
    if (x >= s.left && x < s.right) return true;
  return false;
}

TRect Region::Bounds() const {
  if (bands_.empty()) return {};
  TRect r{bands_.front().spans.front().left, bands_.front().top, bands_.front().spans.back().right,
          bands_.back().bottom};
  for (const Band& band : bands_) {
    r.left = std::min(r.left, band.spans.front().left);
    r.right = std::max(r.right, band.spans.back().right);
  }
  return r;
}

std::vector<TRect> Region::Rects() const {
  std::vector<TRect> rects;
  for (const Band& band : bands_)
    for (const Span& s : band.spans) rects.push_back({s.left, band.top, s.right, band.bottom});
  return rects;
}

int Region::RectCount() const {
  int n = 0;
  for (const Band& band : bands_) n += static_cast<int>(band.spans.size());
  return n;
}

Region Region::Offset(int dx, int dy) const {
  Region r = *this;
  for (Band& band : r.bands_) {
    band.top += dy;
    band.bottom += dy;
    for (Span& s : band.spans) {
      s.left += dx;
      s.right += dx;
    }
  }
  return r;
}

}  // namespace platform
