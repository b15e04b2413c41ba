// LevelScene - what the level's rules ask of the scene around them: counts
// over the level points for the tasks, the running tutorial, the answer to
// the lose dialog, and the bonuses' effects on the points, the villains and
// the player. The level scene implements it (with its points, characters
// and villains).
#pragma once

#include "base/Types.h"

class GameMessager;
struct PRODUCT;

class LevelScene {
 public:
  virtual ~LevelScene() = default;

  // --- Task counts -----------------------------------------------------------------
  // Plant beds of the plant kind at level >= minLevel, not shut down.
  virtual i32 CountPlantBeds(u32 plant, i32 minLevel) = 0;
  // Buildings of the building kind at level >= minLevel, not shut down.
  virtual i32 CountBuildings(u32 building, i32 minLevel) = 0;
  // Places without garbage: every point but an empty place with garbage,
  // and every point definition that has no point.
  virtual i32 CountCleanPlaces() = 0;

  // --- Play, tutorial and results -------------------------------------------------------------
  // Play starts (the level's clock, the time bar, the tutorial told); the
  // level panel's bonus buttons start it when clicked first.
  virtual void StartPlay() = 0;
  virtual void StopTutorial() = 0;
  // The first warehouse-full message with tutorials on starts its tutorial.
  virtual void StartWarehouseTutorial(const PRODUCT* product) = 0;
  // The lose dialog's answer (restart or back to the map); true closes it.
  virtual bool OnLoseAnswer(u32 answer) = 0;

  // --- Bonus effects -------------------------------------------------------------------
  virtual void DriveOffVillains() = 0;  // every villain still on the level
  virtual void RainOnPlantBeds() = 0;   // each plant bed its growth bonus
  // Every point without damage collects its produce, with one messager.
  virtual void CollectUndamaged(GameMessager& messager) = 0;
  // Sets (value not 0) or removes (0) the factor of this id in the rate of
  // every building of the kind (content/LevelRates.h).
  virtual void SetBuildingRateModifier(u32 buildingKind, u32 id, float value) = 0;
  // The player's walk speed with activity rate 0, and its animation speed.
  virtual void SetPlayerWalkModifier(u32 id, float value) = 0;
  virtual void SetPlayerSpeedModifier(u32 id, float value) = 0;
  virtual void SetPlayerRunning(bool running) = 0;
};
