// Font data records: both game font kinds written into and read back from a
// section of a sectioned data file. A record starts with the font kind's
// signature pair and a header whose first word is its own size and whose
// second is the CRC-32 of the header's fixed part; every array after it has
// its size and CRC-32 in the header.
//
// - System fonts keep their creation parameters and characters only (164-byte
//   header, then the code units); the glyphs are measured and drawn again
//   when the record is read.
// - Bitmap fonts keep cells, grid layout, glyphs and kerning pairs (88-byte
//   header); the picture is the caller's.
//
// The records inside (creation parameters, outline, shadow, cells, grid
// layout, glyphs, kerning pairs) are read and written by one table of
// fields each (base/RecordFields.h); the two headers are spelt out on both
// sides.
//
// Readers check every count and size against the caps and the bytes left in
// the section before anything is allocated, and a bitmap font's glyphs must
// name kerning runs inside the pairs read and second glyphs that exist. On
// any failure the font is deleted, `out` is null and the status returned.
#pragma once

#include "base/Types.h"

class DXLTexture;
class DXLViewer;
class KGEBitmapFont;
class KGEWinFont;

namespace kis {
class BaseDataFileReader;
class BaseDataFileWriter;
}  // namespace kis

constexpr u32 kKGEWinFontHeaderSize = 164;

// Read a font record from the open section into a new font; the caller deletes
// *out (null on failure). A bitmap font draws with `picture`, which it does
// not own.
i32 KGELoadWinFont(DXLViewer* viewer, kis::BaseDataFileReader* reader, KGEWinFont** out);
i32 KGELoadBitmapFont(DXLViewer* viewer, DXLTexture* picture, kis::BaseDataFileReader* reader, KGEBitmapFont** out);

// Writes a system font's record (signature, header, characters) at the
// writer's current section.
i32 KGEWriteWinFontData(kis::BaseDataFileWriter* writer, const KGEWinFont* font);
