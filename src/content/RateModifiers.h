// RateModifiers - one rate of the game (a level rate, a point's or a
// character's activity rate) as up to three factors and up to three bonuses,
// each held under an id: rate = (product of the factors) x (1 + sum of the
// bonuses), 1.0 when empty. Setting an id to the neutral value (1.0 for a
// factor, 0.0 for a bonus) removes it; a full list refuses a new id.
#pragma once

#include "base/Types.h"

class RateModifiers {
 public:
  static constexpr u32 kSlots = 3;

  struct Entry {
    u32 id;
    float value;
  };

  // Sets, replaces or removes the id's entry of the kind; true only when the
  // resulting rate changed.
  bool Set(u32 id, bool additive, float value);
  void Reset();  // no entries, rate 1.0

  float GetRate() const { return rate_; }
  u32 GetCount(bool additive) const { return additive ? bonusCount_ : factorCount_; }
  const Entry& Get(bool additive, u32 i) const { return additive ? bonuses_[i % kSlots] : factors_[i % kSlots]; }

 private:
  void Recompute();

  Entry factors_[kSlots] = {};
  u32 factorCount_ = 0;
  Entry bonuses_[kSlots] = {};
  u32 bonusCount_ = 0;
  float rate_ = 1.0f;
};
