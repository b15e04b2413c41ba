// KGEPenWalk - the walk of a pen along a line of text in a KGEFont, shared by
// measuring, hit-testing and drawing in the font and by the text layout. It
// classifies each code unit (line break, space, glyph or ignored) and moves
// the pen; the caller decides what a line break does.
//
// Rules:
// - 10 and 13 break a line; the second of a CR LF or LF CR pair is ignored,
//   so each such pair breaks once (CR CR breaks twice).
// - 32 is a space; any other code takes its glyph, the font's default glyph
//   when it has none, and is ignored when there is neither.
// - A glyph starts at the pen, moved by the kerning pair that the previous
//   glyph has for it, but never left of the previous glyph's start. Spaces
//   and line starts end a kerning pair: only glyphs side by side kern.
// - The pen never moves back: tracking and kerning can only hold it.
// Positions are 64-bit, so advances from any font cannot wrap.
//
// `Char` is char16_t (the font's code index) or u8 (the byte index).
#pragma once

#include <algorithm>

#include "base/Types.h"
#include "gametext/KGEFont.h"

template <typename Char>
class KGEPenWalk {
 public:
  enum Kind : u32 { kIgnored = 0, kBreak = 1, kSpace = 2, kGlyph = 3 };
  static constexpr i32 kPendingSpace = static_cast<i32>(0x80000000u);

  explicit KGEPenWalk(const KGEFont* font)
      : font_(font),
        index_(IndexOf(font)),
        glyphs_(font ? font->GetGlyphs() : nullptr),
        glyphCount_(font ? font->GetGlyphCount() : 0),
        defaultGlyph_(font ? font->GetDefaultGlyph() : nullptr),
        space_(font ? font->GetSpace() : 0),
        tracking_(font ? font->GetTracking() : 0) {}

  // The kind of `c`; a glyph character leaves its glyph in Glyph().
  Kind Classify(Char c) {
    const u32 code = static_cast<u32>(c);
    if (code == 10 || code == 13) {
      const u32 partner = code == 10 ? 13 : 10;
      if (lastBreak_ == partner) {
        lastBreak_ = 0;
        return kIgnored;
      }
      lastBreak_ = code;
      return kBreak;
    }
    lastBreak_ = 0;
    if (code == 32) {
      pendingSpace_ = space_;
      return kSpace;
    }
    glyph_ = Lookup(code);
    return glyph_ ? kGlyph : kIgnored;
  }

  // Advances by w, or by the pending space width for kPendingSpace.
  void Space(i32 w = kPendingSpace) {
    i64 width = w == kPendingSpace ? pendingSpace_ : w;
    if (width < 0) width = 0;
    right_ = std::max(right_, pen_ + width);
    pen_ = std::max(pen_, pen_ + width + tracking_);
    previous_ = nullptr;
  }

  // Places the glyph that Classify found.
  void PlaceGlyph() {
    const KGEGLYPH* g = glyph_;
    if (!g) return;
    i64 start = pen_;
    if (previous_ && previous_->kernCount != 0) {
      if (const KGEKERNPAIR* pair = font_->FindKerning(previous_, g)) {
        const i64 kerned = pen_ + pair->amount;
        start = kerned > glyphStart_ ? kerned : glyphStart_;
      }
    }
    glyphStart_ = start;
    previous_ = g;
    right_ = std::max(right_, start + g->advance);
    pen_ = std::max(pen_, start + g->advance + tracking_);
  }

  // Moves y below the line (height and leading, never upwards) and starts a
  // new line.
  void EndLine(i64& y) {
    if (font_) y = std::max(y, y + font_->GetHeight() + font_->GetLeading());
    StartLine();
  }

  void StartLine() {
    pen_ = 0;
    right_ = 0;
    glyphStart_ = 0;
    previous_ = nullptr;
  }

  const KGEGLYPH* Glyph() const { return glyph_; }
  i64 Pen() const { return pen_; }
  i64 Right() const { return right_; }
  i64 GlyphStart() const { return glyphStart_; }
  i32 PendingSpace() const { return pendingSpace_; }

 private:
  static const u16* IndexOf(const KGEFont* font) {
    if (!font) return nullptr;
    if constexpr (sizeof(Char) == 1) {
      return font->GetByteIndex();
    } else {
      return font->GetCodeIndex();
    }
  }

  const KGEGLYPH* Lookup(u32 code) const {
    if (index_ && glyphs_) {
      const u32 slot = sizeof(Char) == 1 ? (code & 0xFF) : (code & 0xFFFF);
      const u16 i = index_[slot];
      if (i != KGEFont::kNoGlyph && i < glyphCount_) return &glyphs_[i];
    }
    return defaultGlyph_;
  }

  const KGEFont* font_;
  const u16* index_;
  const KGEGLYPH* glyphs_;
  u32 glyphCount_;
  const KGEGLYPH* defaultGlyph_;
  i32 space_;
  i32 tracking_;
  i32 pendingSpace_ = 0;
  u32 lastBreak_ = 0;
  const KGEGLYPH* glyph_ = nullptr;
  const KGEGLYPH* previous_ = nullptr;
  i64 glyphStart_ = 0;
  i64 pen_ = 0;
  i64 right_ = 0;
};
