#pragma once

#include <QWidget>
#include <functional>

#include "platform/Canvas.h"
#include "platform/Color.h"

namespace viewer {

class ThtmlView;

// The page's drawing surface. Each paint draws the area to repaint into a
// memory bitmap of its own size (background first, then the page through
// the paint hook) and copies it to the screen once, so nothing flickers.
class TPaintPanel : public QWidget {
 public:
  explicit TPaintPanel(ThtmlView* viewer);

  ThtmlView* Viewer;
  // Exists only while a paint runs; draws into the memory bitmap with panel
  // coordinates.
  platform::TCanvas* MemCanvas = nullptr;
  // When set, the next erase paints the background (after a width change).
  bool EraseNext = false;
  // Called during each paint, after the background.
  std::function<void(TPaintPanel&)> OnPaint;
  // The panel's colour (the page background) and cursor number.
  platform::TColor Color = platform::clBtnFace;
  void SetColor(platform::TColor color);
  void SetCursorId(int id);
  int CursorId() const { return cursorId_; }

  // Paints the clip rectangle `area` (panel pixels) as the screen shows it.
  void Paint(const QRect& area, QPainter& screen);
  // Fills the canvas's area with the panel's colour or tiles the
  // background picture so that it scrolls with the page.
  void DrawBackground(platform::TCanvas& canvas, const platform::TRect& area, bool erasing);

  // Mouse events in panel pixels, for the viewer.
  std::function<void(QMouseEvent&)> OnMouseDown, OnMouseMove, OnMouseUp, OnDoubleClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  int cursorId_ = 0;
};

}  // namespace viewer
