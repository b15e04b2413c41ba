#include "content/LevelTable.h"

#include <vector>

#include "content/ContentArchive.h"
#include "content/BuildingTable.h"
#include "content/PlantTable.h"
#include "base/NumberText.h"
#include "content/ContentSections.h"
#include "content/LevelRecord.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "resources/SpriteSet.h"

namespace {

MapSprite* FindLevelSprite(const wchar* name) {
  SpriteSet* set = GetSpriteSet(kLevelSpriteSet);
  return set ? set->FindMapSprite(name) : nullptr;
}

}  // namespace

LevelTable::LevelTable() {
  for (i32& cell : grid_) cell = -1;
}

// The first call opens the section and takes the grid and the count.
i32 LevelTable::ReadChunk(kis::BaseDataFileReader* reader, SectionCursor* cursor) {
  if (!cursor) return 1;
  if (cursor->done == 0) {
    u8 head[kMapGridCells * 4 + 4];
    if (!OpenDataSection(reader, kLevelSectionId, kLevelSectionSubId) || !ReadDataSection(reader, head, sizeof head))
      return EndDataSection(reader, cursor, true);
    i32 grid[kMapGridCells];
    for (u32 i = 0; i < kMapGridCells; ++i) {
      grid[i] = static_cast<i32>(kis::GetU32LE(head + 4 * i));
      if (grid[i] < -1 || grid[i] >= static_cast<i32>(kLevelCount)) return EndDataSection(reader, cursor, true);
    }
    if (kis::GetU32LE(head + kMapGridCells * 4) != kLevelCount) return EndDataSection(reader, cursor, true);
    for (u32 i = 0; i < kMapGridCells; ++i) grid_[i] = grid[i];
    cursor->total = kLevelCount;
  } else if (!IsDataSectionOpen(reader, kLevelSectionId, kLevelSectionSubId)) {
    return EndDataSection(reader, cursor, true);
  }
  while (cursor->done < kLevelCount) {
    if (!ReadLevel(reader, &levels_[cursor->done])) return EndDataSection(reader, cursor, true);
    ++cursor->done;
    if (StepLoadingProgress(static_cast<float>(cursor->done) / kLevelCount)) return 0;
  }
  return EndDataSection(reader, cursor, false);
}

// The record is only filled once it has passed its checks.
bool LevelTable::ReadLevel(kis::BaseDataFileReader* reader, LEVELINFO* record) {
  if (!record) return false;
  u8 fixed[kLevelFixedSize];
  if (!ReadDataSection(reader, fixed, kLevelFirstPartSize) ||
      !ReadDataSection(reader, fixed + kLevelFirstPartSize, kLevelFixedSize - kLevelFirstPartSize))
    return false;
  LEVELINFO level;
  LEVELCOUNTS counts;
  ParseLevelFixed(fixed, &level, &counts);
  if (!CheckLevelCounts(level, counts)) return false;
  std::vector<u8> bytes;
  for (u32 a = 0; a < kLevelArrayCount; ++a) {
    const u32 n = counts.of[a];
    if (n == 0) continue;
    const u64 size = u64(n) * kLevelArrayRecordSize[a];
    if (size > DataSectionBytesLeft(reader)) return false;
    bytes.resize(static_cast<size_t>(size));
    if (!ReadDataSection(reader, bytes.data(), static_cast<u32>(size))) return false;
    ParseLevelArray(static_cast<LevelArray>(a), bytes.data(), n, &level);
  }
  if (!ValidateLevelInfo(level)) return false;
  for (u32 i = 0; i < level.plantCount; ++i) level.plantKinds[i] = FindPlant(level.plants[i].id);
  for (u32 i = 0; i < level.buildingCount; ++i) level.buildingKinds[i] = FindBuilding(level.buildings[i].id);
  level.emptyPlace = FindLevelSprite(level.emptyPlaceSprite);
  level.treeSpot = FindLevelSprite(level.treeSpotSprite);
  // A record with no task in either play mode stands on the map for a
  // level still to be made: kept with its cell and group, never started.
  level.loaded = level.regimes[0].taskCount > 0 || level.regimes[1].taskCount > 0;
  *record = std::move(level);
  return true;
}

void LevelTable::Clear() {
  for (LEVELINFO& l : levels_) {
    l.ground.clear();
    l.decorations.clear();
    l.obstacles.clear();
    l.points.clear();
    l.waves.clear();
    l.emitters.clear();
    l.intro.clear();
    l.loaded = false;
  }
}

i32 LevelTable::GetMedal(i32 regime, i32 level, u32 time, u32* outTime) const {
  const u32 t = time == 0 ? 1 : time;
  if (outTime) *outTime = t;
  if (regime < 0 || regime >= static_cast<i32>(kLevelRegimes) || level < 0 || level >= static_cast<i32>(kLevelCount))
    return 0;
  const LEVELREGIME& r = levels_[level].regimes[regime];
  const i64 tt = t;
  if (tt > r.bronze) return regime == 1 ? kGradeFinished : kGradeBronze;
  if (tt > r.silver) return kGradeBronze;
  if (tt > r.gold) return kGradeSilver;
  return kGradeGold;
}

std::u16string GetLevelName(i32 level) {
  const GameLanguage* language = GetGameLanguage();
  const wchar* text = language ? language->GetTextByName(u"levels", u"name", true) : nullptr;
  std::u16string name = text ? std::u16string(text).substr(0, 63) : std::u16string();
  wchar number[16];
  kis::IntToStr(number, 16, level + 1);
  return name + number;
}
