#include "level/scene/GameLevel.h"

#include "engine/DXLApp.h"
#include "engine/Require.h"

#include <cmath>

#include "base/Random.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "content/ProductList.h"
#include "gametext/GameMessager.h"
#include "level/map/BaseLevelPoint.h"
#include "level/map/LevelPoint.h"
#include "level/map/DynObject.h"
#include "level/scene/LevelCast.h"
#include "level/scene/LevelGround.h"
#include "level/scene/LevelInput.h"
#include "level/scene/LevelInterface.h"
#include "level/scene/LevelScreen.h"
#include "resources/ProgressTracker.h"
#include "level/map/LevelMap.h"
#include "level/map/LevelPointMaker.h"
#include "level/rules/LevelProfile.h"
#include "level/rules/LevelRules.h"
#include "level/state/LevelSaves.h"
#include "content/VillainList.h"
#include "level/scene/LevelVillains.h"
#include "level/map/MapAward.h"
#include "level/map/MapObject.h"
#include "content/BuildingTable.h"
#include "level/map/LevelPointCare.h"
#include "level/scene/PlayerCast.h"
#include "level/map/ParticlesObject.h"
#include "level/map/SpriteObject.h"
#include "pathfinding/ObstacleSet.h"
#include "pathfinding/PathFinder.h"
#include "resources/GPSEmiter.h"
#include "resources/GPSSpace.h"
#include "resources/ImageSprite.h"
#include "resources/MapSprite.h"
#include "resources/ResourceServices.h"
#include "ui/WindowManager.h"
#include "resources/ParticleLibrary.h"
#include "resources/Sprite.h"
#include "resources/SpriteEffect.h"
#include "resources/SpriteSet.h"
#include "resources/StandardSounds.h"
#include "resources/TutorialHooks.h"
#include "resources/SoundSettings.h"

namespace {

constexpr i32 kFinderCell = 64;              // the path finder's grid cells, level pixels
constexpr u32 kSelectionColour = 0xC0FFFFFFu;
constexpr u32 kHoverColour = 0x20FFFFA0u;
constexpr u32 kAdditiveBlend = 3;
constexpr float kMarkerScale = 0.5f;
constexpr u32 kParticleHeadStartTicks = 200;  // plus 0..299, ticks of 10 ms the level's particles have run on entry
constexpr u32 kLoseRestart1 = 0x40000001u;
constexpr u32 kLoseRestart2 = 0x40000003u;
constexpr u32 kResultSoundFade = 250;  // ms

ImageSprite* MakeMarker(const wchar* name, u32 colour, u32 blend) {
  SpriteSet* set = GetSpriteSet(kShadowSpriteSet);
  Sprite* sprite = set ? set->FindSprite(name) : nullptr;
  if (!sprite) return nullptr;
  sprite->Init();
  ImageSprite* image = sprite->CreateImageSprite(false);
  if (!image) return nullptr;
  image->SetColor(colour);
  image->SetScale(kMarkerScale, kMarkerScale);
  image->SetPivot(0.5f, 0.5f);
  if (blend) image->SetDrawStateValues(2, 2, 3, 3, blend, 4, 4);
  return image;
}

void ReleaseMarker(ImageSprite* image) {
  if (!image) return;
  Sprite* sprite = image->GetSprite();
  delete image;
  if (sprite) sprite->Release(false);
}

}  // namespace

GameLevel::GameLevel(i32 levelIndex, const LevelSetup& setup, const GameLevelHooks& hooks)
    : levelIndex_(levelIndex), setup_(setup), hooks_(hooks) {
  hooks_.rules.scene = this;
  hooks_.rules.hud = &hud_;
  hooks_.map.hud = &hud_;
  hooks_.rules.panel = hooks_.iface;
  hooks_.map.panels = hooks_.iface;
  // The content services' level table is set by the game world's tables
  // stage, which stands before the level scene's.
  LevelTable* table = GetLevelTable();
  Require(table, "the level table (the game world's tables stage) before a level is made");
  info_ = table && levelIndex >= 0 && levelIndex < static_cast<i32>(kLevelCount) ? &table->Get(levelIndex) : nullptr;
  rules_ = std::make_unique<LevelRules>(levelIndex, setup.regime, info_, hooks_.rules);
  screen_ = std::make_unique<LevelScreen>(*rules_, hud_);
  if (!hooks_.map.care) {
    ownCare_ = std::make_unique<LevelPointCare>(hooks_.damage);
    hooks_.map.care = ownCare_.get();
  }
  map_ = std::make_unique<LevelMap>(rules_.get(), hooks_.map);
  screen_->SetMap(map_.get());
  screen_->SetScene(this);
  if (!hooks_.characters) {
    ownCast_ = std::make_unique<PlayerCast>(*map_, rules_.get(), &hud_, kLevelWidth, kLevelHeight);
    hooks_.characters = ownCast_.get();
  } else {
    finder_ = std::make_unique<shpf::PathFinder>(kLevelWidth, kLevelHeight, kFinderCell, kFinderCell);
  }
  map_->SetPathFinder(ownCast_ ? ownCast_->GetPathFinder() : finder_.get());
  ground_ = std::make_unique<LevelGround>();
  input_ = std::make_unique<LevelInput>(*this);
  input_->Reset();
  rules_->View().UpdateViewport(GetResourceServices().screen.width, GetResourceServices().screen.height);
  selection_ = MakeMarker(u"selection", kSelectionColour, 0);
  hoverMarker_ = MakeMarker(u"selection2", kHoverColour, kAdditiveBlend);
}

GameLevel::~GameLevel() {
  if (GetResourceServices().progress == progress_.get()) GetResourceServices().progress = nullptr;
  // A lose dialog still open tells the level's screen of its closing: it goes while the screen is there.
  rules_->Tasks().CloseLoseDialog();
  Clear(true);
  ReleaseMarker(selection_);
  ReleaseMarker(hoverMarker_);
  if (info_) {
    ReleaseIntroImages();
    GroundList* grounds = GetGroundList();
    // Only records above 65535 are given back here; the others stay loaded
    // for the next level that uses them.
    for (const GROUNDPLACEMENT& g : info_->ground)
      if (grounds && g.groundId > 0xFFFF) grounds->Release(grounds->Find(g.groundId), false);
    for (const MAPOBJECTDEF& d : info_->decorations)
      if (d.type == 0 && d.mapSprite) d.mapSprite->Release(false);
  }
  ownCast_.reset();
  map_.reset();
}

shpf::PathFinder* GameLevel::GetPathFinder() const { return ownCast_ ? ownCast_->GetPathFinder() : finder_.get(); }

DynObject* GameLevel::GetPlayer() const { return hooks_.characters ? hooks_.characters->GetPlayer() : nullptr; }
bool GameLevel::IsStarted() const { return rules_->IsStarted(); }

// --- Life -------------------------------------------------------------------------------------------

void GameLevel::Enter() {
  if (!hooks_.saves || !hooks_.saves->LoadSavedState(*this)) StartNew();
  OnEnter();
}

void GameLevel::BuildLevel() {
  cleared_ = false;
  entered_ = false;
  input_->Reset();
  rules_->Build(setup_.chosen);
  if (WarehouseStock* stock = rules_->Stock()) stock->AddListener(this);
  rules_->Money().AddListener(this);
  if (hooks_.iface) hooks_.iface->CreatePanel(*map_);
  if (info_) ground_->Place(*info_);
  if (info_) {
    std::vector<OBSTACLEDESC> descs;
    for (const OBSTACLEDEF& o : info_->obstacles) descs.push_back(OBSTACLEDESC{o.mask, o.x, o.y, o.width, o.height});
    obstacles_ = std::make_unique<ObstacleSet>(map_.get());
    obstacles_->Create(descs.data(), static_cast<u32>(descs.size()), 0, 0, 0);
  }
  CreateDecorations();
  if (map_->GetAward() && setup_.easterEggFound) delete map_->GetAward();
  if (hooks_.characters && !hooks_.characters->GetPlayer() && info_) {
    map_->SetPlayer(hooks_.characters->CreatePlayer(info_->playerX, info_->playerY));
  }
  if (info_ && !info_->waves.empty()) villainParticles_ = std::make_unique<GPSSpace>(0);
  CreateParticles();
  musicMode_ = info_ && info_->music[0] ? 1 : 3;
  musicTrack_ = 0;
  // The level's tutorial is made here, not with the scene: Clear deletes
  // it, and every restart and restore builds the level again.
  TutorialFactory* tutorials = GetResourceServices().tutorialFactory;
  if (tutorials && hooks_.rules.profile && hooks_.rules.profile->AreTutorialsOn() && HasLevelTutorial(levelIndex_))
    tutorials->MakeLevelTutorial(levelIndex_);
}

void GameLevel::StartWarehouseTutorial(const PRODUCT* product) {
  if (TutorialFactory* tutorials = GetResourceServices().tutorialFactory)
    tutorials->MakeFullWarehouseTutorial(product->id);
}

bool GameLevel::HasLevelTutorial(i32 levelIndex) {
  constexpr i32 kTutorialLevels[] = {0, 1, 2, 3, 4, 5, 7, 14, 28};
  for (i32 index : kTutorialLevels)
    if (index == levelIndex) return true;
  return false;
}

void GameLevel::CreateDecorations() {
  if (!info_) return;
  for (const MAPOBJECTDEF& d : info_->decorations) {
    MapObject* object = CreateMapObjectFromRecord(*map_, &d, nullptr);
    if (!object) continue;
    // Emitters start; sprites stand in the walkers' way.
    if (object->GetKind() == kObjectParticles)
      static_cast<ParticlesObject*>(object)->StartEmitters();
    else if (!object->IsAttached())
      object->AttachToLevel(kAttachObstacles);
  }
}

// The level's own emitters share one particle space; an emitter turned by
// an angle gets its own copy of the system with the direction turned.
void GameLevel::CreateParticles() {
  if (!info_ || info_->emitters.empty()) return;
  levelParticles_ = std::make_unique<GPSSpace>(0);
  for (const EMITTERDEF& e : info_->emitters) {
    const GPSSYSTEM* system = FindParticleSystem(e.systemId);
    if (!system) continue;
    GPSSYSTEM turned;
    if (e.angle != 0.0f) {
      turned = *system;
      turned.directionOffset = std::fmod(std::fmod(turned.directionOffset + e.angle, 360.0f) + 360.0f, 360.0f);
      system = &turned;
    }
    new GPSEmiter(levelParticles_.get(), system, nullptr, static_cast<float>(e.x), static_cast<float>(e.y));
  }
}

void GameLevel::StartNew() {
  BuildLevel();
  if (info_) {
    const i32 n = static_cast<i32>(info_->points.size() < kMaxPoints ? info_->points.size() : kMaxPoints);
    map_->SetPointCount(n);
    for (i32 i = 0; i < n; ++i) {
      const POINTDEF& d = info_->points[i];
      POINTPARAMS p;
      p.kind = d.kind;
      p.level = d.level;
      p.id = d.id;
      p.price = d.price;
      p.extra[0] = d.extra[0];
      p.extra[1] = d.extra[1];
      map_->Points().MakePoint(i, p, false);
      if (BaseLevelPoint* point = map_->GetPoint(i); point && d.mark) point->SetMark(d.mark);
    }
  }
  rules_->StartNew();
  if (hooks_.iface) hooks_.iface->CreateBonusButtons();
  // The tutorial's first step comes first, so the intro window opens over
  // whatever that step shows.
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->StartFirstStep();
  if (hooks_.iface && info_ && !info_->intro.empty()) hooks_.iface->OpenIntro();
}

void GameLevel::OnEnter() {
  rules_->Clock().ResetTicks();
  hud_.RefreshEnabled();
  if (map_->GetSelectedPoint() < 0 && hooks_.map.panels) hooks_.map.panels->ShowEmptyPanel();
  for (u32 slot = 0; slot < kBonusCount; ++slot)
    if (rules_->Bonuses().GetSlot(slot).available) rules_->Bonuses().RefreshBonusSlot(slot, false);
  PlayNextMusic();
  // The level's emitters are made stopped: entering starts them and gives
  // their particles a head start, so the level opens with them in the air.
  if (levelParticles_) {
    levelParticles_->StartEmitters();
    const u32 ticks = kParticleHeadStartTicks + kis::RandomInt(300);
    levelParticles_->Update(static_cast<float>(ticks * GameTimeStep()));
  }
  if (hooks_.iface) hooks_.iface->ShowTimeBar(false);
  if (hooks_.rules.panel) hooks_.rules.panel->UpdateTaskButtons(-1, 0, false);
  entered_ = true;
  rules_->SetEntered(true);
  // Entered while the game window is paused (inactive or minimised): the
  // menu is open when the player comes back, unless a lock other than an
  // open window's holds the level.
  if (DXLGetAppData().pauseLevel > 0 && !rules_->Locks().IsLockedExcept(kLockWindow)) OpenMenu(false);
  if (hooks_.rules.profile) hooks_.rules.profile->BeginLevel(levelIndex_);
}

void GameLevel::OpenMenu(bool fromKey) {
  if (hooks_.iface) hooks_.iface->OpenMenu(fromKey);
}

bool GameLevel::HasEnded() const { return rules_->Tasks().GetResultShown() != kResultNone; }

void GameLevel::Leave() {
  LevelTasks& tasks = rules_->Tasks();
  if (tasks.GetResultShown() == kResultNone && !tasks.SettleOnLeave() && rules_->IsStarted() && hooks_.saves)
    hooks_.saves->SaveState(*this);
  Clear(true);
}

void GameLevel::Restart() {
  Clear(false);
  StartNew();
}

void GameLevel::ExitToMap() {
  rules_->Locks().Lock(kLockExit);
  if (hooks_.characters) hooks_.characters->NotifyLevelEnd();
  for (i32 i = 0; i < map_->GetPointCount(); ++i)
    if (BaseLevelPoint* p = map_->GetPoint(i)) p->OnLevelNotify(kLevelNotifyEnd);
  const LevelTasks& tasks = rules_->Tasks();
  if (tasks.GetResultSound()) GetSoundSettings().FadeOutSound(tasks.GetResultSound(), kResultSoundFade);
  u32 comic = 0;
  if (tasks.GetResultShown() == kResultWon || tasks.GetResult() == kResultWon) {
    const i32 number = levelIndex_ + 1;
    comic = number == 8 ? 1 : number == 30 ? 2 : number == 41 ? 3 : 0;
  }
  if (hooks_.iface) hooks_.iface->ExitToMap(comic);
}

void GameLevel::Clear(bool destroying) {
  (void)destroying;
  if (cleared_) return;
  cleared_ = true;
  entered_ = false;
  // A lose dialog still open belongs to the level being cleared: a restart
  // must not leave it asking about the level that follows.
  rules_->Tasks().CloseLoseDialog();
  if (WarehouseStock* stock = rules_->Stock()) stock->RemoveListener(this);
  rules_->Money().RemoveListener(this);
  // The warehouse window and the menu work on the rules and the stock:
  // they go before the rules let the stock go.
  if (hooks_.iface) hooks_.iface->DeleteLevelWindows();
  rules_->Clear();
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Discard();
  map_->DeletePoints();
  ground_->Clear();
  if (hooks_.villains) hooks_.villains->DeleteAll();
  levelParticles_.reset();
  villainParticles_.reset();
  if (hooks_.characters) hooks_.characters->DeleteAll();
  map_->SetPlayer(nullptr);
  map_->DeleteAllObjects();
  obstacles_.reset();
  hud_.DeleteAll();
  if (hooks_.iface) hooks_.iface->DeletePanel();
}

// --- LevelScene ----------------------------------------------------------------------------------------------

void GameLevel::StartPlay() {
  if (!rules_->StartPlay()) return;
  if (hooks_.iface) hooks_.iface->StartTimeBar();
  TutorialNotify(kTutorialEventStart, 0, nullptr);
}

void GameLevel::StopTutorial() {
  if (TutorialHooks* tutorial = GetResourceServices().tutorial) tutorial->Stop();
}

i32 GameLevel::CountPlantBeds(u32 plant, i32 minLevel) { return map_->CountPoints(kPointKindPlant, plant, minLevel); }
i32 GameLevel::CountBuildings(u32 building, i32 minLevel) {
  return map_->CountPoints(kPointKindBuilding, building, minLevel);
}
i32 GameLevel::CountCleanPlaces() { return map_->CountCleanPlaces(); }

bool GameLevel::OnLoseAnswer(u32 answer) {
  if (answer == kLoseRestart1 || answer == kLoseRestart2) {
    if (hooks_.iface) hooks_.iface->OfferRestart();
  } else {
    ExitToMap();
  }
  return true;
}

// The bees drive off every villain still waiting or attacking (state below
// 2), also once the waves are over: a level whose waves do not repeat
// switches them off after its last one, and bees spent on that last villain
// must not be spent for nothing.
void GameLevel::DriveOffVillains() {
  if (hooks_.villains) hooks_.villains->DriveOffAll();
}

void GameLevel::RainOnPlantBeds() {
  for (i32 i = 0; i < map_->GetPointCount(); ++i)
    if (BaseLevelPoint* p = map_->GetPoint(i); p && p->GetKind() == kPointKindPlant) p->OnLevelNotify(kLevelNotifyRain);
}

void GameLevel::CollectUndamaged(GameMessager& messager) {
  for (i32 i = 0; i < map_->GetPointCount(); ++i)
    if (BaseLevelPoint* p = map_->GetPoint(i); p && !p->HasDamage()) p->Collect(reinterpret_cast<uintptr_t>(&messager));
}

void GameLevel::SetBuildingRateModifier(u32 buildingKind, u32 id, float value) {
  for (i32 i = 0; i < map_->GetPointCount(); ++i) {
    BaseLevelPoint* p = map_->GetPoint(i);
    if (!p || p->GetKind() != kPointKindBuilding) continue;
    POINTPARAMS params;
    p->GetInfo(&params);
    const BUILDING* building = FindBuilding(params.id);
    if (building && building->kind == buildingKind)
      p->SetRateModifier(id, false, value);
  }
}

void GameLevel::OnMoneyChanged() { HintRefreshOnLevelChange(); }

void GameLevel::OnStockChanged(const STOCKENTRY&) {
  HintRefreshOnGlobalChange(0);
  for (i32 i = 0; i < map_->GetPointCount(); ++i) {
    BaseLevelPoint* p = map_->GetPoint(i);
    if (!p || p->GetKind() != kPointKindBuilding) continue;
    POINTPARAMS params;
    p->GetInfo(&params);
    const BUILDING* building = FindBuilding(params.id);
    // The animal houses' feed buttons and the factories' product buttons
    // follow the stock: a mill built while the warehouse held no wheat
    // takes wheat once it comes in.
    if (building && (building->kind == kBuildingAnimalHouse || building->kind == kBuildingFactory))
      static_cast<LevelPoint*>(p)->Refresh();
  }
}

void GameLevel::SetPlayerWalkModifier(u32 id, float value) {
  if (hooks_.characters) hooks_.characters->SetPlayerWalkModifier(id, value);
}
void GameLevel::SetPlayerSpeedModifier(u32 id, float value) {
  if (hooks_.characters) hooks_.characters->SetPlayerSpeedModifier(id, value);
}
void GameLevel::SetPlayerRunning(bool running) {
  if (hooks_.characters) hooks_.characters->SetPlayerRunning(running);
}

// --- Villain slots ---------------------------------------------------------------------------------------------

u32 GameLevel::GetSlotCount() const { return info_ ? info_->villainSlotCount : 0; }
bool GameLevel::IsSlotTaken(u32 slot) const { return !hooks_.villains || hooks_.villains->IsSlotTaken(slot); }
bool GameLevel::HasVillains() const { return hooks_.villains && GetSlotCount() > 0; }
bool GameLevel::SpawnVillainByHand(u32 record) {
  const VillainList* list = GetVillainList();
  const VILLAININFO* kind = list ? list->Get(record) : nullptr;
  if (!HasVillains() || !kind) return false;
  for (u32 slot = 0; slot < GetSlotCount() && slot < kMaxVillainSlots; ++slot)
    if (!IsSlotTaken(slot)) return hooks_.villains->SpawnVillain(slot, info_->villainSlots[slot], kind->id);
  return false;
}
void GameLevel::SpawnVillain(u32 slot, u32 villainKind) {
  if (hooks_.villains && info_ && slot < info_->villainSlotCount)
    hooks_.villains->SpawnVillain(slot, info_->villainSlots[slot], villainKind);
}
