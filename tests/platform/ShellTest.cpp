#include "platform/ui/Shell.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "TestSupport.h"
#include "platform/CodePage.h"
#include "platform/Paths.h"
#include "platform/ui/Clipboard.h"

namespace {

namespace fs = std::filesystem;

std::string WaitForFile(const fs::path& path) {
  for (int i = 0; i < 100 && !fs::exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Shell, StartsAProgramInItsFolderWithSplitParameters) {
  testing_support::TempDir medium;
  // The script prints its folder and each argument on a line of its own.
  medium.Write("Setup/Report.sh",
               "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > out.txt\n");
  fs::permissions(medium.Path() / "Setup/Report.sh", fs::perms::owner_all);
  platform::SetMediumRoot(medium.Path());
  ASSERT_TRUE(platform::ShellStartProgram("report.sh", "\"two words\" /q", "\\SETUP"));
  const std::string out = WaitForFile(medium.Path() / "Setup/out.txt");
  EXPECT_EQ(out, (medium.Path() / "Setup").string() + "\n[two words]\n[/q]\n");
}

TEST(Shell, MissingProgramIsNotStarted) {
  testing_support::TempDir medium;
  platform::SetMediumRoot(medium.Path());
  EXPECT_FALSE(platform::ShellStartProgram("setup.exe", "", "\\SETUP"));
}

TEST(Clipboard, HoldsTextInTheMediumCodePage) {
  const std::string key = platform::Utf8ToBytes("КЛЮЧ-123", 1251);
  platform::SetClipboardText(key);
  EXPECT_EQ(platform::ClipboardText(), key);
}

}  // namespace
