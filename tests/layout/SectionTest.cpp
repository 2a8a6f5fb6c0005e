#include "layout/Section.h"

#include <gtest/gtest.h>

#include "layout/SectionList.h"
#include "platform/CodePage.h"

namespace {

using namespace layout;

// A document in the test font at 12 points: every character is 8 pixels
// wide, lines are 16 pixels high with a descent of 3.
class SectionTest : public ::testing::Test {
 protected:
  SectionTest() : bitmap_(400, 300), canvas_(bitmap_) {
    doc_.FontName = doc_.FixedFontName = std::string(platform::kTestFontName);
    doc_.BaseFontSize = 12;
    doc_.CharSet = platform::RUSSIAN_CHARSET;
    doc_.FontColor = platform::clBlack;
    doc_.Background = platform::clWhite;
    font_.SetRelativeSize(doc_, 12);
    font_.Refresh(doc_, doc_.FontColor);
  }

  TSection* AddSection(std::string_view text, base::TJustify alignment = base::jtLeft,
                       int level = 0, const base::TUrlTarget* link = nullptr) {
    TBuilderStyle style;
    auto section = std::make_unique<TSection>(level, alignment, link, font_, style);
    section->AddText(text);
    TSection* raw = section.get();
    doc_.AddSection(std::move(section));
    return raw;
  }

  int LayOut(int width) {
    int position = 0;
    base::TExtent maxWidth = 0;
    return doc_.Layout(canvas_, 0, width, position, maxWidth);
  }

  // The text of each line of a section.
  static std::vector<std::string> LineTexts(const TSection& s) {
    std::vector<std::string> lines;
    for (const auto& line : s.Lines) lines.push_back(s.Buff.substr(line.Start, line.Count));
    return lines;
  }

  TSectionList doc_;
  TMyFont font_;
  platform::Bitmap bitmap_;
  platform::TCanvas canvas_;
};

using Lines = std::vector<std::string>;

TEST_F(SectionTest, LineBreaking) {
  const struct {
    const char* text;
    int width;
    Lines lines;
  } cases[] = {
      {"aaa bb cc", 56, {"aaa bb ", "cc"}},        // 7 characters fit
      {"abcdefgh  ij", 40, {"abcdefgh  ", "ij"}},  // a long word overflows with its blanks
      {"ab", 0, {"ab"}},                           // at least one character, the whole word
      {"a b", 0, {"a ", "b"}},
      {"aaa   bbb", 32, {"aaa   ", "bbb"}},  // a line ends after its blanks
      {"aaaa bbbb", 72, {"aaaa bbbb"}},      // everything fits
      {"aa bbbbbbbb cc", 40, {"aa ", "bbbbbbbb ", "cc"}},
  };
  for (const auto& c : cases) {
    doc_.Clear();
    TSection* s = AddSection(c.text);
    LayOut(c.width);
    EXPECT_EQ(LineTexts(*s), c.lines) << c.text << " at " << c.width;
    EXPECT_EQ(s->Height, 16 * static_cast<int>(c.lines.size())) << c.text;
  }
}

TEST_F(SectionTest, AlignmentsStayInsideTheEdges) {
  TSection* centred = AddSection("ab", base::jtCentre);
  TSection* right = AddSection("ab  ", base::jtRight);
  TSection* wide = AddSection("abcdefghijklmnop", base::jtCentre);  // 128 pixels in 100
  LayOut(100);
  EXPECT_EQ(centred->Lines[0].LineIndent, 42);  // (0 + 100 - 16) div 2
  EXPECT_EQ(right->Lines[0].LineIndent, 83);    // trailing blanks do not count
  EXPECT_EQ(wide->Lines[0].LineIndent, 0);      // never left of the left edge
}

TEST_F(SectionTest, BlanksCollapseAcrossAddText) {
  TSection* s = AddSection(" a ");
  s->AddText(" b");
  s->AddText("");
  EXPECT_EQ(s->Buff, "a b");
  EXPECT_EQ(s->Length, 3);
  TBuilderStyle style;
  TSection empty(0, base::jtLeft, nullptr, font_, style);
  EXPECT_EQ(empty.EnsureText(), 1);
  empty.AddText(" x");  // the blank EnsureText made cannot be collapsed away
  EXPECT_EQ(empty.Buff, " x");
}

TEST_F(SectionTest, LongParagraphsKeepAllTheirText) {
  const std::string word = "word ";
  TSection* s = AddSection("");
  for (int i = 0; i < 8000; ++i) s->AddText(word);
  EXPECT_EQ(s->Length, 40000);
  LayOut(400);  // 50 characters a line
  EXPECT_EQ(s->Lines.Count(), 800);
  EXPECT_EQ(doc_.Length, 40000);
}

TEST_F(SectionTest, EmptySectionTakesItsClearingSpace) {
  AddSection("x");
  TSection* cleared = AddSection("");
  base::TAttributeList attributes;
  attributes.Add(base::ClearSy, 0, "LEFT");
  cleared->SetClearKind(attributes);
  EXPECT_EQ(cleared->ClearKind, ckLeft);
  // Lay out by hand so the float survives (a cell layout clears margins).
  IndentManager margins;
  margins.SetSides(0, 400);
  margins.AddRect(0, 50, base::jtLeft, 50);  // a left float down to 49
  int position = 0;
  base::TExtent w = 0;
  EXPECT_EQ(cleared->Layout(canvas_, 10, margins, w, position), 41);  // to 51, one below it
  EXPECT_EQ(cleared->DrawnHeight, 41);
}

TEST_F(SectionTest, EmptyDocumentHasNoHeight) {
  EXPECT_EQ(LayOut(300), 0);
  EXPECT_EQ(doc_.Length, 0);
  EXPECT_EQ(doc_.SectionTop(5), 0);
}

TEST_F(SectionTest, PositionsAndSectionTops) {
  TSection* a = AddSection("one two");
  TSection* b = AddSection("three");
  LayOut(300);
  EXPECT_EQ(a->StartPos, 0);
  EXPECT_EQ(b->StartPos, 7);
  EXPECT_EQ(doc_.Length, 12);
  EXPECT_EQ(doc_.SectionTop(1), 16);
  EXPECT_EQ(doc_.SectionTop(9), 16);  // beyond the last: the last section's offset
  char ch = 0;
  TSectionBase* where = nullptr;
  EXPECT_TRUE(doc_.GetCharAt(7, ch, where));
  EXPECT_EQ(ch, 't');
  EXPECT_EQ(where, b);
  EXPECT_FALSE(doc_.GetCharAt(12, ch, where));  // the cell asks; no section has it
}

TEST_F(SectionTest, CaretGoesAfterACharacterPastItsMiddle) {
  TSection* s = AddSection("abcd");
  LayOut(300);
  doc_.Draw(canvas_, {0, 0, 400, 300}, 300, 10, 0);
  EXPECT_EQ(s->DrawLeft + s->Lines[0].LineIndent, 10);
  const struct {
    int x;
    int pos;
    bool inside;
  } cases[] = {{9, 0, false}, {10, 0, true}, {14, 0, true}, {15, 1, true},
               {22, 1, true}, {23, 2, true}, {41, 4, true}, {100, 4, false}};
  for (const auto& c : cases) {
    int caretX = 0, caretY = 0, caretHeight = 0;
    bool inside = false;
    TCell* cell = nullptr;
    EXPECT_EQ(doc_.PointToPos(canvas_, c.x, 5, caretX, caretY, caretHeight, inside, cell), c.pos)
        << c.x;
    EXPECT_EQ(inside, c.inside) << c.x;
    EXPECT_EQ(caretHeight, 16);
    EXPECT_EQ(cell, &doc_);
  }
}

TEST_F(SectionTest, PosToPointFindsTheLineAndX) {
  AddSection("ab");
  TSection* s = AddSection("cdef ghij", base::jtLeft);
  LayOut(48);  // "cdef " and "ghij"
  int x = 0, y = 0;
  ASSERT_TRUE(doc_.PosToPoint(canvas_, 8, x, y));  // "h"
  EXPECT_EQ(x, 8);
  EXPECT_EQ(y, 32);
  EXPECT_FALSE(s->PosToPoint(canvas_, 0, x, y));  // the first section's position
}

TEST_F(SectionTest, CopyingTheSelection) {
  TSection* s = AddSection("one two three four", base::jtLeft, 1);  // indented one level
  LayOut(35 + 72);                                                  // 9 characters a line
  ASSERT_EQ(LineTexts(*s), (Lines{"one two ", "three ", "four"}));
  std::string clip;
  doc_.ClipBuffer = &clip;
  doc_.SelStart = 4;
  doc_.SelEnd = 11;  // "two thr": ends inside the second line
  doc_.CopySelection();
  EXPECT_EQ(clip, "two \r\n   thr");  // no line break after a line cut short
  clip.clear();
  doc_.SelStart = 0;
  doc_.SelEnd = 18;
  doc_.CopySelection();
  EXPECT_EQ(clip, "   one two \r\n   three \r\n   four\r\n");
}

TEST_F(SectionTest, CaseInsensitiveSearchInWindows1251) {
  AddSection(platform::Utf8ToBytes("Скачать Программы и ещё", 1251));
  LayOut(400);
  EXPECT_EQ(doc_.FindText(0, platform::Utf8ToBytes("пРОГРАММЫ", 1251), false), 8);
  EXPECT_EQ(doc_.FindText(0, platform::Utf8ToBytes("ЕЩЁ", 1251), false), 20);
  EXPECT_EQ(doc_.FindText(0, platform::Utf8ToBytes("пРОГРАММЫ", 1251), true), -1);
  EXPECT_EQ(doc_.FindText(9, platform::Utf8ToBytes("программы", 1251), false), -1);
  EXPECT_EQ(doc_.FindText(0, "xyz", false), -1);
}

TEST_F(SectionTest, HitTestsStopAtDrawnHeight) {
  base::TUrlTarget link;
  link.Url = "page.htm";
  AddSection("link", base::jtLeft, 0, &link);
  LayOut(300);
  doc_.Draw(canvas_, {0, 0, 400, 300}, 300, 0, 0);
  std::unique_ptr<base::TUrlTarget> url;
  TFormControlObj* control = nullptr;
  ASSERT_TRUE(doc_.GetUrlAt(canvas_, 4, 15, url, control));
  EXPECT_EQ(url->Url, "page.htm");
  EXPECT_FALSE(doc_.GetUrlAt(canvas_, 4, 16, url, control));  // top + DrawnHeight
  EXPECT_FALSE(doc_.GetUrlAt(canvas_, 40, 5, url, control));  // past the text
}

TEST_F(SectionTest, MarkerTexts) {
  const struct {
    char style;
    int number;
    const char* text;
  } cases[] = {{'A', 27, "Z."}, {'A', 1, "A."},   {'a', 3, "c."}, {'I', 25, "XX."},
               {'i', 4, "iv."}, {'1', 42, "42."}, {'A', 0, "A."}, {'I', -3, "I."}};
  for (const auto& c : cases) EXPECT_EQ(TSection::MarkerText(c.style, c.number), c.text);
}

TEST_F(SectionTest, DrawingPutsGlyphsOnTheBaselineAndSelectionInInverse) {
  bitmap_.Fill(platform::clWhite);
  AddSection("ab");
  LayOut(300);
  doc_.SelStart = 1;
  doc_.SelEnd = 2;
  doc_.Draw(canvas_, {0, 0, 400, 300}, 300, 0, 0);
  // "a": a black box on the baseline (y 13), rows 5..12, columns 0..6.
  EXPECT_EQ(bitmap_.GetPixel(0, 12), platform::clBlack);
  EXPECT_EQ(bitmap_.GetPixel(6, 5), platform::clBlack);
  EXPECT_EQ(bitmap_.GetPixel(0, 13), platform::clWhite);
  // "b" is selected: its cell is filled with the text colour, the glyph in
  // the page background.
  EXPECT_EQ(bitmap_.GetPixel(8, 0), platform::clBlack);
  EXPECT_EQ(bitmap_.GetPixel(15, 15), platform::clBlack);
  EXPECT_EQ(bitmap_.GetPixel(8, 12), platform::clWhite);
}

TEST_F(SectionTest, SuperscriptIsRaisedByAThirdOfItsLineHeight) {
  bitmap_.Fill(platform::clWhite);
  TSection* s = AddSection("a");
  TBuilderStyle super;
  super.Script = scSuperscript;
  s->ChangeFont(doc_, font_, super);
  s->AddText("b");
  EXPECT_EQ(s->Fonts[1]->Font.RelativeSize, 9);  // three quarters of 12
  LayOut(300);
  doc_.Draw(canvas_, {0, 0, 400, 300}, 300, 0, 0);
  // 9 twelfths of 12 pt = 9 pt = 12 px: line height 12, raised by 4; the
  // line is as high as the larger run (16), baseline at 13.
  const int baseline = 13, raised = baseline - 4;
  EXPECT_EQ(bitmap_.GetPixel(8, raised - 1), platform::clBlack);
  EXPECT_EQ(bitmap_.GetPixel(8, raised), platform::clWhite);
}

TEST_F(SectionTest, BulletsTakeTheirLevelColour) {
  const struct {
    int level;
    platform::TColor color;
  } cases[] = {{1, platform::RGB(0, 0, 128)},
               {2, platform::RGB(128, 0, 0)},
               {3, platform::RGB(255, 0, 0)},
               {6, platform::RGB(255, 0, 0)},
               {7, platform::RGB(0, 0, 128)}};
  for (const auto& c : cases) {
    doc_.Clear();
    bitmap_.Fill(platform::clWhite);
    TSection* item = AddSection("x", base::jtLeft, c.level);
    item->MarkerKind = mkBullet;
    LayOut(300);
    doc_.Draw(canvas_, {0, 0, 400, 300}, 300, 0, 0);
    // The bullet sits 8 pixels left of the item's left edge, half a line down.
    const int cx = 35 * c.level - 8, cy = 16 - 16 / 2;
    EXPECT_EQ(bitmap_.GetPixel(cx, cy), c.color) << c.level;
  }
}

TEST_F(SectionTest, MinMaxWidths) {
  TSection* s = AddSection("a bbb cc", base::jtLeft, 1);
  base::TExtent narrowest = 0, widest = 0;
  s->GetMinMaxWidth(canvas_, narrowest, widest);
  EXPECT_EQ(narrowest, 24 + 35);
  EXPECT_EQ(widest, 64 + 35);
}

// A section whose layout fails as an over-wide table does.
struct FailingSection : TSectionBase {
  TExtent Layout(platform::TCanvas&, TExtent, IndentManager&, TExtent&, int&) override {
    throw EProcessError("Table has too many Columns");
  }
};

TEST_F(SectionTest, ProcessErrorDropsTheSectionAndLayoutGoesOn) {
  std::vector<std::string> reported;
  doc_.OnProcessError = [&](const std::string& m) { reported.push_back(m); };
  AddSection("a");
  doc_.AddSection(std::make_unique<FailingSection>());
  AddSection("b");
  EXPECT_EQ(LayOut(300), 32);
  EXPECT_EQ(doc_.Count(), 2);
  EXPECT_EQ(reported, std::vector<std::string>{"Table has too many Columns"});
}

// Sections each as tall as an extent may be: the document's height stops at
// the ceiling, and drawing and the hit tests, which add the heights up
// again, stay within it (the sanitizer build halts on any overflow).
class TallSpace : public TSectionBase {
 public:
  const char* ClassName() const override { return "TallSpace"; }
  void CopySelection() override {}
  void UpdateHeight() override { Height = base::kMaxExtent; }
};

TEST_F(SectionTest, HeightsBeyondTheIntRangeStopAtTheCeiling) {
  for (int i = 0; i < 6; ++i) doc_.AddSection(std::make_unique<TallSpace>());
  TSection* last = AddSection("end");
  EXPECT_EQ(LayOut(200), base::kMaxExtent);
  EXPECT_EQ(last->Top, base::kMaxExtent);
  EXPECT_EQ(doc_.SectionTop(doc_.Count() - 1), base::kMaxExtent);
  doc_.SetYOffset(base::kMaxExtent - 100);
  EXPECT_LE(doc_.Draw(canvas_, {0, 0, 400, 300}, 400, 0, 0), base::kMaxExtent);
  std::unique_ptr<base::TUrlTarget> url;
  TFormControlObj* control = nullptr;
  EXPECT_FALSE(doc_.GetUrlAt(canvas_, 10, base::kMaxExtent - 1, url, control));
  int caretX = 0, caretY = 0, caretHeight = 0;
  bool inside = false;
  TCell* cell = nullptr;
  doc_.PointToPos(canvas_, 10, base::kMaxExtent - 1, caretX, caretY, caretHeight, inside, cell);
}

// A paint costs what it shows: drawn where it was laid out, a long document
// asks only the sections that reach the clip to draw, and draws the same.
class CountedSpace : public TSectionBase {
 public:
  explicit CountedSpace(int& draws) : draws_(draws) {}
  const char* ClassName() const override { return "CountedSpace"; }
  void CopySelection() override {}
  void UpdateHeight() override { Height = 10; }
  TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip, IndentManager& margins,
               TExtent x, TExtent y) override {
    ++draws_;
    return TSectionBase::Draw(canvas, clip, margins, x, y);
  }

 private:
  int& draws_;
};

TEST_F(SectionTest, DrawingAsksOnlyTheSectionsThatReachTheClip) {
  int draws = 0;
  for (int i = 0; i < 100000; ++i) doc_.AddSection(std::make_unique<CountedSpace>(draws));
  const int height = LayOut(200);
  ASSERT_EQ(height, 1000000);
  doc_.SetYOffset(500000);
  EXPECT_EQ(doc_.Draw(canvas_, {0, 0, 400, 300}, 400, 0, 0), 1000000);
  EXPECT_LE(draws, 31);  // 30 sections meet the 300 rows, and the one at their edge
  EXPECT_EQ(doc_[50000]->Top, 500000);
  draws = 0;
  doc_.SetYOffset(2000000);  // below the document
  EXPECT_EQ(doc_.Draw(canvas_, {0, 0, 400, 300}, 400, 0, 0), 1000000);
  EXPECT_EQ(draws, 0);
  draws = 0;
  doc_.SetYOffset(0);
  EXPECT_EQ(doc_.Draw(canvas_, {0, 0, 400, 300}, 400, 0, 3), 1000003);  // elsewhere: all of it
  EXPECT_EQ(draws, 100000);
}

}  // namespace
