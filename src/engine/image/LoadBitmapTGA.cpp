// Targa loader: colour-mapped (8-bit indices into a 24-bit map), true colour
// (16, 24, 32 bits) and grey (8 bits) images, raw or run-length encoded.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/LittleEndian.h"
#include "engine/image/BitmapLoadHelpers.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/PixelFormat.h"
#include "engine/image/StreamByteReader.h"
#include "engine/image/TargaDecode.h"

namespace {

// What a Targa header says, with the bitmap format its pixels load as:
// `element` bytes a pixel in the file, `bytes` in the bitmap.
struct TgaHeader {
  u32 kind = 0;  // 1 colour-mapped, 2 true colour, 3 grey
  bool packed = false, topDown = false;
  u32 mapLength = 0;
  u32 width = 0, height = 0;
  u32 format = 0, element = 0, bytes = 0, packElement = 0;
};

enum class TgaKind { kRefused, kNoImage, kImage };

// Reads the 18-byte header: colour-mapped (8-bit indices into a 24-bit map),
// true colour (16, 24, 32 bits) and grey (8 bits), raw or run-length encoded.
TgaKind ParseHeader(const u8* h, TgaHeader* t) {
  const u32 type = h[2];
  const u32 mapBits = h[7];
  const u32 bits = h[16];
  t->mapLength = kis::GetU16LE(h + 5);
  t->width = kis::GetU16LE(h + 12);
  t->height = kis::GetU16LE(h + 14);
  t->topDown = (h[17] & 0x20) != 0;
  if (type == 0) return TgaKind::kNoImage;
  if (type != 1 && type != 2 && type != 3 && type != 9 && type != 10 && type != 11) return TgaKind::kRefused;
  t->kind = type & 3;
  t->packed = (type & 8) != 0;
  if (t->kind == 1) {
    if (bits != 8 || mapBits != 24) return TgaKind::kRefused;
    t->format = D3DFMT_X8R8G8B8, t->element = 1, t->bytes = 4, t->packElement = 0;
  } else if (t->kind == 2) {
    if (bits == 16)
      t->format = D3DFMT_A1R5G5B5, t->element = 2, t->bytes = 2, t->packElement = 2;
    else if (bits == 24)
      t->format = D3DFMT_X8R8G8B8, t->element = 3, t->bytes = 4, t->packElement = 4;
    else if (bits == 32)
      t->format = D3DFMT_A8R8G8B8, t->element = 4, t->bytes = 4, t->packElement = 4;
    else
      return TgaKind::kRefused;
  } else {
    if (bits != 8) return TgaKind::kRefused;
    t->format = D3DFMT_L8, t->element = 1, t->bytes = 1, t->packElement = 1;
  }
  return TgaKind::kImage;
}

// Reads whole elements; the bytes of an element cut short are zeroed again.
u64 ReadWhole(StreamByteReader& in, u8* out, u64 count, u32 size) {
  const u64 bytes = in.Read(out, count * size);
  const u64 whole = bytes / size;
  std::memset(out + whole * size, 0, bytes - whole * size);
  return whole;
}

// Reads up to count elements of size bytes into out, raw or as run-length
// packets, until the image is full or the stream ends. A packet running past
// the image is cut there. Returns the whole elements that arrived; the rest of
// out is left as it was (zero).
u64 ReadElements(StreamByteReader& in, bool packed, u8* out, u64 count, u32 size) {
  if (!packed) return ReadWhole(in, out, count, size);
  u64 done = 0;
  u8 header;
  while (done < count && in.Byte(&header)) {
    u64 n = (header & 127u) + 1u;
    if (n > count - done) n = count - done;
    u8* at = out + done * size;
    if (header & 0x80) {
      if (!in.ReadExact(at, size)) {
        std::memset(at, 0, size);  // a value cut short is no pixel
        break;
      }
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
  TgaHeader t;
  const TgaKind kind = ParseHeader(h, &t);
  if (!in.Skip(h[0])) return;
  if (kind == TgaKind::kNoImage) {
    bitmapload::Prepare(bitmap, D3DFMT_A8R8G8B8, 0, 0, 4);
    return;
  }
  if (kind == TgaKind::kRefused) return;

  // The colour map: B, G, R entries.
  std::unique_ptr<u8[]> map;
  if (t.kind == 1 && t.mapLength > 0) {
    map.reset(new u8[t.mapLength * 3]);
    if (!in.ReadExact(map.get(), t.mapLength * 3u)) return;
  }

  const u64 count = static_cast<u64>(t.width) * t.height;
  // A run-length image must bring at least one packet.
  if (t.packed && count > 0) {
    u8 first;
    if (!in.Byte(&first)) return;
    in.Unget();
  }
  if (!bitmapload::Prepare(bitmap, t.format, t.width, t.height, t.bytes)) return;
  u8* pixels = bitmap->GetPixels();
  if (!pixels) return;

  if (t.element == t.bytes) {
    ReadElements(in, t.packed, pixels, count, t.element);
  } else {
    std::unique_ptr<u8[]> file(new (std::nothrow) u8[count * t.element]);
    if (!file) return;
    const u64 got = ReadElements(in, t.packed, file.get(), count, t.element);
    const u8* src = file.get();
    u8* dst = pixels;
    if (t.kind == 1) {
      // Indices beyond the map give opaque black.
      for (u64 i = 0; i < got; ++i, dst += 4) {
        const u32 index = src[i];
        if (index < t.mapLength) std::memcpy(dst, map.get() + index * 3, 3);
        dst[3] = 255;
      }
    } else {
      for (u64 i = 0; i < got; ++i, src += 3, dst += 4) {
        std::memcpy(dst, src, 3);
        dst[3] = 255;
      }
    }
  }

  if (!t.topDown) {
    bitmapload::ReverseRows(bitmap);
    if (t.packed) bitmap->SetPackMode(t.packElement);
  }
}

namespace {

// Writes the pixels of a Targa image, in the file's order, converted to ARGB
// by `convert` from `element` bytes each, straight into the image's rows (a
// bottom-up file's first pixel lands in the last row). Pixels that do not
// arrive take `missing`.
template <class Convert>
void DecodeTargaPixels(const u8* p, const u8* end, const TgaHeader& t, Convert convert, u32 missing,
                       plat::gfx::DecodedImage* out) {
  const u32 w = t.width, h = t.height, element = t.element;
  const u64 count = static_cast<u64>(w) * h;
  u64 done = 0;
  // Hands the next n pixels over row by row: put(row, first, count).
  const auto spans = [&](u64 n, const auto& put) {
    while (n > 0) {
      const u32 y = static_cast<u32>(done / w), x = static_cast<u32>(done % w);
      const u32 span = static_cast<u32>(n < w - x ? n : w - x);
      put(out->Row(t.topDown ? y : h - 1 - y) + x, span);
      done += span;
      n -= span;
    }
  };
  while (done < count) {
    u64 n = count - done;
    bool run = false;
    if (t.packed) {
      if (p == end) break;
      const u8 header = *p++;
      run = (header & 0x80) != 0;
      n = std::min<u64>(n, (header & 127u) + 1u);
    }
    if (run) {
      if (static_cast<u64>(end - p) < element) break;
      const u32 v = convert(p);
      p += element;
      // The rows are zero already: zero pixels are not written, so the pages
      // of a transparent stretch are never touched.
      if (v != 0)
        spans(n, [v](u32* dst, u32 k) { std::fill_n(dst, k, v); });
      else
        done += n;
      continue;
    }
    const u64 whole = std::min<u64>(n, static_cast<u64>(end - p) / element);
    spans(whole, [&p, element, &convert](u32* dst, u32 k) {
      for (u32 i = 0; i < k; ++i, p += element) {
        const u32 v = convert(p);
        if (v != 0) dst[i] = v;
      }
    });
    if (whole < n) break;
  }
  if (missing != 0) spans(count - done, [missing](u32* dst, u32 k) { std::fill_n(dst, k, missing); });
}

}  // namespace

bool DXLDecodeTGA(const u8* data, size_t size, plat::gfx::DecodedImage* out) {
  if (!data || !out || size < 18) return false;
  TgaHeader t;
  if (ParseHeader(data, &t) != TgaKind::kImage) return false;
  size_t at = 18u + data[0];
  if (at > size) return false;
  const u8* map = nullptr;
  const u32 mapLength = t.kind == 1 ? t.mapLength : 0;
  if (mapLength > 0) {
    if (size - at < mapLength * 3u) return false;
    map = data + at;
    at += mapLength * 3u;
  }
  const u64 count = static_cast<u64>(t.width) * t.height;
  if ((t.packed && count > 0 && at == size) || count == 0 || t.width > static_cast<u32>(DXLBitmap::kMaxSide) ||
      t.height > static_cast<u32>(DXLBitmap::kMaxSide) || count > static_cast<u64>(DXLBitmap::kMaxArea))
    return false;
  if (!out->Allocate(t.width, t.height)) return false;
  out->fileFormat = t.format;
  const u8 zero[4] = {};
  u32 missing = 0;
  DXLPixelToARGB(zero, t.format, &missing);
  const u8* p = data + at;
  const u8* end = data + size;
  if (t.kind == 1) {
    DecodeTargaPixels(
        p, end, t,
        [map, mapLength](const u8* q) {
          const u32 i = *q;
          return i < mapLength ? 0xFF000000u | map[i * 3] | map[i * 3 + 1] << 8 | static_cast<u32>(map[i * 3 + 2]) << 16
                               : 0xFF000000u;
        },
        missing, out);
  } else if (t.element == 4) {
    DecodeTargaPixels(p, end, t, [](const u8* q) { return kis::GetU32LE(q); }, missing, out);
  } else if (t.element == 3) {
    DecodeTargaPixels(
        p, end, t, [](const u8* q) { return 0xFF000000u | q[0] | q[1] << 8 | static_cast<u32>(q[2]) << 16; }, missing,
        out);
  } else {
    const u32 format = t.format;
    DecodeTargaPixels(
        p, end, t,
        [format](const u8* q) {
          u32 v = 0;
          DXLPixelToARGB(q, format, &v);
          return v;
        },
        missing, out);
  }
  return true;
}
