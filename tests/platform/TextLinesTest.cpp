#include "platform/TextLines.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, LineEndsEmptyLinesAndNul) {
  const struct {
    std::string text;
    Lines expected;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},    // final line end adds nothing
      {"a\rb\nc", {"a", "b", "c"}},  // lone CR and lone LF
      {"a\n\nb", {"a", "", "b"}},    // empty line kept
      {"a\r\n\r\n", {"a", ""}},
      {"\n", {""}},
      {"", {}},
      {"  x \t\n", {"  x \t"}},                    // nothing trimmed
      {std::string("a\nb\0c\nd", 7), {"a", "b"}},  // NUL ends the text
      {"a\n\r", {"a", ""}},                        // LF then a lone CR
      // Lines keep 4095 characters; what follows the cut is not a line.
      {std::string(5001, 'k') + "\r\nb", {std::string(4095, 'k'), "b"}},
      {"a\n" + std::string(4096, 'k'), {"a", std::string(4095, 'k')}},
      {std::string(4095, 'k'), {std::string(4095, 'k')}},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::SplitLines(c.text), c.expected);
}

TEST(LoadLinesFromFile, MissingFileNamesThePath) {
  testing_support::TempDir medium;
  platform::SetMediumRoot(medium.Path());
  try {
    platform::LoadLinesFromFile("\\HTML\\install.dat");
    FAIL() << "no error";
  } catch (const platform::EFOpenError& error) {
    EXPECT_STREQ(error.what(), "Cannot open file \\HTML\\install.dat");
  }
  medium.Write("html/Install.DAT", "x\r\ny\r\n");
  EXPECT_EQ(platform::LoadLinesFromFile("\\HTML\\install.dat"), (Lines{"x", "y"}));
}

// A list file has a ceiling: beyond it the load fails with the file's name,
// instead of reading however much a medium holds.
TEST(LoadLinesFromFile, FileOverTheCeilingIsRefusedByName) {
  testing_support::TempDir medium;
  platform::SetMediumRoot(medium.Path());
  const std::string line = "0123456789abcde\n";  // 16 bytes
  std::string content;
  for (size_t i = 0; i < platform::kMaxLineFileBytes / 16; ++i) content += line;
  medium.Write("HTML/install.dat", content);
  EXPECT_EQ(platform::LoadLinesFromFile("\\HTML\\install.dat").size(),
            platform::kMaxLineFileBytes / 16);

  medium.Write("HTML/install.dat", content + "x");
  try {
    platform::LoadLinesFromFile("\\HTML\\install.dat");
    FAIL() << "no error";
  } catch (const platform::EInOutError& error) {
    EXPECT_STREQ(error.what(), "File too large: \\HTML\\install.dat (more than 1048576 bytes)");
  }
}

}  // namespace
