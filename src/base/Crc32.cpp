#include "base/Crc32.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#define KIS_CRC32_FOLDING 1
#endif

namespace kis {
namespace {

// Sixteen tables for slicing-by-16: table[k][b] is the register contribution of
// byte b followed by k zero bytes. Table 0 is the classic byte table.
struct Crc32Tables {
  std::array<std::array<u32, 256>, 16> t{};
  constexpr Crc32Tables() {
    for (u32 i = 0; i < 256; ++i) {
      u32 c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      t[0][i] = c;
    }
    for (u32 i = 0; i < 256; ++i)
      for (int k = 1; k < 16; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
  }
};

constexpr Crc32Tables kTables;

inline u32 Load32(const u8* p) {
  // Assembled from bytes so the result does not depend on the host's order.
  return static_cast<u32>(p[0]) | (static_cast<u32>(p[1]) << 8) | (static_cast<u32>(p[2]) << 16) |
         (static_cast<u32>(p[3]) << 24);
}

// Runs the raw register (no inversion) over n bytes sixteen at a time, then
// byte by byte.
u32 RegisterPortable(const u8* p, u64 n, u32 c) {
  const auto& t = kTables.t;
  while (n >= 16) {
    const u32 a = Load32(p) ^ c;
    const u32 b = Load32(p + 4);
    const u32 d = Load32(p + 8);
    const u32 e = Load32(p + 12);
    c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
        t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
        t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^
        t[3][e & 0xFF] ^ t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    p += 16;
    n -= 16;
  }
  while (n--) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
  return c;
}

#if KIS_CRC32_FOLDING

// Below this many bytes the setup and final reduction of folding cost more than
// the table path.
constexpr u64 kFoldingMinimum = 64;

#define KIS_FOLDING_TARGET __attribute__((target("pclmul,sse4.1")))

KIS_FOLDING_TARGET inline __m128i Load128(const u8* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); }

// a.lo * k.lo ^ a.hi * k.hi: one accumulator moved forward and added to next.
KIS_FOLDING_TARGET inline __m128i Fold128(__m128i a, __m128i k, __m128i next) {
  const __m128i lo = _mm_clmulepi64_si128(a, k, 0x00);
  const __m128i hi = _mm_clmulepi64_si128(a, k, 0x11);
  return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

// Carry-less multiply folding for the reflected polynomial. Four 128-bit
// accumulators take 64 bytes per step, each multiplied forward by x^512 (mod P)
// and added to the next block; they are then folded into one, the rest of the
// whole 16-byte blocks folded by x^128, and the 128-bit remainder reduced to 32
// bits (a 64-bit fold, then Barrett reduction). The constants are the powers of
// x modulo P in the bit-reflected domain. Takes n >= 64 with n a multiple of
// 16 and returns the raw register.
KIS_FOLDING_TARGET u32 RegisterFolding(const u8* p, u64 n, u32 c) {
  alignas(16) static const u64 kFold512[2] = {0x0154442bd4ull, 0x01c6e41596ull};
  alignas(16) static const u64 kFold128[2] = {0x01751997d0ull, 0x00ccaa009eull};
  alignas(16) static const u64 kFold64[2] = {0x0163cd6124ull, 0};
  alignas(16) static const u64 kBarrett[2] = {0x01db710641ull, 0x01f7011641ull};

  __m128i x1 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(c)));
  __m128i x2 = Load128(p + 16);
  __m128i x3 = Load128(p + 32);
  __m128i x4 = Load128(p + 48);
  p += 64;
  n -= 64;

  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold512));
  while (n >= 64) {
    x1 = Fold128(x1, k, Load128(p));
    x2 = Fold128(x2, k, Load128(p + 16));
    x3 = Fold128(x3, k, Load128(p + 32));
    x4 = Fold128(x4, k, Load128(p + 48));
    p += 64;
    n -= 64;
  }

  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold128));
  x1 = Fold128(x1, k, x2);
  x1 = Fold128(x1, k, x3);
  x1 = Fold128(x1, k, x4);
  while (n >= 16) {
    x1 = Fold128(x1, k, Load128(p));
    p += 16;
    n -= 16;
  }

  // 128 bits to 64: the low half times x^128's constant, added to the high half.
  const __m128i mask32 = _mm_setr_epi32(-1, 0, -1, 0);
  __m128i x2r = _mm_clmulepi64_si128(x1, k, 0x10);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2r);
  // 64 bits to 32 + 32: the low word times x^64's constant.
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
  x2r = _mm_srli_si128(x1, 4);
  x1 = _mm_and_si128(x1, mask32);
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(x1, k, 0x00), x2r);

  // Barrett reduction to the 32-bit remainder.
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  __m128i t = _mm_and_si128(x1, mask32);
  t = _mm_clmulepi64_si128(t, k, 0x10);
  t = _mm_and_si128(t, mask32);
  t = _mm_clmulepi64_si128(t, k, 0x00);
  x1 = _mm_xor_si128(x1, t);
  return static_cast<u32>(_mm_extract_epi32(x1, 1));
}

bool DetectFolding() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
}

// Folds the whole 16-byte blocks of a long enough input, then finishes the
// tail with the table.
u32 RegisterWithFolding(const u8* p, u64 n, u32 c) {
  if (n >= kFoldingMinimum) {
    const u64 blocks = n & ~u64{15};
    c = RegisterFolding(p, blocks, c);
    p += blocks;
    n -= blocks;
  }
  return RegisterPortable(p, n, c);
}

#endif

}  // namespace

const u32* Crc32Table() { return kTables.t[0].data(); }

bool Crc32FoldingAvailable() {
#if KIS_CRC32_FOLDING
  static const bool available = DetectFolding();
  return available;
#else
  return false;
#endif
}

u32 Crc32Portable(const void* data, u64 length, u32 crc) {
  if (!data) return crc;
  return ~RegisterPortable(static_cast<const u8*>(data), length, ~crc);
}

u32 Crc32Folding(const void* data, u64 length, u32 crc) {
#if KIS_CRC32_FOLDING
  if (data && Crc32FoldingAvailable()) return ~RegisterWithFolding(static_cast<const u8*>(data), length, ~crc);
#endif
  return Crc32Portable(data, length, crc);
}

u32 UpdateCrc32(const void* data, u64 length, u64 startOffset, u32 crc) {
  if (!data || startOffset >= length) return crc;
  return Crc32Folding(static_cast<const u8*>(data) + startOffset, length - startOffset, crc);
}

}  // namespace kis
