// The arithmetic shared by the AVX2 pixel loops (GfxSimdAvx2*.cpp): blends,
// tints and the narrow span operations on eight pixels at once, with exactly
// the results of the plain routines in GfxPipeline. Only for files that are
// compiled for x86-64; every function here needs AVX2 at run time, so callers
// reach them only after Avx2Active().
#pragma once

#include <cstdint>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TM_GFX_AVX2 1
#endif

#include "platform/gfx/GfxPipeline.h"

#if TM_GFX_AVX2

namespace plat::gfx::avx2 {

#define TM_AVX2 __attribute__((target("avx2"), always_inline)) inline

// round(x / 255) of 16-bit sums x <= 255 * 255 given as y = x + 128:
// (y * 257) >> 16 equals (y + (y >> 8)) >> 8 for every 16-bit y.
TM_AVX2 __m256i Div255Biased(__m256i y) { return _mm256_mulhi_epu16(y, _mm256_set1_epi16(257)); }
TM_AVX2 __m128i Div255Biased(__m128i y) { return _mm_mulhi_epu16(y, _mm_set1_epi16(257)); }

// Source-alpha blend of eight pixels: every channel becomes
// round((s a + d (255 - a)) / 255). The pixels are biased to signed bytes so
// one multiply-add of unsigned weights (a, 255 - a) against (s, d) gives the
// sum less 128 x 255, which a 16-bit word holds without saturating.
TM_AVX2 __m256i BlendCore(__m256i s, __m256i d) {
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i inv = _mm256_set1_epi16(static_cast<short>(0xFF00));
  const __m256i alphaLo = _mm256_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3, 3, 3, 3, 3, 3, 3, 7,
                                           7, 7, 7, 7, 7, 7, 7);
  const __m256i alphaHi = _mm256_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15, 11, 11, 11,
                                           11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15);
  const __m256i bias = _mm256_set1_epi16(static_cast<short>(0x8000));  // 128 x 255 + 128
  const __m256i lo = _mm256_xor_si256(_mm256_unpacklo_epi8(s, d), flip);
  const __m256i hi = _mm256_xor_si256(_mm256_unpackhi_epi8(s, d), flip);
  const __m256i wlo = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphaLo), inv);
  const __m256i whi = _mm256_xor_si256(_mm256_shuffle_epi8(s, alphaHi), inv);
  const __m256i tlo = Div255Biased(_mm256_add_epi16(_mm256_maddubs_epi16(wlo, lo), bias));
  const __m256i thi = Div255Biased(_mm256_add_epi16(_mm256_maddubs_epi16(whi, hi), bias));
  return _mm256_packus_epi16(tlo, thi);
}

TM_AVX2 __m128i BlendCore(__m128i s, __m128i d) {
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i inv = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i alphaLo = _mm_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7);
  const __m128i alphaHi = _mm_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15);
  const __m128i bias = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i lo = _mm_xor_si128(_mm_unpacklo_epi8(s, d), flip);
  const __m128i hi = _mm_xor_si128(_mm_unpackhi_epi8(s, d), flip);
  const __m128i wlo = _mm_xor_si128(_mm_shuffle_epi8(s, alphaLo), inv);
  const __m128i whi = _mm_xor_si128(_mm_shuffle_epi8(s, alphaHi), inv);
  const __m128i tlo = Div255Biased(_mm_add_epi16(_mm_maddubs_epi16(wlo, lo), bias));
  const __m128i thi = Div255Biased(_mm_add_epi16(_mm_maddubs_epi16(whi, hi), bias));
  return _mm_packus_epi16(tlo, thi);
}

// Every channel of t times the matching channel of c (c's channels in 16-bit
// words), round(t c / 255).
TM_AVX2 __m256i ModulateCore(__m256i t, __m256i c) {
  const __m256i zero = _mm256_setzero_si256(), c128 = _mm256_set1_epi16(128);
  const __m256i lo = Div255Biased(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(t, zero), c), c128));
  const __m256i hi = Div255Biased(_mm256_add_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(t, zero), c), c128));
  return _mm256_packus_epi16(lo, hi);
}

TM_AVX2 __m128i ModulateCore(__m128i t, __m128i c) {
  const __m128i zero = _mm_setzero_si128(), c128 = _mm_set1_epi16(128);
  const __m128i lo = Div255Biased(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(t, zero), c), c128));
  const __m128i hi = Div255Biased(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(t, zero), c), c128));
  return _mm_packus_epi16(lo, hi);
}

// Source alpha added to the target: every channel of s times s's alpha,
// rounded as Div255 rounds (which equals the blend's DivRound255 for
// products of two bytes), added to d's with saturation. A clear pixel adds
// nothing.
TM_AVX2 __m256i AddCore(__m256i s, __m256i d) {
  const __m256i zero = _mm256_setzero_si256(), c128 = _mm256_set1_epi16(128);
  // Each pixel's alpha in the four 16-bit words of its channels, for the
  // low and the high pair of pixels of each 128-bit lane.
  const __m256i alphaLo = _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1,  //
                                           3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1);
  const __m256i alphaHi = _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1,  //
                                           11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
  const __m256i lo = _mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), _mm256_shuffle_epi8(s, alphaLo));
  const __m256i hi = _mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), _mm256_shuffle_epi8(s, alphaHi));
  const __m256i added = _mm256_packus_epi16(Div255Biased(_mm256_add_epi16(lo, c128)),
                                            Div255Biased(_mm256_add_epi16(hi, c128)));
  return _mm256_adds_epu8(d, added);
}

// The same arithmetic one pixel at a time, for the last few of a span.
inline void BlendOne(uint32_t s, uint32_t* dest) {
  const uint32_t d = *dest, a = s >> 24;
  if (a == 0) return;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t x = ((s >> shift) & 0xFF) * a + ((d >> shift) & 0xFF) * (255 - a) + 128;
    out |= ((x + (x >> 8)) >> 8) << shift;
  }
  *dest = out;
}

inline uint32_t ModulateOne(uint32_t t, uint32_t c) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t x = ((t >> shift) & 0xFF) * ((c >> shift) & 0xFF) + 128;
    out |= ((x + (x >> 8)) >> 8) << shift;
  }
  return out;
}

TM_AVX2 __m256i AlphaMask() { return _mm256_set1_epi32(static_cast<int>(0xFF000000u)); }

// A value the compiler cannot see through. Short of registers, it keeps such
// a value in memory and reads it as an operand where it is used, instead of
// building the constant again from immediates before every row.
TM_AVX2 __m256i Opaque(__m256i v) {
  __asm__("" : "+v"(v));
  return v;
}

// The constants of the span operations below, made once per loop.
struct Constants {
  __m256i flip, inv, bias, c128, c257, alphaLo, alphaHi;

  TM_AVX2 Constants()
      : flip(Opaque(_mm256_set1_epi8(static_cast<char>(0x80)))),
        inv(Opaque(_mm256_set1_epi16(static_cast<short>(0xFF00)))),
        bias(Opaque(_mm256_set1_epi16(static_cast<short>(0x8000)))),  // 128 x 255 + 128
        c128(Opaque(_mm256_set1_epi16(128))),
        c257(Opaque(_mm256_set1_epi16(257))),
        alphaLo(_mm256_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7, 7, 7, 3, 3, 3, 3, 3, 3, 3, 3, 7, 7, 7, 7, 7, 7,
                                 7, 7)),
        alphaHi(_mm256_setr_epi8(11, 11, 11, 11, 11, 11, 11, 11, 15, 15, 15, 15, 15, 15, 15, 15, 11, 11, 11, 11, 11, 11,
                                 11, 11, 15, 15, 15, 15, 15, 15, 15, 15)) {}
};

// BlendCore with the constants at hand.
TM_AVX2 __m256i BlendCore(__m256i s, __m256i d, const Constants& k) {
  const __m256i lo = _mm256_xor_si256(_mm256_unpacklo_epi8(s, d), k.flip);
  const __m256i hi = _mm256_xor_si256(_mm256_unpackhi_epi8(s, d), k.flip);
  const __m256i wlo = _mm256_xor_si256(_mm256_shuffle_epi8(s, k.alphaLo), k.inv);
  const __m256i whi = _mm256_xor_si256(_mm256_shuffle_epi8(s, k.alphaHi), k.inv);
  const __m256i tlo = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_maddubs_epi16(wlo, lo), k.bias), k.c257);
  const __m256i thi = _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_maddubs_epi16(whi, hi), k.bias), k.c257);
  return _mm256_packus_epi16(tlo, thi);
}

// round(w c / 255) of 16-bit words w and c, each at most 255.
TM_AVX2 __m256i ModulateWords(__m256i w, __m256i c, const Constants& k) {
  return _mm256_mulhi_epu16(_mm256_add_epi16(_mm256_mullo_epi16(w, c), k.c128), k.c257);
}

// A colour's channels in the 16-bit words ModulateCore takes.
TM_AVX2 __m256i ColourWords(uint32_t colour) {
  return _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(colour)), _mm256_setzero_si256());
}

// Eight texels t put on the target pixels d by `op` (colour in words for the
// tints): the new target pixels. A clear texel leaves its pixel as it was and
// an opaque one replaces it, which the blend gives as well.
template <SpanOp op>
TM_AVX2 __m256i ApplyOp(__m256i t, __m256i colour, __m256i d, const Constants& k) {
  if constexpr (op == SpanOp::kCopy) {
    return t;
  } else if constexpr (op == SpanOp::kBlend) {
    return BlendCore(t, d, k);
  } else if constexpr (op == SpanOp::kAdd) {
    return AddCore(t, d);
  } else {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i m = _mm256_packus_epi16(ModulateWords(_mm256_unpacklo_epi8(t, zero), colour, k),
                                          ModulateWords(_mm256_unpackhi_epi8(t, zero), colour, k));
    if constexpr (op == SpanOp::kTintAdd) return AddCore(m, d);
    return op == SpanOp::kTint ? m : BlendCore(m, d, k);
  }
}

// Whether `op` reads the target pixels it writes.
constexpr bool ReadsTarget(SpanOp op) { return op != SpanOp::kCopy && op != SpanOp::kTint; }

// Moves of the first `left` 32-bit lanes of a register, the others neither
// read (zero) nor written. VexMasks uses the AVX2 masked moves, which some
// processors (AMD's) store slowly: tens of cycles, once for nearly every row
// of a small sprite. K512Masks does the same with an AVX-512 mask register
// in a cycle or two, for processors with AVX-512 VL (Avx512MasksActive).
// Its instructions are written out, so that the loops around them stay
// compiled for AVX2 alone and the choice is made at run time; without
// AVX-512 in the build the compiler never uses mask registers, and the one
// the moves take (caller-saved) is only named as changed where it may.
struct VexMasks {
  TM_AVX2 static __m256i Mask8(int left) {
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(left), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  }
  TM_AVX2 static __m128i Mask4(int left) { return _mm_cmpgt_epi32(_mm_set1_epi32(left), _mm_setr_epi32(0, 1, 2, 3)); }
  TM_AVX2 static __m256i Load8(const uint32_t* p, int left) {
    return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), Mask8(left));
  }
  TM_AVX2 static void Store8(uint32_t* p, int left, __m256i v) {
    _mm256_maskstore_epi32(reinterpret_cast<int*>(p), Mask8(left), v);
  }
  TM_AVX2 static __m128i Load4(const uint32_t* p, int left) {
    return _mm_maskload_epi32(reinterpret_cast<const int*>(p), Mask4(left));
  }
  TM_AVX2 static void Store4(uint32_t* p, int left, __m128i v) {
    _mm_maskstore_epi32(reinterpret_cast<int*>(p), Mask4(left), v);
  }
};

#if defined(__AVX512F__)
#define TM_K1_CLOBBER : "k1"
#else
#define TM_K1_CLOBBER
#endif

// The four masked moves through k1, naming it as changed by `clobber`.
#define TM_K1_MOVES(clobber)                                                                  \
  TM_AVX2 static __m256i Load8(const uint32_t* p, int left) {                                 \
    __m256i v;                                                                                \
    __asm__("kmovw %k[m], %%k1\n\tvmovdqu32 %[p], %[v]%{%%k1%}%{z%}"                          \
            : [v] "=v"(v)                                                                     \
            : [p] "m"(*reinterpret_cast<const __m256i_u*>(p)), [m] "r"(Bits(left)) clobber);  \
    return v;                                                                                 \
  }                                                                                           \
  TM_AVX2 static void Store8(uint32_t* p, int left, __m256i v) {                              \
    __asm__("kmovw %k[m], %%k1\n\tvmovdqu32 %[v], %[p]%{%%k1%}"                               \
            : [p] "+m"(*reinterpret_cast<__m256i_u*>(p))                                      \
            : [v] "v"(v), [m] "r"(Bits(left)) clobber);                                       \
  }                                                                                           \
  TM_AVX2 static __m128i Load4(const uint32_t* p, int left) {                                 \
    __m128i v;                                                                                \
    __asm__("kmovw %k[m], %%k1\n\tvmovdqu32 %[p], %[v]%{%%k1%}%{z%}"                          \
            : [v] "=v"(v)                                                                     \
            : [p] "m"(*reinterpret_cast<const __m128i_u*>(p)), [m] "r"(Bits(left)) clobber);  \
    return v;                                                                                 \
  }                                                                                           \
  TM_AVX2 static void Store4(uint32_t* p, int left, __m128i v) {                              \
    __asm__("kmovw %k[m], %%k1\n\tvmovdqu32 %[v], %[p]%{%%k1%}"                               \
            : [p] "+m"(*reinterpret_cast<__m128i_u*>(p))                                      \
            : [v] "v"(v), [m] "r"(Bits(left)) clobber);                                       \
  }

struct K512Masks {
  // Lanes 0 .. left - 1 as mask bits; none for a count of 0 or less, as
  // the AVX2 masks give.
  static uint32_t Bits(int left) { return left <= 0 ? 0u : left >= 8 ? 0xFFu : (1u << left) - 1; }
  TM_K1_MOVES(TM_K1_CLOBBER)
};

// K512Masks for loops that are themselves compiled for AVX-512 (F, VL and
// BW: its encoding gives them 32 vector registers, see EvexLoopsActive),
// and only for them: there the compiler may keep a mask of its own in k1,
// so the moves name it as changed.
struct EvexMasks {
  static uint32_t Bits(int left) { return K512Masks::Bits(left); }
  TM_K1_MOVES(: "k1")
};

#undef TM_K1_MOVES
#undef TM_K1_CLOBBER

// ApplyOp on eight target pixels, or on the first `left` of them when fewer
// than eight are left. A tinted blend is done whatever the texels' alpha: a
// branch on it costs more than it saves on small sprites. Untinted texels
// (`opaqueFirst`), mostly whole pictures such as a level's ground, are
// first tested for being all opaque or all clear.
template <SpanOp op, class Masks = VexMasks, bool opaqueFirst = op == SpanOp::kBlend>
TM_AVX2 void StoreOp(__m256i t, __m256i colour, uint32_t* dest, int left, const Constants& k) {
  if constexpr (opaqueFirst) {
    // Opaque texels replace their pixels, as the blend would, and clear ones
    // leave them as they are: the pixels under them need not be read (most
    // of a level's ground).
    const __m256i alpha = AlphaMask();
    if (_mm256_testc_si256(t, alpha)) {
      StoreOp<SpanOp::kCopy, Masks>(t, colour, dest, left, k);
      return;
    }
    if (_mm256_testz_si256(t, alpha)) return;
  }
  if constexpr (op == SpanOp::kAdd) {
    if (_mm256_testz_si256(t, AlphaMask())) return;  // all clear: nothing added
  }
  if (left >= 8) {
    __m256i* p = reinterpret_cast<__m256i*>(dest);
    const __m256i d = ReadsTarget(op) ? _mm256_loadu_si256(p) : t;
    _mm256_storeu_si256(p, ApplyOp<op>(t, colour, d, k));
    return;
  }
  const __m256i d = ReadsTarget(op) ? Masks::Load8(dest, left) : t;
  Masks::Store8(dest, left, ApplyOp<op>(t, colour, d, k));
}

// ApplyOp on the first a (1..4) target pixels from `first` on, from the low
// half of t, and the first b (0..4) from `second` on, from the high half.
template <SpanOp op, class Masks = VexMasks>
TM_AVX2 void StoreOpSplit(__m256i t, __m256i colour, uint32_t* first, int a, uint32_t* second, int b,
                          const Constants& k) {
  __m256i d = t;
  if constexpr (ReadsTarget(op)) {
    d = _mm256_inserti128_si256(_mm256_castsi128_si256(Masks::Load4(first, a)), Masks::Load4(second, b), 1);
  }
  const __m256i out = ApplyOp<op>(t, colour, d, k);
  Masks::Store4(first, a, _mm256_castsi256_si128(out));
  Masks::Store4(second, b, _mm256_extracti128_si256(out, 1));
}

// What is left of `op` once its tint is applied.
constexpr SpanOp AfterTint(SpanOp op) {
  return op == SpanOp::kTint        ? SpanOp::kCopy
         : op == SpanOp::kTintBlend ? SpanOp::kBlend
         : op == SpanOp::kTintAdd   ? SpanOp::kAdd
                                    : op;
}

// Eight texels given as 16-bit channel words (each at most 255), pixels
// 0 1 | 4 5 in `lo` and 2 3 | 6 7 in `hi` as the packs of the bilinear loops
// leave them, packed to bytes with the tint of `op` applied to the words
// first, which saves unpacking them again.
template <SpanOp op>
TM_AVX2 __m256i TintWords(__m256i lo, __m256i hi, __m256i colour, const Constants& k) {
  if constexpr (AfterTint(op) != op) {
    lo = ModulateWords(lo, colour, k);
    hi = ModulateWords(hi, colour, k);
  }
  return _mm256_packus_epi16(lo, hi);
}

// StoreOp on eight texels given as words (see TintWords).
template <SpanOp op, class Masks = VexMasks>
TM_AVX2 void StoreWordsOp(__m256i lo, __m256i hi, __m256i colour, uint32_t* dest, int left, const Constants& k) {
  StoreOp<AfterTint(op), Masks, op == SpanOp::kBlend>(TintWords<op>(lo, hi, colour, k), colour, dest, left, k);
}

}  // namespace plat::gfx::avx2

#endif
