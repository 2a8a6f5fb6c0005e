#include "platform/ui/WidgetControls.h"

#include <QApplication>
#include <cstdlib>

#include "platform/Canvas.h"
#include "platform/ui/QtBridge.h"
#include "platform/ui/WidgetControlBase.h"

namespace platform {

namespace {

TWinControl* ControlOf(const QWidget* widget) {
  for (; widget; widget = widget->parentWidget()) {
    const QVariant value = widget->property(widgets::kControlProperty);
    if (value.isValid()) return static_cast<TWinControl*>(value.value<void*>());
  }
  return nullptr;
}

}  // namespace

TWidgetControlParent::TWidgetControlParent(QWidget* parent)
    : parent_(parent), chain_(std::make_unique<widgets::TControlChain>(parent)) {}

TWidgetControlParent::~TWidgetControlParent() = default;

std::unique_ptr<TEdit> TWidgetControlParent::NewEdit() {
  return widgets::NewEdit(*chain_);
}
std::unique_ptr<TButton> TWidgetControlParent::NewButton() {
  return widgets::NewButton(*chain_);
}
std::unique_ptr<TCheckBox> TWidgetControlParent::NewCheckBox() {
  return widgets::NewCheckBox(*chain_);
}
std::unique_ptr<TRadioPanel> TWidgetControlParent::NewRadioPanel() {
  return widgets::NewRadioPanel(*chain_);
}
std::unique_ptr<TListBox> TWidgetControlParent::NewListBox() {
  return widgets::NewListBox(*chain_);
}
std::unique_ptr<TComboBox> TWidgetControlParent::NewComboBox() {
  return widgets::NewComboBox(*chain_);
}
std::unique_ptr<TMemo> TWidgetControlParent::NewMemo() {
  return widgets::NewMemo(*chain_);
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
    if (!widget || widget->isHidden() || !widget->property(widgets::kControlProperty).isValid())
      continue;
    const QRect box = widget->geometry().translated(dx, dy);
    const TRect where{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
    if (Intersect(where, area).IsEmpty()) continue;  // drawing costs what is seen
    const Bitmap picture = FromQImage(widget->grab().toImage());
    canvas.Draw(where.left, where.top, picture);
  }
  // A surface never shown has no event loop: what its widgets were posted
  // (polish and layout requests, queued calls) would wait for ever, and
  // each widget freed later would search all of it for its own.
  if (!parent_->isVisible())
    for (QObject* object : parent_->findChildren<QObject*>())
      QCoreApplication::removePostedEvents(object);
}

}  // namespace platform
