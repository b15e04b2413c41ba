// The AVX2 loops of turned and scaled sprites whose samples come from the
// texture's footprint table (GfxFootprints): one 16-byte load a sample, a
// multiply-add by the horizontal weights (128 - x, x) giving both rows'
// sums, one by the vertical weights (128 - y, y) the bilinear sums, less
// their bias, which BilinearPlain's rounding then takes back. The texels go
// on the target in the same pass.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <type_traits>

#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxSimdAvx2Core.h"

namespace plat::gfx {

#if TM_GFX_AVX2

namespace {

using namespace avx2;

TM_AVX2 __m256i WordPair(int x, int y) { return _mm256_set1_epi32(static_cast<int>((x & 0xFFFF) | (y << 16))); }

// What the loops need of the table, and their constants. The whole texels of
// a sample, x in the low and y in the high word of its lane, are kept within
// [low, high] and masked (clamp: -1 .. size - 1, all bits; wrap: no limit,
// size - 1), then one multiply-add by (16, pitch x 16) makes the entry's
// byte offset from entry (0, 0).
struct Table {
  const uint8_t* origin;
  __m256i low, high, mask, scale;
  __m256i highWords, lowWords, c255, round;
  Constants k;

  TM_AVX2 explicit Table(const FootprintSource& f)
      : origin(f.table + static_cast<ptrdiff_t>(f.width + 2) * 16),
        low(WordPair(f.wrapU ? -32768 : -1, f.wrapV ? -32768 : -1)),
        high(WordPair(f.wrapU ? 32767 : f.width - 1, f.wrapV ? 32767 : f.height - 1)),
        mask(WordPair(f.wrapU ? f.width - 1 : 0xFFFF, f.wrapV ? f.height - 1 : 0xFFFF)),
        scale(WordPair(16, (f.width + 1) * 16)),
        highWords(Opaque(_mm256_set1_epi32(~0xFFFF))),
        lowWords(Opaque(_mm256_set1_epi32(0xFFFF))),
        c255(Opaque(_mm256_set1_epi16(255))),
        round(Opaque(_mm256_set1_epi32((1 << 21) + 8192))) {}

  // The byte offsets of the entries at the 16.16 coordinates u, v (the
  // mask only matters, and is only applied, where an axis wraps).
  template <bool wrap>
  TM_AVX2 __m256i Offsets(__m256i u, __m256i v) const {
    __m256i whole = _mm256_or_si256(_mm256_srli_epi32(u, 16), _mm256_and_si256(v, highWords));
    whole = _mm256_min_epi16(_mm256_max_epi16(whole, low), high);
    if constexpr (wrap) whole = _mm256_and_si256(whole, mask);
    return _mm256_madd_epi16(whole, scale);
  }

  // The bytes 128 - x, x, 128 - y, y of each lane from the top seven bits of
  // the fractions of u and v (in the low words of u and v): the words
  // 128 + 255 x and 128 + 255 y.
  TM_AVX2 __m256i Weights(__m256i u, __m256i v) const {
    const __m256i fractions = _mm256_or_si256(_mm256_and_si256(u, lowWords), _mm256_slli_epi32(v, 16));
    return _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(fractions, 9), c255), k.c128);
  }

  // Bilinear sums from a register of two footprints with their weights:
  // byte pairs (128 - x, x) and word pairs (128 - y, y) across each half.
  TM_AVX2 __m256i Sums(__m256i q, __m256i wx, __m256i wy) const {
    const __m256i both = _mm256_madd_epi16(_mm256_maddubs_epi16(wx, q), wy);
    return _mm256_srli_epi32(_mm256_add_epi32(both, round), 14);
  }

  // The bilinear texels at eight sample points as channel words, pixels
  // 0 1 | 4 5 in lo and 2 3 | 6 7 in hi (see TintWords).
  struct Words {
    __m256i lo, hi;
  };
  template <bool wrap>
  TM_AVX2 Words Group(__m256i u, __m256i v) const {
    // The offsets taken out of the register two at a time.
    const __m256i offsets = Offsets<wrap>(u, v);
    const __m128i first = _mm256_castsi256_si128(offsets), second = _mm256_extracti128_si256(offsets, 1);
    const uint64_t a01 = static_cast<uint64_t>(_mm_cvtsi128_si64(first)),
                   a23 = static_cast<uint64_t>(_mm_extract_epi64(first, 1)),
                   a45 = static_cast<uint64_t>(_mm_cvtsi128_si64(second)),
                   a67 = static_cast<uint64_t>(_mm_extract_epi64(second, 1));
    const int32_t at[8] = {static_cast<int32_t>(a01), static_cast<int32_t>(a01 >> 32), static_cast<int32_t>(a23),
                           static_cast<int32_t>(a23 >> 32), static_cast<int32_t>(a45), static_cast<int32_t>(a45 >> 32),
                           static_cast<int32_t>(a67), static_cast<int32_t>(a67 >> 32)};
    const __m256i d = Weights(u, v);
    return Words{_mm256_packs_epi32(PairSums<0>(at, d), PairSums<1>(at, d)),
                 _mm256_packs_epi32(PairSums<2>(at, d), PairSums<3>(at, d))};
  }

  // Pixels j and j + 4 of a group of eight: their entries at byte offsets
  // at[j] and at[j + 4], their weights picked out of the words d (see
  // Weights) by one byte shuffle each.
  template <int j>
  TM_AVX2 __m256i PairSums(const int32_t* at, __m256i d) const {
    const __m256i q = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(origin + at[j + 4]),
                                          reinterpret_cast<const __m128i*>(origin + at[j]));
    const char a = static_cast<char>(4 * j), z = static_cast<char>(0x80);
    const __m256i pickX = _mm256_setr_epi8(a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a,
                                           a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a, a + 1, a,
                                           a + 1, a, a + 1);
    const __m256i pickY = _mm256_setr_epi8(a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z,
                                           a + 3, z, a + 2, z, a + 3, z, a + 2, z, a + 3, z, a + 2, z, a + 3, z,
                                           a + 2, z, a + 3, z);
    return Sums(q, _mm256_shuffle_epi8(d, pickX), _mm256_shuffle_epi8(d, pickY));
  }
};

// A row whose samples are a texel apart along a row of entries that needs
// no addressing: every sample has the first one's weights, and the entries
// of pixels i and i + 1 are one 32-byte load. The packs then leave the
// pixels as 0 2 4 6 | 1 3 5 7, which one permutation puts in order.
// Whether the loops take several groups of eight a turn: only the AVX-512
// ones, whose 32 registers hold a turn's texels; the AVX2 loops, for
// processors without AVX-512, take one (and keep the build's time down).
template <class Masks>
constexpr bool kGroupsATurn = std::is_same_v<Masks, EvexMasks>;

// UnitTexels: the row's texels i .. i + 7, in order.
template <SpanOp op>
TM_AVX2 __m256i UnitTexels(const Table& t, const uint8_t* entries, __m256i wx, __m256i wy, int i, __m256i tint) {
  const __m256i* e = reinterpret_cast<const __m256i*>(entries + static_cast<ptrdiff_t>(i) * 16);
  const __m256i s01 = t.Sums(_mm256_loadu_si256(e), wx, wy), s23 = t.Sums(_mm256_loadu_si256(e + 1), wx, wy);
  const __m256i s45 = t.Sums(_mm256_loadu_si256(e + 2), wx, wy), s67 = t.Sums(_mm256_loadu_si256(e + 3), wx, wy);
  const __m256i texels = TintWords<op>(_mm256_packs_epi32(s01, s23), _mm256_packs_epi32(s45, s67), tint, t.k);
  return _mm256_permutevar8x32_epi32(texels, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7));
}
// UnitGroups: k groups of the row from pixel i on, the second and third
// with pixels before n; as in Groups below, their texels are all fetched
// before the first store.
template <int k, SpanOp op, class Masks>
TM_AVX2 void UnitGroups(const Table& t, const uint8_t* entries, __m256i wx, __m256i wy, int i, int n, __m256i tint,
                        uint32_t* dest) {
  __m256i texels[k];
#pragma GCC unroll 3
  for (int j = 0; j < k; ++j) texels[j] = UnitTexels<op>(t, entries, wx, wy, i + 8 * j, tint);
#pragma GCC unroll 3
  for (int j = 0; j < k; ++j) {
    StoreOp<AfterTint(op), Masks, op == SpanOp::kBlend>(texels[j], tint, dest + i + 8 * j, n - i - 8 * j, t.k);
  }
}

template <SpanOp op, class Masks>
TM_AVX2 void UnitRow(const Table& t, const uint8_t* entries, __m256i wx, __m256i wy, int n, __m256i tint,
                     uint32_t* dest) {
  // Three groups a turn, then two, then one (see RowsOf).
  int i = 0;
  if constexpr (kGroupsATurn<Masks>) {
    for (; i + 16 < n; i += 24) UnitGroups<3, op, Masks>(t, entries, wx, wy, i, n, tint, dest);
    for (; i + 8 < n; i += 16) UnitGroups<2, op, Masks>(t, entries, wx, wy, i, n, tint, dest);
  }
  for (; i < n; i += 8) UnitGroups<1, op, Masks>(t, entries, wx, wy, i, n, tint, dest);
}

// k groups of eight samples from (u, v) on, the first `left` of their
// pixels put on the target from dest on (more than 8 (k - 1) of them), and
// (u, v) moved past them. The texels of all k are fetched before the first
// store: the compiler cannot tell the table's bytes from the target's, and
// would otherwise keep each group's loads after the stores before them.
template <int k, SpanOp op, bool wrap, class Masks>
TM_AVX2 void Groups(const Table& t, __m256i* u, __m256i* v, __m256i u8, __m256i v8, __m256i tint, uint32_t* dest,
                    int left) {
  Table::Words w[k];
#pragma GCC unroll 3
  for (int j = 0; j < k; ++j) {
    w[j] = t.template Group<wrap>(*u, *v);
    *u = _mm256_add_epi32(*u, u8);
    *v = _mm256_add_epi32(*v, v8);
  }
#pragma GCC unroll 3
  for (int j = 0; j < k; ++j) StoreWordsOp<op, Masks>(w[j].lo, w[j].hi, tint, dest + 8 * j, left - 8 * j, t.k);
}

// The loop of Rows below, with samples a texel apart (`unitStep`) or not:
// apart, the unit rows' constants need not be kept through every row.
template <SpanOp op, bool wrap, class Masks, bool unitStep>
__attribute__((target("avx2"), always_inline)) inline void RowsOf(const FootprintSource& f, const FootprintRow* rows,
                                                                  int count, int32_t du, int32_t dv, uint32_t colour) {
  const Table t(f);
  const __m256i tint = ColourWords(colour);
  const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i laneU = _mm256_mullo_epi32(steps, _mm256_set1_epi32(du));
  const __m256i laneV = _mm256_mullo_epi32(steps, _mm256_set1_epi32(dv));
  const __m256i u8 = _mm256_set1_epi32(8 * du), v8 = _mm256_set1_epi32(8 * dv);
  FootprintRow waiting{nullptr, 0, 0, 0};  // the end of a row waiting for another
  __m256i waitingU = _mm256_setzero_si256(), waitingV = _mm256_setzero_si256();
  int32_t unitFractions = -1;  // none yet
  __m256i unitX = _mm256_setzero_si256(), unitY = _mm256_setzero_si256();
  // Rows of small sprites lie far apart in the target: each is asked for
  // kAhead rows before its use, the first ones at once.
  constexpr int kAhead = 4;
  const auto prefetch = [](const FootprintRow& ahead) {
    for (int x = 0; x < ahead.n; x += 16) __builtin_prefetch(ahead.dest + x, 1);
    __builtin_prefetch(ahead.dest + ahead.n - 1, 1);
  };
  for (int r = 0; r < kAhead && r < count; ++r) prefetch(rows[r]);
  for (int r = 0; r < count; ++r) {
    const FootprintRow& row = rows[r];
    if (r + kAhead < count) prefetch(rows[r + kAhead]);
    if constexpr (unitStep) {
      // One row of entries when every sample's own entry lies in the table
      // (entries -1 hold what wrapping takes from the far side).
      const int32_t x0 = row.u >> 16, y = row.v >> 16;
      if (x0 >= -1 && x0 + row.n <= f.width && y >= -1 && y < f.height) {
        // The weights of the row's samples, made again only where the top
        // seven bits of its fractions differ from the last such row's (the
        // rows of an unturned sprite share them).
        const int32_t fractions = (row.u >> 9 & 127) | (row.v >> 2 & (127 << 7));
        if (fractions != unitFractions) {
          unitFractions = fractions;
          const __m256i d = t.Weights(_mm256_set1_epi32(row.u), _mm256_set1_epi32(row.v));
          unitX = _mm256_shuffle_epi8(d, _mm256_set1_epi16(0x0100));
          unitY = _mm256_shuffle_epi8(d, _mm256_set1_epi32(static_cast<int>(0x80038002u)));
        }
        const uint8_t* entries = t.origin + (static_cast<ptrdiff_t>(y) * (f.width + 1) + x0) * 16;
        UnitRow<op, Masks>(t, entries, unitX, unitY, row.n, tint, row.dest);
        continue;
      }
    }
    __m256i u = _mm256_add_epi32(_mm256_set1_epi32(row.u), laneU);
    __m256i v = _mm256_add_epi32(_mm256_set1_epi32(row.v), laneV);
    // Three groups a turn, then two, then one: fewer turns for the short
    // rows of small sprites, and more work at once for the processor.
    int i = 0;
    if constexpr (kGroupsATurn<Masks>) {
      for (; i + 20 < row.n; i += 24) Groups<3, op, wrap, Masks>(t, &u, &v, u8, v8, tint, row.dest + i, row.n - i);
      for (; i + 12 < row.n; i += 16) Groups<2, op, wrap, Masks>(t, &u, &v, u8, v8, tint, row.dest + i, row.n - i);
    }
    for (; i + 4 < row.n; i += 8) Groups<1, op, wrap, Masks>(t, &u, &v, u8, v8, tint, row.dest + i, row.n - i);
    if (i >= row.n) continue;  // the last group took the end of the row
    // Four pixels or fewer left: they wait for the next such end of a row,
    // and the two share one group, one in each half.
    if (!waiting.dest) {
      waiting = FootprintRow{row.dest + i, 0, 0, row.n - i};
      waitingU = u;
      waitingV = v;
      continue;
    }
    const Table::Words w = t.template Group<wrap>(_mm256_permute2x128_si256(waitingU, u, 0x20),
                                                  _mm256_permute2x128_si256(waitingV, v, 0x20));
    StoreOpSplit<AfterTint(op), Masks>(TintWords<op>(w.lo, w.hi, tint, t.k), tint, waiting.dest, waiting.n, row.dest + i,
                                row.n - i, t.k);
    waiting.dest = nullptr;
  }
  if (waiting.dest) {
    const Table::Words w = t.template Group<wrap>(waitingU, waitingV);
    StoreOpSplit<AfterTint(op), Masks>(TintWords<op>(w.lo, w.hi, tint, t.k), tint, waiting.dest, waiting.n, waiting.dest, 0,
                                t.k);
  }
}

template <SpanOp op, bool wrap, class Masks>
__attribute__((target("avx2"), always_inline)) inline void RowsBody(const FootprintSource& f, const FootprintRow* rows,
                                                                    int count, int32_t du, int32_t dv, uint32_t colour) {
  if (du == 0x10000 && dv == 0) {
    RowsOf<op, wrap, Masks, true>(f, rows, count, du, dv, colour);
  } else {
    RowsOf<op, wrap, Masks, false>(f, rows, count, du, dv, colour);
  }
}

// The same loops compiled for AVX-512 (EvexLoopsActive): the same
// instructions on eight pixels, but with 32 vector registers the constants
// of a loop no longer wait in memory.
template <SpanOp op, bool wrap>
__attribute__((target("avx2,avx512f,avx512vl,avx512bw"))) void EvexRows(const FootprintSource& f,
                                                                          const FootprintRow* rows, int count,
                                                                          int32_t du, int32_t dv, uint32_t colour) {
  RowsBody<op, wrap, EvexMasks>(f, rows, count, du, dv, colour);
}

template <SpanOp op, bool wrap, class Masks>
__attribute__((target("avx2"))) void Rows(const FootprintSource& f, const FootprintRow* rows, int count, int32_t du,
                                          int32_t dv, uint32_t colour) {
  if constexpr (std::is_same_v<Masks, EvexMasks>) {
    EvexRows<op, wrap>(f, rows, count, du, dv, colour);
  } else {
    RowsBody<op, wrap, Masks>(f, rows, count, du, dv, colour);
  }
}

// The part of a row whose samples may read texels that are not clear (see
// FootprintHull): the rest a blend leaves as it is. The sample points stay
// where they were (sample i at u + i du), so the pixels drawn are the same.
// Eight rows are taken at once, plane by plane, in 16.16 units: a row with
// both ends outside one plane is dropped, and each plane along which the
// rows move by a 64th of a texel a step or more bounds their first or last
// sample (a 20th of a step to spare for the rounding of single floats).
// Rows reaching beyond the hull's box are left whole.
class RowTrim {
 public:
  RowTrim(const FootprintHull& hull, const FootprintSource& f, int32_t du, int32_t dv)
      : du_(du), dv_(dv), low_(-(1 + FootprintHull::kReach) * 65536 + 64),
        right_((f.width + FootprintHull::kReach) * 65536 - 64), bottom_((f.height + FootprintHull::kReach) * 65536 - 64),
        empty_(hull.empty) {
    for (int k = 0; k < FootprintHull::kPlanes; ++k) {
      bound_[k] = static_cast<int32_t>(hull.bound[k] * 65536.0);
      const double s = FootprintHull::kNormalU[k] * static_cast<double>(du) +
                       FootprintHull::kNormalV[k] * static_cast<double>(dv);
      slope_[k] = static_cast<float>(s);
      const bool steep = s >= 1024.0 || s <= -1024.0;
      inverse_[k] = steep ? static_cast<float>(1.0 / s) : 0.0f;
      side_[k] = !steep ? 0 : s > 0 ? 1 : -1;
    }
  }

  // The rows of `in` (count of them) that may read such texels, cut to
  // those samples, in `out`: how many.
  TM_AVX2 int Cut(const FootprintRow* in, int count, FootprintRow* out) const {
    int kept = 0;
    for (int r0 = 0; r0 < count; r0 += 8) {
      const int m = std::min(8, count - r0);
      alignas(32) int32_t us[8] = {}, vs[8] = {}, ends[8] = {};
      for (int j = 0; j < m; ++j) {
        us[j] = in[r0 + j].u;
        vs[j] = in[r0 + j].v;
        ends[j] = in[r0 + j].n - 1;
      }
      const __m256i u = _mm256_load_si256(reinterpret_cast<const __m256i*>(us));
      const __m256i v = _mm256_load_si256(reinterpret_cast<const __m256i*>(vs));
      const __m256i n1 = _mm256_load_si256(reinterpret_cast<const __m256i*>(ends));
      // Inside the box: both ends of the row.
      const __m256i endU = _mm256_add_epi32(u, _mm256_mullo_epi32(n1, _mm256_set1_epi32(du_)));
      const __m256i endV = _mm256_add_epi32(v, _mm256_mullo_epi32(n1, _mm256_set1_epi32(dv_)));
      const __m256i low = _mm256_set1_epi32(low_);
      const __m256i beyond = _mm256_or_si256(
          _mm256_or_si256(_mm256_cmpgt_epi32(low, _mm256_min_epi32(u, endU)),
                          _mm256_cmpgt_epi32(_mm256_max_epi32(u, endU), _mm256_set1_epi32(right_))),
          _mm256_or_si256(_mm256_cmpgt_epi32(low, _mm256_min_epi32(v, endV)),
                          _mm256_cmpgt_epi32(_mm256_max_epi32(v, endV), _mm256_set1_epi32(bottom_))));
      const __m256 steps = _mm256_cvtepi32_ps(n1), outside = _mm256_set1_ps(-64.0f);
      const __m256i sum = _mm256_add_epi32(u, v), difference = _mm256_sub_epi32(u, v);
      const __m256i along[4] = {u, v, sum, difference};
      __m256 first = _mm256_setzero_ps(), last = steps, dropped = _mm256_setzero_ps();
      for (int k = 0; k < FootprintHull::kPlanes; ++k) {
        // n . (u, v): the row's start along the plane's normal.
        const __m256i bound = _mm256_set1_epi32(bound_[k]);
        const __m256i room =
            k % 2 == 0 ? _mm256_sub_epi32(bound, along[k / 2]) : _mm256_add_epi32(bound, along[k / 2]);
        const __m256 start = _mm256_cvtepi32_ps(room);
        const __m256 end = _mm256_sub_ps(start, _mm256_mul_ps(steps, _mm256_set1_ps(slope_[k])));
        dropped = _mm256_or_ps(dropped, _mm256_and_ps(_mm256_cmp_ps(start, outside, _CMP_LT_OQ),
                                                      _mm256_cmp_ps(end, outside, _CMP_LT_OQ)));
        if (side_[k] > 0) {
          last = _mm256_min_ps(last, _mm256_mul_ps(start, _mm256_set1_ps(inverse_[k])));
        } else if (side_[k] < 0) {
          first = _mm256_max_ps(first, _mm256_mul_ps(start, _mm256_set1_ps(inverse_[k])));
        }
      }
      first = _mm256_max_ps(_mm256_sub_ps(first, _mm256_set1_ps(0.05f)), _mm256_setzero_ps());
      last = _mm256_min_ps(_mm256_add_ps(last, _mm256_set1_ps(0.05f)), steps);
      // Rows wholly outside, or with no sample between the bounds.
      dropped = _mm256_or_ps(dropped, _mm256_cmp_ps(first, last, _CMP_NLE_UQ));
      alignas(32) int32_t skips[8], lasts[8];
      _mm256_store_si256(reinterpret_cast<__m256i*>(skips),
                         _mm256_cvttps_epi32(_mm256_round_ps(first, _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC)));
      _mm256_store_si256(reinterpret_cast<__m256i*>(lasts),
                         _mm256_cvttps_epi32(_mm256_round_ps(last, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC)));
      const int outOfBox = _mm256_movemask_ps(_mm256_castsi256_ps(beyond));
      const int gone = empty_ ? 0xFF : _mm256_movemask_ps(dropped);
      for (int j = 0; j < m; ++j) {
        FootprintRow row = in[r0 + j];
        if (!(outOfBox >> j & 1)) {
          if ((gone >> j & 1) || lasts[j] < skips[j]) continue;
          row.dest += skips[j];
          row.u += skips[j] * du_;
          row.v += skips[j] * dv_;
          row.n = lasts[j] - skips[j] + 1;
        }
        out[kept++] = row;
      }
    }
    return kept;
  }

 private:
  int32_t du_, dv_, low_, right_, bottom_;
  bool empty_;
  int32_t bound_[FootprintHull::kPlanes];
  float slope_[FootprintHull::kPlanes], inverse_[FootprintHull::kPlanes];
  int side_[FootprintHull::kPlanes];
};

// Rows of a blend cut to the samples that may read texels that are not
// clear, in batches, before the loops above take them.
template <SpanOp op, class Masks>
__attribute__((target("avx2"))) void TrimmedRows(const FootprintSource& f, const FootprintRow* rows, int count,
                                                int32_t du, int32_t dv, uint32_t colour) {
  const RowTrim trim(*f.hull, f, du, dv);
  constexpr int kBatch = 64;
  FootprintRow cut[kBatch];
  for (int r = 0; r < count; r += kBatch) {
    const int n = trim.Cut(rows + r, std::min(kBatch, count - r), cut);
    if (n > 0) Rows<op, false, Masks>(f, cut, n, du, dv, colour);
  }
}

template <class Masks>
void FootprintRowsWith(SpanOp op, const FootprintSource& f, const FootprintRow* rows, int count, int32_t du,
                       int32_t dv, uint32_t colour) {
  const bool wrap = f.wrapU || f.wrapV;
  if (f.hull && !wrap && (op == SpanOp::kBlend || op == SpanOp::kTintBlend)) {
    (op == SpanOp::kBlend ? TrimmedRows<SpanOp::kBlend, Masks> : TrimmedRows<SpanOp::kTintBlend, Masks>)(
        f, rows, count, du, dv, colour);
    return;
  }
  switch (op) {
    case SpanOp::kCopy:
      (wrap ? Rows<SpanOp::kCopy, true, Masks> : Rows<SpanOp::kCopy, false, Masks>)(f, rows, count, du, dv, colour);
      break;
    case SpanOp::kBlend:
      (wrap ? Rows<SpanOp::kBlend, true, Masks> : Rows<SpanOp::kBlend, false, Masks>)(f, rows, count, du, dv, colour);
      break;
    case SpanOp::kTint:
      (wrap ? Rows<SpanOp::kTint, true, Masks> : Rows<SpanOp::kTint, false, Masks>)(f, rows, count, du, dv, colour);
      break;
    case SpanOp::kTintBlend:
      (wrap ? Rows<SpanOp::kTintBlend, true, Masks> : Rows<SpanOp::kTintBlend, false, Masks>)(f, rows, count, du, dv,
                                                                                              colour);
      break;
    case SpanOp::kAdd:
      (wrap ? Rows<SpanOp::kAdd, true, Masks> : Rows<SpanOp::kAdd, false, Masks>)(f, rows, count, du, dv, colour);
      break;
    case SpanOp::kTintAdd:
      (wrap ? Rows<SpanOp::kTintAdd, true, Masks> : Rows<SpanOp::kTintAdd, false, Masks>)(f, rows, count, du, dv,
                                                                                          colour);
      break;
  }
}

}  // namespace

void FootprintRowsAvx2(SpanOp op, const FootprintSource& f, const FootprintRow* rows, int count, int32_t du,
                       int32_t dv, uint32_t colour) {
  // The AVX-512 loops where the processor has them; their masked moves
  // are those a processor with AVX-512 VL but not BW would take too, so
  // such a rare one takes the AVX2 loops.
  if (EvexLoopsActive()) {
    FootprintRowsWith<EvexMasks>(op, f, rows, count, du, dv, colour);
  } else {
    FootprintRowsWith<VexMasks>(op, f, rows, count, du, dv, colour);
  }
}

#else

void FootprintRowsAvx2(SpanOp, const FootprintSource&, const FootprintRow*, int, int32_t, int32_t, uint32_t) {}

#endif

}  // namespace plat::gfx
