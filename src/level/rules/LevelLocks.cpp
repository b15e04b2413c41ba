#include "level/rules/LevelLocks.h"

#include "resources/SoundSettings.h"

void LevelLocks::Lock(u32 mask) {
  for (u32 b = 0; b < kLockBits; ++b) {
    if (!(mask & (1u << b))) continue;
    if (counters_[b]++ == 0) mask_ |= 1u << b;
  }
  UpdateSoundPause();
}

void LevelLocks::Unlock(u32 mask) {
  if (!(mask & mask_)) return;
  for (u32 b = 0; b < kLockBits; ++b) {
    if (!(mask & (1u << b)) || counters_[b] <= 0) continue;
    if (--counters_[b] == 0) mask_ &= ~(1u << b);
  }
  UpdateSoundPause();
}

void LevelLocks::Reset() {
  mask_ = 0;
  for (i32& c : counters_) c = 0;
  soundsPaused_ = false;
}

void LevelLocks::UpdateSoundPause() {
  if (mask_ != 0 && !soundsPaused_) {
    GetSoundSettings().PauseSounds(kSoundGroupLevel);
    soundsPaused_ = true;
  } else if (mask_ == 0 && soundsPaused_) {
    GetSoundSettings().ResumeSounds(kSoundGroupLevel);
    soundsPaused_ = false;
  }
}
