// Helpers for the bitmap loader tests: run a loader over crafted bytes and
// check the "unchanged" marker bitmap.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ByteStream.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/DXLBitmapFileFormats.h"

namespace testing_support {

// A 1 x 1 L8 bitmap holding 0x5A: loaders that refuse a file leave it so.
inline void MakeMarker(DXLBitmap& b) {
  b.SetFormat(D3DFMT_L8);
  b.SetSize(1, 1);
  b.GetPixels()[0] = 0x5A;
}

inline bool IsMarker(DXLBitmap& b) {
  return b.GetFormat() == D3DFMT_L8 && b.GetWidth() == 1 && b.GetHeight() == 1 && b.GetPixels() &&
         b.GetPixels()[0] == 0x5A;
}

inline void Load(DXLBitmapLoadProc loader, const std::vector<u8>& file, DXLBitmap& b) {
  ByteStream s(file);
  loader(&s, &b);
}

// Loads into a marker bitmap and expects it untouched.
inline void ExpectRefused(DXLBitmapLoadProc loader, const std::vector<u8>& file) {
  DXLBitmap b;
  MakeMarker(b);
  Load(loader, file, b);
  EXPECT_TRUE(IsMarker(b));
}

inline u32 PixelWord(DXLBitmap& b, i32 x, i32 y) {
  u32 v = 0;
  const u8* row = b.GetRow(y);
  if (row) std::memcpy(&v, row + 4 * x, 4);
  return v;
}

inline u16 PixelHalf(DXLBitmap& b, i32 x, i32 y) {
  u16 v = 0;
  const u8* row = b.GetRow(y);
  if (row) std::memcpy(&v, row + 2 * x, 2);
  return v;
}

inline bool AllZero(DXLBitmap& b) {
  const u8* p = b.GetPixelsUnlocked();
  if (!p) return false;
  for (u32 i = 0; i < b.GetDataSize(); ++i)
    if (p[i]) return false;
  return true;
}

}  // namespace testing_support
