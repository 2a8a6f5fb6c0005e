#pragma once

#include <string_view>

#include "layout/SectionList.h"
#include "parser/HtmlBuilder.h"
#include "platform/Canvas.h"

// What the page targets share: build a document from bytes, lay it out,
// and then use everything the layout made the way the viewer does (anchors,
// every section's queries, drawing, hit tests over the whole page, search
// and copy), aborting when an invariant of the laid-out document breaks.
namespace fuzz {

struct PageSettings {
  std::string_view fontName = "TestFont";
  std::string_view fixedFontName = "TestFont";
  int charSet = 204;
  int width = 572;
  // A second layout at another width reuses the line records of the first.
  int relayoutWidth = -1;
  // Picks the selection that is copied and the text that is searched.
  unsigned choice = 0;
};

// Parses `html` into a new document with the settings' fonts and runs it
// through ExerciseDocument.
void ExercisePage(std::string_view html, const PageSettings& settings);

// Lays `doc` out at the settings' widths into a small canvas and exercises
// the result. The document must have been built with `anchors`.
void ExerciseDocument(layout::TSectionList& doc, const parser::TAnchorList& anchors,
                      const PageSettings& settings);

}  // namespace fuzz
