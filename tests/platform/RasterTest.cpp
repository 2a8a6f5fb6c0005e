#include "platform/Raster.h"

#include <gtest/gtest.h>

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
