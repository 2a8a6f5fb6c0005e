// The controls of INPUT: hidden, edit, button, check box, radio button and
// image.

#include <cctype>
#include <charconv>

#include "forms/ControlWindow.h"

namespace forms {

using namespace detail;

bool THiddenFormControlObj::GetSubmission(int index, std::string& text) {
  if (index != 0) return false;
  text = Name + "=" + Value;
  return true;
}

// ---- Edit

namespace {

// SIZE of an edit: its number when above 0; else, for a text with both a
// blank and a comma ("30, 1"), the number before the earlier of the two.
int EditSizeOf(const base::TAttribute* size) {
  constexpr int kDefault = 20;
  if (!size) return kDefault;
  if (size->IntValue > 0) return size->IntValue;
  const std::string& text = size->StrValue;
  const size_t blank = text.find(' ');
  const size_t comma = text.find(',');
  if (blank == std::string::npos || comma == std::string::npos) return kDefault;
  const std::string_view head(text.data(), std::min(blank, comma));
  int number = 0;
  const char* first = head.data();
  const char* last = first + head.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, number);
  if (error != std::errc() || end != last || first == last) return kDefault;
  return number;
}

}  // namespace

TEditFormControlObj::TEditFormControlObj(TSectionList* document, int position,
                                         const base::TAttributeList& attributes, bool password)
    : TFormControlObj(document, position) {
  ReadNameAndValue(*this, attributes);
  EditSize = EditSizeOf(attributes.Find(base::SizeSy));
  auto edit = document->ControlParent().NewEdit();
  edit->SetFont(FixedControlFont(*document));
  edit->SetText(Value);
  if (const base::TAttribute* maxLength = attributes.Find(base::MaxLengthSy))
    edit->SetMaxLength(std::max(0, maxLength->IntValue));
  if (password) edit->SetPasswordChar('*');
  edit->OnKeyDown = [this](int& key) {
    if (Form) Form->EnterKey(this, key);
  };
  AttachWindow(*this, std::move(edit), 120, 20);
}

void TEditFormControlObj::ResetToInitial() {
  Edit().SetText(Value);
}

bool TEditFormControlObj::GetSubmission(int index, std::string& text) {
  if (index != 0) return false;
  text = Name + "=" + Edit().Text();
  return true;
}

void TEditFormControlObj::MeasureControl(platform::TCanvas& canvas) {
  const platform::TSize letter = LetterSize(canvas, Control->Font());
  Control->SetBounds(Control->Left(), Control->Top(), ClampSide(int64_t{letter.cx} * EditSize + 5),
                     Control->Height());
}

// ---- Button

TButtonFormControlObj::TButtonFormControlObj(TSectionList* document, int position,
                                             const base::TAttributeList& attributes,
                                             const std::string& type)
    : TFormControlObj(document, position) {
  ReadNameAndValue(*this, attributes);
  std::string caption = "Button";
  if (type == "submit") {
    ButtonKind = bkSubmit;
    caption = "Submit";
  } else if (type == "reset") {
    ButtonKind = bkReset;
    caption = "Reset";
  }
  if (Value.empty()) Value = caption;
  if (const base::TAttribute* onClick = attributes.Find(base::OnClickSy))
    OnClickText = onClick->StrValue;
  auto button = document->ControlParent().NewButton();
  button->SetFont(DefaultControlFont(*document));
  button->SetCaption(Value);
  button->OnClick = [this] { ButtonClicked(); };
  AttachWindow(*this, std::move(button), 75, 25);
}

void TButtonFormControlObj::MeasureControl(platform::TCanvas& canvas) {
  const platform::TSize letter = LetterSize(canvas, Control->Font());
  const int captionWidth = canvas.TextWidth(Button().Caption());
  Control->SetBounds(Control->Left(), Control->Top(), ClampSide(int64_t{captionWidth} + 20),
                     ClampSide(int64_t{letter.cy} + 8));
}

void TButtonFormControlObj::ButtonClicked() {
  // The click hook may load another page, which frees this button: what
  // the click does next is decided before it runs.
  TSectionList* document = Document;
  ThtmlForm* form = Form;
  const TButtonKind kind = ButtonKind;
  const std::string extra = Name.empty() ? std::string() : Name + "=" + Value;
  const uint64_t page = document->PageGeneration;
  ObjectClicked(*this, OnClickText);
  if (document->PageGeneration != page || !form) return;
  if (kind == bkReset) {
    form->ResetControls();
  } else if (kind == bkSubmit) {
    form->Submit(extra.empty() ? nullptr : &extra);
  }
}

// ---- Check box

TCheckBoxFormControlObj::TCheckBoxFormControlObj(TSectionList* document, int position,
                                                 const base::TAttributeList& attributes)
    : TFormControlObj(document, position) {
  ReadNameAndValue(*this, attributes);
  if (Value.empty()) Value = "On";
  OnBaseline = true;
  InitiallyChecked = attributes.Find(base::CheckedSy) != nullptr;
  if (const base::TAttribute* onClick = attributes.Find(base::OnClickSy))
    OnClickText = onClick->StrValue;
  auto box = document->ControlParent().NewCheckBox();
  box->SetChecked(InitiallyChecked);
  box->OnClick = [this] { ObjectClicked(*this, OnClickText); };
  AttachWindow(*this, std::move(box), 13, 13);
}

void TCheckBoxFormControlObj::ResetToInitial() {
  CheckBox().SetChecked(InitiallyChecked);
}

bool TCheckBoxFormControlObj::GetSubmission(int index, std::string& text) {
  if (index != 0 || !CheckBox().Checked()) return false;
  text = Name + "=" + Value;
  return true;
}

// ---- Radio button

TRadioButtonFormControlObj::TRadioButtonFormControlObj(TSectionList* document, int position,
                                                       const base::TAttributeList& attributes,
                                                       layout::TCell* cell)
    : TFormControlObj(document, position), HoldingCell(cell) {
  ReadNameAndValue(*this, attributes);
  OnBaseline = true;
  InitiallyChecked = attributes.Find(base::CheckedSy) != nullptr;
  if (const base::TAttribute* onClick = attributes.Find(base::OnClickSy))
    OnClickText = onClick->StrValue;
  auto radio = document->ControlParent().NewRadioPanel();
  radio->SetChecked(InitiallyChecked);
  radio->OnClick = [this] {
    TSectionList* doc = Document;
    const uint64_t page = doc->PageGeneration;
    if (Form) Form->UncheckRadios(this);
    if (doc->PageGeneration == page) ObjectClicked(*this, OnClickText);
  };
  AttachWindow(*this, std::move(radio), 13, 14);
}

void TRadioButtonFormControlObj::ResetToInitial() {
  RadioButton().SetChecked(InitiallyChecked);
}

bool TRadioButtonFormControlObj::GetSubmission(int index, std::string& text) {
  if (index != 0 || !RadioButton().Checked()) return false;
  text = Name + "=" + Value;
  return true;
}

void TRadioButtonFormControlObj::Place(int left, int top) {
  const bool ownBackground = HoldingCell && HoldingCell->BkGnd;
  const platform::TColor behind = ownBackground ? HoldingCell->BkColor : Document->Background;
  RadioButton().SetColor(behind & ~platform::kPaletteRelative);
  TFormControlObj::Place(left, top);
}

// ---- Image

bool TImageFormControlObj::GetSubmission(int index, std::string& text) {
  if (XPos < 0 || index > 1) return false;
  const std::string prefix = Name.empty() ? std::string() : Name + ".";
  if (index == 0) {
    text = prefix + "x=" + std::to_string(XPos);
  } else {
    text = prefix + "y=" + std::to_string(YPos);
    XPos = -1;  // a point is sent once
  }
  return true;
}

void TImageFormControlObj::ImageClicked() {
  XPos = XHover;
  YPos = YHover;
  if (Form) Form->Submit(nullptr);
}

}  // namespace forms
