// KGEGrowArray - a growable array of plain records for the text layout. Its
// memory is kept between uses (Clear only forgets the items); when full it
// grows by 16 items while its capacity is below 64, by half its capacity from
// 64 to 255, and doubles from 256 on. A failed growth reports out of memory
// (KGEOutOfMemory) and leaves the array as it was.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

#include "base/Types.h"
#include "gametext/KGEFont.h"

template <typename T>
class KGEGrowArray {
  static_assert(std::is_trivially_copyable_v<T>, "layout records are plain data");

 public:
  KGEGrowArray() = default;
  KGEGrowArray(const KGEGrowArray&) = delete;
  KGEGrowArray& operator=(const KGEGrowArray&) = delete;

  static u32 NextCapacity(u32 capacity) {
    if (capacity < 64) return capacity + 16;
    if (capacity < 256) return capacity + capacity / 2;
    return capacity * 2;
  }

  // The new item, value-initialised or copied from `from`; null when the
  // array could not grow.
  T* Add(const T* from = nullptr) {
    if (count_ == capacity_ && !Reserve(NextCapacity(capacity_))) return nullptr;
    T* item = &data_[count_++];
    *item = from ? *from : T{};
    return item;
  }
  // Room for at least `capacity` items.
  bool Reserve(u32 capacity) {
    if (capacity <= capacity_) return true;
    std::unique_ptr<T[]> grown = KGEAllocArray<T>(capacity);
    if (!grown) return false;
    if (count_ != 0) std::memcpy(static_cast<void*>(grown.get()), data_.get(), sizeof(T) * count_);
    data_ = std::move(grown);
    capacity_ = capacity;
    return true;
  }
  void Clear() { count_ = 0; }
  void Pop() {
    if (count_ != 0) --count_;
  }

  u32 Count() const { return count_; }
  u32 Capacity() const { return capacity_; }
  T* Data() { return data_.get(); }
  const T* Data() const { return data_.get(); }
  T& operator[](u32 i) { return data_[i]; }
  const T& operator[](u32 i) const { return data_[i]; }
  T& Back() { return data_[count_ - 1]; }

 private:
  std::unique_ptr<T[]> data_;
  u32 count_ = 0;
  u32 capacity_ = 0;
};
