// kis::list - growable array of pointers, the container behind nearly every
// collection of the game. The list stores and moves pointers only; it never
// owns its items (an owning subclass overrides ReleaseItems). No slot array is
// allocated until the first item arrives. Bad indexes never fault: Get returns
// null, Delete/Set/Move do nothing, Insert returns -1.
//
// kis::GrowBuffer is the same growable pointer array as a plain record without
// virtual operations, for the records that own such buffers themselves. It
// says when it cannot grow: Add and Reserve return false and leave it as it
// was, and the owner frees the item it could not store.
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#include "base/Types.h"

namespace kis {

// Growth step shared by list and GrowBuffer: +4 up to 8, +16 from 9 to 64,
// then a quarter of the capacity (4, 8, 12, 28, 44, 60, 76, 95, 118, 147...).
inline i32 ListGrowStep(i32 capacity) {
  if (capacity > 64) return capacity / 4;
  if (capacity > 8) return 16;
  return 4;
}

// Reallocates a pointer slot array to exactly n slots (n > 0); null when the
// memory cannot be had, the old array then kept as it was.
inline void** TryReallocSlots(void** slots, u32 n) {
  return static_cast<void**>(std::realloc(slots, static_cast<size_t>(n) * sizeof(void*)));
}

// The same for kis::list, which ends the program with std::bad_alloc when the
// memory cannot be had. Its Add returns the new index and Insert's -1 means
// a bad index: its interface has no way to say that it did not grow, and the
// hundreds of collections on it go on as if it had. Writing through a failed
// reallocation would be a crash somewhere later; the throw, which nothing
// catches, ends the program at the place where it ran out.
inline void** ReallocSlots(void** slots, i32 n) {
  void** p = TryReallocSlots(slots, static_cast<u32>(n));
  if (!p) throw std::bad_alloc();
  return p;
}

template <class T>
class list {
  static_assert(std::is_pointer_v<T>, "kis::list holds pointers");

 public:
  list() = default;
  list(const list&) = delete;
  list& operator=(const list&) = delete;
  virtual ~list() { Clear(); }

  virtual void ReleaseItems(i32 /*first*/) {}      // called before the count shrinks
  virtual i32 IndexOf(T item) const;               // first slot equal to item, or -1
  virtual i32 Add(T item);                         // appends; returns the new index
  virtual void AddList(const list* other);         // appends other's items (exact capacity)
  virtual void Delete(i32 index);                  // removes one slot; item not released
  virtual void Set(i32 index, T item);             // overwrites one slot; old item not released
  virtual i32 Insert(i32 index, T item);           // index, or -1 for a bad index
  virtual i32 InsertUnique(i32 index, T item);     // index of the present item, or Insert
  virtual T Get(i32 index) const;                  // item, or null for a bad index

  i32 GetCount() const { return count_; }
  i32 GetCapacity() const { return capacity_; }
  T First() const { return Get(0); }
  T Last() const { return Get(count_ - 1); }
  T* Data() { return items_; }
  const T* Data() const { return items_; }
  T operator[](i32 index) const { return Get(index); }

  void SetCapacity(i32 n);   // exact; refused below the count; 0 frees the slots
  void CheckGrow();          // one growth step when full
  void SetCount(i32 n);      // grows with null slots, or releases and shrinks
  void RemoveAll() { SetCount(0); }
  void Clear() {
    SetCount(0);
    SetCapacity(0);
  }
  bool Remove(T item);
  i32 AddUnique(T item);
  void Move(i32 from, i32 to);
  void DeleteAll();          // deletes every non-null item, last first, then Clear
  void FreeAll() { DeleteAll(); }  // plain records are allocated with new as well

 protected:
  T* items_ = nullptr;
  i32 count_ = 0;
  i32 capacity_ = 0;
};

template <class T>
i32 list<T>::IndexOf(T item) const {
  for (i32 i = 0; i < count_; ++i)
    if (items_[i] == item) return i;
  return -1;
}

template <class T>
i32 list<T>::Add(T item) {
  CheckGrow();
  items_[count_] = item;
  return count_++;
}

template <class T>
void list<T>::AddList(const list* other) {
  if (!other || other->count_ == 0) return;
  // Read the other count before reallocating: other may be this list.
  const i32 n = other->count_;
  if (count_ + n > capacity_) SetCapacity(count_ + n);
  std::memmove(items_ + count_, other->items_, static_cast<size_t>(n) * sizeof(T));
  count_ += n;
}

template <class T>
void list<T>::Delete(i32 index) {
  if (index < 0 || index >= count_) return;
  --count_;
  std::memmove(items_ + index, items_ + index + 1, static_cast<size_t>(count_ - index) * sizeof(T));
}

template <class T>
void list<T>::Set(i32 index, T item) {
  if (index < 0 || index >= count_) return;
  items_[index] = item;
}

template <class T>
i32 list<T>::Insert(i32 index, T item) {
  if (index == count_) return Add(item);
  if (index < 0 || index > count_) return -1;
  CheckGrow();
  std::memmove(items_ + index + 1, items_ + index, static_cast<size_t>(count_ - index) * sizeof(T));
  items_[index] = item;
  ++count_;
  return index;
}

template <class T>
i32 list<T>::InsertUnique(i32 index, T item) {
  const i32 at = IndexOf(item);
  if (at >= 0) return at;
  return Insert(index, item);
}

template <class T>
T list<T>::Get(i32 index) const {
  if (index < 0 || index >= count_) return nullptr;
  return items_[index];
}

template <class T>
void list<T>::SetCapacity(i32 n) {
  if (n < count_) return;
  if (n > 0) {
    items_ = reinterpret_cast<T*>(ReallocSlots(reinterpret_cast<void**>(items_), n));
  } else {
    std::free(items_);
    items_ = nullptr;
  }
  capacity_ = n;
}

template <class T>
void list<T>::CheckGrow() {
  if (count_ == capacity_) SetCapacity(capacity_ + ListGrowStep(capacity_));
}

template <class T>
void list<T>::SetCount(i32 n) {
  if (n == count_ || n < 0) return;
  if (n > count_) {
    if (n > capacity_) SetCapacity(n);
    std::memset(static_cast<void*>(items_ + count_), 0, static_cast<size_t>(n - count_) * sizeof(T));
  } else {
    ReleaseItems(n);
  }
  count_ = n;
}

template <class T>
bool list<T>::Remove(T item) {
  const i32 at = IndexOf(item);
  if (at < 0) return false;
  Delete(at);
  return true;
}

template <class T>
i32 list<T>::AddUnique(T item) {
  const i32 at = IndexOf(item);
  if (at >= 0) return at;
  return Add(item);
}

template <class T>
void list<T>::Move(i32 from, i32 to) {
  if (from == to || from < 0 || to < 0 || from >= count_ || to >= count_) return;
  T taken = items_[from];
  if (to < from)
    std::memmove(items_ + to + 1, items_ + to, static_cast<size_t>(from - to) * sizeof(T));
  else
    std::memmove(items_ + from, items_ + from + 1, static_cast<size_t>(to - from) * sizeof(T));
  items_[to] = taken;
}

template <class T>
void list<T>::DeleteAll() {
  for (i32 i = count_ - 1; i >= 0; --i) {
    if (items_[i]) delete items_[i];
  }
  Clear();
}

// Plain growable pointer array: capacity, count, then the data. Destruction
// frees the array, never the items.
struct GrowBuffer {
  u32 capacity = 0;
  u32 count = 0;
  void** data = nullptr;

  GrowBuffer() = default;
  GrowBuffer(const GrowBuffer&) = delete;
  GrowBuffer& operator=(const GrowBuffer&) = delete;
  ~GrowBuffer() { std::free(data); }

  // The capacity the next Add takes when the buffer is full (the list's
  // growth step).
  u32 GrownCapacity() const {
    const i32 step = ListGrowStep(static_cast<i32>(capacity < 0x7FFFFFFFu ? capacity : 0x7FFFFFFFu));
    return capacity + static_cast<u32>(step);  // past 2^32 it wraps below: no growth
  }
  // Appends; false, the buffer unchanged, when it is full and cannot grow.
  [[nodiscard]] bool Add(void* item) {
    if (count == capacity && !SetCapacity(GrownCapacity())) return false;
    data[count++] = item;
    return true;
  }
  // Room for `more` items beyond those held, exactly (no growth step); false,
  // unchanged, when that room cannot be had.
  [[nodiscard]] bool Reserve(u32 more) {
    if (more > 0xFFFFFFFFu - count) return false;
    return count + more <= capacity || SetCapacity(count + more);
  }
  void* Get(u32 index) const { return index < count ? data[index] : nullptr; }
  void Reset() {
    std::free(data);
    data = nullptr;
    capacity = count = 0;
  }

 private:
  bool SetCapacity(u32 n) {
    if (n <= capacity) return n == capacity;
    void** p = TryReallocSlots(data, n);
    if (!p) return false;
    data = p;
    capacity = n;
    return true;
  }
};

}  // namespace kis
