// Pixel formats and one-pixel conversion. A colour in transit is a 32-bit ARGB
// word (B in bits 0-7, G 8-15, R 16-23, alpha 24-31). Every routine here is a
// free function on raw memory: nothing allocates, nothing logs, nothing talks
// to a device. Pixel memory is little-endian and may be unaligned.
#pragma once

#include "base/Types.h"
#include "engine/image/D3DFormat.h"

// The names and sizes come from the one format table of the platform's
// graphics device (platform/gfx/GfxFormats.h), which the device uses too.

// Copies the printed name of a format ("A8R8G8B8", "DXT1", "UNKNOWN" for 0)
// into buffer, cut to capacity - 1 characters and always terminated. False,
// with "Unknown" copied, for a code that is not in the table.
bool DXLGetFormatName(char* buffer, u32 capacity, u32 format);

u32 DXLGetFormatBytes(u32 format);   // bytes per pixel a bitmap stores; 0 when it stores none
u32 DXLGetFormatBits(u32 format);    // display bit depth: 32, 16 or 0
u32 DXLGetBitmapFormat(u32 format);  // the code itself when bitmaps and textures handle it, else 0
bool DXLIsDXTFormat(u32 format);     // "DXT1" to "DXT5"

// True when a texture of textureFormat takes pixels of bitmapFormat unchanged.
bool DXLIsFormatCompatible(u32 bitmapFormat, u32 textureFormat);

// Smallest power of two not below n; 0 for 0; 0x80000000 for anything above it.
u32 DXLNextPowerOfTwo(u32 n);

// Reads one pixel of formats 20 to 52 into ARGB. False (out untouched) for other codes.
bool DXLPixelToARGB(const void* pixel, u32 format, u32* out);
// Writes one ARGB colour as a pixel of formats 20 to 52 (format 20 stores a
// whole 32-bit word). False (nothing written) for other codes.
bool DXLARGBToPixel(u32 argb, u32 format, void* out);
// Bytes DXLARGBToPixel writes for one pixel of a format; 0 when it writes none.
u32 DXLGetPixelWriteSize(u32 format);

// Expands an R5G6B5 word to the bytes B, G, R, A (channels c * 255 / max
// truncated, alpha 255).
void DXLUnpack565(u16 word, u8* out4);

// The aspect ratio of a display mode as whole numbers in the order of the
// arguments (1024 x 768 gives 4 and 3); both 0 when a side is below 1.
void DXLGetAspectRatio(i32 width, i32 height, i32* ratioX, i32* ratioY);
