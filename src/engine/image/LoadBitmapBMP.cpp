// Windows bitmap and icon loaders. Both read the same device-independent
// colour data: 1, 4 and 8-bit indices into a colour table, 16-bit X1R5G5B5,
// 24-bit B, G, R and 32-bit B, G, R, A pixels, rows padded to 4 bytes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/LittleEndian.h"
#include "engine/image/BitmapLoadHelpers.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/StreamByteReader.h"

namespace {

// The bitmap format for a colour depth; 0 when the depth is not loaded at all.
u32 FormatForBits(u32 bits) {
  if (bits == 16) return D3DFMT_X1R5G5B5;
  if (bits < 24 || bits == 24 || bits == 32) return D3DFMT_X8R8G8B8;
  return 0;
}

// Reads a colour table and the pixel rows into a prepared bitmap of width x
// height. Rows land bottom-up unless topDown. Indices beyond the table give
// opaque black; "colours used" above 2^bits is read past but not used. Returns
// false after a short read, with the pixels zero-filled.
bool ReadColourData(StreamByteReader& in, DXLBitmap* bitmap, u32 bits, u32 coloursUsed, bool topDown,
                    bool keepAlpha) {
  u8* pixels = bitmap->GetPixels();
  const i32 width = bitmap->GetWidth(), height = bitmap->GetHeight();
  u32 palette[256];
  std::fill(palette, palette + 256, 0xFF000000u);
  const bool indexed = bits == 1 || bits == 4 || bits == 8;
  if (indexed) {
    const u64 limit = 1ull << bits;
    const u64 entries = coloursUsed == 0 ? limit : coloursUsed;
    const u64 used = std::min(entries, limit);
    u8 table[256 * 4];
    if (!in.ReadExact(table, used * 4) || !in.Skip((entries - used) * 4)) {
      bitmapload::ZeroPixels(bitmap);
      return false;
    }
    for (u64 i = 0; i < used; ++i) palette[i] = kis::GetU32LE(table + 4 * i) | 0xFF000000u;
  } else if (bits != 16 && bits != 24 && bits != 32) {
    return true;  // a depth we don't read: the pixels stay zero
  }
  if (!pixels) return true;

  const u64 stride = ((static_cast<u64>(bits) * static_cast<u64>(width) + 31) / 32) * 4;
  const u64 rowBytes = static_cast<u64>(width) * bitmap->GetBytesPerPixel();
  std::unique_ptr<u8[]> row(new (std::nothrow) u8[stride]);
  if (!row) return false;
  for (i32 r = 0; r < height; ++r) {
    if (!in.ReadExact(row.get(), stride)) {
      bitmapload::ZeroPixels(bitmap);
      return false;
    }
    const i32 y = topDown ? r : height - 1 - r;
    u8* dst = pixels + static_cast<u64>(y) * rowBytes;
    const u8* src = row.get();
    if (indexed) {
      const u32 perByte = 8 / bits, mask = (1u << bits) - 1;
      for (i32 x = 0; x < width; ++x) {
        const u32 shift = 8 - bits * (1 + static_cast<u32>(x) % perByte);
        const u32 index = (src[static_cast<u32>(x) / perByte] >> shift) & mask;
        kis::PutU32LE(dst + 4 * static_cast<u64>(x), palette[index]);
      }
    } else if (bits == 16) {
      std::memcpy(dst, src, rowBytes);
    } else if (bits == 24) {
      for (i32 x = 0; x < width; ++x, src += 3, dst += 4) {
        std::memcpy(dst, src, 3);
        dst[3] = 255;
      }
    } else {
      std::memcpy(dst, src, rowBytes);
      if (!keepAlpha)
        for (i32 x = 0; x < width; ++x) dst[4 * x + 3] = 255;
    }
  }
  return true;
}

}  // namespace

void DXLLoadBitmapBMP(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 file[14], sizeField[4];
  if (!in.ReadExact(file, sizeof file) || file[0] != 0x42 || file[1] != 0x4D) return;
  if (!in.ReadExact(sizeField, sizeof sizeField)) return;
  const u32 infoSize = kis::GetU32LE(sizeField);

  if (infoSize == 12) {
    // Core header: 16-bit sides; B, G, R pixels without row padding, bottom-up.
    u8 core[8];
    if (!in.ReadExact(core, sizeof core)) return;
    const u32 width = kis::GetU16LE(core), height = kis::GetU16LE(core + 2);
    if (!bitmapload::Prepare(bitmap, D3DFMT_X8R8G8B8, width, height, 4)) return;
    u8* pixels = bitmap->GetPixels();
    if (!pixels) return;
    std::unique_ptr<u8[]> row(new u8[width * 3u]);
    for (u32 r = 0; r < height; ++r) {
      if (!in.ReadExact(row.get(), width * 3u)) {
        bitmapload::ZeroPixels(bitmap);
        return;
      }
      u8* dst = pixels + static_cast<u64>(height - 1 - r) * width * 4;
      for (u32 x = 0; x < width; ++x) {
        std::memcpy(dst + 4 * x, row.get() + 3 * x, 3);
        dst[4 * x + 3] = 255;
      }
    }
    return;
  }

  // Info header of 40 bytes or more; only the first 40 are used.
  if (infoSize < 40) return;
  u8 info[36];
  if (!in.ReadExact(info, sizeof info) || !in.Skip(infoSize - 40)) return;
  const i32 width = static_cast<i32>(kis::GetU32LE(info));
  const i64 signedHeight = static_cast<i32>(kis::GetU32LE(info + 4));
  const u32 planes = kis::GetU16LE(info + 8), bits = kis::GetU16LE(info + 10);
  const u32 compression = kis::GetU32LE(info + 12), coloursUsed = kis::GetU32LE(info + 28);
  if (width < 0 || planes != 1 || compression != 0) return;
  const bool topDown = signedHeight < 0;
  const u64 height = static_cast<u64>(topDown ? -signedHeight : signedHeight);
  const u32 format = FormatForBits(bits);
  if (format == 0) return;
  if (!bitmapload::Prepare(bitmap, format, static_cast<u64>(width), height, format == D3DFMT_X1R5G5B5 ? 2 : 4))
    return;
  ReadColourData(in, bitmap, bits, coloursUsed, topDown, false);
  if (bits == 16) bitmap->SetFormatField(D3DFMT_A1R5G5B5);
}

void DXLLoadBitmapICO(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 dir[6];
  if (!in.ReadExact(dir, sizeof dir)) return;
  const u32 count = kis::GetU16LE(dir + 4);
  // Icons (type 1 and anything else) are read by the rules below as they
  // stand. Cursor files (type 2) go through this reader too, because the
  // game's own cursors are loaded as textures through the image decoder and
  // must look as the system would draw them: a cursor entry keeps its
  // hotspot where an icon's has its planes and bit count
  // (DXLReadCursorHotspot), so for a cursor the "planes, colour count and
  // reserved all 0" refusal is skipped (a hotspot x of 0 is common), the
  // mask is decided by the info header's bit count instead of the entry's,
  // and the pixels are labelled A8R8G8B8 so the arrow keeps its alpha.
  const bool cursor = kis::GetU16LE(dir + 2) == kIconTypeCursor;
  if (count == 0) return;
  u8 entry[16];
  for (u32 i = 0; i < count; ++i)
    if (!in.ReadExact(entry, sizeof entry)) return;
  const u32 width = entry[0], height = entry[1];
  const u32 entryBits = kis::GetU16LE(entry + 6);
  if (!cursor && kis::GetU16LE(entry + 4) == 0 && entry[2] == 0 && entry[3] == 0) return;
  if (!in.SeekTo(kis::GetU32LE(entry + 12))) return;
  u8 info[40];
  if (!in.ReadExact(info, sizeof info)) return;
  const u32 planes = kis::GetU16LE(info + 12), bits = kis::GetU16LE(info + 14);
  const u32 compression = kis::GetU32LE(info + 16), coloursUsed = kis::GetU32LE(info + 32);
  if (planes == 0 || compression != 0) return;
  const u32 format = FormatForBits(bits);
  if (format == 0) return;
  const bool sixteen = format == D3DFMT_X1R5G5B5;
  if (!bitmapload::Prepare(bitmap, format, width, height, sixteen ? 2 : 4)) return;
  if (sixteen) bitmap->SetFormatField(D3DFMT_A1R5G5B5);
  if (bitmap->IsEmpty()) return;
  // Icons are stored bottom-up; the colour data and the mask land the right
  // way up directly.
  if (!ReadColourData(in, bitmap, bits, coloursUsed, false, true)) return;
  // A cursor is drawn over the game: its pixels keep the alpha they carry
  // (32 bits) or that the mask gives them; an icon stays as its depth says.
  if (cursor && !sixteen) bitmap->SetFormatField(D3DFMT_A8R8G8B8);
  if ((cursor ? bits : entryBits) >= 32) return;

  // The AND mask: a set bit makes the pixel transparent, a clear bit opaque.
  const u64 stride = ((static_cast<u64>(width) + 31) / 32) * 4;
  u8 row[32];
  u8* pixels = bitmap->GetPixels();
  for (u32 r = 0; r < height; ++r) {
    if (!in.ReadExact(row, stride)) {
      bitmapload::ZeroPixels(bitmap);
      return;
    }
    const u32 y = height - 1 - r;
    for (u32 x = 0; x < width; ++x) {
      const bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
      if (sixteen) {
        u8* p = pixels + (static_cast<u64>(y) * width + x) * 2;
        p[1] = static_cast<u8>(transparent ? (p[1] & 0x7F) : (p[1] | 0x80));
      } else {
        pixels[(static_cast<u64>(y) * width + x) * 4 + 3] = transparent ? 0 : 255;
      }
    }
  }
}

bool DXLReadCursorHotspot(kis::Stream* stream, i32* x, i32* y) {
  if (!stream || !x || !y) return false;
  StreamByteReader in(stream);
  u8 dir[6];
  if (!in.ReadExact(dir, sizeof dir) || kis::GetU16LE(dir + 2) != kIconTypeCursor) return false;
  const u32 count = kis::GetU16LE(dir + 4);
  if (count == 0) return false;
  u8 entry[16];
  for (u32 i = 0; i < count; ++i)
    if (!in.ReadExact(entry, sizeof entry)) return false;
  *x = kis::GetU16LE(entry + 4);
  *y = kis::GetU16LE(entry + 6);
  return true;
}
