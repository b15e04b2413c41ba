// GameLevel - the scene of one playable level: it owns the level's rules
// (money, stock, tasks, bonuses, locks, view, clock, waves), its map (map
// objects in depth bands, level points), its ground (LevelGround), its
// input (LevelInput), its screen with the head-up display (LevelScreen),
// the path finder and the selection markers, and drives the characters,
// villains and game windows through narrow interfaces (GameLevelHooks).
// Whoever runs it puts its screen into the resource services as the running
// level (ResourceServices::level = &level.Screen()) for the level's life, and
// takes it out after the level is deleted.
//
// Life: constructed (load stage 0) -> Load, one step a frame, until
// IsLoaded -> Enter (a saved state, else StartNew; then OnEnter) ->
// StartPlay by a left click or Enter -> Update and Draw every frame ->
// Leave (a pending win recorded, a started level saved) -> Enter again or
// deletion.
//
// A frame: the level clock takes the whole frame time (times the game
// speed) while the simulation is carried at most 200 ms (20 ticks of
// 10 ms) into the world, so a frame that stalls counts in full against the
// medal time though the world moves only 200 ms.
#pragma once

#include <memory>
#include <vector>

#include "base/List.h"
#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLMouse.h"
#include "level/rules/LevelBonuses.h"
#include "level/rules/LevelHooks.h"
#include "level/rules/LevelMoney.h"
#include "level/map/LevelMapHooks.h"
#include "level/scene/LevelGround.h"
#include "level/scene/LevelInput.h"
#include "level/scene/LevelScreen.h"
#include "level/rules/LevelScene.h"
#include "level/rules/VillainWaves.h"
#include "level/rules/WarehouseStock.h"
#include "hud/ScreenSpriteList.h"

class DynObject;
class GPSSpace;
class ImageSprite;
class LevelCast;
class PlayerCast;
class LevelInterface;
class ProgressTracker;
class LevelMap;
class LevelPointCare;
class LevelRules;
class LevelSaves;
class LevelVillains;
class DamageSources;
class MapObject;
class ObstacleSet;
struct LEVELINFO;

namespace shpf {
class PathFinder;
}

// What the profile gives a level when it is made.
struct LevelSetup {
  i32 regime = 0;         // 0 easy, 1 hard
  CHOSENBONUSES chosen;   // the bonuses taken into the level
  u32 ownedBonuses = 0;   // bit per bonus index the profile owns
  bool easterEggFound = false;  // this level's egg was found before
};

// The parts of the game the scene calls out to. Without characters the
// level makes its own (PlayerCast: the player, her walks, the path
// service); without the points' care its own (LevelPointCare, reading saved
// damage back through the villains' damage sources when given). The head-up display is
// always the level's own screen-sprite list: the rules' and the map's hud
// are set to it. Any other is optional: null, and that part is missing.
struct GameLevelHooks {
  LevelHooks rules;     // its scene, head-up display and panel are set to the level's own and iface
  LevelMapHooks map;    // its head-up display and panels are set to the level's own and iface
  LevelCast* characters = nullptr;
  LevelVillains* villains = nullptr;
  const DamageSources* damage = nullptr;  // the villains' damage, for the level's own point care
  LevelSaves* saves = nullptr;
  LevelInterface* iface = nullptr;  // the game windows: the panel, the menu, the way back
};

// Load stages, in the order they run.
constexpr u32 kLoadStart = 0;
constexpr u32 kLoadGround = 0x101;
constexpr u32 kLoadDecorations = 0x102;
constexpr u32 kLoadPlants = 0x103;
constexpr u32 kLoadBuildings = 0x104;
constexpr u32 kLoadIntro = 0x105;
constexpr u32 kLoadBonuses = 0x107;
constexpr u32 kLoadVillainMarks = 0x108;
constexpr u32 kLoadFinishing = 0xFFE;
constexpr u32 kLoadDone = 0xFFF;

// Keys of the level's slots, virtual-key codes as the window toolkit's
// (mouse buttons: engine/DXLMouse.h).
constexpr u16 kLevelKeyEscape = 27;
constexpr u16 kLevelKeyEnter = 13;

// Cursor kinds the level asks for.
constexpr u32 kCursorLevelNone = 0x80000000u;  // over the map with no point hovered

constexpr u32 kSelectionPulse = 1200;  // ms of the selected point's marker pulse

class GameLevel : public LevelScene, private VillainSlots, private StockListener, private MoneyListener {
 public:
  GameLevel(i32 levelIndex, const LevelSetup& setup, const GameLevelHooks& hooks);
  ~GameLevel() override;
  GameLevel(const GameLevel&) = delete;
  GameLevel& operator=(const GameLevel&) = delete;

  // --- Loading -----------------------------------------------------------------------------
  // One step of the staged loading (one item, or one stage change); nothing
  // once loaded.
  void Load();
  bool IsLoaded() const { return loadStage_ == kLoadDone; }
  u32 GetLoadStage() const { return loadStage_; }
  u32 GetLoadItem() const { return loadItem_; }
  // The loading's tracker while it runs (null before and after).
  const ProgressTracker* GetLoadProgress() const { return progress_.get(); }

  // --- Life -------------------------------------------------------------------------------
  // Entering the level state: the saved state, or else a new level; then OnEnter.
  void Enter();
  void BuildLevel();
  void StartNew();
  void OnEnter();
  void Leave();
  void Restart();
  // The bonuses the next build starts with (a restart after the level
  // window changed the choice); the caller passes only bonuses the level
  // loaded (LevelSetup::ownedBonuses).
  void SetChosenBonuses(const CHOSENBONUSES& chosen) { setup_.chosen = chosen; }
  const CHOSENBONUSES& GetChosenBonuses() const { return setup_.chosen; }
  void ExitToMap();
  void Clear(bool destroying);
  // The level's menu window, through the game windows (unless one is open
  // and not closing).
  void OpenMenu(bool fromKey);
  // A result was shown (won or lost): the level is over and is not kept.
  bool HasEnded() const;
  // Whether the level of this index has a tutorial of its own (made by
  // BuildLevel when the profile has the tutorials on).
  static bool HasLevelTutorial(i32 levelIndex);

  // --- Frame ------------------------------------------------------------------------------
  void Update(u32 elapsed);
  void Tick();
  void Draw();
  void PlayNextMusic();
  u32 GetMusicTrack() const { return musicTrack_; }  // the next general track, 0 before the first

  // --- Parts --------------------------------------------------------------------------------
  i32 GetLevelIndex() const { return levelIndex_; }
  const LEVELINFO* GetInfo() const { return info_; }
  LevelRules& Rules() { return *rules_; }
  LevelMap& Map() { return *map_; }
  LevelGround& Ground() { return *ground_; }
  LevelInput& Input() { return *input_; }      // the level's input slots
  LevelScreen& Screen() { return *screen_; }   // the running level as the game sees it
  shpf::PathFinder* GetPathFinder() const;  // the characters' path service's, or the level's own
  GPSSpace* GetParticleSpace() const { return levelParticles_.get(); }
  const GameLevelHooks& Hooks() const { return hooks_; }
  DynObject* GetPlayer() const;
  bool IsStarted() const;
  bool HasVillains() const;  // the level has villain slots and a villain cast
  // A villain of the record made by hand in the first free slot; false when
  // the record does not exist or no slot is free.
  bool SpawnVillainByHand(u32 record);

  // --- LevelScene -----------------------------------------------------------------------------
  i32 CountPlantBeds(u32 plant, i32 minLevel) override;
  i32 CountBuildings(u32 building, i32 minLevel) override;
  i32 CountCleanPlaces() override;
  void StartPlay() override;  // the rules start, the time bar runs, the tutorial hears of it
  void StopTutorial() override;  // the running tutorial ends, its layers fading
  // The full warehouse's tutorial, asked of the game's tutorial factory.
  void StartWarehouseTutorial(const PRODUCT* product) override;
  bool OnLoseAnswer(u32 answer) override;
  void DriveOffVillains() override;
  // Every plant point is watered as a finished watering does.
  void RainOnPlantBeds() override;
  void CollectUndamaged(GameMessager& messager) override;
  void SetBuildingRateModifier(u32 buildingKind, u32 id, float value) override;
  void SetPlayerWalkModifier(u32 id, float value) override;
  void SetPlayerSpeedModifier(u32 id, float value) override;
  void SetPlayerRunning(bool running) override;

 private:
  // VillainSlots
  u32 GetSlotCount() const override;
  bool IsSlotTaken(u32 slot) const override;
  void SpawnVillain(u32 slot, u32 villainKind) override;
  // The animal houses refresh on every stock change: their feed buttons
  // follow the feed in the warehouse; a shown hint that reads the stock
  // (HintRefreshOnGlobalChange) expands its texts again.
  void OnStockChanged(const STOCKENTRY& entry) override;
  // A shown hint that reads the money expands its texts again
  // (HintRefreshOnLevelChange).
  void OnMoneyChanged() override;

  // Loading (GameLevelLoad.cpp)
  void BeginStage(u32 stage);
  bool LoadGround();
  bool LoadDecorations();
  bool LoadKinds(bool buildings);
  bool LoadBonuses();
  void ReleaseIntroImages();

  // Building (GameLevel.cpp)
  void CreateDecorations();
  void CreateParticles();

  // Drawing (GameLevelFrame.cpp)
  void DrawMarkers();
  void DrawRain();

  i32 levelIndex_;
  LevelSetup setup_;
  GameLevelHooks hooks_;
  LEVELINFO* info_ = nullptr;
  u32 loadStage_ = kLoadStart;
  u32 loadItem_ = 0;
  std::unique_ptr<ProgressTracker> progress_;  // published in the services while loading

  ScreenSpriteList hud_;  // the head-up display: it outlives every sprite's owner
  std::unique_ptr<LevelRules> rules_;
  std::unique_ptr<LevelScreen> screen_;
  std::unique_ptr<LevelPointCare> ownCare_;  // made when no point care is given
  std::unique_ptr<shpf::PathFinder> finder_;
  std::unique_ptr<LevelMap> map_;
  std::unique_ptr<PlayerCast> ownCast_;  // made when no characters are given
  std::unique_ptr<LevelGround> ground_;
  std::unique_ptr<LevelInput> input_;
  std::unique_ptr<ObstacleSet> obstacles_;
  std::unique_ptr<GPSSpace> levelParticles_;
  std::unique_ptr<GPSSpace> villainParticles_;

  ImageSprite* selection_ = nullptr;
  ImageSprite* hoverMarker_ = nullptr;
  u32 pulseClock_ = 0;

  u32 musicMode_ = 3;
  u32 musicTrack_ = 0;
  bool cleared_ = false;
  bool entered_ = false;
};
