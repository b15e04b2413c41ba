// Memory streams. CustomMemoryStream reads from a block of memory with a size
// and a position; MemoryStream owns a growable block that it enlarges on
// writes and SetSize, in steps of 8192 bytes.
//
// Contract: the stream is open while it has a block. Seeking is never bounded
// (a position past the end reads nothing); writing past the end extends the
// size to the end of the written range and zero-fills any gap. A failed
// allocation leaves the stream as it was and makes the Write (0) or SetSize
// (false) fail. Sizes and positions are 64-bit; values with the top bit set
// count as negative and nothing is transferred at them.
#pragma once

#include "base/Stream.h"

namespace kis {

class CustomMemoryStream : public Stream {
 public:
  CustomMemoryStream() = default;

  bool IsOpen() const override { return memory_ != nullptr; }
  u64 Seek(i64 offset, u32 origin) override;
  u64 Read(void* buffer, u64 size) override;  // min(size, what remains), or 0

  // The bytes in use (GetSize() of them); null while the stream is empty.
  const u8* GetMemory() const { return memory_; }

 protected:
  u64 size_ = 0;
  u64 position_ = 0;
  u8* memory_ = nullptr;
};

class MemoryStream : public CustomMemoryStream {
 public:
  // Largest size a memory stream grows to; a larger request is a corrupt
  // offset or size, not data.
  static constexpr u64 kMaxSize = u64{1} << 34;
  static constexpr u64 kGrowStep = 8192;

  MemoryStream() = default;
  ~MemoryStream() override;

  bool SetSize(u64 size) override;  // the position moves to the end if beyond it
  u64 Write(const void* buffer, u64 size) override;

  // Grows or shrinks the block to hold `capacity` bytes (rounded up to the
  // growth step unless it equals the size; 0 frees the block); returns the
  // block, or null when the allocation failed, in which case the old block is
  // still allocated and unchanged.
  virtual u8* Reallocate(u64& capacity);

  bool SetCapacity(u64 capacity);  // false when the allocation failed
  u64 GetCapacity() const { return capacity_; }

 protected:
  u64 capacity_ = 0;
};

// A read-only stream over bytes the caller keeps alive: file readers take
// data held in memory through it. Writes and SetSize fail; seeking before the
// start stops at 0.
class ByteReadStream final : public Stream {
 public:
  ByteReadStream(const void* data, u64 size) : data_(static_cast<const u8*>(data)), size_(size) {}

  bool IsOpen() const override { return true; }
  bool SetSize(u64) override { return false; }
  u64 Seek(i64 offset, u32 origin) override;
  u64 Read(void* buffer, u64 size) override;
  u64 Write(const void*, u64) override { return 0; }

 private:
  const u8* data_;
  u64 size_;
  u64 position_ = 0;
};

}  // namespace kis
