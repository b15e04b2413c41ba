// PROFILEPROGRESS - a player's progress as a profile file stores it (924
// bytes), and the defaults every new profile starts from, read from the
// data archive's "PROF" section (exactly one such block).
//
// Stored layout (little-endian):
//      0  u32 size, always 924
//      4  4 bytes carried as stored
//      8  u32 current regime (0 easy, 1 hard)
//     12  u32 set once the eighth level is finished for the first time
//     16  72  award counters (AWARDCOUNTERS: 9 tiered, 8 records, final flag)
//     88  u32 tutorials on
//     92  16  regime 0's bonus selection: u32 count, three i32 slots (-1 empty)
//    108  16  regime 1's bonus selection
//    124  i32 villains driven off in a row, over levels
//    128  32 bytes carried as stored
//    160  u32 one-time message flags
//    164  4 bytes carried as stored
//    168  u64 easter eggs found (bit i: level i's)
//    176  372 regime 0's progress, 548 372 regime 1's
//    920  u32 total play time (ms)
// Regime progress (372 bytes):
//      0  u32 top byte: index of the last bonus unlocked + 1; low 24 bits carried
//      4  six u32 bonus flags (owned when not 0)
//     28  u32 new bonuses not yet shown (0..3), 32 three i32 bonus indices
//     44  41 x {u32 level state 0..6, u32 best time in ms, 0 = none}
//
// The used-bonus mask and the walked distance are award records 2 and 5.
// A block from a file is checked once (SanitizeProfileProgress), so the
// game may index with every field of it.
#pragma once

#include <vector>

#include "base/RecordFields.h"
#include "base/Types.h"
#include "content/AwardTable.h"
#include "content/LevelTable.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kProfileProgressSize = 924;
constexpr u32 kRegimeProgressSize = 372;
constexpr u32 kProfileRegimes = 2;
constexpr u32 kProfileBonuses = 6;       // bonus flags per regime
constexpr u32 kBonusSelectionSlots = 3;  // bonuses taken into a level
constexpr u32 kMaxNewBonuses = 3;
constexpr u32 kMaxLevelState = 6;

// Level states.
constexpr u32 kLevelHidden = 0;
constexpr u32 kLevelShown = 1;  // on the map, closed
constexpr u32 kLevelOpen = 2;
// 3 finished, 4 bronze, 5 silver, 6 gold: the grades of LevelTable.h.

struct LEVELPROGRESS {
  u32 state;
  u32 bestTime;  // ms; 0 = none
};

// The bonuses chosen for the next level of a regime.
struct BONUSSELECTION {
  u32 count;
  i32 slots[kBonusSelectionSlots];  // bonus index, -1 empty
};

struct REGIMEPROGRESS {
  u32 marker;  // top byte: last bonus unlocked + 1
  u32 bonuses[kProfileBonuses];
  u32 newCount;
  i32 newBonuses[kMaxNewBonuses];
  LEVELPROGRESS levels[kLevelCount];
};

struct PROFILEPROGRESS {
  u32 size;
  u8 reserved[4];
  u32 regime;
  u32 eighthLevel;
  AWARDCOUNTERS awards;
  u32 tutorialsOn;
  BONUSSELECTION selection[kProfileRegimes];
  i32 villainsInRow;
  u8 carried[32];
  u32 shownFlags;
  u8 carried2[4];
  u64 easterEggs;
  REGIMEPROGRESS regimes[kProfileRegimes];
  u32 playTime;
};

extern const RecordLayout kAwardCountersLayout;
extern const RecordLayout kProfileProgressLayout;

// The progress of a profile that has played nothing: size set, regime 0,
// every level hidden, empty bonus selections.
PROFILEPROGRESS EmptyProfileProgress();
// Brings every field into the range the game relies on: the regime to 0 or
// 1 (else 0), level states above 6 to 6, the new-bonus list to indices 0..5
// (others dropped, at most 3), a marker naming no bonus cleared; a bonus
// selection whose count is above 3 is emptied, and a slot outside -1..5 or
// repeating an earlier one becomes -1. The size word is not touched.
void SanitizeProfileProgress(PROFILEPROGRESS* progress);

// The "PROF" section: exactly 924 bytes whose first word is 924, read
// whole (never resumable) and sanitized into `out`; any other section sets
// the cursor's error flag and leaves `out` as it was. Always 1.
i32 ReadProfileDefaults(kis::BaseDataFileReader* reader, SectionCursor* cursor, PROFILEPROGRESS* out);
// The section body of those defaults.
std::vector<u8> ProfileDefaultsSection(const PROFILEPROGRESS& defaults);
