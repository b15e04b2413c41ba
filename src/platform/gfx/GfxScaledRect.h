// Unrotated rectangles of bilinear texels whose texel column depends on the
// pixel column alone and whose texel row on the pixel row alone (sprites and
// tiles scaled by the view, or drawn 1:1 off the pixel grid). Each row of
// pixels reads two rows of texels with one vertical weight, so the texel
// columns it needs are first weighted vertically, once each, and every pixel
// then weights two neighbouring columns horizontally, with its column and
// weight worked out once for the whole rectangle. The sums are those of the
// bilinear filter of the span routines, so the pixels are the same.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gfx/GfxPipeline.h"

namespace plat::gfx {

struct ScaledRect {
  int left = 0, top = 0, width = 0, height = 0;  // target pixels, clipped
  int64_t u = 0, du = 0;  // texel column (16.16) at the first pixel centre, step per pixel
  int64_t v = 0, dv = 0;  // texel row (16.16) at the first row's centres, step per row
};

// The filtered texels of scaled rectangles drawn again the next frame from
// the same texels to the same size and texel range: a level's ground,
// buildings and decorations stand still from frame to frame, and drawing
// them then only puts the kept texels on the target (the filtering does not
// depend on the target or the place). A rectangle is remembered when first
// drawn, filtered into the cache when drawn again, and drawn from it after
// that; what a frame did not draw is dropped when it ends, and the cache
// holds at most `limit` texels (beyond that, rectangles are drawn as without
// it).
class ScaledRowCache {
 public:
  struct Key {
    uint64_t contentId;
    int64_t u, du, v, dv;
    int width, height;
    uint32_t addressU, addressV;
    bool operator==(const Key&) const = default;
  };
  // The rectangle's filtered texels: its row j is row rowOf[j] of `texels`
  // (`stride` texels apart; neighbouring rows of pixels that read the same
  // texels share one), whose texels with alpha not 0 lie in [from, to) of
  // spans[2 k], spans[2 k + 1] (from >= to: none).
  struct Rows {
    std::vector<uint32_t> texels;
    std::vector<int32_t> rowOf, spans;
    int stride = 0;
    bool filled = false;
    uint64_t frame = 0;  // the last frame that drew it
  };

  void SetLimit(size_t texels) { limit_ = texels; }
  // The kept rows of a rectangle seen before (filled now when only seen so
  // far and they fit), else null: the caller draws it as without a cache.
  const Rows* Find(const PixelState& state, const ScaledRect& rect);
  // Ends a frame: what it did not draw goes.
  void EndFrame();
  void Clear();
  size_t Held() const { return held_; }  // texels kept
  size_t Count() const { return rows_.size(); }

 private:
  struct KeyHash {
    size_t operator()(const Key& k) const;
  };
  std::unordered_map<Key, Rows, KeyHash> rows_;
  uint64_t frame_ = 1;
  size_t held_ = 0, limit_ = 0;
};

// Draws `rect` with bilinear texels put on the target by `op` (`colour` for
// the tints). False, having drawn nothing, when the wide vector path is off
// or cannot take the rectangle (border addressing, a step above four texels,
// coordinates out of range); the caller then draws it span by span. With the
// state's row cache and a texture content to key on, rectangles drawn the
// frame before are drawn from their kept filtered texels, the same pixels.
bool DrawScaledRect(const PixelState& state, SpanOp op, uint32_t colour, const ScaledRect& rect);

// Marks the stencil from `rect` as StencilMarkSpan does (see
// MarkStencilFromTexels), reading its filtered texels from the state's row
// cache: a dimmed window marks the pieces it has just drawn. False, having
// marked nothing, when the cache does not hold them yet.
bool MarkScaledRect(const PixelState& state, uint32_t colour, const ScaledRect& rect);

}  // namespace plat::gfx
