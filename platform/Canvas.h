#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Color.h"
#include "platform/Geometry.h"
#include "platform/Raster.h"
#include "platform/Region.h"
#include "platform/TFont.h"

namespace platform {

enum TBkMode : int { TRANSPARENT = 1, OPAQUE = 2 };

// SetTextAlign flags.
constexpr uint32_t TA_NOUPDATECP = 0;
constexpr uint32_t TA_UPDATECP = 1;
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_RIGHT = 2;
constexpr uint32_t TA_CENTER = 6;
constexpr uint32_t TA_TOP = 0;
constexpr uint32_t TA_BOTTOM = 8;
constexpr uint32_t TA_BASELINE = 24;

// ExtTextOut options.
constexpr uint32_t ETO_OPAQUE = 2;
constexpr uint32_t ETO_CLIPPED = 4;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle { bsSolid, bsClear };

struct TPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
};

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  // A pattern brush: the bitmap tiled from the device origin.
  const Bitmap* Pattern = nullptr;
};

// A device context over a bitmap. Coordinates given to it are logical:
// device = logical - window origin. The clip rectangle is kept in device
// coordinates, so moving the origin afterwards does not move it.
class TCanvas {
 public:
  explicit TCanvas(Bitmap& target);

  Bitmap& Target() { return *target_; }
  const Bitmap& Target() const { return *target_; }

  TFont Font;
  TPen Pen;
  TBrush Brush;

  // GDI state.
  void SetTextColor(TColor color) { textColor_ = color; }
  TColor GetTextColor() const { return textColor_; }
  void SetBkColor(TColor color) { bkColor_ = color; }
  TColor GetBkColor() const { return bkColor_; }
  void SetBkMode(TBkMode mode) { bkMode_ = mode; }
  TBkMode GetBkMode() const { return bkMode_; }
  void SetTextAlign(uint32_t align) { textAlign_ = align; }
  uint32_t GetTextAlign() const { return textAlign_; }
  void SetStretchBltMode(TStretchMode mode) { stretchMode_ = mode; }
  void SetWindowOrg(int x, int y) { origin_ = {x, y}; }
  TPoint GetWindowOrg() const { return origin_; }
  // Clip to a logical rectangle (intersected with the bitmap); ResetClip
  // clips to the bitmap only.
  void SetClipRect(const TRect& logical);
  void IntersectClipRect(const TRect& logical);
  void ResetClip();
  TRect ClipRect() const;  // logical

  // Text, with the selected font.
  TTextMetric GetTextMetrics() const;
  TSize GetTextExtentPoint32(std::string_view text) const;
  int TextWidth(std::string_view text) const { return GetTextExtentPoint32(text).cx; }
  int TextHeight(std::string_view text) const { return GetTextExtentPoint32(text).cy; }
  // GDI text output: DC text colour, background mode and colour, alignment.
  void TextOutA(int x, int y, std::string_view text);
  void ExtTextOutA(int x, int y, uint32_t options, const TRect* rect, std::string_view text);
  // Framework text output: the font's colour; an opaque background in the
  // brush colour unless the brush is clear.
  void TextOut(int x, int y, std::string_view text);
  void TextRect(const TRect& rect, int x, int y, std::string_view text);

  // Shapes: the pen draws outlines, the brush fills.
  void FillRect(const TRect& rect);
  void FrameRect(const TRect& rect);
  void Rectangle(int left, int top, int right, int bottom);
  void Ellipse(int left, int top, int right, int bottom);
  void Polygon(std::span<const TPoint> points);
  void Polyline(std::span<const TPoint> points);
  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  // A line to (x, y), the last point not drawn.
  void LineTo(int x, int y);
  TPoint PenPos() const { return penPos_; }
  TColor GetPixel(int x, int y) const;
  void SetPixel(int x, int y, TColor color);
  void FillRgn(const Region& region, TColor color);

  // Blits. A canvas source lends its origin and background colour.
  void BitBlt(int x, int y, int width, int height, const TCanvas& source, int sx, int sy,
              uint32_t rop);
  void BitBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy,
              uint32_t rop);
  void StretchBlt(int x, int y, int width, int height, const Bitmap& source, int sx, int sy, int sw,
                  int sh, uint32_t rop);
  void PatBlt(int x, int y, int width, int height, uint32_t rop);
  void Draw(int x, int y, const Bitmap& picture);
  void StretchDraw(const TRect& rect, const Bitmap& picture);

 private:
  BlitState MakeBlitState() const;
  // A logical rectangle in device pixels, computed in 64 bits and cut to
  // kFarCoordinate: what it covers of the bitmap is unchanged.
  TRect ToDevice(int64_t left, int64_t top, int64_t right, int64_t bottom) const;
  TRect ToDevice(const TRect& logical) const {
    return ToDevice(logical.left, logical.top, logical.right, logical.bottom);
  }
  // The logical rows and columns whose pen square can reach the clip
  // rectangle (the pen's width around them).
  TRect VisibleLogical() const;
  // The clip rectangle in logical coordinates, widened by `before` on its
  // right and bottom and by `after` on its left and top.
  TRect LogicalClip(int64_t before, int64_t after) const;
  void FillDeviceRect(const TRect& device, TColor color);
  void BrushDeviceRect(const TRect& device);
  void PlotPen(int deviceX, int deviceY, uint32_t raw);
  void DrawLineDevice(TPoint from, TPoint to);
  void DrawDeviceLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);

  Bitmap* target_;
  TColor textColor_ = clBlack;
  TColor bkColor_ = clWhite;
  TBkMode bkMode_ = OPAQUE;
  uint32_t textAlign_ = TA_TOP | TA_LEFT;
  TStretchMode stretchMode_ = BLACKONWHITE;
  TPoint origin_;
  TRect clip_;  // device
  TPoint penPos_;
  int64_t penStep_ = 0;  // position in the dash pattern along a polyline
};

}  // namespace platform
