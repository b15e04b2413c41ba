// Bounded, null-safe string functions used everywhere instead of the C
// library's own. Every function is one template over the character type; the
// W names take UTF-16 text (char16_t) and the A names 8-bit text (char).
//
// Contract: a null pointer reads as an empty text; buffer sizes ("capacity")
// count characters including the terminator; bounded copies never write past
// the capacity and always terminate when the capacity is at least 1; scans
// never read past a text's terminator.
//
// Heap strings (StrDup*, and the joined text of WideStrings::GetText) come
// from std::malloc and are released with kis::StrFree.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "base/Types.h"
#include "platform/encoding/Ascii.h"

namespace kis {

// Releases a heap string made by this library (null is fine).
inline void StrFree(void* text) { std::free(text); }

template <class C>
u32 StrLen(const C* text) {
  if (!text) return 0;
  u32 n = 0;
  while (text[n]) ++n;
  return n;
}

// Length + 1; 0 for null.
template <class C>
u32 StrSize(const C* text) {
  return text ? StrLen(text) + 1 : 0;
}

// Copies at most min(capacity - 1, n) characters of src and terminates.
template <class C>
C* StrCopyN(C* dest, u32 capacity, const C* src, u32 n) {
  if (!dest || capacity == 0) return dest;
  u32 i = 0;
  if (src) {
    const u32 limit = capacity - 1 < n ? capacity - 1 : n;
    for (; i < limit && src[i]; ++i) dest[i] = src[i];
  }
  dest[i] = 0;
  return dest;
}

template <class C>
C* StrCopy(C* dest, u32 capacity, const C* src) {
  return StrCopyN(dest, capacity, src, 0xFFFFFFFFu);
}

// Appends at most n characters of src within the capacity. When the existing
// text already fills the capacity (or has no terminator inside it) nothing is
// appended and the last slot is made the terminator.
template <class C>
C* StrCatN(C* dest, u32 capacity, const C* src, u32 n) {
  if (!dest || capacity == 0) return dest;
  u32 used = 0;
  while (used < capacity && dest[used]) ++used;
  if (used >= capacity - 1) {
    dest[capacity - 1] = 0;
    return dest;
  }
  StrCopyN(dest + used, capacity - used, src, n);
  return dest;
}

template <class C>
C* StrCat(C* dest, u32 capacity, const C* src) {
  return StrCatN(dest, capacity, src, 0xFFFFFFFFu);
}

// Heap copy of at most n characters. A null or empty result gives null unless
// keepEmpty is set; null when memory runs out.
template <class C>
C* StrDupN(const C* text, u32 n, bool keepEmpty) {
  u32 len = 0;
  if (text)
    while (len < n && text[len]) ++len;
  if (len == 0 && !keepEmpty) return nullptr;
  C* copy = static_cast<C*>(std::malloc((static_cast<size_t>(len) + 1) * sizeof(C)));
  if (!copy) return nullptr;
  if (len) std::memcpy(copy, text, len * sizeof(C));
  copy[len] = 0;
  return copy;
}

template <class C>
C* StrDup(const C* text, bool keepEmpty) {
  return StrDupN(text, 0xFFFFFFFFu, keepEmpty);
}

// Null and empty texts are equal; otherwise an ordinal comparison of the
// character codes (as unsigned), optionally ignoring the case of A-Z, over at
// most n characters. Returns -1, 0 or 1.
template <class C>
int StrCompareN(const C* a, const C* b, u32 n, bool ignoreCase) {
  if (!b) return (a && a[0]) ? 1 : 0;
  if (!a) return b[0] ? -1 : 0;
  using U = std::make_unsigned_t<C>;
  for (u32 i = 0; i < n; ++i) {
    U x = static_cast<U>(a[i]);
    U y = static_cast<U>(b[i]);
    if (ignoreCase) {
      x = plat::AsciiToLower(x);
      y = plat::AsciiToLower(y);
    }
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) return 0;
  }
  return 0;
}

template <class C>
int StrCompare(const C* a, const C* b) {
  return StrCompareN(a, b, 0xFFFFFFFFu, false);
}

template <class C>
int StrICompare(const C* a, const C* b) {
  return StrCompareN(a, b, 0xFFFFFFFFu, true);
}

// n of 0 compares equal.
template <class C>
int StrICompareN(const C* a, const C* b, u32 n) {
  if (n == 0) return 0;
  return StrCompareN(a, b, n, true);
}

// Index of c within the first n characters (stopping at the terminator);
// -1 when absent, for null or for n of 0.
template <class C>
i32 StrFindCharN(const C* text, u32 n, C c) {
  if (!text) return -1;
  for (u32 i = 0; i < n && text[i]; ++i)
    if (text[i] == c) return static_cast<i32>(i);
  return -1;
}

template <class C>
i32 StrFindChar(const C* text, C c) {
  return StrFindCharN(text, 0x7FFFFFFFu, c);
}

// Pointer to the first c within the first n characters; null when absent.
template <class C>
const C* StrScanChar(const C* text, u32 n, C c) {
  const i32 at = StrFindCharN(text, n, c);
  return at < 0 ? nullptr : text + at;
}

template <class C>
C* StrScanChar(C* text, u32 n, C c) {
  const i32 at = StrFindCharN(text, n, c);
  return at < 0 ? nullptr : text + at;
}

// Index of the first occurrence of the first patternLength characters of
// pattern; -1 when absent. An empty pattern is found at 0.
template <class C>
i32 StrFind(const C* text, const C* pattern, u32 patternLength) {
  if (!text) return -1;
  if (!pattern || patternLength == 0) return 0;
  for (u32 i = 0; text[i]; ++i) {
    u32 k = 0;
    while (k < patternLength && text[i + k] && text[i + k] == pattern[k]) ++k;
    if (k == patternLength) return static_cast<i32>(i);
    if (!text[i + k]) return -1;  // the rest is shorter than the pattern
  }
  return -1;
}

// UTF-8 of UTF-16 text, for messages leaving the game (a lone surrogate
// becomes U+FFFD).
std::string WideToUtf8(std::u16string_view text);

// The wide (W) and 8-bit (A) names of the functions above.
u32 StrLenW(const wchar* text);
u32 StrLenA(const char* text);
u32 StrSizeW(const wchar* text);
u32 StrSizeA(const char* text);
wchar* StrCopyW(wchar* dest, u32 capacity, const wchar* src);
char* StrCopyA(char* dest, u32 capacity, const char* src);
wchar* StrCopyNW(wchar* dest, u32 capacity, const wchar* src, u32 n);
char* StrCopyLenA(char* dest, u32 capacity, const char* src, u32 n);
wchar* StrCatW(wchar* dest, u32 capacity, const wchar* src);
wchar* StrCatNW(wchar* dest, u32 capacity, const wchar* src, u32 n);
wchar* StrDupW(const wchar* text, bool keepEmpty = false);
char* StrDupA(const char* text, bool keepEmpty = false);
wchar* StrDupNW(const wchar* text, u32 n, bool keepEmpty = false);
char* StrDupNA(const char* text, u32 n, bool keepEmpty = false);
int StrCompareW(const wchar* a, const wchar* b);
int StrCompareA(const char* a, const char* b);
int StrICompareW(const wchar* a, const wchar* b);
int StrICompareA(const char* a, const char* b);
int StrICompareNW(const wchar* a, const wchar* b, u32 n);
int StrICompareNA(const char* a, const char* b, u32 n);
i32 StrFindCharW(const wchar* text, wchar c);
i32 StrFindCharA(const char* text, char c);
i32 StrFindCharNW(const wchar* text, u32 n, wchar c);
const wchar* StrScanCharW(const wchar* text, u32 n, wchar c);
const char* StrScanCharA(const char* text, u32 n, char c);
i32 StrFindW(const wchar* text, const wchar* pattern, u32 patternLength);

// Space, line feed and carriage return.
constexpr bool IsBlankChar(u32 c) { return c == u' ' || c == u'\n' || c == u'\r'; }

inline void SwapU16(u16& a, u16& b) {
  const u16 t = a;
  a = b;
  b = t;
}

inline void SwapU32(u32& a, u32& b) {
  const u32 t = a;
  a = b;
  b = t;
}

constexpr u64 MakeInt64(u32 low, u32 high) { return (static_cast<u64>(high) << 32) | low; }

}  // namespace kis
