// Numbers to and from text in bounded buffers.
//
// Every size is in characters and includes the terminator. Writers return the
// buffer they were given: a null buffer is returned unchanged, size 0 writes
// nothing, size 1 writes an empty string, and anything longer is cut to fit and
// always terminated (HexToStr's "no terminator" flag aside). Readers take a text
// and a length limit (kNoLimit reads up to the terminating zero) and return the
// caller's default for null, empty or malformed text and for values that do not
// fit the result type.
//
// Each function is a template over the character type; the W (char16_t) and A
// (char) names below are the ones the game calls.
#pragma once

#include "base/Types.h"

namespace kis {

// Length limit meaning "up to the terminating zero".
constexpr u32 kNoLimit = 0xFFFFFFFFu;

// HexToStr flags.
constexpr u32 kHexLowerCase = 1;    // "0123456789abcdef" instead of upper case
constexpr u32 kHexNoTerminator = 2; // leave the character after the digits alone
constexpr u32 kHexMinimal = 4;      // as few digits as the value needs (at least 1)
constexpr u32 kHexAppend = 8;       // write after the existing text

template <class C> C* IntToStr(C* buf, u32 size, i32 value);
template <class C> C* IntToStrEx(C* buf, u32 size, i32 value, bool append);
template <class C> C* UIntToStr(C* buf, u32 size, u32 value);
// Leading zeros up to min(digits, 9) digits.
template <class C> C* UIntToStrPad(C* buf, u32 size, u32 value, u32 digits);
// Leading zeros up to min(digits, 10) digits, the minus sign before them.
template <class C> C* IntToStrPad(C* buf, u32 size, i32 value, u32 digits);
// `digits` hexadecimal digits (at most 16, zero-padded) after an optional
// prefix; stops writing when fewer than 2 characters of room are left.
template <class C> C* HexToStr(C* buf, u32 size, u32 value, u32 digits, const C* prefix, u32 flags);
// "left, top, width, height", or "left, top, right, bottom" when absolute.
template <class C> C* RectToStr(C* buf, u32 size, i32 left, i32 top, i32 right, i32 bottom, bool absolute);
// `count` copies of ch from index start (negative: the end of the existing
// text), terminated after them; nothing when start is at or past size - 1.
template <class C> C* FillChar(C* buf, u32 size, C ch, u32 count, i32 start);
// Inserts n characters of text at pos, cutting what no longer fits; pos equal to
// the length appends, pos beyond it (or size below 2) does nothing.
template <class C> C* StrInsert(C* buf, u32 size, u32 pos, const C* text, u32 n);

// Optional "-" and decimal digits. A non-digit ends the number only when it is
// one of `terminators`; consumed receives the characters read.
template <class C> i32 StrToIntEx(const C* text, u32 len, i32 def, const C* terminators, u32* consumed);
template <class C> i32 StrToInt(const C* text, u32 len, i32 def);
// Unsigned twin; a leading "-" gives the default when refuseMinus is set and
// otherwise negates modulo 2^32.
template <class C>
u32 StrToUIntEx(const C* text, u32 len, u32 def, bool refuseMinus, const C* terminators, u32* consumed);
// Hexadecimal after an optional "$", "#" or "0x" (allowPrefix). A character
// that is not a digit gives the default when strict, else the value so far.
template <class C> u32 HexStrToInt(const C* text, u32 len, u32 def, bool allowPrefix, bool strict);
template <class C> u64 HexStrToInt64(const C* text, u32 len, u64 def, bool allowPrefix, bool strict);
// Optional "-", digits, "." and at most 6 counted fraction digits, then an
// optional exponent that must be "e"/"E", a sign and at most 100.
template <class C> float StrToFloat(const C* text, u32 len, float def, const C* terminators, u32* consumed);

// ---- Wide and 8-bit names ----

inline wchar* IntToStrW(wchar* b, u32 s, i32 v) { return IntToStr(b, s, v); }
inline char* IntToStrA(char* b, u32 s, i32 v) { return IntToStr(b, s, v); }
inline wchar* IntToStrExW(wchar* b, u32 s, i32 v, bool append) { return IntToStrEx(b, s, v, append); }
inline wchar* UIntToStrW(wchar* b, u32 s, u32 v) { return UIntToStr(b, s, v); }
inline wchar* UIntToStrPadW(wchar* b, u32 s, u32 v, u32 digits) { return UIntToStrPad(b, s, v, digits); }
inline char* UIntToStrPadA(char* b, u32 s, u32 v, u32 digits) { return UIntToStrPad(b, s, v, digits); }
inline wchar* IntToStrPadW(wchar* b, u32 s, i32 v, u32 digits) { return IntToStrPad(b, s, v, digits); }
inline wchar* HexToStrW(wchar* b, u32 s, u32 v, u32 digits, const wchar* prefix, u32 flags) {
  return HexToStr(b, s, v, digits, prefix, flags);
}
inline wchar* RectToStrW(wchar* b, u32 s, i32 l, i32 t, i32 r, i32 bt, bool absolute) {
  return RectToStr(b, s, l, t, r, bt, absolute);
}
inline wchar* FillCharW(wchar* b, u32 s, wchar ch, u32 count, i32 start) { return FillChar(b, s, ch, count, start); }
inline char* FillCharA(char* b, u32 s, char ch, u32 count, i32 start) { return FillChar(b, s, ch, count, start); }
inline wchar* StrInsertW(wchar* b, u32 s, u32 pos, const wchar* text, u32 n) { return StrInsert(b, s, pos, text, n); }

inline i32 StrToIntW(const wchar* t, u32 len, i32 def) { return StrToInt(t, len, def); }
inline i32 StrToIntA(const char* t, u32 len, i32 def) { return StrToInt(t, len, def); }
inline i32 StrToIntExW(const wchar* t, u32 len, i32 def, const wchar* terms, u32* consumed) {
  return StrToIntEx(t, len, def, terms, consumed);
}
inline i32 StrToIntExA(const char* t, u32 len, i32 def, const char* terms, u32* consumed) {
  return StrToIntEx(t, len, def, terms, consumed);
}
inline u32 StrToUIntExW(const wchar* t, u32 len, u32 def, bool refuseMinus, const wchar* terms, u32* consumed) {
  return StrToUIntEx(t, len, def, refuseMinus, terms, consumed);
}
inline u32 StrToUIntExA(const char* t, u32 len, u32 def, bool refuseMinus, const char* terms, u32* consumed) {
  return StrToUIntEx(t, len, def, refuseMinus, terms, consumed);
}
inline u32 HexStrToIntW(const wchar* t, u32 len, u32 def, bool allowPrefix, bool strict) {
  return HexStrToInt(t, len, def, allowPrefix, strict);
}
inline u32 HexStrToIntA(const char* t, u32 len, u32 def, bool allowPrefix, bool strict) {
  return HexStrToInt(t, len, def, allowPrefix, strict);
}
inline u64 HexStrToInt64W(const wchar* t, u32 len, u64 def, bool allowPrefix, bool strict) {
  return HexStrToInt64(t, len, def, allowPrefix, strict);
}
inline u64 HexStrToInt64A(const char* t, u32 len, u64 def, bool allowPrefix, bool strict) {
  return HexStrToInt64(t, len, def, allowPrefix, strict);
}
inline float StrToFloatW(const wchar* t, u32 len, float def, const wchar* terms, u32* consumed) {
  return StrToFloat(t, len, def, terms, consumed);
}
inline float StrToFloatA(const char* t, u32 len, float def, const char* terms, u32* consumed) {
  return StrToFloat(t, len, def, terms, consumed);
}

}  // namespace kis
