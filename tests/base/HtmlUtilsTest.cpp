#include "base/HtmlUtils.h"

#include <gtest/gtest.h>

#include "platform/Canvas.h"

namespace {

using namespace base;

TEST(AttributeList, FindReturnsTheFirstOfDuplicates) {
  TAttributeList list;
  EXPECT_EQ(list.Find(SizeSy), nullptr);
  list.Add(std::make_unique<TAttribute>(SizeSy, 1, "1"));
  list.Add(std::make_unique<TAttribute>(ColorSy, 0, "red"));
  list.Add(std::make_unique<TAttribute>(SizeSy, 2, "2"));
  ASSERT_NE(list.Find(SizeSy), nullptr);
  EXPECT_EQ(list.Find(SizeSy)->IntValue, 1);
  EXPECT_EQ(list.Find(FaceSy), nullptr);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(FreeList, FreesItemsFirstToLast) {
  std::vector<int> freed;
  struct Item {
    std::vector<int>* log;
    int id;
    ~Item() { log->push_back(id); }
  };
  {
    TFreeList<Item> list;
    for (int i = 1; i <= 3; ++i) list.Add(std::make_unique<Item>(Item{&freed, i}));
    freed.clear();  // the temporaries above
  }
  EXPECT_EQ(freed, (std::vector<int>{1, 2, 3}));
}

TEST(UrlTarget, AssignReplacesOnlyWhatIsGiven) {
  TUrlTarget link;
  const std::string url = "a.htm", target = "main", other = "b.htm";
  link.Assign(&url, &target);
  link.Assign(&other, nullptr);
  EXPECT_EQ(link.Url, "b.htm");
  EXPECT_EQ(link.Target, "main");
  link.Clear();
  EXPECT_TRUE(link.Url.empty());
  EXPECT_TRUE(link.Target.empty());
}

TEST(HtmlUtils, TrimBlanksRemovesControlsAndBlanks) {
  EXPECT_EQ(TrimBlanks(" \t\r\n x y \x01"), "x y");
  EXPECT_EQ(TrimBlanks("\x01\x02 \x1F"), "");
  EXPECT_EQ(TrimBlanks("\xA0x\xA0"), "\xA0x\xA0");  // byte 160 is no blank
}

TEST(HtmlUtils, DecodePercentEscapes) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"a%41b", "aAb"}, {"%41", "%41"},         {"a%4", "a%4"},   {"a%zz%41", "a%zz%41"},
      {"a%2541", "aA"}, {"a%20b%20c", "a b c"}, {"ab%41", "abA"}, {"", ""},
  };
  for (const auto& c : cases) {
    std::string s = c.in;
    DecodePercentEscapes(s);
    EXPECT_EQ(s, c.out) << c.in;
  }
}

// The decoding read literally: decode the first "%" of the text as it now
// stands, again and again. Quadratic, so only for short texts.
std::string DecodeStepByStep(std::string s) {
  const auto hex = [](char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                  : -1;
  };
  size_t p = s.find('%');
  while (p != std::string::npos && p >= 1 && p + 3 <= s.size()) {
    if (hex(s[p + 1]) < 0 || hex(s[p + 2]) < 0) break;
    s[p] = static_cast<char>(hex(s[p + 1]) * 16 + hex(s[p + 2]));
    s.erase(p + 1, 2);
    p = s.find('%');
  }
  return s;
}

TEST(HtmlUtils, DecodePercentEscapesAgreesWithTheStepwiseReading) {
  const char alphabet[] = {'%', '2', '5', '4', '1', 'a', 'F', 'z'};
  uint32_t seed = 12345;
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = round % 13;
    for (int i = 0; i < length; ++i) {
      seed = seed * 1103515245 + 12345;
      text += alphabet[(seed >> 16) % sizeof alphabet];
    }
    std::string decoded = text;
    DecodePercentEscapes(decoded);
    ASSERT_EQ(decoded, DecodeStepByStep(text)) << text;
  }
}

TEST(HtmlUtils, DecodePercentEscapesOfALongTextInOnePass) {
  // "%2525...2541": every step yields a "%" that the next step decodes
  // again, and the stepwise reading moves the whole tail each time.
  std::string text = "x%";
  for (int i = 0; i < 300000; ++i) text += "25";
  text += "41";
  DecodePercentEscapes(text);
  EXPECT_EQ(text, "xA");
  std::string many;
  for (int i = 0; i < 300000; ++i) many += "a%41";
  DecodePercentEscapes(many);
  EXPECT_EQ(many.size(), 600000u);
  EXPECT_EQ(many.find('%'), std::string::npos);
}

TEST(HtmlUtils, UrlToFilePathAndServerRoot) {
  EXPECT_EQ(UrlToFilePath("file:///C|/Dir/Page.HTM"), "c:\\dir\\page.htm");
  EXPECT_EQ(UrlToFilePath("file://C|/x.htm"), "c:\\x.htm");
  EXPECT_EQ(UrlToFilePath("Page.HTM"), "Page.HTM");
  EXPECT_EQ(UrlToFilePath("My%20Page.HTM"), "My Page.HTM");
  EXPECT_EQ(UrlToFilePath("/Docs/A.htm"), "\\docs\\a.htm");
  EXPECT_EQ(ResolveServerPath("/docs/a.htm", "D:\\site"), "D:\\site\\docs\\a.htm");
  EXPECT_EQ(ResolveServerPath("docs/a.htm", "D:\\site"), "docs\\a.htm");
  EXPECT_EQ(ResolveServerPath("", "D:\\site"), "");
}

TEST(HtmlUtils, WriteLineEndsWithCrLf) {
  std::string sink = "x";
  WriteLine(sink, "abc", 2);
  WriteLine(sink, nullptr, 0);
  EXPECT_EQ(sink, "xab\r\n\r\n");
}

class WrapText : public ::testing::Test {
 protected:
  WrapText() : bitmap_(100, 60), canvas_(bitmap_) {
    bitmap_.Fill(platform::clWhite);
    canvas_.Font.SetName(std::string(platform::kTestFontName));
    canvas_.Font.SetHeight(-10);  // 5-pixel characters, 10-pixel rows
    canvas_.Font.SetColor(platform::clBlack);
    canvas_.Brush.Style = platform::bsClear;
  }
  // Which text rows (10 pixels each) of the box have ink.
  std::string InkedRows(int top, int rows) const {
    std::string s;
    for (int r = 0; r < rows; ++r) {
      bool ink = false;
      for (int y = top + r * 10; y < top + (r + 1) * 10; ++y)
        for (int x = 0; x < 100; ++x) ink = ink || bitmap_.GetPixel(x, y) == platform::clBlack;
      s += ink ? '#' : '.';
    }
    return s;
  }
  platform::Bitmap bitmap_;
  platform::TCanvas canvas_;
};

TEST_F(WrapText, BreaksAtBlanksAndStopsAtTheBottom) {
  // 40 pixels hold 8 characters: "aaa bbb " fits one row, then "cccccccccc".
  WrapTextInRect(canvas_, 0, 0, 40, 25, "aaa bbb cccccccccc ddd");
  EXPECT_EQ(InkedRows(0, 4), "##..");  // the third row would end below the box
  for (int y = 0; y < 60; ++y) EXPECT_NE(bitmap_.GetPixel(40, y), platform::clBlack);  // clipped
}

TEST_F(WrapText, BoxLowerThanALineDrawsNothing) {
  WrapTextInRect(canvas_, 0, 0, 100, 9, "word");
  EXPECT_EQ(InkedRows(0, 1), ".");
}

}  // namespace
