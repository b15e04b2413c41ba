// NameIndex - finds the members of a set by name without regard to case (A
// to Z folded) in constant time, giving the first member added under a name,
// as a walk of the set's list would. One open-addressed table of (hash,
// order, member) slots: adding appends, removing leaves a tombstone, and the
// table is rebuilt (in the order the members came) when half its slots are
// used. Members keep their names while indexed. Names held in fixed buffers
// (the archive's records, a sprite's own name) are hashed and compared four
// units at a time, to the same results as the unit-by-unit forms.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>
#include <vector>

#include "base/Strings.h"
#include "base/Types.h"
#include "platform/encoding/Ascii.h"

template <class T>
class NameIndex {
 public:
  void Add(T* item) {
    if (item) Add(item, Hash(item->GetName()));
  }
  // The same with the hash of the member's name (HashName, HashBuffer).
  void Add(T* item, u32 hash) {
    if (!item) return;
    if (2 * (used_ + 1) > size_) Rebuild(2 * (live_ + 1));
    Place(Slot{hash, next_++, item});
    ++live_;
    ++used_;
  }

  void Remove(T* item) {
    if (item) RemoveIf(item->GetName(), [item](const T* member) { return member == item; });
  }
  // Takes out the first member on the chain of the name's hash that `which`
  // picks (the name is only hashed); null when none does.
  template <class Which>
  T* RemoveIf(const wchar* name, Which which) {
    return RemoveIfHashed(Hash(name), which);
  }
  // The same on the chain of a hash the member was added with.
  template <class Which>
  T* RemoveIfHashed(u32 hash, Which which) {
    if (size_ == 0) return nullptr;
    const u32 mask = static_cast<u32>(size_) - 1;
    for (u32 i = hash & mask;; i = (i + 1) & mask) {
      Slot& s = slots_[i];
      if (s.order == kEmpty) return nullptr;
      if (s.item && which(s.item)) {
        T* item = s.item;
        s.item = nullptr;  // a tombstone keeps the chain whole
        --live_;
        return item;
      }
    }
  }

  // Room for n more members without rebuilding on the way.
  void Reserve(size_t n) {
    if (2 * (used_ + n) > size_) Rebuild(2 * (live_ + n));
  }
  void Clear() {
    slots_.reset();
    size_ = 0;
    live_ = used_ = 0;
    next_ = 1;
  }

  // Null for a null or empty name.
  T* Find(const wchar* name) const { return name ? Find(name, Hash(name)) : nullptr; }
  // The same with the name's hash at hand. Members of one name share their
  // first slot, and each lies on from there past those added before it (a
  // slot once used is never empty again, and a rebuild places them in the
  // order they came): the first that matches is the first added.
  T* Find(const wchar* name, u32 hash) const {
    if (!name || !name[0]) return nullptr;
    return Walk(hash, [name](const T* item) { return SameName(item->GetName(), name); });
  }
  // Find for a name in a buffer of n units (see HashBuffer), among members
  // whose names are buffers of n units too: both are compared four units at
  // a time.
  template <size_t n>
  T* FindBuffer(const wchar (&name)[n]) const {
    if (!name[0]) return nullptr;
    return Walk(HashBuffer(name), [&name](const T* item) { return SameBuffer<n>(item->GetName(), name); });
  }

  // The hash Find and Add give a name.
  static u32 HashName(const wchar* name) { return Hash(name); }
  // The same for a name in a buffer of n units (a multiple of four) that
  // ends at its first 0 unit or at the buffer's end, whatever follows its
  // end: four units are taken at once, folded together, so that the stored
  // names read by the thousand cost a fraction of the unit-by-unit walk.
  template <size_t n>
  static u32 HashBuffer(const wchar (&name)[n]) {
    static_assert(n % 4 == 0 && sizeof(wchar) == 2);
    if constexpr (std::endian::native != std::endian::little) {
      wchar copy[n + 1] = {};
      std::memcpy(copy, name, sizeof name);
      return Hash(copy);
    } else {
      u64 h = kSeed;
      for (size_t k = 0; k < n; k += 4) {
        u64 word;
        std::memcpy(&word, name + k, sizeof word);
        // The lowest 0 unit's top bit (higher ones may be set falsely).
        const u64 zeros = (word - 0x0001000100010001ull) & ~word & 0x8000800080008000ull;
        if (!zeros) {
          h = (h ^ (word | kCaseBits)) * kMultiplier;
          continue;
        }
        const int units = std::countr_zero(zeros) >> 4;  // before the terminator
        if (units > 0) h = (h ^ ((word | kCaseBits) & ((u64{1} << (16 * units)) - 1))) * kMultiplier;
        break;
      }
      return Finish(h);
    }
  }

  // Copies at most n - 1 units of a name (null: none) into a buffer of n
  // units, zeros after its end, as a copy unit by unit onto a cleared buffer
  // would; the buffer is written four units at a time, so that HashBuffer
  // and SameBuffer, reading it so, get their words straight from the
  // stores instead of waiting for unit stores to reach the cache.
  template <size_t n>
  static void CopyToBuffer(wchar (&buffer)[n], const wchar* name) {
    static_assert(n % 4 == 0 && sizeof(wchar) == 2);
    size_t i = 0;
    for (size_t k = 0; k < n; k += 4) {
      u64 word = 0;
      for (size_t j = 0; j < 4 && name && i < n - 1 && name[i]; ++j, ++i) {
        word |= u64{name[i]} << (std::endian::native == std::endian::little ? 16 * j : 48 - 16 * j);
      }
      std::memcpy(buffer + k, &word, sizeof word);
      if (i < k + 4) name = nullptr;  // ended inside this word
    }
  }

  // Whether a member's name buffer of n units spells a name in a buffer of
  // n units exactly, up to its end (no folding), compared four units at a
  // time: a match says the name is indexed; a miss says nothing. An empty
  // name never matches; on a big-endian machine none does.
  template <size_t n>
  static bool SameSpelling(const wchar* member, const wchar (&name)[n]) {
    if constexpr (std::endian::native != std::endian::little) {
      return false;
    } else {
      if (!name[0]) return false;
      for (size_t k = 0; k < n; k += 4) {
        u64 a, b;
        std::memcpy(&a, member + k, sizeof a);
        std::memcpy(&b, name + k, sizeof b);
        if (a != b) return false;
        if ((b - 0x0001000100010001ull) & ~b & 0x8000800080008000ull) return true;  // ended alike
      }
      return true;
    }
  }

  // SameName for a name in a buffer of n units and another such buffer.
  template <size_t n>
  static bool SameBuffer(const wchar* member, const wchar (&name)[n]) {
    if constexpr (std::endian::native != std::endian::little) {
      wchar copy[n + 1] = {};
      std::memcpy(copy, name, sizeof name);
      return SameName(member, copy);
    } else {
      // Names mostly match as spelled: the words are first compared as
      // they are, and folded only when they differ so.
      for (size_t k = 0; k < n; k += 4) {
        u64 a, b;
        std::memcpy(&a, member + k, sizeof a);
        std::memcpy(&b, name + k, sizeof b);
        if (a != b) break;
        if ((b - 0x0001000100010001ull) & ~b & 0x8000800080008000ull) return true;  // ended alike
        if (k + 4 == n) return true;
      }
      for (size_t k = 0; k < n; k += 4) {
        u64 a, b;
        std::memcpy(&a, member + k, sizeof a);
        std::memcpy(&b, name + k, sizeof b);
        const u64 zeros = (b - 0x0001000100010001ull) & ~b & 0x8000800080008000ull;
        if (!zeros) {
          if (a != b && FoldWord(a) != FoldWord(b)) return false;
          continue;
        }
        // Up to and with the name's terminator, which the member's unit must match.
        const int units = std::countr_zero(zeros) >> 4;
        const u64 keep = units == 3 ? ~u64{0} : (u64{1} << (16 * units + 16)) - 1;
        return (a & keep) == (b & keep) || FoldWord(a & keep) == FoldWord(b & keep);
      }
      return true;  // both fill their buffers alike
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
  // A free slot is all zero bytes, so that a table is cleared as one block;
  // the orders of members start at 1.
  static constexpr u32 kEmpty = 0;
  struct Slot {
    u32 hash;
    u32 order;  // when it was added; kEmpty for a free slot
    T* item;    // null with an order: a tombstone
  };
  static_assert(std::is_trivially_copyable_v<Slot>);

  // The code units taken four at a time into one 64-bit word, each with
  // its 0x20 bit set (A to Z fold so onto a to z; two other units that only
  // differ there share a hash and are told apart by the compare), each
  // word mixed in by one multiply (a unit past a terminator is never read),
  // the result's high bits then mixed down: the table takes the low bits,
  // which alone would cluster similar names.
  static constexpr u64 kSeed = 0x9E3779B97F4A7C15ull;
  static constexpr u64 kMultiplier = 0xFF51AFD7ED558CCDull;
  static constexpr u64 kCaseBits = 0x0020002000200020ull;
  static u32 Hash(const wchar* name) {
    u64 h = kSeed;
    if (name) {
      for (;; name += 4) {
        const u64 a = Fold(name[0]);
        if (!a) break;
        const u64 b = Fold(name[1]);
        const u64 c = b ? Fold(name[2]) : 0;
        const u64 d = c ? Fold(name[3]) : 0;
        h = (h ^ (a | b << 16 | c << 32 | d << 48)) * kMultiplier;
        if (!d) break;
      }
    }
    return Finish(h);
  }
  static u32 Finish(u64 h) {
    h ^= h >> 32;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    return static_cast<u32>(h);
  }
  // Fold on four units at once: a unit's top bit set where it is A to Z
  // (its low 15 bits at least A and below [, its top bit clear; no sum
  // carries into the next unit), moved down to 0x20 and added.
  static u64 FoldWord(u64 word) {
    const u64 low = word & 0x7FFF7FFF7FFF7FFFull;
    const u64 fromA = low + 0x7FBF7FBF7FBF7FBFull, pastZ = low + 0x7FA57FA57FA57FA5ull;
    return word + ((fromA & ~pastZ & ~word & 0x8000800080008000ull) >> 10);
  }
  // A unit as the hash takes it (0 stays 0).
  static u32 Fold(wchar c) { return c ? u32{c} | 0x20u : 0u; }

  // The first member on the hash's chain that `same` takes.
  template <class Same>
  T* Walk(u32 hash, Same same) const {
    if (size_ == 0) return nullptr;
    const u32 mask = static_cast<u32>(size_) - 1;
    for (u32 i = hash & mask;; i = (i + 1) & mask) {
      const Slot& s = slots_[i];
      if (s.order == kEmpty) return nullptr;
      if (s.item && s.hash == hash && same(s.item)) return s.item;
    }
  }

  void Place(const Slot& slot) {
    const u32 mask = static_cast<u32>(size_) - 1;
    u32 i = slot.hash & mask;
    while (slots_[i].order != kEmpty) i = (i + 1) & mask;
    slots_[i] = slot;
  }

  // At least `wanted` slots, a power of two; the live members move over.
  void Rebuild(size_t wanted) {
    size_t size = 16;
    while (size < wanted) size *= 2;
    std::vector<Slot> live;
    live.reserve(live_);
    for (size_t i = 0; i < size_; ++i) {
      if (slots_[i].order != kEmpty && slots_[i].item) live.push_back(slots_[i]);
    }
    std::sort(live.begin(), live.end(), [](const Slot& a, const Slot& b) { return a.order < b.order; });
    if (size != size_) {
      slots_.reset(new Slot[size]);
      size_ = size;
    }
    std::memset(static_cast<void*>(slots_.get()), 0, size * sizeof(Slot));  // every slot free
    for (const Slot& s : live) Place(s);
    used_ = live.size();
  }

  std::unique_ptr<Slot[]> slots_;
  size_t size_ = 0;  // slots: 0 or a power of two
  size_t live_ = 0;  // members
  size_t used_ = 0;  // members and tombstones
  u32 next_ = 1;
};
