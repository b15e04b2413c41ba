// The geometric half of the software rasteriser: triangle fans and line
// strips in screen space, following the usual rules of the hardware the game
// was made for. Pixel centres lie on integer coordinates; a pixel belongs to a
// triangle when its centre is inside, or on a top or left edge (so triangles
// that share an edge draw each pixel of it once, and a quad placed half a
// pixel up and left of integer corners maps its texels 1:1). Colours and
// texture coordinates are interpolated linearly across the primitive. A fan of
// two triangles that forms an unrotated rectangle with one colour is drawn in
// one pass per row; it covers exactly the pixels the two triangles would. So
// is any other convex quad with one colour whose corners map the texture by
// one plane (to within 1/128 texel); its texel coordinates are stepped in
// fixed point, which may move the last bit of a sample point.
// Lines are one pixel wide and draw their first pixel but not their last.
#pragma once

#include <cstdint>

#include "platform/gfx/GfxPipeline.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

struct ScreenVertex {
  float x = 0, y = 0;  // screen position
  bool valid = false;  // false when the vertex is behind the eye or not finite
  uint32_t colour = 0xFFFFFFFFu;
  float u = 0, v = 0;  // texture coordinates (0..1 across the texture)
};

struct RasterState {
  PixelState pixel;
  Rect clip{0, 0, 0, 0};  // pixels drawn: left <= x < right, top <= y < bottom
  uint32_t cullMode = D3DCULL_NONE;
  bool minLinear = false, magLinear = false;
  bool rectPath = true;  // tests switch the rectangle pass off to compare
};

void DrawTriangleFan(const RasterState& state, const ScreenVertex* v, uint32_t triangles);
void DrawLineStrip(const RasterState& state, const ScreenVertex* v, uint32_t lines);

}  // namespace plat::gfx
