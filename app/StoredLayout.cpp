#include <QFile>
#include <stdexcept>

#include "app/MainWindow.h"
#include "platform/BmpReader.h"

// Resources of a static library must be registered by name, from the
// global namespace.
static void InitLayoutResources() {
  Q_INIT_RESOURCE(layout);
}

namespace app {

namespace {

QByteArray ResourceBytes(const QString& name) {
  QFile file(":/layout/" + name);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error("Missing built-in resource " + name.toStdString());
  return file.readAll();
}

platform::Bitmap ResourceBitmap(const QString& name) {
  const QByteArray bytes = ResourceBytes(name);
  std::optional<platform::Bitmap> bitmap = platform::ReadBmp(
      std::span(reinterpret_cast<const uint8_t*>(bytes.constData()), bytes.size()));
  if (!bitmap) throw std::runtime_error("Damaged built-in resource " + name.toStdString());
  return std::move(*bitmap);
}

}  // namespace

StoredLayout BuiltInLayout() {
  InitLayoutResources();
  StoredLayout layout;
  layout.skin = ResourceBitmap("skin.bmp");
  const QByteArray mask = ResourceBytes("mask2.bin");
  layout.mask2.assign(mask.begin(), mask.end());
  for (int k = 1; k <= TForm1::kButtonCount; ++k) {
    layout.normal[k - 1] = ResourceBitmap(QString("button%1.bmp").arg(k));
    layout.highlighted[k - 1] = ResourceBitmap(QString("button%1-hover.bmp").arg(k));
  }
  return layout;
}

}  // namespace app
