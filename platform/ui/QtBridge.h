#pragma once

#include <QImage>
#include <QRegion>
#include <QString>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Region.h"

namespace platform {

// A copy of the bitmap as a Qt image (RGB32); a null image when there is
// no memory for it (or the bitmap is empty).
QImage ToQImage(const Bitmap& bitmap);
// A 32-bit bitmap with the image's colours (alpha dropped); an empty bitmap
// for a null image or one too large for a bitmap.
Bitmap FromQImage(const QImage& image);
QRegion ToQRegion(const Region& region);
// ANSI bytes (the medium's code page) to a Qt string and back.
QString AnsiToQString(std::string_view ansi);
std::string QStringToAnsi(const QString& text);

}  // namespace platform
