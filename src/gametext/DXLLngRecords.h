// The records inside the sections of the language cache, all little-endian:
// - string: u32 length n, then n UTF-16 units (no terminator);
// - text: the key as a string, u32 variant count, u32 total characters, then
//   every variant as a string;
// - resource: the name as a string, a 12-byte header (u32 12, u32 blend mode,
//   u32 data size), then the bytes of the image file as it lies on disk.
// Readers check every length and count against the bytes left in the open
// section before they allocate or read, so a damaged cache fails cleanly.
#pragma once

#include <string>

#include "base/Types.h"
#include "gametext/DXLLngText.h"

namespace kis {
class BaseDataFileReader;
class BaseDataFileWriter;
}  // namespace kis

constexpr u32 kLngResourceHeaderSize = 12;
constexpr u32 kLngMaxResourceBytes = 64u << 20;

// Bytes left in the reader's open section.
u32 LngBytesLeft(kis::BaseDataFileReader* reader);
bool LngReadU32(kis::BaseDataFileReader* reader, u32* value);
bool LngWriteU32(kis::BaseDataFileWriter* writer, u32 value);

bool LngWriteString(kis::BaseDataFileWriter* writer, const wchar* text, u32 length);
// Refuses a length at or above `maximum`.
bool LngReadString(kis::BaseDataFileReader* reader, u32 maximum, std::u16string* out);

bool LngWriteText(kis::BaseDataFileWriter* writer, const DXLLngText* text);
// The key must be an identifier of at most 31 characters; null on failure.
DXLLngText* LngReadText(kis::BaseDataFileReader* reader);

// Writes a resource record with the bytes of the file at `path`.
bool LngWriteResource(kis::BaseDataFileWriter* writer, const wchar* name, u32 nameLength, u32 blendMode,
                      const wchar* path);
// Reads the name and the header; the reader then stands at the data, whose
// size is checked against the section.
bool LngReadResourceHeader(kis::BaseDataFileReader* reader, std::u16string* name, u32* blendMode, u32* dataSize);
