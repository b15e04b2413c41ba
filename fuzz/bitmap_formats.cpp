// Every bitmap file loader must survive any input: the first byte picks the
// loader, the rest is the file. A loaded bitmap must hold exactly the bytes
// its size implies, and must convert and scale without faults. A Targa file
// decoded straight into ARGB rows must give the loaded bitmap's pixels.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/MemoryStream.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/DXTDecoder.h"
#include "engine/image/PixelFormat.h"
#include "engine/image/TargaDecode.h"

namespace {

constexpr DXLBitmapLoadProc kLoaders[] = {DXLLoadBitmapGLB, DXLLoadBitmapDXLB, DXLLoadBitmapTGA, DXLLoadBitmapICO,
                                          DXLLoadBitmapBMP, DXLLoadBitmapDDS,  DXLLoadBitmapPPM};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  kis::ByteReadStream stream(data + 1, size - 1);
  DXLBitmap bitmap;
  kLoaders[data[0] % 7](&stream, &bitmap);
  if (kLoaders[data[0] % 7] == DXLLoadBitmapTGA) {
    plat::gfx::DecodedImage image;
    const bool decoded = DXLDecodeTGA(data + 1, size - 1, &image);
    if (decoded == bitmap.IsEmpty()) __builtin_trap();
    if (decoded) {
      bitmap.SetFormat(D3DFMT_A8R8G8B8);
      for (u32 y = 0; y < image.height; ++y) {
        const u8* row = bitmap.GetRow(static_cast<i32>(y));
        if (!row || std::memcmp(row, image.Row(y), size_t{image.width} * 4) != 0) __builtin_trap();
      }
    }
  }
  if (bitmap.IsEmpty()) return 0;

  const u64 area = static_cast<u64>(bitmap.GetWidth()) * static_cast<u64>(bitmap.GetHeight());
  if (DXLIsDXTFormat(bitmap.GetFormat())) {
    if (bitmap.GetDataSize() != DXLGetDXTDataSize(bitmap.GetWidth(), bitmap.GetHeight(), bitmap.GetFormat()))
      __builtin_trap();
  } else {
    u8* pixels = bitmap.GetPixelsUnlocked();
    if (pixels && bitmap.GetDataSize() != area * bitmap.GetBytesPerPixel()) __builtin_trap();
  }
  // Small images also go through conversion, packing and scaling.
  if (area <= 64 * 64) {
    bitmap.SetFormat(D3DFMT_A8R8G8B8);
    bitmap.SetPackMode(4);
    bitmap.SetFormat(D3DFMT_A4R4G4B4);
    DXLPixelBuffer scaled = bitmap.GetResizedToPowerOfTwo(DXLFILTER_LINEAR);
    (void)scaled;
  }
  return 0;
}
