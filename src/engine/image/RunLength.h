// Run-length packets as in Targa files, used for packed bitmaps: a header byte
// h, then h + 1 raw elements (h < 128) or one element repeated (h & 127) + 1
// times (h >= 128). An element is 1, 2 or 4 bytes. The decoder is bounded on
// both sides and accepts only a stream that fills its output exactly.
#pragma once

#include "base/Types.h"

// Packs size bytes (a whole number of elements) into out, which has room for
// capacity bytes. Returns the packed length, or 0 when the packed stream would
// reach capacity bytes (packing is not worth it and is abandoned).
u64 DXLPackRunLength(const u8* in, u64 size, u32 element, u8* out, u64 capacity);

// Unpacks inSize bytes of packets into exactly outSize bytes. False when a
// packet is cut short or runs past the output, when input is left over, or
// when the output is not filled. out may be null to check a stream only.
bool DXLUnpackRunLength(const u8* in, u64 inSize, u32 element, u8* out, u64 outSize);
