// GroundList - the kinds of ground a level is laid with (grass, paths,
// fields, water edges), read from the "GRND" section: each names a sprite of
// the ground sprite set and the part of it a tile shows. A record's sprite is
// loaded while levels use it (Acquire / Release by count), and MakeTile turns
// a placement into a ready-to-draw textured quad.
//
// The section reader is resumable (see SectionReading.h).
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/ContentServices.h"
#include "engine/DXLDrawTypes.h"
#include "content/GameTable.h"
#include "engine/DXLRect.h"
#include "resources/ResourceServices.h"

class DXLTexture;
class Sprite;
class SpriteEffectList;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kGroundRecordSize = 88;
constexpr u32 kGroundLayers = 4;

struct GROUND {
  // --- Stored ---------------------------------------------------------------
  u32 id;
  wchar spriteName[32];  // a sprite of the ground sprite set
  u32 drawParam;         // the turn of the tile's quad
  DXLRECT rect;          // the part of the sprite's texture a tile shows

  // --- In memory ----------------------------------------------------------------
  i32 useCount = 0;
  Sprite* sprite = nullptr;
};

void ParseGroundRecord(const u8* raw, GROUND* out);  // memory fields untouched
void PutGroundRecord(u8* raw, const GROUND& ground);

// A ground tile of a level; the level owns it and its effect list.
struct MAPTILE {
  DXLTexture* texture;
  DXLQUAD quad;
  u32 groundId;
  u8 layer;     // 0..3
  i32 sequence;  // order of creation
  SpriteEffectList* effects;
};

class GroundList : public GameTable {
 public:
  // Resumable reader of "GRND": 1 when finished, 0 to be called again.
  i32 ReadSection(kis::BaseDataFileReader* reader, SectionCursor* cursor);

  GROUND* Find(u32 id) const { return FindFirstById(grounds_, id); }  // null for 0
  // The first use of a record with a sprite loads the sprite.
  void Acquire(GROUND* record);
  // One use less (all of them with force); the last unloads the sprite.
  void Release(GROUND* record, bool force);
  // A new tile of frame 0 of the record's sprite at
  // (x, y) showing the record's rectangle in white, mirrored when `flag` is
  // set, turned by the record's drawing parameter; layers above 3 become 3.
  // Null without a record, a sprite or the sprite's loaded image.
  std::unique_ptr<MAPTILE> MakeTile(i32 x, i32 y, u32 layer, const GROUND* record, bool flag);

  u32 GetCount() const { return static_cast<u32>(grounds_.size()); }
  GROUND* Get(u32 i) const { return i < grounds_.size() ? grounds_[i].get() : nullptr; }

 private:
  std::vector<std::unique_ptr<GROUND>> grounds_;
  i32 sequence_ = 0;  // the next tile's number
};

// The game's table (installed in the content services), or null.
inline GroundList* GetGroundList() { return GetContentServices().grounds; }
