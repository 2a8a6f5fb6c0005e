#include "platform/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(SplitCommandLine, WindowsQuotingRules) {
  const struct {
    const char* text;
    Args expected;
  } cases[] = {
      {"", {}},
      {"  /q   /s\t", {"/q", "/s"}},
      {"\"Quillmoor Office 2026\"", {"Quillmoor Office 2026"}},
      {"/dir=\"C:\\Program Files\\Q\" /q", {"/dir=C:\\Program Files\\Q", "/q"}},
      {"a\\\\b", {"a\\\\b"}},        // backslashes without a quote stay
      {"a\\\\\"b c\"", {"a\\b c"}},  // 2n backslashes: n, then the quote groups
      {"a\\\"b", {"a\"b"}},          // 2n + 1: n and a literal quote
      {"\"\"", {""}},                // an empty quoted argument
      {"\"a\"\"b\"", {"a\"b"}},      // "" inside quotes
      {"\"unterminated arg", {"unterminated arg"}},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::SplitCommandLine(c.text), c.expected) << c.text;
}

}  // namespace
