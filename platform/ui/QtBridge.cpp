#include "platform/ui/QtBridge.h"

#include <new>
#include <stdexcept>

#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace platform {

QImage ToQImage(const Bitmap& bitmap) {
  QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
  if (image.isNull()) return QImage();  // no memory for it
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    if (bitmap.Format() == TPixelFormat::pf32bit) {
      const uint32_t* row = bitmap.Row32(y);
      for (int x = 0; x < bitmap.Width(); ++x) line[x] = 0xFF000000u | row[x];
    } else {
      for (int x = 0; x < bitmap.Width(); ++x)
        line[x] = 0xFF000000u | ColorToRaw32(bitmap.GetPixel(x, y));
    }
  }
  return image;
}

Bitmap FromQImage(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return Bitmap();
  Bitmap bitmap;
  try {
    bitmap = Bitmap(image.width(), image.height(), TPixelFormat::pf32bit);
  } catch (const std::bad_alloc&) {
    return Bitmap();
  } catch (const std::length_error&) {
    return Bitmap();
  }
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint32_t* row = bitmap.Row32(y);
    for (int x = 0; x < image.width(); ++x) row[x] = line[x] & 0x00FFFFFF;
  }
  return bitmap;
}

QRegion ToQRegion(const Region& region) {
  QRegion result;
  const std::vector<TRect> rects = region.Rects();
  QVector<QRect> qrects;
  qrects.reserve(static_cast<int>(rects.size()));
  for (const TRect& r : rects) qrects.push_back(QRect(r.left, r.top, r.Width(), r.Height()));
  result.setRects(qrects.constData(), static_cast<int>(qrects.size()));
  return result;
}

QString AnsiToQString(std::string_view ansi) {
  return QString::fromStdString(BytesToUtf8(ansi, AnsiCodePage()));
}

std::string QStringToAnsi(const QString& text) {
  return Utf8ToBytes(text.toStdString(), AnsiCodePage());
}

}  // namespace platform
