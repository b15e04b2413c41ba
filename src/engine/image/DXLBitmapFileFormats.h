// The bitmap file readers, keyed by file extension. Each format has one loader
// that reads one image from a stream positioned at the start of the file into
// a DXLBitmap; there are no writers. Loaders report nothing: a file they can't
// read leaves the bitmap unchanged (bad signature, short or invalid header,
// unsupported kind), zero-filled (pixels that did not arrive after the size
// was set) or cleared (engine formats and compressed data that did not
// arrive). Every size and index from a file is checked before use.
#pragma once

#include "base/List.h"
#include "base/Stream.h"
#include "base/Types.h"
#include "engine/image/DXLBitmap.h"

using DXLBitmapLoadProc = void (*)(kis::Stream* stream, DXLBitmap* bitmap);

struct DXLBITMAPFILEFORMAT {
  char16_t extension[128];   // without the dot, compared ignoring case
  char16_t description[512];
  DXLBitmapLoadProc loader;
};

// Owns its entries and frees them, last to first, when destroyed. The
// constructor registers "glb", "dxlb", "tga", "ico", "bmp", "dds" and "ppm";
// "cur" has no entry: cursor files go through the icon reader.
class DXLBitmapFileFormats : public kis::list<DXLBITMAPFILEFORMAT*> {
 public:
  DXLBitmapFileFormats();
  ~DXLBitmapFileFormats() override;

  // The first entry whose extension equals the text, A to Z folded to lower
  // case; null when none.
  DXLBITMAPFILEFORMAT* Find(const char16_t* extension) const;
  // Ignored for a null or empty extension or one already registered.
  void Register(const char16_t* extension, const char16_t* description, DXLBitmapLoadProc loader);
};

void DXLLoadBitmapGLB(kis::Stream* stream, DXLBitmap* bitmap);
void DXLLoadBitmapDXLB(kis::Stream* stream, DXLBitmap* bitmap);
void DXLLoadBitmapTGA(kis::Stream* stream, DXLBitmap* bitmap);
// Icons (type 1) and cursors (type 2): the last image of the directory.
void DXLLoadBitmapICO(kis::Stream* stream, DXLBitmap* bitmap);
constexpr u32 kIconTypeCursor = 2;
// A cursor file's hotspot (of the image DXLLoadBitmapICO loads); false for
// a file that is not a cursor or ends in its directory.
bool DXLReadCursorHotspot(kis::Stream* stream, i32* x, i32* y);
void DXLLoadBitmapBMP(kis::Stream* stream, DXLBitmap* bitmap);
void DXLLoadBitmapDDS(kis::Stream* stream, DXLBitmap* bitmap);
void DXLLoadBitmapPPM(kis::Stream* stream, DXLBitmap* bitmap);
