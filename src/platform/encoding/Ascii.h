// ASCII character helpers for every character type: letters and digits, case
// folding, comparison ignoring case, and hexadecimal digits. Only A-Z and a-z
// have a case here; every other code, non-ASCII included, stays as it is and
// compares by its value. A character is taken by its code, so a negative
// `char` is never a letter or digit. Header-only, no state.
#pragma once

#include <string_view>

namespace plat {

template <class C>
constexpr bool IsAsciiUpper(C c) {
  return c >= C('A') && c <= C('Z');
}

template <class C>
constexpr bool IsAsciiLower(C c) {
  return c >= C('a') && c <= C('z');
}

template <class C>
constexpr bool IsAsciiLetter(C c) {
  return IsAsciiUpper(c) || IsAsciiLower(c);
}

template <class C>
constexpr bool IsAsciiDigit(C c) {
  return c >= C('0') && c <= C('9');
}

// A-Z to a-z; anything else unchanged.
template <class C>
constexpr C AsciiToLower(C c) {
  return IsAsciiUpper(c) ? static_cast<C>(c - C('A') + C('a')) : c;
}

// a-z to A-Z; anything else unchanged.
template <class C>
constexpr C AsciiToUpper(C c) {
  return IsAsciiLower(c) ? static_cast<C>(c - C('a') + C('A')) : c;
}

// The value of a hexadecimal digit (0-9, a-f, A-F); -1 for any other code.
template <class C>
constexpr int HexDigitValue(C c) {
  if (IsAsciiDigit(c)) return static_cast<int>(c - C('0'));
  if (c >= C('a') && c <= C('f')) return static_cast<int>(c - C('a')) + 10;
  if (c >= C('A') && c <= C('F')) return static_cast<int>(c - C('A')) + 10;
  return -1;
}

// Same length and the same characters once A-Z are folded.
template <class C>
constexpr bool AsciiEqualNoCase(std::basic_string_view<C> a, std::basic_string_view<C> b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiToLower(a[i]) != AsciiToLower(b[i])) return false;
  return true;
}
constexpr bool AsciiEqualNoCase(std::string_view a, std::string_view b) { return AsciiEqualNoCase<char>(a, b); }
constexpr bool AsciiEqualNoCase(std::u16string_view a, std::u16string_view b) {
  return AsciiEqualNoCase<char16_t>(a, b);
}

}  // namespace plat
