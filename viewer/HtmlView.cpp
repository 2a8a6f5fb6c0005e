#include "viewer/HtmlView.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/ui/Cursors.h"

namespace viewer {

namespace {

QColor ToQColor(platform::TColor color) {
  const platform::TColor rgb = platform::ColorToRGB(color);
  return QColor(platform::GetRValue(rgb), platform::GetGValue(rgb), platform::GetBValue(rgb));
}

}  // namespace

ThtmlView::ThtmlView(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
}

void ThtmlView::LoadFromFile(const std::string& name) {
  if (processing_ || name.empty()) return;
  std::string file = name;
  const size_t hash = file.find('#');
  if (hash != std::string::npos) file.erase(hash, 255);
  processing_ = true;
  const int savedCursor = platform::ScreenCursor();
  platform::SetScreenCursor(platform::crHourGlass);
  const bool exists = platform::FileExists(file);
  platform::SetScreenCursor(savedCursor);
  processing_ = false;
  if (!exists) throw platform::EInOutError("Can't locate file: " + file);
  currentFile_ = platform::ExpandFileName(file);
  update();
}

void ThtmlView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect all = rect();
  painter.fillRect(all, ToQColor(DefBackground));
  if (BorderStyle == htNone) return;
  // A sunken two-pixel edge, as the framework draws a client edge.
  const auto line = [&](platform::TColor c, int x0, int y0, int x1, int y1) {
    painter.setPen(ToQColor(c));
    painter.drawLine(x0, y0, x1, y1);
  };
  const int r = all.width() - 1, b = all.height() - 1;
  line(platform::clBtnShadow, 0, 0, r - 1, 0);
  line(platform::clBtnShadow, 0, 0, 0, b - 1);
  line(platform::clBtnHighlight, 0, b, r, b);
  line(platform::clBtnHighlight, r, 0, r, b);
  line(platform::cl3DDkShadow, 1, 1, r - 2, 1);
  line(platform::cl3DDkShadow, 1, 1, 1, b - 2);
  line(platform::cl3DLight, 1, b - 1, r - 1, b - 1);
  line(platform::cl3DLight, r - 1, 1, r - 1, b - 1);
}

void ThtmlView::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(event->position().toPoint().x(), event->position().toPoint().y());
}

}  // namespace viewer
