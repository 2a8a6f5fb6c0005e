#include "platform/Canvas.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>
#include <vector>

namespace platform {

TCanvas::TCanvas(Bitmap& target) : target_(&target) {
  ResetClip();
}

void TCanvas::ResetClip() {
  clip_ = {0, 0, target_->Width(), target_->Height()};
}

void TCanvas::SetClipRect(const TRect& logical) {
  ResetClip();
  IntersectClipRect(logical);
}

void TCanvas::IntersectClipRect(const TRect& logical) {
  clip_ = Intersect(clip_, ToDevice(logical));
}

TRect TCanvas::ClipRect() const {
  return LogicalClip(0, 0);
}

TRect TCanvas::ToDevice(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
  return ClampedRect(left - origin_.x, top - origin_.y, right - origin_.x, bottom - origin_.y);
}

TRect TCanvas::VisibleLogical() const {
  const int64_t width = std::max(1, Pen.Width);
  return LogicalClip((width - 1) / 2, width - 1 - (width - 1) / 2);
}

TRect TCanvas::LogicalClip(int64_t before, int64_t after) const {
  return {ClampToInt(int64_t{clip_.left} + origin_.x - after),
          ClampToInt(int64_t{clip_.top} + origin_.y - after),
          ClampToInt(int64_t{clip_.right} + origin_.x + before),
          ClampToInt(int64_t{clip_.bottom} + origin_.y + before)};
}

BlitState TCanvas::MakeBlitState() const {
  BlitState state;
  state.destTextColor = textColor_;
  state.destBkColor = bkColor_;
  state.brushColor = Brush.Color;
  state.brushPattern = Brush.Pattern;
  state.clip = clip_;
  state.stretchMode = stretchMode_;
  return state;
}

void TCanvas::BrushDeviceRect(const TRect& device) {
  if (Brush.Style == bsClear) return;
  platform::PatBlt(*target_, device.left, device.top, device.Width(), device.Height(), PATCOPY,
                   MakeBlitState());
}

void TCanvas::FillDeviceRect(const TRect& device, TColor color) {
  const TRect r = Intersect(device, clip_);
  if (r.IsEmpty()) return;
  const uint32_t raw = target_->RawFromColor(color);
  for (int y = r.top; y < r.bottom; ++y) {
    if (target_->Format() == TPixelFormat::pf32bit) {
      std::fill(target_->Row32(y) + r.left, target_->Row32(y) + r.right, raw);
    } else {
      for (int x = r.left; x < r.right; ++x) target_->SetRaw(x, y, raw);
    }
  }
}

// ---- text -----------------------------------------------------------------

TTextMetric TCanvas::GetTextMetrics() const {
  TTextMetric tm = Font.Face().Metrics();
  tm.tmUnderlined = (Font.Style() & fsUnderline) ? 1 : 0;
  tm.tmStruckOut = (Font.Style() & fsStrikeOut) ? 1 : 0;
  return tm;
}

TSize TCanvas::GetTextExtentPoint32(std::string_view text) const {
  const FontFace& face = Font.Face();
  return {face.TextWidth(text), face.Metrics().tmHeight};
}

void TCanvas::TextOutA(int x, int y, std::string_view text) {
  ExtTextOutA(x, y, 0, nullptr, text);
}

void TCanvas::ExtTextOutA(int x, int y, uint32_t options, const TRect* rect,
                          std::string_view text) {
  const FontFace& face = Font.Face();
  const TTextMetric& tm = face.Metrics();
  const int width = face.TextWidth(text);
  if (textAlign_ & TA_UPDATECP) {
    x = penPos_.x;
    y = penPos_.y;
  }
  // Reference point to the cell's left and top, in 64 bits: a text far
  // out must not wrap round into view.
  int64_t left = x;
  if ((textAlign_ & TA_CENTER) == TA_CENTER)
    left = int64_t{x} - width / 2;
  else if (textAlign_ & TA_RIGHT)
    left = int64_t{x} - width;
  int64_t top = y;
  if ((textAlign_ & TA_BASELINE) == TA_BASELINE)
    top = int64_t{y} - tm.tmAscent;
  else if (textAlign_ & TA_BOTTOM)
    top = int64_t{y} - tm.tmHeight;
  if (textAlign_ & TA_UPDATECP) {
    const int64_t next = (textAlign_ & TA_RIGHT) ? left : left + width;
    penPos_.x = ClampToInt(next);
  }

  const TRect savedClip = clip_;
  if (rect && (options & ETO_CLIPPED)) IntersectClipRect(*rect);
  if (rect && (options & ETO_OPAQUE)) FillDeviceRect(ToDevice(*rect), bkColor_);
  const TRect cell = ToDevice(left, top, left + width, top + tm.tmHeight);
  if (bkMode_ == OPAQUE) FillDeviceRect(cell, bkColor_);

  // Glyphs, underline and strike-out stay within about a line height of
  // the cell; a cell further away than that from the clip draws nothing,
  // and a nearer one has coordinates well inside the int range.
  const int reach = std::max(1, tm.tmHeight);
  const TRect around{clip_.left - reach, clip_.top - reach, clip_.right + reach,
                     clip_.bottom + reach};
  if (!Intersect(cell, around).IsEmpty()) {
    const int baseline = cell.top + tm.tmAscent;
    face.DrawGlyphs(*target_, cell.left, baseline, text, textColor_, clip_);
    if (Font.Style() & fsUnderline) {
      const int lineTop = baseline + face.UnderlineOffset();
      FillDeviceRect({cell.left, lineTop, cell.right, lineTop + face.UnderlineThickness()},
                     textColor_);
    }
    if (Font.Style() & fsStrikeOut) {
      const int lineTop = baseline - face.StrikeoutOffset();
      FillDeviceRect({cell.left, lineTop, cell.right, lineTop + face.StrikeoutThickness()},
                     textColor_);
    }
  }
  clip_ = savedClip;
}

void TCanvas::TextOut(int x, int y, std::string_view text) {
  textColor_ = Font.Color();
  if (Brush.Style == bsClear) {
    bkMode_ = TRANSPARENT;
  } else {
    bkMode_ = OPAQUE;
    bkColor_ = Brush.Color;
  }
  const uint32_t saved = textAlign_;
  textAlign_ = textAlign_ & ~TA_UPDATECP;
  ExtTextOutA(x, y, 0, nullptr, text);
  textAlign_ = saved;
  penPos_ = {ClampToInt(int64_t{x} + TextWidth(text)), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text) {
  textColor_ = Font.Color();
  uint32_t options = ETO_CLIPPED;
  if (Brush.Style == bsClear) {
    bkMode_ = TRANSPARENT;
  } else {
    bkMode_ = OPAQUE;
    bkColor_ = Brush.Color;
    options |= ETO_OPAQUE;
  }
  ExtTextOutA(x, y, options, &rect, text);
}

// ---- shapes ---------------------------------------------------------------

void TCanvas::FillRect(const TRect& rect) {
  BrushDeviceRect(ToDevice(rect));
}

void TCanvas::FrameRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  const int64_t l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
  BrushDeviceRect(ToDevice(l, t, r, t + 1));
  BrushDeviceRect(ToDevice(l, b - 1, r, b));
  BrushDeviceRect(ToDevice(l, t, l + 1, b));
  BrushDeviceRect(ToDevice(r - 1, t, r, b));
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  const int64_t l = left, t = top, r = right, b = bottom;
  if (Pen.Style == psClear) {
    // Without a pen the filled area is one pixel smaller, as in GDI.
    BrushDeviceRect(ToDevice(l, t, r - 1, b - 1));
    return;
  }
  BrushDeviceRect(ToDevice(l + 1, t + 1, r - 1, b - 1));
  // The outline as a closed polyline; it leaves out its last point, the
  // corner already drawn.
  const int64_t ox = origin_.x, oy = origin_.y;
  penStep_ = 0;
  DrawDeviceLine(l - ox, t - oy, r - 1 - ox, t - oy);
  DrawDeviceLine(r - 1 - ox, t - oy, r - 1 - ox, b - 1 - oy);
  DrawDeviceLine(r - 1 - ox, b - 1 - oy, l - ox, b - 1 - oy);
  DrawDeviceLine(l - ox, b - 1 - oy, l - ox, t - oy);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right == left || bottom == top) return;  // no pixel inside
  if (Pen.Style == psClear) {
    --right;
    --bottom;
  }
  // Only the rows the pen can reach in the clip rectangle, and one more on
  // each side to tell the edge pixels.
  const TRect visible = VisibleLogical();
  const int firstRow = visible.top == INT32_MIN ? visible.top : visible.top - 1;
  const int endRow = visible.bottom == INT32_MAX ? visible.bottom : visible.bottom + 1;
  const Region shape = Region::Ellipse({left, top, right, bottom}, firstRow, endRow);
  if (Brush.Style != bsClear) FillRgn(shape, Brush.Color);
  if (Pen.Style == psClear) return;
  const uint32_t raw = target_->RawFromColor(Pen.Color);
  for (const TRect& r : shape.Rects())
    for (int y = std::max(r.top, visible.top); y < std::min(r.bottom, visible.bottom); ++y)
      for (int x = std::max(r.left, visible.left); x < std::min(r.right, visible.right); ++x) {
        const bool edge = !shape.Contains(x - 1, y) || !shape.Contains(x + 1, y) ||
                          !shape.Contains(x, y - 1) || !shape.Contains(x, y + 1);
        if (edge) PlotPen(x - origin_.x, y - origin_.y, raw);
      }
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.size() < 2) return;
  if (Brush.Style != bsClear) {
    const TRect visible = VisibleLogical();
    FillRgn(Region::Polygon(points, ALTERNATE, visible.top, visible.bottom), Brush.Color);
  }
  std::vector<TPoint> closed(points.begin(), points.end());
  closed.push_back(points.front());
  Polyline(closed);
}

void TCanvas::Polyline(std::span<const TPoint> points) {
  if (points.empty()) return;
  penStep_ = 0;
  for (size_t i = 1; i < points.size(); ++i) DrawLineDevice(points[i - 1], points[i]);
}

void TCanvas::LineTo(int x, int y) {
  penStep_ = 0;
  DrawLineDevice(penPos_, {x, y});
  penPos_ = {x, y};
}

void TCanvas::PlotPen(int deviceX, int deviceY, uint32_t raw) {
  const int64_t width = std::max(1, Pen.Width);
  const int64_t x0 = int64_t{deviceX} - (width - 1) / 2, y0 = int64_t{deviceY} - (width - 1) / 2;
  const int left = static_cast<int>(std::max<int64_t>(x0, clip_.left));
  const int right = static_cast<int>(std::min<int64_t>(x0 + width, clip_.right));
  const int top = static_cast<int>(std::max<int64_t>(y0, clip_.top));
  const int bottom = static_cast<int>(std::min<int64_t>(y0 + width, clip_.bottom));
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) target_->SetRaw(x, y, raw);
}

namespace {

// A line stepped the Bresenham way: every step moves one pixel along the
// major axis, and the minor axis follows by the rounded slope. Position k
// is computed directly, so a line can start drawing where it enters the
// clip rectangle instead of walking there; the products need 128 bits for
// lines across the whole int range.
struct LineSteps {
  int64_t major = 0;  // |extent| along the major axis: the number of steps
  int64_t minor = 0;
  bool xMajor = true;

  // How far the minor axis has moved after k steps (0 <= k <= major).
  int64_t MinorAt(int64_t k) const {
    if (major == 0) return 0;
    // Unsigned: every term is non-negative, and the sanitizers' checked
    // signed 128-bit multiply needs a runtime helper that libgcc lacks.
    using Wide = unsigned __int128;
    const Wide numerator = 2 * static_cast<Wide>(minor) * static_cast<Wide>(k) + major;
    return static_cast<int64_t>(numerator / (2 * static_cast<Wide>(major)));
  }
  int64_t XMoved(int64_t k) const { return xMajor ? k : MinorAt(k); }
  int64_t YMoved(int64_t k) const { return xMajor ? MinorAt(k) : k; }
};

// The steps k in [0, count) whose moved distance, which never shrinks as k
// grows, lies in [low, high]: [first, last), empty when first >= last.
template <typename Moved>
std::pair<int64_t, int64_t> StepsWithin(int64_t count, int64_t low, int64_t high, Moved moved) {
  const auto firstAtLeast = [&](int64_t value) {
    int64_t lo = 0, hi = count;  // the answer lies in [lo, hi]
    while (lo < hi) {
      const int64_t mid = lo + (hi - lo) / 2;
      if (moved(mid) >= value)
        hi = mid;
      else
        lo = mid + 1;
    }
    return lo;
  };
  if (high < low) return {0, 0};
  return {firstAtLeast(low), high == INT64_MAX ? count : firstAtLeast(high + 1)};
}

}  // namespace

void TCanvas::DrawLineDevice(TPoint from, TPoint to) {
  DrawDeviceLine(int64_t{from.x} - origin_.x, int64_t{from.y} - origin_.y,
                 int64_t{to.x} - origin_.x, int64_t{to.y} - origin_.y);
}

void TCanvas::DrawDeviceLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  if (Pen.Style == psClear) return;
  const uint32_t raw = target_->RawFromColor(Pen.Color);
  const int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1, dy = y1 > y0 ? y1 - y0 : y0 - y1;
  const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
  LineSteps line;
  line.xMajor = dx >= dy;
  line.major = line.xMajor ? dx : dy;
  line.minor = line.xMajor ? dy : dx;
  const int64_t steps = line.major;  // the last point is not drawn

  // Cosmetic dash patterns, in pixels on and off.
  static const std::vector<int> kDash = {18, 6}, kDot = {3, 3}, kDashDot = {9, 6, 3, 6},
                                kDashDotDot = {9, 3, 3, 3, 3, 3};
  const std::vector<int>* pattern = Pen.Style == psDash         ? &kDash
                                    : Pen.Style == psDot        ? &kDot
                                    : Pen.Style == psDashDot    ? &kDashDot
                                    : Pen.Style == psDashDotDot ? &kDashDotDot
                                                                : nullptr;
  int period = 0;
  if (pattern)
    for (int n : *pattern) period += n;

  // Only the steps whose pen square can touch the clip rectangle are drawn:
  // the square around (x, y) reaches from x - before to x + after.
  const int64_t width = std::max(1, Pen.Width);
  const int64_t before = (width - 1) / 2, after = width - 1 - before;
  const auto within = [&](int64_t start, int sign, int64_t low, int64_t high, auto moved) {
    // Positions start + sign * moved(k) in [low, high].
    return sign > 0 ? StepsWithin(steps, low - start, high - start, moved)
                    : StepsWithin(steps, start - high, start - low, moved);
  };
  std::pair<int64_t, int64_t> range{0, 0};
  if (!clip_.IsEmpty()) {
    const auto xs = within(x0, sx, clip_.left - after, clip_.right - 1 + before,
                           [&](int64_t k) { return line.XMoved(k); });
    const auto ys = within(y0, sy, clip_.top - after, clip_.bottom - 1 + before,
                           [&](int64_t k) { return line.YMoved(k); });
    range = {std::max(xs.first, ys.first), std::min(xs.second, ys.second)};
  }
  for (int64_t k = range.first; k < range.second; ++k) {
    bool on = true;
    if (pattern) {
      int phase = static_cast<int>((penStep_ + k) % period), i = 0;
      while (phase >= (*pattern)[i]) phase -= (*pattern)[i++];
      on = i % 2 == 0;
    }
    if (on)
      PlotPen(static_cast<int>(x0 + sx * line.XMoved(k)),
              static_cast<int>(y0 + sy * line.YMoved(k)), raw);
  }
  penStep_ += steps;
}

namespace {

// A device coordinate in the int range, or nothing: beyond it no pixel of a
// bitmap can be reached from there by an int extent.
std::optional<int> DeviceInt(int64_t value) {
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

TColor TCanvas::GetPixel(int x, int y) const {
  const auto dx = DeviceInt(int64_t{x} - origin_.x), dy = DeviceInt(int64_t{y} - origin_.y);
  if (!dx || !dy) return 0xFFFFFFFF;  // outside, as GetPixel says
  return target_->GetPixel(*dx, *dy);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  const auto dx = DeviceInt(int64_t{x} - origin_.x), dy = DeviceInt(int64_t{y} - origin_.y);
  if (dx && dy && clip_.Contains(*dx, *dy)) target_->SetPixel(*dx, *dy, color);
}

void TCanvas::FillRgn(const Region& region, TColor color) {
  for (const TRect& r : region.Rects()) FillDeviceRect(ToDevice(r), color);
}

// ---- blits ----------------------------------------------------------------

void TCanvas::BitBlt(int x, int y, int width, int height, const TCanvas& source, int sx, int sy,
                     uint32_t rop) {
  BlitState state = MakeBlitState();
  state.sourceBkColor = source.bkColor_;
  const auto dx = DeviceInt(int64_t{x} - origin_.x), dy = DeviceInt(int64_t{y} - origin_.y);
  auto fromX = DeviceInt(int64_t{sx} - source.origin_.x);
  auto fromY = DeviceInt(int64_t{sy} - source.origin_.y);
  if (!dx || !dy) return;
  if (!fromX || !fromY) {
    if (RopUsesSource(rop)) return;  // no source pixel lies that far out
    fromX = fromY = 0;
  }
  platform::BitBlt(*target_, *dx, *dy, width, height, source.target_, *fromX, *fromY, rop, state);
}

void TCanvas::BitBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                     uint32_t rop) {
  const auto dx = DeviceInt(int64_t{x} - origin_.x), dy = DeviceInt(int64_t{y} - origin_.y);
  if (!dx || !dy) return;
  platform::BitBlt(*target_, *dx, *dy, width, height, &source, sx, sy, rop, MakeBlitState());
}

void TCanvas::StretchBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                         int sw, int sh, uint32_t rop) {
  const auto dx = DeviceInt(int64_t{x} - origin_.x), dy = DeviceInt(int64_t{y} - origin_.y);
  // TODO: a mirrored stretch (negative extent) that starts beyond the int
  // range and reaches back into the bitmap is not drawn.
  if (!dx || !dy) return;
  platform::StretchBlt(*target_, *dx, *dy, width, height, source, sx, sy, sw, sh, rop,
                       MakeBlitState());
}

void TCanvas::PatBlt(int x, int y, int width, int height, uint32_t rop) {
  // Extents may be negative here, so a start beyond the int range can still
  // reach into the bitmap: the rectangle is made in 64 bits and cut.
  const int64_t left = int64_t{x} - origin_.x, top = int64_t{y} - origin_.y;
  int64_t l = left, t = top, r = left + width, b = top + height;
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  const TRect device = ClampedRect(l, t, r, b);
  platform::PatBlt(*target_, device.left, device.top, device.Width(), device.Height(), rop,
                   MakeBlitState());
}

void TCanvas::Draw(int x, int y, const Bitmap& picture) {
  BitBlt(x, y, picture.Width(), picture.Height(), picture, 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const TRect& rect, const Bitmap& picture) {
  StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), picture, 0, 0, picture.Width(),
             picture.Height(), SRCCOPY);
}

}  // namespace platform
