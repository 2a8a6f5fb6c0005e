#pragma once

#include <optional>
#include <string_view>

#include "platform/Color.h"

namespace base {

// HTML colour text to a colour (0x00BBGGRR): one of the 16 names, or
// hexadecimal digits with an optional "#". Nothing when it is neither.
std::optional<platform::TColor> ParseColor(std::string_view text);

}  // namespace base
