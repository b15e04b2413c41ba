#include "platform/gfx/GfxFormats.h"

#include <algorithm>
#include <cstring>

#include "platform/gfx/GfxTypes.h"

namespace plat::gfx {

namespace {

// A channel of `bits` bits scaled to 0..255, rounding halves up.
inline uint32_t Expand(uint32_t v, uint32_t bits) {
  const uint32_t max = (1u << bits) - 1;
  return (v * 510 + max) / (2 * max);
}

// A 0..255 channel packed into `bits` bits, rounding halves up.
inline uint32_t Pack(uint32_t c, uint32_t bits) {
  const uint32_t max = (1u << bits) - 1;
  return (c * max * 2 + 255) / 510;
}

inline uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

inline uint32_t Luminance(uint32_t argb) {
  const double l = 0.215 * ((argb >> 16) & 0xFF) + 0.715 * ((argb >> 8) & 0xFF) + 0.072 * (argb & 0xFF);
  return std::min<uint32_t>(255, static_cast<uint32_t>(l));
}

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// R5G6B5 expanded by plain integer scaling, as the engine's DXT decoder does,
// so a DXT image looks the same whichever side decodes it.
inline void Unpack565(uint32_t w, uint32_t* rgb) {
  rgb[0] = ((w >> 11) & 31) * 255 / 31;
  rgb[1] = ((w >> 5) & 63) * 255 / 63;
  rgb[2] = (w & 31) * 255 / 31;
}

void DecodeColourBlock(const uint8_t* block, bool dxt1, uint32_t* palette) {
  const uint32_t c0 = Get16(block), c1 = Get16(block + 2);
  uint32_t p0[3], p1[3];
  Unpack565(c0, p0);
  Unpack565(c1, p1);
  palette[0] = Argb(255, p0[0], p0[1], p0[2]);
  palette[1] = Argb(255, p1[0], p1[1], p1[2]);
  uint32_t p2[3], p3[3];
  const bool four = !dxt1 || c0 > c1;
  for (int i = 0; i < 3; ++i) {
    if (four) {
      p2[i] = (2 * p0[i] + p1[i] + 1) / 3;
    } else {
      p2[i] = (p0[i] + p1[i]) / 2;
    }
    p3[i] = (p0[i] + 2 * p1[i] + 1) / 3;
  }
  palette[2] = Argb(255, p2[0], p2[1], p2[2]);
  palette[3] = Argb(four ? 255 : 0, p3[0], p3[1], p3[2]);
}

void DecodeDxt(uint32_t format, const uint8_t* bits, uint32_t pitch, uint32_t width, uint32_t height,
               uint32_t* out) {
  const bool dxt1 = format == D3DFMT_DXT1;
  const bool explicitAlpha = format == D3DFMT_DXT2 || format == D3DFMT_DXT3;
  const uint32_t blockBytes = dxt1 ? 8 : 16;
  for (uint32_t by = 0; by < (height + 3) / 4; ++by) {
    const uint8_t* row = bits + static_cast<size_t>(by) * pitch;
    for (uint32_t bx = 0; bx < (width + 3) / 4; ++bx) {
      const uint8_t* block = row + static_cast<size_t>(bx) * blockBytes;
      uint32_t alpha[16];
      std::fill(alpha, alpha + 16, 255u);
      const uint8_t* colour = block;
      if (!dxt1) {
        colour = block + 8;
        if (explicitAlpha) {
          for (int i = 0; i < 16; ++i) alpha[i] = ((block[i / 2] >> ((i & 1) * 4)) & 15) * 17;
        } else {
          const uint32_t a0 = block[0], a1 = block[1];
          uint32_t table[8] = {a0, a1, 0, 0, 0, 0, 0, 255};
          if (a0 > a1) {
            for (uint32_t i = 2; i < 8; ++i) table[i] = ((8 - i) * a0 + (i - 1) * a1 + 3) / 7;
          } else {
            for (uint32_t i = 2; i < 6; ++i) table[i] = ((6 - i) * a0 + (i - 1) * a1 + 2) / 5;
          }
          for (int half = 0; half < 2; ++half) {
            const uint8_t* p = block + 2 + half * 3;
            const uint32_t idx = p[0] | (p[1] << 8) | (p[2] << 16);
            for (int i = 0; i < 8; ++i) alpha[half * 8 + i] = table[(idx >> (3 * i)) & 7];
          }
        }
      }
      uint32_t palette[4];
      DecodeColourBlock(colour, dxt1, palette);
      const uint32_t indices = Get32(colour + 4);
      for (uint32_t i = 0; i < 16; ++i) {
        const uint32_t x = bx * 4 + (i & 3), y = by * 4 + i / 4;
        if (x >= width || y >= height) continue;
        const uint32_t c = palette[(indices >> (2 * i)) & 3];
        const uint32_t a = dxt1 ? (c >> 24) : alpha[i];
        out[static_cast<size_t>(y) * width + x] = (c & 0x00FFFFFFu) | (a << 24);
      }
    }
  }
}

}  // namespace

bool IsDxtFormat(uint32_t format) { return format >= D3DFMT_DXT1 && format <= D3DFMT_DXT5; }

bool IsTextureFormat(uint32_t format) { return TexelBytes(format) != 0 || IsDxtFormat(format); }

const FormatInfo* FindFormatInfo(uint32_t format) {
  static constexpr FormatInfo kFormats[] = {
      {D3DFMT_UNKNOWN, "UNKNOWN", 0, 0},   {D3DFMT_R8G8B8, "R8G8B8", 0, 4},
      {D3DFMT_A8R8G8B8, "A8R8G8B8", 4, 4}, {D3DFMT_X8R8G8B8, "X8R8G8B8", 4, 4},
      {D3DFMT_R5G6B5, "R5G6B5", 2, 2},     {D3DFMT_X1R5G5B5, "X1R5G5B5", 2, 2},
      {D3DFMT_A1R5G5B5, "A1R5G5B5", 2, 2}, {D3DFMT_A4R4G4B4, "A4R4G4B4", 2, 2},
      {D3DFMT_R3G3B2, "R3G3B2", 0, 1},     {D3DFMT_A8, "A8", 1, 1},
      {D3DFMT_A8R3G3B2, "A8R3G3B2", 0, 2}, {D3DFMT_X4R4G4B4, "X4R4G4B4", 0, 2},
      {D3DFMT_A2R10G10B10, "A2R10G10B10", 0, 4},
      {D3DFMT_L8, "L8", 1, 1},             {D3DFMT_A8L8, "A8L8", 2, 2},
      {D3DFMT_A4L4, "A4L4", 1, 1},         {D3DFMT_DXT1, "DXT1", 0, 0},
      {D3DFMT_DXT2, "DXT2", 0, 0},         {D3DFMT_DXT3, "DXT3", 0, 0},
      {D3DFMT_DXT4, "DXT4", 0, 0},         {D3DFMT_DXT5, "DXT5", 0, 0},
  };
  for (const FormatInfo& f : kFormats)
    if (f.code == format) return &f;
  return nullptr;
}

uint32_t TexelBytes(uint32_t format) {
  const FormatInfo* info = FindFormatInfo(format);
  return info ? info->texelBytes : 0;
}

uint32_t SurfacePitch(uint32_t format, uint32_t width) {
  if (IsDxtFormat(format)) return ((width + 3) / 4) * (format == D3DFMT_DXT1 ? 8 : 16);
  return width * TexelBytes(format);
}

uint32_t SurfaceRows(uint32_t format, uint32_t height) {
  if (IsDxtFormat(format)) return (height + 3) / 4;
  return TexelBytes(format) ? height : 0;
}

uint32_t DecodeTexel(uint32_t format, const uint8_t* t) {
  switch (format) {
    case D3DFMT_A8R8G8B8:
      return Get32(t);
    case D3DFMT_X8R8G8B8:
      return Get32(t) | 0xFF000000u;
    case D3DFMT_R5G6B5: {
      const uint32_t w = Get16(t);
      return Argb(255, Expand(w >> 11, 5), Expand((w >> 5) & 63, 6), Expand(w & 31, 5));
    }
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5: {
      const uint32_t w = Get16(t);
      const uint32_t a = format == D3DFMT_X1R5G5B5 || (w & 0x8000) ? 255 : 0;
      return Argb(a, Expand((w >> 10) & 31, 5), Expand((w >> 5) & 31, 5), Expand(w & 31, 5));
    }
    case D3DFMT_A4R4G4B4: {
      const uint32_t w = Get16(t);
      return Argb(Expand(w >> 12, 4), Expand((w >> 8) & 15, 4), Expand((w >> 4) & 15, 4), Expand(w & 15, 4));
    }
    case D3DFMT_A8:
      return static_cast<uint32_t>(t[0]) << 24;
    case D3DFMT_L8:
      return Argb(255, t[0], t[0], t[0]);
    case D3DFMT_A8L8:
      return Argb(t[1], t[0], t[0], t[0]);
    case D3DFMT_A4L4: {
      const uint32_t l = Expand(t[0] & 15, 4);
      return Argb(Expand(t[0] >> 4, 4), l, l, l);
    }
    default:
      return 0;
  }
}

void EncodeTexel(uint32_t format, uint32_t argb, uint8_t* t) {
  const uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
  switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
      Put16(t, argb & 0xFFFF);
      Put16(t + 2, argb >> 16);
      break;
    case D3DFMT_R5G6B5:
      Put16(t, (Pack(r, 5) << 11) | (Pack(g, 6) << 5) | Pack(b, 5));
      break;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      Put16(t, (Pack(a, 1) << 15) | (Pack(r, 5) << 10) | (Pack(g, 5) << 5) | Pack(b, 5));
      break;
    case D3DFMT_A4R4G4B4:
      Put16(t, (Pack(a, 4) << 12) | (Pack(r, 4) << 8) | (Pack(g, 4) << 4) | Pack(b, 4));
      break;
    case D3DFMT_A8:
      t[0] = static_cast<uint8_t>(a);
      break;
    case D3DFMT_L8:
      t[0] = static_cast<uint8_t>(Luminance(argb));
      break;
    case D3DFMT_A8L8:
      t[0] = static_cast<uint8_t>(Luminance(argb));
      t[1] = static_cast<uint8_t>(a);
      break;
    case D3DFMT_A4L4:
      t[0] = static_cast<uint8_t>(Pack(Luminance(argb), 4) | (Pack(a, 4) << 4));
      break;
    default:
      break;
  }
}

void DecodeSurface(uint32_t format, const uint8_t* bits, uint32_t pitch, uint32_t width, uint32_t height,
                   uint32_t* out) {
  if (IsDxtFormat(format)) {
    DecodeDxt(format, bits, pitch, width, height, out);
    return;
  }
  const uint32_t bytes = TexelBytes(format);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = bits + static_cast<size_t>(y) * pitch;
    uint32_t* dst = out + static_cast<size_t>(y) * width;
    if (format == D3DFMT_A8R8G8B8) {
      std::memcpy(dst, row, static_cast<size_t>(width) * 4);
    } else if (format == D3DFMT_X8R8G8B8) {
      std::memcpy(dst, row, static_cast<size_t>(width) * 4);
      for (uint32_t x = 0; x < width; ++x) dst[x] |= 0xFF000000u;
    } else {
      for (uint32_t x = 0; x < width; ++x) dst[x] = DecodeTexel(format, row + x * bytes);
    }
  }
}

bool EncodeSurface(uint32_t format, const uint32_t* argb, uint32_t width, uint32_t height, uint8_t* bits,
                   uint32_t pitch) {
  const uint32_t bytes = TexelBytes(format);
  if (bytes == 0) return false;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = bits + static_cast<size_t>(y) * pitch;
    const uint32_t* src = argb + static_cast<size_t>(y) * width;
    for (uint32_t x = 0; x < width; ++x) EncodeTexel(format, src[x], row + x * bytes);
  }
  return true;
}

}  // namespace plat::gfx
