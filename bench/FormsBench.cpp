// Pages full of form controls on the page viewer (set up as the launcher
// sets it up), against the same page with every control replaced by a word
// of text, in the same run.
//
//   (a) Load     load, lay out, paint the visible area and run the events
//                that follow until the page is idle:
//                  select   N drop-down lists of two options, one a line
//                  mixed    N controls in turn: edit, check box, radio
//                           button, drop-down, text area of two rows and
//                           button, one a line, each with a label
//                The ratio of the two mixed sizes shows whether the cost
//                stays linear.
//   (b) Scroll   16 pixels down from the middle of the mixed page, and a
//                page down (everything in sight is new), painting what the
//                window system would repaint.
//
//   build/bin/forms_bench                    the table (about a minute)
//   build/bin/forms_bench --load N KIND      one load of N controls, ours
//                                            only (for a profiler, or the
//                                            figures of an older build)
//   build/bin/forms_bench --write N KIND F   writes the page to file F (for
//                                            htmlrender and the launcher)
//
// KIND is select, mixed or text (the peer). The platform is offscreen unless
// QT_QPA_PLATFORM names another. Run by hand: it is no CTest test.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "viewer/HtmlView.h"

namespace {

constexpr int kWidth = 611, kHeight = 314;  // the launcher's viewer
constexpr int kRuns = 3;

enum class Kind { kSelect, kMixed, kText };

bool ParseKind(const std::string& name, Kind& kind) {
  if (name == "select")
    kind = Kind::kSelect;
  else if (name == "mixed")
    kind = Kind::kMixed;
  else if (name == "text")
    kind = Kind::kText;
  else
    return false;
  return true;
}

std::string FormPage(int controls, Kind kind) {
  static const char* const kMixed[] = {"<INPUT NAME=f%d SIZE=20 VALUE=\"value %d\">",
                                       "<INPUT TYPE=checkbox NAME=f%d>",
                                       "<INPUT TYPE=radio NAME=f%d>",
                                       "<SELECT NAME=f%d><OPTION>one<OPTION>two</SELECT>",
                                       "<TEXTAREA NAME=f%d ROWS=2 COLS=20>text %d</TEXTAREA>",
                                       "<INPUT TYPE=submit NAME=f%d VALUE=Send>"};
  std::string html = "<HTML><BODY><FORM>\n";
  char buffer[128];
  for (int i = 0; i < controls; ++i) {
    html += "Field " + std::to_string(i) + ": ";
    if (kind == Kind::kText) {
      html += "control";
    } else {
      const char* format = kind == Kind::kSelect ? kMixed[3] : kMixed[i % 6];
      std::snprintf(buffer, sizeof buffer, format, i, i);
      html += buffer;
    }
    html += "<BR>\n";
  }
  return html + "</FORM></BODY></HTML>\n";
}

std::filesystem::path Medium(const std::string& name, const std::string& html) {
  const auto folder = std::filesystem::temp_directory_path() / ("forms-bench-" + name);
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "page.htm", std::ios::binary) << html;
  return folder;
}

std::unique_ptr<viewer::ThtmlView> NewViewer() {
  auto view = std::make_unique<viewer::ThtmlView>();
  view->resize(kWidth, kHeight);
  view->SetDefBackground(platform::clWhite);
  view->SetBorderStyle(viewer::htSingle);
  view->SetHistoryMaxCount(0);
  view->SetDefFontName("Times New Roman");
  view->SetDefPreFontName("Courier New");
  view->SetCharSet(platform::RUSSIAN_CHARSET);
  view->show();
  return view;
}

QImage& Target() {
  static QImage image(kWidth, kHeight, QImage::Format_RGB32);
  return image;
}

void PaintPanel(viewer::ThtmlView& view, const QRect& area) {
  QPainter painter(&Target());
  view.PaintPanel->Paint(area, painter);
}

double Milliseconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
}

// Milliseconds of one call (the median); `prepare` runs before it, untimed.
double Time(const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(Milliseconds(start));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Load, lay out, paint what is seen, and what the event loop does next (the
// widgets' posted events), as the page goes in the launcher.
double Load(int controls, Kind kind) {
  const auto medium = Medium("load", FormPage(controls, kind));
  std::unique_ptr<viewer::ThtmlView> view;
  return Time(
      [&] {
        view.reset();
        QCoreApplication::processEvents();
        view = NewViewer();
        platform::SetMediumRoot(medium);
      },
      [&] {
        view->LoadFromFile("\\page.htm");
        PaintPanel(*view, view->PaintPanel->rect());
        QCoreApplication::processEvents();
      });
}

// One scroll of `step` pixels from the middle of the page: the uncovered
// strip painted (all of the panel for a step of a panel or more), then the
// events that follow.
double Scroll(int controls, Kind kind, int step) {
  const auto medium = Medium("scroll", FormPage(controls, kind));
  auto view = NewViewer();
  platform::SetMediumRoot(medium);
  view->LoadFromFile("\\page.htm");
  PaintPanel(*view, view->PaintPanel->rect());
  QCoreApplication::processEvents();
  const int middle = view->Document().SectionTop(view->Document().Count() / 2);
  const int height = view->PaintPanel->height();
  const QRect strip = step >= height ? view->PaintPanel->rect()
                                     : QRect(0, height - step, view->PaintPanel->width(), step);
  return Time(
      [&] {
        view->ScrollToY(middle);
        PaintPanel(*view, view->PaintPanel->rect());
        QCoreApplication::processEvents();
      },
      [&] {
        view->ScrollToY(middle + step);
        PaintPanel(*view, strip);
        QCoreApplication::processEvents();
      });
}

void Row(const std::string& name, double ours, double peer) {
  std::printf("%-34s %12.2f %12.2f %8.2f\n", name.c_str(), ours, peer, ours / peer);
}

int LoadOnce(int controls, Kind kind) {
  const auto medium = Medium("profile", FormPage(controls, kind));
  auto view = NewViewer();
  platform::SetMediumRoot(medium);
  const auto start = std::chrono::steady_clock::now();
  view->LoadFromFile("\\page.htm");
  PaintPanel(*view, view->PaintPanel->rect());
  const double loaded = Milliseconds(start);
  const auto idleStart = std::chrono::steady_clock::now();
  QCoreApplication::processEvents();
  const double idle = Milliseconds(idleStart);
  const auto freeStart = std::chrono::steady_clock::now();
  view.reset();
  const double freed = Milliseconds(freeStart);
  std::printf("%d controls: load and paint %.1f ms, pending events %.1f ms, free %.1f ms\n",
              controls, loaded, idle, freed);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  Kind kind = Kind::kMixed;
  if (argc == 4 && std::string(argv[1]) == "--load" && ParseKind(argv[3], kind))
    return LoadOnce(std::atoi(argv[2]), kind);
  if (argc == 5 && std::string(argv[1]) == "--write" && ParseKind(argv[3], kind)) {
    std::ofstream(argv[4], std::ios::binary) << FormPage(std::atoi(argv[2]), kind);
    return 0;
  }
  if (argc != 1) {
    std::fprintf(stderr,
                 "usage: forms_bench [--load N KIND | --write N KIND FILE]; KIND: select, mixed, "
                 "text\n");
    return 2;
  }
  std::printf("%-34s %12s %12s %8s\n", "case (peer: the page as text)", "ours ms", "peer ms",
              "ratio");
  Row("load 10,000 drop-downs", Load(10000, Kind::kSelect), Load(10000, Kind::kText));
  const double mixed20k = Load(20000, Kind::kMixed), text20k = Load(20000, Kind::kText);
  Row("load 20,000 mixed controls", mixed20k, text20k);
  const double mixed100k = Load(100000, Kind::kMixed), text100k = Load(100000, Kind::kText);
  Row("load 100,000 mixed controls", mixed100k, text100k);
  Row("load 100,000 / 20,000", mixed100k / mixed20k, text100k / text20k);
  Row("scroll 16 px, 100,000 mixed", Scroll(100000, Kind::kMixed, 16),
      Scroll(100000, Kind::kText, 16));
  Row("page down, 100,000 mixed", Scroll(100000, Kind::kMixed, kHeight),
      Scroll(100000, Kind::kText, kHeight));
  return 0;
}
