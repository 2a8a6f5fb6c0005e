#pragma once

// What the control classes share when they make and measure their windows.
// Not for use outside forms/.

#include <memory>
#include <string>
#include <string_view>

#include "forms/FormControls.h"

namespace forms::detail {

// Sides of a control window stop here whatever numbers a page gives.
inline constexpr int kMaxControlSide = 32767;
int ClampSide(int64_t pixels);

// VALUE and NAME of the tag.
void ReadNameAndValue(TFormControlObj& control, const base::TAttributeList& attributes);
// A present attribute's number when it is above 0, else `fallback`.
int PositiveNumber(const base::TAttributeList& attributes, base::Symbol symbol, int fallback);
// The document's fixed-pitch face at 10 points, in its character set.
platform::TFont FixedControlFont(const TSectionList& document);
// The window system's default font (the screen's), in the document's
// character set.
platform::TFont DefaultControlFont(const TSectionList& document);
// Width and height of the measuring letter "A" in a font.
platform::TSize LetterSize(platform::TCanvas& canvas, const platform::TFont& font);
// Makes the window the control's own: out of sight at the given size until
// a draw places it, with the focus handlers every control window has.
void AttachWindow(TFormControlObj& control, std::unique_ptr<platform::TWinControl> window,
                  int width, int height);
// Calls the document's object-click hook for the control.
void ObjectClicked(TFormControlObj& control, const std::string& onClickText);

}  // namespace forms::detail
