#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits program parameters the way Windows programs split their command
// line: blanks and tabs separate; double quotes group (and may start in the
// middle of an argument); 2n backslashes before a quote give n backslashes
// and the quote groups, 2n + 1 give n backslashes and a literal quote;
// other backslashes are literal; "" inside quotes is a literal quote.
std::vector<std::string> SplitCommandLine(std::string_view parameters);

}  // namespace platform
