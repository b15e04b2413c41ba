#include "level/rules/VillainWaves.h"

#include "base/Random.h"
#include "content/LevelInfo.h"

void VillainWaves::Start(const LEVELINFO* level) {
  *this = VillainWaves{};
  level_ = level;
  if (!level || level->waves.empty()) return;
  count_ = static_cast<u32>(level->waves.size());
  enabled_ = true;
  timeToNext_ = level->waves[0].delay;
}

void VillainWaves::Run(u32 t, bool beesActive, VillainSlots& slots) {
  if (!enabled_ || held_ || switchedOff_ || beesActive || !level_) return;
  for (u32 spawns = 0; spawns < kMaxSpawnsPerRun && enabled_; ++spawns) {
    if (t < timeToNext_) {
      timeToNext_ -= t;
      return;
    }
    t -= timeToNext_;
    timeToNext_ = 0;
    const WAVEDEF& wave = level_->waves[index_];
    const i32 slot = wave.slot < 0 ? PickSlot(slots) : wave.slot;
    if (slot >= 0 && static_cast<u32>(slot) < slots.GetSlotCount() && !slots.IsSlotTaken(static_cast<u32>(slot))) {
      slots.SpawnVillain(static_cast<u32>(slot), wave.villainKind);
      ++spawned_;
    }
    Advance();
  }
}

// To the next wave; past the end of the table back to the first repeating
// one, or the end of the waves.
void VillainWaves::Advance() {
  const u32 total = static_cast<u32>(level_->waves.size());
  if (++index_ >= total) {
    const i32 first = level_->firstRepeatWave;
    const i32 length = level_->repeatLength;
    if (length < 1 || first < 0 || static_cast<u32>(first) >= total) {
      enabled_ = false;
      return;
    }
    index_ = static_cast<u32>(first);
    count_ = static_cast<u32>(first) + static_cast<u32>(length);
  }
  timeToNext_ = level_->waves[index_].delay;
}

bool VillainWaves::Restore(bool enabled, bool held, u32 index, u32 count, u32 timeToNext) {
  const u32 total = level_ ? static_cast<u32>(level_->waves.size()) : 0;
  bool wrapped = false;
  if (level_ && level_->repeatLength > 0 && level_->firstRepeatWave >= 0 &&
      static_cast<u32>(level_->firstRepeatWave) < total)
    wrapped = count == static_cast<u32>(level_->firstRepeatWave) + static_cast<u32>(level_->repeatLength);
  if (count != total && !wrapped) return false;
  if (enabled ? index >= total : index > total) return false;
  enabled_ = enabled;
  held_ = held;
  index_ = index;
  count_ = count;
  timeToNext_ = timeToNext;
  return true;
}

i32 VillainWaves::PickSlot(VillainSlots& slots) {
  u32 left[kMaxVillainSlots];
  u32 n = slots.GetSlotCount() < kMaxVillainSlots ? slots.GetSlotCount() : kMaxVillainSlots;
  for (u32 i = 0; i < n; ++i) left[i] = i;
  while (n > 0) {
    const u32 pick = kis::RandomBelow(static_cast<u16>(n));
    if (!slots.IsSlotTaken(left[pick])) return static_cast<i32>(left[pick]);
    for (u32 i = pick + 1; i < n; ++i) left[i - 1] = left[i];
    --n;
  }
  return -1;
}
