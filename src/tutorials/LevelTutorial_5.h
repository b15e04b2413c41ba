// LevelTutorial_5 - the fifth level's tutorial (0x80050000), 11 steps: a
// pie bakery ("prod_pie") built on point 4, wheat harvested from the bed
// on point 3, the henhouse on point 1 fed, flour ground at the mill on
// point 5, the eggs collected and the first pie baked. While steps 7, 8
// and 10 run the henhouse's rate and the mill's and the bakery's speed
// factors are changed (the henhouse stopped while the flour is ordered,
// then everything twice as fast); each is back to 1.0 when its step ends.
#pragma once

#include "tutorials/LevelTutorial.h"

constexpr TutorialId kLevelTutorial5 = 0x00050000u;

class LevelTutorial_5 : public LevelTutorial {
 public:
  explicit LevelTutorial_5(GameLevel* level);
};
