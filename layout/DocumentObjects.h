#pragma once

namespace layout {

// The document-wide objects whose behaviour comes with forms, image maps
// and animated pictures; the document keeps them in its lists from the
// start, so its operations already treat them as the document model says.
class ThtmlForm {
 public:
  virtual ~ThtmlForm() = default;
};

class TMapItem {
 public:
  virtual ~TMapItem() = default;
};

class TGIFImage {
 public:
  virtual ~TGIFImage() = default;
};

}  // namespace layout
