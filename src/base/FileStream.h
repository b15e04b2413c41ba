// File streams: HandleStream reads and writes an open file handle of the
// platform layer and closes it when destroyed; FileStreamW and FileStreamA open
// the file by name at construction (wide names are UTF-16, 8-bit names UTF-8).
//
// The stream is open from construction to destruction. Failures show only in
// results: IsOpen false after a failed open, all ones (kStreamError) from Read
// or Write, 0 from Seek, false from SetSize. Reads and writes transfer the
// whole count in one call, whatever its size (a read stops short only at the
// end of the file).
#pragma once

#include "base/Stream.h"
#include "platform/os/File.h"

namespace kis {

// Open modes of FileStreamW/FileStreamA. kStreamCreate creates or truncates
// the file for reading and writing; any other mode opens an existing file
// with the access bits it holds. The share bits are accepted for callers'
// sake but have no effect: files are never locked against other openers.
constexpr u32 kStreamCreate = 0xFFFFFFFFu;
constexpr u32 kStreamRead = 0x80000000u;
constexpr u32 kStreamWrite = 0x40000000u;
constexpr u32 kStreamShareRead = 1;
constexpr u32 kStreamShareWrite = 2;

// Result of a failed Read or Write on a file stream.
constexpr u64 kStreamError = ~u64{0};

class HandleStream : public Stream {
 public:
  HandleStream() = default;
  explicit HandleStream(plat::FileHandle handle) : handle_(handle) {}
  ~HandleStream() override;

  bool IsOpen() const override { return handle_ != plat::kInvalidFile; }
  bool SetSize(u64 size) override;  // position ends at the new end
  u64 Seek(i64 offset, u32 origin) override;  // new position, 0 on failure
  u64 Read(void* buffer, u64 size) override;
  u64 Write(const void* buffer, u64 size) override;

  plat::FileHandle GetHandle() const { return handle_; }

 protected:
  plat::FileHandle handle_ = plat::kInvalidFile;
};

class FileStreamW : public HandleStream {
 public:
  FileStreamW(const wchar* name, u32 mode);
};

class FileStreamA : public HandleStream {
 public:
  FileStreamA(const char* name, u32 mode);
};

}  // namespace kis
