#include "engine/DXLTexture.h"

#include <cstring>

#include "base/Strings.h"
#include "engine/DXLTextureSource.h"
#include "engine/DXLTextures.h"
#include "engine/DXLViewer.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/PixelFormat.h"
#include "engine/image/PixelProcess.h"
#include "engine/DXLD3DX.h"
#include "platform/gfx/GfxD3dx.h"

namespace gfx = plat::gfx;

DXLTexture::DXLTexture() = default;

DXLTexture::DXLTexture(DXLTextures* owner) {
  if (owner) owner->Add(this);
}

DXLTexture::DXLTexture(DXLViewer* viewer) { SetViewer(viewer); }

DXLTexture::~DXLTexture() {
  NotifyAll(kNotifyDestroyed);
  listeners_.RemoveAll();
  if (bitmap_) bitmap_->RemoveListener(this);
  bitmap_ = nullptr;
  if (owner_) owner_->Remove(this);
  if (viewer_) OnDeviceEvent(viewer_, kDeviceDetached);
  Release();
}

// --- Notification -----------------------------------------------------------------

void DXLTexture::Notify(DXLNotifyObject* sender, u32 code) {
  if (code != kNotifyDestroyed || !bitmap_ || sender != static_cast<DXLNotifyObject*>(bitmap_)) return;
  // The bitmap is going away; the pixels already built stay.
  bitmap_ = nullptr;
  if (sourceKind_ == kTextureSourceBitmap) sourceKind_ = kTextureSourceNone;
}

void DXLTexture::OnDeviceEvent(DXLViewer* viewer, u32 code) {
  switch (code) {
    case kDeviceAttached:
      viewer_ = viewer;
      if (viewer_) viewer_->AddDeviceObject(this);
      break;
    case kDeviceDetached:
      Suspend();
      if (viewer_) viewer_->RemoveDeviceObject(this);
      viewer_ = nullptr;
      break;
    case kDeviceCreated:
      if (autoReload_ && restorable_) Load();
      break;
    case kDeviceReleasing:
      Suspend();
      break;
    default:  // a reset leaves managed textures as they are
      break;
  }
}

void DXLTexture::SetViewer(DXLViewer* viewer) {
  if (viewer == viewer_) return;
  if (viewer_) OnDeviceEvent(viewer_, kDeviceDetached);
  if (viewer) OnDeviceEvent(viewer, kDeviceAttached);
}

void DXLTexture::SetOwner(DXLTextures* owner) {
  if (owner == owner_) return;
  Suspend();
  DXLTextures* old = owner_;
  owner_ = owner;
  if (old) old->Remove(this);
  if (owner) owner->Add(this);
}

// --- Building ------------------------------------------------------------------------

bool DXLTexture::CanCreate() const { return !created_ && viewer_ && viewer_->HasDevice(); }

void DXLTexture::Release() {
  // The device must not keep drawing with a texture that is gone.
  if (viewer_ && viewer_->GetCurrentTexture() == this) viewer_->SetTexture(nullptr);
  selected_ = 0;
  if (lockCount_ > 0 && texture_) texture_->UnlockRect(0);
  lockCount_ = 0;
  lockedBits_ = nullptr;
  lockedPitch_ = 0;
  texture_.reset();
  created_ = 0;
  imageWidth_ = imageHeight_ = textureWidth_ = textureHeight_ = 0;
  format_ = 0;
}

void DXLTexture::ReadLevelSize() {
  gfx::SurfaceDesc desc{};
  if (!texture_ || gfx::Failed(texture_->GetLevelDesc(0, &desc))) {
    Release();
    return;
  }
  textureWidth_ = static_cast<i32>(desc.width);
  textureHeight_ = static_cast<i32>(desc.height);
  format_ = desc.format;
}

void DXLTexture::SetCoordinates() {
  leftU_ = 0.0f;
  topV_ = 0.0f;
  const bool scaled = !(viewer_ && viewer_->SupportsNonPowerOfTwo()) && imageFilter_ != gfx::D3DX_FILTER_NONE;
  if (scaled) {
    rightU_ = 1.0f;
    bottomV_ = 1.0f;
    return;
  }
  rightU_ = static_cast<float>(imageWidth_) / static_cast<float>(textureWidth_ < 1 ? 1 : textureWidth_);
  bottomV_ = static_cast<float>(imageHeight_) / static_cast<float>(textureHeight_ < 1 ? 1 : textureHeight_);
}

void DXLTexture::Create(i32 width, i32 height, u32 format, bool notify) {
  if (!CanCreate() || width <= 0 || height <= 0 || format == 0) return;
  u32 w = static_cast<u32>(width), h = static_cast<u32>(height);
  if (!viewer_->SupportsNonPowerOfTwo()) {
    w = DXLNextPowerOfTwo(w);
    h = DXLNextPowerOfTwo(h);
  }
  const auto create = DXLGetD3DX().CreateTexture;
  if (!create || gfx::Failed(create(viewer_->GetDevice(), w, h, 1, 0, format, gfx::D3DPOOL_MANAGED, &texture_))) {
    texture_.reset();
    return;
  }
  ReadLevelSize();
  if (!texture_) return;
  imageWidth_ = width;
  imageHeight_ = height;
  created_ = 1;
  restorable_ = 1;
  SetCoordinates();
  if (notify) NotifyAll(kNotifyBuilt);
}

void DXLTexture::ApplyKey() {
  if (keyMode_ == 0) return;
  u8* bits = Lock(gfx::D3DLOCK_NOSYSLOCK);
  if (!bits) return;
  const u32 bpp = DXLGetFormatBytes(format_);
  if (bpp != 0 && lockedPitch_ == textureWidth_ * static_cast<i32>(bpp)) {
    DXLProcessPixels(format_, textureWidth_, textureHeight_, bits, keyMode_, keyColor_);
  } else if (bpp != 0) {
    for (i32 y = 0; y < textureHeight_; ++y) {
      DXLProcessPixels(format_, textureWidth_, 1, bits + static_cast<size_t>(y) * lockedPitch_, keyMode_,
                       keyColor_);
    }
  }
  Unlock();
}

void DXLTexture::FillEdges() {
  if (edgeFlags_ == 0 || imageFilter_ != gfx::D3DX_FILTER_NONE) return;
  if (imageWidth_ >= textureWidth_ && imageHeight_ >= textureHeight_) return;
  const u32 bpp = DXLGetFormatBytes(format_);
  if (bpp == 0) return;
  u8* bits = Lock(gfx::D3DLOCK_NOSYSLOCK);
  if (!bits) return;
  DXLExtendTextureEdges(format_, imageWidth_, imageHeight_, lockedPitch_ / static_cast<i32>(bpp), textureHeight_,
                        bits, (edgeFlags_ & kTextureEdgeRight) != 0, (edgeFlags_ & kTextureEdgeBottom) != 0);
  Unlock();
}

void DXLTexture::LoadFromFile(const wchar* path) {
  if (!CanCreate() || !path || !path[0]) return;
  const u32 size = viewer_->SupportsNonPowerOfTwo() ? gfx::D3DX_DEFAULT_NONPOW2 : gfx::D3DX_DEFAULT;
  gfx::ImageInfo info{};
  const auto load = DXLGetD3DX().CreateTextureFromFileExW;
  const gfx::HRESULT hr =
      load ? load(viewer_->GetDevice(), path, size, size, 1, 0, loadFormat_, gfx::D3DPOOL_MANAGED, imageFilter_,
                  gfx::D3DX_FILTER_NONE, 0, &info, nullptr, &texture_)
           : gfx::D3DERR_NOTAVAILABLE;
  FinishImageLoad(hr, info, true);
}

void DXLTexture::LoadFromMemory(const void* data, u32 size) {
  if (!CanCreate() || !data || size == 0) return;
  const u32 side = viewer_->SupportsNonPowerOfTwo() ? gfx::D3DX_DEFAULT_NONPOW2 : gfx::D3DX_DEFAULT;
  gfx::ImageInfo info{};
  const auto load = DXLGetD3DX().CreateTextureFromFileInMemoryEx;
  const gfx::HRESULT hr =
      load ? load(viewer_->GetDevice(), data, size, side, side, 1, 0, loadFormat_, gfx::D3DPOOL_MANAGED,
                  imageFilter_, gfx::D3DX_FILTER_NONE, 0, &info, nullptr, &texture_)
           : gfx::D3DERR_NOTAVAILABLE;
  FinishImageLoad(hr, info, false);
}

// The common end of a load from an image file or its bytes: the texture is
// released when the load failed, else it takes the image's size, gets its key
// treatment and edge fill (under one lock), and tells its listeners.
void DXLTexture::FinishImageLoad(i32 hr, const gfx::ImageInfo& info, bool restorable) {
  if (gfx::Failed(hr) || info.width == 0 || info.height == 0 || info.format == 0) {
    Release();
    return;
  }
  ReadLevelSize();
  if (!texture_) return;
  imageWidth_ = static_cast<i32>(info.width);
  imageHeight_ = static_cast<i32>(info.height);
  created_ = 1;
  restorable_ = restorable ? 1 : 0;
  const bool locked = keyMode_ != 0 && Lock(gfx::D3DLOCK_NOSYSLOCK) != nullptr;
  ApplyKey();
  FillEdges();
  if (locked) Unlock();
  SetCoordinates();
  NotifyAll(kNotifyBuilt);
}

namespace {

// Bytes of one stored row of pixels (of 4 x 4 blocks for DXT) and the number
// of such rows, for a width x height image.
void RowLayout(u32 format, i32 width, i32 height, size_t* rowBytes, i32* rows) {
  if (DXLIsDXTFormat(format)) {
    const size_t block = format == D3DFMT_DXT1 ? 8 : 16;
    *rowBytes = static_cast<size_t>((width + 3) / 4) * block;
    *rows = (height + 3) / 4;
    return;
  }
  *rowBytes = static_cast<size_t>(width) * DXLGetFormatBytes(format);
  *rows = height;
}

}  // namespace

void DXLTexture::LoadFromBitmap(DXLBitmap* bitmap) {
  if (!CanCreate() || !bitmap || bitmap->IsEmpty() || bitmap->GetFormat() == 0) return;
  const u32 bitmapFormat = bitmap->GetFormat();
  Create(bitmap->GetWidth(), bitmap->GetHeight(), bitmapFormat, false);
  if (!created_) return;
  // A texture that cannot take the pixels is not kept: it would be ready
  // with undefined contents.
  if (!DXLIsFormatCompatible(bitmapFormat, format_)) {
    Release();
    return;
  }
  u8* bits = Lock(gfx::D3DLOCK_NOSYSLOCK);
  if (!bits) {
    Release();
    return;
  }
  bitmap->UnpackForAccess();
  const u8* pixels = bitmap->GetPixels();
  DXLPixelBuffer resized;
  bool sameSize = imageWidth_ == textureWidth_ && imageHeight_ == textureHeight_;
  if (!sameSize) {
    resized = bitmap->GetResized(textureWidth_, textureHeight_, imageFilter_);
    pixels = resized.get();
  }
  if (!pixels) {
    bitmap->Repack();
    Unlock();
    Release();
    return;
  }
  // Row by row, since the lock's pitch may be wider than a row of pixels.
  size_t rowBytes = 0;
  i32 rows = 0;
  RowLayout(format_, textureWidth_, textureHeight_, &rowBytes, &rows);
  const size_t pitch = static_cast<size_t>(lockedPitch_);
  if (pitch < rowBytes) {
    bitmap->Repack();
    Unlock();
    Release();
    return;
  }
  for (i32 y = 0; y < rows; ++y) std::memcpy(bits + y * pitch, pixels + y * rowBytes, rowBytes);
  resized.reset();
  if (!sameSize) FillEdges();
  bitmap->Repack();
  Unlock();
  ApplyKey();
  SetCoordinates();
  NotifyAll(kNotifyBuilt);
}

void DXLTexture::Load() {
  switch (sourceKind_) {
    case kTextureSourceFile:
      LoadFromFile(fileName_.get());
      break;
    case kTextureSourceBitmap:
      LoadFromBitmap(bitmap_);
      break;
    case kTextureSourceObject:
      if (source_) source_->LoadTexture(this);
      break;
    default:
      break;
  }
}

void DXLTexture::Unload() {
  restorable_ = 0;
  if (!created_) return;
  Deselect(selected_ != 0);
  Release();
  NotifyAll(kNotifyReleased);
}

void DXLTexture::Suspend() {
  if (!created_) return;
  Unload();
  restorable_ = 1;
}

// --- Options ------------------------------------------------------------------------

void DXLTexture::AfterOption() {
  if (autoReload_ && restorable_) Load();
}

void DXLTexture::SetEdgeFlags(u32 flags) {
  Suspend();
  edgeFlags_ = flags;
  AfterOption();
}

void DXLTexture::SetImageFilter(u32 filter) {
  Suspend();
  imageFilter_ = filter;
  AfterOption();
}

void DXLTexture::SetSourceKind(u32 kind) {
  Suspend();
  sourceKind_ = kind;
  AfterOption();
}

void DXLTexture::SetFileName(const wchar* name, bool makeSource) {
  Suspend();
  fileName_.reset();
  if (name) {
    u32 n = kis::StrLenW(name);
    if (n > kMaxFileName) n = kMaxFileName;
    fileName_ = std::make_unique<wchar[]>(n + 1);
    std::memcpy(fileName_.get(), name, n * sizeof(wchar));
    fileName_[n] = 0;
  }
  if (makeSource) sourceKind_ = kTextureSourceFile;
  AfterOption();
}

void DXLTexture::SetSource(DXLTextureSource* source, bool makeSource) {
  Suspend();
  source_ = source;
  if (makeSource) sourceKind_ = kTextureSourceObject;
  AfterOption();
}

void DXLTexture::SetBitmap(DXLBitmap* bitmap, bool makeSource) {
  Suspend();
  if (bitmap != bitmap_) {
    if (bitmap_) bitmap_->RemoveListener(this);
    bitmap_ = bitmap;
    if (bitmap_) bitmap_->AddListener(this);
  }
  if (makeSource) sourceKind_ = kTextureSourceBitmap;
  AfterOption();
}

void DXLTexture::SetName(const wchar* name) {
  if (!name) {
    name_[0] = 0;
    return;
  }
  kis::StrCopyW(name_, kNameSize, name);
}

// --- Pixels ----------------------------------------------------------------------------

u8* DXLTexture::Lock(u32 flags) {
  if (lockCount_ > 0) {
    ++lockCount_;
    return lockedBits_;
  }
  if (!created_ || !texture_) return nullptr;
  gfx::LockedRect rect{};
  if (gfx::Failed(texture_->LockRect(0, &rect, nullptr, flags)) || !rect.bits) return nullptr;
  lockedBits_ = static_cast<u8*>(rect.bits);
  lockedPitch_ = rect.pitch;
  lockCount_ = 1;
  return lockedBits_;
}

void DXLTexture::Unlock() {
  if (lockCount_ == 0) return;
  if (--lockCount_ > 0) return;
  if (texture_) texture_->UnlockRect(0);
  lockedBits_ = nullptr;
  lockedPitch_ = 0;
}

// --- Selection ---------------------------------------------------------------------------

bool DXLTexture::Select(bool applyState) {
  if (lockCount_ > 0) return false;
  // Selected and still bound: nothing to do. (A new frame unbinds every
  // texture, so the flag alone does not prove the binding.)
  if (selected_ && viewer_ && viewer_->GetCurrentTexture() == this) return true;
  if (!created_ && viewer_ && viewer_->HasDevice()) {
    viewer_->SetTexture(nullptr);
    return false;
  }
  selected_ = 1;
  if (!viewer_ || !viewer_->SetTexture(this)) return false;
  if (applyState) ApplyDrawState();
  return true;
}

void DXLTexture::ApplyDrawState() {
  if (selected_ && viewer_) viewer_->ApplyDrawState(drawState_);
}

void DXLTexture::Deselect(bool clearViewer) {
  selected_ = 0;
  if (clearViewer && viewer_ && viewer_->GetCurrentTexture() == this) viewer_->SetTexture(nullptr);
}
