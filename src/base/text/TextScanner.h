// Format-driven text scanners: turn a value such as '(10, 20, 0x1F), (11, 21,
// #20)' into typed values, driven by a format such as "i4,i4,x4".
//
// Format: comma-separated fields, each a type letter (i1 i2 i4 i8 l u1 u2 u4
// u8 x1 x2 x4 x8 b1 b4 f W C c S Z s) with an optional "[N]"; a "{" before a
// field opens the optional tail, whose "}" ends the format. Records may be
// parenthesised and are separated by ",". Every scan keeps its own state, so
// scans and value copies may nest and interleave freely.
//
// Modes: count (nothing stored), array (records of recordSize bytes; 2-byte
// fields at even offsets, 4- and 8-byte fields at multiples of 4) and
// pointers. In pointer mode the destinations are typed ScanArg records built
// by MakeScanArgs, and a destination whose element size, kind (float or not)
// or capacity does not suit its field refuses the scan with result 2: an "i4"
// cannot be written into a 16-bit variable, nor a "Z[260]" into a 100-character
// buffer.
//
// Results: 0 success, 1 the text does not match, 2 the format or the
// arguments are unusable. Values stored before a failure stay stored.
#pragma once

#include <array>
#include <type_traits>

#include "base/Types.h"

namespace kis {

constexpr u32 kScanOk = 0;
constexpr u32 kScanMismatch = 1;
constexpr u32 kScanBadFormat = 2;

constexpr u32 kScanCount = 0;
constexpr u32 kScanArray = 1;
constexpr u32 kScanPointers = 2;

// One destination of the pointer mode: `capacity` elements of `size` bytes.
struct ScanArg {
  void* ptr = nullptr;
  u32 size = 0;
  u32 capacity = 0;
  bool isFloat = false;
};

// What pointer mode takes as its destination: the fields' destinations in
// format order, repeated for every record.
struct ScanArgList {
  const ScanArg* items = nullptr;
  u32 count = 0;
};

// A pointer to one value, or to a whole array (pass &array for "Z[260]").
template <class T>
ScanArg MakeScanArg(T* p) {
  if constexpr (std::is_array_v<T>) {
    using E = std::remove_all_extents_t<T>;
    static_assert(std::is_arithmetic_v<E>, "scan destinations are numbers or characters");
    return ScanArg{static_cast<void*>(p), static_cast<u32>(sizeof(E)), static_cast<u32>(sizeof(T) / sizeof(E)),
                   std::is_floating_point_v<E>};
  } else {
    static_assert(std::is_arithmetic_v<T>, "scan destinations are numbers or characters");
    return ScanArg{static_cast<void*>(p), static_cast<u32>(sizeof(T)), 1u, std::is_floating_point_v<T>};
  }
}

template <size_t N>
struct ScanArgs {
  std::array<ScanArg, N> items;
  ScanArgList List() const { return ScanArgList{items.data(), static_cast<u32>(N)}; }
};

template <class... T>
ScanArgs<sizeof...(T)> MakeScanArgs(T*... p) {
  return ScanArgs<sizeof...(T)>{{MakeScanArg(p)...}};
}

// destination: null (count), the record array (array) or a const ScanArgList*
// (pointers). codePage converts S and C over wide text, Z, s and W over 8-bit
// text (0 = the ANSI code page). *recordCount is 0 until the scan succeeds.
u32 ScanTextW(const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode, const wchar* text,
              u32 codePage, u32* recordCount);
u32 ScanTextA(const wchar* format, i32 maxRecords, void* destination, u32 recordSize, u32 mode, const char* text,
              u32 codePage, u32* recordCount);

// Pointer mode with typed destinations.
template <class... T>
u32 ScanValuesTypedW(const wchar* format, i32 maxRecords, const wchar* text, u32 codePage, u32* recordCount,
                     T*... values) {
  const auto args = MakeScanArgs(values...);
  const ScanArgList list = args.List();
  return ScanTextW(format, maxRecords, const_cast<ScanArgList*>(&list), 0, kScanPointers, text, codePage,
                   recordCount);
}

// One whole value at the very start of the text, then only blanks or a "//"
// comment: a signed 32-bit decimal, a 32-bit hexadecimal (prefix "0x", "#" or
// "$" optional) and a character (quoted, "U+XXXX" or a hex code of at most two
// digits).
bool ParseIntW(const wchar* text, i32* value);
bool ParseHexW(const wchar* text, u32* value);
bool ParseCharW(const wchar* text, wchar* value, u32 codePage);
bool ParseIntA(const char* text, i32* value);
bool ParseHexA(const char* text, u32* value);
bool ParseCharA(const char* text, wchar* value, u32 codePage);

// True when only blanks remain, or blanks and then "//".
bool IsRestEmptyW(const wchar* text);
bool IsRestEmptyA(const char* text);

}  // namespace kis
