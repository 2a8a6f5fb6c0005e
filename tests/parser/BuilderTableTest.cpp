// The table reader: TABLE, TR, TD, TH and CAPTION as rows, cells and
// captions of a table section, seen through the model and the text dump.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <sstream>

#include "TestSupport.h"
#include "layout/BlockSections.h"
#include "layout/Section.h"
#include "parser/HtmlBuilder.h"
#include "tables/Table.h"
#include "tools/PageRender.h"

namespace {

using layout::TSection;
using tables::ThtmlTable;

tools::PageSettings TestSettings(int width = 400) {
  tools::PageSettings s;
  s.FontName = s.PreFontName = std::string(platform::kTestFontName);
  s.Width = width;
  return s;
}

// A cell's sections in short: [text] for a text section with text (with
// its class name before it when it is a list item or the like), P for a
// paragraph space, TABLE(...) for a table: its caption as cap{...} or
// bottom{...}, its rows separated by "/", each cell as {...}. Empty text
// sections are left out.
std::string Shape(const layout::TCell& cell);

std::string TableShape(const ThtmlTable& table) {
  std::string rows;
  for (int r = 0; r < table.Rows.Count(); ++r) {
    if (r > 0) rows += "/";
    for (const auto& cell : *table.Rows[r]) rows += "{" + Shape(*cell->Cell) + "}";
  }
  std::string caption;
  if (table.Caption->Cell->Count() > 0)
    caption = (table.CaptionOnTop ? "cap{" : "bottom{") + Shape(*table.Caption->Cell) + "}";
  std::string out = table.CaptionOnTop ? caption : rows;
  const std::string& second = table.CaptionOnTop ? rows : caption;
  if (!out.empty() && !second.empty()) out += ' ';
  return "TABLE(" + out + second + ")";
}

std::string Shape(const layout::TCell& cell) {
  std::string out;
  for (const auto& section : cell) {
    std::string item;
    if (const auto* text = dynamic_cast<const TSection*>(section.get())) {
      if (text->Length == 0) continue;
      const std::string kind = text->ClassName();
      item = (kind == "TSection" ? "" : kind) + "[" + text->Buff + "]";
    } else if (const auto* table = dynamic_cast<const ThtmlTable*>(section.get())) {
      item = TableShape(*table);
    } else if (dynamic_cast<const layout::TParagraphSpace*>(section.get())) {
      item = "P";
    } else {
      item = section->ClassName();
    }
    if (!out.empty()) out += ' ';
    out += item;
  }
  return out;
}

std::string Shape(const std::string& html) {
  return Shape(*tools::LayOutHtml(html, TestSettings()).Document);
}

struct ShapeCase {
  const char* name;
  const char* html;
  const char* shape;
};

class TableShapes : public ::testing::TestWithParam<ShapeCase> {};
void PrintTo(const ShapeCase& c, std::ostream* os) {
  *os << c.name;
}

TEST_P(TableShapes, RowsCellsAndCaptions) {
  EXPECT_EQ(Shape(GetParam().html), GetParam().shape);
}

const ShapeCase kShapes[] = {
    {"CellWithoutRowOpensOne", "<TABLE><TD>text</TABLE>", "TABLE({[text]})"},
    {"CellsAndRowsEndAtTheNextTag", "<TABLE><TR><TD>a<TH>b<TR><TD>c</TABLE>",
     "TABLE({[a]}{[b]}/{[c]})"},
    {"EndTagsAsWritten", "<TABLE><TR><TD>a</TD></TR><TR><TH>b</TH></TR></TABLE>",
     "TABLE({[a]}/{[b]})"},
    {"EmptyCellsStay", "<TABLE><TR><TD><TD>b</TABLE>", "TABLE({}{[b]})"},
    // Text outside every cell lands in the enclosing cell, before the table.
    {"TextBeforeTheFirstCellGoesBeforeTheTable", "x<TABLE>lead<TR><TD>a</TABLE>y",
     "[x] [lead] TABLE({[a]}) [y]"},
    {"StrayTextBetweenRowsGoesBeforeTheTable", "<TABLE><TR><TD>a</TR>stray<TR><TD>b</TABLE>",
     "[stray] TABLE({[a]}/{[b]})"},
    {"TextBeforeANestedTableStaysInItsCell",
     "<TABLE><TD>out<TABLE>in<TD>a</TABLE>after<TD>b</TABLE>",
     "TABLE({[out] [in] TABLE({[a]}) [after]}{[b]})"},
    // The space flag is set once the cell's first symbol has been read, so
    // a P first in a cell or right after its first text adds no space; a P
    // after more content does.
    {"ParagraphAtACellStartAddsNoSpace", "<TABLE><TD><P>a<TD>b<P>c<TD>b<BR>c<P>d</TABLE>",
     "TABLE({[a]}{[b] [c]}{[b] [c] P [d]})"},
    {"CaptionOnTop", "<TABLE><CAPTION>c</CAPTION><TD>a</TABLE>", "TABLE(cap{[c]} {[a]})"},
    {"CaptionBelow", "<TABLE><TD>a<CAPTION ALIGN=BOTTOM>c</CAPTION></TABLE>",
     "TABLE({[a]} bottom{[c]})"},
    {"CaptionOtherAlignIsOnTop", "<TABLE><CAPTION ALIGN=left>c<TD>a</TABLE>",
     "TABLE(cap{[c]} {[a]})"},
    {"NestedTable", "<TABLE><TD>a<TABLE><TR><TD>b<TD>c</TABLE>d<TD>e</TABLE>",
     "TABLE({[a] TABLE({[b]}{[c]}) [d]}{[e]})"},
    {"EndOfInputInsideTables", "x<TABLE><TD>a<TABLE><TR><TD>b<CAPTION>c",
     "[x] TABLE({[a] TABLE(cap{[c]} {[b]})})"},
    {"EndOfInputBeforeACell", "x<TABLE><TR>", "[x] TABLE()"},
    // A list left open ends with its cell or table; the tag that ended it
    // still counts.
    {"ListInACellEndsWithTheCell", "<TABLE><TD><UL><LI>a<TD>b</TABLE>",
     "TABLE({TUListItem[a]}{[b]})"},
    {"ListInACellEndsWithTheTable", "<TABLE><TD><BLOCKQUOTE><OL><LI>a</TABLE>b",
     "TABLE({TOListItem[a]}) [b]"},
    {"TableInAListItem", "<UL><LI><TABLE><TD>a</TABLE>b</UL>", "TUListItem[ ] TABLE({[a]}) [b]"},
    // Row and cell tags outside a table are passed over.
    {"CellTagsOutsideATable", "a<TD>b<TR>c</TABLE>d", "[abcd]"},
};
INSTANTIATE_TEST_SUITE_P(Tables, TableShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

// Every text section with text, in text order through cells and captions,
// as text/alignment/styles/relative size of its first character.
void Styles(const layout::TCell& cell, std::vector<std::string>& out) {
  for (const auto& section : cell) {
    if (const auto* table = dynamic_cast<const ThtmlTable*>(section.get())) {
      if (table->CaptionOnTop) Styles(*table->Caption->Cell, out);
      for (const auto& row : table->Rows)
        for (const auto& c : *row) Styles(*c->Cell, out);
      if (!table->CaptionOnTop) Styles(*table->Caption->Cell, out);
      continue;
    }
    const auto* text = dynamic_cast<const TSection*>(section.get());
    if (!text || text->Length == 0) continue;
    int overhang = 0;
    const layout::TMyFont& font = *text->Fonts.GetFontAt(0, overhang);
    std::string styles;
    if (font.Style() & platform::fsBold) styles += 'B';
    if (font.Style() & platform::fsItalic) styles += 'I';
    if (font.Style() & platform::fsUnderline) styles += 'U';
    if (styles.empty()) styles = "-";
    out.push_back(text->Buff + "/" + std::to_string(text->Alignment) + "/" + styles + "/" +
                  std::to_string(font.RelativeSize));
  }
}

TEST(TableReader, AlignmentFontsAndStylesOfCells) {
  const struct {
    const char* html;
    std::vector<std::string> styles;
  } cases[] = {
      // The row's alignment comes before the default of TH; a cell's own
      // ALIGN before both.
      {"<TABLE><TR ALIGN=right><TH>h<TD ALIGN=center>c<TD>d</TABLE>",
       {"h/3/B/12", "c/2/-/12", "d/3/-/12"}},
      {"<TABLE><TR><TH>h<TD>d<TH ALIGN=LEFT>l<TD ALIGN=middle>m</TABLE>",
       {"h/2/B/12", "d/1/-/12", "l/1/B/12", "m/1/-/12"}},
      // Styles, fonts and links opened in a cell end with it.
      {"<TABLE><TD><B>b<TD>n</TABLE>", {"b/1/B/12", "n/1/-/12"}},
      {"<TABLE><TD><FONT SIZE=7>big<TD>n</TABLE>after", {"big/1/-/36", "n/1/-/12", "after/1/-/12"}},
      {"<TABLE><TD><A HREF=x.htm>l<TD>n</TABLE>", {"l/1/U/12", "n/1/-/12"}},
      {"<TABLE><CAPTION><FONT SIZE=7><I>c<TD>a</TABLE>", {"c/2/I/36", "a/1/-/12"}},
      // What was in force before the table returns after it; TD clears the
      // bold of an enclosing B.
      {"<B><I><CENTER><TABLE><TD>x</TABLE>y", {"x/1/I/12", "y/2/BI/12"}},
      {"<FONT SIZE=5><TABLE><TD>x<TH>y</TABLE>z", {"x/1/-/18", "y/2/B/18", "z/1/-/18"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    std::vector<std::string> styles;
    Styles(*tools::LayOutHtml(c.html, TestSettings()).Document, styles);
    EXPECT_EQ(styles, c.styles);
  }
}

const ThtmlTable* FirstTable(const layout::TCell& cell) {
  for (const auto& section : cell)
    if (const auto* table = dynamic_cast<const ThtmlTable*>(section.get())) return table;
  return nullptr;
}

TEST(TableReader, RowVerticalAlignmentIsTheDefaultOfItsCells) {
  const tools::LaidOutPage page = tools::LayOutHtml(
      "<TABLE><TD>none<TR VALIGN=bottom><TD>a<TD VALIGN=top>b<TD VALIGN=Baseline>c"
      "<TR VALIGN=bogus><TD>d<TD VALIGN=MIDDLE>e<TD VALIGN=bottom>f</TABLE>",
      TestSettings());
  const ThtmlTable* table = FirstTable(*page.Document);
  ASSERT_NE(table, nullptr);
  std::vector<int> valigns;
  for (const auto& row : table->Rows)
    for (const auto& cell : *row) valigns.push_back(cell->VAlign);
  EXPECT_EQ(valigns, (std::vector<int>{1, 2, 0, 0, 1, 1, 2}));
}

TEST(TableReader, TableTakesTheLevelAndAlignmentWhereItStarts) {
  const tools::LaidOutPage page = tools::LayOutHtml(
      "<CENTER><UL><LI><TABLE BORDER><TD>a</TABLE></UL></CENTER>", TestSettings());
  const ThtmlTable* table = nullptr;
  for (const auto& section : *page.Document)
    if (!table) table = dynamic_cast<const ThtmlTable*>(section.get());
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->ListLevel, 1);
  EXPECT_EQ(table->Justify, base::jtCentre);
  EXPECT_EQ(table->EnclosingCell, page.Document.get());
  EXPECT_TRUE(table->Border);
}

int TableDepth(const layout::TCell& cell) {
  int deepest = 0;
  for (const auto& section : cell)
    if (const auto* table = dynamic_cast<const ThtmlTable*>(section.get())) {
      int inner = TableDepth(*table->Caption->Cell);
      for (const auto& row : table->Rows)
        for (const auto& c : *row) inner = std::max(inner, TableDepth(*c->Cell));
      deepest = std::max(deepest, inner + 1);
    }
  return deepest;
}

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Tables nest as deep as the limit; deeper ones are read as block
// boundaries in the deepest cell, so no text is lost, the builder's
// recursion stays bounded, and the end tags still close the tables they
// belong to.
TEST(TableReader, DeepNestingIsBounded) {
  const int limit = parser::kMaxNestingDepth;
  const struct {
    const char* name;
    std::string html;
    int characters;
    int depth;
    const char* last;  // the text of the document's last text section
  } cases[] = {
      {"at the limit", Repeat("<TABLE><TD>", limit) + "x" + Repeat("</TABLE>", limit) + "end", 4,
       limit, "end"},
      {"one past", Repeat("<TABLE><TD>", limit + 1) + "x" + Repeat("</TABLE>", limit + 1) + "end",
       4, limit, "end"},
      {"closed", Repeat("<TABLE><TD>", 100000) + "x" + Repeat("</TABLE>", 100000) + "end", 4, limit,
       "end"},
      {"rows", Repeat("<TABLE><TR><TD>x", 100000), 100000, limit, ""},
      {"captions", Repeat("<TABLE><CAPTION>x", 100000), 100000, limit, ""},
      {"text between tags", Repeat("<TABLE>x", 100000), 100000, 1, "x"},
      // 67 lists, tables and centred blocks fit; each item that starts
      // with a table has a blank for its marker's line.
      {"with lists and blocks", Repeat("<UL><LI><TABLE><TD><CENTER>x", 30000), 30000 + 67, 67, " "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto start = std::chrono::steady_clock::now();
    const tools::LaidOutPage page = tools::LayOutHtml(c.html, TestSettings());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_EQ(page.Document->Length, c.characters);
    EXPECT_EQ(TableDepth(*page.Document), c.depth);
    std::string last;
    for (const auto& section : *page.Document)
      if (const auto* text = dynamic_cast<const TSection*>(section.get()); text && text->Length)
        last = text->Buff;
    EXPECT_EQ(last, c.last);
  }
}

void AllSections(const layout::TCell& cell, std::set<const layout::TSectionBase*>& out) {
  for (const auto& section : cell) {
    out.insert(section.get());
    if (const auto* table = dynamic_cast<const ThtmlTable*>(section.get())) {
      AllSections(*table->Caption->Cell, out);
      for (const auto& row : table->Rows)
        for (const auto& c : *row) AllSections(*c->Cell, out);
    }
  }
}

// An error in the middle of a table (an open comment) keeps what was read:
// the table joins its cell, and anchors in it name sections of the page.
// (The scanner meets the comment while it reads the symbol after the BR, so
// the text before it is kept.)
TEST(TableReader, ErrorInsideATableKeepsWhatWasRead) {
  const struct {
    const char* html;
    const char* shape;
  } cases[] = {
      {"x<TABLE><TD><A NAME=n>a<BR><!-- open", "[x] TABLE({[a]})"},
      {"<TABLE><TD>a<TABLE><TD>b<BR><!-- open", "TABLE({[a] TABLE({[b]})})"},
      {"<TABLE><TD>a<TR>lead<A NAME=n>more<BR><!-- open", "[leadmore] TABLE({[a]}/)"},
      {"<TABLE><CAPTION><A NAME=n>c<BR><!-- open", "TABLE(cap{[c]})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    layout::TSectionList doc;
    parser::TAnchorList anchors;
    EXPECT_THROW(parser::ParseHtmlBuffer(doc, anchors, c.html, {}), parser::EParseError);
    EXPECT_EQ(Shape(doc), c.shape);
    std::set<const layout::TSectionBase*> sections;
    AllSections(doc, sections);
    for (const auto& [name, section] : anchors) EXPECT_EQ(sections.count(section), 1u) << name;
    // A file ends as quietly with the same document.
    testing_support::TempDir dir;
    dir.Write("p.htm", c.html);
    layout::TSectionList fromFile;
    parser::TAnchorList fileAnchors;
    parser::ParseHtmlFile(fromFile, fileAnchors, dir.Path() / "p.htm", {});
    EXPECT_EQ(Shape(fromFile), c.shape);
  }
}

std::string Dump(const std::string& html, int width) {
  const tools::LaidOutPage page = tools::LayOutHtml(html, TestSettings(width));
  std::ostringstream out;
  tools::DumpDocument(page, out);
  return out.str();
}

TEST(TableReader, DumpOfATable) {
  EXPECT_EQ(Dump("<TABLE BORDER WIDTH=100><TR ALIGN=right><TH>h<BR>h<TD VALIGN=bottom>ab"
                 "<TR><TD COLSPAN=2 VALIGN=bottom>c<CAPTION ALIGN=bottom>cap</TABLE>",
                 200),
            "document height=80 width=100 length=8\n"
            "TSection top=5 height=0 drawn=0 start=0 len=0 align=1 level=0\n"
            "ThtmlTable top=5 height=80 drawn=80 start=0 len=8 cols=2 width=100 x=0\n"
            "  row y=5 h=38\n"
            "    cell col=0 colspan=1 rowspan=1 x=5 y=10 w=44 h=38\n"
            "        TSection top=10 height=16 drawn=16 start=0 len=1 align=3 level=0\n"
            "          line y=10 x=29 w=8 h=16 base=13 \"h\"\n"
            "        TSection top=26 height=16 drawn=16 start=1 len=1 align=3 level=0\n"
            "          line y=26 x=29 w=8 h=16 base=13 \"h\"\n"
            "    cell col=1 colspan=1 rowspan=1 x=49 y=26 w=52 h=38\n"  // at the bottom
            "        TSection top=26 height=16 drawn=16 start=2 len=2 align=3 level=0\n"
            "          line y=26 x=29 w=16 h=16 base=13 \"ab\"\n"
            "  row y=43 h=22\n"
            "    cell col=0 colspan=2 rowspan=1 x=5 y=48 w=96 h=22\n"
            "        TSection top=48 height=16 drawn=16 start=4 len=1 align=1 level=0\n"
            "          line y=48 x=0 w=8 h=16 base=13 \"c\"\n"
            "    cell col=caption colspan=1 rowspan=1 x=0 y=69 w=100 h=16\n"
            "        TSection top=69 height=16 drawn=16 start=5 len=3 align=2 level=0\n"
            "          line y=69 x=38 w=24 h=16 base=13 \"cap\"\n");
}

TEST(TableReader, DumpOfANestedTable) {
  EXPECT_EQ(Dump("<UL><LI><TABLE CELLPADDING=0 ALIGN=center><TD>a<TABLE><CAPTION>c</CAPTION><TD "
                 "ROWSPAN=2>b<TD>d<TR><TD>e</TABLE></TABLE></UL>",
                 200),
            "document height=94 width=200 length=6\n"
            "TSection top=5 height=0 drawn=0 start=0 len=0 align=1 level=0\n"
            "TUListItem top=5 height=16 drawn=16 start=0 len=1 align=1 level=1\n"
            "  line y=5 x=35 w=8 h=16 base=13 \" \"\n"
            // Centred in the 165 pixels right of the list's indent.
            "ThtmlTable top=21 height=78 drawn=78 start=1 len=5 cols=1 width=30 x=102\n"
            "  row y=21 h=76\n"
            "    cell col=0 colspan=1 rowspan=1 x=2 y=23 w=28 h=76\n"
            "        TSection top=23 height=16 drawn=16 start=1 len=1 align=1 level=0\n"
            "          line y=23 x=0 w=8 h=16 base=13 \"a\"\n"
            "        ThtmlTable top=39 height=58 drawn=58 start=2 len=4 cols=2 width=26 x=0\n"
            "            cell col=caption colspan=1 rowspan=1 x=0 y=39 w=26 h=16\n"
            "                TSection top=39 height=16 drawn=16 start=2 len=1 align=2 level=0\n"
            "                  line y=39 x=9 w=8 h=16 base=13 \"c\"\n"
            "          row y=55 h=20\n"
            "            cell col=0 colspan=1 rowspan=2 x=3 y=68 w=12 h=40\n"  // in the middle
            "                TSection top=68 height=16 drawn=16 start=3 len=1 align=1 level=0\n"
            "                  line y=68 x=0 w=8 h=16 base=13 \"b\"\n"
            "            cell col=1 colspan=1 rowspan=1 x=15 y=58 w=12 h=20\n"
            "                TSection top=58 height=16 drawn=16 start=4 len=1 align=1 level=0\n"
            "                  line y=58 x=0 w=8 h=16 base=13 \"d\"\n"
            "          row y=75 h=20\n"  // the filler under b is not shown
            "            cell col=1 colspan=1 rowspan=1 x=15 y=78 w=12 h=20\n"
            "                TSection top=78 height=16 drawn=16 start=5 len=1 align=1 level=0\n"
            "                  line y=78 x=0 w=8 h=16 base=13 \"e\"\n");
}

}  // namespace
