#include "base/MemoryStream.h"

#include <cstdlib>
#include <cstring>

namespace kis {

namespace {

constexpr u64 kSignBit = u64{1} << 63;

}  // namespace

u64 CustomMemoryStream::Seek(i64 offset, u32 origin) {
  switch (origin) {
    case 0:
      position_ = static_cast<u64>(offset);
      break;
    case 1:
      position_ += static_cast<u64>(offset);
      break;
    case 2:
      position_ = size_ + static_cast<u64>(offset);
      break;
    default:
      break;
  }
  return position_;
}

u64 CustomMemoryStream::Read(void* buffer, u64 size) {
  if (!buffer || !memory_ || (size & kSignBit) || (position_ & kSignBit) || position_ >= size_) return 0;
  const u64 remaining = size_ - position_;
  const u64 n = size < remaining ? size : remaining;
  std::memcpy(buffer, memory_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

MemoryStream::~MemoryStream() {
  SetCapacity(0);
  size_ = 0;
  position_ = 0;
}

u8* MemoryStream::Reallocate(u64& capacity) {
  if (capacity == 0) {
    std::free(memory_);
    return nullptr;
  }
  if (capacity > kMaxSize) return nullptr;
  if (capacity != size_) capacity = (capacity + kGrowStep - 1) / kGrowStep * kGrowStep;
  if (capacity == capacity_ && memory_) return memory_;
  return static_cast<u8*>(std::realloc(memory_, static_cast<size_t>(capacity)));
}

bool MemoryStream::SetCapacity(u64 capacity) {
  u64 wanted = capacity;
  u8* block = Reallocate(wanted);
  if (!block && wanted != 0) return false;  // the old block is untouched
  memory_ = block;
  capacity_ = block ? wanted : 0;
  return true;
}

bool MemoryStream::SetSize(u64 size) {
  if (size & kSignBit) return false;
  if (!SetCapacity(size)) return false;
  // Bytes that become part of the stream read as zeros, never as stale memory.
  if (size > size_) std::memset(memory_ + size_, 0, static_cast<size_t>(size - size_));
  size_ = size;
  if (position_ > size_) position_ = size_;
  return true;
}

u64 MemoryStream::Write(const void* buffer, u64 size) {
  if ((size_ & kSignBit) || (position_ & kSignBit) || (size & kSignBit)) return 0;
  const u64 end = position_ + size;  // both below 2^63: no overflow
  if (end == 0 || (size && !buffer)) return 0;
  if (end > size_) {
    if (end > capacity_ && !SetCapacity(end)) return 0;
    if (position_ > size_) std::memset(memory_ + size_, 0, static_cast<size_t>(position_ - size_));
    size_ = end;
  }
  if (size) std::memcpy(memory_ + position_, buffer, static_cast<size_t>(size));
  position_ = end;
  return size;
}

u64 ByteReadStream::Seek(i64 offset, u32 origin) {
  const i64 base = origin == 0 ? 0 : origin == 1 ? static_cast<i64>(position_) : static_cast<i64>(size_);
  const i64 at = base + offset;
  position_ = at < 0 ? 0 : static_cast<u64>(at);
  return position_;
}

u64 ByteReadStream::Read(void* buffer, u64 size) {
  if (!buffer || position_ >= size_) return 0;
  const u64 n = size < size_ - position_ ? size : size_ - position_;
  std::memcpy(buffer, data_ + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

}  // namespace kis
