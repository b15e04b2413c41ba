// GarbageList - the kinds of garbage that can cover an empty place, read
// from the "LPNT" section: up to two map sprites and up to four particle
// emitters each, and the time the player takes to clear it. The game's list
// is installed in the content services (ContentServices::garbage); a place names
// its garbage by id.
//
// The section is read in one call. A record whose sprite or particle count
// exceeds its slots is refused like a short one: the error flag is set and
// the records before it stay.
#pragma once

#include <memory>
#include <vector>

#include "base/Types.h"
#include "content/GameTable.h"
#include "resources/ResourceServices.h"

class MapSprite;

namespace kis {
class BaseDataFileReader;
}

constexpr u32 kGarbageRecordSize = 280;
constexpr u32 kGarbageSpriteSlots = 2;
constexpr u32 kGarbageParticleSlots = 4;

struct GARBAGESPRITE {
  wchar name[32];  // a map sprite of the map-sprite set
  u32 layer;       // 0 ground, 1 standing
  i32 x;           // offset from the place
  i32 y;
};

struct GARBAGEPARTICLE {
  u32 systemId;  // name id of the particle system
  u32 layer;
  i32 x;
  i32 y;
  i32 sortX;  // sort offset
  i32 sortY;
  u32 spaceParam;  // handed to the particle space
};

struct GARBAGEINFO {
  // --- Stored (entries beyond the counts are zero) ------------------------------
  u32 id;
  u32 clearTime;  // ms of the player's work step when clearing
  u32 spriteCount;
  GARBAGESPRITE sprites[kGarbageSpriteSlots];
  u32 particleCount;
  GARBAGEPARTICLE particles[kGarbageParticleSlots];

  // --- In memory ----------------------------------------------------------------
  bool loaded = false;
  MapSprite* mapSprites[kGarbageSpriteSlots] = {};  // null for an empty or unknown name
};

void ParseGarbageRecord(const u8* raw, GARBAGEINFO* out);  // memory fields untouched
void PutGarbageRecord(u8* raw, const GARBAGEINFO& garbage);

class GarbageList {
 public:
  GarbageList() = default;
  GarbageList(const GarbageList&) = delete;
  GarbageList& operator=(const GarbageList&) = delete;

  // The first of that id; null for 0 or when absent.
  const GARBAGEINFO* Find(u32 id) const { return FindFirstById(list_, id); }
  // Loads the level's empty-place map sprite, then once per record the map
  // sprites the record names.
  void LoadPointSprites(MapSprite* emptyPlace);

  u32 GetCount() const { return static_cast<u32>(list_.size()); }
  void Clear() { list_.clear(); }  // at shutdown, and between tests
  const GARBAGEINFO* Get(u32 i) const { return i < list_.size() ? list_[i].get() : nullptr; }

 private:
  friend i32 LoadGarbageDefinitions(GarbageList* list, kis::BaseDataFileReader* reader, SectionCursor* cursor);
  std::vector<std::unique_ptr<GARBAGEINFO>> list_;
};

// Reads the "LPNT" section into the list in one call; always 1 (finished),
// failure in the error flag.
i32 LoadGarbageDefinitions(GarbageList* list, kis::BaseDataFileReader* reader, SectionCursor* cursor);
