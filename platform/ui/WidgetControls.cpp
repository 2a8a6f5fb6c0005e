#include "platform/ui/WidgetControls.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <cstdlib>

#include "platform/Canvas.h"
#include "platform/CodePage.h"
#include "platform/ui/QtBridge.h"

namespace platform {
namespace {

constexpr char kControlProperty[] = "platformControl";

// The window system's key code for a Qt key event (the keys the engine
// looks at; others keep their character code, or 0).
int VirtualKeyOf(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return 27;
    case Qt::Key_Tab:
      return 9;
    default:
      break;
  }
  const QString text = event.text();
  return text.size() == 1 && text[0].unicode() < 128 ? text[0].toUpper().unicode() : 0;
}

QColor ToQColor(TColor color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

// The widgets whose handlers are running, innermost last: a handler may
// free its own control (a click that loads another page), whose widget must
// then outlive the signal or event it is in.
std::vector<const QObject*>& Dispatching() {
  static std::vector<const QObject*> widgets;
  return widgets;
}

class TDispatchScope {
 public:
  explicit TDispatchScope(const QObject* widget) { Dispatching().push_back(widget); }
  ~TDispatchScope() { Dispatching().pop_back(); }
  TDispatchScope(const TDispatchScope&) = delete;
  TDispatchScope& operator=(const TDispatchScope&) = delete;
};

// Focus and key events of a widget, handed to its control. Calls copy the
// handler first: a handler may free the control, and with it the handler
// being run.
class TEventHook : public QObject {
 public:
  explicit TEventHook(TWinControl& control) : control_(control) {}

  bool eventFilter(QObject* widget, QEvent* event) override {
    const TDispatchScope scope(widget);
    switch (event->type()) {
      case QEvent::FocusIn:
        Call(control_.OnEnter);
        break;
      case QEvent::FocusOut:
        Call(control_.OnExit);
        break;
      case QEvent::KeyPress: {
        if (!control_.OnKeyDown) break;
        int key = VirtualKeyOf(*static_cast<QKeyEvent*>(event));
        if (key == 0) break;
        const auto handler = control_.OnKeyDown;
        handler(key);
        return false;
      }
      default:
        break;
    }
    return false;
  }

  static void Call(const std::function<void()>& handler) {
    if (!handler) return;
    const auto copy = handler;
    copy();
  }

 private:
  TWinControl& control_;
};

// What every widget control has: bounds as set (Qt may limit a widget's
// size; the layout counts on what it asked for), visibility, focus, font.
template <class Interface, class Widget>
class TWidgetControl : public Interface {
 public:
  explicit TWidgetControl(QWidget* parent) : widget_(new Widget(parent)), hook_(*this) {
    Watch(widget_);
    // Hidden until a draw places it: a page of thousands of controls shows
    // only those in sight.
    widget_->setGeometry(0, 0, 0, 0);
    widget_->hide();
  }
  ~TWidgetControl() override { Release(widget_); }

 protected:
  // The widget tells this object nothing more, not even that it lost the
  // focus. One inside its own handler (a click that replaced the page)
  // goes once that has returned; the others at once (thousands of
  // deferred deletions would each search the queue of the rest).
  void Release(QWidget* widget) {
    if (!widget) return;
    widget->removeEventFilter(&hook_);
    widget->disconnect();
    const auto& busy = Dispatching();
    const bool inHandler = std::any_of(busy.begin(), busy.end(), [widget](const QObject* w) {
      return w == widget || widget->isAncestorOf(qobject_cast<const QWidget*>(w));
    });
    if (inHandler) {
      widget->hide();
      widget->deleteLater();
    } else {
      delete widget;
    }
  }

 public:
  void SetBounds(int left, int top, int width, int height) override {
    bounds_ = {left, top, left + std::max(0, width), top + std::max(0, height)};
    if (Frame()) Frame()->setGeometry(left, top, bounds_.Width(), bounds_.Height());
  }
  TRect Bounds() const override { return bounds_; }
  bool Visible() const override { return Frame() && !Frame()->isHidden(); }
  void SetVisible(bool visible) override {
    if (Frame() && Frame()->isHidden() == visible) Frame()->setVisible(visible);
  }
  bool Focused() const override { return widget_ && widget_->hasFocus(); }
  void SetFocus() override {
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
  }
  void SetFont(const TFont& font) override {
    font_ = font;
    QFont qfont(QString::fromStdString(font.Face().FamilyName()));
    qfont.setPixelSize(std::max(1, font.Face().Ppem()));
    if (widget_) widget_->setFont(qfont);
  }
  const TFont& Font() const override { return font_; }

 protected:
  // The window that is placed (a radio button's panel), and the one that
  // takes the focus and the input.
  virtual QWidget* Frame() const { return widget_; }
  Widget* widget() const { return widget_; }
  void Watch(QWidget* widget) {
    widget->installEventFilter(&hook_);
    widget->setProperty(kControlProperty,
                        QVariant::fromValue(static_cast<void*>(static_cast<TWinControl*>(this))));
  }
  QString ToQString(const std::string& bytes) const {
    return QString::fromStdString(BytesToUtf8(bytes, CharsetToCodePage(font_.Charset())));
  }
  std::string FromQString(const QString& text) const {
    return Utf8ToBytes(text.toStdString(), CharsetToCodePage(font_.Charset()));
  }
  void ConnectClick(QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::clicked, &hook_, [this, button] {
      const TDispatchScope scope(button);
      TEventHook::Call(this->OnClick);
    });
  }

  QPointer<Widget> widget_;
  TEventHook hook_;

 private:
  TRect bounds_;
  TFont font_;
};

// The limit stops typing only, as the window system's edit field does:
// text set by the page may be longer and is never cut. The widget's own
// limit cuts whatever it is given, so it follows the text: the larger of
// the limit and the text's length, and nothing can be typed past that.
class TWidgetEdit : public TWidgetControl<TEdit, QLineEdit> {
 public:
  explicit TWidgetEdit(QWidget* parent) : TWidgetControl(parent) {
    QObject::connect(widget(), &QLineEdit::textChanged, [this] { FollowText(); });
    FollowText();
  }
  std::string Text() const override { return FromQString(widget()->text()); }
  void SetText(const std::string& text) override {
    const QString shown = ToQString(text);
    widget()->setMaxLength(std::max(limit_, static_cast<int>(shown.size())));
    widget()->setText(shown);
    FollowText();
  }
  void SetMaxLength(int length) override {
    limit_ = length > 0 ? length : kNoLimit;
    FollowText();
  }
  void SetPasswordChar(char ch) override {
    widget()->setEchoMode(ch ? QLineEdit::Password : QLineEdit::Normal);
    if (ch)
      widget()->setStyleSheet(
          QString("QLineEdit { lineedit-password-character: %1; }").arg(int{ch}));
  }

 private:
  static constexpr int kNoLimit = 32767;
  void FollowText() {
    if (QLineEdit* edit = widget())
      edit->setMaxLength(std::max(limit_, static_cast<int>(edit->text().size())));
  }
  int limit_ = kNoLimit;
};

class TWidgetButton : public TWidgetControl<TButton, QPushButton> {
 public:
  explicit TWidgetButton(QWidget* parent) : TWidgetControl(parent) { ConnectClick(widget()); }
  std::string Caption() const override { return caption_; }
  void SetCaption(const std::string& caption) override {
    caption_ = caption;
    widget()->setText(ToQString(caption));
  }

 private:
  std::string caption_;  // as given: the widget would turn "&" into a mnemonic
};

class TWidgetCheckBox : public TWidgetControl<TCheckBox, QCheckBox> {
 public:
  explicit TWidgetCheckBox(QWidget* parent) : TWidgetControl(parent) { ConnectClick(widget()); }
  bool Checked() const override { return widget()->isChecked(); }
  void SetChecked(bool checked) override { widget()->setChecked(checked); }
};

// A borderless panel of its own colour with the radio button inside. The
// buttons of a page are grouped by their forms, not by the window system:
// each panel holds one button, which a click only ever checks.
class TWidgetRadioPanel : public TWidgetControl<TRadioPanel, QRadioButton> {
 public:
  explicit TWidgetRadioPanel(QWidget* parent)
      : TWidgetControl(nullptr), panel_(new QWidget(parent)) {
    panel_->setAutoFillBackground(true);
    panel_->setProperty(kControlProperty,
                        QVariant::fromValue(static_cast<void*>(static_cast<TWinControl*>(this))));
    widget()->setParent(panel_);
    widget()->setAutoExclusive(false);
    widget()->setGeometry(0, 0, 13, 14);
    widget()->show();  // inside the panel, which is hidden until placed
    panel_->hide();
    QRadioButton* radio = widget();
    QObject::connect(radio, &QAbstractButton::clicked, &hook_, [this, radio](bool checked) {
      const TDispatchScope scope(radio);
      if (!checked) radio->setChecked(true);
      TEventHook::Call(OnClick);
    });
  }
  ~TWidgetRadioPanel() override {
    Release(widget_);
    Release(panel_);
  }
  bool Checked() const override { return widget()->isChecked(); }
  void SetChecked(bool checked) override { widget()->setChecked(checked); }
  TColor Color() const override { return color_; }
  void SetColor(TColor color) override {
    color = color & 0x00FFFFFF;
    if (color == color_) return;
    color_ = color;
    QPalette palette = panel_->palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    panel_->setPalette(palette);
  }

 protected:
  QWidget* Frame() const override { return panel_; }

 private:
  QPointer<QWidget> panel_;
  TColor color_ = clBtnFace;
};

template <class Interface, class Widget>
class TWidgetItems : public TWidgetControl<Interface, Widget> {
 public:
  using TWidgetControl<Interface, Widget>::TWidgetControl;
  void ClearItems() override { this->widget()->clear(); }
  void AddItem(const std::string& text) override { this->widget()->addItem(this->ToQString(text)); }
  void SetItems(const std::vector<std::string>& items) override {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) texts << this->ToQString(item);
    this->widget()->clear();
    this->widget()->addItems(texts);
  }
  int Count() const override { return this->widget()->count(); }
};

class TWidgetListBox : public TWidgetItems<TListBox, QListWidget> {
 public:
  explicit TWidgetListBox(QWidget* parent) : TWidgetItems(parent) {
    widget()->setUniformItemSizes(true);
    widget()->setStyleSheet("QListWidget::item { padding: 0px; margin: 0px; }");
  }
  std::string Item(int index) const override {
    const QListWidgetItem* item = widget()->item(index);
    return item ? FromQString(item->text()) : std::string();
  }
  int ItemIndex() const override { return widget()->currentRow(); }
  void SetItemIndex(int index) override {
    // In a list of several selections the current item is only the one
    // with the focus frame.
    if (multi_)
      widget()->setCurrentRow(index, QItemSelectionModel::NoUpdate);
    else
      widget()->setCurrentRow(index);
  }
  bool MultiSelect() const override { return multi_; }
  void SetMultiSelect(bool on) override {
    multi_ = on;
    widget()->setSelectionMode(on ? QAbstractItemView::ExtendedSelection
                                  : QAbstractItemView::SingleSelection);
  }
  bool Selected(int index) const override {
    const QListWidgetItem* item = widget()->item(index);
    if (!item) return false;
    return multi_ ? item->isSelected() : index == widget()->currentRow();
  }
  void SetSelected(int index, bool selected) override {
    if (QListWidgetItem* item = widget()->item(index)) item->setSelected(selected);
  }
  void SetSelection(const std::vector<bool>& selected) override {
    if (!multi_) return TListBox::SetSelection(selected);
    // One selection of runs of selected items, given to the model at once.
    QItemSelection selection;
    QAbstractItemModel* model = widget()->model();
    const int count = std::min(static_cast<int>(selected.size()), Count());
    for (int i = 0; i < count;) {
      if (!selected[i]) {
        ++i;
        continue;
      }
      int end = i;
      while (end + 1 < count && selected[end + 1]) ++end;
      selection.select(model->index(i, 0), model->index(end, 0));
      i = end + 1;
    }
    widget()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  }
  std::vector<bool> Selection() const override {
    if (!multi_) return TListBox::Selection();
    std::vector<bool> selected(static_cast<size_t>(Count()));
    for (const QModelIndex& index : widget()->selectionModel()->selectedIndexes())
      if (index.row() >= 0 && static_cast<size_t>(index.row()) < selected.size())
        selected[index.row()] = true;
    return selected;
  }
  void SetTopIndex(int index) override {
    if (QListWidgetItem* item = widget()->item(index))
      widget()->scrollToItem(item, QAbstractItemView::PositionAtTop);
  }

 private:
  bool multi_ = false;
};

class TWidgetComboBox : public TWidgetItems<TComboBox, QComboBox> {
 public:
  explicit TWidgetComboBox(QWidget* parent) : TWidgetItems(parent) { widget()->setEditable(false); }
  std::string Item(int index) const override {
    return index >= 0 && index < Count() ? FromQString(widget()->itemText(index)) : std::string();
  }
  int ItemIndex() const override { return widget()->currentIndex(); }
  void SetItemIndex(int index) override { widget()->setCurrentIndex(index); }
};

class TWidgetMemo : public TWidgetControl<TMemo, QPlainTextEdit> {
 public:
  explicit TWidgetMemo(QWidget* parent) : TWidgetControl(parent) { SetWordWrap(false); }
  // One line per paragraph; a last empty line (the text ends with a line
  // end) is not a line, as in the window system's edit control.
  std::vector<std::string> Lines() const override {
    std::vector<std::string> lines;
    const QTextDocument* document = widget()->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
      lines.push_back(FromQString(block.text()));
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
  }
  void SetLines(const std::vector<std::string>& lines) override {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i) text += '\n';
      text += lines[i];
    }
    widget()->setPlainText(ToQString(text));
  }
  bool WordWrap() const override { return wrap_; }
  void SetWordWrap(bool on) override {
    wrap_ = on;
    widget()->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    widget()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    widget()->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
  }
  void MoveCaretToStart() override {
    QTextCursor cursor = widget()->textCursor();
    cursor.movePosition(QTextCursor::Start);
    widget()->setTextCursor(cursor);
    widget()->verticalScrollBar()->setValue(0);
    widget()->horizontalScrollBar()->setValue(0);
  }

 private:
  bool wrap_ = false;
};

TWinControl* ControlOf(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const QVariant value = widget->property(kControlProperty);
    if (value.isValid()) return static_cast<TWinControl*>(value.value<void*>());
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<TEdit> TWidgetControlParent::NewEdit() {
  return std::make_unique<TWidgetEdit>(parent_);
}
std::unique_ptr<TButton> TWidgetControlParent::NewButton() {
  return std::make_unique<TWidgetButton>(parent_);
}
std::unique_ptr<TCheckBox> TWidgetControlParent::NewCheckBox() {
  return std::make_unique<TWidgetCheckBox>(parent_);
}
std::unique_ptr<TRadioPanel> TWidgetControlParent::NewRadioPanel() {
  return std::make_unique<TWidgetRadioPanel>(parent_);
}
std::unique_ptr<TListBox> TWidgetControlParent::NewListBox() {
  return std::make_unique<TWidgetListBox>(parent_);
}
std::unique_ptr<TComboBox> TWidgetControlParent::NewComboBox() {
  return std::make_unique<TWidgetComboBox>(parent_);
}
std::unique_ptr<TMemo> TWidgetControlParent::NewMemo() {
  return std::make_unique<TWidgetMemo>(parent_);
}

TWinControl* TWidgetControlParent::FocusedControl() const {
  const QWidget* focused = QApplication::focusWidget();
  if (!focused || !parent_ || !parent_->isAncestorOf(focused)) return nullptr;
  return ControlOf(focused);
}

void EnsureWidgetApplication() {
  if (QCoreApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "htmlrender";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  (void)application;
}

void TWidgetControlParent::PaintControls(Bitmap& target, int dx, int dy) const {
  if (!parent_) return;
  TCanvas canvas(target);
  const TRect area{0, 0, target.Width(), target.Height()};
  for (QObject* child : parent_->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget || widget->isHidden() || !widget->property(kControlProperty).isValid()) continue;
    const QRect box = widget->geometry().translated(dx, dy);
    const TRect where{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
    if (Intersect(where, area).IsEmpty()) continue;  // drawing costs what is seen
    const Bitmap picture = FromQImage(widget->grab().toImage());
    canvas.Draw(where.left, where.top, picture);
  }
}

}  // namespace platform
