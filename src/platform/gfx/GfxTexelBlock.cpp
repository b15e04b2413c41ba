#include "platform/gfx/GfxTexelBlock.h"

#include <sys/mman.h>

#include <cstdlib>
#include <utility>

namespace plat::gfx {

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// From this size on a block takes pages of its own: the heap would clear
// (and so touch) reused memory, and may keep freed blocks from going back.
// The sanitizers' allocator keeps its checks on every block instead.
constexpr size_t kMappedBytes = size_t{256} << 10;

}  // namespace

TexelBlock::TexelBlock(size_t count) {
  if (count == 0 || count > SIZE_MAX / sizeof(uint32_t)) return;
  const size_t bytes = count * sizeof(uint32_t);
  void* p = nullptr;
  if (!kSanitized && bytes >= kMappedBytes) {
    p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    mapped_ = true;
  } else {
    p = std::calloc(count, sizeof(uint32_t));
    if (!p) return;
  }
  texels_ = static_cast<uint32_t*>(p);
  count_ = count;
}

TexelBlock::TexelBlock(TexelBlock&& other) noexcept
    : texels_(std::exchange(other.texels_, nullptr)),
      count_(std::exchange(other.count_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

TexelBlock& TexelBlock::operator=(TexelBlock&& other) noexcept {
  if (this != &other) {
    Free();
    texels_ = std::exchange(other.texels_, nullptr);
    count_ = std::exchange(other.count_, 0);
    mapped_ = std::exchange(other.mapped_, false);
  }
  return *this;
}

TexelBlock::~TexelBlock() { Free(); }

void TexelBlock::Free() {
  if (mapped_)
    munmap(texels_, count_ * sizeof(uint32_t));
  else
    std::free(texels_);
  texels_ = nullptr;
  count_ = 0;
  mapped_ = false;
}

}  // namespace plat::gfx
