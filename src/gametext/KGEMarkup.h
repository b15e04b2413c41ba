// The inline mark-up of the game's texts, tag by tag. A tag starts at "<"; its
// name is 1 to 8 letters (any case), blanks may stand around "=" and between
// attributes, and a value ends at a blank, "," or ">".
//
//   <br>                      line break
//   <color=RRGGBB> <c=...>    colour (up to 8 hex digits, alpha always opaque) or "default"
//   </color> </c>             back to the previous colour
//   <font=@HANDLE> / default  font by registry handle, or the text's own
//   </font>                   back to the previous font
//   <space=N>                 a blank N pixels wide
//   <image=@HANDLE ...>       an inline image (texture by registry handle) with
//                             the attributes color (colour, "current" or
//                             "default"), layout (top, center, bottom),
//                             width/w and height/h (number or "default"),
//                             offset=x,y and rect=l,t,w,h (w and h may be
//                             "default"), each at most once.
//
// A tag that does not follow these rules, in any detail, is not a tag: the
// caller shows its "<" as a character. Handles are only parsed here; whether
// they name a live object is the layout's question.
#pragma once

#include "base/Types.h"

enum KGETagKind : u32 {
  kKGETagNone = 0,
  kKGETagBreak,
  kKGETagColor,
  kKGETagColorEnd,
  kKGETagFont,
  kKGETagFontEnd,
  kKGETagSpace,
  kKGETagImage,
};

// Image colour modes.
constexpr u32 kKGEImageColorOwn = 0;      // the image's own colour
constexpr u32 kKGEImageColorValue = 1;
constexpr u32 kKGEImageColorCurrent = 2;  // the current text colour

constexpr i32 kKGEMarkupDefault = static_cast<i32>(0x80000000u);

struct KGETAG {
  u32 kind;
  bool isDefault;  // colour or font "default"
  u32 color;       // 0xFF000000 | RRGGBB
  u32 handle;      // font or image
  i32 number;      // space
  // Image attributes; sizes kKGEMarkupDefault when not given.
  u32 colorMode;
  u32 imageColor;
  u32 layout;      // 0 top, 1 centre, 2 bottom
  i32 width;
  i32 height;
  i32 offsetX;
  i32 offsetY;
  bool hasRect;
  i32 rect[4];     // left, top, width, height; the last two may be kKGEMarkupDefault
};

// Parses the tag at text[0] (which must be "<") within `length` code units.
// Returns the code units the tag takes, ">" included, or 0 when it is not a
// tag. Char is char16_t or u8.
template <typename Char>
u32 KGEParseTag(const Char* text, u32 length, KGETAG* tag);
