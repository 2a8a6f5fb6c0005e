#include "platform/Raster.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace platform;

TEST(Raster, Rop3MatchesItsTruthTable) {
  // Each named operation against its formula, on bit patterns that cover
  // all eight combinations of P, S and D.
  const uint32_t P = 0xF0, S = 0xCC, D = 0xAA;
  const struct {
    uint32_t rop;
    uint32_t expected;
  } cases[] = {
      {SRCCOPY, S},
      {SRCPAINT, S | D},
      {SRCAND, S & D},
      {SRCINVERT, S ^ D},
      {SRCERASE, S & ~D},
      {NOTSRCCOPY, ~S},
      {NOTSRCERASE, ~(S | D)},
      {MERGECOPY, P & S},
      {MERGEPAINT, ~S | D},
      {PATCOPY, P},
      {PATPAINT, P | ~S | D},
      {PATINVERT, P ^ D},
      {DSTINVERT, ~D},
      {BLACKNESS, 0},
      {WHITENESS, ~0u},
      {0x00E20746, (S & P) | (~S & D)},  // DSPDxax: the transparent-blit helper
  };
  for (const auto& c : cases) {
    const uint8_t index = static_cast<uint8_t>(c.rop >> 16);
    EXPECT_EQ(ApplyRop3(index, P, S, D) & 0xFF, c.expected & 0xFF) << std::hex << c.rop;
    // The rop index is itself the result for these inputs.
    EXPECT_EQ(ApplyRop3(index, P, S, D) & 0xFF, index);
  }
  EXPECT_TRUE(RopUsesSource(SRCAND));
  EXPECT_FALSE(RopUsesSource(PATINVERT));
  EXPECT_TRUE(RopUsesPattern(PATINVERT));
  EXPECT_FALSE(RopUsesPattern(SRCCOPY));
}

TEST(Raster, MaskTrickWithMonochromeMask) {
  // The classic transparent draw: AND the mask (set = transparent), then
  // OR the picture whose transparent pixels are black.
  Bitmap dest(4, 1);
  dest.Fill(RGB(10, 20, 30));
  Bitmap mask(4, 1, TPixelFormat::pf1bit);
  mask.SetRaw(1, 0, 1);
  mask.SetRaw(3, 0, 1);
  Bitmap picture(4, 1);
  picture.Fill(RGB(200, 0, 0));
  picture.SetPixel(1, 0, clBlack);
  picture.SetPixel(3, 0, clBlack);
  BlitState state;  // text black, background white
  BitBlt(dest, 0, 0, 4, 1, &mask, 0, 0, SRCAND, state);
  BitBlt(dest, 0, 0, 4, 1, &picture, 0, 0, SRCPAINT, state);
  EXPECT_EQ(dest.GetPixel(0, 0), RGB(200, 0, 0));
  EXPECT_EQ(dest.GetPixel(1, 0), RGB(10, 20, 30));
  EXPECT_EQ(dest.GetPixel(2, 0), RGB(200, 0, 0));
  EXPECT_EQ(dest.GetPixel(3, 0), RGB(10, 20, 30));
}

TEST(Raster, ColourToMonochromeUsesSourceBackground) {
  Bitmap source(3, 1);
  source.SetPixel(0, 0, RGB(1, 2, 3));
  source.SetPixel(1, 0, RGB(9, 9, 9));
  source.SetPixel(2, 0, RGB(1, 2, 3));
  Bitmap mask(3, 1, TPixelFormat::pf1bit);
  BlitState state;
  state.sourceBkColor = RGB(1, 2, 3);
  BitBlt(mask, 0, 0, 3, 1, &source, 0, 0, SRCCOPY, state);
  EXPECT_EQ(mask.GetRaw(0, 0), 1u);
  EXPECT_EQ(mask.GetRaw(1, 0), 0u);
  EXPECT_EQ(mask.GetRaw(2, 0), 1u);
}

TEST(Raster, BlitsClipAndOverlappingCopiesReadFirst) {
  Bitmap b(5, 1);
  for (int x = 0; x < 5; ++x) b.SetPixel(x, 0, RGB(x, 0, 0));
  BlitState state;
  BitBlt(b, 1, 0, 4, 1, &b, 0, 0, SRCCOPY, state);  // shift right by one, in place
  for (int x = 1; x < 5; ++x) EXPECT_EQ(b.GetPixel(x, 0), RGB(x - 1, 0, 0));

  Bitmap target(4, 4);
  state.clip = {1, 1, 3, 3};
  state.brushColor = clWhite;
  PatBlt(target, -10, -10, 100, 100, PATCOPY, state);
  EXPECT_EQ(target.GetPixel(0, 0), clBlack);
  EXPECT_EQ(target.GetPixel(1, 1), clWhite);
  EXPECT_EQ(target.GetPixel(3, 3), clBlack);
}

TEST(Raster, StretchModesWhenShrinking) {
  // A one-pixel black line in white survives halving with BLACKONWHITE and
  // may vanish with COLORONCOLOR.
  Bitmap source(4, 1);
  source.Fill(clWhite);
  source.SetPixel(1, 0, clBlack);
  Bitmap dest(2, 1);
  BlitState state;
  state.stretchMode = BLACKONWHITE;
  StretchBlt(dest, 0, 0, 2, 1, source, 0, 0, 4, 1, SRCCOPY, state);
  EXPECT_EQ(dest.GetPixel(0, 0), clBlack);
  EXPECT_EQ(dest.GetPixel(1, 0), clWhite);
  state.stretchMode = COLORONCOLOR;
  StretchBlt(dest, 0, 0, 2, 1, source, 0, 0, 4, 1, SRCCOPY, state);
  EXPECT_EQ(dest.GetPixel(0, 0), clWhite);
  state.stretchMode = HALFTONE;
  StretchBlt(dest, 0, 0, 2, 1, source, 0, 0, 4, 1, SRCCOPY, state);
  EXPECT_EQ(dest.GetPixel(0, 0), RGB(128, 128, 128));
}

TEST(Raster, StretchEnlargesAndMirrors) {
  Bitmap source(2, 1);
  source.SetPixel(0, 0, clRed);
  source.SetPixel(1, 0, clBlue);
  Bitmap dest(4, 1);
  BlitState state;
  StretchBlt(dest, 0, 0, 4, 1, source, 0, 0, 2, 1, SRCCOPY, state);
  EXPECT_EQ(dest.GetPixel(0, 0), clRed);
  EXPECT_EQ(dest.GetPixel(1, 0), clRed);
  EXPECT_EQ(dest.GetPixel(2, 0), clBlue);
  // A negative width covers (x + w, x]: mirroring into 0..3 starts at 3.
  StretchBlt(dest, 3, 0, -4, 1, source, 0, 0, 2, 1, SRCCOPY, state);
  EXPECT_EQ(dest.GetPixel(0, 0), clBlue);
  EXPECT_EQ(dest.GetPixel(3, 0), clRed);
}

TEST(Raster, PalettedDestinationTakesNearestIndex) {
  Bitmap dest(1, 1, TPixelFormat::pf8bit);
  dest.Palette() = {clBlack, RGB(250, 0, 0), clWhite};
  Bitmap source(1, 1);
  source.SetPixel(0, 0, RGB(240, 10, 10));
  BlitState state;
  BitBlt(dest, 0, 0, 1, 1, &source, 0, 0, SRCCOPY, state);
  EXPECT_EQ(dest.GetRaw(0, 0), 1u);
}

}  // namespace

// The row-at-a-time paths (32-bit and 1-bit destinations) give what the
// operation's truth table gives pixel by pixel, also for 1-bit rows that
// start and end inside a byte and sources partly outside their bitmap.
TEST(Raster, RowBlitsMatchTheOperationPixelByPixel) {
  std::mt19937 random(7);
  const auto randomize = [&](Bitmap& b) {
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x) b.SetRaw(x, y, static_cast<uint32_t>(random()));
  };
  const auto between = [&](int low, int high) {
    return low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
  };
  const std::pair<TPixelFormat, TPixelFormat> formats[] = {
      {TPixelFormat::pf32bit, TPixelFormat::pf32bit},
      {TPixelFormat::pf32bit, TPixelFormat::pf1bit},
      {TPixelFormat::pf32bit, TPixelFormat::pf8bit},
      {TPixelFormat::pf1bit, TPixelFormat::pf1bit}};
  const uint32_t rops[] = {SRCCOPY,    SRCAND,    SRCPAINT,  SRCINVERT, SRCERASE,
                           NOTSRCCOPY, BLACKNESS, WHITENESS, DSTINVERT};
  BlitState state;
  state.destTextColor = RGB(10, 20, 30);
  state.destBkColor = RGB(200, 100, 50);
  for (const auto& [destFormat, sourceFormat] : formats)
    for (uint32_t rop : rops)
      for (int trial = 0; trial < 25; ++trial) {
        Bitmap dest(37, 5, destFormat), source(29, 4, sourceFormat);
        randomize(dest);
        randomize(source);
        if (sourceFormat == TPixelFormat::pf8bit) {
          // A short palette: indexes past it are black.
          source.Palette().resize(200);
          for (TColor& c : source.Palette()) c = static_cast<TColor>(random()) & 0x00FFFFFF;
        }
        const int x = between(-10, 40), y = between(-3, 6), sx = between(-10, 30);
        const int sy = between(-3, 5), width = between(1, 40), height = between(1, 6);
        Bitmap expected = dest;
        const bool usesSource = RopUsesSource(rop);
        for (int row = std::max(0, y); row < std::min(dest.Height(), y + height); ++row)
          for (int col = std::max(0, x); col < std::min(dest.Width(), x + width); ++col) {
            const int fromX = col - x + sx, fromY = row - y + sy;
            uint32_t s = 0;
            if (usesSource) {
              if (fromX < 0 || fromY < 0 || fromX >= source.Width() || fromY >= source.Height())
                continue;
              s = source.GetRaw(fromX, fromY);
              if (sourceFormat == TPixelFormat::pf8bit)
                s = dest.RawFromColor(source.ColorFromRaw(s));
              else if (sourceFormat != destFormat)
                s = dest.RawFromColor(s ? state.destBkColor : state.destTextColor);
            }
            const uint32_t mask = destFormat == TPixelFormat::pf1bit ? 1 : 0x00FFFFFF;
            expected.SetRaw(col, row,
                            ApplyRop3((rop >> 16) & 0xFF, 0, s, dest.GetRaw(col, row)) & mask);
          }
        BitBlt(dest, x, y, width, height, &source, sx, sy, rop, state);
        ASSERT_TRUE(dest == expected)
            << "rop " << std::hex << rop << std::dec << " trial " << trial << " formats "
            << static_cast<int>(destFormat) << "/" << static_cast<int>(sourceFormat);
      }
}
