// What the medium checker reads of a page: the tags that name pages,
// pictures, anchors and maps, with their lines. Every line found lies in
// the page, tags come in page order, and a comment left open is placed on
// a line of the page too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/PageScan.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "page scan invariant broken: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  // Lines the page has: each CR LF, CR or LF ends one, the last needs none.
  int lines = 1;
  for (size_t i = 0; i < size; ++i) {
    if (page[i] == '\r' && i + 1 < size && page[i + 1] == '\n') ++i;
    if (page[i] == '\r' || page[i] == '\n') ++lines;
  }
  const app::TPageScan scan = app::ScanPage(page);
  int last = 1;
  for (const app::TTagUse& use : scan.Tags) {
    Require(use.Line >= last && use.Line <= lines, "tag lines are in the page, in order");
    last = use.Line;
    if (use.Tag == base::MapSy && !use.Name.empty())
      Require(scan.Maps.count([&] {
        std::string upper = use.Name;
        for (char& c : upper)
          if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return upper;
      }()) == 1, "a named map is listed");
  }
  Require(scan.OpenCommentLine >= 0 && scan.OpenCommentLine <= lines,
          "an open comment is on a line of the page");
  return 0;
}
