#include "platform/QtFontFace.h"

#include <QFont>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "platform/CodePage.h"
#include "platform/GuiApplication.h"
#include "platform/MulDiv.h"

namespace platform {

namespace {

constexpr int kDefaultPpem = 16;
constexpr int kMaxPpem = 2048;

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

void QtFontFace::DrawGlyphs(Bitmap& target, int x, int baselineY, std::string_view text,
                            TColor color, const TRect& clip) const {
  if (text.empty()) return;
  // Glyphs may reach past their advances (italics, overhangs), so the
  // coverage is drawn with a margin of an em around the text. In 64 bits:
  // a long text near the end of the int range must not wrap.
  const int64_t width = TextWidth(text);
  TRect box =
      ClampedRect(int64_t{x} - ppem_, int64_t{baselineY} - metrics_.tmAscent - ppem_ / 2,
                  int64_t{x} + width + ppem_, int64_t{baselineY} + metrics_.tmDescent + ppem_ / 2);
  box = Intersect(box, Intersect(clip, TRect{0, 0, target.Width(), target.Height()}));
  if (box.IsEmpty()) return;

  QImage coverage(box.Width(), box.Height(), QImage::Format_ARGB32_Premultiplied);
  if (coverage.isNull()) return;  // no memory for it: the text is not drawn
  coverage.fill(Qt::transparent);
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
    QPainter painter(&coverage);
    painter.setPen(Qt::white);
    painter.drawGlyphRun(QPointF(0, baselineY - box.top), run);
  }

  const uint32_t raw = target.RawFromColor(color);
  const TColor rgb = ColorToRGB(color);
  for (int py = 0; py < box.Height(); ++py) {
    const auto* line = reinterpret_cast<const QRgb*>(coverage.constScanLine(py));
    for (int px = 0; px < box.Width(); ++px) {
      const int alpha = qAlpha(line[px]);
      if (alpha == 0) continue;
      const int tx = box.left + px, ty = box.top + py;
      if (target.Format() != TPixelFormat::pf32bit || alpha == 255) {
        if (alpha >= 128) target.SetRaw(tx, ty, raw);
        continue;
      }
      const TColor under = target.ColorFromRaw(target.GetRaw(tx, ty));
      const auto mix = [alpha](int fg, int bg) {
        return (fg * alpha + bg * (255 - alpha) + 127) / 255;
      };
      target.SetRaw(tx, ty,
                    ColorToRaw32(RGB(mix(GetRValue(rgb), GetRValue(under)),
                                     mix(GetGValue(rgb), GetGValue(under)),
                                     mix(GetBValue(rgb), GetBValue(under)))));
    }
  }
}

}  // namespace platform
