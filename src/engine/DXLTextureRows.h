// Rows of pixels written into textures by the text and font code: n 32-bit
// ARGB source pixels each, converted into the destination's format.
#pragma once

#include "base/Types.h"

// Each destination pixel takes the colour's RGB; with factor exactly 1.0 it
// keeps the source alpha, else the source alpha x factor, rounded (halves up)
// and capped at 255. Source and destination may be the same row.
void DXLColorizePixels(const u32* source, u32* destination, u32 count, u32 color, float factor);
// 16-bit A8L8 pixels: luminance 255, alpha = the source's top byte.
void DXLAlphaToA8L8(const u32* source, u16* destination, u32 count);
// 16-bit A4R4G4B4 pixels: white, alpha = the high four bits of the source's
// second byte (the grey coverage of a glyph).
void DXLCoverageToA4R4G4B4(const u32* source, u16* destination, u32 count);
