#include "gametext/KGEBaseTextSprite.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "engine/image/PixelFormat.h"
#include "gametext/KGEFont.h"
#include "gametext/KGELayout.h"
#include "gametext/TextServices.h"

namespace {

constexpr u32 kClearTexel = 0x00FFFFFFu;  // transparent white

i32 Clamp32(i64 v) { return static_cast<i32>(std::clamp<i64>(v, INT32_MIN, INT32_MAX)); }

// Source texels are scaled channel by channel by `color` and laid over the
// target (straight alpha).
void BlendOver(u32* target, u32 texel, u32 color) {
  auto scaled = [&](int shift) { return (((texel >> shift) & 0xFF) * ((color >> shift) & 0xFF) + 127) / 255; };
  const u32 sa = scaled(24);
  if (sa == 0) return;
  const u32 d = *target, da = d >> 24;
  const u32 outA = sa + (da * (255 - sa) + 127) / 255;
  u32 out = outA << 24;
  for (int shift = 0; shift <= 16; shift += 8) {
    const u32 s = scaled(shift), t = (d >> shift) & 0xFF;
    const u32 num = s * sa * 255 + t * da * (255 - sa);
    out |= ((num + outA * 255 / 2) / (outA * 255)) << shift;
  }
  *target = out;
}

// Read access to a locked texture, any pixel format the engine can convert.
class LockedTexture {
 public:
  explicit LockedTexture(DXLTexture* texture) : texture_(texture) {
    if (!texture_ || !texture_->IsReady()) return;
    bytes_ = DXLGetFormatBytes(texture_->GetFormat());
    if (bytes_ == 0) return;
    bits_ = texture_->Lock(0);
    pitch_ = texture_->GetLockPitch();
    width_ = texture_->GetImageWidth();
    height_ = texture_->GetImageHeight();
  }
  ~LockedTexture() {
    if (bits_) texture_->Unlock();
  }
  LockedTexture(const LockedTexture&) = delete;
  LockedTexture& operator=(const LockedTexture&) = delete;

  bool Ok() const { return bits_ != nullptr; }
  i32 Width() const { return width_; }
  i32 Height() const { return height_; }
  u32 At(i32 x, i32 y) const {
    u32 argb = 0;
    DXLPixelToARGB(bits_ + static_cast<size_t>(y) * pitch_ + static_cast<size_t>(x) * bytes_, texture_->GetFormat(),
                   &argb);
    return argb;
  }

 private:
  DXLTexture* texture_;
  u8* bits_ = nullptr;
  i32 pitch_ = 0;
  u32 bytes_ = 0;
  i32 width_ = 0;
  i32 height_ = 0;
};

// The locks taken during one render, one per texture.
class Locks {
 public:
  LockedTexture* Get(DXLTexture* texture) {
    for (auto& l : locks_)
      if (l.first == texture) return l.second.get();
    locks_.emplace_back(texture, std::make_unique<LockedTexture>(texture));
    return locks_.back().second.get();
  }

 private:
  std::vector<std::pair<DXLTexture*, std::unique_ptr<LockedTexture>>> locks_;
};

struct Canvas {
  u32* bits;
  i32 pitch;  // pixels
  i32 width;
  i32 height;
};

// Blends the source rectangle (sx, sy, sw, sh) of `src`, scaled to w x h by
// nearest texel, with its top-left at (x, y) of the canvas.
void BlendImage(const Canvas& canvas, const LockedTexture& src, i32 sx, i32 sy, i32 sw, i32 sh, i64 x, i64 y, i32 w,
                i32 h, u32 color) {
  if (sw <= 0 || sh <= 0 || w <= 0 || h <= 0) return;
  for (i32 j = 0; j < h; ++j) {
    const i64 ty = y + j;
    if (ty < 0 || ty >= canvas.height) continue;
    const i64 py = sy + static_cast<i64>(j) * sh / h;
    if (py < 0 || py >= src.Height()) continue;
    for (i32 i = 0; i < w; ++i) {
      const i64 tx = x + i;
      if (tx < 0 || tx >= canvas.width) continue;
      const i64 px = sx + static_cast<i64>(i) * sw / w;
      if (px < 0 || px >= src.Width()) continue;
      BlendOver(canvas.bits + ty * canvas.pitch + tx, src.At(static_cast<i32>(px), static_cast<i32>(py)), color);
    }
  }
}

void Unite(DXLRECT* a, i64 left, i64 top, i64 right, i64 bottom, bool* any) {
  if (right <= left || bottom <= top) return;
  if (!*any) {
    *a = DXLRECT{Clamp32(left), Clamp32(top), Clamp32(right), Clamp32(bottom)};
    *any = true;
    return;
  }
  a->left = std::min(a->left, Clamp32(left));
  a->top = std::min(a->top, Clamp32(top));
  a->right = std::max(a->right, Clamp32(right));
  a->bottom = std::max(a->bottom, Clamp32(bottom));
}

}  // namespace

KGEBaseTextSprite::KGEBaseTextSprite(DXLViewer* viewer, u32 charWidth) : KGECustomText(viewer, charWidth) {}

KGEBaseTextSprite::~KGEBaseTextSprite() = default;

void KGEBaseTextSprite::SetSpriteParams(const KGESPRITEPARAMS* params) {
  sprite_ = params ? *params : KGESPRITEPARAMS{};
  if (!(sprite_.flags & kKGESpriteOutline) || !DXLIsOutlineValid(&sprite_.outline)) {
    sprite_.flags &= ~kKGESpriteOutline;
    sprite_.outline.mode = 0;
  }
  if (!(sprite_.flags & kKGESpriteShadow) || !KGEIsShadowValid(&sprite_.shadow)) {
    sprite_.flags &= ~kKGESpriteShadow;
    sprite_.shadow.mode = 0;
  }
}

i32 KGEBaseTextSprite::SetText(const wchar* text, u32 length) {
  restorePending_ = false;
  i32 hr = KGECustomText::SetText(text, length);
  if (hr >= 0) {
    const wchar* laid = LayoutText(text);
    const u32 n = LayoutLength(length);
    kept_.assign(laid ? laid : u"", laid ? n : 0);
    hr = LayOutAndRender(kept_.c_str(), static_cast<u32>(kept_.size()), GetTextServices().layout);
  }
  if (hr < 0) {
    kept_.clear();
    Clear();
    empty_ = true;
    return hr;
  }
  return KGE_S_OK;
}

i32 KGEBaseTextSprite::LayOutAndRender(const wchar* text, u32 length, KGELayout& layout) {
  i32 hr = layout.Layout<wchar>(font_, &params_, text, length);
  if (hr >= 0) hr = Render(layout);
  if (hr < 0) return hr;
  laidOut_ = 1;
  width_ = layout.Width();
  height_ = layout.Height();
  return KGE_S_OK;
}

void KGEBaseTextSprite::LoadTexture(DXLTexture* texture) {
  if (texture != texture_.get() || !laidOut_) return;
  restorePending_ = true;
  Restore();
}

void KGEBaseTextSprite::Restore() {
  const bool lost = texture_ && !texture_->IsReady() && !empty_;
  if (!laidOut_ || !(restorePending_ || lost) || !viewer_ || !viewer_->HasDevice()) return;
  restorePending_ = true;
  const u32 color = color_;
  if (LayOutAndRender(kept_.c_str(), static_cast<u32>(kept_.size()), GetTextServices().layout) < 0) return;
  SetColor(color);
  if (!missedGlyphs_) restorePending_ = false;
}

DXLRECT KGEBaseTextSprite::InkBounds(const KGELayout& layout) const {
  DXLRECT r{0, 0, 0, 0};
  bool any = false;
  for (u32 l = 0; l < layout.LineCount(); ++l) {
    const KGELINE& line = layout.Lines()[l];
    Unite(&r, line.x, line.y, static_cast<i64>(line.x) + line.width, static_cast<i64>(line.y) + line.height, &any);
    for (u32 i = line.firstRun; i < line.firstRun + line.runCount; ++i) {
      const KGERUN& run = layout.Runs()[i];
      if (run.kind == kKGERunImage) {
        const KGELAYOUTIMAGE& image = layout.Images()[run.image];
        const i64 x = layout.ImageLeft(run), y = layout.ImageTop(line, run);
        Unite(&r, x, y, x + image.width, y + image.height, &any);
        continue;
      }
      if (run.kind != kKGERunGlyphs || !run.font) continue;
      for (u32 k = run.first; k < run.first + run.count; ++k) {
        const KGELAYOUTGLYPH& g = layout.Glyphs()[k];
        if (g.glyph->image >= run.font->GetImageCount()) continue;
        const i64 x = static_cast<i64>(run.x) + g.x, y = KGELayout::GlyphTop(line, run, g);
        Unite(&r, x, y, x + run.font->GetImages()[g.glyph->image].width, y + run.font->GetCellHeight(), &any);
      }
    }
  }
  return r;
}

void KGEBaseTextSprite::ChooseRect(DXLRECT* rect, i32* width, i32* height) const {
  DXLRECT r = *rect;
  if (sprite_.flags & kKGESpriteOutline) InflateRectBy(&r, static_cast<i32>(std::ceil(sprite_.outline.radius)));
  if (sprite_.flags & kKGESpriteShadow) {
    (sprite_.shadow.x < 0 ? r.left : r.right) += sprite_.shadow.x;
    (sprite_.shadow.y < 0 ? r.top : r.bottom) += sprite_.shadow.y;
  }
  i64 maxW = kDefaultMaxSide, maxH = kDefaultMaxSide;
  if (sprite_.flags & kKGESpriteMaxSize) {
    const bool rectSize = (sprite_.flags & (kKGESpriteMaxSize | kKGESpriteRectSize)) ==
                          (kKGESpriteMaxSize | kKGESpriteRectSize);
    if (rectSize) {
      maxW = static_cast<i64>(params_.right) - params_.left;
      maxH = static_cast<i64>(params_.bottom) - params_.top;
    } else {
      maxW = sprite_.maxWidth;
      maxH = sprite_.maxHeight;
    }
    if (maxW <= 0) maxW = kDefaultMaxSide;
    if (maxH <= 0) maxH = kDefaultMaxSide;
  }
  if (viewer_ && viewer_->GetDeviceCaps()) {
    const auto& caps = viewer_->GetDeviceCaps()->caps;
    if (caps.maxTextureWidth != 0) maxW = std::min<i64>(maxW, caps.maxTextureWidth);
    if (caps.maxTextureHeight != 0) maxH = std::min<i64>(maxH, caps.maxTextureHeight);
  }
  i64 w = static_cast<i64>(r.right) - r.left, h = static_cast<i64>(r.bottom) - r.top;
  // Too wide or tall: the part that the alignment puts in view stays.
  if (w > maxW) {
    const i64 excess = w - maxW;
    const u32 mode = params_.flags & kKGEAlignMask;
    if (mode == kKGEAlignCenter) r.left = Clamp32(r.left + excess / 2);
    if (mode == kKGEAlignRight) r.left = Clamp32(r.left + excess);
    w = maxW;
  }
  if (h > maxH) {
    const i64 excess = h - maxH;
    const u32 mode = params_.flags & kKGEVAlignMask;
    if (mode == kKGEVAlignCenter) r.top = Clamp32(r.top + excess / 2);
    if (mode == kKGEVAlignBottom) r.top = Clamp32(r.top + excess);
    h = maxH;
  }
  if ((sprite_.flags & kKGESpriteKeepLarger) == kKGESpriteKeepLarger) {
    w = std::max<i64>(w, std::min<i64>(sprite_.maxWidth, maxW));
    h = std::max<i64>(h, std::min<i64>(sprite_.maxHeight, maxH));
  }
  r.right = Clamp32(r.left + w);
  r.bottom = Clamp32(r.top + h);
  *rect = r;
  *width = static_cast<i32>(w);
  *height = static_cast<i32>(h);
}

i32 KGEBaseTextSprite::Render(const KGELayout& layout) {
  empty_ = true;
  missedGlyphs_ = false;
  DXLRECT rect = InkBounds(layout);
  if (rect.right <= rect.left || rect.bottom <= rect.top) return KGE_S_OK;
  i32 w = 0, h = 0;
  ChooseRect(&rect, &w, &h);
  if (w <= 0 || h <= 0) return KGE_S_OK;

  if (!texture_) {
    texture_.reset(new (std::nothrow) DXLTexture(viewer_));
    if (!texture_) {
      KGEOutOfMemory();
      return KGE_E_OUTOFMEMORY;
    }
    texture_->SetImageFilter(1);
    texture_->SetAutoReload(true);
    texture_->SetSource(this, true);
  }
  const bool keepLarger = (sprite_.flags & kKGESpriteKeepLarger) == kKGESpriteKeepLarger;
  const bool fits = texture_->IsReady() && w <= texture_->GetImageWidth() && h <= texture_->GetImageHeight();
  const bool same = texture_->IsReady() && w == texture_->GetImageWidth() && h == texture_->GetImageHeight();
  if (!(keepLarger ? fits : same)) texture_->Create(w, h, plat::gfx::D3DFMT_A8R8G8B8, true);
  if (!texture_->IsReady() || texture_->GetFormat() != plat::gfx::D3DFMT_A8R8G8B8) return KGE_E_SPRITETEXTURE;
  // In keep-larger mode the texture may be larger than the text needs.
  w = texture_->GetImageWidth();
  h = texture_->GetImageHeight();
  rect.right = Clamp32(static_cast<i64>(rect.left) + w);
  rect.bottom = Clamp32(static_cast<i64>(rect.top) + h);

  u8* bits = texture_->Lock(0);
  if (!bits) return KGE_E_SPRITETEXTURE;
  const i32 pitch = texture_->GetLockPitch() / 4;
  // Old pixels of a reused texture and the undefined pixels of a new one both go.
  for (i32 y = 0; y < texture_->GetHeight(); ++y) {
    u32* row = reinterpret_cast<u32*>(bits) + static_cast<size_t>(y) * pitch;
    std::fill(row, row + texture_->GetWidth(), kClearTexel);
  }
  const Canvas canvas{reinterpret_cast<u32*>(bits), pitch, w, h};
  {
    Locks locks;
    for (u32 l = 0; l < layout.LineCount(); ++l) {
      const KGELINE& line = layout.Lines()[l];
      for (u32 i = line.firstRun; i < line.firstRun + line.runCount; ++i) {
        const KGERUN& run = layout.Runs()[i];
        if (run.kind == kKGERunImage) {
          const KGELAYOUTIMAGE& image = layout.Images()[run.image];
          const LockedTexture* src = locks.Get(image.texture);
          if (!src->Ok()) continue;
          const DXLRECT& s = image.source;
          BlendImage(canvas, *src, s.left, s.top, s.right - s.left, s.bottom - s.top,
                     static_cast<i64>(layout.ImageLeft(run)) - rect.left,
                     static_cast<i64>(layout.ImageTop(line, run)) - rect.top, image.width, image.height, image.color);
          continue;
        }
        if (run.kind != kKGERunGlyphs || !run.font) continue;
        const LockedTexture* src = run.font->IsBuilt() ? locks.Get(run.font->GetTexture()) : nullptr;
        if (!src || !src->Ok()) {
          missedGlyphs_ = true;
          continue;
        }
        for (u32 k = run.first; k < run.first + run.count; ++k) {
          const KGELAYOUTGLYPH& g = layout.Glyphs()[k];
          if (!(g.glyph->hasImage & 0xFF) || g.glyph->image >= run.font->GetImageCount()) continue;
          const KGEGLYPHIMAGE& cell = run.font->GetImages()[g.glyph->image];
          const i64 x = static_cast<i64>(run.x) + g.x - rect.left;
          const i64 y = static_cast<i64>(KGELayout::GlyphTop(line, run, g)) - rect.top;
          const i32 ch = run.font->GetCellHeight();
          BlendImage(canvas, *src, cell.x, cell.y, cell.width, ch, x, y, cell.width, ch, g.color);
        }
      }
    }
  }
  if (sprite_.flags & kKGESpriteOutline) DXLDrawGlyphOutline(w, h, pitch, bits, sprite_.outline);
  if (sprite_.flags & kKGESpriteShadow) {
    DXLDrawGlyph(w, h, pitch, bits, true, sprite_.shadow.x, sprite_.shadow.y, sprite_.shadow.color);
  }
  texture_->Unlock();

  rect_ = rect;
  color_ = (params_.flags & kKGEAlpha) ? (0xFFFFFFu | (params_.alpha & 0xFF000000u)) : 0xFFFFFFFFu;
  texture_->MakeQuadFromRect(&quad_, static_cast<float>(rect.left), static_cast<float>(rect.top),
                             DXLRECT{0, 0, w, h}, color_, false, false);
  for (DXLVERTEX& v : quad_.v) v.color = color_;
  empty_ = false;
  return KGE_S_OK;
}

void KGEBaseTextSprite::Draw() {
  Restore();
  if (!laidOut_ || empty_ || !texture_ || !texture_->IsReady() || !viewer_ || !viewer_->HasDevice()) return;
  viewer_->ApplyDrawState(drawState_);
  DXLMATRIX m;
  viewer_->GetTransform(&m);
  viewer_->ApplyTransform(&m);
  if (!texture_->Select(false)) return;
  viewer_->DrawQuad(&quad_);
  texture_->Deselect(true);
}

void KGEBaseTextSprite::SetColor(u32 argb) {
  if (argb == color_) return;
  color_ = argb;
  for (DXLVERTEX& v : quad_.v) v.color = argb;
}

void KGEBaseTextSprite::SetAlpha(u32 argb) {
  if ((argb >> 24) == (color_ >> 24)) return;
  color_ = (color_ & 0xFFFFFFu) | (argb & 0xFF000000u);
  for (DXLVERTEX& v : quad_.v) v.color = color_;
}

i32 KGECreateTextSpriteW(DXLViewer* viewer, KGEFont* font, const KGETEXTPARAMS* params,
                         const KGESPRITEPARAMS* spriteParams, const wchar* text, u32 length,
                         KGETEXTCALLBACK callback, KGETextSpriteW** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  KGETextSpriteW* t = new (std::nothrow) KGETextSpriteW(viewer);
  if (!t) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  t->SetFont(font, params);
  t->SetSpriteParams(spriteParams);
  *out = t;
  return t->SetText(text, length, callback);
}
