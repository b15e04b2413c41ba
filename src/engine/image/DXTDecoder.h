// Decoder of DXT1 to DXT5 block-compressed images into a plain pixel format.
// The blocks are read row by row, ceil(width / 4) blocks a row, the layout
// in which compressed images are stored; texels of the blocks at the right and
// bottom edge that fall outside the image are dropped. There is no encoder.
#pragma once

#include "base/Types.h"

// Bytes of DXT data that a width x height image of a DXT format needs (0 for
// other formats or an empty image).
u64 DXLGetDXTDataSize(i32 width, i32 height, u32 format);

// Decodes the DXT source (sourceSize bytes) into destination, a width x height
// image of destinationFormat with destinationBytes per pixel and no gap between
// rows. Returns 0, writing nothing, when the source format is not DXT, the
// destination format is DXT, destinationBytes is not 1, 2 or 4 or not the size
// of a destinationFormat pixel, or the source is shorter than the image needs;
// else 1.
int DXLDecodeDXT(i32 width, i32 height, void* destination, const void* source, u64 sourceSize,
                 u32 sourceFormat, u32 destinationFormat, u32 destinationBytes);
