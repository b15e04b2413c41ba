#include "engine/image/DXLBitmap.h"

#include <cstring>
#include <utility>

#include "engine/image/DXTDecoder.h"
#include "base/LittleEndian.h"
#include "engine/image/PixelFormat.h"
#include "engine/image/PixelPack.h"
#include "engine/image/RunLength.h"

namespace {

DXLPixelBuffer AllocZeroed(u64 size) {
  if (size == 0 || size > SIZE_MAX) return nullptr;
  return DXLPixelBuffer(static_cast<u8*>(std::calloc(static_cast<size_t>(size), 1)));
}

DXLPixelBuffer AllocRaw(u64 size) {
  if (size == 0 || size > SIZE_MAX) return nullptr;
  return DXLPixelBuffer(static_cast<u8*>(std::malloc(static_cast<size_t>(size))));
}

bool IsPackElement(u32 mode) { return mode == 1 || mode == 2 || mode == 4; }

bool WithinLimits(u64 width, u64 height) {
  return width <= static_cast<u64>(DXLBitmap::kMaxSide) && height <= static_cast<u64>(DXLBitmap::kMaxSide) &&
         width * height <= static_cast<u64>(DXLBitmap::kMaxArea);
}

// Nearest neighbour on 32-bit pixels: destination (x, y) takes source
// (round(x * sw / dw), round(y * sh / dh)), clamped to the last column and row.
void ScalePoint(const u32* src, i32 sw, i32 sh, u32* dst, i32 dw, i32 dh) {
  for (i32 y = 0; y < dh; ++y) {
    i64 sy = (2 * static_cast<i64>(y) * sh + dh) / (2 * static_cast<i64>(dh));
    if (sy > sh - 1) sy = sh - 1;
    for (i32 x = 0; x < dw; ++x) {
      i64 sx = (2 * static_cast<i64>(x) * sw + dw) / (2 * static_cast<i64>(dw));
      if (sx > sw - 1) sx = sw - 1;
      dst[static_cast<i64>(y) * dw + x] = src[sy * sw + sx];
    }
  }
}

// Source position of a destination column or row for bilinear scaling, with
// the half-pixel offset that keeps the image centred:
// s = d * src / dst - (1 - src / dst) / 2, clamped to 0..src-1, kept as the
// exact fraction index + num / den so that halves round the same everywhere.
struct Sample {
  i64 index;
  i64 num;
};

Sample BilinearSample(i64 d, i64 srcSize, i64 dstSize, i64 den) {
  i64 n = 2 * d * srcSize + srcSize - dstSize;  // s * den
  if (n < 0) n = 0;
  if (n > (srcSize - 1) * den) n = (srcSize - 1) * den;
  return {n / den, n % den};
}

void ScaleBilinear(const u32* src, i32 sw, i32 sh, u32* dst, i32 dw, i32 dh) {
  const i64 denX = 2 * static_cast<i64>(dw), denY = 2 * static_cast<i64>(dh);
  const u64 total = static_cast<u64>(denX) * static_cast<u64>(denY);
  for (i32 y = 0; y < dh; ++y) {
    const Sample sy = BilinearSample(y, sh, dh, denY);
    for (i32 x = 0; x < dw; ++x) {
      const Sample sx = BilinearSample(x, sw, dw, denX);
      const u32* row = src + sy.index * sw;
      // Weights in units of 1 / total; pixels of zero weight are not read.
      const u64 w00 = static_cast<u64>(denX - sx.num) * static_cast<u64>(denY - sy.num);
      const u64 w10 = static_cast<u64>(sx.num) * static_cast<u64>(denY - sy.num);
      const u64 w01 = static_cast<u64>(denX - sx.num) * static_cast<u64>(sy.num);
      const u64 w11 = static_cast<u64>(sx.num) * static_cast<u64>(sy.num);
      const u32 p00 = row[sx.index];
      const u32 p10 = sx.num ? row[sx.index + 1] : 0;
      const u32 p01 = sy.num ? row[sw + sx.index] : 0;
      const u32 p11 = (sx.num && sy.num) ? row[sw + sx.index + 1] : 0;
      u32 out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        auto c = [shift](u32 p) { return static_cast<u64>((p >> shift) & 0xFF); };
        const u64 sum = c(p00) * w00 + c(p10) * w10 + c(p01) * w01 + c(p11) * w11;
        out |= static_cast<u32>((2 * sum + total) / (2 * total)) << shift;  // halves up
      }
      dst[static_cast<i64>(y) * dw + x] = out;
    }
  }
}

// Packs 32-bit ARGB pixels into a 16-bit format with the packer inlined.
template <class PackFn>
void PackWords(const u8* src, u8* dst, u64 count, PackFn pack) {
  for (u64 i = 0; i < count; ++i, src += 4, dst += 2) kis::PutU16LE(dst, pack(kis::GetU32LE(src)));
}

// The common conversions from 32-bit pixels, done without a per-pixel
// dispatch; false for other pairs of formats.
bool ConvertFrom32Fast(const u8* src, u32 format, u8* dst, u64 count) {
  switch (format) {
    case D3DFMT_R5G6B5:
      PackWords(src, dst, count, DXLPackR5G6B5);
      return true;
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
      PackWords(src, dst, count, DXLPackA1R5G5B5);
      return true;
    case D3DFMT_A4R4G4B4:
      PackWords(src, dst, count, DXLPackA4R4G4B4);
      return true;
    default:
      return false;
  }
}

// Places the image unscaled in the top-left corner; the rest stays 0.
void PlaceUnscaled(const u32* src, i32 sw, i32 sh, u32* dst, i32 dw) {
  for (i32 y = 0; y < sh; ++y) std::memcpy(dst + static_cast<i64>(y) * dw, src + static_cast<i64>(y) * sw, 4u * sw);
}

}  // namespace

DXLBitmap::~DXLBitmap() {
  NotifyAll(kNotifyDestroyed);
  listeners_.RemoveAll();
}

// Frees the pixels and allocates width * height * bytesPerPixel zeroed bytes;
// packing state goes. A failed allocation leaves an empty 0 x 0 bitmap.
void DXLBitmap::Reallocate() {
  pixels_.reset();
  packMode_ = 0;
  savedPackMode_ = 0;
  unpackedSize_ = 0;
  const u64 size = static_cast<u64>(width_) * static_cast<u64>(height_) * bytesPerPixel_;
  dataSize_ = static_cast<u32>(size);
  if (size == 0) return;
  pixels_ = AllocZeroed(size);
  if (!pixels_) {
    width_ = height_ = 0;
    dataSize_ = 0;
  }
}

void DXLBitmap::SetSize(i32 width, i32 height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (!WithinLimits(static_cast<u64>(width), static_cast<u64>(height))) return;
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Reallocate();
}

void DXLBitmap::Clear() {
  if (IsEmpty()) return;
  width_ = height_ = 0;
  Reallocate();
}

// Brings packed pixels back to plain. A stream that does not unpack to exactly
// the stored size (a damaged file) or a failed allocation empties the bitmap.
void DXLBitmap::Unpack() {
  if (packMode_ == 0) return;
  const u32 element = packMode_;
  packMode_ = 0;
  if (unpackedSize_ == 0) return;  // packing had been abandoned: already plain
  DXLPixelBuffer plain = AllocRaw(unpackedSize_);
  if (!plain || !DXLUnpackRunLength(pixels_.get(), dataSize_, element, plain.get(), unpackedSize_)) {
    unpackedSize_ = 0;
    width_ = height_ = 0;
    Reallocate();
    return;
  }
  pixels_ = std::move(plain);
  dataSize_ = unpackedSize_;
  unpackedSize_ = 0;
}

void DXLBitmap::SetPackMode(u32 mode) {
  if (DXLIsDXTFormat(format_) || format_ == 0) return;
  if (!IsPackElement(mode)) mode = 0;
  if (mode == packMode_) return;
  Unpack();
  if (mode > bytesPerPixel_) mode = 0;
  packMode_ = mode;
  if (mode == 0 || !pixels_ || dataSize_ == 0) return;
  DXLPixelBuffer scratch = AllocRaw(dataSize_);
  if (!scratch) return;
  const u64 packed = DXLPackRunLength(pixels_.get(), dataSize_, mode, scratch.get(), dataSize_);
  if (packed == 0) return;  // abandoned: stays plain; the next unpacking access resets the mode
  DXLPixelBuffer exact = AllocRaw(packed);
  if (!exact) return;
  std::memcpy(exact.get(), scratch.get(), packed);
  pixels_ = std::move(exact);
  unpackedSize_ = dataSize_;
  dataSize_ = static_cast<u32>(packed);
}

void DXLBitmap::UnpackForAccess() {
  savedPackMode_ = packMode_;
  Unpack();
}

void DXLBitmap::Repack() {
  const u32 mode = savedPackMode_;
  savedPackMode_ = 0;
  SetPackMode(mode);
}

u8* DXLBitmap::GetRow(i32 y) {
  if (format_ == 0 || DXLIsDXTFormat(format_)) return nullptr;
  Unpack();
  if (IsEmpty() || bytesPerPixel_ == 0 || y < 0 || y >= height_) return nullptr;
  return pixels_.get() + static_cast<u64>(y) * static_cast<u64>(width_) * bytesPerPixel_;
}

u8* DXLBitmap::GetPixelsUnlocked() {
  Unpack();
  return pixels_.get();
}

void DXLBitmap::SetFormat(u32 format) {
  if (DXLIsDXTFormat(format) || format == format_) return;
  Unpack();
  if (IsEmpty()) {
    format_ = format;
    bytesPerPixel_ = static_cast<u8>(DXLGetFormatBytes(format));
    return;
  }
  Convert(format);
}

// Converts the pixels of a bitmap that has some to another format, in place
// when the pixel size stays, through ARGB (or the DXT decoder).
void DXLBitmap::Convert(u32 format) {
  const u32 n = DXLGetFormatBytes(format);
  const u32 oldFormat = format_;
  const u32 oldBytes = bytesPerPixel_;
  if (n == 0 || (oldBytes == 0 && !DXLIsDXTFormat(oldFormat))) {
    format_ = format;
    bytesPerPixel_ = static_cast<u8>(n);
    Reallocate();
    return;
  }
  const u64 count = static_cast<u64>(width_) * static_cast<u64>(height_);
  const u64 newSize = count * n;
  format_ = format;
  bytesPerPixel_ = static_cast<u8>(n);

  if (DXLIsDXTFormat(oldFormat)) {
    DXLPixelBuffer out = AllocZeroed(newSize);
    if (!out) {
      width_ = height_ = 0;
      Reallocate();
      return;
    }
    if (!DXLDecodeDXT(width_, height_, out.get(), pixels_.get(), dataSize_, oldFormat, format, n))
      std::memset(out.get(), 0, static_cast<size_t>(newSize));
    pixels_ = std::move(out);
    dataSize_ = static_cast<u32>(newSize);
    return;
  }

  const bool inPlace = newSize == dataSize_;
  DXLPixelBuffer fresh;
  if (!inPlace) {
    fresh = AllocRaw(newSize);
    if (!fresh) {
      width_ = height_ = 0;
      Reallocate();
      return;
    }
  }
  const u8* src = pixels_.get();
  u8* dst = inPlace ? pixels_.get() : fresh.get();
  const bool from32 = oldFormat == D3DFMT_A8R8G8B8 || oldFormat == D3DFMT_X8R8G8B8;
  if (inPlace || !from32 || !ConvertFrom32Fast(src, format, dst, count)) {
    for (u64 i = 0; i < count; ++i, src += oldBytes, dst += n) {
      u32 argb = 0;
      DXLPixelToARGB(src, oldFormat, &argb);
      DXLARGBToPixel(argb, format, dst);
    }
  }
  if (!inPlace) pixels_ = std::move(fresh);
  dataSize_ = static_cast<u32>(newSize);
}

bool DXLBitmap::SetFromHeader(const u32* header) {
  if (!header) return false;
  const u32 format = header[0], width = header[1], height = header[2];
  const u32 dataSize = header[3], unpackedSize = header[4], packMode = header[5];
  if (!WithinLimits(width, height)) return false;
  if (packMode != 0 && !IsPackElement(packMode)) return false;
  const u32 bytes = DXLGetFormatBytes(format);
  const u64 plain = static_cast<u64>(width) * height * bytes;
  if (DXLIsDXTFormat(format)) {
    if (packMode != 0 || unpackedSize != 0 || dataSize != DXLGetDXTDataSize(static_cast<i32>(width),
                                                                              static_cast<i32>(height), format))
      return false;
  } else if (bytes == 0) {
    if (dataSize != 0 || unpackedSize != 0 || packMode != 0) return false;
  } else if (unpackedSize == 0) {
    if (dataSize != plain) return false;
  } else {
    // A packed stream of n elements holds at most one header byte per element.
    if (packMode == 0 || unpackedSize != plain || packMode > bytes || dataSize == 0 ||
        dataSize > plain + plain / packMode)
      return false;
  }
  pixels_.reset();
  format_ = format;
  bytesPerPixel_ = static_cast<u8>(bytes);
  width_ = static_cast<i32>(width);
  height_ = static_cast<i32>(height);
  dataSize_ = dataSize;
  unpackedSize_ = unpackedSize;
  packMode_ = packMode;
  savedPackMode_ = 0;
  if (dataSize > 0) {
    pixels_ = AllocZeroed(dataSize);
    if (!pixels_) {
      width_ = height_ = 0;
      dataSize_ = unpackedSize_ = packMode_ = 0;
    }
  }
  return true;
}

DXLPixelBuffer DXLBitmap::GetResized(i32 width, i32 height, u32 filter) const {
  if (width < 1) width = 0;
  if (height < 1) height = 0;
  if (IsEmpty() || packMode_ != 0 || format_ == 0 || DXLIsDXTFormat(format_) || bytesPerPixel_ == 0) return nullptr;
  if (width < width_ || height < height_ || width > 2 * width_ || height > 2 * height_) return nullptr;
  const u32 bytes = bytesPerPixel_;
  const u64 outSize = static_cast<u64>(width) * height * bytes;
  DXLPixelBuffer out = AllocZeroed(outSize);
  if (!out) return nullptr;
  if (width == width_ && height == height_) {
    std::memcpy(out.get(), pixels_.get(), static_cast<size_t>(outSize));
    return out;
  }
  const u64 srcCount = static_cast<u64>(width_) * height_;
  const u64 dstCount = static_cast<u64>(width) * height;
  // Other pixel sizes are scaled as ARGB words and written back at the end.
  DXLPixelBuffer srcWords, dstWords;
  const u32* src;
  u32* dst;
  if (bytes == 4) {
    src = reinterpret_cast<const u32*>(pixels_.get());
    dst = reinterpret_cast<u32*>(out.get());
  } else {
    srcWords = AllocRaw(srcCount * 4);
    dstWords = AllocZeroed(dstCount * 4);
    if (!srcWords || !dstWords) return nullptr;
    u32* words = reinterpret_cast<u32*>(srcWords.get());
    for (u64 i = 0; i < srcCount; ++i) DXLPixelToARGB(pixels_.get() + i * bytes, format_, &words[i]);
    src = words;
    dst = reinterpret_cast<u32*>(dstWords.get());
  }
  switch (filter) {
    case DXLFILTER_POINT:
      ScalePoint(src, width_, height_, dst, width, height);
      break;
    case DXLFILTER_LINEAR:
    case DXLFILTER_TRIANGLE:
    case DXLFILTER_BOX:
      ScaleBilinear(src, width_, height_, dst, width, height);
      break;
    default:
      PlaceUnscaled(src, width_, height_, dst, width);
      break;
  }
  if (bytes != 4)
    for (u64 i = 0; i < dstCount; ++i) DXLARGBToPixel(dst[i], format_, out.get() + i * bytes);
  return out;
}

DXLPixelBuffer DXLBitmap::GetResizedToPowerOfTwo(u32 filter) const {
  return GetResized(static_cast<i32>(DXLNextPowerOfTwo(static_cast<u32>(width_))),
                    static_cast<i32>(DXLNextPowerOfTwo(static_cast<u32>(height_))), filter);
}
