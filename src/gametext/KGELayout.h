// KGELayout - the layout engine of the game's text objects: turns a text, a
// font and a KGETEXTPARAMS block into positioned glyphs grouped in runs and
// lines, with word wrapping, justification, line spacing, alignment in a
// rectangle and, with kKGEMarkup, the inline mark-up of KGEMarkup.h. It also
// expands bracketed names through the game's callback before layout.
//
// One engine is shared by all texts and lays out one text at a time; its
// arrays are reused between layouts and only grow. A null font gives an empty
// layout. Positions:
// - a glyph's x is relative to its run's x, its y is the glyph's own offset;
// - a run's x is on the line, alignment included; every blank is a space run
//   of its own (nothing to draw), kept on the line it ends;
// - a line's y is its top; a glyph sits at line y + (line ascent - run ascent)
//   + glyph y, so fonts of one line share a base line;
// - an image sits at run x + offset x and line y + its placement + offset y.
// Mark-up fonts and images are found in the game's handle registry
// (TextServices::handles); an unknown handle leaves the tag as text. The
// engine all texts share is TextServices::layout (TextServices.h).
#pragma once

#include "base/Types.h"
#include "engine/DXLRect.h"
#include "gametext/KGEFont.h"
#include "gametext/KGEGrowArray.h"
#include "gametext/KGEMarkup.h"
#include "gametext/KGETextParams.h"

class DXLTexture;

// Run kinds.
constexpr u32 kKGERunSpace = 1;
constexpr u32 kKGERunGlyphs = 2;
constexpr u32 kKGERunImage = 3;

// Line end kinds.
constexpr u32 kKGELineWrapped = 0;
constexpr u32 kKGELineBreak = 1;
constexpr u32 kKGELineEnd = 2;

struct KGELAYOUTGLYPH {
  i32 x;                  // from the run's x
  i32 y;                  // the glyph's y offset
  const KGEGLYPH* glyph;  // in the run's font
  u32 color;              // ARGB
};

struct KGERUN {
  u32 kind;
  i32 x;
  i32 width;
  const KGEFont* font;  // glyph runs
  i32 ascent;           // of the font, or of the image
  u32 first;            // first glyph
  u32 count;            // glyphs
  i32 weight;           // gaps the run carries for justification
  u32 image;            // image runs: index in the image list
};

struct KGELINE {
  u32 endKind;
  i32 y;
  i32 width;
  i32 ascent;    // largest on the line
  i32 height;    // line height
  u32 firstRun;
  u32 runCount;
  i32 maxAscent;
  i32 maxHeight;
  i32 x;         // horizontal shift of the alignment pass
};

struct KGELAYOUTIMAGE {
  DXLTexture* texture;
  DXLRECT source;  // part of the image shown
  i32 width;       // size drawn
  i32 height;
  i32 offsetX;
  i32 offsetY;
  u32 color;       // ARGB
  u32 layout;      // 0 top, 1 centre, 2 bottom
};

class KGELayout {
 public:
  KGELayout() = default;
  KGELayout(const KGELayout&) = delete;
  KGELayout& operator=(const KGELayout&) = delete;

  // Lays out `length` code units (at most the block's maximum) of a wide
  // (char16_t) or 8-bit (u8) text. Fails only when out of memory.
  template <typename Char>
  i32 Layout(const KGEFont* font, const KGETEXTPARAMS* params, const Char* text, u32 length);

  // Copies the text into the engine's character buffer (at most `capacity`
  // characters), replacing each outermost bracketed name that the callback
  // takes. *out points at the NUL-terminated result, *outLength its length.
  i32 ExpandNames(const wchar* text, u32 length, u32 capacity, KGETEXTCALLBACK callback, uintptr_t context1,
                  uintptr_t context2, const wchar** out, u32* outLength);

  const KGETEXTPARAMS& Params() const { return params_; }
  const KGEFont* Font() const { return baseFont_; }
  u32 GlyphCount() const { return glyphs_.Count(); }
  const KGELAYOUTGLYPH* Glyphs() const { return glyphs_.Data(); }
  u32 RunCount() const { return runs_.Count(); }
  const KGERUN* Runs() const { return runs_.Data(); }
  u32 LineCount() const { return lines_.Count(); }
  const KGELINE* Lines() const { return lines_.Data(); }
  u32 ImageCount() const { return images_.Count(); }
  const KGELAYOUTIMAGE* Images() const { return images_.Data(); }
  i32 Width() const { return width_; }    // widest line
  i32 Height() const { return height_; }  // lowest line bottom
  // Top of a glyph of `run` on `line`, and top-left of an image run.
  static i32 GlyphTop(const KGELINE& line, const KGERUN& run, const KGELAYOUTGLYPH& glyph);
  i32 ImageLeft(const KGERUN& run) const;
  i32 ImageTop(const KGELINE& line, const KGERUN& run) const;

 private:
  struct ColorState {
    bool useFont;
    u32 rgb;
  };

  void Begin(const KGEFont* font, const KGETEXTPARAMS* params);
  template <typename Char>
  const KGEGLYPH* Lookup(const KGEFont* font, u32 code) const;
  i32 AddGlyph(const KGEGLYPH* glyph);
  i32 AddImage(const KGETAG& tag);
  i32 StartWordItem();
  i32 Blank(i64 width);
  i32 CloseWord();
  i32 EndLine(u32 kind, u32 runEnd, i64 width);
  void StartLine(u32 firstRun);
  void LineMetrics(u32 firstRun, u32 runEnd, i32* ascent, i32* height) const;
  void Justify(KGELINE& line);
  void SpaceLines();
  void Align();
  i32 Spacing() const;
  u32 GlyphColor() const;
  i32 ApplyTag(const KGETAG& tag);

  KGETEXTPARAMS params_{};
  const KGEFont* baseFont_ = nullptr;
  const KGEFont* font_ = nullptr;
  bool rectValid_ = false;
  bool wrap_ = false;
  bool justify_ = false;
  bool lineSpacing_ = false;
  bool alphaOverride_ = false;
  bool singleLine_ = false;
  i32 leading_ = 0;
  ColorState color_{true, 0xFFFFFF};

  // Walk state.
  i64 pen_ = 0;
  i64 lineRight_ = 0;
  i64 y_ = 0;
  u32 wordState_ = 0;  // 0 line start, 1 after a blank, 2 in a word
  i64 pendingSpace_ = 0;
  u32 lineFirstRun_ = 0;
  u32 lineItems_ = 0;  // glyphs and images on the line
  u32 wordFirstRun_ = 0;
  u32 wordItemsBefore_ = 0;
  i64 wordStart_ = 0;
  i64 rightBeforeWord_ = 0;
  bool wordGap_ = false;
  bool runOpen_ = false;
  const KGEGLYPH* previous_ = nullptr;
  i64 previousStart_ = 0;

  i32 width_ = 0;
  i32 height_ = 0;

  KGEGrowArray<ColorState> colorStack_;
  KGEGrowArray<const KGEFont*> fontStack_;
  KGEGrowArray<KGELAYOUTGLYPH> glyphs_;
  KGEGrowArray<KGERUN> runs_;
  KGEGrowArray<KGELINE> lines_;
  KGEGrowArray<KGELAYOUTIMAGE> images_;
  KGEGrowArray<wchar> chars_;
};
