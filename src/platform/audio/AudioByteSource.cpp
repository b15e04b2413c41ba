#include "platform/audio/AudioByteSource.h"

#include <algorithm>
#include <cstring>

namespace plat::audio {

std::unique_ptr<FileRangeSource> FileRangeSource::Open(std::u16string_view path, uint64_t offset, uint64_t length) {
  const FileHandle file = OpenFile(path, kFileRead);
  if (file == kInvalidFile) return nullptr;
  uint64_t fileSize = 0;
  if (!SeekFile(file, 0, 2, &fileSize) || offset > fileSize || (length != 0 && length > fileSize - offset)) {
    CloseFile(file);
    return nullptr;
  }
  if (length == 0) length = fileSize - offset;
  return std::unique_ptr<FileRangeSource>(new FileRangeSource(file, offset, length));
}

FileRangeSource::~FileRangeSource() { CloseFile(file_); }

size_t FileRangeSource::ReadAt(uint64_t position, void* buffer, size_t size) {
  if (position >= length_) return 0;
  const size_t count = static_cast<size_t>(std::min<uint64_t>(size, length_ - position));
  uint64_t at = 0;
  if (!SeekFile(file_, static_cast<int64_t>(offset_ + position), 0, &at)) return 0;
  const uint64_t got = ReadFile(file_, buffer, count);
  return got == kFileError ? 0 : static_cast<size_t>(got);
}

size_t MemorySource::ReadAt(uint64_t position, void* buffer, size_t size) {
  if (position >= size_) return 0;
  const size_t count = static_cast<size_t>(std::min<uint64_t>(size, size_ - position));
  std::memcpy(buffer, data_ + position, count);
  return count;
}

}  // namespace plat::audio
