// LevelTutorial_2 - the second level's tutorial (0x80020000), 15 steps: a
// flour mill ("prod_flour") built on point 1, wheat harvested from the
// level's beds (points 3 and 4) and ground, a second mill on point 2, both
// grinding until the warehouse holds exactly the flour task 0 asks. While
// steps 8 and 15 are active the mills work twice as fast (their speed
// factor 2.0, back to 1.0 whenever the step ends, also when the tutorial
// is stopped from the level panel).
#pragma once

#include "tutorials/LevelTutorial.h"

constexpr TutorialId kLevelTutorial2 = 0x00020000u;
constexpr float kTutorialMillFactor = 2.0f;

class LevelTutorial_2 : public LevelTutorial {
 public:
  explicit LevelTutorial_2(GameLevel* level);
};
