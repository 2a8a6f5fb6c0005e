#include "platform/Paths.h"

#include <gtest/gtest.h>

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

}  // namespace
