#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/Color.h"

namespace parser {

// Every symbol the scanner produces, in one byte. Start symbols of the 64
// tags come first in tag-table order; the first 48 tags also have end
// symbols, in the same order; then the attribute names; then the special
// symbols. The tag and the attribute SELECTED share SelectedSy, and the tag
// and the attribute WRAP share WrapSy.
enum Symbol : uint8_t {
  // Tags with end symbols.
  HtmlSy,
  TitleSy,
  BodySy,
  HeadSy,
  BSy,
  ISy,
  HeadingSy,
  EmSy,
  StrongSy,
  USy,
  CiteSy,
  VarSy,
  TTSy,
  CodeSy,
  KbdSy,
  SampSy,
  OLSy,
  ULSy,
  DirSy,
  MenuSy,
  DLSy,
  ASy,
  AddressSy,
  BlockQuoteSy,
  PreSy,
  CenterSy,
  TableSy,
  TDSy,
  THSy,
  CaptionSy,
  FormSy,
  TextAreaSy,
  SelectSy,
  OptionSy,
  FontSy,
  SubSy,
  SupSy,
  BigSy,
  SmallSy,
  PSy,
  MapSy,
  FrameSetSy,
  NoFramesSy,
  ScriptSy,
  DivSy,
  SSy,
  StrikeSy,
  TRSy,
  // Tags without end symbols.
  LISy,
  BRSy,
  HRSy,
  DDSy,
  DTSy,
  ImageSy,
  BaseSy,
  ButtonSy,
  InputSy,
  SelectedSy,
  BaseFontSy,
  AreaSy,
  FrameSy,
  BgSoundSy,
  WrapSy,
  MetaSy,
  // End symbols of the first 48 tags.
  HtmlEndSy,
  TitleEndSy,
  BodyEndSy,
  HeadEndSy,
  BEndSy,
  IEndSy,
  HeadingEndSy,
  EmEndSy,
  StrongEndSy,
  UEndSy,
  CiteEndSy,
  VarEndSy,
  TTEndSy,
  CodeEndSy,
  KbdEndSy,
  SampEndSy,
  OLEndSy,
  ULEndSy,
  DirEndSy,
  MenuEndSy,
  DLEndSy,
  AEndSy,
  AddressEndSy,
  BlockQuoteEndSy,
  PreEndSy,
  CenterEndSy,
  TableEndSy,
  TDEndSy,
  THEndSy,
  CaptionEndSy,
  FormEndSy,
  TextAreaEndSy,
  SelectEndSy,
  OptionEndSy,
  FontEndSy,
  SubEndSy,
  SupEndSy,
  BigEndSy,
  SmallEndSy,
  PEndSy,
  MapEndSy,
  FrameSetEndSy,
  NoFramesEndSy,
  ScriptEndSy,
  DivEndSy,
  SEndSy,
  StrikeEndSy,
  TREndSy,
  // Attributes (SELECTED and WRAP are the tag symbols above).
  HrefSy,
  NameSy,
  SrcSy,
  AltSy,
  AlignSy,
  TextSy,
  BGColorSy,
  LinkSy,
  BackgroundSy,
  ColSpanSy,
  RowSpanSy,
  BorderSy,
  CellPaddingSy,
  CellSpacingSy,
  VAlignSy,
  WidthSy,
  StartSy,
  ValueSy,
  TypeSy,
  CheckBoxSy,
  RadioSy,
  MethodSy,
  ActionSy,
  CheckedSy,
  SizeSy,
  MaxLengthSy,
  ColsSy,
  RowsSy,
  MultipleSy,
  FaceSy,
  ColorSy,
  TranspSy,
  ClearSy,
  IsMapSy,
  BorderColorSy,
  UseMapSy,
  ShapeSy,
  CoordsSy,
  NoHrefSy,
  HeightSy,
  PlainSy,
  TargetSy,
  NoResizeSy,
  ScrollingSy,
  HSpaceSy,
  LanguageSy,
  FrameBorderSy,
  MarginWidthSy,
  MarginHeightSy,
  LoopSy,
  OnClickSy,
  NoShadeSy,
  HttpEqSy,
  ContentSy,
  EncTypeSy,
  // Special symbols.
  TextSymbol,
  EofSymbol,
  UnknownTagSymbol,
  OtherCharSymbol,
  LineEndSymbol,
  UnknownAttributeSymbol,
};

constexpr int kTagCount = 64;
constexpr int kTagsWithEnd = 48;
constexpr int kAttributeNameCount = 57;

constexpr bool IsStartTag(Symbol s) {
  return s < kTagCount;
}
constexpr bool IsEndTag(Symbol s) {
  return s >= HtmlEndSy && s <= TREndSy;
}
// The end symbol of a start symbol that has one; the start symbol of an end symbol.
constexpr Symbol EndSymbolOf(Symbol start) {
  return static_cast<Symbol>(start + kTagCount);
}
constexpr Symbol StartSymbolOf(Symbol end) {
  return static_cast<Symbol>(end - kTagCount);
}

// Name lookups; a..z count as A..Z, nothing else is folded.
std::optional<Symbol> LookupTag(std::string_view name);
Symbol LookupAttribute(std::string_view name);  // UnknownAttributeSymbol on a miss
// The same on raw letters: the tag symbol or -1.
int LookupTagLetters(const char* name, size_t length);
Symbol LookupAttributeLetters(const char* name, size_t length);
// The byte of a character entity name (case-sensitive), if it is one.
std::optional<uint8_t> LookupEntity(std::string_view name);

// Whether the attributes of a start tag are kept (end tags keep none).
bool KeepsAttributes(Symbol startTag);

// Names as the tables spell them: the tag name of a start or end symbol,
// the attribute name of an attribute symbol (SELECTED and WRAP for the
// shared ones), empty for special symbols.
std::string_view TagName(Symbol s);
std::string_view AttributeName(Symbol s);

// HTML colour text to a colour (0x00BBGGRR): one of the 16 names, or
// hexadecimal digits with an optional "#". Nothing when it is neither.
std::optional<platform::TColor> ParseColor(std::string_view text);

}  // namespace parser
