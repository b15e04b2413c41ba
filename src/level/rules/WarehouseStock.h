// WarehouseStock - the running level's warehouse: how many units of each
// product the player holds, each up to a capacity that the warehouse's
// storage level gives (the same for every product, ProductList::GetCapacity).
//
// Entries stay in the order the products first arrived; an entry whose
// count a Take brings to 0 leaves, and the product comes back at the end.
// After every Add and Take the stock's listeners are told of the entry, the
// one registered last first. An Add with notification that stored something
// counts the units asked for (not only those stored) towards the level's
// product task. The storage level only ever rises.
//
// The developer switch "warehouse without limits" makes GetCount answer the
// capacity, so every display shows a full stock; how much still fits is
// always worked out from the true count, so storing goes on while it is set.
#pragma once

#include <vector>

#include "base/List.h"
#include "base/Types.h"

class LevelTasks;
class ProductList;
struct PRODUCT;

struct STOCKENTRY {
  const PRODUCT* product;
  i32 count;
  i32 capacity;
};

class StockListener {
 public:
  virtual ~StockListener() = default;
  virtual void OnStockChanged(const STOCKENTRY& entry) = 0;
};

class WarehouseStock {
 public:
  // The empty stock at storage level 1. `value` is the level record's word
  // kept with the stock (unused by it); `tasks` receives the product task
  // updates (none when null).
  WarehouseStock(const ProductList* products, i32 value, LevelTasks* tasks);
  WarehouseStock(const WarehouseStock&) = delete;
  WarehouseStock& operator=(const WarehouseStock&) = delete;

  i32 FindEntry(const PRODUCT* product) const;  // -1 for null or absent
  i32 GetCapacity(const PRODUCT* product) const;  // at the storage level; 0 for null
  // The count, 0 when absent; the capacity while the warehouse has no limits.
  i32 GetCount(const PRODUCT* product) const;
  i32 GetTrueCount(const PRODUCT* product) const;
  // How many of n units fit: 0 for null or n < 1, else min(n, capacity - count).
  i32 GetFree(const PRODUCT* product, i32 n) const;
  // Stores what fits of n units and tells the listeners (also when nothing
  // fitted); the number stored. Null or n < 1: 0 and nothing happens.
  i32 Add(const PRODUCT* product, i32 n, bool notify);
  // Removes up to n units; the number taken. Nothing for null, n < 1 or a
  // product not in stock.
  i32 Take(const PRODUCT* product, i32 n);
  // A higher storage level is kept and every capacity follows; a lower or
  // equal one changes nothing.
  void SetLevel(i32 level);

  i32 GetLevel() const { return level_; }
  i32 GetValue() const { return value_; }
  i32 GetEntryCount() const { return static_cast<i32>(entries_.size()); }
  const STOCKENTRY& GetEntry(i32 i) const { return entries_[static_cast<size_t>(i)]; }
  // What the stock would sell for: the sum of price x count (saturating).
  i32 GetWorth() const;

  void AddListener(StockListener* listener);  // once; null does nothing
  void RemoveListener(StockListener* listener);
  // Every entry told to the listeners again (the display refreshed).
  void NotifyAll();

 private:
  void Notify(const STOCKENTRY& entry);

  const ProductList* products_;
  std::vector<STOCKENTRY> entries_;
  i32 level_ = 1;
  i32 value_;
  LevelTasks* tasks_;
  kis::list<StockListener*> listeners_;
};
