// The menu pages' links as commands: web and mail addresses, installers of
// the install list, keys of the key list.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/MainWindow.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Exceptions.h"
#include "platform/ui/Application.h"
#include "platform/ui/Clipboard.h"
#include "platform/ui/Shell.h"

namespace app {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Line `index` (0-based, 64 bits: 3N - 3 leaves the int range for large
// N) of a list; a missing line raises the list's index error.
const std::string& LineAt(const std::vector<std::string>& lines, int64_t index) {
  if (index < 0 || index >= static_cast<int64_t>(lines.size()))
    throw platform::EStringListError(index);
  return lines[static_cast<size_t>(index)];
}

}  // namespace

std::string SerialMessage(const std::string& key) {
  return platform::Utf8ToBytes("Серийный номер : ", 1251) + key +
         platform::Utf8ToBytes(" занесен в буфер обмена", 1251);
}

void TForm1::htmlView1HotSpotClick(viewer::ThtmlView*, const std::string& SRC, bool& Handled) {
  // Three independent tests; their prefixes exclude one another.
  if (StartsWith(SRC, "http") || StartsWith(SRC, "mailto")) {
    platform::Shell().OpenAddress(SRC);
    // The address is the browser's now: the viewer must not go on to look
    // it up as a local page and report it missing.
    Handled = true;
  }
  if (StartsWith(SRC, "install")) {
    const int64_t n = platform::StrToInt(std::string_view(SRC).substr(7));
    const std::string& directory = LineAt(ListBox1, 3 * n - 3);
    const std::string& parameters = LineAt(ListBox1, 3 * n - 1);
    const std::string& file = LineAt(ListBox1, 3 * n - 2);
    platform::Shell().StartProgram(file, parameters, directory);
  }
  if (StartsWith(SRC, "serial")) {
    const int64_t n = platform::StrToInt(std::string_view(SRC).substr(6));
    const std::string& key = LineAt(ListBox2, n - 1);
    platform::SetClipboardText(key);
    platform::TApplication::Instance().ShowMessage(SerialMessage(key));
  }
}

}  // namespace app
