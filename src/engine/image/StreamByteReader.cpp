#include "engine/image/StreamByteReader.h"

#include <algorithm>
#include <cstring>

StreamByteReader::StreamByteReader(kis::Stream* stream) : stream_(stream), buffer_(new u8[kBufferSize]) {}

// The first fill is small: most readers tried on a file look at its header
// and give up, and should not copy a whole buffer for it.
bool StreamByteReader::Fill() {
  pos_ = len_ = 0;
  if (!stream_) return false;
  const u64 want = filled_ ? kBufferSize : kFirstFill;
  filled_ = true;
  len_ = std::min(stream_->Read(buffer_.get(), want), want);
  return len_ > 0;
}

u64 StreamByteReader::Read(void* buffer, u64 count) {
  u8* out = static_cast<u8*>(buffer);
  u64 done = 0;
  while (done < count) {
    if (pos_ < len_) {
      const u64 step = std::min(count - done, len_ - pos_);
      std::memcpy(out + done, buffer_.get() + pos_, step);
      pos_ += step;
      done += step;
    } else if (count - done >= kBufferSize) {
      // Large blocks skip the buffer.
      if (!stream_) break;
      const u64 want = count - done;
      const u64 got = std::min(stream_->Read(out + done, want), want);
      if (got == 0) break;
      done += got;
    } else if (!Fill()) {
      break;
    }
  }
  return done;
}

bool StreamByteReader::Skip(u64 count) {
  u8 scratch[4096];
  while (count > 0) {
    const u64 step = std::min<u64>(count, sizeof scratch);
    if (Read(scratch, step) != step) return false;
    count -= step;
  }
  return true;
}

bool StreamByteReader::SeekTo(u64 position) {
  pos_ = len_ = 0;
  if (!stream_ || position > static_cast<u64>(INT64_MAX)) return false;
  return stream_->Seek(static_cast<i64>(position), 0) == position;
}
