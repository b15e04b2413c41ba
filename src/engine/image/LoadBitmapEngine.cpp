// Loaders of the engine's own image files: "dxlb" (a bitmap's state as it is
// held in memory) and "glb" (R, G, B, A pixels stored bottom-up).
#include "base/LittleEndian.h"
#include "engine/image/BitmapLoadHelpers.h"
#include "engine/image/DXLBitmapFileFormats.h"
#include "engine/image/RunLength.h"
#include "engine/image/StreamByteReader.h"

namespace {

// Reads the data bytes announced by the header into the bitmap. Data that
// does not arrive, or a packed stream that does not unpack to exactly the
// image, clears the bitmap.
void ReadData(StreamByteReader& in, DXLBitmap* bitmap) {
  if (!bitmap->GetPixels()) return;
  if (!in.ReadExact(bitmap->GetPixels(), bitmap->GetDataSize())) {
    bitmap->Clear();
    return;
  }
  if (bitmap->GetUnpackedSize() > 0 &&
      !DXLUnpackRunLength(bitmap->GetPixels(), bitmap->GetDataSize(), bitmap->GetPackMode(), nullptr,
                          bitmap->GetUnpackedSize()))
    bitmap->Clear();
}

}  // namespace

void DXLLoadBitmapDXLB(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 raw[24];
  if (!in.ReadExact(raw, sizeof raw)) return;
  u32 header[6];
  for (int i = 0; i < 6; ++i) header[i] = kis::GetU32LE(raw + 4 * i);
  if (!bitmap->SetFromHeader(header)) return;
  ReadData(in, bitmap);
}

void DXLLoadBitmapGLB(kis::Stream* stream, DXLBitmap* bitmap) {
  if (!stream || !bitmap) return;
  StreamByteReader in(stream);
  u8 raw[17];
  if (!in.ReadExact(raw, sizeof raw)) return;
  const u8 packing = raw[8];
  const u32 mode = packing == 0 ? 1 : packing == 1 ? 2 : packing == 2 ? 4 : 0;
  const u32 header[6] = {D3DFMT_A8R8G8B8, kis::GetU32LE(raw), kis::GetU32LE(raw + 4), kis::GetU32LE(raw + 9),
                         kis::GetU32LE(raw + 13), mode};
  if (!bitmap->SetFromHeader(header)) return;
  ReadData(in, bitmap);
  if (bitmap->IsEmpty()) return;

  bitmap->UnpackForAccess();
  u8* p = bitmap->GetPixels();
  if (p) {
    const u64 count = static_cast<u64>(bitmap->GetWidth()) * static_cast<u64>(bitmap->GetHeight());
    for (u64 i = 0; i < count; ++i, p += 4) {
      const u8 r = p[0];
      p[0] = p[2];
      p[2] = r;
    }
    bitmapload::ReverseRows(bitmap);
  }
  bitmap->Repack();
}
