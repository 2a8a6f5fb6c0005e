#include "layout/FormControlObj.h"

#include "layout/SectionList.h"

namespace layout {

void TFormControlObj::Place(int left, int top) {
  Placed = true;
  Control->SetPosition(left, top);
  Document->ShowControl(this);
}

}  // namespace layout
