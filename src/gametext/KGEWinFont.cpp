#include "gametext/KGEWinFont.h"
#include "gametext/KGEFontData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGECellLayout.h"
#include "platform/font/Font.h"
#include "platform/font/FontCanvas.h"
#include "platform/gfx/GfxTypes.h"

namespace {

constexpr u32 kCountToTerminator1 = 0x80000000u;
constexpr u32 kCountToTerminator2 = 0xFFFFFFFFu;
constexpr u32 kInkRed = 0xFF0000;  // glyphs are drawn red on black; red is the coverage

i64 PowerOfTwoAtLeast(i64 v) {
  i64 p = 1;
  while (p < v && p < (i64{1} << 40)) p <<= 1;
  return p;
}

i64 Abs64(i64 v) { return v < 0 ? -v : v; }

}  // namespace

bool KGEIsShadowValid(const KGESHADOW* shadow) {
  return shadow && shadow->mode != 0 && shadow->x >= -32 && shadow->x <= 32 && shadow->y >= -32 &&
         shadow->y <= 32 && (shadow->color >> 24) != 0;
}

i32 KGERoundWeight(i32 weight) {
  if (weight > 1000) return 1000;
  if (weight < 1) return 0;
  return (weight + 50) / 100 * 100;
}

KGEWinFont::KGEWinFont(DXLViewer* viewer) : KGEFont(kKGEWinFontSignature1, kKGEWinFontSignature2, viewer) {}

KGEWinFont::~KGEWinFont() {
  Release(true);
  DeleteFont();
  delete image_;
  image_ = nullptr;
}

void KGEWinFont::FreeGlyphs() {
  KGEFont::FreeGlyphs();
  delete image_;
  image_ = nullptr;
}

i32 KGEWinFont::SaveToDataFile(kis::BaseDataFileWriter* writer) { return KGEWriteWinFontData(writer, this); }

i32 KGEWinFont::RestoreAfterDeviceLoss() {
  if (useCount_ == 0) return KGE_S_OK;
  const i32 hr = BuildGlyphs();
  if (hr < 0) {
    FreeGlyphs();
    built_ = 0;
    return hr;
  }
  return KGE_S_OK;
}

// --- Creation -------------------------------------------------------------------------

i32 KGEWinFont::Create(u32 flags, const KGEWINFONTPARAMS& params, i32 space, u32 defaultChar, u32 count,
                       const wchar* chars, const DXLOUTLINE* outline, const KGESHADOW* shadow) {
  flags_ = flags;
  margins_ = DXLRECT{0, 0, 0, 0};
  originX_ = originY_ = 0;
  extraWidth_ = extraHeight_ = 0;
  outline_.reset();
  shadow_.reset();

  if (flags & kKGEWinFontOutline) {
    if (!outline) return KGE_E_NOOUTLINE;
    if (DXLIsOutlineValid(outline)) {
      outline_.reset(new (std::nothrow) DXLOUTLINE(*outline));
      if (!outline_) {
        KGEOutOfMemory();
        return KGE_E_OUTOFMEMORY;
      }
      const i32 m = static_cast<i32>(std::ceil(outline->radius));
      const i32 r = static_cast<i32>(std::floor(outline->radius + 0.5f));
      margins_ = DXLRECT{m, m, m, m};
      originX_ = originY_ = r - m;
      extraWidth_ = extraHeight_ = 2 * r;
    }
  }
  if (flags & kKGEWinFontShadow) {
    if (!shadow) return KGE_E_NOSHADOW;
    if (KGEIsShadowValid(shadow)) {
      shadow_.reset(new (std::nothrow) KGESHADOW(*shadow));
      if (!shadow_) {
        KGEOutOfMemory();
        return KGE_E_OUTOFMEMORY;
      }
      if (shadow->x < 0) {
        margins_.left -= shadow->x;
        originX_ += shadow->x;
      } else {
        margins_.right += shadow->x;
      }
      if (shadow->y < 0) {
        margins_.top -= shadow->y;
        originY_ += shadow->y;
      } else {
        margins_.bottom += shadow->y;
      }
    }
  }

  i32 hr = InitCharset(params.charset, count);
  if (hr < 0) return hr;
  const u32 slots = glyphCount_;
  hr = SetGlyphChars(chars);
  if (hr < 0) return hr;

  params_ = params;
  params_.size = params.size < 0 ? 0 : params.size;
  params_.weight = KGERoundWeight(params.weight);
  params_.style = static_cast<u8>(params.style & 0xF);
  params_.reserved = 0;
  params_.color = params.color & 0xFFFFFF;
  params_.face[31] = 0;

  hr = MakeFont();
  if (hr < 0) return hr;
  plat::FontMetrics tm;
  font_->GetMetrics(tm);
  hr = AllocImages(slots, tm.height + margins_.top + margins_.bottom);
  if (hr < 0) {
    DeleteFont();
    return hr;
  }

  spaceParam_ = space;
  if (space == kMeasureSpace) {
    int w = 0;
    space = font_->GetCharWidth(u' ', w) ? w : 0;
  }
  SetMetrics(tm.height + extraHeight_, tm.ascent + extraHeight_, space, defaultChar);

  hr = MeasureGlyphs();
  if (hr < 0) {
    DeleteFont();
    return hr;
  }
  ChooseTextureSize();
  DeleteFont();
  return KGE_S_OK;
}

i32 KGEWinFont::MakeFont() {
  font_.reset(new (std::nothrow) plat::Font);
  if (!font_) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  plat::FontRequest request;
  for (u32 i = 0; i < 32 && params_.face[i] != 0; ++i) request.face.push_back(params_.face[i]);
  request.height = plat::FontHeightFromPoints(params_.size);
  request.weight = (params_.style & kKGEStyleBold) ? 700 : params_.weight;
  request.italic = (params_.style & kKGEStyleItalic) != 0;
  request.strikeOut = (params_.style & kKGEStyleStrikeOut) != 0;
  request.underline = (params_.style & kKGEStyleUnderline) != 0;
  request.quality = params_.quality;
  if (!font_->Create(request)) {
    font_.reset();
    return KGE_E_FONTCONTEXT;
  }
  return KGE_S_OK;
}

void KGEWinFont::DeleteFont() { font_.reset(); }

i32 KGEWinFont::MeasureGlyphs() {
  for (u32 i = 0; i < glyphCount_; ++i) {
    KGEGLYPH& g = glyphs_[i];
    int w = 0;
    if (!font_->GetCharWidth(g.code, w)) {
      plat::AbcWidth abc;
      w = font_->GetAbcWidths(g.code, abc) ? abc.a + abc.b + abc.c : 0;
    }
    g.advance = w + extraWidth_;
    g.image = i;
    KGEGLYPHIMAGE& cell = images_[i];
    plat::GlyphBox box;
    if (!font_->GetGlyphBox(g.code, box)) {
      cell.width = w + 1;
      g.xOffset = originX_;
      g.yOffset = originY_;
    } else {
      cell.width = std::max(box.blackBoxX + 2 + margins_.left + margins_.right, w);
      g.xOffset = originX_ - 1 + box.originX;
      g.yOffset = originY_;
    }
  }
  BuildIndex();
  if (flags_ & kKGEWinFontKerning) {
    std::vector<plat::KernPair> pairs;
    if (font_->GetKerningPairs(pairs) && !pairs.empty()) {
      std::unique_ptr<KGEKERNENTRY[]> entries = KGEAllocArray<KGEKERNENTRY>(pairs.size());
      if (!entries) return KGE_E_OUTOFMEMORY;
      for (size_t i = 0; i < pairs.size(); ++i) {
        entries[i] = KGEKERNENTRY{pairs[i].first, pairs[i].second, pairs[i].amount};
      }
      const i32 hr = SetKerningPairs(entries.get(), static_cast<u32>(pairs.size()), true);
      // Too many pairs: the font goes without kerning.
      if (hr < 0 && hr != KGE_E_TOOMANYKERNPAIRS) return hr;
    }
  }
  return KGE_S_OK;
}

void KGEWinFont::ChooseTextureSize() {
  i64 bestArea = 0x7FFFFFFF, bestW = 0, bestH = 0;
  bool lastWasBest = false;
  for (i64 w = kMinTextureSide; w <= kMaxTextureSide && w * 32 <= bestArea; w *= 2) {
    lastWasBest = false;
    i64 needed = 0;
    const DXLRECT area{0, 0, static_cast<i32>(w), kMaxTextureSide};
    if (!KGELayoutCells(images_.get(), imageCount_, cellHeight_, area, 1, 1, w != kMaxTextureSide, &needed)) continue;
    const i64 h = PowerOfTwoAtLeast(needed);
    const i64 a = w * h;
    if (a < bestArea || (a == bestArea && Abs64(w - h) < Abs64(bestW - bestH))) {
      bestArea = a;
      bestW = w;
      bestH = h;
      lastWasBest = true;
    }
  }
  if (!lastWasBest && bestW != 0) {
    const DXLRECT area{0, 0, static_cast<i32>(bestW), kMaxTextureSide};
    KGELayoutCells(images_.get(), imageCount_, cellHeight_, area, 1, 1, false, nullptr);
  }
  textureWidth_ = static_cast<u32>(bestW);
  textureHeight_ = static_cast<u32>(std::min<i64>(bestH, 0x80000000LL));
}

// --- The glyph texture ------------------------------------------------------------------

i32 KGEWinFont::BuildGlyphs() {
  if (!image_) {
    image_ = new (std::nothrow) DXLTexture(viewer_);
    if (!image_) {
      KGEOutOfMemory();
      return KGE_E_OUTOFMEMORY;
    }
    image_->SetImageFilter(1);
    DXLDRAWSTATE state;
    DXLMakeSimpleDrawState(&state, 1, 3, 1, 4);
    image_->SetDrawState(state);
  }
  if (!image_->IsReady()) {
    const i32 hr = DrawTexture();
    DeleteFont();
    if (hr < 0) return hr;
  }
  return KGEFont::BuildGlyphs();
}

i32 KGEWinFont::DrawTexture() {
  i32 hr = MakeFont();
  if (hr < 0) return hr;
  plat::FontCanvas canvas;
  if (textureWidth_ == 0 || textureHeight_ == 0 || textureWidth_ > static_cast<u32>(plat::FontCanvas::kMaxSide) ||
      textureHeight_ > static_cast<u32>(plat::FontCanvas::kMaxSide) ||
      !canvas.Create(static_cast<int>(textureWidth_), static_cast<int>(textureHeight_))) {
    return KGE_E_GLYPHTEXTURE;
  }
  for (u32 i = 0; i < glyphCount_; ++i) {
    const KGEGLYPH& g = glyphs_[i];
    if (g.image >= imageCount_) continue;
    const KGEGLYPHIMAGE& cell = images_[g.image];
    const i64 right = static_cast<i64>(cell.x) + cell.width, bottom = static_cast<i64>(cell.y) + cellHeight_;
    const plat::FontRect clip{cell.x, cell.y, static_cast<int>(std::min<i64>(right, textureWidth_)),
                              static_cast<int>(std::min<i64>(bottom, textureHeight_))};
    if (clip.right <= clip.left || clip.bottom <= clip.top) continue;
    font_->DrawChar(canvas, cell.x - g.xOffset + margins_.left + originX_, cell.y + margins_.top, &clip, g.code,
                    kInkRed);
  }

  image_->Create(static_cast<i32>(textureWidth_), static_cast<i32>(textureHeight_), plat::gfx::D3DFMT_A8R8G8B8,
                 true);
  if (!image_->IsReady() || image_->GetFormat() != plat::gfx::D3DFMT_A8R8G8B8) return KGE_E_GLYPHTEXTURE;
  u8* bits = image_->Lock(0);
  if (!bits) return KGE_E_GLYPHTEXTURE;
  const i32 pitch = image_->GetLockPitch();
  const i32 w = std::min(image_->GetWidth(), canvas.Width());
  const i32 h = std::min(image_->GetHeight(), canvas.Height());
  const u32 rgb = params_.color & 0xFFFFFF;
  const u32 backRgb = outline_ ? (outline_->colour & 0xFFFFFF) : rgb;
  for (i32 y = 0; y < h; ++y) {
    const u32* src = canvas.Row(y);
    u8* row = bits + static_cast<size_t>(y) * static_cast<size_t>(pitch);
    for (i32 x = 0; x < w; ++x) {
      const u32 c = (src[x] >> 16) & 0xFF;
      const u32 texel = c == 0 ? backRgb : (c << 24 | rgb);
      std::memcpy(row + static_cast<size_t>(x) * 4, &texel, 4);
    }
  }
  if (outline_) DXLDrawGlyphOutline(image_->GetWidth(), image_->GetHeight(), pitch / 4, bits, *outline_);
  if (shadow_) {
    DXLDrawGlyph(image_->GetWidth(), image_->GetHeight(), pitch / 4, bits, true, shadow_->x, shadow_->y,
                 shadow_->color);
  }
  image_->Unlock();
  return KGE_S_OK;
}

// --- Factory ------------------------------------------------------------------------------

i32 KGECreateWinFont(DXLViewer* viewer, u32 flags, i32 size, i32 weight, u32 charset, u8 style, u8 pitchAndFamily,
                     u8 quality, u32 color, const wchar* faceName, i32 space, const wchar* chars, u32 count,
                     u32 defaultChar, const DXLOUTLINE* outline, const KGESHADOW* shadow, i32 tracking, i32 leading,
                     u32 glyphColor, KGEWinFont** out) {
  if (!out) return KGE_E_FAIL;
  *out = nullptr;
  KGEWINFONTPARAMS params{};
  params.size = size;
  params.weight = weight;
  params.charset = charset;
  params.style = style;
  params.pitchAndFamily = pitchAndFamily;
  params.quality = quality;
  params.color = color;
  for (u32 i = 0; faceName && i < 31 && faceName[i] != 0; ++i) params.face[i] = faceName[i];

  if (count == kCountToTerminator1 || count == kCountToTerminator2) {
    count = 0;
    while (chars && count < KGEFont::kMaxGlyphs && chars[count] != 0) ++count;
  }
  KGEWinFont* font = new (std::nothrow) KGEWinFont(viewer);
  if (!font) {
    KGEOutOfMemory();
    return KGE_E_OUTOFMEMORY;
  }
  const i32 hr = font->Create(flags, params, space, defaultChar, count, chars, outline, shadow);
  if (hr < 0) {
    delete font;
    return hr;
  }
  font->SetStyle(tracking, leading, glyphColor);
  *out = font;
  return KGE_S_OK;
}
