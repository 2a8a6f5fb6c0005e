#pragma once

#include "layout/IndentManager.h"
#include "platform/Canvas.h"

namespace layout {

// What a text section needs of the objects that stand in its text (one
// byte each): inline images (byte 4) and form controls (byte 2). The
// concrete classes come with pictures and forms.
enum class TImageAlign { Top = 0, Middle = 1, Bottom = 2, Left = 3, Right = 4 };

class TImageObj : public TFloatingObject {
 public:
  int Pos = 0;  // index of its byte in the section's text

  virtual TImageAlign Align() const = 0;
  virtual bool HasPercentWidth() const = 0;
  // Sizes the picture for the width available to it (0 while measuring).
  virtual void ComputeSize(platform::TCanvas& canvas, int availableWidth) = 0;
  bool Floats() const { return Align() == TImageAlign::Left || Align() == TImageAlign::Right; }

  Side FloatSide() const override {
    return Align() == TImageAlign::Left    ? Side::Left
           : Align() == TImageAlign::Right ? Side::Right
                                           : Side::None;
  }
};

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
};

}  // namespace layout
