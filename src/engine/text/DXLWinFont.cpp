#include "engine/text/DXLWinFont.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "base/Maths.h"
#include "engine/DXLLog.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureRows.h"
#include "engine/DXLViewer.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/GlyphEffects.h"
#include "engine/image/PixelProcess.h"
#include "platform/encoding/CharsetInfo.h"
#include "platform/encoding/CodePage.h"
#include "platform/font/Font.h"
#include "platform/font/FontCanvas.h"

namespace {

constexpr i32 kSizes[] = {32, 64, 128, 256, 512, 1024};
constexpr i32 kMaxByte = 255;
constexpr i32 kMaxExtra = 127;

const char* ClassName(const wchar*) { return "DXLWinFontW"; }
const char* ClassName(const char*) { return "DXLWinFontA"; }

i32 FontRoundHalfUp(double v) { return kis::TruncToInt(std::floor(v + 0.5)); }

// The character a code stands for: wide codes as they are, 8-bit codes
// through the character set's code page.
char16_t ToWideChar(wchar c, u32) { return c; }
char16_t ToWideChar(char c, u32 codePage) {
  std::u16string out;
  const char byte[1] = {c};
  if (!plat::MultiByteToWide(codePage, std::string_view(byte, 1), out) || out.size() != 1) return u'\xFFFD';
  return out[0];
}

}  // namespace

template <class Ch>
struct DXLWinFontT<Ch>::Raster {
  plat::Font font;
  u32 codePage = 0;
  char16_t Char(Ch c) const { return ToWideChar(c, codePage); }
};

template <class Ch>
DXLWinFontT<Ch>::DXLWinFontT(DXLViewer* viewer, DXLTextures* textures) {
  this->texture_ = textures ? new DXLTexture(textures) : new DXLTexture(viewer);
  this->texture_->AddListener(this);
  this->texture_->SetTextureOp(4);
  this->texture_->SetBlendMode(1);
  this->texture_->SetSource(this, true);
  this->texture_->SetAutoReload(true);
}

template <class Ch>
DXLWinFontT<Ch>::~DXLWinFontT() {
  DXLTexture* texture = this->texture_;
  this->texture_ = nullptr;
  props_.reset();
  if (texture) {
    texture->RemoveListener(this);
    delete texture;
  }
}

template <class Ch>
void DXLWinFontT<Ch>::Notify(DXLNotifyObject* sender, u32 code) {
  if (code == kNotifyDestroyed && this->texture_ && sender == static_cast<DXLNotifyObject*>(this->texture_))
    this->texture_ = nullptr;
}

template <class Ch>
void DXLWinFontT<Ch>::Update(DXLUpdateableObject* source) {
  if (!props_) return;
  if (this->texture_) this->texture_->Load();
  DXLFontT<Ch>::Update(source);
}

template <class Ch>
void DXLWinFontT<Ch>::AssignWin(const DXLWinFontT& other) {
  this->BeginUpdate();
  this->Assign(other);
  if (!other.props_) {
    SetDescription(nullptr);
  } else if (!props_) {
    SetDescription(other.props_.get());
  } else if (props_.get() != other.props_.get()) {
    props_->Assign(*other.props_);
  }
  SetExtraWidthFactor(other.widthFactor_);
  SetMargins(other.margins_[0], other.margins_[1], other.margins_[2], other.margins_[3]);
  SetGlowLayer(other.glow_);
  SetShadowLayer(other.shadow_);
  SetAlphaFactor(other.alphaFactor_);
  this->EndUpdate();
}

// --- Settings ---------------------------------------------------------------------

template <class Ch>
void DXLWinFontT<Ch>::SetDescription(const DXLFontPropsT<Ch>* props) {
  if (!props) {
    if (!props_) return;
    props_.reset();
    this->Changed(this);
    return;
  }
  if (!props_) {
    props_ = std::make_unique<DXLFontPropsT<Ch>>();
    props_->SetOwner(this);
  }
  if (props != props_.get()) {
    // The description's own bracket ends in a Changed that reaches the font.
    this->BeginUpdate();
    props_->Assign(*props);
    this->EndUpdate();
  } else {
    this->Changed(this);
  }
}

template <class Ch>
void DXLWinFontT<Ch>::SetExtraWidthFactor(float factor) {
  if (factor == widthFactor_) return;
  widthFactor_ = factor;
  this->Changed(this);
}

template <class Ch>
void DXLWinFontT<Ch>::SetMargins(i32 left, i32 top, i32 right, i32 bottom) {
  const i32 in[4] = {left, top, right, bottom};
  u8 m[4];
  for (int i = 0; i < 4; ++i) m[i] = static_cast<u8>(in[i] < 0 ? 0 : (in[i] > kMaxByte ? kMaxByte : in[i]));
  if (std::memcmp(m, margins_, sizeof(m)) == 0) return;
  std::memcpy(margins_, m, sizeof(m));
  this->Changed(this);
}

template <class Ch>
void DXLWinFontT<Ch>::SetGlowLayer(const DXLGLOWLAYER& glow) {
  glow_ = glow;
  this->Changed(this);
}

template <class Ch>
void DXLWinFontT<Ch>::SetShadowLayer(const DXLSHADOWLAYER& shadow) {
  shadow_ = shadow;
  this->Changed(this);
}

template <class Ch>
void DXLWinFontT<Ch>::SetAlphaFactor(float factor) {
  if (factor == alphaFactor_) return;
  alphaFactor_ = factor;
  this->Changed(this);
}

// --- Measuring ---------------------------------------------------------------------

template <class Ch>
void DXLWinFontT<Ch>::RebuildIndexTable() {
  std::fill(this->byIndex_.begin(), this->byIndex_.end(), nullptr);
  for (u32 c = 1; c < DXLFontT<Ch>::kCodes; ++c)
    if (this->byCode_[c]) this->byIndex_[this->byCode_[c]->index] = this->byCode_[c].get();
}

template <class Ch>
void DXLWinFontT<Ch>::LogFailure(const char* what) const {
  const std::string line = std::string(ClassName(static_cast<const Ch*>(nullptr))) + ": " + what;
  DXLLogLine(-1, line.c_str());
}

template <class Ch>
bool DXLWinFontT<Ch>::Measure(Raster& raster, const Ch* codes, u32 count) {
  const u8 lm = margins_[0], tm = margins_[1], rm = margins_[2], bm = margins_[3];
  this->leftGap_ = 2;
  this->rightGap_ = 2;
  this->vSkip_ = 0;

  std::u16string all;
  for (u32 i = 0; i < count; ++i) all.push_back(raster.Char(codes[i]));
  int extentW = 0;
  int extentH = 0;
  raster.font.GetTextExtent(all, extentW, extentH);
  const i32 height = extentH + tm + bm;
  if (extentH <= 0) {
    this->height_ = 0;
    return true;
  }
  if (height > kMaxByte) return false;
  this->height_ = static_cast<u8>(height);

  int space = 0;
  raster.font.GetCharWidth(raster.Char(Ch(' ')), space);
  this->space_ = static_cast<u16>(std::clamp(space + lm + rm, 0, 0xFFFF));
  plat::FontMetrics tmx;
  raster.font.GetMetrics(tmx);
  this->ascent_ = static_cast<i16>(tmx.ascent);
  this->descent_ = static_cast<i16>(tmx.descent);

  const bool italic = props_ && (props_->GetStyle() & kFontItalic) != 0;
  for (u32 i = 0; i < count; ++i) {
    DXLFONTGLYPH* g = this->GetGlyph(codes[i]);
    if (!g) continue;
    int w = 0;
    raster.font.GetCharWidth(raster.Char(codes[i]), w);
    if (w < 0 || w > kMaxByte) return false;
    i32 left = 0;
    i32 right = 0;
    if (widthFactor_ > 0.0f) left = right = FontRoundHalfUp(static_cast<double>(w) * widthFactor_ / 2.0);
    if (italic) right += w;
    const i64 width = i64{w} + this->leftGap_ + this->rightGap_ + left + right + lm + rm;
    if (left > kMaxExtra || right > kMaxExtra || width > kMaxByte) return false;
    g->width = static_cast<u8>(width);
    g->leftExtra = static_cast<i8>(left);
    g->rightExtra = static_cast<i8>(right);
  }
  return true;
}

// The smallest area that holds every glyph; of two pairs with the same area
// the later one wins only when it is strictly squarer.
template <class Ch>
bool DXLWinFontT<Ch>::ChooseTextureSize(i32* width, i32* height) {
  RebuildIndexTable();
  Ch last = 0;
  u32 lastIndex = 0;
  for (u32 c = 1; c < DXLFontT<Ch>::kCodes; ++c) {
    const DXLFONTGLYPH* g = this->byCode_[c].get();
    if (g && (last == 0 || g->index >= lastIndex)) {
      last = static_cast<Ch>(c);
      lastIndex = g->index;
    }
  }
  if (last == 0) return false;
  u64 bestArea = 0xFFFFFFFFu;
  i32 bestDiff = 0;
  bool found = false;
  for (i32 h : kSizes) {
    for (i32 w : kSizes) {
      const u64 area = static_cast<u64>(w) * static_cast<u64>(h);
      const i32 diff = std::abs(w - h);
      if (area > bestArea) break;
      if (area == bestArea && diff >= bestDiff) break;
      if (this->PlaceGlyph(last, w, h, nullptr, nullptr)) {
        bestArea = area;
        bestDiff = diff;
        found = true;
        if (width) *width = w;
        if (height) *height = h;
      }
    }
  }
  return found;
}

// --- Rendering -----------------------------------------------------------------------

template <class Ch>
void DXLWinFontT<Ch>::LoadTexture(DXLTexture* texture) {
  if (!texture) return;
  texture->Unload();
  DXLViewer* viewer = texture->GetViewer();
  if (!viewer) return;

  std::vector<Ch> codes(DXLFontT<Ch>::kCodes);
  const u32 count = this->GetCodes(codes.data(), DXLFontT<Ch>::kCodes);
  if (count == 0) return;
  this->AssignIndices(codes.data());

  Raster raster;
  raster.codePage = plat::GetAnsiCodePage();
  plat::FontRequest request;
  if (props_) {
    u32 cp = 0;
    if (sizeof(Ch) == 1 && plat::CharsetToCodePage(props_->GetCharSet() & 0xFF, cp) && plat::IsKnownCodePage(cp))
      raster.codePage = cp;
    const Ch* face = props_->GetFaceName();
    for (u32 i = 0; i < DXLFontPropsT<Ch>::kFaceSize - 1 && face[i] != 0; ++i)
      request.face.push_back(raster.Char(face[i]));
    request.height = plat::FontHeightFromPoints(props_->GetSize());
    request.weight = (props_->GetStyle() & kFontBold) ? 700 : 400;
    request.italic = (props_->GetStyle() & kFontItalic) != 0;
    request.strikeOut = (props_->GetStyle() & kFontStrikeOut) != 0;
    request.underline = (props_->GetStyle() & kFontUnderline) != 0;
    request.quality = props_->GetQuality();
  }
  if (!props_ || !raster.font.Create(request)) {
    LogFailure("Invalid HFONT.");
    return;
  }
  const bool fits = Measure(raster, codes.data(), count);
  if (fits && this->height_ == 0) {
    LogFailure("Invalid HFONT.");
    return;
  }

  i32 w = 0;
  i32 h = 0;
  if (!fits || !ChooseTextureSize(&w, &h)) {
    LogFailure("Characters are too large or too many.");
    return;
  }
  plat::FontCanvas canvas;
  if (!canvas.Create(w, h)) {
    LogFailure("Failed create HBITMAP.");
    return;
  }

  // Every glyph in its cell, white on black.
  std::vector<i32> xs;
  std::vector<i32> ys;
  this->PlaceAll(w, h, &xs, &ys);
  for (u32 i = 0; i < count; ++i) {
    const DXLFONTGLYPH* g = this->GetGlyph(codes[i]);
    if (!g || g->index >= xs.size() || xs[g->index] < 0) continue;
    i32 x = xs[g->index];
    i32 y = ys[g->index];
    if (x + g->width > w) {
      x = 0;
      y += this->vSkip_ + this->height_;
      if (y + this->height_ > h) continue;
    }
    const plat::FontRect cell{x, y, x + g->width, y + this->height_};
    raster.font.DrawChar(canvas, x + this->leftGap_ + g->leftExtra + margins_[0], y + margins_[1], &cell,
                         raster.Char(codes[i]), 0xFFFFFF, 0, true);
  }

  std::vector<u32> pixels(canvas.Pixels().begin(), canvas.Pixels().end());
  DXLProcessPixels(D3DFMT_A8R8G8B8, w, h, pixels.data(), DXLPIXEL_ALPHA_FROM_LUMA, 0);
  const u32 n = static_cast<u32>(w) * static_cast<u32>(h);
  DXLBitmap bitmap;
  const bool glow = (glow_.enable & 0xFF) != 0;
  const bool shadow = (shadow_.enable & 0xFF) != 0;
  if (glow || shadow) {
    const u32 color = props_->GetColor() & 0xFFFFFF;
    DXLColorizePixels(pixels.data(), pixels.data(), n, color, alphaFactor_);
    if (glow)
      DXLApplyBlurLayer(pixels.data(), w, h, static_cast<i32>(glow_.enable), glow_.radius, glow_.color,
                        glow_.threshold);
    if (shadow)
      DXLApplyShadowLayer(pixels.data(), w, h, static_cast<i32>(shadow_.enable), shadow_.dx, shadow_.dy,
                          shadow_.color, shadow_.key);
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetSize(w, h);
    if (bitmap.IsEmpty()) return;
    std::memcpy(bitmap.GetPixels(), pixels.data(), static_cast<size_t>(n) * 4);
  } else {
    const bool a8l8 = viewer->IsTextureFormatSupported(D3DFMT_A8L8);
    std::vector<u16> words(n);
    if (a8l8) {
      DXLAlphaToA8L8(pixels.data(), words.data(), n);
    } else {
      DXLCoverageToA4R4G4B4(pixels.data(), words.data(), n);
    }
    bitmap.SetFormat(a8l8 ? D3DFMT_A8L8 : D3DFMT_A4R4G4B4);
    bitmap.SetSize(w, h);
    if (bitmap.IsEmpty()) return;
    std::memcpy(bitmap.GetPixels(), words.data(), static_cast<size_t>(n) * 2);
  }
  texture->LoadFromBitmap(&bitmap);
}

template class DXLWinFontT<wchar>;
template class DXLWinFontT<char>;
