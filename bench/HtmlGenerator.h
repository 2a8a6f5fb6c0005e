#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace bench {

enum class Language { kEnglish, kRussian1251 };

// A deterministic HTML 3.2 document of about `targetBytes` bytes that mixes
// what pages of the time contained: headings, paragraphs with B/I/U/FONT,
// links, nested lists, PRE, HR, tables with spans, pictures, entities and
// comments. The same arguments always give the same bytes.
std::string GenerateDocument(size_t targetBytes, Language language = Language::kEnglish,
                             uint32_t seed = 1);

}  // namespace bench
