// The animation of a decoded GIF: composing frames into the picture and
// mask with raster operations, disposing them, the clock's steps, drawing
// over a background, and per-use copies.
#include <algorithm>
#include <cstring>

#include "images/GifImage.h"
#include "images/ImageModule.h"
#include "platform/BmpReader.h"
#include "platform/Clock.h"
#include "platform/MulDiv.h"
#include "platform/Raster.h"

namespace images {

using platform::Bitmap;
using platform::BlitState;
using platform::TPixelFormat;

namespace {

std::unique_ptr<Bitmap> WhiteMask(int width, int height) {
  auto mask = std::make_unique<Bitmap>(width, height, TPixelFormat::pf1bit);
  // A mask 0 pixels wide has no rows to fill (and no memory to point at).
  if (mask->Stride() > 0)
    for (int y = 0; y < height; ++y)
      std::memset(mask->Scanline(y), 0xFF, static_cast<size_t>(mask->Stride()));
  return mask;
}

// The non-negative remainder: tiles start at the multiple of their size at
// or before a position, also for positions left of or above the origin.
int FloorMod(int64_t value, int64_t size) {
  return static_cast<int>(((value % size) + size) % size);
}

// Tiling the work picture with small tiles would take a blit per few
// pixels; a tile is first repeated up to this size.
constexpr int kMinTileSide = 64;

}  // namespace

void TGIFImage::Clear() {
  Empty = true;
  while (!Frames.empty()) Frames.pop_back();
  Position = 0;
  FrameCount = 0;
  CurrentFrame = 1;
  LoopLimit = 1;
  LoopCounter = 1;
  FirstStep = true;
  GlobalBits = 0;
  IsTransparent = false;
  // Deliberate: an image with no frames is not animated, also after a
  // load that failed.
  Animated = false;
}

void TGIFImage::ClearAll() {
  Clear();
  BitmapCopy.reset();
  MaskCopy.reset();
  ImageDC.reset();
  MaskDC.reset();
  WorkDC.reset();
}

std::unique_ptr<TGIFImage> TGIFImage::CreateCopy(const TGIFImage& source) {
  auto copy = std::make_unique<TGIFImage>();
  TGIFImage& c = *copy;
  c.Animated = source.Animated;
  c.Empty = source.Empty;
  c.ScreenWidth = source.ScreenWidth;
  c.ScreenHeight = source.ScreenHeight;
  c.FrameCount = source.FrameCount;
  c.LoopLimit = source.LoopLimit;
  c.Speed = source.Speed;
  c.IsTransparent = source.IsTransparent;
  c.Visible = source.Visible;
  c.GlobalBits = source.GlobalBits;
  c.GlobalColorTable = source.GlobalColorTable;
  c.RepaintBackground = source.RepaintBackground;
  c.Animate = source.Animate;
  c.DrawY = source.DrawY;
  c.DrawX = source.DrawX;
  c.DrawHeight = source.DrawHeight;
  c.DrawWidth = source.DrawWidth;
  c.FirstStep = source.FirstStep;
  c.HeaderOnly = source.HeaderOnly;
  c.LastTime = source.LastTime;
  c.CurrentDelay = source.CurrentDelay;
  c.Shown = source.Shown;
  c.IsCopy = true;
  if (!source.Empty && !source.HeaderOnly && source.ImageDC) {
    const int width = static_cast<int>(source.ScreenWidth);
    const int height = static_cast<int>(source.ScreenHeight);
    c.ImageDC = std::make_unique<Bitmap>(width, height);
    if (source.IsTransparent) c.MaskDC = WhiteMask(width, height);
  }
  c.Frames.reserve(source.Frames.size());
  for (const auto& frame : source.Frames) c.Frames.push_back(std::make_unique<TFrame>(*frame, &c));
  c.CurrentFrame = 1;
  c.LoopCounter = 1;
  c.ComposeFrame();
  return copy;
}

void TGIFImage::SetAnimate(bool on) {
  SetAnimate(on, platform::TickCountMs());
}

void TGIFImage::SetAnimate(bool on, uint32_t nowMs) {
  if (on == Animate) return;
  Animate = on;
  LoopCounter = 1;
  if (on && FrameCount > 1) {
    const int delay = Speed > 0 ? Frame(CurrentFrame).Delay * 100 / Speed : 0;
    CurrentDelay = std::max(delay, 1);
    LastTime = nowMs;
  }
}

void TGIFImage::SetCurrentFrame(int n) {
  if (n == CurrentFrame || FrameCount == 0) return;
  DisposeFrame();
  if (n > FrameCount)
    CurrentFrame = 1;
  else if (n <= 0)
    CurrentFrame = FrameCount;
  else
    CurrentFrame = n;
  if (CurrentFrame == 1) StartOver();
  ComposeFrame();
}

void TGIFImage::StartOver() {
  // A new play begins as the first did, black and all transparent: where
  // frame 1 is transparent nothing of the last play's frames stays. (A
  // picture just made is so already, so loading pays nothing for it.)
  if (HeaderOnly || !ImageDC) return;
  ImageDC->Fill(platform::clBlack);
  if (MaskDC) {
    const BlitState white;
    platform::PatBlt(*MaskDC, 0, 0, MaskDC->Width(), MaskDC->Height(), platform::WHITENESS, white);
  }
}

void TGIFImage::PlayToFrame(int n) {
  if (FrameCount == 0) return;
  const int last = n > FrameCount ? 1 : n <= 0 ? FrameCount : n;
  SetCurrentFrame(1);
  for (int k = 2; k <= last; ++k) SetCurrentFrame(k);
}

void TGIFImage::ComposeFrame() {
  if (HeaderOnly || !ImageDC || CurrentFrame < 1 || CurrentFrame > FrameCount) return;
  const TFrame& frame = Frame(CurrentFrame);
  if (!frame.Bitmap) return;
  // Frame 1 starts the picture over: whatever the work picture holds from
  // the last play is painted over with the background.
  if (CurrentFrame == 1) RepaintBackground = true;
  const BlitState state;  // 1-bit sources: 0 black, 1 white
  const int x = frame.FrameLeft, y = frame.FrameTop;
  const int width = frame.FrameWidth, height = frame.FrameHeight;
  if (frame.Disposal == 3 && frame.SaveBitmap) {
    if (MaskDC && frame.SaveMask)
      platform::BitBlt(*frame.SaveMask, 0, 0, width, height, MaskDC.get(), x, y, platform::SRCCOPY,
                       state);
    platform::BitBlt(*frame.SaveBitmap, 0, 0, width, height, ImageDC.get(), x, y, platform::SRCCOPY,
                     state);
  }
  if (frame.Transparent && frame.Mask) {
    // Transparent pixels keep what lies below; opaque ones are cleared and
    // take the frame's colour (which is black where transparent).
    if (MaskDC)
      platform::BitBlt(*MaskDC, x, y, width, height, frame.Mask.get(), 0, 0, platform::SRCAND,
                       state);
    platform::BitBlt(*ImageDC, x, y, width, height, frame.Mask.get(), 0, 0, platform::SRCAND,
                     state);
    platform::BitBlt(*ImageDC, x, y, width, height, frame.Bitmap.get(), 0, 0, platform::SRCINVERT,
                     state);
  } else {
    if (MaskDC) platform::PatBlt(*MaskDC, x, y, width, height, platform::BLACKNESS, state);
    platform::BitBlt(*ImageDC, x, y, width, height, frame.Bitmap.get(), 0, 0, platform::SRCCOPY,
                     state);
  }
}

void TGIFImage::DisposeFrame() {
  if (HeaderOnly || !ImageDC || CurrentFrame < 1 || CurrentFrame > FrameCount) return;
  const TFrame& frame = Frame(CurrentFrame);
  const BlitState state;
  const int x = frame.FrameLeft, y = frame.FrameTop;
  const int width = frame.FrameWidth, height = frame.FrameHeight;
  if (frame.Disposal == 2) {
    if (MaskDC) platform::PatBlt(*MaskDC, x, y, width, height, platform::WHITENESS, state);
    platform::PatBlt(*ImageDC, x, y, width, height, platform::BLACKNESS, state);
  } else if (frame.Disposal == 3 && frame.SaveBitmap) {
    if (MaskDC && frame.SaveMask)
      platform::BitBlt(*MaskDC, x, y, width, height, frame.SaveMask.get(), 0, 0, platform::SRCCOPY,
                       state);
    platform::BitBlt(*ImageDC, x, y, width, height, frame.SaveBitmap.get(), 0, 0, platform::SRCCOPY,
                     state);
  } else {
    return;
  }
  // Deliberate: pixels may have turned transparent again, and the work
  // picture still shows the frame there; it is repainted before the next
  // draw through it.
  RepaintBackground = true;
}

void TGIFImage::Step(const std::function<void(const platform::TRect&)>& invalidate) {
  Step(platform::TickCountMs(), invalidate);
}

void TGIFImage::Step(uint32_t nowMs,
                     const std::function<void(const platform::TRect&)>& invalidate) {
  if (!Animate || Empty || HeaderOnly || FrameCount == 0) return;
  // The clock wraps: only the unsigned difference is meaningful.
  if (static_cast<int64_t>(static_cast<uint32_t>(nowMs - LastTime)) < CurrentDelay) return;
  LastTime = nowMs;
  if (LoopLimit > 0 && CurrentFrame == FrameCount) {
    if (LoopCounter >= LoopLimit) {
      SetAnimate(false, nowMs);  // the last frame stays shown
      return;
    }
    ++LoopCounter;
  }
  if (FirstStep) {
    FirstStep = false;
  } else {
    DisposeFrame();
    CurrentFrame = CurrentFrame >= FrameCount ? 1 : CurrentFrame + 1;
    if (CurrentFrame == 1) StartOver();
    ComposeFrame();
    if (invalidate)
      invalidate(platform::TRect{DrawX, DrawY, platform::ClampToInt(int64_t{DrawX} + DrawWidth),
                                 platform::ClampToInt(int64_t{DrawY} + DrawHeight)});
  }
  CurrentDelay = std::max(platform::MulDiv(Frame(CurrentFrame).Delay, 100, Speed), 1);
}

void TGIFImage::Draw(platform::TCanvas& canvas, const TGifBackground& background, int x, int y,
                     int width, int height) {
  DrawX = x;
  DrawY = y;
  DrawWidth = width;
  DrawHeight = height;
  canvas.SetStretchBltMode(platform::COLORONCOLOR);
  if (!Visible || Empty || HeaderOnly || FrameCount < 1 || !ImageDC) return;
  const int sourceWidth = static_cast<int>(ScreenWidth);
  const int sourceHeight = static_cast<int>(ScreenHeight);

  // Deliberate: the mask is used whenever some frame is transparent, not
  // only when frame 1 is: pixels no opaque frame covers show the page, not
  // black.
  if (!IsTransparent || !MaskDC) {
    canvas.StretchBlt(x, y, width, height, *ImageDC, 0, 0, sourceWidth, sourceHeight,
                      platform::SRCCOPY);
    return;
  }

  const bool workFits =
      width > 0 && height > 0 && int64_t{width} * height <= platform::kMaxPicturePixels;
  if (Frame(CurrentFrame).Disposal < 2 && workFits) {
    // Frames that stay build up over the background in the work picture,
    // which then goes to the canvas in one copy.
    if (!WorkDC || WorkDC->Width() != width || WorkDC->Height() != height) {
      WorkDC = std::make_unique<Bitmap>(width, height);
      RepaintBackground = true;
    }
    const bool sameBackground =
        PaintedBackground.Color == background.Color && PaintedBackground.Tile == background.Tile &&
        PaintedBackground.DocX == background.DocX && PaintedBackground.DocY == background.DocY;
    if (RepaintBackground || !sameBackground) {
      PaintBackground(background, width, height);
      PaintedBackground = background;
      RepaintBackground = false;
    }
    BlitState state;
    state.stretchMode = platform::COLORONCOLOR;
    platform::StretchBlt(*WorkDC, 0, 0, width, height, *ImageDC, 0, 0, sourceWidth, sourceHeight,
                         platform::SRCINVERT, state);
    platform::StretchBlt(*WorkDC, 0, 0, width, height, *MaskDC, 0, 0, sourceWidth, sourceHeight,
                         platform::SRCAND, state);
    platform::StretchBlt(*WorkDC, 0, 0, width, height, *ImageDC, 0, 0, sourceWidth, sourceHeight,
                         platform::SRCPAINT, state);
    canvas.BitBlt(x, y, width, height, *WorkDC, 0, 0, platform::SRCCOPY);
    return;
  }

  // Straight onto the canvas, whose pixels are the background. The mask's
  // set bits must come out white there, its clear bits black.
  const platform::TColor textColor = canvas.GetTextColor();
  const platform::TColor bkColor = canvas.GetBkColor();
  canvas.SetTextColor(platform::clBlack);
  canvas.SetBkColor(platform::clWhite);
  canvas.StretchBlt(x, y, width, height, *ImageDC, 0, 0, sourceWidth, sourceHeight,
                    platform::SRCINVERT);
  canvas.StretchBlt(x, y, width, height, *MaskDC, 0, 0, sourceWidth, sourceHeight,
                    platform::SRCAND);
  canvas.StretchBlt(x, y, width, height, *ImageDC, 0, 0, sourceWidth, sourceHeight,
                    platform::SRCPAINT);
  canvas.SetTextColor(textColor);
  canvas.SetBkColor(bkColor);
}

void TGIFImage::PaintBackground(const TGifBackground& background, int width, int height) {
  BlitState state;
  const platform::Bitmap* tile = background.Tile;
  if (!tile || tile->Empty()) {
    platform::TColor color = platform::ColorToRGB(background.Color) & 0x00FFFFFF;
    // An 8-bit display shows the colour as the palette's nearest entry.
    if (const auto* palette = ThePalette(); palette && !palette->empty())
      color = (*palette)[platform::NearestPaletteIndex(*palette, color)] & 0x00FFFFFF;
    state.brushColor = color;
    platform::PatBlt(*WorkDC, 0, 0, width, height, platform::PATCOPY, state);
    return;
  }

  // A small tile is first repeated into a larger one; its size stays a
  // multiple of the tile's, so the tiles still start at the same places.
  Bitmap repeated;
  if (tile->Width() < kMinTileSide || tile->Height() < kMinTileSide) {
    const int across = (kMinTileSide + tile->Width() - 1) / tile->Width();
    const int down = (kMinTileSide + tile->Height() - 1) / tile->Height();
    repeated = Bitmap(tile->Width() * across, tile->Height() * down);
    for (int row = 0; row < down; ++row)
      for (int column = 0; column < across; ++column)
        platform::BitBlt(repeated, column * tile->Width(), row * tile->Height(), tile->Width(),
                         tile->Height(), tile, 0, 0, platform::SRCCOPY, state);
    tile = &repeated;
  }
  const int tileWidth = tile->Width(), tileHeight = tile->Height();
  // In the work picture's coordinates: the picture lies at (DocX, DocY)
  // in the document, whose tiles start at multiples of the tile size.
  const int firstX = -FloorMod(background.DocX, tileWidth);
  const int firstY = -FloorMod(background.DocY, tileHeight);
  for (int tileY = firstY; tileY < height; tileY += tileHeight)
    for (int tileX = firstX; tileX < width; tileX += tileWidth)
      platform::BitBlt(*WorkDC, tileX, tileY, tileWidth, tileHeight, tile, 0, 0, platform::SRCCOPY,
                       state);
}

const Bitmap* TGIFImage::GetBitmap() {
  if (Empty || HeaderOnly || FrameCount == 0 || !Frame(1).Bitmap) return nullptr;
  if (!BitmapCopy) BitmapCopy = std::make_unique<Bitmap>(*Frame(1).Bitmap);
  return BitmapCopy.get();
}

const Bitmap* TGIFImage::GetMask() {
  if (Empty || HeaderOnly || !IsTransparent || FrameCount == 0 || !Frame(1).Mask) return nullptr;
  if (!MaskCopy) MaskCopy = std::make_unique<Bitmap>(*Frame(1).Mask);
  return MaskCopy.get();
}

}  // namespace images
