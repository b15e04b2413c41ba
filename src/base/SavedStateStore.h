// What a saved level state needs from the rest of the game: the few level
// fields that open every saved state (LevelSaveInfo), and the current
// profile's store of saved states, one slot per play mode and level.
#pragma once

#include "base/Types.h"

namespace kis {

class DataBuffer;

constexpr u32 kSavedPlayModes = 2;  // play modes 0 and 1
constexpr u32 kSavedLevels = 41;    // levels per play mode

// The level fields copied, as they stand, into the header of a saved state.
struct LevelSaveInfo {
  u32 playMode;
  u32 levelIndex;  // 0-based into the level table
  u32 levelTime;   // elapsed play time
  u8 block[16];    // level state kept verbatim
};

inline bool IsSavedStateSlot(u32 playMode, u32 levelIndex) {
  return playMode < kSavedPlayModes && levelIndex < kSavedLevels;
}

// The profile keeps one buffer per (play mode, level index) and frees the
// buffers it holds.
class SavedStateStore {
 public:
  virtual ~SavedStateStore() = default;
  // The slot of (play mode, level index), or null for a pair outside the table.
  virtual DataBuffer** Slot(u32 playMode, u32 levelIndex) = 0;
};

}  // namespace kis
