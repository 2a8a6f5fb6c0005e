#include "platform/QtFontFace.h"

#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/CodePage.h"
#include "platform/GuiApplication.h"
#include "platform/MulDiv.h"

namespace platform {

namespace {

constexpr int kDefaultPpem = 16;
constexpr int kMaxPpem = 2048;

// The coverage of the text being drawn, kept from one drawing to the next:
// a new image (and with it a new paint engine) for every run of text cost
// more than its glyphs. A box larger than anything a paint draws in one
// piece gets `own` instead. Nothing when there is no memory for it.
QImage* CoverageImage(int width, int height, QImage& own) {
  constexpr int64_t kMaxKeptPixels = int64_t{4} << 20;
  thread_local QImage kept;
  QImage* image = &kept;
  if (kept.width() < width || kept.height() < height) {
    const int keptWidth = std::max(width, kept.width()),
              keptHeight = std::max(height, kept.height());
    if (int64_t{keptWidth} * keptHeight <= kMaxKeptPixels) {
      kept = QImage(keptWidth, keptHeight, QImage::Format_ARGB32_Premultiplied);
    } else {
      own = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
      image = &own;
    }
  }
  return image->isNull() ? nullptr : image;
}

// Big-endian reads from a font table, 0 past its end.
class Table {
 public:
  explicit Table(const QByteArray& bytes) : bytes_(bytes.begin(), bytes.end()) {}
  bool Has(int offset, int size) const {
    return offset >= 0 && size >= 0 && static_cast<size_t>(offset) + size <= bytes_.size();
  }
  uint16_t U16(int offset) const {
    if (!Has(offset, 2)) return 0;
    return static_cast<uint16_t>((bytes_[offset] << 8) | bytes_[offset + 1]);
  }
  int16_t S16(int offset) const { return static_cast<int16_t>(U16(offset)); }
  uint8_t U8(int offset) const { return Has(offset, 1) ? bytes_[offset] : 0; }
  uint32_t U32(int offset) const {
    return (static_cast<uint32_t>(U16(offset)) << 16) | U16(offset + 2);
  }
  bool Empty() const { return bytes_.empty(); }

 private:
  std::vector<uint8_t> bytes_;
};

QFont MakeQFont(const FontRequest& request, int pixelSize) {
  QFont font(QString::fromUtf8(request.name.data(), static_cast<int>(request.name.size())));
  font.setPixelSize(std::max(1, pixelSize));
  font.setWeight((request.style & fsBold) ? QFont::Bold : QFont::Normal);
  font.setItalic((request.style & fsItalic) != 0);
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

QRawFont MakeRawFont(const FontRequest& request, int pixelSize) {
  const QFontDatabase::WritingSystem script =
      request.charset == RUSSIAN_CHARSET ? QFontDatabase::Cyrillic : QFontDatabase::Latin;
  return QRawFont::fromFont(MakeQFont(request, pixelSize), script);
}

}  // namespace

QtFontFace::QtFontFace(const FontRequest& request) {
  EnsureGuiApplication();
  codePage_ = CharsetToCodePage(request.charset);

  raw_ = MakeRawFont(request, kDefaultPpem);
  Table head(raw_.fontTable("head"));
  Table hhea(raw_.fontTable("hhea"));
  Table os2(raw_.fontTable("OS/2"));
  Table post(raw_.fontTable("post"));
  const int unitsPerEm = std::max<int>(16, head.U16(18));
  int winAscent = os2.U16(74);
  int winDescent = os2.U16(76);
  const int ascender = hhea.S16(4);
  const int descender = hhea.S16(6);
  const int lineGap = hhea.S16(8);
  if (winAscent == 0 && winDescent == 0) {
    winAscent = ascender;
    winDescent = -descender;
  }
  if (winAscent + winDescent <= 0) {
    winAscent = unitsPerEm * 4 / 5;
    winDescent = unitsPerEm - winAscent;
  }

  // The em size: given directly, or the one whose cell fits the height.
  int ppem = request.height < 0   ? -request.height
             : request.height > 0 ? MulDiv(request.height, unitsPerEm, winAscent + winDescent)
                                  : kDefaultPpem;
  ppem_ = std::clamp(ppem, 1, kMaxPpem);
  if (ppem_ != kDefaultPpem) raw_ = MakeRawFont(request, ppem_);
  familyName_ = raw_.familyName().toStdString();

  const auto scale = [&](int units) { return MulDiv(units, ppem_, unitsPerEm); };
  metrics_.tmAscent = scale(winAscent);
  metrics_.tmDescent = scale(winDescent);
  metrics_.tmHeight = metrics_.tmAscent + metrics_.tmDescent;
  metrics_.tmInternalLeading = std::max(0, metrics_.tmHeight - ppem_);
  metrics_.tmExternalLeading =
      std::max(0, scale(lineGap - ((winAscent + winDescent) - (ascender - descender))));
  metrics_.tmAveCharWidth = scale(os2.S16(2));
  metrics_.tmMaxCharWidth = scale(head.S16(40) - head.S16(36));
  metrics_.tmWeight = (request.style & fsBold) ? 700 : 400;
  metrics_.tmItalic = (request.style & fsItalic) ? 1 : 0;
  metrics_.tmUnderlined = (request.style & fsUnderline) ? 1 : 0;
  metrics_.tmStruckOut = (request.style & fsStrikeOut) ? 1 : 0;
  const bool fixedPitch = post.U32(12) != 0;
  metrics_.tmPitchAndFamily = static_cast<uint8_t>((fixedPitch ? 0 : 1) | 2 | 4);
  metrics_.tmCharSet = request.charset;

  // Glyph of every byte, then its advance: hdmx holds the hinted widths
  // GDI uses at the sizes it lists; other sizes scale the design widths.
  QString characters;
  for (int b = 0; b < 256; ++b) {
    const char32_t u = ByteToUnicode(static_cast<uint8_t>(b), codePage_);
    characters.append(QChar(static_cast<char16_t>(u)));
  }
  const QList<quint32> indexes = raw_.glyphIndexesForString(characters);
  for (int b = 0; b < 256 && b < indexes.size(); ++b) glyphs_[b] = indexes[b];

  Table hmtx(raw_.fontTable("hmtx"));
  Table maxp(raw_.fontTable("maxp"));
  Table hdmx(raw_.fontTable("hdmx"));
  const int metricCount = std::max<int>(1, hhea.U16(34));
  const int glyphCount = maxp.U16(4);
  int hdmxRecord = -1;
  const int hdmxRecordSize = static_cast<int>(hdmx.U32(4));
  if (!hdmx.Empty() && hdmxRecordSize > 0) {
    for (int i = 0, n = hdmx.U16(2); i < n; ++i) {
      const int offset = 8 + i * hdmxRecordSize;
      if (hdmx.U8(offset) == ppem_ && hdmx.Has(offset, 2 + glyphCount)) {
        hdmxRecord = offset;
        break;
      }
    }
  }
  for (int b = 0; b < 256; ++b) {
    const int glyph = static_cast<int>(glyphs_[b]);
    if (hdmxRecord >= 0 && glyph < glyphCount) {
      advances_[b] = hdmx.U8(hdmxRecord + 2 + glyph);
    } else {
      const int entry = std::min(glyph, metricCount - 1);
      advances_[b] = scale(hmtx.U16(entry * 4));
    }
  }

  const int underlineTop = -post.S16(8);  // post stores the top as y up
  underlineOffset_ = std::max(1, scale(underlineTop));
  underlineThickness_ = std::max(1, scale(post.S16(10)));
  strikeoutOffset_ = std::max(1, scale(os2.S16(28)));
  strikeoutThickness_ = std::max(1, scale(os2.S16(26)));
}

void QtFontFace::MeasureInk() const {
  // How far the ink of the face's glyphs reaches around the pen and the
  // baseline, with room for smoothing and hinting, but never past the em
  // around the text that a drawing has always covered: what a drawing
  // clears and blends is that much and no more. Found at the first drawing:
  // the glyphs' outlines cost memory that measuring alone never needs.
  int left = 0, right = 0, above = 0, below = 0;
  for (int b = 0; b < 256; ++b) {
    const QRectF ink = raw_.boundingRect(glyphs_[b]);
    if (ink.isEmpty()) continue;
    left = std::max(left, static_cast<int>(std::ceil(-ink.left())));
    right = std::max(right, static_cast<int>(std::ceil(ink.right())) - advances_[b]);
    above = std::max(above, static_cast<int>(std::ceil(-ink.top())));
    below = std::max(below, static_cast<int>(std::ceil(ink.bottom())));
  }
  const int kSmoothing = 2 + ppem_ / 8;
  ink_.left = std::min(ppem_, left + kSmoothing);
  ink_.right = std::min(ppem_, right + kSmoothing);
  ink_.above = std::min(metrics_.tmAscent + ppem_ / 2, above + kSmoothing);
  ink_.below = std::min(metrics_.tmDescent + ppem_ / 2, below + kSmoothing);
  ink_.measured = true;
}

void QtFontFace::DrawGlyphs(Bitmap& target, int x, int baselineY, std::string_view text,
                            TColor color, const TRect& clip) const {
  if (text.empty()) return;
  // Glyphs may reach past their advances (italics, overhangs), so the
  // coverage is drawn with the margins the face's ink needs. In 64 bits: a
  // long text near the end of the int range must not wrap.
  if (!ink_.measured) MeasureInk();
  const int64_t width = TextWidth(text);
  TRect box = ClampedRect(int64_t{x} - ink_.left, int64_t{baselineY} - ink_.above,
                          int64_t{x} + width + ink_.right, int64_t{baselineY} + ink_.below);
  box = Intersect(box, Intersect(clip, TRect{0, 0, target.Width(), target.Height()}));
  if (box.IsEmpty()) return;

  QImage own;
  QImage* coverage = CoverageImage(box.Width(), box.Height(), own);
  if (!coverage) return;  // no memory for it: the text is not drawn
  for (int py = 0; py < box.Height(); ++py)
    std::memset(coverage->scanLine(py), 0, static_cast<size_t>(box.Width()) * sizeof(QRgb));
  {
    // Only the glyphs within an em of the box: a long line drawn through a
    // narrow clip costs what shows.
    QVector<quint32> glyphIndexes;
    QVector<QPointF> positions;
    int64_t pen = x;
    for (unsigned char c : text) {
      const int64_t next = pen + advances_[c];
      if (next + ppem_ >= box.left && pen - ppem_ < box.right) {
        glyphIndexes.push_back(glyphs_[c]);
        positions.push_back(QPointF(static_cast<double>(pen - box.left), 0));
      }
      pen = next;
    }
    QGlyphRun run;
    run.setRawFont(raw_);
    run.setGlyphIndexes(glyphIndexes);
    run.setPositions(positions);
    QPainter painter(coverage);
    painter.setClipRect(0, 0, box.Width(), box.Height());
    painter.setPen(Qt::white);
    painter.drawGlyphRun(QPointF(0, baselineY - box.top), run);
  }

  const uint32_t raw = target.RawFromColor(color);
  const TColor rgb = ColorToRGB(color);
  const bool deep = target.Format() == TPixelFormat::pf32bit;
  const auto mix = [](int fg, int bg, int alpha) {
    return (fg * alpha + bg * (255 - alpha) + 127) / 255;
  };
  for (int py = 0; py < box.Height(); ++py) {
    const auto* line = reinterpret_cast<const QRgb*>(coverage->constScanLine(py));
    const int ty = box.top + py;
    uint32_t* row = deep ? target.Row32(ty) : nullptr;
    for (int px = 0; px < box.Width(); ++px) {
      const int alpha = qAlpha(line[px]);
      if (alpha == 0) continue;
      const int tx = box.left + px;
      if (!deep) {
        if (alpha >= 128) target.SetRaw(tx, ty, raw);
        continue;
      }
      if (alpha == 255) {
        row[tx] = raw;
        continue;
      }
      const uint32_t under = row[tx];  // 0x??RRGGBB
      row[tx] = static_cast<uint32_t>(mix(GetRValue(rgb), (under >> 16) & 0xFF, alpha) << 16 |
                                      mix(GetGValue(rgb), (under >> 8) & 0xFF, alpha) << 8 |
                                      mix(GetBValue(rgb), under & 0xFF, alpha));
    }
  }
}

}  // namespace platform
