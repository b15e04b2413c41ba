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
  return entries_.data();
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

void FootprintTable::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
}

}  // namespace plat::gfx
