// What the content tables share: each is a game-wide table (the newest one
// constructed is the game's until it is deleted, so tests make their own),
// and most find their records by id.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"

template <class T>
class GameTable {
 public:
  GameTable(const GameTable&) = delete;
  GameTable& operator=(const GameTable&) = delete;
  static T* Current() { return static_cast<T*>(current_); }

 protected:
  GameTable() { current_ = this; }
  ~GameTable() {
    if (current_ == this) current_ = nullptr;
  }

 private:
  inline static GameTable* current_ = nullptr;
};

// The first record whose id is `id`; null for 0 or when there is none.
template <class R>
R* FindFirstById(const std::vector<std::unique_ptr<R>>& records, u32 id) {
  if (id == 0) return nullptr;
  for (const auto& r : records)
    if (r->id == id) return r.get();
  return nullptr;
}
