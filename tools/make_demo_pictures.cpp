// Makes the pictures of the bundled demo medium: a BMP, a JPEG and an
// animated GIF with a transparent colour. The output is committed:
//
//   build/bin/make_demo_pictures demo/HTML

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

// A disc, shaded like a compact disc.
QImage Disk() {
  QImage image(64, 64, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient shine(24, 24, 40);
  shine.setColorAt(0.0, QColor(240, 246, 255));
  shine.setColorAt(0.5, QColor(170, 190, 230));
  shine.setColorAt(1.0, QColor(120, 140, 200));
  p.setBrush(shine);
  p.setPen(QColor(80, 90, 120));
  p.drawEllipse(QRectF(2, 2, 60, 60));
  p.setBrush(Qt::white);
  p.drawEllipse(QRectF(26, 26, 12, 12));
  return image;
}

QImage Photo() {
  QImage image(112, 84, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sky(0, 0, 0, 84);
  sky.setColorAt(0.0, QColor(120, 170, 230));
  sky.setColorAt(1.0, QColor(230, 240, 250));
  p.fillRect(image.rect(), sky);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(90, 60, 40));
  p.setPen(Qt::NoPen);
  p.drawRect(10, 50, 92, 8);  // a desk
  p.setBrush(QColor(40, 40, 50));
  p.drawRect(38, 22, 36, 26);  // a monitor
  p.setBrush(QColor(110, 200, 255));
  p.drawRect(41, 25, 30, 20);
  p.setBrush(QColor(60, 60, 70));
  p.drawRect(52, 48, 8, 3);
  return image;
}

// GIF writer for small pictures: 8-bit literal codes with a clear code
// before the table would widen the codes, which every decoder reads.
class GifWriter {
 public:
  GifWriter(int width, int height, const std::vector<QRgb>& palette)
      : width_(width), height_(height) {
    const std::string magic = "GIF89a";
    out_.insert(out_.end(), magic.begin(), magic.end());
    U16(width);
    U16(height);
    out_.push_back(0xF7);  // global table of 256 colours
    out_.push_back(0);     // background index
    out_.push_back(0);
    for (int i = 0; i < 256; ++i) {
      const QRgb c = i < static_cast<int>(palette.size()) ? palette[i] : 0;
      out_.push_back(qRed(c));
      out_.push_back(qGreen(c));
      out_.push_back(qBlue(c));
    }
    // Loop forever (NETSCAPE2.0).
    const uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E',  'T',  'S',  'C',  'A', 'P',
                            'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
    out_.insert(out_.end(), std::begin(loop), std::end(loop));
  }

  void Frame(const std::vector<uint8_t>& indexes, int delayHundredths, int transparent) {
    const uint8_t control[] = {0x21,
                               0xF9,
                               0x04,
                               static_cast<uint8_t>(0x08 | 0x01),
                               static_cast<uint8_t>(delayHundredths & 0xFF),
                               static_cast<uint8_t>(delayHundredths >> 8),
                               static_cast<uint8_t>(transparent),
                               0x00};
    out_.insert(out_.end(), std::begin(control), std::end(control));
    out_.push_back(0x2C);
    U16(0);
    U16(0);
    U16(width_);
    U16(height_);
    out_.push_back(0);  // no local table, not interlaced
    out_.push_back(8);  // minimum code size
    // Codes are 9 bits: clear 256, end 257; a clear every 254 literals keeps
    // the decoder's table below 512 entries.
    std::vector<uint8_t> data;
    uint32_t buffer = 0;
    int bits = 0;
    const auto code = [&](int c) {
      buffer |= static_cast<uint32_t>(c) << bits;
      bits += 9;
      while (bits >= 8) {
        data.push_back(buffer & 0xFF);
        buffer >>= 8;
        bits -= 8;
      }
    };
    int sinceClear = 0;
    code(256);
    for (uint8_t index : indexes) {
      if (sinceClear == 254) {
        code(256);
        sinceClear = 0;
      }
      code(index);
      ++sinceClear;
    }
    code(257);
    if (bits > 0) data.push_back(buffer & 0xFF);
    for (size_t i = 0; i < data.size(); i += 255) {
      const size_t n = std::min<size_t>(255, data.size() - i);
      out_.push_back(static_cast<uint8_t>(n));
      out_.insert(out_.end(), data.begin() + i, data.begin() + i + n);
    }
    out_.push_back(0);
  }

  bool Save(const std::string& path) {
    out_.push_back(0x3B);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out_.data()),
               static_cast<std::streamsize>(out_.size()));
    return static_cast<bool>(file);
  }

 private:
  void U16(int v) {
    out_.push_back(v & 0xFF);
    out_.push_back((v >> 8) & 0xFF);
  }
  int width_, height_;
  std::vector<uint8_t> out_;
};

// A turning globe: a blue disc whose meridians move, transparent around it.
bool Globe(const std::string& path) {
  constexpr int kSize = 48, kFrames = 6;
  const std::vector<QRgb> palette = {qRgb(255, 0, 255),  // 0: transparent
                                     qRgb(30, 90, 170), qRgb(80, 150, 220), qRgb(60, 160, 80),
                                     qRgb(240, 240, 255)};
  GifWriter gif(kSize, kSize, palette);
  for (int f = 0; f < kFrames; ++f) {
    std::vector<uint8_t> pixels(kSize * kSize, 0);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const double dx = (x + 0.5 - kSize / 2.0) / (kSize / 2.0 - 1);
        const double dy = (y + 0.5 - kSize / 2.0) / (kSize / 2.0 - 1);
        const double r2 = dx * dx + dy * dy;
        if (r2 > 1.0) continue;
        const double longitude =
            std::asin(dx / std::sqrt(std::max(1e-9, 1 - dy * dy))) + f * (M_PI / 3 / kFrames) * 2;
        const bool land = std::sin(3 * longitude) * std::cos(2.5 * dy) > 0.35;
        const bool meridian = std::fabs(std::sin(4 * longitude)) < 0.08;
        pixels[y * kSize + x] = meridian ? 4 : land ? 3 : (r2 > 0.8 ? 1 : 2);
      }
    gif.Frame(pixels, 15, 0);
  }
  return gif.Save(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_pictures HTML_DIR\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QGuiApplication app(argc, argv);
  const std::string dir = argv[1];
  bool ok = Disk().save(QString::fromStdString(dir + "/disk.bmp"), "BMP");
  ok = Photo().save(QString::fromStdString(dir + "/photo.jpg"), "JPEG", 85) && ok;
  ok = Globe(dir + "/globe.gif") && ok;
  if (!ok) std::fprintf(stderr, "make_demo_pictures: could not write every file\n");
  return ok ? 0 : 1;
}
