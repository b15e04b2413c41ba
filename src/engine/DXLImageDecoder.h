// The image decoder of the utility-library stand-in: image files handed to
// texture loading (from disk or from memory) are read by the engine's bitmap
// file formats. The decoder recognises a file by its content, not its name:
// every registered reader with a signature is tried first and Targa, which
// has none, last. Installed when the viewer starts and removed at shutdown.
#pragma once

#include <cstddef>

#include "base/Types.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "platform/gfx/GfxD3dx.h"

// The engine's registry of bitmap file formats, made on first use and kept
// for the life of the program.
DXLBitmapFileFormats* DXLGetBitmapFileFormats();

// Decodes one image file held in memory into 32-bit ARGB pixels.
bool DXLDecodeImage(const u8* data, size_t size, plat::gfx::DecodedImage* out);

void DXLInstallImageDecoder();
void DXLRemoveImageDecoder();
