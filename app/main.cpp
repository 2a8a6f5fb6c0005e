// The launcher: one skinned window over the content folder of the medium.
//
//   launcher [--root DIR] [--screenshot FILE.png [--page NAME] [--scroll Y]]
//   launcher --check [--root DIR]
//   launcher --screenshot-all DIR [--root DIR]
//   launcher --help | --version

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include <algorithm>

#include "LauncherVersion.h"
#include "app/MainWindow.h"
#include "app/MediumCheck.h"
#include "app/Screenshot.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursors.h"

namespace {

struct Options {
  std::optional<std::string> root;
  std::optional<std::string> screenshot;
  std::optional<std::string> page;
  std::optional<int> scroll;
  std::optional<std::string> screenshotAll;
  bool check = false;
};

constexpr const char* kUsage =
    "usage: launcher [--root DIR] [--screenshot FILE.png [--page NAME] [--scroll Y]]\n"
    "       launcher --check [--root DIR]\n"
    "       launcher --screenshot-all DIR [--root DIR]\n"
    "       launcher --help | --version\n";

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool named = arg == "--root" || arg == "--screenshot" || arg == "--page" ||
                       arg == "--screenshot-all" || arg == "--scroll";
    if (named && i + 1 < argc) {
      const std::string value = argv[++i];
      if (value.empty()) {
        // An empty name would quietly mean the default; say so instead.
        std::fprintf(stderr, "launcher: %s needs %s, not an empty one\n", arg.c_str(),
                     arg == "--scroll" ? "a number" : "a name");
        return false;
      }
      if (arg == "--scroll") {
        const std::optional<int> y = platform::TryStrToInt(value);
        if (!y || *y < 0) {
          std::fprintf(stderr, "launcher: --scroll needs a number of pixels, not %s\n",
                       value.c_str());
          return false;
        }
        options.scroll = *y;
        continue;
      }
      (arg == "--root"             ? options.root
       : arg == "--screenshot"     ? options.screenshot
       : arg == "--page"           ? options.page
                                   : options.screenshotAll) = value;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else if (arg == "--version") {
      std::puts("launcher " LAUNCHER_VERSION);
      std::exit(0);
    } else {
      return false;
    }
  }
  // The page and the scroll position are those of one screenshot; the
  // three ways of running exclude one another.
  if ((options.page || options.scroll) && !options.screenshot) {
    std::fputs("launcher: --page and --scroll go with --screenshot\n", stderr);
    return false;
  }
  if (int{options.check} + int{options.screenshot.has_value()} +
          int{options.screenshotAll.has_value()} > 1) {
    std::fputs("launcher: --check, --screenshot and --screenshot-all are used one at a time\n",
               stderr);
    return false;
  }
  return true;
}

// A page named on the command line: a name in the HTML folder, or a path
// on the medium when it starts with a backslash or a drive.
std::string PageOnMedium(const std::string& name) {
  std::string windows = name;
  std::replace(windows.begin(), windows.end(), '/', '\\');
  if (!windows.empty() && (windows[0] == '\\' || (windows.size() > 1 && windows[1] == ':')))
    return windows;
  return "\\HTML\\" + windows;
}

// Prints the application's message boxes and counts them, so a headless
// run can end with a status that tells whether anything went wrong.
class CountingStderrBox : public platform::StderrMessageBox {
 public:
  explicit CountingStderrBox(int& count) : count_(count) {}
  void Show(const std::string& caption, const std::string& text,
            platform::MessageIcon icon) override {
    ++count_;
    StderrMessageBox::Show(caption, text, icon);
  }

 private:
  int& count_;
};

// Runs a step as an event handler runs: an error goes to the message box.
template <class Step>
void ShowingErrors(Step step) {
  try {
    step();
  } catch (const std::exception& error) {
    platform::TApplication::Instance().ShowException(error);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // Screenshots and checks need no display.
  const bool headless = options.screenshot || options.screenshotAll || options.check;
  if (headless && !std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  if (!options.root) {
    const std::filesystem::path root = platform::DefaultMediumRoot();
    platform::SetMediumRoot(root, platform::DefaultCurrentDirectory(root));
  } else {
    std::error_code error;
    if (!std::filesystem::is_directory(*options.root, error)) {
      std::fprintf(stderr, "launcher: %s is not a folder\n", options.root->c_str());
      return 2;
    }
    platform::SetMediumRoot(std::filesystem::absolute(*options.root));
  }

  QApplication qapp(argc, argv);
  platform::TApplication& application = platform::TApplication::Instance();
  application.SetTitle(app::ApplicationTitle());
  platform::RegisterDocumentCursors();

  app::TForm1 form(app::BuiltInLayout());

  // Problems are shown below the root as the user named it.
  const std::string shownRoot = options.root ? *options.root : std::string(".");
  if (options.check) {
    const app::TCheckReport report = app::CheckMedium(form);
    return app::WriteCheckReport(report, shownRoot, stdout);
  }

  if (options.screenshot) {
    int errors = 0;
    application.SetMessageBox(std::make_unique<CountingStderrBox>(errors));
    form.OnActivate();
    if (options.page)
      ShowingErrors([&] { form.htmlView1->LoadFromFile(PageOnMedium(*options.page)); });
    if (options.scroll) form.htmlView1->ScrollToY(*options.scroll);
    if (!app::WriteScreenshot(form, *options.screenshot)) return 1;
    // The picture is written either way; the status tells of the errors.
    return errors == 0 ? 0 : 1;
  }

  if (options.screenshotAll) {
    // Every page the launcher can reach, as the window shows it.
    const app::TCheckReport report = app::CheckMedium(form);
    if (report.Unreadable) return app::WriteCheckReport(report, shownRoot, stderr);
    int errors = 0;
    application.SetMessageBox(std::make_unique<CountingStderrBox>(errors));
    form.OnActivate();
    std::error_code error;
    std::filesystem::create_directories(*options.screenshotAll, error);
    const std::vector<std::string> names = app::ScreenshotNames(report.Pages);
    for (size_t i = 0; i < report.Pages.size(); ++i) {
      ShowingErrors([&] { form.htmlView1->LoadFromFile(report.Pages[i]); });
      const std::string file = (std::filesystem::path(*options.screenshotAll) / names[i]).string();
      if (!app::WriteScreenshot(form, file)) return 1;
      std::printf("%s\n", file.c_str());
    }
    return errors == 0 ? 0 : 1;
  }

  form.CenterOnScreen();
  form.show();
  form.activateWindow();
  return qapp.exec();
}
