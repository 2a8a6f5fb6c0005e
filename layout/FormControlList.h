#pragma once

#include <vector>

#include "layout/FormControlObj.h"

namespace layout {

// The controls of one text section that have a byte in its text, in
// ascending Pos (the builder appends them in text order). It refers to
// them; their forms own them.
class TFormControlList : public std::vector<TFormControlObj*> {
 public:
  // The control whose byte is at pos, or null.
  TFormControlObj* FindAt(int pos) const;
  // The window's height at pos and whether it stands on the baseline; -1
  // when there is no control there.
  int HeightAt(int pos, bool& onBaseline) const;
  // The window's width at pos, -1 when there is no control there.
  int WidthAt(int pos) const;
  // Characters from pos to the first control at or after it; 9999 when
  // there is none.
  int CharsToNext(int pos) const;
  const_iterator FirstAtOrAfter(int pos) const;
};

}  // namespace layout
