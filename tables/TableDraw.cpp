// Tables on the screen: backgrounds, contents, the border colour and the 3D
// frames; and what lies at a point or at a character position.
#include <algorithm>
#include <optional>

#include "layout/Frame3D.h"
#include "layout/SectionList.h"
#include "platform/Geometry.h"
#include "tables/Table.h"

namespace tables {

namespace {

// The caption first when it is on top, then every cell row by row, left to
// right, then the caption when it is below: the order of the text.
template <typename Visit>
bool InTextOrder(ThtmlTable& table, Visit visit) {
  if (table.CaptionOnTop && visit(*table.Caption->Cell)) return true;
  for (const auto& row : table.Rows)
    for (const auto& cell : *row)
      if (visit(*cell->Cell)) return true;
  return !table.CaptionOnTop && visit(*table.Caption->Cell);
}

}  // namespace

TExtent ThtmlTable::Draw(platform::TCanvas& canvas, const platform::TRect& clip,
                         layout::IndentManager& margins, TExtent x, TExtent y) {
  const TExtent scroll = Owner ? Owner->YOffset : TExtent(0);
  if (y + DrawnHeight - scroll < clip.top || y - scroll >= clip.bottom) return y + Height;
  DrawX = x + TableIndent;
  DrawY = y;
  const TExtent clipWidth = margins.ClipWidth;
  // The rows start below the caption's laid-out height, which counts a
  // float inside the caption that its sections' heights do not.
  TExtent y2 = y;
  if (CaptionOnTop) {
    Caption->Cell->Draw(canvas, clip, clipWidth, x + Indent, y);
    y2 += CaptionHeight;
  }
  std::optional<platform::Region> borderRegion;
  if (HasBorderColor)
    borderRegion = platform::Region::FromRect(
        {DrawX, std::max<TExtent>(clip.top - 1, y2 - scroll), DrawX + TableWidth,
         std::min<TExtent>(clip.bottom, y2 + BodyHeight - scroll)});
  // Only the rows that meet the clip: from the first whose reach gets
  // there to the first that starts below it.
  const int rowCount = Rows.Count();
  const bool indexed = rowTops_.size() == static_cast<size_t>(rowCount);
  int first = 0;
  if (indexed)
    first = static_cast<int>(
        std::lower_bound(rowReach_.begin(), rowReach_.end(), scroll + clip.top - y2) -
        rowReach_.begin());
  TExtent next = y2;
  for (int k = first; k < rowCount; ++k) {
    const TExtent rowY = indexed ? y2 + rowTops_[k] : next;
    if (indexed && rowY - scroll >= clip.bottom) break;
    next =
        DrawRow(canvas, clip, clipWidth, *Rows[k], rowY, borderRegion ? &*borderRegion : nullptr);
  }
  const TExtent rowY = y2 + BodyHeight - CellSpacing;
  if (borderRegion) canvas.FillRgn(*borderRegion, BorderColor | platform::kPaletteRelative);
  if (Border)
    layout::DrawFrame3D(Owner, canvas, DrawX, true, rowY + CellSpacing - scroll - 1,
                        DrawX + TableWidth - 1, y2 - scroll);
  if (!CaptionOnTop) Caption->Cell->Draw(canvas, clip, clipWidth, x + Indent, y + BodyHeight);
  return y + Height;
}

TExtent ThtmlTable::DrawRow(platform::TCanvas& canvas, const platform::TRect& clip,
                            TExtent clipWidth, TCellList& row, TExtent y,
                            platform::Region* borderRegion) {
  const TExtent scroll = Owner ? Owner->YOffset : TExtent(0);
  const TExtent sy = y - scroll;
  const TExtent next = y + row.RowHeight;
  if (sy + row.RowSpanHeight < clip.top || sy >= clip.bottom) return next;
  TExtent cx = DrawX;
  for (int i = 0; i < row.Count(); ++i) {
    TCellObj& cell = *row[i];
    if (cell.Cell->Count() > 0) {
      const platform::TRect area{cx + CellSpacing, sy + CellSpacing, cx + cell.SpanWidth,
                                 sy + cell.SpanHeight};
      if (cell.Cell->BkGnd) {
        canvas.Brush.Color = cell.Cell->BkColor | platform::kPaletteRelative;
        canvas.Brush.Style = platform::bsSolid;
        canvas.Brush.Pattern = nullptr;
        canvas.FillRect(area);
      }
      cell.Cell->Draw(canvas, clip, clipWidth, cx + CellSpacing + CellPadding,
                      y + CellSpacing + CellPadding + cell.YIndent);
      if (Border)
        layout::DrawFrame3D(Owner, canvas, cx + CellSpacing - 1, false, sy + cell.SpanHeight,
                            cx + cell.SpanWidth, sy + CellSpacing - 1);
      if (borderRegion) {
        const int grow = Border ? 1 : 0;
        *borderRegion = platform::Region::Combine(
            *borderRegion,
            platform::Region::FromRect(
                {area.left - grow, area.top - grow, area.right + grow, area.bottom + grow}),
            platform::RGN_DIFF);
      }
    }
    if (i <= kMaxColumns) cx += Widths[i];
  }
  return next;
}

// ---- Hit tests

TCellObj* ThtmlTable::CellAt(int x, int y, int& insideY) {
  // Rows whose reach ends at or above y cannot hold it, nor can rows that
  // start below it.
  const int rowCount = Rows.Count();
  const bool indexed = rowTops_.size() == static_cast<size_t>(rowCount);
  int k = indexed ? static_cast<int>(std::upper_bound(rowReach_.begin(), rowReach_.end(), y) -
                                     rowReach_.begin())
                  : 0;
  TExtent rowTop = indexed && k < rowCount ? rowTops_[k] : TExtent(0);
  for (; k < rowCount && rowTop <= y; ++k) {
    const TCellList& row = *Rows[k];
    TExtent cx = DrawX;
    for (int i = 0; i < row.Count(); ++i) {
      TCellObj* cell = row[i];
      if (cx <= x && x < cx + cell->SpanWidth && rowTop <= y && y < rowTop + cell->SpanHeight) {
        insideY = y - rowTop - CellSpacing - CellPadding - cell->YIndent;
        return cell;
      }
      if (i <= kMaxColumns) cx += Widths[i];
    }
    rowTop += row.RowHeight;
  }
  return nullptr;
}

namespace {

// Where a point relative to the table's top lies: the caption or the body,
// with y relative to that part, or neither.
struct Part {
  layout::TCell* caption = nullptr;
  bool body = false;
  TExtent y = 0;
  TExtent offset = 0;  // what was taken off y
};

Part PartAt(ThtmlTable& table, int x, int y) {
  const TExtent captionLeft = table.DrawX + table.Indent - table.TableIndent;
  const bool inBody = table.DrawX <= x && x <= table.DrawX + table.TableWidth;
  const bool inCaption = captionLeft <= x && x <= captionLeft + table.OuterWidth;
  Part part;
  if (table.CaptionOnTop) {
    if (y < table.CaptionHeight) {
      if (inCaption) part.caption = table.Caption->Cell.get();
      part.y = y;
    } else {
      part.body = inBody;
      part.offset = table.CaptionHeight;
      part.y = y - table.CaptionHeight;
    }
  } else if (y < table.BodyHeight) {
    part.body = inBody;
    part.y = y;
  } else {
    if (inCaption) part.caption = table.Caption->Cell.get();
    part.offset = table.BodyHeight;
    part.y = y - table.BodyHeight;
  }
  return part;
}

}  // namespace

bool ThtmlTable::GetUrlAt(platform::TCanvas& canvas, int x, int y,
                          std::unique_ptr<base::TUrlTarget>& url,
                          layout::TFormControlObj*& formControl) {
  url.reset();
  formControl = nullptr;
  if (y > DrawnHeight) return false;
  const Part part = PartAt(*this, x, y);
  if (part.caption) return part.caption->GetUrlAt(canvas, x, part.y, url, formControl);
  if (!part.body) return false;
  int insideY = 0;
  TCellObj* cell = CellAt(x, part.y, insideY);
  return cell && cell->Cell->GetUrlAt(canvas, x, insideY, url, formControl);
}

bool ThtmlTable::GetObjectAt(int x, int y, layout::TImageObj*& object, int& insideX, int& insideY) {
  object = nullptr;
  if (y > DrawnHeight) return false;
  const Part part = PartAt(*this, x, y);
  if (part.caption) return part.caption->GetObjectAt(x, part.y, object, insideX, insideY);
  if (!part.body) return false;
  int cellY = 0;
  TCellObj* cell = CellAt(x, part.y, cellY);
  return cell && cell->Cell->GetObjectAt(x, cellY, object, insideX, insideY);
}

int ThtmlTable::PointToPos(platform::TCanvas& canvas, int x, int y, int& caretX, int& caretY,
                           int& caretHeight, bool& insideText, layout::TCell*& cell) {
  if (y > Height) return -1;
  const Part part = PartAt(*this, x, y);
  if (part.caption) {
    const int p =
        part.caption->PointToPos(canvas, x, part.y, caretX, caretY, caretHeight, insideText, cell);
    caretY = part.offset + caretY;
    return p;
  }
  if (!part.body) return -1;
  int insideY = 0;
  TCellObj* hit = CellAt(x, part.y, insideY);
  if (!hit) return -1;
  const int p =
      hit->Cell->PointToPos(canvas, x, insideY, caretX, caretY, caretHeight, insideText, cell);
  caretY = part.offset + caretY + part.y - insideY;
  return p;
}

// ---- Text operations

void ThtmlTable::CopySelection() {
  InTextOrder(*this, [](layout::TCell& c) {
    c.CopySelection();
    return false;
  });
}

int ThtmlTable::FindText(int start, std::string_view text, bool matchCase) {
  int found = -1;
  InTextOrder(*this, [&](layout::TCell& c) {
    found = c.FindText(start, text, matchCase);
    return found >= 0;
  });
  return found;
}

bool ThtmlTable::PosToPoint(platform::TCanvas& canvas, int position, int& x, int& y) {
  if (Length == 0 || position > int64_t{StartPos} + Length) return false;
  return InTextOrder(*this, [&](layout::TCell& c) { return c.PosToPoint(canvas, position, x, y); });
}

bool ThtmlTable::GetCharAt(int position, char& ch, layout::TSectionBase*& section) {
  if (Length == 0 || position < StartPos || position > int64_t{StartPos} + Length) return false;
  if (Caption->Cell->GetCharAt(position, ch, section)) return true;
  for (const auto& row : Rows)
    for (const auto& cell : *row)
      if (cell->Cell->GetCharAt(position, ch, section)) return true;
  return false;
}

void ThtmlTable::RefreshFonts() {
  for (const auto& row : Rows)
    for (const auto& cell : *row) cell->Cell->RefreshFonts();
  Caption->Cell->RefreshFonts();
}

}  // namespace tables
