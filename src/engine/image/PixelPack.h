// Inline packing of ARGB colours into the 16-bit formats, shared by the
// one-pixel writer and the bitmap's bulk conversion so both give the same
// bits. Each channel of n bits takes round(c * (2^n - 1) / 255), halves up
// (with 2^n - 1 odd there are no exact halves, so integers are exact).
#pragma once

#include "base/Types.h"

inline u32 DXLNarrowChannel(u32 c, u32 max) { return (2u * c * max + 255u) / 510u; }

inline u16 DXLPackR5G6B5(u32 argb) {
  return static_cast<u16>((DXLNarrowChannel((argb >> 16) & 0xFF, 31) << 11) |
                          (DXLNarrowChannel((argb >> 8) & 0xFF, 63) << 5) | DXLNarrowChannel(argb & 0xFF, 31));
}

inline u16 DXLPackA1R5G5B5(u32 argb) {
  return static_cast<u16>((DXLNarrowChannel(argb >> 24, 1) << 15) |
                          (DXLNarrowChannel((argb >> 16) & 0xFF, 31) << 10) |
                          (DXLNarrowChannel((argb >> 8) & 0xFF, 31) << 5) | DXLNarrowChannel(argb & 0xFF, 31));
}

inline u16 DXLPackA4R4G4B4(u32 argb) {
  return static_cast<u16>((DXLNarrowChannel(argb >> 24, 15) << 12) |
                          (DXLNarrowChannel((argb >> 16) & 0xFF, 15) << 8) |
                          (DXLNarrowChannel((argb >> 8) & 0xFF, 15) << 4) | DXLNarrowChannel(argb & 0xFF, 15));
}
