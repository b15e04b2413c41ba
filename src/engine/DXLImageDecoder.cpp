#include "engine/DXLImageDecoder.h"

#include <bit>
#include <cstring>

#include "base/MemoryStream.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/TargaDecode.h"
#include "platform/os/PlatformServices.h"

namespace {

bool TryLoader(DXLBitmapLoadProc loader, const u8* data, size_t size, plat::gfx::DecodedImage* out) {
  kis::ByteReadStream stream(data, size);
  DXLBitmap bitmap;
  loader(&stream, &bitmap);
  if (bitmap.IsEmpty()) return false;
  const u32 fileFormat = bitmap.GetFormat();
  bitmap.SetFormat(D3DFMT_A8R8G8B8);
  if (bitmap.GetFormat() != D3DFMT_A8R8G8B8 || bitmap.IsEmpty()) return false;
  const i32 w = bitmap.GetWidth(), h = bitmap.GetHeight();
  if (!out->Allocate(static_cast<u32>(w), static_cast<u32>(h))) return false;
  out->fileFormat = fileFormat;
  // A8R8G8B8 rows are blue, green, red, alpha bytes: little-endian words as they stand.
  static_assert(std::endian::native == std::endian::little);
  for (i32 y = 0; y < h; ++y) {
    const u8* row = bitmap.GetRow(y);
    if (!row) return false;
    std::memcpy(out->Row(static_cast<u32>(y)), row, static_cast<size_t>(w) * 4);
  }
  return true;
}

}  // namespace

DXLBitmapFileFormats* DXLGetBitmapFileFormats() {
  static DXLBitmapFileFormats formats;  // the built-in formats only: a per-process table
  return &formats;
}

bool DXLDecodeImage(const u8* data, size_t size, plat::gfx::DecodedImage* out) {
  if (!data || size == 0 || !out) return false;
  DXLBitmapFileFormats* formats = DXLGetBitmapFileFormats();
  const DXLBITMAPFILEFORMAT* targa = formats->Find(u"tga");
  for (i32 i = 0; i < formats->GetCount(); ++i) {
    const DXLBITMAPFILEFORMAT* f = formats->Get(i);
    if (!f || f == targa || !f->loader) continue;
    if (TryLoader(f->loader, data, size, out)) return true;
  }
  // The engine's own Targa reader writes straight into the rows.
  if (targa && targa->loader == &DXLLoadBitmapTGA) return DXLDecodeTGA(data, size, out);
  return targa && targa->loader && TryLoader(targa->loader, data, size, out);
}

void DXLInstallImageDecoder() { plat::GetPlatformServices().imageDecoder = &DXLDecodeImage; }

void DXLRemoveImageDecoder() { plat::GetPlatformServices().imageDecoder = nullptr; }
