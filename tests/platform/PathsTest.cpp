#include "platform/Paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "platform/CodePage.h"

namespace {

using platform::ExpandFileName;
using platform::MapToHost;

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    medium_.Write("HTML/Soft.htm", "page");
    medium_.Write("HTML/pics/Logo.BMP", "bmp");
    medium_.Write("Программы/Установка.txt", "ru");
    platform::SetMediumRoot(medium_.Path(), "\\HTML");
  }
  testing_support::TempDir medium_;
};

TEST_F(PathsTest, WindowsNamesFindHostFilesIgnoringCase) {
  const auto soft = medium_.Path() / "HTML/Soft.htm";
  const struct {
    const char* windowsPath;
    bool found;
  } cases[] = {
      {"\\HTML\\soft.htm", true},    // leading backslash: medium root
      {"D:\\html\\SOFT.HTM", true},  // drive letter names the root
      {"x:/HTML/soft.htm", true},    // any drive, forward slashes
      {"soft.htm", true},            // relative to the current directory
      {"pics\\logo.bmp", true},
      {"\\HTML\\pics\\..\\soft.htm", true},
      {"\\..\\..\\HTML\\soft.htm", true},  // never above the root
      {"\\HTML\\missing.htm", false},
      {"\\\\server\\share\\soft.htm", false},  // network names are not on the medium
      {"", false},
  };
  for (const auto& c : cases) {
    const auto host = MapToHost(c.windowsPath);
    EXPECT_EQ(host.has_value(), c.found) << c.windowsPath;
  }
  EXPECT_EQ(*MapToHost("\\html\\SOFT.htm"), soft);
}

TEST_F(PathsTest, CyrillicNamesMatchIgnoringCase) {
  const std::string name = platform::Utf8ToBytes("\\ПРОГРАММЫ\\установка.TXT", 1251);
  ASSERT_TRUE(platform::FileExists(name));
  EXPECT_EQ(*platform::ReadWholeFile(name), "ru");
}

TEST_F(PathsTest, ExpandFileNameGivesFullMediumPaths) {
  EXPECT_EQ(ExpandFileName("\\HTML\\soft.htm"), "D:\\HTML\\soft.htm");
  EXPECT_EQ(ExpandFileName("soft.htm"), "D:\\HTML\\soft.htm");
  EXPECT_EQ(ExpandFileName("..\\a\\.\\b.htm"), "D:\\a\\b.htm");
  EXPECT_EQ(ExpandFileName("c:\\x\\..\\y"), "D:\\y");
  EXPECT_EQ(ExpandFileName("\\"), "D:\\");
  EXPECT_EQ(ExpandFileName("\\\\srv\\share\\f"), "\\\\srv\\share\\f");
}

TEST_F(PathsTest, FoldersAreNotFiles) {
  EXPECT_TRUE(MapToHost("\\HTML\\pics").has_value());
  EXPECT_FALSE(platform::FileExists("\\HTML\\pics"));
  EXPECT_FALSE(platform::ReadWholeFile("\\HTML").has_value());
}

// Links on the medium lead where they point while that stays on the
// medium, and keep their own names; a link off the medium, a loop, a FIFO
// or a device are no files: nothing blocks, nothing throws.
TEST_F(PathsTest, LinksStayOnTheMediumAndOnlyRegularFilesAreRead) {
  namespace fs = std::filesystem;
  const fs::path html = medium_.Path() / "HTML";
  fs::create_symlink("Soft.htm", html / "alias.htm");
  fs::create_symlink("pics", html / "images");
  fs::create_symlink("/etc/hostname", html / "host.htm");
  fs::create_symlink("../..", html / "up");
  fs::create_symlink("loop.htm", html / "loop.htm");
  fs::create_symlink("nowhere.htm", html / "dangling.htm");
  ASSERT_EQ(mkfifo((html / "fifo.dat").c_str(), 0600), 0);
  const struct {
    const char* windowsPath;
    bool readable;
  } cases[] = {
      {"\\HTML\\ALIAS.htm", true},           // a link on the medium, any case
      {"\\HTML\\images\\logo.bmp", true},    // through a linked folder
      {"\\HTML\\host.htm", false},           // off the medium
      {"\\HTML\\up\\etc\\hostname", false},  // a folder link above the root
      {"\\HTML\\loop.htm", false},           // too many levels of links
      {"\\HTML\\dangling.htm", false},
      {"\\HTML\\fifo.dat", false},  // opened, it would wait for a writer for ever
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::FileExists(c.windowsPath), c.readable) << c.windowsPath;
    platform::TReadError error;
    EXPECT_EQ(platform::ReadWholeFile(c.windowsPath, 1000, &error).has_value(), c.readable)
        << c.windowsPath;
    EXPECT_EQ(platform::ReadFileStart(c.windowsPath, 4).has_value(), c.readable) << c.windowsPath;
  }
  EXPECT_EQ(*MapToHost("\\html\\alias.htm"), html / "alias.htm") << "named by the link";
  platform::TReadError error;
  EXPECT_FALSE(platform::ReadHostFile(html / "fifo.dat", 1000, &error));
  EXPECT_EQ(error.Reason, "Not a regular file");
}

// A folder is listed once, and listed again when it changes.
TEST_F(PathsTest, AFolderListingIsKeptUntilTheFolderChanges) {
  EXPECT_FALSE(MapToHost("\\HTML\\NEW.htm"));
  medium_.Write("HTML/new.htm", "x");
  EXPECT_TRUE(MapToHost("\\HTML\\NEW.htm")) << "the folder changed";
  std::filesystem::remove(medium_.Path() / "HTML/new.htm");
  EXPECT_FALSE(MapToHost("\\HTML\\NEW.htm"));
}

// A batch gives the answers single lookups give, the second time from what
// it kept; what it kept is forgotten when it ends.
TEST_F(PathsTest, ALookupBatchAnswersAsSingleLookupsAndForgetsWhenItEnds) {
  namespace fs = std::filesystem;
  const fs::path html = medium_.Path() / "HTML";
  fs::create_symlink("pics", html / "images");
  fs::create_symlink("/etc", html / "etc");
  fs::create_symlink("loop", html / "loop");
  const std::string names[] = {"\\HTML\\Soft.htm",
                               "\\html\\PICS\\logo.bmp",
                               "\\HTML\\pics\\none.bmp",
                               "\\HTML\\images\\LOGO.BMP",
                               "\\NOFOLDER\\x.bmp",
                               "\\HTML\\etc\\hostname",
                               "\\HTML\\loop\\x.bmp",
                               platform::Utf8ToBytes("\\Программы\\установка.TXT", 1251),
                               "Soft.htm",
                               "\\"};
  const auto answers = [&] {
    std::vector<std::pair<std::optional<fs::path>, platform::TLookupFailure>> all;
    for (const std::string& name : names) {
      platform::TLookupFailure why = platform::TLookupFailure::Missing;
      std::optional<fs::path> host = MapToHost(name, &why);
      all.emplace_back(std::move(host), host ? platform::TLookupFailure::Missing : why);
    }
    return all;
  };
  const auto single = answers();
  EXPECT_TRUE(single[1].first && single[3].first && single[7].first);
  EXPECT_EQ(single[5].second, platform::TLookupFailure::LeavesMedium);
  EXPECT_EQ(single[6].second, platform::TLookupFailure::LinkLoop);
  {
    const platform::TLookupBatch batch;
    EXPECT_EQ(answers(), single);
    EXPECT_EQ(answers(), single) << "from what the batch kept";
    EXPECT_FALSE(MapToHost("\\HTML\\NEW.htm"));
    medium_.Write("HTML/new.htm", "x");
  }
  EXPECT_TRUE(MapToHost("\\HTML\\NEW.htm")) << "the batch ended";
}

// A read that fails part way gives nothing, never the bytes so far (or an
// empty file). The process's own memory file opens and then fails to read
// at offset 0, even for root.
TEST(ReadHostFile, FailedReadIsAnErrorNotAShortFile) {
  platform::TReadError error;
  EXPECT_FALSE(platform::ReadHostFile("/proc/self/mem", 1 << 20, &error));
  EXPECT_FALSE(error.TooLarge);
  EXPECT_FALSE(error.Reason.empty());

  platform::SetMediumRoot("/proc/self");
  EXPECT_FALSE(platform::ReadWholeFile("\\mem"));
}

TEST(ReadHostFile, TellsWhyAndHoldsToTheLimit) {
  testing_support::TempDir dir;
  dir.Write("four.txt", "1234");
  platform::TReadError error;
  EXPECT_EQ(platform::ReadHostFile(dir.Path() / "four.txt", 4, &error), "1234");
  EXPECT_FALSE(platform::ReadHostFile(dir.Path() / "four.txt", 3, &error));
  EXPECT_TRUE(error.TooLarge);
  EXPECT_EQ(error.Reason, "larger than 3 bytes");
  EXPECT_FALSE(platform::ReadHostFile(dir.Path(), 100, &error));
  EXPECT_EQ(error.Reason, "Is a directory");
  EXPECT_FALSE(platform::ReadHostFile(dir.Path() / "none.txt", 100, &error));
  EXPECT_EQ(error.Reason, "No such file or directory");
  dir.Write("empty.txt", "");
  EXPECT_EQ(platform::ReadHostFile(dir.Path() / "empty.txt", 100), "");
}

}  // namespace
