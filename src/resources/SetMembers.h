// SetMembers - the sprites or the map sprites of a SpriteSet: every member in
// the order it came, found by name without regard to case (NameIndex), the
// first of a name first. A member is a slot: one made by hand gets a slot of
// its own when it adds itself; one read from an archive section gets a slot
// in its section's pool (RecordPool), pointing at its stored record in the
// section's bytes (kept in that pool too), and is made from it only when it
// is first found or listed; from then on the slot gives that same member.
// The slots read are named in the index only when the set is first searched
// or changed, all at once: a section's reading writes its slots and nothing
// else.
//
// Who owns what: the members, made by hand or from a record, are the set's
// and go with DeleteAll (last to first); whoever made one may delete it
// sooner, when it leaves (Remove). The slots of records and the records'
// memory are their section's pool, which the set frees after DeleteAll;
// the slots of members made by hand are freed as those leave.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "resources/NameIndex.h"
#include "resources/SpriteRecords.h"

class RecordPool;

template <class T>
class SetMembers {
 public:
  struct Slot {
    // The member's name in a buffer of kSpriteNameSize units (those after
    // its end may be anything): the member's own, its stored record's, or a
    // copy in the section's pool; it lasts as long as the slot.
    const wchar* name;
    T* made;                      // the member, once made; null before
    const u8* record;             // its stored record; null for a member made by hand
    void* found;                  // what the section's reading found for it (a sprite's texture)
    RecordPool* pool;             // the record's section pool; null for a member made by hand
    u32 hash;                     // of the name (NameIndex::HashBuffer); 0: to be taken
    i32 at;                       // where it came in the order (a member leaving before it moves it on)
    const wchar* GetName() const { return name; }
  };

  SetMembers() = default;
  SetMembers(const SetMembers&) = delete;
  SetMembers& operator=(const SetMembers&) = delete;
  ~SetMembers() { Forget(); }

  // A member made by hand, named by its own name buffer.
  void AddMade(T* item, const wchar (&name)[kSpriteNameSize]) {
    IndexPending();  // those read before it come before it
    Slot* slot =
        new Slot{name, item, nullptr, nullptr, nullptr, NameIndex<Slot>::HashBuffer(name), order_.GetCount()};
    order_.Add(slot);
    names_.Add(slot, slot->hash);
    if (!stale_) list_.Add(item);  // a list already made stays whole
  }
  // A slot of a record read (all of it filled in), named in the index when
  // the set is first searched.
  void Add(Slot* slot) {
    slot->at = order_.GetCount();
    order_.Add(slot);
    ++pending_;
    stale_ = true;
  }
  // The same named in the index now, by its hash, while its record is at hand.
  void AddIndexed(Slot* slot) {
    IndexPending();
    slot->at = order_.GetCount();
    order_.Add(slot);
    names_.Add(slot, slot->hash);
    stale_ = true;
  }
  // Room for n more without growing on the way.
  void Reserve(u32 n, bool indexed) {
    order_.SetCapacity(order_.GetCount() + static_cast<i32>(n));
    if (indexed) {
      IndexPending();
      names_.Reserve(n);
    }
  }

  // A member leaving (deleted): its slot goes from the names and the order.
  // The slot is looked for under the member's name, and else among the
  // slots themselves: a record with no name of its own takes its sprite's
  // when it is made, which may be one that came by hand after the reading,
  // and is indexed under the name its record gave. A slot left behind would
  // be deleted again with the set.
  void Remove(T* item) {
    if (!item) return;
    IndexPending();
    const auto mine = [item](const Slot* s) { return s->made == item; };
    Slot* slot = names_.RemoveIf(item->GetName(), mine);
    if (!slot) {
      for (i32 i = order_.GetCount() - 1; i >= 0 && !slot; --i)
        if (order_.Get(i)->made == item) slot = order_.Get(i);
      if (!slot) return;
      names_.RemoveIfHashed(slot->hash, mine);
    }
    RemoveFromEnd(order_, slot);
    if (!stale_) RemoveFromEnd(list_, item);  // a list already made stays whole
    if (!slot->pool) delete slot;
  }

  Slot* Find(const wchar* name) {
    IndexPending();
    return names_.Find(name);
  }
  Slot* FindBuffer(const wchar (&name)[kSpriteNameSize]) {
    IndexPending();
    return names_.FindBuffer(name);
  }

  // Whether a member has the name in the buffer (FindBuffer finds one),
  // trying first the member found last by these calls and the one after
  // it, spelled exactly alike: names asked for in turn mostly come in the
  // members' order, and the compare spares the hash and the table. `next`
  // is where the one after the last found came (0 to start; any value is
  // safe).
  bool Has(const wchar (&name)[kSpriteNameSize], i32* next) {
    const i32 at = *next;
    if (at > 0 && at <= order_.GetCount()) {
      if (NameIndex<Slot>::SameSpelling(order_.Data()[at - 1]->name, name)) return true;
      if (at < order_.GetCount() && NameIndex<Slot>::SameSpelling(order_.Data()[at]->name, name)) {
        *next = at + 1;
        return true;
      }
    }
    const Slot* found = FindBuffer(name);
    if (!found) return false;
    *next = found->at + 1;
    return true;
  }

  // Every member in order, those not made yet made by `make` (which fills
  // their slots' `made`).
  template <class Make>
  const kis::list<T*>& List(Make make) {
    if (stale_) {
      list_.SetCount(0);
      list_.SetCapacity(order_.GetCount());
      for (i32 i = 0; i < order_.GetCount(); ++i) {
        Slot* slot = order_.Get(i);
        list_.Add(slot->made ? slot->made : make(slot));
      }
      stale_ = false;
    }
    return list_;
  }

  // Deletes the members made, last to first (each leaves as it goes), and
  // forgets the records never made.
  void DeleteAll() {
    list_.Clear();
    stale_ = true;
    while (order_.GetCount() > 0) {
      Slot* slot = order_.Last();
      if (slot->made) {
        delete slot->made;  // its slot leaves with it
        if (order_.GetCount() > 0 && order_.Last() == slot) {
          order_.Delete(order_.GetCount() - 1);
          if (!slot->pool) delete slot;
        }
      } else {
        order_.Delete(order_.GetCount() - 1);
        if (pending_ > 0) --pending_;  // the pending ones are the last
        if (!slot->pool) delete slot;
      }
    }
    Forget();
  }

 private:
  void Forget() {
    for (i32 i = 0; i < order_.GetCount(); ++i)
      if (!order_.Get(i)->pool) delete order_.Get(i);
    order_.Clear();
    names_.Clear();
    list_.Clear();
    stale_ = false;
    pending_ = 0;
  }

  // Members mostly leave last first: the search starts at the end.
  template <class P>
  static void RemoveFromEnd(kis::list<P*>& list, P* item) {
    for (i32 i = list.GetCount() - 1; i >= 0; --i) {
      if (list.Get(i) == item) {
        list.Delete(i);
        return;
      }
    }
  }

  // Names the slots read since the last search in the index, in order (by
  // the hashes taken while their names were at hand, where they were).
  void IndexPending() {
    if (pending_ == 0) return;
    names_.Reserve(pending_);
    constexpr i32 kAhead = 8;  // names fetched ahead: a section's bytes are mostly out of the cache by now
    for (i32 i = order_.GetCount() - pending_; i < order_.GetCount(); ++i) {
      if (i + kAhead < order_.GetCount() && !order_.Data()[i + kAhead]->hash)
        __builtin_prefetch(order_.Data()[i + kAhead]->name);
      Slot* slot = order_.Data()[i];
      // A hash that is really 0 is only taken again.
      if (!slot->hash) slot->hash = NameIndex<Slot>::HashBuffer(*reinterpret_cast<const wchar(*)[kSpriteNameSize]>(slot->name));
      names_.Add(slot, slot->hash);
    }
    pending_ = 0;
  }

  kis::list<Slot*> order_;  // every member's slot, in the order they came
  NameIndex<Slot> names_;
  kis::list<T*> list_;  // the members in order, as last listed
  bool stale_ = false;  // list_ is behind order_
  i32 pending_ = 0;     // slots at the end of order_ not in names_ yet
};
