#include <memory>

#include "forms/FormControls.h"

namespace forms {

ThtmlForm* ThtmlForm::Create(TSectionList& document, const base::TAttributeList* attributes) {
  std::unique_ptr<ThtmlForm> form(new ThtmlForm(document));
  if (attributes) {
    for (const auto& attribute : *attributes) {
      switch (attribute->Symbol) {
        case base::MethodSy:
          form->Method = attribute->StrValue.substr(0, kMaxMethod);
          break;
        case base::ActionSy:
          form->Action = attribute->StrValue;
          break;
        case base::TargetSy:
          form->Target = attribute->StrValue;
          break;
        case base::EncTypeSy:
          form->EncType = attribute->StrValue;
          break;
        default:
          break;
      }
    }
  }
  return static_cast<ThtmlForm*>(document.Forms.Add(std::move(form)));
}

TFormControlObj* ThtmlForm::InsertControl(std::unique_ptr<TFormControlObj> control) {
  if (!dynamic_cast<const THiddenFormControlObj*>(control.get())) ++NonHiddenCount;
  return ControlList.Add(std::move(control));
}

namespace {

// Names of a page are bytes of its code page, and only a-z fold: Я and я
// (0xDF, 0xFF in Windows-1251) name two groups.
char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

}  // namespace

void ThtmlForm::UncheckRadios(const TFormControlObj* radio) {
  if (!radio || radio->Name.empty()) return;
  for (const auto& control : ControlList) {
    auto* other = dynamic_cast<TRadioButtonFormControlObj*>(control.get());
    if (other && other != radio && SameNameIgnoringCase(other->Name, radio->Name))
      other->RadioButton().SetChecked(false);
  }
}

void ThtmlForm::ResetControls() {
  for (const auto& control : ControlList) control->ResetToInitial();
}

void ThtmlForm::EnterKey(const TFormControlObj* sender, int key) {
  if (dynamic_cast<const TEditFormControlObj*>(sender) && key == platform::VK_RETURN &&
      NonHiddenCount == 1)
    Submit(nullptr);
}

void ThtmlForm::Submit(const std::string* extra) {
  if (!Document->OnFormSubmit) return;
  std::vector<std::string> results;
  for (const auto& control : ControlList) {
    std::string text;
    for (int index = 0; control->GetSubmission(index, text); ++index) {
      if (!text.empty()) results.push_back(text);
      text.clear();
    }
  }
  if (extra) results.push_back(*extra);
  // The hook takes the list; the viewer keeps it until the host has seen it.
  Document->OnFormSubmit(Action, Target, EncType, Method, std::move(results));
}

}  // namespace forms
