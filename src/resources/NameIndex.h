// NameIndex - finds the members of a set by name without regard to case (A
// to Z folded) in constant time, giving the first member added under a name,
// as a walk of the set's list would. One open-addressed table of (hash,
// order, member) slots: adding appends, removing leaves a tombstone, and the
// table is rebuilt when half its slots are used. Members keep their names
// while indexed.
#pragma once

#include <vector>

#include "base/Strings.h"
#include "base/Types.h"
#include "platform/encoding/Ascii.h"

template <class T>
class NameIndex {
 public:
  void Add(T* item) {
    if (!item) return;
    if (2 * (used_ + 1) > slots_.size()) Rebuild(2 * (live_ + 1));
    Place(Slot{Hash(item->GetName()), next_++, item});
    ++live_;
    ++used_;
  }

  void Remove(T* item) {
    if (!item || slots_.empty()) return;
    const u32 mask = static_cast<u32>(slots_.size()) - 1;
    for (u32 i = Hash(item->GetName()) & mask;; i = (i + 1) & mask) {
      Slot& s = slots_[i];
      if (s.order == kEmpty) return;
      if (s.item == item) {
        s.item = nullptr;  // a tombstone keeps the chain whole
        --live_;
        return;
      }
    }
  }

  // Room for n more members without rebuilding on the way.
  void Reserve(size_t n) {
    if (2 * (used_ + n) > slots_.size()) Rebuild(2 * (live_ + n));
  }
  void Clear() {
    slots_.clear();
    live_ = used_ = 0;
    next_ = 0;
  }

  // Null for a null or empty name.
  T* Find(const wchar* name) const {
    if (!name || !name[0] || slots_.empty()) return nullptr;
    const u32 hash = Hash(name), mask = static_cast<u32>(slots_.size()) - 1;
    T* found = nullptr;
    u32 first = kEmpty;
    for (u32 i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.order == kEmpty) return found;
      if (s.item && s.hash == hash && s.order < first && SameName(s.item->GetName(), name)) {
        found = s.item;
        first = s.order;
      }
    }
  }

  // Equal with A to Z folded. Names mostly match as spelled, so units are
  // folded only where they differ.
  static bool SameName(const wchar* a, const wchar* b) {
    if (!a || !b) return a == b;
    for (;; ++a, ++b) {
      if (*a == *b) {
        if (!*a) return true;
      } else if (plat::AsciiToLower(*a) != plat::AsciiToLower(*b)) {
        return false;
      }
    }
  }

 private:
  static constexpr u32 kEmpty = 0xFFFFFFFFu;
  struct Slot {
    u32 hash = 0;
    u32 order = kEmpty;  // when it was added; kEmpty for a free slot
    T* item = nullptr;   // null with an order: a tombstone
  };

  // The folded code units taken four at a time into one 64-bit word, each
  // word mixed in by one multiply (a unit past a terminator is never read),
  // the result's high bits then mixed down: the table takes the low bits,
  // which alone would cluster similar names.
  static u32 Hash(const wchar* name) {
    u64 h = 0x9E3779B97F4A7C15ull;
    if (name) {
      for (;; name += 4) {
        const u64 a = Fold(name[0]);
        if (!a) break;
        const u64 b = Fold(name[1]);
        const u64 c = b ? Fold(name[2]) : 0;
        const u64 d = c ? Fold(name[3]) : 0;
        h = (h ^ (a | b << 16 | c << 32 | d << 48)) * 0xFF51AFD7ED558CCDull;
        if (!d) break;
      }
    }
    h ^= h >> 32;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    return static_cast<u32>(h);
  }
  // A to Z to a to z, without a branch.
  static u32 Fold(wchar c) {
    const u32 u = c;
    return u + (static_cast<u32>(u - u'A' < 26u) << 5);
  }

  void Place(const Slot& slot) {
    const u32 mask = static_cast<u32>(slots_.size()) - 1;
    u32 i = slot.hash & mask;
    while (slots_[i].order != kEmpty) i = (i + 1) & mask;
    slots_[i] = slot;
  }

  // At least `wanted` slots, a power of two; the live members move over.
  void Rebuild(size_t wanted) {
    size_t size = 16;
    while (size < wanted) size *= 2;
    std::vector<Slot> old(size);
    old.swap(slots_);
    used_ = 0;
    for (const Slot& s : old) {
      if (s.order != kEmpty && s.item) {
        Place(s);
        ++used_;
      }
    }
  }

  std::vector<Slot> slots_;
  size_t live_ = 0;  // members
  size_t used_ = 0;  // members and tombstones
  u32 next_ = 0;
};
