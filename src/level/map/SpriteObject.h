// SpriteObject - a map object that shows a map sprite: scenery, the marker
// and garbage of an empty place, and the base of the gates, water, the
// hidden award and the level objects' buildings and plants. While attached
// it files its map sprite's click shapes (attach flag 2) and footprint
// obstacles (flag 1) with the level; both go when it is detached or
// released. It is drawn from its position (scaled when its scale is not 1),
// with its effects, its sub-sprites behind and in front, and lit
// additively while highlighted.
//
// Made detached: the creator attaches it. SetSprite detaches it again.
#pragma once

#include "level/map/MapObject.h"
#include "resources/MapSpriteUser.h"

class MapShapes;
class MapSprite;
class ObstacleSet;
struct MAPOBJECTDEF;

class SpriteObject : public MapObject, public MapSpriteUser {
 public:
  // flagByte: not 0 shows the map sprite mirrored.
  SpriteObject(LevelMap& map, u32 layer, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y, BaseLevelPoint* owner);
  ~SpriteObject() override;

  // Null for a missing or unloaded map sprite. Kinds kObjectGate,
  // kObjectWater and kObjectAward make their classes (standing, ground and
  // standing layers, no owner); any other kind a plain sprite object of the
  // layer and owner, carrying that kind code.
  static SpriteObject* Create(LevelMap& map, MapSprite* mapSprite, u32 layer, i32 x, i32 y, u32 kind, BaseLevelPoint* owner,
                              u8 flagByte);

  void Release() override;  // obstacles and click shapes go
  void OnAdded() override;
  void OnRemoved() override;
  void Draw() override;

  // The back sub-sprites, the sprite, DrawOverSprite, the front
  // sub-sprites; lit while highlighted.
  virtual void DrawSprite();
  // Between the sprite and its front sub-sprites, at the sprite's
  // transform, in the sprite's colour; nothing here.
  virtual void DrawOverSprite(u32 /*color*/) {}
  // Detached, shadow and effects dropped; the new map sprite (its sort
  // offsets and shadow), then re-sorted at the position.
  virtual void SetSprite(MapSprite* mapSprite);
  virtual void SetScale(float scale);

  i32 GetX() const { return x_; }
  i32 GetY() const { return y_; }
  float GetScale() const { return scale_; }
  bool IsScaled() const { return scaled_; }
  const ObstacleSet* GetObstacles() const { return obstacles_; }
  const MapShapes* GetClickShapes() const { return clickShapes_; }
  ObstacleSet*& SecondObstacles() { return secondObstacles_; }  // filled by subclasses, freed with the object

 protected:
  bool GetSortPosition(i32* x, i32* y) const override;
  void FreeShapes();

  i32 x_;
  i32 y_;
  float scale_ = 1.0f;
  bool scaled_ = false;
  ObstacleSet* obstacles_ = nullptr;
  ObstacleSet* secondObstacles_ = nullptr;
  MapShapes* clickShapes_ = nullptr;
};

// The object of a decoration entry of the level definition (or of a
// garbage's particle entry): a particle emitter (its particle system found
// by name id; null when absent), with its emitters stopped for the owner
// to start, or a sprite object. Null for a null entry.
MapObject* CreateMapObjectFromRecord(LevelMap& map, const MAPOBJECTDEF* record, BaseLevelPoint* owner);
