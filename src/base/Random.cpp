#include "base/Random.h"

namespace kis {
namespace {

thread_local u32 g_state = 1;

// rand() / 32768 * n, truncated towards zero, in double so no bound is cut.
i64 ScaleDraw(i64 n) {
  if (n == 0) return 0;
  return static_cast<i64>(static_cast<double>(rand()) / 32768.0 * static_cast<double>(n));
}

}  // namespace

u32 rand() {
  g_state = g_state * 214013u + 2531011u;
  return (g_state >> 16) & 0x7FFFu;
}

void srand(u32 seed) { g_state = seed; }

float Random01() { return static_cast<float>(rand() / 32767.0); }

float RandomRange(float a, float b) {
  if (a == b) return a;
  return a + Random01() * (b - a);
}

u32 RandomBelow(u16 n) { return static_cast<u32>(ScaleDraw(n)); }

u32 RandomShort(u32 n) { return static_cast<u32>(ScaleDraw(n)); }

i32 RandomChar(i16 n) { return static_cast<i32>(ScaleDraw(n)); }

// The extreme draws (a = 32767, b >= 32766) would reach n itself; they are
// kept at n - 1 so the result always stays below the bound.
u32 RandomInt(u32 n) {
  if (n == 0) return 0;
  const double a = rand();
  const double b = rand();
  const u64 v = static_cast<u64>((2.0 * a + b / 16383.0) / 65536.0 * static_cast<double>(n));
  return v >= n ? n - 1 : static_cast<u32>(v);
}

i32 RandomRange(i32 lo, i32 hi) {
  if (lo > hi) {
    const i32 t = lo;
    lo = hi;
    hi = t;
  }
  if (lo == hi) return lo;
  // Up to 2^32 values; the one span that does not fit a u32 (the whole i32
  // range) loses only its last value.
  u64 span = static_cast<u64>(static_cast<i64>(hi) - lo) + 1;
  if (span > 0xFFFFFFFFu) span = 0xFFFFFFFFu;
  return static_cast<i32>(static_cast<i64>(lo) + RandomInt(static_cast<u32>(span)));
}

}  // namespace kis
