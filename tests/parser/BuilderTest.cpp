#include "parser/HtmlBuilder.h"

#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "layout/BlockSections.h"
#include "layout/Section.h"
#include "tools/PageRender.h"

namespace {

using layout::TSection;

// Pages in the test font: 8-pixel characters, 16-pixel lines at 12 points.
tools::PageSettings TestSettings(int width = 400) {
  tools::PageSettings s;
  s.FontName = s.PreFontName = std::string(platform::kTestFontName);
  s.Width = width;
  return s;
}

// The class names of the document's sections, with the text of text
// sections in brackets; empty text sections are left out.
std::string Outline(const std::string& html) {
  const tools::LaidOutPage page = tools::LayOutHtml(html, TestSettings());
  std::string out;
  for (const auto& section : *page.Document) {
    const auto* text = dynamic_cast<const TSection*>(section.get());
    if (text && text->Length == 0) continue;
    if (!out.empty()) out += ' ';
    out += section->ClassName();
    if (text) out += "[" + text->Buff + "]";
  }
  return out;
}

std::vector<const TSection*> TextSections(const tools::LaidOutPage& page) {
  std::vector<const TSection*> sections;
  for (const auto& s : *page.Document)
    if (const auto* text = dynamic_cast<const TSection*>(s.get()); text && text->Length > 0)
      sections.push_back(text);
  return sections;
}

struct OutlineCase {
  const char* name;
  const char* html;
  const char* outline;
};

class BuilderOutline : public ::testing::TestWithParam<OutlineCase> {};
void PrintTo(const OutlineCase& c, std::ostream* os) {
  *os << c.name;
}

TEST_P(BuilderOutline, Sections) {
  EXPECT_EQ(Outline(GetParam().html), GetParam().outline);
}

const OutlineCase kOutlines[] = {
    {"TextBeforeBodyIsDropped", "lost<BODY>kept", "TSection[kept]"},
    // A BODY once the body holds a section is ignored.
    {"SecondBodyIsIgnored", "<BODY>a<P>b<BODY BGCOLOR=red>c",
     "TSection[a] TParagraphSpace TSection[bc]"},
    {"ParagraphRunGivesOneSpace", "a<P><P></P><P ALIGN=right>b",
     "TSection[a] TParagraphSpace TSection[b]"},
    {"ParagraphAfterHeadingAddsASpace", "<H1>h</H1><P>t",
     "THeadingSpace TSection[h] THeadingSpace TParagraphSpace TSection[t]"},
    {"BreakStartsASection", "a<BR>b", "TSection[a] TSection[b]"},
    {"RuleEndsTheSection", "a<HR>b", "TSection[a] THorzLine TSection[b]"},
    {"StrayGreaterThanIsNotShown", "a > b\x01 c", "TSection[a b c]"},
    {"UnknownTagsArePassedOver", "a<BLINK>b</BLINK><FRAMESET>c", "TSection[abc]"},
    {"ScriptWithoutHandlerIsSkipped", "a<SCRIPT>x<y</SCRIPT>b", "TSection[ab]"},
    {"OrderedItems", "<OL><LI>one<LI>two</OL>", "TOListItem[one] TOListItem[two]"},
    {"DirMenuAndDlGiveBullets", "<DIR><LI>a</DIR><MENU><LI>b</MENU><DL><LI>c</DL>",
     "TUListItem[a] TUListItem[b] TUListItem[c]"},
    {"ListStartingWithAnEndIsEmpty", "<UL></UL>x", "TSection[x]"},
    {"PreLinesBreakOnceAfterPAndBr", "<PRE>a<BR>\r\nb<P>\nc</PRE>",
     "TPreFormated[a] TPreFormated[b] TPreFormated[c]"},
    {"EmptyPreLineKeepsABlank", "<PRE>a\n\nb</PRE>",
     "TPreFormated[a] TPreFormated[ ] TPreFormated[b]"},
    {"PreKeepsBlanksAndEntities", "<PRE>  a &amp;  b</PRE>", "TPreFormated[  a &  b]"},
    {"PreKeepsALessThanThatStartsNoTag", "<PRE>if a < b</PRE>", "TPreFormated[if a < b]"},
    {"AddressIsItsOwnSection", "a<ADDRESS>b</ADDRESS>c", "TSection[a] TSection[b] TSection[c]"},
    {"CenterStartsAndEndsSections", "a<CENTER>b</CENTER>c", "TSection[a] TSection[b] TSection[c]"},
};
INSTANTIATE_TEST_SUITE_P(Builder, BuilderOutline, ::testing::ValuesIn(kOutlines),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Builder, ParagraphAlignmentComesFromTheLastP) {
  const tools::LaidOutPage page = tools::LayOutHtml("<P><P></P><P ALIGN=right>b", TestSettings());
  const auto texts = TextSections(page);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Alignment, base::jtRight);
}

// The end of CENTER ends a list left open inside it, and the centred block
// too.
TEST(Builder, EndOfCenterClosesAnOpenListAndTheBlock) {
  const tools::LaidOutPage page = tools::LayOutHtml("<CENTER><UL><LI>a</CENTER>b", TestSettings());
  const auto texts = TextSections(page);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1]->Buff, "b");
  EXPECT_EQ(texts[1]->Alignment, base::jtLeft);
}

TEST(Builder, BoldEndsEvenInsideStrong) {
  const tools::LaidOutPage page = tools::LayOutHtml("<STRONG>a<B>b</B>c</STRONG>d", TestSettings());
  const TSection& s = *TextSections(page)[0];
  const auto boldAt = [&](int pos) {
    int overhang = 0;
    return (s.Fonts.GetFontAt(pos, overhang)->Style() & platform::fsBold) != 0;
  };
  EXPECT_TRUE(boldAt(0));
  EXPECT_TRUE(boldAt(1));
  EXPECT_FALSE(boldAt(2));  // the end of B ended the bold of STRONG too
  EXPECT_FALSE(boldAt(3));
}

// The relative size of the font at the start of each text section.
std::vector<int> Sizes(const std::string& html) {
  const tools::LaidOutPage page = tools::LayOutHtml(html, TestSettings());
  std::vector<int> sizes;
  for (const TSection* s : TextSections(page)) {
    int overhang = 0;
    sizes.push_back(s->Fonts.GetFontAt(s->Length - 1, overhang)->RelativeSize);
  }
  return sizes;
}

TEST(Builder, FontSizes) {
  EXPECT_EQ(Sizes("<FONT SIZE=+1>a"), std::vector<int>{14});
  EXPECT_EQ(Sizes("<PRE><FONT SIZE=+1>a</PRE>"), std::vector<int>{12});
  EXPECT_EQ(Sizes("<FONT SIZE=+9>a"), std::vector<int>{36});
  EXPECT_EQ(Sizes("<FONT SIZE=-5>a"), std::vector<int>{8});
  // BASEFONT first: the text takes size 5, and +1 then means 6.
  EXPECT_EQ(Sizes("<BASEFONT SIZE=5>a<BR><FONT SIZE=+1>b"), (std::vector<int>{18, 24}));
  // BASEFONT once the body holds a section only moves the base of later
  // relative sizes.
  EXPECT_EQ(Sizes("a<BR><BASEFONT SIZE=5>b<BR><FONT SIZE=+1>c"), (std::vector<int>{12, 12, 24}));
  EXPECT_EQ(Sizes("<BIG>a</BIG><BR><SMALL>b"), (std::vector<int>{14, 10}));
  // BIG at size 7 keeps its size; its end tag pops only its own font.
  EXPECT_EQ(Sizes("<FONT SIZE=7><BIG>a</BIG><BR>b"), (std::vector<int>{36, 36}));
  EXPECT_EQ(Sizes("<H1>a</H1><TT>b"), (std::vector<int>{24, 10}));
}

TEST(Builder, FaceListTakesTheFirstNameTrimmed) {
  const tools::LaidOutPage page =
      tools::LayOutHtml("<FONT FACE=\" Arial , Helvetica\">x", TestSettings());
  int overhang = 0;
  EXPECT_EQ(TextSections(page)[0]->Fonts.GetFontAt(0, overhang)->Name(), "Arial");
}

TEST(Builder, AnchorsAndLinks) {
  const tools::LaidOutPage page = tools::LayOutHtml(
      "<A HREF=a.htm NAME=top TARGET=main>x</A>y<A HREF=b.htm>z<A HREF=\"\">w</A>v",
      TestSettings());
  ASSERT_EQ(page.Anchors.count("TOP"), 1u);
  const TSection& s = *TextSections(page)[0];
  EXPECT_EQ(page.Anchors.at("TOP"), &s);
  const auto urlAt = [&](int pos) {
    int index = 0;
    return s.Fonts.GetRunAt(pos, index)->UrlTarget().Url;
  };
  EXPECT_EQ(s.Buff, "xyzwv");
  EXPECT_EQ(urlAt(0), "a.htm");
  EXPECT_EQ(urlAt(1), "");
  EXPECT_EQ(urlAt(2), "b.htm");
  EXPECT_EQ(urlAt(3), "");  // an empty HREF only closed the link
  int index = 0;
  EXPECT_EQ(s.Fonts.GetRunAt(0, index)->UrlTarget().Target, "main");
}

// BODY drops the text before it; anchors in that text must not be left
// naming the freed section: they name the section that follows BODY.
TEST(Builder, AnchorsAlwaysNameASectionOfTheDocument) {
  const struct {
    const char* html;
    const char* anchor;
    const char* text;  // of the section the anchor names
  } cases[] = {
      {"<A NAME=top>x<BODY>y", "TOP", "y"},
      {"<A NAME=a>x<BODY><A NAME=b>y<BODY>z", "A", "z"},
      {"<A NAME=a>x<BODY><A NAME=b>y<BODY>z", "B", "z"},
      {"<A NAME=a>x<BODY><A NAME=a>y<BODY>z", "A", "z"},
      {"x<P><A NAME=c>y<BODY>z", "C", "yz"},  // a late BODY changes nothing
      {"<A NAME=h>x<HR><BODY>y", "H", "x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    const tools::LaidOutPage page = tools::LayOutHtml(c.html, TestSettings());
    for (const auto& [name, section] : page.Anchors) {
      bool inDocument = false;
      for (const auto& s : *page.Document) inDocument |= s.get() == section;
      EXPECT_TRUE(inDocument) << name;
    }
    ASSERT_EQ(page.Anchors.count(c.anchor), 1u);
    const auto* named = dynamic_cast<const TSection*>(page.Anchors.at(c.anchor));
    ASSERT_NE(named, nullptr);
    EXPECT_EQ(named->Buff, c.text);
  }
}

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  out.reserve(piece.size() * static_cast<size_t>(times));
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Nesting as deep as a file can hold is read without recursing past a fixed
// depth: no text is lost, deeper lists stay at the deepest level, and the
// end tags still close the levels they belong to.
TEST(Builder, DeepNestingKeepsTheTextAndItsStructure) {
  const struct {
    const char* name;
    std::string html;
    int characters;  // laid out
    int deepestLevel;
    int lastLevel;  // of the section after the last end tag, if any
  } cases[] = {
      {"CENTER", Repeat("<CENTER>x", 25000), 25000, 0, 0},
      {"DIV", Repeat("<DIV>", 25000) + "x" + Repeat("</DIV>", 25000) + "y", 2, 0, 0},
      {"UL", Repeat("<UL><LI>", 50000) + "x" + Repeat("</UL>", 50000) + "end", 4,
       parser::kMaxNestingDepth, 0},
      {"BLOCKQUOTE", Repeat("<BLOCKQUOTE>", 100000) + "x", 1, parser::kMaxNestingDepth,
       parser::kMaxNestingDepth},
      {"DL DD", Repeat("<DL><DD>", 100000) + "x", 1, parser::kMaxNestingDepth,
       parser::kMaxNestingDepth},
      // A list inside CENTER starts again at level 1.
      {"lists in CENTER", Repeat("<CENTER><OL><LI>x", 20000), 20000, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const tools::LaidOutPage page = tools::LayOutHtml(c.html, TestSettings());
    EXPECT_EQ(page.Document->Length, c.characters);
    int deepest = 0, last = -1;
    for (const auto* text : TextSections(page)) {
      deepest = std::max(deepest, text->Level);
      last = text->Level;
    }
    EXPECT_EQ(deepest, c.deepestLevel);
    EXPECT_EQ(last, c.lastLevel);
  }
}

TEST(Builder, NestingJustBelowTheLimitIsKept) {
  const int depth = parser::kMaxNestingDepth;
  const tools::LaidOutPage page =
      tools::LayOutHtml(Repeat("<UL><LI>x", depth) + Repeat("</UL>", depth) + "y", TestSettings());
  const auto texts = TextSections(page);
  ASSERT_EQ(texts.size(), static_cast<size_t>(depth + 1));
  for (int i = 0; i < depth; ++i) EXPECT_EQ(texts[static_cast<size_t>(i)]->Level, i + 1);
  EXPECT_EQ(texts.back()->Level, 0);
}

TEST(Builder, OrderedListsAndDefinitionLevels) {
  const tools::LaidOutPage page = tools::LayOutHtml(
      "<OL START=0 TYPE=i><LI>a<LI>b</OL><DL><DT>t<DD>d</DL><UL PLAIN><LI>p</OL>", TestSettings());
  const auto texts = TextSections(page);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0]->ItemNumber, 0);
  EXPECT_EQ(texts[1]->ItemNumber, 1);
  EXPECT_EQ(texts[1]->ListType, 'i');
  EXPECT_EQ(texts[2]->Level, 0);  // DT one level left of DD
  EXPECT_EQ(texts[3]->Level, 1);
  EXPECT_EQ(texts[2]->MarkerKind, layout::mkNoMarker);
  EXPECT_TRUE(texts[4]->PlainBullet);  // and the end of OL closed the UL
}

TEST(Builder, SpaceAndRuleHeightsFollowTheBaseSize) {
  const tools::LaidOutPage page =
      tools::LayOutHtml("a<P>b<H1>c</H1><H4>d</H4><HR><HR SIZE=5><H2>e</H>f", TestSettings());
  std::vector<std::pair<std::string, int>> blocks;
  for (const auto& s : *page.Document)
    if (!dynamic_cast<const TSection*>(s.get())) blocks.emplace_back(s->ClassName(), s->Height);
  const std::vector<std::pair<std::string, int>> expected = {
      {"TParagraphSpace", 14}, {"THeadingSpace", 16}, {"THeadingSpace", 16},
      {"THeadingSpace", 8},    {"THeadingSpace", 8},  {"THorzLine", 20},
      {"THorzLine", 23},       {"THeadingSpace", 12}, {"THeadingSpace", 8}};  // </H>: level 0
  EXPECT_EQ(blocks, expected);
}

TEST(Builder, ScriptAndSoundHooks) {
  std::vector<std::pair<std::string, std::string>> scripts;
  std::vector<std::pair<std::string, int>> sounds;
  parser::TParseHooks hooks;
  hooks.Script = [&](const std::string& language, std::string text) {
    scripts.emplace_back(language, std::move(text));
  };
  layout::TSectionList doc;
  parser::TAnchorList anchors;
  parser::ParseHtmlBuffer(doc, anchors,
                          "<SCRIPT LANGUAGE=JavaScript>if (a<b) x();\n<!-- c -->\r\n</script >"
                          "</SCRIPT>",
                          hooks);
  ASSERT_EQ(scripts.size(), 1u);
  EXPECT_EQ(scripts[0].first, "JavaScript");
  EXPECT_EQ(scripts[0].second, "if (a<b) x();\r\n<!-- c -->\r\n</script >");

  // Sounds come from files only (a memory block has no sound hook).
  testing_support::TempDir dir;
  dir.Write("page.htm", "<BGSOUND SRC=a.wav LOOP=3><BGSOUND SRC=b.wav><BGSOUND LOOP=2>");
  hooks.Sound = [&](const std::string& src, int loop, bool) { sounds.emplace_back(src, loop); };
  layout::TSectionList doc2;
  parser::ParseHtmlFile(doc2, anchors, dir.Path() / "page.htm", hooks);
  EXPECT_EQ(sounds, (std::vector<std::pair<std::string, int>>{{"a.wav", 3}, {"b.wav", 1}}));
}

TEST(Builder, TitleBaseAndMeta) {
  std::vector<std::string> meta;
  parser::TParseHooks hooks;
  hooks.Meta = [&](const std::string& h, const std::string& n, const std::string& c) {
    meta.push_back(h + "|" + n + "|" + c);
  };
  testing_support::TempDir dir;
  dir.Write("p.htm",
            "<TITLE>My  page</TITLE><BASE HREF=\"http://x/\" TARGET=t>"
            "<META HTTP-EQUIV=refresh CONTENT=\"5; URL=a.htm\">");
  layout::TSectionList doc;
  parser::TAnchorList anchors;
  const parser::TParseResult r = parser::ParseHtmlFile(doc, anchors, dir.Path() / "p.htm", hooks);
  EXPECT_EQ(r.Title, "My page");
  EXPECT_EQ(r.Base, "http://x/");
  EXPECT_EQ(r.BaseTarget, "t");
  EXPECT_EQ(meta, std::vector<std::string>{"refresh||5; URL=a.htm"});
}

TEST(Builder, OpenCommentEndsQuietlyOnlyForFiles) {
  testing_support::TempDir dir;
  dir.Write("p.htm", "<TITLE>t</TITLE>kept<P>more<!-- open");
  layout::TSectionList doc;
  parser::TAnchorList anchors;
  const parser::TParseResult result = parser::ParseHtmlFile(doc, anchors, dir.Path() / "p.htm", {});
  EXPECT_EQ(result.Title, "t");
  // What was built stays; the text the scanner was still reading when it
  // met the comment is lost with the symbol.
  std::vector<std::string> texts;
  for (const auto& section : doc)
    if (const auto* text = dynamic_cast<const TSection*>(section.get()); text && text->Length)
      texts.push_back(text->Buff);
  EXPECT_EQ(texts, std::vector<std::string>{"kept"});
  layout::TSectionList doc2;
  EXPECT_THROW(parser::ParseHtmlBuffer(doc2, anchors, "a<P>b<!-- open", {}), parser::EParseError);
  EXPECT_GE(doc2.Count(), 2);  // the pending section was handed over
}

// Numbers from a page are clamped where they are read, so that nothing
// computed from them later overflows (the sanitizer build checks the rest).
TEST(Builder, ExtremeNumbersAreClampedWhereTheyAreRead) {
  {
    const tools::LaidOutPage page =
        tools::LayOutHtml("<OL START=2147483647><LI>a<LI>b</OL>", TestSettings());
    const auto texts = TextSections(page);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->ItemNumber, 2147483647);
    EXPECT_EQ(texts[1]->ItemNumber, 2147483647);  // the count stops at the largest
  }
  for (const char* html : {"<FONT SIZE=+2147483647>x", "<BASEFONT SIZE=+2147483647><FONT>x",
                           "<FONT SIZE=-2147483648>x"}) {
    SCOPED_TRACE(html);
    const tools::LaidOutPage page = tools::LayOutHtml(html, TestSettings());
    const int size = TextSections(page)[0]->Fonts[0]->Font.RelativeSize;
    EXPECT_TRUE(size == layout::kFontSizes[6] || size == layout::kFontSizes[0]) << size;
  }
  {
    const tools::LaidOutPage page =
        tools::LayOutHtml("<HR WIDTH=2147483647 ALIGN=left>", TestSettings());
    const layout::THorzLine* rule = nullptr;
    for (const auto& s : *page.Document)
      if (auto* r = dynamic_cast<const layout::THorzLine*>(s.get())) rule = r;
    ASSERT_NE(rule, nullptr);
    EXPECT_EQ(rule->RuleWidth, base::kMaxExtent);
  }
  {
    // A word wider than any int: its width stops at the largest extent.
    tools::PageSettings settings = TestSettings();
    settings.Size = 1000;
    const tools::LaidOutPage page = tools::LayOutHtml(std::string(4000000, 'W'), settings);
    const TSection& word = *TextSections(page)[0];
    EXPECT_EQ(word.TextWidth(0, false, word.Length), base::kMaxExtent);
    EXPECT_EQ(page.Document->Length, 4000000);
  }
}

TEST(Builder, ManyHrefsOnOneTagTakeTheLast) {
  std::string html = "<A TARGET=t";
  for (int i = 0; i < 100000; ++i) html += " HREF=x";
  html += " HREF=last.htm>a</A>";
  const tools::LaidOutPage page = tools::LayOutHtml(html, TestSettings());
  const TSection& s = *TextSections(page)[0];
  int index = 0;
  EXPECT_EQ(s.Fonts.GetRunAt(0, index)->UrlTarget().Url, "last.htm");
  EXPECT_EQ(s.Fonts.GetRunAt(0, index)->UrlTarget().Target, "t");
}

TEST(BlockSections, RuleAttributes) {
  const struct {
    const char* html;
    int thickness, width;
    bool percent;
    int align;
  } cases[] = {
      {"<HR SIZE=0>", 2, -1, false, 2},
      {"<HR SIZE=21>", 2, -1, false, 2},
      {"<HR SIZE=7 WIDTH=50%>", 7, 50, true, 2},
      {"<HR WIDTH=150%>", 2, -1, true, 2},
      {"<HR WIDTH=200 ALIGN=right>", 2, 200, false, 3},
      {"<HR ALIGN=LEFT>", 2, -1, false, 1},
  };
  for (const auto& c : cases) {
    const tools::LaidOutPage page = tools::LayOutHtml(c.html, TestSettings());
    const layout::THorzLine* rule = nullptr;
    for (const auto& s : *page.Document)
      if (auto* r = dynamic_cast<const layout::THorzLine*>(s.get())) rule = r;
    ASSERT_NE(rule, nullptr) << c.html;
    EXPECT_EQ(rule->Thickness, c.thickness) << c.html;
    EXPECT_EQ(rule->RuleWidth, c.width) << c.html;
    EXPECT_EQ(rule->WidthIsPercent, c.percent) << c.html;
    EXPECT_EQ(rule->RuleAlign, c.align) << c.html;
  }
}

// Columns of the drawn rule's top row in the rendered page.
std::pair<int, int> RuleSpan(const platform::Bitmap& b, int y, platform::TColor color) {
  int first = -1, last = -1;
  for (int x = 0; x < b.Width(); ++x)
    if (b.GetPixel(x, y) == color) {
      if (first < 0) first = x;
      last = x;
    }
  return {first, last};
}

TEST(BlockSections, RuleDrawing) {
  tools::PageSettings settings = TestSettings(600);
  settings.MarginWidth = 0;
  settings.MarginHeight = 0;
  // 20 pixels high, thickness 2: the rule's top is 9 pixels down.
  const struct {
    const char* html;
    platform::TColor color;
    int first, last;
  } cases[] = {
      {"<HR WIDTH=50% NOSHADE>", platform::clBlack, 150, 450},
      {"<HR WIDTH=150% NOSHADE>", platform::clBlack, 10, 590},
      {"<HR WIDTH=200 ALIGN=right NOSHADE>", platform::clBlack, 400, 599},  // to the edge
      {"<HR COLOR=red>", platform::clRed, 10, 589},
      {"<HR>", platform::RGB(128, 128, 128), 10,
       589},  // the dark edge; the light one starts at 590
  };
  for (const auto& c : cases) {
    tools::LaidOutPage page = tools::LayOutHtml(c.html, settings);
    const platform::Bitmap b = tools::RenderPage(page, settings);
    EXPECT_EQ(RuleSpan(b, 9, c.color), std::make_pair(c.first, c.last)) << c.html;
  }
  // On a white page the light edge of a shaded rule is silver.
  tools::LaidOutPage page = tools::LayOutHtml("<HR>", settings);
  const platform::Bitmap b = tools::RenderPage(page, settings);
  EXPECT_EQ(b.GetPixel(300, 11), platform::clSilver);
  EXPECT_EQ(b.GetPixel(590, 10), platform::clSilver);
}

TEST(BlockSections, PreformattedLinesAreNotBroken) {
  const std::string longLine(100, 'x');  // 700 pixels at the preformatted size of 10 points
  const tools::LaidOutPage page =
      tools::LayOutHtml("<PRE>" + longLine + "</PRE>", TestSettings(200));
  const auto texts = TextSections(page);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0]->Lines.Count(), 1);
  EXPECT_EQ(page.DocWidth, 700);
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  base::TExtent narrowest = 0, widest = 0;
  const_cast<TSection*>(texts[0])->GetMinMaxWidth(canvas, narrowest, widest);
  EXPECT_EQ(widest, 700);
  EXPECT_EQ(narrowest, 500);
}

TEST(Builder, DumpOfADocument) {
  const tools::LaidOutPage page =
      tools::LayOutHtml("<P ALIGN=center>ab cd<UL><LI><A NAME=\"x y\">e</UL>", TestSettings(200));
  std::ostringstream out;
  tools::DumpDocument(page, out);
  EXPECT_EQ(out.str(),
            "document height=46 width=200 length=6\n"
            "TSection top=5 height=0 drawn=0 start=0 len=0 align=1 level=0\n"
            "TParagraphSpace top=5 height=14 drawn=14 start=0 len=0\n"
            "TSection top=19 height=16 drawn=16 start=0 len=5 align=2 level=0\n"
            "  line y=19 x=80 w=40 h=16 base=13 \"ab cd\"\n"
            "TUListItem top=35 height=16 drawn=16 start=5 len=1 align=1 level=1\n"
            "  line y=35 x=35 w=8 h=16 base=13 \"e\"\n"
            "anchor X Y y=35\n");
}

}  // namespace
