// LevelTutorial_3 - the third level's tutorial (0x80030000), 15 steps: the
// prepared wheat bed on point 3 sown (its upgrade from level 1 to 2), its
// harvest, the flour mill on point 2 upgraded and set to grind, and the
// warehouse window (a product shown, the warehouse upgraded, the window
// closed). It counts on the level's layout: the warehouse is point 0, the
// mill ("prod_flour", level 1) point 2, the ripe wheat bed at level 1
// point 3.
//
// While step 9 runs the level carries the rate modifier 776; it goes when
// the step ends, also when the tutorial is stopped from the level panel.
#pragma once

#include "tutorials/LevelTutorial.h"

constexpr TutorialId kLevelTutorial3 = 0x00030000u;
constexpr u32 kTutorial3RateModifier = 776;

class LevelTutorial_3 : public LevelTutorial {
 public:
  explicit LevelTutorial_3(GameLevel* level);
};
