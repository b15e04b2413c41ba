// The AVX2 loops of turned and scaled sprites whose samples come from the
// texture's footprint table (GfxFootprints): one 16-byte load a sample, a
// multiply-add by the horizontal weights (128 - x, x) giving both rows'
// sums, one by the vertical weights (128 - y, y) the bilinear sums, less
// their bias, which BilinearPlain's rounding then takes back. The texels go
// on the target in the same pass.
#include <cstddef>

#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxSimdAvx2Core.h"

namespace plat::gfx {

#if TM_GFX_AVX2

namespace {

using namespace avx2;

// Bilinear sums from a register of two footprints with their weights: byte
// pairs (128 - x, x) and word pairs (128 - y, y) across each half.
TM_AVX2 __m256i FootprintSums(__m256i q, __m256i wx, __m256i wy) {
  const __m256i both = _mm256_madd_epi16(_mm256_maddubs_epi16(wx, q), wy);
  return _mm256_srli_epi32(_mm256_add_epi32(both, _mm256_set1_epi32((1 << 21) + 8192)), 14);
}

// Pixels k and k + 4 of a group of eight: their entries at byte offsets at[k]
// and at[k + 4] from `origin`, their weights picked out of the words d
// (a pixel's 32-bit lane holds the bytes 128 - x, x, 128 - y, y) by one
// byte shuffle each.
template <int k>
TM_AVX2 __m256i PairSums(const uint8_t* origin, const int32_t* at, __m256i d) {
  const __m256i q = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(origin + at[k + 4]),
                                        reinterpret_cast<const __m128i*>(origin + at[k]));
  const char a = static_cast<char>(4 * k), z = static_cast<char>(0x80);
  const __m256i pickX = _mm256_setr_epi8(a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a,
                                         a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1,
                                         a, a + 1);
  const __m256i pickY = _mm256_setr_epi8(a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z, a + 3,
                                         z, a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z,
                                         a + 3, z);
  return FootprintSums(q, _mm256_shuffle_epi8(d, pickX), _mm256_shuffle_epi8(d, pickY));
}

TM_AVX2 __m256i Words(int x, int y) { return _mm256_set1_epi32(static_cast<int>((x & 0xFFFF) | (y << 16))); }

// What the loops need of the table, in registers: the whole texels of a
// sample, x in the low and y in the high word of its lane, are kept within
// [low, high] and masked (clamp: -1 .. size - 1, all bits; wrap: no limit,
// size - 1), then one multiply-add by (16, pitch x 16) makes the entry's
// byte offset from entry (0, 0).
struct Table {
  const uint8_t* origin;
  __m256i low, high, mask, scale;

  TM_AVX2 explicit Table(const FootprintSource& f) {
    const int pitch = f.width + 1;
    origin = f.table + static_cast<ptrdiff_t>(pitch + 1) * 16;
    low = Words(f.wrapU ? -32768 : -1, f.wrapV ? -32768 : -1);
    high = Words(f.wrapU ? 32767 : f.width - 1, f.wrapV ? 32767 : f.height - 1);
    mask = Words(f.wrapU ? f.width - 1 : 0xFFFF, f.wrapV ? f.height - 1 : 0xFFFF);
    scale = Words(16, pitch * 16);
  }

  // The byte offsets of the entries at the 16.16 coordinates u, v.
  TM_AVX2 __m256i Offsets(__m256i u, __m256i v) const {
    __m256i whole = _mm256_or_si256(_mm256_srli_epi32(u, 16), _mm256_and_si256(v, _mm256_set1_epi32(~0xFFFF)));
    whole = _mm256_and_si256(_mm256_min_epi16(_mm256_max_epi16(whole, low), high), mask);
    return _mm256_madd_epi16(whole, scale);
  }
};

// The bytes 128 - x, x, 128 - y, y of each lane from the top seven bits of
// the fractions of u and v: the words 128 + 255 x and 128 + 255 y.
TM_AVX2 __m256i Weights(__m256i u, __m256i v) {
  const __m256i xy = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(u, 9), _mm256_set1_epi32(0x7F)),
                                     _mm256_and_si256(_mm256_slli_epi32(v, 7), _mm256_set1_epi32(0x7F0000)));
  return _mm256_add_epi16(_mm256_mullo_epi16(xy, _mm256_set1_epi16(255)), _mm256_set1_epi16(128));
}

// Entries i and i + 4 of a row of them.
TM_AVX2 __m256i EntryPair(const uint8_t* entries, int i) {
  return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(entries + 16 * (i + 4)),
                             reinterpret_cast<const __m128i*>(entries + 16 * i));
}

// A row whose samples are a texel apart along a row of entries that needs
// no addressing: every sample has the first one's weights, and pixels k and
// k + 4 of a group of eight are read into one register as elsewhere.
template <SpanOp op>
TM_AVX2 void UnitRow(const uint8_t* entries, __m256i d, int n, __m256i tint, uint32_t* dest) {
  const __m256i wx = _mm256_shuffle_epi8(d, _mm256_set1_epi16(0x0100));
  const __m256i wy = _mm256_shuffle_epi8(d, _mm256_set1_epi32(static_cast<int>(0x80038002u)));
  for (int i = 0; i < n; i += 8) {
    const __m256i s0 = FootprintSums(EntryPair(entries, i), wx, wy), s1 = FootprintSums(EntryPair(entries, i + 1), wx, wy);
    const __m256i s2 = FootprintSums(EntryPair(entries, i + 2), wx, wy), s3 = FootprintSums(EntryPair(entries, i + 3), wx, wy);
    StoreWordsOp<op>(_mm256_packs_epi32(s0, s1), _mm256_packs_epi32(s2, s3), tint, dest + i, n - i);
  }
}

template <SpanOp op>
__attribute__((target("avx2"))) void Rows(const FootprintSource& f, const FootprintRow* rows, int count, int32_t du,
                                          int32_t dv, uint32_t colour) {
  const Table table(f);
  const __m256i tint = ColourWords(colour);
  const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i laneU = _mm256_mullo_epi32(steps, _mm256_set1_epi32(du));
  const __m256i laneV = _mm256_mullo_epi32(steps, _mm256_set1_epi32(dv));
  const __m256i u8 = _mm256_set1_epi32(8 * du), v8 = _mm256_set1_epi32(8 * dv);
  const bool unitStep = du == 0x10000 && dv == 0;
  for (int r = 0; r < count; ++r) {
    const FootprintRow& row = rows[r];
    if (r + 2 < count) {
      // Rows of small sprites lie far apart in the target: ask for a coming one ahead of its use.
      const FootprintRow& ahead = rows[r + 2];
      for (int x = 0; x < ahead.n; x += 16) __builtin_prefetch(ahead.dest + x, 1);
      __builtin_prefetch(ahead.dest + ahead.n - 1, 1);
    }
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(row.u), laneU);
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(row.v), laneV);
    if (unitStep) {
      // One row of entries when every sample's own entry lies in the table
      // (entries -1 hold what wrapping takes from the far side).
      const int32_t x0 = row.u >> 16, y = row.v >> 16;
      if (x0 >= -1 && x0 + row.n <= f.width && y >= -1 && y < f.height) {
        const uint8_t* entries = table.origin + (static_cast<ptrdiff_t>(y) * (f.width + 1) + x0) * 16;
        UnitRow<op>(entries, Weights(u, v), row.n, tint, row.dest);
        continue;
      }
    }
    for (int i = 0; i < row.n; i += 8) {
      alignas(32) int32_t at[8];
      _mm256_store_si256(reinterpret_cast<__m256i*>(at), table.Offsets(u, v));
      // The offsets are read back one by one from memory, which is cheaper
      // than taking them out of the register.
      __asm__("" : "+m"(at));
      const __m256i d = Weights(u, v);
      StoreWordsOp<op>(_mm256_packs_epi32(PairSums<0>(table.origin, at, d), PairSums<1>(table.origin, at, d)),
                       _mm256_packs_epi32(PairSums<2>(table.origin, at, d), PairSums<3>(table.origin, at, d)), tint,
                       row.dest + i, row.n - i);
      u = _mm256_add_epi32(u, u8);
      v = _mm256_add_epi32(v, v8);
    }
  }
}

}  // namespace

void FootprintRowsAvx2(SpanOp op, const FootprintSource& f, const FootprintRow* rows, int count, int32_t du,
                       int32_t dv, uint32_t colour) {
  switch (op) {
    case SpanOp::kCopy: Rows<SpanOp::kCopy>(f, rows, count, du, dv, colour); break;
    case SpanOp::kBlend: Rows<SpanOp::kBlend>(f, rows, count, du, dv, colour); break;
    case SpanOp::kTint: Rows<SpanOp::kTint>(f, rows, count, du, dv, colour); break;
    default: Rows<SpanOp::kTintBlend>(f, rows, count, du, dv, colour); break;
  }
}

#else

void FootprintRowsAvx2(SpanOp, const FootprintSource&, const FootprintRow*, int, int32_t, int32_t, uint32_t) {}

#endif

}  // namespace plat::gfx
