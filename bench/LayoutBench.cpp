// Layout of long documents of text sections built in code, and one draw of
// a viewer-sized band in their middle. Prints milliseconds per megabyte of
// text at each size: layout must grow linearly, the band draw only by the
// walk over the sections above it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

#include "layout/Section.h"
#include "layout/SectionList.h"
#include "platform/GuiApplication.h"

namespace {

using namespace layout;

constexpr int kLayoutWidth = 571;  // the launcher's viewer, less scroll bar, border and margins
constexpr int kBandWidth = 611, kBandHeight = 314;
constexpr size_t kSizes[] = {100 * 1024, 1024 * 1024, 5 * 1024 * 1024};

const char* const kWords[] = {"install", "program", "the",    "setup", "disk",   "and",    "window",
                              "of",      "version", "update", "click", "button", "support"};

// Sections of about 600 characters, each with several runs (bold, italic,
// a bigger size, a link).
std::unique_ptr<TSectionList> BuildDocument(size_t textBytes) {
  auto doc = std::make_unique<TSectionList>();
  doc->FontName = "Times New Roman";
  doc->FixedFontName = "Courier New";
  doc->BaseFontSize = 12;
  doc->CharSet = 204;
  doc->Background = platform::clWhite;
  TMyFont font;
  font.SetRelativeSize(*doc, 12);
  font.Refresh(*doc, doc->FontColor);
  size_t total = 0;
  uint32_t seed = 7;
  const auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  while (total < textBytes) {
    TBuilderStyle style;
    auto section = std::make_unique<TSection>(0, static_cast<base::TJustify>(1 + next() % 3),
                                              nullptr, font, style);
    for (int piece = 0; piece < 8; ++piece) {
      TMyFont runFont;
      runFont.Assign(font);
      runFont.SetRelativeSize(*doc, piece % 4 == 3 ? 18 : 12);
      TBuilderStyle runStyle;
      runStyle.ExtraStyles =
          static_cast<platform::TFontStyles>(piece % 3 == 1   ? platform::fsBold
                                             : piece % 3 == 2 ? platform::fsItalic
                                                              : 0);
      base::TUrlTarget link;
      link.Url = "page.htm";
      section->ChangeFontAndLink(*doc, runFont, runStyle, piece == 5, link);
      for (int w = 0; w < 12; ++w) {
        const char* word = kWords[next() % (sizeof(kWords) / sizeof(*kWords))];
        section->AddText(word);
        section->AddText(" ");
      }
    }
    total += static_cast<size_t>(section->Length);
    doc->AddSection(std::move(section));
  }
  return doc;
}

struct Measured {
  double layoutMs = 0, drawMs = 0;
  size_t bytes = 0;
};
std::map<size_t, Measured> results;

TSectionList& Document(size_t size) {
  static std::map<size_t, std::unique_ptr<TSectionList>> documents;
  auto& doc = documents[size];
  if (!doc) doc = BuildDocument(size);
  return *doc;
}

void LayoutDocument(benchmark::State& state, size_t size) {
  TSectionList& doc = Document(size);
  platform::Bitmap bitmap(1, 1);
  platform::TCanvas canvas(bitmap);
  for (auto _ : state) {
    int position = 0;
    base::TExtent maxWidth = 0;
    benchmark::DoNotOptimize(doc.Layout(canvas, 0, kLayoutWidth, position, maxWidth));
  }
  results[size].bytes = static_cast<size_t>(doc.Length);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * doc.Length);
}

void DrawBand(benchmark::State& state, size_t size) {
  TSectionList& doc = Document(size);
  platform::Bitmap bitmap(kBandWidth, kBandHeight);
  platform::TCanvas canvas(bitmap);
  int position = 0;
  base::TExtent maxWidth = 0;
  const int height = doc.Layout(canvas, 0, kLayoutWidth, position, maxWidth);
  doc.SetYOffset(height / 2);
  for (auto _ : state) {
    bitmap.Fill(platform::clWhite);
    benchmark::DoNotOptimize(doc.Draw(canvas, {0, 0, kBandWidth, kBandHeight}, kBandWidth, 0, 0));
  }
}

class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      const size_t size = std::stoul(name.substr(name.find('/') + 1));
      const double ms = run.GetAdjustedCPUTime();  // in the unit set: milliseconds
      if (name.rfind("Layout", 0) == 0) results[size].layoutMs = ms;
      if (name.rfind("DrawBand", 0) == 0) results[size].drawMs = ms;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%12s %12s %14s %14s %16s\n", "text bytes", "layout ms", "layout ms/MB",
                "band draw ms", "ms/MB vs 100KB");
    const double base =
        results.begin()->second.layoutMs / (results.begin()->second.bytes / (1024.0 * 1024.0));
    for (const auto& [size, m] : results) {
      const double perMB = m.layoutMs / (m.bytes / (1024.0 * 1024.0));
      std::printf("%12zu %12.2f %14.2f %14.3f %16.2f\n", m.bytes, m.layoutMs, perMB, m.drawMs,
                  perMB / base);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  platform::EnsureGuiApplication();
  benchmark::Initialize(&argc, argv);
  for (size_t size : kSizes) {
    benchmark::RegisterBenchmark(("Layout/" + std::to_string(size)).c_str(), LayoutDocument, size)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("DrawBand/" + std::to_string(size)).c_str(), DrawBand, size)
        ->Unit(benchmark::kMillisecond);
  }
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
