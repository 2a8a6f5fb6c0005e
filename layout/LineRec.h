#pragma once

namespace layout {

// One laid-out line of a text section. Start indexes the section's text.
// Full height = SpaceAbove + LineHeight + SpaceBelow; the baseline lies
// SpaceAbove + LineHeight - Descent below the line's top. LineIndent is
// relative to the cell's left side; DrawX is screen x and DrawY the
// document y of the text top at the last draw.
struct LineRec {
  int Start = 0;
  int SpaceAbove = 0;
  int SpaceBelow = 0;
  int LineHeight = 0;
  int DrawnHeight = 0;
  int Count = 0;
  int Descent = 0;
  int LineIndent = 0;
  int DrawX = 0;
  int DrawY = 0;

  int FullHeight() const { return SpaceAbove + LineHeight + SpaceBelow; }
};

}  // namespace layout
