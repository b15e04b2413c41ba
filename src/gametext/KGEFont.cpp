#include "gametext/KGEFont.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "engine/DXLTexture.h"
#include "engine/DXLViewer.h"
#include "gametext/KGEPenWalk.h"
#include "gametext/TextServices.h"
#include "platform/encoding/CharsetInfo.h"
#include "platform/encoding/CodePage.h"
#include "platform/os/MessageBox.h"
#include "platform/os/WindowSystem.h"

namespace {

// Message box flags: error icon, task modal, set foreground.
constexpr u32 kOutOfMemoryBoxFlags = 0x12010;

void DefaultOutOfMemory() {
  plat::ShowMessageBox(plat::GetWindowSystem().GetForegroundWindow(), u"Out of memory!", u"Error",
                       kOutOfMemoryBoxFlags);
  std::_Exit(3);
}

// The byte table of the last code page asked for; rebuilt only when the page
// changes. A cache of what the platform's code pages say, the same for every
// caller: it stays a per-process value, outside the text services.
struct ByteTableCache {
  bool valid = false;
  u32 codePage = 0;
  u16 table[256] = {};
};
ByteTableCache g_byteTable;

const u16* ByteTable(u32 codePage) {
  if (g_byteTable.valid && g_byteTable.codePage == codePage) return g_byteTable.table;
  for (u32 b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    std::u16string wide;
    u16 unit = 0;
    // Each byte alone; a lead byte without its trail, or a byte the page
    // leaves undefined, gives 0.
    if (plat::MultiByteToWide(codePage, std::string_view(&byte, 1), wide) && wide.size() == 1 &&
        wide[0] != 0xFFFD) {
      unit = wide[0];
    }
    g_byteTable.table[b] = unit;
  }
  g_byteTable.codePage = codePage;
  g_byteTable.valid = true;
  return g_byteTable.table;
}

i32 ClampToI32(i64 v) {
  if (v > std::numeric_limits<i32>::max()) return std::numeric_limits<i32>::max();
  if (v < std::numeric_limits<i32>::min()) return std::numeric_limits<i32>::min();
  return static_cast<i32>(v);
}

}  // namespace

// --- Out of memory ------------------------------------------------------------------

void KGEOutOfMemory() {
  const KGEOutOfMemoryHandler handler = GetTextServices().outOfMemory;
  (handler ? handler : &DefaultOutOfMemory)();
}

namespace kgedetail {
bool AllocationAllowed(size_t bytes) {
  const KGEAllocationHook hook = GetTextServices().allocationHook;
  return !hook || !hook(bytes);
}
}  // namespace kgedetail

// --- Life ------------------------------------------------------------------------------

KGEFont::KGEFont(u32 signature1, u32 signature2, DXLViewer* viewer) : signature_{signature1, signature2}, viewer_(viewer) {}

KGEFont::~KGEFont() {
  // Subclasses release with force in their own destructors, while their
  // FreeGlyphs can still run; this catches the base's share.
  if (useCount_ != 0 || built_) {
    useCount_ = 0;
    if (built_) KGEFont::FreeGlyphs();
    built_ = 0;
  }
}

i32 KGEFont::Acquire() {
  if (useCount_ == 0 && imageCount_ != 0 && cellHeight_ >= 1) {
    const i32 hr = BuildGlyphs();
    if (hr < 0) {
      FreeGlyphs();
      built_ = 0;
      return hr;
    }
    built_ = 1;
  }
  ++useCount_;
  return KGE_S_OK;
}

void KGEFont::Release(bool force) {
  if (useCount_ == 0) return;
  if (force) {
    useCount_ = 0;
  } else if (--useCount_ > 0) {
    return;
  }
  if (built_) {
    FreeGlyphs();
    built_ = 0;
  }
}

// --- Settings ---------------------------------------------------------------------

void KGEFont::SetMetrics(i32 height, i32 ascent, i32 space, u32 defaultChar) {
  if (height == kDefaultValue) height = cellHeight_;
  if (height < 0) height = 0;
  if (ascent == kDefaultValue) ascent = height;
  height_ = height;
  ascent_ = ascent;
  descent_ = ClampToI32(static_cast<i64>(height) - ascent);
  space_ = space < 0 ? 0 : space;
  defaultChar_ = defaultChar;
}

void KGEFont::SetStyle(i32 tracking, i32 leading, u32 color) {
  tracking_ = tracking;
  leading_ = leading;
  color_ = color;
}

// --- Glyph set ----------------------------------------------------------------------

i32 KGEFont::InitCharset(u32 charset, u32 count) {
  charset_ = charset;
  const u32 ansiPage = plat::GetAnsiCodePage();
  u32 ansiCharset = 0;
  if (!plat::CodePageToCharset(ansiPage, ansiCharset)) ansiCharset = 0;
  // Character set 1 stands for the ANSI page's set but is kept as asked.
  const u32 lookup = charset == 1 ? ansiCharset : charset;
  u32 page = 0;
  if (charset == 0x80000000u || !plat::CharsetToCodePage(lookup, page)) {
    page = ansiPage;
    charset_ = ansiCharset;
  }
  codePage_ = page;
  std::memcpy(byteIndex_, ByteTable(page), sizeof(byteIndex_));

  if (!codeIndex_) {
    codeIndex_ = KGEAllocArray<u16>(kCodeIndexSize);
    if (!codeIndex_) return KGE_E_OUTOFMEMORY;
  }
  std::fill_n(codeIndex_.get(), kCodeIndexSize, kNoGlyph);
  defaultGlyph_ = nullptr;
  kerning_.reset();
  kernCount_ = 0;
  glyphs_.reset();
  glyphCount_ = std::min(count, kMaxGlyphs);
  glyphs_ = KGEAllocArray<KGEGLYPH>(glyphCount_);
  if (!glyphs_) {
    glyphCount_ = 0;
    return KGE_E_OUTOFMEMORY;
  }
  return KGE_S_OK;
}

i32 KGEFont::SetGlyphChars(const wchar* chars) {
  if (glyphCount_ == 0) return KGE_S_OK;
  if (!chars || !glyphs_) return KGE_E_NOCHARS;
  u32 kept = 0;
  for (u32 i = 0; i < glyphCount_; ++i) {
    const u16 code = chars[i];
    if (code <= 32) continue;
    glyphs_[kept] = KGEGLYPH{};
    glyphs_[kept].code = code;
    ++kept;
  }
  glyphCount_ = kept;
  return KGE_S_OK;
}

i32 KGEFont::SetGlyphBytes(const u8* chars) {
  if (glyphCount_ == 0) return KGE_S_OK;
  if (!chars || !glyphs_) return KGE_E_NOCHARS;
  const u16* table = ByteTable(codePage_);
  u32 kept = 0;
  for (u32 i = 0; i < glyphCount_; ++i) {
    const u16 code = table[chars[i]];
    if (code <= 32) continue;
    glyphs_[kept] = KGEGLYPH{};
    glyphs_[kept].code = code;
    ++kept;
  }
  glyphCount_ = kept;
  return KGE_S_OK;
}

i32 KGEFont::AllocImages(u32 count, i32 cellHeight) {
  images_.reset();
  quads_.reset();
  imageCount_ = 0;
  cellHeight_ = cellHeight < 0 ? 0 : cellHeight;
  count = std::min(count, kMaxGlyphs);
  if (count == 0) return KGE_S_OK;
  images_ = KGEAllocArray<KGEGLYPHIMAGE>(count);
  if (!images_) return KGE_E_OUTOFMEMORY;
  imageCount_ = count;
  return KGE_S_OK;
}

void KGEFont::BuildIndex() {
  if (!codeIndex_) return;
  std::fill_n(codeIndex_.get(), kCodeIndexSize, kNoGlyph);
  for (u32 i = 0; i < glyphCount_; ++i) {
    KGEGLYPH& g = glyphs_[i];
    g.index = static_cast<u16>(i);
    codeIndex_[g.code] = static_cast<u16>(i);
    if (g.advance < 0) g.advance = 0;
    g.hasImage = 0;
  }
  const u16* units = ByteTable(codePage_);
  for (u32 b = 0; b < 256; ++b) byteIndex_[b] = codeIndex_[units[b]];
  const u16 def = codeIndex_[defaultChar_ & 0xFFFF];
  defaultGlyph_ = defaultChar_ <= 0xFFFF && def != kNoGlyph ? &glyphs_[def] : nullptr;
}

i32 KGEFont::SetKerningPairs(const KGEKERNENTRY* entries, u32 count, bool nonZeroOnly) {
  kerning_.reset();
  kernCount_ = 0;
  for (u32 i = 0; i < glyphCount_; ++i) glyphs_[i].kernCount = glyphs_[i].kernStart = 0;
  if (count == 0) return KGE_S_OK;
  if (!entries || !codeIndex_) return KGE_E_TOOMANYKERNPAIRS;

  auto firstOf = [&](const KGEKERNENTRY& e, u16& a, u16& b) {
    if (nonZeroOnly && e.amount == 0) return false;
    a = codeIndex_[e.first];
    b = codeIndex_[e.second];
    return a != kNoGlyph && b != kNoGlyph && a < glyphCount_ && b < glyphCount_;
  };
  u64 total = 0;
  for (u32 i = 0; i < count; ++i) {
    u16 a = 0, b = 0;
    if (!firstOf(entries[i], a, b)) continue;
    ++glyphs_[a].kernCount;
    ++total;
  }
  if (total > static_cast<u64>(glyphCount_) * glyphCount_) {
    for (u32 i = 0; i < glyphCount_; ++i) glyphs_[i].kernCount = 0;
    return KGE_E_TOOMANYKERNPAIRS;
  }
  if (total == 0) return KGE_S_OK;
  kerning_ = KGEAllocArray<KGEKERNPAIR>(total);
  if (!kerning_) {
    for (u32 i = 0; i < glyphCount_; ++i) glyphs_[i].kernCount = 0;
    return KGE_E_OUTOFMEMORY;
  }
  u32 start = 0;
  for (u32 i = 0; i < glyphCount_; ++i) {
    glyphs_[i].kernStart = start;
    start += glyphs_[i].kernCount;
  }
  // Fill each run in the order the entries come.
  std::unique_ptr<u32[]> filled = KGEAllocArray<u32>(glyphCount_);
  if (!filled) {
    kerning_.reset();
    for (u32 i = 0; i < glyphCount_; ++i) glyphs_[i].kernCount = 0;
    return KGE_E_OUTOFMEMORY;
  }
  for (u32 i = 0; i < count; ++i) {
    u16 a = 0, b = 0;
    if (!firstOf(entries[i], a, b)) continue;
    kerning_[glyphs_[a].kernStart + filled[a]++] = KGEKERNPAIR{b, entries[i].amount};
  }
  kernCount_ = static_cast<u32>(total);
  return KGE_S_OK;
}

// --- Lookups ------------------------------------------------------------------------

const KGEGLYPH* KGEFont::FindGlyph(wchar code) const {
  if (!codeIndex_ || !glyphs_) return nullptr;
  const u16 i = codeIndex_[code];
  return i != kNoGlyph && i < glyphCount_ ? &glyphs_[i] : nullptr;
}

const KGEKERNPAIR* KGEFont::FindKerning(const KGEGLYPH* first, const KGEGLYPH* second) const {
  if (!first || !second || !kerning_ || first->kernCount == 0) return nullptr;
  const u64 end = static_cast<u64>(first->kernStart) + first->kernCount;
  if (end > kernCount_) return nullptr;
  for (u32 i = first->kernStart; i < end; ++i) {
    if (kerning_[i].second == second->index) return &kerning_[i];
  }
  return nullptr;
}

const DXLQUAD* KGEFont::GetGlyphQuad(const KGEGLYPH* glyph) const {
  if (!glyph || !quads_ || glyph->image >= imageCount_) return nullptr;
  return &quads_[glyph->image];
}

// --- Building -------------------------------------------------------------------------

i32 KGEFont::BuildGlyphs() {
  u32 sizes[4] = {};
  if (image_) {
    sizes[0] = static_cast<u32>(image_->GetImageWidth());
    sizes[1] = static_cast<u32>(image_->GetImageHeight());
    sizes[2] = static_cast<u32>(image_->GetWidth());
    sizes[3] = static_cast<u32>(image_->GetHeight());
  }
  if (built_ && std::equal(sizes, sizes + 4, seenSizes_)) return KGE_S_OK;
  std::copy(sizes, sizes + 4, seenSizes_);

  if (!quads_ && imageCount_ != 0) {
    quads_ = KGEAllocArray<DXLQUAD>(imageCount_);
    if (!quads_) return KGE_E_OUTOFMEMORY;
  }
  const i64 width = static_cast<i32>(sizes[0]), height = static_cast<i32>(sizes[1]);
  for (u32 i = 0; i < imageCount_; ++i) {
    KGEGLYPHIMAGE& cell = images_[i];
    const i64 left = cell.x, top = cell.y;
    const i64 right = left + cell.width, bottom = top + cellHeight_;
    const i64 cl = std::max<i64>(left, 0), ct = std::max<i64>(top, 0);
    const i64 cr = std::min(right, width), cb = std::min(bottom, height);
    cell.visible = cr > cl && cb > ct && image_ ? 1 : 0;
    DXLQUAD& quad = quads_[i];
    if (cell.visible) {
      const DXLRECT source{static_cast<i32>(cl), static_cast<i32>(ct), static_cast<i32>(cr), static_cast<i32>(cb)};
      image_->MakeQuadFromRect(&quad, static_cast<float>(cl - left), static_cast<float>(ct - top), source, color_,
                               false, false);
      // A colour of 0 is a colour here, not the texture's default.
      for (DXLVERTEX& v : quad.v) v.color = color_;
    } else {
      quad = DXLQUAD{};
    }
  }
  for (u32 i = 0; i < glyphCount_; ++i) {
    KGEGLYPH& g = glyphs_[i];
    g.hasImage = g.image < imageCount_ ? images_[g.image].visible : 0;
  }
  return KGE_S_OK;
}

void KGEFont::FreeGlyphs() {
  quads_.reset();
  for (u32 i = 0; i < glyphCount_; ++i) glyphs_[i].hasImage = 0;
}

// --- Text -----------------------------------------------------------------------------

KGESIZE* KGEFont::MeasureText(KGESIZE* out, const wchar* text, u32 length) const {
  if (!out) return nullptr;
  *out = KGESIZE{0, 0};
  if (!text || length == 0) return out;
  const u32 n = WalkLength(text, length);
  KGEPenWalk<wchar> walk(this);
  i64 widest = 0, y = 0;
  for (u32 i = 0; i < n; ++i) {
    switch (walk.Classify(text[i])) {
      case KGEPenWalk<wchar>::kBreak:
        widest = std::max(widest, walk.Right());
        walk.EndLine(y);
        break;
      case KGEPenWalk<wchar>::kSpace:
        walk.Space();
        break;
      case KGEPenWalk<wchar>::kGlyph:
        walk.PlaceGlyph();
        break;
      default:
        break;
    }
  }
  widest = std::max(widest, walk.Right());
  out->cx = ClampToI32(widest);
  out->cy = widest != 0 ? ClampToI32(y + cellHeight_) : 0;
  return out;
}

i32 KGEFont::GetCharIndexAt(i32 x, const wchar* text, u32 length) const {
  if (x < 0 || !text || length == 0) return 0;
  const u32 n = WalkLength(text, length);
  KGEPenWalk<wchar> walk(this);
  for (u32 i = 0; i < n; ++i) {
    const i64 p = walk.Pen();
    const auto kind = walk.Classify(text[i]);
    i64 a = 0;
    if (kind == KGEPenWalk<wchar>::kBreak) return static_cast<i32>(i);
    if (kind == KGEPenWalk<wchar>::kGlyph) a = walk.Glyph()->advance;
    if (kind == KGEPenWalk<wchar>::kSpace) a = std::max(walk.PendingSpace(), 0);
    if (x <= p + a) return x >= p + a / 2 ? static_cast<i32>(i + 1) : static_cast<i32>(i);
    if (kind == KGEPenWalk<wchar>::kGlyph) walk.PlaceGlyph();
    if (kind == KGEPenWalk<wchar>::kSpace) walk.Space();
  }
  return static_cast<i32>(n);
}

void KGEFont::DrawText(const wchar* text) {
  if (!viewer_) return;
  DXLMATRIX m;
  viewer_->GetTransform(&m);
  DrawWith(text, kWholeText, m);
}

void KGEFont::DrawTextAt(float x, float y, const wchar* text) {
  DXLMATRIX m = plat::gfx::IdentityMatrix();
  m.m[3][0] = x;
  m.m[3][1] = y;
  DrawWith(text, kWholeText, m);
}

void KGEFont::DrawWith(const wchar* text, u32 length, DXLMATRIX m) {
  if (!built_ || !viewer_ || !viewer_->HasDevice() || !text || length == 0 || !image_ || !quads_) return;
  if (!image_->Select(true)) return;
  const float m11 = m.m[0][0], m12 = m.m[0][1], m21 = m.m[1][0], m22 = m.m[1][1];
  float ox = m.m[3][0], oy = m.m[3][1];
  const u32 n = WalkLength(text, length);
  KGEPenWalk<wchar> walk(this);
  i64 y = 0;
  for (u32 i = 0; i < n; ++i) {
    switch (walk.Classify(text[i])) {
      case KGEPenWalk<wchar>::kGlyph: {
        walk.PlaceGlyph();
        const KGEGLYPH* g = walk.Glyph();
        if ((g->hasImage & 0xFF) == 0 || g->image >= imageCount_) break;
        const float xs = static_cast<float>(walk.GlyphStart() + g->xOffset);
        const float yo = static_cast<float>(g->yOffset);
        m.m[3][0] = m11 * xs + ox + m21 * yo;
        m.m[3][1] = m12 * xs + oy + m22 * yo;
        viewer_->ApplyTransform(&m);
        viewer_->DrawQuad(&quads_[g->image]);
        break;
      }
      case KGEPenWalk<wchar>::kSpace:
        walk.Space();
        break;
      case KGEPenWalk<wchar>::kBreak: {
        const i64 before = y;
        walk.EndLine(y);
        const float dy = static_cast<float>(y - before);
        ox += dy * m21;
        oy += dy * m22;
        break;
      }
      default:
        break;
    }
  }
  image_->Deselect(false);
}

i32 KGESaveFont(kis::BaseDataFileWriter* writer, KGEFont* font) {
  if (!writer || !font) return KGE_E_FAIL;
  return font->SaveToDataFile(writer);
}
