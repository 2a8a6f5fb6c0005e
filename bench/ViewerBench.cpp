// The page viewer (viewer::ThtmlView, set up as the launcher sets it up)
// against QTextBrowser showing the same generated page at the same size, in
// the same run. Both widgets are shown on the offscreen platform; a paint
// draws the viewer's panel, or the browser's viewport, into a QImage.
//
//   (a) FirstPaint  load a 1 MB page, lay it out, paint the visible area
//   (b) ScrollStep  scroll 16 pixels down from the middle of a 100 KB and a
//                   5 MB page and paint the uncovered strip; PanelPaint, a
//                   paint of the whole visible area there, for comparison
//   (c) Resize      611 -> 560 -> 611 pixels wide, each followed by a paint
//   (d) memory      resident and allocated growth of the shown 1 MB page
//                   against the same document parsed and laid out alone,
//                   each measured in a child process of its own
//
// The browser is made to lay the whole document out (its own layout is
// lazy) by asking for its size after each load and resize.
//
//   build/bin/viewer_bench                         all, then the table (~30 s)
//   build/bin/viewer_bench --benchmark_filter=ScrollStep        one group
//   build/bin/viewer_bench --memory viewer|document|peer        (internal)
//
// The internal form shows or lays out the 1 MB page once and prints its
// resident and allocated growth in KB. The platform is offscreen unless
// QT_QPA_PLATFORM names another. Run by hand: it is no CTest test.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "platform/CodePage.h"
#include "platform/Color.h"
#include "platform/Paths.h"
#include "platform/ui/ScrollBar.h"
#include "tools/PageRender.h"
#include "viewer/HtmlView.h"

namespace {

constexpr int kWidth = 611, kHeight = 314, kNarrowWidth = 560;  // the launcher's viewer
constexpr int kStep = 16;                                       // one line of the scroll bar
constexpr int kStepsBeforeRewind = 64;
constexpr size_t kFirstPaintSize = 1024 * 1024, kResizeSize = 1024 * 1024,
                 kMemorySize = 1024 * 1024;
constexpr size_t kScrollSizes[] = {100 * 1024, 5 * 1024 * 1024};

// A folder per document holding it as page.htm: the medium root the viewer
// loads "\page.htm" from.
std::filesystem::path MediumOf(const bench::Document& d) {
  const auto folder = std::filesystem::temp_directory_path() / ("viewer-bench-" + d.name);
  std::filesystem::create_directories(folder);
  const auto file = folder / "page.htm";
  if (!std::filesystem::exists(file) || std::filesystem::file_size(file) != d.bytes.size())
    std::ofstream(file, std::ios::binary).write(d.bytes.data(), d.bytes.size());
  return folder;
}

QImage& Target() {
  static QImage image(kWidth, kHeight, QImage::Format_RGB32);
  return image;
}

// ---- Ours

std::unique_ptr<viewer::ThtmlView> NewViewer() {
  auto view = std::make_unique<viewer::ThtmlView>();
  view->resize(kWidth, kHeight);
  view->SetViewImages(true);
  view->SetDefBackground(platform::clWhite);
  view->SetBorderStyle(viewer::htSingle);
  view->SetHistoryMaxCount(0);
  view->SetDefFontName("Times New Roman");
  view->SetDefPreFontName("Courier New");
  view->SetNoSelect(false);
  view->SetCharSet(platform::RUSSIAN_CHARSET);
  view->show();
  return view;
}

void Load(viewer::ThtmlView& view, const std::filesystem::path& medium) {
  platform::SetMediumRoot(medium);
  view.LoadFromFile("\\page.htm");
}

void Paint(viewer::ThtmlView& view, const QRect& area) {
  QPainter painter(&Target());
  view.PaintPanel->Paint(area, painter);
}

// One viewer and one browser per use and document, loaded once; main
// destroys them while the application object still exists.
std::map<std::string, std::unique_ptr<viewer::ThtmlView>> viewers;
std::map<std::string, std::unique_ptr<QTextBrowser>> browsers;

viewer::ThtmlView& ViewerFor(const std::string& use, const bench::Document& d) {
  auto& slot = viewers[use + "/" + d.name];
  if (!slot) {
    slot = NewViewer();
    Load(*slot, MediumOf(d));
  }
  return *slot;
}

// ---- The peer

std::unique_ptr<QTextBrowser> NewBrowser() {
  auto browser = std::make_unique<QTextBrowser>();
  browser->resize(kWidth, kHeight);
  QFont font("Times New Roman");
  font.setPixelSize(16);  // 12 points at 96 DPI
  browser->setFont(font);
  browser->document()->setDefaultFont(font);
  browser->show();
  return browser;
}

// The whole document laid out, not only what the lazy layout has reached.
double LayOutAll(QTextBrowser& browser) {
  return browser.document()->size().height();
}

void Paint(QTextBrowser& browser, const QRect& area) {
  browser.viewport()->render(&Target(), area.topLeft(), QRegion(area));
}

QTextBrowser& BrowserFor(const std::string& use, const bench::Document& d) {
  auto& slot = browsers[use + "/" + d.name];
  if (!slot) {
    slot = NewBrowser();
    slot->setSource(
        QUrl::fromLocalFile(QString::fromStdString((MediumOf(d) / "page.htm").string())));
    LayOutAll(*slot);
    // The scroll bars follow the layout through queued calls.
    const QScrollBar& bar = *slot->verticalScrollBar();
    for (int i = 0; i < 100 && bar.maximum() + slot->viewport()->height() < LayOutAll(*slot) - 8;
         ++i)
      QApplication::processEvents();
  }
  return *slot;
}

// ---- (a)

void FirstPaintOurs(benchmark::State& state, size_t size) {
  const bench::Document& d = bench::GetDocument(size);
  const auto medium = MediumOf(d);
  viewer::ThtmlView& view = ViewerFor("first", d);
  for (auto _ : state) {
    Load(view, medium);  // parses the file again, though it is the one shown
    Paint(view, view.PaintPanel->rect());
  }
  state.counters["height"] = view.DocHeight();
}

void FirstPaintQt(benchmark::State& state, size_t size) {
  QTextBrowser& browser = BrowserFor("first", bench::GetDocument(size));
  browser.document()->setPlainText("");
  browser.reload();
  if (browser.document()->characterCount() < 1000) state.SkipWithError("reload read nothing");
  double height = 0;
  for (auto _ : state) {
    browser.reload();  // reads and parses the file again, as a new setSource would
    height = LayOutAll(browser);
    Paint(browser, browser.viewport()->rect());
  }
  state.counters["height"] = height;
}

// ---- (b)

void ScrollStepOurs(benchmark::State& state, size_t size) {
  viewer::ThtmlView& view = ViewerFor("scroll", bench::GetDocument(size));
  const int start = view.DocHeight() / 2;
  const QRect strip(0, view.PaintPanel->height() - kStep, view.PaintPanel->width(), kStep);
  view.ScrollToY(start);
  Paint(view, view.PaintPanel->rect());
  for (auto _ : state) {
    view.VScroll(platform::SB_LINEDOWN);
    Paint(view, strip);
    if (view.VBar->Position32 >= start + kStepsBeforeRewind * kStep) {
      state.PauseTiming();
      view.ScrollToY(start);
      state.ResumeTiming();
    }
  }
}

void PanelPaintOurs(benchmark::State& state, size_t size) {
  viewer::ThtmlView& view = ViewerFor("scroll", bench::GetDocument(size));
  view.ScrollToY(view.DocHeight() / 2);
  for (auto _ : state) Paint(view, view.PaintPanel->rect());
}

void PanelPaintQt(benchmark::State& state, size_t size) {
  QTextBrowser& browser = BrowserFor("scroll", bench::GetDocument(size));
  browser.verticalScrollBar()->setValue(browser.verticalScrollBar()->maximum() / 2);
  for (auto _ : state) Paint(browser, browser.viewport()->rect());
}

void ScrollStepQt(benchmark::State& state, size_t size) {
  QTextBrowser& browser = BrowserFor("scroll", bench::GetDocument(size));
  QScrollBar& bar = *browser.verticalScrollBar();
  const int start = bar.maximum() / 2;
  const QRect viewport = browser.viewport()->rect();
  const QRect strip(0, viewport.height() - kStep, viewport.width(), kStep);
  if (start < kStepsBeforeRewind * kStep) state.SkipWithError("the page is too short to scroll");
  bar.setValue(start);
  Paint(browser, viewport);
  for (auto _ : state) {
    bar.setValue(bar.value() + kStep);
    Paint(browser, strip);
    if (bar.value() >= start + kStepsBeforeRewind * kStep) {
      state.PauseTiming();
      bar.setValue(start);
      state.ResumeTiming();
    }
  }
}

// ---- (c)

void ResizeOurs(benchmark::State& state, size_t size) {
  viewer::ThtmlView& view = ViewerFor("resize", bench::GetDocument(size));
  const int layouts = view.LayoutCount();
  for (auto _ : state) {
    view.resize(kNarrowWidth, kHeight);
    Paint(view, view.PaintPanel->rect());
    view.resize(kWidth, kHeight);
    Paint(view, view.PaintPanel->rect());
  }
  // Each resize must have laid the page out again.
  if (view.LayoutCount() - layouts != 2 * static_cast<int>(state.iterations()))
    state.SkipWithError("a resize did not lay the page out");
}

void ResizeQt(benchmark::State& state, size_t size) {
  QTextBrowser& browser = BrowserFor("resize", bench::GetDocument(size));
  double narrow = 0, wide = 0;
  for (auto _ : state) {
    browser.resize(kNarrowWidth, kHeight);
    narrow = LayOutAll(browser);
    Paint(browser, browser.viewport()->rect());
    browser.resize(kWidth, kHeight);
    wide = LayOutAll(browser);
    Paint(browser, browser.viewport()->rect());
  }
  if (narrow <= wide) state.SkipWithError("the narrow layout is not taller");
}

// ---- (d)

long ResidentKb() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long AllocatedKb() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// In this process: the growth of resident and allocated memory, in KB,
// while the 1 MB page is shown (or laid out alone); printed as two numbers.
int MeasureMemory(const std::string& mode) {
  const bench::Document& d = bench::GetDocument(kMemorySize);
  const auto medium = MediumOf(d);
  const auto warm = std::filesystem::temp_directory_path() / "viewer-bench-warm";
  std::filesystem::create_directories(warm);
  const std::string small = "<B>x</B><I>x</I><TT>x</TT><PRE>x</PRE><H1>x</H1><A HREF=x>x</A>";
  std::ofstream(warm / "page.htm", std::ios::binary) << small;
  Target();
  // Warm the fonts and the widgets first so that only the page counts.
  long residentBefore = 0, allocatedBefore = 0;
  const auto before = [&] {
    malloc_trim(0);
    residentBefore = ResidentKb();
    allocatedBefore = AllocatedKb();
  };
  const auto after = [&] {
    malloc_trim(0);
    std::printf("%ld %ld\n", ResidentKb() - residentBefore, AllocatedKb() - allocatedBefore);
  };
  if (mode == "viewer") {
    auto view = NewViewer();
    Load(*view, warm);
    Paint(*view, view->PaintPanel->rect());
    QApplication::processEvents();
    before();
    Load(*view, medium);
    Paint(*view, view->PaintPanel->rect());
    QApplication::processEvents();
    after();
  } else if (mode == "document") {
    auto warmPage = tools::LayOutFile(warm / "page.htm", {});
    before();
    auto page = tools::LayOutFile(medium / "page.htm", {});
    after();
    benchmark::DoNotOptimize(page.Height);
  } else {
    auto browser = NewBrowser();
    browser->setSource(QUrl::fromLocalFile(QString::fromStdString((warm / "page.htm").string())));
    LayOutAll(*browser);
    Paint(*browser, browser->viewport()->rect());
    QApplication::processEvents();
    before();
    browser->setSource(QUrl::fromLocalFile(QString::fromStdString((medium / "page.htm").string())));
    LayOutAll(*browser);
    Paint(*browser, browser->viewport()->rect());
    QApplication::processEvents();
    after();
  }
  return 0;
}

struct Memory {
  long residentKb = -1, allocatedKb = -1;
};

Memory ChildMemory(const char* self, const char* mode) {
  const std::string command = std::string(self) + " --memory " + mode + " 2>/dev/null";
  Memory m;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return m;
  if (std::fscanf(pipe, "%ld %ld", &m.residentKb, &m.allocatedKb) != 2) m = {};
  pclose(pipe);
  return m;
}

// ---- The table

class Reporter : public benchmark::ConsoleReporter {
 public:
  explicit Reporter(const char* self) : self_(self) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      // With repetitions, the median stands for the benchmark.
      if (!run.aggregate_name.empty() && run.aggregate_name != "median") continue;
      std::string name = run.benchmark_name();
      if (const size_t extra = name.find("/real_time"); extra != std::string::npos)
        name.erase(extra);
      // In milliseconds whatever the unit of the row.
      ms_[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e3;
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n(a) first paint of the 1 MB page: load, layout, one paint of 611x314\n");
    Row("ours ms", Get("FirstPaint/Ours/1MB"));
    Row("QTextBrowser ms", Get("FirstPaint/Qt/1MB"));
    Ratio("QTextBrowser / ours (goal >= 10)", Get("FirstPaint/Qt/1MB"), Get("FirstPaint/Ours/1MB"));

    std::printf("\n(b) one 16-pixel scroll step from the middle, with the paint of the strip\n");
    Row("ours 100KB us", Get("ScrollStep/Ours/100KB") * 1000);
    Row("ours 5MB us", Get("ScrollStep/Ours/5MB") * 1000);
    Ratio("ours 5MB / 100KB (goal <= 1.5)", Get("ScrollStep/Ours/5MB"),
          Get("ScrollStep/Ours/100KB"));
    Row("QTextBrowser 100KB us", Get("ScrollStep/Qt/100KB") * 1000);
    Row("QTextBrowser 5MB us", Get("ScrollStep/Qt/5MB") * 1000);
    Ratio("QTextBrowser 5MB / 100KB", Get("ScrollStep/Qt/5MB"), Get("ScrollStep/Qt/100KB"));
    Ratio("QTextBrowser / ours, 5MB", Get("ScrollStep/Qt/5MB"), Get("ScrollStep/Ours/5MB"));
    std::printf("    for comparison, a paint of the whole visible area there (5 MB)\n");
    Row("ours us", Get("PanelPaint/Ours/5MB") * 1000);
    Row("QTextBrowser us", Get("PanelPaint/Qt/5MB") * 1000);
    Ratio("QTextBrowser / ours", Get("PanelPaint/Qt/5MB"), Get("PanelPaint/Ours/5MB"));

    std::printf("\n(c) resize 611 -> 560 -> 611 of the 1 MB page, a paint after each\n");
    Row("ours ms", Get("Resize/Ours/1MB"));
    Row("QTextBrowser ms", Get("Resize/Qt/1MB"));
    Ratio("QTextBrowser / ours", Get("Resize/Qt/1MB"), Get("Resize/Ours/1MB"));

    std::printf("\n(d) memory of the 1 MB page (growth, each in a child process)\n");
    const Memory shown = ChildMemory(self_, "viewer"), alone = ChildMemory(self_, "document"),
                 peer = ChildMemory(self_, "peer");
    std::printf("%-40s %12s %12s\n", "", "resident KB", "malloc KB");
    std::printf("%-40s %12ld %12ld\n", "shown in the viewer", shown.residentKb, shown.allocatedKb);
    std::printf("%-40s %12ld %12ld\n", "document alone (parse + layout)", alone.residentKb,
                alone.allocatedKb);
    std::printf("%-40s %12ld %12ld\n", "shown in QTextBrowser", peer.residentKb, peer.allocatedKb);
    std::printf("%-40s %12.2f %12.2f\n", "viewer / document alone (goal <= 2)",
                Divide(shown.residentKb, alone.residentKb),
                Divide(shown.allocatedKb, alone.allocatedKb));
    std::printf("%-40s %12.2f %12.2f\n", "QTextBrowser / viewer",
                Divide(peer.residentKb, shown.residentKb),
                Divide(peer.allocatedKb, shown.allocatedKb));
  }

 private:
  double Get(const std::string& name) const {
    const auto found = ms_.find(name);
    return found == ms_.end() ? -1 : found->second;
  }
  static double Divide(double a, double b) { return a < 0 || b <= 0 ? -1 : a / b; }
  static void Row(const char* label, double value) {
    if (value < 0)
      std::printf("  %-40s %12s\n", label, "-");
    else
      std::printf("  %-40s %12.3f\n", label, value);
  }
  static void Ratio(const char* label, double a, double b) { Row(label, Divide(a, b)); }

  const char* self_;
  std::map<std::string, double> ms_;  // milliseconds, by name without the real-time suffix
};

void Register(const std::string& name, void (*function)(benchmark::State&, size_t), size_t size,
              benchmark::TimeUnit unit) {
  const std::string full = name + "/" + bench::GetDocument(size).name;
  benchmark::RegisterBenchmark(full.c_str(), function, size)->Unit(unit)->UseRealTime();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) return MeasureMemory(argv[2]);
  benchmark::Initialize(&argc, argv);
  Register("FirstPaint/Ours", FirstPaintOurs, kFirstPaintSize, benchmark::kMillisecond);
  Register("FirstPaint/Qt", FirstPaintQt, kFirstPaintSize, benchmark::kMillisecond);
  for (size_t size : kScrollSizes) {
    Register("ScrollStep/Ours", ScrollStepOurs, size, benchmark::kMicrosecond);
    Register("ScrollStep/Qt", ScrollStepQt, size, benchmark::kMicrosecond);
  }
  Register("PanelPaint/Ours", PanelPaintOurs, kScrollSizes[1], benchmark::kMicrosecond);
  Register("PanelPaint/Qt", PanelPaintQt, kScrollSizes[1], benchmark::kMicrosecond);
  Register("Resize/Ours", ResizeOurs, kResizeSize, benchmark::kMillisecond);
  Register("Resize/Qt", ResizeQt, kResizeSize, benchmark::kMillisecond);
  Reporter reporter(argv[0]);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  viewers.clear();
  browsers.clear();
  return 0;
}
