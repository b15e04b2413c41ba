// Value lists: one text of separated values ("800, 600") turned into typed
// variables by a short format ("i4,i4").
//
// Format tokens, split at ",", case ignored, exact names first and then the
// first entry whose leading characters agree ("i" is "i1"):
//   i1 i2 i4      signed 8/16/32-bit decimal      c   = i1
//   ui1 ui2 ui4   unsigned 8/16/32-bit decimal    b   = ui1, b4 = i4
//   x1 x2 x4      8/16/32-bit hexadecimal ("$", "#" or "0x" allowed)
//   f             32-bit float                    p   skips one variable, reads no value
//   s             text up to the buffer's size    sN  text buffer of N characters (N <= 127)
// Anything else consumes a value and no variable.
//
// The variables are passed as pointers and checked before anything is stored:
// a number token needs a number of exactly its width (a float for "f"), a text
// token a character buffer of the scanner's character type whose capacity is
// known (a char array, or ScanText(pointer, capacity)) and, for "sN", at least
// N characters. A mismatch refuses the whole call (-1). A null pointer is
// accepted anywhere and skips the store.
//
// Scanning: blanks (spaces, tabs) around each value are ignored; in every row
// the first `skip` values are passed over, then the tokens take one value
// each; the tokens repeat row after row, for at most `count` rows (negative:
// no limit; 0: nothing). A value that does not convert leaves its variable as
// it was. Scanning ends at the end of the text or when the variables run out.
// The result is the number of variables stored.
#pragma once

#include <cstddef>
#include <type_traits>

#include "base/Types.h"

namespace kis {

// One destination of the value-list scanner.
struct ValueArg {
  enum class Kind : u8 { Null, Integer, Float, Text8, Text16 };
  void* p = nullptr;
  u32 size = 0;      // bytes of one number
  u32 capacity = 0;  // characters of a text buffer, terminator included; 0 when unknown
  Kind kind = Kind::Null;
};

// A text buffer of a size known only at run time.
inline ValueArg ScanText(char* buffer, u32 capacity) { return {buffer, 1, capacity, ValueArg::Kind::Text8}; }
inline ValueArg ScanText(wchar* buffer, u32 capacity) { return {buffer, 2, capacity, ValueArg::Kind::Text16}; }

// A pointer to one number, or to text of unknown capacity.
template <class T>
ValueArg PointerValueArg(T* p) {
  static_assert(std::is_arithmetic_v<T> && !std::is_const_v<T>, "value-list variables are numbers or text");
  static_assert(!std::is_same_v<T, bool>, "a bool cannot take a number; use u8 or i32");
  if (!p) return {};
  if constexpr (std::is_same_v<T, char>) return {p, 1, 0, ValueArg::Kind::Text8};
  else if constexpr (std::is_same_v<T, wchar>) return {p, 2, 0, ValueArg::Kind::Text16};
  else if constexpr (std::is_floating_point_v<T>) return {p, sizeof(T), 0, ValueArg::Kind::Float};
  else return {p, sizeof(T), 0, ValueArg::Kind::Integer};
}

// Builds the record of one scanner argument: a ValueArg as it is, null, a
// character array (with its capacity), another array (its first element) or
// a pointer.
template <class A>
ValueArg MakeValueArg(A&& arg) {
  using T = std::remove_cvref_t<A>;
  if constexpr (std::is_same_v<T, ValueArg>) {
    return arg;
  } else if constexpr (std::is_null_pointer_v<T>) {
    return {};
  } else if constexpr (std::is_array_v<T>) {
    using E = std::remove_extent_t<T>;
    if constexpr (std::is_same_v<E, char> || std::is_same_v<E, wchar>)
      return ScanText(arg, static_cast<u32>(std::extent_v<T>));
    else
      return PointerValueArg(&arg[0]);
  } else {
    static_assert(std::is_pointer_v<T>, "value-list variables are passed by pointer");
    return PointerValueArg(arg);
  }
}

template <class Ch>
i32 ScanValuesList(const Ch* text, const Ch* format, Ch separator, i32 skip, i32 count, const ValueArg* args,
                   size_t argCount);

template <class Ch, class... Args>
i32 ScanValues(const Ch* text, const Ch* format, Ch separator, i32 skip, i32 count, Args&&... args) {
  const ValueArg list[sizeof...(Args) + 1] = {MakeValueArg(args)..., ValueArg{}};
  return ScanValuesList<Ch>(text, format, separator, skip, count, list, sizeof...(Args));
}

template <class... Args>
i32 ScanValuesW(const wchar* text, const wchar* format, wchar separator, i32 skip, i32 count, Args&&... args) {
  return ScanValues<wchar>(text, format, separator, skip, count, args...);
}

template <class... Args>
i32 ScanValuesA(const char* text, const char* format, char separator, i32 skip, i32 count, Args&&... args) {
  return ScanValues<char>(text, format, separator, skip, count, args...);
}

}  // namespace kis
