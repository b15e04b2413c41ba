// SoundHandleTable - items of the sound manager addressed by opaque 32-bit
// handles: the table's tag in bits 31-29, the slot's generation in bits 28-16
// (1..0x1FFF) and the slot index in bits 15-0. Removing an item moves its
// slot's generation on (0x1FFF wraps to 1), so old handles stop matching even
// when the slot is used again; the most recently freed slot is used first.
// Items are visited in the order they were inserted. At most 0x10000 slots,
// grown by 32 while below 128, else by a quarter; a full table refuses new
// items with handle 0. The table does not own its items.
#pragma once

#include <vector>

#include "base/Types.h"

template <class T>
class SoundHandleTable {
 public:
  static constexpr u32 kMaxSlots = 0x10000;
  static constexpr u32 kMaxGeneration = 0x1FFF;
  static constexpr u32 kTagMask = 0xE0000000u;

  explicit SoundHandleTable(u32 tag) : tag_(tag & kTagMask) {}
  SoundHandleTable(const SoundHandleTable&) = delete;
  SoundHandleTable& operator=(const SoundHandleTable&) = delete;

  // The new item's handle (appended to the visiting order); 0 when the item
  // is null or the table is full.
  u32 Insert(T* item) {
    if (!item) return 0;
    u32 index;
    if (freeHead_ != kNone) {
      index = freeHead_;
      freeHead_ = slots_[index].nextFree;
    } else {
      if (slots_.size() == kMaxSlots) return 0;
      if (slots_.size() == slots_.capacity()) slots_.reserve(Grown(static_cast<u32>(slots_.size())));
      index = static_cast<u32>(slots_.size());
      slots_.push_back(Slot{});
    }
    Slot& s = slots_[index];
    s.item = item;
    s.handle = tag_ | (s.generation << 16) | index;
    s.prev = tail_;
    s.next = kNone;
    if (tail_ != kNone) slots_[tail_].next = index;
    else head_ = index;
    tail_ = index;
    ++count_;
    return s.handle;
  }

  // The item of a live handle of this table; null for 0, foreign or stale handles.
  T* Find(u32 handle) const {
    const Slot* s = SlotOf(handle);
    return s ? s->item : nullptr;
  }

  // Takes the item out; its handle goes stale. The item, or null when not found.
  T* Remove(u32 handle) {
    Slot* s = SlotOf(handle);
    if (!s) return nullptr;
    const u32 index = handle & 0xFFFF;
    T* item = s->item;
    if (s->prev != kNone) slots_[s->prev].next = s->next;
    else head_ = s->next;
    if (s->next != kNone) slots_[s->next].prev = s->prev;
    else tail_ = s->prev;
    s->item = nullptr;
    s->handle = 0;
    s->generation = s->generation == kMaxGeneration ? 1 : s->generation + 1;
    s->nextFree = freeHead_;
    freeHead_ = index;
    --count_;
    return item;
  }

  u32 GetCount() const { return count_; }
  // Visiting in insertion order: the first handle, and the one after a live
  // handle (0 at the end). Take the next handle before removing an item.
  u32 First() const { return head_ == kNone ? 0 : slots_[head_].handle; }
  u32 Next(u32 handle) const {
    const Slot* s = SlotOf(handle);
    return s && s->next != kNone ? slots_[s->next].handle : 0;
  }

 private:
  static constexpr u32 kNone = 0xFFFFFFFFu;

  struct Slot {
    T* item = nullptr;
    u32 generation = 1;
    u32 nextFree = kNone;
    u32 prev = kNone;
    u32 next = kNone;
    u32 handle = 0;  // 0 while free
  };

  static u32 Grown(u32 size) {
    const u32 grown = size < 128 ? size + 32 : size + size / 4;
    return grown < kMaxSlots ? grown : kMaxSlots;
  }

  const Slot* SlotOf(u32 handle) const {
    const u32 index = handle & 0xFFFF;
    if (handle == 0 || (handle & kTagMask) != tag_ || index >= slots_.size()) return nullptr;
    const Slot& s = slots_[index];
    return s.handle == handle ? &s : nullptr;
  }
  Slot* SlotOf(u32 handle) { return const_cast<Slot*>(static_cast<const SoundHandleTable*>(this)->SlotOf(handle)); }

  u32 tag_;
  std::vector<Slot> slots_;
  u32 freeHead_ = kNone;
  u32 head_ = kNone;
  u32 tail_ = kNone;
  u32 count_ = 0;
};
