// The villains of a level as LEVELINFO (LevelInfo.h) keeps them: the slots
// where they set up and the waves that bring them.
#pragma once

#include "base/Types.h"

constexpr u32 kMaxVillainSlots = 16;

struct VILLAINSLOT {
  i32 startX;
  i32 startY;
  i32 x;  // where the villain sets up
  i32 y;
  i32 direction;
};

struct WAVEDEF {
  i32 slot;  // -1: a free slot
  u32 villainKind;
  u32 delay;  // ms after the wave before it (the first: after the start)
};
