#pragma once

#include "base/Symbol.h"
#include "forms/FormControls.h"
#include "layout/Section.h"

namespace forms {

// The control for an INPUT, SELECT or TEXTAREA tag at the end of the
// section's text: its byte (an image's for TYPE=image, none for hidden
// controls) in the section, the control in its form (the builder's current
// one; a new implicit form when there is none, which becomes current) and
// in the document's Controls. The form owns it.
TFormControlObj* AddFormControl(layout::TSection& section, base::Symbol tag, TSectionList& document,
                                layout::TCell* cell, const base::TAttributeList& attributes,
                                ThtmlForm*& currentForm);

}  // namespace forms
