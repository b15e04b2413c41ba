#include "resources/RecordPool.h"

#include <new>

std::unique_ptr<RecordPool> RecordPool::Make(size_t bytes) {
  if (bytes == 0) bytes = 1;
  std::unique_ptr<std::byte[]> block(new (std::nothrow) std::byte[bytes]);
  if (!block) return nullptr;
  return std::unique_ptr<RecordPool>(new (std::nothrow) RecordPool(std::move(block), bytes));
}

RecordPool::RecordPool(std::unique_ptr<std::byte[]> block, size_t bytes)
    : block_(std::move(block)), resource_(block_.get(), bytes, std::pmr::new_delete_resource()) {}
