#include "app/Screenshot.h"

#include <QPixmap>

namespace app {

QImage GrabWindow(QWidget& window, const std::optional<platform::Region>& region) {
  QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  if (!region) return image;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (!region->Contains(x, y)) line[x] = 0;
  }
  return image;
}

}  // namespace app
