#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/HtmlUtils.h"
#include "layout/IndentManager.h"
#include "platform/Canvas.h"

namespace layout {

class TSectionList;
class TCell;
class TImageObj;
class TFormControlObj;

// The one error that stops a section's layout (a table with too many
// columns); the cell reports it, drops the section and goes on.
class EProcessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every element of a document's vertical flow. Coordinates: Top is the
// document y of the section's top; hit tests take y relative to it; drawing
// subtracts the document's YOffset. Positions number the document's
// characters from 0; a section owns [StartPos, StartPos + Length).
class TSectionBase {
 public:
  virtual ~TSectionBase() = default;

  TSectionList* Owner = nullptr;
  TExtent Height = 0;
  TExtent DrawnHeight = 0;  // what the section covers below its top, at least Height
  TExtent Top = 0;
  int StartPos = 0;
  int Length = 0;

  // Joins a document; sections whose height depends only on the document's
  // base size compute it now.
  void SetOwner(TSectionList* owner) {
    Owner = owner;
    UpdateHeight();
  }

  // The kind of section, as the text dump names it.
  virtual const char* ClassName() const { return "TSectionBase"; }

  // Called by the cell just before the section joins it.
  virtual void PrepareForCell() {}

  virtual void CopySelection() {}
  virtual TExtent Layout(platform::TCanvas& canvas, TExtent y, IndentManager& margins,
                         TExtent& maxWidth, int& position);
  virtual TExtent Draw(platform::TCanvas& canvas, const platform::TRect& clip,
                       IndentManager& margins, TExtent x, TExtent y);
  virtual bool GetUrlAt(platform::TCanvas& canvas, int x, int y,
                        std::unique_ptr<base::TUrlTarget>& url, TFormControlObj*& formControl);
  virtual bool GetObjectAt(int x, int y, TImageObj*& object, int& insideX, int& insideY);
  virtual int PointToPos(platform::TCanvas& canvas, int x, int y, int& caretX, int& caretY,
                         int& caretHeight, bool& insideText, TCell*& cell);
  virtual int FindText(int start, std::string_view text, bool matchCase);
  virtual bool PosToPoint(platform::TCanvas& canvas, int position, int& x, int& y);
  virtual bool GetCharAt(int position, char& ch, TSectionBase*& section);
  virtual void RefreshFonts() { UpdateHeight(); }
  virtual void UpdateHeight() {}
  virtual void GetMinMaxWidth(platform::TCanvas& canvas, TExtent& narrowest, TExtent& widest);
};

}  // namespace layout
