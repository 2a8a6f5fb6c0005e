#pragma once

#include <concepts>
#include <cstdint>
#include <type_traits>

namespace base {

// Pixel extents that a page decides (a rule's WIDTH, the width of a word,
// the height of a document) stop here: nothing beyond can be shown.
inline constexpr int kMaxExtent = 1 << 29;

// The integer types an extent mixes with (bool is no number of pixels).
template <typename T>
concept Whole = std::integral<T> && !std::same_as<T, bool>;

// A position or size in layout and drawing. A page may give any number for
// a width or a height, and layout adds them up over cells, rows and lines;
// so every sum, difference and product of an extent is worked out in 64
// bits and saturates at +-kMaxExtent instead of overflowing. An extent reads
// as an int (what the platform draws with), and an int read from one is
// within that range, so a few of them added as ints cannot overflow either;
// whatever accumulates is kept as an extent.
class TExtent {
 public:
  constexpr TExtent() = default;
  template <Whole T>
  constexpr TExtent(T value) : value_(Clamp(value)) {}

  constexpr operator int() const { return value_; }

  constexpr TExtent& operator+=(TExtent other) { return *this = *this + other; }
  constexpr TExtent& operator-=(TExtent other) { return *this = *this - other; }
  template <Whole T>
  constexpr TExtent& operator+=(T other) {
    return *this = *this + other;
  }
  template <Whole T>
  constexpr TExtent& operator-=(T other) {
    return *this = *this - other;
  }
  constexpr TExtent& operator++() { return *this += 1; }
  constexpr TExtent& operator--() { return *this -= 1; }

  constexpr TExtent operator-() const { return TExtent(-int64_t{value_}); }

  friend constexpr TExtent operator+(TExtent a, TExtent b) {
    return TExtent(int64_t{a.value_} + b.value_);
  }
  friend constexpr TExtent operator-(TExtent a, TExtent b) {
    return TExtent(int64_t{a.value_} - b.value_);
  }
  friend constexpr TExtent operator*(TExtent a, TExtent b) {
    return TExtent(int64_t{a.value_} * b.value_);
  }
  // A quotient is no larger than the dividend; it stays an extent so that
  // it mixes with extents (in a ?: as well) without a cast.
  friend constexpr TExtent operator/(TExtent a, TExtent b) { return TExtent(a.value_ / b.value_); }
  template <Whole T>
  friend constexpr TExtent operator/(TExtent a, T b) {
    return TExtent(int64_t{a.value_} / b);
  }
  template <Whole T>
  friend constexpr TExtent operator+(TExtent a, T b) {
    return a + TExtent(b);
  }
  template <Whole T>
  friend constexpr TExtent operator+(T a, TExtent b) {
    return TExtent(a) + b;
  }
  template <Whole T>
  friend constexpr TExtent operator-(TExtent a, T b) {
    return a - TExtent(b);
  }
  template <Whole T>
  friend constexpr TExtent operator-(T a, TExtent b) {
    return TExtent(a) - b;
  }
  template <Whole T>
  friend constexpr TExtent operator*(TExtent a, T b) {
    return a * TExtent(b);
  }
  template <Whole T>
  friend constexpr TExtent operator*(T a, TExtent b) {
    return TExtent(a) * b;
  }

 private:
  template <Whole T>
  static constexpr int32_t Clamp(T value) {
    if constexpr (std::is_signed_v<T>) {
      if (value < -kMaxExtent) return -kMaxExtent;
      if (value > kMaxExtent) return kMaxExtent;
    } else {
      if (value > static_cast<std::make_unsigned_t<T>>(kMaxExtent)) return kMaxExtent;
    }
    return static_cast<int32_t>(value);
  }

  int32_t value_ = 0;
};

}  // namespace base
