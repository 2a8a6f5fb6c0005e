// Pages full of form controls on the page viewer (set up as the launcher
// sets it up), against plain Qt making the same widgets, in the same run.
//
//   (a) Load     a page of N controls (edit, check box, radio button,
//                drop-down, button, in turn, each with a label): load, lay
//                out and paint the visible area. The peer makes the same N
//                widgets on a panel, sizes and places them one under the
//                other, and paints the same area. N = 5,000, 10,000 and
//                20,000: the ratio of 20,000 to 10,000 shows whether the
//                cost stays linear.
//   (b) Scroll   scroll 16 pixels down from the middle of the 10,000 page
//                and paint the uncovered strip, against the same page with
//                each control replaced by a word of text.
//
//   build/bin/forms_bench          (about 30 s; median of 5 runs each)
//   build/bin/forms_bench --load N (one load of N controls, ours only: for
//                                   a profiler)
//
// The platform is offscreen unless QT_QPA_PLATFORM names another. Run by
// hand: it is no CTest test.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
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
constexpr int kRuns = 5;

std::string FormPage(int controls, bool asText) {
  static const char* const kinds[] = {"<INPUT NAME=f%d SIZE=20>", "<INPUT TYPE=checkbox NAME=f%d>",
                                      "<INPUT TYPE=radio NAME=f%d>",
                                      "<SELECT NAME=f%d><OPTION>one<OPTION>two</SELECT>",
                                      "<INPUT TYPE=submit NAME=f%d VALUE=Send>"};
  std::string html = "<HTML><BODY><FORM>\n";
  char buffer[128];
  for (int i = 0; i < controls; ++i) {
    html += "Field " + std::to_string(i) + ": ";
    if (asText) {
      html += "control";
    } else {
      std::snprintf(buffer, sizeof buffer, kinds[i % 5], i);
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

// Milliseconds of one call (the median); `prepare` runs before it and
// `after` after it, untimed.
double Time(
    const std::function<void()>& prepare, const std::function<void()>& work,
    const std::function<void()>& after = [] {}) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    after();
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Ours: load, lay out, paint what is seen.
double LoadViewer(int controls) {
  const auto medium = Medium(std::to_string(controls), FormPage(controls, false));
  std::unique_ptr<viewer::ThtmlView> view;
  return Time(
      [&] {
        view.reset();
        view = NewViewer();
        platform::SetMediumRoot(medium);
      },
      [&] {
        view->LoadFromFile("\\page.htm");
        QPainter painter(&Target());
        view->PaintPanel->Paint(view->PaintPanel->rect(), painter);
      },
      // What the event loop does next (the widgets' polish requests), so
      // that the page goes as it would in the launcher.
      [] { QCoreApplication::processEvents(); });
}

// The peer: the same widgets made, sized, placed and painted by Qt alone.
double LoadPeer(int controls) {
  std::unique_ptr<QWidget> panel;
  return Time(
      [&] {
        panel.reset();
        panel = std::make_unique<QWidget>();
        panel->resize(kWidth, kHeight);
        panel->show();
      },
      [&] {
        int y = 0;
        for (int i = 0; i < controls; ++i) {
          QWidget* widget = nullptr;
          switch (i % 5) {
            case 0:
              widget = new QLineEdit(panel.get());
              break;
            case 1:
              widget = new QCheckBox(panel.get());
              break;
            case 2:
              widget = new QRadioButton(panel.get());
              break;
            case 3: {
              auto* combo = new QComboBox(panel.get());
              combo->addItems({"one", "two"});
              widget = combo;
              break;
            }
            default:
              widget = new QPushButton("Send", panel.get());
              break;
          }
          widget->setGeometry(80, y, widget->sizeHint().width(), 20);
          widget->setVisible(y < kHeight);
          y += 21;
        }
        panel->render(&Target());
      },
      [] { QCoreApplication::processEvents(); });
}

double Scroll(const std::string& name, const std::string& html) {
  const auto medium = Medium(name, html);
  auto view = NewViewer();
  platform::SetMediumRoot(medium);
  view->LoadFromFile("\\page.htm");
  const int middle = view->Document().SectionTop(view->Document().Count() / 2);
  return Time([&] { view->ScrollToY(middle); },
              [&] {
                view->ScrollToY(middle + 16);
                QPainter painter(&Target());
                view->PaintPanel->Paint(QRect(0, kHeight - 16, kWidth, 16), painter);
              });
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  if (argc == 3 && std::string(argv[1]) == "--load") {
    const int n = std::atoi(argv[2]);
    const auto medium = Medium("profile", FormPage(n, false));
    auto view = NewViewer();
    platform::SetMediumRoot(medium);
    const auto start = std::chrono::steady_clock::now();
    view->LoadFromFile("\\page.htm");
    const auto loaded = std::chrono::steady_clock::now();
    QCoreApplication::processEvents();
    const auto idle = std::chrono::steady_clock::now();
    view.reset();
    const auto freed = std::chrono::steady_clock::now();
    const auto ms = [](auto from, auto to) {
      return std::chrono::duration<double, std::milli>(to - from).count();
    };
    std::printf("%d controls: load %.1f ms, pending events %.1f ms, free %.1f ms\n", n,
                ms(start, loaded), ms(loaded, idle), ms(idle, freed));
    return 0;
  }
  std::printf("%-28s %12s %12s %8s\n", "case", "ours ms", "peer ms", "ratio");
  double ours10k = 0, ours20k = 0, peer10k = 0, peer20k = 0;
  for (const int n : {5000, 10000, 20000}) {
    const double ours = LoadViewer(n), peer = LoadPeer(n);
    if (n == 10000) ours10k = ours, peer10k = peer;
    if (n == 20000) ours20k = ours, peer20k = peer;
    std::printf("%-28s %12.1f %12.1f %8.2f\n", ("load " + std::to_string(n) + " controls").c_str(),
                ours, peer, ours / peer);
  }
  // Qt's own queue of posted events grows with the widgets it holds: the
  // peer's ratio is the floor a widget toolkit page can reach.
  std::printf("%-28s %12.2f %12.2f %8.2f\n", "load 20,000 / 10,000", ours20k / ours10k,
              peer20k / peer10k, (ours20k / ours10k) / (peer20k / peer10k));
  const double controls = Scroll("scroll-controls", FormPage(10000, false));
  const double text = Scroll("scroll-text", FormPage(10000, true));
  std::printf("%-28s %12.2f %12.2f %8.2f\n", "scroll 16 px (peer: text)", controls, text,
              controls / text);
  return 0;
}
