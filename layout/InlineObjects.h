#pragma once

#include "layout/ImageObj.h"

namespace layout {

// What a text section needs of the form controls that stand in its text
// (one byte each, byte 2). The concrete classes come with forms.
class TFormControlObj {
 public:
  virtual ~TFormControlObj() = default;
  int Pos = 0;     // index of its byte in the section's text
  int YValue = 0;  // document y, set by its section's layout

  virtual bool HasWindow() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Whether it stands on the text baseline (else on the text bottom).
  virtual bool OnBaseline() const = 0;
  virtual void SetY(int y) { YValue = y; }
  // A click on a form image control: it submits its form with the point
  // last found under the mouse. Other controls take no such click.
  virtual void ImageClicked() {}
  // The point inside the picture of an image control, before ImageClicked.
  virtual void SetClickPoint(int /*x*/, int /*y*/) {}
};

}  // namespace layout
