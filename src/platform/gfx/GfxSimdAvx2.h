// Wider vector versions of the hottest pixel loops, used when the processor
// has AVX2 (checked once at run time). They compute exactly what the SSE2 and
// plain versions compute.
#pragma once

#include <cstdint>

#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxPipeline.h"

namespace plat::gfx {

namespace detail {
extern bool g_avx2Active;
extern bool g_masks512Active;
extern bool g_evexLoopsActive;
}

// True when the processor offers AVX2 and its use has not been switched off.
inline bool Avx2Active() { return detail::g_avx2Active; }
// Test seam: false forces the SSE2 paths; true enables AVX2 where present.
void SetAvx2Allowed(bool allowed);
// True when the AVX2 loops are on and the processor also has AVX-512 (F and
// VL): their masked moves at the ends of spans then use its mask registers.
inline bool Avx512MasksActive() { return detail::g_masks512Active; }
// True when the mask registers are on and the processor has AVX-512 BW as
// well: the footprint loops (FootprintRowsAvx2) are then compiled for
// AVX-512's encoding, whose 32 vector registers hold all their constants,
// still eight pixels a step.
inline bool EvexLoopsActive() { return detail::g_evexLoopsActive; }
// Test seam: false keeps the AVX2 masked moves (and the AVX2 encoding);
// true uses the mask registers where present (and the AVX2 loops are on).
void SetAvx512MasksAllowed(bool allowed);

// Source-alpha blend of n pixels (see BlendSrcAlphaSpan).
void BlendSrcAlphaSpanAvx2(const uint32_t* src, uint32_t* dest, int n);
// Modulate by one colour, then source-alpha blend (see ModulateBlendSpan).
void ModulateBlendSpanAvx2(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n);
// Source alpha added to the target (see BlendAddSpan).
void BlendAddSpanAvx2(const uint32_t* src, uint32_t* dest, int n);
// Modulate by one colour, then add by source alpha (see ModulateAddSpan).
void ModulateAddSpanAvx2(const uint32_t* texels, uint32_t colour, uint32_t* dest, int n);
// A dimmed window's fill (see StencilFillSpan): where a stencil value equals
// the reference under `mask`, it counts up (saturating, only the bits of
// `writeMask`) and the pixel takes one colour blended over it by the
// colour's alpha, in the channels of `channels`. Eight pixels at a time; the
// number done (the rest, fewer than eight, left to the caller).
// A window's pieces marking the stencil (see MarkStencilFromTexels): where
// a texel's alpha, modulated by `colourAlpha` (255: as it is), is at least
// `alphaRef`, the stencil value keeps the bits of `keepBits` and takes
// `setBits`. Eight pixels at a time; the number done.
int StencilMarkAvx2(const uint32_t* texels, uint8_t* stencil, int n, uint32_t colourAlpha, uint32_t alphaRef,
                    uint8_t keepBits, uint8_t setBits);
int StencilCountUpFillAvx2(uint8_t* stencil, uint32_t* dest, int n, uint32_t ref, uint32_t mask,
                           uint32_t writeMask, uint32_t colour, uint32_t channels);
// n bilinear texels along a line, every 2 x 2 footprint inside the texture;
// returns how many it wrote (all n when n >= 8, else none: the caller
// finishes short runs).
int FetchLinearInsideAvx2(const uint32_t* texels, int width, int32_t tu, int32_t tv, int32_t du, int32_t dv, int n,
                          uint32_t* out);
// n bilinear texels along a line with clamp or wrap addressing per axis
// (wrap only for sizes that are powers of two); the coordinates of n + 7
// steps fit in 32 bits.
void FetchLinearAvx2(const uint32_t* texels, int width, int height, bool wrapU, bool wrapV, int32_t tu, int32_t tv,
                     int32_t du, int32_t dv, int n, uint32_t* out);

// Texel columns weighted vertically for the scaled rectangles: for each of
// n >= 8 columns k, the four channels (blue, green, red, alpha) of
// (128 - y) top[k] + y bottom[k], less 128 x 128, as 16-bit words.
void VerticalRunAvx2(const uint32_t* top, const uint32_t* bottom, int n, uint32_t y, int16_t* out);
// n pixels of a scaled rectangle's row put on dest by `op`: pixel i weights
// the columns (of VerticalRunAvx2) at byte offset offsets[i] and the next
// one by the 16-bit pair (128 - x, x) of its weight word. The weight words
// come in groups of 32 for eight pixels: the eight words from 8k on hold
// pixel k's four times, then pixel k + 4's (k = 0..3). The tables reach to
// a whole group of eight past n.
void ScaledRowAvx2(SpanOp op, const int16_t* columns, const int32_t* offsets, const uint32_t* weights, int n,
                   uint32_t colour, uint32_t* dest);
// The same for a texel a pixel: pixel i weights columns i and i + 1 by
// (128 - x, x). The columns reach to a whole group of eight past n + 1.
void UnitRowAvx2(SpanOp op, const int16_t* columns, uint32_t x, int n, uint32_t colour, uint32_t* dest);
// n texels (filtered already, as the kCopy form of the two above writes
// them) put on dest by `op` (kCopy .. kTintBlend), with exactly the
// arithmetic the two above apply to their filtered texels. The texels may be
// read up to a group of eight past n.
void TexelRowAvx2(SpanOp op, const uint32_t* texels, int n, uint32_t colour, uint32_t* dest);

// A span of n >= 1 target pixels from dest on, whose first sample lies at
// the texel coordinates (u, v): 16.16, already less half a texel. (No
// initial values: arrays of them are filled as they are used.)
struct FootprintRow {
  uint32_t* dest;
  int32_t u, v;
  int n;
};
// The spans of one primitive, sample i of a span at (u + i du, v + i dv):
// bilinear texels from the table put on the target by `op`. The whole texels
// of every sample, and of eight steps on, fit in 16 bits.
void FootprintRowsAvx2(SpanOp op, const FootprintSource& f, const FootprintRow* rows, int count, int32_t du,
                       int32_t dv, uint32_t colour);

// Two slanted edges bounding rows from the left and two from the right, as
// the rasteriser walks them (EdgeWalker in GfxRaster): edge k bounds a row
// at -q[k] from the left (k = 0, 1) or at q[k] from the right (k = 2, 3),
// q and the remainder r moving by dq and dr over div a row.
struct EdgePairs {
  int64_t q[4], r[4], dq[4], dr[4], div[4];
};
// The pixels [xl[k], xr[k]] of the next n rows inside the box's sides left
// and right and the edges, which then move n rows on.
void EdgePairRowsAvx2(EdgePairs& edges, int n, int64_t left, int64_t right, int64_t* xl, int64_t* xr);

// Lines bounding the pixels of rows y: from the left (x >= at + slope y),
// from the right (x <= at + slope y), and level ones dropping the rows
// where at + slope y < 0 (see ScreenHull in GfxRaster).
struct RowBounds {
  static constexpr int kMax = 8;
  struct Line {
    double at, slope;
  };
  Line lefts[kMax], rights[kMax], levels[kMax];
  int leftCount = 0, rightCount = 0, levelCount = 0;
};
// The n rows from row `first` on, row k's pixels [xl[k], xr[k]], narrowed by
// the bounds to [from[k], to[k]] (an empty row: from[k] > to[k]). The arrays
// reach to a multiple of four rows past n, and every bound lies within 2^30
// of zero or beyond every pixel.
void NarrowRowsAvx2(const RowBounds& bounds, int64_t first, int n, const int64_t* xl, const int64_t* xr,
                    int64_t* from, int64_t* to);

}  // namespace plat::gfx
