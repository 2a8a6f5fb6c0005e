#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/Bitmap.h"
#include "platform/Controls.h"

namespace platform {

namespace widgets {
class TControlChain;
}

// Form controls as Qt widgets on a parent widget: the viewer's paint panel,
// or a surface never shown whose controls are drawn into a picture. A
// control has a widget only while it is shown or has the focus; hidden, it
// keeps its state (text, caret and selection, checks, list selection,
// scroll positions) for the widget it gets when it is shown again. Tab
// moves through the controls in the order they were made, widget or not.
// The parent must outlive its controls.
class TWidgetControlParent : public TControlParent {
 public:
  explicit TWidgetControlParent(QWidget* parent);
  ~TWidgetControlParent() override;

  std::unique_ptr<TEdit> NewEdit() override;
  std::unique_ptr<TButton> NewButton() override;
  std::unique_ptr<TCheckBox> NewCheckBox() override;
  std::unique_ptr<TRadioPanel> NewRadioPanel() override;
  std::unique_ptr<TListBox> NewListBox() override;
  std::unique_ptr<TComboBox> NewComboBox() override;
  std::unique_ptr<TMemo> NewMemo() override;
  TWinControl* FocusedControl() const override;

  // Draws the controls that are not hidden into the bitmap, each where it
  // stands on the parent moved by (dx, dy), as the window system would show
  // them (used for pictures of a page; the viewer's controls paint
  // themselves).
  void PaintControls(Bitmap& target, int dx, int dy) const;

 private:
  QPointer<QWidget> parent_;
  std::unique_ptr<widgets::TControlChain> chain_;
};

// Makes the application object widgets need when there is none yet (a tool
// that draws controls without showing a window; offscreen unless a display
// platform was asked for).
void EnsureWidgetApplication();

}  // namespace platform
