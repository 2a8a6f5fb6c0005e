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
    "CENTER", "TABLE", "TD", "TH", "CAPTION", "FORM", "TEXTAREA", "SELECT", "OPTION", "FONT",
    "SUB", "SUP", "BIG", "SMALL", "P", "MAP", "FRAMESET", "NOFRAMES", "SCRIPT", "DIV", "S",
    "STRIKE", "TR",
    // Start symbols only.
    "LI", "BR", "HR", "DD", "DT", "IMG", "BASE", "BUTTON", "INPUT", "SELECTED", "BASEFONT",
    "AREA", "FRAME", "BGSOUND", "WRAP", "META"};

struct AttributeEntry {
  std::string_view name;
  Symbol symbol;
};

constexpr std::array<AttributeEntry, kAttributeNameCount> kAttributes = {{
    {"HREF", HrefSy},           {"NAME", NameSy},
    {"SRC", SrcSy},             {"ALT", AltSy},
    {"ALIGN", AlignSy},         {"TEXT", TextSy},
    {"BGCOLOR", BGColorSy},     {"LINK", LinkSy},
    {"BACKGROUND", BackgroundSy}, {"COLSPAN", ColSpanSy},
    {"ROWSPAN", RowSpanSy},     {"BORDER", BorderSy},
    {"CELLPADDING", CellPaddingSy}, {"CELLSPACING", CellSpacingSy},
    {"VALIGN", VAlignSy},       {"WIDTH", WidthSy},
    {"START", StartSy},         {"VALUE", ValueSy},
    {"TYPE", TypeSy},           {"CHECKBOX", CheckBoxSy},
    {"RADIO", RadioSy},         {"METHOD", MethodSy},
    {"ACTION", ActionSy},       {"CHECKED", CheckedSy},
    {"SIZE", SizeSy},           {"MAXLENGTH", MaxLengthSy},
    {"COLS", ColsSy},           {"ROWS", RowsSy},
    {"MULTIPLE", MultipleSy},   {"SELECTED", SelectedSy},
    {"FACE", FaceSy},           {"COLOR", ColorSy},
    {"TRANSP", TranspSy},       {"CLEAR", ClearSy},
    {"ISMAP", IsMapSy},         {"BORDERCOLOR", BorderColorSy},
    {"USEMAP", UseMapSy},       {"SHAPE", ShapeSy},
    {"COORDS", CoordsSy},       {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy},       {"PLAIN", PlainSy},
    {"TARGET", TargetSy},       {"NORESIZE", NoResizeSy},
    {"SCROLLING", ScrollingSy}, {"HSPACE", HSpaceSy},
    {"LANGUAGE", LanguageSy},   {"FRAMEBORDER", FrameBorderSy},
    {"MARGINWIDTH", MarginWidthSy}, {"MARGINHEIGHT", MarginHeightSy},
    {"LOOP", LoopSy},           {"ONCLICK", OnClickSy},
    {"WRAP", WrapSy},           {"NOSHADE", NoShadeSy},
    {"HTTP-EQUIV", HttpEqSy},   {"CONTENT", ContentSy},
    {"ENCTYPE", EncTypeSy},
}};

// "amp", "lt", "gt", "quot", then the Latin-1 names of HTML 3.2 for the
// bytes 160 to 255, in code order.
constexpr std::array<std::string_view, 96> kLatin1Entities = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",
    "uml",    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",
    "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",  "para",   "middot",
    "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest",
    "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil",
    "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute", "Icirc",  "Iuml",
    "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",   "times",
    "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",
    "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

struct ColorEntry {
  std::string_view name;
  platform::TColor value;
};

constexpr std::array<ColorEntry, 16> kColors = {{
    {"BLACK", 0x000000}, {"MAROON", 0x000080}, {"GREEN", 0x008000}, {"OLIVE", 0x008080},
    {"NAVY", 0x800000},  {"PURPLE", 0x800080}, {"TEAL", 0x808000},  {"GRAY", 0x808080},
    {"SILVER", 0xC0C0C0}, {"RED", 0x0000FF},   {"LIME", 0x00FF00},  {"YELLOW", 0x00FFFF},
    {"BLUE", 0xFF0000},  {"FUCHSIA", 0xFF00FF}, {"AQUA", 0xFFFF00}, {"WHITE", 0xFFFFFF},
}};

constexpr std::array<Symbol, 31> kTagsKeepingAttributes = {
    BodySy, PSy,      BRSy,      HeadingSy, HRSy,    BaseSy,     OLSy,     ULSy,
    ImageSy, ASy,     TableSy,   TDSy,      TRSy,    THSy,       CaptionSy, InputSy,
    FormSy, TextAreaSy, SelectSy, OptionSy, FontSy,  BaseFontSy, MapSy,    AreaSy,
    FrameSetSy, FrameSy, ScriptSy, DivSy,   BgSoundSy, WrapSy,   MetaSy};

std::unordered_map<std::string_view, Symbol> BuildTagMap() {
  std::unordered_map<std::string_view, Symbol> map;
  for (int i = 0; i < kTagCount; ++i) map.emplace(kTagNames[i], static_cast<Symbol>(i));
  return map;
}

std::unordered_map<std::string_view, Symbol> BuildAttributeMap() {
  std::unordered_map<std::string_view, Symbol> map;
  for (const AttributeEntry& e : kAttributes) map.emplace(e.name, e.symbol);
  return map;
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

std::optional<Symbol> LookupTag(std::string_view upperName) {
  static const auto map = BuildTagMap();
  const auto it = map.find(upperName);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

Symbol LookupAttribute(std::string_view upperName) {
  static const auto map = BuildAttributeMap();
  const auto it = map.find(upperName);
  return it == map.end() ? UnknownAttributeSymbol : it->second;
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

std::optional<platform::TColor> ParseColor(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::string s(text.substr(0, 10));
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  for (const ColorEntry& e : kColors)
    if (s == e.name) return e.value;
  const size_t hash = s.find('#');
  if (hash != std::string::npos) s.erase(hash, 1);
  // A 32-bit hexadecimal conversion: one to eight digits.
  if (s.empty() || s.size() > 8) return std::nullopt;
  uint32_t n = 0;
  for (char c : s) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    n = (n << 4) | static_cast<uint32_t>(digit);
  }
  return platform::RGB((n >> 16) & 0xFF, (n >> 8) & 0xFF, n & 0xFF);
}

}  // namespace parser
