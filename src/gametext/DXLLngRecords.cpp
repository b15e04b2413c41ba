#include "gametext/DXLLngRecords.h"

#include <vector>

#include "base/LittleEndian.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "platform/os/File.h"

u32 LngBytesLeft(kis::BaseDataFileReader* reader) {
  const u32 size = reader->GetSectionSize();
  const u32 pos = reader->GetPosition();
  return pos <= size ? size - pos : 0;
}

bool LngReadU32(kis::BaseDataFileReader* reader, u32* value) {
  u8 b[4];
  if (LngBytesLeft(reader) < 4 || !reader->Read(b, 4)) return false;
  *value = kis::GetU32LE(b);
  return true;
}

bool LngWriteU32(kis::BaseDataFileWriter* writer, u32 value) {
  u8 b[4];
  kis::PutU32LE(b, value);
  return writer->Write(b, 4);
}

bool LngWriteString(kis::BaseDataFileWriter* writer, const wchar* text, u32 length) {
  if (!LngWriteU32(writer, length)) return false;
  if (length == 0) return true;
  std::vector<u8> bytes(size_t{length} * 2);
  for (u32 i = 0; i < length; ++i) kis::PutU16LE(&bytes[2 * i], text[i]);
  return writer->Write(bytes.data(), static_cast<u32>(bytes.size()));
}

bool LngReadString(kis::BaseDataFileReader* reader, u32 maximum, std::u16string* out) {
  u32 n = 0;
  if (!LngReadU32(reader, &n) || n >= maximum || u64{n} * 2 > LngBytesLeft(reader)) return false;
  std::vector<u8> bytes(size_t{n} * 2);
  if (n && !reader->Read(bytes.data(), n * 2)) return false;
  out->resize(n);
  for (u32 i = 0; i < n; ++i) (*out)[i] = kis::GetU16LE(&bytes[2 * i]);
  return true;
}

bool LngWriteText(kis::BaseDataFileWriter* writer, const DXLLngText* text) {
  if (!text) return false;
  if (!LngWriteString(writer, text->key.name, text->key.length)) return false;
  if (!LngWriteU32(writer, text->count) || !LngWriteU32(writer, text->total)) return false;
  for (u32 i = 0; i < text->count; ++i) {
    const DXLLngVariant& v = text->Variants()[i];
    if (!LngWriteString(writer, v.text, v.length)) return false;
  }
  return true;
}

DXLLngText* LngReadText(kis::BaseDataFileReader* reader) {
  std::u16string key;
  if (!LngReadString(reader, kis::kMaxNameChars + 1, &key)) return nullptr;
  kis::Identifier id;
  if (!id.Parse(key.c_str(), static_cast<u32>(key.size()), false, nullptr, nullptr)) return nullptr;
  u32 count = 0, total = 0;
  if (!LngReadU32(reader, &count) || !LngReadU32(reader, &total)) return nullptr;
  // Every variant takes at least its length word, every character two bytes.
  const u64 left = LngBytesLeft(reader);
  if (count == 0 || u64{count} * 4 + u64{total} * 2 > left) return nullptr;
  DXLLngText* t = AllocLngText(id, count, total);
  if (!t) return nullptr;
  u32 remaining = total;
  std::u16string v;
  for (u32 i = 0; i < count; ++i) {
    if (!LngReadString(reader, remaining + 1, &v) ||
        !FillLngVariant(t, i, v.data(), static_cast<u32>(v.size()))) {
      FreeLngText(t);
      return nullptr;
    }
    remaining -= static_cast<u32>(v.size());
  }
  return t;
}

bool LngWriteResource(kis::BaseDataFileWriter* writer, const wchar* name, u32 nameLength, u32 blendMode,
                      const wchar* path) {
  if (!path || !path[0]) return false;
  const plat::FileHandle file = plat::OpenFile(std::u16string_view(path), plat::kFileRead);
  if (file == plat::kInvalidFile) return false;
  u64 size = 0;
  std::vector<u8> bytes;
  bool ok = plat::SeekFile(file, 0, 2, &size) && size > 0 && size <= kLngMaxResourceBytes &&
            plat::SeekFile(file, 0, 0, nullptr);
  if (ok) {
    bytes.resize(static_cast<size_t>(size));
    ok = plat::ReadFile(file, bytes.data(), size) == size;
  }
  plat::CloseFile(file);
  if (!ok) return false;
  return LngWriteString(writer, name, nameLength) && LngWriteU32(writer, kLngResourceHeaderSize) &&
         LngWriteU32(writer, blendMode) && LngWriteU32(writer, static_cast<u32>(size)) &&
         writer->Write(bytes.data(), static_cast<u32>(size));
}

bool LngReadResourceHeader(kis::BaseDataFileReader* reader, std::u16string* name, u32* blendMode, u32* dataSize) {
  if (!LngReadString(reader, kis::kMaxNameChars + 1, name)) return false;
  u32 headerSize = 0;
  if (!LngReadU32(reader, &headerSize) || headerSize != kLngResourceHeaderSize) return false;
  if (!LngReadU32(reader, blendMode) || !LngReadU32(reader, dataSize)) return false;
  return *dataSize > 0 && *dataSize <= kLngMaxResourceBytes && *dataSize <= LngBytesLeft(reader);
}
