// A test-only stream over a byte vector, for loaders fed crafted image files
// (built with testsupport/ByteBuilder.h).
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/Stream.h"
#include "base/Types.h"

namespace testing_support {

class ByteStream : public kis::Stream {
 public:
  explicit ByteStream(std::vector<u8> data) : data_(std::move(data)) {}

  bool IsOpen() const override { return true; }
  bool SetSize(u64 size) override {
    data_.resize(size);
    return true;
  }
  u64 Seek(i64 offset, u32 origin) override {
    i64 base = origin == 0 ? 0 : origin == 1 ? static_cast<i64>(pos_) : static_cast<i64>(data_.size());
    i64 at = base + offset;
    if (at < 0) at = 0;
    pos_ = static_cast<u64>(at);
    return pos_;
  }
  u64 Read(void* buffer, u64 size) override {
    if (pos_ >= data_.size()) return 0;
    const u64 n = std::min<u64>(size, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  u64 Write(const void*, u64) override { return 0; }

 private:
  std::vector<u8> data_;
  u64 pos_ = 0;
};

}  // namespace testing_support
