#include "platform/Canvas.h"

#include <algorithm>
#include <cstdlib>
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
  clip_ = Intersect(clip_, logical.Offset(-origin_.x, -origin_.y));
}

TRect TCanvas::ClipRect() const {
  return clip_.Offset(origin_.x, origin_.y);
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
  // Reference point to the cell's left and top.
  int left = x;
  if ((textAlign_ & TA_CENTER) == TA_CENTER)
    left = x - width / 2;
  else if (textAlign_ & TA_RIGHT)
    left = x - width;
  int top = y;
  if ((textAlign_ & TA_BASELINE) == TA_BASELINE)
    top = y - tm.tmAscent;
  else if (textAlign_ & TA_BOTTOM)
    top = y - tm.tmHeight;
  if (textAlign_ & TA_UPDATECP) penPos_.x = (textAlign_ & TA_RIGHT) ? left : left + width;

  const TRect savedClip = clip_;
  if (rect && (options & ETO_CLIPPED)) IntersectClipRect(*rect);
  if (rect && (options & ETO_OPAQUE))
    FillDeviceRect(rect->Offset(-origin_.x, -origin_.y), bkColor_);
  const TRect cell =
      TRect{left, top, left + width, top + tm.tmHeight}.Offset(-origin_.x, -origin_.y);
  if (bkMode_ == OPAQUE) FillDeviceRect(cell, bkColor_);

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
  penPos_ = {x + TextWidth(text), y};
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
  if (Brush.Style == bsClear) return;
  BlitState state = MakeBlitState();
  const TRect device = rect.Offset(-origin_.x, -origin_.y);
  platform::PatBlt(*target_, device.left, device.top, device.Width(), device.Height(), PATCOPY,
                   state);
}

void TCanvas::FrameRect(const TRect& rect) {
  if (rect.IsEmpty()) return;
  FillRect({rect.left, rect.top, rect.right, rect.top + 1});
  FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom});
  FillRect({rect.left, rect.top, rect.left + 1, rect.bottom});
  FillRect({rect.right - 1, rect.top, rect.right, rect.bottom});
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (Pen.Style == psClear) {
    // Without a pen the filled area is one pixel smaller, as in GDI.
    FillRect({left, top, right - 1, bottom - 1});
    return;
  }
  FillRect({left + 1, top + 1, right - 1, bottom - 1});
  const TPoint corners[] = {
      {left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top}};
  Polyline(corners);
  // A polyline leaves out its last point; the corner is already drawn.
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (Pen.Style == psClear) {
    --right;
    --bottom;
  }
  const Region shape = Region::Ellipse({left, top, right, bottom});
  if (Brush.Style != bsClear) FillRgn(shape, Brush.Color);
  if (Pen.Style == psClear) return;
  const uint32_t raw = target_->RawFromColor(Pen.Color);
  for (const TRect& r : shape.Rects())
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const bool edge = !shape.Contains(x - 1, y) || !shape.Contains(x + 1, y) ||
                          !shape.Contains(x, y - 1) || !shape.Contains(x, y + 1);
        if (edge) PlotPen(x - origin_.x, y - origin_.y, raw);
      }
}

void TCanvas::Polygon(std::span<const TPoint> points) {
  if (points.size() < 2) return;
  if (Brush.Style != bsClear) FillRgn(Region::Polygon(points, ALTERNATE), Brush.Color);
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
  const int width = std::max(1, Pen.Width);
  const int x0 = deviceX - (width - 1) / 2, y0 = deviceY - (width - 1) / 2;
  for (int y = y0; y < y0 + width; ++y)
    for (int x = x0; x < x0 + width; ++x)
      if (clip_.Contains(x, y)) target_->SetRaw(x, y, raw);
}

void TCanvas::DrawLineDevice(TPoint from, TPoint to) {
  if (Pen.Style == psClear) return;
  const uint32_t raw = target_->RawFromColor(Pen.Color);
  int x = from.x - origin_.x, y = from.y - origin_.y;
  const int x1 = to.x - origin_.x, y1 = to.y - origin_.y;
  const int dx = std::abs(x1 - x), dy = -std::abs(y1 - y);
  const int sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
  int error = dx + dy;
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
  while (x != x1 || y != y1) {
    bool on = true;
    if (pattern) {
      int phase = penStep_ % period, k = 0;
      while (phase >= (*pattern)[k]) phase -= (*pattern)[k++];
      on = k % 2 == 0;
    }
    if (on) PlotPen(x, y, raw);
    ++penStep_;
    const int e2 = 2 * error;
    if (e2 >= dy) {
      error += dy;
      x += sx;
    }
    if (e2 <= dx) {
      error += dx;
      y += sy;
    }
  }
}

TColor TCanvas::GetPixel(int x, int y) const {
  const int dx = x - origin_.x, dy = y - origin_.y;
  return target_->GetPixel(dx, dy);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  const int dx = x - origin_.x, dy = y - origin_.y;
  if (clip_.Contains(dx, dy)) target_->SetPixel(dx, dy, color);
}

void TCanvas::FillRgn(const Region& region, TColor color) {
  for (const TRect& r : region.Rects()) FillDeviceRect(r.Offset(-origin_.x, -origin_.y), color);
}

// ---- blits ----------------------------------------------------------------

void TCanvas::BitBlt(int x, int y, int width, int height, const TCanvas& source, int sx, int sy,
                     uint32_t rop) {
  BlitState state = MakeBlitState();
  state.sourceBkColor = source.bkColor_;
  platform::BitBlt(*target_, x - origin_.x, y - origin_.y, width, height, source.target_,
                   sx - source.origin_.x, sy - source.origin_.y, rop, state);
}

void TCanvas::BitBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                     uint32_t rop) {
  platform::BitBlt(*target_, x - origin_.x, y - origin_.y, width, height, &source, sx, sy, rop,
                   MakeBlitState());
}

void TCanvas::StretchBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
                         int sw, int sh, uint32_t rop) {
  platform::StretchBlt(*target_, x - origin_.x, y - origin_.y, width, height, source, sx, sy, sw,
                       sh, rop, MakeBlitState());
}

void TCanvas::PatBlt(int x, int y, int width, int height, uint32_t rop) {
  platform::PatBlt(*target_, x - origin_.x, y - origin_.y, width, height, rop, MakeBlitState());
}

void TCanvas::Draw(int x, int y, const Bitmap& picture) {
  BitBlt(x, y, picture.Width(), picture.Height(), picture, 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const TRect& rect, const Bitmap& picture) {
  StretchBlt(rect.left, rect.top, rect.Width(), rect.Height(), picture, 0, 0, picture.Width(),
             picture.Height(), SRCCOPY);
}

}  // namespace platform
