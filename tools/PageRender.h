#pragma once

#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "layout/SectionList.h"
#include "parser/HtmlBuilder.h"
#include "platform/Bitmap.h"

namespace tools {

// The launcher's viewer settings: its faces, size, colours and character
// set, its margins, and the width its layout gets (611 pixels less the
// scroll bar, the border and both side margins).
struct PageSettings {
  std::string FontName = "Times New Roman";
  std::string PreFontName = "Courier New";
  int Size = 12;
  int CharSet = 204;
  int MarginWidth = 10;
  int MarginHeight = 5;
  int Width = 611 - 16 - 3 - 2 * 10;
};

// A page parsed and laid out with the viewer's document code.
struct LaidOutPage {
  std::unique_ptr<layout::TSectionList> Document;
  parser::TAnchorList Anchors;
  parser::TParseResult Result;
  int Height = 0;    // of the laid-out sections
  int DocWidth = 0;  // widest line, at most 2000
};

LaidOutPage LayOutFile(const std::filesystem::path& file, const PageSettings& settings);
LaidOutPage LayOutHtml(std::string_view html, const PageSettings& settings);

// The whole page, all of its height, drawn as the viewer draws it.
platform::Bitmap RenderPage(LaidOutPage& page, const PageSettings& settings);

// The laid-out document as text: a header line, then one line per section
// and, for text sections, one line per laid-out line; last one line per
// anchor with the top of its section.
void DumpDocument(const LaidOutPage& page, std::ostream& out);

}  // namespace tools
