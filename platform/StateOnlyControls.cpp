// Controls without a window: each keeps what a window would hold, so that
// forms fill, reset and submit the same way on a document shown nowhere.

#include <algorithm>

#include "platform/Controls.h"

namespace platform {
namespace {

class TStateOnlyParent;

// What every control keeps, and the focus, which belongs to the parent.
template <class Interface>
class TStateOnly : public Interface {
 public:
  explicit TStateOnly(TStateOnlyParent& parent) : parent_(parent) {}
  ~TStateOnly() override;

  void SetBounds(int left, int top, int width, int height) override {
    bounds_ = {left, top, left + std::max(0, width), top + std::max(0, height)};
  }
  TRect Bounds() const override { return bounds_; }
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  bool Focused() const override;
  void SetFocus() override;
  void SetFont(const TFont& font) override { font_ = font; }
  const TFont& Font() const override { return font_; }

 private:
  TStateOnlyParent& parent_;
  TRect bounds_;
  TFont font_;
  bool visible_ = false;
};

class TStateOnlyParent : public TControlParent {
 public:
  std::unique_ptr<TEdit> NewEdit() override;
  std::unique_ptr<TButton> NewButton() override;
  std::unique_ptr<TCheckBox> NewCheckBox() override;
  std::unique_ptr<TRadioPanel> NewRadioPanel() override;
  std::unique_ptr<TListBox> NewListBox() override;
  std::unique_ptr<TComboBox> NewComboBox() override;
  std::unique_ptr<TMemo> NewMemo() override;
  TWinControl* FocusedControl() const override { return focused_; }

  void Focus(TWinControl* control) {
    if (control == focused_) return;
    TWinControl* previous = focused_;
    focused_ = control;
    if (previous && previous->OnExit) previous->OnExit();
    if (control && control->OnEnter) control->OnEnter();
  }
  void Forget(TWinControl* control) {
    if (focused_ == control) focused_ = nullptr;
  }

 private:
  TWinControl* focused_ = nullptr;
};

template <class Interface>
TStateOnly<Interface>::~TStateOnly() {
  parent_.Forget(this);
}

template <class Interface>
bool TStateOnly<Interface>::Focused() const {
  return parent_.FocusedControl() == this;
}

template <class Interface>
void TStateOnly<Interface>::SetFocus() {
  parent_.Focus(this);
}

class TStateOnlyEdit : public TStateOnly<TEdit> {
 public:
  using TStateOnly::TStateOnly;
  std::string Text() const override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  void SetMaxLength(int) override {}
  void SetPasswordChar(char) override {}

 private:
  std::string text_;
};

class TStateOnlyButton : public TStateOnly<TButton> {
 public:
  using TStateOnly::TStateOnly;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }

 private:
  std::string caption_;
};

class TStateOnlyCheckBox : public TStateOnly<TCheckBox> {
 public:
  using TStateOnly::TStateOnly;
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }

 private:
  bool checked_ = false;
};

class TStateOnlyRadioPanel : public TStateOnly<TRadioPanel> {
 public:
  using TStateOnly::TStateOnly;
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override { checked_ = checked; }
  TColor Color() const override { return color_; }
  void SetColor(TColor color) override { color_ = color; }

 private:
  bool checked_ = false;
  TColor color_ = clBtnFace;
};

// Items with a current one; a list box adds selection marks.
template <class Interface>
class TStateOnlyItems : public TStateOnly<Interface> {
 public:
  using TStateOnly<Interface>::TStateOnly;
  void ClearItems() override {
    items_.clear();
    selected_.clear();
    index_ = -1;
  }
  void AddItem(const std::string& text) override {
    items_.push_back(text);
    selected_.push_back(false);
  }
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Item(int index) const override { return InRange(index) ? items_[index] : ""; }
  int ItemIndex() const override { return index_; }
  void SetItemIndex(int index) override { index_ = InRange(index) ? index : -1; }

 protected:
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  std::vector<std::string> items_;
  std::vector<bool> selected_;
  int index_ = -1;
};

class TStateOnlyListBox : public TStateOnlyItems<TListBox> {
 public:
  using TStateOnlyItems::TStateOnlyItems;
  bool MultiSelect() const override { return multi_; }
  void SetMultiSelect(bool on) override { multi_ = on; }
  // A single-selection list has its current item as its selection.
  bool Selected(int index) const override {
    if (!InRange(index)) return false;
    return multi_ ? selected_[index] : index == index_;
  }
  void SetSelected(int index, bool selected) override {
    if (!InRange(index)) return;
    if (multi_)
      selected_[index] = selected;
    else if (selected)
      index_ = index;
    else if (index == index_)
      index_ = -1;
  }
  void SetTopIndex(int) override {}

 private:
  bool multi_ = false;
};

class TStateOnlyComboBox : public TStateOnlyItems<TComboBox> {
 public:
  using TStateOnlyItems::TStateOnlyItems;
};

class TStateOnlyMemo : public TStateOnly<TMemo> {
 public:
  using TStateOnly::TStateOnly;
  std::vector<std::string> Lines() const override { return lines_; }
  void SetLines(const std::vector<std::string>& lines) override { lines_ = lines; }
  bool WordWrap() const override { return wrap_; }
  void SetWordWrap(bool on) override { wrap_ = on; }
  void MoveCaretToStart() override {}

 private:
  std::vector<std::string> lines_;
  bool wrap_ = false;
};

std::unique_ptr<TEdit> TStateOnlyParent::NewEdit() {
  return std::make_unique<TStateOnlyEdit>(*this);
}
std::unique_ptr<TButton> TStateOnlyParent::NewButton() {
  return std::make_unique<TStateOnlyButton>(*this);
}
std::unique_ptr<TCheckBox> TStateOnlyParent::NewCheckBox() {
  return std::make_unique<TStateOnlyCheckBox>(*this);
}
std::unique_ptr<TRadioPanel> TStateOnlyParent::NewRadioPanel() {
  return std::make_unique<TStateOnlyRadioPanel>(*this);
}
std::unique_ptr<TListBox> TStateOnlyParent::NewListBox() {
  return std::make_unique<TStateOnlyListBox>(*this);
}
std::unique_ptr<TComboBox> TStateOnlyParent::NewComboBox() {
  return std::make_unique<TStateOnlyComboBox>(*this);
}
std::unique_ptr<TMemo> TStateOnlyParent::NewMemo() {
  return std::make_unique<TStateOnlyMemo>(*this);
}

}  // namespace

std::unique_ptr<TControlParent> NewStateOnlyControlParent() {
  return std::make_unique<TStateOnlyParent>();
}

}  // namespace platform
