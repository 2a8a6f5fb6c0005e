#pragma once

#include <climits>
#include <map>
#include <optional>
#include <vector>

#include "base/HtmlUtils.h"

namespace layout {

using base::TExtent;

// One margin record. Coordinates: EdgeX is relative to the cell's side
// (LeftSide for left records, >= 0; RightSide for right records, <= 0);
// TopY and BottomY are document y, BottomY exclusive.
struct IndentRec {
  TExtent EdgeX = 0;
  TExtent TopY = 0;
  TExtent BottomY = 0;
  int LevelId = 0;  // list level of an open indent; 0 for floats and closed indents
};

// Open list-level indents reach this far down.
constexpr int kOpenIndentBottom = 9999999;
// Each list level indents this many pixels more than the one before.
constexpr int kListIndent = 35;

// What a margin manager needs of a floating object (an image aligned left
// or right): its size and where it is placed.
class TFloatingObject {
 public:
  enum class Side { None, Left, Right };
  virtual ~TFloatingObject() = default;
  virtual Side FloatSide() const = 0;
  virtual TExtent FloatWidth() const = 0;   // its width
  virtual TExtent FloatHeight() const = 0;  // its height
  virtual TExtent FloatHSpace() const = 0;  // horizontal space beside it
  // Where it goes, relative to the cell's left side.
  virtual void SetFloatX(TExtent x) = 0;
};

// The margins of one cell: at document height y, where the space that text
// may use starts and ends.
class IndentManagerBasic {
 public:
  TExtent Width = 0;
  TExtent ClipWidth = 0;
  base::TFreeList<IndentRec> LeftRecs;
  base::TFreeList<IndentRec> RightRecs;
  int CurrentLevel = 0;
  TExtent LeftSide = 0;
  TExtent RightSide = 0;

  virtual ~IndentManagerBasic() = default;

  void Clear();
  void SetSides(TExtent left, TExtent right);
  TExtent LeftEdge(TExtent y) const;
  TExtent RightEdge(TExtent y) const;
  // Reserves width x height at y against the left or right side (a
  // floating table); any other side reserves nothing.
  void AddRect(TExtent y, TExtent width, base::TJustify side, TExtent height);
  // How far floats reach down (open list indents do not count); 0 if none.
  TExtent FloatBottom() const;
  // One below the lowest float of each side, 0 for a side without floats.
  void ClearBottoms(TExtent& left, TExtent& right) const;
  // One below the lowest left record that indents further than the current
  // list level's record; 1 when none does.
  TExtent IndentedBottom() const;
  void SetLevel(TExtent y, int level);

 private:
  // The queries above walk every record, and a long document gathers
  // thousands (every list leaves its closed indents). Layout asks at a y
  // that only grows, so each side keeps the records that may still apply
  // there, and the float bottoms are kept as running maxima: records only
  // ever join the floats (LevelId 0) and then never change. Rebuilt when
  // any records were removed.
  struct SideIndex {
    uint64_t generation = 0;  // of the records when the index started
    size_t seen = 0;          // records taken into the index
    // The records that may apply at some y >= cursorY, the most indenting
    // first (largest EdgeX on the left, smallest on the right): the first
    // that applies at y is the edge, however many list levels are open.
    std::multimap<int64_t, IndentRec*> live;
    int cursorY = INT_MIN;
    std::optional<TExtent> floatBottom;  // largest BottomY with LevelId 0
  };
  void Sync() const;
  void NoteFloat(SideIndex& side, IndentRec* rec, int index, bool left) const;
  static TExtent Edge(SideIndex& side, const base::TFreeList<IndentRec>& recs, TExtent y,
                      bool left);

  mutable SideIndex left_, right_;
  mutable std::vector<std::pair<IndentRec*, int>> open_;  // left records with LevelId > 0
  mutable std::map<int, TExtent> floatBottomByEdge_;      // left floats: EdgeX -> largest BottomY
  mutable IndentRec* lastLeftFloat_ = nullptr;            // the last left record with LevelId 0
  mutable int lastLeftFloatIndex_ = -1;
};

class IndentManager : public IndentManagerBasic {
 public:
  // Places a floating object at y against its side; nothing for one that
  // floats neither left nor right.
  void AddFloatImage(TExtent y, TFloatingObject* image);
};

}  // namespace layout
