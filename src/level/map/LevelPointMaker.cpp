#include "level/map/LevelPointMaker.h"

#include "base/Identifier.h"
#include "content/BuildingTable.h"
#include "content/ContentServices.h"
#include "content/LevelInfo.h"
#include "content/PlantTable.h"
#include "level/map/EmptyLevelPoint.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPoint.h"
#include "level/rules/LevelRules.h"
#include "level/map/PointClasses.h"
#include "level/scene/LevelInterface.h"
#include "resources/SoundSettings.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"

namespace {

// Ends a point's hover: the cursor goes back to the hand.
void EndHover(BaseLevelPoint* point) {
  point->SetHovered(false);
  point->SetCursor(kPointCursor, 0);
  point->OnUnhover();
}

}  // namespace

const GARBAGEINFO* LevelPointMaker::FindGarbage(u32 id) const {
  const GarbageList* garbage = GetContentServices().garbage;
  return garbage ? garbage->Find(id) : nullptr;
}

LevelPoint* LevelPointMaker::CreateWorkingPoint(const POINTPARAMS& params) const {
  PointClasses* classes = map_.Hooks().classes;
  if (!classes) return nullptr;
  switch (params.kind) {
    case kPointKindWarehouse:
      return classes->CreatePoint(map_, kPointWarehouse, nullptr);
    case kPointKindPlant: {
      PLANT* plant = FindPlant(params.id);
      const PointKindFacts facts = DescribePlant(plant);
      if (!plant || !facts.available || facts.maxLevel < params.level) return nullptr;
      return classes->CreatePoint(map_, facts.tree ? kPointTree : kPointPlantBed, plant);
    }
    case kPointKindBuilding: {
      BUILDING* building = FindBuilding(params.id);
      const PointKindFacts facts = DescribeBuilding(building);
      if (!building || !facts.available || facts.maxLevel < params.level) return nullptr;
      if (facts.category == kBuildingFactory) return classes->CreatePoint(map_, kPointFactory, building);
      if (facts.category != kBuildingAnimalHouse) return nullptr;
      if (facts.id == kis::NameId(u"henhouse")) return classes->CreatePoint(map_, kPointHenhouse, building);
      if (facts.id == kis::NameId(u"sheep_rack")) return classes->CreatePoint(map_, kPointSheepRack, building);
      if (facts.id == kis::NameId(u"cowshed")) return classes->CreatePoint(map_, kPointCowshed, building);
      return nullptr;
    }
    default:
      return nullptr;
  }
}

bool LevelPointMaker::MakePoint(i32 index, const POINTPARAMS& params, bool fade) {
  LevelMap* map = &map_;
  if (index < 0 || index >= map->GetPointCount()) return false;
  u32 delay = 0;
  if (BaseLevelPoint* old = map->GetPoint(index)) {
    delay = old->Shutdown(fade, true, 0);
    map->SetPoint(index, nullptr);
    delete old;
  }
  if (fade) delay += kReplaceDelay;

  BaseLevelPoint* made = nullptr;
  if (params.kind == static_cast<u32>(kPointKindEmpty)) {
    auto* place = new EmptyLevelPoint(map_, index, fade, delay);
    place->Setup(params, fade, delay);
    made = place;
  } else if (LevelPoint* point = CreateWorkingPoint(params)) {
    map->SetPoint(index, point);
    point->SetIndex(index);
    if (const LEVELINFO* info = map->GetInfo(); info && static_cast<size_t>(index) < info->points.size()) {
      const POINTDEF& def = info->points[static_cast<size_t>(index)];
      point->SetPosition(def.x, def.y);
      point->SetMark(def.mark);
    }
    if (point->Setup(params, fade, delay)) {
      made = point;
    } else {
      if (map->GetPoint(index) == point) map->SetPoint(index, nullptr);
      delete point;
    }
  }
  const bool ok = made != nullptr;
  if (!made) made = new EmptyLevelPoint(map_, index, fade, delay);
  if (map->GetSelectedPoint() == index && map->GetPoint(index) == made) {
    made->SetSelected(true);
    made->OnSelect();
  }
  return ok;
}

bool LevelPointMaker::MakeEmpty(i32 index) { return MakePoint(index, POINTPARAMS{}, true); }

// A point of the kind at the selected point, when the money covers the price.
bool LevelPointMaker::BuildAtSelected(i32 kind, const PointKindFacts& facts) {
  if (!map_.GetRules() || !map_.GetRules()->Money().HasAtLeast(facts.price)) return false;
  POINTPARAMS params;
  params.kind = static_cast<u32>(kind);
  params.id = facts.id;
  return MakePoint(map_.GetSelectedPoint(), params, true);
}

bool LevelPointMaker::BuildPlant(PLANT* plant) {
  return plant && BuildAtSelected(kPointKindPlant, DescribePlant(plant));
}

bool LevelPointMaker::BuildBuilding(BUILDING* building) {
  return building && BuildAtSelected(kPointKindBuilding, DescribeBuilding(building));
}

void LevelPointMaker::SelectPoint(i32 index, bool withSound) {
  LevelMap* map = &map_;
  if (index >= map->GetPointCount()) index = -1;
  if (index < 0) index = -1;
  if (index == map->GetSelectedPoint()) return;
  if (BaseLevelPoint* old = map->GetPoint(map->GetSelectedPoint())) {
    old->SetSelected(false);
    old->OnDeselect();
  }
  // The level takes the new index once the new point has opened its panel.
  BaseLevelPoint* point = map->GetPoint(index);
  if (point) {
    point->SetSelected(true);
    point->OnSelect();
    if (withSound)
      GetSoundSettings().PlaySound(GetStandardSound(kSoundSelect), kSoundGroupLevel | kSoundGroupScreen, 0);
  } else if (LevelInterface* panels = map->Hooks().panels) {
    panels->ShowEmptyPanel();
  }
  map->StoreSelectedPoint(index);
  TutorialNotify(kTutorialEventPointSelected, static_cast<uintptr_t>(index), point);
}

void LevelPointMaker::HoverPoint(i32 index, MapObject* hovered) {
  LevelMap* map = &map_;
  if (index >= map->GetPointCount() || index < 0) index = -1;
  if (index != map->GetHoveredPoint()) {
    if (BaseLevelPoint* old = map->GetPoint(map->GetHoveredPoint())) EndHover(old);
  }
  if (BaseLevelPoint* point = map->GetPoint(index)) {
    point->SetCursor(kPointCursor, 0);
    if (point->OnHover(hovered)) {
      point->SetHovered(true);
    } else {
      EndHover(point);
      index = -1;
    }
  }
  map->StoreHoveredPoint(index);
}

BaseLevelPoint* LevelPointMaker::GetDamageablePoint(i32 index) const {
  BaseLevelPoint* point = map_.GetPoint(index);
  return point && !point->IsShutDown() && point->CanBeDamaged() ? point : nullptr;
}

i32 LevelPointMaker::CountAvailablePlants(i32 max, PLANT** out) const {
  const PlantTable* plants = GetPlantTable();
  if (!plants) return 0;
  i32 n = 0;
  for (u32 i = 0; i < plants->GetCount(); ++i) {
    PLANT* plant = plants->Get(i);
    if (!DescribePlant(plant).available) continue;
    if (out && n < max) out[n] = plant;
    ++n;
  }
  return n;
}

i32 LevelPointMaker::CountNewBuildings(u32 category, i32 max, BUILDING** out) const {
  const BuildingTable* buildings = GetBuildingTable();
  if (!buildings) return 0;
  i32 n = 0;
  for (u32 i = 0; i < buildings->GetCount(); ++i) {
    BUILDING* building = buildings->Get(i);
    const PointKindFacts facts = DescribeBuilding(building);
    if (facts.category != category || !facts.available) continue;
    if (out && n < max) out[n] = building;
    ++n;
  }
  return n;
}
