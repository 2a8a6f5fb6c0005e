// Tables: reading their attributes, preparing the grid, measuring columns
// and laying rows and cells out.
#include "tables/Table.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "base/ParseColor.h"
#include "layout/SectionList.h"
#include "platform/MulDiv.h"

namespace tables {

using platform::MulDiv;

namespace {

bool HasPercent(const base::TAttribute& a) {
  return a.StrValue.find('%') != std::string::npos;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

void ReadBackground(const base::TAttribute& a, bool& has, platform::TColor& color) {
  const std::optional<platform::TColor> parsed = base::ParseColor(a.StrValue);
  has = parsed.has_value();
  if (parsed) color = *parsed;
}

[[noreturn]] void TooManyColumns() {
  throw layout::EProcessError("Table has too many Columns");
}

}  // namespace

// ---- Cells and rows

TCellObj::TCellObj(layout::TSectionList* document, const base::TAttributeList* attributes,
                   uint8_t vAlign)
    : VAlign(vAlign), Cell(std::make_unique<layout::TCell>(document)) {
  if (!attributes) return;
  for (const auto& a : *attributes) {
    switch (a->Symbol) {
      case base::BGColorSy:
        ReadBackground(*a, Cell->BkGnd, Cell->BkColor);
        break;
      case base::ColSpanSy:
        if (a->IntValue > 1) ColSpan = a->IntValue;
        break;
      case base::RowSpanSy:
        if (a->IntValue > 1) RowSpan = a->IntValue;
        break;
      case base::WidthSy:
        if (HasPercent(*a)) {
          if (a->IntValue >= 1 && a->IntValue <= 100) {
            SpecWidth = a->IntValue * 10;
            WidthIsPercent = true;
          }
        } else if (a->IntValue > 0) {
          SpecWidth = a->IntValue;
          WidthIsPercent = false;
        }
        break;
      case base::HeightSy:
        SpecHeight = a->IntValue;
        break;
      default:
        break;
    }
  }
}

std::unique_ptr<TCellObj> TCellObj::Filler(layout::TSectionList* document, int rowSpan) {
  auto filler = std::make_unique<TCellObj>(document, nullptr, 1);
  filler->ColSpan = 0;
  filler->RowSpan = rowSpan;
  return filler;
}

void TCellList::ReadAttributes(const base::TAttributeList& attributes) {
  for (const auto& a : attributes)
    if (a->Symbol == base::BGColorSy) ReadBackground(*a, HasBackground, BkColor);
}

// ---- The table

ThtmlTable::ThtmlTable(layout::TSectionList* document, int listLevel, layout::TCell* enclosingCell,
                       base::TJustify justify, const base::TAttributeList& attributes)
    : Caption(std::make_unique<TCellObj>(document, nullptr, 1)),
      Justify(justify),
      ListLevel(listLevel),
      EnclosingCell(enclosingCell) {
  Owner = document;
  for (const auto& a : attributes) {
    switch (a->Symbol) {
      case base::AlignSy: {
        const std::string value = Lower(a->StrValue);
        if (value == "center") {
          Justify = base::jtCentre;
        } else if (value == "left") {
          Justify = base::jtLeft;
          Float = true;
        } else if (value == "right") {
          Justify = base::jtRight;
          Float = true;
        }
        break;
      }
      case base::BGColorSy:
        ReadBackground(*a, HasBackground, BkColor);
        break;
      case base::BorderSy:
        Border = a->IntValue > 0;
        break;
      case base::CellPaddingSy:
        if (a->IntValue >= 0) CellPadding = std::min(a->IntValue, 50);
        break;
      case base::CellSpacingSy:
        if (a->IntValue >= 0) CellSpacing = std::min(a->IntValue, 40);
        break;
      case base::WidthSy:
        if (HasPercent(*a)) {
          if (a->IntValue >= 1 && a->IntValue <= 100) SpecWidth = a->IntValue * 10;
          WidthIsPercent = true;
        } else {
          SpecWidth = a->IntValue;
        }
        break;
      case base::BorderColorSy:
        ReadBackground(*a, HasBorderColor, BorderColor);
        break;
      case base::HSpaceSy:
        HSpace = static_cast<int>(std::min<int64_t>(20, std::llabs(int64_t{a->IntValue})));
        break;
      default:
        break;
    }
  }
  if (Border) CellSpacing = std::max<TExtent>(1, CellSpacing + 2);
  // Only a table at the left or right floats: ALIGN=RIGHT followed by
  // ALIGN=CENTER would otherwise float a centred table that reserves no
  // room, and the text after it would be drawn over it.
  Float = Float && (Justify == base::jtLeft || Justify == base::jtRight);
}

ThtmlTable::~ThtmlTable() = default;

// ---- Grid preparation

void ThtmlTable::PrepareGrid() {
  // The colour of the enclosing cell reaches a table without its own on
  // every measurement.
  if (!HasBackground && EnclosingCell && EnclosingCell->BkGnd) {
    HasBackground = true;
    BkColor = EnclosingCell->BkColor;
  }
  if (Initialized) return;
  NumCols = 0;
  for (const auto& row : Rows) {
    for (const auto& cell : *row)
      if (row->HasBackground && !cell->Cell->BkGnd) {
        cell->Cell->BkGnd = true;
        cell->Cell->BkColor = row->BkColor;
      }
    for (int i = row->Count() - 1; i >= 0; --i) {
      TCellObj* cell = (*row)[i];
      if (cell->SpecWidth > 0 && !cell->WidthIsPercent) HasPixelCellWidths = true;
      if (HasBackground && !cell->Cell->BkGnd) {
        cell->Cell->BkGnd = true;
        cell->Cell->BkColor = BkColor;
      }
      if (cell->ColSpan > 1) {
        // A row can never hold more than the column limit: stop before
        // making the fillers of a huge span.
        if (int64_t{row->Count()} + cell->ColSpan - 1 > kMaxColumns) TooManyColumns();
        for (int f = 1; f < cell->ColSpan; ++f)
          row->InsertCell(i + 1, TCellObj::Filler(Owner, cell->RowSpan));
      }
    }
    NumCols = std::max(NumCols, row->Count());
  }
  const int rowCount = Rows.Count();
  for (int i = 0; i < NumCols; ++i) {
    for (int j = 0; j < rowCount; ++j) {
      TCellList& row = *Rows[j];
      if (i >= row.Count()) continue;
      TCellObj* cell = row[i];
      cell->RowSpan = std::min(cell->RowSpan, rowCount - j);
      if (cell->RowSpan <= 1) continue;
      for (int k = j + 1; k < j + cell->RowSpan; ++k) {
        TCellList& below = *Rows[k];
        // Rows only grow here; one past the limit fails as it would after.
        if (std::max(below.Count(), i) + 1 > kMaxColumns) TooManyColumns();
        while (below.Count() < i) below.Add(TCellObj::Filler(Owner, 0));
        below.InsertCell(i, TCellObj::Filler(Owner, 0));
      }
    }
  }
  // Cells the fillers pushed right of the columns handled above keep
  // their spans; those end at the last row too, so that row heights make
  // room for every cell's content.
  for (int j = 0; j < rowCount; ++j)
    for (const auto& cell : *Rows[j]) cell->RowSpan = std::min(cell->RowSpan, rowCount - j);
  NumCols = 0;
  for (const auto& row : Rows) NumCols = std::max(NumCols, row->Count());
  if (NumCols > kMaxColumns) TooManyColumns();
  Initialized = true;
}

// ---- Column measurement

namespace {

// The cells of span `s`, row by row, left to right, with their column.
template <typename Visit>
bool ForCellsOfSpan(const base::TFreeList<TCellList>& rows, int s, Visit visit) {
  bool wider = false;
  for (const auto& row : rows)
    for (int i = 0; i < row->Count(); ++i) {
      TCellObj* cell = (*row)[i];
      if (cell->ColSpan > s) wider = true;
      if (cell->ColSpan == s) visit(*cell, i);
    }
  return wider;
}

TExtent Sum(const std::array<TExtent, kMaxColumns + 1>& values, int from, int count) {
  TExtent total = 0;
  for (int c = from; c < from + count; ++c) total += values[c];
  return total;
}

}  // namespace

void ThtmlTable::MeasureFixed(platform::TCanvas& canvas, Measure& m) {
  m = Measure{};
  bool more = true;
  for (int s = 1; more; ++s) {
    more = ForCellsOfSpan(Rows, s, [&](TCellObj& cell, int i) {
      TExtent cmin = 0, cmax = 0;
      cell.Cell->GetMinMaxWidth(canvas, cmin, cmax);
      cmin += Pad();
      cmax += Pad();
      if (s == 1) {
        if (cell.SpecWidth > 0 && !cell.WidthIsPercent) {
          cmin = std::max(cmin, cell.SpecWidth + Pad());
          cmax = std::max(cmin, cell.SpecWidth + Pad());
        }
        m.Min[i] = std::max(m.Min[i], cmin);
        m.Max[i] = std::max(m.Max[i], cmax);
        return;
      }
      const TExtent sumMin = Sum(m.Min, i, s), sumMax = Sum(m.Max, i, s);
      for (int c = i; c < i + s; ++c) {
        if (sumMin < cmin)
          m.Min[c] = sumMin == 0 ? cmin / s : m.Min[c] + MulDiv(m.Min[c], cmin - sumMin, sumMin);
        if (sumMax < cmax)
          m.Max[c] = sumMax == 0 ? cmax / s : m.Max[c] + MulDiv(m.Max[c], cmax - sumMax, sumMax);
      }
    });
  }
  m.TotalMin = Sum(m.Min, 0, NumCols);
  m.TotalMax = Sum(m.Max, 0, NumCols);
}

void ThtmlTable::MeasurePercent(platform::TCanvas& canvas, TExtent w, Measure& m) {
  m = Measure{};
  Percents.fill(0);
  bool more = true;
  for (int s = 1; more; ++s) {
    more = ForCellsOfSpan(Rows, s, [&](TCellObj& cell, int i) {
      TExtent cmin = 0, cmax = 0;
      cell.Cell->GetMinMaxWidth(canvas, cmin, cmax);
      cmin += Pad();
      cmax += Pad();
      int p = 0;
      if (cell.WidthIsPercent)
        p = cell.SpecWidth;
      else if (cell.SpecWidth > 0 && w > 0)
        p = std::min(1000, MulDiv(cell.SpecWidth, 1000, w));
      if (s == 1) {
        m.Max[i] = std::max(m.Max[i], cmax);
        m.Min[i] = std::max(m.Min[i], cmin);
        Percents[i] = std::max(Percents[i], p);
        return;
      }
      const TExtent sumMin = Sum(m.Min, i, s), sumMax = Sum(m.Max, i, s);
      int pctSum = 0, unspec = 0;
      for (int c = i; c < i + s; ++c) {
        if (Percents[c] > 0)
          pctSum += Percents[c];
        else
          ++unspec;
      }
      const TExtent dMin = cmin - sumMin, dMax = cmax - sumMax;
      if (p > 0 || pctSum > 0) {
        const int share = unspec > 0 ? std::max(0, (p - pctSum) / unspec) : 0;
        if (unspec == 0 && pctSum < p) {
          for (int c = i; c < i + s; ++c) Percents[c] = MulDiv(Percents[c], p, pctSum);
        } else if (share > 0) {
          for (int c = i; c < i + s; ++c)
            if (Percents[c] == 0) Percents[c] = share;
        }
        const int pctTotal = std::max(pctSum, p);
        if (dMin > 0) {
          if (unspec == 0) {
            for (int c = i; c < i + s; ++c)
              m.Min[c] = std::max<TExtent>(m.Min[c], MulDiv(cmin, Percents[c], pctTotal));
          } else {
            TExtent unspecMaxSum = 0;
            for (int c = i; c < i + s; ++c)
              if (Percents[c] == 0) unspecMaxSum += m.Max[c];
            for (int c = i; c < i + s; ++c)
              if (Percents[c] == 0) m.Min[c] += MulDiv(dMin, m.Max[c], unspecMaxSum);
          }
        }
        if (dMax > 0) {
          if (unspec == 0) {
            for (int c = i; c < i + s; ++c)
              m.Max[c] = std::max<TExtent>(m.Max[c], MulDiv(cmax, Percents[c], pctTotal));
          } else {
            for (int c = i; c < i + s; ++c)
              if (Percents[c] == 0) m.Max[c] += dMax / unspec;
          }
        }
      } else {
        for (int c = i; c < i + s; ++c) {
          if (dMin > 0) m.Min[c] = sumMin == 0 ? cmin / s : TExtent(MulDiv(cmin, m.Min[c], sumMin));
          if (dMax > 0) m.Max[c] = sumMax == 0 ? cmax / s : TExtent(MulDiv(cmax, m.Max[c], sumMax));
        }
      }
    });
  }
  m.TotalMin = Sum(m.Min, 0, NumCols);
  m.TotalMax = Sum(m.Max, 0, NumCols);
}

void ThtmlTable::GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest) {
  PrepareGrid();
  Measure m;
  if (!HasPixelCellWidths || SpecWidth != 0)
    MeasurePercent(canvas, WidthIsPercent ? TExtent(0) : SpecWidth, m);
  else
    MeasureFixed(canvas, m);
  TExtent totalMin = m.TotalMin + CellSpacing, totalMax = m.TotalMax + CellSpacing;
  if (!WidthIsPercent) {
    totalMin = std::max(totalMin, SpecWidth);
    totalMax = std::max(totalMax, SpecWidth);
  }
  TExtent captionMax = 0;
  Caption->Cell->GetMinMaxWidth(canvas, CaptionMinWidth, captionMax);
  narrowest = std::max(CaptionMinWidth, totalMin);
  // Spanning cells can raise a column's minimum past its maximum; a table
  // is never asked to be narrower than it can be.
  widest = std::max({CaptionMinWidth, totalMax, narrowest});
}

// ---- Column widths for a width

void ThtmlTable::FitToWidth(TExtent w, const Measure& m) {
  std::array<bool, kMaxColumns + 1> pinned{};
  int unspecified = 0, pctTotal = 0;
  TExtent unspecRange = 0;
  for (int i = 0; i < NumCols; ++i) {
    if (Percents[i] == 0) {
      Widths[i] = m.Min[i];
      ++unspecified;
      unspecRange += m.Max[i] - m.Min[i];
    } else {
      const int pw = MulDiv(w, Percents[i], 1000);
      if (m.Min[i] < pw) {
        Widths[i] = pw;
        pctTotal += Percents[i];
      } else {
        Widths[i] = m.Min[i];
        pinned[i] = true;
      }
    }
  }
  TExtent excess = Sum(Widths, 0, NumCols) - w;
  if (excess < 0) {
    const TExtent give = -excess;
    for (int i = 0; i < NumCols; ++i) {
      if (unspecified == 0) {
        if (Percents[i] > 0 && !pinned[i]) Widths[i] += MulDiv(give, Percents[i], pctTotal);
      } else if (Percents[i] == 0) {
        Widths[i] += unspecRange < 1 ? give / unspecified
                                     : TExtent(MulDiv(give, m.Max[i] - m.Min[i], unspecRange));
      }
    }
  } else if (excess > 0) {
    for (int pass = 0; pass < 4; ++pass) {
      bool changed = false;
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] == 0 || pinned[i]) continue;
        if (Widths[i] - MulDiv(excess, Percents[i], pctTotal) < m.Min[i]) {
          pinned[i] = true;
          pctTotal -= Percents[i];
          excess -= Widths[i] - m.Min[i];
          Widths[i] = m.Min[i];
          changed = true;
        }
      }
      if (!changed) break;
    }
    for (int i = 0; i < NumCols; ++i)
      if (Percents[i] > 0 && !pinned[i]) Widths[i] -= MulDiv(excess, Percents[i], pctTotal);
  }
  const TExtent sum = Sum(Widths, 0, NumCols);
  if (sum <= w) {
    if (NumCols > 0) Widths[0] += w - sum;
  } else {
    for (int i = 0; i < NumCols; ++i)
      if (!pinned[i]) {
        Widths[i] -= sum - w;
        break;
      }
  }
}

void ThtmlTable::SpreadByPercents(TExtent w, Measure& m) {
  int pctSum = 0;
  for (int i = 0; i < NumCols; ++i) pctSum += Percents[i];
  if (pctSum >= 1 && pctSum <= 1000) {
    TExtent unspecMax = 0, pctNeed = 0;
    for (int i = 0; i < NumCols; ++i) {
      if (Percents[i] == 0)
        unspecMax += m.Max[i];
      else
        pctNeed = std::max<TExtent>(pctNeed, MulDiv(m.Max[i], 1000, Percents[i]));
    }
    const TExtent unspecNeed = pctSum < 1000   ? MulDiv(unspecMax, 1000, 1000 - pctSum)
                               : unspecMax < 1 ? 0
                                               : 30000;
    const TExtent need = std::max(pctNeed, unspecNeed);
    if (need <= w) {
      const TExtent rest = MulDiv(need, 1000 - pctSum, 1000);
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] > 0)
          Widths[i] = MulDiv(need, Percents[i], 1000);
        else
          Widths[i] = unspecMax < 1 ? 0 : MulDiv(m.Max[i], rest, unspecMax);
      }
      return;
    }
    // Percentages that cannot be met at this width give up theirs; those
    // left are scaled until they fit beside the rest.
    for (int round = 0; round <= kMaxColumns + 1; ++round) {
      int64_t pctPix = 0, unspecMin = 0;
      bool kept = false;
      for (int i = 0; i < NumCols; ++i) {
        if (Percents[i] == 0) {
          unspecMin += m.Min[i];
          continue;
        }
        const int pw = MulDiv(w, Percents[i], 1000) - 1;
        if (pw < m.Min[i]) {
          Percents[i] = 0;
          unspecMin += m.Min[i];
        } else {
          pctPix += pw;
          kept = true;
        }
      }
      if (!kept) break;
      if (w < pctPix + unspecMin) {
        for (int i = 0; i < NumCols; ++i)
          Percents[i] = static_cast<int>(int64_t{Percents[i]} * (int64_t{w} - unspecMin) / pctPix);
        continue;
      }
      for (int i = 0; i < NumCols; ++i)
        if (Percents[i] > 0) m.Min[i] = m.Max[i] = MulDiv(w, Percents[i], 1000);
      m.TotalMin = Sum(m.Min, 0, NumCols);
      m.TotalMax = Sum(m.Max, 0, NumCols);
      break;
    }
  }
  if (w < m.TotalMax && m.TotalMax != m.TotalMin) {
    for (int i = 0; i < NumCols; ++i)
      Widths[i] = m.Min[i] + MulDiv(m.Max[i] - m.Min[i], w - m.TotalMin, m.TotalMax - m.TotalMin);
  } else {
    for (int i = 0; i < NumCols; ++i) Widths[i] = m.Max[i];
  }
}

// ---- Layout

TExtent ThtmlTable::Layout(platform::TCanvas& canvas, TExtent y, layout::IndentManager& margins,
                           TExtent& maxWidth, int& position) {
  Top = y;
  StartPos = position;
  margins.SetLevel(y, ListLevel);
  const TExtent avail = margins.RightEdge(y) - margins.LeftEdge(y);
  TExtent wanted = avail;
  if (SpecWidth >= 1) wanted = WidthIsPercent ? TExtent(MulDiv(avail, SpecWidth, 1000)) : SpecWidth;
  const TExtent w = std::max<TExtent>(wanted - CellSpacing, 20);
  PrepareGrid();

  Widths.fill(0);
  Measure m;
  if (!HasPixelCellWidths || SpecWidth != 0) {
    MeasurePercent(canvas, w, m);
    if (m.TotalMin >= w)
      Widths = m.Min;
    else if (SpecWidth != 0)
      FitToWidth(w, m);
    else
      SpreadByPercents(w, m);
  } else {
    MeasureFixed(canvas, m);
    if (m.TotalMin >= w) {
      Widths = m.Min;
    } else if (w >= m.TotalMax) {
      Widths = m.Max;
    } else {
      for (int i = 0; i < NumCols; ++i)
        Widths[i] = m.Min[i] + MulDiv(m.Max[i] - m.Min[i], w - m.TotalMin, m.TotalMax - m.TotalMin);
    }
  }
  TableWidth = CellSpacing + Sum(Widths, 0, NumCols);
  TExtent captionMax = 0;
  Caption->Cell->GetMinMaxWidth(canvas, CaptionMinWidth, captionMax);
  OuterWidth = std::max(TableWidth, CaptionMinWidth);

  // A layout that only measures (an enclosing table asking for heights)
  // needs the heights of the cells, not their final places: those come
  // once, when the enclosing cell itself is placed.
  const bool measuring = Owner && Owner->Measuring > 0;
  const int rowCount = Rows.Count();
  std::vector<TExtent> heights(static_cast<size_t>(rowCount), 0);
  // What a row needs for its cells of row span s: the tallest content
  // (or HEIGHT) of those cells, with padding and spacing.
  const auto needOf = [&](TCellList& row, int s) {
    TExtent need = 0;
    for (const auto& cell : row) {
      if (cell->ColSpan <= 0 || cell->RowSpan != s) continue;
      cell->ContentHeight =
          cell->Cell->MeasureHeight(canvas, cell->SpanWidth - 2 * CellPadding - CellSpacing);
      need = std::max({need, cell->ContentHeight, cell->SpecHeight - 2 * CellPadding});
    }
    return need + Pad();
  };
  // Pass 1 sizes every row by its single-row cells. A pass for a larger
  // span changes only rows holding a cell of that span (every row is
  // already at least the padding high), so those passes visit just them,
  // by span, smallest first.
  std::map<int, std::vector<int>> rowsBySpan;
  for (int k = 0; k < rowCount; ++k) {
    TCellList& row = *Rows[k];
    for (int i = 0; i < row.Count(); ++i) {
      TCellObj& cell = *row[i];
      if (cell.ColSpan <= 0) continue;
      cell.SpanWidth = Sum(Widths, i, std::min(cell.ColSpan, kMaxColumns + 1 - i));
      if (cell.RowSpan > 1) {
        std::vector<int>& rows = rowsBySpan[cell.RowSpan];
        if (rows.empty() || rows.back() != k) rows.push_back(k);
      }
    }
    heights[k] = needOf(row, 1);
  }
  for (const auto& [span, rows] : rowsBySpan) {
    for (const int k : rows) {
      // A cell pushed right of the columns the grid clipped keeps its
      // span: a pass for a span reaching past the last row stops there.
      if (int64_t{k} + span > rowCount) break;
      const TExtent need = needOf(*Rows[k], span);
      TExtent sum = 0;
      for (int r = k; r < k + span; ++r) sum += heights[r];
      if (sum < need) {
        const TExtent grow = (need - sum) / span;
        for (int r = k; r < k + span; ++r) heights[r] += grow;
        heights[k + span - 1] += need - sum - grow * span;
      }
    }
  }

  const auto layOutCaption = [&](TExtent at) {
    TExtent captionWidth = 0;
    return measuring ? Caption->Cell->MeasureHeight(canvas, OuterWidth)
                     : Caption->Cell->Layout(canvas, at, OuterWidth, position, captionWidth);
  };
  TExtent height = 0;
  TExtent rowY = y;
  CaptionHeight = 0;
  if (CaptionOnTop) {
    CaptionHeight = layOutCaption(y);
    height = CaptionHeight;
    rowY += CaptionHeight;
  }
  const TExtent bodyStart = height;
  for (int k = 0; k < rowCount; ++k) {
    TCellList& row = *Rows[k];
    row.RowHeight = heights[k];
    row.RowSpanHeight = 0;
    height += row.RowHeight;
    for (int i = 0; i < row.Count(); ++i) {
      TCellObj& cell = *row[i];
      TExtent spanHeight = 0;
      if (cell.ColSpan > 0)
        for (int r = k; r < std::min<int64_t>(int64_t{k} + cell.RowSpan, rowCount); ++r)
          spanHeight += heights[r];
      cell.SpanHeight = spanHeight;
      row.RowSpanHeight = std::max(row.RowSpanHeight, spanHeight);
      if (cell.Cell->Count() == 0) continue;
      const TExtent d = cell.SpanHeight - cell.ContentHeight - CellSpacing - 2 * CellPadding;
      cell.YIndent = cell.VAlign == 1 ? d / 2 : cell.VAlign == 2 ? d : TExtent(0);
      if (measuring) continue;
      TExtent cellWidth = 0;
      cell.Cell->Layout(canvas, rowY + CellSpacing + CellPadding + cell.YIndent,
                        cell.SpanWidth - CellSpacing - 2 * CellPadding, position, cellWidth);
    }
    rowY += row.RowHeight;
  }
  height += CellSpacing;
  BodyHeight = height - bodyStart;
  rowTops_.assign(static_cast<size_t>(rowCount), 0);
  rowReach_.assign(static_cast<size_t>(rowCount), 0);
  TExtent rowTop = 0, reach = 0;
  for (int k = 0; k < rowCount; ++k) {
    rowTops_[k] = rowTop;
    reach = std::max(reach, rowTop + Rows[k]->RowSpanHeight);
    rowReach_[k] = reach;
    rowTop += Rows[k]->RowHeight;
  }
  if (!CaptionOnTop) {
    CaptionHeight = layOutCaption(Top + BodyHeight);
    height += CaptionHeight;
  }

  Indent = 0;
  if (OuterWidth < avail) {
    if (Justify == base::jtCentre)
      Indent = (avail - OuterWidth) / 2;
    else if (Justify == base::jtRight)
      Indent = avail - OuterWidth;
  }
  Indent += margins.LeftEdge(Top);
  TableIndent = (OuterWidth - TableWidth) / 2 + Indent;
  Length = position - StartPos;
  maxWidth = OuterWidth;
  if (Float) {
    margins.AddRect(Top, OuterWidth + HSpace + 1, Justify, height);
    DrawnHeight = height;
    Height = 0;
    return 0;
  }
  Height = DrawnHeight = height;
  return height;
}

}  // namespace tables
