#include "resources/RecordPool.h"

#include <cstdint>
#include <new>

namespace {

// Where the block starts after the pool, at the alignment a block of its own would have.
constexpr size_t kBlockAt =
    (sizeof(RecordPool) + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);

}  // namespace

std::unique_ptr<RecordPool> RecordPool::Make(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > SIZE_MAX - kBlockAt) return nullptr;
  void* memory = ::operator new(kBlockAt + bytes, std::nothrow);
  if (!memory) return nullptr;
  return std::unique_ptr<RecordPool>(new (memory) RecordPool(static_cast<std::byte*>(memory) + kBlockAt, bytes));
}

RecordPool::RecordPool(std::byte* block, size_t bytes)
    : resource_(block, bytes, std::pmr::new_delete_resource()) {}
