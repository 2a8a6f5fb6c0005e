#pragma once

#include <memory>
#include <vector>

#include "layout/IndentManager.h"
#include "layout/SectionBase.h"

namespace layout {

// Sections stacked top to bottom with their own margins: the body of a
// document and the content of every table cell. Top is the document y of
// the last layout; hit tests take y relative to it.
class TCell : public base::TFreeList<TSectionBase> {
 public:
  explicit TCell(TSectionList* owner);
  virtual ~TCell() = default;

  TSectionList* Owner;
  // The cell's background (a table cell's BGCOLOR).
  bool BkGnd = false;
  platform::TColor BkColor = 0;
  TExtent Top = 0;
  int StartPos = 0;
  int Length = 0;

  // Appends a section (nothing for none) and lets it join the document.
  void AddSection(std::unique_ptr<TSectionBase> section);

  virtual TExtent Layout(platform::TCanvas& canvas, TExtent y, TExtent width, int& position,
                         TExtent& maxWidth);
  virtual void GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest);
  // The height a layout at `width` gives, for a table sizing its rows. The
  // layout runs as a measurement (tables inside only size themselves) and
  // its result is kept until the document is laid out again, so nested
  // tables measure each cell once per width.
  TExtent MeasureHeight(platform::TCanvas& canvas, TExtent width);
  virtual TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip, TExtent clipWidth,
                       TExtent x, TExtent y);
  virtual bool GetUrlAt(platform::TCanvas& canvas, int x, int y,
                        std::unique_ptr<base::TUrlTarget>& url, TFormControlObj*& formControl);
  bool GetObjectAt(int x, int y, TImageObj*& object, int& insideX, int& insideY);
  int PointToPos(platform::TCanvas& canvas, int x, int y, int& caretX, int& caretY,
                 int& caretHeight, bool& insideText, TCell*& cell);
  int FindText(int start, std::string_view text, bool matchCase);
  bool PosToPoint(platform::TCanvas& canvas, int position, int& x, int& y);
  bool GetCharAt(int position, char& ch, TSectionBase*& section);
  void CopySelection();
  void RefreshFonts();
  // The section at y (relative to the cell's top), its top relative to the
  // cell and its index; null below the last section.
  TSectionBase* FindSectionAt(int y, TExtent& sectionTop, int& index) const;

 protected:
  // Reports a section's processing error (the document shows it).
  virtual void ReportProcessError(const std::string& message);

 private:
  // Drawn where it was laid out, a cell starts at the first section that
  // reaches the clip and stops below it, so a paint costs what it shows:
  // the lowest bottom (Top + DrawnHeight) of each section and those above
  // it, and where the sections end, from the last layout.
  void IndexForDrawing();
  // What GetMinMaxWidth and MeasureHeight found in this document layout.
  struct Kept {
    uint64_t layout = 0;  // the document's LayoutGeneration, 0: nothing kept
    uint64_t sections = 0;
    TExtent width = 0;
    TExtent first = 0, second = 0;
  };
  bool Keeps(const Kept& kept) const;
  void Keep(Kept& kept, TExtent width, TExtent first, TExtent second);
  Kept keptMinMax_, keptHeight_;
  // The width of the last layout. The margins themselves are made for each
  // layout and drawing: a cell keeps none between them (a document has
  // thousands of cells).
  TExtent layoutWidth_ = 0;
  std::vector<TExtent> reach_;
  TExtent drawEnd_ = 0;
  uint64_t indexedGeneration_ = 0;
};

}  // namespace layout
