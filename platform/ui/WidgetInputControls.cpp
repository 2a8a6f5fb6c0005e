// Edit fields, buttons, check boxes and radio buttons as widget controls.

#include <QCheckBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/WidgetControlBase.h"

namespace platform::widgets {

namespace {

QColor ToQColor(TColor color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

// The limit stops typing only, as the window system's edit field does:
// text set by the page may be longer and is never cut. The widget's own
// limit cuts whatever it is given, so it follows the text: the larger of
// the limit and the text's length, and nothing can be typed past that.
// Out of sight the field keeps its text as shown (what was typed may have
// no byte in the page's code page), its caret and its selection.
class TWidgetEdit : public TWidgetControl<TEdit, QLineEdit> {
 public:
  using TWidgetControl::TWidgetControl;
  std::string Text() const override { return FromQString(widget() ? widget()->text() : text_); }
  void SetText(const std::string& text) override {
    text_ = ToQString(text);
    caret_ = static_cast<int>(text_.size());  // where the widget leaves it
    selectionStart_ = -1;
    selectionLength_ = 0;
    if (QLineEdit* edit = widget()) {
      edit->setMaxLength(std::max(limit_, static_cast<int>(text_.size())));
      edit->setText(text_);
      FollowText(*edit);
    }
  }
  void SetMaxLength(int length) override {
    limit_ = length > 0 ? length : kNoLimit;
    if (QLineEdit* edit = widget()) FollowText(*edit);
  }
  void SetPasswordChar(char ch) override {
    passwordChar_ = ch;
    if (ch) sheetChar_ = ch;
    if (QLineEdit* edit = widget()) ShowPassword(*edit);
  }

 protected:
  void Restore(QLineEdit& edit) override {
    QObject::connect(&edit, &QLineEdit::textChanged, Hook(), [this, &edit] { FollowText(edit); });
    ShowPassword(edit);
    edit.setMaxLength(std::max(limit_, static_cast<int>(text_.size())));
    edit.setText(text_);
    FollowText(edit);
    if (selectionLength_ <= 0)
      edit.setCursorPosition(caret_);
    else if (caret_ == selectionStart_)  // selected towards the start
      edit.setSelection(selectionStart_ + selectionLength_, -selectionLength_);
    else
      edit.setSelection(selectionStart_, selectionLength_);
  }
  void Keep(const QLineEdit& edit) override {
    text_ = edit.text();
    caret_ = edit.cursorPosition();
    selectionStart_ = edit.selectionStart();
    selectionLength_ = edit.selectionLength();
  }

 private:
  static constexpr int kNoLimit = 32767;
  void FollowText(QLineEdit& edit) const {
    edit.setMaxLength(std::max(limit_, static_cast<int>(edit.text().size())));
  }
  void ShowPassword(QLineEdit& edit) const {
    if (!passwordChar_ && !sheetChar_) return;  // never asked for: as the widget comes
    edit.setEchoMode(passwordChar_ ? QLineEdit::Password : QLineEdit::Normal);
    if (sheetChar_)
      edit.setStyleSheet(
          QString("QLineEdit { lineedit-password-character: %1; }").arg(int{sheetChar_}));
  }

  QString text_;
  int caret_ = 0;
  int selectionStart_ = -1;
  int selectionLength_ = 0;
  int limit_ = kNoLimit;
  char passwordChar_ = 0;
  char sheetChar_ = 0;  // the last one asked for, which the widget keeps
};

class TWidgetButton : public TWidgetControl<TButton, QPushButton> {
 public:
  using TWidgetControl::TWidgetControl;
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override {
    caption_ = caption;
    shown_ = ToQString(caption);
    if (QPushButton* button = widget()) button->setText(shown_);
  }

 protected:
  void Restore(QPushButton& button) override {
    ConnectClick(button);
    button.setText(shown_);
  }
  void Keep(const QPushButton&) override {}

 private:
  std::string caption_;  // as given: the widget would turn "&" into a mnemonic
  QString shown_;
};

class TWidgetCheckBox : public TWidgetControl<TCheckBox, QCheckBox> {
 public:
  using TWidgetControl::TWidgetControl;
  bool Checked() const override { return widget() ? widget()->isChecked() : checked_; }
  void SetChecked(bool checked) override {
    checked_ = checked;
    if (QCheckBox* box = widget()) box->setChecked(checked);
  }

 protected:
  void Restore(QCheckBox& box) override {
    ConnectClick(box);
    box.setChecked(checked_);
  }
  void Keep(const QCheckBox& box) override { checked_ = box.isChecked(); }

 private:
  bool checked_ = false;
};

// A borderless panel of its own colour with the radio button inside. The
// buttons of a page are grouped by their forms, not by the window system:
// each panel holds one button, which a click only ever checks.
class TWidgetRadioPanel : public TWidgetControl<TRadioPanel, QRadioButton> {
 public:
  using TWidgetControl::TWidgetControl;
  ~TWidgetRadioPanel() override { Drop(); }
  bool Checked() const override { return widget() ? widget()->isChecked() : checked_; }
  void SetChecked(bool checked) override {
    checked_ = checked;
    if (QRadioButton* radio = widget()) radio->setChecked(checked);
  }
  TColor Color() const override { return color_; }
  void SetColor(TColor color) override {
    color = color & 0x00FFFFFF;
    if (color == color_) return;
    color_ = color;
    coloured_ = true;
    if (panel_) PaintPanel(*panel_);
  }

 protected:
  QtWidget* Make(QWidget* surface) override {
    panel_ = new QWidget(surface);
    panel_->setAutoFillBackground(true);
    return new QtWidget(panel_, Chain(), *this);
  }
  QWidget* Frame() const override { return widget() ? panel_.data() : nullptr; }
  void Setup(QRadioButton& radio) override {
    radio.setAutoExclusive(false);
    radio.setGeometry(0, 0, 13, 14);
    radio.show();  // inside the panel, which is hidden until placed
  }
  void Restore(QRadioButton& radio) override {
    if (coloured_) PaintPanel(*panel_);
    radio.setChecked(checked_);
    QObject::connect(&radio, &QAbstractButton::clicked, Hook(), [this, &radio](bool checked) {
      const TDispatchScope scope(&radio);
      if (!checked) radio.setChecked(true);
      TEventHook::Call(OnClick);
    });
  }
  void Keep(const QRadioButton& radio) override { checked_ = radio.isChecked(); }
  void Dropped() override { panel_ = nullptr; }

 private:
  void PaintPanel(QWidget& panel) const {
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, ToQColor(color_));
    panel.setPalette(palette);
  }

  QPointer<QWidget> panel_;  // the frame; it owns the button
  TColor color_ = clBtnFace;
  // The panel takes a colour of its own only once one other than the
  // first was asked for; until then it keeps the window system's.
  bool coloured_ = false;
  bool checked_ = false;
};

}  // namespace

std::unique_ptr<TEdit> NewEdit(TControlChain& chain) {
  return std::make_unique<TWidgetEdit>(chain);
}
std::unique_ptr<TButton> NewButton(TControlChain& chain) {
  return std::make_unique<TWidgetButton>(chain);
}
std::unique_ptr<TCheckBox> NewCheckBox(TControlChain& chain) {
  return std::make_unique<TWidgetCheckBox>(chain);
}
std::unique_ptr<TRadioPanel> NewRadioPanel(TControlChain& chain) {
  return std::make_unique<TWidgetRadioPanel>(chain);
}

}  // namespace platform::widgets
