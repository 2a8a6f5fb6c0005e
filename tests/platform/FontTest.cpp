// The real faces, measured as GDI measures TrueType fonts. These need the
// Liberation fonts (installed by the set-up scripts); without them they skip.
#include "platform/Font.h"

#include <gtest/gtest.h>

#include "platform/Bitmap.h"
#include "platform/CodePage.h"

namespace {

using namespace platform;

const FontFace& Face(const char* name, int height, TFontStyles style = 0,
                     uint8_t charset = RUSSIAN_CHARSET) {
  return ResolveFont(FontRequest{name, height, style, charset});
}

#define REQUIRE_FAMILY(face, family)   \
  if ((face).FamilyName() != (family)) \
  GTEST_SKIP() << family << " is not installed (found " << (face).FamilyName() << ")"

TEST(RealFonts, TimesNewRomanTakesWinAscentAndWinDescent) {
  const FontFace& serif = Face("Times New Roman", -16);
  REQUIRE_FAMILY(serif, "Liberation Serif");
  // winAscent 1825, winDescent 443 of 2048 units at 16 ppem.
  EXPECT_EQ(serif.Metrics().tmAscent, 14);
  EXPECT_EQ(serif.Metrics().tmDescent, 3);
  EXPECT_EQ(serif.Metrics().tmHeight, 17);
  EXPECT_EQ(serif.Metrics().tmInternalLeading, 1);
  EXPECT_EQ(serif.Ppem(), 16);
  // A positive height asks for the cell: the em is scaled by the cell's
  // share of the em square (17 * 2048 / 2268 = 15.4).
  EXPECT_EQ(Face("Times New Roman", 17).Ppem(), 15);
  EXPECT_LE(Face("Times New Roman", 17).Metrics().tmHeight, 17);
}

TEST(RealFonts, AdvancesAreWholePixelsPerByteOfTheCodePage) {
  const FontFace& serif = Face("Times New Roman", -16);
  REQUIRE_FAMILY(serif, "Liberation Serif");
  EXPECT_GT(serif.Advance('W'), serif.Advance('i'));
  EXPECT_EQ(serif.TextWidth("Wi"), serif.Advance('W') + serif.Advance('i'));
  // 0xC6 is Ж in Windows-1251 and Æ in Windows-1252: both have glyphs.
  EXPECT_GT(serif.Advance(0xC6), serif.Advance('i'));
  const FontFace& latin = Face("Times New Roman", -16, 0, ANSI_CHARSET);
  EXPECT_EQ(latin.CodePage(), 1252);
  EXPECT_GT(latin.Advance(0xC6), 0);
}

TEST(RealFonts, CourierNewIsFixedPitch) {
  const FontFace& mono = Face("Courier New", -16);
  REQUIRE_FAMILY(mono, "Liberation Mono");
  EXPECT_EQ(mono.Advance('i'), mono.Advance('W'));
  EXPECT_EQ(mono.Advance(0xC6), mono.Advance('W'));
  EXPECT_EQ(mono.Metrics().tmPitchAndFamily & 1, 0);
}

TEST(RealFonts, DrawingStaysInsideTheClipAndUsesTheColour) {
  const FontFace& serif = Face("Times New Roman", -16);
  REQUIRE_FAMILY(serif, "Liberation Serif");
  Bitmap b(40, 20);
  b.Fill(clWhite);
  serif.DrawGlyphs(b, 2, 14, "HH", clBlack, TRect{0, 0, 10, 20});
  int dark = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      if (b.GetPixel(x, y) == clWhite) continue;
      EXPECT_LT(x, 10) << "drawn outside the clip at " << x << "," << y;
      if (b.GetPixel(x, y) == clBlack) ++dark;
    }
  EXPECT_GT(dark, 5);  // the first H's stems are solid
}

TEST(RealFonts, ADrawingOwesNothingToTheOneBeforeAndKeepsItsOverhang) {
  const FontFace& serif = Face("Times New Roman", -16);
  REQUIRE_FAMILY(serif, "Liberation Serif");
  const auto draw = [&] {
    Bitmap b(60, 30);
    b.Fill(clWhite);
    serif.DrawGlyphs(b, 4, 20, "Ag", clNavy, TRect{0, 0, 60, 30});
    return b;
  };
  const Bitmap first = draw();
  // A large italic text between the two leaves its ink wherever drawings
  // are prepared; the second drawing must not show any of it.
  const FontFace& large = Face("Times New Roman", -90, fsItalic);
  Bitmap wide(400, 160);
  large.DrawGlyphs(wide, 0, 120, "WWWf", clBlack, TRect{0, 0, 400, 160});
  const Bitmap second = draw();
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(first.GetPixel(x, y), second.GetPixel(x, y)) << x << "," << y;

  // An italic f reaches past its advance: that ink is drawn too.
  Bitmap f(120, 140);
  f.Fill(clWhite);
  large.DrawGlyphs(f, 10, 100, "f", clBlack, TRect{0, 0, 120, 140});
  const int end = 10 + large.TextWidth("f");
  int past = 0;
  for (int y = 0; y < 140; ++y)
    for (int x = end; x < 120; ++x) past += f.GetPixel(x, y) != clWhite;
  EXPECT_GT(past, 20);
}

}  // namespace
