#include "layout/Fonts.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/MulDiv.h"

namespace {

using namespace layout;

TFontDefaults TestDocument(int size = 12) {
  TFontDefaults d;
  d.FontName = std::string(platform::kTestFontName);
  d.FixedFontName = std::string(platform::kTestFontName);
  d.BaseFontSize = size;
  d.CharSet = platform::RUSSIAN_CHARSET;
  d.FontColor = platform::clBlack;
  d.HotSpotColor = platform::clBlue;
  return d;
}

std::unique_ptr<TMyFont> Font(const TFontDefaults& d, int twelfths = 12) {
  auto font = std::make_unique<TMyFont>();
  font->SetRelativeSize(d, twelfths);
  font->Refresh(d, d.FontColor);
  return font;
}

TEST(Fonts, RelativeSizesFollowTheBaseSize) {
  const TFontDefaults d = TestDocument(10);
  TMyFont font;
  font.SetRelativeSize(d, 18);
  EXPECT_EQ(font.Size(), 15);  // MulDiv(10, 18, 12)
  // A superscript takes three quarters: MulDiv(18, 3, 4) = 14 (13.5 rounded).
  const int superscript = platform::MulDiv(font.RelativeSize, 3, 4);
  EXPECT_EQ(superscript, 14);
  font.SetRelativeSize(d, superscript);
  EXPECT_EQ(font.Size(), 12);  // MulDiv(10, 14, 12) = 11.67
}

TEST(Fonts, RunsAreMeasuredAgainOnEveryFontChange) {
  const TFontDefaults d = TestDocument(12);  // 16-pixel em
  TFontObj run(Font(d), 0);
  EXPECT_EQ(run.TextHeight, 16);
  EXPECT_EQ(run.LineHeight, 16);
  EXPECT_EQ(run.Descent, 3);
  run.Font.SetRelativeSize(d, 24);  // twice the base: 24 points, 32 pixels
  EXPECT_EQ(run.TextHeight, 32);
  int descent = 0;
  EXPECT_EQ(run.GetHeightAndDescent(descent), 32);
  EXPECT_EQ(descent, 6);
}

TEST(Fonts, RefreshKeepsLinksInTheHotSpotColour) {
  TFontDefaults d = TestDocument();
  TFontList runs;
  runs.Add(std::make_unique<TFontObj>(Font(d), 0));
  TFontObj* link = runs.Add(std::make_unique<TFontObj>(Font(d), 5));
  base::TUrlTarget target;
  target.Url = "a.htm";
  link->SetUrlTarget(target);
  auto fixed = Font(d);
  fixed->Fixed = true;
  runs.Add(std::make_unique<TFontObj>(std::move(fixed), 9));
  d.FontColor = platform::clRed;
  d.FixedFontName = "Courier New";
  d.BaseFontSize = 10;
  runs.RefreshAll(d);
  EXPECT_EQ(runs[0]->Font.Color(), platform::clRed | platform::kPaletteRelative);
  EXPECT_EQ(runs[1]->Font.Color(), platform::clBlue | platform::kPaletteRelative);
  EXPECT_EQ(runs[0]->Font.Name(), std::string(platform::kTestFontName));
  EXPECT_EQ(runs[2]->Font.Name(), "Courier New");
  EXPECT_EQ(runs[0]->Font.Size(), 10);
  EXPECT_EQ(runs[0]->Font.Charset(), platform::RUSSIAN_CHARSET);
}

TEST(Fonts, RunLookupAtAndBetweenRunStarts) {
  const TFontDefaults d = TestDocument();
  TFontList runs;
  for (int pos : {0, 4, 10}) runs.Add(std::make_unique<TFontObj>(Font(d), pos));
  const struct {
    int pos;
    int index;
    int runLength;  // with a text of 15 characters
  } cases[] = {{0, 0, 4}, {3, 0, 1}, {4, 1, 6}, {9, 1, 1}, {10, 2, 5}, {14, 2, 1}, {20, 2, -5}};
  for (const auto& c : cases) {
    int index = -1;
    ASSERT_NE(runs.GetRunAt(c.pos, index), nullptr);
    EXPECT_EQ(index, c.index) << c.pos;  // a run's own start belongs to it
    EXPECT_EQ(runs.RunLengthAt(c.pos, 15), c.runLength) << c.pos;
  }
  int overhang = -1;
  EXPECT_EQ(runs.GetFontAt(4, overhang), &runs[1]->Font);
  EXPECT_EQ(overhang, 0);
}

// The lookup's position index must see a clear even when the list is
// refilled to the same length.
TEST(Fonts, RunLookupFollowsAClearAndRefill) {
  const TFontDefaults d = TestDocument();
  TFontList runs;
  for (int pos : {0, 4, 10}) runs.Add(std::make_unique<TFontObj>(Font(d), pos));
  int index = -1;
  runs.GetRunAt(5, index);
  EXPECT_EQ(index, 1);
  runs.Clear();
  for (int pos : {0, 6, 8}) runs.Add(std::make_unique<TFontObj>(Font(d), pos));
  EXPECT_EQ(runs.GetRunAt(5, index), runs[0]);
  EXPECT_EQ(runs.RunLengthAt(5, 15), 1);
  runs.Add(std::make_unique<TFontObj>(Font(d), 12));  // appending extends the index
  EXPECT_EQ(runs.GetRunAt(13, index), runs[3]);
}

TEST(Fonts, AssignCopiesTheRelativeFields) {
  TMyFont a, b;
  a.RelativeSize = 30;
  a.Fixed = true;
  a.SetStyle(platform::fsBold);
  struct Counter : platform::TFontObserver {
    int changes = 0;
    void FontChanged() override { ++changes; }
  } counter;
  b.Observer = &counter;
  int& changes = counter.changes;
  b.Assign(a);
  EXPECT_EQ(b.RelativeSize, 30);
  EXPECT_TRUE(b.Fixed);
  EXPECT_EQ(b.Style(), platform::fsBold);
  EXPECT_EQ(changes, 1);
  platform::TFont plain;
  b.Assign(plain);  // a plain font leaves the relative fields alone
  EXPECT_EQ(b.RelativeSize, 30);
}

}  // namespace

namespace {

TEST(Fonts, CopiesOfARunFontDoNotTellTheRun) {
  const layout::TFontDefaults d = [] {
    layout::TFontDefaults x;
    x.FontName = x.FixedFontName = std::string(platform::kTestFontName);
    return x;
  }();
  layout::TMyFont font;
  font.SetRelativeSize(d, 12);
  font.Refresh(d, platform::clBlack);
  layout::TFontObj run(font, 0);
  layout::TMyFont copy = run.Font;  // a copy watches nothing
  copy.SetRelativeSize(d, 24);
  EXPECT_EQ(run.TextHeight, 16);
  run.Font.SetRelativeSize(d, 24);  // the run's own font re-measures it
  EXPECT_EQ(run.TextHeight, 32);
}

}  // namespace
