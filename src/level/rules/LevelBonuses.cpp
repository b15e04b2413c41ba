#include "level/rules/LevelBonuses.h"

#include <cmath>

#include "content/AwardTable.h"
#include "content/GameBonuses.h"
#include "content/LevelInfo.h"
#include "gametext/GameMessager.h"
#include "level/scene/LevelInterface.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/rules/LevelScene.h"
#include "resources/SoundSettings.h"

namespace {

constexpr u32 kRainFadeOut = 1000;  // ms the rain's loop sound fades out

// A time times a factor, rounded; 0 for a factor that is not above 0.
u32 Scaled(u32 time, float factor) {
  const double t = std::floor(static_cast<double>(time) * factor + 0.5);
  return t > 0 ? t < 4e9 ? static_cast<u32>(t) : 4000000000u : 0;
}

}  // namespace

u32 LevelBonuses::ChargeTime(u32 slot) const {
  const GameBonuses* b = GetGameBonuses();
  return b ? b->Get(slot).chargeTime : 0;
}

u32 LevelBonuses::ActiveTime(u32 slot) const {
  const GameBonuses* b = GetGameBonuses();
  return b ? b->Get(slot).activeTime : 0;
}

void LevelBonuses::Reset() {
  for (BONUSSLOT& s : slots_) s = BONUSSLOT{};
  for (RateModifiers& r : rates_) r.Reset();
}

void LevelBonuses::Charge(const CHOSENBONUSES& chosen, const float (&factors)[kLevelRateCount]) {
  const u32 count = chosen.count < kMaxChosenBonuses ? chosen.count : kMaxChosenBonuses;
  for (u32 i = 0; i < count; ++i)
    if (chosen.slots[i] < kBonusCount) slots_[chosen.slots[i]].available = 1;
  for (u32 slot = 0; slot < kBonusCount; ++slot) {
    if (!slots_[slot].available) continue;
    slots_[slot].timeLeft = Scaled(ChargeTime(slot), factors[slot]);
  }
}

void LevelBonuses::RestoreSlot(u32 slot, const BONUSSLOT& saved) {
  if (slot >= kBonusCount) return;
  slots_[slot] = saved;
  if (saved.active) ActivateBonusEffect(slot, false);
}

bool LevelBonuses::UseBonus(u32 slot) {
  if (slot >= kBonusCount) return false;
  BONUSSLOT& s = slots_[slot];
  if (!s.available || s.active || s.timeLeft != 0) return false;
  s.active = 1;
  s.timeLeft = ActiveTime(slot);
  if (const GameBonuses* b = GetGameBonuses())
    GetSoundSettings().PlaySound(b->Get(slot).sound, kSoundGroupLevel | kSoundGroupScreen, 0);
  ActivateBonusEffect(slot, true);
  RefreshBonusSlot(slot, true);

  for (u32 other = 0; other < kBonusCount; ++other) {
    BONUSSLOT& o = slots_[other];
    if (other == slot || !o.available || o.active) continue;
    o.fraction = o.fraction + kBonusSetBack < 1.0f ? o.fraction + kBonusSetBack : 1.0f;
    o.timeLeft = Scaled(ChargeTime(other), o.fraction);
    RefreshBonusSlot(other, true);
  }

  LevelProfile* profile = rules_.Hooks().profile;
  const AWARDCOUNTERS* counters = profile ? profile->GetAwardCounters() : nullptr;
  const i32 bit = 1 << slot;
  if (counters && !(counters->records[kAwardRecordBonusMask] & bit))
    rules_.RaiseAwardRecord(kAwardRecordBonusMask, counters->records[kAwardRecordBonusMask] | bit, false, true);
  return true;
}

void LevelBonuses::ActivateBonusEffect(u32 slot, bool fade) {
  if (slot >= kBonusCount) return;
  BONUSSLOT& s = slots_[slot];
  const GameBonuses* bonuses = GetGameBonuses();
  GetBonusRateValues(slot, bonuses ? bonuses->Get(slot).effect : 0.0f, s.rates);
  LevelScene* scene = rules_.Hooks().scene;
  switch (slot) {
    case kBonusBees:
      if (scene) scene->DriveOffVillains();
      break;
    case kBonusRain: {
      if (scene) scene->RainOnPlantBeds();
      const u32 duration = ActiveTime(slot);
      rain_.Start(bonuses ? bonuses->GetRainImageCount() : 0, duration > s.timeLeft ? duration - s.timeLeft : 0, fade);
      loopSound_ = GetSoundSettings().PlaySound(GetStandardSound(kSoundRainLoop), kSoundGroupLevel | kSoundGroupScreen, 1);
      break;
    }
    case kBonusInstant: {
      GameMessager messager;
      if (scene) scene->CollectUndamaged(messager);
      EndBonus(slot);
      break;
    }
    default:
      break;
  }
  SetRateModifiers(s.rates, true, BonusModifierId(slot));
}

void LevelBonuses::EndBonus(u32 slot) {
  if (slot >= kBonusCount) return;
  BONUSSLOT& s = slots_[slot];
  SetRateModifiers(s.rates, false, BonusModifierId(slot));
  if (slot == kBonusRain) {
    rain_.FadeOut();
    GetSoundSettings().FadeOutSound(loopSound_, kRainFadeOut);
  }
  s.active = 0;
  s.timeLeft = ChargeTime(slot);
}

void LevelBonuses::RefreshBonusSlot(u32 slot, bool animate) {
  if (slot >= kBonusCount) return;
  BONUSSLOT& s = slots_[slot];
  const u32 whole = s.active ? ActiveTime(slot) : ChargeTime(slot);
  s.fraction = whole == 0 ? 0.0f : static_cast<float>(static_cast<double>(s.timeLeft) / whole);
  if (LevelInterface* panel = rules_.Hooks().panel) panel->UpdateBonusButton(slot, s, animate);
}

void LevelBonuses::SetRateModifiers(const float (&values)[kLevelRateCount], bool enable, u32 id) {
  for (u32 i = 0; i < kLevelRateCount; ++i) rates_[i].Set(id, false, enable && values[i] != 0.0f ? values[i] : 1.0f);
  LevelScene* scene = rules_.Hooks().scene;
  if (!scene) return;
  // Removing hands on the neutral factor 1, which takes the entry out; a 0
  // would be kept as a factor and stop the buildings and the player.
  const auto given = [enable](float v) { return enable ? v : 1.0f; };
  for (const u32 kind : {kBuildingKindFactory, kBuildingKindAnimalHouse}) {
    const float v = values[RateOfBuildingKind(kind)];
    if (v != 0.0f) scene->SetBuildingRateModifier(kind, id, given(v));
  }
  bool player = false;
  if (values[kRateWalk] != 0.0f) {
    scene->SetPlayerWalkModifier(id, given(values[kRateWalk]));
    player = true;
  }
  if (values[kRateAnimation] != 0.0f) {
    scene->SetPlayerSpeedModifier(id, given(values[kRateAnimation]));
    player = true;
  }
  if (player) scene->SetPlayerRunning(enable);
}

float LevelBonuses::GetRate(u32 i) const {
  const LEVELINFO* info = rules_.GetInfo();
  if (i >= kLevelRateCount || !info) return 0.0f;
  return info->baseRates[i] * rates_[i].GetRate();
}

void LevelBonuses::ApplyRateModifiers(u32 rate, RateModifiers& building) const {
  if (rate >= kLevelRateCount) return;
  const RateModifiers& r = rates_[rate];
  for (const bool additive : {true, false})  // the bonuses set factors
    for (u32 i = 0; i < r.GetCount(additive); ++i) building.Set(r.Get(additive, i).id, additive, r.Get(additive, i).value);
}

void LevelBonuses::Tick(u32 t) {
  for (u32 slot = 0; slot < kBonusCount; ++slot) {
    BONUSSLOT& s = slots_[slot];
    if (!s.available || s.timeLeft == 0) continue;
    s.timeLeft = t < s.timeLeft ? s.timeLeft - t : 0;
    if (s.timeLeft == 0 && s.active) EndBonus(slot);
    RefreshBonusSlot(slot, true);
  }
}

void LevelBonuses::Stop() {
  rain_.Stop();
  GetSoundSettings().StopSound(loopSound_);
  loopSound_ = 0;
}
