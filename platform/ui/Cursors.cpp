#include "platform/ui/Cursors.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QImage>
#include <map>

namespace platform {

namespace {

// '#' black, '.' white, ' ' transparent; 32 columns, 32 rows.
const char* const kHand[32] = {
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "             ##                 ",
    "            #..#                ", "            #..#                ",
    "            #..#                ", "            #..#                ",
    "            #..###              ", "            #..#..###           ",
    "            #..#..#..##         ", "            #..#..#..#.#        ",
    "        ### #..#..#..#..#       ", "        #..##........#..#       ",
    "        #...#...........#       ", "         #..#...........#       ",
    "          #.............#       ", "          #.............#       ",
    "           #............#       ", "           #...........#        ",
    "            #..........#        ", "            #.........#         ",
    "             #........#         ", "             #........#         ",
    "             ##########         ", "                                ",
};

// Black with a white outline: seen on the page's white and on black text.
const char* const kIBeam[32] = {
    "                                ", "           ..........           ",
    "           .########.           ", "           ....##....           ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "              .##.              ",
    "              .##.              ", "           ....##....           ",
    "           .########.           ", "           ..........           ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
    "                                ", "                                ",
};

QCursor FromArt(const char* const art[32], int hotX, int hotY) {
  QImage bits(32, 32, QImage::Format_Mono), mask(32, 32, QImage::Format_Mono);
  // Index 1 must be black, the bitmaps' "on": a one-bit picture without a
  // colour table comes out inverted, an opaque square with the shape cut out.
  const QList<QRgb> blackIsOne{qRgb(255, 255, 255), qRgb(0, 0, 0)};
  bits.setColorTable(blackIsOne);
  mask.setColorTable(blackIsOne);
  bits.fill(0);
  mask.fill(0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const char c = art[y][x];
      if (c == ' ') continue;
      mask.setPixel(x, y, 1);
      bits.setPixel(x, y, c == '#' ? 1 : 0);
    }
  return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), hotX, hotY);
}

std::map<int, QCursor>& Registered() {
  static std::map<int, QCursor> cursors;
  return cursors;
}

int& ScreenCursorId() {
  static int id = crDefault;
  return id;
}

}  // namespace

QCursor HandCursor() {
  return FromArt(kHand, 13, 9);
}
QCursor IBeamCursor() {
  return FromArt(kIBeam, 15, 12);
}

void RegisterCursor(int id, const QCursor& cursor) {
  Registered()[id] = cursor;
}

void RegisterDocumentCursors() {
  RegisterCursor(crDocumentHand, HandCursor());
  RegisterCursor(crDocumentText, IBeamCursor());
}

QCursor CursorFor(int id) {
  const auto it = Registered().find(id);
  if (it != Registered().end()) return it->second;
  switch (id) {
    case crNone:
      return QCursor(Qt::BlankCursor);
    case crCross:
      return QCursor(Qt::CrossCursor);
    case crIBeam:
      return IBeamCursor();
    case crHourGlass:
      return QCursor(Qt::WaitCursor);
    case crHandPoint:
      return HandCursor();
    default:
      return QCursor(Qt::ArrowCursor);
  }
}

void SetScreenCursor(int id) {
  if (id == ScreenCursorId()) return;
  if (ScreenCursorId() != crDefault) QGuiApplication::restoreOverrideCursor();
  ScreenCursorId() = id;
  if (id != crDefault) QGuiApplication::setOverrideCursor(CursorFor(id));
}

int ScreenCursor() {
  return ScreenCursorId();
}

}  // namespace platform
