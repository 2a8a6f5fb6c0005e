// Loads the demo medium's five pages into one viewer over and over, as a
// user switching pages would, each load followed by a paint of the shown
// widget, and prints the resident memory after the first round, at every
// tenth of the run and at the end. Memory that keeps growing after the
// first round is a leak or an unbounded cache; so is a growing count of
// allocated bytes, which shows smaller leaks sooner.
//
//   build/bin/viewer_soak [ROUNDS] [MEDIUM]
//
// ROUNDS (default 10000, about 90 s) rounds of the five pages; MEDIUM, the
// folder that holds HTML\ (default: the source tree's demo/). Status 1 when
// a load fails or a paint did not reach the panel. The platform is offscreen
// unless QT_QPA_PLATFORM names another. Run by hand: it is no CTest test.

#include <malloc.h>

#include <QApplication>
#include <QEvent>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/CodePage.h"
#include "platform/Color.h"
#include "platform/Paths.h"
#include "viewer/HtmlView.h"

namespace {

constexpr const char* kPages[] = {"soft.htm", "internet.htm", "tutor.htm", "products.htm",
                                  "help.htm"};

long StatusKb(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.compare(0, field.size(), field) == 0) return std::stol(line.substr(field.size() + 1));
  return -1;
}

long AllocatedKb() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>((info.uordblks + info.hblkhd) / 1024);
}

// Counts the paints that reach the panel.
class PaintCounter : public QObject {
 public:
  long paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  const long rounds = argc > 1 ? std::atol(argv[1]) : 10000;
  const std::filesystem::path medium = argc > 2 ? argv[2] : LAUNCHER_DEMO_ROOT;
  if (rounds < 1) {
    std::fprintf(stderr, "usage: viewer_soak [ROUNDS] [MEDIUM]\n");
    return 2;
  }
  platform::SetMediumRoot(medium);

  // Set up as the launcher sets its viewer up.
  viewer::ThtmlView view;
  view.resize(611, 314);
  view.SetViewImages(true);
  view.SetDefBackground(platform::clWhite);
  view.SetBorderStyle(viewer::htSingle);
  view.SetHistoryMaxCount(0);
  view.SetDefFontName("Times New Roman");
  view.SetDefPreFontName("Courier New");
  view.SetNoSelect(false);
  view.SetCharSet(platform::RUSSIAN_CHARSET);
  PaintCounter counter;
  view.PaintPanel->installEventFilter(&counter);
  view.show();

  const auto start = std::chrono::steady_clock::now();
  long firstRoundKb = 0, firstRoundAllocatedKb = 0;
  std::printf("%8s %8s %10s %11s %10s %11s %8s\n", "round", "loads", "VmRSS KB", "vs round 1",
              "malloc KB", "vs round 1", "seconds");
  for (long round = 1; round <= rounds; ++round) {
    for (const char* page : kPages) {
      try {
        view.LoadFromFile(std::string("\\HTML\\") + page);
      } catch (const std::exception& error) {
        std::fprintf(stderr, "viewer_soak: %s: %s\n", page, error.what());
        return 1;
      }
      view.repaint();  // the whole widget, through its paint events
      QApplication::processEvents();
    }
    if (round == 1 || round % (rounds < 10 ? 1 : rounds / 10) == 0 || round == rounds) {
      const long kb = StatusKb("VmRSS:"), allocated = AllocatedKb();
      if (round == 1) firstRoundKb = kb, firstRoundAllocatedKb = allocated;
      const double seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::printf("%8ld %8ld %10ld %+11ld %10ld %+11ld %8.1f\n", round, round * 5, kb,
                  kb - firstRoundKb, allocated, allocated - firstRoundAllocatedKb, seconds);
      std::fflush(stdout);
    }
  }
  std::printf("peak VmHWM %ld KB; %ld paints reached the panel\n", StatusKb("VmHWM:"),
              counter.paints);
  return counter.paints >= rounds * 5 ? 0 : 1;
}
