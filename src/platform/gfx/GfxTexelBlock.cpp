#include "platform/gfx/GfxTexelBlock.h"

#include <sys/mman.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
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
// The system's large pages, asked for by brief blocks of at least their size.
constexpr size_t kLargePageBytes = size_t{2} << 20;

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

TexelBlock TexelBlock::Brief(size_t count) {
  TexelBlock block(count);
  const size_t bytes = block.count_ * sizeof(uint32_t);
  if (block.mapped_ && bytes >= kLargePageBytes) madvise(block.texels_, bytes, MADV_HUGEPAGE);
  return block;
}

void TexelBlock::Keep() {
  const size_t bytes = count_ * sizeof(uint32_t);
  if (mapped_ && bytes >= kLargePageBytes) madvise(texels_, bytes, MADV_NOHUGEPAGE);
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

namespace {

// Zeros shorter than this stay inside a run of texels: a new run costs two words.
constexpr uint32_t kShortestGap = 3;

// The first texel from x on that is zero (kZero) or is not, or end; four
// at a time where the processor compares four at once.
template <bool kZero>
uint32_t FindTexel(const uint32_t* row, uint32_t x, uint32_t end) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; x + 4 <= end; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    unsigned hits = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(v, zero))));
    if (!kZero) hits ^= 0xF;
    if (hits != 0) return x + static_cast<uint32_t>(std::countr_zero(hits));
  }
#endif
  while (x < end && (row[x] == 0) != kZero) ++x;
  return x;
}

}  // namespace

bool PackedTexels::Pack(const uint32_t* texels, uint32_t pitch, uint32_t width, uint32_t height) {
  clear();
  if (!texels || width == 0 || height == 0 || pitch < width) return false;
  const size_t limit = static_cast<size_t>(width) * height / 2;
  std::vector<uint32_t> words;
  words.reserve(limit / 4 + 64);
  uint32_t zeros = 0;  // since the end of the last run, in block order (a block has under 2^32 texels)
  for (uint32_t y = 0; y < height; ++y) {
    const uint32_t* row = texels + static_cast<size_t>(y) * pitch;
    uint32_t x = 0;
    while (x < width) {
      const uint32_t first = FindTexel<false>(row, x, width);
      zeros += first - x;
      if (first == width) break;
      // The run ends before kShortestGap zeros in a row or the zeros that
      // end the row.
      uint32_t end = first;
      for (;;) {
        end = FindTexel<true>(row, end, width);
        if (end == width) break;
        const uint32_t next = FindTexel<false>(row, end, width);
        if (next == width || next - end >= kShortestGap) break;
        end = next;
      }
      const uint32_t count = end - first;
      if (words.size() + 2 + count > limit) return false;
      words.push_back(zeros);
      words.push_back(count);
      words.insert(words.end(), row + first, row + end);
      zeros = 0;
      x = end;
    }
    zeros += pitch - width;
  }
  if (words.empty()) words = {0, 0};  // all zero: still packed, one empty run
  words.shrink_to_fit();
  words_ = std::move(words);
  return true;
}

void PackedTexels::Unpack(uint32_t* block) const {
  size_t at = 0;
  for (size_t i = 0; i + 1 < words_.size();) {
    at += words_[i];
    const uint32_t count = words_[i + 1];
    std::memcpy(block + at, words_.data() + i + 2, size_t{count} * sizeof(uint32_t));
    at += count;
    i += 2 + size_t{count};
  }
}

void PackedTexels::clear() {
  words_.clear();
  words_.shrink_to_fit();
}

}  // namespace plat::gfx
