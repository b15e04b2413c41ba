#include "level/rules/WarehouseStock.h"

#include "content/ProductList.h"
#include "level/rules/LevelTasks.h"
#include "level/scene/LevelServices.h"

WarehouseStock::WarehouseStock(const ProductList* products, i32 value, LevelTasks* tasks)
    : products_(products), value_(value), tasks_(tasks) {
  if (products_) entries_.reserve(products_->GetCount());
}

i32 WarehouseStock::FindEntry(const PRODUCT* product) const {
  if (!product) return -1;
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].product == product) return static_cast<i32>(i);
  return -1;
}

i32 WarehouseStock::GetCapacity(const PRODUCT* product) const {
  return products_ ? products_->GetCapacity(product, level_) : 0;
}

i32 WarehouseStock::GetTrueCount(const PRODUCT* product) const {
  const i32 i = FindEntry(product);
  return i < 0 ? 0 : entries_[static_cast<size_t>(i)].count;
}

i32 WarehouseStock::GetCount(const PRODUCT* product) const {
  if (GetLevelServices().warehouseNoLimits) return GetCapacity(product);
  return GetTrueCount(product);
}

i32 WarehouseStock::GetFree(const PRODUCT* product, i32 n) const {
  if (!product || n < 1) return 0;
  const i32 i = FindEntry(product);
  const i32 room = i < 0 ? GetCapacity(product) : entries_[static_cast<size_t>(i)].capacity - entries_[static_cast<size_t>(i)].count;
  if (room < 1) return 0;
  return n < room ? n : room;
}

i32 WarehouseStock::Add(const PRODUCT* product, i32 n, bool notify) {
  if (!product || n < 1) return 0;
  i32 i = FindEntry(product);
  if (i < 0) {
    entries_.push_back(STOCKENTRY{product, 0, GetCapacity(product)});
    i = static_cast<i32>(entries_.size()) - 1;
  }
  STOCKENTRY& e = entries_[static_cast<size_t>(i)];
  const i32 room = e.capacity - e.count;
  const i32 added = room < 1 ? 0 : n < room ? n : room;
  e.count += added;
  Notify(e);
  // The task counts what was asked for: goods that did not fit were sold,
  // and they were produced all the same.
  if (added != 0 && notify && tasks_) tasks_->UpdateTask(kTaskProducts, product->id, n, true);
  return added;
}

i32 WarehouseStock::Take(const PRODUCT* product, i32 n) {
  if (n < 1) return 0;
  const i32 i = FindEntry(product);
  if (i < 0) return 0;
  STOCKENTRY& e = entries_[static_cast<size_t>(i)];
  const i32 taken = n < e.count ? n : e.count;
  e.count -= taken;
  Notify(e);
  // A listener may have changed the stock: look the entry up again.
  const i32 now = FindEntry(product);
  if (now >= 0 && entries_[static_cast<size_t>(now)].count == 0) entries_.erase(entries_.begin() + now);
  return taken;
}

void WarehouseStock::SetLevel(i32 level) {
  if (level <= level_) return;
  level_ = level;
  for (STOCKENTRY& e : entries_) e.capacity = GetCapacity(e.product);
}

void WarehouseStock::NotifyAll() {
  for (size_t i = 0; i < entries_.size(); ++i) Notify(entries_[i]);
}

i32 WarehouseStock::GetWorth() const {
  i64 sum = 0;
  for (const STOCKENTRY& e : entries_) sum += static_cast<i64>(e.product->price) * e.count;
  return static_cast<i32>(sum < 0 ? 0 : sum > INT32_MAX ? INT32_MAX : sum);
}

void WarehouseStock::AddListener(StockListener* listener) {
  if (listener) listeners_.AddUnique(listener);
}

void WarehouseStock::RemoveListener(StockListener* listener) { listeners_.Remove(listener); }

// Listeners get a copy: one may store or take goods, which moves the entries.
void WarehouseStock::Notify(const STOCKENTRY& entry) {
  const STOCKENTRY copy = entry;
  for (i32 i = listeners_.GetCount() - 1; i >= 0; --i) {
    if (i >= listeners_.GetCount()) continue;
    if (StockListener* l = listeners_.Get(i)) l->OnStockChanged(copy);
  }
}
