#include "viewer/PaintPanel.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <stdexcept>

#include "platform/Raster.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursors.h"
#include "viewer/HtmlView.h"

namespace viewer {

namespace {

// The error a paint raises when there is no memory for its bitmap.
class EOutOfResources : public std::runtime_error {
 public:
  EOutOfResources() : std::runtime_error("Out of Resources") {}
};

}  // namespace

TPaintPanel::TPaintPanel(ThtmlView* viewer) : QWidget(viewer), Viewer(viewer) {
  // The panel paints every pixel itself; the window system erases nothing.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
}

void TPaintPanel::SetColor(platform::TColor color) {
  Color = color;
  update();
}

void TPaintPanel::SetCursorId(int id) {
  if (id == cursorId_) return;
  cursorId_ = id;
  setCursor(platform::CursorFor(id));
}

void TPaintPanel::paintEvent(QPaintEvent* event) {
  QPainter screen(this);
  platform::TApplication::Instance().RunHandler([&] { Paint(event->rect(), screen); });
}

void TPaintPanel::Paint(const QRect& area, QPainter& screen) {
  if (Viewer->Formatting() || area.isEmpty()) return;
  // One bitmap of the area's size; panel coordinates through the origin.
  platform::Bitmap memory;
  try {
    memory = platform::Bitmap(area.width(), area.height());
  } catch (const std::exception&) {
    throw EOutOfResources();
  }
  platform::TCanvas canvas(memory);
  canvas.SetWindowOrg(area.left(), area.top());
  const platform::TRect clip{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
  // The erase a width change asks for is this paint's own background.
  EraseNext = false;
  DrawBackground(canvas, clip, false);
  MemCanvas = &canvas;
  try {
    if (OnPaint) OnPaint(*this);
  } catch (...) {
    MemCanvas = nullptr;
    throw;
  }
  MemCanvas = nullptr;
  // The bitmap's 0x00RRGGBB words are what Qt's RGB32 format holds, but for
  // the top byte, which Qt copies as it is: where the window has an alpha
  // channel (a shape made of transparency) 0 would make the page clear.
  if (window()->testAttribute(Qt::WA_TranslucentBackground))
    for (int y = 0; y < memory.Height(); ++y) {
      uint32_t* row = memory.Row32(y);
      for (int x = 0; x < memory.Width(); ++x) row[x] |= 0xFF000000u;
    }
  const QImage image(memory.Scanline(0), memory.Width(), memory.Height(), memory.Stride(),
                     QImage::Format_RGB32);
  screen.drawImage(area.topLeft(), image);
}

void TPaintPanel::DrawBackground(platform::TCanvas& canvas, const platform::TRect& r,
                                 bool erasing) {
  const int y0 = Viewer->VBar->Position32;
  const int x0 = Viewer->HBar->Position();
  canvas.Brush.Color = Color | platform::kPaletteRelative;
  canvas.Brush.Style = platform::bsSolid;
  canvas.Brush.Pattern = nullptr;
  layout::TSectionList& document = Viewer->Document();
  const platform::Bitmap* tile = document.ShowImages ? document.BackgroundBitmap.get() : nullptr;
  if (!tile || tile->Empty()) {
    canvas.FillRect(r);
    return;
  }
  const int bw = tile->Width(), bh = tile->Height();
  // The first tile at or right of and below the area's corner, placed so
  // that the tiles scroll with the page (in 64 bits: the area may lie far
  // from the origin).
  int64_t tx = -(x0 % bw), ty = -(y0 % bh);
  if (tx < r.left) tx += (r.left - tx + bw - 1) / bw * bw;
  if (ty < r.top) ty += (r.top - ty + bh - 1) / bh * bh;
  const bool oneTile = !erasing && ty + bh <= r.bottom &&
                       (tx + bw <= r.right || (tx == r.left && bw >= r.right - r.left));
  try {
    if (oneTile) canvas.Draw(static_cast<int>(tx), static_cast<int>(ty), *tile);
    for (int64_t y = ty - bh; y < r.bottom || y == ty - bh; y += bh) {
      for (int64_t x = tx - bw; x < r.right || x == tx - bw; x += bw) {
        if (oneTile)
          canvas.BitBlt(static_cast<int>(x), static_cast<int>(y), bw, bh, canvas,
                        static_cast<int>(tx), static_cast<int>(ty), platform::SRCCOPY);
        else
          canvas.BitBlt(static_cast<int>(x), static_cast<int>(y), bw, bh, *tile, 0, 0,
                        platform::SRCCOPY);
      }
    }
  } catch (const std::exception&) {
    canvas.FillRect(r);
  }
}

void TPaintPanel::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(*event);
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(*event);
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (OnMouseUp) OnMouseUp(*event);
}

void TPaintPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (OnDoubleClick) OnDoubleClick(*event);
}

}  // namespace viewer
