#pragma once

#include <bitset>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "layout/Fonts.h"
#include "layout/Section.h"
#include "layout/SectionList.h"
#include "parser/Scanner.h"

namespace parser {

// Upper-cased anchor name -> the section that holds it; the first wins.
using TAnchorList = std::map<std::string, layout::TSectionBase*>;

// Lists, block quotes, CENTER, DIV and tables nest as deep as this; deeper
// starts and their end tags (for a table also its row, cell and caption
// tags) are read as block boundaries, so deeper content stays in the
// deepest element and the builder's recursion stays bounded.
inline constexpr int kMaxNestingDepth = 200;

// The viewer's hooks that a parse calls.
using TSoundType = std::function<void(const std::string& src, int loop, bool terminate)>;
using TMetaType = std::function<void(const std::string& httpEquiv, const std::string& name,
                                     const std::string& content)>;
// The script text as written, line ends as CR LF.
using TScriptEvent = std::function<void(const std::string& language, std::string script)>;

struct TParseHooks {
  TMetaType Meta;
  TSoundType Sound;
  TIncludeType Include;
  TScriptEvent Script;
};

// What a parse leaves besides the document's sections.
struct TParseResult {
  std::string Title;
  std::string Base;
  std::string BaseTarget;
};

// Reads an HTML file (a host path) into the document; an unterminated
// comment ends the parse quietly with what was built.
TParseResult ParseHtmlFile(layout::TSectionList& document, TAnchorList& anchors,
                           const std::filesystem::path& file, const TParseHooks& hooks);
// Reads a memory block; an unterminated comment reaches the caller
// (EParseError) after the document has been finished.
TParseResult ParseHtmlBuffer(layout::TSectionList& document, TAnchorList& anchors,
                             std::string_view html, const TParseHooks& hooks);
// Shows a text file as preformatted lines.
TParseResult ParseTextFile(layout::TSectionList& document, TAnchorList& anchors,
                           const std::filesystem::path& file);

}  // namespace parser
