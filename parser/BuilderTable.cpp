// Tables: TABLE, TR, TD, TH and CAPTION become a table section whose cells
// and caption are filled by the body reader.
#include "parser/Builder.h"
#include "tables/Table.h"

namespace parser::builder {

base::TJustify Builder::GetCellAlign() const {
  if (const TAttribute* align = Find(AlignSy)) {
    const std::string a = LowerCut(align->StrValue, 9);
    if (a == "left") return base::jtLeft;
    if (a == "center") return base::jtCentre;
    if (a == "right") return base::jtRight;
  }
  return base::jtNone;
}

uint8_t Builder::GetVAlign(uint8_t fallback) const {
  if (const TAttribute* align = Find(VAlignSy)) {
    const std::string a = LowerCut(align->StrValue, 9);
    if (a == "top" || a == "baseline") return 0;
    if (a == "middle") return 1;
    if (a == "bottom") return 2;
  }
  return fallback;
}

// Entered on the start tag of TABLE; returns after its end tag, or at the
// end of input with what was read. Between cells no cell receives
// sections (cell_ is null, and so is section_).
void Builder::ReadTable(int level) {
  const NestingScope scope(*this);
  if (linkOpen_) EndLink();
  const size_t fontDepth = fonts_.size();
  FinishSection();
  layout::TCell* const enclosing = cell_;
  const base::TJustify savedJustify = justify_;
  const platform::TFontStyles savedStyles = style_.ExtraStyles;
  cell_ = nullptr;

  auto table =
      std::make_unique<tables::ThtmlTable>(&doc_, level, enclosing, justify_, Attributes());
  std::unique_ptr<tables::TCellList> row;
  std::unique_ptr<tables::TCellObj> cellObject;  // the open cell, until its row takes it
  base::TJustify rowJustify = base::jtNone;
  uint8_t rowVAlign = 1;

  // Fonts, a link and styles opened in a cell end with it.
  const auto endCellState = [&] {
    if (linkOpen_) EndLink();
    while (fonts_.size() > fontDepth) PopFont();
    style_.ExtraStyles = savedStyles;
  };
  const auto finishCell = [&] {
    if (!cell_) return;
    FinishSection();
    if (cellObject && cell_ == cellObject->Cell.get() && row) row->Add(std::move(cellObject));
    cell_ = nullptr;
  };
  const auto endRow = [&] {
    finishCell();
    table->Rows.Add(std::move(row));
  };
  const auto endTable = [&] {
    if (linkOpen_) EndLink();
    while (fonts_.size() > fontDepth) PopFont();
    finishCell();
    // Only after an error in the middle of text between the table's tags
    // is a cell still open here; its sections may hold anchors.
    if (cellObject && row) row->Add(std::move(cellObject));
    if (row) endRow();
    cell_ = enclosing;
    AddSection(std::move(table));
    style_.ExtraStyles = savedStyles;
    justify_ = savedJustify;
  };

  Next();
  try {
    while (Sym() != TableEndSy && Sym() != EofSymbol) {
      if (FlattenedTableTag()) {  // a body reader ended inside a deeper table
        FinishSection();
        Next();
        continue;
      }
      const Symbol s = Sym();
      switch (s) {
        case TextSymbol: {
          // Text outside every cell goes before the table.
          layout::TCell* const open = cell_;
          cell_ = enclosing;
          ReadBody(0, kCellTerms);
          FinishSection();
          cell_ = open;
          break;
        }
        case TDSy:
        case THSy:
          endCellState();
          finishCell();
          if (!row) {
            row = std::make_unique<tables::TCellList>();
            rowJustify = base::jtNone;
            rowVAlign = 1;
          }
          // The row's alignment comes before the default of TH.
          justify_ = rowJustify != base::jtNone ? rowJustify
                     : s == THSy                ? base::jtCentre
                                                : base::jtLeft;
          if (s == THSy)
            style_.ExtraStyles |= platform::fsBold;
          else
            style_.ExtraStyles &= ~platform::fsBold;
          if (const base::TJustify align = GetCellAlign(); align != base::jtNone) justify_ = align;
          cellObject =
              std::make_unique<tables::TCellObj>(&doc_, &Attributes(), GetVAlign(rowVAlign));
          cell_ = cellObject->Cell.get();
          scanner_.SkipBlanks();
          Next();
          // Set after the cell's first symbol: a P that starts the cell, or
          // follows its first run of text, adds no space.
          scanner_.ParagraphSpaceJustEmitted = true;
          ReadBody(0, kCellTerms);
          break;
        case TDEndSy:
        case THEndSy:
          finishCell();
          Next();
          break;
        case TRSy:
          if (linkOpen_) EndLink();
          if (row) endRow();
          row = std::make_unique<tables::TCellList>();
          rowJustify = GetCellAlign();
          rowVAlign = GetVAlign(1);
          row->ReadAttributes(Attributes());
          Next();
          break;
        case TREndSy:
          if (linkOpen_) EndLink();
          if (row) endRow();
          Next();
          break;
        case CaptionSy:
          endCellState();
          finishCell();
          if (const TAttribute* align = Find(AlignSy))
            table->CaptionOnTop = LowerCut(align->StrValue, align->StrValue.size()) != "bottom";
          cell_ = table->Caption->Cell.get();
          justify_ = base::jtCentre;
          Next();
          ReadBody(0, kCellTerms);
          FinishSection();
          cell_ = nullptr;
          if (Sym() == CaptionEndSy) Next();
          break;
        default:
          Next();
          break;
      }
    }
  } catch (...) {
    // What was read stays: the table joins its cell before the error goes
    // on to the entry, which finishes the document.
    if (cell_ == enclosing) {
      FinishSection();
      cell_ = nullptr;
    }
    endTable();
    throw;
  }
  endTable();
  Next();
}

}  // namespace parser::builder
