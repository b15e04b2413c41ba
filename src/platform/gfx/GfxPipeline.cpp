#include "platform/gfx/GfxPipeline.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

namespace {

constexpr int kChunk = 128;

// round(x / 255) for 0 <= x <= 255 * 255, the same in the vector code.
inline uint32_t Div255(uint32_t x) {
  x += 128;
  return (x + (x >> 8)) >> 8;
}
// round(x / 255) for larger sums.
inline uint32_t DivRound255(uint32_t x) { return (x + 127) / 255; }

inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

inline bool Compare(uint32_t func, uint32_t a, uint32_t b) {
  switch (func) {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
  }
}

inline uint32_t StencilOp(uint32_t op, uint32_t old, uint32_t ref) {
  switch (op) {
    case D3DSTENCILOP_ZERO: return 0;
    case D3DSTENCILOP_REPLACE: return ref & 0xFF;
    case D3DSTENCILOP_INCRSAT: return old < 255 ? old + 1 : 255;
    case D3DSTENCILOP_DECRSAT: return old > 0 ? old - 1 : 0;
    case D3DSTENCILOP_INVERT: return ~old & 0xFF;
    case D3DSTENCILOP_INCR: return (old + 1) & 0xFF;
    case D3DSTENCILOP_DECR: return (old - 1) & 0xFF;
    default: return old;
  }
}

// Texel index along one axis after addressing; -1 selects the border colour.
inline int Address(int64_t i, int size, uint32_t mode) {
  if (i >= 0 && i < size) return static_cast<int>(i);
  switch (mode) {
    case D3DTADDRESS_CLAMP:
      return i < 0 ? 0 : size - 1;
    case D3DTADDRESS_BORDER:
      return -1;
    case D3DTADDRESS_MIRROR: {
      int64_t m = i % (2 * static_cast<int64_t>(size));
      if (m < 0) m += 2 * static_cast<int64_t>(size);
      return static_cast<int>(m < size ? m : 2 * static_cast<int64_t>(size) - 1 - m);
    }
    case D3DTADDRESS_MIRRORONCE: {
      const int64_t m = i < 0 ? -i - 1 : i;
      return static_cast<int>(std::min<int64_t>(m, size - 1));
    }
    default: {  // wrap
      int64_t m = i % size;
      return static_cast<int>(m < 0 ? m + size : m);
    }
  }
}

inline uint32_t Texel(const PixelState& s, int64_t x, int64_t y) {
  const int ix = Address(x, s.texWidth, s.addressU);
  const int iy = Address(y, s.texHeight, s.addressV);
  if (ix < 0 || iy < 0) return s.borderColour;
  return s.texels[static_cast<size_t>(iy) * s.texWidth + ix];
}

// Bilinear blend of four texels with 7-bit weights x, y (0..127, the top
// bits of the fractions): the four products of a channel sum with weights
// adding up to 1 << 14; x = y = 0 returns c00 exactly. The vector path below
// computes the same numbers.
}  // namespace

uint32_t BilinearPlain(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint32_t x, uint32_t y) {
  const uint32_t w00 = (128 - x) * (128 - y), w10 = x * (128 - y), w01 = (128 - x) * y, w11 = x * y;
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const uint32_t sum = ((c00 >> s) & 0xFF) * w00 + ((c10 >> s) & 0xFF) * w10 + ((c01 >> s) & 0xFF) * w01 +
                         ((c11 >> s) & 0xFF) * w11;
    out |= ((sum + 8192) >> 14) << s;
  }
  return out;
}

namespace {

#if defined(__SSE2__)
// Channel sums (before rounding) of one bilinear texel: p points at c00, the
// row below is w texels on; wt and wb hold the weight pairs (w00, w10) and
// (w01, w11) in every 32-bit lane.
__attribute__((always_inline)) inline __m128i BilinearSums(const uint32_t* p, int w, __m128i wt, __m128i wb) {
  const __m128i zero = _mm_setzero_si128();
  __m128i top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
  __m128i bottom = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + w));
  top = _mm_unpacklo_epi8(_mm_unpacklo_epi8(top, _mm_srli_si128(top, 4)), zero);  // c00.b c10.b c00.g ...
  bottom = _mm_unpacklo_epi8(_mm_unpacklo_epi8(bottom, _mm_srli_si128(bottom, 4)), zero);
  return _mm_add_epi32(_mm_madd_epi16(top, wt), _mm_madd_epi16(bottom, wb));
}

#endif

// One bilinear texel at texel coordinates (16.16, less half a texel), with
// addressing for footprints that reach past the texture's edges.
inline uint32_t BilinearAt(const PixelState& s, int64_t tu, int64_t tv) {
  const int64_t ix = tu >> 16, iy = tv >> 16;
  const uint32_t x = static_cast<uint32_t>(tu >> 9) & 127, y = static_cast<uint32_t>(tv >> 9) & 127;
  const int w = s.texWidth;
  uint32_t block[4];
  const uint32_t* p;
  int pitch = w;
  if (ix >= 0 && ix + 1 < w && iy >= 0 && iy + 1 < s.texHeight) {
    p = s.texels + static_cast<size_t>(iy) * w + ix;
  } else {
    block[0] = Texel(s, ix, iy);
    block[1] = Texel(s, ix + 1, iy);
    block[2] = Texel(s, ix, iy + 1);
    block[3] = Texel(s, ix + 1, iy + 1);
    p = block;
    pitch = 2;
  }
#if defined(__SSE2__)
  const uint32_t w00 = (128 - x) * (128 - y), w10 = x * (128 - y), w01 = (128 - x) * y, w11 = x * y;
  __m128i sum = BilinearSums(p, pitch, _mm_set1_epi32(static_cast<int>(w00 | (w10 << 16))),
                             _mm_set1_epi32(static_cast<int>(w01 | (w11 << 16))));
  sum = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(8192)), 14);
  sum = _mm_packs_epi32(sum, sum);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
#else
  return BilinearPlain(p[0], p[1], p[pitch], p[pitch + 1], x, y);
#endif
}

#if defined(__SSE2__)
// n bilinear texels whose 2 x 2 footprints all lie inside the texture; the
// coordinates (16.16, already less half a texel) fit in 32 bits.
void FetchLinearInside(const PixelState& s, int32_t tu, int32_t tv, int32_t du, int32_t dv, int n, uint32_t* out) {
  const int w = s.texWidth;
  if (Avx2Active()) {
    const int done = FetchLinearInsideAvx2(s.texels, w, tu, tv, du, dv, n, out);
    tu += done * du;
    tv += done * dv;
    n -= done;
    out += done;
  }
  __m128i u = _mm_set_epi32(tu + 3 * du, tu + 2 * du, tu + du, tu);
  __m128i v = _mm_set_epi32(tv + 3 * dv, tv + 2 * dv, tv + dv, tv);
  const __m128i u4 = _mm_set1_epi32(4 * du), v4 = _mm_set1_epi32(4 * dv);
  const __m128i c127 = _mm_set1_epi32(127), c128 = _mm_set1_epi32(128), round = _mm_set1_epi32(8192);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i x = _mm_and_si128(_mm_srli_epi32(u, 9), c127), y = _mm_and_si128(_mm_srli_epi32(v, 9), c127);
    const __m128i rx = _mm_sub_epi32(c128, x), ry = _mm_sub_epi32(c128, y);
    const __m128i wt = _mm_or_si128(_mm_mullo_epi16(rx, ry), _mm_slli_epi32(_mm_mullo_epi16(x, ry), 16));
    const __m128i wb = _mm_or_si128(_mm_mullo_epi16(rx, y), _mm_slli_epi32(_mm_mullo_epi16(x, y), 16));
    alignas(16) int32_t ix[4], iy[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(ix), _mm_srai_epi32(u, 16));
    _mm_store_si128(reinterpret_cast<__m128i*>(iy), _mm_srai_epi32(v, 16));
    const __m128i s0 = BilinearSums(s.texels + iy[0] * w + ix[0], w, _mm_shuffle_epi32(wt, 0x00), _mm_shuffle_epi32(wb, 0x00));
    const __m128i s1 = BilinearSums(s.texels + iy[1] * w + ix[1], w, _mm_shuffle_epi32(wt, 0x55), _mm_shuffle_epi32(wb, 0x55));
    const __m128i s2 = BilinearSums(s.texels + iy[2] * w + ix[2], w, _mm_shuffle_epi32(wt, 0xAA), _mm_shuffle_epi32(wb, 0xAA));
    const __m128i s3 = BilinearSums(s.texels + iy[3] * w + ix[3], w, _mm_shuffle_epi32(wt, 0xFF), _mm_shuffle_epi32(wb, 0xFF));
    const __m128i a = _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(s0, round), 14), _mm_srli_epi32(_mm_add_epi32(s1, round), 14));
    const __m128i b = _mm_packs_epi32(_mm_srli_epi32(_mm_add_epi32(s2, round), 14), _mm_srli_epi32(_mm_add_epi32(s3, round), 14));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(a, b));
    u = _mm_add_epi32(u, u4);
    v = _mm_add_epi32(v, v4);
  }
  for (; i < n; ++i) out[i] = BilinearAt(s, tu + static_cast<int64_t>(i) * du, tv + static_cast<int64_t>(i) * dv);
}
#endif

inline int64_t FloorDivPositive(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
inline int64_t CeilDivPositive(int64_t a, int64_t b) { return -FloorDivPositive(-a, b); }

// Narrows [first, last] to the steps i with 0 <= t0 + d i < limit.
inline void InsideRun(int64_t t0, int64_t d, int64_t limit, int64_t* first, int64_t* last) {
  if (d == 0) {
    if (t0 < 0 || t0 >= limit) *last = *first - 1;
  } else if (d > 0) {
    *first = std::max(*first, CeilDivPositive(-t0, d));
    *last = std::min(*last, FloorDivPositive(limit - 1 - t0, d));
  } else {
    *first = std::max(*first, CeilDivPositive(t0 - (limit - 1), -d));
    *last = std::min(*last, FloorDivPositive(t0, -d));
  }
}

// Addressing modes the wide bilinear path handles along an axis.
inline bool VectorAddressing(uint32_t mode, int size) {
  return mode == D3DTADDRESS_CLAMP || (mode == D3DTADDRESS_WRAP && (size & (size - 1)) == 0);
}

// The texels under n pixel centres: a pointer into the texture when they are
// one row of it in order (unscaled, unrotated drawing), else `buf`.
const uint32_t* Fetch(const PixelState& s, int64_t u, int64_t v, int64_t du, int64_t dv, int n, uint32_t* buf) {
  const bool centred = (u & 0xFFFF) == 0x8000 && (v & 0xFFFF) == 0x8000;
  if (du == 0x10000 && dv == 0 && (!s.linear || centred)) {
    const int64_t iu = u >> 16, iv = v >> 16;
    if (iv >= 0 && iv < s.texHeight && iu >= 0 && iu + n <= s.texWidth) {
      return s.texels + static_cast<size_t>(iv) * s.texWidth + iu;
    }
    for (int i = 0; i < n; ++i) buf[i] = Texel(s, iu + i, iv);
    return buf;
  }
  if (!s.linear) {
    for (int i = 0; i < n; ++i, u += du, v += dv) buf[i] = Texel(s, u >> 16, v >> 16);
    return buf;
  }
  const int64_t tu = u - 0x8000, tv = v - 0x8000;
  if (Avx2Active() && VectorAddressing(s.addressU, s.texWidth) && VectorAddressing(s.addressV, s.texHeight)) {
    const int64_t uEnd = tu + du * (n + 7), vEnd = tv + dv * (n + 7);
    if (std::min({tu, tv, uEnd, vEnd}) >= INT32_MIN && std::max({tu, tv, uEnd, vEnd}) <= INT32_MAX) {
      FetchLinearAvx2(s.texels, s.texWidth, s.texHeight, s.addressU == D3DTADDRESS_WRAP,
                      s.addressV == D3DTADDRESS_WRAP, static_cast<int32_t>(tu), static_cast<int32_t>(tv),
                      static_cast<int32_t>(du), static_cast<int32_t>(dv), n, buf);
      return buf;
    }
  }
#if defined(__SSE2__)
  // The sample points lie on a line: find the run whose 2 x 2 footprints are
  // all inside the texture and take the vector path there.
  int64_t first = 0, last = n - 1;
  InsideRun(tu, du, static_cast<int64_t>(s.texWidth - 1) << 16, &first, &last);
  InsideRun(tv, dv, static_cast<int64_t>(s.texHeight - 1) << 16, &first, &last);
  if (last - first >= 3) {
    for (int64_t i = 0; i < first; ++i) buf[i] = BilinearAt(s, tu + du * i, tv + dv * i);
    FetchLinearInside(s, static_cast<int32_t>(tu + du * first), static_cast<int32_t>(tv + dv * first),
                      static_cast<int32_t>(du), static_cast<int32_t>(dv), static_cast<int>(last - first + 1),
                      buf + first);
    for (int64_t i = last + 1; i < n; ++i) buf[i] = BilinearAt(s, tu + du * i, tv + dv * i);
    return buf;
  }
#endif
  for (int i = 0; i < n; ++i) buf[i] = BilinearAt(s, tu + du * i, tv + dv * i);
  return buf;
}

inline uint32_t Clamp255(float f) {
  if (!(f > 0.0f)) return 0;
  if (f >= 255.0f) return 255;
  return static_cast<uint32_t>(f + 0.5f);
}

void Gouraud(const SpanSource& src, int offset, int n, uint32_t* out) {
  float a = src.a + src.da * offset, r = src.r + src.dr * offset;
  float g = src.g + src.dg * offset, b = src.b + src.db * offset;
  for (int i = 0; i < n; ++i) {
    out[i] = (Clamp255(a) << 24) | (Clamp255(r) << 16) | (Clamp255(g) << 8) | Clamp255(b);
    a += src.da;
    r += src.dr;
    g += src.dg;
    b += src.db;
  }
}

inline uint32_t OpChannel(uint32_t op, uint32_t a1, uint32_t a2, uint32_t texA, uint32_t diffA) {
  switch (op) {
    case D3DTOP_SELECTARG1: return a1;
    case D3DTOP_SELECTARG2: return a2;
    case D3DTOP_MODULATE2X: return std::min<uint32_t>(255, DivRound255(a1 * a2 * 2));
    case D3DTOP_MODULATE4X: return std::min<uint32_t>(255, DivRound255(a1 * a2 * 4));
    case D3DTOP_ADD: return std::min<uint32_t>(255, a1 + a2);
    case D3DTOP_ADDSIGNED: return static_cast<uint32_t>(std::clamp<int>(static_cast<int>(a1 + a2) - 128, 0, 255));
    case D3DTOP_ADDSIGNED2X:
      return static_cast<uint32_t>(std::clamp<int>((static_cast<int>(a1 + a2) - 128) * 2, 0, 255));
    case D3DTOP_SUBTRACT: return a1 > a2 ? a1 - a2 : 0;
    case D3DTOP_ADDSMOOTH: return a1 + Div255(a2 * (255 - a1));
    case D3DTOP_BLENDDIFFUSEALPHA: return Div255(a1 * diffA + a2 * (255 - diffA));
    case D3DTOP_BLENDTEXTUREALPHA: return Div255(a1 * texA + a2 * (255 - texA));
    default: return Div255(a1 * a2);  // modulate, and any unknown operation
  }
}

inline uint32_t BlendFactor(uint32_t f, uint32_t s, uint32_t d, uint32_t sa) {
  switch (f) {
    case D3DBLEND_ZERO: return 0;
    case D3DBLEND_SRCCOLOR: return s;
    case D3DBLEND_INVSRCCOLOR: return 255 - s;
    case D3DBLEND_SRCALPHA: return sa;
    case D3DBLEND_INVSRCALPHA: return 255 - sa;
    case D3DBLEND_DESTALPHA: return 255;  // the target has no alpha: it reads as one
    case D3DBLEND_INVDESTALPHA: return 0;
    case D3DBLEND_DESTCOLOR: return d;
    case D3DBLEND_INVDESTCOLOR: return 255 - d;
    case D3DBLEND_SRCALPHASAT: return 0;  // min(source alpha, 1 - destination alpha)
    default: return 255;                  // one
  }
}

uint32_t ChannelMask(uint32_t writeMask) {
  return ((writeMask & D3DCOLORWRITEENABLE_RED) ? 0x00FF0000u : 0) |
         ((writeMask & D3DCOLORWRITEENABLE_GREEN) ? 0x0000FF00u : 0) |
         ((writeMask & D3DCOLORWRITEENABLE_BLUE) ? 0x000000FFu : 0) |
         ((writeMask & D3DCOLORWRITEENABLE_ALPHA) ? 0xFF000000u : 0);
}

}  // namespace

void SimplifyStage(PixelState* s, uint32_t colour) {
  if (!s->texels) return;
  const uint32_t rgb = colour & 0x00FFFFFFu, a = colour >> 24;
  const bool colourKept = s->colourOp == D3DTOP_SELECTARG1 || (s->colourOp == D3DTOP_ADD && rgb == 0) ||
                          (s->colourOp == D3DTOP_MODULATE && rgb == 0x00FFFFFFu);
  const bool alphaKept = s->alphaOp == D3DTOP_SELECTARG1 || (s->alphaOp == D3DTOP_ADD && a == 0) ||
                         (s->alphaOp == D3DTOP_MODULATE && a == 0xFF);
  if (colourKept && alphaKept) s->colourOp = s->alphaOp = D3DTOP_SELECTARG1;
}

uint32_t CombineStage(uint32_t colourOp, uint32_t alphaOp, uint32_t tex, uint32_t diff) {
  if (colourOp == D3DTOP_DISABLE) return diff;
  const uint32_t ta = tex >> 24, da = diff >> 24;
  const uint32_t r = OpChannel(colourOp, Channel(tex, 16), Channel(diff, 16), ta, da);
  const uint32_t g = OpChannel(colourOp, Channel(tex, 8), Channel(diff, 8), ta, da);
  const uint32_t b = OpChannel(colourOp, Channel(tex, 0), Channel(diff, 0), ta, da);
  const uint32_t a = alphaOp == D3DTOP_DISABLE ? da : OpChannel(alphaOp, ta, da, ta, da);
  return (a << 24) | (r << 16) | (g << 8) | b;
}

uint32_t BlendPixel(uint32_t srcBlend, uint32_t destBlend, uint32_t src, uint32_t dest) {
  const uint32_t sa = src >> 24;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t s = Channel(src, shift), d = Channel(dest, shift);
    const uint32_t fs = BlendFactor(srcBlend, s, d, sa), fd = BlendFactor(destBlend, s, d, sa);
    out |= std::min<uint32_t>(255, DivRound255(s * fs + d * fd)) << shift;
  }
  return out;
}

// Source alpha added to the target (the glows and light rays): per channel
// min(255, d + s * a / 255 rounded), the general blend's result exactly.
void BlendAddSpan(const uint32_t* src, uint32_t* dest, int n) {
  if (Avx2Active()) return BlendAddSpanAvx2(src, dest, n);
  BlendAddSpanPlain(src, dest, n);
}

void BlendAddSpanPlain(const uint32_t* src, uint32_t* dest, int n) {
  for (int i = 0; i < n; ++i) {
    const uint32_t s = src[i], d = dest[i], a = s >> 24;
    if (a == 0) continue;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
      out |= std::min<uint32_t>(255, Channel(d, shift) + DivRound255(Channel(s, shift) * a)) << shift;
    dest[i] = out;
  }
}

void ModulateAddSpan(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n) {
  if (Avx2Active()) return ModulateAddSpanAvx2(texels, colour, dest, n);
  uint32_t tinted[kChunk];
  for (int done = 0; done < n; done += kChunk) {
    const int count = std::min(kChunk, n - done);
    ModulateSpan(texels + done, colour, tinted, count);
    BlendAddSpan(tinted, dest + done, count);
  }
}

void BlendSrcAlphaSpanPlain(const uint32_t* src, uint32_t* dest, int n) {
  for (int i = 0; i < n; ++i) {
    const uint32_t s = src[i], d = dest[i], a = s >> 24;
    if (a == 0) continue;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      out |= Div255(Channel(s, shift) * a + Channel(d, shift) * (255 - a)) << shift;
    }
    dest[i] = out;
  }
}

void ModulateSpanPlain(const uint32_t* texels, uint32_t colour, uint32_t* out, int n) {
  for (int i = 0; i < n; ++i) {
    uint32_t o = 0;
    for (int shift = 0; shift < 32; shift += 8) o |= Div255(Channel(texels[i], shift) * Channel(colour, shift)) << shift;
    out[i] = o;
  }
}

void ModulateBlendSpanPlain(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n) {
  for (int i = 0; i < n; ++i) {
    uint32_t m;
    ModulateSpanPlain(texels + i, colour, &m, 1);
    BlendSrcAlphaSpanPlain(&m, dest + i, 1);
  }
}

#if defined(__SSE2__)

namespace {

// Four source pixels, their channels widened to 16 bits (the low pair and
// the high pair), over the four pixels `d` by the source's alpha, each
// channel rounded as Div255 does.
inline __m128i BlendOver4(__m128i slo, __m128i shi, __m128i d) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c255 = _mm_set1_epi16(255);
  const __m128i c128 = _mm_set1_epi16(128);
  const __m128i dlo = _mm_unpacklo_epi8(d, zero), dhi = _mm_unpackhi_epi8(d, zero);
  const __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(slo, 0xFF), 0xFF);
  const __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(shi, 0xFF), 0xFF);
  __m128i tlo = _mm_add_epi16(_mm_mullo_epi16(slo, alo), _mm_mullo_epi16(dlo, _mm_sub_epi16(c255, alo)));
  __m128i thi = _mm_add_epi16(_mm_mullo_epi16(shi, ahi), _mm_mullo_epi16(dhi, _mm_sub_epi16(c255, ahi)));
  tlo = _mm_add_epi16(tlo, c128);
  thi = _mm_add_epi16(thi, c128);
  tlo = _mm_srli_epi16(_mm_add_epi16(tlo, _mm_srli_epi16(tlo, 8)), 8);
  thi = _mm_srli_epi16(_mm_add_epi16(thi, _mm_srli_epi16(thi, 8)), 8);
  return _mm_packus_epi16(tlo, thi);
}

}  // namespace

void ModulateBlendSpan(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n) {
  if (Avx2Active()) {
    ModulateBlendSpanAvx2(texels, colour, dest, n);
    return;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i c128 = _mm_set1_epi16(128);
  const __m128i c = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(t, alphaMask), zero)) == 0xFFFF) continue;  // all clear
    __m128i slo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(t, zero), c), c128);
    __m128i shi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(t, zero), c), c128);
    slo = _mm_srli_epi16(_mm_add_epi16(slo, _mm_srli_epi16(slo, 8)), 8);
    shi = _mm_srli_epi16(_mm_add_epi16(shi, _mm_srli_epi16(shi, 8)), 8);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), BlendOver4(slo, shi, d));
  }
  ModulateBlendSpanPlain(texels + i, colour, dest + i, n - i);
}

void BlendSrcAlphaSpan(const uint32_t* src, uint32_t* dest, int n) {
  if (Avx2Active()) {
    BlendSrcAlphaSpanAvx2(src, dest, n);
    return;
  }
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    const __m128i a = _mm_and_si128(s, alphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, alphaMask)) == 0xFFFF) {  // all opaque
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), s);
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, zero)) == 0xFFFF) continue;  // all clear
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dest + i));
    const __m128i slo = _mm_unpacklo_epi8(s, zero), shi = _mm_unpackhi_epi8(s, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i), BlendOver4(slo, shi, d));
  }
  BlendSrcAlphaSpanPlain(src + i, dest + i, n - i);
}

void ModulateSpan(const uint32_t* texels, uint32_t colour, uint32_t* out, int n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i c128 = _mm_set1_epi16(128);
  const __m128i c = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), zero);
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(texels + i));
    __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(t, zero), c), c128);
    __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(t, zero), c), c128);
    lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_srli_epi16(lo, 8)), 8);
    hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_srli_epi16(hi, 8)), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
  }
  ModulateSpanPlain(texels + i, colour, out + i, n - i);
}

#else

void ModulateBlendSpan(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n) {
  ModulateBlendSpanPlain(texels, colour, dest, n);
}
void BlendSrcAlphaSpan(const uint32_t* src, uint32_t* dest, int n) { BlendSrcAlphaSpanPlain(src, dest, n); }
void ModulateSpan(const uint32_t* texels, uint32_t colour, uint32_t* out, int n) {
  ModulateSpanPlain(texels, colour, out, n);
}

#endif

void ShadeSpan(const PixelState& s, int x, int y, int n, const SpanSource& src) {
  const uint32_t channels = ChannelMask(s.writeMask);
  const bool hasStencil = s.stencilTest && s.stencil;
  if ((channels & 0x00FFFFFFu) == 0 && !hasStencil) return;  // nothing to write
  const bool fullWrite = (channels & 0x00FFFFFFu) == 0x00FFFFFFu;
  const bool textured = s.texels && s.colourOp != D3DTOP_DISABLE;

  uint32_t texBuf[kChunk], diffBuf[kChunk], outBuf[kChunk];
  uint8_t pass[kChunk];
  for (int done = 0; done < n; done += kChunk) {
    const int count = std::min(kChunk, n - done);
    const int px = x + done;

    // Vertex colour.
    const uint32_t* diffuse = nullptr;
    if (!src.flat) {
      Gouraud(src, done, count, diffBuf);
      diffuse = diffBuf;
    }

    // Texture stage.
    const uint32_t* frag;
    if (!textured) {
      if (diffuse) {
        frag = diffuse;
      } else {
        std::fill(outBuf, outBuf + count, src.colour);
        frag = outBuf;
      }
    } else {
      const uint32_t* tex =
          Fetch(s, src.u + src.du * done, src.v + src.dv * done, src.du, src.dv, count, texBuf);
      if (s.colourOp == D3DTOP_SELECTARG1 && s.alphaOp == D3DTOP_SELECTARG1) {
        frag = tex;
      } else if (!diffuse && s.colourOp == D3DTOP_MODULATE && s.alphaOp == D3DTOP_MODULATE && !s.alphaTest &&
                 !hasStencil && s.blend && fullWrite && s.srcBlend == D3DBLEND_SRCALPHA &&
                 s.destBlend == D3DBLEND_INVSRCALPHA) {
        // Tinted glyphs and sprites: modulate and blend in one pass.
        ModulateBlendSpan(tex, src.colour, s.target + static_cast<size_t>(y) * s.targetPitch + px, count);
        continue;
      } else if (!diffuse && s.colourOp == D3DTOP_MODULATE &&
                 (s.alphaOp == D3DTOP_MODULATE || s.alphaOp == D3DTOP_SELECTARG1)) {
        ModulateSpan(tex, src.colour, outBuf, count);
        if (s.alphaOp == D3DTOP_SELECTARG1) {
          for (int i = 0; i < count; ++i) outBuf[i] = (outBuf[i] & 0x00FFFFFFu) | (tex[i] & 0xFF000000u);
        }
        frag = outBuf;
      } else {
        for (int i = 0; i < count; ++i) {
          outBuf[i] = CombineStage(s.colourOp, s.alphaOp, tex[i], diffuse ? diffuse[i] : src.colour);
        }
        frag = outBuf;
      }
    }

    // Alpha test, then stencil: a fragment the alpha test rejects touches
    // neither the stencil nor the colour.
    bool masked = false;
    if (s.alphaTest) {
      const uint32_t ref = s.alphaRef & 0xFF;
      for (int i = 0; i < count; ++i) pass[i] = Compare(s.alphaFunc, frag[i] >> 24, ref);
      masked = true;
    }
    if (hasStencil) {
      uint8_t* st = s.stencil + static_cast<size_t>(y) * s.stencilPitch + px;
      const uint32_t mask = s.stencilMask & 0xFF, wm = s.stencilWriteMask & 0xFF;
      const uint32_t ref = s.stencilRef & 0xFF;
      for (int i = 0; i < count; ++i) {
        if (masked && !pass[i]) continue;
        const uint32_t old = st[i];
        const bool ok = Compare(s.stencilFunc, ref & mask, old & mask);
        const uint32_t value = StencilOp(ok ? s.stencilPass : s.stencilFail, old, ref);
        st[i] = static_cast<uint8_t>((old & ~wm) | (value & wm));
        pass[i] = ok;
      }
      masked = true;
    }
    if ((channels & 0x00FFFFFFu) == 0) continue;

    // Blending and the write mask.
    uint32_t* dst = s.target + static_cast<size_t>(y) * s.targetPitch + px;
    if (!s.blend) {
      if (!masked && fullWrite) {
        std::memcpy(dst, frag, static_cast<size_t>(count) * 4);
      } else {
        for (int i = 0; i < count; ++i) {
          if (masked && !pass[i]) continue;
          dst[i] = (dst[i] & ~channels) | (frag[i] & channels);
        }
      }
    } else if (!masked && fullWrite && s.srcBlend == D3DBLEND_SRCALPHA && s.destBlend == D3DBLEND_INVSRCALPHA) {
      BlendSrcAlphaSpan(frag, dst, count);
    } else if (!masked && fullWrite && s.srcBlend == D3DBLEND_SRCALPHA && s.destBlend == D3DBLEND_ONE) {
      BlendAddSpan(frag, dst, count);
    } else {
      for (int i = 0; i < count; ++i) {
        if (masked && !pass[i]) continue;
        const uint32_t c = BlendPixel(s.srcBlend, s.destBlend, frag[i], dst[i]);
        dst[i] = (dst[i] & ~channels) | (c & channels);
      }
    }
  }
}


namespace {

// Textured spans with one colour, no tests and every colour channel written:
// the texels are copied, blended by their alpha, tinted, or tinted and
// blended.
template <SpanOp op>
void FastSpan(const PixelState& s, int x, int y, int n, const SpanSource& src) {
  uint32_t* dst = s.target + static_cast<size_t>(y) * s.targetPitch + x;
  uint32_t buf[kChunk];
  int64_t u = src.u, v = src.v;
  for (int done = 0; done < n;) {
    const int count = std::min(kChunk, n - done);
    const uint32_t* tex = Fetch(s, u, v, src.du, src.dv, count, buf);
    if constexpr (op == SpanOp::kCopy) {
      std::memcpy(dst + done, tex, static_cast<size_t>(count) * 4);
    } else if constexpr (op == SpanOp::kBlend) {
      BlendSrcAlphaSpan(tex, dst + done, count);
    } else if constexpr (op == SpanOp::kTint) {
      ModulateSpan(tex, src.colour, dst + done, count);
    } else if constexpr (op == SpanOp::kTintBlend) {
      ModulateBlendSpan(tex, src.colour, dst + done, count);
    } else if constexpr (op == SpanOp::kAdd) {
      BlendAddSpan(tex, dst + done, count);
    } else {
      ModulateAddSpan(tex, src.colour, dst + done, count);
    }
    done += count;
    u += src.du * count;
    v += src.dv * count;
  }
}

}  // namespace

bool MarksStencil(const PixelState& s, bool flat) {
  return flat && s.stencilTest && s.stencil && s.texels && s.colourOp != D3DTOP_DISABLE &&
         (ChannelMask(s.writeMask) & 0x00FFFFFFu) == 0;
}

void MarkStencilFromTexels(const PixelState& s, int x, int y, int n, const uint32_t* texels, uint32_t colour) {
  uint8_t* st = s.stencil + static_cast<size_t>(y) * s.stencilPitch + x;
  const uint32_t mask = s.stencilMask & 0xFF, wm = s.stencilWriteMask & 0xFF, ref = s.stencilRef & 0xFF;
  const uint32_t alphaRef = s.alphaRef & 0xFF, colourAlpha = colour >> 24;
  // Always passing and replacing: the marked pixels take the reference's
  // written bits, whatever they held.
  const bool replace = s.stencilFunc == D3DCMP_ALWAYS && s.stencilPass == D3DSTENCILOP_REPLACE;
  const uint8_t keepBits = static_cast<uint8_t>(~wm), setBits = static_cast<uint8_t>(ref & wm);
  uint8_t alpha[kChunk];
  int done = 0;
  if (replace && s.alphaTest && s.alphaFunc == D3DCMP_GREATEREQUAL && alphaRef > 0 &&
      (s.alphaOp == D3DTOP_SELECTARG1 || s.alphaOp == D3DTOP_MODULATE) && Avx2Active()) {
    // Selecting the texel's alpha is modulating it by 255.
    done = StencilMarkAvx2(texels, st, n, s.alphaOp == D3DTOP_MODULATE ? colourAlpha : 255, alphaRef, keepBits,
                           setBits);
  }
  for (; done < n; done += kChunk) {
    const int count = std::min(kChunk, n - done);
    const uint32_t* tex = texels + done;
    switch (s.alphaOp) {
      case D3DTOP_SELECTARG1:
        for (int i = 0; i < count; ++i) alpha[i] = static_cast<uint8_t>(tex[i] >> 24);
        break;
      case D3DTOP_MODULATE:
        for (int i = 0; i < count; ++i) alpha[i] = static_cast<uint8_t>(Div255((tex[i] >> 24) * colourAlpha));
        break;
      case D3DTOP_DISABLE:
        std::memset(alpha, static_cast<int>(colourAlpha), static_cast<size_t>(count));
        break;
      default:
        for (int i = 0; i < count; ++i) {
          const uint32_t ta = tex[i] >> 24;
          alpha[i] = static_cast<uint8_t>(OpChannel(s.alphaOp, ta, colourAlpha, ta, colourAlpha));
        }
    }
    // alpha[i] becomes 1 where the fragment passes the alpha test.
    if (!s.alphaTest) {
      std::memset(alpha, 1, static_cast<size_t>(count));
    } else if (s.alphaFunc == D3DCMP_GREATEREQUAL) {
      for (int i = 0; i < count; ++i) alpha[i] = alpha[i] >= alphaRef;
    } else {
      for (int i = 0; i < count; ++i) alpha[i] = Compare(s.alphaFunc, alpha[i], alphaRef);
    }
    uint8_t* row = st + done;
    if (replace) {
      for (int i = 0; i < count; ++i) {
        row[i] = alpha[i] ? static_cast<uint8_t>((row[i] & keepBits) | setBits) : row[i];
      }
    } else {
      for (int i = 0; i < count; ++i) {
        if (!alpha[i]) continue;
        const uint32_t old = row[i];
        const bool ok = Compare(s.stencilFunc, ref & mask, old & mask);
        const uint32_t value = StencilOp(ok ? s.stencilPass : s.stencilFail, old, ref);
        row[i] = static_cast<uint8_t>((old & ~wm) | (value & wm));
      }
    }
  }
}

namespace {

// Stencil only, from a textured primitive with one colour: no colour channel
// written, the texels' alpha (after the stage's alpha operation) under the
// alpha test deciding which pixels reach the stencil test and operations.
// The windows behind a dimmed one mark their pieces this way. Gives the
// stencil ShadeSpan gives.
void StencilMarkSpan(const PixelState& s, int x, int y, int n, const SpanSource& src) {
  uint32_t texBuf[kChunk];
  int64_t u = src.u, v = src.v;
  for (int done = 0; done < n; done += kChunk) {
    const int count = std::min(kChunk, n - done);
    const uint32_t* tex = Fetch(s, u, v, src.du, src.dv, count, texBuf);
    u += src.du * count;
    v += src.dv * count;
    MarkStencilFromTexels(s, x + done, y, count, tex, src.colour);
  }
}

// One colour and no texture under the stencil test: the dim laid over the
// pieces a window marked, each pixel blended once. Gives the colour and the
// stencil ShadeSpan gives.
void StencilFillSpan(const PixelState& s, int x, int y, int n, const SpanSource& src) {
  const uint32_t colour = src.colour, a = colour >> 24;
  // An alpha test on one colour passes every fragment or none, and a
  // fragment it rejects touches neither the stencil nor the colour.
  if (s.alphaTest && !Compare(s.alphaFunc, a, s.alphaRef & 0xFF)) return;
  uint8_t* st = s.stencil + static_cast<size_t>(y) * s.stencilPitch + x;
  uint32_t* dst = s.target + static_cast<size_t>(y) * s.targetPitch + x;
  const uint32_t mask = s.stencilMask & 0xFF, wm = s.stencilWriteMask & 0xFF, ref = s.stencilRef & 0xFF;
  const uint32_t channels = ChannelMask(s.writeMask);
  // Equal, incremented (saturating) where it passes, kept where it fails.
  const bool countUp = s.stencilFunc == D3DCMP_EQUAL && s.stencilPass == D3DSTENCILOP_INCRSAT &&
                       s.stencilFail == D3DSTENCILOP_KEEP;
  const bool over = s.blend && s.srcBlend == D3DBLEND_SRCALPHA && s.destBlend == D3DBLEND_INVSRCALPHA;
  // Blending one colour over the target by its alpha: each channel is
  // Div255(s * a + d * (255 - a)), the part from the source fixed.
  uint32_t fixed[4];
  for (int c = 0; c < 4; ++c) fixed[c] = Channel(colour, 8 * c) * a + 128;
  const uint32_t rest = 255 - a;
  uint8_t pass[kChunk];
  int done = 0;
  if (countUp && over && Avx2Active()) {
    done = StencilCountUpFillAvx2(st, dst, n, ref, mask, wm, colour, channels & 0x00FFFFFFu ? channels : 0);
  }
  for (; done < n; done += kChunk) {
    const int count = std::min(kChunk, n - done);
    uint8_t* srow = st + done;
    if (countUp) {
      for (int i = 0; i < count; ++i) {
        const uint32_t old = srow[i];
        const bool ok = ((old ^ ref) & mask) == 0;
        const uint32_t value = old < 255 ? old + 1 : 255;
        pass[i] = ok;
        srow[i] = static_cast<uint8_t>(ok ? (old & ~wm) | (value & wm) : old);
      }
    } else {
      for (int i = 0; i < count; ++i) {
        const uint32_t old = srow[i];
        const bool ok = Compare(s.stencilFunc, ref & mask, old & mask);
        const uint32_t value = StencilOp(ok ? s.stencilPass : s.stencilFail, old, ref);
        srow[i] = static_cast<uint8_t>((old & ~wm) | (value & wm));
        pass[i] = ok;
      }
    }
    if ((channels & 0x00FFFFFFu) == 0) continue;
    uint32_t* drow = dst + done;
    if (over) {
      for (int i = 0; i < count; ++i) {
        const uint32_t d = drow[i];
        uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
          const uint32_t t = fixed[c] + Channel(d, 8 * c) * rest;
          out |= ((t + (t >> 8)) >> 8) << (8 * c);
        }
        drow[i] = pass[i] ? (d & ~channels) | (out & channels) : d;
      }
    } else {
      for (int i = 0; i < count; ++i) {
        if (!pass[i]) continue;
        const uint32_t c = s.blend ? BlendPixel(s.srcBlend, s.destBlend, colour, drow[i]) : colour;
        drow[i] = (drow[i] & ~channels) | (c & channels);
      }
    }
  }
}

// The states StencilFillSpan is for.
bool FillsStencil(const PixelState& s, bool flat) {
  return flat && s.stencilTest && s.stencil && (!s.texels || s.colourOp == D3DTOP_DISABLE);
}

}  // namespace

namespace {

// Textured with one colour, no tests, every colour channel written.
bool PlainSpan(const PixelState& s, bool flat) {
  return flat && s.texels && !s.alphaTest && !(s.stencilTest && s.stencil) &&
         (ChannelMask(s.writeMask) & 0x00FFFFFFu) == 0x00FFFFFFu;
}

}  // namespace

bool ChooseAddSpanOp(const PixelState& s, bool flat, SpanOp* op) {
  if (!PlainSpan(s, flat) || !s.blend || s.srcBlend != D3DBLEND_SRCALPHA || s.destBlend != D3DBLEND_ONE) return false;
  if (s.colourOp == D3DTOP_SELECTARG1 && s.alphaOp == D3DTOP_SELECTARG1) {
    *op = SpanOp::kAdd;
    return true;
  }
  if (s.colourOp == D3DTOP_MODULATE && s.alphaOp == D3DTOP_MODULATE) {
    *op = SpanOp::kTintAdd;
    return true;
  }
  return false;
}

bool ChooseSpanOp(const PixelState& s, bool flat, SpanOp* op) {
  if (!PlainSpan(s, flat)) return false;
  const bool alphaBlend = s.blend && s.srcBlend == D3DBLEND_SRCALPHA && s.destBlend == D3DBLEND_INVSRCALPHA;
  if (s.colourOp == D3DTOP_SELECTARG1 && s.alphaOp == D3DTOP_SELECTARG1) {
    if (!s.blend || alphaBlend) {
      *op = s.blend ? SpanOp::kBlend : SpanOp::kCopy;
      return true;
    }
  } else if (s.colourOp == D3DTOP_MODULATE && s.alphaOp == D3DTOP_MODULATE) {
    if (!s.blend || alphaBlend) {
      *op = s.blend ? SpanOp::kTintBlend : SpanOp::kTint;
      return true;
    }
  }
  return false;
}

int AddressTexel(int64_t i, int size, uint32_t mode) { return Address(i, size, mode); }

namespace {

void CopyRow(const uint32_t* texels, uint32_t, uint32_t* dest, int n) {
  std::memcpy(dest, texels, static_cast<size_t>(n) * 4);
}
void BlendRow(const uint32_t* texels, uint32_t, uint32_t* dest, int n) { BlendSrcAlphaSpan(texels, dest, n); }
void BlendRowAvx2(const uint32_t* texels, uint32_t, uint32_t* dest, int n) { BlendSrcAlphaSpanAvx2(texels, dest, n); }
void ModulateBlendRowAvx2(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n) {
  ModulateBlendSpanAvx2(texels, colour, dest, n);
}

}  // namespace

SpanShader SpanShaderFor(SpanOp op) {
  switch (op) {
    case SpanOp::kCopy: return FastSpan<SpanOp::kCopy>;
    case SpanOp::kBlend: return FastSpan<SpanOp::kBlend>;
    case SpanOp::kTint: return FastSpan<SpanOp::kTint>;
    case SpanOp::kTintBlend: return FastSpan<SpanOp::kTintBlend>;
    case SpanOp::kAdd: return FastSpan<SpanOp::kAdd>;
    default: return FastSpan<SpanOp::kTintAdd>;
  }
}

SpanShader ChooseSpanShader(const PixelState& s, bool flat) {
  if (MarksStencil(s, flat)) return StencilMarkSpan;
  if (FillsStencil(s, flat)) return StencilFillSpan;
  SpanOp op;
  if (!ChooseSpanOp(s, flat, &op) && !ChooseAddSpanOp(s, flat, &op)) return ShadeSpan;
  return SpanShaderFor(op);
}

TexelRowOp ChooseTexelRowOp(const PixelState& s, bool flat) {
  SpanOp op;
  if (!ChooseSpanOp(s, flat, &op)) return nullptr;
  const bool wide = Avx2Active();
  switch (op) {
    case SpanOp::kCopy: return CopyRow;
    case SpanOp::kBlend: return wide ? BlendRowAvx2 : BlendRow;
    case SpanOp::kTint: return ModulateSpan;
    default: return wide ? ModulateBlendRowAvx2 : ModulateBlendSpan;
  }
}

}  // namespace plat::gfx
