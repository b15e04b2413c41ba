// LevelLocks - the five counted locks that hold the running level: each bit
// stays set while its counter is above 0, so two windows opened and one
// closed still hold the level. While any lock is held the level's sound
// group is paused (once, however many locks there are).
//
//   1  start: from the level's building until play starts
//   2  a movable window is open
//   4  the level is ending (never released)
//   8  the warehouse window is open
//  16  the running tutorial holds the level
//
// An Unlock of bits that are not held does nothing, not even the sound
// update, and no counter goes below 0.
#pragma once

#include "base/Types.h"

constexpr u32 kLockStart = 1;
constexpr u32 kLockWindow = 2;
constexpr u32 kLockExit = 4;
constexpr u32 kLockWarehouse = 8;
constexpr u32 kLockTutorial = 16;
constexpr u32 kLockBits = 5;

constexpr u32 kWarehouseWindowId = 0x57726873u;  // 'Wrhs'

class LevelLocks {
 public:
  void Lock(u32 mask);
  void Unlock(u32 mask);
  // True when a lock outside the mask is held (mask 0: any lock).
  bool IsLockedExcept(u32 mask) const { return (mask_ & ~mask) != 0; }
  u32 GetMask() const { return mask_; }
  i32 GetCounter(u32 bitIndex) const { return bitIndex < kLockBits ? counters_[bitIndex] : 0; }
  bool AreSoundsPaused() const { return soundsPaused_; }

  // A movable window of this id opened or closed: the warehouse window
  // takes lock 8, every other window lock 2.
  void OnWindowOpened(u32 id) { Lock(id == kWarehouseWindowId ? kLockWarehouse : kLockWindow); }
  void OnWindowClosed(u32 id) { Unlock(id == kWarehouseWindowId ? kLockWarehouse : kLockWindow); }

  // Every lock and counter cleared and the paused mark forgotten, without
  // touching the sounds (the level resumes its group before it is cleared).
  void Reset();

 private:
  void UpdateSoundPause();

  u32 mask_ = 0;
  i32 counters_[kLockBits] = {};
  bool soundsPaused_ = false;
};
