// LevelTutorial_1 - the first level's tutorial (0x80010000), 27 steps: the
// task button, a wheat bed sown on point 1, grown and harvested, the
// warehouse window (a unit sold, the window closed), a second bed on point
// 2, both harvested, the dry one watered, and the day played on until the
// warehouse holds what task 0 asks. It counts on the level's layout: the
// warehouse is point 0, the clean places points 1 and 2, wheat its plant.
//
// Steps 24 to 26 need bed 1 still watered and bed 2 dry after one harvest:
// while it runs, the tutorial gives the beds it has the player sow fixed
// water (three harvests on point 1, one on point 2) in place of the
// plant's random draw.
#pragma once

#include "tutorials/LevelTutorial.h"

constexpr TutorialId kLevelTutorial1 = 0x00010000u;
constexpr i32 kTutorial1WaterPoint1 = 3;
constexpr i32 kTutorial1WaterPoint2 = 1;

class LevelTutorial_1 : public LevelTutorial {
 public:
  explicit LevelTutorial_1(GameLevel* level);
  void Notify(u32 event, uintptr_t param, const void* object) override;
};
