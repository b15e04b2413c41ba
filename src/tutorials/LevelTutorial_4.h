// LevelTutorial_4 - the fourth level's tutorial (0x80040000), 9 steps: the
// henhouse built on point 2, the wheat of the bed on point 4 harvested,
// the hens fed, and their eggs collected. It counts on the level's layout:
// the warehouse is point 0, the henhouse's clean place point 2, a ripe
// wheat bed point 4. While step 7 runs the henhouse works twice as fast
// (its own rate 2.0, back to 1.0 whenever the step ends).
#pragma once

#include "tutorials/LevelTutorial.h"

constexpr TutorialId kLevelTutorial4 = 0x00040000u;

class LevelTutorial_4 : public LevelTutorial {
 public:
  explicit LevelTutorial_4(GameLevel* level);
};
