// Parse, build and lay out the generated documents with our document code
// and, in the same run, with Qt's QTextDocument (setHtml, then layout at the
// same width with the same fonts). Prints both times, their ratio, ms per
// MB, and the peak memory growth of one parse and layout of each (measured
// in a child process, so every figure starts from the same baseline).
//
//   page_bench                   the benchmarks and the table
//   page_bench --memory SIZE     (internal) one parse and layout; prints KB

#include <benchmark/benchmark.h>

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include "bench/BenchSupport.h"
#include "layout/SectionList.h"
#include "parser/HtmlBuilder.h"
#include "platform/Canvas.h"
#include "platform/CodePage.h"
#include "platform/GuiApplication.h"

namespace {

constexpr int kWidth = 572;  // the launcher's viewer less scroll bar, border and margins
constexpr size_t kSizes[] = {10 * 1024, 100 * 1024, 1024 * 1024, 5 * 1024 * 1024};

int OurParseAndLayout(const std::string& html) {
  layout::TSectionList doc;
  doc.CharSet = 204;
  doc.SetDefaults("Times New Roman", "Courier New", platform::clWhite, 0xFF0000, platform::clBlack,
                  12);
  parser::TAnchorList anchors;
  parser::ParseHtmlBuffer(doc, anchors, html, {});
  platform::Bitmap scratch(1, 1);
  platform::TCanvas canvas(scratch);
  int position = 0;
  base::TExtent maxWidth = 0;
  return doc.Layout(canvas, 5, kWidth, position, maxWidth);
}

double QtParseAndLayout(const QString& html) {
  QTextDocument doc;
  QFont font("Times New Roman");
  font.setPixelSize(16);  // 12 points at 96 DPI
  doc.setDefaultFont(font);
  doc.setHtml(html);
  doc.setTextWidth(kWidth);
  return doc.documentLayout()->documentSize().height();
}

std::map<std::string, double> oursMs, qtMs;

void Ours(benchmark::State& state, size_t size) {
  const bench::Document& d = bench::GetDocument(size);
  for (auto _ : state) benchmark::DoNotOptimize(OurParseAndLayout(d.bytes));
}

void QtPeer(benchmark::State& state, size_t size) {
  const bench::Document& d = bench::GetDocument(size);
  const QString html = QString::fromLatin1(d.bytes.data(), static_cast<qsizetype>(d.bytes.size()));
  for (auto _ : state) benchmark::DoNotOptimize(QtParseAndLayout(html));
}

long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, n, field) == 0) return std::stol(line.substr(n + 1));
  return -1;
}

// One parse and layout in this process: peak resident growth in KB.
int MeasureMemory(size_t size, bool qt) {
  const bench::Document& d = bench::GetDocument(size);
  const QString html = QString::fromLatin1(d.bytes.data(), static_cast<qsizetype>(d.bytes.size()));
  // Warm the fonts first so that only the document's memory counts.
  OurParseAndLayout("<B>x</B><I>x</I><TT>x</TT>");
  QtParseAndLayout("<b>x</b>");
  const long before = StatusKb("VmRSS:");
  if (qt)
    QtParseAndLayout(html);
  else
    OurParseAndLayout(d.bytes);
  std::printf("%ld\n", StatusKb("VmHWM:") - before);
  return 0;
}

long ChildMemoryKb(const char* self, size_t size, bool qt) {
  const std::string command = std::string(self) + " --memory " + std::to_string(size) +
                              (qt ? " qt" : " ours") + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  long kb = -1;
  if (std::fscanf(pipe, "%ld", &kb) != 1) kb = -1;
  pclose(pipe);
  return kb;
}

class Reporter : public benchmark::ConsoleReporter {
 public:
  explicit Reporter(const char* self) : self_(self) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      const std::string name = run.benchmark_name();
      const size_t slash = name.find('/');
      const std::string size = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
      (name.rfind("Ours", 0) == 0 ? oursMs : qtMs)[size] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%10s %10s %10s %8s %12s %12s %12s %12s\n", "document", "ours ms", "Qt ms",
                "Qt/ours", "ours ms/MB", "Qt ms/MB", "ours B/B", "Qt B/B");
    for (size_t size : kSizes) {
      const bench::Document& d = bench::GetDocument(size);
      const std::string key = std::to_string(size);
      if (!oursMs.count(key) || !qtMs.count(key)) continue;
      const double mb = d.bytes.size() / (1024.0 * 1024.0);
      const long ours = ChildMemoryKb(self_, size, false), qt = ChildMemoryKb(self_, size, true);
      std::printf("%10s %10.2f %10.2f %8.1f %12.1f %12.1f %12.2f %12.2f\n", d.name.c_str(),
                  oursMs[key], qtMs[key], qtMs[key] / oursMs[key], oursMs[key] / mb, qtMs[key] / mb,
                  ours * 1024.0 / d.bytes.size(), qt * 1024.0 / d.bytes.size());
    }
    std::printf("(B/B: peak resident growth of one parse and layout per input byte)\n");
  }

 private:
  const char* self_;
};

}  // namespace

int main(int argc, char** argv) {
  platform::EnsureGuiApplication();
  if (argc == 4 && std::strcmp(argv[1], "--memory") == 0)
    return MeasureMemory(std::stoul(argv[2]), std::strcmp(argv[3], "qt") == 0);
  benchmark::Initialize(&argc, argv);
  for (size_t size : kSizes) {
    benchmark::RegisterBenchmark(("Ours/" + std::to_string(size)).c_str(), Ours, size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark(("Qt/" + std::to_string(size)).c_str(), QtPeer, size)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  Reporter reporter(argv[0]);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
