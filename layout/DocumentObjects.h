#pragma once

#include "images/MapItem.h"

namespace layout {

// The document-wide objects: image maps, and forms, whose behaviour comes
// with form controls; the document keeps them in its lists from the start,
// so its operations already treat them as the document model says.
class ThtmlForm {
 public:
  virtual ~ThtmlForm() = default;
};

using images::TMapItem;

}  // namespace layout
