#include "tools/PageRender.h"

#include <algorithm>

#include "layout/Section.h"
#include "platform/Canvas.h"
#include "platform/GuiApplication.h"
#include "tools/TokenDump.h"

namespace tools {

namespace {

std::unique_ptr<layout::TSectionList> NewDocument(const PageSettings& settings) {
  platform::EnsureGuiApplication();
  auto doc = std::make_unique<layout::TSectionList>();
  doc->CharSet = static_cast<uint8_t>(settings.CharSet);
  doc->SetDefaults(settings.FontName, settings.PreFontName, platform::clWhite, 0x00FF0000,
                   platform::clWindowText, settings.Size);
  return doc;
}

void LayOut(LaidOutPage& page, const PageSettings& settings) {
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  int position = 0, maxWidth = 0;
  page.Height =
      page.Document->Layout(canvas, settings.MarginHeight, settings.Width, position, maxWidth);
  page.DocWidth = std::min(maxWidth, 2000);
}

}  // namespace

LaidOutPage LayOutFile(const std::filesystem::path& file, const PageSettings& settings) {
  LaidOutPage page;
  page.Document = NewDocument(settings);
  page.Result = parser::ParseHtmlFile(*page.Document, page.Anchors, file, {});
  LayOut(page, settings);
  return page;
}

LaidOutPage LayOutHtml(std::string_view html, const PageSettings& settings) {
  LaidOutPage page;
  page.Document = NewDocument(settings);
  try {
    page.Result = parser::ParseHtmlBuffer(*page.Document, page.Anchors, html, {});
  } catch (const parser::EParseError&) {
    // What was built before the open comment stays.
  }
  LayOut(page, settings);
  return page;
}

platform::Bitmap RenderPage(LaidOutPage& page, const PageSettings& settings) {
  const int width = std::max(settings.Width, page.DocWidth) + 2 * settings.MarginWidth;
  const int height = std::max(1, page.Height + 2 * settings.MarginHeight);
  platform::Bitmap bitmap(width, height);
  bitmap.Fill(platform::ColorToRGB(page.Document->Background));
  platform::TCanvas canvas(bitmap);
  page.Document->SetYOffset(0);
  page.Document->Draw(canvas, {0, 0, width, height}, 2000, settings.MarginWidth,
                      settings.MarginHeight);
  return bitmap;
}

void DumpDocument(const LaidOutPage& page, std::ostream& out) {
  const layout::TSectionList& doc = *page.Document;
  out << "document height=" << page.Height << " width=" << page.DocWidth << " length=" << doc.Length
      << '\n';
  for (const auto& section : doc) {
    out << section->ClassName() << " top=" << section->Top << " height=" << section->Height
        << " drawn=" << section->DrawnHeight << " start=" << section->StartPos
        << " len=" << section->Length;
    const auto* text = dynamic_cast<const layout::TSection*>(section.get());
    if (!text) {
      out << '\n';
      continue;
    }
    out << " align=" << static_cast<int>(text->Alignment) << " level=" << text->Level << '\n';
    int y = text->Top;
    for (const auto& line : text->Lines) {
      out << "  line y=" << y << " x=" << line->LineIndent
          << " w=" << (line->Count ? text->TextWidth(line->Start, true, line->Count) : 0)
          << " h=" << line->FullHeight()
          << " base=" << line->SpaceAbove + line->LineHeight - line->Descent << " \"";
      WriteEscaped(out, std::string_view(text->Buff).substr(line->Start, line->Count));
      out << "\"\n";
      y += line->FullHeight();
    }
  }
  for (const auto& [name, section] : page.Anchors) {
    out << "anchor ";
    WriteEscaped(out, name);
    out << " y=" << section->Top << '\n';
  }
}

}  // namespace tools
