#include "layout/Frame3D.h"

#include "layout/SectionList.h"

namespace layout {

void DrawFrame3D(const TSectionList* document, platform::TCanvas& canvas, int left, bool raised,
                 int bottom, int right, int top) {
  const platform::TColor background = document ? document->Background : platform::clWhite;
  const bool white = (background & 0xFFFFFF) == 0xFFFFFF ||
                     (background == platform::clWindow &&
                      platform::ColorToRGB(platform::clWindow) == 0xFFFFFF);
  const platform::TColor light = white ? platform::clSilver : platform::clBtnHighlight;
  const platform::TColor dark = platform::clBtnShadow;
  canvas.Pen.Width = 1;
  canvas.Pen.Style = platform::psSolid;
  canvas.Pen.Color = raised ? light : dark;
  canvas.MoveTo(left, bottom);
  canvas.LineTo(left, top);
  canvas.LineTo(right, top);
  canvas.Pen.Color = raised ? dark : light;
  canvas.LineTo(right, bottom);
  canvas.LineTo(left, bottom);
}

}  // namespace layout
