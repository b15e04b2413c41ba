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

class FootprintTable {
 public:
  // Entries for the texels under clamp or wrap addressing along each axis
  // (wrap only for sizes that are powers of two): width + 1 entries a row,
  // height + 1 rows, from (-1, -1) on. Null for other addressing, for
  // textures more than 2046 texels wide, and for those too large to be worth
  // four times their memory.
  const uint8_t* Get(const uint32_t* texels, int width, int height, uint32_t addressU, uint32_t addressV);
  void Clear();  // the texels changed

  // The 16 bytes of one footprint from its texels c00 (top left), c10, c01
  // and c11: blue of c00, c10, c01, c11, then green, red and alpha likewise,
  // each less 128 (as a signed byte).
  static void Entry(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint8_t* out);

 private:
  std::vector<uint8_t> entries_;
  uint32_t addressU_ = 0, addressV_ = 0;
};

// A texture's footprint table for the wide loops of turned and scaled
// sprites (GfxSimdAvx2), with clamp or wrap addressing along each axis.
struct FootprintSource {
  const uint8_t* table = nullptr;
  int width = 0, height = 0;  // of the texture
  bool wrapU = false, wrapV = false;
};

// The footprint table of the states' texture for the wide loops: false when
// they are off (no AVX2) or the texture has none for its addressing.
bool WideFootprints(const PixelState& state, FootprintSource* out);

}  // namespace plat::gfx
