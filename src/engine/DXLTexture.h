// DXLTexture - one texture of one level in the managed pool of the device,
// with what it takes to build it again: its source (a file, a DXLBitmap or a
// DXLTextureSource), its load options and its draw state. It registers with
// its viewer as a device object; with auto-reload it rebuilds itself from its
// source when the device is made anew (managed textures survive a reset).
//
// A failed build leaves the texture not created (IsReady false, sizes 0); a
// texture is never reported ready with pixels that were not filled. Listeners
// are told kNotifyBuilt when it is built, kNotifyReleased when it is released
// and kNotifyDestroyed when it goes away.
// A texture whose source is a bitmap listens to that bitmap, and forgets it
// (source kind 0) when the bitmap goes away first.
//
// It also builds DXLQUADs mapping pixel rectangles of its image to texture
// coordinates, shifted by half a pixel so that texel centres fall on pixel
// centres.
#pragma once

#include <memory>

#include "base/Types.h"
#include "engine/DXLDeviceObject.h"
#include "engine/DXLDrawTypes.h"
#include "platform/gfx/GfxTexture.h"

class DXLBitmap;
class DXLTextures;
class DXLTextureSource;
class DXLViewer;

// Source kinds.
constexpr u32 kTextureSourceNone = 0;
constexpr u32 kTextureSourceFile = 1;
constexpr u32 kTextureSourceBitmap = 2;
constexpr u32 kTextureSourceObject = 3;

// Edge flags: copy the image's last column right of it, its last row below it.
constexpr u32 kTextureEdgeRight = 1;
constexpr u32 kTextureEdgeBottom = 2;

class DXLTexture : public DXLDeviceObject {
 public:
  static constexpr u32 kNameSize = 32;       // characters with the terminator
  static constexpr u32 kMaxFileName = 259;   // characters without the terminator

  DXLTexture();
  explicit DXLTexture(DXLTextures* owner);
  explicit DXLTexture(DXLViewer* viewer);
  ~DXLTexture() override;

  void Notify(DXLNotifyObject* sender, u32 code) override;
  void OnDeviceEvent(DXLViewer* viewer, u32 code) override;
  virtual bool Select(bool applyState);
  virtual void ApplyDrawState();

  // --- Building ------------------------------------------------------------
  void Create(i32 width, i32 height, u32 format, bool notify);
  void LoadFromFile(const wchar* path);
  void LoadFromMemory(const void* data, u32 size);
  void LoadFromBitmap(DXLBitmap* bitmap);
  void Load();
  void Unload();
  void Suspend();

  // --- Options (a change suspends and, with auto-reload, rebuilds) ------------
  void SetEdgeFlags(u32 flags);
  void SetImageFilter(u32 filter);
  void SetSourceKind(u32 kind);
  void SetFileName(const wchar* name, bool makeSource);
  void SetSource(DXLTextureSource* source, bool makeSource);
  // Listens to the bitmap (and no longer to the previous one); with
  // makeSource the bitmap becomes the source (kind 2).
  void SetBitmap(DXLBitmap* bitmap, bool makeSource);
  void SetLoadFormat(u32 format) { loadFormat_ = format; }
  void SetKeyMode(u32 mode, u32 color) {
    keyMode_ = mode;
    keyColor_ = color;
  }

  // --- Plain settings ---------------------------------------------------------
  void SetName(const wchar* name);
  const wchar* GetName() const { return name_; }
  void SetAutoReload(bool on) { autoReload_ = on ? 1 : 0; }
  bool GetAutoReload() const { return autoReload_ != 0; }
  void SetFilter(u8 filter) { drawState_.minFilter = drawState_.magFilter = filter; }
  void SetAddressMode(u32 mode) { drawState_.addressU = drawState_.addressV = mode; }
  void SetTextureOp(u32 op) { drawState_.colorOp = drawState_.alphaOp = op; }
  void SetBlendMode(u32 mode) { drawState_.blendMode = mode; }
  void SetDrawState(const DXLDRAWSTATE& state) { drawState_ = state; }
  const DXLDRAWSTATE& GetDrawState() const { return drawState_; }
  void SetDefaultColor(u32 color) { defaultColor_ = color; }
  u32 GetDefaultColor() const { return defaultColor_; }
  void SetUserWord(u32 value) { userWord_ = value; }
  u32 GetUserWord() const { return userWord_; }
  u32 GetSpareWord() const { return spareWord_; }

  // --- Queries ---------------------------------------------------------------
  bool IsReady() const { return created_ != 0; }
  bool IsRestorable() const { return restorable_ != 0; }
  bool IsSelected() const { return selected_ != 0; }
  bool CanCreate() const;
  i32 GetWidth() const { return created_ ? textureWidth_ : 0; }
  i32 GetHeight() const { return created_ ? textureHeight_ : 0; }
  i32 GetImageWidth() const { return created_ ? imageWidth_ : 0; }
  i32 GetImageHeight() const { return created_ ? imageHeight_ : 0; }
  u32 GetFormat() const { return format_; }
  u32 GetSourceKind() const { return sourceKind_; }
  const wchar* GetFileName() const { return fileName_.get(); }
  DXLBitmap* GetBitmap() const { return bitmap_; }
  DXLTextureSource* GetSource() const { return source_; }
  DXLTextures* GetOwner() const { return owner_; }
  plat::gfx::Texture* GetD3DTexture() const { return texture_.get(); }
  float GetLeftU() const { return leftU_; }
  float GetRightU() const { return rightU_; }
  float GetTopV() const { return topV_; }
  float GetBottomV() const { return bottomV_; }

  // --- Attachment -------------------------------------------------------------
  void SetViewer(DXLViewer* viewer);
  void SetOwner(DXLTextures* owner);

  // --- Pixels -------------------------------------------------------------------
  // Level 0's bits, or null; nested calls only count. Pitch in GetLockPitch.
  u8* Lock(u32 flags);
  void Unlock();
  i32 GetLockPitch() const { return lockCount_ ? lockedPitch_ : 0; }
  bool IsLocked() const { return lockCount_ > 0; }

  // --- Drawing ---------------------------------------------------------------
  void Deselect(bool clearViewer);

  // --- Quads: each fills `quad`, or a new one the caller owns when it is null,
  // and returns it. Colour 0 takes the default colour; flips swap the edge
  // coordinates. ---------------------------------------------------------------
  DXLQUAD* MakeQuad(DXLQUAD* quad, float x, float y, u32 color, bool flipX, bool flipY);
  DXLQUAD* MakeQuadSized(DXLQUAD* quad, float x, float y, float w, float h, u32 color, bool flipX, bool flipY);
  DXLQUAD* MakeQuadStretched(DXLQUAD* quad, const DXLRECT& dest, u32 color, bool flipX, bool flipY);
  DXLQUAD* MakeQuadFromRect(DXLQUAD* quad, float x, float y, const DXLRECT& source, u32 color, bool flipX,
                            bool flipY);
  DXLQUAD* MakeQuadFromRectF(DXLQUAD* quad, float x, float y, const DXLRECTF& source, u32 color, bool flipX,
                             bool flipY);
  DXLQUAD* MakeQuadPart(DXLQUAD* quad, float x, float y, float sx, float sy, float sw, float sh, u32 color,
                        bool flipX, bool flipY);
  DXLQUAD* MakeQuadPartScaled(DXLQUAD* quad, float x, float y, float w, float h, float sx, float sy, float sw,
                              float sh, u32 color, bool flipX, bool flipY);
  DXLQUAD* MakeQuadRects(DXLQUAD* quad, const DXLRECT& dest, const DXLRECT& source, u32 color, bool flipX,
                         bool flipY);
  DXLQUAD* MakeQuadRectsF(DXLQUAD* quad, const DXLRECTF& dest, const DXLRECTF& source, u32 color, bool flipX,
                          bool flipY);
  DXLQUAD* MakeQuadUV(DXLQUAD* quad, const DXLRECTF& dest, float leftU, float topV, float rightU, float bottomV,
                      u32 color, bool flipX, bool flipY);

  // Integer-argument and by-value forms of the builders above.
  DXLQUAD* MakeQuadAt(DXLQUAD* quad, i32 x, i32 y, u32 color, bool flipX = false, bool flipY = false);
  DXLQUAD QuadAtI(i32 x, i32 y, u32 color = 0);
  DXLQUAD* MakeQuadPartInt(DXLQUAD* quad, i32 x, i32 y, i32 sx, i32 sy, i32 sw, i32 sh, u32 color,
                           bool flipX = false, bool flipY = false);
  DXLQUAD* MakeQuadPartScaledInt(DXLQUAD* quad, i32 x, i32 y, i32 w, i32 h, i32 sx, i32 sy, i32 sw, i32 sh,
                                 u32 color, bool flipX = false, bool flipY = false);
  DXLQUAD QuadFromRects(const DXLRECT& dest, const DXLRECT& source, u32 color = 0);
  DXLQUAD QuadFromRectsF(const DXLRECTF& dest, const DXLRECTF& source, u32 color = 0);
  // The four vertex colours in quad order (top-left, top-right, bottom-right, bottom-left).
  DXLQUAD QuadFromRectsColors(const DXLRECT& dest, const DXLRECT& source, const u32* colors);

 private:
  friend class DXLTextures;

  void AfterOption();
  void ReadLevelSize();
  void FinishImageLoad(i32 hr, const plat::gfx::ImageInfo& info, bool restorable);
  void SetCoordinates();
  void ApplyKey();
  void FillEdges();
  void Release();  // drops the device texture without telling anyone
  float TexU(float px) const;
  float TexV(float py) const;

  DXLTextures* owner_ = nullptr;
  wchar name_[kNameSize] = {};
  u32 userWord_ = 0;
  std::unique_ptr<plat::gfx::Texture> texture_;
  i32 imageWidth_ = 0;
  i32 imageHeight_ = 0;
  i32 textureWidth_ = 0;
  i32 textureHeight_ = 0;
  u32 format_ = 0;
  u32 imageFilter_ = 1;
  u32 edgeFlags_ = 0;
  u8 created_ = 0;
  u8 restorable_ = 0;
  u8 autoReload_ = 0;
  u8 selected_ = 0;
  u32 sourceKind_ = kTextureSourceNone;
  std::unique_ptr<wchar[]> fileName_;
  DXLBitmap* bitmap_ = nullptr;
  DXLTextureSource* source_ = nullptr;
  i32 lockedPitch_ = 0;
  u8* lockedBits_ = nullptr;
  u32 lockCount_ = 0;
  float leftU_ = 0.0f;
  float rightU_ = 1.0f;
  float topV_ = 0.0f;
  float bottomV_ = 1.0f;
  u32 loadFormat_ = 0xFFFFFFFDu;
  u32 keyMode_ = 0;
  u32 keyColor_ = 0;
  DXLDRAWSTATE drawState_{1, 1, 3, 3, 0, 2, 2};
  u32 defaultColor_ = 0xFFFFFFFFu;
  u32 spareWord_ = 0;
};
