#pragma once

#include <string>
#include <string_view>

namespace platform {

// The clipboard's text, as ANSI bytes.
void SetClipboardText(std::string_view ansi);
std::string ClipboardText();

}  // namespace platform
