#pragma once

#include <memory>
#include <vector>

#include "base/HtmlUtils.h"

namespace layout {

using base::TExtent;

// One laid-out line of a text section. Start indexes the section's text.
// Full height = SpaceAbove + LineHeight + SpaceBelow; the baseline lies
// SpaceAbove + LineHeight - Descent below the line's top. LineIndent is
// relative to the cell's left side; DrawX is screen x and DrawY the
// document y of the text top at the last draw.
struct LineRec {
  int Start = 0;
  TExtent SpaceAbove = 0;
  TExtent SpaceBelow = 0;
  TExtent LineHeight = 0;
  TExtent DrawnHeight = 0;
  int Count = 0;
  TExtent Descent = 0;
  TExtent LineIndent = 0;
  TExtent DrawX = 0;
  TExtent DrawY = 0;

  TExtent FullHeight() const { return SpaceAbove + LineHeight + SpaceBelow; }
};

// The lines of a section. Every layout rebuilds them, so the records of
// the previous layout are kept for reuse instead of going back to the heap.
class TLineList : public base::TFreeList<LineRec> {
 public:
  // Empties the list, keeping its records.
  void Recycle() {
    for (auto& line : Items()) spare_.push_back(std::move(line));
    Items().clear();
  }
  // A fresh record, reused when one is spare.
  std::unique_ptr<LineRec> NewLine() {
    if (spare_.empty()) return std::make_unique<LineRec>();
    std::unique_ptr<LineRec> line = std::move(spare_.back());
    spare_.pop_back();
    *line = LineRec{};
    return line;
  }

 private:
  std::vector<std::unique_ptr<LineRec>> spare_;
};

}  // namespace layout
