#include "engine/image/SaveBitmapTGA.h"

#include "base/LittleEndian.h"
#include "engine/image/RunLength.h"

namespace {

constexpr u32 kHeaderSize = 18;

void PutHeader(u8* h, u32 type, u32 width, u32 height) {
  h[2] = static_cast<u8>(type);
  kis::PutU16LE(h + 12, static_cast<u16>(width));
  kis::PutU16LE(h + 14, static_cast<u16>(height));
  h[16] = 32;
  h[17] = 0x28;  // 8 alpha bits, first row at the top
}

}  // namespace

std::vector<u8> DXLEncodeTGA32(u32 width, u32 height, const u32* argb, u32 pitch, bool runLength) {
  if (!argb || width == 0 || height == 0 || width > 0xFFFF || height > 0xFFFF) return {};
  if (pitch == 0) pitch = width;
  const size_t bytes = static_cast<size_t>(width) * height * 4;
  std::vector<u8> file(kHeaderSize + bytes, 0);
  PutHeader(file.data(), 2, width, height);
  u8* out = file.data() + kHeaderSize;
  for (u32 y = 0; y < height; ++y)
    for (u32 x = 0; x < width; ++x) kis::PutU32LE(out + (static_cast<size_t>(y) * width + x) * 4, argb[static_cast<size_t>(y) * pitch + x]);
  if (!runLength) return file;

  std::vector<u8> packed(kHeaderSize + bytes, 0);
  const u64 length = DXLPackRunLength(out, bytes, 4, packed.data() + kHeaderSize, bytes);
  if (length == 0) return file;  // packing would not be smaller
  PutHeader(packed.data(), 10, width, height);
  packed.resize(kHeaderSize + static_cast<size_t>(length));
  return packed;
}
