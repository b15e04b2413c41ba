#include "tutorials/TutorialMaker.h"

// No script is written yet: each asks for a tutorial and gets none.
void TutorialMaker::MakeLevelTutorial(i32) {}
void TutorialMaker::MakeFullWarehouseTutorial(const PRODUCT*) {}
void TutorialMaker::StartMapTutorial(MapTutorialKind) {}
void TutorialMaker::StartNewBonusTutorial(i32, bool) {}
