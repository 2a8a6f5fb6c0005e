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

// Pages built around tables, of about `targetBytes` bytes, English words:
//   kPlain       what GenerateDocument gives (the flat page, for comparison)
//   kFramed      the whole body in a two-column layout table: a narrow menu
//                column of links (WIDTH=150 or 20%) and a wide content
//                column holding the plain page's blocks
//   kDataTables  many small bordered data tables (a caption, 3-6 columns,
//                a few rows, some COLSPAN/ROWSPAN and BGCOLOR) between
//                paragraphs
//   kNested6     tables nested six deep, each level one or two cells, the
//                innermost holding paragraphs; repeated to reach the size
// The same arguments always give the same bytes.
enum class PageKind { kPlain, kFramed, kDataTables, kNested6 };
std::string GeneratePage(PageKind kind, size_t targetBytes, uint32_t seed = 1);
// "flat", "framed", "datatables", "nested6".
const char* PageKindName(PageKind kind);

}  // namespace bench
