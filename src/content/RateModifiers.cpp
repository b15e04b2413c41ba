#include "content/RateModifiers.h"

bool RateModifiers::Set(u32 id, bool additive, float value) {
  Entry* list = additive ? bonuses_ : factors_;
  u32& count = additive ? bonusCount_ : factorCount_;
  const float neutral = additive ? 0.0f : 1.0f;
  u32 at = 0;
  while (at < count && list[at].id != id) ++at;
  if (at < count) {
    if (list[at].value == value) return false;
    if (value == neutral) {
      for (u32 i = at + 1; i < count; ++i) list[i - 1] = list[i];
      list[--count] = Entry{};
    } else {
      list[at].value = value;
    }
  } else {
    if (value == neutral || count >= kSlots) return false;
    list[count++] = Entry{id, value};
  }
  const float before = rate_;
  Recompute();
  return rate_ != before;
}

void RateModifiers::Reset() {
  *this = RateModifiers{};
}

void RateModifiers::Recompute() {
  float product = 1.0f, sum = 0.0f;
  for (u32 i = 0; i < factorCount_; ++i) product *= factors_[i].value;
  for (u32 i = 0; i < bonusCount_; ++i) sum += bonuses_[i].value;
  rate_ = product * (1.0f + sum);
}
