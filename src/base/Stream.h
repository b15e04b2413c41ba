// kis::Stream - byte streams with 64-bit positions and sizes. Concrete streams
// over files (HandleStream, FileStreamW/A) and memory (CustomMemoryStream,
// MemoryStream) derive from it. Failures are reported through results only.
#pragma once

#include "base/Types.h"

namespace kis {

class Stream {
 public:
  Stream() = default;
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  virtual ~Stream() = default;

  virtual bool IsOpen() const = 0;
  virtual bool SetSize(u64 size) = 0;
  // origin: 0 from the beginning, 1 from the current position, 2 from the end.
  virtual u64 Seek(i64 offset, u32 origin) = 0;
  virtual u64 Read(void* buffer, u64 size) = 0;         // bytes read
  virtual u64 Write(const void* buffer, u64 size) = 0;  // bytes written

  u64 GetPosition() { return Seek(0, 1); }
  u64 SetPosition(u64 position) { return Seek(static_cast<i64>(position), 0); }
  // The end position; the current position is kept.
  u64 GetSize() {
    const u64 here = Seek(0, 1);
    const u64 end = Seek(0, 2);
    Seek(static_cast<i64>(here), 0);
    return end;
  }
  // True only when the whole count was transferred.
  bool ReadBlock(void* buffer, u64 count) { return Read(buffer, count) == count; }
  bool WriteBlock(const void* buffer, u64 count) { return Write(buffer, count) == count; }
};

}  // namespace kis
