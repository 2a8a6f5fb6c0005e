#pragma once

#include <QRawFont>

#include "platform/Font.h"

namespace platform {

// A TrueType face found through the system's font configuration, measured
// as GDI measures it at 96 DPI: ascent and descent from the OS/2 winAscent
// and winDescent, advances from the hdmx table when it has the size, else
// the hmtx advances scaled and rounded.
class QtFontFace : public FontFace {
 public:
  explicit QtFontFace(const FontRequest& request);
  void DrawGlyphs(Bitmap& target, int x, int baselineY, std::string_view text, TColor color,
                  const TRect& clip) const override;

 private:
  QRawFont raw_;
  std::array<quint32, 256> glyphs_{};
  // The margins around a text that its glyphs' ink may cover.
  struct InkMargins {
    bool measured = false;
    int left = 0, right = 0, above = 0, below = 0;
  };
  void MeasureInk() const;
  mutable InkMargins ink_;
};

}  // namespace platform
