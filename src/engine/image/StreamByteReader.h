// StreamByteReader - buffered reading from a kis::Stream for the bitmap file
// loaders, which read many single bytes (packet headers, decimal digits).
// Large reads go straight to the stream. Reads past the end are short, never
// errors; the caller decides what a short read means.
#pragma once

#include <memory>

#include "base/Stream.h"
#include "base/Types.h"

class StreamByteReader {
 public:
  explicit StreamByteReader(kis::Stream* stream);
  StreamByteReader(const StreamByteReader&) = delete;
  StreamByteReader& operator=(const StreamByteReader&) = delete;

  u64 Read(void* buffer, u64 count);  // bytes read
  bool ReadExact(void* buffer, u64 count) { return Read(buffer, count) == count; }
  bool Byte(u8* out) {
    if (pos_ == len_ && !Fill()) return false;
    *out = buffer_[pos_++];
    return true;
  }
  void Unget() {  // puts back the byte just taken by Byte
    if (pos_ > 0) --pos_;
  }
  bool Skip(u64 count);        // false when the stream ends first
  bool SeekTo(u64 position);   // true when the stream reports that position

 private:
  static constexpr u64 kBufferSize = 64 * 1024;
  static constexpr u64 kFirstFill = 512;
  bool Fill();

  kis::Stream* stream_;
  std::unique_ptr<u8[]> buffer_;
  u64 pos_ = 0;
  u64 len_ = 0;
  bool filled_ = false;
};
