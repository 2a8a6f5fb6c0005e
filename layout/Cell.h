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
  ~TCell() override = default;

  TSectionList* Owner;
  // The cell's background (a table cell's BGCOLOR).
  bool BkGnd = false;
  platform::TColor BkColor = 0;
  int Top = 0;
  int StartPos = 0;
  int Length = 0;
  IndentManager Margins;

  // Appends a section (nothing for none) and lets it join the document.
  void AddSection(std::unique_ptr<TSectionBase> section);

  virtual int Layout(platform::TCanvas& canvas, int y, int width, int& position, int& maxWidth);
  virtual void GetMinMaxWidth(platform::TCanvas& canvas, int& narrowest, int& widest);
  // The height a layout at `width` gives, for a table sizing its rows. The
  // layout runs as a measurement (tables inside only size themselves) and
  // its result is kept until the document is laid out again, so nested
  // tables measure each cell once per width.
  int MeasureHeight(platform::TCanvas& canvas, int width);
  virtual int Draw(platform::TCanvas& canvas, const platform::TRect& clip, int clipWidth, int x,
                   int y);
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
  TSectionBase* FindSectionAt(int y, int& sectionTop, int& index) const;

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
    int width = 0;
    int first = 0, second = 0;
  };
  bool Keeps(const Kept& kept) const;
  void Keep(Kept& kept, int width, int first, int second);
  Kept keptMinMax_, keptHeight_;
  std::vector<int> reach_;
  int drawEnd_ = 0;
  uint64_t indexedGeneration_ = 0;
};

}  // namespace layout
