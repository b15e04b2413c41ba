// Decorations of 32-bit ARGB images (bytes B, G, R, A per pixel), applied in
// place under the existing pixels: opaque pixels stay, transparent ones take
// the decoration, half-transparent ones are mixed. The shadow and glow layers
// decorate whole rendered texts; the drop shadow and the outline decorate one
// glyph image. None reports a result; bad arguments do nothing.
#pragma once

#include "base/Types.h"

struct DXLOUTLINE {
  u32 mode;      // 0: no outline
  float radius;  // outline width in pixels, 0 to 32
  u32 colour;    // ARGB; its alpha is the outline's full opacity
  u8 strength;   // glyph pixels with at least this alpha cast the outline (0 counts as 1)
  u32 soft;      // non-zero: half-transparent pixels cast an outline scaled by their alpha
};

void DXLMakeOutline(DXLOUTLINE* record, u32 mode, float radius, u32 colour, u8 strength, u32 soft);
bool DXLIsOutlineValid(const DXLOUTLINE* record);

// Shadow of the image offset by (dx, dy) in colour (its alpha scales the
// shadow), skipping source pixels equal to key (colour bits only when key is
// non-zero and below 0x1000000). The fourth argument is not used.
void DXLApplyShadowLayer(void* pixels, i32 width, i32 height, i32 ignored, i32 dx, i32 dy, u32 colour, u32 key);

// Glow of radius pixels (scaled by each pixel's alpha) around every pixel whose
// alpha reaches threshold. The fourth argument is not used.
void DXLApplyBlurLayer(void* pixels, i32 width, i32 height, i32 ignored, float radius, u32 colour, u32 threshold);

// Drop shadow of a glyph image offset by (dx, dy). pitch is in pixels; -1
// means the width.
void DXLDrawGlyph(i32 width, i32 height, i32 pitch, void* pixels, bool enable, i32 dx, i32 dy, u32 colour);

// Outline around a glyph image. pitch as for DXLDrawGlyph.
void DXLDrawGlyphOutline(i32 width, i32 height, i32 pitch, void* pixels, DXLOUTLINE outline);

