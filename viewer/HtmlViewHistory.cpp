// The history of visited places: the newest at index 0, VisitIndex the
// place shown.
#include "viewer/HtmlView.h"

namespace viewer {

void ThtmlView::RecordHistory(const std::string& oldFile, const std::string& oldTitle,
                              int oldPosition, uint8_t oldKind) {
  if (historyMaxCount_ < 1 || currentFile_.empty()) return;
  const int position = SavedPosition();
  if (oldFile == currentFile_ && oldKind == currentKind_ && oldPosition == position) return;
  if (!visitedFiles_.empty() && !oldFile.empty()) {
    // The place left keeps where it was scrolled to; the places that were
    // gone back from are dropped.
    const size_t at = static_cast<size_t>(visitIndex_);
    visitedFiles_[at] = oldFile;
    visitedTitles_[at] = oldTitle;
    PositionObj* kept = visitedPositions_[visitIndex_];
    kept->SavedPos = oldPosition;
    kept->Kind = oldKind;
    for (int i = 0; i < visitIndex_; ++i) {
      visitedFiles_.erase(visitedFiles_.begin());
      visitedTitles_.erase(visitedTitles_.begin());
      visitedPositions_.Delete(0);
    }
  }
  visitIndex_ = 0;
  visitedFiles_.insert(visitedFiles_.begin(), currentFile_);
  visitedTitles_.insert(visitedTitles_.begin(), title_);
  visitedPositions_.Insert(0, std::make_unique<PositionObj>(PositionObj{position, currentKind_}));
  if (static_cast<int>(visitedFiles_.size()) > historyMaxCount_) {
    const size_t oldest = static_cast<size_t>(historyMaxCount_);
    visitedFiles_.erase(visitedFiles_.begin() + static_cast<std::ptrdiff_t>(oldest));
    visitedTitles_.erase(visitedTitles_.begin() + static_cast<std::ptrdiff_t>(oldest));
    visitedPositions_.Delete(historyMaxCount_);
  }
  if (OnHistoryChange) OnHistoryChange(this);
}

void ThtmlView::EmptyHistory() {
  const bool had = !visitedFiles_.empty();
  visitedFiles_.clear();
  visitedTitles_.clear();
  visitedPositions_.Clear();
  visitIndex_ = 0;
  if (had && OnHistoryChange) OnHistoryChange(this);
}

void ThtmlView::GoBack() {
  GoToHistory(visitIndex_ + 1);
}

void ThtmlView::GoForward() {
  GoToHistory(visitIndex_ - 1);
}

// Shows the place at `index` without recording: the entry that is left
// keeps its scroll position, so coming back returns there.
void ThtmlView::GoToHistory(int index) {
  if (historyMaxCount_ < 1 || processing_ || index < 0 ||
      index >= static_cast<int>(visitedFiles_.size()))
    return;
  visitedPositions_[visitIndex_]->SavedPos = SavedPosition();
  const std::string file = visitedFiles_[static_cast<size_t>(index)];
  const PositionObj place = *visitedPositions_[index];
  if (file != currentFile_ || place.Kind != currentKind_) LoadDocument(file, place.Kind);
  visitIndex_ = index;
  SetSavedPosition(place.SavedPos);
  if (OnHistoryChange) OnHistoryChange(this);
}

}  // namespace viewer
