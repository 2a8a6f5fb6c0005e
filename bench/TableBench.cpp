// Pages built around tables, parsed and laid out with our document code
// (as the page tool does it: the launcher's width of 572 pixels, its faces
// and size) and, in the same run, with Qt's QTextDocument (setHtml, then
// its whole layout at the same width with the same default font). Each
// figure is building and laying out the document; freeing it is not timed
// on either side (--pieces shows what freeing ours costs).
//
// The pages (see bench/HtmlGenerator.h): flat (the plain generated page,
// for comparison), framed (the body in a two-column layout table),
// datatables (many small bordered tables between paragraphs) and nested6
// (tables six deep), each at 100 KB, 1 MB and 5 MB.
//
//   build/bin/table_bench                       all, then the table (a few minutes)
//   build/bin/table_bench --peer-limit 20       give the 5 MB peer runs 20 s each
//   build/bin/table_bench --benchmark_filter=Ours/      our side only
//   build/bin/table_bench --benchmark_repetitions=3     medians of three
//   build/bin/table_bench --pieces              our time split: parse, layout, free
//   build/bin/table_bench --page KIND BYTES > page.htm    writes a page, e.g.
//                                               to look at with htmlrender --dump
//   build/bin/table_bench --peer KIND BYTES     (internal) one peer run; prints ms
//
// At 5 MB QTextDocument can take minutes, so its run there (Qt/KIND/5242880)
// is one parse and layout in a child process, stopped after --peer-limit
// seconds (60 by default; 0 skips it); the table then says it was skipped.
// Build with `cmake --build build --target table_bench`. Run by hand: it is
// no CTest test.

#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextDocument>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench/HtmlGenerator.h"
#include "layout/Cell.h"
#include "platform/Canvas.h"
#include "platform/GuiApplication.h"
#include "tables/Table.h"
#include "tools/PageRender.h"

extern char** environ;

namespace {

using bench::PageKind;

constexpr PageKind kKinds[] = {PageKind::kPlain, PageKind::kFramed, PageKind::kDataTables,
                               PageKind::kNested6};
constexpr size_t kSizes[] = {100 * 1024, 1024 * 1024, 5 * 1024 * 1024};
constexpr size_t kPeerInChild = 5 * 1024 * 1024;  // and above: the peer runs in a child

const tools::PageSettings kSettings;  // the launcher's: 572 pixels, Times New Roman 12

std::string Key(PageKind kind, size_t size) {
  return std::string(bench::PageKindName(kind)) + "/" + std::to_string(size);
}

const std::string& Page(PageKind kind, size_t size) {
  static std::map<std::string, std::string> pages;
  std::string& page = pages[Key(kind, size)];
  if (page.empty()) page = bench::GeneratePage(kind, size);
  return page;
}

std::string SizeName(size_t size) {
  return size < 1024 * 1024 ? std::to_string(size / 1024) + "KB"
                            : std::to_string(size / (1024 * 1024)) + "MB";
}

std::unique_ptr<tools::LaidOutPage> OursParseAndLayout(const std::string& html) {
  return std::make_unique<tools::LaidOutPage>(tools::LayOutHtml(html, kSettings));
}

std::unique_ptr<QTextDocument> QtParseAndLayout(const QString& html) {
  auto doc = std::make_unique<QTextDocument>();
  QFont font(QString::fromStdString(kSettings.FontName));
  font.setPixelSize(16);  // 12 points at 96 DPI
  doc->setDefaultFont(font);
  doc->setHtml(html);
  doc->setTextWidth(kSettings.Width);
  // Its layout is lazy: the document's size makes it lay out everything.
  benchmark::DoNotOptimize(doc->documentLayout()->documentSize().height());
  return doc;
}

// Times parse and layout; the document is freed with the clock stopped.
template <typename Make>
void ParseAndLayoutLoop(benchmark::State& state, Make make) {
  for (auto _ : state) {
    auto doc = make();
    benchmark::DoNotOptimize(doc.get());
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
}

QString ToQString(const std::string& html) {
  return QString::fromLatin1(html.data(), static_cast<qsizetype>(html.size()));
}

// How many tables our builder made, and how deep they nest: a check that
// the page's tables really are tables.
struct TableCount {
  long tables = 0;
  int depth = 0;
};

void CountTables(const layout::TCell& cell, int level, TableCount& count) {
  for (const auto& section : cell) {
    const auto* table = dynamic_cast<const tables::ThtmlTable*>(section.get());
    if (!table) continue;
    ++count.tables;
    count.depth = std::max(count.depth, level);
    if (table->Caption && table->Caption->Cell)
      CountTables(*table->Caption->Cell, level + 1, count);
    for (const auto& row : table->Rows)
      for (const auto& c : *row)
        if (c->Cell) CountTables(*c->Cell, level + 1, count);
  }
}

struct Result {
  double oursMs = -1, qtMs = -1;
  std::string qtNote;  // why there is no peer figure
  TableCount count;
  int oursHeight = 0;
};
std::map<std::string, Result> results;

void Ours(benchmark::State& state, PageKind kind, size_t size) {
  const std::string& html = Page(kind, size);
  ParseAndLayoutLoop(state, [&] { return OursParseAndLayout(html); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
  // Outside the timing: what the page turned into.
  const tools::LaidOutPage page = tools::LayOutHtml(html, kSettings);
  Result& r = results[Key(kind, size)];
  r.count = {};
  CountTables(*page.Document, 1, r.count);
  r.oursHeight = page.Height;
}

void QtPeer(benchmark::State& state, PageKind kind, size_t size) {
  const QString html = ToQString(Page(kind, size));
  ParseAndLayoutLoop(state, [&] { return QtParseAndLayout(html); });
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * html.size()));
}

std::optional<PageKind> KindNamed(const char* name) {
  for (PageKind kind : kKinds)
    if (std::strcmp(bench::PageKindName(kind), name) == 0) return kind;
  return std::nullopt;
}

// The child's side: one warm-up on a small page, then one timed run.
int PeerOnce(const char* kindName, size_t size) {
  const std::optional<PageKind> kind = KindNamed(kindName);
  if (!kind) return 2;
  QtParseAndLayout(ToQString(bench::GeneratePage(*kind, 4096)));
  const QString html = ToQString(Page(*kind, size));
  const auto start = std::chrono::steady_clock::now();
  auto doc = QtParseAndLayout(html);
  const std::chrono::duration<double, std::milli> ms = std::chrono::steady_clock::now() - start;
  std::printf("%.3f\n", ms.count());
  return 0;
}

// Runs `table_bench --peer KIND SIZE` and waits at most `limitSeconds`; the child
// is killed when it takes longer. The time it printed, or none.
std::optional<double> PeerInChild(PageKind kind, size_t size, double limitSeconds) {
  int fds[2];
  if (pipe(fds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  const std::string sizeText = std::to_string(size);
  std::vector<char*> argv = {const_cast<char*>("table_bench"), const_cast<char*>("--peer"),
                             const_cast<char*>(bench::PageKindName(kind)),
                             const_cast<char*>(sizeText.c_str()), nullptr};
  pid_t pid = 0;
  // By its file, not argv[0]: the bench may have been found on the PATH.
  const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (spawned != 0) {
    close(fds[0]);
    return std::nullopt;
  }
  std::string output;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
  bool timedOut = false;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{fds[0], POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0) break;
    if (ready == 0) continue;
    char buffer[256];
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n <= 0) break;  // the child closed its output: it is done
    output.append(buffer, static_cast<size_t>(n));
  }
  close(fds[0]);
  if (timedOut) kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || output.empty())
    return std::nullopt;
  return std::stod(output);
}

double peerLimitSeconds = 60;

// The peer on the largest pages: one run in a child process, given at most
// peerLimitSeconds.
void QtPeerInChild(benchmark::State& state, PageKind kind, size_t size) {
  for (auto _ : state) {
    if (peerLimitSeconds <= 0) {
      state.SkipWithError("skipped (--peer-limit 0)");
      break;
    }
    const auto ms = PeerInChild(kind, size, peerLimitSeconds);
    if (!ms) {
      const std::string why = "skipped: over " + std::to_string(int(peerLimitSeconds)) + " s";
      state.SkipWithError(why.c_str());
      break;
    }
    state.SetIterationTime(*ms / 1000);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Page(kind, size).size()));
}

// Our parse and layout in its three parts, each the median of a few runs:
// building the document, laying it out, freeing it. Shows which of them
// grows faster than the page.
int Pieces() {
  using Clock = std::chrono::steady_clock;
  auto ms = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
  };
  std::printf("%-11s %6s %9s %9s %9s %9s %12s   (ms per MB)\n", "page", "size", "parse", "layout",
              "free", "total", "parse+layout");
  for (PageKind kind : kKinds)
    for (size_t size : kSizes) {
      const std::string& html = Page(kind, size);
      const int runs = size < 1024 * 1024 ? 21 : size < 5 * 1024 * 1024 ? 9 : 5;
      std::vector<double> parse, layout, free;
      for (int i = 0; i < runs; ++i) {
        const auto t0 = Clock::now();
        auto doc = std::make_unique<layout::TSectionList>();
        doc->CharSet = static_cast<uint8_t>(kSettings.CharSet);
        doc->SetDefaults(kSettings.FontName, kSettings.PreFontName, platform::clWhite, 0x00FF0000,
                         platform::clWindowText, kSettings.Size);
        parser::TAnchorList anchors;
        parser::ParseHtmlBuffer(*doc, anchors, html, {});
        const auto t1 = Clock::now();
        platform::Bitmap scratch(1, 1);
        platform::TCanvas canvas(scratch);
        int position = 0;
        base::TExtent maxWidth = 0;
        benchmark::DoNotOptimize(
            doc->Layout(canvas, kSettings.MarginHeight, kSettings.Width, position, maxWidth));
        const auto t2 = Clock::now();
        doc.reset();
        anchors.clear();
        const auto t3 = Clock::now();
        parse.push_back(ms(t0, t1));
        layout.push_back(ms(t1, t2));
        free.push_back(ms(t2, t3));
      }
      auto median = [](std::vector<double>& v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
      };
      const double mb = html.size() / (1024.0 * 1024.0);
      const double p = median(parse) / mb, l = median(layout) / mb, f = median(free) / mb;
      std::printf("%-11s %6s %9.2f %9.2f %9.2f %9.2f %12.2f\n", bench::PageKindName(kind),
                  SizeName(size).c_str(), p, l, f, p + l + f, p + l);
    }
  return 0;
}

class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.function_name;  // "Ours/framed/1048576"
      const size_t slash = name.find('/');
      Result& r = results[name.substr(slash + 1)];
      if (run.error_occurred)
        r.qtNote = run.error_message;
      else
        (name.compare(0, slash, "Ours") == 0 ? r.oursMs : r.qtMs) = run.GetAdjustedRealTime();
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-11s %6s %7s %6s %10s %11s %10s %11s %9s\n", "page", "size", "tables", "depth",
                "ours ms", "ours ms/MB", "Qt ms", "Qt ms/MB", "Qt/ours");
    for (PageKind kind : kKinds)
      for (size_t size : kSizes) {
        const Result& r = results[Key(kind, size)];
        if (r.oursMs < 0) continue;
        const double mb = Page(kind, size).size() / (1024.0 * 1024.0);
        std::printf("%-11s %6s %7ld %6d %10.2f %11.2f", bench::PageKindName(kind),
                    SizeName(size).c_str(), r.count.tables, r.count.depth, r.oursMs, r.oursMs / mb);
        if (r.qtMs >= 0)
          std::printf(" %10.1f %11.1f %9.1f%s\n", r.qtMs, r.qtMs / mb, r.qtMs / r.oursMs,
                      size >= kPeerInChild ? "  (peer: one run)" : "");
        else
          std::printf("  %s\n", r.qtNote.empty() ? "(peer not run)" : r.qtNote.c_str());
      }

    std::printf("\nderived figures                                  value    goal\n");
    auto perMb = [](PageKind kind, size_t size) {
      const Result& r = results[Key(kind, size)];
      return r.oursMs < 0 ? -1.0 : r.oursMs / (Page(kind, size).size() / (1024.0 * 1024.0));
    };
    auto line = [](const std::string& what, double value, const char* goal, bool met) {
      if (value < 0)
        std::printf("%-46s %8s  %-7s n/a\n", what.c_str(), "-", goal);
      else
        std::printf("%-46s %8.2f  %-7s %s\n", what.c_str(), value, goal, met ? "met" : "MISSED");
    };
    const size_t mb1 = 1024 * 1024, kb100 = 100 * 1024, mb5 = 5 * 1024 * 1024;
    {
      const Result& r = results[Key(PageKind::kFramed, mb1)];
      const double ratio = r.oursMs > 0 && r.qtMs > 0 ? r.qtMs / r.oursMs : -1;
      line("framed 1MB: Qt ms / ours ms", ratio, ">= 20", ratio >= 20);
    }
    for (PageKind kind : kKinds) {
      const double a = perMb(kind, mb5), b = perMb(kind, kb100);
      const double scale = a > 0 && b > 0 ? a / b : -1;
      line(std::string(bench::PageKindName(kind)) + ": ours ms/MB at 5MB / at 100KB", scale,
           "<= 1.3", scale <= 1.3);
    }
    {
      const double a = perMb(PageKind::kNested6, mb1), b = perMb(PageKind::kPlain, mb1);
      const double ratio = a > 0 && b > 0 ? a / b : -1;
      line("nested6 / flat, ours ms/MB at 1MB", ratio, "<= 3", ratio <= 3);
    }
    std::printf(
        "(tables: ThtmlTable sections our builder made, depth: their deepest nesting;\n"
        " ms: the median Google Benchmark run, the 5 MB peer one run in a child; both\n"
        " sides' times leave out freeing the document: --pieces splits ours up)\n");
  }
};

}  // namespace

int main(int argc, char** argv) {
  platform::EnsureGuiApplication();
  if (argc == 4 && std::strcmp(argv[1], "--peer") == 0)
    return PeerOnce(argv[2], std::stoul(argv[3]));
  if (argc == 2 && std::strcmp(argv[1], "--pieces") == 0) return Pieces();
  if (argc == 4 && std::strcmp(argv[1], "--page") == 0) {
    const std::optional<PageKind> kind = KindNamed(argv[2]);
    if (!kind) return 2;
    const std::string page = bench::GeneratePage(*kind, std::stoul(argv[3]));
    return std::fwrite(page.data(), 1, page.size(), stdout) == page.size() ? 0 : 1;
  }
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--peer-limit") == 0 && i + 1 < argc) {
      peerLimitSeconds = std::stod(argv[++i]);
      continue;
    }
    args.push_back(argv[i]);
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  for (PageKind kind : kKinds)
    for (size_t size : kSizes) {
      benchmark::RegisterBenchmark(("Ours/" + Key(kind, size)).c_str(), Ours, kind, size)
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
      if (size < kPeerInChild)
        benchmark::RegisterBenchmark(("Qt/" + Key(kind, size)).c_str(), QtPeer, kind, size)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
      else
        benchmark::RegisterBenchmark(("Qt/" + Key(kind, size)).c_str(), QtPeerInChild, kind, size)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->UseManualTime();
    }
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
