// LEVELINFO - the definition of one campaign level as the "LVLS" section
// stores it, as a typed view: a fixed part of 1468 bytes, then seven arrays
// whose counts the fixed part gives. LevelTable reads it and checks it once
// (CheckLevelCounts before the arrays are read, ValidateLevelInfo after);
// the rest of the game trusts every count in it to fit its slots.
//
// Fixed part (byte offsets, little-endian; names are zero-padded UTF-16):
//      0  64  carried as stored
//     64  i32 map cell (row x 7 + column; -1: no node on the map)
//     68  i32 map group
//     72  64  regime 0: bronze, silver, gold limits (ms), task count (0..3),
//             three 16-byte tasks {kind, item id, minimum level, target}
//    136  64  regime 1, the same
//    200  i32 starting money     204 i32 bonus unlocked (-1 none)
//    208  u32 value a saved level must match
//    212  6 x f32 base rates (LevelRates.h)
//    236  u32 plant kinds (0..3), 240 three {plant id, level limit}
//    264  u32 building kinds (0..12), 268 twelve {building id, level limit}
//    364  u32 initial stock (0..64), 368 sixty-four {product id, count}
//    880  6 x f32 initial charge factors of the bonus slots
//    904  32 units: music name (empty: the general tracks)
//    968  u32 intro entries (A)
//    972  i32 player start x, 976 y
//    980  34 units: the empty place's map sprite (level sprite set)
//   1048  32 units: the tree planting spot's map sprite (level sprite set)
//   1112  u32 counts of ground placements (B), decorations (C),
//             obstacles (D) and point definitions (E, 0..13)
//   1128  u32 villain slots (0..16), 1132 sixteen 20-byte slots
//             {start x, start y, x, y, direction}
//   1452  u32 waves (F), 1456 i32 first repeating wave, 1460 i32 repeating
//             length (below 1: none)
//   1464  u32 emitters (G)
// Then the arrays, each only when its count is at least 1, in the order
//   B 16 bytes  {x, y, layer (u8 at 8), ground id (at 12)}
//   C 92 bytes  MAPOBJECTDEF (below)
//   D 20 bytes  {mask, x, y, width, height}
//   E 36 bytes  POINTDEF (below)
//   F 12 bytes  {villain slot or -1 for a free one, villain kind id,
//                delay (ms) before this wave}
//   G 16 bytes  {particle-system name id, x, y, angle (f32, degrees)}
//   A 280 bytes INFOENTRY, the information window's blocks
//
// Decoration, MAPOBJECTDEF (92 bytes):
//      0  u32 type: 1 a particle emitter, anything else a sprite object
//      4  32 units: map sprite name (map-sprite set; empty for an emitter)
//     68  u32 layer (0 ground, 1 standing)
//     72  i32 x, 76 i32 y
//     80  u32 sprite: object kind code; emitter: particle-system name id
//     84  sprite: u8 mirrored (85..87 zero); emitter: i16 sort offset x,
//             86 i16 sort offset y
//     88  u32 sprite: zero; emitter: particle-space parameter
// Point definition, POINTDEF (36 bytes):
//      0  24  the point's parameters as a saved level keeps them: u32 kind
//             (0 empty place, 1 warehouse, 2 plant bed or tree, 3 building),
//             i32 level, u32 id (plant, building or garbage), u32 price (an
//             empty place's clearing price), two u32 words of the kind
//     24  i32 x, 28 i32 y
//     32  u8 mark (the place is mirrored), 33..35 zero
//
// A wave names a villain slot the level has (or -1); the first repeating
// wave lies inside the wave table when there is repetition; rates, charge
// factors and emitter angles are finite.
#pragma once

#include <vector>

#include "base/Types.h"

class MapSprite;
struct BUILDING;
struct PLANT;

constexpr u32 kLevelFixedSize = 1468;
constexpr u32 kLevelFirstPartSize = 972;
constexpr u32 kLevelRegimes = 2;
constexpr u32 kMaxLevelTasks = 3;
constexpr u32 kMaxLevelPlants = 3;
constexpr u32 kMaxLevelBuildings = 12;
constexpr u32 kMaxLevelStock = 64;
constexpr u32 kMaxVillainSlots = 16;
constexpr u32 kMaxLevelPoints = 13;
constexpr u32 kMaxLevelArray = 4096;  // any other array
constexpr u32 kMapGridCells = 49;     // 7 x 7

struct LEVELTASK {
  u32 kind;   // 0 money, 1 products, 2 plant beds, 3 buildings, 4 clean places
  u32 item;   // product, plant or building id; 0 for kinds 0 and 4
  i32 minLevel;
  i32 target;
};

struct LEVELREGIME {
  i32 bronze;  // medal limits, ms
  i32 silver;
  i32 gold;
  u32 taskCount;
  LEVELTASK tasks[kMaxLevelTasks];
};

struct KINDPAIR {
  u32 id;
  i32 value;  // the level limit of the kind on this level
};

struct STOCKPAIR {
  u32 product;
  i32 count;
};

struct VILLAINSLOT {
  i32 startX;
  i32 startY;
  i32 x;  // where the villain sets up
  i32 y;
  i32 direction;
};

struct GROUNDPLACEMENT {
  i32 x;
  i32 y;
  u8 layer;
  u32 groundId;
};

struct MAPOBJECTDEF {
  u32 type;  // kMapObjectEmitter or a sprite object
  wchar name[32];
  u32 layer;
  i32 x;
  i32 y;
  u32 kind;        // sprite: object kind code
  u8 mirrored;     // sprite
  u32 systemId;    // emitter: particle-system name id
  i16 sortX;       // emitter
  i16 sortY;
  u32 spaceParam;  // emitter
  MapSprite* mapSprite = nullptr;  // found by name while the level loads
};
constexpr u32 kMapObjectEmitter = 1;

struct OBSTACLEDEF {
  u32 mask;
  i32 x;
  i32 y;
  i32 width;
  i32 height;
};

struct POINTDEF {
  u32 kind;
  i32 level;
  u32 id;
  u32 price;
  u32 extra[2];
  i32 x;
  i32 y;
  u8 mark;
};

struct WAVEDEF {
  i32 slot;  // -1: a free slot
  u32 villainKind;
  u32 delay;  // ms after the wave before it (the first: after the start)
};

struct EMITTERDEF {
  u32 systemId;
  i32 x;
  i32 y;
  float angle;  // added to the system's direction
};

struct INFOENTRY {
  u32 blockKind;  // 0 picture, 1 item, 2 wide separator, 3 thin separator
  u32 itemKind;   // 0 custom, 1 plant, 2 building, 3 bonus
  wchar itemName[32];
  wchar textKey[32];
  wchar spriteName[32];
  wchar imageName[32];
  i32 imageX;
  i32 imageY;
  i32 spaceBefore;
  i32 spaceAfter;
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

// The arrays in the order they follow the fixed part.
enum LevelArray : u32 {
  kLevelGround,
  kLevelDecorations,
  kLevelObstacles,
  kLevelPoints,
  kLevelWaves,
  kLevelEmitters,
  kLevelIntro,
  kLevelArrayCount
};
constexpr u32 kLevelArrayRecordSize[kLevelArrayCount] = {16, 92, 20, 36, 12, 16, 280};

// The array counts of a fixed part, by LevelArray.
struct LEVELCOUNTS {
  u32 of[kLevelArrayCount];
};

// The fixed part: its fields into the record, its array counts apart. The
// writer takes the counts from the record's arrays.
void ParseLevelFixed(const u8* raw, LEVELINFO* out, LEVELCOUNTS* counts);
void PutLevelFixed(u8* raw, const LEVELINFO& level);
// `count` records of one array from raw bytes, replacing the record's array.
void ParseLevelArray(LevelArray array, const u8* raw, u32 count, LEVELINFO* out);
// The whole record (fixed part, then each array) appended to `out`.
void AppendLevelRecord(std::vector<u8>* out, const LEVELINFO& level);

// The slot counts of a fixed part: tasks, kinds, stock, villain slots, point
// definitions, every array within its cap and the map cell on the grid.
bool CheckLevelCounts(const LEVELINFO& level, const LEVELCOUNTS& counts);
// The whole record: its counts, the waves' slots, the first repeating wave
// and the finite floats.
bool ValidateLevelInfo(const LEVELINFO& level);
