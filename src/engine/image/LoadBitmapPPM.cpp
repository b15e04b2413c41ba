// Portable pixmap loader: binary (P6) and text (P3) R, G, B images.
#include "engine/image/BitmapLoadHelpers.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/StreamByteReader.h"

namespace {

// Header numbers are capped here: no bitmap side comes near it, and the
// value can't overflow.
constexpr u32 kNumberCap = 1000000;

inline bool IsDigit(u8 c) { return c >= '0' && c <= '9'; }

// Decimal digits ended by exactly one byte that is not a digit (consumed). No
// digits read as 0. False when the stream ends first.
bool ReadHeaderNumber(StreamByteReader& in, u32* out) {
  u32 value = 0;
  u8 c;
  for (;;) {
    if (!in.Byte(&c)) return false;
    if (!IsDigit(c)) break;
    value = value * 10 + (c - '0');
    if (value > kNumberCap) value = kNumberCap;
  }
  *out = value;
  return true;
}

// One sample of a text pixmap: blanks and "#" comments to the end of the line
// are skipped, then decimal digits. False when no number follows.
bool ReadTextSample(StreamByteReader& in, u32* out) {
  u8 c;
  for (;;) {
    if (!in.Byte(&c)) return false;
    if (c == '#') {
      while (c != '\n' && c != '\r')
        if (!in.Byte(&c)) return false;
      continue;
    }
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') continue;
    break;
  }
  if (!IsDigit(c)) return false;
  u32 value = 0;
  while (IsDigit(c)) {
    value = value * 10 + (c - '0');
    if (value > kNumberCap) value = kNumberCap;
    if (!in.Byte(&c)) {
      *out = value;
      return true;
    }
  }
  in.Unget();
  *out = value;
  return true;
}

// A text sample scaled from 0..maximum to a byte, halves up.
inline u8 ScaleSample(u32 v, u32 maximum) {
  if (maximum == 0 || maximum >= kNumberCap) return static_cast<u8>(v > 255 ? 255 : v);
  if (v > maximum) v = maximum;
  return static_cast<u8>((2ull * v * 255 + maximum) / (2ull * maximum));
}

}  // namespace

void DXLLoadBitmapPPM(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 magic[3];
  if (!in.ReadExact(magic, sizeof magic) || magic[0] != 'P' || (magic[1] != '6' && magic[1] != '3')) return;
  const bool text = magic[1] == '3';
  const u8 separator = magic[2];
  u8 c;
  if (!in.Byte(&c)) return;
  if (c == '#') {
    // One comment line, up to and including the next separator byte.
    do {
      if (!in.Byte(&c)) return;
    } while (c != separator);
  } else {
    in.Unget();
  }
  u32 width, height, maximum;
  if (!ReadHeaderNumber(in, &width) || !ReadHeaderNumber(in, &height) || !ReadHeaderNumber(in, &maximum)) return;
  if (!bitmapload::Prepare(bitmap, D3DFMT_X8R8G8B8, width, height, 4)) return;
  u8* pixels = bitmap->GetPixels();
  if (!pixels) return;
  const u64 count = static_cast<u64>(width) * height;
  for (u64 i = 0; i < count; ++i) {
    u8 rgb[3];
    if (text) {
      for (u8& s : rgb) {
        u32 v;
        if (!ReadTextSample(in, &v)) {
          bitmapload::ZeroPixels(bitmap);
          return;
        }
        s = ScaleSample(v, maximum);
      }
    } else if (!in.ReadExact(rgb, 3)) {
      bitmapload::ZeroPixels(bitmap);
      return;
    }
    u8* p = pixels + 4 * i;
    p[0] = rgb[2];
    p[1] = rgb[1];
    p[2] = rgb[0];
    p[3] = 255;
  }
}
