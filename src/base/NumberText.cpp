#include "base/NumberText.h"
#include "base/FormatSink.h"
#include "platform/encoding/Ascii.h"

#include <cmath>
#include <string>
#include <type_traits>

namespace kis {
namespace {

// Length of the text in a buffer of `size` characters; a buffer with no
// terminator counts as full (size - 1) so nothing is read past it.
template <class C> u32 BoundedLength(const C* buf, u32 size) {
  u32 n = 0;
  while (n + 1 < size && buf[n]) ++n;
  return n;
}


// Common guard of every writer: true when there is room for at least the
// terminator. Size 1 is answered here with an empty string.
template <class C> bool Writable(C* buf, u32 size) {
  if (!buf || size == 0) return false;
  if (size == 1) {
    buf[0] = 0;
    return false;
  }
  return true;
}

// A text with a length limit that also ends at its terminating zero.
template <class C> struct Reader {
  const C* text;
  u32 len;
  u32 pos = 0;
  // The character `ahead` places on, or 0 past the limit or the terminator.
  u32 Peek(u32 ahead = 0) const {
    for (u32 k = 0;; ++k) {
      const u64 i = u64{pos} + k;
      if (i >= len) return 0;
      const u32 c = static_cast<u32>(static_cast<std::make_unsigned_t<C>>(text[i]));
      if (c == 0 || k == ahead) return c;
    }
  }
};

template <class C> bool InSet(const C* set, u32 c) {
  if (!set || !c) return false;
  for (; *set; ++set)
    if (static_cast<u32>(static_cast<std::make_unsigned_t<C>>(*set)) == c) return true;
  return false;
}

// Shared decimal reader: "-" is accepted when negativeLimit is non-zero (the
// largest magnitude allowed after it); positiveLimit bounds the rest. Returns
// false on malformed text or a magnitude beyond its limit.
template <class C>
bool ReadDecimal(const C* text, u32 len, const C* terminators, u32* consumed, u64 positiveLimit,
                 u64 negativeLimit, bool& negative, u64& magnitude) {
  negative = false;
  magnitude = 0;
  if (consumed) *consumed = 0;
  if (!text || !text[0] || len == 0) return false;
  Reader<C> r{text, len};
  if (r.Peek() == '-') {
    negative = true;
    ++r.pos;
  }
  const u64 limit = negative ? negativeLimit : positiveLimit;
  u32 digits = 0;
  bool ok = true;
  for (u32 c = r.Peek(); plat::IsAsciiDigit(c); c = r.Peek()) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) ok = false;  // keep reading so consumed covers the number
    if (magnitude > 0xFFFFFFFFFFull) magnitude = 0xFFFFFFFFFFull;
    ++digits;
    ++r.pos;
  }
  if (consumed) *consumed = r.pos;
  if (!ok || digits == 0) return false;
  const u32 stop = r.Peek();
  return stop == 0 || InSet(terminators, stop);
}

template <class T, class C> T HexRead(const C* text, u32 len, T def, bool allowPrefix, bool strict) {
  if (!text || !text[0] || len == 0) return def;
  Reader<C> r{text, len};
  if (allowPrefix) {
    const u32 c = r.Peek();
    if (c == '$' || c == '#') {
      r.pos = 1;
    } else if (c == '0' && len >= 2 && (r.Peek(1) == 'x' || r.Peek(1) == 'X')) {
      r.pos = 2;
    }
    if (r.pos > 0 && r.Peek() == 0) return def;  // a prefix with nothing after it
  }
  constexpr u32 kMaxDigits = sizeof(T) * 2;
  T value = 0;
  u32 digits = 0;
  for (;;) {
    const u32 c = r.Peek();
    if (c == 0) return digits ? value : def;
    const int d = plat::HexDigitValue(c);
    // Lenient reading stops at the first other character with what it has,
    // which is 0 when no digit came first.
    if (d < 0) return strict ? def : value;
    if (digits == kMaxDigits) return def;  // more digits than the result holds
    value = static_cast<T>((value << 4) | static_cast<T>(d));
    ++digits;
    ++r.pos;
  }
}

}  // namespace

template <class C> C* IntToStr(C* buf, u32 size, i32 value) {
  if (!Writable(buf, size)) return buf;
  FormatSink<C> s{buf, size, 0};
  s.PutSigned(value, 1);
  return s.Finish();
}

template <class C> C* IntToStrEx(C* buf, u32 size, i32 value, bool append) {
  if (!append) return IntToStr(buf, size, value);
  if (!buf || size == 0) return buf;
  const u32 len = BoundedLength(buf, size);
  if (len + 1 >= size) {
    buf[len] = 0;  // already full: stays terminated
    return buf;
  }
  IntToStr(buf + len, size - len, value);
  return buf;
}

template <class C> C* UIntToStr(C* buf, u32 size, u32 value) {
  if (!Writable(buf, size)) return buf;
  FormatSink<C> s{buf, size, 0};
  s.PutDigits(value, 1);
  return s.Finish();
}

template <class C> C* UIntToStrPad(C* buf, u32 size, u32 value, u32 digits) {
  if (!Writable(buf, size)) return buf;
  FormatSink<C> s{buf, size, 0};
  s.PutDigits(value, digits < 9 ? digits : 9);
  return s.Finish();
}

template <class C> C* IntToStrPad(C* buf, u32 size, i32 value, u32 digits) {
  if (!Writable(buf, size)) return buf;
  FormatSink<C> s{buf, size, 0};
  s.PutSigned(value, digits < 10 ? digits : 10);
  return s.Finish();
}

template <class C> C* HexToStr(C* buf, u32 size, u32 value, u32 digits, const C* prefix, u32 flags) {
  if (!buf || size == 0) return buf;
  const u32 start = (flags & kHexAppend) ? BoundedLength(buf, size) : 0;
  FormatSink<C> s{buf, size, start};
  s.PutText(prefix);
  const char* set = (flags & kHexLowerCase) ? "0123456789abcdef" : "0123456789ABCDEF";
  u32 count = digits < 16 ? digits : 16;
  if (flags & kHexMinimal) {
    count = 1;
    while (count < 8 && (value >> (count * 4)) != 0) ++count;
  }
  for (u32 i = count; i-- > 0;) {
    const u32 nibble = i < 8 ? (value >> (i * 4)) & 0xF : 0;
    s.Put(static_cast<C>(set[nibble]));
  }
  if (!(flags & kHexNoTerminator)) s.Finish();
  return buf;
}

template <class C> C* RectToStr(C* buf, u32 size, i32 left, i32 top, i32 right, i32 bottom, bool absolute) {
  if (!Writable(buf, size)) return buf;
  const C sep[] = {',', ' ', 0};
  FormatSink<C> s{buf, size, 0};
  s.PutSigned(left, 1);
  s.PutText(sep);
  s.PutSigned(top, 1);
  s.PutText(sep);
  s.PutSigned(absolute ? i64{right} : i64{right} - left, 1);
  s.PutText(sep);
  s.PutSigned(absolute ? i64{bottom} : i64{bottom} - top, 1);
  return s.Finish();
}

template <class C> C* FillChar(C* buf, u32 size, C ch, u32 count, i32 start) {
  if (!Writable(buf, size)) return buf;
  const u32 from = start < 0 ? BoundedLength(buf, size) : static_cast<u32>(start);
  if (from >= size - 1) return buf;
  const u32 room = size - 1 - from;
  const u32 n = count < room ? count : room;
  for (u32 i = 0; i < n; ++i) buf[from + i] = ch;
  buf[from + n] = 0;
  return buf;
}

template <class C> C* StrInsert(C* buf, u32 size, u32 pos, const C* text, u32 n) {
  if (!buf || size < 2 || !text) return buf;
  const u32 len = BoundedLength(buf, size);
  if (pos > len) return buf;
  // Never read past the inserted text's own end; copy it first in case it
  // lies inside the buffer that is about to move.
  u32 avail = 0;
  while (avail < n && text[avail]) ++avail;
  const std::basic_string<C> inserted(text, avail);
  const u32 cap = size - 1;
  const u64 newLen64 = u64{len} + avail;
  const u32 newLen = newLen64 < cap ? static_cast<u32>(newLen64) : cap;
  // Move the tail right, from its end, keeping only what still fits.
  for (u32 i = len; i-- > pos;) {
    const u64 to = u64{i} + avail;
    if (to < cap) buf[to] = buf[i];
  }
  for (u32 i = 0; i < avail && pos + i < cap; ++i) buf[pos + i] = inserted[i];
  buf[newLen] = 0;
  return buf;
}

template <class C> i32 StrToIntEx(const C* text, u32 len, i32 def, const C* terminators, u32* consumed) {
  bool negative;
  u64 magnitude;
  if (!ReadDecimal(text, len, terminators, consumed, 0x7FFFFFFFull, 0x80000000ull, negative, magnitude)) return def;
  return negative ? static_cast<i32>(0 - static_cast<u32>(magnitude)) : static_cast<i32>(magnitude);
}

template <class C> i32 StrToInt(const C* text, u32 len, i32 def) {
  return StrToIntEx<C>(text, len, def, nullptr, nullptr);
}

template <class C>
u32 StrToUIntEx(const C* text, u32 len, u32 def, bool refuseMinus, const C* terminators, u32* consumed) {
  bool negative;
  u64 magnitude;
  const u64 negativeLimit = refuseMinus ? 0 : 0xFFFFFFFFull;
  if (!ReadDecimal(text, len, terminators, consumed, 0xFFFFFFFFull, negativeLimit, negative, magnitude)) return def;
  if (negative && refuseMinus) return def;
  return negative ? 0 - static_cast<u32>(magnitude) : static_cast<u32>(magnitude);
}

template <class C> u32 HexStrToInt(const C* text, u32 len, u32 def, bool allowPrefix, bool strict) {
  return HexRead<u32>(text, len, def, allowPrefix, strict);
}

template <class C> u64 HexStrToInt64(const C* text, u32 len, u64 def, bool allowPrefix, bool strict) {
  return HexRead<u64>(text, len, def, allowPrefix, strict);
}

// The exponent goes on in steps of 1e9 and then by one power from the table,
// so every factor is exact in double precision.
template <class C> float StrToFloat(const C* text, u32 len, float def, const C* terminators, u32* consumed) {
  if (consumed) *consumed = 0;
  if (!text || !text[0] || len == 0) return def;
  Reader<C> r{text, len};
  bool negative = false;
  if (r.Peek() == '-') {
    negative = true;
    ++r.pos;
  }
  double whole = 0;
  u32 digits = 0;
  for (u32 c; plat::IsAsciiDigit(c = r.Peek()); ++r.pos, ++digits) whole = whole * 10 + (c - '0');
  double fraction = 0;
  double fractionScale = 1;
  if (r.Peek() == '.') {
    ++r.pos;
    u32 counted = 0;
    for (u32 c; plat::IsAsciiDigit(c = r.Peek()); ++r.pos, ++digits) {
      if (counted < 6) {
        fraction = fraction * 10 + (c - '0');
        fractionScale *= 10;
        ++counted;
      }
    }
  }
  if (digits == 0) {
    if (consumed) *consumed = r.pos;
    return def;
  }
  double value = whole + fraction / fractionScale;
  const u32 e = r.Peek();
  if (e == 'e' || e == 'E') {
    ++r.pos;
    const u32 sign = r.Peek();
    if (sign != '+' && sign != '-') {
      if (consumed) *consumed = r.pos;
      return def;
    }
    ++r.pos;
    u32 exponent = 0;
    u32 expDigits = 0;
    for (u32 c; plat::IsAsciiDigit(c = r.Peek()); ++r.pos, ++expDigits)
      if (exponent <= 100) exponent = exponent * 10 + (c - '0');
    if (expDigits == 0 || exponent > 100) {
      if (consumed) *consumed = r.pos;
      return def;
    }
    static const double kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    double scale = 1;
    for (; exponent >= 9; exponent -= 9) scale *= 1e9;
    scale *= kPowers[exponent];
    value = sign == '-' ? value / scale : value * scale;
  }
  if (consumed) *consumed = r.pos;
  const u32 stop = r.Peek();
  if (stop != 0 && !InSet(terminators, stop)) return def;
  const float result = static_cast<float>(negative ? -value : value);
  return std::isfinite(result) ? result : def;  // beyond the range of a float
}

#define KIS_NUMBER_TEXT(C)                                                                         \
  template C* IntToStr<C>(C*, u32, i32);                                                           \
  template C* IntToStrEx<C>(C*, u32, i32, bool);                                                   \
  template C* UIntToStr<C>(C*, u32, u32);                                                          \
  template C* UIntToStrPad<C>(C*, u32, u32, u32);                                                  \
  template C* IntToStrPad<C>(C*, u32, i32, u32);                                                   \
  template C* HexToStr<C>(C*, u32, u32, u32, const C*, u32);                                       \
  template C* RectToStr<C>(C*, u32, i32, i32, i32, i32, bool);                                     \
  template C* FillChar<C>(C*, u32, C, u32, i32);                                                   \
  template C* StrInsert<C>(C*, u32, u32, const C*, u32);                                           \
  template i32 StrToIntEx<C>(const C*, u32, i32, const C*, u32*);                                  \
  template i32 StrToInt<C>(const C*, u32, i32);                                                    \
  template u32 StrToUIntEx<C>(const C*, u32, u32, bool, const C*, u32*);                           \
  template u32 HexStrToInt<C>(const C*, u32, u32, bool, bool);                                     \
  template u64 HexStrToInt64<C>(const C*, u32, u64, bool, bool);                                   \
  template float StrToFloat<C>(const C*, u32, float, const C*, u32*);

KIS_NUMBER_TEXT(char)
KIS_NUMBER_TEXT(char16_t)
#undef KIS_NUMBER_TEXT

}  // namespace kis
