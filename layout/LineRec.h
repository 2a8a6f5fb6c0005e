#pragma once

#include <vector>

#include "base/Extent.h"

namespace layout {

using base::TExtent;

// One laid-out line of a text section. Start indexes the section's text.
// Full height = SpaceAbove + LineHeight + SpaceBelow; the baseline lies
// SpaceAbove + LineHeight - Descent below the line's top. LineIndent is
// relative to the cell's left side. A page may have millions of lines, so
// a record is eight numbers kept by value: where a line was drawn follows
// from its section's DrawLeft.
struct LineRec {
  int Start = 0;
  int Count = 0;
  TExtent SpaceAbove = 0;
  TExtent SpaceBelow = 0;
  TExtent LineHeight = 0;
  TExtent DrawnHeight = 0;
  TExtent Descent = 0;
  TExtent LineIndent = 0;

  TExtent FullHeight() const { return SpaceAbove + LineHeight + SpaceBelow; }
};

// The lines of a section, in order. Every layout rebuilds them; clearing
// keeps the storage of the previous layout for the next.
class TLineList {
 public:
  void Recycle() { lines_.clear(); }
  void Add(const LineRec& line) { lines_.push_back(line); }
  int Count() const { return static_cast<int>(lines_.size()); }
  bool Empty() const { return lines_.empty(); }
  const LineRec& operator[](int index) const { return lines_[static_cast<size_t>(index)]; }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }

 private:
  std::vector<LineRec> lines_;
};

}  // namespace layout
