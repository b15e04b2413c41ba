// LevelRecord - one campaign level's record of the "LVLS" section read into
// LEVELINFO (LevelInfo.h) and written from it: a fixed part of 1468 bytes,
// then seven arrays whose counts the fixed part gives. LevelTable reads it
// and checks it once (CheckLevelCounts before the arrays are read,
// ValidateLevelInfo after).
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
#include "content/LevelInfo.h"

constexpr u32 kLevelFixedSize = 1468;
constexpr u32 kLevelFirstPartSize = 972;
constexpr u32 kMaxLevelPoints = 13;
constexpr u32 kMaxLevelArray = 4096;  // any other array

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
