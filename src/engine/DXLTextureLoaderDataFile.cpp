#include "engine/DXLTextureLoaderDataFile.h"

#include <cstdlib>

#include "base/LittleEndian.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextures.h"

u8* DXLTextureLoaderDataFile::buffer_ = nullptr;
u32 DXLTextureLoaderDataFile::bufferCapacity_ = 0;
u32 DXLTextureLoaderDataFile::instances_ = 0;

bool DXLReadTextureHeader(kis::BaseDataFileReader* reader, DXLTextures* list, DXLTexture** out) {
  if (out) *out = nullptr;
  if (!reader) return false;
  u8 raw[kTextureHeaderSize];
  if (!reader->Read(raw, kTextureHeaderSize)) return false;
  if (kis::GetU32LE(raw) != kTextureHeaderSize || kis::GetU32LE(raw + 4) != kTextureHeaderMagic) return false;
  const u32 kind = kis::GetU32LE(raw + 8);
  if (list && kind == kTextureHeaderReference && out) {
    wchar name[33];
    for (u32 i = 0; i < 32; ++i) name[i] = static_cast<wchar>(kis::GetU16LE(raw + 12 + 2 * i));
    name[32] = 0;  // a name that fills the field is cut there
    *out = list->FindTextureI(name);
  }
  return true;
}

void DXLPutTextureHeader(u8* out, const wchar* name) {
  kis::PutU32LE(out, kTextureHeaderSize);
  kis::PutU32LE(out + 4, kTextureHeaderMagic);
  kis::PutU32LE(out + 8, kTextureHeaderReference);
  for (u32 i = 0; i < 32 && name && name[i] != 0; ++i) kis::PutU16LE(out + 12 + 2 * i, name[i]);
}

DXLTextureLoaderDataFile::DXLTextureLoaderDataFile(kis::BaseDataFileReader* reader, u32 byteCount)
    : reader_(reader), byteCount_(byteCount) {
  ++instances_;
  if (!reader_) return;
  entry_ = reader_->GetOpenEntry();
  position_ = reader_->GetPosition();
  if (!entry_ || position_ == 0xFFFFFFFFu) return;
  // The image must lie inside the entry and within a sane size.
  if (byteCount_ == 0 || byteCount_ > kMaxImageBytes || byteCount_ > entry_->size - position_) return;
  if (!reader_->Seek(position_ + byteCount_)) return;
  failed_ = 0;
}

DXLTextureLoaderDataFile::~DXLTextureLoaderDataFile() {
  if (--instances_ == 0) {
    std::free(buffer_);
    buffer_ = nullptr;
    bufferCapacity_ = 0;
  }
}

void DXLTextureLoaderDataFile::LoadTexture(DXLTexture* texture) {
  if (failed_ || !texture || !reader_) return;
  failed_ = 1;
  if (bufferCapacity_ < byteCount_) {
    u32 capacity = bufferCapacity_ == 0 ? kFirstBuffer : 0;
    if (capacity < byteCount_) capacity = (byteCount_ + kBufferStep - 1) / kBufferStep * kBufferStep;
    u8* grown = static_cast<u8*>(std::realloc(buffer_, capacity));
    if (!grown) return;  // the old buffer stays
    buffer_ = grown;
    bufferCapacity_ = capacity;
  }
  if (!reader_->ReadEntryBytes(entry_, position_, buffer_, byteCount_)) return;
  texture->LoadFromMemory(buffer_, byteCount_);
  if (texture->IsReady()) failed_ = 0;
}
