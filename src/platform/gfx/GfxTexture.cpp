#include "platform/gfx/GfxTexture.h"

#include <algorithm>
#include <atomic>

#include "platform/gfx/GfxFormats.h"
#include "platform/gfx/GfxSoftDevice.h"

namespace plat::gfx {

namespace {

uint64_t NewContentId() {
  static std::atomic<uint64_t> last{0};
  return last.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

HRESULT Surface::GetDesc(SurfaceDesc* out) const { return owner_->GetLevelDesc(0, out); }

Texture::Texture(SoftDevice* device, uint32_t width, uint32_t height, uint32_t format, uint32_t pool)
    : device_(device),
      width_(width),
      height_(height),
      format_(format),
      pool_(pool),
      pitch_(SurfacePitch(format, width)),
      shared_(format == D3DFMT_A8R8G8B8),
      contentId_(NewContentId()),
      surface_(this) {
  if (shared_) return;
  texels_ = TexelBlock(static_cast<size_t>(width) * height);
  bits_.resize(static_cast<size_t>(pitch_) * SurfaceRows(format, height));
  // Fresh levels are zero in every format; decode once so formats without
  // alpha read as opaque black, as they would after a lock.
  DecodeSurface(format_, bits_.data(), pitch_, width_, height_, texels_.data());
}

const uint32_t* Texture::Texels() const {
  if (texels_.empty()) {
    texels_ = TexelBlock(static_cast<size_t>(width_) * height_);  // a fresh level is zero
    if (!texels_.empty() && !packed_.empty()) {
      packed_.Unpack(texels_.data());
      packed_.clear();
    }
  }
  return texels_.data();
}

HRESULT Texture::TakeTexels(TexelBlock&& argb, uint32_t filledWidth, uint32_t filledHeight) {
  if (locked_ || argb.size() != static_cast<size_t>(width_) * height_) return D3DERR_INVALIDCALL;
  if (shared_) {
    packed_.clear();
    if (packed_.Pack(argb.data(), width_, std::min(filledWidth, width_), std::min(filledHeight, height_))) {
      texels_ = TexelBlock();
      argb = TexelBlock();
    } else {
      texels_ = std::move(argb);
      texels_.Keep();
    }
  } else {
    EncodeSurface(format_, argb.data(), width_, height_, bits_.data(), pitch_);
    DecodeSurface(format_, bits_.data(), pitch_, width_, height_, texels_.data());
  }
  footprints_.Clear();
  opaque_ = -1;
  alphaSpans_.clear();
  contentId_ = NewContentId();
  return D3D_OK;
}

Texture::~Texture() {
  if (device_) device_->ForgetTexture(this);
}

HRESULT Texture::GetLevelDesc(uint32_t level, SurfaceDesc* out) const {
  if (level != 0 || !out) return D3DERR_INVALIDCALL;
  *out = SurfaceDesc{format_, D3DRTYPE_SURFACE, 0, pool_, width_, height_};
  return D3D_OK;
}

HRESULT Texture::LockRect(uint32_t level, LockedRect* out, const Rect* rect, uint32_t flags) {
  if (level != 0 || !out || rect || locked_) return D3DERR_INVALIDCALL;
  if (device_) {
    const HRESULT injected = device_->Faults().Take(Op::LockRect);
    if (Failed(injected)) return injected;
  }
  locked_ = true;
  readOnlyLock_ = (flags & D3DLOCK_READONLY) != 0;
  out->pitch = static_cast<int32_t>(pitch_);
  out->bits = LockedBits();
  return D3D_OK;
}

HRESULT Texture::UnlockRect(uint32_t level) {
  if (level != 0 || !locked_) return D3DERR_INVALIDCALL;
  locked_ = false;
  if (!readOnlyLock_) {
    if (!shared_) DecodeSurface(format_, bits_.data(), pitch_, width_, height_, texels_.data());
    footprints_.Clear();
    opaque_ = -1;
    alphaSpans_.clear();
    contentId_ = NewContentId();
  }
  return D3D_OK;
}

bool Texture::Opaque() {
  if (opaque_ < 0) {
    uint32_t all = 0xFF000000u;
    const uint32_t* t = Texels();
    for (size_t i = 0, n = static_cast<size_t>(width_) * height_; i < n; ++i) all &= t[i];
    opaque_ = all == 0xFF000000u;
  }
  return opaque_ != 0;
}

const uint32_t* Texture::AlphaSpans() {
  if (alphaSpans_.empty() && width_ > 0 && height_ > 0 && width_ <= 0xFFFF) {
    alphaSpans_.assign(height_, 0);
    for (uint32_t y = 0; y < height_; ++y) {
      const uint32_t* row = Texels() + static_cast<size_t>(y) * width_;
      uint32_t first = 0, end = width_;
      while (first < width_ && (row[first] >> 24) == 0) ++first;
      if (first == width_) continue;
      while ((row[end - 1] >> 24) == 0) --end;
      alphaSpans_[y] = first | end << 16;
    }
  }
  return alphaSpans_.empty() ? nullptr : alphaSpans_.data();
}

HRESULT Texture::GetSurfaceLevel(uint32_t level, Surface** out) {
  if (level != 0 || !out) return D3DERR_INVALIDCALL;
  *out = &surface_;
  return D3D_OK;
}

}  // namespace plat::gfx
