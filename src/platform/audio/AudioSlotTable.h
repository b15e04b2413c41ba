// A table of items addressed by 32-bit handles: two kind bits (31-30), a
// 14-bit generation (29-16, 1..0x3FFF) and a 16-bit slot index. Freeing an
// item moves its slot's generation on, so old handles stop matching even
// when the slot is used again. Freed slots are used again first. At most
// 0x10000 items; a full table refuses new ones with handle 0.
#pragma once

#include <cstdint>
#include <vector>

namespace plat::audio {

template <typename Item>
class SlotTable {
 public:
  static constexpr uint32_t kMaxSlots = 0x10000;
  static constexpr uint32_t kMaxGeneration = 0x3FFF;

  // Stores the item under `kind` (1..3); its handle, or 0 when full.
  uint32_t Insert(Item item, uint32_t kind) {
    uint32_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else if (slots_.size() < kMaxSlots) {
      index = static_cast<uint32_t>(slots_.size());
      slots_.emplace_back();
    } else {
      return 0;
    }
    Slot& s = slots_[index];
    s.item = std::move(item);
    s.used = true;
    s.kind = kind;
    return Handle(index);
  }

  // The item of a live handle of the kind (0: any kind), else null.
  Item* Find(uint32_t handle, uint32_t kind = 0) {
    const uint32_t index = handle & 0xFFFF;
    if (index >= slots_.size()) return nullptr;
    Slot& s = slots_[index];
    if (!s.used || Handle(index) != handle || (kind != 0 && s.kind != kind)) return nullptr;
    return &s.item;
  }

  // Frees the slot at index and gives its item back.
  Item Remove(uint32_t index) {
    Slot& s = slots_[index];
    Item item = std::move(s.item);
    s.item = Item{};
    s.used = false;
    s.generation = s.generation == kMaxGeneration ? 1 : s.generation + 1;
    free_.push_back(index);
    return item;
  }

  uint32_t Size() const { return static_cast<uint32_t>(slots_.size()); }  // slots, live or free
  bool Used(uint32_t index) const { return slots_[index].used; }
  Item& At(uint32_t index) { return slots_[index].item; }
  uint32_t Handle(uint32_t index) const {
    const Slot& s = slots_[index];
    return (s.kind << 30) | (s.generation << 16) | index;
  }

  void Clear(std::vector<Item>* taken) {
    for (uint32_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].used) taken->push_back(Remove(i));
  }

 private:
  struct Slot {
    Item item{};
    uint32_t generation = 1;
    uint32_t kind = 0;
    bool used = false;
  };
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
};

}  // namespace plat::audio
