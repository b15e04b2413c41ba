#include "level/map/EmptyLevelPoint.h"

#include "content/ContentArchive.h"
#include "content/GarbageList.h"
#include "content/LevelInfo.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelRules.h"
#include "level/map/ParticlesObject.h"
#include "level/map/PointCare.h"
#include "level/map/PointJob.h"
#include "level/scene/LevelInterface.h"
#include "level/map/SpriteObject.h"
#include "pathfinding/MapShapes.h"
#include "pathfinding/ObstacleSet.h"
#include "resources/SEffects.h"
#include "resources/SpriteSet.h"
#include "resources/TutorialHooks.h"
#include "hud/ASSPriceButton.h"

namespace {

constexpr u32 kFadeTime = 200;  // ms of the marker's and the garbage's effects

// The footprint of any garbage: three rectangles about the place, stepped
// like the heap, blocking every walker.
constexpr u32 kGarbageObstacleMask = 0xE0000000u;
constexpr OBSTACLEDESC kGarbageObstacles[3] = {
    {kGarbageObstacleMask, -40, -12, 80, 24},
    {kGarbageObstacleMask, -28, -24, 56, 12},
    {kGarbageObstacleMask, -28, 12, 56, 12},
};
// The click area: 90 x 65 about the place.
constexpr SHAPEDESC kGarbageClickArea = {SHAPE_RECT, {static_cast<u32>(-45), static_cast<u32>(-32), 45, 33, 0, 0, 0}};

}  // namespace

EmptyLevelPoint::EmptyLevelPoint(LevelMap& map, i32 index, bool fade, u32 delay) : BaseLevelPoint(map) {
  kind_ = kPointKindEmpty;
  SetIndex(index);
  const LEVELINFO* info = map.GetInfo();
  map.SetPoint(index, this);
  if (info && index >= 0 && static_cast<size_t>(index) < info->points.size()) {
    const POINTDEF& def = info->points[static_cast<size_t>(index)];
    SetPosition(def.x, def.y);
    SetMark(def.mark);
  }
  marker_ = SpriteObject::Create(map, info ? info->emptyPlace : nullptr, kLayerStanding, GetX(), GetY(), kObjectPlaceMarker,
                                 this, 0);
  if (!marker_) return;
  marker_->AttachToLevel(kAttachObstacles | kAttachClickShapes);
  if (fade) marker_->AddEffect(new SEffect_Build(kFadeTime, delay));
}

EmptyLevelPoint::~EmptyLevelPoint() {
  Shutdown(false, true, 0);
  SetGarbage(nullptr, 0, false, 0);
  DeleteClearButton();
  delete marker_;
}

bool EmptyLevelPoint::Setup(const POINTPARAMS& params, bool fade, u32 delay) {
  SetGarbage(GetMaker()->FindGarbage(params.id), params.price, fade, delay);
  TutorialNotify(kTutorialEventPointChanged, static_cast<uintptr_t>(GetKind()), static_cast<BaseLevelPoint*>(this));
  return true;
}

void EmptyLevelPoint::OnSelect() {
  BaseLevelPoint::OnSelect();
  OpenPanel(garbage_ ? kPanelGarbage : kPanelEmptyPlace);
}

void EmptyLevelPoint::OnDeselect() {
  BaseLevelPoint::OnDeselect();
  WindowSprites* panel = openPanel_;
  openPanel_ = nullptr;
  if (panel && GetMap().Hooks().panels) GetMap().Hooks().panels->HidePanel(panel);
}

void EmptyLevelPoint::GetWorkOffset(POINTPOS* out) const {
  out->x = 0;
  out->y = 30;
}

void EmptyLevelPoint::GetInfo(POINTPARAMS* out) const {
  BaseLevelPoint::GetInfo(out);
  out->id = garbage_ ? garbage_->id : 0;
  out->price = price_;
}

void EmptyLevelPoint::SetGarbage(const GARBAGEINFO* garbage, u32 price, bool fade, u32 delay) {
  if (garbage == garbage_) return;
  for (i32 i = garbageObjects_.GetCount() - 1; i >= 0; --i) {
    MapObject* object = garbageObjects_[i];
    if (fade)
      object->DisposeWithEffect(delay, new SEffect_Alpha(1.0f, 0.0f, kFadeTime, true, delay));
    else
      delete object;
  }
  garbageObjects_.Clear();
  delete obstacles_;
  obstacles_ = nullptr;
  delete shapes_;
  shapes_ = nullptr;

  garbage_ = garbage;
  price_ = garbage ? price : 0;
  LevelMap* map = &GetMap();
  if (garbage) {
    const i32 x = GetX(), y = GetY();
    for (u32 i = 0; i < garbage->spriteCount && i < kGarbageSpriteSlots; ++i) {
      const GARBAGESPRITE& s = garbage->sprites[i];
      SpriteObject* object =
          SpriteObject::Create(*map, garbage->mapSprites[i], s.layer, x + s.x, y + s.y, kObjectPlaceMarker, this, 0);
      if (!object) continue;
      object->AttachToLevel(0);
      garbageObjects_.Add(object);
    }
    for (u32 i = 0; i < garbage->particleCount && i < kGarbageParticleSlots; ++i) {
      const GARBAGEPARTICLE& p = garbage->particles[i];
      MAPOBJECTDEF def{};
      def.type = kMapObjectEmitter;
      def.layer = p.layer;
      def.x = x + p.x;
      def.y = y + p.y;
      def.systemId = p.systemId;
      def.sortX = static_cast<i16>(p.sortX);
      def.sortY = static_cast<i16>(p.sortY);
      def.spaceParam = p.spaceParam;
      MapObject* object = CreateMapObjectFromRecord(*map, &def, this);
      if (!object) continue;
      object->AttachToLevel(0);
      // Emitters are made stopped for their owner to start, as the level
      // starts its decorations': the heap smokes from the moment it lies here.
      if (object->GetKind() == kObjectParticles) static_cast<ParticlesObject*>(object)->StartEmitters();
      garbageObjects_.Add(object);
    }
    obstacles_ = new ObstacleSet(map);
    obstacles_->Create(kGarbageObstacles, 3, x, y, 0);
    shapes_ = new MapShapes(map);
    shapes_->Create(0, &kGarbageClickArea, 1, x, y, 0, reinterpret_cast<uintptr_t>(static_cast<MapObject*>(marker_)));
    ShowClearButton(fade, delay);
  } else if (IsSelected()) {
    OpenPanel(kPanelEmptyPlace);
  }
  if (map->GetRules()) map->GetRules()->Tasks().UpdateTask(kTaskCleanPlaces, 0, 0, fade);
}

void EmptyLevelPoint::OpenPanel(u32 id) {
  if (LevelInterface* panels = GetMap().Hooks().panels) openPanel_ = panels->OpenPanel(id, this);
}

void EmptyLevelPoint::ShowClearButton(bool fade, u32 delay) {
  if (IsShutDown() || clearJob_ || clearButton_) return;
  if (!GetMap().Hooks().hud) return;
  clearButton_ = new ASSPriceButton(kClearButtonCode, GetX(), GetY() - kClearButtonRise,
                                    GetSpriteByName(kIconSpriteSet, u"small_ico_clear"), price_);
  clearButton_->SetHandler(this, &EmptyLevelPoint::OnClearClicked, &ActiveScreenSprite::IsPriceUnaffordable);
  clearButton_->Show(!fade, delay, kShowPop, kPointSpriteShowTime);
}

// Greyed while the money is short of the price, the button still hears the
// click (and the clearing then starts only with money enough).
u32 EmptyLevelPoint::OnClearClicked(ActiveScreenSprite*, ScreenSpriteOwner* owner, u32) {
  auto* place = static_cast<EmptyLevelPoint*>(owner);
  place->StartClearing();
  place->GetMap().ClosePanelExcept(place);
  return kScreenClickSound;
}

void EmptyLevelPoint::StartClearing() {
  LevelMap* map = &GetMap();
  LevelRules* rules = map->GetRules();
  if (!rules || !rules->Money().HasAtLeast(static_cast<i32>(price_))) return;
  ASSPriceButton* button = clearButton_;
  clearButton_ = nullptr;
  if (button) button->Hide(true, false, 0, kShowFade | kShowPop, kPointSpriteShowTime);
  if (map->Hooks().care) map->Hooks().care->StartClearJob(this);
}

void EmptyLevelPoint::DeleteClearButton() {
  ASSPriceButton* button = clearButton_;
  clearButton_ = nullptr;
  delete button;
}

u32 EmptyLevelPoint::DoShutdown(bool fade, bool final, u32 delay) {
  if (PointJob* job = clearJob_) {
    job->Finish();
    if (final) {
      clearJob_ = nullptr;
      job->ClearTarget();
    }
  }
  SetGarbage(nullptr, 0, fade, delay);
  delay = BaseLevelPoint::DoShutdown(fade, final, delay);
  SpriteObject* marker = marker_;
  marker_ = nullptr;
  if (!fade) {
    DeleteClearButton();
    delete marker;
    return delay;
  }
  ASSPriceButton* button = clearButton_;
  clearButton_ = nullptr;
  if (button) button->Hide(true, false, delay, kShowFade | kShowScale, kPointSpriteShowTime);
  if (marker) delay = marker->DisposeWithEffect(delay, new SEffect_Scale(1.0f, 0.0f, kFadeTime, true, delay));
  return delay;
}
