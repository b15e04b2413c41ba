// The rows of a turned sprite narrowed by lines, four rows at a time with
// AVX2: the bounds in double precision, rounded inwards to whole pixels.
#include <cstddef>

#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxSimdAvx2Core.h"

namespace plat::gfx {

#if TM_GFX_AVX2

__attribute__((target("avx2"))) void NarrowRowsAvx2(const RowBounds& b, int64_t first, int n, const int64_t* xl,
                                                     const int64_t* xr, int64_t* from, int64_t* to) {
  // Bounds beyond the pixels are held at +-2^30, so that they fit 32 bits.
  const __m256d high = _mm256_set1_pd(1 << 30), low = _mm256_set1_pd(-(1 << 30));
  const __m256d four = _mm256_set1_pd(4.0);
  __m256d y = _mm256_add_pd(_mm256_set1_pd(static_cast<double>(first)), _mm256_setr_pd(0, 1, 2, 3));
  for (int k = 0; k < n; k += 4, y = _mm256_add_pd(y, four)) {
    // A NaN bound (second operand kept) leaves its row as it was.
    __m256d l = low, r = high;
    for (int j = 0; j < b.leftCount; ++j) {
      const __m256d at = _mm256_add_pd(_mm256_set1_pd(b.lefts[j].at), _mm256_mul_pd(_mm256_set1_pd(b.lefts[j].slope), y));
      l = _mm256_max_pd(at, l);
    }
    for (int j = 0; j < b.rightCount; ++j) {
      const __m256d at =
          _mm256_add_pd(_mm256_set1_pd(b.rights[j].at), _mm256_mul_pd(_mm256_set1_pd(b.rights[j].slope), y));
      r = _mm256_min_pd(at, r);
    }
    for (int j = 0; j < b.levelCount; ++j) {
      const __m256d at =
          _mm256_add_pd(_mm256_set1_pd(b.levels[j].at), _mm256_mul_pd(_mm256_set1_pd(b.levels[j].slope), y));
      l = _mm256_blendv_pd(l, high, _mm256_cmp_pd(at, _mm256_setzero_pd(), _CMP_LT_OQ));
    }
    l = _mm256_min_pd(_mm256_round_pd(l, _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC), high);
    r = _mm256_max_pd(_mm256_round_pd(r, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC), low);
    const __m256i il = _mm256_cvtepi32_epi64(_mm256_cvttpd_epi32(l));
    const __m256i ir = _mm256_cvtepi32_epi64(_mm256_cvttpd_epi32(r));
    const __m256i ol = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xl + k));
    const __m256i orr = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(xr + k));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(from + k), _mm256_blendv_epi8(ol, il, _mm256_cmpgt_epi64(il, ol)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + k), _mm256_blendv_epi8(orr, ir, _mm256_cmpgt_epi64(orr, ir)));
  }
}

#else

void NarrowRowsAvx2(const RowBounds&, int64_t, int, const int64_t*, const int64_t*, int64_t*, int64_t*) {}

#endif

}  // namespace plat::gfx
