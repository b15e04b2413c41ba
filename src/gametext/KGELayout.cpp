#include "gametext/KGELayout.h"

#include <algorithm>
#include <cmath>

#include "engine/DXLTexture.h"
#include "gametext/TextServices.h"

namespace {

// What the carried fraction of a justification share must reach to count as
// one more whole pixel.
constexpr float kWholePixel = 0.9999f;

i32 Clamp32(i64 v) { return static_cast<i32>(std::clamp<i64>(v, INT32_MIN, INT32_MAX)); }

// ApplyTag's answer for a tag whose object is unknown: the tag is text.
constexpr i32 kNotATag = 1;

// Adds the share of one step to the running whole pixels, carrying the
// fraction on.
i64 TakeShare(float share, float* carry) {
  const float acc = share + *carry;
  i64 whole = static_cast<i64>(std::floor(acc));
  *carry = acc - static_cast<float>(whole);
  if (*carry >= kWholePixel) {
    ++whole;
    *carry = 0.0f;
  }
  return whole;
}

}  // namespace

KGETEXTPARAMS KGEDefaultTextParams() {
  KGETEXTPARAMS p{};
  p.maxChars = kKGEWholeText;
  p.color = 0xFFFFFFFFu;
  return p;
}

// --- Set-up -------------------------------------------------------------------------

void KGELayout::Begin(const KGEFont* font, const KGETEXTPARAMS* params) {
  params_ = params ? *params : KGEDefaultTextParams();
  baseFont_ = font_ = font;
  const u32 f = params_.flags;
  rectValid_ = params_.right > params_.left && params_.bottom > params_.top;
  singleLine_ = (f & kKGESingleLine) != 0;
  wrap_ = (f & kKGEWrap) != 0 && !singleLine_ && params_.wrapWidth > 0;
  justify_ = wrap_ && (f & kKGEJustify) != 0;
  lineSpacing_ = (f & kKGELineSpacing) != 0 && !singleLine_;
  alphaOverride_ = (f & kKGEAlpha) != 0 && params_.alpha != 0xFF000000u;
  leading_ = (f & kKGELineGap) ? params_.lineGap : (font ? font->GetLeading() : 0);
  color_ = (f & kKGEFixedColor) ? ColorState{false, params_.color & 0xFFFFFFu} : ColorState{true, 0};
  colorStack_.Clear();
  fontStack_.Clear();
  glyphs_.Clear();
  runs_.Clear();
  lines_.Clear();
  images_.Clear();
  y_ = 0;
  width_ = height_ = 0;
  StartLine(0);
}

void KGELayout::StartLine(u32 firstRun) {
  pen_ = 0;
  lineRight_ = 0;
  wordState_ = 0;
  pendingSpace_ = 0;
  lineFirstRun_ = firstRun;
  lineItems_ = 0;
  wordItemsBefore_ = 0;
  runOpen_ = false;
  previous_ = nullptr;
  previousStart_ = 0;
}

i32 KGELayout::Spacing() const {
  if (params_.flags & kKGESpacing) return params_.spacing;
  return font_ ? font_->GetTracking() : 0;
}

u32 KGELayout::GlyphColor() const {
  const u32 rgb = color_.useFont ? (font_ ? font_->GetColor() : 0xFFFFFFu) : color_.rgb;
  const u32 alpha = alphaOverride_ ? (params_.alpha >> 24) : 0xFFu;
  return (rgb & 0xFFFFFFu) | (alpha << 24);
}

template <typename Char>
const KGEGLYPH* KGELayout::Lookup(const KGEFont* font, u32 code) const {
  if (!font) return nullptr;
  const u16* index = sizeof(Char) == 1 ? font->GetByteIndex() : font->GetCodeIndex();
  const KGEGLYPH* glyphs = font->GetGlyphs();
  if (index && glyphs) {
    const u16 i = index[sizeof(Char) == 1 ? (code & 0xFF) : (code & 0xFFFF)];
    if (i != KGEFont::kNoGlyph && i < font->GetGlyphCount()) return &glyphs[i];
  }
  return font->GetDefaultGlyph();
}

// --- Words and lines ----------------------------------------------------------------

i32 KGELayout::StartWordItem() {
  if (wordState_ == 2) return KGE_S_OK;
  if (wordState_ == 1) pen_ += pendingSpace_;
  // A gap to stretch lies only between words of one line, not before the first.
  wordGap_ = wordState_ == 1 && lineItems_ > 0;
  pendingSpace_ = 0;
  wordState_ = 2;
  wordFirstRun_ = runs_.Count();
  wordItemsBefore_ = lineItems_;
  wordStart_ = pen_;
  rightBeforeWord_ = lineRight_;
  runOpen_ = false;
  previous_ = nullptr;
  return KGE_S_OK;
}

i32 KGELayout::AddGlyph(const KGEGLYPH* glyph) {
  StartWordItem();
  if (!runOpen_) {
    KGERUN* run = runs_.Add();
    if (!run) return KGE_E_OUTOFMEMORY;
    run->kind = kKGERunGlyphs;
    run->x = Clamp32(pen_);
    run->font = font_;
    run->ascent = font_->GetAscent();
    run->first = glyphs_.Count();
    run->weight = runs_.Count() - 1 == wordFirstRun_ && wordGap_ ? 1 : 0;
    runOpen_ = true;
  }
  KGELAYOUTGLYPH* g = glyphs_.Add();
  if (!g) return KGE_E_OUTOFMEMORY;
  KGERUN& run = runs_.Back();
  i64 start = pen_;
  if (previous_ && previous_->kernCount != 0) {
    if (const KGEKERNPAIR* pair = font_->FindKerning(previous_, glyph)) {
      start = std::max<i64>(pen_ + pair->amount, previousStart_);
    }
  }
  g->x = Clamp32(start - run.x + glyph->xOffset);
  g->y = glyph->yOffset;
  g->glyph = glyph;
  g->color = GlyphColor();
  ++run.count;
  previous_ = glyph;
  previousStart_ = start;
  lineRight_ = std::max<i64>(lineRight_, start + glyph->advance);
  pen_ = std::max<i64>(pen_, start + glyph->advance + Spacing());
  run.width = std::max(run.width, Clamp32(start + glyph->advance - run.x));
  ++lineItems_;
  return KGE_S_OK;
}

i32 KGELayout::AddImage(const KGETAG& tag) {
  DXLTexture* texture = GetTextServices().handles.FindTexture(tag.handle);
  if (!texture) return kNotATag;
  const i32 iw = texture->GetImageWidth(), ih = texture->GetImageHeight();
  KGELAYOUTIMAGE image{};
  image.texture = texture;
  i32 sw = iw, sh = ih;
  if (tag.hasRect) {
    image.source.left = tag.rect[0];
    image.source.top = tag.rect[1];
    sw = tag.rect[2] == kKGEMarkupDefault ? iw : tag.rect[2];
    sh = tag.rect[3] == kKGEMarkupDefault ? ih : tag.rect[3];
  }
  sw = std::max(sw, 0);
  sh = std::max(sh, 0);
  image.source.right = Clamp32(static_cast<i64>(image.source.left) + sw);
  image.source.bottom = Clamp32(static_cast<i64>(image.source.top) + sh);
  image.width = std::max(tag.width == kKGEMarkupDefault ? sw : tag.width, 0);
  image.height = std::max(tag.height == kKGEMarkupDefault ? sh : tag.height, 0);
  image.offsetX = tag.offsetX;
  image.offsetY = tag.offsetY;
  image.layout = tag.layout;
  u32 rgb;
  if (tag.colorMode == kKGEImageColorValue) {
    rgb = tag.imageColor;
  } else if (tag.colorMode == kKGEImageColorCurrent) {
    rgb = color_.useFont ? (font_ ? font_->GetColor() : 0xFFFFFFu) : color_.rgb;
  } else {
    rgb = texture->GetDefaultColor() != 0 ? texture->GetDefaultColor() : 0xFFFFFFu;
  }
  const u32 alpha = alphaOverride_ ? (params_.alpha >> 24) : 0xFFu;
  image.color = (rgb & 0xFFFFFFu) | (alpha << 24);

  StartWordItem();
  const u32 index = images_.Count();
  if (!images_.Add(&image)) return KGE_E_OUTOFMEMORY;
  KGERUN* run = runs_.Add();
  if (!run) return KGE_E_OUTOFMEMORY;
  run->kind = kKGERunImage;
  run->x = Clamp32(pen_);
  run->width = image.width;
  run->ascent = image.layout == 2 ? image.height : 0;
  run->image = index;
  run->weight = runs_.Count() - 1 == wordFirstRun_ && wordGap_ ? 1 : 0;
  runOpen_ = false;
  previous_ = nullptr;
  pen_ += image.width;
  lineRight_ = std::max(lineRight_, pen_);
  ++lineItems_;
  return KGE_S_OK;
}

i32 KGELayout::CloseWord() {
  if (wordState_ != 2) return KGE_S_OK;
  if (!wrap_ || wordItemsBefore_ == 0 || lineRight_ <= params_.wrapWidth) return KGE_S_OK;
  // The word does not fit: the line ends before it and the word opens the
  // next line at 0.
  const i32 hr = EndLine(kKGELineWrapped, wordFirstRun_, rightBeforeWord_);
  if (hr < 0) return hr;
  const i64 shift = wordStart_;
  for (u32 r = wordFirstRun_; r < runs_.Count(); ++r) runs_[r].x = Clamp32(runs_[r].x - shift);
  if (wordFirstRun_ < runs_.Count()) runs_[wordFirstRun_].weight = 0;
  pen_ -= shift;
  lineRight_ -= shift;
  previousStart_ -= shift;
  wordStart_ = 0;
  rightBeforeWord_ = 0;
  lineFirstRun_ = wordFirstRun_;
  lineItems_ -= wordItemsBefore_;
  wordItemsBefore_ = 0;
  return KGE_S_OK;
}

// A blank is a space run of its own at the pen. The pen passes it when the
// next word starts (the pending space), so blanks that end a line neither
// widen it nor move the next line's first word.
i32 KGELayout::Blank(i64 width) {
  wordState_ = 1;
  runOpen_ = false;
  previous_ = nullptr;
  const i64 advance = std::max<i64>(width, 0);
  KGERUN* run = runs_.Add();
  if (!run) return KGE_E_OUTOFMEMORY;
  run->kind = kKGERunSpace;
  run->x = Clamp32(pen_ + pendingSpace_);
  run->width = Clamp32(advance);
  pendingSpace_ += advance;
  return KGE_S_OK;
}

void KGELayout::LineMetrics(u32 firstRun, u32 runEnd, i32* ascent, i32* height) const {
  i64 maxAscent = 0, maxDescent = 0, maxHeight = 0;
  bool any = false;
  for (u32 r = firstRun; r < runEnd; ++r) {
    const KGERUN& run = runs_[r];
    if (run.kind == kKGERunGlyphs && run.font) {
      maxAscent = std::max<i64>(maxAscent, run.font->GetAscent());
      maxDescent = std::max<i64>(maxDescent, run.font->GetDescent());
      maxHeight = std::max<i64>(maxHeight, run.font->GetHeight());
      any = true;
    } else if (run.kind == kKGERunImage) {
      maxAscent = std::max<i64>(maxAscent, run.ascent);
      maxHeight = std::max<i64>(maxHeight, images_[run.image].height);
      any = true;
    }
  }
  if (!any && font_) {
    maxAscent = font_->GetAscent();
    maxDescent = font_->GetDescent();
    maxHeight = font_->GetHeight();
  }
  *ascent = Clamp32(maxAscent);
  *height = Clamp32(std::max(maxHeight, maxAscent + maxDescent));
}

i32 KGELayout::EndLine(u32 kind, u32 runEnd, i64 width) {
  const u32 count = runEnd - lineFirstRun_;
  // A line without glyphs or images (blanks at most) counts only when a
  // break ends it.
  bool content = false;
  for (u32 r = lineFirstRun_; r < runEnd && !content; ++r) content = runs_[r].kind != kKGERunSpace;
  if (!content && kind != kKGELineBreak) return KGE_S_OK;
  KGELINE* line = lines_.Add();
  if (!line) return KGE_E_OUTOFMEMORY;
  line->endKind = kind;
  line->y = Clamp32(y_);
  line->width = Clamp32(width);
  LineMetrics(lineFirstRun_, runEnd, &line->ascent, &line->height);
  line->maxAscent = line->ascent;
  line->maxHeight = line->height;
  line->firstRun = lineFirstRun_;
  line->runCount = count;
  if (justify_ && count != 0 && line->width < params_.wrapWidth && kind == kKGELineWrapped) Justify(*line);
  width_ = std::max(width_, line->width);
  height_ = std::max(height_, Clamp32(static_cast<i64>(line->y) + line->height));
  const i64 step = static_cast<i64>(line->height) + leading_;
  if (step > 0) y_ += step;
  return KGE_S_OK;
}

void KGELayout::Justify(KGELINE& line) {
  const i64 extra = static_cast<i64>(params_.wrapWidth) - line.width;
  KGERUN* runs = runs_.Data() + line.firstRun;
  i64 totalWeight = 0;
  u32 glyphCount = 0;
  for (u32 r = 0; r < line.runCount; ++r) {
    if (runs[r].weight > 0) totalWeight += runs[r].weight;
    if (runs[r].kind == kKGERunGlyphs) glyphCount += runs[r].count;
  }
  float carry = 0.0f;
  i64 moved = 0;
  if (totalWeight > 0) {
    // The gaps between words take the extra width.
    for (u32 r = 0; r < line.runCount; ++r) {
      if (runs[r].weight > 0) {
        moved += TakeShare(static_cast<float>(extra) * static_cast<float>(runs[r].weight) /
                               static_cast<float>(totalWeight),
                           &carry);
      }
      runs[r].x = Clamp32(runs[r].x + moved);
    }
  } else {
    // One long word: its glyphs after the first move apart in equal steps.
    if (glyphCount < 2) return;
    const float step = static_cast<float>(extra) / static_cast<float>(glyphCount - 1);
    bool first = true;
    for (u32 r = 0; r < line.runCount; ++r) {
      KGERUN& run = runs[r];
      const i64 base = moved;
      run.x = Clamp32(run.x + base);
      if (run.kind != kKGERunGlyphs) continue;
      for (u32 k = 0; k < run.count; ++k) {
        if (!first) moved += TakeShare(step, &carry);
        first = false;
        glyphs_[run.first + k].x = Clamp32(glyphs_[run.first + k].x + (moved - base));
      }
      run.width = Clamp32(run.width + (moved - base));
    }
  }
  line.width = params_.wrapWidth;
}

void KGELayout::SpaceLines() {
  if (!lineSpacing_ || lines_.Count() < 2) return;
  i64 step = params_.lineSpacing == kKGEFontSpacing ? (baseFont_ ? baseFont_->GetHeight() : 0) : params_.lineSpacing;
  if (step < 0) step = 0;
  i64 baseline = lines_[0].ascent;
  i64 bottom = 0;
  for (u32 i = 0; i < lines_.Count(); ++i) {
    KGELINE& line = lines_[i];
    line.y = Clamp32(baseline - line.ascent);
    baseline += step + leading_;
    bottom = std::max<i64>(bottom, static_cast<i64>(line.y) + line.height);
  }
  height_ = Clamp32(bottom);
}

void KGELayout::Align() {
  const u32 mode = params_.flags & kKGEAlignMask;
  i64 dy = params_.top;
  if (rectValid_) {
    const i64 rectHeight = static_cast<i64>(params_.bottom) - params_.top;
    const u32 vertical = params_.flags & kKGEVAlignMask;
    if (vertical == kKGEVAlignCenter) dy += (rectHeight - height_) / 2;
    if (vertical == kKGEVAlignBottom) dy += rectHeight - height_;
  }
  const i64 reference = rectValid_ ? static_cast<i64>(params_.right) - params_.left : width_;
  for (u32 i = 0; i < lines_.Count(); ++i) {
    KGELINE& line = lines_[i];
    i64 dx = params_.left;
    if (mode == kKGEAlignCenter) dx += (reference - line.width) / 2;
    if (mode == kKGEAlignRight) dx += reference - line.width;
    line.y = Clamp32(line.y + dy);
    line.x = Clamp32(dx);
    if (dx == 0) continue;
    for (u32 r = line.firstRun; r < line.firstRun + line.runCount; ++r) runs_[r].x = Clamp32(runs_[r].x + dx);
  }
}

// --- Mark-up ------------------------------------------------------------------------

i32 KGELayout::ApplyTag(const KGETAG& tag) {
  switch (tag.kind) {
    case kKGETagBreak: {
      if (singleLine_) return KGE_S_OK;
      i32 hr = CloseWord();
      if (hr >= 0) hr = EndLine(kKGELineBreak, runs_.Count(), lineRight_);
      StartLine(runs_.Count());
      return hr;
    }
    case kKGETagColor:
      if (!colorStack_.Add(&color_)) return KGE_E_OUTOFMEMORY;
      color_ = tag.isDefault ? ColorState{true, 0} : ColorState{false, tag.color & 0xFFFFFFu};
      return KGE_S_OK;
    case kKGETagColorEnd:
      if (colorStack_.Count() != 0) {
        color_ = colorStack_.Back();
        colorStack_.Pop();
      }
      return KGE_S_OK;
    case kKGETagFont: {
      const KGEFont* font = tag.isDefault ? baseFont_ : GetTextServices().handles.FindFont(tag.handle);
      if (!font) return kNotATag;
      if (!fontStack_.Add(&font_)) return KGE_E_OUTOFMEMORY;
      font_ = font;
      runOpen_ = false;
      previous_ = nullptr;
      return KGE_S_OK;
    }
    case kKGETagFontEnd:
      if (fontStack_.Count() != 0) {
        font_ = fontStack_.Back();
        fontStack_.Pop();
        runOpen_ = false;
        previous_ = nullptr;
      }
      return KGE_S_OK;
    case kKGETagSpace: {
      const i32 hr = CloseWord();
      return hr < 0 ? hr : Blank(tag.number);
    }
    case kKGETagImage:
      return AddImage(tag);
    default:
      return kNotATag;
  }
}

// --- The walk -----------------------------------------------------------------------

template <typename Char>
i32 KGELayout::Layout(const KGEFont* font, const KGETEXTPARAMS* params, const Char* text, u32 length) {
  Begin(font, params);
  if (!font || !text) return KGE_S_OK;
  u32 cap = params_.maxChars;
  if (cap > kKGEMaxChars) cap = kKGEMaxChars;
  const u32 n = std::min(length, cap);
  const bool markup = (params_.flags & kKGEMarkup) != 0;
  u32 lastBreak = 0;
  i32 hr = KGE_S_OK;
  for (u32 i = 0; i < n && hr >= 0; ++i) {
    const u32 c = sizeof(Char) == 1 ? static_cast<u8>(text[i]) : static_cast<u32>(text[i]);
    if (markup && c == '<') {
      KGETAG tag;
      const u32 used = KGEParseTag(text + i, n - i, &tag);
      if (used != 0) {
        const i32 r = ApplyTag(tag);
        if (r != kNotATag) {
          hr = r;
          lastBreak = 0;
          i += used - 1;
          continue;
        }
      }
    }
    if (c == 10 || c == 13) {
      const u32 partner = c == 10 ? 13 : 10;
      if (lastBreak == partner) {
        lastBreak = 0;
        continue;
      }
      lastBreak = c;
      if (singleLine_) continue;
      hr = CloseWord();
      if (hr >= 0) hr = EndLine(kKGELineBreak, runs_.Count(), lineRight_);
      StartLine(runs_.Count());
      continue;
    }
    lastBreak = 0;
    if (c == 32) {
      hr = CloseWord();
      if (hr >= 0) hr = Blank(font_ ? font_->GetSpace() : 0);
      continue;
    }
    if (const KGEGLYPH* glyph = Lookup<Char>(font_, c)) hr = AddGlyph(glyph);
  }
  if (hr >= 0) hr = CloseWord();
  if (hr >= 0) hr = EndLine(kKGELineEnd, runs_.Count(), lineRight_);
  if (hr < 0) {
    Begin(font, params);
    return hr;
  }
  SpaceLines();
  Align();
  return KGE_S_OK;
}

template i32 KGELayout::Layout<wchar>(const KGEFont*, const KGETEXTPARAMS*, const wchar*, u32);
template i32 KGELayout::Layout<u8>(const KGEFont*, const KGETEXTPARAMS*, const u8*, u32);

// --- Placement ----------------------------------------------------------------------

i32 KGELayout::GlyphTop(const KGELINE& line, const KGERUN& run, const KGELAYOUTGLYPH& glyph) {
  return Clamp32(static_cast<i64>(line.y) + line.ascent - run.ascent + glyph.y);
}

i32 KGELayout::ImageLeft(const KGERUN& run) const {
  return Clamp32(static_cast<i64>(run.x) + images_[run.image].offsetX);
}

i32 KGELayout::ImageTop(const KGELINE& line, const KGERUN& run) const {
  const KGELAYOUTIMAGE& image = images_[run.image];
  i64 y = line.y;
  if (image.layout == 1) y += (static_cast<i64>(line.height) - image.height) / 2;
  if (image.layout == 2) y += static_cast<i64>(line.ascent) - image.height;
  return Clamp32(y + image.offsetY);
}

// --- Bracket names ------------------------------------------------------------------

i32 KGELayout::ExpandNames(const wchar* text, u32 length, u32 capacity, KGETEXTCALLBACK callback,
                           uintptr_t context1, uintptr_t context2, const wchar** out, u32* outLength) {
  if (capacity > kKGEMaxChars) capacity = kKGEMaxChars;
  if (!chars_.Reserve(capacity + 1)) return KGE_E_OUTOFMEMORY;
  wchar* buffer = chars_.Data();
  u32 o = 0;
  for (u32 i = 0; text && i < length && o < capacity;) {
    if (text[i] == u'[') {
      // The matching "]" of the outermost pair; brackets nest.
      u32 depth = 0, j = i;
      for (; j < length; ++j) {
        if (text[j] == u'[') ++depth;
        if (text[j] == u']' && --depth == 0) break;
      }
      if (j < length) {
        u32 written = 0;
        if (callback && callback(text + i + 1, j - i - 1, buffer + o, capacity - o, &written, context1, context2)) {
          o += std::min(written, capacity - o);
        } else {
          for (u32 k = i; k <= j && o < capacity; ++k) buffer[o++] = text[k];
        }
        i = j + 1;
        continue;
      }
    }
    buffer[o++] = text[i++];
  }
  buffer[o] = 0;
  if (out) *out = buffer;
  if (outLength) *outLength = o;
  return KGE_S_OK;
}
