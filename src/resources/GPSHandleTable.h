// GPSHandleTable - the container of every particle object list: slots
// addressed by 1-based handles, a free list that hands freed slots out again
// (last freed first), and a doubly linked list of the used slots in the order
// they were added, which iteration follows. Adding never moves an item;
// slots grow to 32, then by 32 while below 128, then by a quarter. The table
// stores pointers only and owns nothing.
#pragma once

#include <vector>

#include "base/Types.h"

template <class T>
class GPSHandleTable {
 public:
  // The item's handle (1-based).
  u32 Add(T* item) {
    if (!freeHead_) Grow();
    const u32 handle = freeHead_;
    Slot& s = slots_[handle - 1];
    freeHead_ = s.nextFree;
    s = Slot{item, 0, tail_, 0, handle};
    if (tail_) {
      slots_[tail_ - 1].next = handle;
    } else {
      head_ = handle;
    }
    tail_ = handle;
    ++count_;
    return handle;
  }

  // Frees the slot; the item it held, or null for a handle not in use.
  T* Remove(u32 handle) {
    if (!InUse(handle)) return nullptr;
    Slot& s = slots_[handle - 1];
    T* item = s.item;
    if (s.prev) {
      slots_[s.prev - 1].next = s.next;
    } else {
      head_ = s.next;
    }
    if (s.next) {
      slots_[s.next - 1].prev = s.prev;
    } else {
      tail_ = s.prev;
    }
    s = Slot{nullptr, freeHead_, 0, 0, 0};
    freeHead_ = handle;
    --count_;
    return item;
  }

  T* Get(u32 handle) const { return InUse(handle) ? slots_[handle - 1].item : nullptr; }
  u32 GetCount() const { return count_; }
  u32 GetCapacity() const { return static_cast<u32>(slots_.size()); }

  // Iteration in the order of adding: the first handle, then the one after
  // a handle (0 at the end).
  u32 First() const { return head_; }
  u32 Next(u32 handle) const { return InUse(handle) ? slots_[handle - 1].next : 0; }

  // Calls f(item) for every item in order; f may remove the item it is given.
  template <class F>
  void ForEach(F f) const {
    for (u32 h = head_; h;) {
      const Slot& s = slots_[h - 1];
      const u32 next = s.next;
      f(s.item);
      h = next;
    }
  }

 private:
  struct Slot {
    T* item = nullptr;
    u32 nextFree = 0;  // free slots only
    u32 prev = 0;      // used slots only
    u32 next = 0;
    u32 handle = 0;    // 0 while free
  };

  bool InUse(u32 handle) const {
    return handle > 0 && handle <= slots_.size() && slots_[handle - 1].handle == handle;
  }

  // The new slots go on the free list lowest first.
  void Grow() {
    const u32 size = static_cast<u32>(slots_.size());
    const u32 grown = size == 0 ? 32 : size < 128 ? size + 32 : size + size / 4;
    slots_.resize(grown);
    for (u32 i = grown; i > size; --i) {
      slots_[i - 1].nextFree = freeHead_;
      freeHead_ = i;
    }
  }

  std::vector<Slot> slots_;
  u32 freeHead_ = 0;
  u32 head_ = 0;
  u32 tail_ = 0;
  u32 count_ = 0;
};
