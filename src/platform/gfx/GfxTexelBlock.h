// TexelBlock - a block of 32-bit ARGB texels, zero when made, owned alone
// (moved, never copied). A large block is fresh pages of its own, so the part
// nobody writes - the zero margin of a power-of-two texture around its image -
// takes no memory until something is written there. A block that cannot be
// had is empty.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat::gfx {

class TexelBlock {
 public:
  TexelBlock() = default;
  explicit TexelBlock(size_t count);  // count zero texels; empty when the memory cannot be had
  TexelBlock(TexelBlock&& other) noexcept;
  TexelBlock& operator=(TexelBlock&& other) noexcept;
  TexelBlock(const TexelBlock&) = delete;
  TexelBlock& operator=(const TexelBlock&) = delete;
  ~TexelBlock();

  uint32_t* data() { return texels_; }
  const uint32_t* data() const { return texels_; }
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  uint32_t& operator[](size_t i) { return texels_[i]; }
  uint32_t operator[](size_t i) const { return texels_[i]; }
  uint32_t* begin() { return texels_; }
  uint32_t* end() { return texels_ + count_; }
  const uint32_t* begin() const { return texels_; }
  const uint32_t* end() const { return texels_ + count_; }

 private:
  void Free();

  uint32_t* texels_ = nullptr;
  size_t count_ = 0;
  bool mapped_ = false;  // pages of its own rather than the heap's
};

}  // namespace plat::gfx
