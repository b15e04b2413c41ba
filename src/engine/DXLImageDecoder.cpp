#include "engine/DXLImageDecoder.h"

#include <bit>
#include <cstring>

#include "base/MemoryStream.h"
#include "engine/image/D3DFormat.h"
#include "engine/image/DXLBitmap.h"

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
  out->width = static_cast<u32>(w);
  out->height = static_cast<u32>(h);
  out->fileFormat = fileFormat;
  out->argb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
  // A8R8G8B8 rows are blue, green, red, alpha bytes: little-endian words as they stand.
  static_assert(std::endian::native == std::endian::little);
  for (i32 y = 0; y < h; ++y) {
    const u8* row = bitmap.GetRow(y);
    if (!row) return false;
    std::memcpy(out->argb.data() + static_cast<size_t>(y) * static_cast<size_t>(w), row, static_cast<size_t>(w) * 4);
  }
  return true;
}

}  // namespace

DXLBitmapFileFormats* DXLGetBitmapFileFormats() {
  static DXLBitmapFileFormats formats;
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
  return targa && targa->loader && TryLoader(targa->loader, data, size, out);
}

void DXLInstallImageDecoder() { plat::gfx::SetImageDecoder(&DXLDecodeImage); }

void DXLRemoveImageDecoder() { plat::gfx::SetImageDecoder(nullptr); }
