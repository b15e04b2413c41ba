#include "engine/text/DXLFont.h"

#include <algorithm>

#include "engine/DXLTexture.h"
#include "engine/text/DXLCharList.h"

namespace {

template <class Ch>
u32 U(Ch c) {
  return static_cast<std::make_unsigned_t<Ch>>(c);
}

i8 ClampExtra(i32 extra, u8 width) {
  extra = std::min<i32>(extra, width);
  return static_cast<i8>(std::clamp<i32>(extra, -128, 127));
}

// Stores a metric; true when that changed it.
template <class T>
bool Store(T& field, T value) {
  if (field == value) return false;
  field = value;
  return true;
}

// The walk of the placing rule up to one index: the pen and row top before
// that index, or failed once an earlier index pushed the rows past the bottom.
struct PenState {
  i64 x = 0;
  i64 y = 0;
  bool failed = false;
};

}  // namespace

template <class Ch>
DXLFontT<Ch>::DXLFontT() : byCode_(kCodes), byIndex_(kCodes, nullptr) {}

template <class Ch>
DXLFontT<Ch>::~DXLFontT() {
  BeginUpdate();  // nothing is rebuilt while the glyphs go
  for (auto& g : byCode_) g.reset();
}

template <class Ch>
void DXLFontT<Ch>::Notify(DXLNotifyObject*, u32) {}

// --- Metrics ------------------------------------------------------------------

template <class Ch>
void DXLFontT<Ch>::SetHeight(u8 height) {
  if (!Store(height_, height)) return;
  if (descent_ > height_) descent_ = height_;
  ascent_ = static_cast<i16>(height_ - descent_);
  Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::SetVSkip(u8 skip) {
  if (Store(vSkip_, skip)) Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::SetHSkip(u8 skip) {
  if (Store(hSkip_, skip)) Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::SetEmptyWidth(u8 width) {
  if (Store(emptyWidth_, width)) Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::SetAscent(i16 ascent) {
  if (!Store(ascent_, ascent)) return;
  descent_ = static_cast<i16>(height_ - ascent_);
  Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::SetDescent(i16 descent) {
  if (!Store(descent_, descent)) return;
  ascent_ = static_cast<i16>(height_ - descent_);
  Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::Assign(const DXLFontT& other) {
  BeginUpdate();
  SetHeight(other.height_);
  space_ = other.space_;
  vSpacing_ = other.vSpacing_;
  hSpacing_ = other.hSpacing_;
  SetEmptyWidth(other.emptyWidth_);
  ascent_ = other.ascent_;
  descent_ = other.descent_;
  EndUpdate();
}

template <class Ch>
void DXLFontT<Ch>::SetColor(u32 argb) {
  if (argb == color_) return;
  color_ = argb;
  if (IsUpdating()) return;
  for (auto& g : byCode_) {
    if (!g) continue;
    for (DXLQUAD* q : {g->quadA.get(), g->quadB.get()})
      if (q)
        for (DXLVERTEX& v : q->v) v.color = argb;
  }
}

template <class Ch>
void DXLFontT<Ch>::SetName(const Ch* name) {
  u32 i = 0;
  for (; name && name[i] != 0 && i + 1 < kNameSize; ++i) name_[i] = name[i];
  name_[i] = 0;
}

// --- Glyph set ------------------------------------------------------------------

template <class Ch>
DXLFONTGLYPH* DXLFontT<Ch>::AddGlyph(Ch code) {
  const u32 c = U(code);
  if (c == 0) return nullptr;
  if (!byCode_[c]) byCode_[c] = std::make_unique<DXLFONTGLYPH>();
  return byCode_[c].get();
}

template <class Ch>
void DXLFontT<Ch>::RemoveGlyph(Ch code) {
  const u32 c = U(code);
  if (c == 0 || !byCode_[c]) return;
  for (auto& p : byIndex_)
    if (p == byCode_[c].get()) p = nullptr;
  byCode_[c].reset();
}

template <class Ch>
void DXLFontT<Ch>::AddGlyphs(const Ch* codes, u32 firstIndex, bool create) {
  for (u32 n = 0; codes && codes[n] != 0; ++n) {
    DXLFONTGLYPH* g = create ? AddGlyph(codes[n]) : GetGlyph(codes[n]);
    if (g) g->index = static_cast<u16>(firstIndex + n);
  }
  Changed(this);
}

template <class Ch>
void DXLFontT<Ch>::RemoveGlyphs(u32 first, u32 last) {
  if (last >= kCodes) last = kCodes - 1;
  for (u32 c = std::max<u32>(1, first); c <= last; ++c) {
    if (byCode_[c]) RemoveGlyph(static_cast<Ch>(c));
  }
  Changed(this);
}

template <class Ch>
Ch DXLFontT<Ch>::AssignIndices(const Ch* codes) {
  Ch last = 0;
  for (u32 n = 0; codes && codes[n] != 0; ++n) {
    if (DXLFONTGLYPH* g = GetGlyph(codes[n])) g->index = static_cast<u16>(n);
    last = codes[n];
  }
  return last;
}

template <class Ch>
u32 DXLFontT<Ch>::GetCodes(Ch* buffer, u32 size) const {
  if (!buffer || size == 0) return 0;
  u32 n = 0;
  for (u32 c = 1; c < kCodes && n + 1 < size; ++c)
    if (byCode_[c]) buffer[n++] = static_cast<Ch>(c);
  buffer[n] = 0;
  return n;
}

// --- Per glyph --------------------------------------------------------------------

template <class Ch>
DXLFONTGLYPH* DXLFontT<Ch>::GetGlyph(Ch code) const {
  const u32 c = U(code);
  return c == 0 ? nullptr : byCode_[c].get();
}

template <class Ch>
DXLFONTGLYPH* DXLFontT<Ch>::GetGlyphByIndex(u32 index) const {
  return index < kCodes ? byIndex_[index] : nullptr;
}

template <class Ch>
void DXLFontT<Ch>::SetGlyphWidth(Ch code, u8 width) {
  DXLFONTGLYPH* g = GetGlyph(code);
  if (!g) return;
  g->width = width;
  g->leftExtra = ClampExtra(g->leftExtra, width);
  g->rightExtra = ClampExtra(g->rightExtra, width);
}

template <class Ch>
void DXLFontT<Ch>::SetGlyphExtras(Ch code, i32 left, i32 right) {
  DXLFONTGLYPH* g = GetGlyph(code);
  if (!g) return;
  g->leftExtra = ClampExtra(left, g->width);
  g->rightExtra = ClampExtra(right, g->width);
}

template <class Ch>
void DXLFontT<Ch>::SetAllWidths(u8 width) {
  for (u32 c = 1; c < kCodes; ++c)
    if (byCode_[c]) SetGlyphWidth(static_cast<Ch>(c), width);
  Changed(this);
}

// Extras and gaps larger than the cell would wrap a byte into a huge
// advance; the advance stops at 0 instead.
template <class Ch>
u8 DXLFontT<Ch>::GetAdvance(Ch code) const {
  const DXLFONTGLYPH* g = GetGlyph(code);
  if (!g) return 0;
  const i32 advance = g->width - leftGap_ - rightGap_ - g->leftExtra - g->rightExtra;
  return static_cast<u8>(std::clamp(advance, 0, 255));
}

template <class Ch>
const DXLQUAD* DXLFontT<Ch>::GetQuad(Ch code) const {
  const DXLFONTGLYPH* g = GetGlyph(code);
  return g ? g->quadB.get() : nullptr;
}

// --- Description values ------------------------------------------------------------

namespace {

// Walks the items "list=value" of a description value, separated by ","
// and blanks. `readValue(text, &pos, codes)` reads one item's value at `pos`
// and applies it to the listed codes; the walk stops at the first malformed
// item, keeping those before it.
template <class Ch, class ReadValue>
void ForEachListItem(const Ch* text, ReadValue readValue) {
  if (!text) return;
  u32 pos = 0;
  std::vector<Ch> codes;
  for (;;) {
    while (text[pos] == Ch(' ')) ++pos;
    if (text[pos] == 0) return;
    u32 used = 0;
    if (!DXLParseCharList<Ch>(text + pos, Ch('='), 0, &codes, &used)) return;
    pos += used;
    while (text[pos] == Ch(' ')) ++pos;
    if (!readValue(text, &pos, codes)) return;
    while (text[pos] == Ch(' ')) ++pos;
    if (text[pos] == 0) return;
    if (text[pos] != Ch(',')) return;
    ++pos;
  }
}

}  // namespace

template <class Ch>
void DXLFontT<Ch>::ParseCustomWidths(const Ch* text) {
  ForEachListItem<Ch>(text, [this](const Ch* t, u32* pos, const std::vector<Ch>& codes) {
    i32 width = 0;
    if (!DXLParseDecimal<Ch>(t, pos, " ,", &width) || width < 0) return false;
    // A glyph's width is a byte: a wider one is capped at 255 rather than
    // wrapped (260 would become 4).
    const u8 w = static_cast<u8>(std::min(width, 255));
    for (Ch c : codes) SetGlyphWidth(c, w);
    return true;
  });
}

template <class Ch>
void DXLFontT<Ch>::ParseCustomSpaces(const Ch* text) {
  ForEachListItem<Ch>(text, [this](const Ch* t, u32* pos, const std::vector<Ch>& codes) {
    i32 left = 0;
    i32 right = 0;
    if (!DXLParseDecimal<Ch>(t, pos, " :", &left)) return false;
    while (t[*pos] == Ch(' ')) ++*pos;
    if (t[*pos] != Ch(':')) return false;
    ++*pos;
    while (t[*pos] == Ch(' ')) ++*pos;
    if (!DXLParseDecimal<Ch>(t, pos, " ,", &right)) return false;
    const i32 leftExtra = static_cast<i32>(std::clamp<i64>(-static_cast<i64>(left), -128, 127));
    const i32 rightExtra = static_cast<i32>(std::clamp<i64>(-static_cast<i64>(right), -128, 127));
    for (Ch c : codes) SetGlyphExtras(c, leftExtra, rightExtra);
    return true;
  });
}

template <class Ch>
void DXLFontT<Ch>::ReadCommonKeys(kis::CustomIniFileT<Ch>* ini, const Ch* section) {
  if (!ini) return;
  Ch name[kNameSize];
  ini->ReadString(section, DXLKeyName<Ch>("Name"), nullptr, name, kNameSize);
  SetName(name);
  i32 h = 0;
  i32 v = 0;
  if (ini->KeyExists(section, DXLKeyName<Ch>("Spaces"))) {
    ini->ReadValues(section, DXLKeyName<Ch>("Spaces"), DXLKeyName<Ch>("i4,i4"), 0, 2, &h, &v);
  } else {
    h = ini->ReadInt(section, DXLKeyName<Ch>("HSpace"), 0);
    v = ini->ReadInt(section, DXLKeyName<Ch>("VSpace"), 0);
  }
  hSpacing_ = static_cast<i16>(std::clamp(h, -32768, 32767));
  vSpacing_ = static_cast<i16>(std::clamp(v, -32768, 32767));
  SetColor(static_cast<u32>(ini->ReadInt(section, DXLKeyName<Ch>("Color"), -1)));
}

// --- Placing and rebuilding -----------------------------------------------------------

template <class Ch>
u32 DXLFontT<Ch>::MaxIndex() const {
  u32 top = 0;
  for (u32 c = 1; c < kCodes; ++c)
    if (byCode_[c]) top = std::max<u32>(top, byCode_[c]->index);
  return top;
}

template <class Ch>
u32 DXLFontT<Ch>::IndexWidth(u32 index) const {
  const DXLFONTGLYPH* g = byIndex_[index];
  return g ? g->width : emptyWidth_;
}

// One pass gives the pen before every index; the walk of the placing rule
// is the same for every glyph up to its own index, so it need not restart.
// A glyph wider than the texture can never leave its row: every later index
// fails with it, as the rows would run out below. Indices past a failure
// keep -1.
template <class Ch>
void DXLFontT<Ch>::PlaceAll(i32 w, i32 h, std::vector<i32>* xs, std::vector<i32>* ys) const {
  const u32 count = MaxIndex() + 1;
  xs->assign(count, -1);
  ys->assign(count, 0);
  if (height_ == 0 || w <= 0 || h <= 0) return;
  PenState pen;
  for (u32 i = 0; i < count && !pen.failed; ++i) {
    (*xs)[i] = static_cast<i32>(pen.x);
    (*ys)[i] = static_cast<i32>(pen.y);
    i64 right = pen.x + IndexWidth(i);
    if (right > w) {
      right = byIndex_[i] ? byIndex_[i]->width : 0;
      const i64 next = pen.y + height_;
      if (next + height_ + vSkip_ > h || right > w) {
        pen.failed = true;
        break;
      }
      pen.y = next + vSkip_;
    }
    pen.x = right + hSkip_;
  }
}

template <class Ch>
bool DXLFontT<Ch>::PlaceGlyph(Ch code, i32 w, i32 h, i32* x, i32* y) const {
  const DXLFONTGLYPH* g = GetGlyph(code);
  if (!g || height_ == 0) return false;
  // Only the walk up to this glyph's index matters.
  std::vector<i32> xs;
  std::vector<i32> ys;
  PlaceAll(w, h, &xs, &ys);
  if (g->index >= xs.size() || xs[g->index] < 0) return false;
  i64 px = xs[g->index];
  i64 py = ys[g->index];
  if (px + g->width > w) {
    px = 0;
    py += vSkip_ + height_;
    if (py + height_ > h) return false;
  }
  if (x) *x = static_cast<i32>(px);
  if (y) *y = static_cast<i32>(py);
  return true;
}

template <class Ch>
void DXLFontT<Ch>::Update(DXLUpdateableObject* source) {
  std::fill(byIndex_.begin(), byIndex_.end(), nullptr);
  for (u32 c = 1; c < kCodes; ++c)
    if (byCode_[c]) byIndex_[byCode_[c]->index] = byCode_[c].get();

  const i32 w = texture_ ? texture_->GetImageWidth() : 0;
  const i32 h = texture_ ? texture_->GetImageHeight() : 0;
  std::vector<i32> xs;
  std::vector<i32> ys;
  if (texture_ && height_ > 0) PlaceAll(w, h, &xs, &ys);
  for (u32 c = 1; c < kCodes; ++c) {
    DXLFONTGLYPH* g = byCode_[c].get();
    if (!g) continue;
    i32 x = 0;
    i32 y = 0;
    bool placed = g->width > 0 && height_ > 0 && texture_ && g->index < xs.size() && xs[g->index] >= 0;
    if (placed) {
      x = xs[g->index];
      y = ys[g->index];
      if (static_cast<i64>(x) + g->width > w) {
        x = 0;
        y += vSkip_ + height_;
        placed = static_cast<i64>(y) + height_ <= h;
      }
    }
    if (!placed) {
      g->quadA.reset();
      g->quadB.reset();
      continue;
    }
    g->cell = DXLRECT{x, y, x + g->width, y + height_};
    if (!g->quadA) g->quadA = std::make_unique<DXLQUAD>();
    if (!g->quadB) g->quadB = std::make_unique<DXLQUAD>();
    const float offset = -static_cast<float>(leftGap_) - static_cast<float>(g->leftExtra);
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    const float fw = static_cast<float>(g->width);
    const float fh = static_cast<float>(height_);
    texture_->MakeQuadPart(g->quadA.get(), offset + 0.5f, 0.5f, fx, fy, fw, fh, color_, false, false);
    texture_->MakeQuadPart(g->quadB.get(), offset, 0.0f, fx, fy, fw, fh, color_, false, false);
    for (DXLQUAD* q : {g->quadA.get(), g->quadB.get()})
      for (DXLVERTEX& v : q->v) v.color = color_;  // a colour of 0 stays 0
  }
  DXLUpdateableObject::Update(source);
  NotifyAll(kNotifyFontRebuilt);
}

template class DXLFontT<wchar>;
template class DXLFontT<char>;
