// Textures stored inside the sections of a data file. An entry may start with
// a 76-byte header (DXLReadTextureHeader): u32 76, the magic "UmNT", u32 kind
// (0 = a reference to a texture of a list by name) and a name of 32 UTF-16
// units. DXLTextureLoaderDataFile remembers where an image file lies in the
// reader's open section and reads it again whenever its texture is built:
// from any directory, and without moving the reader (its current directory,
// open section and read position stay as they were), so a texture may load
// between two records that a reader reads in steps.
//
// The reader is not owned and must outlive its loaders. A loader whose image
// failed once is not tried again. All loaders share one read buffer, freed
// with the last loader; an image larger than kMaxImageBytes is refused.
#pragma once

#include "base/Types.h"
#include "base/datafile/DataFileReader.h"
#include "engine/DXLTextureSource.h"

class DXLTexture;
class DXLTextures;

constexpr u32 kTextureHeaderSize = 76;
constexpr u32 kTextureHeaderMagic = 0x544E6D55u;  // "UmNT"
constexpr u32 kTextureHeaderReference = 0;       // kind: a texture of the list, by name

// Reads the header from the reader's open section. False (out null) when the
// read fails or the size or magic is wrong; otherwise true, with out the
// list's texture of that name (case-insensitive) for kind 0, else null.
bool DXLReadTextureHeader(kis::BaseDataFileReader* reader, DXLTextures* list, DXLTexture** out);
// Fills the kTextureHeaderSize bytes at `out` with a header naming `name`
// (kind 0, cut at 32 units); the bytes after the name are left as they are.
void DXLPutTextureHeader(u8* out, const wchar* name);

class DXLTextureLoaderDataFile : public DXLTextureSource {
 public:
  static constexpr u32 kFirstBuffer = 0x100000;      // 1 MiB
  static constexpr u32 kBufferStep = 0x40000;        // 256 KiB
  static constexpr u32 kMaxImageBytes = 64u << 20;   // a larger count is damage, not an image

  // Takes the reader's open entry and position and skips the reader past the
  // `byteCount` bytes of the image.
  DXLTextureLoaderDataFile(kis::BaseDataFileReader* reader, u32 byteCount);
  ~DXLTextureLoaderDataFile() override;

  void LoadTexture(DXLTexture* texture) override;

  bool HasFailed() const { return failed_ != 0; }
  static u32 GetBufferCapacity() { return bufferCapacity_; }
  static u32 GetInstanceCount() { return instances_; }

 private:
  kis::BaseDataFileReader* reader_;
  const kis::DATAFILEENTRY* entry_ = nullptr;
  u32 position_ = 0;
  u32 byteCount_;
  u32 failed_ = 1;

  // One read buffer shared by every live loader and freed with the last: a
  // per-process cache, no game-wide state.
  static u8* buffer_;
  static u32 bufferCapacity_;
  static u32 instances_;
};
