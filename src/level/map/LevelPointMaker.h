// LevelPointMaker - the maker of one level map's points (the map owns it):
// it replaces the point at an index, tracks the hovered and the selected
// point, and answers look-ups over the point classes and the game's garbage
// definitions (ContentServices::garbage, read from "LPNT" at start-up).
//
// MakePoint never leaves an index without a point: when the requested point
// cannot be made (an unknown or unavailable record, a level above the
// record's maximum, a failed set-up) a clean empty place takes it and the
// answer is false. With fade, the new point's effects start 100 ms after the
// old point's pictures have gone.
#pragma once

#include "base/Types.h"
#include "content/GarbageList.h"
#include "level/map/BaseLevelPoint.h"

class LevelMap;
class LevelPoint;
struct PointKindFacts;
class MapObject;
struct BUILDING;
struct PLANT;

constexpr u32 kReplaceDelay = 100;  // ms between the old point gone and the new one's effects

class LevelPointMaker {
 public:
  explicit LevelPointMaker(LevelMap& map) : map_(map) {}
  LevelPointMaker(const LevelPointMaker&) = delete;
  LevelPointMaker& operator=(const LevelPointMaker&) = delete;

  LevelMap& GetMap() const { return map_; }
  // The game's garbage kind of the id; null for 0, an unknown id or while
  // the game has no garbage definitions.
  const GARBAGEINFO* FindGarbage(u32 id) const;

  // False for an index outside the point table, and when the point could
  // not be made (a clean empty place stands there then).
  bool MakePoint(i32 index, const POINTPARAMS& params, bool fade);
  bool MakeEmpty(i32 index);  // a clean empty place, with fade
  // At the selected point, when the money covers the record's price.
  bool BuildPlant(PLANT* plant);
  bool BuildBuilding(BUILDING* building);

  // An index at or beyond the table counts as -1 (none). A change deselects
  // the old point and selects the new one (with the sound when asked); with
  // none the level panel shows its empty panel; the tutorial hears of it.
  void SelectPoint(i32 index, bool withSound);
  // The hover follows the mouse: a change ends the old point's hover; the
  // new point's hover is begun again on every call, and a point that
  // refuses it leaves none hovered.
  void HoverPoint(i32 index, MapObject* hovered);

  // The point at the index when it exists, is not shut down and can be damaged.
  BaseLevelPoint* GetDamageablePoint(i32 index) const;
  // The available plant records and the new building records of a
  // category: how many, with up to max of them written to out (may be null).
  i32 CountAvailablePlants(i32 max, PLANT** out) const;
  i32 CountNewBuildings(u32 category, i32 max, BUILDING** out) const;

 private:
  // A point of kinds 1 to 3 from its record, or null.
  LevelPoint* CreateWorkingPoint(const POINTPARAMS& params) const;
  bool BuildAtSelected(i32 kind, const PointKindFacts& facts);

  LevelMap& map_;
};
