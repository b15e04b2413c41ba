// The cursor reader must survive any file: the hotspot read from the
// directory and the picture loaded from it. A cursor whose picture loads
// also has its hotspot read, and a file whose hotspot reads is a cursor.
#include <cstddef>
#include <cstdint>

#include "base/MemoryStream.h"
#include "engine/image/DXLBitmap.h"
#include "engine/image/DXLBitmapFileFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kis::ByteReadStream hotspotStream(data, size);
  i32 x = -1, y = -1;
  const bool hotspot = DXLReadCursorHotspot(&hotspotStream, &x, &y);
  if (hotspot && (x < 0 || x > 0xFFFF || y < 0 || y > 0xFFFF)) __builtin_trap();
  const bool cursor = size >= 6 && data[2] == kIconTypeCursor && data[3] == 0;
  if (hotspot && !cursor) __builtin_trap();
  kis::ByteReadStream stream(data, size);
  DXLBitmap bitmap;
  DXLLoadBitmapICO(&stream, &bitmap);
  if (cursor && !bitmap.IsEmpty() && !hotspot) __builtin_trap();
  return 0;
}
