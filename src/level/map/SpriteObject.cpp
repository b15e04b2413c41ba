#include "level/map/SpriteObject.h"

#include <vector>

#include "base/LittleEndian.h"
#include "content/LevelMapDefs.h"
#include "engine/DXLViewer.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelWater.h"
#include "level/map/MapAward.h"
#include "level/map/MapGate.h"
#include "level/map/ParticlesObject.h"
#include "pathfinding/MapShapes.h"
#include "pathfinding/ObstacleSet.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/GameDraw.h"
#include "resources/MapShadow.h"
#include "resources/MapSprite.h"
#include "resources/ParticleLibrary.h"
#include "resources/ResourceServices.h"
#include "resources/SpriteEffect.h"

namespace {

// The map sprite's footprint records (mask, x, y, width, height).
std::vector<OBSTACLEDESC> ReadObstacles(const MapSprite* m) {
  std::vector<OBSTACLEDESC> out(m->GetCountA());
  const u8* p = m->GetArrayA();
  for (OBSTACLEDESC& d : out) {
    d.mask = kis::GetU32LE(p);
    d.x = static_cast<i32>(kis::GetU32LE(p + 4));
    d.y = static_cast<i32>(kis::GetU32LE(p + 8));
    d.width = static_cast<i32>(kis::GetU32LE(p + 12));
    d.height = static_cast<i32>(kis::GetU32LE(p + 16));
    p += kMapSpriteARecordSize;
  }
  return out;
}

// The map sprite's click-shape descriptions (kind and seven words).
std::vector<SHAPEDESC> ReadShapes(const MapSprite* m) {
  std::vector<SHAPEDESC> out(m->GetCountB());
  const u8* p = m->GetArrayB();
  for (SHAPEDESC& d : out) {
    d.kind = kis::GetU32LE(p);
    for (u32 w = 0; w < 7; ++w) d.words[w] = kis::GetU32LE(p + 4 + 4 * w);
    p += kMapSpriteBRecordSize;
  }
  return out;
}

}  // namespace

SpriteObject::SpriteObject(LevelMap& map, u32 layer, MapSprite* mapSprite, u8 flagByte, i32 x, i32 y,
                           BaseLevelPoint* owner)
    : MapObject(map, layer), x_(x), y_(y) {
  kind_ = kObjectSprite;
  SetOwnerPoint(owner);
  SetMirror(flagByte != 0);
  SetSprite(mapSprite);
}

SpriteObject::~SpriteObject() {
  DetachFromLevel();
  FreeShapes();
  delete secondObstacles_;
  secondObstacles_ = nullptr;
}

SpriteObject* SpriteObject::Create(LevelMap& map, MapSprite* mapSprite, u32 layer, i32 x, i32 y, u32 kind, BaseLevelPoint* owner,
                                   u8 flagByte) {
  if (!mapSprite || !mapSprite->IsLoaded()) return nullptr;
  switch (kind) {
    case kObjectGate:
      return new MapGate(map, mapSprite, flagByte, x, y);
    case kObjectWater:
      return new LevelWater(map, mapSprite, flagByte, x, y);
    case kObjectAward:
      return new MapAward(map, mapSprite, flagByte, x, y);
    default: {
      auto* object = new SpriteObject(map, layer, mapSprite, flagByte, x, y, owner);
      object->kind_ = kind;
      return object;
    }
  }
}

void SpriteObject::FreeShapes() {
  delete obstacles_;
  obstacles_ = nullptr;
  delete clickShapes_;
  clickShapes_ = nullptr;
}

void SpriteObject::Release() {
  FreeShapes();
  delete secondObstacles_;
  secondObstacles_ = nullptr;
}

void SpriteObject::OnAdded() {
  MapObject::OnAdded();
  LevelMap* map = &GetMap();
  if (!mapSprite_) return;
  const u32 mirror = GetMirror() ? 1 : 0;
  if ((GetAttachFlags() & kAttachClickShapes) && !clickShapes_) {
    const std::vector<SHAPEDESC> descs = ReadShapes(mapSprite_);
    clickShapes_ = new MapShapes(map);
    clickShapes_->Create(0, descs.data(), static_cast<u32>(descs.size()), x_, y_, mirror,
                         reinterpret_cast<uintptr_t>(static_cast<MapObject*>(this)));
  }
  if ((GetAttachFlags() & kAttachObstacles) && !obstacles_) {
    const std::vector<OBSTACLEDESC> descs = ReadObstacles(mapSprite_);
    obstacles_ = new ObstacleSet(map);
    const u32 flags = mirror | ((GetAttachFlags() & kAttachSecondVariety) ? static_cast<u32>(OBSTACLE_CLEAR_BIT31) : 0u);
    obstacles_->Create(descs.data(), static_cast<u32>(descs.size()), x_, y_, flags);
  }
}

void SpriteObject::OnRemoved() {
  FreeShapes();
  MapObject::OnRemoved();
}

// A dead object draws only while its effects run.
void SpriteObject::Draw() {
  DXLViewer* viewer = GetGameViewer();
  if (!mapSprite_ || !viewer) return;
  if (effects_) {
    viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
    if (scaled_) viewer->Scale(scale_);
    if (!UpdateEffects() && IsDead()) return;
  } else {
    if (IsDead()) return;
    viewer->Translate(static_cast<float>(x_), static_cast<float>(y_));
    if (scaled_) viewer->Scale(scale_);
  }
  viewer->Translate(GetHotSpotX(), GetHotSpotY());
  viewer->GetTransform(&transform_);
  DrawSprite();
}

void SpriteObject::DrawSprite() {
  u32 color = GetColor();
  const DXLDRAWSTATE* previous = nullptr;
  const bool lit = IsHighlighted();
  if (lit) {
    previous = SetBlendState(MapHighlightBlend());
    color = (color & 0xFF000000u) | 0x202020u;
  }
  DXLMATRIX matrix = transform_;
  DrawBackSubSprites(matrix, false);
  MapSpriteUser::DrawSprite(transform_, color);
  DrawOverSprite(color);
  DrawFrontSubSprites(transform_, false);
  if (lit) SetBlendState(previous);
}

void SpriteObject::SetSprite(MapSprite* mapSprite) {
  DetachFromLevel();
  SetShadow(nullptr);
  ClearEffects();
  StoreSortOffset(0, 0);
  SetMapSprite(mapSprite, false);
  // The sort offsets are the map sprite's second point, measured from its
  // hot spot; a map sprite without a second point sorts at its position.
  if (mapSprite && (mapSprite->GetSecondX() != 0 || mapSprite->GetSecondY() != 0))
    StoreSortOffset(GetSecondX() + static_cast<i32>(GetHotSpotX()), GetSecondY() + static_cast<i32>(GetHotSpotY()));
  if (mapSprite) {
    if (const SHADOWDATA* shadow = mapSprite->GetShadow())
      SetShadow(new LevelShadow(shadow, static_cast<float>(x_), static_cast<float>(y_)));
    SetPos(x_, y_);
  }
}

void SpriteObject::SetScale(float scale) {
  scale_ = scale;
  scaled_ = scale != 1.0f;
}

bool SpriteObject::GetSortPosition(i32* x, i32* y) const {
  *x = x_;
  *y = y_;
  return true;
}

MapObject* CreateMapObjectFromRecord(LevelMap& map, const MAPOBJECTDEF* record, BaseLevelPoint* owner) {
  if (!record) return nullptr;
  if (record->type == kMapObjectEmitter) {
    const GPSSYSTEM* system = FindParticleSystem(record->systemId);
    if (!system) return nullptr;
    auto* space = new GPSSpace(record->spaceParam);
    new GPSEmiter(space, system, nullptr, 0.0f, 0.0f);  // the space's
    auto* object = new ParticlesObject(map, record->layer, space, record->x, record->y, record->sortX, record->sortY);
    object->SetOwnerPoint(owner);
    object->StopEmitters();
    return object;
  }
  return SpriteObject::Create(map, record->mapSprite, record->layer, record->x, record->y, record->kind, owner,
                              record->mirrored);
}
