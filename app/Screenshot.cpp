#include "app/Screenshot.h"

#include <QPixmap>
#include <algorithm>
#include <cstdio>

#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace app {

QImage GrabWindow(QWidget& window, const std::optional<platform::Region>& region) {
  QImage image = window.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  if (!region) return image;
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if (!region->Contains(x, y)) line[x] = 0;
  }
  return image;
}

bool WriteScreenshot(platform::TForm& form, const std::string& file) {
  const QImage shot = GrabWindow(form, form.WindowRgn());
  if (shot.save(QString::fromStdString(file), "PNG")) return true;
  std::fprintf(stderr, "launcher: cannot write %s\n", file.c_str());
  return false;
}

namespace {

// A page's name below the HTML folder, "\" as "-", as UTF-8.
std::string NameBelowHtml(const std::string& page) {
  std::string name = page;
  std::string upper = name;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const size_t html = upper.find("\\HTML\\");
  name = html == std::string::npos ? name.substr(name.find_last_of("\\:") + 1)
                                    : name.substr(html + 6);
  std::replace(name.begin(), name.end(), '\\', '-');
  return platform::BytesToUtf8(name, platform::AnsiCodePage());
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::string ScreenshotName(const std::string& page, const std::vector<std::string>& pages) {
  const std::string name = NameBelowHtml(page);
  const std::string stem = WithoutExtension(name);
  const auto sameStem = [&](const std::string& other) {
    return other != page && WithoutExtension(NameBelowHtml(other)) == stem;
  };
  return (std::any_of(pages.begin(), pages.end(), sameStem) ? name : stem) + ".png";
}

}  // namespace app
