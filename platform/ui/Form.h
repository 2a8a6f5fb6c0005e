#pragma once

#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <optional>
#include <string>

#include "platform/Region.h"
#include "platform/TFont.h"
#include "platform/ui/ActivationRule.h"

namespace platform {

enum class TFormBorderStyle { bsSizeable, bsNone };

// A top-level window of the framework. Its window region limits where it
// shows and takes input (the window system's shape, where there is one).
class TForm : public QWidget, private TFontObserver {
 public:
  TForm();

  void SetCaption(const std::string& ansi);
  const std::string& Caption() const { return caption_; }
  void SetBorderStyle(TFormBorderStyle style);
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetClientSize(int width, int height) { resize(width, height); }
  void CenterOnScreen();

  // SetWindowRgn: the window takes the region; nothing makes it rectangular.
  void SetWindowRgn(std::optional<Region> region);
  const std::optional<Region>& WindowRgn() const { return region_; }

  // Where the window system keeps no shape for a window (Wayland), the
  // shape is made of transparency: the window is translucent, nothing is
  // painted outside the region, and the region still limits where the
  // window takes input. Chosen from the platform at creation; a change
  // counts before the window is first shown.
  void SetShapeByTransparency(bool on);
  bool ShapeByTransparency() const { return shapeByTransparency_; }
  // The shape in the pixels of a widget on the window, when the shape is
  // made of transparency (what the widget may paint); none otherwise.
  std::optional<QRegion> ShapeSeenBy(const QWidget& widget) const;

  // The form's default font, which its controls and boxes inherit
  // ("MS Sans Serif", 8 points, the default character set).
  platform::TFont Font;

  // Called when the window is first shown (posted, so the window is up;
  // also when the window manager does not give it the focus) and whenever
  // the focus comes back to it from another window of the application,
  // never when it comes back from another program.
  std::function<void()> OnActivate;

  // While an object of this class lives, the boxes that take the focus
  // leave no activation behind them: their closing keeps the page.
  class ReturnKeepsPage {
   public:
    explicit ReturnKeepsPage(TForm& form);
    ~ReturnKeepsPage();
    ReturnKeepsPage(const ReturnKeepsPage&) = delete;
    ReturnKeepsPage& operator=(const ReturnKeepsPage&) = delete;

   private:
    TForm& form_;
    bool previous_;
  };

  // Moves the window with the mouse while the left button stays down, the
  // press at `globalPress` and the pointer now at `globalNow`: the window
  // system's own move where it offers one, our own tracking where not (for
  // example without a window manager). Call it once a drag has begun.
  void BeginMouseMove(const QPoint& globalPress, const QPoint& globalNow);

 protected:
  bool event(QEvent* event) override;
  // The window's background, the palette's window colour, inside the
  // region only when the shape is made of transparency.
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FontChanged() override;
  void FocusWindowChanged(QWindow* focus);

  std::string caption_;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  std::optional<Region> region_;
  bool shapeByTransparency_ = false;
  TActivationRule activation_;
  // The window of ours the focus went to last (a box), while it lives.
  QPointer<QWindow> leftFor_;
  bool manualMove_ = false;
  QPoint moveOffset_;
};

}  // namespace platform
