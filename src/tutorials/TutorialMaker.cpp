#include "tutorials/TutorialMaker.h"

#include "content/ProductList.h"
#include "level/scene/LevelScreen.h"
#include "resources/ResourceServices.h"
#include "tutorials/LevelTutorial_1.h"
#include "tutorials/LevelTutorial_2.h"
// Levels 3 to 5
#include "tutorials/LevelTutorial_3.h"
#include "tutorials/LevelTutorial_4.h"
#include "tutorials/LevelTutorial_5.h"
// Levels 6, 8, 15 and 29, the full warehouse.
#include "tutorials/LevelTutorial_6.h"
#include "tutorials/LevelTutorial_8.h"
#include "tutorials/LevelTutorial_Hints.h"
#include "tutorials/MapTutorials.h"

// The level tutorials by the level's index; each new one becomes the
// current tutorial (the resource services keep it).
// Without a level of its own it takes the running level of the resource
// services (ResourceServices::level; the program's maker is told no level).
void TutorialMaker::MakeLevelTutorial(i32 levelIndex) {
  GameLevel* level = RunningLevel();
  switch (levelIndex) {
    case 0:
      new LevelTutorial_1(level);
      break;
    case 1:
      new LevelTutorial_2(level);
      break;
    // Levels 3 to 5
    case 2:
      new LevelTutorial_3(level);
      break;
    case 3:
      new LevelTutorial_4(level);
      break;
    case 4:
      new LevelTutorial_5(level);
      break;
    // Levels 6, 8, 15 and 29.
    case 5:
      new LevelTutorial_6(level);
      break;
    case 7:
      new LevelTutorial_8(level);
      break;
    case 14:
      new LevelTutorial_15(level);
      break;
    case 28:
      new LevelTutorial_Warehouse(level);
      break;
    default:
      break;
  }
}

GameLevel* TutorialMaker::RunningLevel() const {
  if (level_) return level_;
  auto* screen = dynamic_cast<LevelScreen*>(GetResourceServices().level);
  return screen ? screen->GetScene() : nullptr;
}

// The first overflow's tutorial, started at once and never saved.
void TutorialMaker::MakeFullWarehouseTutorial(u32 productId) {
  const ProductList* products = GetProductList();
  new LevelTutorial_FullWarehouse(RunningLevel(), products ? products->FindById(productId) : nullptr);
}

// Each starts on construction as the current tutorial.
void TutorialMaker::StartMapTutorial(MapTutorialKind kind) {
  switch (kind) {
    case MapTutorialKind::kFirst:
      new MapTutorial_First();
      break;
    case MapTutorialKind::kRegime:
      new MapTutorial_Regime();
      break;
    case MapTutorialKind::kHard:
      new MapTutorial_Hard();
      break;
    case MapTutorialKind::kVillainsAttack:
      new MapTutorial_VillainsAttack();
      break;
  }
}

void TutorialMaker::StartNewBonusTutorial(i32 bonusIndex, bool chain) {
  new MapTutorial_NewBonus(bonusIndex, chain ? 1 : 0);
}
