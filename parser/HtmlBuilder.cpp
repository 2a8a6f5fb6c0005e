// The document builder: a recursive-descent reader over the scanner's
// symbols that fills a document with sections. Its state lives in one
// Builder object per parse; these are its entries.
#include "parser/HtmlBuilder.h"

#include "parser/Builder.h"
#include "platform/Paths.h"

namespace parser {

namespace {

using builder::Builder;

TParseResult Run(layout::TSectionList& document, TAnchorList& anchors, const TParseHooks& hooks,
                 const std::function<bool(THtmlScanner&)>& open, bool plainText,
                 bool swallowParseError) {
  // The page's files are looked up many at a time, the medium unchanged.
  const platform::TLookupBatch lookups;
  Builder builder(document, anchors, hooks);
  try {
    if (!open(builder.Scanner())) {
      builder.Finish();
      return builder.Result();
    }
    builder.Scanner().NextChar();
    if (plainText) {
      builder.ReadPlainText();
    } else {
      builder.Scanner().NextSymbol();
      builder.ReadDocument();
    }
  } catch (const EParseError&) {
    builder.Finish();
    if (!swallowParseError) throw;
    return builder.Result();
  } catch (...) {
    builder.Finish();
    throw;
  }
  builder.Finish();
  return builder.Result();
}

}  // namespace

TParseResult ParseHtmlFile(layout::TSectionList& document, TAnchorList& anchors,
                           const std::filesystem::path& file, const TParseHooks& hooks) {
  return Run(
      document, anchors, hooks, [&](THtmlScanner& s) { return s.Source().OpenFile(file); }, false,
      true);
}

TParseResult ParseHtmlBuffer(layout::TSectionList& document, TAnchorList& anchors,
                             std::string_view html, const TParseHooks& hooks) {
  TParseHooks bufferHooks;  // no META or sound hook for a memory block
  bufferHooks.Include = hooks.Include;
  bufferHooks.Script = hooks.Script;
  return Run(
      document, anchors, bufferHooks,
      [&](THtmlScanner& s) {
        s.Source().OpenMemory(html.data(), html.size());
        return true;
      },
      false, false);
}

TParseResult ParseTextFile(layout::TSectionList& document, TAnchorList& anchors,
                           const std::filesystem::path& file) {
  return Run(
      document, anchors, TParseHooks{}, [&](THtmlScanner& s) { return s.Source().OpenFile(file); },
      true, true);
}

}  // namespace parser
