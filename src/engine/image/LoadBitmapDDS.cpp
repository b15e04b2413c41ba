// DirectDraw surface loader: the first surface of a DXT1-DXT5 image or of an
// uncompressed image in one of the pixel layouts bitmaps store.
#include <cstring>
#include <memory>
#include <new>

#include "base/LittleEndian.h"
#include "engine/image/BitmapLoadHelpers.h"
#include "engine/image/DXTDecoder.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/PixelFormat.h"
#include "engine/image/StreamByteReader.h"

namespace {

constexpr u32 kMagic = 0x20534444;  // "DDS "
constexpr u32 kFlagLinearSize = 0x80000;
constexpr u32 kPixelAlphaPixels = 0x1, kPixelAlpha = 0x2, kPixelFourCC = 0x4, kPixelRGB = 0x40,
              kPixelLuminance = 0x20000;
constexpr u32 kCaps2CubeMap = 0x200, kCaps2Volume = 0x200000;

// The bitmap format of an uncompressed pixel layout; 0 when there is none.
u32 MapPixelFormat(u32 flags, u32 bits, u32 r, u32 g, u32 b) {
  if (flags & ~(kPixelAlphaPixels | kPixelAlpha | kPixelRGB | kPixelLuminance)) return 0;
  const u32 f = flags & ~kPixelRGB;
  auto masks = [&](u32 mr, u32 mg, u32 mb) { return r == mr && g == mg && b == mb; };
  switch (bits) {
    case 8:
      if (f == kPixelAlpha) return D3DFMT_A8;
      if (f == kPixelAlphaPixels) return D3DFMT_A4L4;
      if (f == kPixelLuminance) return D3DFMT_L8;
      return 0;
    case 16:
      if (f == (kPixelAlphaPixels | kPixelLuminance)) return D3DFMT_A8L8;
      if (f == kPixelAlphaPixels && masks(0x7C00, 0x3E0, 0x1F)) return D3DFMT_A1R5G5B5;
      if (f == kPixelAlphaPixels && masks(0xF00, 0xF0, 0xF)) return D3DFMT_A4R4G4B4;
      if (f == 0 && masks(0xF800, 0x7E0, 0x1F)) return D3DFMT_R5G6B5;
      if (f == 0 && masks(0x7C00, 0x3E0, 0x1F)) return D3DFMT_X1R5G5B5;
      return 0;
    case 24:
      if (f == 0 && masks(0xFF0000, 0xFF00, 0xFF)) return D3DFMT_X8R8G8B8;
      return 0;
    case 32:
      if (f == kPixelAlphaPixels && masks(0xFF0000, 0xFF00, 0xFF)) return D3DFMT_A8R8G8B8;
      if (f == 0 && masks(0xFF0000, 0xFF00, 0xFF)) return D3DFMT_X8R8G8B8;
      return 0;
    default:
      return 0;
  }
}

}  // namespace

void DXLLoadBitmapDDS(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 raw[128];
  if (!in.ReadExact(raw, sizeof raw)) return;
  if (kis::GetU32LE(raw) != kMagic || kis::GetU32LE(raw + 4) != 124) return;
  const u8* h = raw + 4;  // offsets below count from the header's size field
  const u32 flags = kis::GetU32LE(h + 4);
  const u32 height = kis::GetU32LE(h + 8), width = kis::GetU32LE(h + 12);
  const u32 linearSize = kis::GetU32LE(h + 16);
  const u32 pixelFlags = kis::GetU32LE(h + 76), fourCC = kis::GetU32LE(h + 80), bits = kis::GetU32LE(h + 84);
  const u32 rMask = kis::GetU32LE(h + 88), gMask = kis::GetU32LE(h + 92), bMask = kis::GetU32LE(h + 96);
  const u32 caps2 = kis::GetU32LE(h + 108);
  if (width == 0 || height == 0 || (caps2 & (kCaps2CubeMap | kCaps2Volume))) return;
  if (width > static_cast<u32>(DXLBitmap::kMaxSide) || height > static_cast<u32>(DXLBitmap::kMaxSide)) return;

  if (pixelFlags & kPixelFourCC) {
    if (!DXLIsDXTFormat(fourCC)) return;
    // The blocks the image needs; a stated linear size must cover them.
    const u64 size = DXLGetDXTDataSize(static_cast<i32>(width), static_cast<i32>(height), fourCC);
    if ((flags & kFlagLinearSize) && linearSize < size) return;
    const u32 header[6] = {fourCC, width, height, static_cast<u32>(size), 0, 0};
    if (!bitmap->SetFromHeader(header)) return;
    if (bitmap->GetPixels() && !in.ReadExact(bitmap->GetPixels(), size)) bitmap->Clear();
    return;
  }

  const u32 format = MapPixelFormat(pixelFlags, bits, rMask, gMask, bMask);
  if (format == 0) return;
  const u32 bytes = DXLGetFormatBytes(format);
  if (!bitmapload::Prepare(bitmap, format, width, height, bytes)) return;
  u8* pixels = bitmap->GetPixels();
  if (!pixels) return;
  if (bits != 24) {
    if (!in.ReadExact(pixels, bitmap->GetDataSize())) bitmapload::ZeroPixels(bitmap);
    return;
  }
  std::unique_ptr<u8[]> row(new (std::nothrow) u8[width * 3u]);
  if (!row) return;
  for (u32 y = 0; y < height; ++y) {
    if (!in.ReadExact(row.get(), width * 3u)) {
      bitmapload::ZeroPixels(bitmap);
      return;
    }
    u8* dst = pixels + static_cast<u64>(y) * width * 4;
    for (u32 x = 0; x < width; ++x) {
      std::memcpy(dst + 4 * x, row.get() + 3 * x, 3);
      dst[4 * x + 3] = 255;
    }
  }
}
