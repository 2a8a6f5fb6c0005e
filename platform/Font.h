#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Color.h"
#include "platform/Geometry.h"

namespace platform {

enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = uint8_t;

// GDI's TEXTMETRIC, the fields the Parts read.
struct TTextMetric {
  int tmHeight = 0;
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;
  int tmExternalLeading = 0;
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmWeight = 400;
  int tmOverhang = 0;
  uint8_t tmItalic = 0;
  uint8_t tmUnderlined = 0;
  uint8_t tmStruckOut = 0;
  uint8_t tmPitchAndFamily = 0;  // bit 0 set: variable pitch (GDI's inverted sense)
  uint8_t tmCharSet = 0;
};

// What a font is asked for, as a LOGFONT: `height` < 0 is the character
// (em) height in pixels, > 0 the cell height (ascent + descent), 0 the default.
struct FontRequest {
  std::string name;
  int height = -16;
  TFontStyles style = 0;
  uint8_t charset = 1;
  bool operator==(const FontRequest&) const = default;
};

// The face that is always there and measures the same on every machine:
// every character advances half the em, the ascent is four fifths of it, and
// glyphs are drawn as solid boxes. Tests use it for exact layout numbers.
constexpr std::string_view kTestFontName = "TestFont";

// A font resolved at one pixel size: metrics, whole-pixel advances for the
// 256 bytes of its character set, and glyph drawing at exactly those
// advances, so what is measured is what is drawn. Immutable once made.
class FontFace {
 public:
  virtual ~FontFace() = default;

  const TTextMetric& Metrics() const { return metrics_; }
  int Ppem() const { return ppem_; }
  int CodePage() const { return codePage_; }
  int Advance(uint8_t byte) const { return advances_[byte]; }
  const std::array<int, 256>& Advances() const { return advances_; }
  int TextWidth(std::string_view text) const;

  // Underline: the top of the line, in pixels below the baseline; strike-out:
  // the top of its line above the baseline.
  int UnderlineOffset() const { return underlineOffset_; }
  int UnderlineThickness() const { return underlineThickness_; }
  int StrikeoutOffset() const { return strikeoutOffset_; }
  int StrikeoutThickness() const { return strikeoutThickness_; }
  // The family that was actually found for the request.
  const std::string& FamilyName() const { return familyName_; }

  // Draws the glyphs of `text` with the pen starting at x and the baseline
  // at y, clipped to `clip` (bitmap coordinates). Only the glyphs; the
  // caller draws backgrounds and lines.
  virtual void DrawGlyphs(Bitmap& target, int x, int baselineY, std::string_view text, TColor color,
                          const TRect& clip) const = 0;

 protected:
  TTextMetric metrics_;
  int ppem_ = 0;
  int codePage_ = 1252;
  std::array<int, 256> advances_{};
  int underlineOffset_ = 1;
  int underlineThickness_ = 1;
  int strikeoutOffset_ = 4;
  int strikeoutThickness_ = 1;
  std::string familyName_;
};

// The face for a request, from a process-wide cache that keeps every face it
// made (documents use a handful). Never fails: an unknown name gets the
// system's closest face, as the font mapper does.
const FontFace& ResolveFont(const FontRequest& request);

}  // namespace platform
