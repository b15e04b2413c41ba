#include "tutorials/TutorialMaker.h"

#include "tutorials/LevelTutorial_1.h"
#include "tutorials/LevelTutorial_2.h"

// The level tutorials by the level's index; each new one becomes the
// current tutorial (the game services keep it).
void TutorialMaker::MakeLevelTutorial(i32 levelIndex) {
  switch (levelIndex) {
    case 0:
      new LevelTutorial_1(level_);
      break;
    case 1:
      new LevelTutorial_2(level_);
      break;
    default:
      break;
  }
}

// The other scripts come with their own work: until then none is made.
void TutorialMaker::MakeFullWarehouseTutorial(const PRODUCT*) {}
void TutorialMaker::StartMapTutorial(MapTutorialKind) {}
void TutorialMaker::StartNewBonusTutorial(i32, bool) {}
