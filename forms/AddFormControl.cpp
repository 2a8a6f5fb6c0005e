#include "forms/AddFormControl.h"

#include "forms/ControlWindow.h"

namespace forms {

namespace {

std::unique_ptr<TFormControlObj> NewInputControl(TSectionList& document, int position,
                                                 const base::TAttributeList& attributes,
                                                 layout::TCell* cell) {
  const base::TAttribute* typeAttribute = attributes.Find(base::TypeSy);
  const std::string type = typeAttribute ? base::LowerCut(typeAttribute->StrValue, 20) : "";
  if (type == "submit" || type == "reset" || type == "button")
    return std::make_unique<TButtonFormControlObj>(&document, position, attributes, type);
  if (type == "radio")
    return std::make_unique<TRadioButtonFormControlObj>(&document, position, attributes, cell);
  if (type == "checkbox")
    return std::make_unique<TCheckBoxFormControlObj>(&document, position, attributes);
  if (type == "hidden" || type == "image") {
    std::unique_ptr<TFormControlObj> control;
    if (type == "hidden")
      control = std::make_unique<THiddenFormControlObj>(&document, position);
    else
      control = std::make_unique<TImageFormControlObj>(&document, position);
    detail::ReadNameAndValue(*control, attributes);
    return control;
  }
  return std::make_unique<TEditFormControlObj>(&document, position, attributes, type == "password");
}

}  // namespace

TFormControlObj* AddFormControl(layout::TSection& section, base::Symbol tag, TSectionList& document,
                                layout::TCell* cell, const base::TAttributeList& attributes,
                                ThtmlForm*& currentForm) {
  const int position = section.Length;
  std::unique_ptr<TFormControlObj> made;
  if (tag == base::InputSy) {
    made = NewInputControl(document, position, attributes, cell);
  } else if (tag == base::SelectSy) {
    const base::TAttribute* size = attributes.Find(base::SizeSy);
    if (attributes.Find(base::MultipleSy) || (size && size->IntValue > 1))
      made = std::make_unique<TListBoxFormControlObj>(&document, position, attributes);
    else
      made = std::make_unique<TComboFormControlObj>(&document, position, attributes);
  } else {
    made = std::make_unique<TTextAreaFormControlObj>(&document, position, attributes);
  }
  if (!currentForm) currentForm = ThtmlForm::Create(document, nullptr);
  made->Form = currentForm;
  document.Controls.push_back(made.get());
  TFormControlObj* control = currentForm->InsertControl(std::move(made));
  if (dynamic_cast<TImageFormControlObj*>(control))
    section.AddImage(attributes, cell)->FormControl = control;
  else if (control->HasWindow())
    section.AddControlByte(control);
  return control;
}

}  // namespace forms
