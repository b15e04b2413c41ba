#include "tutorials/TutorialMaker.h"

#include "level/scene/LevelScreen.h"
#include "resources/GameServices.h"
#include "tutorials/LevelTutorial_1.h"
#include "tutorials/LevelTutorial_2.h"
// Levels 3 to 5
#include "tutorials/LevelTutorial_3.h"
#include "tutorials/LevelTutorial_4.h"
#include "tutorials/LevelTutorial_5.h"

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
    default:
      break;
  }
}

// The other scripts come with their own work: until then none is made.
void TutorialMaker::MakeFullWarehouseTutorial(const PRODUCT*) {}
void TutorialMaker::StartMapTutorial(MapTutorialKind) {}
void TutorialMaker::StartNewBonusTutorial(i32, bool) {}
