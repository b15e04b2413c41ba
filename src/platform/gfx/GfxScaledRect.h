// Unrotated rectangles of bilinear texels whose texel column depends on the
// pixel column alone and whose texel row on the pixel row alone (sprites and
// tiles scaled by the view, or drawn 1:1 off the pixel grid). Each row of
// pixels reads two rows of texels with one vertical weight, so the texel
// columns it needs are first weighted vertically, once each, and every pixel
// then weights two neighbouring columns horizontally, with its column and
// weight worked out once for the whole rectangle. The sums are those of the
// bilinear filter of the span routines, so the pixels are the same.
#pragma once

#include <cstdint>

#include "platform/gfx/GfxPipeline.h"

namespace plat::gfx {

struct ScaledRect {
  int left = 0, top = 0, width = 0, height = 0;  // target pixels, clipped
  int64_t u = 0, du = 0;  // texel column (16.16) at the first pixel centre, step per pixel
  int64_t v = 0, dv = 0;  // texel row (16.16) at the first row's centres, step per row
};

// Draws `rect` with bilinear texels put on the target by `op` (`colour` for
// the tints). False, having drawn nothing, when the wide vector path is off
// or cannot take the rectangle (border addressing, a step above four texels,
// coordinates out of range); the caller then draws it span by span.
bool DrawScaledRect(const PixelState& state, SpanOp op, uint32_t colour, const ScaledRect& rect);

}  // namespace plat::gfx
