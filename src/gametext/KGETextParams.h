// The parameter blocks of the game's text objects: KGETEXTPARAMS (how a text
// is laid out and coloured) and KGESPRITEPARAMS (how a text sprite's texture
// is sized and decorated), the flags of both, and the bracket-name callback
// through which the game inserts its own items into a text before layout.
#pragma once

#include <cstdint>

#include "base/Types.h"
#include "engine/image/GlyphEffects.h"
#include "gametext/KGEWinFont.h"

// Flags of KGETEXTPARAMS::flags.
constexpr u32 kKGEAlignMask = 0x3;        // 0 left, 1 centre, 2 right
constexpr u32 kKGEAlignCenter = 0x1;
constexpr u32 kKGEAlignRight = 0x2;
constexpr u32 kKGEJustify = 0x4;          // wrapped lines fill the wrap width
constexpr u32 kKGEVAlignMask = 0x30;      // in the rectangle: 0x10 centre, 0x20 bottom
constexpr u32 kKGEVAlignCenter = 0x10;
constexpr u32 kKGEVAlignBottom = 0x20;
constexpr u32 kKGEWrap = 0x100;           // wrap at wrapWidth
constexpr u32 kKGESingleLine = 0x200;     // line breaks and wrapping ignored
constexpr u32 kKGELineSpacing = 0x400;    // lines placed by lineSpacing
constexpr u32 kKGEMarkup = 0x800;         // the text holds mark-up
constexpr u32 kKGEFixedColor = 0x1000;    // color instead of the fonts' colours
constexpr u32 kKGEAlpha = 0x2000;         // the top byte of alpha for every glyph
constexpr u32 kKGESpacing = 0x4000;       // spacing instead of the fonts' tracking
constexpr u32 kKGELineGap = 0x8000;       // lineGap instead of the font's leading
constexpr u32 kKGERect = 0x10000;         // the layout rectangle is used
constexpr u32 kKGEOwnCopy = 0x20000;      // the text object keeps its own copy
constexpr u32 kKGEKeepExtra = 0x40000;    // extra is kept

constexpr u32 kKGEWholeText = 0x80000000u;
constexpr u32 kKGEMaxChars = 8192;
constexpr i32 kKGEFontSpacing = static_cast<i32>(0x80000000u);  // lineSpacing: the font's own

// Fifteen words; the two callback context words hold pointers and are
// pointer-sized.
struct KGETEXTPARAMS {
  u32 flags;
  u32 maxChars;      // 0x80000000: 8,192; never above 8,192 once set
  u32 color;         // RGB with kKGEFixedColor
  u32 alpha;         // top byte with kKGEAlpha
  i32 wrapWidth;     // with kKGEWrap
  i32 spacing;       // pixels after each glyph, with kKGESpacing
  i32 lineGap;       // pixels below each line, with kKGELineGap
  i32 left, top, right, bottom;  // with kKGERect; valid when right > left and bottom > top
  i32 lineSpacing;   // with kKGELineSpacing; kKGEFontSpacing: the font's own
  uintptr_t context1;  // handed to the bracket-name callback (the game's item kind)
  uintptr_t context2;  // likewise (the game's item object)
  u32 extra;         // kept with kKGEKeepExtra
};

// flags 0, maximum 0x80000000, colour 0xFFFFFFFF, every other word 0.
KGETEXTPARAMS KGEDefaultTextParams();

// Sprite flags.
constexpr u32 kKGESpriteMaxSize = 0x1;      // maxWidth and maxHeight bound the texture
constexpr u32 kKGESpriteRectSize = 0x4;     // with kKGESpriteMaxSize: the layout rectangle's size
constexpr u32 kKGESpriteKeepLarger = 0x3;   // flags & 3 == 3: a larger texture is kept
constexpr u32 kKGESpriteOutline = 0x10;     // outline (words 3-7)
constexpr u32 kKGESpriteShadow = 0x20;      // drop shadow (words 8-11)

// Twelve words: flags, the maximum texture size, an outline (words 3-7) and
// a drop shadow (words 8-11) drawn into the sprite's texture. The outline's
// radius is the margin added around the text, the shadow's offsets widen the
// texture on their side.
struct KGESPRITEPARAMS {
  u32 flags;
  i32 maxWidth;   // 0 or less: 2,048
  i32 maxHeight;
  DXLOUTLINE outline;
  KGESHADOW shadow;
};

// The callback receives the name between the outermost brackets (without
// them), where to write and how many characters fit there, and the text's
// context words. It returns true when its output (`*written` characters,
// never more than `room`) replaces the bracketed name; false keeps it.
using KGETEXTCALLBACK = bool (*)(const wchar* name, u32 nameLength, wchar* out, u32 room, u32* written,
                                 uintptr_t context1, uintptr_t context2);
