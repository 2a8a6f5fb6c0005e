#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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
  // Where pictures come from: the host's answer to a picture name (bytes,
  // the pending marker, or nothing). Unset, they are files next to the page.
  std::function<void(const std::string& name, platform::TMemoryStream*& stream)> OnImageRequest;
  bool ShowImages = true;
  // Animated pictures are drawn at this frame (1 the first).
  int Frame = 1;
  // What the page's form controls stand on (unset: controls that only keep
  // their state), and how they get into the page's picture: each drawn
  // picture of the page, with the offset from page to picture pixels.
  platform::TControlParent* Controls = nullptr;
  std::function<void(platform::Bitmap& picture, int dx, int dy)> PaintControls;
};

// Makes the page's folder the current directory of the medium that holds
// it, so that its pictures are found as the launcher finds them.
void UsePageFolder(const std::filesystem::path& file);

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

// The size of the whole page's picture: the layout width or the widest
// line, and the laid-out height, with the margins around. In 64 bits: a
// page may be taller than a picture can be.
struct PageSize {
  int64_t Width = 0;
  int64_t Height = 0;
};
PageSize PagePictureSize(const LaidOutPage& page, const PageSettings& settings);

// The whole page, all of its height, drawn as the viewer draws it. Throws
// std::length_error for a page over the bitmap limits.
platform::Bitmap RenderPage(LaidOutPage& page, const PageSettings& settings);

// How the page is cut into bands: Rows page rows a band, each drawn with
// Overlap rows of the page above and below; the band bitmap always fits
// the platform's limits. A bandRows above 0 asks for that many rows.
struct BandGeometry {
  int Rows = 1;
  int Overlap = 0;
};
BandGeometry PlanBands(int width, int height, int pointSize, int bandRows);

// The most pixels a page's PNG may have (a page 572 pixels wide and about
// 470,000 high): drawing and compressing more takes minutes for nothing a
// person looks at.
constexpr int64_t kMaxPngPixels = int64_t{1} << 28;

// The whole page drawn into a PNG file band by band (bandRows rows at a
// time; 0 chooses bands of about 8 MB), so memory stays bounded however
// long the page is. The pixels are those RenderPage gives. False with the
// reason in `error` when the page cannot be a PNG or the file not written.
bool WritePagePng(LaidOutPage& page, const PageSettings& settings, const std::string& path,
                  std::string& error, int bandRows = 0);

// The laid-out document as text: a header line, then one line per section
// and, for text sections, one line per laid-out line; a table adds a line
// per row and per cell (its caption as a cell too), each cell followed by
// its own sections, indented; last one line per anchor with the top of its
// section.
void DumpDocument(const LaidOutPage& page, std::ostream& out);

}  // namespace tools
