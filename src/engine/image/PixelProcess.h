// In-place treatments of raw pixel areas: colour keys, alpha from brightness,
// alpha inversion, and the edge extension used when an image sits in a larger
// power-of-two texture. Rows follow each other without gaps unless a pitch is
// given. Bad sizes, unknown formats and unknown modes do nothing.
#pragma once

#include "base/Types.h"

enum DXLPIXELMODE : u32 {
  DXLPIXEL_COLORKEY = 1,         // the given colour becomes transparent
  DXLPIXEL_COLORKEY_FIRST = 2,   // the colour of the first pixel becomes transparent
  DXLPIXEL_ALPHA_FROM_LUMA = 3,  // alpha from brightness
  DXLPIXEL_ALPHA_FROM_LUMA_INVERTED = 4,
  DXLPIXEL_ALPHA_INVERT = 5,
};

// Applies one of the modes above to width x height pixels of a format that
// bitmaps store. colour is the ARGB key of mode 1.
void DXLProcessPixels(u32 format, i32 width, i32 height, void* pixels, u32 mode, u32 colour);

// Copies the last column of the image into the column right of it (right) and
// the last row into the row below it (down), in a texture pitchPixels wide and
// textureHeight high; the copies keep their colour and lose their alpha. With
// both, the corner pixel below right takes the image's last pixel unchanged.
void DXLExtendTextureEdges(u32 format, i32 width, i32 height, i32 pitchPixels, i32 textureHeight, void* pixels,
                           bool right, bool down);
