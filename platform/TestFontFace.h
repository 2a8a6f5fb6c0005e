#pragma once

#include "platform/Font.h"

namespace platform {

// The deterministic face named kTestFontName (see Font.h).
class TestFontFace : public FontFace {
 public:
  explicit TestFontFace(const FontRequest& request);
  void DrawGlyphs(Bitmap& target, int x, int baselineY, std::string_view text, TColor color,
                  const TRect& clip) const override;
};

}  // namespace platform
