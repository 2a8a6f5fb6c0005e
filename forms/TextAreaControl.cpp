#include "forms/ControlWindow.h"

namespace forms {

using namespace detail;

TTextAreaFormControlObj::TTextAreaFormControlObj(TSectionList* document, int position,
                                                 const base::TAttributeList& attributes)
    : TFormControlObj(document, position) {
  ReadNameAndValue(*this, attributes);
  Cols = PositiveNumber(attributes, base::ColsSy, Cols);
  Rows = PositiveNumber(attributes, base::RowsSy, Rows);
  auto memo = document->ControlParent().NewMemo();
  memo->SetFont(FixedControlFont(*document));
  bool wrap = false;
  if (const base::TAttribute* attribute = attributes.Find(base::WrapSy)) {
    const std::string kind = base::LowerCut(attribute->StrValue, 4);
    wrap = attribute->StrValue.size() == 4 && (kind == "soft" || kind == "hard");
  }
  memo->SetWordWrap(wrap);
  memo->OnKeyDown = [this](int& key) {
    if (Form) Form->EnterKey(this, key);
  };
  AttachWindow(*this, std::move(memo), 185, 89);
}

void TTextAreaFormControlObj::AddTextLine(const std::string& text) {
  if (InitialLines.size() >= kMaxLines || initialBytes_ >= kMaxBytes) return;
  InitialLines.push_back(text.substr(0, kMaxBytes - initialBytes_));
  initialBytes_ += InitialLines.back().size();
}

void TTextAreaFormControlObj::ResetToInitial() {
  Memo().SetLines(InitialLines);
  Memo().MoveCaretToStart();
}

bool TTextAreaFormControlObj::GetSubmission(int index, std::string& text) {
  // Submitting asks for index 0, 1, 2, ... in turn: the lines are read once.
  if (index == 0) submittedLines_ = Memo().Lines();
  if (index < 0 || static_cast<size_t>(index) >= submittedLines_.size()) {
    submittedLines_.clear();
    return false;
  }
  text = Name + "=" + submittedLines_[index];
  return true;
}

void TTextAreaFormControlObj::MeasureControl(platform::TCanvas& canvas) {
  const platform::TSize letter = LetterSize(canvas, Control->Font());
  Control->SetClientHeight(ClampSide(int64_t{letter.cy} * Rows + 5));
  Control->SetClientWidth(ClampSide(int64_t{letter.cx} * Cols + 5));
}

}  // namespace forms
