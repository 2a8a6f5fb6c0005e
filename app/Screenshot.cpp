#include "app/Screenshot.h"

#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

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

// A page's path below the HTML folder, or below the root for a page
// elsewhere, "\\" as "-", as UTF-8.
std::string NameBelowHtml(const std::string& page) {
  std::string upper = page;
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  const size_t html = upper.find("\\HTML\\");
  std::string name;
  if (html != std::string::npos) {
    name = page.substr(html + 6);
  } else {
    name = page.size() > 1 && page[1] == ':' ? page.substr(2) : page;
    while (!name.empty() && name.front() == '\\') name.erase(0, 1);
  }
  std::replace(name.begin(), name.end(), '\\', '-');
  return platform::BytesToUtf8(name, platform::AnsiCodePage());
}

// A file name as a folder that ignores case keys it (a picture folder on a
// USB stick would put "Help.png" and "help.png" on one file).
std::u32string Folded(const std::string& name) {
  std::u32string folded = platform::Utf8ToUtf32(name);
  for (char32_t& c : folded) c = platform::FoldCase(c);
  return folded;
}

std::string WithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

std::vector<std::string> ScreenshotNames(const std::vector<std::string>& pages) {
  std::vector<std::string> names;
  std::map<std::u32string, int> stems;
  for (const std::string& page : pages) ++stems[Folded(WithoutExtension(NameBelowHtml(page)))];
  std::set<std::u32string> taken;
  for (const std::string& page : pages) {
    const std::string name = NameBelowHtml(page);
    const std::string stem = WithoutExtension(name);
    const std::string base = stems[Folded(stem)] > 1 ? name : stem;
    std::string file = base + ".png";
    for (int n = 2; taken.count(Folded(file)); ++n) file = base + "-" + std::to_string(n) + ".png";
    taken.insert(Folded(file));
    names.push_back(file);
  }
  return names;
}

}  // namespace app
