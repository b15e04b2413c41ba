// LEVELINFO - the definition of one campaign level as the "LVLS" section
// stores it, as a typed view. LevelTable reads it and checks it once
// (LevelRecord.h); the rest of the game trusts every count in it to fit
// its slots. Its parts: the regimes (LevelRegime.h), the map's definitions
// (LevelMapDefs.h), the villains' slots and waves (LevelVillainDefs.h) and
// the information window's blocks (LevelIntro.h).
#pragma once

#include <vector>

#include "base/Types.h"
#include "content/LevelIntro.h"
#include "content/LevelMapDefs.h"
#include "content/LevelRegime.h"
#include "content/LevelVillainDefs.h"

class MapSprite;
struct BUILDING;
struct PLANT;

constexpr u32 kMaxLevelPlants = 3;
constexpr u32 kMaxLevelBuildings = 12;
constexpr u32 kMaxLevelStock = 64;
constexpr u32 kMapGridCells = 49;  // 7 x 7

struct KINDPAIR {
  u32 id;
  i32 value;  // the level limit of the kind on this level
};

struct STOCKPAIR {
  u32 product;
  i32 count;
};

struct LEVELINFO {
  // --- Stored ---------------------------------------------------------------
  u8 head[64] = {};
  i32 mapCell = -1;
  i32 mapGroup = 0;
  LEVELREGIME regimes[kLevelRegimes] = {};
  i32 startMoney = 0;
  i32 bonusId = 0;
  u32 restoreCheck = 0;
  float baseRates[6] = {};
  u32 plantCount = 0;
  KINDPAIR plants[kMaxLevelPlants] = {};
  u32 buildingCount = 0;
  KINDPAIR buildings[kMaxLevelBuildings] = {};
  u32 stockCount = 0;
  STOCKPAIR stock[kMaxLevelStock] = {};
  float chargeFactors[6] = {};
  wchar music[32] = {};
  i32 playerX = 0;
  i32 playerY = 0;
  wchar emptyPlaceSprite[34] = {};
  wchar treeSpotSprite[32] = {};
  u32 villainSlotCount = 0;
  VILLAINSLOT villainSlots[kMaxVillainSlots] = {};
  i32 firstRepeatWave = 0;
  i32 repeatLength = 0;
  std::vector<GROUNDPLACEMENT> ground;
  std::vector<MAPOBJECTDEF> decorations;
  std::vector<OBSTACLEDEF> obstacles;
  std::vector<POINTDEF> points;
  std::vector<WAVEDEF> waves;
  std::vector<EMITTERDEF> emitters;
  std::vector<INFOENTRY> intro;

  // --- In memory ----------------------------------------------------------------
  MapSprite* emptyPlace = nullptr;  // the two level map sprites
  MapSprite* treeSpot = nullptr;
  PLANT* plantKinds[kMaxLevelPlants] = {};  // null beyond the count or when absent
  BUILDING* buildingKinds[kMaxLevelBuildings] = {};
  bool loaded = false;
};
