// The 2 x 2 texel footprints of a texture's bilinear samples, laid out for
// the wide vector loops of turned and scaled sprites: one 16-byte entry per
// footprint, so that a sample anywhere reads everything it needs with one
// load. Entry (x, y), for x in -1 .. width - 1 and y in -1 .. height - 1,
// holds the texels (x, y), (x + 1, y), (x, y + 1) and (x + 1, y + 1) after
// the texture's addressing, channel by channel (see Entry), each byte less
// 128. A footprint beyond those entries reads the same texels as one of
// them under clamp or wrap addressing. Eight entries of zeros follow the
// last, so that loops may read a few past the end of a row. The table is
// built on first use for the addressing asked for and dropped when the
// texels change.
#pragma once

#include <cstdint>
#include <vector>

namespace plat::gfx {

struct PixelState;

// Where a texture's texels are not all clear, for the blending loops: eight
// half-planes n . (u, v) <= bound (u and v in texels, as the loops sample
// them), the normals n being (1, 0), (-1, 0), (0, 1), (0, -1), (1, 1),
// (-1, -1), (1, -1) and (-1, 1), around the squares of the entries holding a
// texel that is not clear: [x, x + 1) x [y, y + 1), those on the table's
// border reaching kReach texels farther out, where clamping repeats them.
// A sample inside the box [-1 - kReach, width + kReach) x [-1 - kReach,
// height + kReach) and outside the planes reads four clear texels, under
// which a blend leaves the target as it is. `empty` when every texel is
// clear. `area`: the area inside the planes, in texels.
struct FootprintHull {
  static constexpr int kPlanes = 8;
  static constexpr int kNormalU[kPlanes] = {1, -1, 0, 0, 1, -1, 1, -1};
  static constexpr int kNormalV[kPlanes] = {0, 0, 1, -1, 1, -1, -1, 1};
  static constexpr int kReach = 2;
  bool empty = true;
  double area = 0.0;
  double bound[kPlanes] = {};
};

class FootprintTable {
 public:
  // Entries for the texels under clamp or wrap addressing along each axis
  // (wrap only for sizes that are powers of two): width + 1 entries a row,
  // height + 1 rows, from (-1, -1) on. Null for other addressing, for
  // textures more than 2046 texels wide, and for those too large to be worth
  // four times their memory.
  const uint8_t* Get(const uint32_t* texels, int width, int height, uint32_t addressU, uint32_t addressV);
  void Clear();  // the texels changed
  // The hull of the texels Get last laid out; null under wrap addressing.
  const FootprintHull* Hull() const { return hasHull_ ? &hull_ : nullptr; }

  // The 16 bytes of one footprint from its texels c00 (top left), c10, c01
  // and c11: blue of c00, c10, c01, c11, then green, red and alpha likewise,
  // each less 128 (as a signed byte).
  static void Entry(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint8_t* out);

 private:
  std::vector<uint8_t> entries_;
  uint32_t addressU_ = 0, addressV_ = 0;
  FootprintHull hull_;
  bool hasHull_ = false;

  void MakeHull(int width, int height);
};

// The hull of the states' texture (after WideFootprints) when it covers a
// fair part less than `texelArea`, the area a primitive samples: cutting
// its rows to the hull then pays for itself. Null otherwise.
const FootprintHull* HullWorthCutting(const PixelState& state, double texelArea);

// Whether a turned quad on the states' texture is worth drawing from its
// footprint table: only for small textures (particles, glyphs, small
// sprites), whose table stays in the processor's caches from one primitive
// to the next. A table takes four times its texture's memory, so a turned
// quad on a larger texture (the parts of a character) draws faster from the
// texels themselves, through the span routines, with the same pixels (added
// texels too: their narrow routine fetches, tints and adds in one pass, and
// a larger table only moves the wait from the texels to the table).
bool FootprintsForTurnedQuad(const PixelState& state);

// A texture's footprint table for the wide loops of turned and scaled
// sprites (GfxSimdAvx2), with clamp or wrap addressing along each axis.
struct FootprintSource {
  const uint8_t* table = nullptr;
  int width = 0, height = 0;  // of the texture
  bool wrapU = false, wrapV = false;
  const FootprintHull* hull = nullptr;  // blends cut their rows to it (HullWorthCutting)
};

// The footprint table of the states' texture for the wide loops: false when
// they are off (no AVX2) or the texture has none for its addressing.
bool WideFootprints(const PixelState& state, FootprintSource* out);

}  // namespace plat::gfx
