// LevelMoney - the running level's money: one whole number kept within
// 0..99,999, and the listeners told after every change. Every income and
// expense of the level goes through it.
//
// Add and Subtract take the size of their argument and ignore its sign
// (Add(-30) adds 30); Change goes by the sign. Listeners are called only
// when the value really changed, the one registered last first; a listener
// may remove itself (or one called before it) while it is called.
//
// Money put aside for a queued job is taken with Reserve, which takes only
// what there is and says how much that was: a cancelled job gives back
// exactly that amount, so cancelling never makes money.
#pragma once

#include "base/List.h"
#include "base/Types.h"

class MoneyListener {
 public:
  virtual ~MoneyListener() = default;
  virtual void OnMoneyChanged() = 0;
};

class LevelMoney {
 public:
  static constexpr i32 kMax = 99999;

  LevelMoney() = default;
  LevelMoney(const LevelMoney&) = delete;
  LevelMoney& operator=(const LevelMoney&) = delete;

  i32 Get() const { return value_; }
  // Clamps to 0..kMax; on a change stores it and tells the listeners. The
  // value held afterwards.
  i32 Set(i32 value);
  i32 Add(i32 n);       // + |n|, at most up to kMax
  i32 Subtract(i32 n);  // - |n|, at most down to 0
  i32 Change(i32 n);    // Subtract for a negative n, else Add
  bool HasAtLeast(i32 n) const { return value_ >= n; }
  // Takes min(cost, money) (nothing for a cost below 1); the amount taken.
  i32 Reserve(i32 cost);

  void AddListener(MoneyListener* listener);  // once; null does nothing
  void RemoveListener(MoneyListener* listener);
  i32 GetListenerCount() const { return listeners_.GetCount(); }

 private:
  i32 SetWide(i64 value);

  i32 value_ = 0;
  kis::list<MoneyListener*> listeners_;
};
