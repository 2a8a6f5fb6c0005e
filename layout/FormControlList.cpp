#include "layout/FormControlList.h"

#include <algorithm>

namespace layout {

// A page may hold thousands of controls in one section: lookups search.
TFormControlList::const_iterator TFormControlList::FirstAtOrAfter(int pos) const {
  return std::lower_bound(begin(), end(), pos,
                          [](const TFormControlObj* c, int p) { return c->Pos < p; });
}

TFormControlObj* TFormControlList::FindAt(int pos) const {
  const auto it = FirstAtOrAfter(pos);
  return it != end() && (*it)->Pos == pos ? *it : nullptr;
}

int TFormControlList::HeightAt(int pos, bool& onBaseline) const {
  const TFormControlObj* control = FindAt(pos);
  if (!control) return -1;
  onBaseline = control->OnBaseline;
  return control->Height();
}

int TFormControlList::WidthAt(int pos) const {
  const TFormControlObj* control = FindAt(pos);
  return control ? control->Width() : -1;
}

int TFormControlList::CharsToNext(int pos) const {
  const auto it = FirstAtOrAfter(pos);
  return it == end() ? 9999 : (*it)->Pos - pos;
}

}  // namespace layout
