#include "base/HtmlUtils.h"

#include "platform/Canvas.h"

namespace base {

const TAttribute* TAttributeList::Find(Symbol symbol) const {
  for (const auto& attribute : *this)
    if (attribute->Symbol == symbol) return attribute.get();
  return nullptr;
}

const TAttribute* TAttributeList::Add(base::Symbol symbol, int32_t intValue,
                                      std::string_view strValue) {
  if (spare_.empty())
    return Add(std::make_unique<TAttribute>(symbol, intValue, std::string(strValue)));
  std::unique_ptr<TAttribute> attribute = std::move(spare_.back());
  spare_.pop_back();
  attribute->Symbol = symbol;
  attribute->IntValue = intValue;
  attribute->StrValue.assign(strValue);  // keeps the string's buffer
  return Add(std::move(attribute));
}

void TAttributeList::Clear() {
  for (auto& attribute : Items()) spare_.push_back(std::move(attribute));
  Items().clear();
}

void TUrlTarget::Assign(const std::string* url, const std::string* target) {
  if (url) Url = *url;
  if (target) Target = *target;
}

void TUrlTarget::Clear() {
  Url.clear();
  Target.clear();
}

std::string TrimBlanks(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && static_cast<unsigned char>(s[end - 1]) <= 32) --end;
  size_t start = 0;
  while (start < end && static_cast<unsigned char>(s[start]) <= 32) ++start;
  return std::string(s.substr(start, end - start));
}

std::string UpperTrimmed(std::string_view s) {
  std::string text = TrimBlanks(s);
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

std::string LowerCut(std::string_view text, size_t length) {
  std::string s(text.substr(0, length));
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void ReplaceAll(std::string& s, char from, char to) {
  for (char& c : s)
    if (c == from) c = to;
}

}  // namespace

void DecodePercentEscapes(std::string& s) {
  // Each step decodes the first "%" of the text as it then stands, which may
  // be a "%" that the step before produced ("%2541" gives "A"). Positions
  // are 0-based: an escape in the first position, or one that lacks its two
  // digits, ends decoding. One pass: the text as it stands is always
  // `out` + (a pending "%") + the bytes of s from `next` on.
  std::string out;
  out.reserve(s.size());
  size_t next = 0;
  bool decodedPercent = false;
  for (;;) {
    if (!decodedPercent) {
      const size_t percent = s.find('%', next);
      if (percent == std::string::npos) break;
      out.append(s, next, percent - next);
      next = percent + 1;
    }
    // The first "%" stands at out.size(), its two digits at s[next], s[next + 1].
    const int high = next + 2 <= s.size() ? HexDigit(s[next]) : -1;
    const int low = next + 2 <= s.size() ? HexDigit(s[next + 1]) : -1;
    if (out.empty() || high < 0 || low < 0) {
      out += '%';
      break;
    }
    const char decoded = static_cast<char>(high * 16 + low);
    next += 2;
    decodedPercent = decoded == '%';
    if (!decodedPercent) out += decoded;
  }
  out.append(s, std::min(next, s.size()));
  s = std::move(out);
}

std::string UrlToFilePath(std::string s) {
  DecodePercentEscapes(s);
  if (s.find('/') == std::string::npos) return s;
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  if (size_t at = s.find("file:///"); at != std::string::npos)
    s.erase(at, 8);
  else if (size_t at7 = s.find("file://"); at7 != std::string::npos)
    s.erase(at7, 7);
  ReplaceAll(s, '|', ':');
  ReplaceAll(s, '/', '\\');
  return s;
}

std::string ResolveServerPath(std::string_view reference, std::string_view serverRoot) {
  std::string r = UrlToFilePath(std::string(reference));
  if (!r.empty() && r[0] == '\\') return std::string(serverRoot) + r;
  return r;
}

void WrapTextInRect(platform::TCanvas& canvas, int left, int top, int right, int bottom,
                    std::string text) {
  const int width = right - left;
  const int height = canvas.TextHeight("A");
  canvas.SetTextAlign(0);
  std::string line;
  int y = top;
  const platform::TRect box{left, top, right, bottom};
  while (!text.empty() && bottom >= y + height) {
    text = TrimBlanks(text);
    const size_t blank = text.find(' ');
    std::string word;
    if (blank == std::string::npos) {
      word = text;
      text.clear();
    } else {
      word = text.substr(0, blank);
      text.erase(0, blank + 1);
    }
    if (canvas.TextWidth(line + word) > width) {
      if (!line.empty()) {
        canvas.TextRect(box, left, y, line);
        y += height;
      }
      line = word + " ";
    } else {
      line += word + " ";
    }
  }
  if (!line.empty() && bottom >= y + height) canvas.TextRect(box, left, y, line);
}

int TextExtentWidth(const platform::TCanvas& canvas, const char* characters, int count) {
  if (count <= 0) return 0;
  return canvas.GetTextExtentPoint32(std::string_view(characters, static_cast<size_t>(count))).cx;
}

void WriteLine(std::string& sink, const char* bytes, int count) {
  if (count > 0) sink.append(bytes, static_cast<size_t>(count));
  sink += "\r\n";
}

}  // namespace base
