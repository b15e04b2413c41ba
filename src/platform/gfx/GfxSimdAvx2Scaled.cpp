// The AVX2 loops of the scaled rectangles (GfxScaledRect): texel columns
// weighted vertically, then pixels weighted horizontally from them and put
// on the target in the same pass.
#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxSimdAvx2Core.h"

namespace plat::gfx {

#if TM_GFX_AVX2

namespace {

using namespace avx2;

// The bilinear sums of pixels k and k + 4 of a group (see ScaledRow).
TM_AVX2 __m256i PixelPairSums(const char* base, const int32_t* offsets, const uint32_t* weights, int k) {
  const __m256i pairOrder = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15, 0, 1, 8, 9, 2, 3,
                                             10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
  const __m256i pair = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(base + offsets[k + 4]),
                                           reinterpret_cast<const __m128i*>(base + offsets[k]));
  const __m256i weighted = _mm256_madd_epi16(_mm256_shuffle_epi8(pair, pairOrder),
                                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights + 8 * k)));
  return _mm256_srli_epi32(_mm256_add_epi32(weighted, _mm256_set1_epi32((1 << 21) + 8192)), 14);
}

// n >= 1 pixels of one row: pixel i reads the two weighted columns at byte
// offset offsets[i] of `columns` (16-bit channels, less 128 x 128 each) and
// weights them (128 - x, x). Pixels k and k + 4 of a group of eight are
// worked on in the two halves of one register: a byte shuffle pairs the
// channels of the two columns, one multiply-add weights them, and adding
// 128 x 128 x 128 back gives the bilinear sums, rounded as BilinearPlain
// rounds them. The packs then put the eight pixels in order.
template <SpanOp op, class Masks>
__attribute__((target("avx2"))) void ScaledRow(const int16_t* columns, const int32_t* offsets, const uint32_t* weights,
                                               int n, uint32_t colour, uint32_t* dest) {
  const char* base = reinterpret_cast<const char*>(columns);
  const __m256i tint = ColourWords(colour);
  const Constants k;
  for (int i = 0; i < n; i += 8, offsets += 8, weights += 32) {
    StoreWordsOp<op, Masks>(
        _mm256_packs_epi32(PixelPairSums(base, offsets, weights, 0), PixelPairSums(base, offsets, weights, 1)),
        _mm256_packs_epi32(PixelPairSums(base, offsets, weights, 2), PixelPairSums(base, offsets, weights, 3)), tint,
        dest + i, n - i, k);
  }
}

// The bilinear sums of the pixels of columns.. (a0) paired with the next
// columns (a1): pixels 0 | 2 from the low words, 1 | 3 from the high ones.
TM_AVX2 void NeighbourSums(__m256i a0, __m256i a1, __m256i weights, __m256i* even, __m256i* odd) {
  const __m256i round = _mm256_set1_epi32((1 << 21) + 8192);
  *even = _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(a0, a1), weights), round), 14);
  *odd = _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(a0, a1), weights), round), 14);
}

// n >= 1 pixels of a row a texel a pixel: four neighbouring columns in one
// load, the four after each in another, interleaved so that every pixel's
// channels pair up for one multiply-add by the common weights.
template <SpanOp op, class Masks>
__attribute__((target("avx2"))) void UnitRow(const int16_t* columns, uint32_t x, int n, uint32_t colour,
                                             uint32_t* dest) {
  const __m256i weights = _mm256_set1_epi32(static_cast<int>((128 - x) | (x << 16)));
  const __m256i tint = ColourWords(colour);
  const Constants k;
  auto load = [columns](int i) { return reinterpret_cast<const __m256i*>(columns + 4 * i); };
  for (int i = 0; i < n; i += 8) {
    __m256i s0, s1, s2, s3;  // pixels 0 | 2, 1 | 3, 4 | 6, 5 | 7
    NeighbourSums(_mm256_loadu_si256(load(i)), _mm256_loadu_si256(load(i + 1)), weights, &s0, &s1);
    NeighbourSums(_mm256_loadu_si256(load(i + 4)), _mm256_loadu_si256(load(i + 5)), weights, &s2, &s3);
    // Packed as 0 1 4 5 | 2 3 6 7; the permutation puts the pairs in order.
    const __m256i t = _mm256_permute4x64_epi64(
        _mm256_packus_epi16(_mm256_packs_epi32(s0, s1), _mm256_packs_epi32(s2, s3)), 0xD8);
    StoreOp<op, Masks>(t, tint, dest + i, n - i, k);
  }
}

// n >= 1 filtered texels put on the target: a tinted operation tints the
// texels' channel words as the rows above do (TintWords), the others take
// the texels as they are, which is what the packs of those rows give them.
template <SpanOp op, class Masks>
__attribute__((target("avx2"))) void TexelRow(const uint32_t* texels, int n, uint32_t colour, uint32_t* dest) {
  const __m256i tint = ColourWords(colour), zero = _mm256_setzero_si256();
  const Constants k;
  for (int i = 0; i < n; i += 8) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + i));
    if constexpr (AfterTint(op) == op) {
      StoreOp<op, Masks, op == SpanOp::kBlend>(t, tint, dest + i, n - i, k);
    } else {
      StoreWordsOp<op, Masks>(_mm256_unpacklo_epi8(t, zero), _mm256_unpackhi_epi8(t, zero), tint, dest + i, n - i, k);
    }
  }
}

}  // namespace

__attribute__((target("avx2"))) void VerticalRunAvx2(const uint32_t* top, const uint32_t* bottom, int n, uint32_t y,
                                                     int16_t* out) {
  const __m256i weights = _mm256_set1_epi16(static_cast<short>((128 - y) | (y << 8)));
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
  for (int i = 0;; i += 8) {
    if (i + 8 > n) i = n - 8;  // the last eight again, overlapping columns already written with the same values
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom + i));
    // Columns 0 1 | 4 5 and 2 3 | 6 7, each channel's two texels side by side.
    const __m256i lo = _mm256_maddubs_epi16(weights, _mm256_xor_si256(_mm256_unpacklo_epi8(t, b), flip));
    const __m256i hi = _mm256_maddubs_epi16(weights, _mm256_xor_si256(_mm256_unpackhi_epi8(t, b), flip));
    __m256i* o = reinterpret_cast<__m256i*>(out + 4 * i);
    _mm256_storeu_si256(o, _mm256_permute2x128_si256(lo, hi, 0x20));
    _mm256_storeu_si256(o + 1, _mm256_permute2x128_si256(lo, hi, 0x31));
    if (i + 8 >= n) break;
  }
}

namespace {

template <class Masks>
void ScaledRowWith(SpanOp op, const int16_t* columns, const int32_t* offsets, const uint32_t* weights, int n,
                   uint32_t colour, uint32_t* dest) {
  switch (op) {
    case SpanOp::kCopy: ScaledRow<SpanOp::kCopy, Masks>(columns, offsets, weights, n, colour, dest); break;
    case SpanOp::kBlend: ScaledRow<SpanOp::kBlend, Masks>(columns, offsets, weights, n, colour, dest); break;
    case SpanOp::kTint: ScaledRow<SpanOp::kTint, Masks>(columns, offsets, weights, n, colour, dest); break;
    default: ScaledRow<SpanOp::kTintBlend, Masks>(columns, offsets, weights, n, colour, dest); break;
  }
}

template <class Masks>
void UnitRowWith(SpanOp op, const int16_t* columns, uint32_t x, int n, uint32_t colour, uint32_t* dest) {
  switch (op) {
    case SpanOp::kCopy: UnitRow<SpanOp::kCopy, Masks>(columns, x, n, colour, dest); break;
    case SpanOp::kBlend: UnitRow<SpanOp::kBlend, Masks>(columns, x, n, colour, dest); break;
    case SpanOp::kTint: UnitRow<SpanOp::kTint, Masks>(columns, x, n, colour, dest); break;
    default: UnitRow<SpanOp::kTintBlend, Masks>(columns, x, n, colour, dest); break;
  }
}

template <class Masks>
void TexelRowWith(SpanOp op, const uint32_t* texels, int n, uint32_t colour, uint32_t* dest) {
  switch (op) {
    case SpanOp::kCopy: TexelRow<SpanOp::kCopy, Masks>(texels, n, colour, dest); break;
    case SpanOp::kBlend: TexelRow<SpanOp::kBlend, Masks>(texels, n, colour, dest); break;
    case SpanOp::kTint: TexelRow<SpanOp::kTint, Masks>(texels, n, colour, dest); break;
    default: TexelRow<SpanOp::kTintBlend, Masks>(texels, n, colour, dest); break;
  }
}

}  // namespace

void ScaledRowAvx2(SpanOp op, const int16_t* columns, const int32_t* offsets, const uint32_t* weights, int n,
                   uint32_t colour, uint32_t* dest) {
  (Avx512MasksActive() ? ScaledRowWith<K512Masks> : ScaledRowWith<VexMasks>)(op, columns, offsets, weights, n, colour,
                                                                            dest);
}

void UnitRowAvx2(SpanOp op, const int16_t* columns, uint32_t x, int n, uint32_t colour, uint32_t* dest) {
  (Avx512MasksActive() ? UnitRowWith<K512Masks> : UnitRowWith<VexMasks>)(op, columns, x, n, colour, dest);
}

void TexelRowAvx2(SpanOp op, const uint32_t* texels, int n, uint32_t colour, uint32_t* dest) {
  (Avx512MasksActive() ? TexelRowWith<K512Masks> : TexelRowWith<VexMasks>)(op, texels, n, colour, dest);
}

#else

void TexelRowAvx2(SpanOp, const uint32_t*, int, uint32_t, uint32_t*) {}
void UnitRowAvx2(SpanOp, const int16_t*, uint32_t, int, uint32_t, uint32_t*) {}
void VerticalRunAvx2(const uint32_t*, const uint32_t*, int, uint32_t, int16_t*) {}
void ScaledRowAvx2(SpanOp, const int16_t*, const int32_t*, const uint32_t*, int, uint32_t, uint32_t*) {}

#endif

}  // namespace plat::gfx
