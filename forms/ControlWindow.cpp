#include "forms/ControlWindow.h"

#include <algorithm>

namespace forms::detail {

int ClampSide(int64_t pixels) {
  return static_cast<int>(std::clamp<int64_t>(pixels, 0, kMaxControlSide));
}

void ReadNameAndValue(TFormControlObj& control, const base::TAttributeList& attributes) {
  if (const base::TAttribute* value = attributes.Find(base::ValueSy))
    control.Value = value->StrValue;
  if (const base::TAttribute* name = attributes.Find(base::NameSy)) control.Name = name->StrValue;
}

int PositiveNumber(const base::TAttributeList& attributes, base::Symbol symbol, int fallback) {
  const base::TAttribute* attribute = attributes.Find(symbol);
  return attribute && attribute->IntValue > 0 ? attribute->IntValue : fallback;
}

platform::TFont FixedControlFont(const TSectionList& document) {
  platform::TFont font;
  font.SetName(document.FixedFontName);
  font.SetSize(10);
  font.SetCharset(document.CharSet);
  return font;
}

platform::TFont DefaultControlFont(const TSectionList& document) {
  platform::TFont font;  // the screen's face and size
  font.SetCharset(document.CharSet);
  return font;
}

platform::TSize LetterSize(platform::TCanvas& canvas, const platform::TFont& font) {
  canvas.Font.Assign(font);
  return canvas.GetTextExtentPoint32("A");
}

namespace {

// Focus entering a control: the viewer scrolls it into view. One the last
// draw did not place (Tab reached it) waits out of sight, shown, until a
// draw places it; Tab itself goes through all the controls, shown or not.
void FocusEntered(TFormControlObj& control) {
  TSectionList& document = *control.Document;
  if (document.OnShowFormControl) document.OnShowFormControl(&control);
  if (control.HasWindow() && !control.Placed) document.ParkControl(&control);
}

}  // namespace

void AttachWindow(TFormControlObj& control, std::unique_ptr<platform::TWinControl> window,
                  int width, int height) {
  window->SetBounds(0, TFormControlObj::kHiddenTop, width, height);
  window->OnEnter = [&control] { FocusEntered(control); };
  TSectionList* document = control.Document;
  window->OnExit = [document] { document->PlaceControls(); };
  control.Control = std::move(window);
}

void ObjectClicked(TFormControlObj& control, const std::string& onClickText) {
  if (control.Document->OnObjectClick) control.Document->OnObjectClick(&control, onClickText);
}

}  // namespace forms::detail
