// Small steps shared by the bitmap file loaders.
#pragma once

#include <cstring>
#include <memory>

#include "base/Types.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"

namespace bitmapload {

// Gives the bitmap a plain format and size with zeroed pixels. False, with
// the bitmap unchanged, when the size breaks the bitmap limits.
inline bool Prepare(DXLBitmap* bitmap, u32 format, u64 width, u64 height, u32 bytesPerPixel) {
  if (width > static_cast<u64>(DXLBitmap::kMaxSide) || height > static_cast<u64>(DXLBitmap::kMaxSide)) return false;
  const u32 header[6] = {format, static_cast<u32>(width), static_cast<u32>(height),
                         static_cast<u32>(width * height * bytesPerPixel), 0, 0};
  return bitmap->SetFromHeader(header);
}

// Sets every pixel byte of a plain bitmap to 0 (pixels that did not arrive).
inline void ZeroPixels(DXLBitmap* bitmap) {
  if (bitmap->GetPixels()) std::memset(bitmap->GetPixels(), 0, bitmap->GetDataSize());
}

// Turns a bottom-up image of a plain bitmap the right way up.
inline void ReverseRows(DXLBitmap* bitmap) {
  u8* pixels = bitmap->GetPixels();
  const i32 h = bitmap->GetHeight();
  const u64 row = static_cast<u64>(bitmap->GetWidth()) * bitmap->GetBytesPerPixel();
  if (!pixels || h < 2 || row == 0 || bitmap->GetUnpackedSize() != 0) return;
  std::unique_ptr<u8[]> tmp(new u8[row]);
  for (i32 top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
    u8* a = pixels + static_cast<u64>(top) * row;
    u8* b = pixels + static_cast<u64>(bottom) * row;
    std::memcpy(tmp.get(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, tmp.get(), row);
  }
}

}  // namespace bitmapload
