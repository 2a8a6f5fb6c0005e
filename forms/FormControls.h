#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/HtmlUtils.h"
#include "layout/Cell.h"
#include "layout/FormControlObj.h"
#include "layout/SectionList.h"

namespace forms {

using layout::TFormControlObj;
using layout::TSectionList;

// A FORM: where its controls' name=value strings go when it is submitted.
// The document owns its forms; a form owns its controls.
class ThtmlForm : public layout::TFormBase {
 public:
  static constexpr size_t kMaxMethod = 4;

  // A new form, owned by the document's Forms; `attributes` may be null
  // (the implicit form of controls outside any FORM).
  static ThtmlForm* Create(TSectionList& document, const base::TAttributeList* attributes);

  TSectionList* Document;
  std::string Method = "Get";
  std::string Action;
  std::string Target;
  std::string EncType;
  base::TFreeList<TFormControlObj> ControlList;  // in creation order
  int NonHiddenCount = 0;

  TFormControlObj* InsertControl(std::unique_ptr<TFormControlObj> control);
  // Unchecks the other radio buttons of the form with the same name
  // (ignoring case); nothing for a radio button without a name.
  void UncheckRadios(const TFormControlObj* radio);
  void ResetControls();
  // Enter in a single-line edit submits a form that has only that one
  // control to fill in.
  void EnterKey(const TFormControlObj* sender, int key);
  // Collects every control's strings, then `extra` when given, and hands
  // them to the document's submit hook.
  void Submit(const std::string* extra);

 private:
  explicit ThtmlForm(TSectionList& document) : Document(&document) {}
};

// INPUT TYPE=hidden: a name and a value, no window, no byte in the text.
class THiddenFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "hidden"; }
  using TFormControlObj::TFormControlObj;
  bool GetSubmission(int index, std::string& text) override;
};

// INPUT TYPE=text or password (or any type not known).
class TEditFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "edit"; }
  TEditFormControlObj(TSectionList* document, int position, const base::TAttributeList& attributes,
                      bool password);
  int EditSize = 20;  // characters
  platform::TEdit& Edit() const { return static_cast<platform::TEdit&>(*Control); }
  void ResetToInitial() override;
  bool GetSubmission(int index, std::string& text) override;
  void MeasureControl(platform::TCanvas& canvas) override;
};

// INPUT TYPE=submit, reset or button.
class TButtonFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "button"; }
  enum TButtonKind { bkSubmit = 0, bkReset = 1, bkButton = 2 };
  TButtonFormControlObj(TSectionList* document, int position,
                        const base::TAttributeList& attributes, const std::string& type);
  TButtonKind ButtonKind = bkButton;
  std::string OnClickText;
  platform::TButton& Button() const { return static_cast<platform::TButton&>(*Control); }
  void MeasureControl(platform::TCanvas& canvas) override;
  void ButtonClicked();
};

class TCheckBoxFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "checkbox"; }
  TCheckBoxFormControlObj(TSectionList* document, int position,
                          const base::TAttributeList& attributes);
  bool InitiallyChecked = false;
  std::string OnClickText;
  platform::TCheckBox& CheckBox() const { return static_cast<platform::TCheckBox&>(*Control); }
  void ResetToInitial() override;
  bool GetSubmission(int index, std::string& text) override;
};

// A radio button stands in a small panel that takes the colour of what is
// behind it: the holding table cell's background, else the page's.
class TRadioButtonFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "radio"; }
  TRadioButtonFormControlObj(TSectionList* document, int position,
                             const base::TAttributeList& attributes, layout::TCell* cell);
  bool InitiallyChecked = false;
  layout::TCell* HoldingCell;
  std::string OnClickText;
  // The panel and the radio button in it are one window control here.
  platform::TRadioPanel& RadioButton() const {
    return static_cast<platform::TRadioPanel&>(*Control);
  }
  void ResetToInitial() override;
  bool GetSubmission(int index, std::string& text) override;
  void Place(int left, int top) override;
};

// INPUT TYPE=image: a picture in the text (its image carries the control)
// that submits its form with the point clicked.
class TImageFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "image"; }
  using TFormControlObj::TFormControlObj;
  int XPos = -1, YPos = 0;     // the point to submit; XPos -1 for none
  int XHover = 0, YHover = 0;  // the point last found under the mouse
  bool GetSubmission(int index, std::string& text) override;
  void SetClickPoint(int x, int y) override {
    XHover = x;
    YHover = y;
  }
  void ImageClicked() override;
};

// An OPTION of a SELECT.
struct TOptionObj {
  std::string OptionValue;  // may be empty: the option's text is sent then
  bool Selected = false;
};

// SELECT with MULTIPLE or a SIZE above 1.
class TListBoxFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "listbox"; }
  static constexpr int kMaxAutoRows = 8;
  TListBoxFormControlObj(TSectionList* document, int position,
                         const base::TAttributeList& attributes);
  int ListRows = -1;    // visible rows; -1 until measured when not given
  int LongestText = 3;  // characters
  // Option texts with their values, in order.
  std::vector<std::pair<std::string, TOptionObj>> Options;
  void AddOption(const std::string& text, const std::string& value, bool selected);
  void ResetToInitial() override;
  bool GetSubmission(int index, std::string& text) override;
  void MeasureControl(platform::TCanvas& canvas) override;

 protected:
  // For the drop-down list, which makes its own window.
  TListBoxFormControlObj(TSectionList* document, int position);
  platform::TItemsControl& Items() const { return static_cast<platform::TItemsControl&>(*Control); }
  void FillItems();

 private:
  std::vector<bool> submittedSelection_;
};

// Any other SELECT: a drop-down list.
class TComboFormControlObj : public TListBoxFormControlObj {
 public:
  const char* Kind() const override { return "combobox"; }
  TComboFormControlObj(TSectionList* document, int position,
                       const base::TAttributeList& attributes);
  void ResetToInitial() override;
  void MeasureControl(platform::TCanvas& canvas) override;
};

class TTextAreaFormControlObj : public TFormControlObj {
 public:
  const char* Kind() const override { return "textarea"; }
  TTextAreaFormControlObj(TSectionList* document, int position,
                          const base::TAttributeList& attributes);
  int Rows = 5;
  int Cols = 30;
  // What a text area takes of its page text: a window control of millions
  // of lines takes gigabytes to lay out. The rest is left out, so it is
  // neither shown nor submitted.
  static constexpr size_t kMaxLines = 65536;
  static constexpr size_t kMaxBytes = size_t{1} << 20;
  std::vector<std::string> InitialLines;
  platform::TMemo& Memo() const { return static_cast<platform::TMemo&>(*Control); }
  // Adds a line of the page's text, as much of it as the limits leave.
  void AddTextLine(const std::string& text);
  void ResetToInitial() override;
  bool GetSubmission(int index, std::string& text) override;
  void MeasureControl(platform::TCanvas& canvas) override;

 private:
  std::vector<std::string> submittedLines_;
  size_t initialBytes_ = 0;
};

}  // namespace forms
