// GameLevel's staged loading: one item of a stage per step, a yield offered
// after each, and every stage change (but the first) ending the call so the
// loading screen gets a frame between stages. A resource that is missing
// is skipped: loading as a whole never fails.
#include <algorithm>
#include <cstdio>

#include "base/Strings.h"
#include "content/BuildingTable.h"
#include "content/ContentArchive.h"
#include "content/ContentServices.h"
#include "content/GameBonuses.h"
#include "content/GarbageList.h"
#include "content/GroundList.h"
#include "content/LevelInfo.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "level/scene/GameLevel.h"
#include "level/scene/LevelCast.h"
#include "resources/MapSprite.h"
#include "resources/ProgressTracker.h"
#include "resources/ResourceServices.h"
#include "resources/Sprite.h"
#include "resources/SpriteSet.h"
#include "ui/InfoWindow.h"

namespace {

MapSprite* FindMapSprite(const wchar* name) {
  SpriteSet* set = GetSpriteSet(kMapSpriteSet);
  return set ? set->FindMapSprite(name) : nullptr;
}

void LoadMapSprite(MapSprite* sprite) {
  if (sprite && !sprite->IsLoaded()) sprite->Init();
}

// The stage's progress on the current tracker; true: the frame goes back.
bool Yield(const ProgressTracker* progress, u32 done, u32 total) {
  return progress && StepLoadingProgress(total ? static_cast<float>(done) / static_cast<float>(total) : 1.0f);
}

void ToLoadingScreen(float fraction, i32 step) {
  if (const LoadingScreenHook screen = GetResourceServices().loadingScreen) screen(fraction, step);
}

}  // namespace

void GameLevel::BeginStage(u32 stage) {
  loadStage_ = stage;
  loadItem_ = 0;
  if (progress_) progress_->NextStep(stage);
}

void GameLevel::Load() {
  if (loadStage_ == kLoadDone) return;
  if (progress_) progress_->BeginSlice(kLoadWorkSlice);
  if (loadStage_ == kLoadStart) {
    if (!progress_) {
      // Published as the loading's tracker; the bar shows it on the loading screen.
      static const ProgressTracker::StepSpec kSteps[] = {
          {kLoadGround, 100, 0}, {kLoadDecorations, 50, 0}, {kLoadPlants, 80, 0}, {kLoadBuildings, 200, 0},
          {kLoadIntro, 5, 0},    {kLoadVillainMarks, 5, 0}, {kLoadBonuses, 10, 0}, {0, 0, 0}};
      progress_ = std::make_unique<ProgressTracker>(kStartupReportInterval, &ToLoadingScreen);
      progress_->AddSteps(-1, kSteps);
      GetResourceServices().progress = progress_.get();
      progress_->Start();
      progress_->BeginSlice(kLoadWorkSlice);
    }
    // The characters' animations one a call: together they would hold the
    // loading screen still for a long frame.
    if (hooks_.characters && !hooks_.characters->LoadDescriptions()) return;
    if (ProductList* products = GetProductList()) products->ClearUsedFlags();
    if (PlantTable* plants = GetPlantTable()) plants->ResetUse();
    if (BuildingTable* buildings = GetBuildingTable()) buildings->ClearUsedFlags();
    BeginStage(kLoadGround);
  }
  switch (loadStage_) {
    case kLoadGround:
      if (LoadGround()) BeginStage(kLoadDecorations);
      return;
    case kLoadDecorations:
      if (!LoadDecorations()) return;
      if (info_ && !info_->waves.empty() && info_->villainSlotCount > 0) LoadMapSprite(FindMapSprite(u"toxic_puddle"));
      // The empty places' marker, then (once per kind) the garbage's pictures.
      if (GarbageList* garbage = GetContentServices().garbage)
        garbage->LoadPointSprites(info_ ? info_->emptyPlace : nullptr);
      else if (info_ && info_->emptyPlace)
        info_->emptyPlace->Init();
      BeginStage(kLoadPlants);
      return;
    case kLoadPlants:
      if (LoadKinds(false)) BeginStage(kLoadBuildings);
      return;
    case kLoadBuildings:
      if (LoadKinds(true)) BeginStage(kLoadIntro);
      return;
    case kLoadIntro:
      if (info_ && !info_->intro.empty())
        InfoWindow::LoadEntryImages(info_->intro.data(), static_cast<u32>(info_->intro.size()));
      BeginStage(kLoadVillainMarks);
      return;
    case kLoadVillainMarks:
      for (i32 n = 1; n <= 3; ++n) {
        wchar name[32];
        char narrow[32];
        std::snprintf(narrow, sizeof narrow, "villain_cross_%d", n);
        for (u32 i = 0; i < 32; ++i) name[i] = static_cast<wchar>(narrow[i]);
        LoadMapSprite(FindMapSprite(name));
      }
      BeginStage(kLoadBonuses);
      return;
    case kLoadBonuses:
      if (LoadBonuses()) BeginStage(kLoadFinishing);
      return;
    case kLoadFinishing:
      if (progress_) progress_->EndStep();
      if (GetResourceServices().progress == progress_.get()) GetResourceServices().progress = nullptr;
      progress_.reset();
      loadStage_ = kLoadDone;
      loadItem_ = 0;
      return;
    default:
      return;
  }
}

// The intro's pictures go back once the loading has taken them.
void GameLevel::ReleaseIntroImages() {
  if (info_ && !info_->intro.empty() && loadStage_ > kLoadIntro)  // every stage after the intro's
    InfoWindow::UnloadEntryImages(info_->intro.data(), static_cast<u32>(info_->intro.size()));
}

// Each placement acquires its ground record (the first use loads the sprite).
bool GameLevel::LoadGround() {
  const u32 n = info_ ? static_cast<u32>(info_->ground.size()) : 0;
  GroundList* grounds = GetGroundList();
  while (loadItem_ < n) {
    if (grounds) grounds->Acquire(grounds->Find(info_->ground[loadItem_].groundId));
    ++loadItem_;
    if (Yield(progress_.get(), loadItem_, n) && loadItem_ < n) return false;
  }
  return true;
}

// A sprite decoration finds its map sprite by name once and loads it.
bool GameLevel::LoadDecorations() {
  const u32 n = info_ ? static_cast<u32>(info_->decorations.size()) : 0;
  while (loadItem_ < n) {
    MAPOBJECTDEF& d = info_->decorations[loadItem_];
    if (d.type == 0 && !d.mapSprite) {
      d.mapSprite = FindMapSprite(d.name);
      if (d.mapSprite) d.mapSprite->Init();
    }
    ++loadItem_;
    if (Yield(progress_.get(), loadItem_, n) && loadItem_ < n) return false;
  }
  return true;
}

// The plant and building kinds the level uses, one per item: each stores
// the level's limit and, the first time on this level, is enabled, acquires
// its resources once and marks its products used. The beds' ground sprites
// and the trees' planting spot follow the plants.
bool GameLevel::LoadKinds(bool buildings) {
  const u32 n = !info_ ? 0 : buildings ? std::min(info_->buildingCount, kMaxLevelBuildings)
                                       : std::min(info_->plantCount, kMaxLevelPlants);
  PlantTable* plants = GetPlantTable();
  while (loadItem_ < n) {
    if (buildings) {
      const KINDPAIR& pair = info_->buildings[loadItem_];
      BUILDING* kind = info_->buildingKinds[loadItem_] ? info_->buildingKinds[loadItem_] : FindBuilding(pair.id);
      if (kind) kind->EnableForLevel(pair.value);
    } else if (plants) {
      const KINDPAIR& pair = info_->plants[loadItem_];
      plants->UsePlant(info_->plantKinds[loadItem_] ? info_->plantKinds[loadItem_] : plants->FindPlant(pair.id),
                       pair.value);
    }
    ++loadItem_;
    if (Yield(progress_.get(), loadItem_, n) && loadItem_ < n) return false;
  }
  // After the plants, the table gives back what earlier levels used and
  // this one does not.
  if (!buildings && plants) {
    plants->ReleaseUnused();
    plants->LoadBedSprites(0, info_ ? info_->treeSpot : nullptr);
  }
  return true;
}

// The bonuses the profile owns load their resources (the bees' pictures,
// the rain's images).
bool GameLevel::LoadBonuses() {
  GameBonuses* bonuses = GetGameBonuses();
  while (loadItem_ < kBonusCount) {
    if (bonuses && (setup_.ownedBonuses & (1u << loadItem_))) bonuses->LoadBonus(loadItem_);
    ++loadItem_;
    if (Yield(progress_.get(), loadItem_, kBonusCount) && loadItem_ < kBonusCount) return false;
  }
  return true;
}
