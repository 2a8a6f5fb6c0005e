#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "platform/Region.h"
#include "platform/TFont.h"

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

  // The form's default font, which its controls and boxes inherit
  // ("MS Sans Serif", 8 points, the default character set).
  platform::TFont Font;

  // Called each time the window becomes the application's active window.
  std::function<void()> OnActivate;

  // Moves the window with the mouse while the left button stays down: the
  // window system's own move where it offers one, our own tracking where
  // not (for example without a window manager).
  void BeginMouseMove(const QPoint& globalPress);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FontChanged() override;

  std::string caption_;
  TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
  std::optional<Region> region_;
  bool manualMove_ = false;
  QPoint moveOffset_;
};

}  // namespace platform
