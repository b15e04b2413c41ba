// LevelMap - the map of the running level: every map object, drawn by layer
// in depth bands; the disposed objects waiting for their removal effects;
// the hit shapes filed by tile cell (the shape host of map-object shapes);
// the particle objects; and the level points by index with the hovered and
// the selected one; the point maker that replaces its points; and the
// level's characters once they are made. The level scene owns one; every
// map object and point is made on it and reaches the level through it.
//
// Depth order: each layer (0 ground, 1 standing) has 13 bands of 64 rows
// (band = sort row / 64 + 1, rows below 0 in band 0, the last band taking
// everything beyond). A band lists its objects by ascending sort key, equal
// keys by ascending serial, and is kept so on every move: nothing is sorted
// when drawing.
//
// Disposal: a disposed object stays drawn while its effects run; once a
// frame (UpdateDisposed, drawn or not) and at the draw of its layer it is
// deleted once its effects have ended (or it is detached).
//
// Destruction deletes the points (last first), then every map object.
#pragma once

#include "base/List.h"
#include "base/Types.h"
#include "level/map/LevelMapHooks.h"
#include "level/map/LevelPointMaker.h"
#include "pathfinding/ShapeHost.h"

class BaseLevelPoint;
class DynObject;
class LevelCharacters;
class LevelRules;
class MapAward;
class MapObject;
class ParticlesObject;
struct LEVELINFO;

constexpr i32 kLevelWidth = 1280;
constexpr i32 kLevelHeight = 688;
constexpr i32 kTileWidth = 256;
constexpr i32 kTileHeight = 128;
constexpr i32 kTileColumns = (kLevelWidth + kTileWidth - 1) / kTileWidth;   // 5
constexpr i32 kTileRows = (kLevelHeight + kTileHeight - 1) / kTileHeight;   // 6
constexpr i32 kBandHeight = 64;
constexpr i32 kBandCount = (kLevelHeight + kBandHeight - 1) / kBandHeight + 2;  // 13
constexpr u32 kMapLayers = 2;
constexpr i32 kMaxPoints = 13;

class LevelMap : public ShapeHost {
 public:
  // rules: the level's rules (its definition, money and tasks); may be null
  // for a map without points.
  LevelMap(LevelRules* rules, const LevelMapHooks& hooks);
  ~LevelMap() override;
  LevelMap(const LevelMap&) = delete;
  LevelMap& operator=(const LevelMap&) = delete;

  LevelRules* GetRules() const { return rules_; }
  const LEVELINFO* GetInfo() const;  // the level's definition, or null
  const LevelMapHooks& Hooks() const { return hooks_; }
  LevelPointMaker& Points() { return maker_; }  // the maker of this map's points
  // The level's characters made on this map (they enter and leave
  // themselves); null while there are none.
  LevelCharacters* GetCharacters() const { return characters_; }
  void SetCharacters(LevelCharacters* characters) { characters_ = characters; }

  // --- Map objects ------------------------------------------------------------------
  u32 TakeSerial() { return nextSerial_++; }
  void AddObject(MapObject* object) { objects_.Add(object); }
  void RemoveObject(MapObject* object) { objects_.Remove(object); }
  const kis::list<MapObject*>& GetObjects() const { return objects_; }
  void DeleteAllObjects();  // every map object, last first

  void AddParticles(ParticlesObject* object) { particles_.Add(object); }
  void RemoveParticles(ParticlesObject* object) { particles_.Remove(object); }
  void UpdateParticles(u32 ms);  // every particle object's space by ms

  // --- Depth bands ------------------------------------------------------------------
  // Puts the object at its place in the band of its layer for the sort row,
  // storing row and key in it (see above).
  void PlaceInBand(MapObject* object, i32 sortY, i32 sortKey);
  // Takes it out of its band (when in one); forgets it as the hovered object.
  void RemoveFromBand(MapObject* object);
  static i32 BandOf(i32 sortY);
  const kis::list<MapObject*>& GetBand(u32 layer, i32 band) const { return bands_[layer & 1][band]; }

  // --- Disposal and drawing -------------------------------------------------------------
  void AddDisposed(MapObject* object);
  void RemoveDisposed(MapObject* object);
  const kis::list<MapObject*>& GetDisposed(u32 layer) const { return disposed_[layer & 1]; }
  // Draws the layer band by band, each object from the transform current
  // at the call (the level's view), clearing its highlight; then deletes
  // the layer's disposed objects that are done.
  void DrawMapObjects(u32 layer);
  void PurgeDisposed(u32 layer);
  // Once a frame: every disposed object's effects stepped on the clock and
  // the layers purged, so disposal never waits for a draw.
  void UpdateDisposed();

  // --- Objects the level keeps track of -----------------------------------------------------
  MapObject* GetHoveredObject() const { return hovered_; }
  void SetHoveredObject(MapObject* object) { hovered_ = object; }
  void ForgetObject(MapObject* object);  // clears the hovered and award links to it
  MapAward* GetAward() const { return award_; }
  void SetAward(MapAward* award) { award_ = award; }
  // The player character, whose position the gates watch (set by the scene).
  DynObject* GetPlayer() const { return player_; }
  void SetPlayer(DynObject* player) { player_ = player; }

  // --- Shape host ---------------------------------------------------------------------
  i32 GetTileColumns() const override { return kTileColumns; }
  i32 GetTileRows() const override { return kTileRows; }
  void AddTileShape(i32 column, i32 row, MAPSHAPE* shape) override;
  void RemoveTileShape(i32 column, i32 row, MAPSHAPE* shape) override;
  void AddGlobalShapes(MapShapes* set) override { globalShapes_.Add(set); }
  void RemoveGlobalShapes(MapShapes* set) override { globalShapes_.Remove(set); }
  shpf::PathFinder* GetPathFinder() override { return finder_; }
  void SetPathFinder(shpf::PathFinder* finder) { finder_ = finder; }
  const kis::list<MAPSHAPE*>* GetTileShapes(i32 column, i32 row) const;  // null outside the tiles
  const kis::list<MapShapes*>& GetGlobalShapes() const { return globalShapes_; }

  // --- Level points -------------------------------------------------------------------
  i32 GetPointCount() const { return pointCount_; }
  void SetPointCount(i32 count);  // 0 .. kMaxPoints
  // The point at an index; null when negative or not below the count.
  BaseLevelPoint* GetPoint(i32 index) const;
  void SetPoint(i32 index, BaseLevelPoint* point);  // within kMaxPoints
  void DeletePoints();  // deselects, then deletes every point, last first; count 0
  i32 GetHoveredPoint() const { return hoveredPoint_; }
  i32 GetSelectedPoint() const { return selectedPoint_; }
  void StoreHoveredPoint(i32 index) { hoveredPoint_ = index; }
  void StoreSelectedPoint(i32 index) { selectedPoint_ = index; }
  // Deselects the selected point unless it is this one (null: any).
  void ClosePanelExcept(const BaseLevelPoint* point);

  // --- Counts for the tasks -----------------------------------------------------------------
  // Points of the kind (2 plant beds, 3 buildings) and id at level >= minLevel, not shut down.
  i32 CountPoints(i32 kind, u32 id, i32 minLevel) const;
  // Every point but an empty place with garbage, and every definition without a point.
  i32 CountCleanPlaces() const;

 private:
  LevelRules* rules_;
  LevelMapHooks hooks_;
  LevelPointMaker maker_{*this};
  LevelCharacters* characters_ = nullptr;
  u32 nextSerial_ = 0;
  kis::list<MapObject*> objects_;
  kis::list<ParticlesObject*> particles_;
  kis::list<MapObject*> bands_[kMapLayers][kBandCount];
  kis::list<MapObject*> disposed_[kMapLayers];
  kis::list<MAPSHAPE*> tiles_[kTileColumns * kTileRows];
  kis::list<MapShapes*> globalShapes_;
  shpf::PathFinder* finder_ = nullptr;
  MapObject* hovered_ = nullptr;
  MapAward* award_ = nullptr;
  DynObject* player_ = nullptr;
  BaseLevelPoint* points_[kMaxPoints] = {};
  i32 pointCount_ = 0;
  i32 hoveredPoint_ = -1;
  i32 selectedPoint_ = -1;
};
