// Random-access byte sources the Ogg decoder reads from: a range of a file
// (sounds read in place from an archive) or bytes in memory. Reads past the
// end are short; nothing outside the range is ever read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/os/File.h"

namespace plat::audio {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads up to size bytes at position; the count read (0 at or past the end
  // and on a read failure).
  virtual size_t ReadAt(uint64_t position, void* buffer, size_t size) = 0;
};

// [offset, offset + length) of a file, which stays open while the source
// lives. Length 0 means "to the end of the file".
class FileRangeSource final : public ByteSource {
 public:
  // Null when the file cannot be opened or the range does not lie within it.
  static std::unique_ptr<FileRangeSource> Open(std::u16string_view path, uint64_t offset, uint64_t length);
  ~FileRangeSource() override;
  FileRangeSource(const FileRangeSource&) = delete;
  FileRangeSource& operator=(const FileRangeSource&) = delete;

  uint64_t Size() const override { return length_; }
  size_t ReadAt(uint64_t position, void* buffer, size_t size) override;

 private:
  FileRangeSource(FileHandle file, uint64_t offset, uint64_t length) : file_(file), offset_(offset), length_(length) {}

  FileHandle file_;
  uint64_t offset_;
  uint64_t length_;
};

// Bytes owned by the caller, who keeps them alive while the source lives.
class MemorySource final : public ByteSource {
 public:
  MemorySource(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t position, void* buffer, size_t size) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace plat::audio
