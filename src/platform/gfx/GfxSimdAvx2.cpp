#include "platform/gfx/GfxSimdAvx2.h"

#include <cstddef>

#include "platform/gfx/GfxSimdAvx2Core.h"

namespace plat::gfx {

#if TM_GFX_AVX2

namespace {

using namespace avx2;

const bool g_hasAvx2 = __builtin_cpu_supports("avx2");
const bool g_hasMasks512 = g_hasAvx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
const bool g_hasEvex = g_hasMasks512 && __builtin_cpu_supports("avx512bw");
bool g_masks512Allowed = true;

// Texel pairs (c00, c10) at four offsets as the 64-bit lanes [a b | c d].
TM_AVX2 __m256i Pairs(const uint32_t* t, int32_t a, int32_t b, int32_t c, int32_t d) {
  __m128i lo = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + a));
  lo = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(lo), reinterpret_cast<const double*>(t + b)));
  __m128i hi = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(t + c));
  hi = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(hi), reinterpret_cast<const double*>(t + d)));
  return _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

// Horizontal sums of four texel pairs, less the bias (see BilinearFromPairs).
TM_AVX2 __m256i RowSums(__m256i pairs, __m256i weights) {
  const __m256i pairOrder = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5, 2, 6, 3,
                                             7, 8, 12, 9, 13, 10, 14, 11, 15);
  const __m256i t = _mm256_shuffle_epi8(pairs, pairOrder);
  return _mm256_maddubs_epi16(weights, _mm256_xor_si256(t, _mm256_set1_epi8(static_cast<char>(0x80))));
}

// Rows weighted (128 - y, y), the bias removed, rounded to eight bits.
TM_AVX2 __m256i ColumnSums(__m256i pairs, __m256i weights) {
  const __m256i round = _mm256_set1_epi32((1 << 21) + 8192);
  return _mm256_srli_epi32(_mm256_add_epi32(_mm256_madd_epi16(pairs, weights), round), 14);
}

// The row sums of the pixels 0 1 | 4 5 (A) and 2 3 | 6 7 (B), top and
// bottom, weighted by the vertical pairs of each pixel (wy0 for 0 | 4, wy1
// for 1 | 5, ...) and packed into eight pixels in order.
TM_AVX2 __m256i CombineRows(__m256i topA, __m256i botA, __m256i topB, __m256i botB, __m256i wy0, __m256i wy1,
                            __m256i wy2, __m256i wy3) {
  const __m256i s0 = ColumnSums(_mm256_unpacklo_epi16(topA, botA), wy0);  // 0 | 4
  const __m256i s1 = ColumnSums(_mm256_unpackhi_epi16(topA, botA), wy1);  // 1 | 5
  const __m256i s2 = ColumnSums(_mm256_unpacklo_epi16(topB, botB), wy2);  // 2 | 6
  const __m256i s3 = ColumnSums(_mm256_unpackhi_epi16(topB, botB), wy3);  // 3 | 7
  return _mm256_packus_epi16(_mm256_packs_epi32(s0, s1), _mm256_packs_epi32(s2, s3));
}

// Eight bilinear texels with horizontal weights x and vertical weights y
// (0..128 in each 32-bit lane) from their texel pairs (c00, c10) and
// (c01, c11), given as 64-bit lanes for the pixels 0 1 | 4 5 (A) and
// 2 3 | 6 7 (B). A pair is weighted (128 - x, x) by one unsigned-by-signed
// multiply-add on texels biased by -128, which keeps the sum in a 16-bit
// word; the two rows are then weighted (128 - y, y) in 32 bits. Removing the
// bias gives exactly the sums of BilinearPlain.
TM_AVX2 __m256i BilinearWeighted(__m256i x, __m256i y, __m256i topA, __m256i botA, __m256i topB, __m256i botB) {
  const __m256i c128 = _mm256_set1_epi32(128);
  // Byte pairs (128 - x, x) in both words of each 32-bit lane.
  __m256i wx = _mm256_or_si256(_mm256_sub_epi32(c128, x), _mm256_slli_epi32(x, 8));
  wx = _mm256_or_si256(wx, _mm256_slli_epi32(wx, 16));
  const __m256i wxA = _mm256_unpacklo_epi32(wx, wx);
  const __m256i wxB = _mm256_unpackhi_epi32(wx, wx);
  const __m256i wy = _mm256_or_si256(_mm256_sub_epi32(c128, y), _mm256_slli_epi32(y, 16));
  return CombineRows(RowSums(topA, wxA), RowSums(botA, wxA), RowSums(topB, wxB), RowSums(botB, wxB),
                     _mm256_shuffle_epi32(wy, 0x00), _mm256_shuffle_epi32(wy, 0x55), _mm256_shuffle_epi32(wy, 0xAA),
                     _mm256_shuffle_epi32(wy, 0xFF));
}

// Eight bilinear texels of footprints one texel apart along a row (drawing
// at 1:1 off the pixel grid): every pixel has the first one's weights, and
// the pairs (c00, c10) of the pixels are the texels t0 and t1 of the top
// row and b0 and b1 of the bottom row, t1 and b1 one texel on from t0 and
// b0. The sums are those of BilinearWeighted.
TM_AVX2 __m256i BilinearUnitStep8(__m256i t0, __m256i t1, __m256i b0, __m256i b1, __m256i wx, __m256i wy) {
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i topA = _mm256_maddubs_epi16(wx, _mm256_xor_si256(_mm256_unpacklo_epi8(t0, t1), flip));
  const __m256i botA = _mm256_maddubs_epi16(wx, _mm256_xor_si256(_mm256_unpacklo_epi8(b0, b1), flip));
  const __m256i topB = _mm256_maddubs_epi16(wx, _mm256_xor_si256(_mm256_unpackhi_epi8(t0, t1), flip));
  const __m256i botB = _mm256_maddubs_epi16(wx, _mm256_xor_si256(_mm256_unpackhi_epi8(b0, b1), flip));
  return CombineRows(topA, botA, topB, botB, wy, wy, wy, wy);
}

TM_AVX2 __m256i Load8(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }

// The texels row[left + k], k = 0..7, their columns clamped into a row of
// w >= 8 texels: one load, and where the run reaches past an end, one
// permutation of the eight texels at that end.
TM_AVX2 __m256i ClampedRow8(const uint32_t* row, int w, int32_t left) {
  if (left >= 0 && left <= w - 8) return Load8(row + left);
  const int32_t base = left < 0 ? 0 : w - 8;
  __m256i index = _mm256_add_epi32(_mm256_set1_epi32(left), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  index = _mm256_min_epi32(_mm256_max_epi32(index, _mm256_setzero_si256()), _mm256_set1_epi32(w - 1));
  return _mm256_permutevar8x32_epi32(Load8(row + base), _mm256_sub_epi32(index, _mm256_set1_epi32(base)));
}

// The weights of 16.16 coordinates u, v (already less half a texel): the
// top seven bits of their fractions.
TM_AVX2 __m256i BilinearFromPairs(__m256i u, __m256i v, __m256i topA, __m256i botA, __m256i topB, __m256i botB) {
  const __m256i c127 = _mm256_set1_epi32(127);
  return BilinearWeighted(_mm256_and_si256(_mm256_srli_epi32(u, 9), c127),
                          _mm256_and_si256(_mm256_srli_epi32(v, 9), c127), topA, botA, topB, botB);
}

// Eight bilinear texels whose footprints lie inside the texture: each row
// pair is one 64-bit load.
TM_AVX2 __m256i Bilinear8(const uint32_t* texels, int w, __m256i u, __m256i v) {
  alignas(32) int32_t off[8];
  const __m256i rows = _mm256_mullo_epi32(_mm256_srai_epi32(v, 16), _mm256_set1_epi32(w));
  _mm256_store_si256(reinterpret_cast<__m256i*>(off), _mm256_add_epi32(rows, _mm256_srai_epi32(u, 16)));
  const uint32_t* below = texels + w;
  return BilinearFromPairs(u, v, Pairs(texels, off[0], off[1], off[4], off[5]),
                           Pairs(below, off[0], off[1], off[4], off[5]), Pairs(texels, off[2], off[3], off[6], off[7]),
                           Pairs(below, off[2], off[3], off[6], off[7]));
}

// Texel indices along one axis after clamp or (power-of-two) wrap addressing.
TM_AVX2 __m256i AddressAxis(__m256i i, int size, bool wrap) {
  const __m256i last = _mm256_set1_epi32(size - 1);
  if (wrap) return _mm256_and_si256(i, last);
  return _mm256_min_epi32(_mm256_max_epi32(i, _mm256_setzero_si256()), last);
}

// Eight bilinear texels with clamped columns (width >= 2) and clamped or
// wrapped rows, without gathering single texels. A footprint that reaches
// past the left edge reads the pair (0, 1) with all the weight on texel 0,
// one past the right edge the pair (w - 2, w - 1) with all the weight on
// texel w - 1: the same texels with the same weights as clamping each of the
// pair, so the sums do not change.
TM_AVX2 __m256i BilinearClampedU8(const uint32_t* texels, int w, int h, bool wrapV, __m256i u, __m256i v) {
  const __m256i ix = _mm256_srai_epi32(u, 16), iy = _mm256_srai_epi32(v, 16);
  const __m256i zero = _mm256_setzero_si256(), lastPair = _mm256_set1_epi32(w - 2);
  const __m256i x0 = _mm256_min_epi32(_mm256_max_epi32(ix, zero), lastPair);
  __m256i x = _mm256_and_si256(_mm256_srli_epi32(u, 9), _mm256_set1_epi32(127));
  x = _mm256_andnot_si256(_mm256_cmpgt_epi32(zero, ix), x);                       // left of the texture: 0
  x = _mm256_blendv_epi8(x, _mm256_set1_epi32(128), _mm256_cmpgt_epi32(ix, lastPair));  // right of it: 128
  const __m256i y = _mm256_and_si256(_mm256_srli_epi32(v, 9), _mm256_set1_epi32(127));
  const __m256i width = _mm256_set1_epi32(w);
  const __m256i row0 = _mm256_mullo_epi32(AddressAxis(iy, h, wrapV), width);
  const __m256i row1 = _mm256_mullo_epi32(AddressAxis(_mm256_add_epi32(iy, _mm256_set1_epi32(1)), h, wrapV), width);
  alignas(32) int32_t top[8], bottom[8];
  _mm256_store_si256(reinterpret_cast<__m256i*>(top), _mm256_add_epi32(row0, x0));
  _mm256_store_si256(reinterpret_cast<__m256i*>(bottom), _mm256_add_epi32(row1, x0));
  return BilinearWeighted(x, y, Pairs(texels, top[0], top[1], top[4], top[5]),
                          Pairs(texels, bottom[0], bottom[1], bottom[4], bottom[5]),
                          Pairs(texels, top[2], top[3], top[6], top[7]),
                          Pairs(texels, bottom[2], bottom[3], bottom[6], bottom[7]));
}

// Eight bilinear texels with addressing: blocks wholly inside the texture
// take Bilinear8; others with clamped columns BilinearClampedU8, with
// wrapped columns gather their four texels one by one.
TM_AVX2 __m256i BilinearAddressed8(const uint32_t* texels, int w, int h, bool wrapU, bool wrapV, __m256i u,
                                   __m256i v) {
  const __m256i ix = _mm256_srai_epi32(u, 16), iy = _mm256_srai_epi32(v, 16);
  const __m256i minus1 = _mm256_set1_epi32(-1);
  const __m256i insideX = _mm256_and_si256(_mm256_cmpgt_epi32(ix, minus1), _mm256_cmpgt_epi32(_mm256_set1_epi32(w - 1), ix));
  const __m256i insideY = _mm256_and_si256(_mm256_cmpgt_epi32(iy, minus1), _mm256_cmpgt_epi32(_mm256_set1_epi32(h - 1), iy));
  if (_mm256_movemask_epi8(_mm256_and_si256(insideX, insideY)) == -1) return Bilinear8(texels, w, u, v);
  if (!wrapU && w >= 2) return BilinearClampedU8(texels, w, h, wrapV, u, v);
  const __m256i one = _mm256_set1_epi32(1), width = _mm256_set1_epi32(w);
  const __m256i x0 = AddressAxis(ix, w, wrapU), x1 = AddressAxis(_mm256_add_epi32(ix, one), w, wrapU);
  const __m256i row0 = _mm256_mullo_epi32(AddressAxis(iy, h, wrapV), width);
  const __m256i row1 = _mm256_mullo_epi32(AddressAxis(_mm256_add_epi32(iy, one), h, wrapV), width);
  const int* base = reinterpret_cast<const int*>(texels);
  const __m256i c00 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x0), 4);
  const __m256i c10 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row0, x1), 4);
  const __m256i c01 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x0), 4);
  const __m256i c11 = _mm256_i32gather_epi32(base, _mm256_add_epi32(row1, x1), 4);
  return BilinearFromPairs(u, v, _mm256_unpacklo_epi32(c00, c10), _mm256_unpacklo_epi32(c01, c11),
                           _mm256_unpackhi_epi32(c00, c10), _mm256_unpackhi_epi32(c01, c11));
}

}  // namespace

bool detail::g_avx2Active = g_hasAvx2;
bool detail::g_masks512Active = g_hasMasks512;
bool detail::g_evexLoopsActive = g_hasEvex;
void SetAvx2Allowed(bool allowed) {
  detail::g_avx2Active = allowed && g_hasAvx2;
  SetAvx512MasksAllowed(g_masks512Allowed);
}
void SetAvx512MasksAllowed(bool allowed) {
  g_masks512Allowed = allowed;
  detail::g_masks512Active = detail::g_avx2Active && allowed && g_hasMasks512;
  detail::g_evexLoopsActive = detail::g_masks512Active && g_hasEvex;
}

__attribute__((target("avx2"))) void BlendSrcAlphaSpanAvx2(const uint32_t* src, uint32_t* dest, int n) {
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    if (_mm256_testc_si256(s, alphaMask)) {  // all opaque
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), s);
      continue;
    }
    if (_mm256_testz_si256(s, alphaMask)) continue;  // all clear
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dest + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), BlendCore(s, d));
  }
  if (i + 4 <= n) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), BlendCore(s, d));
    i += 4;
  }
  for (; i < n; ++i) BlendOne(src[i], dest + i);
}

// Source alpha added to the target (AddCore), eight pixels at a time.
__attribute__((target("avx2"))) void BlendAddSpanAvx2(const uint32_t* src, uint32_t* dest, int n) {
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    if (_mm256_testz_si256(s, alphaMask)) continue;  // all clear
    __m256i* d = reinterpret_cast<__m256i*>(dest + i);
    _mm256_storeu_si256(d, AddCore(s, _mm256_loadu_si256(d)));
  }
  BlendAddSpanPlain(src + i, dest + i, n - i);
}

__attribute__((target("avx2"))) void ModulateAddSpanAvx2(const uint32_t* texels, uint32_t colour, uint32_t* dest,
                                                         int n) {
  const __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(colour)), _mm256_setzero_si256());
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + i));
    if (_mm256_testz_si256(t, alphaMask)) continue;  // all clear: nothing added
    __m256i* d = reinterpret_cast<__m256i*>(dest + i);
    _mm256_storeu_si256(d, AddCore(ModulateCore(t, c), _mm256_loadu_si256(d)));
  }
  for (; i < n; ++i) {
    const uint32_t m = ModulateOne(texels[i], colour);
    BlendAddSpanPlain(&m, dest + i, 1);
  }
}

namespace {

// The alpha the stencil marks test, of eight texels: the texel's alpha
// times the colour's, Div255(a ca) as x = a ca + 128, (x + (x >> 8)) >> 8.
TM_AVX2 __m256i MarkAlpha8(__m256i texels, __m256i ca) {
  const __m256i a = _mm256_srli_epi32(texels, 24);
  const __m256i x = _mm256_add_epi32(_mm256_mullo_epi32(a, ca), _mm256_set1_epi32(128));
  return _mm256_srli_epi32(_mm256_add_epi32(x, _mm256_srli_epi32(x, 8)), 8);
}

// Every stencil bit written: a marked byte takes the reference's bits
// whatever it held, so it is stored under a byte mask with no load before it
// (the marked rows are seldom in the cache, and a load would wait for them);
// the whole span, its last few pixels included.
__attribute__((target("avx2,avx512f,avx512vl,avx512bw"))) int StencilReplaceEvex(
    const uint32_t* texels, uint8_t* stencil, int n, uint32_t colourAlpha, uint32_t alphaRef, uint8_t setBits) {
  const __m256i ca = _mm256_set1_epi32(static_cast<int>(colourAlpha));
  const __m256i below = _mm256_set1_epi32(static_cast<int>(alphaRef) - 1);
  const __m128i set = _mm_set1_epi8(static_cast<char>(setBits));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i alpha = MarkAlpha8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + i)), ca);
    const __mmask8 passes = _mm256_cmpgt_epi32_mask(alpha, below);
    if (passes != 0) _mm_mask_storeu_epi8(stencil + i, passes, set);
  }
  if (i < n) {  // the last few under a mask too, so no byte of the row is loaded
    const __mmask8 valid = static_cast<__mmask8>((1u << (n - i)) - 1);
    const __m256i alpha = MarkAlpha8(_mm256_maskz_loadu_epi32(valid, texels + i), ca);
    _mm_mask_storeu_epi8(stencil + i, _mm256_mask_cmpgt_epi32_mask(valid, alpha, below), set);
  }
  return n;
}

}  // namespace

__attribute__((target("avx2"))) int StencilMarkAvx2(const uint32_t* texels, uint8_t* stencil, int n,
                                                     uint32_t colourAlpha, uint32_t alphaRef, uint8_t keepBits,
                                                     uint8_t setBits) {
  if (keepBits == 0 && EvexLoopsActive()) return StencilReplaceEvex(texels, stencil, n, colourAlpha, alphaRef, setBits);
  const __m256i ca = _mm256_set1_epi32(static_cast<int>(colourAlpha));
  const __m256i below = _mm256_set1_epi32(static_cast<int>(alphaRef) - 1);
  const __m128i keep = _mm_set1_epi8(static_cast<char>(keepBits)), set = _mm_set1_epi8(static_cast<char>(setBits));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i alpha = MarkAlpha8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + i)), ca);
    const __m256i passes = _mm256_cmpgt_epi32(alpha, below);
    const __m128i words = _mm_packs_epi32(_mm256_castsi256_si128(passes), _mm256_extracti128_si256(passes, 1));
    const __m128i bytes = _mm_packs_epi16(words, words);
    if (_mm_movemask_epi8(bytes) == 0) continue;
    __m128i* p = reinterpret_cast<__m128i*>(stencil + i);
    const __m128i old = _mm_loadl_epi64(p);
    _mm_storel_epi64(p, _mm_blendv_epi8(old, _mm_or_si128(_mm_and_si128(old, keep), set), bytes));
  }
  return i;
}

__attribute__((target("avx2"))) int StencilCountUpFillAvx2(uint8_t* stencil, uint32_t* dest, int n, uint32_t ref,
                                                            uint32_t mask, uint32_t writeMask, uint32_t colour,
                                                            uint32_t channels) {
  const __m128i refs = _mm_set1_epi8(static_cast<char>(ref)), masks = _mm_set1_epi8(static_cast<char>(mask));
  const __m128i written = _mm_set1_epi8(static_cast<char>(writeMask)), one = _mm_set1_epi8(1);
  // Each channel Div255(s a + d (255 - a)): s a + 128 fixed, d (255 - a) added.
  const uint32_t a = colour >> 24;
  const __m256i rest = _mm256_set1_epi16(static_cast<int16_t>(255 - a));
  alignas(32) uint16_t fixedWords[16];
  for (int i = 0; i < 16; ++i) fixedWords[i] = static_cast<uint16_t>(((colour >> (8 * (i % 4))) & 0xFF) * a + 128);
  const __m256i fixed = _mm256_load_si256(reinterpret_cast<const __m256i*>(fixedWords));
  const __m256i kept = _mm256_set1_epi32(static_cast<int>(~channels)), zero = _mm256_setzero_si256();
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m128i old = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(stencil + i));
    const __m128i pass = _mm_cmpeq_epi8(_mm_and_si128(_mm_xor_si128(old, refs), masks), _mm_setzero_si128());
    if (_mm_movemask_epi8(pass) & 0xFF) {
      const __m128i counted = _mm_or_si128(_mm_andnot_si128(written, old), _mm_and_si128(_mm_adds_epu8(old, one), written));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(stencil + i), _mm_blendv_epi8(old, counted, pass));
      __m256i* p = reinterpret_cast<__m256i*>(dest + i);
      const __m256i d = _mm256_loadu_si256(p);
      __m256i lo = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), rest), fixed);
      __m256i hi = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), rest), fixed);
      lo = _mm256_srli_epi16(_mm256_add_epi16(lo, _mm256_srli_epi16(lo, 8)), 8);
      hi = _mm256_srli_epi16(_mm256_add_epi16(hi, _mm256_srli_epi16(hi, 8)), 8);
      const __m256i over = _mm256_packus_epi16(lo, hi);
      const __m256i out = _mm256_or_si256(_mm256_and_si256(d, kept), _mm256_andnot_si256(kept, over));
      _mm256_storeu_si256(p, _mm256_blendv_epi8(d, out, _mm256_cvtepi8_epi32(pass)));
    }
  }
  return i;
}

__attribute__((target("avx2"))) void ModulateBlendSpanAvx2(const uint32_t* texels, uint32_t colour, uint32_t* dest,
                                                           int n) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i c = _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(colour)), zero);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i t = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(texels + i));
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(t, alphaMask), zero)) == -1) continue;  // all clear
    const __m256i m = ModulateCore(t, c);
    __m256i out = m;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(m, alphaMask), alphaMask)) != -1) {
      out = BlendCore(m, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dest + i)));
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), out);
  }
  if (i + 4 <= n) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + i));
    const __m128i m = ModulateCore(t, _mm256_castsi256_si128(c));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), BlendCore(m, d));
    i += 4;
  }
  for (; i < n; ++i) BlendOne(ModulateOne(texels[i], colour), dest + i);
}

__attribute__((target("avx2"))) int FetchLinearInsideAvx2(const uint32_t* texels, int w, int32_t tu, int32_t tv,
                                                          int32_t du, int32_t dv, int n, uint32_t* out) {
  if (n < 8) return 0;
  const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i du1 = _mm256_set1_epi32(du), dv1 = _mm256_set1_epi32(dv);
  const __m256i u8 = _mm256_set1_epi32(8 * du), v8 = _mm256_set1_epi32(8 * dv);
  __m256i u = _mm256_add_epi32(_mm256_set1_epi32(tu), _mm256_mullo_epi32(steps, du1));
  __m256i v = _mm256_add_epi32(_mm256_set1_epi32(tv), _mm256_mullo_epi32(steps, dv1));
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Bilinear8(texels, w, u, v));
    u = _mm256_add_epi32(u, u8);
    v = _mm256_add_epi32(v, v8);
  }
  if (i < n) {
    // The last eight again, overlapping texels already written with the
    // same values.
    const int32_t k = n - 8;
    u = _mm256_add_epi32(_mm256_set1_epi32(tu + k * du), _mm256_mullo_epi32(steps, du1));
    v = _mm256_add_epi32(_mm256_set1_epi32(tv + k * dv), _mm256_mullo_epi32(steps, dv1));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), Bilinear8(texels, w, u, v));
  }
  return n;
}

__attribute__((target("avx2"))) void FetchLinearAvx2(const uint32_t* texels, int w, int h, bool wrapU, bool wrapV,
                                                     int32_t tu, int32_t tv, int32_t du, int32_t dv, int n,
                                                     uint32_t* out) {
  const __m256i steps = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i du1 = _mm256_set1_epi32(du), dv1 = _mm256_set1_epi32(dv);
  const __m256i u8 = _mm256_set1_epi32(8 * du), v8 = _mm256_set1_epi32(8 * dv);
  __m256i u = _mm256_add_epi32(_mm256_set1_epi32(tu), _mm256_mullo_epi32(steps, du1));
  __m256i v = _mm256_add_epi32(_mm256_set1_epi32(tv), _mm256_mullo_epi32(steps, dv1));
  // Footprints a texel apart along one row of texels (1:1 off the pixel
  // grid) with clamped columns: two rows of texels, addressed once, each
  // read as two runs of eight a texel apart.
  const bool unit = du == 0x10000 && dv == 0 && !wrapU && w >= 8;
  const uint32_t *top = texels, *bottom = texels;
  __m256i wx = _mm256_setzero_si256(), wy = _mm256_setzero_si256();
  const int32_t column = tu >> 16;
  if (unit) {
    const int32_t row = tv >> 16;
    auto address = [&](int32_t r) { return wrapV ? (r & (h - 1)) : r < 0 ? 0 : r >= h ? h - 1 : r; };
    top = texels + static_cast<ptrdiff_t>(address(row)) * w;
    bottom = texels + static_cast<ptrdiff_t>(address(row + 1)) * w;
    const int x = (tu >> 9) & 127, y = (tv >> 9) & 127;
    wx = _mm256_set1_epi16(static_cast<short>((128 - x) | (x << 8)));
    wy = _mm256_set1_epi32((128 - y) | (y << 16));
  }
  int i = 0;
  for (; i < n; i += 8) {
    __m256i block;
    if (unit) {
      const int32_t left = column + i;
      block = BilinearUnitStep8(ClampedRow8(top, w, left), ClampedRow8(top, w, left + 1), ClampedRow8(bottom, w, left),
                                ClampedRow8(bottom, w, left + 1), wx, wy);
    } else {
      block = BilinearAddressed8(texels, w, h, wrapU, wrapV, u, v);
      u = _mm256_add_epi32(u, u8);
      v = _mm256_add_epi32(v, v8);
    }
    if (i + 8 <= n) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), block);
      continue;
    }
    // The last few: eight computed, only those asked for kept.
    alignas(32) uint32_t rest[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(rest), block);
    for (int k = 0; i + k < n; ++k) out[i + k] = rest[k];
  }
}

#else

void FetchLinearAvx2(const uint32_t*, int, int, bool, bool, int32_t, int32_t, int32_t, int32_t, int, uint32_t*) {}
bool detail::g_avx2Active = false;
bool detail::g_masks512Active = false;
bool detail::g_evexLoopsActive = false;
void SetAvx2Allowed(bool) {}
void SetAvx512MasksAllowed(bool) {}
void BlendSrcAlphaSpanAvx2(const uint32_t*, uint32_t*, int) {}
void ModulateBlendSpanAvx2(const uint32_t*, uint32_t, uint32_t*, int) {}
void BlendAddSpanAvx2(const uint32_t*, uint32_t*, int) {}
void ModulateAddSpanAvx2(const uint32_t*, uint32_t, uint32_t*, int) {}
int StencilCountUpFillAvx2(uint8_t*, uint32_t*, int, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) { return 0; }
int StencilMarkAvx2(const uint32_t*, uint8_t*, int, uint32_t, uint32_t, uint8_t, uint8_t) { return 0; }
int FetchLinearInsideAvx2(const uint32_t*, int, int32_t, int32_t, int32_t, int32_t, int, uint32_t*) { return 0; }

#endif

}  // namespace plat::gfx
