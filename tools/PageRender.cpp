#include "tools/PageRender.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "images/GifImage.h"
#include "layout/Section.h"
#include "platform/Canvas.h"
#include "platform/GuiApplication.h"
#include "platform/Paths.h"
#include "tables/Table.h"
#include "tools/PngRowWriter.h"
#include "tools/TokenDump.h"

namespace tools {

namespace {

std::unique_ptr<layout::TSectionList> NewDocument(const PageSettings& settings) {
  platform::EnsureGuiApplication();
  auto doc = std::make_unique<layout::TSectionList>();
  doc->CharSet = static_cast<uint8_t>(settings.CharSet);
  doc->SetDefaults(settings.FontName, settings.PreFontName, platform::clWhite, 0x00FF0000,
                   platform::clWindowText, settings.Size);
  // What the viewer shows in an error box (a table with too many columns,
  // taken out of the page) goes to standard error.
  doc->OnProcessError = [](const std::string& message) {
    std::fprintf(stderr, "htmlrender: %s\n", message.c_str());
  };
  doc->OnImageRequest = settings.OnImageRequest;
  doc->ShowImages = settings.ShowImages;
  doc->SetControlParent(settings.Controls);
  // Picture names are relative to the page's folder, the current directory
  // of the medium while the page is read.
  doc->ExpandFileName = [](const std::string& name) {
    return platform::ExpandFileName(base::UrlToFilePath(name));
  };
  return doc;
}

void LayOut(LaidOutPage& page, const PageSettings& settings) {
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  int position = 0;
  base::TExtent maxWidth = 0;
  page.Height =
      page.Document->Layout(canvas, settings.MarginHeight, settings.Width, position, maxWidth);
  page.DocWidth = std::min<base::TExtent>(maxWidth, 2000);
  if (settings.Frame > 1)
    for (images::TGIFImage* image : page.Document->AnimatedImages)
      image->PlayToFrame(settings.Frame);
}

}  // namespace

void UsePageFolder(const std::filesystem::path& file) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(file, error).parent_path();
  if (error) return;
  const std::filesystem::path root = platform::MountRootOf(folder);
  platform::SetMediumRoot(root, platform::WindowsPathBelow(root, folder));
}

LaidOutPage LayOutFile(const std::filesystem::path& file, const PageSettings& settings) {
  UsePageFolder(file);
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

PageSize PagePictureSize(const LaidOutPage& page, const PageSettings& settings) {
  return {int64_t{std::max(settings.Width, page.DocWidth)} + 2 * int64_t{settings.MarginWidth},
          std::max<int64_t>(1, int64_t{page.Height} + 2 * int64_t{settings.MarginHeight})};
}

platform::Bitmap RenderPage(LaidOutPage& page, const PageSettings& settings) {
  const PageSize size = PagePictureSize(page, settings);
  if (!platform::Bitmap::SizeIsAllowed(size.Width, size.Height))
    throw std::length_error("Bitmap too large");
  const int width = static_cast<int>(size.Width), height = static_cast<int>(size.Height);
  platform::Bitmap bitmap(width, height);
  bitmap.Fill(platform::ColorToRGB(page.Document->Background));
  platform::TCanvas canvas(bitmap);
  page.Document->SetYOffset(0);
  page.Document->Draw(canvas, {0, 0, width, height}, 2000, settings.MarginWidth,
                      settings.MarginHeight);
  if (settings.PaintControls) settings.PaintControls(bitmap, 0, 0);
  return bitmap;
}

BandGeometry PlanBands(int width, int height, int pointSize, int bandRows) {
  // The band bitmap, overlap included, must be one the platform can make:
  // at least 4096 rows, as a page is at most 65536 pixels wide.
  const int64_t maxRows = std::min<int64_t>(platform::Bitmap::kMaxDimension,
                                            platform::Bitmap::kMaxPixels / std::max(1, width));
  // Glyphs reach past their line's box (descenders, accents, a superscript
  // raised a third of its line), and a line outside the clip is not drawn
  // at all, so each band is drawn with rows of the page above and below it
  // and only its own rows are kept. The largest font a page can ask for is
  // three times the base size; four base ems is more than its ink reaches
  // past its line. At most a quarter of the band bitmap on each side.
  const int em = std::max(1, pointSize * 96 / 72);
  BandGeometry bands;
  bands.Overlap = static_cast<int>(std::min<int64_t>({int64_t{4} * em + 32, height, maxRows / 4}));
  // About 8 MB a band, but never fewer page rows than overlap rows, so no
  // row is drawn more than three times.
  constexpr int64_t kBandBytes = 8 << 20;
  int64_t rows = bandRows > 0
                     ? bandRows
                     : std::max<int64_t>(kBandBytes / (4 * std::max(1, width)), bands.Overlap);
  rows = std::min<int64_t>({rows, std::max(1, height), maxRows - 2 * bands.Overlap});
  bands.Rows = static_cast<int>(std::max<int64_t>(1, rows));
  return bands;
}

bool WritePagePng(LaidOutPage& page, const PageSettings& settings, const std::string& path,
                  std::string& error, int bandRows) {
  const PageSize size = PagePictureSize(page, settings);
  if (size.Width > PngRowWriter::kMaxSide || size.Height > PngRowWriter::kMaxSide) {
    error = "the page is " + std::to_string(size.Width) + " x " + std::to_string(size.Height) +
            " pixels; a PNG holds at most " + std::to_string(PngRowWriter::kMaxSide) +
            " pixels a side";
    return false;
  }
  if (size.Width * size.Height > kMaxPngPixels) {
    error = "the page is " + std::to_string(size.Width) + " x " + std::to_string(size.Height) +
            " pixels; a picture of it holds at most " + std::to_string(kMaxPngPixels) +
            " pixels (--dump shows the layout of any page)";
    return false;
  }
  if (size.Width > platform::Bitmap::kMaxDimension) {
    error = "the page is " + std::to_string(size.Width) + " pixels wide; at most " +
            std::to_string(platform::Bitmap::kMaxDimension) + " can be drawn";
    return false;
  }
  const int width = static_cast<int>(size.Width);
  const int height = static_cast<int>(size.Height);
  const BandGeometry bands = PlanBands(width, height, settings.Size, bandRows);
  bandRows = bands.Rows;
  const int overlap = bands.Overlap;

  PngRowWriter png;
  if (!png.Open(path, static_cast<uint32_t>(width), static_cast<uint32_t>(height))) {
    error = png.Error();
    return false;
  }
  // Each band is drawn as the whole page would be, moved up by the window
  // origin: the same logical coordinates, so the same pixels.
  platform::Bitmap band(width, bandRows + 2 * overlap);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  const platform::TColor background = platform::ColorToRGB(page.Document->Background);
  page.Document->SetYOffset(0);
  for (int top = 0; top < height; top += bandRows) {
    const int rows = std::min(bandRows, height - top);
    const int drawTop = top - overlap, drawBottom = top + rows + overlap;
    band.Fill(background);
    platform::TCanvas canvas(band);
    canvas.SetWindowOrg(0, drawTop);
    canvas.SetClipRect({0, std::max(0, drawTop), width, std::min(height, drawBottom)});
    page.Document->Draw(canvas, canvas.ClipRect(), 2000, settings.MarginWidth,
                        settings.MarginHeight);
    if (settings.PaintControls) settings.PaintControls(band, 0, -drawTop);
    for (int y = 0; y < rows; ++y) {
      const uint32_t* pixels = band.Row32(overlap + y);
      for (int x = 0; x < width; ++x) {
        row[3 * x] = static_cast<uint8_t>(pixels[x] >> 16);
        row[3 * x + 1] = static_cast<uint8_t>(pixels[x] >> 8);
        row[3 * x + 2] = static_cast<uint8_t>(pixels[x]);
      }
      if (!png.WriteRow(row.data())) {
        error = png.Error();
        return false;
      }
    }
  }
  if (!png.Finish()) {
    error = png.Error();
    return false;
  }
  return true;
}

namespace {

void DumpSections(const layout::TCell& cell, std::ostream& out, int indent);

constexpr const char* kAlignNames[] = {"top", "middle", "bottom", "left", "right"};

// Each picture where the section draws it: x relative to the cell, y in
// the document.
void DumpImages(const layout::TSection& text, std::ostream& out, const std::string& pad) {
  base::TExtent y = text.Top;
  for (const auto& line : text.Lines) {
    const base::TExtent textTop = y + line.SpaceAbove;
    const base::TExtent baseline = textTop + line.LineHeight - line.Descent;
    for (int i = line.Start; i < line.Start + line.Count; ++i) {
      if (text.Buff[static_cast<size_t>(i)] != layout::kImageByte) continue;
      const layout::TImageObj* image = nullptr;
      for (const auto& candidate : text.Images)
        if (candidate->Pos == i) image = candidate.get();
      if (!image) continue;
      int index = 0;
      const layout::TFontObj& run = *text.Fonts.GetRunAt(i, index);
      base::TExtent x = 0, top = 0;
      if (image->Floats()) {
        x = image->FloatX;
        top = i == line.Start ? y : textTop + line.LineHeight;
      } else {
        x = line.LineIndent + text.TextWidth(line.Start, false, i - line.Start);
        top = image->BoxTop(run, baseline, textTop);
      }
      out << pad << "  image x=" << x << " y=" << top << " w=" << image->ObjWidth
          << " h=" << image->ObjHeight
          << " align=" << kAlignNames[static_cast<int>(image->ImageAlign)] << " src=\"";
      WriteEscaped(out, image->Source);
      out << '"';
      if (image->PictureKind == layout::TPictureKind::Error) out << " missing";
      if (image->Floats())
        out << " float=" << (image->ImageAlign == layout::TImageAlign::Left ? "left" : "right");
      out << '\n';
    }
    y += line.FullHeight();
  }
}

// Each form control with a window where the section draws it: x relative
// to the cell, y in the document.
void DumpControls(const layout::TSection& text, std::ostream& out, const std::string& pad) {
  if (text.FormControls.empty()) return;
  base::TExtent y = text.Top;
  for (const auto& line : text.Lines) {
    const base::TExtent textBottom = y + line.SpaceAbove + line.LineHeight;
    for (auto it = text.FormControls.FirstAtOrAfter(line.Start);
         it != text.FormControls.end() && (*it)->Pos < line.Start + line.Count; ++it) {
      const layout::TFormControlObj& control = **it;
      if (!control.HasWindow()) continue;
      const base::TExtent x =
          line.LineIndent + text.TextWidth(line.Start, false, control.Pos - line.Start);
      const base::TExtent bottom = control.OnBaseline ? textBottom - line.Descent : textBottom;
      out << pad << "  control " << control.Kind() << " x=" << x
          << " y=" << bottom - control.Height() << " w=" << control.Width()
          << " h=" << control.Height() << " name=\"";
      WriteEscaped(out, control.Name);
      out << "\"\n";
    }
    y += line.FullHeight();
  }
}

void DumpText(const layout::TSection& text, std::ostream& out, const std::string& pad) {
  out << " align=" << static_cast<int>(text.Alignment) << " level=" << text.Level << '\n';
  base::TExtent y = text.Top;
  for (const auto& line : text.Lines) {
    out << pad << "  line y=" << y << " x=" << line.LineIndent
        << " w=" << (line.Count ? text.TextWidth(line.Start, true, line.Count) : base::TExtent(0))
        << " h=" << line.FullHeight()
        << " base=" << line.SpaceAbove + line.LineHeight - line.Descent << " \"";
    WriteEscaped(out, std::string_view(text.Buff).substr(line.Start, line.Count));
    out << "\"\n";
    y += line.FullHeight();
  }
  DumpImages(text, out, pad);
  DumpControls(text, out, pad);
}

// A cell of a table: x is its content's left relative to the body's left,
// y the document y of its content's top; then its sections.
void DumpCell(const layout::TCell& cell, const std::string& column, int colSpan, int rowSpan,
              int64_t x, int64_t y, int width, int height, std::ostream& out, int indent) {
  out << std::string(static_cast<size_t>(indent), ' ') << "cell col=" << column
      << " colspan=" << colSpan << " rowspan=" << rowSpan << " x=" << x << " y=" << y
      << " w=" << width << " h=" << height << '\n';
  DumpSections(cell, out, indent + 4);
}

// The caption, when it has content, where it is drawn; the rows with their cells; fillers
// (cells covered by a span) are left out.
void DumpTable(const tables::ThtmlTable& table, std::ostream& out, int indent) {
  out << " cols=" << table.NumCols << " width=" << table.TableWidth << " x=" << table.TableIndent
      << '\n';
  const std::string pad(static_cast<size_t>(indent), ' ');
  const auto caption = [&](int64_t y) {
    DumpCell(*table.Caption->Cell, "caption", 1, 1, int64_t{table.Indent} - table.TableIndent, y,
             table.OuterWidth, table.CaptionHeight, out, indent + 4);
  };
  const bool hasCaption = table.Caption->Cell->Count() > 0;
  int64_t rowY = table.Top;
  if (table.CaptionOnTop) {
    if (hasCaption) caption(table.Top);
    rowY += table.CaptionHeight;
  }
  const int inset = table.CellSpacing + table.CellPadding;
  for (const auto& row : table.Rows) {
    out << pad << "  row y=" << rowY << " h=" << row->RowHeight << '\n';
    int64_t x = 0;
    for (int i = 0; i < row->Count(); ++i) {
      const tables::TCellObj& cell = *(*row)[i];
      if (cell.ColSpan > 0)
        DumpCell(*cell.Cell, std::to_string(i), cell.ColSpan, cell.RowSpan, x + inset,
                 rowY + inset + cell.YIndent, cell.SpanWidth, cell.SpanHeight, out, indent + 4);
      if (i <= tables::kMaxColumns) x += table.Widths[static_cast<size_t>(i)];
    }
    rowY += row->RowHeight;
  }
  if (!table.CaptionOnTop && hasCaption) caption(int64_t{table.Top} + table.BodyHeight);
}

void DumpSections(const layout::TCell& cell, std::ostream& out, int indent) {
  const std::string pad(static_cast<size_t>(indent), ' ');
  for (const auto& section : cell) {
    out << pad << section->ClassName() << " top=" << section->Top << " height=" << section->Height
        << " drawn=" << section->DrawnHeight << " start=" << section->StartPos
        << " len=" << section->Length;
    if (const auto* text = dynamic_cast<const layout::TSection*>(section.get()))
      DumpText(*text, out, pad);
    else if (const auto* table = dynamic_cast<const tables::ThtmlTable*>(section.get()))
      DumpTable(*table, out, indent);
    else
      out << '\n';
  }
}

}  // namespace

void DumpDocument(const LaidOutPage& page, std::ostream& out) {
  const layout::TSectionList& doc = *page.Document;
  out << "document height=" << page.Height << " width=" << page.DocWidth << " length=" << doc.Length
      << '\n';
  DumpSections(doc, out, 0);
  for (const auto& [name, section] : page.Anchors) {
    out << "anchor ";
    WriteEscaped(out, name);
    out << " y=" << section->Top << '\n';
  }
}

}  // namespace tools
