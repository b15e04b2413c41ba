// The rows of a turned sprite: bounded by its edges, the four stepped
// together, and narrowed by lines four rows at a time with AVX2 (the bounds
// in double precision, rounded inwards to whole pixels).
#include <algorithm>
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

__attribute__((target("avx2"))) void EdgePairRowsAvx2(EdgePairs& e, int n, int64_t left, int64_t right, int64_t* xl,
                                                       int64_t* xr) {
  const __m256i* in = reinterpret_cast<const __m256i*>(&e);
  __m256i q = _mm256_loadu_si256(in), r = _mm256_loadu_si256(in + 1);
  const __m256i div = _mm256_loadu_si256(in + 4);
  // A step: t = r + dr - div, a borrow (all ones) when t < 0, then
  // q += dq + 1 + borrow and r = t + (div & borrow).
  const __m256i dq = _mm256_add_epi64(_mm256_loadu_si256(in + 2), _mm256_set1_epi64x(1));
  const __m256i dr = _mm256_sub_epi64(_mm256_loadu_si256(in + 3), div);
  const __m256i zero = _mm256_setzero_si256();
  for (int k = 0; k < n; ++k) {
    // The smaller q of each pair: the left bound's negation, the right bound.
    const __m256i swapped = _mm256_permute4x64_epi64(q, 0xB1);
    const __m256i least = _mm256_blendv_epi8(q, swapped, _mm256_cmpgt_epi64(q, swapped));
    const int64_t fromLeft = -_mm256_extract_epi64(least, 0), fromRight = _mm256_extract_epi64(least, 2);
    xl[k] = fromLeft > left ? fromLeft : left;
    xr[k] = fromRight < right ? fromRight : right;
    const __m256i t = _mm256_add_epi64(r, dr);
    const __m256i borrow = _mm256_cmpgt_epi64(zero, t);
    q = _mm256_add_epi64(q, _mm256_add_epi64(dq, borrow));
    r = _mm256_add_epi64(t, _mm256_and_si256(div, borrow));
  }
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(e.q), q);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(e.r), r);
}

#else

void EdgePairRowsAvx2(EdgePairs& e, int n, int64_t left, int64_t right, int64_t* xl, int64_t* xr) {
  for (int k = 0; k < n; ++k) {
    xl[k] = std::max({left, -e.q[0], -e.q[1]});
    xr[k] = std::min({right, e.q[2], e.q[3]});
    for (int j = 0; j < 4; ++j) {
      const int64_t t = e.r[j] + e.dr[j] - e.div[j], borrow = t >> 63;
      e.q[j] += e.dq[j] + 1 + borrow;
      e.r[j] = t + (e.div[j] & borrow);
    }
  }
}

void NarrowRowsAvx2(const RowBounds&, int64_t, int, const int64_t*, const int64_t*, int64_t*, int64_t*) {}

#endif

}  // namespace plat::gfx
