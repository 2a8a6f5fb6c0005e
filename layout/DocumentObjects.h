#pragma once

#include "images/MapItem.h"

namespace layout {

// The document-wide objects whose behaviour comes with forms and animated
// pictures; the document keeps them in its lists from the
// start, so its operations already treat them as the document model says.
class ThtmlForm {
 public:
  virtual ~ThtmlForm() = default;
};

using images::TMapItem;

class TGIFImage {
 public:
  virtual ~TGIFImage() = default;
};

}  // namespace layout
