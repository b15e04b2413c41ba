// LevelTable - the 41 levels of the campaign (LEVELINFO records, see
// LevelInfo.h) and the 7 x 7 grid that places them on the level-selection
// map, read from the "LVLS" section; and the medal a finished level's time
// earns.
//
// The section: the grid (49 i32 level indices, -1 for an empty cell), a u32
// count that must be 41, then the records. ReadChunk is resumable, a record
// at a time (see SectionReading.h). Each record is checked once, as it is
// read; a record that fails, a grid cell naming no level, a short or longer
// section sets the error flag, and the records read before stay. A record
// with no task in either play mode is a level not made yet: read with its
// map cell and group, but not loaded (its node is drawn, it is never
// started, Profile never opens it). The plant
// and building kinds a record names come from the game's tables (PlantTable.h,
// BuildingTable.h; read before the levels), its two
// map sprites from the level sprite set.
#pragma once

#include <string>

#include "base/Types.h"
#include "content/ContentServices.h"
#include "content/GameTable.h"
#include "content/LevelInfo.h"
#include "resources/ResourceServices.h"

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kLevelCount = 41;

// Grades of a finished level (the level states of a profile).
constexpr i32 kGradeFinished = 3;
constexpr i32 kGradeBronze = 4;
constexpr i32 kGradeSilver = 5;
constexpr i32 kGradeGold = 6;

class LevelTable : public GameTable {
 public:
  // Records empty with map cell -1, every grid cell -1.
  LevelTable();

  // Resumable reader of "LVLS": 1 when finished, 0 to be called again.
  i32 ReadChunk(kis::BaseDataFileReader* reader, SectionCursor* cursor);
  // One record from the open section: its parts, its kinds and map sprites
  // resolved, checked; false on a short read or a failed check.
  bool ReadLevel(kis::BaseDataFileReader* reader, LEVELINFO* record);
  void Clear();  // drops every record's arrays and loaded mark

  // t = time, or 1 ms for 0 (written to outTime when given); with the
  // regime's limits: t above bronze gives 3 in regime 1 and 4 in regime 0,
  // above silver 4, above gold 5, else 6. A limit met exactly earns its
  // medal. 0 for a regime or level outside the table.
  i32 GetMedal(i32 regime, i32 level, u32 time, u32* outTime = nullptr) const;

  const LEVELINFO& Get(u32 level) const { return levels_[level < kLevelCount ? level : 0]; }
  LEVELINFO& Get(u32 level) { return levels_[level < kLevelCount ? level : 0]; }
  i32 GetGridCell(u32 cell) const { return cell < kMapGridCells ? grid_[cell] : -1; }
  // A table made in memory (tests, tools): the level on a cell; nothing outside the grid.
  void SetGridCell(u32 cell, i32 level) {
    if (cell < kMapGridCells) grid_[cell] = level;
  }

 private:
  LEVELINFO levels_[kLevelCount];
  i32 grid_[kMapGridCells];
};

// The game's table (installed in the content services), or null.
inline LevelTable* GetLevelTable() { return GetContentServices().levels; }

// A level's name as the player reads it: the language's "levels"/"name"
// text (at most 63 characters; none without a language) followed by the
// level's number from 1.
std::u16string GetLevelName(i32 level);
