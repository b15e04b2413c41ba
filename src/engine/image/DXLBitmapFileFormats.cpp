#include "engine/image/DXLBitmapFileFormats.h"

#include "platform/encoding/Ascii.h"

namespace {

bool SameExtension(const char16_t* a, const char16_t* b) {
  for (;; ++a, ++b) {
    if (plat::AsciiToLower(*a) != plat::AsciiToLower(*b)) return false;
    if (*a == 0) return true;
  }
}

void CopyBounded(char16_t* out, const char16_t* in, u32 capacity) {
  u32 i = 0;
  if (in)
    for (; in[i] && i + 1 < capacity; ++i) out[i] = in[i];
  out[i] = 0;
}

}  // namespace

// The seven formats, in this order. Cursor files have no entry of their own:
// the icon reader tells them by their directory type (see DXLLoadBitmapICO).
DXLBitmapFileFormats::DXLBitmapFileFormats() {
  Register(u"glb", u"GLB Bitmap", DXLLoadBitmapGLB);
  Register(u"dxlb", u"DXLB Bitmap", DXLLoadBitmapDXLB);
  Register(u"tga", u"Targa file", DXLLoadBitmapTGA);
  Register(u"ico", u"Icon file", DXLLoadBitmapICO);
  Register(u"bmp", u"Bitmap file", DXLLoadBitmapBMP);
  Register(u"dds", u"Direct Draw Surface", DXLLoadBitmapDDS);
  Register(u"ppm", u"Portable Pixmap", DXLLoadBitmapPPM);
}

DXLBitmapFileFormats::~DXLBitmapFileFormats() { DeleteAll(); }

DXLBITMAPFILEFORMAT* DXLBitmapFileFormats::Find(const char16_t* extension) const {
  if (!extension) return nullptr;
  for (i32 i = 0; i < count_; ++i)
    if (SameExtension(items_[i]->extension, extension)) return items_[i];
  return nullptr;
}

void DXLBitmapFileFormats::Register(const char16_t* extension, const char16_t* description,
                                    DXLBitmapLoadProc loader) {
  if (!extension || !extension[0] || Find(extension)) return;
  auto* entry = new DXLBITMAPFILEFORMAT;
  CopyBounded(entry->extension, extension, 128);
  CopyBounded(entry->description, description, 512);
  entry->loader = loader;
  Add(entry);
}
