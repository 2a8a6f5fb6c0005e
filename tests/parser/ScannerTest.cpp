#include "parser/Scanner.h"

#include <gtest/gtest.h>

#include <sstream>

#include "TestSupport.h"
#include "tools/TokenDump.h"

namespace {

using parser::THtmlScanner;

// The token dump of a document scanned from memory, one symbol a line,
// without the final EOF line.
std::string Tokens(const std::string& html, bool inPre = false) {
  THtmlScanner scanner;
  scanner.InPre = inPre;
  scanner.Source().OpenMemory(html.data(), html.size());
  std::ostringstream out;
  tools::DumpTokens(scanner, out);
  std::string text = out.str();
  const std::string eof = "EOF\n";
  if (text.size() >= eof.size() && text.compare(text.size() - eof.size(), eof.size(), eof) == 0)
    text.resize(text.size() - eof.size());
  return text;
}

struct ScanCase {
  const char* name;
  std::string html;
  std::string tokens;
};

void PrintTo(const ScanCase& c, std::ostream* os) {
  *os << c.name;
}

class Scan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(Scan, Tokens) {
  EXPECT_EQ(Tokens(GetParam().html), GetParam().tokens);
}

const ScanCase kScanCases[] = {
    // Text, blanks and line ends.
    {"BlanksCollapseOverCrLfPairs", "a\r\n\r\nb", "TEXT \"a b\"\n"},
    {"LfCrIsOneLineEnd", "a\n\r\n\rb", "TEXT \"a b\"\n"},
    {"TabsAreBlanks", "a\t\tb", "TEXT \"a b\"\n"},
    {"LoneLessThanIsText", "x < y", "TEXT \"x \"\nTEXT \"<\"\nTEXT \" y\"\n"},
    {"StrayGreaterThanIsOtherChar", "a>b", "TEXT \"a\"\nOTHER \">\"\nTEXT \"b\"\n"},
    {"ControlCharacterIsOtherChar",
     "a\x01"
     "b",
     "TEXT \"a\"\nOTHER \"\\x01\"\nTEXT \"b\"\n"},
    {"EndOfInputByteEndsEverything", "a\x1A<b>c", "TEXT \"a\"\n"},
    {"LongTextSplitsAtOneHundred", std::string(150, 'x'),
     "TEXT \"" + std::string(100, 'x') + "\"\nTEXT \"" + std::string(50, 'x') + "\"\n"},
    {"HighBytesPassThrough", "\xC0\xFF", "TEXT \"\\xc0\\xff\"\n"},
    // Comments and declarations.
    {"DeclarationAndCommentVanish", "<!DOCTYPE HTML PUBLIC \"x\"><!-- a -- b -->c", "TEXT \"c\"\n"},
    {"CommentEndsAfterDashesAndBlanks", "<!-- x -- \r\n >a<!-- y --->b", "TEXT \"ab\"\n"},
    {"CommentsInTextCollapseToOneBlank", "a <!-- x --> <!----> b", "TEXT \"a b\"\n"},
    {"OpeningDashesDoNotClose", "<!-->a-->b", "TEXT \"b\"\n"},
    {"EmptyDeclaration", "<!>a", "TEXT \"a\"\n"},
    // The text before it is still being read when the error comes.
    {"UnterminatedComment", "a<!-- never closed", "ERROR \"Open Comment at End of HTML File\"\n"},
    {"UnterminatedDeclaration", "<!DOCTYPE", "ERROR \"Open Comment at End of HTML File\"\n"},
    // Tags.
    {"HeadingWithLevelAndAttribute", "<H2 ALIGN=center>t</h2>",
     "START H level=2 ALIGN=0:\"center\"\nTEXT \"t\"\nEND H level=2\n"},
    {"HeadingLevelAfterABlank", "<h 3>", "START H level=3\n"},
    {"HeadingSevenHasNoLevel", "<H7>", "START H level=0\n"},
    {"EndTagOfALateNameIsUnknown", "</LI></tr>", "UNKNOWN-TAG\nEND TR\n"},
    {"UnknownTagName", "<BLINK>x</BLINK>", "UNKNOWN-TAG\nTEXT \"x\"\nUNKNOWN-TAG\n"},
    {"TagsKeepingNoAttributesShowNone", "<CENTER ALIGN=x><LI TYPE=A>", "START CENTER\nSTART LI\n"},
    {"UnknownAttributeName", "<P VSPACE=4 ALIGN=right>", "START P ?=4:\"4\" ALIGN=0:\"right\"\n"},
    {"UnterminatedTagEndsAtEndOfInput", "<B", "START B\n"},
    // Attribute values.
    {"BareBorderIsOne", "<TABLE BORDER><TABLE BORDER=0>",
     "START TABLE BORDER=1:\"\"\nSTART TABLE BORDER=0:\"0\"\n"},
    {"QuotedHrefDecodesEntities", "<A HREF=\"a&amp;b.htm\">", "START A HREF=0:\"a&b.htm\"\n"},
    {"BareHrefKeepsEntityText", "<A HREF=a&amp;b.htm>", "START A HREF=0:\"a&amp;b.htm\"\n"},
    {"QuotedValuesDropLineEndsAndTrim", "<A NAME=' x\r\ny '>", "START A NAME=0:\"xy\"\n"},
    {"SingleQuotesHoldDoubleQuotes", "<IMG ALT='say \"hi\"'>",
     "START IMG ALT=0:\"say \\\"hi\\\"\"\n"},
    {"PercentWidths", "<TD WIDTH=50%><TD WIDTH=50 %><TD WIDTH=\"75%\">",
     "START TD WIDTH=50:\"50%\"\nSTART TD WIDTH=50:\"50%\"\nSTART TD WIDTH=75:\"75%\"\n"},
    {"SignedNumbers", "<FONT SIZE=+2><FONT SIZE=-1>",
     "START FONT SIZE=2:\"+2\"\nSTART FONT SIZE=-1:\"-1\"\n"},
    {"NumberWithUnitIsZero", "<IMG WIDTH=100px>", "START IMG WIDTH=0:\"100PX\"\n"},
    {"UnterminatedQuoteRunsToEnd", "<A HREF=\"x", "START A HREF=0:\"x\"\n"},
    {"DuplicateAttributesStay", "<FONT SIZE=1 SIZE=2>", "START FONT SIZE=1:\"1\" SIZE=2:\"2\"\n"},
    {"SelectedAndWrapShareTagSymbols", "<OPTION SELECTED><TEXTAREA WRAP=soft>",
     "START OPTION SELECTED=0:\"\"\nSTART TEXTAREA WRAP=0:\"soft\"\n"},
    // Entities.
    {"NamedEntitiesAreCaseSensitive", "&Auml;&auml;&AMP;",
     "TEXT \"\\xc4\"\nTEXT \"\\xe4\"\nTEXT \"&AMP;\"\n"},
    {"EntityWithoutSemicolon", "&lt;b&gtc", "TEXT \"<\"\nTEXT \"b\"\nTEXT \"&gtc\"\n"},
    {"NumericEntities", "&#65;&#9;&#8;&#300;&#;",
     "TEXT \"A\"\nTEXT \" \"\nTEXT \"&#8;\"\nTEXT \"&#300;\"\nTEXT \"&#;\"\n"},
    {"SixDigitsEndAReference", "&#000065;", "TEXT \"&#000065\"\nTEXT \";\"\n"},
    {"SevenLettersEndAName", "&abcdefgh;", "TEXT \"&abcdefg\"\nTEXT \"h;\"\n"},
    {"LoneAmpersand", "a & b", "TEXT \"a \"\nTEXT \"&\"\nTEXT \" b\"\n"},
};

INSTANTIATE_TEST_SUITE_P(Scanner, Scan, ::testing::ValuesIn(kScanCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Scanner, PreformattedTextKeepsBlanksAndLineEnds) {
  EXPECT_EQ(Tokens("a  b\r\nc", true), "TEXT \"a  b\\x0dc\"\n");
}

TEST(Scanner, TagWithoutAttributesLeavesTheListAlone) {
  const std::string html = "<P ALIGN=left><LI TYPE=A>";
  THtmlScanner scanner;
  scanner.Source().OpenMemory(html.data(), html.size());
  scanner.NextChar();
  scanner.NextSymbol();
  ASSERT_EQ(scanner.CurrentSymbol, parser::PSy);
  scanner.NextSymbol();
  ASSERT_EQ(scanner.CurrentSymbol, parser::LISy);
  ASSERT_EQ(scanner.Attributes.Count(), 1);
  EXPECT_EQ(scanner.Attributes[0]->Symbol, parser::AlignSy);
  EXPECT_EQ(scanner.Attributes[0]->StrValue, "left");
}

TEST(Scanner, ParagraphSpaceFlagIsClearedByNewContent) {
  const struct {
    std::string html;
    bool cleared;
  } cases[] = {{"x", true},    {"<BR>", true},  {"<H1>", true}, {"<IMG>", true},
               {"<B>", false}, {"</P>", false}, {"<P>", false}, {">", false}};
  for (const auto& c : cases) {
    THtmlScanner scanner;
    scanner.Source().OpenMemory(c.html.data(), c.html.size());
    scanner.NextChar();
    scanner.ParagraphSpaceJustEmitted = true;
    scanner.NextSymbol();
    EXPECT_EQ(!scanner.ParagraphSpaceJustEmitted, c.cleared) << c.html;
  }
}

// A script read with the raw reader: the symbols and their tokens.
std::string ScriptSymbols(const std::string& body, bool inScript) {
  THtmlScanner scanner;
  scanner.InScript = inScript;
  scanner.Source().OpenMemory(body.data(), body.size());
  scanner.NextChar();
  std::string out;
  for (int i = 0; i < 20; ++i) {
    scanner.NextScriptSymbol();
    switch (scanner.CurrentSymbol) {
      case parser::EofSymbol:
        return out + "eof";
      case parser::LineEndSymbol:
        out += "/";
        break;
      case parser::ScriptEndSy:
        out += "[end]";
        break;
      case parser::UnknownTagSymbol:
        out += "{" + scanner.Token + "}";
        break;
      default:
        out += scanner.Token;
    }
  }
  return out;
}

TEST(Scanner, ScriptReaderKeepsCommentsOnlyForAHandler) {
  const std::string script = "a<!-- x -->b\r\nif (a<b) c</SCRIPT >d</Script>";
  // A blank before ">" keeps the end tag from being one.
  EXPECT_EQ(ScriptSymbols(script, true), "a{<}!-- x -->b/if (a{<b}) c{</SCRIPT} >d[end]eof");
  EXPECT_EQ(ScriptSymbols(script, false), "ab/if (a{<b}) c{</SCRIPT} >d[end]eof");
}

TEST(Scanner, TextAreaReader) {
  const std::string body = "line &amp; more\r\n<b>x</TEXTAREA>";
  THtmlScanner scanner;
  scanner.Source().OpenMemory(body.data(), body.size());
  scanner.NextChar();
  using Read = std::pair<parser::Symbol, std::string>;
  std::vector<Read> got;
  do {
    scanner.NextTextAreaSymbol();
    got.emplace_back(scanner.CurrentSymbol, scanner.Token);
  } while (scanner.CurrentSymbol != parser::EofSymbol && got.size() < 20);
  // After "<b" the ">" is ordinary text for this reader; the end tag's word
  // stops before its ">".
  const std::vector<Read> expected = {{parser::TextSymbol, "line "},
                                      {parser::TextSymbol, "&"},
                                      {parser::TextSymbol, " more"},
                                      {parser::LineEndSymbol, ""},
                                      {parser::UnknownTagSymbol, "<b"},
                                      {parser::TextSymbol, ">x"},
                                      {parser::TextAreaEndSy, "</TEXTAREA"},
                                      {parser::TextSymbol, ">"},
                                      {parser::EofSymbol, ""}};
  EXPECT_EQ(got, expected);
}

// Include hook that answers every directive with a fixed buffer.
struct IncludeRecorder {
  std::string buffer;
  std::vector<std::string> commands;
  std::vector<std::vector<std::string>> params;
  parser::TIncludeType Hook() {
    return [this](const std::string& command, std::vector<std::string> p, const char*& data,
                  int& size) {
      commands.push_back(command);
      params.push_back(std::move(p));
      data = buffer.data();
      size = static_cast<int>(buffer.size());
    };
  }
};

TEST(Scanner, IncludeDirectiveReadsTheHookBufferInPlace) {
  IncludeRecorder include{"<B>in</B> <!--#nested x=1-->", {}, {}};
  const std::string html = "a<!--#include file=\"part.htm\" Virtual=x -->b";
  THtmlScanner scanner;
  scanner.IncludeHook = include.Hook();
  scanner.Source().OpenMemory(html.data(), html.size());
  std::ostringstream out;
  tools::DumpTokens(scanner, out);
  // The directive inside the include buffer is a plain comment.
  EXPECT_EQ(out.str(), "TEXT \"a\"\nSTART B\nTEXT \"in\"\nEND B\nTEXT \" b\"\nEOF\n");
  ASSERT_EQ(include.commands, std::vector<std::string>{"include"});
  EXPECT_EQ(include.params[0], (std::vector<std::string>{"FILE=\"part.htm\"", "VIRTUAL=\"x\""}));
}

TEST(Scanner, IncludeWithoutHookIsAComment) {
  EXPECT_EQ(Tokens("a<!--#include file=x-->b"), "TEXT \"ab\"\n");
}

TEST(Scanner, FileAndMemorySourcesAgreeAcrossBufferBoundaries) {
  // Line ends, tags and entities that straddle the 2000-byte reads.
  std::string html;
  for (int i = 0; html.size() < 9000; ++i)
    html += "<P ALIGN=\"center\">line " + std::to_string(i) + " &amp; &#65;\r\n<!-- c -->" +
            std::string(static_cast<size_t>(i % 7), ' ') + "\n\r";
  testing_support::TempDir dir;
  dir.Write("page.htm", html);
  THtmlScanner fromFile;
  ASSERT_TRUE(fromFile.Source().OpenFile(dir.Path() / "page.htm"));
  std::ostringstream fileTokens;
  tools::DumpTokens(fromFile, fileTokens);
  EXPECT_EQ(fileTokens.str(), Tokens(html) + "EOF\n");
}

}  // namespace
