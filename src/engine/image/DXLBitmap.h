// DXLBitmap - an image in main memory: width x height pixels of one pixel
// format, rows top to bottom without gaps, optionally held run-length packed.
// Invariants: sides 0..4096, area at most 0x800000 pixels; a plain bitmap of a
// stored format holds exactly width * height * bytesPerPixel bytes, a packed
// one a packet stream that unpacks to exactly that many, a DXT one exactly its
// compressed blocks. The bitmap owns its pixels. Failures leave the bitmap
// unchanged, empty or zero-filled, never half-written; nothing throws.
// Listeners (textures made from the bitmap) are told kNotifyDestroyed when it
// goes away, while its pixels still exist.
#pragma once

#include <cstdlib>
#include <memory>

#include "base/Types.h"
#include "engine/DXLNotifyObject.h"

struct DXLFreeDeleter {
  void operator()(u8* p) const { std::free(p); }
};
// A pixel buffer handed to the caller (GetResized); freed when it goes.
using DXLPixelBuffer = std::unique_ptr<u8[], DXLFreeDeleter>;

// Image filters for resizing (the D3DX filter codes).
enum DXLFILTER : u32 {
  DXLFILTER_NONE = 1,
  DXLFILTER_POINT = 2,
  DXLFILTER_LINEAR = 3,
  DXLFILTER_TRIANGLE = 4,
  DXLFILTER_BOX = 5,
};

class DXLBitmap : public DXLNotifyObject {
 public:
  static constexpr i32 kMaxSide = 4096;
  static constexpr i64 kMaxArea = 0x800000;

  DXLBitmap() = default;
  DXLBitmap(const DXLBitmap&) = delete;
  DXLBitmap& operator=(const DXLBitmap&) = delete;
  ~DXLBitmap() override;

  void SetSize(i32 width, i32 height);  // reallocates zeroed pixels; out of limits: unchanged
  void SetFormat(u32 format);           // converts the pixels; DXT codes are ignored
  void SetFormatField(u32 format) { format_ = format; }  // relabels without conversion
  u8* GetRow(i32 y);                    // unpacks; null for DXT, no pixels or a bad row
  u8* GetPixels() { return pixels_.get(); }  // as held, possibly packed
  u8* GetPixelsUnlocked();              // unpacks, then the pixels

  u32 GetFormat() const { return format_; }
  i32 GetWidth() const { return width_; }
  i32 GetHeight() const { return height_; }
  u32 GetDataSize() const { return dataSize_; }
  u32 GetUnpackedSize() const { return unpackedSize_; }
  u32 GetPackMode() const { return packMode_; }
  u8 GetBytesPerPixel() const { return bytesPerPixel_; }
  bool IsEmpty() const { return !pixels_ || width_ == 0 || height_ == 0; }

  void Clear();                  // 0 x 0, no pixels; the format stays
  void SetPackMode(u32 mode);    // 0 plain; 1, 2, 4 packed with elements of that size
  void UnpackForAccess();        // puts the pack mode aside and unpacks
  void Repack();                 // packs again with the mode put aside

  // Takes (format, width, height, dataSize, unpackedSize, packMode) from a file
  // header and allocates dataSize zeroed bytes for the reader to fill. A header
  // that breaks the limits or whose sizes disagree with the image is refused:
  // false, and the bitmap is unchanged. A failed allocation leaves it 0 x 0.
  bool SetFromHeader(const u32* header);

  // The image scaled to a size between 1x and 2x of the current one (filter
  // DXLFILTER_*), as a new buffer; null when the bitmap is empty, packed, DXT
  // or of format 0, or the size is out of range. The bitmap is unchanged.
  DXLPixelBuffer GetResized(i32 width, i32 height, u32 filter) const;
  DXLPixelBuffer GetResizedToPowerOfTwo(u32 filter) const;

 private:
  void Reallocate();
  void Unpack();
  void Convert(u32 format);

  u32 format_ = 0;
  i32 width_ = 0;
  i32 height_ = 0;
  u32 dataSize_ = 0;
  u32 unpackedSize_ = 0;
  u32 packMode_ = 0;
  u8 bytesPerPixel_ = 0;
  DXLPixelBuffer pixels_;
  u32 savedPackMode_ = 0;
};
