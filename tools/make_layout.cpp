// Makes the launcher's built-in layout (skin, window mask, button pictures)
// and the demo medium's title picture. The output is committed; run this
// again only to change the look:
//
//   build/bin/make_layout app/resources demo/HTML/title.bmp

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Region.h"

namespace {

using platform::Region;
using platform::TRect;

constexpr int kWidth = 647;
constexpr int kHeight = 486;

struct Button {
  int left, top, width, height;
  const char* caption;
};

const Button kButtons[6] = {
    {10, 60, 201, 39, "Программы"}, {220, 60, 203, 39, "Интернет"}, {432, 60, 202, 39, "Обучение"},
    {10, 437, 201, 39, "Продукты"}, {220, 437, 203, 39, "Справка"}, {432, 437, 202, 39, "Выход"},
};

// How far a rounded corner of radius r pulls the edge in, i rows from the
// curved end (0 is the outermost row).
int CornerInset(int r, int i) {
  if (i >= r) return 0;
  const double dy = r - i - 0.5;
  return r - static_cast<int>(std::lround(std::sqrt(std::max(0.0, r * r - dy * dy))));
}

// The window outline: a title plate on a rounded body, the bottom row split
// into three lobes, one per bottom button, with a tab under each.
Region MakeMask() {
  constexpr int kPlateRadius = 12, kBodyRadius = 26, kLobeRadius = 11;
  constexpr int kPlateTop = 1, kBodyTop = 14, kLobeTop = 430, kTabTop = 476, kBottom = 483;
  std::vector<TRect> rows;
  for (int y = kPlateTop; y < kBottom; ++y) {
    if (y < kBodyTop) {
      const int d = CornerInset(kPlateRadius, y - kPlateTop);
      rows.push_back({36 + d, y, 611 - d, y + 1});
    } else if (y < kLobeTop) {
      const int d = CornerInset(kBodyRadius, y - kBodyTop);
      rows.push_back({4 + d, y, 641 - d, y + 1});
    } else if (y < kTabTop) {
      const int d = CornerInset(kLobeRadius, kTabTop - 1 - y);
      rows.push_back({4 + d, y, 215 - d, y + 1});
      rows.push_back({218 + d, y, 427 - d, y + 1});
      rows.push_back({430 + d, y, 641 - d, y + 1});
    } else {
      rows.push_back({14, y, 207, y + 1});
      rows.push_back({226, y, 419, y + 1});
      rows.push_back({440, y, 631, y + 1});
    }
  }
  return Region::FromRects(rows);
}

bool WriteBmp24(const QImage& source, const std::string& path) {
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  const int w = image.width(), h = image.height();
  const int stride = (w * 3 + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(stride * h);
  std::vector<uint8_t> out;
  const auto u16 = [&](uint16_t v) {
    out.push_back(v & 0xFF);
    out.push_back(v >> 8);
  };
  const auto u32 = [&](uint32_t v) {
    u16(v & 0xFFFF);
    u16(v >> 16);
  };
  out.push_back('B');
  out.push_back('M');
  u32(54 + imageSize);
  u32(0);
  u32(54);
  u32(40);
  u32(w);
  u32(h);
  u16(1);
  u16(24);
  u32(0);
  u32(imageSize);
  u32(3780);  // 96 DPI
  u32(3780);
  u32(0);
  u32(0);
  for (int y = h - 1; y >= 0; --y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      out.push_back(qBlue(line[x]));
      out.push_back(qGreen(line[x]));
      out.push_back(qRed(line[x]));
    }
    for (int p = w * 3; p < stride; ++p) out.push_back(0);
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

bool WriteBytes(const std::vector<uint8_t>& bytes, const std::string& path) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// The skin: a deep blue body with a bevelled edge that follows the mask
// exactly (an edge pixel is an inside pixel with an outside neighbour), a
// sunken well for the page and lighter plates behind title and buttons.
QImage MakeSkin(const Region& mask) {
  QImage skin(kWidth, kHeight, QImage::Format_RGB32);
  skin.fill(QColor(192, 192, 192));
  {
    QPainter p(&skin);
    QLinearGradient body(0, 0, 0, kHeight);
    body.setColorAt(0.0, QColor(42, 82, 140));
    body.setColorAt(0.5, QColor(24, 52, 104));
    body.setColorAt(1.0, QColor(14, 32, 70));
    p.fillRect(skin.rect(), body);
    // Soft diagonal sheen across the upper body.
    QLinearGradient sheen(0, 0, kWidth, 200);
    sheen.setColorAt(0.0, QColor(255, 255, 255, 40));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(QRect(0, 0, kWidth, 200), sheen);
    // Page well: a dark sunken frame around the viewer (16, 112, 611 x 314).
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(8, 20, 48));
    p.drawRoundedRect(QRectF(10, 106, 623, 326), 6, 6);
    // Plates behind the button rows.
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawRoundedRect(QRectF(6, 56, 635, 47), 8, 8);
  }
  // The bevel along the outline, from the mask itself so the two agree.
  const auto inside = [&](int x, int y) { return mask.Contains(x, y); };
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      if (!inside(x, y)) continue;
      const bool outer =
          !inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1);
      const bool second = !outer && (!inside(x - 2, y) || !inside(x + 2, y) || !inside(x, y - 2) ||
                                     !inside(x, y + 2));
      // Light falls from the top left.
      const bool lit =
          !inside(x - 1, y) || !inside(x, y - 1) || !inside(x - 2, y) || !inside(x, y - 2);
      if (outer)
        skin.setPixel(x, y, lit ? qRgb(150, 186, 230) : qRgb(4, 10, 28));
      else if (second)
        skin.setPixel(x, y, lit ? qRgb(96, 136, 196) : qRgb(10, 22, 52));
    }
  return skin;
}

QImage MakeButton(const Button& b, bool highlighted) {
  QImage image(b.width, b.height, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient face(0, 0, 0, b.height);
  if (highlighted) {
    face.setColorAt(0.0, QColor(255, 214, 120));
    face.setColorAt(0.5, QColor(246, 160, 40));
    face.setColorAt(1.0, QColor(200, 110, 10));
  } else {
    face.setColorAt(0.0, QColor(92, 134, 196));
    face.setColorAt(0.5, QColor(52, 92, 160));
    face.setColorAt(1.0, QColor(30, 62, 120));
  }
  p.fillRect(image.rect(), face);
  // Raised edge.
  p.setPen(highlighted ? QColor(255, 240, 200) : QColor(160, 190, 230));
  p.drawLine(0, 0, b.width - 1, 0);
  p.drawLine(0, 0, 0, b.height - 1);
  p.setPen(highlighted ? QColor(120, 60, 0) : QColor(10, 24, 60));
  p.drawLine(0, b.height - 1, b.width - 1, b.height - 1);
  p.drawLine(b.width - 1, 0, b.width - 1, b.height - 1);

  QFont font("Liberation Sans");
  font.setPixelSize(17);
  font.setBold(true);
  p.setFont(font);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QString caption = QString::fromUtf8(b.caption);
  p.setPen(highlighted ? QColor(110, 50, 0) : QColor(6, 16, 40));
  p.drawText(QRect(1, 1, b.width, b.height), Qt::AlignCenter, caption);
  p.setPen(highlighted ? QColor(30, 20, 0) : QColor(255, 255, 255));
  p.drawText(QRect(0, 0, b.width, b.height), Qt::AlignCenter, caption);
  return image;
}

QImage MakeTitle() {
  QImage image(553, 47, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient plate(0, 0, 0, 47);
  plate.setColorAt(0.0, QColor(250, 250, 255));
  plate.setColorAt(1.0, QColor(200, 214, 236));
  p.fillRect(image.rect(), plate);
  p.setPen(QColor(30, 62, 120));
  p.drawRect(0, 0, 552, 46);
  p.setRenderHint(QPainter::TextAntialiasing);
  QFont font("Liberation Serif");
  font.setPixelSize(26);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(24, 52, 104));
  p.drawText(QRect(0, 0, 553, 47), Qt::AlignCenter,
             QString::fromUtf8("Мастер установки — Quillmoor"));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_layout RESOURCE_DIR TITLE.bmp\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const std::string dir = argv[1];

  const Region mask = MakeMask();
  const TRect bounds = mask.Bounds();
  std::printf("mask: %d rectangles in %d bands, bounds (%d, %d)-(%d, %d)\n", mask.RectCount(),
              mask.BandCount(), bounds.left, bounds.top, bounds.right, bounds.bottom);
  const std::vector<uint8_t> data = mask.ToRgnData();
  std::vector<uint8_t> value;
  const uint32_t length = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) value.push_back(static_cast<uint8_t>(length >> (8 * i)));
  value.insert(value.end(), data.begin(), data.end());

  bool ok = WriteBytes(value, dir + "/mask2.bin");
  ok = WriteBmp24(MakeSkin(mask), dir + "/skin.bmp") && ok;
  for (int k = 1; k <= 6; ++k) {
    const std::string stem = dir + "/button" + std::to_string(k);
    ok = WriteBmp24(MakeButton(kButtons[k - 1], false), stem + ".bmp") && ok;
    ok = WriteBmp24(MakeButton(kButtons[k - 1], true), stem + "-hover.bmp") && ok;
  }
  ok = WriteBmp24(MakeTitle(), argv[2]) && ok;
  if (!ok) std::fprintf(stderr, "make_layout: could not write every file\n");
  return ok ? 0 : 1;
}
