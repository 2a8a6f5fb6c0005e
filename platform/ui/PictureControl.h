#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <string_view>

#include "platform/Bitmap.h"

namespace platform {

// The framework's picture control: shows a bitmap at its top-left corner,
// optionally sizes itself to it, and reports the mouse. Every change of the
// picture goes through PictureChanged, which a subclass may replace.
class TImage : public QWidget {
 public:
  explicit TImage(QWidget* parent = nullptr);

  const Bitmap& Picture() const { return picture_; }
  // For drawing into the picture in place; call NotifyPictureChanged after.
  Bitmap& PictureForEditing() {
    shownIsStale_ = true;
    return picture_;
  }
  void NotifyPictureChanged() {
    shownIsStale_ = true;
    PictureChanged();
  }
  void SetPicture(Bitmap picture);
  // Loads a Windows bitmap file named by a Windows path. EFOpenError
  // ("Cannot open file " + path) when it cannot be read, EInvalidGraphic
  // when it is not a bitmap; the picture is unchanged then.
  void LoadPictureFromFile(std::string_view windowsPath);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);
  void SetCursorId(int id);
  void SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, width, height);
  }

  // Mouse events in the control's own pixels. A click is a left press and
  // release that both happen on the control.
  std::function<void(int x, int y)> OnMouseMove;
  std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
  std::function<void()> OnClick;

  // How many times the picture has changed (drawn into, replaced, loaded).
  int PictureChangeCount() const { return changeCount_; }
  // How many times the picture was converted for the screen: once per
  // change, however often it is painted.
  int ConversionCount() const { return conversionCount_; }

 protected:
  // The usual handler: an auto-sized control takes the picture's size;
  // then it repaints.
  virtual void PictureChanged();

  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

  void CountChange() { ++changeCount_; }

 private:
  Bitmap picture_;
  // The picture as the screen takes it, made at the first paint after a
  // change; null when there was no memory for it.
  QImage shown_;
  bool shownIsStale_ = true;
  int conversionCount_ = 0;
  bool autoSize_ = false;
  bool pressed_ = false;
  int changeCount_ = 0;
};

}  // namespace platform
