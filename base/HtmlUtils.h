#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Extent.h"
#include "base/Symbol.h"

namespace platform {
class TCanvas;
}

namespace base {

// A list that owns its items and frees them, first to last, when it is
// cleared or destroyed.
template <typename T>
class TFreeList {
 public:
  TFreeList() = default;
  TFreeList(const TFreeList&) = delete;
  TFreeList& operator=(const TFreeList&) = delete;
  TFreeList(TFreeList&&) noexcept = default;
  TFreeList& operator=(TFreeList&&) noexcept = default;
  ~TFreeList() { Clear(); }

  T* Add(std::unique_ptr<T> item) {
    items_.push_back(std::move(item));
    return items_.back().get();
  }
  T* Insert(int index, std::unique_ptr<T> item) {
    ++generation_;
    return items_.insert(items_.begin() + index, std::move(item))->get();
  }
  void Delete(int index) {
    ++generation_;
    items_.erase(items_.begin() + index);
  }
  void Clear() {
    ++generation_;
    for (auto& item : items_) item.reset();
    items_.clear();
  }
  // Changes whenever items may have been removed or replaced; appending
  // keeps it. An index kept beside the list rebuilds itself when it
  // changes and otherwise only takes in the items appended since.
  uint64_t Generation() const { return generation_; }

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  T* operator[](int index) const { return items_[static_cast<size_t>(index)].get(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 protected:
  std::vector<std::unique_ptr<T>>& Items() {
    ++generation_;
    return items_;
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
  uint64_t generation_ = 0;
};

// One attribute of a tag, as the scanner read it; nobody changes it once it
// is in a list.
struct TAttribute {
  TAttribute(base::Symbol symbol, int32_t intValue, std::string strValue)
      : Symbol(symbol), IntValue(intValue), StrValue(std::move(strValue)) {}
  base::Symbol Symbol;
  int32_t IntValue;
  std::string StrValue;
};

// The attributes of the tag just scanned, in the order they stood;
// duplicates stay. The scanner clears and refills it at nearly every tag,
// so cleared attributes are kept for reuse instead of going back to the
// heap each time.
class TAttributeList : public TFreeList<TAttribute> {
 public:
  // The first attribute with the symbol, or null.
  const TAttribute* Find(Symbol symbol) const;
  // Appends an attribute, reusing a cleared one when there is one.
  const TAttribute* Add(Symbol symbol, int32_t intValue, std::string_view strValue);
  using TFreeList<TAttribute>::Add;
  void Clear();

 private:
  std::vector<std::unique_ptr<TAttribute>> spare_;
};

// Horizontal alignment of text sections, rules, tables and cells; jtNone
// where "not given" is a value of its own (a row without ALIGN).
enum TJustify : uint8_t { jtNone = 0, jtLeft = 1, jtCentre = 2, jtRight = 3 };

// The link that text belongs to; an empty Url means no link.
struct TUrlTarget {
  std::string Url;
  std::string Target;
  // A given text replaces its string; a null leaves it unchanged.
  void Assign(const std::string* url, const std::string* target);
  void Clear();
};

inline int IntMin(int a, int b) {
  return a < b ? a : b;
}
inline int IntMax(int a, int b) {
  return a > b ? a : b;
}

// Removes every character with code 0..32 from the end, then from the start.
std::string TrimBlanks(std::string_view s);

// TrimBlanks with a..z upper-cased: names compared regardless of case
// (picture names in the cache, alignments, map names).
std::string UpperTrimmed(std::string_view s);

// The first `length` bytes of the text with A..Z lower-cased, as attribute
// values are compared.
std::string LowerCut(std::string_view text, size_t length);

// Replaces %XX escapes, one at a time from the first "%", until one is not
// two hexadecimal digits, stands first, or is too close to the end.
void DecodePercentEscapes(std::string& s);

// A URL-like reference as a Windows path: escapes decoded; when it has a
// "/", lower-cased, "file:///" (or "file://") dropped, "|" made ":" and "/"
// made "\".
std::string UrlToFilePath(std::string s);

// UrlToFilePath, with the server root in front of a rooted result.
std::string ResolveServerPath(std::string_view reference, std::string_view serverRoot);

// Draws text into the box, one line per text row, breaking at blanks; rows
// that would end below the box are not drawn, words wider than the box are
// clipped on a line of their own.
void WrapTextInRect(platform::TCanvas& canvas, int left, int top, int right, int bottom,
                    std::string text);

// The width the platform measures for `count` characters.
int TextExtentWidth(const platform::TCanvas& canvas, const char* characters, int count);

// Writes the bytes and then CR LF to the sink.
void WriteLine(std::string& sink, const char* bytes, int count);

}  // namespace base
