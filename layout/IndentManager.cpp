#include "layout/IndentManager.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace layout {

namespace {

bool Applies(const IndentRec& rec, TExtent y) {
  return rec.TopY <= y && y < rec.BottomY;
}

std::unique_ptr<IndentRec> Record(TExtent edgeX, TExtent top, TExtent bottom, int level = 0) {
  return std::make_unique<IndentRec>(IndentRec{edgeX, top, bottom, level});
}

}  // namespace

void IndentManagerBasic::Clear() {
  LeftRecs.Clear();
  RightRecs.Clear();
  Sync();
}

void IndentManagerBasic::SetSides(TExtent left, TExtent right) {
  LeftSide = left;
  RightSide = right;
  CurrentLevel = 0;
}

void IndentManagerBasic::NoteFloat(SideIndex& side, IndentRec* rec, int index, bool left) const {
  side.floatBottom = std::max(side.floatBottom.value_or(rec->BottomY), rec->BottomY);
  if (!left) return;
  auto [it, added] = floatBottomByEdge_.emplace(rec->EdgeX, rec->BottomY);
  if (!added) it->second = std::max(it->second, rec->BottomY);
  if (index > lastLeftFloatIndex_) {
    lastLeftFloatIndex_ = index;
    lastLeftFloat_ = rec;
  }
}

void IndentManagerBasic::Sync() const {
  if (left_.generation != LeftRecs.Generation() || right_.generation != RightRecs.Generation()) {
    // Records were removed: start the index again.
    left_ = SideIndex();
    right_ = SideIndex();
    left_.generation = LeftRecs.Generation();
    right_.generation = RightRecs.Generation();
    open_.clear();
    floatBottomByEdge_.clear();
    lastLeftFloat_ = nullptr;
    lastLeftFloatIndex_ = -1;
  }
  for (int i = static_cast<int>(left_.seen); i < LeftRecs.Count(); ++i) {
    IndentRec* rec = LeftRecs[i];
    left_.live.emplace(-int64_t{rec->EdgeX}, rec);
    if (rec->LevelId == 0)
      NoteFloat(left_, rec, i, true);
    else
      open_.emplace_back(rec, i);
  }
  left_.seen = static_cast<size_t>(LeftRecs.Count());
  for (int i = static_cast<int>(right_.seen); i < RightRecs.Count(); ++i) {
    IndentRec* rec = RightRecs[i];
    right_.live.emplace(rec->EdgeX, rec);
    if (rec->LevelId == 0) NoteFloat(right_, rec, i, false);
  }
  right_.seen = static_cast<size_t>(RightRecs.Count());
}

TExtent IndentManagerBasic::Edge(SideIndex& side, const base::TFreeList<IndentRec>& recs, TExtent y,
                                 bool left) {
  // Left: the largest EdgeX (at least 0); right: the smallest (at most 0).
  TExtent edge = 0;
  const auto take = [&](const IndentRec& rec) {
    if (Applies(rec, y)) edge = left ? std::max(edge, rec.EdgeX) : std::min(edge, rec.EdgeX);
  };
  if (y < side.cursorY) {
    for (const auto& rec : recs) take(*rec);  // a look back (drawing, hit tests)
    return edge;
  }
  side.cursorY = y;
  for (auto it = side.live.begin(); it != side.live.end();) {
    const IndentRec& rec = *it->second;
    if (rec.BottomY <= y) {
      it = side.live.erase(it);  // ends at or above y: never applies again further down
    } else if (rec.TopY <= y) {
      take(rec);
      break;
    } else {
      ++it;
    }
  }
  return edge;
}

TExtent IndentManagerBasic::LeftEdge(TExtent y) const {
  Sync();
  return LeftSide + Edge(left_, LeftRecs, y, true);
}

TExtent IndentManagerBasic::RightEdge(TExtent y) const {
  Sync();
  return RightSide + Edge(right_, RightRecs, y, false);
}

void IndentManagerBasic::AddRect(TExtent y, TExtent width, base::TJustify side, TExtent height) {
  const TExtent bottom = y + height;
  if (side == base::jtLeft)
    LeftRecs.Add(Record(LeftEdge(y) + width - LeftSide, y, bottom));
  else if (side == base::jtRight)
    RightRecs.Add(Record(RightEdge(y) - RightSide - width, y, bottom));
}

TExtent IndentManagerBasic::FloatBottom() const {
  Sync();
  if (!left_.floatBottom && !right_.floatBottom) return 0;
  return std::max(left_.floatBottom.value_or(-base::kMaxExtent),
                  right_.floatBottom.value_or(-base::kMaxExtent));
}

void IndentManagerBasic::ClearBottoms(TExtent& left, TExtent& right) const {
  Sync();
  left = left_.floatBottom ? *left_.floatBottom + 1 : TExtent(0);
  right = right_.floatBottom ? *right_.floatBottom + 1 : TExtent(0);
}

TExtent IndentManagerBasic::IndentedBottom() const {
  Sync();
  // The EdgeX of the last left record of the current level.
  TExtent levelEdge = 0;
  if (CurrentLevel == 0) {
    if (lastLeftFloat_) levelEdge = lastLeftFloat_->EdgeX;
  } else {
    int lastIndex = -1;
    for (const auto& [rec, index] : open_)
      if (rec->LevelId == CurrentLevel && index > lastIndex) {
        lastIndex = index;
        levelEdge = rec->EdgeX;
      }
  }
  std::optional<TExtent> bottom;
  for (auto it = floatBottomByEdge_.upper_bound(levelEdge); it != floatBottomByEdge_.end(); ++it)
    bottom = std::max(bottom.value_or(it->second), it->second);
  for (const auto& [rec, index] : open_)
    if (rec->EdgeX > levelEdge) bottom = std::max(bottom.value_or(rec->BottomY), rec->BottomY);
  return bottom ? *bottom + 1 : TExtent(1);
}

void IndentManagerBasic::SetLevel(TExtent y, int level) {
  if (level > CurrentLevel) {
    // Each new level indents from the edge the one before it made, which
    // is known without asking the records again.
    TExtent edge = LeftEdge(y) - LeftSide;
    for (int l = CurrentLevel + 1; l <= level; ++l) {
      const TExtent levelEdge = edge + kListIndent;
      LeftRecs.Add(Record(levelEdge, y, kOpenIndentBottom, l));
      if (Applies(*LeftRecs[LeftRecs.Count() - 1], y)) edge = std::max(edge, levelEdge);
    }
    CurrentLevel = level;
  } else if (level < CurrentLevel && CurrentLevel > 0) {
    Sync();
    // Every open indent deeper than level closes one pixel above y and
    // from then on counts as a float.
    std::vector<std::pair<IndentRec*, int>> stillOpen;
    for (const auto& [rec, index] : open_) {
      if (rec->LevelId > level) {
        rec->LevelId = 0;
        rec->BottomY = y - 1;
        NoteFloat(left_, rec, index, true);
      } else {
        stillOpen.emplace_back(rec, index);
      }
    }
    open_ = std::move(stillOpen);
    CurrentLevel = level;
  }
}

void IndentManager::AddFloatImage(TExtent y, TFloatingObject* image) {
  if (!image) return;
  const TExtent w = image->FloatWidth() + image->FloatHSpace();
  const TExtent bottom = y + image->FloatHeight();
  switch (image->FloatSide()) {
    case TFloatingObject::Side::Left: {
      const TExtent x = LeftEdge(y) - LeftSide;
      image->SetFloatX(x);
      LeftRecs.Add(Record(x + w, y, bottom));
      break;
    }
    case TFloatingObject::Side::Right: {
      const TExtent edge = RightEdge(y) - RightSide - w;
      image->SetFloatX(RightSide + edge + image->FloatHSpace());
      RightRecs.Add(Record(edge, y, bottom));
      break;
    }
    case TFloatingObject::Side::None:
      break;
  }
}

}  // namespace layout
