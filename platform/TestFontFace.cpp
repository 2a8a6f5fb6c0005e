#include "platform/TestFontFace.h"

#include <algorithm>

#include "platform/CodePage.h"
#include "platform/MulDiv.h"

namespace platform {

namespace {
constexpr int kDefaultPpem = 16;
}

TestFontFace::TestFontFace(const FontRequest& request) {
  // The em is the whole cell: no internal leading, so a positive (cell)
  // height and a negative (em) height ask for the same size.
  int ppem = request.height < 0 ? -request.height : request.height;
  if (ppem == 0) ppem = kDefaultPpem;
  ppem_ = std::clamp(ppem, 1, 2048);
  codePage_ = CharsetToCodePage(request.charset);
  familyName_ = std::string(kTestFontName);
  metrics_.tmAscent = MulDiv(ppem_, 4, 5);
  metrics_.tmDescent = ppem_ - metrics_.tmAscent;
  metrics_.tmHeight = ppem_;
  metrics_.tmInternalLeading = 0;
  metrics_.tmExternalLeading = 0;
  const int advance = MulDiv(ppem_, 1, 2);
  metrics_.tmAveCharWidth = advance;
  metrics_.tmMaxCharWidth = advance;
  metrics_.tmWeight = (request.style & fsBold) ? 700 : 400;
  metrics_.tmItalic = (request.style & fsItalic) ? 1 : 0;
  metrics_.tmUnderlined = (request.style & fsUnderline) ? 1 : 0;
  metrics_.tmStruckOut = (request.style & fsStrikeOut) ? 1 : 0;
  metrics_.tmPitchAndFamily = 0;  // fixed pitch
  metrics_.tmCharSet = request.charset;
  advances_.fill(advance);
  underlineOffset_ = std::max(1, metrics_.tmDescent / 2);
  underlineThickness_ = 1;
  strikeoutOffset_ = std::max(1, metrics_.tmAscent / 3);
  strikeoutThickness_ = 1;
}

void TestFontFace::DrawGlyphs(Bitmap& target, int x, int baselineY, std::string_view text,
                              TColor color, const TRect& clip) const {
  // Each visible character is a box one pixel narrower than its advance,
  // half an em tall, standing on the baseline.
  const TRect area = Intersect(clip, TRect{0, 0, target.Width(), target.Height()});
  const uint32_t raw = target.RawFromColor(color);
  const int boxTop = baselineY - MulDiv(ppem_, 1, 2);
  int64_t pen = x;  // 64 bits: a long text near the end of the int range
  for (unsigned char c : text) {
    const int advance = advances_[c];
    if (c > ' ' && pen < area.right && pen + advance > area.left) {
      const TRect box = Intersect(area, TRect{static_cast<int>(pen), boxTop,
                                              static_cast<int>(pen + advance - 1), baselineY});
      for (int py = box.top; py < box.bottom; ++py)
        for (int px = box.left; px < box.right; ++px) target.SetRaw(px, py, raw);
    }
    pen += advance;
  }
}

}  // namespace platform
