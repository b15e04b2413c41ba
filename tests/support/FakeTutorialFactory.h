// The game's tutorial factory (TutorialFactory) as the tests see it: it
// records what it is asked for ("level 0", "warehouse egg", "map 2",
// "bonus 3 chain") and makes nothing, unless `make` is given, which then
// makes the level tutorial asked for.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "resources/TutorialHooks.h"

namespace tutorialtest {

class FakeTutorialFactory : public TutorialFactory {
 public:
  void MakeLevelTutorial(i32 levelIndex) override {
    asked.push_back("level " + std::to_string(levelIndex));
    if (make) make(levelIndex);
  }
  void MakeFullWarehouseTutorial(u32 productId) override {
    asked.push_back("warehouse " + std::to_string(productId));
  }
  void StartMapTutorial(MapTutorialKind kind) override {
    asked.push_back("map " + std::to_string(static_cast<u32>(kind)));
  }
  void StartNewBonusTutorial(i32 bonusIndex, bool chain) override {
    asked.push_back("bonus " + std::to_string(bonusIndex) + (chain ? " chain" : ""));
  }

  std::vector<std::string> asked;
  std::function<void(i32)> make;
};

}  // namespace tutorialtest
