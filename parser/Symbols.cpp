#include "parser/Symbols.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_map>

namespace parser {

namespace {

constexpr std::array<std::string_view, kTagCount> kTagNames = {
    "HTML", "TITLE", "BODY", "HEAD", "B", "I", "H", "EM", "STRONG", "U", "CITE", "VAR", "TT",
    "CODE", "KBD", "SAMP", "OL", "UL", "DIR", "MENU", "DL", "A", "ADDRESS", "BLOCKQUOTE", "PRE",
    "CENTER", "TABLE", "TD", "TH", "CAPTION", "FORM", "TEXTAREA", "SELECT", "OPTION", "FONT", "SUB",
    "SUP", "BIG", "SMALL", "P", "MAP", "FRAMESET", "NOFRAMES", "SCRIPT", "DIV", "S", "STRIKE", "TR",
    // Start symbols only.
    "LI", "BR", "HR", "DD", "DT", "IMG", "BASE", "BUTTON", "INPUT", "SELECTED", "BASEFONT", "AREA",
    "FRAME", "BGSOUND", "WRAP", "META"};

struct AttributeEntry {
  std::string_view name;
  Symbol symbol;
};

constexpr std::array<AttributeEntry, kAttributeNameCount> kAttributes = {{
    {"HREF", HrefSy},
    {"NAME", NameSy},
    {"SRC", SrcSy},
    {"ALT", AltSy},
    {"ALIGN", AlignSy},
    {"TEXT", TextSy},
    {"BGCOLOR", BGColorSy},
    {"LINK", LinkSy},
    {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy},
    {"ROWSPAN", RowSpanSy},
    {"BORDER", BorderSy},
    {"CELLPADDING", CellPaddingSy},
    {"CELLSPACING", CellSpacingSy},
    {"VALIGN", VAlignSy},
    {"WIDTH", WidthSy},
    {"START", StartSy},
    {"VALUE", ValueSy},
    {"TYPE", TypeSy},
    {"CHECKBOX", CheckBoxSy},
    {"RADIO", RadioSy},
    {"METHOD", MethodSy},
    {"ACTION", ActionSy},
    {"CHECKED", CheckedSy},
    {"SIZE", SizeSy},
    {"MAXLENGTH", MaxLengthSy},
    {"COLS", ColsSy},
    {"ROWS", RowsSy},
    {"MULTIPLE", MultipleSy},
    {"SELECTED", SelectedSy},
    {"FACE", FaceSy},
    {"COLOR", ColorSy},
    {"TRANSP", TranspSy},
    {"CLEAR", ClearSy},
    {"ISMAP", IsMapSy},
    {"BORDERCOLOR", BorderColorSy},
    {"USEMAP", UseMapSy},
    {"SHAPE", ShapeSy},
    {"COORDS", CoordsSy},
    {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy},
    {"PLAIN", PlainSy},
    {"TARGET", TargetSy},
    {"NORESIZE", NoResizeSy},
    {"SCROLLING", ScrollingSy},
    {"HSPACE", HSpaceSy},
    {"LANGUAGE", LanguageSy},
    {"FRAMEBORDER", FrameBorderSy},
    {"MARGINWIDTH", MarginWidthSy},
    {"MARGINHEIGHT", MarginHeightSy},
    {"LOOP", LoopSy},
    {"ONCLICK", OnClickSy},
    {"WRAP", WrapSy},
    {"NOSHADE", NoShadeSy},
    {"HTTP-EQUIV", HttpEqSy},
    {"CONTENT", ContentSy},
    {"ENCTYPE", EncTypeSy},
}};

// "amp", "lt", "gt", "quot", then the Latin-1 names of HTML 3.2 for the
// bytes 160 to 255, in code order.
constexpr std::array<std::string_view, 96> kLatin1Entities = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr std::array<Symbol, 31> kTagsKeepingAttributes = {
    BodySy,     PSy,        BRSy,     HeadingSy, HRSy,      BaseSy,     OLSy,      ULSy,
    ImageSy,    ASy,        TableSy,  TDSy,      TRSy,      THSy,       CaptionSy, InputSy,
    FormSy,     TextAreaSy, SelectSy, OptionSy,  FontSy,    BaseFontSy, MapSy,     AreaSy,
    FrameSetSy, FrameSy,    ScriptSy, DivSy,     BgSoundSy, WrapSy,     MetaSy};

// The name lookups the scanner makes at every tag and attribute: names are
// bucketed by length and first letter, so a lookup compares against a
// handful of candidates at most. Letters are read as written, a..z as A..Z.
class NameTable {
 public:
  void Add(std::string_view name, uint8_t value) {
    Bucket& bucket = buckets_.at(name.size()).at(Letter(static_cast<uint8_t>(name[0])));
    bucket.entries.at(bucket.count++) = {name.data(), value};  // fixed names: never throws
  }
  // The value of the name, or -1.
  int Find(const uint8_t* name, size_t n) const {
    if (n == 0 || n > kMaxLength) return -1;
    const int letter = Letter(name[0]);
    if (letter < 0) return -1;
    const Bucket& bucket = buckets_[n][letter];
    for (int e = 0; e < bucket.count; ++e) {
      const char* candidate = bucket.entries[e].name;
      size_t i = 1;
      while (i < n && static_cast<uint8_t>(candidate[i]) == Upper(name[i])) ++i;
      if (i == n) return bucket.entries[e].value;
    }
    return -1;
  }

 private:
  static constexpr size_t kMaxLength = 12;  // MARGINHEIGHT
  static constexpr int kMaxPerBucket = 8;
  struct Entry {
    const char* name;
    uint8_t value;
  };
  struct Bucket {
    int count = 0;
    std::array<Entry, kMaxPerBucket> entries{};
  };
  static uint8_t Upper(uint8_t c) {
    return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c;
  }
  static int Letter(uint8_t c) {
    const uint8_t u = Upper(c);
    return u >= 'A' && u <= 'Z' ? u - 'A' : -1;
  }
  std::array<std::array<Bucket, 26>, kMaxLength + 1> buckets_{};
};

NameTable BuildTagTable() {
  NameTable table;
  for (int i = 0; i < kTagCount; ++i) table.Add(kTagNames[i], static_cast<uint8_t>(i));
  return table;
}

NameTable BuildAttributeTable() {
  NameTable table;
  for (const AttributeEntry& e : kAttributes) table.Add(e.name, e.symbol);
  return table;
}

std::unordered_map<std::string_view, uint8_t> BuildEntityMap() {
  std::unordered_map<std::string_view, uint8_t> map = {
      {"amp", 38}, {"lt", 60}, {"gt", 62}, {"quot", 34}};
  for (int i = 0; i < 96; ++i) map.emplace(kLatin1Entities[i], static_cast<uint8_t>(160 + i));
  return map;
}

std::array<bool, kTagCount> BuildKeepTable() {
  std::array<bool, kTagCount> keeps{};
  for (Symbol s : kTagsKeepingAttributes) keeps[s] = true;
  return keeps;
}

}  // namespace

const NameTable kTagTable = BuildTagTable();
const NameTable kAttributeTable = BuildAttributeTable();

std::optional<Symbol> LookupTag(std::string_view name) {
  const int found = LookupTagLetters(name.data(), name.size());
  if (found < 0) return std::nullopt;
  return static_cast<Symbol>(found);
}

Symbol LookupAttribute(std::string_view name) {
  return LookupAttributeLetters(name.data(), name.size());
}

int LookupTagLetters(const char* name, size_t length) {
  return kTagTable.Find(reinterpret_cast<const uint8_t*>(name), length);
}

Symbol LookupAttributeLetters(const char* name, size_t length) {
  const int found = kAttributeTable.Find(reinterpret_cast<const uint8_t*>(name), length);
  return found < 0 ? UnknownAttributeSymbol : static_cast<Symbol>(found);
}

std::optional<uint8_t> LookupEntity(std::string_view name) {
  static const auto map = BuildEntityMap();
  const auto it = map.find(name);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

bool KeepsAttributes(Symbol startTag) {
  static const auto keeps = BuildKeepTable();
  return startTag < kTagCount && keeps[startTag];
}

std::string_view TagName(Symbol s) {
  if (IsStartTag(s)) return kTagNames[s];
  if (IsEndTag(s)) return kTagNames[StartSymbolOf(s)];
  return {};
}

std::string_view AttributeName(Symbol s) {
  for (const AttributeEntry& e : kAttributes)
    if (e.symbol == s) return e.name;
  return {};
}

}  // namespace parser
