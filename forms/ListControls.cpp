// The controls of SELECT: a list box, or a drop-down list.

#include <algorithm>

#include "forms/ControlWindow.h"

namespace forms {

using namespace detail;

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* document, int position)
    : TFormControlObj(document, position) {}

TListBoxFormControlObj::TListBoxFormControlObj(TSectionList* document, int position,
                                               const base::TAttributeList& attributes)
    : TFormControlObj(document, position) {
  ReadNameAndValue(*this, attributes);
  auto list = document->ControlParent().NewListBox();
  list->SetFont(FixedControlFont(*document));
  list->SetMultiSelect(attributes.Find(base::MultipleSy) != nullptr);
  ListRows = PositiveNumber(attributes, base::SizeSy, -1);
  AttachWindow(*this, std::move(list), 121, 97);
}

void TListBoxFormControlObj::AddOption(const std::string& text, const std::string& value,
                                       bool selected) {
  Options.push_back({text, TOptionObj{value, selected}});
  LongestText = std::max(LongestText, static_cast<int>(std::min<size_t>(text.size(), INT32_MAX)));
}

void TListBoxFormControlObj::FillItems() {
  std::vector<std::string> texts;
  texts.reserve(Options.size());
  for (const auto& option : Options) texts.push_back(option.first);
  Items().SetItems(texts);
}

void TListBoxFormControlObj::ResetToInitial() {
  FillItems();
  auto& list = static_cast<platform::TListBox&>(*Control);
  if (list.MultiSelect()) {
    std::vector<bool> selected(Options.size());
    for (size_t i = 0; i < Options.size(); ++i) selected[i] = Options[i].second.Selected;
    list.SetSelection(selected);
  } else {
    for (size_t i = 0; i < Options.size(); ++i)
      if (Options[i].second.Selected)
        list.SetItemIndex(static_cast<int>(i));  // the last selected option wins
  }
  if (list.ItemIndex() < 0) list.SetItemIndex(0);
  list.SetTopIndex(0);
}

bool TListBoxFormControlObj::GetSubmission(int index, std::string& text) {
  const platform::TItemsControl& items = Items();
  if (index < 0 || index >= items.Count()) return false;
  const auto* list = dynamic_cast<const platform::TListBox*>(&items);
  // Submitting asks for index 0, 1, 2, ... in turn: the selection is read once.
  if (index == 0)
    submittedSelection_ = list && list->MultiSelect() ? list->Selection() : std::vector<bool>{};
  const bool chosen = list && list->MultiSelect()
                          ? static_cast<size_t>(index) < submittedSelection_.size() &&
                                submittedSelection_[static_cast<size_t>(index)]
                          : items.ItemIndex() == index;
  if (!chosen) {
    text.clear();
    return true;
  }
  const std::string& optionValue =
      static_cast<size_t>(index) < Options.size() ? Options[index].second.OptionValue : "";
  text = Name + "=" + (optionValue.empty() ? items.Item(index) : optionValue);
  return true;
}

void TListBoxFormControlObj::MeasureControl(platform::TCanvas& canvas) {
  if (ListRows == -1)
    ListRows = std::clamp(static_cast<int>(std::min<size_t>(Options.size(), kMaxAutoRows)), 1,
                          kMaxAutoRows);
  const platform::TSize letter = LetterSize(canvas, Control->Font());
  Control->SetClientHeight(ClampSide(int64_t{letter.cy} * ListRows));
  Control->SetClientWidth(ClampSide(int64_t{letter.cx} * LongestText + 15));
}

// ---- Drop-down list

TComboFormControlObj::TComboFormControlObj(TSectionList* document, int position,
                                           const base::TAttributeList& attributes)
    : TListBoxFormControlObj(document, position) {
  ReadNameAndValue(*this, attributes);
  auto combo = document->ControlParent().NewComboBox();
  combo->SetFont(FixedControlFont(*document));
  AttachWindow(*this, std::move(combo), 145, 21);
}

void TComboFormControlObj::ResetToInitial() {
  FillItems();
  platform::TItemsControl& combo = Items();
  for (size_t i = 0; i < Options.size(); ++i)
    if (Options[i].second.Selected) combo.SetItemIndex(static_cast<int>(i));
  if (combo.ItemIndex() < 0) combo.SetItemIndex(0);
}

void TComboFormControlObj::MeasureControl(platform::TCanvas& canvas) {
  // The width is measured in the screen's font, the height follows the
  // list's own font.
  const platform::TSize screenLetter = LetterSize(canvas, DefaultControlFont(*Document));
  const platform::TSize letter = LetterSize(canvas, Control->Font());
  Control->SetBounds(Control->Left(), Control->Top(),
                     ClampSide(int64_t{screenLetter.cx} * LongestText + 30),
                     ClampSide(int64_t{letter.cy} + 8));
}

}  // namespace forms
