// TexelBlock - a block of 32-bit ARGB texels, zero when made, owned alone
// (moved, never copied). A large block is fresh pages of its own, so the part
// nobody writes - the zero margin of a power-of-two texture around its image -
// takes no memory until something is written there. A block that cannot be
// had is empty.
//
// A block made for a short while (Brief: a picture being decoded, mostly
// packed and freed right after) asks the system for its large pages where it
// gives them on request: written, it then costs one fault per 2 MB rather
// than one per 4 KB page, the most of a picture's load otherwise. A brief
// block kept for long is told so (Keep): its pages are no longer gathered
// into large ones later, which would make the zero pages nobody wrote take
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::gfx {

class TexelBlock {
 public:
  TexelBlock() = default;
  explicit TexelBlock(size_t count);  // count zero texels; empty when the memory cannot be had
  static TexelBlock Brief(size_t count);  // the same, on large pages where it is large
  void Keep();                            // a brief block held for long from now on
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

// The texels of a block without their zero texels: runs over the block's
// texels in order, each a count of zeros to step over, a count of texels and
// those texels. A picture that is mostly transparent keeps about its visible
// texels; Unpack writes them back into a zero block of the same size,
// touching only the pages that hold some of them.
class PackedTexels {
 public:
  // Packs the texels of a block of `pitch` texels a row in which everything
  // outside the top-left `width` x `height` is zero; false (and nothing kept)
  // when the packed form would take more than half the memory of those
  // texels, or cannot be had.
  bool Pack(const uint32_t* texels, uint32_t pitch, uint32_t width, uint32_t height);
  void Unpack(uint32_t* block) const;  // block zero, as large as the one packed
  bool empty() const { return words_.empty(); }
  void clear();

 private:
  std::vector<uint32_t> words_;  // zeros, count, texels..., zeros, count, ...
};

}  // namespace plat::gfx
