#pragma once

// Not for use outside platform/ui: what the widget controls of every kind
// share. A control keeps its state itself and has a Qt widget only while it
// is shown or has the focus: a page of a hundred thousand controls shows a
// few dozen, and every widget a window holds makes each new one dearer
// (Qt searches its queue of posted events one by one).

#include <QAbstractButton>
#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "platform/CodePage.h"
#include "platform/Controls.h"
#include "platform/ui/ControlChain.h"

class QPlainTextEdit;

namespace platform::widgets {

// Marks a widget's handler as running while it lives: a handler may free
// its own control (a click that loads another page), whose widget must
// then outlive the signal or event it is in.
class TDispatchScope {
 public:
  explicit TDispatchScope(const QObject* widget);
  ~TDispatchScope();
  TDispatchScope(const TDispatchScope&) = delete;
  TDispatchScope& operator=(const TDispatchScope&) = delete;
};

// Focus and key events of a widget, handed to its control. Calls copy the
// handler first: a handler may free the control, and with it the handler
// being run.
class TEventHook : public QObject {
 public:
  TEventHook(TWinControl& control, QObject* widget) : QObject(widget), control_(control) {}
  bool eventFilter(QObject* widget, QEvent* event) override;
  static void Call(const std::function<void()>& handler);

 private:
  TWinControl& control_;
};

// Frees a control's widget (with its children), which tells the control
// nothing more, not even that it lost the focus. One inside its own handler
// goes once that has returned; the others at once (thousands of deferred
// deletions would each search the queue of the rest).
void FreeWidget(QWidget* frame, QWidget* focus, QObject* hook);

// Sizes the widget, and its children still waiting for their sizes, as a
// picture of a window not shown does before it is drawn.
void SendResizes(QWidget& widget);

// The font a control's widget shows its text in.
QFont ToQFont(const TFont& font);

// Whether the widget keeps Tab for itself (a text area types it).
template <class Widget>
bool TakesTab(const Widget&) {
  return false;
}
bool TakesTab(const QPlainTextEdit& edit);

// A control's widget: Tab and Shift+Tab go along its parent's chain of
// controls, which makes the widget of the control they reach.
template <class Widget>
class TChainedWidget : public Widget {
 public:
  TChainedWidget(QWidget* parent, TControlChain& chain, TChainLink& link)
      : Widget(parent), chain_(chain), link_(&link) {}
  // Its control no longer hears of it.
  void Unlink() { link_ = nullptr; }

 protected:
  bool focusNextPrevChild(bool next) override {
    if (!link_ || TakesTab(static_cast<const Widget&>(*this)))
      return Widget::focusNextPrevChild(next);
    return chain_.MoveFocus(*link_, next);
  }

 private:
  TControlChain& chain_;
  TChainLink* link_;
};

// What every control has: bounds as set (Qt may limit a widget's size; the
// layout counts on what it asked for), visibility, focus and font, and its
// widget while it is shown. A kind says how a new widget is set up, and
// how its state goes into the widget and back.
template <class Interface, class Widget>
class TWidgetControl : public Interface, public TChainLink {
 public:
  explicit TWidgetControl(TControlChain& chain) : chain_(chain) { chain_.Add(*this); }
  ~TWidgetControl() override {
    Drop();
    chain_.Remove(*this);
  }
  TWidgetControl(const TWidgetControl&) = delete;
  TWidgetControl& operator=(const TWidgetControl&) = delete;

  void SetBounds(int left, int top, int width, int height) override {
    bounds_ = {left, top, left + std::max(0, width), top + std::max(0, height)};
    if (QWidget* frame = Frame()) frame->setGeometry(left, top, bounds_.Width(), bounds_.Height());
  }
  TRect Bounds() const override { return bounds_; }
  bool Visible() const override { return visible_; }
  // A control out of sight keeps its state and gives up its widget.
  void SetVisible(bool visible) override {
    visible_ = visible;
    if (!visible) {
      if (widget_) Keep(*widget_);
      Drop();
      return;
    }
    EnsureWidget();
    if (QWidget* frame = Frame(); frame && frame->isHidden()) {
      frame->show();
      RestoreView(*widget_);
    }
  }
  bool Focused() const override { return widget_ && widget_->hasFocus(); }
  void SetFocus() override { TakeFocus(Qt::OtherFocusReason); }
  void SetFont(const TFont& font) override {
    font_ = font;
    hasFont_ = true;
    if (widget_) widget_->setFont(ToQFont(font_));
  }
  const TFont& Font() const override { return font_; }

  QWidget* FocusWidget() const override { return widget_; }
  // A hidden widget cannot take the focus: a control the document has not
  // shown is shown beside the surface, out of sight, where the document's
  // focus handler finds it (and parks it, or scrolls it into view).
  void TakeFocus(Qt::FocusReason reason) override {
    EnsureWidget();
    QWidget* frame = Frame();
    if (!frame) return;
    if (frame->isHidden()) {
      visible_ = true;
      frame->move(-frame->width() - 1, frame->y());
      frame->show();
      RestoreView(*widget_);
    }
    widget_->setFocus(reason);
  }

  // Makes the control's widget if it has none: shown where the control
  // stands when the control is shown, else hidden.
  void EnsureWidget() {
    QWidget* surface = chain_.Surface();
    if (widget_ || !surface) return;
    widget_ = Make(surface);
    hook_ = new TEventHook(*this, widget_);
    widget_->installEventFilter(hook_);
    const QVariant self = QVariant::fromValue(static_cast<void*>(static_cast<TWinControl*>(this)));
    widget_->setProperty(kControlProperty, self);
    Frame()->setProperty(kControlProperty, self);
    Setup(*widget_);
    if (hasFont_) widget_->setFont(ToQFont(font_));
    Frame()->setGeometry(bounds_.left, bounds_.top, bounds_.Width(), bounds_.Height());
    Restore(*widget_);
    // A window not shown gets its widgets' sizes when a picture is taken of
    // it, before it is drawn; one made while it is being drawn would go
    // without (a scroll area lays its bars out when it is sized).
    if (!surface->isVisible() && surface->testAttribute(Qt::WA_WState_InPaintEvent))
      SendResizes(*Frame());
    Frame()->setVisible(visible_);
    if (visible_) RestoreView(*widget_);
    chain_.WidgetMade(*this);
  }

 protected:
  using QtWidget = TChainedWidget<Widget>;

  // Makes the widget on the surface (and the frame it stands in, when it
  // has one of its own).
  virtual QtWidget* Make(QWidget* surface) { return new QtWidget(surface, chain_, *this); }
  // The window that is placed (a radio button's panel), and the one that
  // takes the focus and the input.
  virtual QWidget* Frame() const { return widget_; }
  // What every new widget of the kind gets, before its font.
  virtual void Setup(Widget&) {}
  // The control's state into its new widget, and back before it goes.
  virtual void Restore(Widget& widget) = 0;
  virtual void Keep(const Widget& widget) = 0;
  // What only a shown widget can take (scroll positions, which need its
  // final size).
  virtual void RestoreView(Widget&) {}
  // Forgets the widget without keeping its state.
  void Drop() {
    if (!widget_) return;
    QWidget* frame = Frame();
    widget_->Unlink();
    frame->setProperty(kControlProperty, QVariant());
    widget_->setProperty(kControlProperty, QVariant());
    chain_.WidgetGone(*this);
    QtWidget* focus = widget_;
    widget_.clear();
    FreeWidget(frame, focus, hook_);
    hook_ = nullptr;
    Dropped();
  }
  // The kind forgets its own pointers into the freed widget.
  virtual void Dropped() {}

  Widget* widget() const { return widget_; }
  QString ToQString(const std::string& bytes) const {
    return QString::fromStdString(BytesToUtf8(bytes, CharsetToCodePage(font_.Charset())));
  }
  std::string FromQString(const QString& text) const {
    return Utf8ToBytes(text.toStdString(), CharsetToCodePage(font_.Charset()));
  }
  void ConnectClick(QAbstractButton& button) {
    QObject::connect(&button, &QAbstractButton::clicked, hook_, [this, &button] {
      const TDispatchScope scope(&button);
      TEventHook::Call(this->OnClick);
    });
  }
  QObject* Hook() const { return hook_; }
  TControlChain& Chain() const { return chain_; }

 private:
  TControlChain& chain_;
  QPointer<QtWidget> widget_;   // null too once its surface has gone
  TEventHook* hook_ = nullptr;  // a child of the widget
  TRect bounds_;
  TFont font_;
  bool hasFont_ = false;  // a widget without one keeps the window system's
  bool visible_ = false;
};

// The controls of each kind, on the chain's surface.
std::unique_ptr<TEdit> NewEdit(TControlChain& chain);
std::unique_ptr<TButton> NewButton(TControlChain& chain);
std::unique_ptr<TCheckBox> NewCheckBox(TControlChain& chain);
std::unique_ptr<TRadioPanel> NewRadioPanel(TControlChain& chain);
std::unique_ptr<TListBox> NewListBox(TControlChain& chain);
std::unique_ptr<TComboBox> NewComboBox(TControlChain& chain);
std::unique_ptr<TMemo> NewMemo(TControlChain& chain);

}  // namespace platform::widgets
