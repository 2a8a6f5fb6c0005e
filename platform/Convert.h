#pragma once

#include <optional>
#include <string_view>

namespace platform {

// The framework's integer conversion of a text: leading blanks, an optional
// sign, then decimal digits, or hexadecimal ones after "$", "x" or "0x";
// nothing else, not even a trailing blank. Nothing for an empty text, any
// other character, or a value outside the signed 32-bit range.
std::optional<int> TryStrToInt(std::string_view text);

// As TryStrToInt; a text that is no number raises EConvertError
// "'TEXT' is not a valid integer value".
int StrToInt(std::string_view text);

}  // namespace platform
