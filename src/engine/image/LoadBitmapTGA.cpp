// Targa loader: colour-mapped (8-bit indices into a 24-bit map), true colour
// (16, 24, 32 bits) and grey (8 bits) images, raw or run-length encoded.
#include <cstring>
#include <memory>
#include <new>

#include "base/LittleEndian.h"
#include "engine/image/BitmapLoadHelpers.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/StreamByteReader.h"

namespace {

// Reads up to count elements of size bytes into out, raw or as run-length
// packets, until the image is full or the stream ends. A packet running past
// the image is cut there. Returns the whole elements that arrived; the rest of
// out is left as it was (zero).
// Reads whole elements; the bytes of an element cut short are zeroed again.
u64 ReadWhole(StreamByteReader& in, u8* out, u64 count, u32 size) {
  const u64 bytes = in.Read(out, count * size);
  const u64 whole = bytes / size;
  std::memset(out + whole * size, 0, bytes - whole * size);
  return whole;
}

u64 ReadElements(StreamByteReader& in, bool packed, u8* out, u64 count, u32 size) {
  if (!packed) return ReadWhole(in, out, count, size);
  u64 done = 0;
  u8 header;
  while (done < count && in.Byte(&header)) {
    u64 n = (header & 127u) + 1u;
    if (n > count - done) n = count - done;
    u8* at = out + done * size;
    if (header & 0x80) {
      if (!in.ReadExact(at, size)) break;
      // The run as one span: the filled part copied onto its own end, doubling.
      for (u64 filled = 1; filled < n;) {
        const u64 more = filled < n - filled ? filled : n - filled;
        std::memcpy(at + filled * size, at, more * size);
        filled += more;
      }
      done += n;
    } else {
      const u64 got = ReadWhole(in, at, n, size);
      done += got;
      if (got < n) break;
    }
  }
  return done;
}

}  // namespace

void DXLLoadBitmapTGA(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 h[18];
  if (!in.ReadExact(h, sizeof h)) return;
  const u32 type = h[2];
  const u32 mapLength = kis::GetU16LE(h + 5);
  const u32 mapBits = h[7];
  const u32 width = kis::GetU16LE(h + 12), height = kis::GetU16LE(h + 14);
  const u32 bits = h[16];
  const bool topDown = (h[17] & 0x20) != 0;
  if (!in.Skip(h[0])) return;

  if (type == 0) {
    bitmapload::Prepare(bitmap, D3DFMT_A8R8G8B8, 0, 0, 4);
    return;
  }
  if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) return;
  const u32 kind = type & 3;
  const bool packed = (type & 8) != 0;

  u32 format, element, bytes, packElement;
  if (kind == 1) {
    if (bits != 8 || mapBits != 24) return;
    format = D3DFMT_X8R8G8B8, element = 1, bytes = 4, packElement = 0;
  } else if (kind == 2) {
    if (bits == 16)
      format = D3DFMT_A1R5G5B5, element = 2, bytes = 2, packElement = 2;
    else if (bits == 24)
      format = D3DFMT_X8R8G8B8, element = 3, bytes = 4, packElement = 4;
    else if (bits == 32)
      format = D3DFMT_A8R8G8B8, element = 4, bytes = 4, packElement = 4;
    else
      return;
  } else {
    if (bits != 8) return;
    format = D3DFMT_L8, element = 1, bytes = 1, packElement = 1;
  }

  // The colour map: B, G, R entries.
  std::unique_ptr<u8[]> map;
  if (kind == 1 && mapLength > 0) {
    map.reset(new u8[mapLength * 3]);
    if (!in.ReadExact(map.get(), mapLength * 3u)) return;
  }

  const u64 count = static_cast<u64>(width) * height;
  // A run-length image must bring at least one packet.
  if (packed && count > 0) {
    u8 first;
    if (!in.Byte(&first)) return;
    in.Unget();
  }
  if (!bitmapload::Prepare(bitmap, format, width, height, bytes)) return;
  u8* pixels = bitmap->GetPixels();
  if (!pixels) return;

  if (element == bytes) {
    ReadElements(in, packed, pixels, count, element);
  } else {
    std::unique_ptr<u8[]> file(new (std::nothrow) u8[count * element]);
    if (!file) return;
    const u64 got = ReadElements(in, packed, file.get(), count, element);
    const u8* src = file.get();
    u8* dst = pixels;
    if (kind == 1) {
      // Indices beyond the map give opaque black.
      for (u64 i = 0; i < got; ++i, dst += 4) {
        const u32 index = src[i];
        if (index < mapLength) std::memcpy(dst, map.get() + index * 3, 3);
        dst[3] = 255;
      }
    } else {
      for (u64 i = 0; i < got; ++i, src += 3, dst += 4) {
        std::memcpy(dst, src, 3);
        dst[3] = 255;
      }
    }
  }

  if (!topDown) {
    bitmapload::ReverseRows(bitmap);
    if (packed) bitmap->SetPackMode(packElement);
  }
}
