// What the content tables share: they are not copied, and most find their
// records by id.
#pragma once

#include <memory>
#include <vector>

#include "base/Identifier.h"
#include "base/Types.h"

// A table of the game's content. Tables are made by whoever reads the data
// (the game's world, a tool, a test) and installed as fields of the content
// services (ContentServices.h), where the game reads them through GetProductList
// and its kind; a table never installs itself, and is never copied.
class GameTable {
 public:
  GameTable(const GameTable&) = delete;
  GameTable& operator=(const GameTable&) = delete;

 protected:
  GameTable() = default;
  ~GameTable() = default;
};

// The first record whose id is `id`; null for 0 or when there is none.
template <class R>
R* FindFirstById(const std::vector<std::unique_ptr<R>>& records, u32 id) {
  if (id == 0) return nullptr;
  for (const auto& r : records)
    if (r->id == id) return r.get();
  return nullptr;
}

// The first record whose id is the name's; null for a null or empty name.
template <class R>
R* FindFirstByName(const std::vector<std::unique_ptr<R>>& records, const wchar* name) {
  return name && name[0] ? FindFirstById(records, kis::NameId(name)) : nullptr;
}
