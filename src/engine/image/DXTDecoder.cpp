#include "engine/image/DXTDecoder.h"

#include "base/LittleEndian.h"
#include "engine/image/PixelFormat.h"

namespace {

inline u32 ToARGB(const u8* bgra) {
  return static_cast<u32>(bgra[0]) | (static_cast<u32>(bgra[1]) << 8) | (static_cast<u32>(bgra[2]) << 16) |
         (static_cast<u32>(bgra[3]) << 24);
}

// The 16 texels of a colour block (8 bytes) as ARGB; alpha 255 except index 3
// of a three-colour DXT1 block.
void DecodeColourBlock(const u8* block, bool dxt1, u32* texels) {
  const u16 w0 = kis::GetU16LE(block), w1 = kis::GetU16LE(block + 2);
  u8 c[4][4];
  DXLUnpack565(w0, c[0]);
  DXLUnpack565(w1, c[1]);
  if (!dxt1 || w0 > w1) {
    for (int k = 0; k < 3; ++k) {
      c[2][k] = static_cast<u8>((2 * c[0][k] + c[1][k] + 1) / 3);
      c[3][k] = static_cast<u8>((c[0][k] + 2 * c[1][k] + 1) / 3);
    }
    c[2][3] = c[3][3] = 255;
  } else {
    for (int k = 0; k < 3; ++k) {
      c[2][k] = static_cast<u8>((c[0][k] + c[1][k]) / 2);
      c[3][k] = static_cast<u8>((c[0][k] + 2 * c[1][k] + 1) / 3);
    }
    c[2][3] = 255;
    c[3][3] = 0;
  }
  u32 palette[4];
  for (int i = 0; i < 4; ++i) palette[i] = ToARGB(c[i]);
  const u32 indices = kis::GetU32LE(block + 4);
  for (int t = 0; t < 16; ++t) texels[t] = palette[(indices >> (2 * t)) & 3];
}

// Explicit 4-bit alpha (DXT2, DXT3): one 16-bit word a row, lowest bits first.
void ApplyExplicitAlpha(const u8* block, u32* texels) {
  for (int row = 0; row < 4; ++row) {
    const u32 word = kis::GetU16LE(block + 2 * row);
    for (int col = 0; col < 4; ++col) {
      const u32 a = ((word >> (4 * col)) & 15) * 17;
      u32& t = texels[row * 4 + col];
      t = (t & 0xFFFFFFu) | (a << 24);
    }
  }
}

// Interpolated alpha (DXT4, DXT5): two end points and 3-bit indices.
void ApplyInterpolatedAlpha(const u8* block, u32* texels) {
  const u32 a0 = block[0], a1 = block[1];
  u32 palette[8] = {a0, a1, 0, 0, 0, 0, 0, 0};
  if (a0 > a1) {
    for (u32 i = 2; i < 8; ++i) palette[i] = ((8 - i) * a0 + (i - 1) * a1 + 3) / 7;
  } else {
    for (u32 i = 2; i < 6; ++i) palette[i] = ((6 - i) * a0 + (i - 1) * a1 + 2) / 5;
    palette[6] = 0;
    palette[7] = 255;
  }
  for (int group = 0; group < 2; ++group) {
    const u8* b = block + 2 + 3 * group;
    const u32 bits = static_cast<u32>(b[0]) | (static_cast<u32>(b[1]) << 8) | (static_cast<u32>(b[2]) << 16);
    for (int k = 0; k < 8; ++k) {
      u32& t = texels[group * 8 + k];
      t = (t & 0xFFFFFFu) | (palette[(bits >> (3 * k)) & 7] << 24);
    }
  }
}

}  // namespace

u64 DXLGetDXTDataSize(i32 width, i32 height, u32 format) {
  if (!DXLIsDXTFormat(format) || width <= 0 || height <= 0) return 0;
  const u64 blocks = ((static_cast<u64>(width) + 3) / 4) * ((static_cast<u64>(height) + 3) / 4);
  return blocks * (format == D3DFMT_DXT1 ? 8u : 16u);
}

int DXLDecodeDXT(i32 width, i32 height, void* destination, const void* source, u64 sourceSize,
                 u32 sourceFormat, u32 destinationFormat, u32 destinationBytes) {
  if (!DXLIsDXTFormat(sourceFormat) || DXLIsDXTFormat(destinationFormat)) return 0;
  if (destinationBytes != 1 && destinationBytes != 2 && destinationBytes != 4) return 0;
  if (DXLGetPixelWriteSize(destinationFormat) != destinationBytes) return 0;
  if (width <= 0 || height <= 0) return 1;
  if (!destination || !source || sourceSize < DXLGetDXTDataSize(width, height, sourceFormat)) return 0;

  const bool dxt1 = sourceFormat == D3DFMT_DXT1;
  const bool explicitAlpha = sourceFormat == D3DFMT_DXT2 || sourceFormat == D3DFMT_DXT3;
  const u32 blockBytes = dxt1 ? 8 : 16;
  const i32 blocksX = (width + 3) / 4, blocksY = (height + 3) / 4;
  const u8* block = static_cast<const u8*>(source);
  u8* dst = static_cast<u8*>(destination);
  const u64 rowBytes = static_cast<u64>(width) * destinationBytes;

  u32 texels[16];
  for (i32 by = 0; by < blocksY; ++by) {
    for (i32 bx = 0; bx < blocksX; ++bx, block += blockBytes) {
      if (dxt1) {
        DecodeColourBlock(block, true, texels);
      } else {
        DecodeColourBlock(block + 8, false, texels);
        if (explicitAlpha)
          ApplyExplicitAlpha(block, texels);
        else
          ApplyInterpolatedAlpha(block, texels);
      }
      for (i32 ty = 0; ty < 4; ++ty) {
        const i32 y = by * 4 + ty;
        if (y >= height) break;
        for (i32 tx = 0; tx < 4; ++tx) {
          const i32 x = bx * 4 + tx;
          if (x >= width) break;
          DXLARGBToPixel(texels[ty * 4 + tx], destinationFormat,
                         dst + static_cast<u64>(y) * rowBytes + static_cast<u64>(x) * destinationBytes);
        }
      }
    }
  }
  return 1;
}
