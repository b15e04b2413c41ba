#include "platform/gfx/GfxSimdAvx2.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TM_GFX_AVX2 1
#endif

namespace plat::gfx {

#if TM_GFX_AVX2

namespace {

bool g_allowed = true;
const bool g_hasAvx2 = __builtin_cpu_supports("avx2");

// Channel sums of two bilinear texels, one per 128-bit lane (see the SSE2
// BilinearSums): pa, pb point at c00 of each; the weights sit in every
// 32-bit word of the matching lane.
__attribute__((target("avx2"), always_inline)) inline __m256i BilinearSums2(const uint32_t* pa, const uint32_t* pb,
                                                                          int w, __m256i wt, __m256i wb) {
  const __m256i zero = _mm256_setzero_si256();
  __m256i top = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pa))),
                                        _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pb)), 1);
  __m256i bottom =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(pa + w))),
                              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pb + w)), 1);
  top = _mm256_unpacklo_epi8(_mm256_unpacklo_epi8(top, _mm256_srli_si256(top, 4)), zero);
  bottom = _mm256_unpacklo_epi8(_mm256_unpacklo_epi8(bottom, _mm256_srli_si256(bottom, 4)), zero);
  return _mm256_add_epi32(_mm256_madd_epi16(top, wt), _mm256_madd_epi16(bottom, wb));
}

}  // namespace

bool Avx2Active() { return g_hasAvx2 && g_allowed; }
void SetAvx2Allowed(bool allowed) { g_allowed = allowed; }

__attribute__((target("avx2"))) void BlendSrcAlphaSpanAvx2(const uint32_t* src, uint32_t* dest, int n) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i c255 = _mm256_set1_epi16(255);
  const __m256i c128 = _mm256_set1_epi16(128);
  const __m256i alphaMask = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i shuffleAlpha = _mm256_setr_epi8(6, 7, 6, 7, 6, 7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15, 6, 7, 6, 7, 6,
                                                7, 6, 7, 14, 15, 14, 15, 14, 15, 14, 15);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i a = _mm256_and_si256(s, alphaMask);
    const uint32_t opaque = static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, alphaMask)));
    if (opaque == 0xFFFFFFFFu) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), s);
      continue;
    }
    if (static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(a, zero))) == 0xFFFFFFFFu) continue;
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dest + i));
    const __m256i slo = _mm256_unpacklo_epi8(s, zero), shi = _mm256_unpackhi_epi8(s, zero);
    const __m256i dlo = _mm256_unpacklo_epi8(d, zero), dhi = _mm256_unpackhi_epi8(d, zero);
    const __m256i alo = _mm256_shuffle_epi8(slo, shuffleAlpha), ahi = _mm256_shuffle_epi8(shi, shuffleAlpha);
    __m256i tlo = _mm256_add_epi16(_mm256_mullo_epi16(slo, alo), _mm256_mullo_epi16(dlo, _mm256_sub_epi16(c255, alo)));
    __m256i thi = _mm256_add_epi16(_mm256_mullo_epi16(shi, ahi), _mm256_mullo_epi16(dhi, _mm256_sub_epi16(c255, ahi)));
    tlo = _mm256_add_epi16(tlo, c128);
    thi = _mm256_add_epi16(thi, c128);
    tlo = _mm256_srli_epi16(_mm256_add_epi16(tlo, _mm256_srli_epi16(tlo, 8)), 8);
    thi = _mm256_srli_epi16(_mm256_add_epi16(thi, _mm256_srli_epi16(thi, 8)), 8);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), _mm256_packus_epi16(tlo, thi));
  }
  // The tail: the same arithmetic one pixel at a time.
  for (; i < n; ++i) {
    const uint32_t s = src[i], d = dest[i], a = s >> 24;
    if (a == 0) continue;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      uint32_t x = ((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a) + 128;
      out |= ((x + (x >> 8)) >> 8) << shift;
    }
    dest[i] = out;
  }
}

__attribute__((target("avx2"))) int FetchLinearInsideAvx2(const uint32_t* texels, int w, int32_t tu, int32_t tv,
                                                          int32_t du, int32_t dv, int n, uint32_t* out) {
  // Lane order 0 2 4 6 | 1 3 5 7, so a word shuffle pairs pixels 2k and 2k+1.
  __m256i u = _mm256_setr_epi32(tu, tu + 2 * du, tu + 4 * du, tu + 6 * du, tu + du, tu + 3 * du, tu + 5 * du,
                                tu + 7 * du);
  __m256i v = _mm256_setr_epi32(tv, tv + 2 * dv, tv + 4 * dv, tv + 6 * dv, tv + dv, tv + 3 * dv, tv + 5 * dv,
                                tv + 7 * dv);
  const __m256i u8 = _mm256_set1_epi32(8 * du), v8 = _mm256_set1_epi32(8 * dv);
  const __m256i c127 = _mm256_set1_epi32(127), c128 = _mm256_set1_epi32(128), round = _mm256_set1_epi32(8192);
  const __m256i width = _mm256_set1_epi32(w);
  const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i x = _mm256_and_si256(_mm256_srli_epi32(u, 9), c127);
    const __m256i y = _mm256_and_si256(_mm256_srli_epi32(v, 9), c127);
    const __m256i rx = _mm256_sub_epi32(c128, x), ry = _mm256_sub_epi32(c128, y);
    const __m256i wt = _mm256_or_si256(_mm256_mullo_epi16(rx, ry), _mm256_slli_epi32(_mm256_mullo_epi16(x, ry), 16));
    const __m256i wb = _mm256_or_si256(_mm256_mullo_epi16(rx, y), _mm256_slli_epi32(_mm256_mullo_epi16(x, y), 16));
    alignas(32) int32_t off[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(off),
                       _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(v, 16), width), _mm256_srai_epi32(u, 16)));
    const __m256i s01 = BilinearSums2(texels + off[0], texels + off[4], w, _mm256_shuffle_epi32(wt, 0x00),
                                      _mm256_shuffle_epi32(wb, 0x00));
    const __m256i s23 = BilinearSums2(texels + off[1], texels + off[5], w, _mm256_shuffle_epi32(wt, 0x55),
                                      _mm256_shuffle_epi32(wb, 0x55));
    const __m256i s45 = BilinearSums2(texels + off[2], texels + off[6], w, _mm256_shuffle_epi32(wt, 0xAA),
                                      _mm256_shuffle_epi32(wb, 0xAA));
    const __m256i s67 = BilinearSums2(texels + off[3], texels + off[7], w, _mm256_shuffle_epi32(wt, 0xFF),
                                      _mm256_shuffle_epi32(wb, 0xFF));
    const __m256i a = _mm256_packs_epi32(_mm256_srli_epi32(_mm256_add_epi32(s01, round), 14),
                                         _mm256_srli_epi32(_mm256_add_epi32(s23, round), 14));
    const __m256i b = _mm256_packs_epi32(_mm256_srli_epi32(_mm256_add_epi32(s45, round), 14),
                                         _mm256_srli_epi32(_mm256_add_epi32(s67, round), 14));
    // Lane 0 holds pixels 0 2 4 6, lane 1 pixels 1 3 5 7: put them in order.
    const __m256i packed = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(a, b), order);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), packed);
    u = _mm256_add_epi32(u, u8);
    v = _mm256_add_epi32(v, v8);
  }
  return i;
}

#else

bool Avx2Active() { return false; }
void SetAvx2Allowed(bool) {}
void BlendSrcAlphaSpanAvx2(const uint32_t*, uint32_t*, int) {}
int FetchLinearInsideAvx2(const uint32_t*, int, int32_t, int32_t, int32_t, int32_t, int, uint32_t*) { return 0; }

#endif

}  // namespace plat::gfx
