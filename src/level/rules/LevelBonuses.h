// LevelBonuses - the running level's six bonus slots and its six rates.
//
// A slot chosen for the level is available: it charges (its time left runs
// down in the level's ticks while there is no result), and once charged the
// player may use it. Using it makes it active for the bonus's duration and
// sets every other charging or charged slot back by 0.45 of its charge time
// (at most a full charge); when the effect ends the slot charges again. A
// slot that is not available, still charging or already active cannot be
// used. The instant harvest ends in the same call that starts it.
//
// Rate i is the level record's base value times the factors its record
// holds; each slot's effect sets its factor in the rates it drives under
// the id BonusModifierId(slot) (content/LevelRates.h), where a value of 0
// means the rate is left alone. The factors also reach the buildings of
// the kinds they drive and the player.
#pragma once

#include "base/Types.h"
#include "content/LevelRates.h"
#include "content/RateModifiers.h"
#include "level/rules/RainOverlay.h"

class LevelRules;

constexpr u32 kMaxChosenBonuses = 3;
constexpr float kBonusSetBack = 0.45f;

struct BONUSSLOT {
  u32 available = 0;  // chosen for this level
  u32 active = 0;
  u32 timeLeft = 0;   // ms: until charged, or while active until the effect ends
  float fraction = 0.0f;  // time left of its whole, as last refreshed
  float rates[kLevelRateCount] = {};  // the values the slot applies while active
};

// The bonuses the player took into the level: a count and the slot numbers.
struct CHOSENBONUSES {
  u32 count = 0;
  u32 slots[kMaxChosenBonuses] = {};
};

class LevelBonuses {
 public:
  explicit LevelBonuses(LevelRules& rules) : rules_(rules) {}
  LevelBonuses(const LevelBonuses&) = delete;
  LevelBonuses& operator=(const LevelBonuses&) = delete;

  void Reset();  // every slot cleared and every rate back to its base
  // The chosen slots become available, each charging for its charge time
  // times the level's initial factor for it.
  void Charge(const CHOSENBONUSES& chosen, const float (&factors)[kLevelRateCount]);

  bool UseBonus(u32 slot);  // false when the slot cannot be used
  // The slot's effect; `fade` fades the rain in (not for a restored level).
  void ActivateBonusEffect(u32 slot, bool fade);
  void EndBonus(u32 slot);  // the effect ends; the slot charges again
  // The fraction of time left stored and the slot's button told.
  void RefreshBonusSlot(u32 slot, bool animate);
  // Sets (enable) or removes the factors of the id in every rate whose
  // value is not 0, and passes them on to the buildings and the player.
  void SetRateModifiers(const float (&values)[kLevelRateCount], bool enable, u32 id);
  float GetRate(u32 i) const;  // 0 beyond the six
  // Every bonus entry of rate `rate` into a new building's own rate.
  void ApplyRateModifiers(u32 rate, RateModifiers& building) const;

  // One tick: the available slots with time left run down; an active one
  // that runs out ends; each refreshes its button.
  void Tick(u32 t);
  // Leaving the level: the rain's overlay and its loop sound stop.
  void Stop();

  // A saved slot put back as it was (the caller checked it), its effect
  // applied again without the fade-in while active.
  void RestoreSlot(u32 slot, const BONUSSLOT& saved);
  const BONUSSLOT& GetSlot(u32 slot) const { return slots_[slot % kBonusCount]; }
  bool IsActive(u32 slot) const { return slot < kBonusCount && slots_[slot].active != 0; }
  const RateModifiers& GetRateRecord(u32 i) const { return rates_[i % kLevelRateCount]; }
  RainOverlay& GetRain() { return rain_; }
  u32 GetLoopSound() const { return loopSound_; }

 private:
  u32 ChargeTime(u32 slot) const;
  u32 ActiveTime(u32 slot) const;

  LevelRules& rules_;
  BONUSSLOT slots_[kBonusCount];
  RateModifiers rates_[kLevelRateCount];
  RainOverlay rain_;
  u32 loopSound_ = 0;  // the rain's loop channel
};
