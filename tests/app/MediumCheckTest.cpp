// The medium checker on the demo medium and on a copy of it broken in the
// ways authors break media.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "app/MediumCheck.h"
#include "app/Screenshot.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"

namespace {

namespace fs = std::filesystem;

// The report as the command prints it, with the medium shown as "M".
std::pair<int, std::string> Check(const fs::path& root) {
  platform::SetMediumRoot(root);
  app::TForm1 form(app::BuiltInLayout());
  const app::TCheckReport report = app::CheckMedium(form);
  std::FILE* out = std::tmpfile();
  const int status = app::WriteCheckReport(report, "M", out);
  std::rewind(out);
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;) text.append(buffer, n);
  std::fclose(out);
  return {status, text};
}

// Replaces the first occurrence of a UTF-8 text in a Windows-1251 page.
void Edit(const fs::path& file, const std::string& from, const std::string& to) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  std::string page = bytes.str();
  const std::string old = platform::Utf8ToBytes(from, 1251);
  const size_t at = page.find(old);
  ASSERT_NE(at, std::string::npos) << from << " in " << file;
  page.replace(at, old.size(), platform::Utf8ToBytes(to, 1251));
  std::ofstream(file, std::ios::binary) << page;
}

TEST(MediumCheck, TheDemoMediumIsClean) {
  const auto [status, text] = Check(fs::path(LAUNCHER_SOURCE_DIR) / "demo");
  EXPECT_EQ(status, 0) << text;
  EXPECT_EQ(text, "6 pages checked: 0 errors, 0 warnings\n");
}

TEST(MediumCheck, EveryBreakReportedAtItsLine) {
  testing_support::TempDir medium;
  fs::copy(fs::path(LAUNCHER_SOURCE_DIR) / "demo", medium.Path(), fs::copy_options::recursive);
  const fs::path html = medium.Path() / "HTML";
  std::string openComment;  // at the last line of the page
  fs::remove(html / "internet.htm");                                       // a missing page
  Edit(html / "help.htm", "<A HREF=\"#keys\">", "<A HREF=\"#nokeys\">");     // a bad anchor
  Edit(html / "soft.htm", "<A HREF=\"install3\">", "<A HREF=\"install4\">");  // past the end
  Edit(html / "products.htm", "<A HREF=\"serial3\">", "<A HREF=\"serial9\">");
  Edit(html / "soft.htm", "<A HREF=\"install2\">", "<A HREF=\"install2x\">");  // no number
  Edit(html / "tutor.htm", "SRC=\"photo.jpg\"", "SRC=\"broken.jpg\"");       // corrupt picture
  Edit(html / "help.htm", "<HR>", "<IMG SRC=\"map.bmp\" USEMAP=\"#nav\"><HR>");  // no such map
  std::ofstream(html / "broken.jpg") << "not a picture";
  std::ofstream(html / "orphan.htm") << "<P>no link leads here";   // an orphan page
  fs::copy_file(html / "help.htm", html / "Help.htm");               // a clash by case
  {
    std::ifstream in(html / "products.htm", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string page = bytes.str();
    const auto lines = std::count(page.begin(), page.end(), '\n');
    std::ofstream(html / "products.htm", std::ios::app) << "<!-- never closed\n";
    openComment = "M/HTML/products.htm:" + std::to_string(lines + 1) +
                  ": a comment that never ends: the launcher shows the page only up to it\n";
  }
  const auto [status, text] = Check(medium.Path());
  EXPECT_EQ(status, 1);
  EXPECT_EQ(
      text,
      "M/HTML/Help.htm:0: Help.htm, help.htm differ only in case; the launcher cannot tell "
      "them apart and opens one of them\n"
      // Links open help.htm, the exact name: its copy is reached by none.
      "M/HTML/Help.htm:0: warning: no link reaches this page\n"
      "M/HTML/help.htm:8: no anchor 'nokeys' on that page; the launcher would show the page "
      "from its top\n"
      "M/HTML/help.htm:10: the picture map.bmp does not exist (D:\\HTML\\map.bmp); the "
      "launcher shows the missing-picture sign\n"
      "M/HTML/help.htm:10: no map #nav on this page; the launcher shows the picture without "
      "its links\n"
      "M/HTML/install.dat:4: warning: entry 2 is used by no install2 link\n"
      "M/HTML/install.dat:7: warning: entry 3 is used by no install3 link\n"
      "M/HTML/internet.htm:0: no page D:\\HTML\\internet.htm; the launcher would show "
      "'Can't locate file: D:\\HTML\\internet.htm.'\n"
      "M/HTML/orphan.htm:0: warning: no link reaches this page\n"
      "M/HTML/products.htm:15: serial9: serial.dat has 3 keys; the launcher would show 'List "
      "index out of bounds (8).'\n" +
          openComment +
          "M/HTML/serial.dat:3: warning: key 3 is used by no serial3 link\n"
          "M/HTML/soft.htm:21: install2x: not a number after 'install'; the launcher would show "
          "''2x' is not a valid integer value.'\n"
          "M/HTML/soft.htm:23: install4: install.dat has 3 entries; the launcher would show "
          "'List index out of bounds (9).'\n"
          "M/HTML/tutor.htm:8: the picture broken.jpg cannot be decoded; the launcher shows the "
          "missing-picture sign\n"
          "5 pages checked: 10 errors, 5 warnings\n");
}

// A hostile medium: links that loop or lead off the medium, install
// entries whose folder or program are not there, names in Windows-1251 and
// UTF-8 Cyrillic linked in another case, a NUL in a link. Nothing throws,
// every problem is named at its line by the link's own name, and a page
// the launcher reaches is not called unreached.
TEST(MediumCheck, HostileMediaAreReportedNotTrusted) {
  testing_support::TempDir medium;
  fs::copy(fs::path(LAUNCHER_SOURCE_DIR) / "demo", medium.Path(), fs::copy_options::recursive);
  const fs::path html = medium.Path() / "HTML";
  fs::create_symlink("loop.htm", html / "loop.htm");
  fs::create_symlink("/etc/hostname", html / "outside.htm");
  fs::create_symlink("/bin/sh", medium.Path() / "SETUP" / "sh");
  std::ofstream(html / "Справка.htm") << "<P>reached";
  std::ofstream(html / "\xD1\xEF\xE8\xF1\xEE\xEA.htm") << "<P>named in 1251";  // "Список"
  std::ofstream(html / "install.dat", std::ios::app)
      << "NOFOLDER\r\nsetup.sh\r\n\r\n\\SETUP\r\nnothere.sh\r\n\r\n\\SETUP\r\nsh\r\n\r\n";
  std::ofstream(html / "help.htm", std::ios::app)
      << platform::Utf8ToBytes("<A HREF=\"СПРАВКА.HTM\">x</A>", 1251) << "\n"
      << "<A HREF=\"loop.htm\">x</A><A HREF=\"outside.htm\">x</A>\n"
      << "<A HREF=\"install4\">x</A><A HREF=\"install5\">x</A><A HREF=\"install6\">x</A>\n"
      << std::string("<A HREF=\"a\0b.htm\">x</A>\n", 23);
  const auto [status, text] = Check(medium.Path());
  EXPECT_EQ(status, 1);
  const std::string lines[] = {
      "loop.htm (links that lead round in a loop)",
      "outside.htm (a link that leads outside the medium, which the launcher treats as missing)",
      "install4: the program setup.sh (folder NOFOLDER) is not on the medium; the launcher would "
      "start nothing",
      "install5: the program nothere.sh (folder \\SETUP) is not on the medium",
      "install6: the program sh (folder \\SETUP) leads outside the medium",
      "a\\x00b.htm",
      "M/HTML/Список.htm:0: warning: no link reaches this page",
      "M/HTML/outside.htm:0: a link that leads outside the medium; the launcher treats this page "
      "as missing",
  };
  for (const std::string& line : lines) EXPECT_NE(text.find(line), std::string::npos) << line;
  EXPECT_EQ(text.find("Справка.htm:0: warning"), std::string::npos) << "reached by СПРАВКА.HTM";
  EXPECT_EQ(text.find("/etc/"), std::string::npos) << "named by the link, not its target";
}

// One picture a page and never two pages on one file: \\A\\page.htm and
// \\B\\page.htm wrote one file over the other.
TEST(ScreenshotNames, OneFileAPage) {
  const std::vector<std::string> pages = {
      "D:\\HTML\\soft.htm", "D:\\HTML\\sub\\a.htm", "D:\\A\\page.htm",   "D:\\B\\page.htm",
      "D:\\HTML\\x.htm",    "D:\\HTML\\x.html",     "D:\\HTML\\a-b.htm", "D:\\HTML\\a\\b.htm"};
  EXPECT_EQ(app::ScreenshotNames(pages),
            (std::vector<std::string>{"soft.png", "sub-a.png", "A-page.png", "B-page.png",
                                      "x.htm.png", "x.html.png", "a-b.htm.png", "a-b.htm-2.png"}));
}

TEST(MediumCheck, HtmlThatIsNoFolderCannotBeRead) {
  testing_support::TempDir medium;
  std::ofstream(medium.Path() / "HTML") << "a file";
  const auto [status, text] = Check(medium.Path());
  EXPECT_EQ(status, 2);
  EXPECT_EQ(text,
            "M: HTML on the medium is no folder; the launcher would show no page\n"
            "the medium cannot be read\n");
}

TEST(MediumCheck, AMediumWithoutItsHtmlFolderCannotBeRead) {
  testing_support::TempDir medium;
  const auto [status, text] = Check(medium.Path());
  EXPECT_EQ(status, 2);
  EXPECT_EQ(text,
            "M: no HTML folder on the medium; the launcher would show no page\n"
            "the medium cannot be read\n");
}

}  // namespace
