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
// entries the launcher cannot start, names in Windows-1251 and UTF-8
// Cyrillic linked in another case, odd bytes in names. Each line of the
// page hostile.htm holds one link and must draw exactly its message at its
// line; nothing throws (a loop of links once aborted the checker).
TEST(MediumCheck, HostileMediaAreReportedNotTrusted) {
  testing_support::TempDir medium;
  fs::copy(fs::path(LAUNCHER_SOURCE_DIR) / "demo", medium.Path(), fs::copy_options::recursive);
  const fs::path html = medium.Path() / "HTML";
  fs::create_symlink("loop.htm", html / "loop.htm");
  fs::create_symlink("/etc/hostname", html / "outside.htm");
  fs::create_symlink("/etc/hostname", html / "outside.bmp");
  fs::create_symlink("/bin/sh", medium.Path() / "SETUP" / "sh");
  fs::create_symlink("../SETUP/page.htm", html / "alias.htm");  // on the medium
  std::ofstream(medium.Path() / "SETUP" / "page.htm") << "<P>behind a link";
  std::ofstream(html / "Справка.htm") << "<P>reached in another case";
  std::ofstream(html / "\xD1\xEF\xE8\xF1\xEE\xEA.htm") << "<P>named in 1251";  // "Список"
  std::ofstream(html / "\xC4\xF0\xF3\xE3\xEE\xE9.htm") << "<P>1251, unreached";  // "Другой"
  std::ofstream(html / "line\nbreak.htm") << "<P>an odd name";
  std::ofstream(html / "a") << "<P>a NUL must not cut a name down to this one";
  std::ofstream(html / "install.dat", std::ios::app)
      << "NOFOLDER\r\nsetup.sh\r\n\r\n"            // 4
      << "\\SETUP\r\nnothere.sh\r\n\r\n"           // 5
      << "\\SETUP\r\nsh\r\n\r\n"                   // 6
      << "NOFOLDER\r\n\\SETUP\\write-file.sh\r\n\r\n"  // 7
      << "\\HTML\\help.htm\r\n\\SETUP\\write-file.sh\r\n\r\n"  // 8
      << "\\SETUP\r\n\r\n\r\n"                     // 9
      << "\\\r\nSETUP\r\n\r\n";                    // 10
  std::ofstream(html / "help.htm", std::ios::app) << "<A HREF=\"hostile.htm\">x</A>\n";

  const std::pair<std::string, std::string> lines[] = {
      {"<A HREF=\"loop.htm\">", "no page D:\\HTML\\loop.htm (links that lead round in a loop); "
                                "the launcher would show 'Can't locate file: D:\\HTML\\loop.htm.'"},
      {"<A HREF=\"outside.htm\">",
       "no page D:\\HTML\\outside.htm (a link that leads outside the medium, which the launcher "
       "treats as missing); the launcher would show 'Can't locate file: D:\\HTML\\outside.htm.'"},
      {"<IMG SRC=\"outside.bmp\">",
       "the picture outside.bmp does not exist (D:\\HTML\\outside.bmp) (a link that leads outside "
       "the medium, which the launcher treats as missing); the launcher shows the missing-picture "
       "sign"},
      {"<A HREF=\"install4\">",
       "install4: the program setup.sh (folder NOFOLDER) is not on the medium; the launcher would "
       "start nothing"},
      {"<A HREF=\"install5\">",
       "install5: the program nothere.sh (folder \\SETUP) is not on the medium; the launcher would "
       "start nothing"},
      {"<A HREF=\"install6\">",
       "install6: the program sh (folder \\SETUP) leads outside the medium (the launcher treats it "
       "as missing); the launcher would start nothing"},
      {"<A HREF=\"install7\">",
       "install7: the folder NOFOLDER of the entry is not on the medium; the launcher would start "
       "\\SETUP\\write-file.sh in the folder it was itself started from"},
      {"<A HREF=\"install8\">",
       "install8: the folder \\HTML\\help.htm of the entry is no folder; the launcher would start "
       "nothing"},
      {"<A HREF=\"install9\">", "install9: the entry names no program; the launcher would start nothing"},
      {"<A HREF=\"install10\">",
       "install10: the program SETUP (folder \\) is a folder; the launcher would start nothing"},
      {std::string("<A HREF=\"a\0b.htm\">", 17),
       "no page D:\\HTML\\a\\x00b.htm; the launcher would show 'Can't locate file: "
       "D:\\HTML\\a\\x00b.htm.'"},
      // Reached: no message.
      {platform::Utf8ToBytes("<A HREF=\"СПРАВКА.HTM\">", 1251), ""},
      {platform::Utf8ToBytes("<A HREF=\"список.htm\">", 1251), ""},
      {"<A HREF=\"alias.htm\">", ""},
  };
  std::string page, expected;
  for (size_t i = 0; i < std::size(lines); ++i) {
    page += lines[i].first + "x</A>\n";
    if (!lines[i].second.empty())
      expected += "M/HTML/hostile.htm:" + std::to_string(i + 1) + ": " + lines[i].second + "\n";
  }
  std::ofstream(html / "hostile.htm", std::ios::binary) << page;

  const auto [status, text] = Check(medium.Path());
  EXPECT_EQ(status, 1);
  std::string hostile;  // the lines of hostile.htm, in order
  for (size_t at = 0; (at = text.find("M/HTML/hostile.htm:", at)) != std::string::npos;) {
    const size_t end = text.find('\n', at) + 1;
    hostile += text.substr(at, end - at);
    at = end;
  }
  EXPECT_EQ(hostile, expected);
  // Files named by their own names, decoded and escaped, never by a
  // link's target; pages reached in another case are not unreached.
  for (const std::string line :
       {"M/HTML/Другой.htm:0: warning: no link reaches this page\n",
        "M/HTML/line\\x0Abreak.htm:0: warning: no link reaches this page\n",
        "M/HTML/outside.htm:0: a link that leads outside the medium; the launcher treats this page "
        "as missing\n",
        "M/HTML/loop.htm:0: links that lead round in a loop; the launcher treats this page as "
        "missing\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;
  for (const std::string wrong : {"Справка.htm:0:", "Список.htm:0:", "alias.htm:0:", "/etc/",
                                  "M/SETUP/page.htm", "M/HTML/a:"})
    EXPECT_EQ(text.find(wrong), std::string::npos) << wrong << " in\n" << text;
}

// One picture a page and never two pages on one file: \\A\\page.htm and
// \\B\\page.htm wrote one file over the other.
TEST(ScreenshotNames, OneFileAPage) {
  const std::vector<std::string> pages = {
      "D:\\HTML\\soft.htm", "D:\\HTML\\sub\\a.htm", "D:\\A\\page.htm", "D:\\B\\page.htm",
      "D:\\HTML\\x.htm",    "D:\\HTML\\x.html",      "D:\\HTML\\a-b.htm", "D:\\HTML\\a\\b.htm",
      // A folder that ignores case would keep one of these.
      "D:\\HTML\\Help.htm", "D:\\HTML\\help.htm"};
  EXPECT_EQ(app::ScreenshotNames(pages),
            (std::vector<std::string>{"soft.png", "sub-a.png", "A-page.png", "B-page.png",
                                      "x.htm.png", "x.html.png", "a-b.htm.png", "a-b.htm-2.png",
                                      "Help.htm.png", "help.htm-2.png"}));
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
