#pragma once

#include <memory>
#include <string>

#include "images/MapItem.h"
#include "platform/Canvas.h"
#include "platform/Controls.h"

namespace forms {
class ThtmlForm;
}

namespace layout {

class TSectionList;

// What the document knows of a form: that it owns one. The forms
// themselves (submission, reset, radio groups) are built on top of the
// document model.
class TFormBase {
 public:
  virtual ~TFormBase() = default;
};

// A form control: one byte (2) of its section's text, or an image's
// picture, standing for a window control on the viewer's paint panel.
// The document measures, places and hides the windows; the classes of
// each kind (edit, button, list, ...) fill, reset and submit them.
class TFormControlObj {
 public:
  // Out of sight until a draw places it.
  static constexpr int kHiddenTop = -400;
  // Where the focused control waits while no draw places it (hiding it
  // would take the focus away).
  static constexpr int kParkedLeft = -4000;

  TFormControlObj(TSectionList* document, int position) : Pos(position), Document(document) {}
  virtual ~TFormControlObj() = default;
  TFormControlObj(const TFormControlObj&) = delete;
  TFormControlObj& operator=(const TFormControlObj&) = delete;

  base::TExtent YValue = 0;  // document y, set by its section's layout
  int Pos;                   // index of its byte in the section's text
  TSectionList* Document;
  forms::ThtmlForm* Form = nullptr;
  std::string Value;
  std::string Name;
  bool OnBaseline = false;  // stands on the text baseline, else on the text bottom
  std::unique_ptr<platform::TWinControl> Control;  // none for hidden and image controls
  bool Placed = false;                             // the last draw placed it

  // The window that takes the focus and is tested for it.
  virtual platform::TWinControl* GetControl() const { return Control.get(); }
  virtual void ResetToInitial() {}
  // The index-th name=value string; false when there is no such string.
  virtual bool GetSubmission(int /*index*/, std::string& /*text*/) { return false; }
  // Sizes the window from its font.
  virtual void MeasureControl(platform::TCanvas& /*canvas*/) {}

  // What it is, in one word ("edit", "button", ...), for listings.
  virtual const char* Kind() const = 0;

  bool HasWindow() const { return Control != nullptr; }
  int Width() const { return Control ? Control->Width() : 0; }
  int Height() const { return Control ? Control->Height() : 0; }
  // Its window is shown: placed by a draw, or parked out of sight.
  bool Shown = false;
  // Drawing shows the window at the given panel point.
  virtual void Place(int left, int top);
  // A click on a form image control submits its form with the point last
  // found under the mouse (SetClickPoint). Other controls take no such click.
  virtual void ImageClicked() {}
  virtual void SetClickPoint(int /*x*/, int /*y*/) {}
};

using images::TMapItem;

}  // namespace layout
