#include "engine/image/PixelFormat.h"

#include <utility>

#include "base/LittleEndian.h"
#include "engine/image/PixelPack.h"
#include "platform/gfx/GfxFormats.h"

namespace {

// A channel of n bits (max = 2^n - 1) widened to a byte: round(v * 255 / max),
// halves up. With max odd the exact quotient never ends in one half, so the
// integer form below is exact.
inline u32 Widen(u32 v, u32 max) { return (v * 510u + max) / (2u * max); }

inline u32 Narrow(u32 c, u32 max) { return DXLNarrowChannel(c, max); }

// Weighted luminance 0.215 R + 0.715 G + 0.072 B, in thousandths to stay exact.
inline u32 LumaThousandths(u32 argb) {
  const u32 r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  return 215u * r + 715u * g + 72u * b;
}

inline u32 ComposeARGB(u32 a, u32 r, u32 g, u32 b) { return (a << 24) | (r << 16) | (g << 8) | b; }

}  // namespace

bool DXLGetFormatName(char* buffer, u32 capacity, u32 format) {
  const plat::gfx::FormatInfo* info = plat::gfx::FindFormatInfo(format);
  const char* name = info ? info->name : "Unknown";
  if (buffer && capacity > 0) {
    u32 i = 0;
    for (; name[i] && i + 1 < capacity; ++i) buffer[i] = name[i];
    buffer[i] = 0;
  }
  return info != nullptr;
}

u32 DXLGetFormatBytes(u32 format) { return plat::gfx::TexelBytes(format); }

u32 DXLGetPixelWriteSize(u32 format) {
  const plat::gfx::FormatInfo* info = plat::gfx::FindFormatInfo(format);
  return info ? info->writeBytes : 0;
}

u32 DXLGetFormatBits(u32 format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2R10G10B10:
      return 32;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      return 16;
    default:
      return 0;
  }
}

u32 DXLGetBitmapFormat(u32 format) { return DXLIsDXTFormat(format) || DXLGetFormatBytes(format) != 0 ? format : 0; }

bool DXLIsDXTFormat(u32 format) {
  const u32 top = format >> 24;
  return (format & 0xFFFFFFu) == 0x545844u && top >= 0x31 && top <= 0x35;
}

bool DXLIsFormatCompatible(u32 bitmapFormat, u32 textureFormat) {
  if (bitmapFormat == textureFormat) return true;
  if (bitmapFormat == D3DFMT_A8R8G8B8 || bitmapFormat == D3DFMT_X8R8G8B8)
    return textureFormat == D3DFMT_R8G8B8 || textureFormat == D3DFMT_A8R8G8B8 ||
           textureFormat == D3DFMT_X8R8G8B8;
  if (bitmapFormat == D3DFMT_X1R5G5B5 || bitmapFormat == D3DFMT_A1R5G5B5)
    return textureFormat == D3DFMT_X1R5G5B5 || textureFormat == D3DFMT_A1R5G5B5;
  return false;
}

u32 DXLNextPowerOfTwo(u32 n) {
  if (n == 0) return 0;
  u32 p = 1;
  while (p < n && p < 0x80000000u) p <<= 1;
  return p;
}

bool DXLPixelToARGB(const void* pixel, u32 format, u32* out) {
  const u8* p = static_cast<const u8*>(pixel);
  u32 v;
  switch (format) {
    case D3DFMT_R8G8B8:
      *out = 0;
      return true;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      *out = kis::GetU32LE(p);
      return true;
    case D3DFMT_R5G6B5:
      v = kis::GetU16LE(p);
      *out = ComposeARGB(255, Widen((v >> 11) & 31, 31), Widen((v >> 5) & 63, 63), Widen(v & 31, 31));
      return true;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      v = kis::GetU16LE(p);
      *out = ComposeARGB((v & 0x8000) ? 255 : 0, Widen((v >> 10) & 31, 31), Widen((v >> 5) & 31, 31),
                         Widen(v & 31, 31));
      return true;
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
      v = kis::GetU16LE(p);
      *out = ComposeARGB(((v >> 12) & 15) * 17, ((v >> 8) & 15) * 17, ((v >> 4) & 15) * 17, (v & 15) * 17);
      return true;
    case D3DFMT_R3G3B2:
      v = p[0];
      *out = ComposeARGB(255, Widen((v >> 5) & 7, 7), Widen((v >> 2) & 7, 7), Widen(v & 3, 3));
      return true;
    case D3DFMT_A8:
      *out = static_cast<u32>(p[0]) << 24;
      return true;
    case D3DFMT_A8R3G3B2:
      v = p[0];
      *out = ComposeARGB(p[1], Widen((v >> 5) & 7, 7), Widen((v >> 2) & 7, 7), Widen(v & 3, 3));
      return true;
    case D3DFMT_A2R10G10B10:
      v = kis::GetU32LE(p);
      *out = ComposeARGB(Widen(v >> 30, 3), Widen((v >> 20) & 1023, 1023), Widen((v >> 10) & 1023, 1023),
                         Widen(v & 1023, 1023));
      return true;
    case D3DFMT_L8:
      *out = ComposeARGB(255, p[0], p[0], p[0]);
      return true;
    case D3DFMT_A8L8:
      *out = ComposeARGB(p[1], p[0], p[0], p[0]);
      return true;
    case D3DFMT_A4L4:
      v = p[0];
      *out = ComposeARGB((v >> 4) * 17, (v & 15) * 17, (v & 15) * 17, (v & 15) * 17);
      return true;
    default:
      return false;
  }
}

bool DXLARGBToPixel(u32 argb, u32 format, void* out) {
  u8* p = static_cast<u8*>(out);
  const u32 a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  switch (format) {
    case D3DFMT_R8G8B8:
      kis::PutU32LE(p, argb | 0xFF000000u);
      return true;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      kis::PutU32LE(p, argb);
      return true;
    case D3DFMT_R5G6B5:
      kis::PutU16LE(p, DXLPackR5G6B5(argb));
      return true;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      kis::PutU16LE(p, DXLPackA1R5G5B5(argb));
      return true;
    case D3DFMT_A4R4G4B4:
    case D3DFMT_X4R4G4B4:
      kis::PutU16LE(p, DXLPackA4R4G4B4(argb));
      return true;
    case D3DFMT_R3G3B2:
      p[0] = static_cast<u8>((Narrow(r, 7) << 5) | (Narrow(g, 7) << 2) | Narrow(b, 3));
      return true;
    case D3DFMT_A8:
      p[0] = static_cast<u8>(a);
      return true;
    case D3DFMT_A8R3G3B2:
      p[0] = static_cast<u8>((Narrow(r, 7) << 5) | (Narrow(g, 7) << 2) | Narrow(b, 3));
      p[1] = static_cast<u8>(a);
      return true;
    case D3DFMT_A2R10G10B10:
      kis::PutU32LE(p, (Narrow(a, 3) << 30) | (Narrow(r, 1023) << 20) | (Narrow(g, 1023) << 10) |
                           Narrow(b, 1023));
      return true;
    case D3DFMT_L8:
      p[0] = static_cast<u8>(LumaThousandths(argb) / 1000u);
      return true;
    case D3DFMT_A8L8:
      p[0] = static_cast<u8>(LumaThousandths(argb) / 1000u);
      p[1] = static_cast<u8>(a);
      return true;
    case D3DFMT_A4L4: {
      // round(L / 255 * 15) on the exact luminance, not the truncated byte.
      const u32 l4 = (30u * LumaThousandths(argb) + 255000u) / 510000u;
      p[0] = static_cast<u8>(l4 | (Narrow(a, 15) << 4));
      return true;
    }
    default:
      return false;
  }
}

void DXLUnpack565(u16 word, u8* out4) {
  out4[0] = static_cast<u8>((word & 31u) * 255u / 31u);
  out4[1] = static_cast<u8>(((word >> 5) & 63u) * 255u / 63u);
  out4[2] = static_cast<u8>(((word >> 11) & 31u) * 255u / 31u);
  out4[3] = 255;
}

void DXLGetAspectRatio(i32 width, i32 height, i32* ratioX, i32* ratioY) {
  *ratioX = 0;
  *ratioY = 0;
  if (width < 1 || height < 1) return;
  const bool swapped = width < height;
  const i32 w = swapped ? height : width;
  const i32 h = swapped ? width : height;
  for (i32 k = 1; k <= h; ++k) {
    if (h % k != 0) continue;
    const i32 q = h / k;
    if (w % q != 0) continue;
    *ratioX = w / q;
    *ratioY = k;
    break;
  }
  if (swapped) std::swap(*ratioX, *ratioY);
}
