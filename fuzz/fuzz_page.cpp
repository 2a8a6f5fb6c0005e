// The whole road of a page: bytes -> document builder -> layout at a few
// widths -> drawing into a small bitmap -> hit tests, search and copy.
// The first byte chooses the fonts (the test font, or the real faces).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "layout/SectionList.h"
#include "parser/HtmlBuilder.h"
#include "platform/Canvas.h"
#include "platform/GuiApplication.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  platform::EnsureGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool realFonts = data[0] & 1;
  const std::string_view html(reinterpret_cast<const char*>(data + 1), size - 1);

  layout::TSectionList doc;
  doc.CharSet = 204;
  const std::string face = realFonts ? "Times New Roman" : "TestFont";
  doc.SetDefaults(face, realFonts ? "Courier New" : "TestFont", platform::clWhite, 0xFF0000,
                  platform::clBlack, 12);
  parser::TAnchorList anchors;
  try {
    parser::ParseHtmlBuffer(doc, anchors, html, {});
  } catch (const parser::EParseError&) {
  }

  platform::Bitmap bitmap(64, 48);
  platform::TCanvas canvas(bitmap);
  for (int width : {0, 37, 300}) {
    int position = 0, maxWidth = 0;
    const int height = doc.Layout(canvas, 5, width, position, maxWidth);
    if (position != doc.Length || height < 0) std::abort();
    doc.SetYOffset(height / 2);
    doc.Draw(canvas, {0, 0, 64, 48}, 2000, 10, 5);
  }
  doc.SelStart = 1;
  doc.SelEnd = doc.Length;
  std::string clip;
  doc.ClipBuffer = &clip;
  doc.CopySelection();
  for (int y : {0, 7, 20, 40}) {
    std::unique_ptr<parser::TUrlTarget> url;
    layout::TFormControlObj* control = nullptr;
    doc.GetUrlAt(canvas, 20, y, url, control);
    int caretX = 0, caretY = 0, caretHeight = 0;
    bool inside = false;
    layout::TCell* cell = nullptr;
    doc.PointToPos(canvas, 30, y, caretX, caretY, caretHeight, inside, cell);
  }
  int x = 0, y = 0;
  doc.PosToPoint(canvas, doc.Length / 2, x, y);
  doc.FindText(0, "a", false);
  return 0;
}
