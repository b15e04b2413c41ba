// Targa writer: 32-bit true-colour pictures with 8 alpha bits, rows stored
// top to bottom, raw or run-length encoded (both read back by the Targa
// loader). The one writer of pictures for the game's tools: the font baker
// and the data builder.
#pragma once

#include <vector>

#include "base/Types.h"

// The file bytes of a width x height picture; `argb` holds its pixels as
// 0xAARRGGBB (straight alpha), `pitch` pixels apart from row to row (0: the
// width). Run-length packing is used when asked and when it is smaller.
// Empty for a size of 0 or above 65535 either way.
std::vector<u8> DXLEncodeTGA32(u32 width, u32 height, const u32* argb, u32 pitch = 0, bool runLength = false);
