#include "parser/Symbols.h"

#include <gtest/gtest.h>

namespace {

using namespace parser;

TEST(Symbols, TablesHaveTheirSizesAndOrder) {
  EXPECT_EQ(LookupTag("HTML"), HtmlSy);
  EXPECT_EQ(LookupTag("TR"), TRSy);
  EXPECT_EQ(LookupTag("META"), MetaSy);
  EXPECT_EQ(static_cast<int>(TRSy), kTagsWithEnd - 1);
  EXPECT_EQ(static_cast<int>(MetaSy), kTagCount - 1);
  EXPECT_EQ(EndSymbolOf(TRSy), TREndSy);
  EXPECT_FALSE(LookupTag("H1"));
  EXPECT_EQ(LookupTag("html"), HtmlSy);  // a..z fold
  EXPECT_FALSE(LookupTag("HTML\xe0"));
  EXPECT_EQ(LookupAttribute("HTTP-EQUIV"), HttpEqSy);
  EXPECT_EQ(LookupAttribute("SELECTED"), SelectedSy);
  EXPECT_EQ(LookupAttribute("WRAP"), WrapSy);
  EXPECT_EQ(LookupAttribute("VSPACE"), UnknownAttributeSymbol);
  EXPECT_EQ(AttributeName(NoShadeSy), "NOSHADE");
  EXPECT_EQ(TagName(HeadingEndSy), "H");
  EXPECT_LE(static_cast<int>(UnknownAttributeSymbol), 255);
}

TEST(Symbols, EntityTable) {
  EXPECT_EQ(LookupEntity("amp"), 38);
  EXPECT_EQ(LookupEntity("quot"), 34);
  EXPECT_EQ(LookupEntity("nbsp"), 160);
  EXPECT_EQ(LookupEntity("Auml"), 196);
  EXPECT_EQ(LookupEntity("auml"), 228);
  EXPECT_EQ(LookupEntity("yuml"), 255);
  EXPECT_FALSE(LookupEntity("AMP"));
  EXPECT_FALSE(LookupEntity("mdash"));
}

TEST(Symbols, ParseColorForms) {
  const struct {
    const char* text;
    std::optional<platform::TColor> colour;
  } cases[] = {
      {"#ff0000", 0x0000FF},       {"ff0000", 0x0000FF},
      {"RED", 0x0000FF},           {"red", 0x0000FF},
      {"#f00", 0x000F00},  // hexadecimal F00, bytes swapped
      {"Fuchsia", 0xFF00FF},       {"#1E3E78", 0x783E1E},
      {"12#3456", 0x563412},    // the first "#" goes wherever it stands
      {"#12345678", 0x785634},  // only the low 24 bits count
      {"reddish", std::nullopt},   {"", std::nullopt},
      {"#", std::nullopt},         {"# ff0000", std::nullopt},
      {"123456789", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseColor(c.text), c.colour) << c.text;
}

}  // namespace
