// Deep structure made from a few bytes: each layer of the input names a
// block or inline tag, how often it opens (up to 200,000 times), whether
// text follows each opening and whether the layer is closed again. Also one
// tag with a great many attributes. Nesting depth and attribute counts that
// a byte fuzzer never writes go through the builder and layout with the
// test font, and the result is used like any other page.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/PageExercise.h"
#include "platform/GuiApplication.h"

namespace {

struct Nesting {
  std::string_view open;   // the start tag up to where attributes go
  std::string_view inner;  // what each opening needs inside it (a list item, a cell)
  std::string_view close;
};

constexpr std::array<Nesting, 22> kTags = {{
    {"<CENTER", "", "</CENTER>"},
    {"<DIV ALIGN=RIGHT", "", "</DIV>"},
    {"<UL", "<LI>", "</UL>"},
    {"<OL", "<LI>", "</OL>"},
    {"<DL", "<DD>", "</DL>"},
    {"<DIR", "<LI>", "</DIR>"},
    {"<MENU", "<LI>", "</MENU>"},
    {"<BLOCKQUOTE", "", "</BLOCKQUOTE>"},
    {"<FONT", "", "</FONT>"},
    {"<A", "", "</A>"},
    {"<TABLE", "<TR><TD>", "</TD></TR></TABLE>"},
    {"<PRE", "", "</PRE>"},
    {"<B", "", "</B>"},
    {"<SUB", "", "</SUB>"},
    {"<SUP", "", "</SUP>"},
    {"<H1", "", "</H1>"},
    {"<P", "", "</P>"},
    {"<ADDRESS", "", "</ADDRESS>"},
    {"<FORM", "", "</FORM>"},
    {"<SELECT", "<OPTION>", "</SELECT>"},
    {"<BIG", "", "</BIG>"},
    {"<MAP NAME=m", "<AREA HREF=x>", "</MAP>"},
}};

// Attributes with the numbers at the edges of what a page may say.
constexpr std::array<std::string_view, 16> kAttributes = {" START=2147483647",
                                                          " START=-2147483648",
                                                          " SIZE=+2147483647",
                                                          " SIZE=-2147483648",
                                                          " SIZE=7",
                                                          " TYPE=I",
                                                          " TYPE=a",
                                                          " NAME=n",
                                                          " HREF=\"#n\"",
                                                          " WIDTH=100000%",
                                                          " VALUE=4294967296",
                                                          " COLOR=RED",
                                                          " ALIGN=CENTER",
                                                          " BORDER=99999999999",
                                                          " COLSPAN=2147483647",
                                                          " CLEAR=ALL"};

constexpr uint32_t kMaxRepeat = 200000;
// Deeper than any recursion of the builder could go (21,000 levels of "<B>",
// 13,000 of "<DIV>"; the sanitizer build overflowed its stack near 10,000
// before nesting was capped at 200). Larger pages only cost time: a page of
// 256 KB took a second to exercise, and the run made 18 pages a second.
constexpr size_t kMaxPage = size_t{64} << 10;

uint32_t Repeat(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
      return in.ConsumeIntegralInRange<uint32_t>(1, 64);
    case 1:
      return in.ConsumeIntegralInRange<uint32_t>(1, 5000);
    default:
      return in.ConsumeIntegralInRange<uint32_t>(1, kMaxRepeat);
  }
}

std::string MakePage(FuzzedDataProvider& in) {
  std::string page;
  std::vector<std::pair<const Nesting*, uint32_t>> open;
  while (in.remaining_bytes() > 0 && page.size() < kMaxPage) {
    if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
      // One tag carrying a great many attributes.
      const Nesting tag = in.PickValueInArray(kTags);
      const std::string_view attribute = in.PickValueInArray(kAttributes);
      page += tag.open;
      for (uint32_t n = Repeat(in); n > 0 && page.size() < kMaxPage; --n) page += attribute;
      page += ">x";
      continue;
    }
    const Nesting& tag = kTags[in.ConsumeIntegralInRange<size_t>(0, kTags.size() - 1)];
    const std::string_view attribute = in.ConsumeBool() ? in.PickValueInArray(kAttributes) : "";
    const bool text = in.ConsumeBool();
    const bool closed = in.ConsumeBool();
    std::string one(tag.open);
    one += attribute;
    one += '>';
    one += tag.inner;
    if (text) one += "x ";
    uint32_t n = Repeat(in);
    n = static_cast<uint32_t>(std::min<size_t>(n, (kMaxPage - page.size()) / one.size() + 1));
    for (uint32_t i = 0; i < n; ++i) page += one;
    if (closed) open.emplace_back(&tag, n);
  }
  // The closed layers end innermost first.
  for (auto layer = open.rbegin(); layer != open.rend(); ++layer)
    for (uint32_t i = 0; i < layer->second; ++i) page += layer->first->close;
  return page;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  fuzz::PageSettings settings;
  settings.width = in.ConsumeBool() ? 572 : 37;
  settings.choice = in.ConsumeIntegral<uint16_t>() * 2654435761u;
  fuzz::ExercisePage(MakePage(in), settings);
  return 0;
}
