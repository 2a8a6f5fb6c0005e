// The launcher: one skinned window over the content folder of the medium.
//
//   launcher [--root DIR] [--screenshot FILE.png]
//   launcher --help | --version

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "LauncherVersion.h"
#include "app/Screenshot.h"
#include "app/MainWindow.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursors.h"

namespace {

struct Options {
  std::optional<std::string> root;
  std::optional<std::string> screenshot;
};

constexpr const char* kUsage =
    "usage: launcher [--root DIR] [--screenshot FILE.png]\n"
    "       launcher --help | --version\n";

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--root" || arg == "--screenshot") && i + 1 < argc) {
      const std::string value = argv[++i];
      if (value.empty()) {
        // An empty name would quietly mean the default; say so instead.
        std::fprintf(stderr, "launcher: %s needs a name, not an empty one\n", arg.c_str());
        return false;
      }
      (arg == "--root" ? options.root : options.screenshot) = value;
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
  return true;
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

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  // A screenshot needs no display.
  if (options.screenshot && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

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

  if (options.screenshot) {
    int errors = 0;
    application.SetMessageBox(std::make_unique<CountingStderrBox>(errors));
    form.OnActivate();
    const QImage shot = app::GrabWindow(form, form.WindowRgn());
    if (!shot.save(QString::fromStdString(*options.screenshot), "PNG")) {
      std::fprintf(stderr, "launcher: cannot write %s\n", options.screenshot->c_str());
      return 1;
    }
    // The picture is written either way; the status tells of the errors.
    return errors == 0 ? 0 : 1;
  }

  form.CenterOnScreen();
  form.show();
  form.activateWindow();
  return qapp.exec();
}
