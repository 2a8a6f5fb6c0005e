#pragma once

#include <string>
#include <string_view>

namespace platform {

// How lines end in text for other programs of this platform.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// The clipboard's text, as ANSI bytes.
void SetClipboardText(std::string_view ansi);
// Bytes of a document in the given code page, put on the clipboard as
// Unicode text.
void SetClipboardText(std::string_view bytes, int codePage);
std::string ClipboardText();

}  // namespace platform
