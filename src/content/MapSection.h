// MapSection - the level-selection map's data, the "MAPM" section of the
// data archive: the animated waters, one node record per level (up to 16
// decorations, each shown in the level states its mask names) and the
// map's 16 particle emitters. The reader and the writer walk the same
// field tables (MapSection.cpp), so they agree on every offset.
//
// The section: u32 water count n, n MAPWATERINFO records (12 bytes), the 41
// MAPNODE records (17,348 bytes each), the 16 MAPPARTICLE records (16 bytes),
// nothing after. A MAPNODE is a u32 item count (0 to 16) and 16 item slots of
// 1,084 bytes (unused slots are there and ignored); an item is its kind, its
// state mask and a body laid out by the kind:
//   1 sprite, 3 centred sprite: +8 sprite name (32 UTF-16 units), +72 x,
//     +76 y, +80 image byte, +84 scale (f32), +88 frame time ms (0: still),
//     +92 frame-sequence mode;
//   2 level sign: +8 x, +12 y;
//   4 particles: +8 scale (f32), +12 emitter count (0 to 89), from +16 the
//     emitters {particle-system name id, x, y} of 12 bytes;
//   256 map characters and any other kind: the body is kept as it stands.
// A particle item whose scale is 0 or not finite, or whose emitter count
// passes 89, is refused: it is read as kind 0, which makes nothing. A water
// count the section cannot hold, an item count above 16 or a section of
// another size fails the read.
#pragma once

#include <cstring>
#include <vector>

#include "base/Types.h"
#include "content/ContentArchive.h"
#include "content/LevelTable.h"

namespace kis {
class BaseDataFileReader;
}

struct SectionCursor;

constexpr u32 kMapSectionId = SectionTag('M', 'A', 'P', 'M');
constexpr u32 kMapSectionSubId = 1;
// The sprite set of the map's pictures: the background, the waters, the
// node marks and the items' sprites.
constexpr u32 kSelectionMapSpriteSet = 12;

constexpr u32 kMapNodeItemSlots = 16;
constexpr u32 kMapNodeItemSize = 1084;
constexpr u32 kMapNodeSize = 4 + kMapNodeItemSlots * kMapNodeItemSize;  // 17,348
constexpr u32 kMapParticleCount = 16;
constexpr u32 kMapParticleSize = 16;
constexpr u32 kMapWaterInfoSize = 12;
constexpr u32 kMapNodeEmitterMax = 89;  // (1,084 - 16) / 12
constexpr u32 kMapItemBodySize = kMapNodeItemSize - 8;

// Item kinds.
constexpr u32 kMapItemSprite = 1;
constexpr u32 kMapItemSign = 2;
constexpr u32 kMapItemSpot = 3;
constexpr u32 kMapItemParticles = 4;
constexpr u32 kMapItemCharacters = 256;

// State-mask bits: the level states in which an item shows.
constexpr u32 kMapMaskHidden = 0x1;    // state 0
constexpr u32 kMapMaskClosed = 0x2;    // state 1
constexpr u32 kMapMaskOpen = 0x4;      // state 2
constexpr u32 kMapMaskFinished = 0x8;  // states 3 to 6
constexpr u32 kMapMaskAttack = 0x10;   // the villains-attack scene

// A grid cell's node on the map (cell = row x 7 + column): x = 123 x
// column + 143, y = 94 x row + 99, the even columns 47 lower.
inline void MapCellPosition(i32 cell, i32* x, i32* y) {
  const i32 column = cell % 7, row = cell / 7;
  *x = 123 * column + 143;
  *y = 94 * row + 99 + (column % 2 == 0 ? 47 : 0);
}

struct MAPWATERINFO {
  i32 x;
  i32 y;
  u32 frameTime;  // ms
};

struct MAPPARTICLE {
  u32 systemId;  // 0 or unknown: unused
  i32 x;
  i32 y;
  float angle;  // degrees added to the system's direction; 0 keeps it
};

struct MAPNODEEMITTER {
  u32 systemId;
  i32 x;
  i32 y;
};

struct MAPNODEITEM {
  u32 kind = 0;
  u32 stateMask = 0;
  // Kinds 1 and 3 (x and y also kind 2's).
  wchar sprite[32] = {};
  i32 x = 0;
  i32 y = 0;
  u8 imageFlag = 0;
  float scale = 1.0f;
  u32 frameTime = 0;
  u32 frameMode = 0;  // DXLFRAMESEQ mode
  // Kind 4.
  float emitterScale = 1.0f;
  u32 emitterCount = 0;
  MAPNODEEMITTER emitters[kMapNodeEmitterMax] = {};
  // Kind 256 and unknown kinds: the body as stored.
  u8 body[kMapItemBodySize] = {};
};

// Kind 256's body: u32 entry count, then entries of 268 bytes. Chickens:
// kind 2, their number, the shape count (0..8) and 8 shapes of 32 bytes
// (the path finder's SHAPEDESC: kind and seven words), the yard they live
// in; a cow (3) or sheep (5): kind, home x, y from the node, start direction.
constexpr u32 kMapCharChicken = 2;
constexpr u32 kMapCharCow = 3;
constexpr u32 kMapCharSheep = 5;
constexpr u32 kMapCharShapes = 8;
constexpr u32 kMapCharEntrySize = 268;
constexpr u32 kMapCharEntries = 4;  // (1,084 - 12) / 268: what an item holds

struct MAPCHARSHAPE {
  u32 kind;
  u32 words[7];
};

struct MAPCHARENTRY {
  u32 kind = 0;
  u32 count = 0;       // chickens
  u32 shapeCount = 0;  // chickens: 0..8
  MAPCHARSHAPE shapes[kMapCharShapes] = {};
  i32 x = 0;  // cow and sheep: home, from the node
  i32 y = 0;
  i32 direction = 0;
};

// The entries of a kind-256 item's body: a stored count above 4 reads 4, a
// shape count above 8 reads 8.
u32 ParseMapCharEntries(const MAPNODEITEM& item, MAPCHARENTRY* out);
// And back (the count clamped to 4), the rest of the body cleared.
void PutMapCharEntries(MAPNODEITEM* item, const MAPCHARENTRY* entries, u32 count);

struct MAPNODE {
  u32 itemCount = 0;
  MAPNODEITEM items[kMapNodeItemSlots];
};

struct MapSectionData {
  std::vector<MAPWATERINFO> waters;
  std::vector<MAPNODE> nodes = std::vector<MAPNODE>(kLevelCount);
  MAPPARTICLE particles[kMapParticleCount] = {};
};

// Reads the whole open-able section in one call into `out` (on failure `out`
// may hold part of it) and returns 1; a failure sets the cursor's error flag.
i32 ReadMapSection(kis::BaseDataFileReader* reader, SectionCursor* cursor, MapSectionData* out);

// One stored item or node from `raw` (kMapNodeItemSize / kMapNodeSize bytes),
// and back; false (the node left as it was) for a node whose item count
// passes 16.
void ParseMapNodeItem(const u8* raw, MAPNODEITEM* out);
void PutMapNodeItem(u8* raw, const MAPNODEITEM& item);
bool ParseMapNode(const u8* raw, MAPNODE* out);
void PutMapNode(u8* raw, const MAPNODE& node);

// The section's body (the nodes given: kLevelCount of them for the game).
std::vector<u8> MapSection(const MapSectionData& data);
