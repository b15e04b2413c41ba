// RecordPool - the memory of the records read from one archive section: one
// block, sized for the section when its reading starts, from which the
// records, their lists and the bytes they keep are carved in turn. Nothing
// carved is given back on its own: the block goes with the pool, after its
// owner has destroyed every record in it. Should the size given fall short,
// further pieces come from the heap and go with the pool as well, so the
// size is an estimate, never a limit. The pool and its block are one
// allocation.
#pragma once

#include <cstddef>
#include <memory>
#include <memory_resource>

class RecordPool {
 public:
  // Null when the block cannot be had.
  static std::unique_ptr<RecordPool> Make(size_t bytes);
  RecordPool(const RecordPool&) = delete;
  RecordPool& operator=(const RecordPool&) = delete;

  void* Allocate(size_t size, size_t align) { return resource_.allocate(size, align); }
  template <class T>
  T* AllocateArray(size_t n) {
    return static_cast<T*>(Allocate(n * sizeof(T), alignof(T)));
  }
  // For standard containers of the pool's records (std::pmr).
  std::pmr::memory_resource* Resource() { return &resource_; }

  // Frees the block with the pool (Make allocated them together).
  static void operator delete(void* p) { ::operator delete(p); }

 private:
  RecordPool(std::byte* block, size_t bytes);

  std::pmr::monotonic_buffer_resource resource_;
};
