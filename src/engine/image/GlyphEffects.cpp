#include "engine/image/GlyphEffects.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

namespace {

// How strongly a decoration shows through a half-transparent pixel, indexed
// by the decoration's alpha.
constexpr u8 kContrast[256] = {
    0,   15,  22,  26,  30,  30,  34,  36,  39,  42,  41,  44,  46,  48,  48,  50,   //
    51,  50,  53,  55,  56,  57,  58,  59,  60,  61,  62,  62,  63,  65,  65,  66,   //
    67,  67,  68,  67,  69,  70,  70,  71,  72,  73,  74,  73,  75,  76,  76,  76,   //
    76,  77,  78,  79,  79,  79,  80,  81,  81,  82,  82,  83,  83,  84,  83,  84,   //
    86,  86,  86,  86,  87,  87,  88,  88,  89,  89,  89,  90,  90,  90,  91,  92,   //
    91,  92,  92,  93,  93,  94,  93,  94,  93,  95,  95,  96,  95,  96,  97,  97,   //
    96,  97,  98,  98,  99,  98,  98,  99,  99,  100, 100, 100, 100, 101, 101, 102,  //
    101, 102, 102, 103, 102, 103, 103, 103, 103, 104, 104, 105, 105, 105, 105, 106,  //
    106, 106, 106, 106, 107, 107, 107, 108, 108, 108, 108, 109, 109, 109, 109, 109,  //
    109, 109, 110, 110, 110, 110, 111, 111, 111, 111, 111, 112, 111, 111, 112, 113,  //
    113, 112, 113, 113, 114, 114, 114, 114, 114, 115, 115, 115, 115, 115, 115, 116,  //
    116, 115, 115, 116, 117, 117, 117, 117, 117, 118, 118, 118, 118, 118, 118, 118,  //
    119, 119, 119, 119, 119, 120, 120, 120, 120, 120, 120, 120, 120, 121, 121, 121,  //
    121, 121, 121, 121, 122, 122, 121, 122, 122, 123, 123, 123, 123, 123, 123, 123,  //
    123, 124, 124, 124, 124, 124, 124, 124, 125, 125, 125, 125, 125, 125, 125, 125,  //
    126, 126, 126, 126, 126, 126, 126, 126, 127, 127, 127, 127, 127, 127, 127, 127,  //
};

// Images larger than this are not decorated (a sane bound for glyph and text
// images, which keeps the scratch layers small).
constexpr i32 kMaxSide = 16384;
constexpr i64 kMaxArea = 0x2000000;

bool SizeOk(i32 width, i32 height) {
  return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide &&
         static_cast<i64>(width) * height <= kMaxArea;
}

inline i32 FloorDiv(i32 a, i32 b) {
  i32 q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Layer rule: the colour goes from the layer's towards the pixel's by the
// pixel's alpha (halves rounded up); the alpha is the larger of the two.
inline u32 MixLayer(u32 pixel, u32 layer) {
  const i32 pa = static_cast<i32>(pixel >> 24);
  const u32 la = layer >> 24;
  u32 out = std::max(la, static_cast<u32>(pa)) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const i32 l = static_cast<i32>((layer >> shift) & 0xFF), p = static_cast<i32>((pixel >> shift) & 0xFF);
    const i32 c = l + FloorDiv((p - l) * pa * 2 + 255, 510);
    out |= static_cast<u32>(c) << shift;
  }
  return out;
}

void ApplyLayer(u32* pixels, const u32* layer, i64 count) {
  for (i64 i = 0; i < count; ++i)
    if (layer[i] >> 24) pixels[i] = MixLayer(pixels[i], layer[i]);
}

// Contrast rule: a decoration of colour (R, G, B) and alpha s > 0 under one pixel.
u32 MixContrast(u32 pixel, u32 colour, u32 s) {
  const i32 a = static_cast<i32>(pixel >> 24);
  if (a == 0) return (colour & 0xFFFFFFu) | (s << 24);
  if (a == 255) return pixel;
  const i32 t = kContrast[s], u = 255 - t;
  const i32 f = a >= t ? u + t * (a - t) / u : u * a / t;
  u32 out = (s + (255 - s) * static_cast<u32>(a) / 255) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const i32 sc = static_cast<i32>((colour >> shift) & 0xFF), c = static_cast<i32>((pixel >> shift) & 0xFF);
    out |= static_cast<u32>(sc + (c - sc) * f / 255) << shift;
  }
  return out;
}

template <class T>
std::unique_ptr<T[]> ZeroedArray(i64 count) {
  return std::unique_ptr<T[]>(new (std::nothrow) T[static_cast<size_t>(count)]());
}

}  // namespace

void DXLMakeOutline(DXLOUTLINE* record, u32 mode, float radius, u32 colour, u8 strength, u32 soft) {
  if (!record) return;
  record->mode = mode;
  record->radius = radius;
  record->colour = colour;
  record->strength = strength;
  record->soft = soft;
}

bool DXLIsOutlineValid(const DXLOUTLINE* record) {
  return record && record->mode != 0 && record->radius >= 0.0f && record->radius <= 32.0f;
}

void DXLApplyShadowLayer(void* pixels, i32 width, i32 height, i32 /*ignored*/, i32 dx, i32 dy, u32 colour, u32 key) {
  if (!pixels || !SizeOk(width, height)) return;
  u32* image = static_cast<u32*>(pixels);
  const i64 count = static_cast<i64>(width) * height;
  auto layer = ZeroedArray<u32>(count);
  if (!layer) return;
  const u32 ca = colour >> 24;
  const u32 mask = (key != 0 && key < 0x1000000u) ? 0xFFFFFFu : 0xFFFFFFFFu;
  // Every layer pixel whose source (x - dx, y - dy) lies inside the image,
  // up to and including the last row and column.
  const i64 yEnd = static_cast<i64>(height) - 1 + std::min(dy, 0);
  const i64 xEnd = static_cast<i64>(width) - 1 + std::min(dx, 0);
  for (i64 y = std::max(dy, 0); y <= yEnd; ++y) {
    for (i64 x = std::max(dx, 0); x <= xEnd; ++x) {
      const u32 src = image[(y - dy) * width + (x - dx)];
      if ((src & mask) == (key & mask)) continue;
      const u32 alpha = (2 * (src >> 24) * ca + 255) / 510;
      layer[y * width + x] = (colour & 0xFFFFFFu) | (alpha << 24);
    }
  }
  ApplyLayer(image, layer.get(), count);
}

void DXLApplyBlurLayer(void* pixels, i32 width, i32 height, i32 /*ignored*/, float radius, u32 colour,
                       u32 threshold) {
  if (!pixels || !SizeOk(width, height) || !std::isfinite(radius)) return;
  u32* image = static_cast<u32*>(pixels);
  const i64 count = static_cast<i64>(width) * height;
  auto layer = ZeroedArray<u32>(count);
  if (!layer) return;
  float near[16][16];
  for (int j = 0; j < 16; ++j)
    for (int i = 0; i < 16; ++i) near[j][i] = std::sqrt(static_cast<float>(i * i + j * j));
  const u32 ca = colour >> 24;
  const u32 rgb = colour & 0xFFFFFFu;
  for (i32 y = 0; y < height; ++y) {
    for (i32 x = 0; x < width; ++x) {
      const u32 a = image[static_cast<i64>(y) * width + x] >> 24;
      if (a < threshold) continue;
      const float r = static_cast<float>(a) * radius / 255.0f;
      if (std::fabs(r) < 0.00001f) continue;
      // The reach, kept within the image's size (a negative one reaches
      // nothing), bounds the pixels touched.
      const double reach = std::clamp(static_cast<double>(r), -1.0 - width - height, 1.0 + width + height);
      const i32 top = static_cast<i32>(std::max(0.0, std::floor(y - reach)));
      const i32 bottom = static_cast<i32>(std::min(height - 1.0, std::ceil(y + reach)));
      const i32 left = static_cast<i32>(std::max(0.0, std::floor(x - reach)));
      const i32 right = static_cast<i32>(std::min(width - 1.0, std::ceil(x + reach)));
      for (i32 py = top; py <= bottom; ++py) {
        const i32 oy = std::abs(py - y);
        for (i32 px = left; px <= right; ++px) {
          const i32 ox = std::abs(px - x);
          const float d = (ox < 16 && oy < 16) ? near[oy][ox] : std::sqrt(static_cast<float>(ox * ox + oy * oy));
          const float f = std::clamp(r - d + 1.0f, 0.0f, 1.0f);
          const u32 value = static_cast<u32>(std::floor(static_cast<float>(ca) * f + 0.5f));
          u32& cell = layer[static_cast<i64>(py) * width + px];
          if (value > (cell >> 24)) cell = rgb | (value << 24);
        }
      }
    }
  }
  ApplyLayer(image, layer.get(), count);
}

void DXLDrawGlyph(i32 width, i32 height, i32 pitch, void* pixels, bool enable, i32 dx, i32 dy, u32 colour) {
  if (pitch == -1) pitch = width;
  if (!enable || !pixels || !SizeOk(width, height) || pitch < width) return;
  if (std::abs(dx) >= width || std::abs(dy) >= height) return;
  u32* image = static_cast<u32*>(pixels);
  const u32 ca = colour >> 24;
  // Walk from the far side of the offset so each source is read before any
  // write reaches it.
  const i32 x0 = std::max(0, -dx), x1 = std::min(width, width - dx);
  const i32 y0 = std::max(0, -dy), y1 = std::min(height, height - dy);
  for (i32 n = 0; n < y1 - y0; ++n) {
    const i32 y = dy > 0 ? y1 - 1 - n : y0 + n;
    for (i32 m = 0; m < x1 - x0; ++m) {
      const i32 x = dx > 0 ? x1 - 1 - m : x0 + m;
      const u32 a = image[static_cast<i64>(y) * pitch + x] >> 24;
      if (a == 0) continue;
      const u32 s = ca < 255 ? a * ca / 255 : a;
      if (s == 0) continue;
      u32& target = image[static_cast<i64>(y + dy) * pitch + (x + dx)];
      target = MixContrast(target, colour, s);
    }
  }
}

void DXLDrawGlyphOutline(i32 width, i32 height, i32 pitch, void* pixels, DXLOUTLINE outline) {
  if (pitch == -1) pitch = width;
  if (!DXLIsOutlineValid(&outline) || !pixels || !SizeOk(width, height) || pitch < width) return;
  // Radius to thousandths: digits below 0.00001 dropped, more than half a
  // thousandth rounds up; the kernel reaches one pixel further.
  const i64 fifths = static_cast<i64>(static_cast<double>(outline.radius) * 100000.0);
  i64 thousandths = fifths / 100;
  if (fifths % 100 > 50) ++thousandths;
  const double R = static_cast<double>(thousandths) / 1000.0 + 1.0;
  const i32 K = 2 * static_cast<i32>(std::ceil(R)) - 1;
  if (K >= 64) return;
  const i32 half = K / 2;
  const u32 strength = outline.strength == 0 ? 1u : outline.strength;
  const i32 ca = static_cast<i32>(outline.colour >> 24);

  const i64 count = static_cast<i64>(width) * height;
  auto coverage = ZeroedArray<u8>(count);
  auto full = ZeroedArray<i32>(static_cast<i64>(K) * K);
  auto open = ZeroedArray<i32>(static_cast<i64>(K) * K);
  if (!coverage || !full || !open) return;
  for (i32 j = -half; j <= half; ++j) {
    for (i32 i = -half; i <= half; ++i) {
      const double e = R - std::sqrt(static_cast<double>(i * i + j * j));
      const i32 k = (j + half) * K + (i + half);
      if (e <= 0) continue;
      open[k] = static_cast<i32>(ca * e);
      full[k] = e >= 1 ? ca : open[k];
    }
  }

  const u32* image = static_cast<const u32*>(pixels);
  auto alphaAt = [&](i32 x, i32 y) { return image[static_cast<i64>(y) * pitch + x] >> 24; };
  for (i32 y = 0; y < height; ++y) {
    for (i32 x = 0; x < width; ++x) {
      const u32 a = alphaAt(x, y);
      if (a < strength) continue;
      // A neighbour at least as strong is nearer to every point of the kernel
      // half on its side and gives at least the same value there: skip it.
      const i32 iFrom = (x > 0 && alphaAt(x - 1, y) >= a) ? 0 : -half;
      const i32 iTo = (x + 1 < width && alphaAt(x + 1, y) >= a) ? 0 : half;
      const i32 jFrom = (y > 0 && alphaAt(x, y - 1) >= a) ? 0 : -half;
      const i32 jTo = (y + 1 < height && alphaAt(x, y + 1) >= a) ? 0 : half;
      for (i32 j = jFrom; j <= jTo; ++j) {
        const i32 py = y + j;
        if (py < 0 || py >= height) continue;
        for (i32 i = iFrom; i <= iTo; ++i) {
          const i32 px = x + i;
          if (px < 0 || px >= width) continue;
          const i32 k = (j + half) * K + (i + half);
          i32 v;
          if (a == 255)
            v = full[k];
          else if (outline.soft)
            v = std::min(open[k] * static_cast<i32>(a) / 255, ca);
          else
            v = std::clamp(ca * static_cast<i32>(a) / 255 - 255 + open[k], 0, ca);
          u8& cell = coverage[static_cast<i64>(py) * width + px];
          if (v > cell) cell = static_cast<u8>(v);
        }
      }
    }
  }

  u32* out = static_cast<u32*>(pixels);
  for (i32 y = 0; y < height; ++y) {
    for (i32 x = 0; x < width; ++x) {
      const u32 s = coverage[static_cast<i64>(y) * width + x];
      if (s == 0) continue;
      u32& p = out[static_cast<i64>(y) * pitch + x];
      p = MixContrast(p, outline.colour, s);
    }
  }
}
