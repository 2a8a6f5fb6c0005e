// FORM, INPUT, SELECT and TEXTAREA: the builder's form readers, and the
// readers that fill a selection list from its OPTIONs and a text area from
// its text.

#include "forms/AddFormControl.h"
#include "parser/Builder.h"

namespace parser::builder {

namespace {

constexpr size_t kMaxOptionText = 80;

void AppendCut(std::string& text, const std::string& more, size_t limit) {
  if (text.size() < limit) text.append(more, 0, limit - text.size());
}

}  // namespace

void Builder::ReadFormControl() {
  if (!section_) NewSection();
  const Symbol tag = Sym();
  layout::TFormControlObj* control =
      forms::AddFormControl(*section_, tag, doc_, cell_, Attributes(), form_);
  if (tag == SelectSy)
    ReadSelectOptions(static_cast<forms::TListBoxFormControlObj&>(*control));
  else if (tag == TextAreaSy)
    ReadTextAreaText(static_cast<forms::TTextAreaFormControlObj&>(*control));
}

void Builder::ReadForm() {
  if (Sym() == FormSy)
    form_ = forms::ThtmlForm::Create(doc_, &Attributes());
  else
    form_ = nullptr;
}

void Builder::ReadSelectOptions(forms::TListBoxFormControlObj& control) {
  Next();
  std::string text, value;
  bool selected = false;
  bool inOption = false;
  while (Sym() != SelectEndSy && Sym() != EofSymbol) {
    if (Sym() == TextSymbol) {
      if (inOption) AppendCut(text, scanner_.Token, kMaxOptionText);
    } else if (Sym() == OptionSy || Sym() == OptionEndSy) {
      text = base::TrimBlanks(text);
      // An option without text is not added, and its value and selection
      // carry over to the next one.
      if (!text.empty()) {
        if (inOption) control.AddOption(text, value, selected);
        text.clear();
        value.clear();
        selected = false;
      }
      inOption = Sym() == OptionSy;
      if (inOption) {
        selected = Find(SelectedSy) != nullptr;
        if (const TAttribute* v = Find(ValueSy)) value = v->StrValue.substr(0, kMaxOptionText);
      }
    }
    Next();
  }
  if (inOption) {
    text = base::TrimBlanks(text);
    if (!text.empty()) control.AddOption(text, value, selected);
  }
  control.ResetToInitial();
}

void Builder::ReadTextAreaText(forms::TTextAreaFormControlObj& control) {
  scanner_.NextTextAreaSymbol();
  std::string line;
  while (Sym() != TextAreaEndSy && Sym() != EofSymbol) {
    if (Sym() == LineEndSymbol) {
      control.AddTextLine(line);
      line.clear();
    } else {
      line += scanner_.Token;
    }
    scanner_.NextTextAreaSymbol();
  }
  while (scanner_.Ch != '>' && scanner_.Ch != THtmlScanner::kEndOfInput) scanner_.NextChar();
  scanner_.NextChar();
  if (!line.empty()) control.AddTextLine(line);
  control.ResetToInitial();
}

}  // namespace parser::builder
