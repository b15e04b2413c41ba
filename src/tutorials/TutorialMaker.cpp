#include "tutorials/TutorialMaker.h"

#include "level/scene/LevelScreen.h"
#include "resources/GameServices.h"
#include "tutorials/LevelTutorial_1.h"
#include "tutorials/LevelTutorial_2.h"
#include "tutorials/MapTutorials.h"

// The level tutorials by the level's index; each new one becomes the
// current tutorial (the game services keep it).
// Without a level of its own it takes the running level of the game
// services (the program's maker is told no level).
void TutorialMaker::MakeLevelTutorial(i32 levelIndex) {
  GameLevel* level = level_;
  if (!level) {
    auto* screen = dynamic_cast<LevelScreen*>(GetGameServices().level);
    level = screen ? screen->GetScene() : nullptr;
  }
  switch (levelIndex) {
    case 0:
      new LevelTutorial_1(level);
      break;
    case 1:
      new LevelTutorial_2(level);
      break;
    default:
      break;
  }
}

// The warehouse's script comes with its own work: until then none is made.
void TutorialMaker::MakeFullWarehouseTutorial(const PRODUCT*) {}

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
