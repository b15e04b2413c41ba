// A texture of the software device: one level, kept in the managed pool, so
// its pixels survive a device reset. LockRect hands out the level's bytes in
// the texture's own format (pitch = width x texel bytes; for DXT the bytes of
// one row of 4 x 4 blocks); UnlockRect decodes them into the ARGB copy that
// the sampler reads. A texture that outlives its device keeps its pixels but
// can no longer be drawn.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gfx/GfxFootprints.h"
#include "platform/gfx/GfxTexelBlock.h"
#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

class SoftDevice;
class Texture;

// Level 0 of a texture as a surface (used for the device cursor).
class Surface {
 public:
  explicit Surface(Texture* owner) : owner_(owner) {}
  Texture* GetTexture() const { return owner_; }
  HRESULT GetDesc(SurfaceDesc* out) const;

 private:
  Texture* owner_;
};

class Texture {
 public:
  Texture(SoftDevice* device, uint32_t width, uint32_t height, uint32_t format, uint32_t pool);
  ~Texture();
  Texture(const Texture&) = delete;
  Texture& operator=(const Texture&) = delete;

  uint32_t GetLevelCount() const { return 1; }
  HRESULT GetLevelDesc(uint32_t level, SurfaceDesc* out) const;
  // Only level 0 and the whole surface (rect null); one lock at a time.
  HRESULT LockRect(uint32_t level, LockedRect* out, const Rect* rect, uint32_t flags);
  HRESULT UnlockRect(uint32_t level);
  HRESULT GetSurfaceLevel(uint32_t level, Surface** out);
  // Level 0 filled from an ARGB block of width x height at once, encoded to
  // the format; an A8R8G8B8 level takes the block itself, no copy, or -
  // where that at least halves its memory - keeps only the block's texels
  // that are not zero (PackedTexels) until the device first reads the
  // texels. Everything outside the block's top-left `filledWidth` x
  // `filledHeight` must be zero. D3DERR_INVALIDCALL while locked or for a
  // block of another size.
  HRESULT TakeTexels(TexelBlock&& argb, uint32_t filledWidth = UINT32_MAX, uint32_t filledHeight = UINT32_MAX);

  // Device side.
  uint32_t Width() const { return width_; }
  uint32_t Height() const { return height_; }
  uint32_t Format() const { return format_; }
  bool IsLocked() const { return locked_; }
  bool IsPacked() const { return !packed_.empty(); }  // its pixels packed, not yet read
  const uint32_t* Texels() const;  // ARGB, width texels a row; unpacked when packed
  FootprintTable* Footprints() { return &footprints_; }       // of the texels, built when first asked for
  bool Opaque();  // every texel's alpha is 255 (looked at once after each change)
  // Per texel row, the columns whose alpha is not 0: first | end << 16 (an
  // empty row 0); built when first asked for after each change.
  const uint32_t* AlphaSpans();
  // A number no other content of any texture had: new with every change of
  // the texels (a lock for writing, TakeTexels); 0 while locked for
  // writing, when the texels may change under a draw. Caches of what was
  // drawn from the texels key on it.
  uint64_t ContentId() const { return locked_ && !readOnlyLock_ ? 0 : contentId_; }
  void DetachDevice() { device_ = nullptr; }
  SoftDevice* Device() const { return device_; }

 private:
  uint8_t* LockedBits() { return shared_ ? reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(Texels())) : bits_.data(); }

  SoftDevice* device_;
  uint32_t width_, height_, format_, pool_;
  uint32_t pitch_;
  // A8R8G8B8 levels are their own texels: one copy of the pixels, locked
  // and drawn from, made (zero) when first asked for, so that a level
  // filled at once by TakeTexels is never cleared first. Until then a level
  // filled that way may hold its pixels packed instead (never both): most
  // of the sprite sheets a game loads are mostly transparent and many are
  // never drawn. Other formats keep their stored bits and decode them into
  // the texels on each unlock.
  bool shared_;
  std::vector<uint8_t> bits_;
  mutable TexelBlock texels_;
  mutable PackedTexels packed_;
  FootprintTable footprints_;
  int opaque_ = -1;  // -1 until looked at
  std::vector<uint32_t> alphaSpans_;  // empty until asked for
  uint64_t contentId_;
  bool locked_ = false;
  bool readOnlyLock_ = false;
  Surface surface_;
};

}  // namespace plat::gfx
