// The Targa reader's second entry, for texture loading: a file held in memory
// decoded straight into 32-bit ARGB rows, top row first, each pixel written
// once where the texture keeps it. The pixels are those DXLLoadBitmapTGA
// followed by a conversion to D3DFMT_A8R8G8B8 gives, without the bitmap,
// its row reversal and its packing. The rows must be zero when handed over
// (DecodedImage::Allocate makes them so): zero pixels are left unwritten.
#pragma once

#include <cstddef>

#include "base/Types.h"
#include "platform/gfx/GfxD3dx.h"

// False for a file the Targa reader does not take (out->argb is then left
// empty or unfinished). `fileFormat` is the bitmap format it would load as.
bool DXLDecodeTGA(const u8* data, size_t size, plat::gfx::DecodedImage* out);
