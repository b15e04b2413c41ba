// TutorialMaker - the game's tutorial factory (TutorialFactory): whoever
// runs the game hands it to the game's world (WorldSetup::tutorials), which
// installs it as ResourceServices::tutorialFactory, and tells it the level
// that is open (its level tutorials work on it). It makes the
// level tutorials, the full warehouse's and the map's (MapTutorials.h); the
// other scripts come with their own work.
#pragma once

#include "resources/TutorialHooks.h"

class GameLevel;

class TutorialMaker : public TutorialFactory {
 public:
  explicit TutorialMaker(GameLevel* level = nullptr) : level_(level) {}
  void SetLevel(GameLevel* level) { level_ = level; }
  GameLevel* GetLevel() const { return level_; }

  void MakeLevelTutorial(i32 levelIndex) override;
  void MakeFullWarehouseTutorial(u32 productId) override;
  void StartMapTutorial(MapTutorialKind kind) override;
  void StartNewBonusTutorial(i32 bonusIndex, bool chain) override;

 private:
  GameLevel* RunningLevel() const;  // its own, else the game's running level

  GameLevel* level_;
};
