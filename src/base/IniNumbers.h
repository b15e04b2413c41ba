// Number parsing for ini values and value lists, over exactly n characters.
// Each parser accepts the whole text or nothing: a stray character, an empty
// number or a value outside the caller's range fails, and the caller keeps
// its default. Nothing wraps around.
#pragma once

#include <cmath>
#include <cstddef>

#include "base/Types.h"
#include "platform/encoding/Ascii.h"

namespace kis::ini_detail {

// Optional "-", then decimal digits; the value must lie in [lo, hi].
template <class Ch>
bool ParseDecimal(const Ch* s, size_t n, i64 lo, i64 hi, i64& out) {
  if (!s || n == 0) return false;
  const bool negative = s[0] == '-';
  size_t i = negative ? 1 : 0;
  if (i == n) return false;
  if (negative && lo >= 0) return false;
  const u64 limit = negative ? static_cast<u64>(-lo) : static_cast<u64>(hi);
  u64 v = 0;
  for (; i < n; ++i) {
    if (!plat::IsAsciiDigit(s[i])) return false;
    v = v * 10 + static_cast<u64>(s[i] - '0');
    if (v > limit) return false;
  }
  out = negative ? -static_cast<i64>(v) : static_cast<i64>(v);
  return true;
}

// True when the text starts with "$", "#", "0x" or "0X".
template <class Ch>
size_t HexPrefixLength(const Ch* s, size_t n) {
  if (n >= 1 && (s[0] == '$' || s[0] == '#')) return 1;
  if (n >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) return 2;
  return 0;
}

// Optional prefix ("$", "#", "0x"), then hexadecimal digits of either case;
// the value must not exceed hi.
template <class Ch>
bool ParseHex(const Ch* s, size_t n, u64 hi, u64& out) {
  if (!s) return false;
  size_t i = HexPrefixLength(s, n);
  if (i == n) return false;
  u64 v = 0;
  for (; i < n; ++i) {
    const int d = plat::HexDigitValue(s[i]);
    if (d < 0) return false;
    v = v * 16 + static_cast<u64>(d);
    if (v > hi) return false;
  }
  out = v;
  return true;
}

// Optional "-", integer digits, an optional "." with fraction digits (only
// the first six count), and an optional exponent "e"/"E" that needs a sign
// and at most 100. At least one digit is required; a value beyond the
// float range fails.
template <class Ch>
bool ParseFloat(const Ch* s, size_t n, float& out) {
  if (!s || n == 0) return false;
  size_t i = 0;
  const bool negative = s[0] == '-';
  if (negative) ++i;
  double v = 0;
  bool digits = false;
  for (; i < n && plat::IsAsciiDigit(s[i]); ++i, digits = true) v = v * 10 + (s[i] - '0');
  if (i < n && s[i] == '.') {
    double scale = 1;
    int taken = 0;
    for (++i; i < n && plat::IsAsciiDigit(s[i]); ++i, digits = true) {
      if (taken++ < 6) v += (s[i] - '0') * (scale /= 10);
    }
  }
  if (!digits) return false;
  if (i < n && (s[i] == 'e' || s[i] == 'E')) {
    if (++i == n || (s[i] != '+' && s[i] != '-')) return false;
    const bool down = s[i++] == '-';
    i64 e = 0;
    if (!ParseDecimal(s + i, n - i, 0, 100, e)) return false;
    for (i64 k = 0; k < e; ++k) v = down ? v / 10 : v * 10;
    i = n;
  }
  if (i != n) return false;
  const float result = static_cast<float>(negative ? -v : v);
  if (!std::isfinite(result)) return false;  // too large for a float
  out = result;
  return true;
}

}  // namespace kis::ini_detail
