#include "platform/gfx/GfxFootprints.h"

#include <cstddef>

#include "platform/gfx/GfxPipeline.h"
#include "platform/gfx/GfxSimdAvx2.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

namespace {

constexpr int64_t kMaxTexels = 1 << 18;  // 4 MB of entries at most
constexpr int kMaxWidth = 2046;          // a row of entries times 16 bytes fits a signed 16-bit word
constexpr size_t kPadding = 8 * 16;      // zeros after the last entry
constexpr double kWorthCutting = 0.6;    // the part of a primitive's texels a hull worth cutting to covers at most
constexpr int64_t kMaxTurnedTexels = 64 * 64;  // the largest texture a turned quad reads through its table

bool Supported(uint32_t mode, int size) {
  return mode == D3DTADDRESS_CLAMP || (mode == D3DTADDRESS_WRAP && (size & (size - 1)) == 0);
}

}  // namespace

void FootprintTable::Entry(uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11, uint8_t* out) {
  for (int k = 0; k < 4; ++k) {
    const int s = 8 * k;
    out[4 * k] = static_cast<uint8_t>((c00 >> s) ^ 0x80);
    out[4 * k + 1] = static_cast<uint8_t>((c10 >> s) ^ 0x80);
    out[4 * k + 2] = static_cast<uint8_t>((c01 >> s) ^ 0x80);
    out[4 * k + 3] = static_cast<uint8_t>((c11 >> s) ^ 0x80);
  }
}

const uint8_t* FootprintTable::Get(const uint32_t* texels, int w, int h, uint32_t addressU, uint32_t addressV) {
  if (!texels || w <= 0 || h <= 0 || w > kMaxWidth || static_cast<int64_t>(w) * h > kMaxTexels ||
      !Supported(addressU, w) || !Supported(addressV, h)) {
    return nullptr;
  }
  if (!entries_.empty() && addressU == addressU_ && addressV == addressV_) return entries_.data();
  entries_.assign(static_cast<size_t>(w + 1) * static_cast<size_t>(h + 1) * 16 + kPadding, 0);
  addressU_ = addressU;
  addressV_ = addressV;
  uint8_t* out = entries_.data();
  for (int y = -1; y < h; ++y) {
    const uint32_t* top = texels + static_cast<size_t>(AddressTexel(y, h, addressV)) * w;
    const uint32_t* bottom = texels + static_cast<size_t>(AddressTexel(y + 1, h, addressV)) * w;
    for (int x = -1; x < w; ++x, out += 16) {
      const int x0 = AddressTexel(x, w, addressU), x1 = AddressTexel(x + 1, w, addressU);
      Entry(top[x0], top[x1], bottom[x0], bottom[x1], out);
    }
  }
  MakeHull(w, h);
  return entries_.data();
}

// Entry (x, y) holds a texel that is not clear when one of its alpha bytes
// (12 to 15, each less 128) is not 0x80.
void FootprintTable::MakeHull(int w, int h) {
  hasHull_ = addressU_ == D3DTADDRESS_CLAMP && addressV_ == D3DTADDRESS_CLAMP;
  hull_ = FootprintHull{};
  if (!hasHull_) return;
  const uint8_t* entry = entries_.data();
  constexpr int reach = FootprintHull::kReach;
  for (int y = -1; y < h; ++y) {
    for (int x = -1; x < w; ++x, entry += 16) {
      if ((entry[12] & entry[13] & entry[14] & entry[15]) == 0x80 &&
          (entry[12] | entry[13] | entry[14] | entry[15]) == 0x80) {
        continue;
      }
      // The entry's square, those on the border reaching out.
      const int left = x < 0 ? x - reach : x, right = x == w - 1 ? w + reach : x + 1;
      const int top = y < 0 ? y - reach : y, bottom = y == h - 1 ? h + reach : y + 1;
      for (int k = 0; k < FootprintHull::kPlanes; ++k) {
        // Its farthest corner along the normal.
        const int nu = FootprintHull::kNormalU[k], nv = FootprintHull::kNormalV[k];
        const double far = nu * (nu > 0 ? right : left) + nv * (nv > 0 ? bottom : top);
        hull_.bound[k] = hull_.empty || far > hull_.bound[k] ? far : hull_.bound[k];
      }
      hull_.empty = false;
    }
  }
  // The planes' area: their box less the corners the diagonals cut off.
  const double* b = hull_.bound;
  double area = (b[0] + b[1]) * (b[2] + b[3]);
  for (const double corner : {b[0] + b[2] - b[4], b[1] + b[3] - b[5], b[0] + b[3] - b[6], b[1] + b[2] - b[7]}) {
    area -= corner > 0.0 ? corner * corner / 2 : 0.0;
  }
  hull_.area = hull_.empty ? 0.0 : area;
}

bool WideFootprints(const PixelState& px, FootprintSource* out) {
  if (!Avx2Active() || !px.footprints) return false;
  out->table = px.footprints->Get(px.texels, px.texWidth, px.texHeight, px.addressU, px.addressV);
  out->width = px.texWidth;
  out->height = px.texHeight;
  out->wrapU = px.addressU == D3DTADDRESS_WRAP;
  out->wrapV = px.addressV == D3DTADDRESS_WRAP;
  return out->table != nullptr;
}

bool FootprintsForTurnedQuad(const PixelState& px) {
  return static_cast<int64_t>(px.texWidth) * px.texHeight <= kMaxTurnedTexels;
}

const FootprintHull* HullWorthCutting(const PixelState& px, double texelArea) {
  const FootprintHull* hull = px.footprints ? px.footprints->Hull() : nullptr;
  return hull && hull->area < kWorthCutting * texelArea ? hull : nullptr;
}

void FootprintTable::Clear() {
  hasHull_ = false;
  entries_.clear();
  entries_.shrink_to_fit();
}

}  // namespace plat::gfx
