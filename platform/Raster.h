#pragma once

#include <cstdint>

#include "platform/Bitmap.h"
#include "platform/Color.h"
#include "platform/Geometry.h"

namespace platform {

// Ternary raster operations; the bits 16..23 are the operation index, the
// low word is ignored (it only describes the operation).
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t SRCPAINT = 0x00EE0086;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCINVERT = 0x00660046;
constexpr uint32_t SRCERASE = 0x00440328;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t NOTSRCERASE = 0x001100A6;
constexpr uint32_t MERGECOPY = 0x00C000CA;
constexpr uint32_t MERGEPAINT = 0x00BB0226;
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t PATPAINT = 0x00FB0A09;
constexpr uint32_t PATINVERT = 0x005A0049;
constexpr uint32_t DSTINVERT = 0x00550009;
constexpr uint32_t BLACKNESS = 0x00000042;
constexpr uint32_t WHITENESS = 0x00FF0062;

// Stretching modes of StretchBlt.
enum TStretchMode : int {
  BLACKONWHITE = 1,  // AND the pixels that are dropped (keeps black on white)
  WHITEONBLACK = 2,  // OR them (keeps white on black)
  COLORONCOLOR = 3,  // drop them
  HALFTONE = 4,      // average them
};

// Applies raster operation `rop3` (0..255) bitwise to pattern, source, dest.
uint32_t ApplyRop3(uint8_t rop3, uint32_t pattern, uint32_t source, uint32_t dest);

// Whether a raster operation reads the source or the pattern.
bool RopUsesSource(uint32_t rop);
bool RopUsesPattern(uint32_t rop);

// The state of the device contexts that a blit reads.
struct BlitState {
  // Destination text and background colours: a 1-bit source's 0 bits become
  // the text colour, its 1 bits the background colour.
  TColor destTextColor = clBlack;
  TColor destBkColor = clWhite;
  // Source background colour: converting colour to 1 bit, pixels of this
  // colour become 1, every other pixel 0.
  TColor sourceBkColor = clWhite;
  // The pattern: a solid brush colour, or a pattern bitmap tiled from the
  // destination's origin when given.
  TColor brushColor = clWhite;
  const Bitmap* brushPattern = nullptr;
  // Device-space clip rectangle; pixels outside stay untouched.
  TRect clip{0, 0, Bitmap::kMaxDimension, Bitmap::kMaxDimension};
  TStretchMode stretchMode = BLACKONWHITE;
};

// BitBlt on bitmaps. Destination and source rectangles are clipped to their
// bitmaps and to state.clip; the source may be null when the operation does
// not read it. Source and destination may be the same bitmap.
void BitBlt(Bitmap& dest, int x, int y, int width, int height, const Bitmap* source, int sx, int sy,
            uint32_t rop, const BlitState& state);

// StretchBlt: maps source rectangle (sx, sy, sw, sh) onto (x, y, w, h);
// negative sizes mirror. Shrinking combines dropped pixels by the stretch
// mode.
void StretchBlt(Bitmap& dest, int x, int y, int width, int height, const Bitmap& source, int sx,
                int sy, int sw, int sh, uint32_t rop, const BlitState& state);

// PatBlt: the pattern-only operations.
void PatBlt(Bitmap& dest, int x, int y, int width, int height, uint32_t rop,
            const BlitState& state);

}  // namespace platform
