// The launcher: one skinned window over the content folder of the medium.
//
//   launcher [--root DIR] [--screenshot FILE.png]

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Screenshot.h"
#include "app/MainWindow.h"
#include "platform/Paths.h"
#include "platform/ui/Application.h"
#include "platform/ui/Cursors.h"

namespace {

struct Options {
  std::string root;
  std::string screenshot;
};

void Usage() {
  std::fprintf(stderr, "usage: launcher [--root DIR] [--screenshot FILE.png]\n");
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--root" || arg == "--screenshot") && i + 1 < argc) {
      (arg == "--root" ? options.root : options.screenshot) = argv[++i];
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      std::exit(0);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    Usage();
    return 2;
  }
  // A screenshot needs no display.
  if (!options.screenshot.empty() && !std::getenv("QT_QPA_PLATFORM"))
    setenv("QT_QPA_PLATFORM", "offscreen", 1);

  if (options.root.empty()) {
    const std::filesystem::path root = platform::DefaultMediumRoot();
    platform::SetMediumRoot(root, platform::DefaultCurrentDirectory(root));
  } else {
    std::error_code error;
    if (!std::filesystem::is_directory(options.root, error)) {
      std::fprintf(stderr, "launcher: %s is not a folder\n", options.root.c_str());
      return 2;
    }
    platform::SetMediumRoot(std::filesystem::absolute(options.root));
  }

  QApplication qapp(argc, argv);
  platform::TApplication& application = platform::TApplication::Instance();
  application.SetTitle(app::ApplicationTitle());
  platform::RegisterDocumentCursors();

  app::TForm1 form(app::BuiltInLayout());

  if (!options.screenshot.empty()) {
    application.SetMessageBox(std::make_unique<platform::StderrMessageBox>());
    form.OnActivate();
    const QImage shot = app::GrabWindow(form, form.WindowRgn());
    if (!shot.save(QString::fromStdString(options.screenshot), "PNG")) {
      std::fprintf(stderr, "launcher: cannot write %s\n", options.screenshot.c_str());
      return 1;
    }
    return 0;
  }

  form.CenterOnScreen();
  form.show();
  form.activateWindow();
  return qapp.exec();
}
