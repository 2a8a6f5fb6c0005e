#include "layout/IndentManager.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace layout {

namespace {

bool Applies(const IndentRec& rec, int y) {
  return rec.TopY <= y && y < rec.BottomY;
}

std::unique_ptr<IndentRec> Record(int edgeX, int top, int bottom, int level = 0) {
  return std::make_unique<IndentRec>(IndentRec{edgeX, top, bottom, level});
}

}  // namespace

void IndentManagerBasic::Clear() {
  LeftRecs.Clear();
  RightRecs.Clear();
}

void IndentManagerBasic::SetSides(int left, int right) {
  LeftSide = left;
  RightSide = right;
  CurrentLevel = 0;
}

int IndentManagerBasic::LeftEdge(int y) const {
  int edge = 0;
  for (const auto& rec : LeftRecs)
    if (Applies(*rec, y)) edge = std::max(edge, rec->EdgeX);
  return LeftSide + edge;
}

int IndentManagerBasic::RightEdge(int y) const {
  int edge = 0;
  for (const auto& rec : RightRecs)
    if (Applies(*rec, y)) edge = std::min(edge, rec->EdgeX);
  return RightSide + edge;
}

void IndentManagerBasic::AddRect(int y, int width, int side, int height) {
  if (side == 1)
    LeftRecs.Add(Record(LeftEdge(y) + width - LeftSide, y, y + height));
  else if (side == 3)
    RightRecs.Add(Record(RightEdge(y) - RightSide - width, y, y + height));
}

namespace {

// The largest BottomY of the records that pass `take`, if any does.
template <typename Take>
std::optional<int> LargestBottom(const parser::TFreeList<IndentRec>& recs, Take take) {
  std::optional<int> bottom;
  for (const auto& rec : recs)
    if (take(*rec)) bottom = std::max(bottom.value_or(rec->BottomY), rec->BottomY);
  return bottom;
}

bool IsFloat(const IndentRec& rec) {
  return rec.LevelId == 0;
}

}  // namespace

int IndentManagerBasic::FloatBottom() const {
  const std::optional<int> left = LargestBottom(LeftRecs, IsFloat);
  const std::optional<int> right = LargestBottom(RightRecs, IsFloat);
  if (!left && !right) return 0;
  return std::max(left.value_or(*right), right.value_or(*left));
}

void IndentManagerBasic::ClearBottoms(int& left, int& right) const {
  const std::optional<int> l = LargestBottom(LeftRecs, IsFloat);
  const std::optional<int> r = LargestBottom(RightRecs, IsFloat);
  left = l ? *l + 1 : 0;
  right = r ? *r + 1 : 0;
}

int IndentManagerBasic::IndentedBottom() const {
  int levelEdge = 0;
  for (const auto& rec : LeftRecs)
    if (rec->LevelId == CurrentLevel) levelEdge = rec->EdgeX;  // the last one counts
  const std::optional<int> bottom =
      LargestBottom(LeftRecs, [levelEdge](const IndentRec& rec) { return rec.EdgeX > levelEdge; });
  return bottom ? *bottom + 1 : 1;
}

void IndentManagerBasic::SetLevel(int y, int level) {
  if (level > CurrentLevel) {
    for (int l = CurrentLevel + 1; l <= level; ++l)
      LeftRecs.Add(Record(LeftEdge(y) - LeftSide + kListIndent, y, kOpenIndentBottom, l));
    CurrentLevel = level;
  } else if (level < CurrentLevel && CurrentLevel > 0) {
    for (const auto& rec : LeftRecs)
      if (rec->LevelId > level) {
        rec->LevelId = 0;
        rec->BottomY = y - 1;
      }
    CurrentLevel = level;
  }
}

void IndentManager::AddFloatImage(int y, TFloatingObject* image) {
  if (!image) return;
  const int w = image->FloatWidth() + image->FloatHSpace();
  const int h = image->FloatHeight();
  switch (image->FloatSide()) {
    case TFloatingObject::Side::Left: {
      const int x = LeftEdge(y) - LeftSide;
      image->SetFloatX(x);
      LeftRecs.Add(Record(x + w, y, y + h));
      break;
    }
    case TFloatingObject::Side::Right: {
      const int edge = RightEdge(y) - RightSide - w;
      image->SetFloatX(RightSide + edge + image->FloatHSpace());
      RightRecs.Add(Record(edge, y, y + h));
      break;
    }
    case TFloatingObject::Side::None:
      break;
  }
}

}  // namespace layout
