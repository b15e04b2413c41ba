#include "engine/image/PixelProcess.h"

#include "base/LittleEndian.h"
#include "engine/image/PixelFormat.h"

namespace {

inline u32 LoadPixel(const u8* p, u32 bytes) {
  switch (bytes) {
    case 4:
      return kis::GetU32LE(p);
    case 2:
      return kis::GetU16LE(p);
    default:
      return p[0];
  }
}

inline void StorePixel(u8* p, u32 bytes, u32 v) {
  switch (bytes) {
    case 4:
      kis::PutU32LE(p, v);
      break;
    case 2:
      kis::PutU16LE(p, static_cast<u16>(v));
      break;
    default:
      p[0] = static_cast<u8>(v);
      break;
  }
}

// Colour bits of a pixel in the formats that take a colour key; 0 for the others.
u32 ColourMask(u32 format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 0xFFFFFFu;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      return 0x7FFFu;
    case D3DFMT_A4R4G4B4:
      return 0x0FFFu;
    case D3DFMT_A8L8:
      return 0xFFu;
    case D3DFMT_A4L4:
      return 0x0Fu;
    default:
      return 0;
  }
}

// Alpha bits flipped by the inversion; 0 for formats without alpha.
u32 AlphaMask(u32 format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      return 0xFF000000u;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      return 0x8000u;
    case D3DFMT_A4R4G4B4:
      return 0xF000u;
    case D3DFMT_A8:
      return 0xFFu;
    case D3DFMT_A8L8:
      return 0xFF00u;
    case D3DFMT_A4L4:
      return 0xF0u;
    default:
      return 0;
  }
}

void ApplyColourKey(u32 format, u8* p, u64 count, u32 bytes, u32 key) {
  const u32 mask = ColourMask(format);
  if (mask == 0) return;
  key &= mask;
  for (u64 i = 0; i < count; ++i, p += bytes) {
    const u32 v = LoadPixel(p, bytes);
    if ((v & mask) == key) StorePixel(p, bytes, v & mask);
  }
}

// Truncated luminance 0.215 R + 0.715 G + 0.072 B of an ARGB colour.
inline u32 Luma(u32 argb) {
  return (215u * ((argb >> 16) & 0xFF) + 715u * ((argb >> 8) & 0xFF) + 72u * (argb & 0xFF)) / 1000u;
}

void AlphaFromBrightness(u32 format, u8* p, u64 count, u32 bytes) {
  for (u64 i = 0; i < count; ++i, p += bytes) {
    const u32 v = LoadPixel(p, bytes);
    u32 argb = 0;
    switch (format) {
      case D3DFMT_A8R8G8B8:
      case D3DFMT_X8R8G8B8: {
        const u32 a = ((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) / 3;
        StorePixel(p, bytes, (v & 0xFFFFFFu) | (a << 24));
        break;
      }
      case D3DFMT_X1R5G5B5:
      case D3DFMT_A1R5G5B5:
        DXLPixelToARGB(p, format, &argb);
        StorePixel(p, bytes, (v & 0x7FFFu) | (Luma(argb) >= 128 ? 0x8000u : 0));
        break;
      case D3DFMT_A4R4G4B4:
        DXLPixelToARGB(p, format, &argb);
        StorePixel(p, bytes, (v & 0x0FFFu) | (((2u * Luma(argb) * 15u + 255u) / 510u) << 12));
        break;
      case D3DFMT_A8L8:
        StorePixel(p, bytes, (v & 0xFFu) | ((v & 0xFFu) << 8));
        break;
      case D3DFMT_A4L4:
        StorePixel(p, bytes, (v & 0x0Fu) | ((v & 0x0Fu) << 4));
        break;
      default:
        return;
    }
  }
}

void InvertAlpha(u32 format, u8* p, u64 count, u32 bytes) {
  const u32 mask = AlphaMask(format);
  if (mask == 0) return;
  for (u64 i = 0; i < count; ++i, p += bytes) StorePixel(p, bytes, LoadPixel(p, bytes) ^ mask);
}

struct EdgeFormat {
  u32 bytes;  // 0: not handled
  u32 keep;   // bits that a copied pixel keeps
};

EdgeFormat EdgeFormatOf(u32 format) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return {4, 0xFFFFFFu};
    case D3DFMT_X8R8G8B8:
      return {4, 0xFFFFFFFFu};
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_X4R4G4B4:
      return {2, 0xFFFFu};
    case D3DFMT_A1R5G5B5:
      return {2, 0x7FFFu};
    case D3DFMT_A4R4G4B4:
      return {2, 0x0FFFu};
    case D3DFMT_A8R3G3B2:
    case D3DFMT_A8L8:
      return {2, 0xFFu};
    case D3DFMT_R3G3B2:
    case D3DFMT_L8:
      return {1, 0xFFu};
    case D3DFMT_A8:
      return {1, 0};
    case D3DFMT_A4L4:
      return {1, 0x0Fu};
    default:
      return {0, 0};
  }
}

}  // namespace

void DXLProcessPixels(u32 format, i32 width, i32 height, void* pixels, u32 mode, u32 colour) {
  const u32 bytes = DXLGetFormatBytes(format);
  if (!pixels || width < 1 || height < 1 || bytes == 0) return;
  u8* p = static_cast<u8*>(pixels);
  const u64 count = static_cast<u64>(width) * static_cast<u64>(height);
  switch (mode) {
    case DXLPIXEL_COLORKEY: {
      u8 key[4] = {};
      DXLARGBToPixel(colour, format, key);
      ApplyColourKey(format, p, count, bytes, LoadPixel(key, bytes));
      break;
    }
    case DXLPIXEL_COLORKEY_FIRST:
      ApplyColourKey(format, p, count, bytes, LoadPixel(p, bytes));
      break;
    case DXLPIXEL_ALPHA_FROM_LUMA:
      AlphaFromBrightness(format, p, count, bytes);
      break;
    case DXLPIXEL_ALPHA_FROM_LUMA_INVERTED:
      AlphaFromBrightness(format, p, count, bytes);
      InvertAlpha(format, p, count, bytes);
      break;
    case DXLPIXEL_ALPHA_INVERT:
      InvertAlpha(format, p, count, bytes);
      break;
    default:
      break;
  }
}

void DXLExtendTextureEdges(u32 format, i32 width, i32 height, i32 pitchPixels, i32 textureHeight, void* pixels,
                           bool right, bool down) {
  if (!pixels || width < 0 || height < 0 || pitchPixels < 1 || textureHeight < 1) return;
  if (format < D3DFMT_A8R8G8B8 || format > D3DFMT_A4L4) return;
  const EdgeFormat ef = EdgeFormatOf(format);
  if (ef.bytes == 0) return;
  u8* base = static_cast<u8*>(pixels);
  const u64 pitchBytes = static_cast<u64>(pitchPixels) * ef.bytes;
  auto at = [&](i32 x, i32 y) { return base + static_cast<u64>(y) * pitchBytes + static_cast<u64>(x) * ef.bytes; };
  // An image without a last column or row has nothing to copy.
  const bool roomRight = right && width >= 1 && width < pitchPixels;
  const bool roomDown = down && height >= 1 && height < textureHeight;
  if (roomRight) {
    const i32 rows = height < textureHeight ? height : textureHeight;
    for (i32 y = 0; y < rows; ++y) StorePixel(at(width, y), ef.bytes, LoadPixel(at(width - 1, y), ef.bytes) & ef.keep);
  }
  if (roomDown) {
    const i32 cols = width < pitchPixels ? width : pitchPixels;
    for (i32 x = 0; x < cols; ++x)
      StorePixel(at(x, height), ef.bytes, LoadPixel(at(x, height - 1), ef.bytes) & ef.keep);
  }
  if (roomRight && roomDown) StorePixel(at(width, height), ef.bytes, LoadPixel(at(width - 1, height - 1), ef.bytes));
}
