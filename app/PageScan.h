#pragma once

#include <set>
#include <string>
#include <vector>

#include "base/Symbol.h"

namespace app {

// A tag of a page that names something: its line and the attributes that
// matter to the checker.
struct TTagUse {
  int Line = 0;
  base::Symbol Tag = base::EofSymbol;
  std::string Href, Name, Src, UseMap, Background, Type;
  bool NoHref = false;
};

struct TPageScan {
  std::vector<TTagUse> Tags;   // in the order they stand
  std::set<std::string> Maps;  // MAP names, upper case
  int OpenCommentLine = 0;     // the line of a comment left open, 0 for none
};

// Reads a page with the builder's own scanner, as the builder reads it (raw
// script and text-area content is no markup), noting the tags that name
// pages, pictures, anchors and maps (A, IMG, INPUT, AREA, MAP, BODY) with
// their lines.
TPageScan ScanPage(const std::string& bytes);

}  // namespace app
