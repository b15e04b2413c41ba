#include "level/rules/LevelMoney.h"

namespace {

i64 Magnitude(i32 n) { return n < 0 ? -static_cast<i64>(n) : n; }

}  // namespace

i32 LevelMoney::SetWide(i64 value) {
  const i32 clamped = static_cast<i32>(value < 0 ? 0 : value > kMax ? kMax : value);
  if (clamped == value_) return value_;
  value_ = clamped;
  // From the last registered to the first; the index is checked again after
  // every call, since a listener may take itself out of the list.
  for (i32 i = listeners_.GetCount() - 1; i >= 0; --i) {
    if (i >= listeners_.GetCount()) continue;
    if (MoneyListener* l = listeners_.Get(i)) l->OnMoneyChanged();
  }
  return value_;
}

i32 LevelMoney::Set(i32 value) { return SetWide(value); }

i32 LevelMoney::Add(i32 n) { return SetWide(value_ + Magnitude(n)); }

i32 LevelMoney::Subtract(i32 n) { return SetWide(value_ - Magnitude(n)); }

i32 LevelMoney::Change(i32 n) { return n < 0 ? Subtract(n) : Add(n); }

i32 LevelMoney::Reserve(i32 cost) {
  if (cost < 1) return 0;
  const i32 taken = cost < value_ ? cost : value_;
  Subtract(taken);
  return taken;
}

void LevelMoney::AddListener(MoneyListener* listener) {
  if (listener) listeners_.AddUnique(listener);
}

void LevelMoney::RemoveListener(MoneyListener* listener) { listeners_.Remove(listener); }
