// kis::FormatSink - appends characters to a bounded buffer from a start index,
// dropping whatever does not fit before the last slot (kept for the
// terminator). The number and time formatters write through it.
#pragma once

#include "base/Types.h"

namespace kis {

template <class C> struct FormatSink {
  C* buf;
  u32 size;
  u32 pos;
  void Put(C c) {
    if (pos + 1 < size) buf[pos++] = c;
  }
  void PutText(const C* t) {
    if (t)
      while (*t) Put(*t++);
  }
  void PutDigits(u64 magnitude, u32 minDigits) {
    C digits[24];
    u32 n = 0;
    do {
      digits[n++] = static_cast<C>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude);
    for (u32 i = n; i < minDigits; ++i) Put(static_cast<C>('0'));
    while (n) Put(digits[--n]);
  }
  void PutSigned(i64 value, u32 minDigits) {
    if (value < 0) Put(static_cast<C>('-'));
    const u64 magnitude = value < 0 ? 0 - static_cast<u64>(value) : static_cast<u64>(value);
    PutDigits(magnitude, minDigits);
  }
  C* Finish() {
    buf[pos] = 0;
    return buf;
  }
};

}  // namespace kis
