#pragma once

#include <array>
#include <memory>
#include <vector>

#include "base/HtmlUtils.h"
#include "layout/Cell.h"
#include "layout/SectionBase.h"
#include "platform/Region.h"

namespace tables {

using base::TExtent;

// A table has at most this many columns after its spans are expanded.
constexpr int kMaxColumns = 30;

// One cell of a row. A filler (ColSpan 0) stands in a column that a cell to
// its left or above covers.
class TCellObj {
 public:
  // Reads BGCOLOR, COLSPAN, ROWSPAN, WIDTH and HEIGHT; `vAlign` is 0 top,
  // 1 middle, 2 bottom.
  TCellObj(layout::TSectionList* document, const base::TAttributeList* attributes, uint8_t vAlign);
  // A filler cell covering `rowSpan` rows.
  static std::unique_ptr<TCellObj> Filler(layout::TSectionList* document, int rowSpan);

  int ColSpan = 1;
  int RowSpan = 1;
  TExtent SpanWidth = 0;
  TExtent SpanHeight = 0;
  TExtent ContentHeight = 0;
  TExtent SpecHeight = 0;
  TExtent YIndent = 0;
  uint8_t VAlign = 1;
  TExtent SpecWidth = 0;
  bool WidthIsPercent = false;
  std::unique_ptr<layout::TCell> Cell;
};

// One row: its cells, left to right.
class TCellList : public base::TFreeList<TCellObj> {
 public:
  TExtent RowHeight = 0;
  TExtent RowSpanHeight = 0;
  bool HasBackground = false;
  platform::TColor BkColor = 0;

  // The row's own attribute: BGCOLOR.
  void ReadAttributes(const base::TAttributeList& attributes);
  // Places a cell at `index` (the grid preparation's fillers).
  void InsertCell(int index, std::unique_ptr<TCellObj> cell) { Insert(index, std::move(cell)); }
};

// A table section: rows of cells, each cell a TCell of its own sections,
// and a caption above or below.
class ThtmlTable : public layout::TSectionBase {
 public:
  // `justify` is the alignment in force where the table starts; `listLevel`
  // the list nesting level there.
  ThtmlTable(layout::TSectionList* document, int listLevel, layout::TCell* enclosingCell,
             base::TJustify justify, const base::TAttributeList& attributes);
  ~ThtmlTable() override;

  base::TFreeList<TCellList> Rows;
  std::unique_ptr<TCellObj> Caption;
  bool Initialized = false;
  bool Border = false;
  bool CaptionOnTop = true;
  TExtent TableIndent = 0;
  TExtent Indent = 0;
  base::TJustify Justify = base::jtNone;
  bool Float = false;
  int NumCols = 0;
  TExtent TableWidth = 0;
  TExtent OuterWidth = 0;
  TExtent SpecWidth = 0;
  bool WidthIsPercent = false;
  bool HasPixelCellWidths = false;
  TExtent CaptionHeight = 0;
  TExtent BodyHeight = 0;
  TExtent CellPadding = 1;
  TExtent CellSpacing = 2;
  TExtent CaptionMinWidth = 0;
  std::array<TExtent, kMaxColumns + 1> Widths{};
  std::array<int, kMaxColumns + 1> Percents{};
  TExtent HSpace = 5;
  int ListLevel = 0;
  TExtent DrawX = 0;
  TExtent DrawY = 0;
  bool HasBackground = false;
  bool HasBorderColor = false;
  platform::TColor BkColor = 0;
  platform::TColor BorderColor = 0;
  layout::TCell* EnclosingCell = nullptr;

  const char* ClassName() const override { return "ThtmlTable"; }

  void CopySelection() override;
  TExtent Layout(platform::TCanvas& canvas, TExtent y, layout::IndentManager& margins,
                 TExtent& maxWidth, int& position) override;
  TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip,
               layout::IndentManager& margins, TExtent x, TExtent y) override;
  bool GetUrlAt(platform::TCanvas& canvas, int x, int y, std::unique_ptr<base::TUrlTarget>& url,
                layout::TFormControlObj*& formControl) override;
  bool GetObjectAt(int x, int y, layout::TImageObj*& object, int& insideX, int& insideY) override;
  int PointToPos(platform::TCanvas& canvas, int x, int y, int& caretX, int& caretY,
                 int& caretHeight, bool& insideText, layout::TCell*& cell) override;
  int FindText(int start, std::string_view text, bool matchCase) override;
  bool PosToPoint(platform::TCanvas& canvas, int position, int& x, int& y) override;
  bool GetCharAt(int position, char& ch, layout::TSectionBase*& section) override;
  void RefreshFonts() override;
  void GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest) override;

 private:
  // Column measurement results (31 entries, as Widths).
  struct Measure {
    std::array<TExtent, kMaxColumns + 1> Min{};
    std::array<TExtent, kMaxColumns + 1> Max{};
    TExtent TotalMin = 0;
    TExtent TotalMax = 0;
  };
  void PrepareGrid();
  void MeasureFixed(platform::TCanvas& canvas, Measure& m);
  void MeasurePercent(platform::TCanvas& canvas, TExtent w, Measure& m);
  void FitToWidth(TExtent w, const Measure& m);
  void SpreadByPercents(TExtent w, Measure& m);
  TExtent Pad() const { return 2 * CellPadding + CellSpacing; }
  TExtent DrawRow(platform::TCanvas& canvas, const platform::TRect& clip, TExtent clipWidth,
                  TCellList& row, TExtent y, platform::Region* borderRegion);
  // Where each row starts below the body's top, and the lowest bottom of
  // it and the rows above (their spans included), from the last layout:
  // a paint starts at the first row that reaches the clip.
  std::vector<TExtent> rowTops_;
  std::vector<TExtent> rowReach_;
  // The body cell at (x, y relative to the body's top), with the point
  // inside its content; none in the spacing outside every cell.
  TCellObj* CellAt(int x, int y, int& insideY);
};

}  // namespace tables
