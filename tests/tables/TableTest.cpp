// Tables built directly in a document with the test font (8 pixels a
// character, lines 16 high): attributes, the grid, exact column widths, row
// heights, captions, floats, drawing and hit tests.
#include "tables/Table.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <tuple>

#include "layout/Section.h"
#include "layout/SectionList.h"
#include "platform/CodePage.h"

namespace {

using base::Symbol;
using tables::TCellList;
using tables::TCellObj;
using tables::ThtmlTable;

using Attr = std::tuple<Symbol, int, std::string>;

using AttrSpec = std::vector<Attr>;

base::TAttributeList Attrs(const AttrSpec& list) {
  base::TAttributeList attributes;
  for (const auto& [symbol, value, text] : list) attributes.Add(symbol, value, text);
  return attributes;
}

// A section that counts its layouts: the content of the innermost cell.
class CountingSection : public layout::TSectionBase {
 public:
  explicit CountingSection(int& layouts) : layouts_(layouts) {}
  base::TExtent Layout(platform::TCanvas&, base::TExtent y, layout::IndentManager& margins,
                       base::TExtent& maxWidth, int& position) override {
    ++layouts_;
    Top = y;
    StartPos = position;
    maxWidth = margins.Width;
    Height = DrawnHeight = 16;
    return 16;
  }
  void GetMinMaxWidth(platform::TCanvas&, base::TExtent& narrowest,
                      base::TExtent& widest) override {
    narrowest = widest = 40;
  }

 private:
  int& layouts_;
};

class TableTest : public ::testing::Test {
 protected:
  TableTest() : bitmap_(800, 600), canvas_(bitmap_) {
    doc_.FontName = doc_.FixedFontName = std::string(platform::kTestFontName);
    doc_.BaseFontSize = 12;
    doc_.CharSet = platform::RUSSIAN_CHARSET;
    doc_.FontColor = platform::clBlack;
    doc_.Background = platform::clWhite;
    doc_.OnProcessError = [this](const std::string& message) { errors_.push_back(message); };
    font_.SetRelativeSize(doc_, 12);
    font_.Refresh(doc_, doc_.FontColor);
  }

  std::unique_ptr<layout::TSection> Text(std::string_view text) {
    layout::TBuilderStyle style;
    auto section = std::make_unique<layout::TSection>(0, base::jtLeft, nullptr, font_, style);
    section->AddText(text);
    return section;
  }

  // A table whose rows are given as cells: (attributes, text); an empty
  // text leaves the cell empty.
  using CellSpec = std::pair<AttrSpec, std::string>;
  ThtmlTable* AddTable(const AttrSpec& attributes, const std::vector<std::vector<CellSpec>>& rows,
                       layout::TCell* into = nullptr) {
    if (!into) into = &doc_;
    auto table = std::make_unique<ThtmlTable>(&doc_, 0, into, base::jtLeft, Attrs(attributes));
    for (const auto& cells : rows) {
      auto row = std::make_unique<TCellList>();
      for (const auto& [cellAttributes, text] : cells) {
        const base::TAttributeList list = Attrs(cellAttributes);
        auto cell = std::make_unique<TCellObj>(&doc_, &list, 0);
        if (!text.empty()) cell->Cell->AddSection(Text(text));
        row->Add(std::move(cell));
      }
      table->Rows.Add(std::move(row));
    }
    ThtmlTable* raw = table.get();
    into->AddSection(std::move(table));
    return raw;
  }

  int LayOut(int width) {
    int position = 0;
    base::TExtent maxWidth = 0;
    return doc_.Layout(canvas_, 0, width, position, maxWidth);
  }

  std::vector<int> Widths(const ThtmlTable& t) {
    return std::vector<int>(t.Widths.begin(), t.Widths.begin() + t.NumCols);
  }

  layout::TSectionList doc_;
  layout::TMyFont font_;
  platform::Bitmap bitmap_;
  platform::TCanvas canvas_;
  std::vector<std::string> errors_;
};

TEST_F(TableTest, AttributesAreClampedAsRead) {
  const struct {
    const char* what;
    base::TAttributeList attributes;
    int spacing, padding, hspace, specWidth;
    bool percent;
  } cases[] = {
      {"defaults", Attrs({}), 2, 1, 5, 0, false},
      {"spacing 100", Attrs({{base::CellSpacingSy, 100, "100"}}), 40, 1, 5, 0, false},
      {"spacing 100 with a border",
       Attrs({{base::CellSpacingSy, 100, "100"}, {base::BorderSy, 1, "1"}}), 42, 1, 5, 0, false},
      {"border, spacing 0", Attrs({{base::BorderSy, 1, "1"}, {base::CellSpacingSy, 0, "0"}}), 2, 1,
       5, 0, false},
      {"padding 60", Attrs({{base::CellPaddingSy, 60, "60"}}), 2, 50, 5, 0, false},
      {"padding -5 keeps 1", Attrs({{base::CellPaddingSy, -5, "-5"}}), 2, 1, 5, 0, false},
      {"spacing -5 keeps 2", Attrs({{base::CellSpacingSy, -5, "-5"}}), 2, 1, 5, 0, false},
      {"hspace -30", Attrs({{base::HSpaceSy, -30, "-30"}}), 2, 1, 20, 0, false},
      {"width 150%", Attrs({{base::WidthSy, 150, "150%"}}), 2, 1, 5, 0, true},
      {"width 50%", Attrs({{base::WidthSy, 50, "50%"}}), 2, 1, 5, 500, true},
      {"width 99999999", Attrs({{base::WidthSy, 99999999, "99999999"}}), 2, 1, 5, 99999999, false},
      {"width 2^31 - 1", Attrs({{base::WidthSy, 2147483647, "2147483647"}}), 2, 1, 5,
       base::kMaxExtent, false},
  };
  for (const auto& c : cases) {
    const ThtmlTable table(&doc_, 0, &doc_, base::jtLeft, c.attributes);
    EXPECT_EQ(table.CellSpacing, c.spacing) << c.what;
    EXPECT_EQ(table.CellPadding, c.padding) << c.what;
    EXPECT_EQ(table.HSpace, c.hspace) << c.what;
    EXPECT_EQ(table.SpecWidth, c.specWidth) << c.what;
    EXPECT_EQ(table.WidthIsPercent, c.percent) << c.what;
  }
  // A later ALIGN=CENTER makes a table centred, and no longer floating.
  const ThtmlTable centred(&doc_, 0, &doc_, base::jtLeft,
                           Attrs({{base::AlignSy, 0, "right"}, {base::AlignSy, 0, "CENTER"}}));
  EXPECT_EQ(centred.Justify, base::jtCentre);
  EXPECT_FALSE(centred.Float);
  const base::TAttributeList wide = Attrs({{base::WidthSy, 150, "150%"}});
  const TCellObj cell(&doc_, &wide, 1);
  EXPECT_EQ(cell.SpecWidth, 0);
  EXPECT_FALSE(cell.WidthIsPercent);
}

TEST_F(TableTest, ThirtyColumnsLayOutAndThirtyOneAreRemoved) {
  for (const int columns : {30, 31, 1000000}) {
    errors_.clear();
    doc_.Clear();
    AddTable(AttrSpec{},
             {{{AttrSpec{{base::ColSpanSy, columns - 1, ""}}, "a"}, {AttrSpec{}, "b"}}});
    LayOut(600);
    if (columns == 30) {
      ASSERT_EQ(doc_.Count(), 1) << columns;
      EXPECT_EQ(static_cast<ThtmlTable*>(doc_[0])->NumCols, 30);
      EXPECT_TRUE(errors_.empty());
    } else {
      EXPECT_EQ(doc_.Count(), 0) << columns;
      EXPECT_EQ(errors_, std::vector<std::string>{"Table has too many Columns"}) << columns;
    }
  }
}

TEST_F(TableTest, RowSpansAreCutAtTheLastRowAndFillTheRowsBelow) {
  ThtmlTable* t =
      AddTable(AttrSpec{},
               {{{AttrSpec{}, "a"}, {AttrSpec{}, "b"}, {AttrSpec{{base::RowSpanSy, 99, ""}}, "c"}},
                {{AttrSpec{}, "d"}},
                {}});
  LayOut(600);
  EXPECT_EQ(t->Rows[0]->operator[](2)->RowSpan, 3);
  // Row 2 was short: padded with fillers first, then the span's filler.
  ASSERT_EQ(t->Rows[1]->Count(), 3);
  EXPECT_EQ((*t->Rows[1])[1]->ColSpan, 0);
  EXPECT_EQ((*t->Rows[1])[2]->ColSpan, 0);
  ASSERT_EQ(t->Rows[2]->Count(), 3);
  EXPECT_EQ(t->NumCols, 3);
}

TEST_F(TableTest, ColumnWidthsAreExact) {
  const struct {
    const char* what;
    AttrSpec table;
    std::vector<std::vector<CellSpec>> rows;
    int available;
    std::vector<int> widths;
    int tableWidth;
  } cases[] = {
      {"50% of 600: W = 300 - 2",
       AttrSpec{{base::WidthSy, 50, "50%"}},
       {{{AttrSpec{}, "ab"}}},
       600,
       {298},
       300},
      {"a 50% column beside one without: only as wide as need",
       AttrSpec{},
       {{{AttrSpec{{base::WidthSy, 50, "50%"}}, "aaaa"}, {AttrSpec{}, "bbbbbbbb"}}},
       600,
       {68, 68},
       138},
      {"a pixel-wide cell forces the fixed measurement",
       AttrSpec{},
       {{{AttrSpec{{base::WidthSy, 100, "100"}}, "x"}, {AttrSpec{}, "bbbbbbbb"}}},
       600,
       {104, 68},
       174},
      {"a spanning cell splits its width in proportion",
       AttrSpec{},
       {{{AttrSpec{{base::ColSpanSy, 2, "2"}}, std::string(25, 'w')}},
        {{AttrSpec{}, "a"}, {AttrSpec{}, "a"}}},
       600,
       {102, 102},
       206},
      {"narrower than the content: the minimum",
       AttrSpec{},
       {{{AttrSpec{}, "aaaaaaaaaa bbbbbbbbbb"}, {AttrSpec{}, "cccccccccc dddddddddd"}}},
       100,
       {84, 84},
       170},
      {"between minimum and maximum: in proportion",
       AttrSpec{},
       {{{AttrSpec{}, "aaaaaaaaaa bbbbbbbbbb"}, {AttrSpec{}, "cc"}}},
       150,
       {128, 20},
       150},
      {"percent columns that cannot be met give theirs up",
       AttrSpec{},
       {{{AttrSpec{{base::WidthSy, 10, "10%"}}, "aaaaaaaaaa"}, {AttrSpec{}, "b"}}},
       302,
       {84, 12},
       98},
  };
  for (const auto& c : cases) {
    doc_.Clear();
    ThtmlTable* t = AddTable(c.table, c.rows);
    LayOut(c.available);
    ASSERT_EQ(doc_.Count(), 1) << c.what;
    EXPECT_EQ(Widths(*t), c.widths) << c.what;
    EXPECT_EQ(t->TableWidth, c.tableWidth) << c.what;
  }
}

TEST_F(TableTest, RowHeightsSpansAndVerticalAlignment) {
  const AttrSpec tall{{base::HeightSy, 60, "60"}};
  ThtmlTable* t = AddTable(AttrSpec{}, {{{tall, "a"}, {AttrSpec{}, "b"}}});
  // The second cell is at the bottom of the 60-pixel row.
  static_cast<TCellObj*>((*t->Rows[0])[1])->VAlign = 2;
  LayOut(600);
  // Row: larger of content 16 and 60 - 2 padding, plus 2 padding and spacing 2.
  EXPECT_EQ(t->Rows[0]->RowHeight, 62);
  EXPECT_EQ(t->Height, 64);  // the rows and the last spacing
  const TCellObj& bottom = *(*t->Rows[0])[1];
  EXPECT_EQ(bottom.YIndent, 62 - 16 - 2 - 2);

  doc_.Clear();
  const AttrSpec span{{base::RowSpanSy, 2, "2"}};
  t = AddTable(AttrSpec{},
               {{{span, "aaa bbb ccc ddd eee"}, {AttrSpec{}, "x"}}, {{AttrSpec{}, "y"}}});
  LayOut(40);  // the spanning cell wraps to five lines: 80 pixels
  EXPECT_EQ(t->Rows[0]->RowHeight + t->Rows[1]->RowHeight, 80 + 4);
  EXPECT_EQ(t->Rows[0]->RowSpanHeight, 84);
}

TEST_F(TableTest, ABottomCaptionComesAfterTheCellsAndCentresTheBody) {
  ThtmlTable* t = AddTable(AttrSpec{}, {{{AttrSpec{}, "ab"}}});
  t->Caption->Cell->AddSection(Text(std::string(20, 'c')));
  t->CaptionOnTop = false;
  LayOut(600);
  EXPECT_EQ(t->OuterWidth, 160);
  EXPECT_EQ(t->TableWidth, 22);
  EXPECT_EQ(t->TableIndent, (160 - 22) / 2);
  EXPECT_EQ(t->CaptionHeight, 16);
  EXPECT_EQ(t->Height, t->BodyHeight + 16);
  // The caption's characters follow the cells'.
  const layout::TCell& body = *(*t->Rows[0])[0]->Cell;
  EXPECT_EQ(t->Caption->Cell->StartPos, body.StartPos + body.Length);
}

TEST_F(TableTest, AFloatingTableLetsTheTextFlowBesideIt) {
  ThtmlTable* t = AddTable(AttrSpec{{base::AlignSy, 0, "LEFT"}}, {{{AttrSpec{}, "ab"}}});
  doc_.AddSection(Text("text beside"));
  LayOut(600);
  EXPECT_TRUE(t->Float);
  EXPECT_EQ(t->Height, 0);
  EXPECT_EQ(t->DrawnHeight, 22);
  const auto* text = static_cast<layout::TSection*>(doc_[1]);
  EXPECT_EQ(text->Lines[0].LineIndent, t->OuterWidth + t->HSpace + 1);
}

TEST_F(TableTest, NestedTablesLayOutEachCellABoundedNumberOfTimes) {
  int layouts = 0;
  layout::TCell* cell = &doc_;
  for (int depth = 0; depth < 8; ++depth) {
    ThtmlTable* t = AddTable(AttrSpec{}, {{{AttrSpec{}, ""}, {AttrSpec{}, "x"}}}, cell);
    cell = (*t->Rows[0])[0]->Cell.get();
  }
  cell->AddSection(std::make_unique<CountingSection>(layouts));
  LayOut(600);
  const int once = layouts;
  EXPECT_LE(once, 3) << "layouts of the innermost content in one document layout";
  LayOut(500);
  EXPECT_LE(layouts - once, 3);
}

class TableDrawTest : public TableTest {
 protected:
  platform::TColor Pixel(int x, int y) { return bitmap_.GetPixel(x, y); }
  void DrawAll() {
    bitmap_.Fill(platform::clWhite);
    doc_.SetYOffset(0);
    doc_.Draw(canvas_, {0, 0, 800, 600}, 800, 0, 0);
  }
};

TEST_F(TableDrawTest, FramesBackgroundsAndTheBorderColour) {
  ThtmlTable* t = AddTable(AttrSpec{{base::BorderSy, 1, "1"}, {base::BGColorSy, 0, "#0000FF"}},
                           {{{AttrSpec{}, "ab"}, {AttrSpec{{base::BGColorSy, 0, "#00FF00"}}, "cd"}},
                            {{AttrSpec{}, ""}}});
  t->Rows[0]->HasBackground = false;
  LayOut(600);
  DrawAll();
  const int s = t->CellSpacing;  // 4 with the border
  // The outer frame is raised: silver top-left on a white page, shadow
  // bottom-right.
  EXPECT_EQ(Pixel(t->DrawX, 5), platform::clSilver);
  EXPECT_EQ(Pixel(t->DrawX + 5, 0), platform::clSilver);
  EXPECT_EQ(Pixel(t->DrawX + t->TableWidth - 1, 5), platform::ColorToRGB(platform::clBtnShadow));
  // The first cell takes the table's blue, the second keeps its green; the
  // frame of a cell is sunken: shadow at its top-left.
  const int firstLeft = t->DrawX + s;
  EXPECT_EQ(Pixel(firstLeft + 1, s + 1), 0xFF0000u);
  EXPECT_EQ(Pixel(firstLeft - 1, s + 3), platform::ColorToRGB(platform::clBtnShadow));
  const int secondLeft = t->DrawX + t->Widths[0] + s;
  EXPECT_EQ(Pixel(secondLeft + 1, s + 1), 0x00FF00u);
  // The empty cell of the second row draws nothing.
  const int secondRow = t->Rows[0]->RowHeight;
  EXPECT_EQ(Pixel(firstLeft + 2, secondRow + s + 2), platform::clWhite);
}

TEST_F(TableDrawTest, TheBorderColourFillsOnlyTheSpacing) {
  ThtmlTable* t =
      AddTable(AttrSpec{{base::BorderColorSy, 0, "#FF0000"}, {base::CellSpacingSy, 6, "6"}},
               {{{AttrSpec{}, "ab"}, {AttrSpec{}, ""}}});
  LayOut(600);
  DrawAll();
  EXPECT_EQ(Pixel(t->DrawX + 1, 1), 0x0000FFu);                  // spacing: red
  EXPECT_EQ(Pixel(t->DrawX + 6 + 1, 6 + 1), platform::clWhite);  // inside the cell
  // An empty cell's area takes the border colour too.
  EXPECT_EQ(Pixel(t->DrawX + t->Widths[0] + 6 + 2, 6 + 2), 0x0000FFu);
}

TEST_F(TableDrawTest, HitTestsFindTheCellUnderThePoint) {
  const base::TUrlTarget link{"page.htm", ""};
  ThtmlTable* t = AddTable(AttrSpec{{base::CellPaddingSy, 10, "10"}},
                           {{{AttrSpec{}, "ab"}, {AttrSpec{}, "cd"}}});
  LayOut(600);
  DrawAll();
  int caretX = 0, caretY = 0, caretHeight = 0;
  bool inside = false;
  layout::TCell* cell = nullptr;
  // In the padding left of the second cell's text, inside its column: the
  // second cell answers with its first position.
  const int x = t->DrawX + t->Widths[0] + 2 + 3;
  const int p = doc_.PointToPos(canvas_, x, 2 + 10 + 4, caretX, caretY, caretHeight, inside, cell);
  EXPECT_EQ(p, (*t->Rows[0])[1]->Cell->StartPos);
  EXPECT_EQ(cell, (*t->Rows[0])[1]->Cell.get());
  // In the spacing above every cell: nothing.
  EXPECT_EQ(doc_.PointToPos(canvas_, x, 0, caretX, caretY, caretHeight, inside, cell), -1);
  // Selection and search go through the cells in order.
  EXPECT_EQ(doc_.FindText(0, "cd", true), (*t->Rows[0])[1]->Cell->StartPos);
  doc_.SelStart = 0;
  doc_.SelEnd = doc_.Length;
  std::string copied;
  doc_.ClipBuffer = &copied;
  doc_.CopySelection();
  doc_.ClipBuffer = nullptr;
  EXPECT_NE(copied.find("ab"), std::string::npos);
  EXPECT_LT(copied.find("ab"), copied.find("cd"));
}

}  // namespace

namespace {

TEST_F(TableTest, HugeSpansOverManyRowsEndQuickly) {
  // Every cell of the first row spans "all" rows: the passes for spans
  // visit only the rows that hold such cells.
  for (const int spanning : {29, 30}) {
    doc_.Clear();
    errors_.clear();
    std::vector<std::vector<CellSpec>> rows(3000);
    for (int c = 0; c < spanning; ++c)
      rows[0].push_back({AttrSpec{{base::RowSpanSy, 2147483647, ""}}, "x"});
    for (size_t r = 1; r < rows.size(); ++r) rows[r].push_back({AttrSpec{}, "y"});
    ThtmlTable* t = AddTable(AttrSpec{}, rows);
    LayOut(600);
    if (spanning == 29) {
      ASSERT_EQ(doc_.Count(), 1);
      EXPECT_EQ(t->NumCols, 30);
      EXPECT_EQ((*t->Rows[0])[0]->RowSpan, 3000);
      EXPECT_EQ((*t->Rows[0])[0]->SpanHeight, t->BodyHeight - t->CellSpacing);
    } else {
      // The spans push the other rows' cells past 30 columns.
      EXPECT_EQ(doc_.Count(), 0);
      EXPECT_EQ(errors_, std::vector<std::string>{"Table has too many Columns"});
    }
  }
}

}  // namespace

namespace {

TEST_F(TableTest, ASpanPushedRightOfTheClippedColumnsStopsAtTheLastRow) {
  // In the last row such a cell spans that row alone, which grows to hold
  // its content instead of letting it hang below the table.
  {
    ThtmlTable* last = AddTable(
        AttrSpec{}, {{{AttrSpec{{base::RowSpanSy, 2, "2"}}, "a"}, {AttrSpec{}, "b"}},
                     {{AttrSpec{}, "c"}, {AttrSpec{{base::RowSpanSy, 3, "3"}}, "d e f g h"}}});
    LayOut(100);
    const TCellObj& pushed = *(*last->Rows[1])[2];
    EXPECT_EQ(pushed.RowSpan, 1);
    EXPECT_GE(pushed.SpanHeight, pushed.ContentHeight);
    doc_.Clear();
  }
  // Row 2's spanning cell is pushed to column 2 by the filler of the first
  // column's span, right of the columns whose spans the grid clips.
  ThtmlTable* t =
      AddTable(AttrSpec{}, {{{AttrSpec{{base::RowSpanSy, 3, "3"}}, "a"}, {AttrSpec{}, "b"}},
                            {{AttrSpec{}, "c"}, {AttrSpec{{base::RowSpanSy, 5, "5"}}, "d"}},
                            {{AttrSpec{}, "e"}}});
  LayOut(600);
  ASSERT_EQ(doc_.Count(), 1);
  const TCellObj& pushed = *(*t->Rows[1])[2];
  EXPECT_EQ(pushed.RowSpan, 2);
  EXPECT_EQ(pushed.SpanHeight, t->Rows[1]->RowHeight + t->Rows[2]->RowHeight);
}

}  // namespace

namespace {

TEST_F(TableDrawTest, RowsStartBelowACaptionThatHoldsAFloat) {
  ThtmlTable* t = AddTable(AttrSpec{}, {{{AttrSpec{{base::BGColorSy, 0, "#00FF00"}}, "ab"}}});
  // A floating table in the caption is taller than the caption's text.
  AddTable(AttrSpec{{base::AlignSy, 0, "LEFT"}}, {{{AttrSpec{{base::HeightSy, 50, "50"}}, "f"}}},
           t->Caption->Cell.get());
  t->Caption->Cell->AddSection(Text("c"));
  LayOut(600);
  DrawAll();
  ASSERT_GE(t->CaptionHeight, 50);
  const int x = t->DrawX + t->CellSpacing + 1;
  EXPECT_EQ(Pixel(x, t->CaptionHeight + t->CellSpacing + 1), 0x00FF00u);
  EXPECT_NE(Pixel(x, t->CaptionHeight - 2), 0x00FF00u);
}

TEST_F(TableTest, ARemovedTableStaysWithTheDocumentUntilItIsCleared) {
  AddTable(AttrSpec{}, {{{AttrSpec{{base::ColSpanSy, 31, "31"}}, "a"}}});
  LayOut(600);
  EXPECT_EQ(doc_.Count(), 0);
  EXPECT_EQ(doc_.Removed.Count(), 1);  // anchors in its cells still name live sections
  doc_.Clear();
  EXPECT_EQ(doc_.Removed.Count(), 0);
}

}  // namespace

namespace {

TEST_F(TableDrawTest, ARowsColourWinsOverTheTablesAndACellsOverBoth) {
  ThtmlTable* t = AddTable(AttrSpec{{base::BGColorSy, 0, "#0000FF"}},
                           {{{AttrSpec{}, "ab"}, {AttrSpec{{base::BGColorSy, 0, "#FF0000"}}, "cd"}},
                            {{AttrSpec{}, "ef"}}});
  t->Rows[0]->HasBackground = true;
  t->Rows[0]->BkColor = 0x00FF00;  // green, in 0x00BBGGRR
  LayOut(600);
  DrawAll();
  const int s = t->CellSpacing;
  EXPECT_EQ(Pixel(t->DrawX + s + 1, s + 1), 0x00FF00u);                          // the row's
  EXPECT_EQ(Pixel(t->DrawX + t->Widths[0] + s + 1, s + 1), 0x0000FFu);           // the cell's red
  EXPECT_EQ(Pixel(t->DrawX + s + 1, t->Rows[0]->RowHeight + s + 1), 0xFF0000u);  // the table's
}

}  // namespace
